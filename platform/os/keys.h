// Virtual key codes that the display back ends put into key messages.
#pragma once

namespace platform {

enum : unsigned {
  VK_CANCEL = 0x03, VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D,
  VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23,
  VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27,
  VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
  VK_0 = 0x30,  // '0' .. '9' are 0x30 .. 0x39
  VK_A = 0x41,  // 'A' .. 'Z' are 0x41 .. 0x5A
  VK_F1 = 0x70, VK_F2, VK_F3, VK_F4, VK_F5, VK_F6, VK_F7, VK_F8, VK_F9,
  VK_F10, VK_F11, VK_F12,
};

// Linux desktops keep Ctrl+Alt+F1..F12 for switching virtual consoles, so
// Ctrl+Shift+F9, Ctrl+Shift+F11 and Ctrl+Shift+F12 stand for Ctrl+Alt+F9
// (review mode), Ctrl+Alt+F11 and Ctrl+Alt+F12 (Braille mode). Every back
// end passes its key-downs through here. mods uses ModShift/ModCtrl/ModAlt.
void DesktopChord(unsigned vk, unsigned& mods);

}  // namespace platform
