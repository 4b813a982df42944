// The engine on the recording audio device of the wave tests, with either
// a fake MBROLA library or the real bridge.
#pragma once
#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/voices/mbrola.h"
#include "tests/wave/wave_fixture.h"
#include "tts/mbrola.h"
#include "tts/toada.h"

namespace toada_test {

// $SONARIS_MBROLA_DIR for one test, then as it was.
class ScopedMbrolaDir {
 public:
  explicit ScopedMbrolaDir(const std::string& dir) {
    if (const char* old = std::getenv("SONARIS_MBROLA_DIR")) old_ = old;
    setenv("SONARIS_MBROLA_DIR", dir.c_str(), 1);
  }
  ~ScopedMbrolaDir() { old_ ? setenv("SONARIS_MBROLA_DIR", old_->c_str(), 1) : unsetenv("SONARIS_MBROLA_DIR"); }

 private:
  std::optional<std::string> old_;
};

// Children of this process that are still alive (not zombies).
inline std::vector<int> LiveChildren() {
  std::vector<int> pids;
  DIR* d = opendir("/proc");
  while (dirent* e = d ? readdir(d) : nullptr) {
    int pid = std::atoi(e->d_name);
    if (pid <= 0) continue;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    char state = 0;
    int ppid = 0;
    if (std::sscanf(line.c_str() + close + 1, " %c %d", &state, &ppid) == 2 && ppid == getpid() &&
        state != 'Z')
      pids.push_back(pid);
  }
  if (d) closedir(d);
  return pids;
}

// All samples that reached the device, in order.
inline std::vector<uint8_t> PlayedBytes() {
  std::vector<uint8_t> all;
  for (const auto& w : wave_test::Log().writes) all.insert(all.end(), w.begin(), w.end());
  return all;
}

class EngineTest : public wave_test::WaveTest {
 protected:
  void TearDown() override {
    UnloadMbrola();
    platform::SetMbrolaLibrary(nullptr);
    wave_test::WaveTest::TearDown();
  }
};

}  // namespace toada_test
