// What the window's keyboard and text events become: the messages Windows
// would post for the same keys.
#include <gtest/gtest.h>

#include <vector>

#include "platform/os/keys.h"
#include "platform/display/src/window_keys.h"

using namespace platform;

namespace {

struct Keyboard {
  WindowKeyState state;

  std::vector<Message> Key(Uint32 type, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = sym;
    e.key.keysym.mod = mod;
    return Run(e);
  }
  std::vector<Message> Down(SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    return Key(SDL_KEYDOWN, sym, mod);
  }
  std::vector<Message> Text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
    return Run(e);
  }
  std::vector<Message> Run(const SDL_Event& e) {
    Message m[4];
    int n = TranslateKeyEvent(e, state, m, 4);
    return std::vector<Message>(m, m + n);
  }
};

void ExpectOne(const std::vector<Message>& m, unsigned message, unsigned vk) {
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].message, message);
  EXPECT_EQ(m[0].wParam, vk);
}

}  // namespace

TEST(WindowKeys, CharacterKeysGiveKeyDownAndTheirTextAsWindows1252) {
  Keyboard k;
  auto down = k.Down(SDLK_c, KMOD_LSHIFT);
  ExpectOne(down, WM_KEYDOWN, VK_A + 2);
  EXPECT_EQ(down[0].mods, unsigned(ModShift));
  auto text = k.Text("\xC3\xA7\xE2\x82\xAC");  // ç and the euro sign
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(text[0].message, WM_CHAR);
  EXPECT_EQ(text[0].wParam, 0xE7u);
  EXPECT_EQ(text[1].wParam, 0x80u);
}

TEST(WindowKeys, KeysWithoutTextGetTheCharacterWindowsWouldType) {
  Keyboard k;
  struct Case { SDL_Keycode sym; Uint16 mod; uintptr_t ch; };
  const Case cases[] = {
      {SDLK_KP_ENTER, KMOD_NONE, 13}, {SDLK_BACKSPACE, KMOD_NONE, 8},
      {SDLK_ESCAPE, KMOD_NONE, 27},   {SDLK_a, KMOD_LCTRL, 1},
      {SDLK_z, KMOD_RCTRL | KMOD_LSHIFT, 26}, {SDLK_BACKSLASH, KMOD_LCTRL, 28},
      // The console turns these into 10 and 127 from the Ctrl it sees.
      {SDLK_RETURN, KMOD_LCTRL, 13},  {SDLK_BACKSPACE, KMOD_LCTRL, 8},
  };
  for (const Case& c : cases) {
    auto m = k.Down(c.sym, c.mod);
    ASSERT_EQ(m.size(), 2u) << c.sym;
    EXPECT_EQ(m[1].message, WM_CHAR) << c.sym;
    EXPECT_EQ(m[1].wParam, c.ch) << c.sym;
    EXPECT_EQ(m[1].mods, m[0].mods) << c.sym;
  }
}

TEST(WindowKeys, CtrlOrAltAloneTypeNoTextAndAltMakesSystemKeys) {
  Keyboard k;
  ExpectOne(k.Down(SDLK_x, KMOD_LALT), WM_SYSKEYDOWN, VK_A + 23);
  EXPECT_TRUE(k.Text("x").empty());
  EXPECT_EQ(k.Key(SDL_KEYUP, SDLK_x, KMOD_LALT)[0].message, WM_SYSKEYUP);

  EXPECT_EQ(k.Down(SDLK_1, KMOD_LCTRL).size(), 1u);
  EXPECT_TRUE(k.Text("1").empty());
  EXPECT_EQ(k.Down(SDLK_RETURN, KMOD_LALT).size(), 1u);

  // Ctrl with Alt is an ordinary key-down, and typed text counts again.
  auto both = k.Down(SDLK_F11, KMOD_LCTRL | KMOD_LALT);
  EXPECT_EQ(both[0].message, WM_KEYDOWN);
  k.Down(SDLK_e);
  EXPECT_EQ(k.Text("e").size(), 1u);
  // Key-ups reach the console for the Braille chords.
  ExpectOne(k.Key(SDL_KEYUP, SDLK_f), WM_KEYUP, VK_A + 5);
  ExpectOne(k.Key(SDL_KEYUP, SDLK_SPACE), WM_KEYUP, VK_SPACE);
  EXPECT_TRUE(k.Key(SDL_KEYUP, SDLK_APPLICATION).empty());
}

