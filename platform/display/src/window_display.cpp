// The window back end: one SDL window whose picture lives in a canvas, and
// SDL's input turned into the console's messages.
#include "platform/display/window_display.h"

#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/os/messages.h"
#include "platform/display/src/terminal_signals.h"
#include "platform/os/text.h"
#include "platform/display/src/window_canvas.h"
#include "platform/display/src/window_keys.h"
#include "platform/display/src/window_library.h"

namespace platform {
namespace {

// The font size from the usable desktop when the settings give none, so
// that 80 x 25 cells fill a 1024 x 734 work area.
int DefaultCellWidth(int workWidth) { return int(workWidth / 1024.0 * 13); }
int DefaultCellHeight(int workHeight) { return int(workHeight / 734.0 * 28); }

constexpr int kMinColumns = 16, kMinRows = 4;

// The connection to the X server is gone (logout, a crashed server, a
// dropped ssh -X). Xlib would call exit(), whose handlers touch the dead
// display again, and SDL then loops on it forever: end here instead,
// without touching it, the terminal given back.
int OnDisplayLost(void*) {
  TerminalSignalsRestore();
  static const char kText[] = "Sonaris: a conex\xC3\xA3o com a tela gr\xC3\xA1" "fica foi perdida.\n";
  ssize_t ignored = write(STDERR_FILENO, kText, sizeof kText - 1);
  (void)ignored;
  _exit(1);
}

// A protocol error (a request about something the server has already let
// go of: a window closing, a clipboard reader that has gone before its
// answer) is no reason to end: Xlib's default handler would exit.
int IgnoreProtocolError(void*, void*) { return 0; }

using IoHandler = int (*)(void*);
using ErrorHandler = int (*)(void*, void*);

void IgnoreProtocolErrors(void* x11) {
  auto set = reinterpret_cast<ErrorHandler (*)(ErrorHandler)>(dlsym(x11, "XSetErrorHandler"));
  if (set) set(IgnoreProtocolError);
}

// Before SDL brings up video. SDL keeps the handler it finds and puts it
// back as video ends, just before closing the display, which is when the
// errors still pending are reported; without this the default handler is
// put back and a program that ended well exits with status 1. Xlib stays
// loaded (the handle is kept) so that the handler set in it lasts.
void IgnoreProtocolErrorsFromTheStart() {
  if (void* x11 = dlopen("libX11.so.6", RTLD_LAZY)) IgnoreProtocolErrors(x11);
}

// SDL loads Xlib itself; its handlers for a lost connection and for
// protocol errors are set there.
void EndWhenDisplayIsLost() {
  void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
  if (!x11) return;  // not on X
  auto setIoHandler = reinterpret_cast<IoHandler (*)(IoHandler)>(dlsym(x11, "XSetIOErrorHandler"));
  if (setIoHandler) setIoHandler(OnDisplayLost);
  IgnoreProtocolErrors(x11);
  dlclose(x11);
}

struct WindowState {
  SDL_Window* window = nullptr;
  Canvas canvas;
  WindowKeyState keys;
  std::string title;  // UTF-8
  bool focused = false;
  bool caret = false;
  int caretColumn = 0, caretRow = 0;
  // What changed since the last Present: only that goes to the screen.
  SDL_Rect dirty{};
  bool redrawAll = true;
  Uint32 wakeEvent = 0;
  std::atomic<bool> wakePending{false};
  std::thread::id uiThread;
};

class WindowDisplay : public Display {
 public:
  explicit WindowDisplay(Uint32 wakeEvent) {
    s_.wakeEvent = wakeEvent;
    s_.uiThread = std::this_thread::get_id();
  }
  ~WindowDisplay() override {
    Close();
    window::lib.SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last user of SDL also lets go of what video brought up (D-Bus).
    if (window::lib.SDL_WasInit(SDL_INIT_EVERYTHING) == 0) window::lib.SDL_Quit();
  }
  const char* Name() const override { return "window"; }

