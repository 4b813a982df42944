// Wall clock and monotonic time. A test may fix the wall clock.
#include "platform/os/clock.h"

#include <ctime>
#include <mutex>

namespace platform {
namespace {

struct ClockState {
  std::mutex mutex;
  bool fixed = false;
  LocalTime fixedTime{};
};
ClockState clockState;

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

int64_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void SetFixedTime(const LocalTime* t) {
  std::lock_guard<std::mutex> lock(clockState.mutex);
  clockState.fixed = t != nullptr;
  if (t) clockState.fixedTime = *t;
}

}  // namespace platform
