// Terminal restoration. Everything a signal handler touches is plain static
// data prepared in advance, and only async-signal-safe calls are made.
#include "platform/terminal_signals.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                            SIGABRT, SIGBUS, SIGFPE, SIGILL};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);

struct RestoreState {
  volatile sig_atomic_t armed = 0;
  bool haveModes = false;
  termios modes{};
  char leave[128] = {};
  size_t leaveLength = 0;
  volatile sig_atomic_t resizeFd = -1;
  bool atexitRegistered = false;
  bool installed = false;
  struct sigaction previous[kSignalCount] = {};
  struct sigaction previousResize = {};
};
RestoreState restore;

void OnFatalOrTermination(int sig) {
  TerminalSignalsRestore();
  signal(sig, SIG_DFL);
  raise(sig);
}

void OnResize(int) {
  int saved = errno;
  int fd = restore.resizeFd;
  if (fd >= 0) {
    ssize_t ignored = write(fd, "R", 1);
    (void)ignored;
  }
  errno = saved;
}

void AtExit() { TerminalSignalsRestore(); }

}  // namespace

void TerminalSignalsInstall(const termios* saved, const char* leave, int resizeFd) {
  restore.haveModes = saved != nullptr;
  if (saved) restore.modes = *saved;
  restore.leaveLength = std::min(std::strlen(leave), sizeof(restore.leave));
  std::memcpy(restore.leave, leave, restore.leaveLength);
  restore.resizeFd = resizeFd;
  restore.armed = 1;
  if (!restore.atexitRegistered) restore.atexitRegistered = std::atexit(AtExit) == 0;
  if (restore.installed) return;
  struct sigaction action {};
  action.sa_handler = OnFatalOrTermination;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &action, &restore.previous[i]);
  action.sa_handler = OnResize;
  action.sa_flags = SA_RESTART;
  sigaction(SIGWINCH, &action, &restore.previousResize);
  restore.installed = true;
}

void TerminalSignalsRestore() {
  if (!restore.armed) return;
  restore.armed = 0;
  if (restore.haveModes) tcsetattr(STDIN_FILENO, TCSAFLUSH, &restore.modes);
  for (size_t done = 0; done < restore.leaveLength;) {
    ssize_t n = write(STDOUT_FILENO, restore.leave + done, restore.leaveLength - done);
    if (n <= 0 && errno != EINTR) break;
    if (n > 0) done += static_cast<size_t>(n);
  }
}

void TerminalSignalsRemove() {
  TerminalSignalsRestore();
  restore.resizeFd = -1;
  if (!restore.installed) return;
  for (int i = 0; i < kSignalCount; ++i) sigaction(kSignals[i], &restore.previous[i], nullptr);
  sigaction(SIGWINCH, &restore.previousResize, nullptr);
  restore.installed = false;
}

}  // namespace platform
