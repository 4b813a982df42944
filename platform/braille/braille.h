// The refreshable Braille display: the screen line in focus shown through
// the user's own BRLTTY (which applies the user's Braille table), and the
// display's keys. Chosen at start by SONARIS_BRAILLE; without a display
// nothing changes for the caller.
#pragma once
#include <memory>
#include <string>

#include "platform/os/messages.h"

namespace platform {

// wParam of WM_BRAILLE; lParam holds the cell (from 0) of a routing key.
enum BrailleEvent : unsigned {
  BRAILLE_CHANGED = 0,  // a display came, went or changed its size
  BRAILLE_PAN_LEFT,
  BRAILLE_PAN_RIGHT,
  BRAILLE_LINE_UP,
  BRAILLE_LINE_DOWN,
  BRAILLE_ROUTE,
};

// A back end. Its calls never wait for the display or for BRLTTY; keys
// and changes arrive as posted WM_BRAILLE messages.
class BrailleDisplay {
 public:
  virtual ~BrailleDisplay() = default;
  // Text cells of the display now; 0 while none is there.
  virtual int Cells() const = 0;
  // Shows UTF-8 text of Cells() characters with the display's cursor on
  // cell `cursor` (from 0), or no cursor when it is negative.
  virtual void Show(const std::string& utf8, int cursor) = 0;
};

// The back ends that SONARIS_BRAILLE names: brlapi (the default), off, and
// file:PATH (a 40-cell display that appends each picture to PATH, for
// tests: "cursor|text" a line).
struct BrailleDriver {
  const char* name;
  std::unique_ptr<BrailleDisplay> (*create)(const std::string& argument);
};
std::unique_ptr<BrailleDisplay> CreateNoBraille(const std::string&);
std::unique_ptr<BrailleDisplay> CreateFileBraille(const std::string& path);
// Waits at most 200 ms for BRLTTY; says once on stderr when none answered,
// then goes on trying every second in the background.
std::unique_ptr<BrailleDisplay> CreateBrlapiBraille(const std::string&);

// What the display shows: UI thread only.
void BrailleStart();  // the back end named by SONARIS_BRAILLE
void BrailleStart(std::unique_ptr<BrailleDisplay> display);
void BrailleStop();
// The screen line in focus (Windows-1252), its row, and the cursor's
// column on it (from 0), or -1 when the cursor is elsewhere. The window
// follows the cursor when it moves and stays where the user panned while
// it does not. Cheap when nothing changed.
void BrailleShowLine(const unsigned char* text, int length, int row, int cursor);

// What a WM_BRAILLE message asks of the caller; panning is done here.
struct BrailleCommand {
  enum Kind { None, Route, LineUp, LineDown } kind = None;
  int column = 0;    // Route: the line's column (from 0) under the key
  int row = 0;       // the row shown
  bool key = false;  // a display key: it stops speech like any key
};
BrailleCommand BrailleHandle(const Message& m);

// First column of the line that the display shows.
int BrailleOffset();

}  // namespace platform
