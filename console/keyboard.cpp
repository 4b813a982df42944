// The keyboard queue: key messages become bytes as on a PC text console
// (a character, or 0 and a key code), and the waits that keep messages
// flowing while the program reads keys or sleeps.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "console/console_state.h"
#include "platform/os/clock.h"
#include "platform/os/keys.h"
#include "platform/os/messages.h"

namespace console_detail {
namespace {

using namespace platform;

struct ExtendedKey {
  unsigned vk;
  uint8_t code, ctrlCode;
};

constexpr ExtendedKey ExtendedKeys[] = {
    {VK_F1, 59, 94},      {VK_F2, 60, 95},     {VK_F3, 61, 96},
    {VK_F4, 62, 97},      {VK_F5, 63, 98},     {VK_F6, 64, 99},
    {VK_F7, 65, 100},     {VK_F8, 66, 101},    {VK_F9, 67, 102},
    {VK_F10, 68, 103},    {VK_F11, 69, 104},   {VK_F12, 70, 105},
    {VK_INSERT, 82, 255}, {VK_DELETE, 83, 83}, {VK_HOME, 71, 119},
    {VK_END, 79, 117},    {VK_PRIOR, 73, 132}, {VK_NEXT, 81, 118},
    {VK_UP, 72, 113},     {VK_DOWN, 80, 114},  {VK_LEFT, 75, 115},
    {VK_RIGHT, 77, 116}};

// Alt with A..Z, then with 1..9 and 0.
constexpr uint8_t AltLetterCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23,
                                        36, 37, 38, 50, 49, 24, 25, 16, 19,
                                        31, 20, 22, 47, 17, 45, 21, 44};
constexpr uint8_t AltDigitCodes[10] = {129, 120, 121, 122, 123,
                                       124, 125, 126, 127, 128};

// Longest wait for the rest of a key whose first bytes came; the display
// itself decides the key well within it.
constexpr int ArrivingKeyWaitMs = 100;

const ExtendedKey* FindExtended(unsigned vk) {
  for (const ExtendedKey& key : ExtendedKeys)
    if (key.vk == vk) return &key;
  return nullptr;
}

// Ctrl+Alt+F11 / F12 switch the Braille mode (the display back ends also
// deliver their Linux stand-ins as these chords).
bool BrailleSwitch(const Message& m) {
  if (!(m.mods & ModCtrl)) return false;
  if (m.wParam == VK_F12) {
    SetBrailleMode(0);
    return true;
  }
  if (m.wParam == VK_F11) {
    SetBrailleMode(BrailleMode + 1);
    return true;
  }
  return false;
}

bool AltCode(const Message& m) {
  unsigned vk = static_cast<unsigned>(m.wParam);
  if (vk >= VK_A && vk < VK_A + 26) QueuePair(AltLetterCodes[vk - VK_A]);
  else if (vk >= VK_0 && vk < VK_0 + 10) QueuePair(AltDigitCodes[vk - VK_0]);
  else return false;
  return true;
}

[[noreturn]] void EndProgram(int code) {
  ConsoleState& s = State();
  if (s.waiting && s.focused) ShowCaret(false);
  std::exit(code);
}

// The Braille display is brought up to date whenever the program looks
// for messages: it shows where a run of output and cursor moves ended, not
// every step of it (a field's redraw passes its cursor over the whole
// field), so the window stays where the user panned it.
void Pump() {
  ConsoleState& s = State();
  if (s.created) ShowBrailleLine(s);
  Message m;
  while (PeekMessage(m)) {
    if (m.message == WM_QUIT) EndProgram(255);
    DispatchMessage(m);
  }
}

// The first bytes of a key are in and the rest is on its way (a terminal
// sends some keys as sequences that may be split across reads): the sound
// stopped when they came; wait the short while until the key is known, so
// that a pending key is a real one and no key is told twice. The rest
// comes in real time, so the clock may not skip this wait.
void AwaitArrivingKey() {
  ConsoleState& s = State();
  HoldClock();
  const int64_t deadline = MonotonicMs() + ArrivingKeyWaitMs;
  while (s.queued == 0 && s.display && s.display->KeyArriving()) {
    int64_t left = deadline - MonotonicMs();
    if (left <= 0) break;
    if (WaitMessageFor(static_cast<int>(left))) Pump();
  }
  ReleaseClock();
}

}  // namespace

bool QueuePair(uint8_t code) {
  ConsoleState& s = State();
  if (s.queued > KeyQueueSize - 2) return false;
  s.queueMods[s.queued] = s.queueMods[s.queued + 1] = s.keyMods;
  s.queue[s.queued++] = 0;
  s.queue[s.queued++] = code;
  return true;
}

bool QueueKey(uint8_t key) {
  ConsoleState& s = State();
  if (s.queued >= KeyQueueSize) return false;
  s.queueMods[s.queued] = s.keyMods;
  s.queue[s.queued++] = key;
  return true;
}

