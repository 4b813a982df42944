// What the terminal display writes: colours as SGR sequences and the cells
// that changed since the last frame.
#pragma once
#include <string>
#include <vector>

#include "platform/display/display.h"

namespace platform {

struct TerminalCell {
  unsigned char ch = ' ';  // Windows-1252; 0 marks a cell the terminal may not show
  Rgb fg, bg;
  bool operator==(const TerminalCell&) const = default;
};

// What the terminal can show: 24-bit colour, the 256-colour palette, or
// only the sixteen ANSI colours.
enum class ColourDepth { Ansi16, Palette256, True };
// The depth that COLORTERM and TERM announce.
ColourDepth TerminalColourDepth(const char* colorterm, const char* term);

// The ANSI colour (0..7 normal, 8..15 bright) standing for c: a console
// colour by its meaning (blue stays blue, brown becomes dark yellow), any
// other colour the nearest.
int AnsiColourOf(Rgb c);
// The 256-colour palette entry for c: the 6x6x6 cube, the grey ramp for greys.
int Palette256ColourOf(Rgb c);
// SGR setting both colours at the given depth.
std::string ColourSequence(Rgb fg, Rgb bg, ColourDepth depth);

// Appends to out what brings the terminal from shadow to cells (both
// columns x rows) and makes shadow equal to cells. Only changed cells are
// written; characters go out as UTF-8.
void RenderChanges(const std::vector<TerminalCell>& cells,
                   std::vector<TerminalCell>& shadow, int columns,
                   ColourDepth depth, std::string& out);

// The part of the screen a terminal shows, in screen cells.
struct Viewport {
  int left = 0, top = 0, columns = 0, rows = 0;
  bool operator==(const Viewport&) const = default;
};

// What a terminal of terminalColumns x terminalRows shows of a screen of
// screenColumns x screenRows: all of it from the top left when it fits;
// else as much as fits, moved from previous only as far as it takes to
// hold the cursor (column, row), rows and columns alike.
Viewport ChooseViewport(const Viewport& previous, int terminalColumns, int terminalRows,
                        int screenColumns, int screenRows, int column, int row);

// The cells of view cut out of a screen columns wide.
std::vector<TerminalCell> CellsInView(const std::vector<TerminalCell>& cells, int columns,
                                      const Viewport& view);

// The clipboard text as an OSC 52 sequence (base64 of UTF-8).
std::string ClipboardSequence(const std::string& cp1252Text);

}  // namespace platform