// AltGr (reported as Right Alt) types the characters of its layout: on
// the Brazilian ABNT2 layout AltGr+Q is "/" and AltGr+W "?".
TEST(WindowKeys, AltGrTypesItsCharacter) {
  Keyboard k;
  EXPECT_TRUE(k.Down(SDLK_q, KMOD_RALT).empty());
  auto slash = k.Text("/");
  ExpectOne(slash, WM_CHAR, '/');
  EXPECT_EQ(k.Key(SDL_KEYUP, SDLK_q, KMOD_RALT)[0].message, WM_SYSKEYUP);
  // ... with Shift, from the Mode key, and from its punctuation keys:
  // AltGr+[ is "ª", AltGr+] "º", AltGr+= "§".
  struct Sign { SDL_Keycode key; const char* text; unsigned char typed; Uint16 mod = KMOD_RALT; };
  const Sign signs[] = {
      {SDLK_w, "?", '?', KMOD_RALT | KMOD_LSHIFT}, {SDLK_2, "\xC2\xB2", 0xB2, KMOD_MODE},
      {SDLK_LEFTBRACKET, "\xC2\xAA", 0xAA}, {SDLK_RIGHTBRACKET, "\xC2\xBA", 0xBA},
      {SDLK_EQUALS, "\xC2\xA7", 0xA7}, {SDLK_UNKNOWN, "\xC2\xB9", 0xB9}};
  for (const auto& sign : signs) {
    SCOPED_TRACE(sign.text);
    EXPECT_TRUE(k.Down(sign.key, sign.mod).empty());
    ExpectOne(k.Text(sign.text), WM_CHAR, sign.typed);
  }
  // Where Right Alt types nothing it stays the Alt key, given at its release.
  EXPECT_TRUE(k.Down(SDLK_x, KMOD_RALT).empty());
  auto up = k.Key(SDL_KEYUP, SDLK_x, KMOD_RALT);
  ASSERT_EQ(up.size(), 2u);
  EXPECT_EQ(up[0].message, WM_SYSKEYDOWN);
  EXPECT_EQ(up[0].wParam, VK_A + 23);
  EXPECT_EQ(up[0].mods, unsigned(ModAlt));
  EXPECT_EQ(up[1].message, WM_SYSKEYUP);
  // ... or before the next key.
  k.Down(SDLK_1, KMOD_RALT);
  auto next = k.Down(SDLK_RIGHT);
  ASSERT_EQ(next.size(), 2u);
  EXPECT_EQ(next[0].wParam, VK_0 + 1);
  EXPECT_EQ(next[1].wParam, VK_RIGHT);
  // Left Alt keeps its Alt codes and types no text.
  ExpectOne(k.Down(SDLK_q, KMOD_LALT), WM_SYSKEYDOWN, VK_A + 16);
  EXPECT_TRUE(k.Text("q").empty());
}

TEST(WindowKeys, CtrlShiftFunctionKeysStandInForCtrlAlt) {
  Keyboard k;
  for (SDL_Keycode f : {SDLK_F9, SDLK_F11, SDLK_F12}) {
    auto m = k.Down(f, KMOD_LCTRL | KMOD_LSHIFT);
    ExpectOne(m, WM_KEYDOWN, VK_F1 + (f - SDLK_F1));
    EXPECT_EQ(m[0].mods, unsigned(ModCtrl | ModAlt));
  }
  EXPECT_EQ(k.Down(SDLK_F10, KMOD_LCTRL | KMOD_LSHIFT)[0].mods,
            unsigned(ModCtrl | ModShift));
}

TEST(WindowKeys, VirtualKeysOfSpecialKeys) {
  EXPECT_EQ(VirtualKeyOf(SDLK_PAUSE, KMOD_LCTRL), unsigned(VK_CANCEL));
  EXPECT_NE(VirtualKeyOf(SDLK_PAUSE, KMOD_NONE), unsigned(VK_CANCEL));
  // The keypad: navigation keys without Num Lock, digits (no Insert) with it.
  EXPECT_EQ(VirtualKeyOf(SDLK_KP_0, KMOD_NONE), unsigned(VK_INSERT));
  EXPECT_EQ(VirtualKeyOf(SDLK_KP_8, KMOD_NONE), unsigned(VK_UP));
  EXPECT_EQ(VirtualKeyOf(SDLK_KP_PERIOD, KMOD_NONE), unsigned(VK_DELETE));
  EXPECT_EQ(VirtualKeyOf(SDLK_KP_9, KMOD_NUM), 0x69u);
  // Punctuation must not collide with the navigation keys the console knows.
  for (SDL_Keycode p : {SDLK_PERIOD, SDLK_COMMA, SDLK_MINUS, SDLK_QUOTE})
    EXPECT_GT(VirtualKeyOf(p, KMOD_NONE), unsigned(VK_F12)) << p;
}
