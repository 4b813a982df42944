// The message queue: posting from any thread, waiting without polling,
// and the headless display that tests read back.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/headless.h"
#include "platform/keys.h"
#include "platform/messages.h"

namespace platform {
namespace {

// Runs every test with no display, with the headless one, and with a
// terminal display that is not open (it must sleep and wake all the same).
class Queue : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    ClearMessages();
    if (GetParam().empty()) return;
    display_ = CreateDisplay(GetParam());
    if (GetParam() == "headless") ASSERT_TRUE(display_->Open(DisplaySettings{}));
    SetActiveDisplay(display_.get());
  }
  void TearDown() override {
    SetActiveDisplay(nullptr);
    if (display_) display_->Close();
    ClearMessages();
  }
  std::unique_ptr<Display> display_;
};

TEST_P(Queue, PostedMessagesComeOutInOrder) {
  PostMessage(WM_SPEECH_WAKE, 1, 2);
  PostMessage(MM_WOM_DONE, 3, 4);
  Message m;
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.message, WM_SPEECH_WAKE);
  EXPECT_EQ(m.lParam, 2);
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.message, MM_WOM_DONE);
  EXPECT_FALSE(PeekMessage(m));
}

TEST_P(Queue, PostFromAnotherThreadWakesWaitMessage) {
  std::atomic<bool> waiting{false};
  std::thread poster([&] {
    while (!waiting.load()) std::this_thread::yield();
    PostMessage(WM_VOICE_WAKE);
  });
  waiting = true;
  WaitMessage();
  Message m;
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.message, WM_VOICE_WAKE);
  poster.join();
}

TEST_P(Queue, WaitMessageForTimesOutWithNothingQueued) {
  int64_t start = MonotonicMs();
  EXPECT_FALSE(WaitMessageFor(30));
  EXPECT_GE(MonotonicMs() - start, 29);
  PostMessage(WM_PAINT);
  EXPECT_TRUE(WaitMessageFor(0));
  EXPECT_TRUE(WaitMessageFor(1000));
}

TEST_P(Queue, ManyThreadsLoseNothing) {
  constexpr int kThreads = 4, kEach = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < kEach; ++i) PostMessage(MM_WOM_DONE, 0, i);
    });
  int received = 0;
  Message m;
  while (received < kThreads * kEach) {
    ASSERT_TRUE(WaitMessageFor(5000));
    while (PeekMessage(m)) ++received;
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(received, kThreads * kEach);
}

Message lastDispatched;
void Record(const Message& m) { lastDispatched = m; }

TEST_P(Queue, DispatchReachesTheWindowProc) {
  SetWindowProc(Record);
  Message m;
  m.message = WM_CHAR;
  m.wParam = 'x';
  DispatchMessage(m);
  EXPECT_EQ(lastDispatched.wParam, 'x');
  SetWindowProc(nullptr);
  m.wParam = 'y';
  DispatchMessage(m);
  EXPECT_EQ(lastDispatched.wParam, 'x');
}

INSTANTIATE_TEST_SUITE_P(Display, Queue, ::testing::Values("", "headless", "terminal"));

TEST(Headless, KeepsWhatWasDrawn) {
  auto display = CreateDisplay("headless");
  DisplaySettings settings;
  settings.title = "Selenor";
  ASSERT_TRUE(display->Open(settings));
  const Rgb yellow{255, 255, 0}, blue{0, 0, 255};
  const unsigned char text[] = "Ol\xE1";
  display->DrawText(78, 0, text, 3, yellow, blue);  // the last cell falls off
  display->DrawText(0, 1, text, 3, yellow, blue);
  EXPECT_EQ(HeadlessRowText(0).substr(78), "Ol");
  EXPECT_EQ(HeadlessCellAt(2, 1).ch, 0xE1);
  EXPECT_EQ(HeadlessCellAt(2, 1).bg, blue);
  EXPECT_TRUE(display->ScrollUp(blue));
  EXPECT_EQ(HeadlessRowText(0).substr(0, 3), "Ol\xE1");
  EXPECT_EQ(HeadlessCellAt(0, 24).bg, blue);
  display->SetCaret(true, 4, 5);
  bool visible = false;
  int column = 0, row = 0;
  ASSERT_TRUE(HeadlessCaret(visible, column, row));
  EXPECT_TRUE(visible);
  EXPECT_EQ(column * 100 + row, 405);
  display->SetClipboardText("c\xF3pia");
  std::string clip;
  ASSERT_TRUE(display->GetClipboardText(clip));
  EXPECT_EQ(clip, "c\xF3pia");
  EXPECT_EQ(HeadlessTitle(), "Selenor");
  display->Close();
}

TEST(Headless, TypedBytesArriveAsKeyMessages) {
  ClearMessages();
  HeadlessTypeBytes("\x1b[2;5~");
  Message m;
  ASSERT_TRUE(PeekMessage(m));
  EXPECT_EQ(m.message, WM_KEYDOWN);
  EXPECT_EQ(m.wParam, VK_INSERT);
  EXPECT_EQ(m.mods, ModCtrl);
  EXPECT_FALSE(PeekMessage(m));
}

TEST(DisplayChoice, UnknownNameFallsBackToTheTerminal) {
  testing::internal::CaptureStderr();
  auto display = CreateDisplay("nenhum");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_STREQ(display->Name(), "terminal");
  EXPECT_NE(err.find("nenhum"), std::string::npos);
}

// Saves an environment variable and puts it back.
struct EnvGuard {
  explicit EnvGuard(const char* name) : name(name) {
    const char* v = getenv(name);
    had = v != nullptr;
    if (v) value = v;
  }
  ~EnvGuard() { had ? setenv(name, value.c_str(), 1) : unsetenv(name); }
  const char* name;
  bool had = false;
  std::string value;
};

TEST(DisplayChoice, EnvironmentPicksTheBackEnd) {
  EnvGuard chosen("SONARIS_DISPLAY"), x11("DISPLAY"), wayland("WAYLAND_DISPLAY");
  setenv("SONARIS_DISPLAY", "headless", 1);
  EXPECT_STREQ(CreateDisplay()->Name(), "headless");
  unsetenv("SONARIS_DISPLAY");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_STREQ(CreateDisplay()->Name(), "terminal");
  setenv("SONARIS_DISPLAY", "", 1);  // empty counts as unset
  EXPECT_STREQ(CreateDisplay()->Name(), "terminal");
}

}  // namespace
}  // namespace platform
