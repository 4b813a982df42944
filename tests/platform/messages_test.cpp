// The message queue: posting from any thread, waiting without polling,
// and the headless display that tests read back.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/os/clock.h"
#include "platform/display/display.h"
#include "platform/display/headless.h"
#include "platform/os/messages.h"

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
    if (GetParam() == "headless") {
      ASSERT_TRUE(display_->Open(DisplaySettings{}));
    }
    SetActiveDisplay(display_.get());
  }
  void TearDown() override {
    SetActiveDisplay(nullptr);
    if (display_) display_->Close();
    ClearMessages();
  }
  std::unique_ptr<Display> display_;
};

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
  PostMessage(MM_WOM_DONE, 3, 4);
  EXPECT_TRUE(WaitMessageFor(0));
  Message m;
  ASSERT_TRUE(PeekMessage(m) && PeekMessage(m));  // in the order posted
  EXPECT_EQ(m.lParam, 4);
  EXPECT_FALSE(PeekMessage(m));
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
  EXPECT_EQ(HeadlessTitle(), "Selenor");
  display->Close();
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
  testing::internal::CaptureStderr();
  EXPECT_STREQ(CreateDisplay("nenhum")->Name(), "terminal");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("nenhum"), std::string::npos);
}

}  // namespace
}  // namespace platform
