// Wall clock and monotonic time; tests may fix the wall clock.
//
// The program's monotonic time is the system's, or, with
// SONARIS_CLOCK=virtual (tests), the system's plus every wait skipped so
// far: when the UI thread would sleep with nothing to serve, the clock
// jumps to the next timed event (its own deadline, the end of a queued
// sound block), so that delays and sound take no real time while every
// pause keeps its length and events keep their order. Input from outside
// (keys, other processes) still arrives in real time.
#pragma once
#include <cstdint>

namespace platform {

struct LocalTime {
  int year, month, day, weekday;  // weekday 0 = Sunday
  int hour, minute, second, millisecond;
};

LocalTime Now();
// The program's monotonic time (virtual with SONARIS_CLOCK=virtual).
int64_t MonotonicMs();
int64_t MonotonicNs();
// Time as the world outside the program lives it: never skips.
int64_t RealMonotonicMs();
// Fixes Now() for tests (nullptr returns to the system clock).
void SetFixedTime(const LocalTime* t);

// Something that does timed work of its own (a sound player): the virtual
// clock asks it for the time of its next event and lets it catch up after
// a skip. Thread-safe on both sides; a source lives to the program's end.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  // The monotonic time (ns) of its next event, or -1 for none.
  virtual int64_t NextEventNs() = 0;
  // The clock skipped forward: do at once what is now due.
  virtual void CatchUp() = 0;
};
void AddClockSource(ClockSource* source);

// Whether waits may skip time (SONARIS_CLOCK=virtual).
bool ClockSkips();
// Skips to the earliest of untilNs (negative: no bound) and the sources'
// next events, and lets the sources catch up. False when nothing was
// skipped: the real clock, a hold, or no event to skip to.
bool SkipClockTo(int64_t untilNs);
// Work going on outside the UI thread whose results arrive in real time
// (a voice synthesizing, the rest of a key on its way): while any hold
// lasts, time is not skipped. Any thread.
void HoldClock();
void ReleaseClock();
// Holds or releases so that `holding` (the caller's flag) follows `busy`.
void HoldClockWhile(bool& holding, bool busy);

}  // namespace platform
