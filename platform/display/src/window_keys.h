// Keyboard and text events of the SDL window turned into the key messages
// the console's window procedure knows (what Windows would post).
#pragma once
#include <SDL2/SDL.h>

#include "platform/os/messages.h"

namespace platform {

struct WindowKeyState {
  // The last key-down carried Ctrl or Alt alone: its text is not a WM_CHAR.
  bool suppressText = false;
  unsigned mods = 0;  // modifiers of the last key-down
  // A letter or digit pressed with AltGr waits for its text: a character
  // wins; without one it is the Alt key it looks like.
  bool holding = false;
  Message held;
};

unsigned ModsOfSdl(Uint16 sdlMod);
// Windows virtual key of an SDL key; 0 for keys the console never sees.
unsigned VirtualKeyOf(SDL_Keycode sym, Uint16 sdlMod);
// Messages for one SDL_KEYDOWN, SDL_KEYUP or SDL_TEXTINPUT event; returns
// how many were stored in out (at most max; 3 are enough).
int TranslateKeyEvent(const SDL_Event& e, WindowKeyState& state,
                      Message* out, int max);

}  // namespace platform
