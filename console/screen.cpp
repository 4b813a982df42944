// The screen buffer: writing runs of characters with the control-byte
// rules, line advance and scrolling, and painting rows in runs of equal
// attribute.
#include <algorithm>

#include "console/console_state.h"

namespace console_detail {
namespace {

int Index(int x, int y) { return y * ScreenColumns + x; }

int WindowWidth(const ConsoleState& s) { return s.winRight - s.winLeft + 1; }
int WindowHeight(const ConsoleState& s) { return s.winBottom - s.winTop + 1; }

void FillRow(ConsoleState& s, int row, int first, int end) {
  for (int x = first; x < end; ++x) {
    s.chars[Index(s.winLeft + x, s.winTop + row)] = ' ';
    s.attrs[Index(s.winLeft + x, s.winTop + row)] = TextAttribute;
  }
}

// The cells of the cursor row changed since the last paint.
struct Dirty {
  int first, end;
  void Widen(int x) {
    first = std::min(first, x);
    end = std::max(end, x + 1);
  }
  void Flush(int row) {
    PaintSegment(first, end, row);
    first = end = State().curX;
  }
};

// Makes the drawing visible; a display that shows only part of the screen
// keeps the cursor in sight.
void ShowChanges(ConsoleState& s) {
  s.display->SetCursor(std::min(s.winLeft + s.curX, ScreenColumns - 1), s.winTop + s.curY);
  s.display->Present();
}

void ScrollWindowUp(ConsoleState& s) {
  for (int row = 0; row + 1 < WindowHeight(s); ++row) {
    int to = Index(s.winLeft, s.winTop + row);
    int from = Index(s.winLeft, s.winTop + row + 1);
    std::copy_n(s.chars + from, WindowWidth(s), s.chars + to);
    std::copy_n(s.attrs + from, WindowWidth(s), s.attrs + to);
  }
  FillRow(s, WindowHeight(s) - 1, 0, WindowWidth(s));
  // The Braille display's line moved up with the text.
  if (s.brailleRow > s.winTop && s.brailleRow <= s.winBottom) --s.brailleRow;
  bool moved = s.video.blitScroll && s.display->Focused() &&
               s.display->ScrollUp(ColourOf(TextAttribute >> 4));
  if (moved) {
    ShowChanges(s);
  } else {
    RepaintAll();
  }
}

void AdvanceLine(ConsoleState& s, Dirty& dirty) {
  dirty.Flush(s.curY);
  if (++s.curY < WindowHeight(s)) return;
  s.curY = WindowHeight(s) - 1;
  ScrollWindowUp(s);
}

void WriteByte(ConsoleState& s, uint8_t c, Dirty& dirty) {
  switch (c) {
    case 7:
      if (!s.display->Bell()) Beep();
      return;
    case 8:
      if (s.curX == 0) return;
      --s.curX;
      FillRow(s, s.curY, s.curX, s.curX + 1);
      dirty.Widen(s.curX);
      return;
    case 10:
      AdvanceLine(s, dirty);
      s.curX = 0;
      dirty.first = dirty.end = 0;
      return;
    case 13:
      dirty.Flush(s.curY);
      s.curX = 0;
      dirty.first = dirty.end = 0;
      return;
    default:
      break;
  }
  if (c < 32) return;
  if (s.curX >= WindowWidth(s)) {
    s.curX = 0;
    AdvanceLine(s, dirty);
  }
  int cell = Index(s.winLeft + s.curX, s.winTop + s.curY);
  s.chars[cell] = c;
  s.attrs[cell] = TextAttribute;
  s.brailleRow = s.winTop + s.curY;
  dirty.Widen(s.curX);
  ++s.curX;
}

// Draws cells first .. end - 1 of screen row y in runs of equal attribute.
void DrawCells(ConsoleState& s, int first, int end, int y) {
  while (first < end) {
    uint8_t attr = s.attrs[Index(first, y)];
    int run = first + 1;
    while (run < end && s.attrs[Index(run, y)] == attr) ++run;
    s.display->DrawText(first, y, s.chars + Index(first, y), run - first,
                        ColourOf(attr & 15), ColourOf(attr >> 4));
    first = run;
  }
}

}  // namespace

platform::Rgb ColourOf(int index) {
  uint8_t mapped = ColourTable[index & 15];
  return mapped > 15 ? platform::Rgb{} : platform::kConsolePalette[mapped];
}

void PaintSegment(int first, int end, int row) {
  ConsoleState& s = State();
  first = std::max(first, 0);
  end = std::min(end, WindowWidth(s));
  if (end > first && s.display)
    DrawCells(s, s.winLeft + first, s.winLeft + end, s.winTop + row);
}

void RepaintAll() {
  ConsoleState& s = State();
  if (!s.display || s.zooming) return;
  for (int y = 0; y < ScreenRows; ++y) DrawCells(s, 0, ScreenColumns, y);
  ShowChanges(s);
}

}  // namespace console_detail

