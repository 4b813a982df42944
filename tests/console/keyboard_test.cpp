// Key messages to queue bytes, the queue's limits, the waits, Braille
// entry and the ways the program ends.
#include <chrono>
#include <thread>

#include "console_fixture.h"
#include "platform/keys.h"

namespace console_test {
namespace {

using namespace platform;
using Keys = std::vector<int>;

TEST_F(ConsoleTest, ExtendedKeysGiveZeroAndACode) {
  Down(VK_INSERT, ModCtrl);
  Down(VK_INSERT, ModShift);
  Down(VK_INSERT);
  Down(VK_DELETE, ModCtrl);
  Down(VK_DELETE, ModShift);
  Down(VK_F1);
  Down(VK_F10, ModCtrl);
  Down(VK_F12);
  Down(VK_PRIOR, ModCtrl);
  Down(VK_ESCAPE);  // a character key: only its WM_CHAR counts
  EXPECT_EQ(Drain(), (Keys{0, 255, 0, 254, 0, 82, 0, 83, 0, 83, 0, 59, 0, 103,
                           0, 70, 0, 132}));
}

TEST_F(ConsoleTest, CharactersAndTheirCtrlForms) {
  Char(13, ModCtrl);
  Char(8, ModCtrl);
  Char(13);
  Char(8);
  Char(0xE7);
  Char(27);
  EXPECT_EQ(Drain(), (Keys{10, 127, 13, 8, 0xE7, 27}));
}

TEST_F(ConsoleTest, AltKeysGiveTheirCodes) {
  Down(VK_A, ModAlt | ModCtrl);
  Down(VK_A + 25, ModAlt | ModCtrl);
  Down(VK_0 + 1, ModAlt | ModCtrl);
  Down(VK_0, ModAlt | ModCtrl);
  Down(VK_F4, ModAlt);
  EXPECT_EQ(Drain(), (Keys{0, 30, 0, 44, 0, 120, 0, 129, 0, 62}));
}

TEST_F(ConsoleTest, SystemKeysOtherThanAltArrowsBelongToTheDesktop) {
  ConsoleWindowProc(Key(WM_SYSKEYDOWN, VK_LEFT, ModAlt));
  ConsoleWindowProc(Key(WM_SYSKEYDOWN, VK_A + 5, ModAlt));
  ConsoleWindowProc(Key(WM_SYSKEYDOWN, VK_F4, ModAlt));
  ConsoleWindowProc(Key(WM_SYSKEYDOWN, VK_RIGHT, ModAlt));
  EXPECT_EQ(Drain(), (Keys{0, 75, 0, 77}));
}

TEST_F(ConsoleTest, QueueLimits) {
  for (int i = 0; i < 63; ++i) Char('a');
  Down(VK_UP);   // needs two bytes: dropped
  Down(VK_A, ModAlt | ModCtrl);
  EXPECT_EQ(QueuedKeyCount(), 63);
  Char('b');     // one byte still fits
  Char('c');     // full
  EXPECT_EQ(QueuedKeyCount(), 64);
  Keys keys = Drain();
  EXPECT_EQ(keys.back(), 'b');
  Down(VK_UP);
  EXPECT_EQ(Drain(), (Keys{0, 72}));
}

TEST_F(ConsoleTest, ReadKeyWaitsForPostedKeysWithTheCaretShown) {
  PostMessage(Key(WM_CHAR, 'x'));
  PostMessage(Key(WM_KEYDOWN, VK_HOME, ModCtrl));
  EXPECT_EQ(ReadKey(), 'x');
  EXPECT_EQ(ReadKey(), 0);
  EXPECT_EQ(ReadKey(), 119);
  bool visible = true;
  int column, row;
  ASSERT_TRUE(HeadlessCaret(visible, column, row));
  EXPECT_FALSE(visible);  // only while a read waits
}

// The wake-up messages reach no key handler: a read goes on waiting for
// the key that follows them.
TEST_F(ConsoleTest, WakeMessagesOnlyEndTheWait) {
  PostMessage(WM_SPEECH_WAKE);
  PostMessage(WM_VOICE_WAKE);
  PostMessage(Key(WM_CHAR, 'k'));
  EXPECT_EQ(ReadKey(), 'k');
  EXPECT_EQ(QueuedKeyCount(), 0);
}

TEST_F(ConsoleTest, DelayServesMessagesThatArrive) {
  PostMessage(Key(WM_CHAR, 'd'));
  Delay(1);
  EXPECT_EQ(QueuedKeyCount(), 1);
}

uintptr_t hookParam = 0;
void RecordWaveDone(uintptr_t wParam, intptr_t) { hookParam = wParam; }

TEST_F(ConsoleTest, WaveBlocksGoToTheHookOnlyWhenEnabled) {
  WaveDoneHook = RecordWaveDone;
  hookParam = 0;
  ConsoleWindowProc(Key(MM_WOM_DONE, 7));
  EXPECT_EQ(hookParam, 0u);
  WaveDoneHookEnabled = true;
  ConsoleWindowProc(Key(MM_WOM_DONE, 7));
  WaveDoneHookEnabled = false;
  WaveDoneHook = nullptr;
  EXPECT_EQ(hookParam, 7u);
}

// A chord: press every key, then release them all.
unsigned VirtualKey(char c) { return c == ' ' ? VK_SPACE : VK_A + (c - 'A'); }

void Chord(std::initializer_list<char> letters) {
  for (char c : letters) ConsoleTest::Down(VirtualKey(c));
  for (char c : letters) ConsoleTest::Up(VirtualKey(c));
}

TEST_F(ConsoleTest, BrailleModeOneChords) {
  Reopen("[BRAILLE]\nMODO=1\n");
  EXPECT_EQ(BrailleMode, 1);
  EXPECT_EQ(TonesPlayed(), (std::vector<int>{800, 1600}));
  Char('f');  // letters typed as characters are dropped
  Char(' ');
  Chord({'F', 'D'});
  Chord({' '});
  Chord({' ', 'F'});
  Chord({'F', 'D', 'K'});        // dots 1 2 5: h
  Chord({'Q'});                  // no dots: a blank
  Char('7');
  EXPECT_EQ(Drain(), (Keys{'b', ' ', 1, 'h', ' ', '7'}));
}

TEST_F(ConsoleTest, BrailleModeTwoTextRules) {
  Reopen("[BRAILLE]\nMODO=2\n");
  EXPECT_EQ(TonesPlayed(), (std::vector<int>{800, 400}));
  Chord({'J', 'L'});             // capital sign
  Chord({'F'});
  Chord({'F'});
  Chord({'J', 'L'});
  Chord({'J', 'L'});             // capital lock
  Chord({'F'});
  Chord({'F', 'D'});
  Up(VK_F1);                     // a key that is no letter ends the lock
  Chord({'F'});
  Chord({'S', 'J', 'K', 'L'});   // number sign
  Chord({'F'});
  Chord({'D', 'J', 'K'});        // dots 2 4 5: j
  Chord({'S'});                  // apostrophe: a decimal point
  Chord({'K'});                  // dot 5: tilde ends the number
  Chord({'F'});
  EXPECT_EQ(Drain(), (Keys{'A', 'a', 'A', 'B', 'a', '1', '0', '.', 126, 'a'}));
}

TEST_F(ConsoleTest, BrailleModeSwitchesWithTones) {
  Down(VK_F11, ModCtrl | ModAlt);
  EXPECT_EQ(BrailleMode, 1);
  Down(VK_F11, ModCtrl | ModAlt);
  Down(VK_F11, ModCtrl | ModAlt);
  EXPECT_EQ(BrailleMode, 1);
  Down(VK_F12, ModCtrl | ModAlt);
  EXPECT_EQ(BrailleMode, 0);
  EXPECT_EQ(TonesPlayed(),
            (std::vector<int>{800, 1600, 800, 400, 800, 1600, 100}));
  TonesPlayed().clear();
  SetBrailleMode(0);  // already off: silent
  SetBrailleMode(3);
  EXPECT_EQ(BrailleMode, 1);
  EXPECT_EQ(TonesPlayed(), (std::vector<int>{800, 1600}));
}

bool CaretShown(bool& visible) {
  int column, row;
  return HeadlessCaret(visible, column, row);
}

// Waits (bounded) until the caret is as wanted; false if it never is.
bool AwaitCaret(bool wanted) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool visible = !wanted;
  while (std::chrono::steady_clock::now() < until) {
    if (CaretShown(visible) && visible == wanted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

TEST_F(ConsoleTest, CaretOnlyWhileAReadWaitsWithTheFocus) {
  MoveCursor(5, 3);
  bool shown = false, hiddenOnFocusLoss = false, backOnFocus = false;
  std::thread user([&] {
    shown = AwaitCaret(true);
    PostMessage(WM_KILLFOCUS);
    hiddenOnFocusLoss = AwaitCaret(false);
    PostMessage(WM_SETFOCUS);
    backOnFocus = AwaitCaret(true);
    PostMessage(WM_CHAR, 'z');
  });
  EXPECT_EQ(ReadKey(), 'z');
  user.join();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(hiddenOnFocusLoss);
  EXPECT_TRUE(backOnFocus);
  bool visible = true;
  int column = 0, row = 0;
  ASSERT_TRUE(HeadlessCaret(visible, column, row));
  EXPECT_FALSE(visible);
  EXPECT_EQ(column, 4);
  EXPECT_EQ(row, 2);
}

std::unique_ptr<Display> NoDisplay() { return nullptr; }

using ConsoleDeathTest = ConsoleTest;

TEST_F(ConsoleDeathTest, WithoutAnyDisplayTheProgramSaysSo) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  CloseConsoleWindow();
  console_detail::SetDisplayFactory(NoDisplay);
  EXPECT_EXIT(OpenConsole(), ::testing::ExitedWithCode(1), "abrir a tela");
  console_detail::SetDisplayFactory(nullptr);
}

TEST_F(ConsoleDeathTest, WaysTheProgramEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CloseConsole(), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(ConsoleWindowProc(Key(WM_CLOSE, 0)),
              ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(Down(VK_CANCEL, ModCtrl), ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        PostMessage(WM_QUIT);
        ReadKey();
      },
      ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace console_test
