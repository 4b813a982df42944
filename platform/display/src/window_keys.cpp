#include "platform/display/src/window_keys.h"

#include <string>

#include "platform/os/keys.h"
#include "platform/os/text.h"

namespace platform {
namespace {

struct KeyMap {
  SDL_Keycode sym;
  unsigned vk;
};

// Keys whose virtual key is not their letter or digit. The keypad gives
// its navigation keys while Num Lock is off (see KeypadKey).
constexpr KeyMap kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},   {SDLK_TAB, VK_TAB},
    {SDLK_RETURN, VK_RETURN},    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_ESCAPE, VK_ESCAPE},    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},     {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},          {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},        {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},      {SDLK_DOWN, VK_DOWN},
    {SDLK_INSERT, VK_INSERT},    {SDLK_DELETE, VK_DELETE},
    {SDLK_CANCEL, VK_CANCEL},    {SDLK_PAUSE, 0x13},
    {SDLK_LSHIFT, VK_SHIFT},     {SDLK_RSHIFT, VK_SHIFT},
    {SDLK_LCTRL, VK_CONTROL},    {SDLK_RCTRL, VK_CONTROL},
    {SDLK_LALT, VK_MENU},        {SDLK_RALT, VK_MENU},
    {SDLK_SEMICOLON, 0xBA},      {SDLK_EQUALS, 0xBB},
    {SDLK_COMMA, 0xBC},          {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},         {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},      {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC},      {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},          {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},        {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_DIVIDE, 0x6F},
};

// Keypad 0..9 and its decimal point: navigation keys without Num Lock.
constexpr KeyMap kKeypadNav[] = {
    {SDLK_KP_0, VK_INSERT}, {SDLK_KP_1, VK_END},   {SDLK_KP_2, VK_DOWN},
    {SDLK_KP_3, VK_NEXT},   {SDLK_KP_4, VK_LEFT},  {SDLK_KP_5, 0x0C},
    {SDLK_KP_6, VK_RIGHT},  {SDLK_KP_7, VK_HOME},  {SDLK_KP_8, VK_UP},
    {SDLK_KP_9, VK_PRIOR},  {SDLK_KP_PERIOD, VK_DELETE},
};

// Control characters that Ctrl with these keys types, as on Windows.
constexpr KeyMap kCtrlChars[] = {
    {SDLK_LEFTBRACKET, 27}, {SDLK_BACKSLASH, 28}, {SDLK_RIGHTBRACKET, 29},
};

unsigned Lookup(const KeyMap* table, size_t n, SDL_Keycode sym) {
  for (size_t i = 0; i < n; ++i)
    if (table[i].sym == sym) return table[i].vk;
  return 0;
}

template <size_t N>
unsigned Lookup(const KeyMap (&table)[N], SDL_Keycode sym) {
  return Lookup(table, N, sym);
}

unsigned KeypadKey(SDL_Keycode sym, Uint16 sdlMod) {
  unsigned nav = Lookup(kKeypadNav, sym);
  if (nav == 0 || !(sdlMod & KMOD_NUM)) return nav;
  if (sym == SDLK_KP_PERIOD) return 0x6E;       // VK_DECIMAL
  if (sym == SDLK_KP_0) return 0x60;            // VK_NUMPAD0
  return 0x60 + unsigned(sym - SDLK_KP_1) + 1;  // VK_NUMPAD1..9
}

bool IsLetter(unsigned vk) { return vk >= VK_A && vk <= VK_A + 25; }

// The WM_CHAR that Windows makes of a key that SDL gives no text for.
int SynthesisedChar(SDL_Keycode sym, unsigned vk, unsigned mods) {
  bool ctrl = mods & ModCtrl, alt = mods & ModAlt;
  if (alt) return -1;
  if (ctrl && IsLetter(vk)) return int(vk - VK_A + 1);
  if (ctrl) {
    unsigned c = Lookup(kCtrlChars, sym);
    if (c) return int(c);
  }
  switch (vk) {
    case VK_RETURN: return 13;
    case VK_BACK: return 8;
    case VK_ESCAPE: return 27;
    case VK_TAB: return ctrl ? -1 : 9;
  }
  return -1;
}

bool IsDigit(unsigned vk) { return vk >= VK_0 && vk <= VK_0 + 9; }

