// What the terminal display writes: colours as SGR sequences and the cells
// that changed since the last frame.
#pragma once
#include <string>
#include <vector>

#include "platform/display.h"

namespace platform {

struct TerminalCell {
  unsigned char ch = ' ';  // Windows-1252; 0 marks a cell the terminal may not show
  Rgb fg, bg;
  bool operator==(const TerminalCell&) const = default;
};

// The nearest of the 16 ANSI colours (0..7 normal, 8..15 bright).
int NearestAnsiColour(Rgb c);
// SGR setting both colours, in true colour or the nearest ANSI colours.
std::string ColourSequence(Rgb fg, Rgb bg, bool trueColour);

// Appends to out what brings the terminal from shadow to cells (both
// columns x rows) and makes shadow equal to cells. Only changed cells are
// written; characters go out as UTF-8.
void RenderChanges(const std::vector<TerminalCell>& cells,
                   std::vector<TerminalCell>& shadow, int columns,
                   bool trueColour, std::string& out);

// The clipboard text as an OSC 52 sequence (base64 of UTF-8).
std::string ClipboardSequence(const std::string& cp1252Text);

}  // namespace platform