using namespace console_detail;

void WriteChars(const unsigned char* text, uint16_t count) {
  OpenConsole();
  ConsoleState& s = State();
  Dirty dirty{s.curX, s.curX};
  for (uint16_t i = 0; i < count; ++i) WriteByte(s, text[i], dirty);
  PaintSegment(dirty.first, dirty.end, s.curY);
  ShowChanges(s);
}

void WriteChars(const std::string& text) {
  for (size_t done = 0; done < text.size(); done += 0xFFFF) {
    size_t n = std::min<size_t>(text.size() - done, 0xFFFF);
    WriteChars(reinterpret_cast<const unsigned char*>(text.data() + done),
               static_cast<uint16_t>(n));
  }
}

void ClearScreen() {
  OpenConsole();
  ConsoleState& s = State();
  for (int row = 0; row < WindowHeight(s); ++row)
    FillRow(s, row, 0, WindowWidth(s));
  s.curX = 0;
  s.curY = 0;
  s.brailleRow = s.winTop;
  RepaintAll();
}

void ClearToEndOfLine() {
  OpenConsole();
  ConsoleState& s = State();
  FillRow(s, s.curY, s.curX, WindowWidth(s));
  PaintSegment(s.curX, WindowWidth(s), s.curY);
  ShowChanges(s);
}

void MoveCursor(int column, int row) {
  OpenConsole();
  ConsoleState& s = State();
  s.curX = std::clamp(column - 1, 0, WindowWidth(s) - 1);
  s.curY = std::clamp(row - 1, 0, WindowHeight(s) - 1);
  s.brailleRow = s.winTop + s.curY;
}

int CursorColumn() {
  OpenConsole();
  return State().curX + 1;
}

int CursorRow() {
  OpenConsole();
  return State().curY + 1;
}

void SetTextBackground(uint8_t colour) {
  OpenConsole();
  if (State().video.fixedColours) return;
  TextAttribute = static_cast<uint8_t>((TextAttribute & 0x0F) | (colour << 4));
}

// Reads outside the screen give a blank in the current attribute rather
// than bytes beyond the buffers.
static bool OnScreen(int column, int row) {
  return column >= 1 && column <= ScreenColumns && row >= 1 && row <= ScreenRows;
}

uint8_t ScreenCharAt(int column, int row) {
  OpenConsole();
  return OnScreen(column, row) ? State().chars[Index(column - 1, row - 1)] : ' ';
}

uint8_t ScreenAttrAt(int column, int row) {
  OpenConsole();
  return OnScreen(column, row) ? State().attrs[Index(column - 1, row - 1)]
                               : TextAttribute;
}

int TextWindowLeft() { return State().winLeft + 1; }
int TextWindowTop() { return State().winTop + 1; }
int TextWindowWidth() { return WindowWidth(State()); }
int TextWindowHeight() { return WindowHeight(State()); }
