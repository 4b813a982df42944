// The chords that Linux desktops keep for themselves, and what stands in
// for them.
#include "platform/os/keys.h"

#include "platform/os/messages.h"

namespace platform {

void DesktopChord(unsigned vk, unsigned& mods) {
  const unsigned held = mods & (ModShift | ModCtrl | ModAlt);
  if (held == (ModCtrl | ModShift) && (vk == VK_F9 || vk == VK_F11 || vk == VK_F12))
    mods = (mods & ~ModShift) | ModAlt;
}

}  // namespace platform
