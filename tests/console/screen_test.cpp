// The screen buffer: writing, wrapping, scrolling, control bytes, colours
// on the display, clipboard and the magnifier.
#include "console_fixture.h"
#include "platform/clock.h"

namespace console_test {
namespace {

using platform::HeadlessCellAt;
using platform::HeadlessRowText;

TEST_F(ConsoleTest, WritingWrapsAfterTheEightiethColumn) {
  Write(std::string(80, 'x'));
  EXPECT_EQ(CursorColumn(), 81);
  EXPECT_EQ(CursorRow(), 1);
  Write("y");
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(CursorColumn(), 2);
  EXPECT_EQ(ScreenCharAt(1, 2), 'y');
  EXPECT_EQ(HeadlessRowText(0), std::string(80, 'x'));
  EXPECT_EQ(HeadlessRowText(1)[0], 'y');
}

TEST_F(ConsoleTest, WritingPastTheLastRowScrollsWithABlankBottomRow) {
  MoveCursor(1, 1);
  Write("top");
  MoveCursor(1, 2);
  Write("second");
  MoveCursor(1, 25);
  Write(std::string(80, 'z'));
  TextAttribute = 0x1E;
  Write("!");
  EXPECT_EQ(CursorRow(), 25);
  EXPECT_EQ(ScreenCharAt(1, 1), 's');                 // the top row is lost
  EXPECT_EQ(ScreenCharAt(80, 24), 'z');
  EXPECT_EQ(ScreenCharAt(1, 25), '!');
  EXPECT_EQ(ScreenCharAt(2, 25), ' ');
  EXPECT_EQ(ScreenAttrAt(80, 25), 0x1E);
  // Without LENTO the display is repainted, not scrolled.
  EXPECT_EQ(platform::HeadlessScrollCount(), 0);
  EXPECT_EQ(HeadlessRowText(0).substr(0, 6), "second");
  EXPECT_EQ(HeadlessCellAt(5, 24).bg, (platform::Rgb{0, 0, 255}));
}

TEST_F(ConsoleTest, LineFeedAtTheBottomScrollsByMovingPixelsWhenSlow) {
  Reopen("[VIDEO]\nLENTO=sim\n");
  MoveCursor(1, 2);
  Write("kept");
  MoveCursor(1, 25);
  Write("\n");
  EXPECT_EQ(platform::HeadlessScrollCount(), 1);
  EXPECT_EQ(ScreenCharAt(1, 1), 'k');
  EXPECT_EQ(HeadlessRowText(0).substr(0, 4), "kept");
}

TEST_F(ConsoleTest, ControlBytes) {
  Write("ab\x08");
  EXPECT_EQ(CursorColumn(), 2);
  EXPECT_EQ(ScreenCharAt(2, 1), ' ');
  EXPECT_EQ(HeadlessRowText(0).substr(0, 2), "a ");
  Write("\x08\x08\x08");  // nothing left of column 1
  EXPECT_EQ(CursorColumn(), 1);
  Write("q\t\x01\x1B\x0C\x07r");
  EXPECT_EQ(ScreenCharAt(1, 1), 'q');
  EXPECT_EQ(ScreenCharAt(2, 1), 'r');
  Write("\rX");
  EXPECT_EQ(ScreenCharAt(1, 1), 'X');
  Write("\nY");
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(ScreenCharAt(1, 2), 'Y');
  Write("\xE7\xE3");  // Latin-1 letters are printable
  EXPECT_EQ(ScreenCharAt(3, 2), 0xE3);
}

TEST_F(ConsoleTest, ClearingAndCursorClamping) {
  MoveCursor(0, 0);
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(CursorRow(), 1);
  MoveCursor(200, 200);
  EXPECT_EQ(CursorColumn(), 80);
  EXPECT_EQ(CursorRow(), 25);
  MoveCursor(1, 3);
  Write("abcdef");
  MoveCursor(3, 3);
  TextAttribute = 0x20;
  ClearToEndOfLine();
  EXPECT_EQ(CursorColumn(), 3);
  EXPECT_EQ(ScreenCharAt(2, 3), 'b');
  EXPECT_EQ(ScreenCharAt(3, 3), ' ');
  EXPECT_EQ(ScreenAttrAt(80, 3), 0x20);
  EXPECT_EQ(HeadlessRowText(2).substr(0, 4), "ab  ");
  ClearScreen();
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(ScreenCharAt(1, 3), ' ');
  EXPECT_EQ(ScreenAttrAt(40, 12), 0x20);
}

TEST_F(ConsoleTest, CellsOutsideTheScreenReadAsBlanks) {
  Write("a");
  TextAttribute = 0x4E;
  for (auto [col, row] : {std::pair{0, 1}, {81, 1}, {1, 0}, {1, 26},
                          {-5, 1000}, {100000, 100000}}) {
    EXPECT_EQ(ScreenCharAt(col, row), ' ');
    EXPECT_EQ(ScreenAttrAt(col, row), 0x4E);
  }
  EXPECT_EQ(ScreenCharAt(80, 25), ' ');
}

TEST_F(ConsoleTest, BackgroundChangesUnlessColoursAreFixed) {
  TextAttribute = 0x1E;
  SetTextBackground(4);
  EXPECT_EQ(TextAttribute, 0x4E);
  Reopen("[VIDEO]\nCORESFIXAS=s\n");
  uint8_t before = TextAttribute;
  SetTextBackground(4);
  EXPECT_EQ(TextAttribute, before);
}

TEST_F(ConsoleTest, ColoursGoThroughTheTableAndThePalette) {
  Reopen("[VIDEO]\nTABCORES=5,16,2\n");
  TextAttribute = 0x10;  // foreground 0 -> palette 5, background 1 -> 16
  Write("a");
  TextAttribute = 0xE2;
  Write("b");
  auto a = HeadlessCellAt(0, 0);
  EXPECT_EQ(a.fg, (platform::Rgb{142, 0, 142}));
  EXPECT_EQ(a.bg, (platform::Rgb{0, 0, 0}));  // beyond the palette: black
  auto b = HeadlessCellAt(1, 0);
  EXPECT_EQ(b.fg, (platform::Rgb{0, 255, 0}));
  EXPECT_EQ(b.bg, (platform::Rgb{255, 255, 0}));
}

TEST_F(ConsoleTest, PastingKeepsToTheBuffer) {
  CopyToClipboard("01234567890123456789");
  char buffer[10];
  PasteFromClipboard(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "012345678");
  char untouched[4] = "abc";
  PasteFromClipboard(untouched, 0);
  EXPECT_STREQ(untouched, "abc");
  CopyToClipboard("hi");
  char roomy[10];
  PasteFromClipboard(roomy, sizeof roomy);
  EXPECT_STREQ(roomy, "hi");
  EXPECT_EQ(platform::HeadlessClipboard(), "hi");
}

platform::Message Mouse(unsigned message, int x, int y) {
  platform::Message m;
  m.message = message;
  m.x = x;
  m.y = y;
  return m;
}

struct ZoomCase {
  const char* ini;
  int zoom;
};

class MagnifierTest : public ConsoleTest,
                      public ::testing::WithParamInterface<ZoomCase> {};

// The point under the mouse keeps its place; a factor of 0 shows the
// whole picture instead of dividing by zero.
TEST_P(MagnifierTest, SourceRectangleFollowsTheMouse) {
  Reopen(GetParam().ini);
  int width = 0, height = 0;
  platform::ActiveDisplay()->ClientSize(width, height);
  int zoom = GetParam().zoom;
  ConsoleWindowProc(Mouse(platform::WM_RBUTTONDOWN, 300, 90));
  int x, y, w, h;
  ASSERT_TRUE(platform::HeadlessZoom(x, y, w, h));
  EXPECT_EQ(x, 300 - 300 / zoom);
  EXPECT_EQ(y, 90 - 90 / zoom);
  EXPECT_EQ(w, width / zoom);
  EXPECT_EQ(h, height / zoom);
  ConsoleWindowProc(Mouse(platform::WM_MOUSEMOVE, 30, 12));
  ASSERT_TRUE(platform::HeadlessZoom(x, y, w, h));
  EXPECT_EQ(x, 30 - 30 / zoom);
  ConsoleWindowProc(Mouse(platform::WM_RBUTTONUP, 30, 12));
  EXPECT_FALSE(platform::HeadlessZoom(x, y, w, h));
  ConsoleWindowProc(Mouse(platform::WM_MOUSEMOVE, 50, 50));
  EXPECT_FALSE(platform::HeadlessZoom(x, y, w, h));
}

INSTANTIATE_TEST_SUITE_P(Factors, MagnifierTest,
                         ::testing::Values(ZoomCase{"", 2},
                                           ZoomCase{"[VIDEO]\nAMPLIF=3\n", 3},
                                           ZoomCase{"[VIDEO]\nAMPLIF=0\n", 1},
                                           ZoomCase{"[VIDEO]\nAMPLIF=8\n", 1}));

TEST_F(ConsoleTest, DateAndTimeComeFromTheClock) {
  platform::LocalTime fixed{2024, 2, 29, 4, 23, 59, 58, 999};
  platform::SetFixedTime(&fixed);
  uint16_t y, mo, d, wd, h, mi, s, hs;
  CurrentDate(y, mo, d, wd);
  CurrentTime(h, mi, s, hs);
  platform::SetFixedTime(nullptr);
  EXPECT_EQ((std::vector<int>{y, mo, d, wd, h, mi, s, hs}),
            (std::vector<int>{2024, 2, 29, 4, 23, 59, 58, 99}));
}

}  // namespace
}  // namespace console_test
