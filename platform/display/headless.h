// The headless display: keeps everything in memory so that tests can read
// back what the console drew. Input is injected by posting messages (or
// terminal bytes through HeadlessTypeBytes). The helpers below look at the
// headless display opened last.
#pragma once
#include <string>

#include "platform/display/display.h"

namespace platform {

struct HeadlessCell {
  unsigned char ch = ' ';
  Rgb fg, bg;
};

// Row (0-based) as Windows-1252 text, trailing blanks kept.
std::string HeadlessRowText(int row);
HeadlessCell HeadlessCellAt(int column, int row);
// False when no headless display is open.
bool HeadlessCaret(bool& visible, int& column, int& row);
std::string HeadlessTitle();
std::string HeadlessClipboard();
void SetHeadlessClipboard(const std::string& text);
// How often Present and ScrollUp were called since the display opened.
int HeadlessPresentCount();
int HeadlessScrollCount();
// True while a zoomed view is shown; the last source rectangle.
bool HeadlessZoom(int& x, int& y, int& w, int& h);
// Decodes bytes as a terminal would send them and posts the key messages.
void HeadlessTypeBytes(const std::string& bytes);
// Queues a key message that is posted only when the program next waits
// without bound with nothing woken: with SONARIS_CLOCK=virtual, when it
// waits for the user and no sound or timer is due. Keys so typed never cut
// the speech before them. HeadlessClearTyped drops those not yet typed.
void HeadlessTypeWhenWaiting(const Message& key);
void HeadlessClearTyped();
// Makes ScrollUp report that pixels cannot be moved (the console then
// repaints everything).
void SetHeadlessCanScroll(bool canScroll);
// Makes the display report that the first bytes of a key are in and the
// rest is awaited (KeyArriving).
void SetHeadlessKeyArriving(bool arriving);
// Calls onRelease once, when the display object is next let go of (as a
// window system's library may end the program while it shuts down).
void SetHeadlessOnRelease(void (*onRelease)());

}  // namespace platform