  bool Open(const DisplaySettings& settings) override;
  void Close() override;

  void DrawText(int column, int row, const unsigned char* text, int count,
                Rgb fg, Rgb bg) override {
    CanvasDrawText(s_.canvas, column, row, text, count, fg, bg);
    Touch(CanvasCells(s_.canvas, column, row, count));
  }
  bool ScrollUp(Rgb fill) override {
    CanvasScrollUp(s_.canvas, fill);
    s_.redrawAll = true;
    return true;
  }
  void SetCaret(bool visible, int column, int row) override {
    TouchCaret();
    s_.caret = visible;
    s_.caretColumn = column;
    s_.caretRow = row;
    TouchCaret();
  }
  void SetTitle(const std::string& title) override {
    s_.title = Cp1252ToUtf8(title);
    if (s_.window) window::lib.SDL_SetWindowTitle(s_.window, s_.title.c_str());
  }
  void Present() override;

  void WaitEvents(int timeoutMs) override;
  void Wake() override;
  bool Focused() const override { return s_.focused; }

  void ClientSize(int& width, int& height) const override;
  void WorkArea(int& width, int& height) const override;
  void ShowZoom(int srcX, int srcY, int srcW, int srcH) override;
  void EndZoom() override {
    CanvasEndZoom(s_.canvas);
    s_.redrawAll = true;
    Present();
  }

  void SetClipboardText(const std::string& text) override {
    window::lib.SDL_SetClipboardText(Cp1252ToUtf8(text).c_str());
  }
  bool GetClipboardText(std::string& text) override;

  WindowState& State() { return s_; }

 private:
  void Handle(const SDL_Event& e);
  void HandleWindowEvent(const SDL_WindowEvent& w);
  void HandleMouse(const SDL_Event& e);
  void SetSizeLimits();
  void Touch(SDL_Rect r) {
    if (SDL_RectEmpty(&s_.dirty)) s_.dirty = r;
    else window::lib.SDL_UnionRect(&s_.dirty, &r, &s_.dirty);
  }
  void TouchCaret() {
    if (s_.caret) Touch(CanvasCells(s_.canvas, s_.caretColumn, s_.caretRow, 1));
  }

