// Wall clock and monotonic time, real or virtual. A test may fix the wall
// clock.
#include "platform/os/clock.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

namespace platform {
namespace {

struct ClockState {
  std::mutex mutex;
  bool fixed = false;
  LocalTime fixedTime{};
};
ClockState clockState;

// SONARIS_CLOCK: how waits pass.
struct ClockKind {
  const char* name;
  bool skips;
};
constexpr ClockKind kClocks[] = {{"real", false}, {"virtual", true}};

bool ChosenClockSkips() {
  const char* env = std::getenv("SONARIS_CLOCK");
  if (!env || !*env) return false;
  for (const ClockKind& k : kClocks)
    if (std::strcmp(env, k.name) == 0) return k.skips;
  std::fprintf(stderr, "SONARIS_CLOCK=%s não é conhecido (use real ou virtual); uso o relógio real.\n",
               env);
  return false;
}

struct VirtualState {
  std::atomic<int64_t> skipped{0};  // ns added to the real clock
  std::atomic<int> holds{0};
  std::mutex sourcesLock;           // also orders skips
  std::vector<ClockSource*> sources;
};
// Never destroyed: sound threads read the clock until the very end.
VirtualState& V = *new VirtualState;

int64_t RealNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

}  // namespace

LocalTime Now() {
  {
    std::lock_guard<std::mutex> lock(clockState.mutex);
    if (clockState.fixed) return clockState.fixedTime;
  }
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_wday,        local.tm_hour,    local.tm_min,
                   local.tm_sec,         static_cast<int>(ts.tv_nsec / 1000000)};
}

int64_t MonotonicNs() { return RealNs() + V.skipped.load(); }
int64_t MonotonicMs() { return MonotonicNs() / 1000000; }
int64_t RealMonotonicMs() { return RealNs() / 1000000; }

void SetFixedTime(const LocalTime* t) {
  std::lock_guard<std::mutex> lock(clockState.mutex);
  clockState.fixed = t != nullptr;
  if (t) clockState.fixedTime = *t;
}

void AddClockSource(ClockSource* source) {
  std::lock_guard<std::mutex> lock(V.sourcesLock);
  V.sources.push_back(source);
}

bool ClockSkips() {
  static const bool skips = ChosenClockSkips();
  return skips;
}

bool SkipClockTo(int64_t untilNs) {
  if (!ClockSkips() || V.holds.load() > 0) return false;
  std::lock_guard<std::mutex> lock(V.sourcesLock);
  int64_t target = untilNs;
  for (ClockSource* s : V.sources) {
    int64_t next = s->NextEventNs();
    if (next >= 0 && (target < 0 || next < target)) target = next;
  }
  if (target < 0) return false;
  int64_t now = MonotonicNs();
  bool skips = target > now;
  if (skips) V.skipped += target - now;
  // An event already due is served too (a sound thread may lag behind).
  for (ClockSource* s : V.sources) s->CatchUp();
  return skips;
}

void HoldClock() { ++V.holds; }
void ReleaseClock() { --V.holds; }

void HoldClockWhile(bool& holding, bool busy) {
  if (busy == holding) return;
  holding = busy;
  if (busy)
    HoldClock();
  else
    ReleaseClock();
}

}  // namespace platform
