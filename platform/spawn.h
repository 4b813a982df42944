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

}  // namespace platform
