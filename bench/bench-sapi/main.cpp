// bench-sapi 4: SAPI 4 over espeak-ng on a timing audio device: from
// Sapi4Speak to the first sounding block handed to the device, and from a
// key to the device's reset.
// bench-sapi 5: SAPI 5 through speech-dispatcher (SPEECHD_ADDRESS): how
// long Speak and Stop hold the caller, text to reported end, and the wall
// clock of each stop, for bench_sapi.py to match with the daemon's log.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "sapi/snsapi4.h"
#include "sapi/snsapi5.h"
#include "wave/snwav.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

const char* kLongText =
    "Era uma vez um programa que falava com quem n\xE3o podia ver a tela, e falava muito, "
    "tanto que o usu\xE1rio precisava de uma tecla para fazer o programa se calar de uma vez.";

// A device that keeps time instead of playing: each block comes back after
// its real duration (16-bit mono), so the queue behaves as a sound card's.
struct DeviceTimes {
  Clock::time_point firstSound{}, reset{};
  bool sounded = false;
  std::atomic<bool> keyPosted{false};
  int writes = 0;
};
DeviceTimes Times;

class TimingDevice : public platform::AudioOut {
 public:
  TimingDevice() : clock_([this] { Run(); }) {}
  ~TimingDevice() override {
    {
      std::lock_guard<std::mutex> hold(lock_);
      ending_ = true;
    }
    wake_.notify_all();
    clock_.join();
  }
  int Open(const platform::AudioFormat& f) override {
    rate_ = f.rate;
    return platform::AUDIO_OK;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    ++Times.writes;
    const int16_t* s = reinterpret_cast<const int16_t*>(data);
    for (size_t i = 0; i < length / 2 && !Times.sounded; ++i)
      if (std::abs(s[i]) > 400) Times.sounded = true, Times.firstSound = Clock::now();
    std::lock_guard<std::mutex> hold(lock_);
    const auto start = std::max(Clock::now(), due_);
    due_ = start + std::chrono::microseconds(uint64_t(length / 2) * 1000000 / std::max(1u, rate_));
    blocks_.push_back({due_, tag});
    wake_.notify_all();
  }
  void Reset() override { Silence(); }
  void Close() override { Silence(); }

 private:
  struct Block {
    Clock::time_point due;
    intptr_t tag;
  };
  void Silence() {
    if (Times.keyPosted && Times.reset == Clock::time_point{}) Times.reset = Clock::now();
    std::lock_guard<std::mutex> hold(lock_);
    for (const Block& b : blocks_) platform::PostMessage(platform::MM_WOM_DONE, 0, b.tag);
    blocks_.clear();
    due_ = Clock::now();
  }
  void Run() {
    std::unique_lock<std::mutex> hold(lock_);
    while (!ending_) {
      if (blocks_.empty()) {
        wake_.wait(hold);
        continue;
      }
      if (wake_.wait_until(hold, blocks_.front().due) == std::cv_status::timeout && !blocks_.empty()) {
        platform::PostMessage(platform::MM_WOM_DONE, 0, blocks_.front().tag);
        blocks_.erase(blocks_.begin());
      }
    }
  }
  std::mutex lock_;
  std::condition_variable wake_;
  std::vector<Block> blocks_;
  Clock::time_point due_{};
  uint32_t rate_ = 22050;
  bool ending_ = false;
  std::thread clock_;
};

void PostKey() {
  platform::Message key;
  key.message = platform::WM_CHAR;
  key.wParam = 'x';
  platform::PostMessage(key);
}

// The front end's wait: sound or voice busy, a key stops both.
bool Speaking() {
  PumpMessages();
  if (KeyPressed()) {
    StopWave();
    Sapi4Stop();
    return false;
  }
  return WavePlaying() || Sapi4Busy(0);
}

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-40s median %8.3f ms  worst %8.3f ms  (%zu runs)\n", what, ms[ms.size() / 2],
              ms.back(), ms.size());
}

int Sapi4() {
  platform::SetAudioOutFactory([] { return std::make_unique<TimingDevice>(); });
  if (!Sapi4Start(1, 0, 0, "")) return 1;
  std::vector<double> first, cut;
  for (int run = 0; run < 10; ++run) {
    Times.sounded = false;
    Times.keyPosted = false;
    Times.reset = {};
    Times.writes = 0;
    const auto spoke = Clock::now();
    Sapi4Speak(kLongText);
    while (!Times.sounded) platform::WaitMessageFor(1), PumpMessages(), Sapi4Busy(0);
    first.push_back(Ms(spoke, Times.firstSound));
    while (Times.writes < 3) platform::WaitMessageFor(1), PumpMessages(), Sapi4Busy(0);
    const auto pressed = Clock::now();
    Times.keyPosted = true;
    PostKey();
    while (Speaking()) platform::WaitMessage();
    cut.push_back(Ms(pressed, Times.reset));
    while (KeyPressed()) ReadKey();
  }
  Sapi4End();
  Report("SAPI 4: text to first sounding block", first);
  Report("SAPI 4: key to device reset", cut);
  std::printf("(plus the device's own buffer: SDL plays what it already holds)\n");
  return 0;
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

int Sapi5() {
  const auto started = Clock::now();
  if (!Sapi5Start(1, 0, "")) return 1;
  std::printf("%-40s %7.2f ms\n", "SAPI 5: start (connect, list voices)", Ms(started, Clock::now()));
  std::vector<double> speak, end, stop;
  for (int run = 0; run < 10; ++run) {
    auto t = Clock::now();
    Sapi5Speak("um teste curto");
    speak.push_back(Ms(t, Clock::now()));
    while (Sapi5Busy()) {}
    end.push_back(Ms(t, Clock::now()));
    Sapi5Speak(kLongText);
    Sapi5Speak(kLongText);
    t = Clock::now();
    std::printf("stop-at %.6f\n", WallSeconds());
    Sapi5Stop();
    stop.push_back(Ms(t, Clock::now()));
    while (Sapi5Busy()) {}
  }
  Sapi5End();
  Report("SAPI 5: Speak holds the caller", speak);
  Report("SAPI 5: short text to its reported end", end);
  Report("SAPI 5: Stop holds the caller (50 ms pause)", stop);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("SONARIS_DISPLAY", "headless", 1);
  OpenConsole();
  const std::string kind = argc > 1 ? argv[1] : "4";
  const int result = kind == "5" ? Sapi5() : Sapi4();
  if (result) std::fprintf(stderr, "the voice did not start\n");
  return result;
}
