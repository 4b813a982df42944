#include "fuzz/fuzz_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"

namespace fuzz {
namespace {

// Every block is done as soon as it is written: playback never waits.
class InstantDevice : public platform::AudioOut {
 public:
  int Open(const platform::AudioFormat&) override { return platform::AUDIO_OK; }
  void Write(const uint8_t*, size_t, intptr_t tag) override {
    platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
  }
  void Reset() override {}
  void Close() override {}
};

}  // namespace

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonaris-fuzz-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  std::string path = ScratchDir() + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path;
}

std::string Text(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  return s.substr(0, s.find('\0'));
}

void UseHeadlessWorld() {
  static bool open = false;
  if (open) return;
  open = true;
  setenv("SONARIS_DISPLAY", "headless", 1);
  setenv("SONARIS_WINDIR", ScratchDir().c_str(), 1);
  platform::SetAudioOutFactory([] { return std::make_unique<InstantDevice>(); });
  OpenConsole();
}

}  // namespace fuzz
