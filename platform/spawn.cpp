// posix_spawn behind the shell's "open": arguments go to the new program
// as they are, so quotes, semicolons or $( ) in a name are only text.
#include "platform/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/paths.h"
#include "platform/text.h"

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
    posix_spawnattr_init(&attr);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
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

}  // namespace

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

}  // namespace platform
