// Terminal restoration. Everything a signal handler touches is plain static
// data prepared in advance, and only async-signal-safe calls are made.
#include "platform/terminal_signals.h"

#include <fcntl.h>
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
  int realStderr = -1;  // the program's stderr while it is held back
  int heldStderr = -1;  // the file holding what was written meanwhile
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

void WriteAll(int fd, const char* data, size_t length) {
  for (size_t done = 0; done < length;) {
    ssize_t n = write(fd, data + done, length - done);
    if (n <= 0 && errno != EINTR) return;
    if (n > 0) done += static_cast<size_t>(n);
  }
}

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

}  // namespace

void TerminalSignalsInstall(const termios* saved, const char* leave, int resizeFd,
                            bool holdStderr) {
  restore.haveModes = saved != nullptr;
  if (saved) restore.modes = *saved;
  restore.leaveLength = std::min(std::strlen(leave), sizeof(restore.leave));
  std::memcpy(restore.leave, leave, restore.leaveLength);
  restore.resizeFd = resizeFd;
  if (holdStderr && restore.realStderr < 0) HoldStderr();
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
  WriteAll(STDOUT_FILENO, restore.leave, restore.leaveLength);
  ReleaseStderr();
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
