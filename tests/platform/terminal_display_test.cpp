// The terminal display run in a child process on a pseudo-terminal (or
// pipes): what it writes, the keys it reads, and that the terminal (and
// what went to stderr) comes back on every way out.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/os/clock.h"
#include "platform/display/display.h"
#include "platform/os/messages.h"

namespace platform {
namespace {
extern bool inChild;
}  // namespace
}  // namespace platform

// The child inherits whatever the parent's earlier tests hold; leak
// checking belongs to the parent.
extern "C" int __lsan_is_turned_off() { return platform::inChild ? 1 : 0; }

namespace platform {
namespace {

// The child: shows a greeting, reports each key message on a row, rings
// the bell on Ctrl+G, and after Enter (or when input ends) exits or dies of
// the chosen signal (0: exits).
// The display stays reachable from here: std::exit does not unwind.
Display* childDisplay = nullptr;
bool inChild = false;

[[noreturn]] void RunChild(int ending) {
  inChild = true;
  Display* display = childDisplay = CreateDisplay("terminal").release();
  if (!display->Open(DisplaySettings{})) _exit(3);
  SetActiveDisplay(display);
  std::fputs("aviso\n", stderr);  // must not land on the cells
  const unsigned char hello[] = "Ol\xE1!";
  display->DrawText(0, 0, hello, 4, {255, 255, 255}, {0, 0, 0});
  display->Present();
  int row = 1;  // a fresh row for each report, so it goes out whole
  for (;;) {
    WaitMessage();
    Message m;
    while (PeekMessage(m)) {
      std::string line = "[" + std::to_string(m.message) + "," +
                         std::to_string(m.wParam) + "," + std::to_string(m.mods) + "]";
      display->DrawText(0, row++ % 25, reinterpret_cast<const unsigned char*>(line.data()),
                        static_cast<int>(line.size()), {255, 255, 255}, {0, 0, 0});
      display->Present();
      if (m.message == WM_CHAR && m.wParam == 7) display->Bell();
      bool enter = m.message == WM_CHAR && m.wParam == 13;
      if (!enter && m.message != WM_CLOSE) continue;
      if (ending != 0) raise(ending);
      std::exit(0);
    }
  }
}

// Reads from fd until text holds want or 10 s pass; false on timeout/end.
bool ReadUntil(int fd, std::string& text, const std::string& want) {
  int64_t deadline = MonotonicMs() + 10000;
  while (text.find(want) == std::string::npos) {
    int left = static_cast<int>(deadline - MonotonicMs());
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, left) <= 0) return false;
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    text.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

// Reads the rest of the child's output, then waits for its end.
int ReadToEndAndWait(int fd, std::string& text, pid_t pid) {
  ReadUntil(fd, text, std::string("\x01\x02\x03 never", 9));
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// Echo and line editing of the terminal (~0 when it cannot be read).
tcflag_t EchoAndLines(int fd) {
  termios modes{};
  return tcgetattr(fd, &modes) == 0 ? modes.c_lflag & (ECHO | ICANON) : ~tcflag_t{0};
}

// Starts the child on a new pseudo-terminal and reads up to its greeting.
bool StartOnPseudoTerminal(int& master, pid_t& pid, std::string& out, int ending = 0) {
  pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) RunChild(ending);
  return pid > 0 && ReadUntil(master, out, "Ol\xC3\xA1!");
}

class OnPseudoTerminal : public ::testing::TestWithParam<int> {};

TEST_P(OnPseudoTerminal, DrawsReadsKeysAndRestoresTheTerminal) {
  int master = -1;
  pid_t pid = -1;
  std::string out;
  ASSERT_TRUE(StartOnPseudoTerminal(master, pid, out, GetParam())) << out;
  EXPECT_NE(out.find("\x1b[?1049h"), std::string::npos);
  EXPECT_EQ(EchoAndLines(master), 0u);

  ASSERT_EQ(write(master, "\x1b[2;5~", 6), 6);  // Ctrl+Insert
  ASSERT_TRUE(ReadUntil(master, out, "[256,45,2]")) << out;
  ASSERT_EQ(write(master, "\x1b", 1), 1);  // a lone Escape
  ASSERT_TRUE(ReadUntil(master, out, "[258,27,0]")) << out;
  ASSERT_EQ(write(master, "\x07", 1), 1);  // Ctrl+G: the child rings the bell
  ASSERT_TRUE(ReadUntil(master, out, "[258,7,2]")) << out;
  std::string afterReport = out.substr(out.find("[258,7,2]"));
  ASSERT_TRUE(ReadUntil(master, afterReport, "\a")) << afterReport;
  out += afterReport;
  ASSERT_EQ(write(master, "\r", 1), 1);
  size_t before = out.size();
  int status = ReadToEndAndWait(master, out, pid);
  size_t leave = out.find("\x1b[?1049l", before);
  ASSERT_NE(leave, std::string::npos);
  // What went to stderr meanwhile comes out after the screen is left.
  EXPECT_TRUE(out.find("aviso") != std::string::npos && out.find("aviso") > leave) << out;
  EXPECT_EQ(EchoAndLines(master), static_cast<tcflag_t>(ECHO | ICANON));
  close(master);
  if (GetParam() == 0)
    EXPECT_EQ(status, 0);  // exited with 0
  else
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam()) << status;
}

// A normal exit and every signal whose default action ends the process.
INSTANTIATE_TEST_SUITE_P(Endings, OnPseudoTerminal,
                         ::testing::Values(0, SIGTERM, SIGSEGV, SIGINT, SIGHUP, SIGPIPE,
                                           SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
                                           SIGVTALRM, SIGPROF, SIGSYS, SIGTRAP, SIGIO,
                                           SIGPWR, SIGSTKFLT, SIGRTMIN, SIGRTMAX));

// A stop gives the terminal back; going on takes it again and draws the
// whole screen. (The child leads a session of its own, so the kernel drops
// the stop itself: the terminal comes back at once, as after SIGCONT.)
TEST(OnPseudoTerminalStop, StopGivesTheTerminalBackAndGoingOnRedraws) {
  int master = -1;
  pid_t pid = -1;
  std::string out;
  ASSERT_TRUE(StartOnPseudoTerminal(master, pid, out)) << out;
  for (int sig : {SIGTSTP, SIGCONT}) {
    ASSERT_EQ(kill(pid, sig), 0);
    std::string after;
    ASSERT_TRUE(ReadUntil(master, after, "Ol\xC3\xA1!")) << sig << after;
    size_t enter = after.find("\x1b[?1049h");
    ASSERT_NE(enter, std::string::npos) << sig;
    if (sig == SIGTSTP) {
      EXPECT_NE(after.find("\x1b[?1049l"), std::string::npos);
    }
    EXPECT_GT(after.find("Ol\xC3\xA1!"), enter);
    out += after;
  }
  EXPECT_EQ(EchoAndLines(master), 0u);
  ASSERT_EQ(write(master, "\r", 1), 1);
  EXPECT_EQ(ReadToEndAndWait(master, out, pid), 0);  // exited with 0
  close(master);
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A cursor key whose sequence comes in two reads: its first bytes are
// announced at once (WM_KEY_ARRIVING, before the rest is even sent), then
// exactly one Up follows. The rest must come within the terminal's short
// wait, which a loaded machine may miss: a try that missed it (the bytes
// then make other keys) is made again.
TEST(OnPseudoTerminalSplitKey, AnnouncedOnItsFirstBytesThenDecidedOnce) {
  const std::string arriving = "[" + std::to_string(WM_KEY_ARRIVING) + ",0,0]";
  bool decided = false;
  for (int attempt = 0; attempt < 5 && !decided; ++attempt) {
    int master = -1;
    pid_t pid = -1;
    std::string out;
    ASSERT_TRUE(StartOnPseudoTerminal(master, pid, out)) << out;
    ASSERT_EQ(write(master, "\x1b[", 2), 2);
    ASSERT_TRUE(ReadUntil(master, out, arriving)) << out;
    ASSERT_EQ(write(master, "A", 1), 1);
    ASSERT_EQ(write(master, "x", 1), 1);  // a fence: everything before it is told
    ASSERT_TRUE(ReadUntil(master, out, "[258,120,0]")) << out;
    decided = Count(out, "[256,38,0]") == 1;
    if (decided) {
      EXPECT_EQ(Count(out, arriving), 1u) << out;
      EXPECT_EQ(Count(out, "[256,"), 2u) << out;  // Up and x, no other key
      EXPECT_EQ(Count(out, "[258,"), 1u) << out;  // only x typed a character
      EXPECT_EQ(Count(out, "[260,"), 0u) << out;
    }
    ASSERT_EQ(write(master, "\r", 1), 1);
    EXPECT_EQ(ReadToEndAndWait(master, out, pid), 0);  // exited with 0
    close(master);
  }
  EXPECT_TRUE(decided);
}

TEST(OnPipes, PipedKeysArriveAndTheirEndClosesTheConsole) {
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[1]);
    close(out[0]);
    RunChild(0);
  }
  close(in[0]);
  close(out[1]);
  std::string text;
  ASSERT_TRUE(ReadUntil(out[0], text, "Ol\xC3\xA1!"));
  ASSERT_EQ(write(in[1], "x", 1), 1);
  ASSERT_TRUE(ReadUntil(out[0], text, "[258,120,0]")) << text;
  close(in[1]);  // no Enter: the end of input closes the console, after its keys
  ASSERT_TRUE(ReadUntil(out[0], text, "[16,1,0]")) << text;
  EXPECT_EQ(ReadToEndAndWait(out[0], text, pid), 0);  // exited with 0
  close(out[0]);
}

}  // namespace
}  // namespace platform
