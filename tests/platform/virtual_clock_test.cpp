// The virtual clock (run by CTest with SONARIS_CLOCK=virtual): a wait with
// nothing to serve skips to its deadline or to a source's next event, and
// does not skip while the clock is held.
#include <gtest/gtest.h>

#include "platform/os/clock.h"
#include "platform/os/messages.h"

namespace platform {
namespace {

// An event 300 ms ahead that posts a message when the clock reaches it.
class FakeSource : public ClockSource {
 public:
  int64_t NextEventNs() override { return due_; }
  void CatchUp() override {
    if (due_ < 0 || MonotonicNs() < due_) return;
    due_ = -1;
    PostMessage(WM_VOICE_WAKE);
  }
  void Arm(int64_t ms) { due_ = MonotonicNs() + ms * 1000000; }

 private:
  int64_t due_ = -1;
};

class VirtualClock : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ClockSkips()) GTEST_SKIP() << "needs SONARIS_CLOCK=virtual";
    ClearMessages();
  }
};

TEST_F(VirtualClock, WaitsSkipToTheFirstDeadlineAndHoldsWaitInRealTime) {
  static FakeSource source;  // sources live to the end
  AddClockSource(&source);
  struct Case {
    int waitMs;   // -1: WaitMessage
    int eventMs;  // -1: no event
    bool held;
    bool message;
    int64_t skippedMs;
  } cases[] = {
      {5000, -1, false, false, 5000},
      {5000, 300, false, true, 300},
      {-1, 300, false, true, 300},
      {40, -1, true, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.waitMs << " " << c.eventMs << " " << c.held);
    if (c.eventMs >= 0) source.Arm(c.eventMs);
    if (c.held) HoldClock();
    const int64_t real = RealMonotonicMs(), program = MonotonicMs();
    const bool got = c.waitMs < 0 ? (WaitMessage(), true) : WaitMessageFor(c.waitMs);
    const int64_t realSpent = RealMonotonicMs() - real;
    const int64_t skipped = MonotonicMs() - program - realSpent;
    if (c.held) ReleaseClock();
    EXPECT_EQ(got, c.message);
    EXPECT_NEAR(skipped, c.skippedMs, 2);
    if (c.held) {
      EXPECT_GE(realSpent, c.waitMs - 1);
    }
    ClearMessages();
  }
}

}  // namespace
}  // namespace platform
