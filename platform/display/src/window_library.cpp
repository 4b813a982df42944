#include "platform/display/src/window_library.h"

namespace platform::window {

Library lib;

bool OpenLibraries(std::string& why) {
  static std::string failure;
  static const bool open =
      OpenLibrary(SONARIS_SDL2_LIBRARY, {SONARIS_WINDOW_SDL(SONARIS_LIBRARY_ENTRY)}, failure) &&
      OpenLibrary(SONARIS_SDL2TTF_LIBRARY, {SONARIS_WINDOW_TTF(SONARIS_LIBRARY_ENTRY)}, failure) &&
      OpenLibrary(SONARIS_FONTCONFIG_LIBRARY, {SONARIS_WINDOW_FONTCONFIG(SONARIS_LIBRARY_ENTRY)},
                  failure);
  why = failure;
  return open;
}

}  // namespace platform::window
