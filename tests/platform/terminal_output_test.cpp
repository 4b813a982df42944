// What the terminal display writes for a frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/terminal_output.h"

namespace platform {
namespace {

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kBlue{0, 0, 255};

TEST(TerminalOutput, OnlyChangedCellsAreWritten) {
  const int columns = 4;
  std::vector<TerminalCell> cells(8, TerminalCell{' ', kWhite, kBlack});
  std::vector<TerminalCell> shadow(8, TerminalCell{0, {}, {}});
  std::string out;
  RenderChanges(cells, shadow, columns, true, out);
  EXPECT_EQ(shadow, cells);
  // One colour change for the whole run, one move for the first cell and
  // one after the wrap at the end of the first row.
  EXPECT_EQ(out, "\x1b[1;1H\x1b[38;2;255;255;255;48;2;0;0;0m    \x1b[2;1H    ");

  out.clear();
  RenderChanges(cells, shadow, columns, true, out);
  EXPECT_EQ(out, "");

  cells[6] = {0xE7, kWhite, kBlack};  // c cedilla
  cells[7] = {'x', kWhite, kBlue};
  out.clear();
  RenderChanges(cells, shadow, columns, true, out);
  EXPECT_EQ(out, "\x1b[2;3H\x1b[38;2;255;255;255;48;2;0;0;0m\xC3\xA7"
                 "\x1b[38;2;255;255;255;48;2;0;0;255mx");
}

TEST(TerminalOutput, ControlCodesNeverReachTheTerminal) {
  std::vector<TerminalCell> cells = {{0x1B, kWhite, kBlack}, {0x9D, kWhite, kBlack},
                                     {0x7F, kWhite, kBlack}};
  std::vector<TerminalCell> shadow(3, TerminalCell{0, {}, {}});
  std::string out;
  RenderChanges(cells, shadow, 3, false, out);
  EXPECT_EQ(out.substr(out.find('m') + 1), "   ");
}

TEST(TerminalOutput, ColoursWithoutTrueColourUseTheNearestAnsi) {
  EXPECT_EQ(NearestAnsiColour({0, 0, 255}), 4);        // blue
  EXPECT_EQ(NearestAnsiColour({128, 128, 128}), 8);    // dark grey
  EXPECT_EQ(NearestAnsiColour({255, 255, 0}), 11);     // yellow
  EXPECT_EQ(ColourSequence({255, 255, 0}, {0, 0, 255}, false), "\x1b[93;44m");
  EXPECT_EQ(ColourSequence({1, 2, 3}, {4, 5, 6}, true), "\x1b[38;2;1;2;3;48;2;4;5;6m");
}

TEST(TerminalOutput, ClipboardGoesOutAsBase64OfUtf8) {
  EXPECT_EQ(ClipboardSequence("Ol\xE1"), "\x1b]52;c;T2zDoQ==\a");
  EXPECT_EQ(ClipboardSequence(""), "\x1b]52;c;\a");
}

}  // namespace
}  // namespace platform
