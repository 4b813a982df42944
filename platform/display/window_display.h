// The console in a window of its own: SDL2 with SDL2_ttf and fontconfig.
#pragma once
#include <memory>

#include "platform/display/display.h"

namespace platform {

// The colour of a pixel as the window last showed it (tests, benchmarks);
// false when display is not an open window or (x, y) lies outside it.
bool WindowPixel(Display& display, int x, int y, Rgb& out);
// Cell size in pixels of an open window (0 otherwise).
void WindowCellSize(Display& display, int& width, int& height);

}  // namespace platform
