// posix_spawn behind the shell's "open": arguments go to the new program
// as they are, so quotes, semicolons or $( ) in a name are only text.
#include "platform/os/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/os/paths.h"
#include "platform/os/text.h"

extern char** environ;

namespace platform {
namespace {

struct SpawnState {
  std::unique_ptr<Spawner> spawner;
};

SpawnState& State() {
  static SpawnState state;
  return state;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// A bare name is found in PATH as a shell would, without a shell.
bool FoundInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  for (size_t start = 0; start <= dirs.size();) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (IsExecutableFile((dir.empty() ? "." : dir) + "/" + name)) return true;
    start = end + 1;
  }
  return false;
}

bool IsProgram(const std::string& linuxPath) {
  if (linuxPath.find('/') != std::string::npos) return IsExecutableFile(linuxPath);
  return !linuxPath.empty() && FoundInPath(linuxPath);
}

// The program does not wait for what it started; a thread of its own
// collects the child when it ends so that no zombie is left.
void ReapWhenDone(pid_t pid) {
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
}

// No signal blocked and every one at its default in the child, whatever
// the program does with them; extraFlags such as a session of its own.
void InitChildAttributes(posix_spawnattr_t& attr, short extraFlags) {
  posix_spawnattr_init(&attr);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, short(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | extraFlags));
}

// What the child gets: its folder, /dev/null for the standard files (the
// console owns the terminal), none of our other files, a session of its
// own and the default signal handling.
struct ChildSetup {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;

  explicit ChildSetup(const std::string& workDir) {
    posix_spawn_file_actions_init(&actions);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    for (int fd = 0; fd <= 2; ++fd)
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    InitChildAttributes(attr, POSIX_SPAWN_SETSID);
  }
  ~ChildSetup() {
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
  }
};

class PosixSpawner : public Spawner {
 public:
  bool Run(const std::string& program, const std::vector<std::string>& args,
           const std::string& workDir) override {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ChildSetup setup(workDir);
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attr, argv.data(), environ) != 0)
      return false;
    ReapWhenDone(pid);
    return true;
  }
};

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

bool StartPipedChild(const std::string& program, const std::vector<std::string>& args,
                     PipedChild& child) {
  // The input is a socket so that a write to a child that has ended gives
  // EPIPE (MSG_NOSIGNAL) instead of a signal that would end the program.
  int in[2], out[2], err[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0) return false;
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]), close(in[1]);
    return false;
  }
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(in[0]), close(in[1]), close(out[0]), close(out[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[1], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_t attr;
  InitChildAttributes(attr, 0);
  std::vector<std::string> all_args{program};
  all_args.insert(all_args.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all_args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  close(in[1]), close(out[1]), close(err[1]);
  if (rc != 0) {
    close(in[0]), close(out[0]), close(err[0]);
    return false;
  }
  for (int fd : {in[0], out[0], err[0]}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  child = PipedChild{pid, in[0], out[0], err[0], false, 0};
  return true;
}

long WriteChildInput(PipedChild& child, const char* data, size_t size) {
  if (child.input < 0) return -1;
  ssize_t n = send(child.input, data, size, MSG_NOSIGNAL);
  if (n >= 0) return long(n);
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}

void CloseChildInput(PipedChild& child) { CloseFd(child.input); }

bool ChildEnded(PipedChild& child, int& status) {
  if (!child.ended && child.pid > 0 && waitpid(child.pid, &child.status, WNOHANG) == child.pid)
    child.ended = true;
  status = child.status;
  return child.ended;
}

int EndPipedChild(PipedChild& child) {
  int status = -1;
  if (child.pid > 0) {
    if (!child.ended) {
      kill(child.pid, SIGKILL);
      while (waitpid(child.pid, &child.status, 0) < 0 && errno == EINTR) {
      }
    }
    status = child.status;
  }
  CloseFd(child.input);
  CloseFd(child.output);
  CloseFd(child.messages);
  child = PipedChild{};
  return status;
}

std::unique_ptr<Spawner> CreatePosixSpawner() { return std::make_unique<PosixSpawner>(); }

void SetSpawner(std::unique_ptr<Spawner> spawner) { State().spawner = std::move(spawner); }

bool ShellOpen(const std::string& program, const std::string& parameters,
               const std::string& workDir) {
  SpawnState& s = State();
  if (!s.spawner) s.spawner = CreatePosixSpawner();
  bool webAddress = program.rfind("http://", 0) == 0 || program.rfind("https://", 0) == 0 ||
                    program.rfind("www.", 0) == 0;
  std::string dir = workDir.empty() ? std::string() : ResolvePath(workDir);
  std::string target = webAddress ? Cp1252ToUtf8(program) : ResolvePath(program);
  std::vector<std::string> args;
  if (!parameters.empty()) args.push_back(Cp1252ToUtf8(parameters));
  if (!webAddress && IsProgram(target)) return s.spawner->Run(target, args, dir);
  if (!parameters.empty() || program.empty()) return false;
  // A document name that starts like an option is still a name.
  if (target[0] == '-') target = "./" + target;
  return s.spawner->Run("xdg-open", {target}, dir);
}

bool IsPipe(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

long UnreadInPipe(int fd) {
  int unread = 0;
  return ioctl(fd, FIONREAD, &unread) == 0 ? unread : -1;
}

}  // namespace platform