// Keys that a layout may give a character with AltGr: letters, digits,
// Space, the punctuation keys and the keypad's digits and signs.
bool MayType(unsigned vk) {
  return IsLetter(vk) || IsDigit(vk) || vk == VK_SPACE || (vk >= 0x60 && vk <= 0x6F) ||
         (vk >= 0xBA && vk <= 0xC0) || (vk >= 0xDB && vk <= 0xDF);
}

// AltGr, as SDL reports it: Right Alt alone, or the Mode key.
bool AltGr(Uint16 sdlMod) {
  return (sdlMod & KMOD_MODE) || ((sdlMod & KMOD_RALT) && !(sdlMod & KMOD_LALT));
}

// The key-down held back for its text, when no text came.
int FlushHeld(WindowKeyState& state, Message* out, int max) {
  if (!state.holding || max < 1) return 0;
  state.holding = false;
  out[0] = state.held;
  return 1;
}

int KeyDown(const SDL_KeyboardEvent& k, WindowKeyState& state, Message* out,
            int max) {
  int n = FlushHeld(state, out, max);
  unsigned vk = VirtualKeyOf(k.keysym.sym, k.keysym.mod);
  unsigned mods = ModsOfSdl(k.keysym.mod);
  state.mods = mods;
  // AltGr's text is typed even from a key with no virtual key of ours.
  state.suppressText = ((mods & ModCtrl) != 0) != ((mods & ModAlt) != 0) && !AltGr(k.keysym.mod);
  if (vk == 0 || n >= max) return n;
  DesktopChord(vk, mods);
  bool system = (mods & ModAlt) && !(mods & ModCtrl);
  Message down{system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0, mods, 0, 0};
  if (AltGr(k.keysym.mod) && MayType(vk)) {
    state.held = down;
    state.holding = true;
    state.suppressText = false;
    return n;
  }
  out[n++] = down;
  int c = SynthesisedChar(k.keysym.sym, vk, mods);
  if (c < 0 || n >= max) return n;
  out[n++] = Message{WM_CHAR, uintptr_t(c), 0, mods, 0, 0};
  return n;
}

int KeyUp(const SDL_KeyboardEvent& k, WindowKeyState& state, Message* out, int max) {
  int n = FlushHeld(state, out, max);
  unsigned vk = VirtualKeyOf(k.keysym.sym, k.keysym.mod);
  unsigned mods = ModsOfSdl(k.keysym.mod);
  if (vk == 0 || n >= max) return n;
  bool system = (mods & ModAlt) && !(mods & ModCtrl);
  out[n++] = Message{system ? WM_SYSKEYUP : WM_KEYUP, vk, 0, mods, 0, 0};
  return n;
}

// A key whose text carries a character types it, whatever AltGr did to
// the modifiers (Windows, too, types the characters of AltGr).
int Text(const char* utf8, WindowKeyState& state, Message* out, int max) {
  if (state.holding) state.holding = false;
  else if (state.suppressText) return 0;
  std::string text = Utf8ToCp1252(utf8);
  int n = 0;
  for (unsigned char c : text) {
    if (n == max || c < 32 || c == 127) continue;
    out[n++] = Message{WM_CHAR, c, 0, state.mods & ModShift, 0, 0};
  }
  return n;
}

}  // namespace

unsigned ModsOfSdl(Uint16 sdlMod) {
  unsigned mods = 0;
  if (sdlMod & KMOD_SHIFT) mods |= ModShift;
  if (sdlMod & KMOD_CTRL) mods |= ModCtrl;
  if (sdlMod & KMOD_ALT) mods |= ModAlt;
  return mods;
}

unsigned VirtualKeyOf(SDL_Keycode sym, Uint16 sdlMod) {
  if (sym >= SDLK_a && sym <= SDLK_z) return VK_A + unsigned(sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return VK_0 + unsigned(sym - SDLK_0);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return VK_F1 + unsigned(sym - SDLK_F1);
  // Ctrl+Break: X gives Pause with Ctrl held.
  if (sym == SDLK_PAUSE && (sdlMod & KMOD_CTRL)) return VK_CANCEL;
  if (unsigned nav = KeypadKey(sym, sdlMod)) return nav;
  return Lookup(kKeys, sym);
}

int TranslateKeyEvent(const SDL_Event& e, WindowKeyState& state,
                      Message* out, int max) {
  switch (e.type) {
    case SDL_KEYDOWN: return KeyDown(e.key, state, out, max);
    case SDL_KEYUP: return KeyUp(e.key, state, out, max);
    case SDL_TEXTINPUT: return Text(e.text.text, state, out, max);
  }
  return 0;
}

}  // namespace platform
