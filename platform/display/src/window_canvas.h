// The window's picture: the cell grid drawn into a surface of its own, so
// that exposing, resizing and the magnifier only copy pixels.
#pragma once
#include <SDL2/SDL.h>

#include <cstdint>
#include <unordered_map>

#include "platform/display/display.h"
#include "platform/display/src/window_font.h"

namespace platform {

struct Canvas {
  SDL_Surface* cells = nullptr;     // columns x rows cells
  SDL_Surface* glyphs[256] = {};    // white glyphs with alpha, made on first use
  // Finished cells by character and colours: drawing a cell is one copy.
  std::unordered_map<uint64_t, SDL_Surface*> finished;
  SDL_Surface* zoomCopy = nullptr;  // the picture when the magnifier started
  SDL_Rect zoomSource{};
  CellFont font;
  int columns = 0, rows = 0;
};

bool CanvasCreate(Canvas& canvas, const CellFont& font, int columns, int rows);
void CanvasDestroy(Canvas& canvas);
void CanvasDrawText(Canvas& canvas, int column, int row,
                    const unsigned char* text, int count, Rgb fg, Rgb bg);
void CanvasScrollUp(Canvas& canvas, Rgb fill);
// Freezes the picture as target shows it (first call) and shows the
// source rectangle of it stretched over the whole target from then on.
void CanvasZoom(Canvas& canvas, SDL_Surface* target, SDL_Rect source);
void CanvasEndZoom(Canvas& canvas);
// Black target, the grid at its top-left (or the zoomed view), then the
// caret: an inverted underline of one cell on the baseline. Only the part
// inside area changes (nullptr: all of it).
void CanvasCompose(Canvas& canvas, SDL_Surface* target, bool caret,
                   int caretColumn, int caretRow, const SDL_Rect* area = nullptr);
// The pixels of a run of cells.
SDL_Rect CanvasCells(const Canvas& canvas, int column, int row, int count);

}  // namespace platform
