// The UI thread's message queue: the stand-in for the Windows message loop.
// PostMessage is safe from any thread; everything else runs on the UI thread.
#pragma once
#include <cstdint>

namespace platform {

// Message numbers, as the console's window procedure knows them.
enum : unsigned {
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_PAINT = 0x000F,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_MOUSEMOVE = 0x0200,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  MM_WOM_DONE = 957,
  WM_KEY_ARRIVING = 1025,  // the first bytes of a key came; which key follows
  WM_BRAILLE = 1026,       // a Braille display's key, or the display came or went
  WM_SPEECH_WAKE = 1123,  // posted by the speech front end
  WM_VOICE_WAKE = 2980,   // posted by the voice back ends
};

// wParam of the WM_CLOSE posted when piped input ends: the console closes
// once the keys read before it have been handled.
constexpr uintptr_t CloseAfterKeys = 1;

// Modifier keys held when a key or mouse message was produced
// (what GetKeyState would report while the message is handled).
enum : unsigned { ModShift = 1, ModCtrl = 2, ModAlt = 4 };

struct Message {
  unsigned message = 0;
  uintptr_t wParam = 0;  // virtual key, character, or back-end data
  intptr_t lParam = 0;   // block tag for MM_WOM_DONE
  unsigned mods = 0;     // ModShift | ModCtrl | ModAlt
  int x = 0, y = 0;      // mouse position in pixels of the client area
};

using WindowProc = void (*)(const Message&);

// Thread-safe: queues a message and wakes a WaitMessage.
void PostMessage(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0);
void PostMessage(const Message& m);

// Takes the first pending message (polling the display's input first).
bool PeekMessage(Message& out);
// Sleeps until a message is queued (returns at once if one is).
void WaitMessage();
// The same with a bound; returns false when the time ran out with none.
bool WaitMessageFor(int milliseconds);
// Hands a message to the installed window procedure.
void DispatchMessage(const Message& m);
void SetWindowProc(WindowProc proc);

// What the queue sleeps in while it waits: the active display, which also
// turns its input into posted messages. Without one it sleeps on its own.
class EventWaiter {
 public:
  virtual ~EventWaiter() = default;
  // Sleeps up to timeoutMs (negative: without bound) until input arrives or
  // Wake is called. 0 only polls.
  virtual void WaitEvents(int timeoutMs) = 0;
  // Thread-safe: ends a WaitEvents early.
  virtual void Wake() = 0;
};
// Set it to nullptr before the waiter goes away: a post from another thread
// never wakes a waiter that is gone.
void SetEventWaiter(EventWaiter* waiter);
// Drops every pending message (tests).
void ClearMessages();

}  // namespace platform