  WindowState s_;
};

bool WindowDisplay::Open(const DisplaySettings& settings) {
  if (s_.window) return true;
  int workW, workH;
  WorkArea(workW, workH);
  int w = settings.fontWidth > 0 ? settings.fontWidth : DefaultCellWidth(workW);
  int h = settings.fontHeight > 0 ? settings.fontHeight : DefaultCellHeight(workH);
  CellFont font;
  if (!OpenCellFont(Cp1252ToUtf8(settings.fontFace), w, h, settings.fontWeight, font)) {
    // Without any font the cells still show their colours.
    font.cellWidth = std::max(w, 1);
    font.cellHeight = std::max(h, 1);
  }
  if (!CanvasCreate(s_.canvas, font, settings.columns, settings.rows)) return false;
  if (!settings.title.empty()) s_.title = Cp1252ToUtf8(settings.title);
  Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN |
                 (settings.maximised ? SDL_WINDOW_MAXIMIZED : 0);
  s_.window = window::lib.SDL_CreateWindow(s_.title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                                           SDL_WINDOWPOS_UNDEFINED, s_.canvas.cells->w,
                                           s_.canvas.cells->h, flags);
  if (!s_.window) {
    std::fprintf(stderr, "Sonaris: n\xC3\xA3o foi poss\xC3\xADvel criar a janela: %s\n",
                 window::lib.SDL_GetError());
    Close();
    return false;
  }
  EndWhenDisplayIsLost();  // after SDL has set up its own handlers
  SetSizeLimits();
  s_.redrawAll = true;
  window::lib.SDL_ShowWindow(s_.window);
  window::lib.SDL_StartTextInput();
  s_.focused = window::lib.SDL_GetWindowFlags(s_.window) & SDL_WINDOW_INPUT_FOCUS;
  Present();
  return true;
}

// The window may shrink to a few cells and grow to the whole grid, never
// beyond the screen.
void WindowDisplay::SetSizeLimits() {
  const CellFont& f = s_.canvas.font;
  SDL_Rect screen{0, 0, s_.canvas.cells->w, s_.canvas.cells->h};
  window::lib.SDL_GetDisplayBounds(std::max(window::lib.SDL_GetWindowDisplayIndex(s_.window), 0),
                                   &screen);
  window::lib.SDL_SetWindowMinimumSize(s_.window, kMinColumns * f.cellWidth,
                                       kMinRows * f.cellHeight);
  window::lib.SDL_SetWindowMaximumSize(s_.window, std::min(s_.canvas.cells->w, screen.w),
                                       std::min(s_.canvas.cells->h, screen.h));
}

void WindowDisplay::Close() {
  if (s_.window) window::lib.SDL_DestroyWindow(s_.window);
  s_.window = nullptr;
  CanvasDestroy(s_.canvas);
  CloseCellFont(s_.canvas.font);
  s_.focused = false;
}

void WindowDisplay::Present() {
  if (!s_.window) return;
  SDL_Surface* surface = window::lib.SDL_GetWindowSurface(s_.window);
  if (!surface) return;
  const bool caret = s_.caret && s_.focused;
  if (s_.redrawAll) {
    CanvasCompose(s_.canvas, surface, caret, s_.caretColumn, s_.caretRow);
    window::lib.SDL_UpdateWindowSurface(s_.window);
  } else if (!SDL_RectEmpty(&s_.dirty)) {
    CanvasCompose(s_.canvas, surface, caret, s_.caretColumn, s_.caretRow, &s_.dirty);
    window::lib.SDL_UpdateWindowSurfaceRects(s_.window, &s_.dirty, 1);
  }
  s_.redrawAll = false;
  s_.dirty = SDL_Rect{};
}

void WindowDisplay::WaitEvents(int timeoutMs) {
  SDL_Event e;
  int got = timeoutMs == 0  ? window::lib.SDL_PollEvent(&e)
            : timeoutMs < 0 ? window::lib.SDL_WaitEvent(&e)
                            : window::lib.SDL_WaitEventTimeout(&e, timeoutMs);
  while (got) {
    Handle(e);
    got = window::lib.SDL_PollEvent(&e);
  }
}

// Input arrives on the UI thread, which is awake then: only other threads
// need an event to end its wait, and one pending event is enough.
void WindowDisplay::Wake() {
  if (std::this_thread::get_id() == s_.uiThread) return;
  if (s_.wakePending.exchange(true)) return;
  SDL_Event e{};
  e.type = s_.wakeEvent;
  if (window::lib.SDL_PushEvent(&e) != 1) s_.wakePending = false;
}

void WindowDisplay::Handle(const SDL_Event& e) {
  if (e.type == s_.wakeEvent) {
    s_.wakePending = false;
    return;
  }
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT: {
      Message m[3];
      int n = TranslateKeyEvent(e, s_.keys, m, 3);
      for (int i = 0; i < n; ++i) PostMessage(m[i]);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEMOTION: HandleMouse(e); break;
    case SDL_WINDOWEVENT: HandleWindowEvent(e.window); break;
  }
}

// Only the right button matters (the magnifier); moves count while it is held.
void WindowDisplay::HandleMouse(const SDL_Event& e) {
  Message m;
  m.mods = ModsOfSdl(window::lib.SDL_GetModState());
  if (e.type == SDL_MOUSEMOTION) {
    if (!(e.motion.state & SDL_BUTTON_RMASK)) return;
    m.message = WM_MOUSEMOVE;
    m.x = e.motion.x;
    m.y = e.motion.y;
  } else {
    if (e.button.button != SDL_BUTTON_RIGHT) return;
    m.message = e.type == SDL_MOUSEBUTTONDOWN ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    m.x = e.button.x;
    m.y = e.button.y;
  }
  PostMessage(m);
}

void WindowDisplay::HandleWindowEvent(const SDL_WindowEvent& w) {
  switch (w.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      s_.focused = w.event == SDL_WINDOWEVENT_FOCUS_GAINED;
      TouchCaret();
      PostMessage(s_.focused ? WM_SETFOCUS : WM_KILLFOCUS);
      Present();
      break;
    case SDL_WINDOWEVENT_CLOSE: PostMessage(WM_CLOSE); break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
      s_.redrawAll = true;
      Present();
      break;
  }
}

void WindowDisplay::ClientSize(int& width, int& height) const {
  width = height = 0;
  if (s_.window) window::lib.SDL_GetWindowSize(s_.window, &width, &height);
}

void WindowDisplay::WorkArea(int& width, int& height) const {
  SDL_Rect r{0, 0, 1024, 734};
  int index = s_.window ? std::max(window::lib.SDL_GetWindowDisplayIndex(s_.window), 0) : 0;
  window::lib.SDL_GetDisplayUsableBounds(index, &r);
  width = r.w;
  height = r.h;
}

void WindowDisplay::ShowZoom(int srcX, int srcY, int srcW, int srcH) {
  if (!s_.window || srcW <= 0 || srcH <= 0) return;
  SDL_Surface* surface = window::lib.SDL_GetWindowSurface(s_.window);
  if (!surface) return;
  CanvasZoom(s_.canvas, surface, SDL_Rect{srcX, srcY, srcW, srcH});
  s_.redrawAll = true;
  Present();
}

bool WindowDisplay::GetClipboardText(std::string& text) {
  char* utf8 = window::lib.SDL_GetClipboardText();
  if (!utf8) return false;
  text = Utf8ToCp1252(utf8);
  window::lib.SDL_free(utf8);
  return true;
}

// False with why when the libraries or the video could not be brought up.
bool StartVideo(std::string& why) {
  if (!window::OpenLibraries(why)) return false;
  window::lib.SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  window::lib.SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The picture is copied to the window as it is: no GL context for that.
  window::lib.SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  IgnoreProtocolErrorsFromTheStart();
  if (window::lib.SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  why = window::lib.SDL_GetError();
  return false;
}

}  // namespace

std::unique_ptr<Display> CreateWindowDisplay() {
  std::string why;
  if (!StartVideo(why)) {
    std::fprintf(stderr,
                 "Sonaris: n\xC3\xA3o foi poss\xC3\xADvel abrir a janela gr\xC3\xA1" "fica (%s); "
                 "usando o terminal.\n",
                 why.c_str());
    return CreateTerminalDisplay();
  }
  Uint32 wake = window::lib.SDL_RegisterEvents(1);
  return std::make_unique<WindowDisplay>(wake);
}

bool WindowPixel(Display& display, int x, int y, Rgb& out) {
  auto* w = dynamic_cast<WindowDisplay*>(&display);
  SDL_Surface* s =
      w && w->State().window ? window::lib.SDL_GetWindowSurface(w->State().window) : nullptr;
  if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h || s->format->BytesPerPixel != 4)
    return false;
  window::lib.SDL_LockSurface(s);
  Uint32 p = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch)[x];
  window::lib.SDL_UnlockSurface(s);
  window::lib.SDL_GetRGB(p, s->format, &out.r, &out.g, &out.b);
  return true;
}

void WindowCellSize(Display& display, int& width, int& height) {
  auto* w = dynamic_cast<WindowDisplay*>(&display);
  width = w && w->State().window ? w->State().canvas.font.cellWidth : 0;
  height = w && w->State().window ? w->State().canvas.font.cellHeight : 0;
}

}  // namespace platform
