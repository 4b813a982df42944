// The bell of the terminal the program was started from, whatever draws
// the screen: it needs no sound device and no data.
#pragma once

namespace platform {

// Rings the controlling terminal's bell; nothing without one.
void RingTerminalBell();

}  // namespace platform
