// Terminal restoration. Everything a signal handler touches is plain static
// data prepared in advance, and only async-signal-safe calls are made.
#include "platform/display/src/terminal_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

// Signals whose default action does not end the process, and those that
// cannot be caught; every other one restores the terminal first.
constexpr int kHarmless[] = {SIGCHLD, SIGCONT, SIGSTOP, SIGTSTP, SIGTTIN, SIGTTOU,
                             SIGURG,  SIGWINCH, SIGKILL};
// Handled for the terminal's sake, without ending anything.
constexpr int kKept[] = {SIGWINCH, SIGTSTP, SIGCONT};
// Taken over even from a handler already in place (a crash or an ending
// must still give the terminal back); for the other signals a library's
// own handler (a timer's) is left alone.
constexpr int kTakenOver[] = {SIGINT, SIGTERM, SIGHUP,  SIGQUIT, SIGSEGV,
                              SIGABRT, SIGBUS, SIGFPE, SIGILL};

struct Sequence {
  char bytes[128] = {};
  size_t length = 0;
  void Set(const char* text) {
    length = std::min(std::strlen(text), sizeof bytes);
    std::memcpy(bytes, text, length);
  }
};

struct RestoreState {
  volatile sig_atomic_t armed = 0;
  bool haveModes = false;
  termios saved{}, raw{};
  Sequence enter, leave;
  volatile sig_atomic_t repaintFd = -1;
  int realStderr = -1;  // the program's stderr while it is held back
  int heldStderr = -1;  // the file holding what was written meanwhile
  bool atexitRegistered = false;
  bool installed = false;
  bool handled[NSIG] = {};
  struct sigaction previous[NSIG] = {};
};
RestoreState restore;

void WriteAll(int fd, const char* data, size_t length) {
  for (size_t done = 0; done < length;) {
    ssize_t n = write(fd, data + done, length - done);
    if (n <= 0 && errno != EINTR) return;
    if (n > 0) done += static_cast<size_t>(n);
  }
}

void LeaveTerminal() {
  if (restore.haveModes) tcsetattr(STDIN_FILENO, TCSAFLUSH, &restore.saved);
  WriteAll(STDOUT_FILENO, restore.leave.bytes, restore.leave.length);
}

void AskRepaint() {
  int fd = restore.repaintFd;
  if (fd >= 0) {
    ssize_t ignored = write(fd, "R", 1);
    (void)ignored;
  }
}

void OnEndingSignal(int sig) {
  TerminalSignalsRestore();
  signal(sig, SIG_DFL);
  raise(sig);
}

// Takes the terminal back after a stop and asks for the whole screen.
void TakeTerminalBack() {
  if (!restore.armed) return;
  if (restore.haveModes) tcsetattr(STDIN_FILENO, TCSANOW, &restore.raw);
  WriteAll(STDOUT_FILENO, restore.enter.bytes, restore.enter.length);
  AskRepaint();
}

void OnKeptSignal(int sig) {
  int saved = errno;
  if (sig == SIGTSTP) {
    if (restore.armed) LeaveTerminal();
    // Stop as the default action would. The kernel discards the stop of a
    // process that no shell could continue (an orphaned process group):
    // then, as after SIGCONT, the terminal is taken back at once.
    signal(SIGTSTP, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    raise(SIGTSTP);
    struct sigaction again {};
    again.sa_handler = OnKeptSignal;
    again.sa_flags = SA_RESTART;
    sigemptyset(&again.sa_mask);
    sigaction(SIGTSTP, &again, nullptr);
    TakeTerminalBack();
  } else if (sig == SIGCONT) {
    TakeTerminalBack();
  } else if (sig == SIGWINCH) {
    AskRepaint();
  }
  errno = saved;
}

template <size_t N>
bool In(const int (&list)[N], int sig) {
  return std::find(std::begin(list), std::end(list), sig) != std::end(list);
}

void AtExit() { TerminalSignalsRestore(); }

void HoldStderr() {
  int held = open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  int real = held >= 0 ? fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3) : -1;
  if (real < 0 || dup2(held, STDERR_FILENO) < 0) {
    if (held >= 0) close(held);
    if (real >= 0) close(real);
    return;
  }
  restore.heldStderr = held;
  restore.realStderr = real;
}

void ReleaseStderr() {
  if (restore.realStderr < 0) return;
  dup2(restore.realStderr, STDERR_FILENO);
  char buffer[1024];
  ssize_t n;
  if (lseek(restore.heldStderr, 0, SEEK_SET) == 0)
    while ((n = read(restore.heldStderr, buffer, sizeof buffer)) > 0)
      WriteAll(STDERR_FILENO, buffer, static_cast<size_t>(n));
  close(restore.heldStderr);
  close(restore.realStderr);
  restore.heldStderr = restore.realStderr = -1;
}

// A signal that the program was started with ignored (nohup, a shell that
// ignores SIGPIPE) stays ignored.
void Handle(int sig) {
  struct sigaction current {};
  if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
  if (current.sa_handler != SIG_DFL && !In(kTakenOver, sig)) return;
  struct sigaction action {};
  action.sa_handler = In(kKept, sig) ? OnKeptSignal : OnEndingSignal;
  action.sa_flags = In(kKept, sig) ? SA_RESTART : 0;
  sigemptyset(&action.sa_mask);
  if (sigaction(sig, &action, &restore.previous[sig]) == 0) restore.handled[sig] = true;
}

}  // namespace

void TerminalSignalsInstall(const TerminalModes& modes, int repaintFd, bool holdStderr) {
  restore.haveModes = modes.saved != nullptr;
  if (modes.saved) restore.saved = *modes.saved;
  restore.raw = modes.raw ? *modes.raw : restore.saved;
  restore.enter.Set(modes.enter);
  restore.leave.Set(modes.leave);
  restore.repaintFd = repaintFd;
  if (holdStderr && restore.realStderr < 0) HoldStderr();
  restore.armed = 1;
  if (!restore.atexitRegistered) restore.atexitRegistered = std::atexit(AtExit) == 0;
  if (restore.installed) return;
  for (int sig = 1; sig < NSIG; ++sig) {
    bool internal = sig > SIGSYS && sig < SIGRTMIN;  // the C library's own
    if (!internal && (!In(kHarmless, sig) || In(kKept, sig))) Handle(sig);
  }
  restore.installed = true;
}

void TerminalSignalsRestore() {
  if (!restore.armed) return;
  restore.armed = 0;
  LeaveTerminal();
  ReleaseStderr();
}

void TerminalSignalsRemove() {
  TerminalSignalsRestore();
  restore.repaintFd = -1;
  if (!restore.installed) return;
  for (int sig = 1; sig < NSIG; ++sig) {
    if (restore.handled[sig]) sigaction(sig, &restore.previous[sig], nullptr);
    restore.handled[sig] = false;
  }
  restore.installed = false;
}

}  // namespace platform
