// What the terminal display writes for a frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/display/src/terminal_output.h"

namespace platform {
namespace {

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kBlue{0, 0, 255};

TEST(TerminalOutput, OnlyChangedCellsAreWritten) {
  const int columns = 4;
  std::vector<TerminalCell> cells(8, TerminalCell{' ', kWhite, kBlack});
  std::vector<TerminalCell> shadow(8, TerminalCell{0, {}, {}});
  auto render = [&] {
    std::string out;
    RenderChanges(cells, shadow, columns, ColourDepth::True, out);
    return out;
  };
  // One colour change for the whole run, one move for the first cell and
  // one after the wrap at the end of the first row.
  EXPECT_EQ(render(), "\x1b[1;1H\x1b[38;2;255;255;255;48;2;0;0;0m    \x1b[2;1H    ");
  EXPECT_EQ(shadow, cells);
  EXPECT_EQ(render(), "");
  cells[6] = {0xE7, kWhite, kBlack};  // c cedilla
  cells[7] = {'x', kWhite, kBlue};
  EXPECT_EQ(render(), "\x1b[2;3H\x1b[38;2;255;255;255;48;2;0;0;0m\xC3\xA7"
                 "\x1b[38;2;255;255;255;48;2;0;0;255mx");
}

TEST(TerminalOutput, ControlCodesNeverReachTheTerminal) {
  std::vector<TerminalCell> cells = {{0x1B, kWhite, kBlack}, {0x9D, kWhite, kBlack},
                                     {0x7F, kWhite, kBlack}};
  std::vector<TerminalCell> shadow(3, TerminalCell{0, {}, {}});
  std::string out;
  RenderChanges(cells, shadow, 3, ColourDepth::Ansi16, out);
  EXPECT_EQ(out.substr(out.find('m') + 1), "   ");
}

// Without true colour the sixteen console colours keep their meaning: a
// console colour becomes its ANSI namesake (index to index), never black or
// a grey that happens to lie nearer.
TEST(TerminalOutput, ConsoleColoursKeepTheirMeaningInFewerColours) {
  const struct {
    int console;
    int ansi;
    int palette256;
  } cases[] = {
      {0, 0, 16},   {1, 4, 21},   {2, 2, 46},   {3, 6, 51},
      {4, 1, 196},  {5, 5, 90},   {6, 3, 52},   {7, 7, 250},
      {8, 8, 244},  {9, 12, 105}, {10, 10, 120}, {11, 14, 123},
      {12, 9, 210}, {13, 13, 213}, {14, 11, 226}, {15, 15, 231},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiColourOf(kConsolePalette[c.console]), c.ansi) << c.console;
    EXPECT_EQ(Palette256ColourOf(kConsolePalette[c.console]), c.palette256) << c.console;
  }
  EXPECT_EQ(AnsiColourOf({250, 5, 5}), 9);  // not a console colour: the nearest
  EXPECT_EQ(ColourSequence({255, 255, 0}, {0, 0, 255}, ColourDepth::Ansi16), "\x1b[93;44m");
  EXPECT_EQ(ColourSequence({255, 255, 0}, {0, 0, 255}, ColourDepth::Palette256),
            "\x1b[38;5;226;48;5;21m");
  EXPECT_EQ(ColourSequence({1, 2, 3}, {4, 5, 6}, ColourDepth::True),
            "\x1b[38;2;1;2;3;48;2;4;5;6m");
}

TEST(TerminalOutput, DepthComesFromColortermAndTerm) {
  const struct {
    const char* colorterm;
    const char* term;
    ColourDepth depth;
  } cases[] = {
      {"truecolor", "xterm", ColourDepth::True},
      {"24bit", nullptr, ColourDepth::True},
      {nullptr, "xterm-256color", ColourDepth::Palette256},
      {"", "tmux-256color", ColourDepth::Palette256},
      {nullptr, "linux", ColourDepth::Ansi16},
      {nullptr, nullptr, ColourDepth::Ansi16},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TerminalColourDepth(c.colorterm, c.term), c.depth) << (c.term ? c.term : "-");
}

TEST(TerminalOutput, ClipboardGoesOutAsBase64OfUtf8) {
  EXPECT_EQ(ClipboardSequence("Ol\xE1"), "\x1b]52;c;T2zDoQ==\a");
  EXPECT_EQ(ClipboardSequence(""), "\x1b]52;c;\a");
}

// A terminal smaller than the screen shows the part holding the cursor and
// moves it no further than it must; a larger one shows all from the top left.
TEST(TerminalOutput, ViewFollowsTheCursorOnASmallTerminal) {
  const struct {
    const char* name;
    Viewport previous;
    int terminalColumns, terminalRows, column, row;
    Viewport view;
  } cases[] = {
      {"fits", {}, 80, 25, 79, 24, {0, 0, 80, 25}},
      {"larger", {}, 100, 30, 10, 24, {0, 0, 80, 25}},
      {"larger after small", {1, 5, 70, 20}, 100, 30, 0, 0, {0, 0, 80, 25}},
      {"24 rows, cursor above", {}, 80, 24, 5, 3, {0, 0, 80, 24}},
      {"24 rows, last row", {}, 80, 24, 0, 24, {0, 1, 80, 24}},
      {"24 rows, back up stays", {0, 1, 80, 24}, 80, 24, 0, 5, {0, 1, 80, 24}},
      {"24 rows, top row", {0, 1, 80, 24}, 80, 24, 0, 0, {0, 0, 80, 24}},
      {"70x20 start", {}, 70, 20, 0, 3, {0, 0, 70, 20}},
      {"70x20 right edge", {}, 70, 20, 75, 3, {6, 0, 70, 20}},
      {"70x20 bottom right", {}, 70, 20, 79, 24, {10, 5, 70, 20}},
      {"70x20 back left", {10, 5, 70, 20}, 70, 20, 2, 24, {2, 5, 70, 20}},
      {"one cell", {}, 1, 1, 40, 12, {40, 12, 1, 1}},
      {"no size", {}, 0, 0, 0, 0, {0, 0, 1, 1}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseViewport(c.previous, c.terminalColumns, c.terminalRows, 80, 25, c.column,
                             c.row),
              c.view)
        << c.name;
}

TEST(TerminalOutput, CellsInViewAreCutFromTheScreen) {
  std::vector<TerminalCell> cells(4 * 3);
  for (size_t i = 0; i < cells.size(); ++i) cells[i].ch = static_cast<unsigned char>('a' + i);
  std::string shown;
  for (const TerminalCell& c : CellsInView(cells, 4, {1, 1, 2, 2})) shown += char(c.ch);
  EXPECT_EQ(shown, "fgjk");
}

}  // namespace
}  // namespace platform
