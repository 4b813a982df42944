// The display back end: where the console's cells are shown and where key
// and mouse input comes from. Chosen at start by SONARIS_DISPLAY.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/messages.h"

namespace platform {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// The console's sixteen colours, the classic text-mode palette: a back end
// with fewer colours maps them by their meaning.
extern const Rgb kConsolePalette[16];

struct DisplaySettings {
  int columns = 80;
  int rows = 25;
  std::string fontFace;  // Windows-1252
  int fontWidth = 0;     // pixels; 0 lets the back end choose
  int fontHeight = 0;
  int fontWeight = 0;    // 0 = the font's own default
  bool maximised = false;
  std::string title;     // Windows-1252
};

class Display : public EventWaiter {
 public:
  virtual ~Display() = default;
  virtual const char* Name() const = 0;

  virtual bool Open(const DisplaySettings& settings) = 0;
  // Restores what Open changed (terminal modes, window); safe to call twice.
  virtual void Close() = 0;

  // Draws count Windows-1252 characters from cell (column, row), 0-based.
  virtual void DrawText(int column, int row, const unsigned char* text,
                        int count, Rgb fg, Rgb bg) = 0;
  // Moves rows 1..rows-1 up by one and fills the last row with fill.
  // Returns false when the back end cannot move pixels; the console then
  // repaints everything.
  virtual bool ScrollUp(Rgb fill) = 0;
  virtual void SetCaret(bool visible, int column, int row) = 0;
  // Where output goes (0-based cell): a display that shows only part of the
  // screen keeps this cell in sight. The caret's cell counts the same.
  virtual void SetCursor(int column, int row) { (void)column, (void)row; }
  virtual void SetTitle(const std::string& title) = 0;
  // Rings the display's own bell; false when it has none (the console then
  // sounds a tone).
  virtual bool Bell() { return false; }
  // Makes everything drawn so far visible.
  virtual void Present() = 0;

  virtual bool Focused() const = 0;
  // True while the first bytes of a key are in and the rest is awaited (a
  // terminal's escape sequence split across reads). Such a display posts
  // WM_KEY_ARRIVING on the first bytes, and within a short bound either the
  // key's messages or nothing, when the bytes made no key.
  virtual bool KeyArriving() const { return false; }

  // Pixel size of the client area and of the usable desktop.
  virtual void ClientSize(int& width, int& height) const = 0;
  virtual void WorkArea(int& width, int& height) const = 0;
  // Magnifier: show the given source rectangle of the current picture
  // stretched over the whole client area; EndZoom returns to normal text.
  virtual void ShowZoom(int srcX, int srcY, int srcW, int srcH) = 0;
  virtual void EndZoom() = 0;

  // Clipboard text, Windows-1252 inside.
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual bool GetClipboardText(std::string& text) = 0;
};

// Creates the back end named by SONARIS_DISPLAY (window, terminal, headless);
// with none set, the window when a graphical display is there, else the
// terminal.
std::unique_ptr<Display> CreateDisplay();
std::unique_ptr<Display> CreateDisplay(const std::string& name);

// The display that the message queue waits on (owned by the console).
// SetActiveDisplay(nullptr) before destroying it: a Wake from another
// thread never reaches a display that is gone.
void SetActiveDisplay(Display* display);
Display* ActiveDisplay();

// The back ends that CreateDisplay chooses from.
struct DisplayDriver {
  const char* name;
  std::unique_ptr<Display> (*create)();
};
std::unique_ptr<Display> CreateTerminalDisplay();
// Shows nothing; keys from stdin only when it is a terminal (the tools).
std::unique_ptr<Display> CreateKeysDisplay();
std::unique_ptr<Display> CreateHeadlessDisplay();
std::unique_ptr<Display> CreateWindowDisplay();
// Falls back to the terminal, with a message, when no window can be opened.

}  // namespace platform
