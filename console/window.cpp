// The console window: opening and closing it, its window procedure and the
// exit path that leaves the terminal as it was.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "console/console_state.h"
#include "platform/os/messages.h"
#include "platform/os/paths.h"
#include "platform/os/text.h"

uint8_t TextAttribute = 0x0F;
uint8_t ColourTable[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
int BrailleMode = 0;
WaveDoneProc WaveDoneHook = nullptr;
bool WaveDoneHookEnabled = false;
KeyArrivingProc KeyArrivingHook = nullptr;
VoiceWakeProc VoiceWakeHook = nullptr;

namespace console_detail {
namespace {

// The window title: the program's own path, as an 80-byte buffer holds it.
std::string ProgramTitle() {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  std::string title = error ? std::string("Selenor")
                            : platform::Utf8ToCp1252(path.string());
  if (title.size() > 79) title.resize(79);
  return title;
}

void IgnoreMessage(const platform::Message&) {}

// When the program ends with the window still open, the window stays
// inert and the display gives back the terminal.
void ProgramEnded() {
  ConsoleState& s = State();
  if (!s.created || !s.display) return;
  s.breakCheck = false;
  s.display->SetTitle("Programa terminado");
  s.display->Present();
  CloseConsoleWindow();
}

[[noreturn]] void NoDisplay() {
  std::string text = "Selenor: n\xE3o foi poss\xEDvel abrir a tela "
                     "(nem janela nem terminal).\n";
  std::fputs(platform::Cp1252ToUtf8(text).c_str(), stderr);
  std::exit(1);
}

// The font is sized from the work area that the display reports, so the
// display is asked before it opens.
bool TryDisplay(ConsoleState& s, std::unique_ptr<platform::Display> display) {
  if (!display) return false;
  s.display = std::move(display);
  platform::SetActiveDisplay(s.display.get());
  platform::SetWindowProc(ConsoleWindowProc);
  int workWidth = 0, workHeight = 0;
  s.display->WorkArea(workWidth, workHeight);
  LoadVideoSettings(platform::WindowsDirFiles("SONARIS.INI"), workWidth,
                    workHeight, s.video);
  platform::DisplaySettings settings;
  settings.fontFace = s.video.fontFace;
  settings.fontWidth = s.video.fontWidth;
  settings.fontHeight = s.video.fontHeight;
  settings.fontWeight = s.video.fontWeight;
  settings.maximised = s.video.maximised;
  settings.title = ProgramTitle();
  if (s.display->Open(settings)) return true;
  platform::SetActiveDisplay(nullptr);
  s.display.reset();
  return false;
}

// A window that cannot open (no reachable desktop) leaves the terminal.
bool OpenDisplay(ConsoleState& s) {
  auto display = s.displayFactory ? s.displayFactory()
                                  : platform::CreateDisplay();
  bool window = display && std::string(display->Name()) == "window";
  if (TryDisplay(s, std::move(display))) return true;
  return window && TryDisplay(s, platform::CreateDisplay("terminal"));
}

void CreateBuffers(ConsoleState& s) {
  for (int i = 0; i < ScreenColumns * ScreenRows; ++i) {
    s.chars[i] = ' ';
    s.attrs[i] = TextAttribute;
  }
  s.winLeft = 0;
  s.winTop = 0;
  s.winRight = ScreenColumns - 1;
  s.winBottom = ScreenRows - 1;
  s.curX = 0;
  s.curY = 0;
  s.brailleRow = 0;
  s.created = true;
}

}  // namespace

ConsoleState& State() {
  static ConsoleState state;
  return state;
}

void SetDisplayFactory(DisplayFactory factory) {
  State().displayFactory = factory;
}

}  // namespace console_detail

using namespace console_detail;

void OpenConsole() {
  ConsoleState& s = State();
  if (s.created) return;
  if (!OpenDisplay(s)) NoDisplay();
  CreateBuffers(s);
  s.focused = s.display->Focused();
  s.zooming = false;
  if (!s.exitHookSet) {
    s.exitHookSet = true;
    std::atexit(ProgramEnded);
  }
  StartBrailleLine(s);
  RepaintAll();
  SetBrailleMode(BrailleMode);
}

void CloseConsoleWindow() {
  ConsoleState& s = State();
  if (!s.created) return;
  s.queued = 0;
  StopTone();
  platform::SetWindowProc(IgnoreMessage);
  // Unset first: a sound thread's wake-up must not reach a display that
  // is shutting down.
  platform::SetActiveDisplay(nullptr);
  StopBrailleLine(s);
  // Closed before it is let go: should the program end while the display
  // shuts down, the exit handler finds no console left to touch.
  std::unique_ptr<platform::Display> display = std::move(s.display);
  s.created = false;
  display->Close();
  display.reset();
  s.waiting = false;
  s.zooming = false;
  s.closeAfterKeys = false;
  s.curX = 0;
  s.curY = 0;
}

void CloseConsole() {
  CloseConsoleWindow();
  std::exit(0);
}

void ConsoleWindowProc(const platform::Message& m) {
  ConsoleState& s = State();
  if (!s.created) return;
  switch (m.message) {
    case platform::WM_SETFOCUS:
      s.focused = true;
      if (s.waiting) ShowCaret(true);
      break;
    case platform::WM_KILLFOCUS:
      if (s.waiting) ShowCaret(false);
      s.focused = false;
      break;
    case platform::WM_PAINT:
      RepaintAll();
      break;
    case platform::WM_CLOSE:
      if (m.wParam != platform::CloseAfterKeys) CloseConsole();  // ends the program
      s.closeAfterKeys = true;
      break;
    case platform::WM_KEYDOWN:
      HandleKeyDown(m);
      break;
    case platform::WM_SYSKEYDOWN:
      HandleSysKeyDown(m);
      break;
    case platform::WM_CHAR:
      HandleChar(m);
      break;
    case platform::WM_KEYUP:
      HandleKeyUp(m);
      break;
    case platform::WM_MOUSEMOVE:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_RBUTTONUP:
      HandleMagnifier(m);
      break;
    case platform::MM_WOM_DONE:
      if (WaveDoneHookEnabled && WaveDoneHook) WaveDoneHook(m.wParam, m.lParam);
      break;
    case platform::WM_KEY_ARRIVING:  // queues nothing: the key's own messages follow
      if (KeyArrivingHook) KeyArrivingHook();
      break;
    case platform::WM_BRAILLE:
      HandleBrailleMessage(m);
      break;
    case platform::WM_VOICE_WAKE:
      if (VoiceWakeHook) VoiceWakeHook();
      break;
    default:  // the front end's wake-up only ends a wait
      break;
  }
}
