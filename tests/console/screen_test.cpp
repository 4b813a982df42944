// The screen buffer: wrapping, scrolling, control bytes, colours on the
// display, clipboard and the magnifier.
#include "console_fixture.h"

namespace console_test {
namespace {

using platform::HeadlessCellAt;
using platform::HeadlessRowText;

TEST_F(ConsoleTest, WritingWrapsAfterTheEightiethColumn) {
  WriteChars(std::string(80, 'x'));
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 8101);
  WriteChars("y");
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 202);
  EXPECT_EQ(HeadlessRowText(0), std::string(80, 'x'));
  EXPECT_EQ(HeadlessRowText(1)[0], 'y');
}

TEST_F(ConsoleTest, WritingPastTheLastRowScrollsWithABlankBottomRow) {
  MoveCursor(1, 2);
  WriteChars("second");
  MoveCursor(1, 25);
  WriteChars(std::string(80, 'z'));
  TextAttribute = 0x1E;
  WriteChars("!");
  EXPECT_EQ(CursorRow(), 25);
  EXPECT_EQ(ScreenCharAt(1, 1), 's');
  EXPECT_EQ(ScreenCharAt(80, 24), 'z');
  EXPECT_EQ(ScreenCharAt(2, 25), ' ');
  EXPECT_EQ(ScreenAttrAt(80, 25), 0x1E);
  EXPECT_EQ(platform::HeadlessScrollCount(), 0);  // repainted, not moved
  EXPECT_EQ(HeadlessRowText(0).substr(0, 6), "second");
  EXPECT_EQ(HeadlessCellAt(5, 24).bg, (platform::Rgb{0, 0, 255}));
}

TEST_F(ConsoleTest, SlowScrollingMovesPixels) {
  Reopen("[VIDEO]\nLENTO=sim\n");
  MoveCursor(1, 2);
  WriteChars("kept");
  MoveCursor(1, 25);
  WriteChars("\n");
  EXPECT_EQ(platform::HeadlessScrollCount(), 1);
  EXPECT_EQ(ScreenCharAt(1, 1), 'k');
}

TEST_F(ConsoleTest, ControlBytes) {
  WriteChars("ab\x08");
  EXPECT_EQ(CursorColumn(), 2);
  EXPECT_EQ(HeadlessRowText(0).substr(0, 2), "a ");
  WriteChars("\x08\x08\x08");  // nothing left of column 1
  EXPECT_EQ(CursorColumn(), 1);
  WriteChars("q\t\x01\x1B\x0C\x07r\rX\nY\xE3");
  EXPECT_EQ(HeadlessRowText(0).substr(0, 2), "Xr");
  EXPECT_EQ(HeadlessRowText(1).substr(0, 2), "Y\xE3");
  EXPECT_EQ(CursorColumn(), 3);
  // A display without a bell of its own: the bell is a short tone.
  EXPECT_EQ(tonesPlayed, (std::vector<int>{880}));
}

TEST_F(ConsoleTest, ClearingAndCursorClamping) {
  MoveCursor(0, 0);
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 101);
  MoveCursor(200, 200);
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 8025);
  MoveCursor(1, 3);
  WriteChars("abcdef");
  MoveCursor(3, 3);
  TextAttribute = 0x20;
  ClearToEndOfLine();
  EXPECT_EQ(ScreenAttrAt(80, 3), 0x20);
  EXPECT_EQ(HeadlessRowText(2).substr(0, 4), "ab  ");
  ClearScreen();
  EXPECT_EQ(CursorColumn() * 100 + CursorRow(), 101);
  EXPECT_EQ(ScreenAttrAt(40, 12), 0x20);
}

TEST_F(ConsoleTest, CellsOutsideTheScreenReadAsBlanks) {
  WriteChars("a");
  TextAttribute = 0x4E;
  for (auto [col, row] : {std::pair{81, 1}, {1, 0}, {1, 26}, {-5, 1000}}) {
    EXPECT_EQ(ScreenCharAt(col, row), ' ');
    EXPECT_EQ(ScreenAttrAt(col, row), 0x4E);
  }
}

TEST_F(ConsoleTest, BackgroundChangesUnlessColoursAreFixed) {
  TextAttribute = 0x1E;
  SetTextBackground(4);
  EXPECT_EQ(TextAttribute, 0x4E);
  Reopen("[VIDEO]\nCORESFIXAS=s\n");
  SetTextBackground(4);
  EXPECT_EQ(TextAttribute, 0x0F);
}

TEST_F(ConsoleTest, ColoursGoThroughTheTableAndThePalette) {
  Reopen("[VIDEO]\nTABCORES=5,16,2\n");
  TextAttribute = 0x10;  // 0 -> palette 5; 1 -> 16, beyond it: black
  WriteChars("a");
  TextAttribute = 0xE2;
  WriteChars("b");
  EXPECT_EQ(HeadlessCellAt(0, 0).fg, (platform::Rgb{142, 0, 142}));
  EXPECT_EQ(HeadlessCellAt(0, 0).bg, (platform::Rgb{0, 0, 0}));
  EXPECT_EQ(HeadlessCellAt(1, 0).fg, (platform::Rgb{0, 255, 0}));
  EXPECT_EQ(HeadlessCellAt(1, 0).bg, (platform::Rgb{255, 255, 0}));
}

TEST_F(ConsoleTest, PastingKeepsToTheBuffer) {
  CopyToClipboard("01234567890123456789");
  char buffer[10];
  PasteFromClipboard(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "012345678");
  char untouched[4] = "abc";
  PasteFromClipboard(untouched, 0);
  EXPECT_STREQ(untouched, "abc");
}

platform::Message Mouse(unsigned message, int x, int y) {
  return {.message = message, .x = x, .y = y};
}

// The point under the mouse keeps its place; a factor of 0 shows the
// whole picture instead of dividing by zero.
TEST_F(ConsoleTest, MagnifierSourceRectangleFollowsTheMouse) {
  const std::pair<const char*, int> factors[] = {
      {"[VIDEO]\nAMPLIF=3\n", 3}, {"[VIDEO]\nAMPLIF=0\n", 1}, {"[VIDEO]\nAMPLIF=8\n", 1}};
  for (const auto& [ini, zoom] : factors) {
    SCOPED_TRACE(ini);
    Reopen(ini);
    int width = 0, height = 0;
    platform::ActiveDisplay()->ClientSize(width, height);
    ConsoleWindowProc(Mouse(platform::WM_RBUTTONDOWN, 300, 90));
    int x, y, w, h;
    ASSERT_TRUE(platform::HeadlessZoom(x, y, w, h));
    EXPECT_EQ((std::vector{x, y, w, h}),
              (std::vector{300 - 300 / zoom, 90 - 90 / zoom, width / zoom, height / zoom}));
    ConsoleWindowProc(Mouse(platform::WM_RBUTTONUP, 30, 12));
    ConsoleWindowProc(Mouse(platform::WM_MOUSEMOVE, 50, 50));
    EXPECT_FALSE(platform::HeadlessZoom(x, y, w, h));
  }
}

}  // namespace
}  // namespace console_test
