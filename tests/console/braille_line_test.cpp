// The console's line on a Braille display: the line last written on or
// moved to, the cursor when it is there, and the display's keys as keys.
#include "console_fixture.h"
#include "tests/platform/fake_braille.h"

namespace console_test {
namespace {

using braille_test::BrailleMessage;

class BrailleLine : public ConsoleTest {
 protected:
  void SetUp() override {
    ConsoleTest::SetUp();
    fake = braille_test::StartFake(40);
  }
  void TearDown() override {
    platform::BrailleStop();
    ConsoleTest::TearDown();
  }
  std::string Shown() const { return fake->text.substr(0, fake->text.find_last_not_of(' ') + 1); }
  braille_test::FakeBraille* fake = nullptr;
};

TEST_F(BrailleLine, FollowsWritingMovingAndScrolling) {
  struct {
    const char* what;
    void (*act)();
    const char* shown;
    int cursor;
  } const steps[] = {
      {"text written", [] { WriteChars("Data: "); }, "Data:", 6},
      {"a line end keeps the line just written, without the cursor",
       [] { WriteChars("\n"); }, "Data:", -1},
      {"a cursor move shows the cursor's line", [] { MoveCursor(3, 2); }, "", 2},
      {"a line moved up by scrolling is followed",
       [] {
         MoveCursor(1, ScreenRows);
         WriteChars("fim\n");
       },
       "fim", -1},
      {"the screen cleared", [] { ClearScreen(); }, "", 0},
  };
  for (const auto& step : steps) {
    step.act();
    PumpMessages();
    EXPECT_EQ(Shown(), step.shown) << step.what;
    EXPECT_EQ(fake->cursor, step.cursor) << step.what;
  }
}

TEST_F(BrailleLine, DisplayKeysBecomeKeys) {
  WriteChars("Data: 10/05");
  PumpMessages();
  ConsoleWindowProc(BrailleMessage(platform::BRAILLE_ROUTE, 7));
  ConsoleWindowProc(BrailleMessage(platform::BRAILLE_LINE_UP));
  ConsoleWindowProc(BrailleMessage(platform::BRAILLE_LINE_DOWN));
  EXPECT_EQ(Drain(), (std::vector<int>{0, BrailleRouteCode, 0, 72, 0, 80}));
  int column = 0, row = 0;
  RoutedCell(column, row);
  EXPECT_EQ(column, 8);
  EXPECT_EQ(row, 1);
}

TEST_F(BrailleLine, PanningSilencesUntilTheNextKeyRead) {
  WriteChars(std::string(70, 'x'));
  PumpMessages();
  ASSERT_EQ(fake->cursor, 30);
  ConsoleWindowProc(BrailleMessage(platform::BRAILLE_PAN_LEFT));
  EXPECT_EQ(QueuedKeyCount(), 0) << "panning typed something";
  EXPECT_TRUE(SilencePending());
  EXPECT_EQ(fake->cursor, -1) << "the window did not pan";
  Send(platform::WM_CHAR, 'a');
  EXPECT_EQ(ReadKey(), 'a');
  EXPECT_FALSE(SilencePending());
}

}  // namespace
}  // namespace console_test
