// Speech timings inside the process (a benchmark, not a test): how long
// from StartSpeech, after the console is open, until the first sound of
// "SELENOR" shows in a wav: capture (which trails the audio clock by up to
// 10 ms). It does not see the process start nor the input path:
// bench-keys measures keys (a real key through a pty or the X server to
// the moment the device stops playing) and bench-first-sound the first
// audible sound from process start.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "speech/sncrt.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// Follows the capture (16-bit samples after a 44-byte header) and notes when
// a sample louder than the quiet level first appears beyond `from`.
class SoundWatch {
 public:
  explicit SoundWatch(std::string path) : path_(std::move(path)) {}

  size_t Size() const {
    std::error_code ec;
    auto n = std::filesystem::file_size(path_, ec);
    return ec ? 0 : size_t(n);
  }

  // Polls until sound appears after byte `from`; returns when it was seen.
  Clock::time_point WaitSound(size_t from, std::atomic<bool>& give_up) const {
    std::vector<char> buf;
    while (!give_up) {
      std::ifstream in(path_, std::ios::binary);
      in.seekg(std::streamoff(std::max<size_t>(from, 44)));
      buf.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      for (size_t i = 0; i + 1 < buf.size(); i += 2) {
        int16_t v = int16_t(uint8_t(buf[i]) | uint8_t(buf[i + 1]) << 8);
        if (v > 400 || v < -400) return Clock::now();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));  // watcher's poll, not the program's
    }
    return Clock::now();
  }

 private:
  std::string path_;
};

}  // namespace

int main() {
  if (!std::filesystem::exists("SONARIS.INI")) {
    std::printf("run from the build folder, where SONARIS.INI and the speech data are\n");
    return 1;
  }
  std::string capture = (std::filesystem::temp_directory_path() / "bench-speech.wav").string();
  std::filesystem::remove(capture);
  setenv("SONARIS_DISPLAY", "headless", 0);
  setenv("SONARIS_AUDIO", ("wav:" + capture).c_str(), 1);
  OpenConsole();
  SoundWatch watch(capture);
  std::atomic<bool> done{false};

  // 1. StartSpeech to the first sample of "SELENOR".
  Clock::time_point start = Clock::now(), heard;
  std::thread first([&] { heard = watch.WaitSound(0, done); });
  StartSpeech(0, "");
  SpeakText("SELENOR");
  done = true;
  first.join();
  std::printf("in process: StartSpeech to the first sound of SELENOR in the capture: %.1f ms\n",
              Ms(start, heard));

  std::filesystem::remove(capture);
  CloseConsole();
}
