// Square-wave tones played in a loop from a RIFF image in memory.
#include <cstring>

#include "console/console_state.h"
#include "platform/audio.h"

namespace console_detail {
namespace {

constexpr int Rate = 11025;
constexpr int HeaderSize = 44;
constexpr size_t ImageSize = 11071;  // header, one second and two spare bytes

void Put32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Put16(uint8_t* at, uint16_t v) {
  at[0] = static_cast<uint8_t>(v);
  at[1] = static_cast<uint8_t>(v >> 8);
}

void PutHeader(uint8_t* image, uint32_t dataLength) {
  std::memcpy(image, "RIFF", 4);
  Put32(image + 4, dataLength + 36);
  std::memcpy(image + 8, "WAVEfmt ", 8);
  Put32(image + 16, 16);
  Put16(image + 20, 1);     // PCM
  Put16(image + 22, 1);     // mono
  Put32(image + 24, Rate);
  Put32(image + 28, Rate);  // bytes per second
  Put16(image + 32, 1);     // block align
  Put16(image + 34, 8);     // bits per sample
  std::memcpy(image + 36, "data", 4);
  Put32(image + 40, dataLength);
}

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
  PutHeader(image.data(), static_cast<uint32_t>(offset));
  image.resize(HeaderSize + offset);
  return image;
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
