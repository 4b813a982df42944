#include "programs/sonaris-say/render.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <utility>

#include "diphone/sound.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "platform/os/riff.h"
#include "speech/sncrt.h"

namespace {

constexpr uint8_t kQuiet = 128;
constexpr uint32_t kUnknownLength = platform::kUnknownWaveLength;

struct RenderState {
  std::FILE* out = nullptr;
  bool toStdout = false;
  bool failed = false;
  uint64_t written = 0;       // data bytes
  platform::AudioFormat from;  // of the blocks the device is given
  uint32_t phase = 0;          // resampling to the file's rate
};
RenderState R;

void Put(const uint8_t* p, size_t n) {
  if (n && std::fwrite(p, 1, n, R.out) != n) R.failed = true;
  R.written += n;
}

void PutSilence(size_t n) {
  static const auto kBlock = [] {
    std::array<uint8_t, 4096> b;
    b.fill(kQuiet);
    return b;
  }();
  for (size_t k; n > 0; n -= k) Put(kBlock.data(), k = std::min(n, kBlock.size()));
}

// A block in the device's format becomes 8-bit mono at the voice's rate:
// the first channel, the high byte of 16-bit samples, and every frame
// repeated or dropped to the rate (rapid mode plays faster).
void PutBlock(const uint8_t* data, size_t length) {
  const unsigned frame = R.from.bits / 8 * R.from.channels;
  std::array<uint8_t, 4096> out;
  size_t k = 0;
  for (size_t at = 0; at + frame <= length; at += frame) {
    const uint8_t sample = R.from.bits == 16 ? uint8_t(data[at + 1] ^ 0x80) : data[at];
    for (R.phase += kSampleRate; R.phase >= R.from.rate; R.phase -= R.from.rate) {
      out[k++] = sample;
      if (k == out.size()) Put(out.data(), std::exchange(k, 0));
    }
  }
  Put(out.data(), k);
}

// The sound device: every block is written at once and comes straight back.
class RenderOut : public platform::AudioOut {
 public:
  int Open(const platform::AudioFormat& format) override {
    bool known = (format.bits == 8 || format.bits == 16) && (format.channels == 1 || format.channels == 2);
    if (!known || format.rate == 0) return platform::AUDIO_BADFORMAT;
    R.from = format;
    return platform::AUDIO_OK;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    PutBlock(data, length);
    platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
  }
  void Reset() override {}
  void Close() override {}
};

void PutHeader(uint32_t dataLength, uint32_t riffLength) {
  uint8_t h[platform::kWaveHeaderBytes];
  platform::WriteWaveHeader(h, dataLength, kSampleRate, 8, 1);
  platform::PutLe32(h + 4, riffLength);
  if (std::fwrite(h, 1, sizeof h, R.out) != sizeof h) R.failed = true;
}

}  // namespace

bool RenderStart(const std::string& path) {
  R = RenderState{};
  R.toStdout = path == "-";
  R.out = R.toStdout ? stdout : std::fopen(path.c_str(), "wb");
  if (!R.out) return false;
  PutHeader(kUnknownLength, kUnknownLength);
  platform::SetAudioOutFactory([] { return std::make_unique<RenderOut>(); });
  PauseSink = [](int ms) { PutSilence(size_t(ms) * kSampleRate / 1000); };
  return !R.failed;
}

bool RenderEnd() {
  PauseSink = nullptr;
  platform::SetAudioOutFactory(nullptr);
  // A pipe keeps the unknown lengths; a file gets the true ones, and a pad
  // byte after a data chunk of odd length, as RIFF wants.
  if (std::fflush(R.out) == 0 && std::fseek(R.out, 0, SEEK_END) == 0) {
    const uint64_t limit = kUnknownLength - platform::kWaveHeaderBytes;
    const uint32_t length = uint32_t(std::min<uint64_t>(R.written, limit));
    if (R.written % 2 == 1) std::fputc(0, R.out);
    if (std::fseek(R.out, 0, SEEK_SET) == 0) PutHeader(length, length + 36 + length % 2);
  }
  if (std::fflush(R.out) != 0) R.failed = true;
  if (!R.toStdout && std::fclose(R.out) != 0) R.failed = true;
  R.out = nullptr;
  return !R.failed;
}
