// The UI thread's message queue. Other threads only post; waiting sleeps in
// the active display (which also turns its input into messages) or, with
// no display, on a condition variable.
#include "platform/os/messages.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/os/clock.h"

namespace platform {
namespace {

struct MessageQueue {
  std::mutex mutex;
  std::condition_variable posted;
  std::deque<Message> pending;
  WindowProc proc = nullptr;
};
// Never destroyed: a sound thread may still post while the program's
// static objects are going away at exit.
MessageQueue& queue = *new MessageQueue;

struct WaiterState {
  std::mutex mutex;  // held while waking, so the waiter cannot go away
  EventWaiter* waiter = nullptr;
};
WaiterState& waiting = *new WaiterState;

EventWaiter* CurrentWaiter() {
  std::lock_guard<std::mutex> lock(waiting.mutex);
  return waiting.waiter;
}

void WakeWaiter() {
  std::lock_guard<std::mutex> lock(waiting.mutex);
  if (waiting.waiter) waiting.waiter->Wake();
}

bool HasPending() {
  std::lock_guard<std::mutex> lock(queue.mutex);
  return !queue.pending.empty();
}

// Sleeps until a message is queued or timeoutMs passes (negative: no bound).
void SleepForMessage(int timeoutMs) {
  if (EventWaiter* display = CurrentWaiter()) {
    display->WaitEvents(timeoutMs);
    return;
  }
  std::unique_lock<std::mutex> lock(queue.mutex);
  auto ready = [] { return !queue.pending.empty(); };
  if (timeoutMs < 0)
    queue.posted.wait(lock, ready);
  else
    queue.posted.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
}

// With the virtual clock, a wait with nothing to serve skips to the next
// timed event instead of sleeping; input that has already come is served
// first. False when it must sleep after all.
bool SkipIdleTime(int64_t deadlineNs) {
  if (!ClockSkips()) return false;
  if (EventWaiter* display = CurrentWaiter()) display->WaitEvents(0);
  return HasPending() || SkipClockTo(deadlineNs);
}

}  // namespace

void PostMessage(const Message& m) {
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.pending.push_back(m);
  }
  queue.posted.notify_all();
  WakeWaiter();
}

void PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) {
  Message m;
  m.message = message;
  m.wParam = wParam;
  m.lParam = lParam;
  PostMessage(m);
}

bool PeekMessage(Message& out) {
  if (EventWaiter* display = CurrentWaiter()) display->WaitEvents(0);
  std::lock_guard<std::mutex> lock(queue.mutex);
  if (queue.pending.empty()) return false;
  out = queue.pending.front();
  queue.pending.pop_front();
  return true;
}

void WaitMessage() {
  while (!HasPending())
    if (!SkipIdleTime(-1)) SleepForMessage(-1);
}

bool WaitMessageFor(int milliseconds) {
  constexpr int64_t kNsPerMs = 1000000;
  const int64_t deadline = MonotonicNs() + (milliseconds > 0 ? milliseconds : 0) * kNsPerMs;
  for (;;) {
    if (HasPending()) return true;
    int64_t left = deadline - MonotonicNs();
    if (left <= 0) {
      // One last look at input that arrived while the time ran out.
      if (EventWaiter* display = CurrentWaiter()) display->WaitEvents(0);
      return HasPending();
    }
    if (!SkipIdleTime(deadline)) SleepForMessage(static_cast<int>((left + kNsPerMs - 1) / kNsPerMs));
  }
}

void SetEventWaiter(EventWaiter* waiter) {
  std::lock_guard<std::mutex> lock(waiting.mutex);
  waiting.waiter = waiter;
}

void DispatchMessage(const Message& m) {
  WindowProc proc;
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    proc = queue.proc;
  }
  if (proc) proc(m);
}

void SetWindowProc(WindowProc proc) {
  std::lock_guard<std::mutex> lock(queue.mutex);
  queue.proc = proc;
}

void ClearMessages() {
  std::lock_guard<std::mutex> lock(queue.mutex);
  queue.pending.clear();
}

}  // namespace platform
