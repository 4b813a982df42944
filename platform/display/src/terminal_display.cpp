// The terminal display: the console's cells on an ANSI/UTF-8 terminal in
// raw mode on the alternate screen; keys come from stdin. Stdin that is no
// terminal (a pipe in tests) still works, without raw mode. The "keys"
// variant, for the command-line tools, shows nothing and reads keys only
// from a terminal: a pipe or /dev/null is no one typing.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os/clock.h"
#include "platform/display/display.h"
#include "platform/os/messages.h"
#include "platform/display/src/terminal_keys.h"
#include "platform/display/src/terminal_output.h"
#include "platform/display/src/terminal_signals.h"
#include "platform/os/text.h"

namespace platform {
namespace {

// Nominal pixel size of a cell, for the pixel sizes the console asks about.
constexpr int kCellWidth = 8, kCellHeight = 16;
// Half a sequence is completed when nothing follows within this time.
constexpr int kEscapeWaitMs = 30;
// Alternate screen, hidden cursor, focus reports, the title saved; and back.
constexpr char kEnter[] = "\x1b[?1049h\x1b[?25l\x1b[?1004h\x1b[22;0t\x1b[0m\x1b[2J";
constexpr char kLeave[] = "\x1b[0m\x1b[?1004l\x1b[?25h\x1b[23;0t\x1b[?1049l";
// Said once, on the terminal's last row and on stderr (Windows-1252).
constexpr char kSmallNotice[] =
    "Terminal menor que 80x25: aparece s\xF3 a parte da tela com o cursor.";

struct TerminalState {
  bool open = false;
  bool showsScreen = true;
  bool inputIsTerminal = false;
  bool inputEnded = false;
  ColourDepth depth = ColourDepth::Ansi16;
  bool focused = true;
  termios savedModes{}, rawModes{};
  int wakePipe[2] = {-1, -1};
  int columns = 0, rows = 0;            // the screen
  int termColumns = 0, termRows = 0;    // the terminal
  Viewport view;                        // the part of the screen shown
  bool noticeGiven = false;             // told once that the terminal is small
  bool noticeShown = false;             // the notice holds the terminal's last row
  std::vector<TerminalCell> cells, shadow;  // shadow: what the terminal shows of view
  bool caretVisible = false;
  int caretColumn = 0, caretRow = 0;
  int cursorColumn = 0, cursorRow = 0;  // the cell kept in sight
  std::string caretShown;  // the caret sequence last written
  std::string pendingInput;             // the first bytes of a key
  bool afterReturn = false;             // the last byte piped in was CR
  bool keyAnnounced = false;            // WM_KEY_ARRIVING posted for them
  int64_t pendingDeadline = 0;          // when they are taken as they stand
  std::string clipboard;
};
TerminalState term;

void WriteAll(const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    ssize_t n = write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void EnterRawMode() {
  // A tool started in the background (cmd &) is stopped if it touches the
  // terminal: only one in the foreground reads its keys.
  bool foreground = term.showsScreen || tcgetpgrp(STDIN_FILENO) == getpgrp();
  term.inputIsTerminal =
      foreground && isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &term.savedModes) == 0;
  if (!term.inputIsTerminal) return;
  termios raw = term.savedModes;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
  raw.c_cflag |= CS8;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  term.rawModes = raw;
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
}

// The wake pipe lives as long as the process, so that a display that is
// not (or no longer) open still sleeps and wakes like an open one.
bool OpenWakePipe() {
  if (term.wakePipe[0] >= 0) return true;
  if (pipe2(term.wakePipe, O_NONBLOCK | O_CLOEXEC) == 0) return true;
  term.wakePipe[0] = term.wakePipe[1] = -1;
  return false;
}

std::string CaretSequence() {
  int column = term.caretColumn - term.view.left, row = term.caretRow - term.view.top;
  bool inView = column >= 0 && column < term.view.columns && row >= 0 && row < term.view.rows;
  if (!term.caretVisible || !inView) return "\x1b[?25l";
  return "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H\x1b[?25h";
}

void MeasureTerminal() {
  winsize ws{};
  bool known = ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0;
  term.termColumns = known ? ws.ws_col : term.columns;
  term.termRows = known ? ws.ws_row : term.rows;
  bool small = term.termColumns < term.columns || term.termRows < term.rows;
  if (small && !term.noticeGiven) {
    term.noticeGiven = term.noticeShown = true;
    std::fprintf(stderr, "%s\n", Cp1252ToUtf8(kSmallNotice).c_str());
  }
  if (!small) term.noticeShown = false;
}

// The notice on the terminal's last row, in reverse video.
std::string NoticeLine() {
  std::string text = std::string(kSmallNotice).substr(0, static_cast<size_t>(term.termColumns));
  return "\x1b[" + std::to_string(term.termRows) + ";1H\x1b[0;7m" + Cp1252ToUtf8(text) +
         "\x1b[0m\x1b[K";
}

void PresentFrame();

// Clears the terminal and draws everything again: after a resize, a stop,
// or when the view changed size.
void Repaint() {
  term.caretShown.clear();
  term.shadow.clear();
  PresentFrame();
}

void PresentFrame() {
  int rows = term.termRows - (term.noticeShown ? 1 : 0);
  term.view = ChooseViewport(term.view, term.termColumns, rows, term.columns, term.rows,
                             term.cursorColumn, term.cursorRow);
  std::vector<TerminalCell> visible = CellsInView(term.cells, term.columns, term.view);
  std::string out;
  if (term.shadow.size() != visible.size()) {
    term.shadow.assign(visible.size(), TerminalCell{0, {}, {}});
    out = "\x1b[0m\x1b[2J";
    if (term.noticeShown) out += NoticeLine();
  }
  RenderChanges(visible, term.shadow, term.view.columns, term.depth, out);
  std::string caret = CaretSequence();
  if (!out.empty() || caret != term.caretShown) out += caret;
  term.caretShown = caret;
  if (!out.empty()) WriteAll(out);
}

// Returns true when the wake pipe asked for a repaint.
bool DrainWakePipe() {
  char buffer[64];
  bool resized = false;
  ssize_t n;
  while ((n = read(term.wakePipe[0], buffer, sizeof buffer)) > 0)
    resized = resized || std::memchr(buffer, 'R', static_cast<size_t>(n)) != nullptr;
  return resized;
}

// Reads what stdin has; false at its end.
bool ReadInput() {
  char buffer[4096];
  ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
  if (n < 0) return errno == EINTR || errno == EAGAIN;
  if (n == 0) return false;
  // Text from Windows ends its lines with CR LF: the pair is one Enter,
  // also when a read ends between the two.
  for (ssize_t i = 0; i < n; ++i) {
    const bool lineFeed = buffer[i] == '\n';
    if (!(lineFeed && term.afterReturn && !term.inputIsTerminal)) term.pendingInput += buffer[i];
    term.afterReturn = buffer[i] == '\r';
  }
  return true;
}

void EndOfInput() {
  term.inputEnded = true;
  // Nobody can type any more: close the console rather than wait forever;
  // the keys a pipe gave before its end are handled first.
  PostMessage(WM_CLOSE, term.inputIsTerminal ? 0 : CloseAfterKeys);
}

// Turns the bytes read into key messages. A key whose first bytes came
// without the rest (a sequence split across reads) is announced at once, so
// that sound stops on its first byte; the key is decided when the rest
// comes, or as it stands kEscapeWaitMs after the last read (atEnd).
void DecodeInput(bool atEnd) {
  bool announced = term.keyAnnounced;
  std::vector<Message> events;
  bool piped = !term.inputIsTerminal;
  unsigned char erase = piped ? 0 : term.savedModes.c_cc[VERASE];
  term.pendingInput.erase(0, DecodeKeys(term.pendingInput, false, events, piped, erase));
  // Escapes alone at the end of a read are Escape keys at once.
  if (atEnd || CompleteAtEndOfRead(term.pendingInput)) {
    DecodeKeys(term.pendingInput, true, events, piped, erase);
    term.pendingInput.clear();
  }
  bool key = false;
  for (const Message& m : events) {
    if (m.message == WM_SETFOCUS || m.message == WM_KILLFOCUS)
      term.focused = m.message == WM_SETFOCUS;
    else
      key = true;
  }
  // The first key takes the notice's row back for the screen.
  if (key && term.noticeShown && term.open) {
    term.noticeShown = false;
    Repaint();
  }
  PostKeyEvents(events);
  term.keyAnnounced = !term.pendingInput.empty();
  if (!term.keyAnnounced) return;
  term.pendingDeadline = RealMonotonicMs() + kEscapeWaitMs;
  if (!announced) PostMessage(WM_KEY_ARRIVING);
}

// Sleeps no longer than the wait for the rest of a key.
int BoundedByPendingKey(int timeoutMs) {
  if (term.pendingInput.empty()) return timeoutMs;
  int64_t left = std::max<int64_t>(term.pendingDeadline - RealMonotonicMs(), 0);
  return static_cast<int>(timeoutMs < 0 ? left : std::min<int64_t>(timeoutMs, left));
}

void WaitForInput(int timeoutMs) {
  pollfd fds[2] = {{term.wakePipe[0], POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  bool readsInput = term.showsScreen || term.inputIsTerminal;
  nfds_t count = term.open && !term.inputEnded && readsInput ? 2 : 1;
  if (poll(fds, count, BoundedByPendingKey(timeoutMs)) > 0) {
    if ((fds[0].revents & POLLIN) && DrainWakePipe() && term.open && term.showsScreen) {
      MeasureTerminal();
      Repaint();
    }
    if (count == 2 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      bool more = ReadInput();
      DecodeInput(!more);
      if (!more) EndOfInput();
    }
  }
  // Nothing more came in time: the key is what its bytes make as they stand.
  if (!term.pendingInput.empty() && RealMonotonicMs() >= term.pendingDeadline) DecodeInput(true);
}

class TerminalDisplay final : public Display {
 public:
  explicit TerminalDisplay(bool showsScreen) : showsScreen_(showsScreen) { OpenWakePipe(); }
  ~TerminalDisplay() override { Close(); }
  const char* Name() const override { return showsScreen_ ? "terminal" : "keys"; }

  bool Open(const DisplaySettings& settings) override {
    if (term.open || !OpenWakePipe()) return false;
    term.columns = settings.columns > 0 ? settings.columns : 80;
    term.rows = settings.rows > 0 ? settings.rows : 25;
    size_t size = static_cast<size_t>(term.columns * term.rows);
    term.cells.assign(size, TerminalCell{});
    term.shadow.clear();
    term.view = Viewport{};
    term.cursorColumn = term.cursorRow = 0;
    term.depth = TerminalColourDepth(std::getenv("COLORTERM"), std::getenv("TERM"));
    term.focused = true;
    term.inputEnded = false;
    term.pendingInput.clear();
    term.keyAnnounced = false;
    term.caretVisible = false;
    term.caretShown.clear();
    term.showsScreen = showsScreen_;
    EnterRawMode();
    TerminalModes modes;
    if (term.inputIsTerminal) modes.saved = &term.savedModes, modes.raw = &term.rawModes;
    // The keys-only display of the tools leaves the screen as it is.
    modes.enter = showsScreen_ ? kEnter : "";
    modes.leave = showsScreen_ ? kLeave : "";
    TerminalSignalsInstall(modes, term.wakePipe[1],
                           showsScreen_ && isatty(STDOUT_FILENO) && isatty(STDERR_FILENO));
    term.open = true;
    if (!showsScreen_) return true;
    WriteAll(kEnter);
    MeasureTerminal();
    SetTitle(settings.title);
    return true;
  }

  void Close() override {
    if (!term.open) return;
    term.open = false;
    TerminalSignalsRemove();
  }

  void DrawText(int column, int row, const unsigned char* text, int count, Rgb fg,
                Rgb bg) override {
    if (row < 0 || row >= term.rows) return;
    for (int i = 0; i < count; ++i) {
      int x = column + i;
      if (x < 0 || x >= term.columns) continue;
      unsigned char c = text[i] ? text[i] : ' ';
      term.cells[static_cast<size_t>(row * term.columns + x)] = {c, fg, bg};
    }
  }

  bool ScrollUp(Rgb fill) override {
    if (term.rows == 0) return false;
    term.cells.erase(term.cells.begin(), term.cells.begin() + term.columns);
    term.cells.resize(term.cells.size() + term.columns, TerminalCell{' ', fill, fill});
    return true;
  }

  void SetCaret(bool visible, int column, int row) override {
    term.caretVisible = visible;
    term.caretColumn = column;
    term.caretRow = row;
    SetCursor(column, row);
  }

  void SetCursor(int column, int row) override {
    term.cursorColumn = std::clamp(column, 0, std::max(term.columns - 1, 0));
    term.cursorRow = std::clamp(row, 0, std::max(term.rows - 1, 0));
  }

  void SetTitle(const std::string& title) override {
    if (term.open && term.showsScreen) WriteAll("\x1b]2;" + Cp1252ToUtf8(Printable(title)) + "\a");
  }

  void Present() override {
    if (term.open && term.showsScreen) PresentFrame();
  }

  bool Bell() override {
    if (term.open) WriteAll("\a");
    return term.open;
  }

  void WaitEvents(int timeoutMs) override { WaitForInput(timeoutMs); }

  void Wake() override {
    int fd = term.wakePipe[1];
    if (fd >= 0) {
      ssize_t ignored = write(fd, "w", 1);
      (void)ignored;
    }
  }

  bool Focused() const override { return term.focused; }
  bool KeyArriving() const override { return !term.pendingInput.empty(); }

  void ClientSize(int& width, int& height) const override {
    width = term.columns * kCellWidth;
    height = term.rows * kCellHeight;
  }

  void WorkArea(int& width, int& height) const override {
    winsize ws{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
      width = ws.ws_col * kCellWidth;
      height = ws.ws_row * kCellHeight;
    } else {
      ClientSize(width, height);
    }
  }

  // A terminal has no mouse magnifier.
  void ShowZoom(int, int, int, int) override {}
  void EndZoom() override {}

  void SetClipboardText(const std::string& text) override {
    term.clipboard = text;
    if (term.open && term.showsScreen) WriteAll(ClipboardSequence(text));
  }

  bool GetClipboardText(std::string& text) override {
    text = term.clipboard;
    return true;
  }

 private:
  bool showsScreen_;
  // Control characters in a title would end the sequence early.
  static std::string Printable(std::string s) {
    for (char& c : s)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return s;
  }
};

}  // namespace

std::unique_ptr<Display> CreateTerminalDisplay() {
  return std::make_unique<TerminalDisplay>(true);
}

std::unique_ptr<Display> CreateKeysDisplay() {
  return std::make_unique<TerminalDisplay>(false);
}

}  // namespace platform
