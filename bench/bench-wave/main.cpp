// Prints the wave playback figures: the processor time spent while playing,
// and while idle with the device closed. Uses the back end of SONARIS_AUDIO
// on the headless display. A key's figures come from real keys (a pty, the
// X server) in bench-keys, not from a message posted inside the process.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "wave/snwav.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// seconds of a 440 Hz tone, 16-bit mono 22050 Hz, as a RIFF image.
std::vector<uint8_t> Tone(int seconds) {
  const uint32_t rate = 22050, bytes = rate * 2 * uint32_t(seconds);
  std::vector<uint8_t> image(44 + bytes);
  auto put32 = [&](size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) image[at + i] = uint8_t(v >> 8 * i); };
  const char head[] = "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\0\0\0\0\0\0\0\0\x02\0\x10\0data";
  std::copy(head, head + 40, image.begin());
  put32(4, 36 + bytes), put32(24, rate), put32(28, rate * 2), put32(40, bytes);
  for (uint32_t i = 0; i < bytes / 2; ++i) {
    int16_t s = int16_t(8000 * std::sin(2 * M_PI * 440 * i / rate));
    image[44 + 2 * i] = uint8_t(s), image[45 + 2 * i] = uint8_t(uint16_t(s) >> 8);
  }
  return image;
}

void WaitForEnd() {
  while (WavePlaying()) platform::WaitMessage();
}

// The configured device, noting when a reset has silenced it.
class TimedAudio : public platform::AudioOut {
 public:
  explicit TimedAudio(Clock::time_point& silenced)
      : real_(platform::CreateAudioOut(std::getenv("SONARIS_AUDIO") ? std::getenv("SONARIS_AUDIO") : "device")),
        silenced_(silenced) {}
  int Open(const platform::AudioFormat& f) override { return real_->Open(f); }
  void Write(const uint8_t* d, size_t n, intptr_t tag) override { real_->Write(d, n, tag); }
  void Reset() override {
    real_->Reset();
    silenced_ = Clock::now();
  }
  void Close() override { real_->Close(); }

 private:
  std::unique_ptr<platform::AudioOut> real_;
  Clock::time_point& silenced_;
};

double CpuPercent(std::clock_t cpu, Clock::duration wall) {
  return 100.0 * double(cpu) / CLOCKS_PER_SEC / (Ms(wall) / 1000.0);
}

}  // namespace

int main() {
  setenv("SONARIS_DISPLAY", "headless", 1);
  OpenConsole();
  Clock::time_point silenced;
  platform::SetAudioOutFactory([&] { return std::make_unique<TimedAudio>(silenced); });
  std::vector<uint8_t> image = Tone(10);

  std::printf("Wave playback: processor time while 10 s play and while idle (key to silence: "
              "bench-keys, with real keys)\n");

  // Ten seconds of sound to the end.
  std::clock_t cpu0 = std::clock();
  Clock::time_point wall0 = Clock::now();
  PlayWaveMemory(image.data());
  WaitForEnd();
  std::printf("processor while playing 10 s: %.2f %% of one core (goal < 2 %%)\n",
              CpuPercent(std::clock() - cpu0, Clock::now() - wall0));

  // Idle with the device closed.
  cpu0 = std::clock();
  wall0 = Clock::now();
  platform::WaitMessageFor(3000);
  std::printf("processor while idle for 3 s: %.3f %% of one core (goal 0)\n",
              CpuPercent(std::clock() - cpu0, Clock::now() - wall0));
  WaveEnd();
  return 0;
}
