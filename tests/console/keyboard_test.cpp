// Key messages to queue bytes, the queue's limits, the waits, Braille
// entry and the ways the program ends.
#include <chrono>
#include <thread>

#include "console_fixture.h"
#include "platform/os/keys.h"

namespace console_test {
namespace {

using namespace platform;
using Keys = std::vector<int>;
constexpr unsigned CtrlAlt = ModCtrl | ModAlt;

TEST_F(ConsoleTest, KeysGiveTheirBytes) {
  struct Case { unsigned message, key, mods; Keys bytes; };
  const Case cases[] = {
      {WM_KEYDOWN, VK_INSERT, ModCtrl, {0, 255}},
      {WM_KEYDOWN, VK_INSERT, ModShift, {0, 254}},
      {WM_KEYDOWN, VK_INSERT, 0, {0, 82}},
      {WM_KEYDOWN, VK_DELETE, ModCtrl | ModShift, {0, 83}},
      {WM_KEYDOWN, VK_ESCAPE, 0, {}},  // only its character counts
      {WM_KEYDOWN, VK_A + 25, CtrlAlt, {0, 44}},
      {WM_SYSKEYDOWN, VK_LEFT, ModAlt, {0, 75}},
      {WM_SYSKEYDOWN, VK_A + 5, ModAlt, {}},  // the desktop's shortcut
      {WM_CHAR, 13, ModCtrl, {10}},
      {WM_CHAR, 8, ModCtrl, {127}},
      {WM_CHAR, 0xE7, 0, {0xE7}},
  };
  for (const Case& c : cases) {
    Send(c.message, c.key, c.mods);
    EXPECT_EQ(Drain(), c.bytes) << c.message << " " << c.key << " " << c.mods;
  }
}

TEST_F(ConsoleTest, FullQueueDropsWhatDoesNotFit) {
  for (int i = 0; i < 63; ++i) Send(WM_CHAR, 'a');
  Send(WM_KEYDOWN, VK_UP);            // two bytes: dropped
  Send(WM_KEYDOWN, VK_A, CtrlAlt);
  Send(WM_CHAR, 'b');                 // one byte still fits
  Send(WM_CHAR, 'c');
  Keys keys = Drain();
  EXPECT_EQ(keys.size() * 1000 + keys.back(), 64u * 1000 + 'b');
}

// Wake-ups reach no key handler: the read goes on to the key after them.
TEST_F(ConsoleTest, ReadKeyServesPostedMessagesInOrder) {
  PostMessage(WM_SPEECH_WAKE);
  PostMessage(WM_VOICE_WAKE);
  PostMessage(Msg(WM_CHAR, 'x'));
  PostMessage(Msg(WM_KEYDOWN, VK_HOME, ModCtrl));
  EXPECT_EQ(ReadKey(), 'x');
  Delay(1);
  EXPECT_EQ(Drain(), (Keys{0, 119}));
}

bool AwaitCaret(bool wanted) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool visible = !wanted;
  int column, row;
  while (std::chrono::steady_clock::now() < until) {
    if (HeadlessCaret(visible, column, row) && visible == wanted) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

TEST_F(ConsoleTest, CaretOnlyWhileAReadWaitsWithTheFocus) {
  MoveCursor(5, 3);
  bool steps[3] = {};
  std::thread user([&] {
    steps[0] = AwaitCaret(true);
    PostMessage(WM_KILLFOCUS);
    steps[1] = AwaitCaret(false);
    PostMessage(WM_SETFOCUS);
    steps[2] = AwaitCaret(true);
    PostMessage(WM_CHAR, 'z');
  });
  EXPECT_EQ(ReadKey(), 'z');
  user.join();
  EXPECT_TRUE(steps[0] && steps[1] && steps[2]);
  bool visible = true;
  int column = 0, row = 0;
  ASSERT_TRUE(HeadlessCaret(visible, column, row));
  EXPECT_FALSE(visible);
  EXPECT_EQ(column * 100 + row, 402);
}

uintptr_t hookParam = 0;

TEST_F(ConsoleTest, WaveBlocksGoToTheHookOnlyWhenEnabled) {
  WaveDoneHook = [](uintptr_t wParam, intptr_t) { hookParam = wParam; };
  Send(MM_WOM_DONE, 7);
  EXPECT_EQ(hookParam, 0u);
  WaveDoneHookEnabled = true;
  Send(MM_WOM_DONE, 7);
  WaveDoneHookEnabled = false;
  WaveDoneHook = nullptr;
  EXPECT_EQ(hookParam, 7u);
}

int arrivals = 0;

// The first bytes of a key stop the sound through the hook and queue
// nothing; KeyPressed then waits for the key, and gives up (false, never
// stuck) when the display keeps waiting for bytes that do not come.
TEST_F(ConsoleTest, ArrivingKeyStopsTheSoundThenKeyPressedWaitsForIt) {
  KeyArrivingHook = [] { ++arrivals; };
  SetHeadlessKeyArriving(true);
  PostMessage(WM_KEY_ARRIVING);
  EXPECT_FALSE(KeyPressed());
  EXPECT_EQ(arrivals, 1);
  PostMessage(WM_KEY_ARRIVING);
  std::thread display([] {
    PostMessage(WM_CHAR, 'y');
    SetHeadlessKeyArriving(false);
  });
  EXPECT_TRUE(KeyPressed());
  display.join();
  EXPECT_EQ(arrivals, 2);
  EXPECT_EQ(Drain(), std::vector<int>{'y'});
  KeyArrivingHook = nullptr;
}

// Presses every key of the chord, then releases them all.
void Chord(const char* letters) {
  auto key = [](char c) { return c == ' ' ? VK_SPACE : VK_A + (c - 'A'); };
  for (const char* c = letters; *c; ++c) Send(WM_KEYDOWN, key(*c));
  for (const char* c = letters; *c; ++c) Send(WM_KEYUP, key(*c));
}

TEST_F(ConsoleTest, BrailleModeOneChords) {
  Reopen("[BRAILLE]\nMODO=1\n");
  EXPECT_EQ(tonesPlayed, (std::vector<int>{800, 1600}));
  Send(WM_CHAR, 'f');  // letters come from chords only
  Send(WM_CHAR, ' ');
  for (const char* chord : {"FD", " ", " F", "FDK", "Q"}) Chord(chord);
  Send(WM_CHAR, '7');
  EXPECT_EQ(Drain(), (Keys{'b', ' ', 1, 'h', ' ', '7'}));
}

TEST_F(ConsoleTest, BrailleModeTwoTextRules) {
  Reopen("[BRAILLE]\nMODO=2\n");
  EXPECT_EQ(tonesPlayed, (std::vector<int>{800, 400}));
  // Capital sign, a, a; capital lock, a, b; a key that is no letter ends
  // the lock; number sign, a, j, apostrophe, tilde, a.
  for (const char* chord : {"JL", "F", "F", "JL", "JL", "F", "FD"}) Chord(chord);
  Send(WM_KEYUP, VK_F1);
  for (const char* chord : {"F", "SJKL", "F", "DJK", "S", "K", "F"}) Chord(chord);
  EXPECT_EQ(Drain(), (Keys{'A', 'a', 'A', 'B', 'a', '1', '0', '.', 126, 'a'}));
}

TEST_F(ConsoleTest, BrailleModeSwitchesWithTones) {
  for (unsigned key : {VK_F11, VK_F11, VK_F11, VK_F12})
    Send(WM_KEYDOWN, key, CtrlAlt);
  EXPECT_EQ(BrailleMode, 0);
  EXPECT_EQ(tonesPlayed,
            (std::vector<int>{800, 1600, 800, 400, 800, 1600, 100}));
  tonesPlayed.clear();
  SetBrailleMode(0);  // already off: silent
  SetBrailleMode(3);
  EXPECT_EQ(BrailleMode, 1);
  EXPECT_EQ(tonesPlayed, (std::vector<int>{800, 1600}));
}

std::unique_ptr<Display> NoDisplay() { return nullptr; }

using ConsoleDeathTest = ConsoleTest;

TEST_F(ConsoleDeathTest, WaysTheProgramEnds) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(CloseConsole(), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(Send(WM_CLOSE, 0), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(Send(WM_KEYDOWN, VK_CANCEL, ModCtrl),
              ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT((PostMessage(WM_QUIT), ReadKey()),
              ::testing::ExitedWithCode(255), "");
  // The end of piped input: the keys read before it are handled first.
  Send(WM_CHAR, 'a');
  Send(WM_CLOSE, CloseAfterKeys);
  EXPECT_EQ(ReadKey(), 'a');
  EXPECT_EXIT(ReadKey(), ::testing::ExitedWithCode(0), "");
  // The display's own library ends the program while the window closes
  // (Xlib does on a protocol error as SDL shuts down): it ends with that status, no crash.
  EXPECT_EXIT((platform::SetHeadlessOnRelease([] { std::exit(3); }), CloseConsole()),
              ::testing::ExitedWithCode(3), "");
  CloseConsoleWindow();
  console_detail::SetDisplayFactory(NoDisplay);
  EXPECT_EXIT(OpenConsole(), ::testing::ExitedWithCode(1), "abrir a tela");
  console_detail::SetDisplayFactory(nullptr);
}

}  // namespace
}  // namespace console_test
