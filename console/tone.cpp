// Square-wave tones played in a loop from a RIFF image in memory.
#include <cstring>

#include "console/console_state.h"
#include "platform/audio/audio.h"
#include "platform/os/riff.h"

namespace console_detail {
namespace {

constexpr int Rate = 11025;
constexpr size_t HeaderSize = platform::kWaveHeaderBytes;
constexpr size_t ImageSize = 11071;  // header, one second and two spare bytes
constexpr uint16_t BeepHz = 880, BeepMs = 120;

}  // namespace

void SetLoopSoundProcs(LoopSoundProc play, StopSoundProc stop) {
  State().playLoop = play;
  State().stopLoop = stop;
}

// An empty image for a frequency of 0 or above the sample rate, which has
// no period of at least one sample.
std::vector<uint8_t> BuildToneImage(uint16_t frequency) {
  if (frequency == 0 || frequency > Rate) return {};
  std::vector<uint8_t> image(ImageSize, 0);
  uint8_t* data = image.data() + HeaderSize;
  int period = Rate / frequency;
  int offset = 0;
  for (int k = 1; offset <= Rate - period; ++k) {
    std::memset(data + offset, 0x60, period / 2 + 1);
    std::memset(data + offset + period / 2 + 1, 0xA0, period - period / 2 + 1);
    offset = k * Rate / frequency;
  }
  data[offset - 1] = 128;
  platform::WriteWaveHeader(image.data(), static_cast<uint32_t>(offset), Rate, 8, 1);
  image.resize(HeaderSize + offset);
  return image;
}

// The bell of a display that has none: a short tone, as a Windows beep.
void Beep() {
  PlayTone(BeepHz);
  Delay(BeepMs);
  StopTone();
}

}  // namespace console_detail

using namespace console_detail;

void PlayTone(uint16_t frequency) {
  StopTone();
  ConsoleState& s = State();
  s.tone = BuildToneImage(frequency);
  if (s.tone.empty()) return;
  LoopSoundProc play = s.playLoop ? s.playLoop : platform::LoopSound;
  play(s.tone.data(), s.tone.size());
}

void StopTone() {
  ConsoleState& s = State();
  if (s.tone.empty()) return;
  (s.stopLoop ? s.stopLoop : platform::StopLoopSound)();
  s.tone.clear();
  s.tone.shrink_to_fit();
}
