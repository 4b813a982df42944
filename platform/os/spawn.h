// Starting other programs: a program directly with its arguments, one
// argument each, or a document or web address through xdg-open. No text
// ever passes through a shell. Chosen at start like the other back ends;
// tests install a recorder.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace platform {

class Spawner {
 public:
  virtual ~Spawner() = default;
  // Starts program (a path, or a name looked up in PATH) with args in
  // folder workDir without waiting for it; false when it could not start.
  virtual bool Run(const std::string& program, const std::vector<std::string>& args,
                   const std::string& workDir) = 0;
};

// The Linux stand-in for the shell's "open": program and parameters as the
// settings give them (Windows-1252, Windows-style paths). A program that
// names an executable runs with the parameters as its one argument; a
// document or web address without parameters goes to xdg-open. False when
// nothing was started.
bool ShellOpen(const std::string& program, const std::string& parameters,
               const std::string& workDir);

// The spawner that ShellOpen uses; nullptr returns to the real one.
void SetSpawner(std::unique_ptr<Spawner> spawner);
std::unique_ptr<Spawner> CreatePosixSpawner();

// A child that the program talks to through its standard files, such as
// the MBROLA synthesizer: our ends of its input, output and messages, all
// non-blocking and closed on exec. Writing to the input of a child that has
// ended fails with an error instead of raising SIGPIPE.
struct PipedChild {
  int pid = -1;
  int input = -1;
  int output = -1;
  int messages = -1;
  bool ended = false;  // collected; status holds its wait status
  int status = 0;
};

// Starts program (a path) with args, no shell; false when it could not start.
bool StartPipedChild(const std::string& program, const std::vector<std::string>& args,
                     PipedChild& child);
// Writes what the input takes now: the bytes written, or -1 when the child
// no longer reads.
long WriteChildInput(PipedChild& child, const char* data, size_t size);
void CloseChildInput(PipedChild& child);
// True when the child has ended; status is then its wait status.
bool ChildEnded(PipedChild& child, int& status);
// Kills the child unless it has ended, collects it, closes our ends and
// returns its wait status (-1 when there was none).
int EndPipedChild(PipedChild& child);

// True when fd is a pipe (not a file or a socket).
bool IsPipe(int fd);
// Bytes written to the pipe fd that its reader has not taken yet; -1 when
// that cannot be told.
long UnreadInPipe(int fd);

}  // namespace platform
