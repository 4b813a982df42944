#include "platform/display/src/window_canvas.h"

#include <algorithm>
#include <cstring>

#include "platform/os/text.h"
#include "platform/display/src/window_library.h"

namespace platform {
namespace {

constexpr Uint32 kFormat = SDL_PIXELFORMAT_RGB888;
constexpr int kCaretHeight = 2;

SDL_Surface* NewSurface(int width, int height) {
  return window::lib.SDL_CreateRGBSurfaceWithFormat(0, std::max(width, 1), std::max(height, 1), 32,
                                                    kFormat);
}

void Fill(SDL_Surface* s, const SDL_Rect* r, Rgb c) {
  window::lib.SDL_FillRect(s, r, window::lib.SDL_MapRGB(s->format, c.r, c.g, c.b));
}

SDL_Surface* Glyph(Canvas& canvas, unsigned char c) {
  if (c <= 32 || !canvas.font.font) return nullptr;
  if (!canvas.glyphs[c]) {
    std::string utf8 = Cp1252CharToUtf8(c);
    SDL_Surface* g = window::lib.TTF_RenderUTF8_Blended(canvas.font.font, utf8.c_str(),
                                                        SDL_Color{255, 255, 255, 255});
    if (!g) return nullptr;
    window::lib.SDL_SetSurfaceBlendMode(g, SDL_BLENDMODE_BLEND);
    canvas.glyphs[c] = g;
  }
  return canvas.glyphs[c];
}

constexpr size_t kMaxFinishedCells = 2048;

void ForgetFinishedCells(Canvas& canvas) {
  for (auto& [key, cell] : canvas.finished) window::lib.SDL_FreeSurface(cell);
  canvas.finished.clear();
}

uint64_t Packed(Rgb c) { return uint64_t(c.r) << 16 | uint64_t(c.g) << 8 | c.b; }

// The cell of character c in these colours: background, glyph blended on it.
SDL_Surface* FinishedCell(Canvas& canvas, unsigned char c, Rgb fg, Rgb bg) {
  const uint64_t key = uint64_t(c) << 48 | Packed(fg) << 24 | Packed(bg);
  auto found = canvas.finished.find(key);
  if (found != canvas.finished.end()) return found->second;
  if (canvas.finished.size() >= kMaxFinishedCells) ForgetFinishedCells(canvas);
  const CellFont& f = canvas.font;
  SDL_Surface* cell = NewSurface(f.cellWidth, f.cellHeight);
  if (!cell) return nullptr;
  Fill(cell, nullptr, bg);
  if (SDL_Surface* g = Glyph(canvas, c)) {
    window::lib.SDL_SetSurfaceColorMod(g, fg.r, fg.g, fg.b);
    SDL_Rect at{f.glyphX, f.glyphY, g->w, g->h};
    window::lib.SDL_UpperBlit(g, nullptr, cell, &at);
  }
  canvas.finished.emplace(key, cell);
  return cell;
}

// Inverts the caret's pixels, like the solid caret of a text console.
void InvertRect(SDL_Surface* s, SDL_Rect r) {
  SDL_Rect bounds{0, 0, s->w, s->h};
  if (!window::lib.SDL_IntersectRect(&r, &bounds, &r) || s->format->BytesPerPixel != 4) return;
  Uint32 mask = s->format->Rmask | s->format->Gmask | s->format->Bmask;
  window::lib.SDL_LockSurface(s);
  for (int y = r.y; y < r.y + r.h; ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
    for (int x = r.x; x < r.x + r.w; ++x) row[x] ^= mask;
  }
  window::lib.SDL_UnlockSurface(s);
}

}  // namespace

bool CanvasCreate(Canvas& canvas, const CellFont& font, int columns, int rows) {
  canvas.font = font;
  canvas.columns = columns;
  canvas.rows = rows;
  canvas.cells = NewSurface(columns * font.cellWidth, rows * font.cellHeight);
  if (!canvas.cells) return false;
  Fill(canvas.cells, nullptr, Rgb{});
  return true;
}

void CanvasDestroy(Canvas& canvas) {
  CanvasEndZoom(canvas);
  ForgetFinishedCells(canvas);
  for (SDL_Surface*& g : canvas.glyphs) {
    window::lib.SDL_FreeSurface(g);
    g = nullptr;
  }
  window::lib.SDL_FreeSurface(canvas.cells);
  canvas.cells = nullptr;
}

void CanvasDrawText(Canvas& canvas, int column, int row,
                    const unsigned char* text, int count, Rgb fg, Rgb bg) {
  if (!canvas.cells || row < 0 || row >= canvas.rows || column < 0) return;
  count = std::min(count, canvas.columns - column);
  if (count <= 0) return;
  for (int i = 0; i < count; ++i) {
    SDL_Rect at = CanvasCells(canvas, column + i, row, 1);
    if (SDL_Surface* cell = FinishedCell(canvas, text[i], fg, bg))
      window::lib.SDL_UpperBlit(cell, nullptr, canvas.cells, &at);
    else
      Fill(canvas.cells, &at, bg);
  }
}

void CanvasScrollUp(Canvas& canvas, Rgb fill) {
  SDL_Surface* s = canvas.cells;
  if (!s || canvas.rows < 1) return;
  const int line = canvas.font.cellHeight;
  window::lib.SDL_LockSurface(s);
  auto* pixels = static_cast<Uint8*>(s->pixels);
  std::memmove(pixels, pixels + line * s->pitch, size_t(s->h - line) * s->pitch);
  window::lib.SDL_UnlockSurface(s);
  SDL_Rect bottom{0, s->h - line, s->w, line};
  Fill(s, &bottom, fill);
}

void CanvasZoom(Canvas& canvas, SDL_Surface* target, SDL_Rect source) {
  if (!canvas.zoomCopy) {
    canvas.zoomCopy = NewSurface(target->w, target->h);
    if (!canvas.zoomCopy) return;
    Fill(canvas.zoomCopy, nullptr, Rgb{});
    window::lib.SDL_UpperBlit(canvas.cells, nullptr, canvas.zoomCopy, nullptr);
  }
  SDL_Rect bounds{0, 0, canvas.zoomCopy->w, canvas.zoomCopy->h};
  SDL_Rect clipped;
  if (window::lib.SDL_IntersectRect(&source, &bounds, &clipped)) canvas.zoomSource = clipped;
}

void CanvasEndZoom(Canvas& canvas) {
  window::lib.SDL_FreeSurface(canvas.zoomCopy);
  canvas.zoomCopy = nullptr;
  canvas.zoomSource = SDL_Rect{};
}

SDL_Rect CanvasCells(const Canvas& canvas, int column, int row, int count) {
  const CellFont& f = canvas.font;
  return SDL_Rect{column * f.cellWidth, row * f.cellHeight, count * f.cellWidth, f.cellHeight};
}

void CanvasCompose(Canvas& canvas, SDL_Surface* target, bool caret,
                   int caretColumn, int caretRow, const SDL_Rect* area) {
  window::lib.SDL_SetClipRect(target, area);
  if (canvas.zoomCopy && canvas.zoomSource.w > 0 && canvas.zoomSource.h > 0) {
    window::lib.SDL_UpperBlitScaled(canvas.zoomCopy, &canvas.zoomSource, target, nullptr);
  } else if (canvas.cells) {
    // Black only beside and below the grid: the grid covers the rest.
    const int w = canvas.cells->w, h = canvas.cells->h;
    SDL_Rect right{w, 0, std::max(target->w - w, 0), target->h};
    SDL_Rect below{0, h, w, std::max(target->h - h, 0)};
    Fill(target, &right, Rgb{});
    Fill(target, &below, Rgb{});
    window::lib.SDL_UpperBlit(canvas.cells, nullptr, target, nullptr);
    if (caret) {
      const CellFont& f = canvas.font;
      SDL_Rect r = CanvasCells(canvas, caretColumn, caretRow, 1);
      r.y += std::min(f.ascent, f.cellHeight - kCaretHeight);
      r.h = kCaretHeight;
      SDL_Rect clip;
      window::lib.SDL_GetClipRect(target, &clip);
      if (window::lib.SDL_IntersectRect(&r, &clip, &r)) InvertRect(target, r);
    }
  } else {
    Fill(target, nullptr, Rgb{});
  }
  window::lib.SDL_SetClipRect(target, nullptr);
}

}  // namespace platform