void ShowCaret(bool visible) {
  ConsoleState& s = State();
  if (!s.display) return;
  int column = std::min(s.winLeft + s.curX, ScreenColumns - 1);
  s.display->SetCaret(visible, column, s.winTop + s.curY);
  s.display->Present();
}

void HandleKeyDown(const Message& m) {
  ConsoleState& s = State();
  unsigned vk = static_cast<unsigned>(m.wParam);
  s.keyMods = m.mods;
  if (s.breakCheck && vk == VK_CANCEL) EndProgram(255);
  // Shift+Tab gives the extended code 15 (back to the previous field).
  if (vk == VK_TAB && (m.mods & (ModShift | ModCtrl | ModAlt)) == ModShift) {
    QueuePair(15);
    return;
  }
  if (m.mods & ModAlt) {
    if (BrailleSwitch(m) || AltCode(m)) return;
  }
  unsigned bit = 0;
  if (!(m.mods & ModCtrl) && BrailleMode != 0 && IsBrailleKey(vk, bit)) {
    s.chord |= bit;
    s.held |= bit;
    return;
  }
  if (s.queued > KeyQueueSize - 2) return;
  const ExtendedKey* key = FindExtended(vk);
  if (!key) return;
  uint8_t code = key->code;
  if (m.mods & ModCtrl) code = key->ctrlCode;
  else if (key->ctrlCode == 255 && (m.mods & ModShift)) code = 254;
  QueuePair(code);
}

// While Ctrl+Break is watched, Alt shortcuts other than Alt+Left / Right
// belong to the desktop.
void HandleSysKeyDown(const Message& m) {
  unsigned vk = static_cast<unsigned>(m.wParam);
  bool ours = vk == VK_LEFT || vk == VK_RIGHT;
  if (!State().breakCheck || ours) HandleKeyDown(m);
}

void HandleChar(const Message& m) {
  unsigned c = static_cast<unsigned>(m.wParam) & 0xFF;
  State().keyMods = m.mods;
  if (c == 9 && (m.mods & ModShift)) return;  // Shift+Tab queued its code at key-down
  bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if ((BrailleMode == 1 || BrailleMode == 2) && (c == ' ' || letter)) return;
  if (c == 8 && (m.mods & ModCtrl)) c = 127;
  else if (c == 13 && (m.mods & ModCtrl)) c = 10;
  QueueKey(static_cast<uint8_t>(c));
}

void HandleKeyUp(const Message& m) {
  if (BrailleMode == 0) return;
  unsigned vk = static_cast<unsigned>(m.wParam);
  bool letter = vk >= VK_A && vk < VK_A + 26;
  if ((m.mods & ModCtrl) || !(vk == VK_SPACE || letter)) {
    ClearBrailleTextStates();
    return;
  }
  ReleaseBrailleKey(vk);
}

}  // namespace console_detail

using namespace console_detail;

void PumpMessages() { Pump(); }

// The console has a single window: its messages are all the messages.
void PumpConsoleMessages() { Pump(); }

bool KeyPressed() {
  OpenConsole();
  Pump();
  AwaitArrivingKey();
  return State().queued > 0;
}

uint8_t ReadKey() {
  ConsoleState& s = State();
  s.silence = false;
  if (!KeyPressed()) {
    s.waiting = true;
    if (s.focused) ShowCaret(true);
    do {
      // Input that has ended gives no more keys: close as a window would.
      if (s.closeAfterKeys) CloseConsole();
      WaitMessage();
    } while (!KeyPressed());
    if (s.focused) ShowCaret(false);
    s.waiting = false;
  }
  s.silence = false;
  uint8_t key = s.queue[0];
  s.readMods = s.queueMods[0];
  --s.queued;
  std::memmove(s.queue, s.queue + 1, s.queued);
  std::memmove(s.queueMods, s.queueMods + 1, s.queued * sizeof s.queueMods[0]);
  return key;
}

int QueuedKeyCount() { return State().queued; }

bool SilencePending() { return State().silence; }

bool KeyHeld(unsigned virtualKey) {
  unsigned mods = State().readMods;
  switch (virtualKey) {
    case VK_SHIFT: return mods & ModShift;
    case VK_CONTROL: return mods & ModCtrl;
    case VK_MENU: return mods & ModAlt;
    default: return false;
  }
}

// Sleeps in the message wait, serving what arrives (painting, sound
// blocks, keys) until the time is up.
void Delay(uint16_t milliseconds) {
  OpenConsole();
  int64_t deadline = MonotonicMs() + milliseconds;
  for (int64_t left = milliseconds; left > 0; left = deadline - MonotonicMs()) {
    if (WaitMessageFor(static_cast<int>(left))) Pump();
  }
  Pump();
}
