// Wall clock and monotonic time; tests may fix the wall clock.
#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
  int year, month, day, weekday;  // weekday 0 = Sunday
  int hour, minute, second, millisecond;
};

LocalTime Now();
int64_t MonotonicMs();
// Fixes Now() for tests (nullptr returns to the system clock).
void SetFixedTime(const LocalTime* t);

}  // namespace platform
