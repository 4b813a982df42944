// WAV files and RIFF images: reading the chunks and cutting the sound into
// blocks for the device.
#include <cstdio>
#include <memory>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "platform/os/paths.h"
#include "platform/os/riff.h"
#include "wave/snwav.h"
#include "wave/wave_internal.h"

namespace {

constexpr int kFailed = -1;
// A last block shorter than this is avoided when the sound allows it.
constexpr uint32_t kShortTail = 256;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

File OpenWave(const std::string& path) {
  // Paths of the settings (Windows-1252, backslashes) and Linux paths alike.
  return File(std::fopen(platform::ResolvePath(path).c_str(), "rb"), std::fclose);
}

uint32_t NextBlockSize(uint32_t remaining, uint32_t previous) {
  if (remaining > WaveSlotSize && remaining < WaveSlotSize + kShortTail) return WaveSlotSize - kShortTail;
  if (remaining <= previous && remaining <= WaveSlotSize) return remaining;
  return WaveSlotSize;
}

int PlayData(std::FILE* f, uint32_t length, const WaveFormatFields& format, uint8_t* buffer) {
  int result = 0;
  for (uint32_t remaining = length, previous = length; remaining > 0;) {
    uint32_t n = NextBlockSize(remaining, previous);
    previous = n;
    remaining -= n;
    size_t got = std::fread(buffer, 1, n, f);
    if (got == 0) return kFailed;
    result = PlayPcm(buffer, uint32_t(got), format.rate, format.bits, format.channels);
    if (result != 0 || (BreakOnKey && KeyPressed())) break;
  }
  return result;
}

// Only the data chunk's length is cut to what the file holds: a file cut
// short plays what it has.
int PlayOpenFile(std::FILE* f) {
  platform::WaveLayout w;
  if (!platform::FindWaveLayout(f, w) || !w.hasFields) return kFailed;
  return PlayData(f, w.dataLength, WaveFormatFields{w.channels, w.rate, w.bits}, WaveFileBuffer());
}

}  // namespace

int PlayWaveFile(const std::string& path) {
  WaveEnsureStarted();
  if (BreakOnKey && KeyPressed()) return 0;
  File f = OpenWave(path);
  if (!f) return kFailed;
  int result = PlayOpenFile(f.get());
  f.reset();
  if (!PlayAsync)
    while (WavePlaying()) platform::WaitMessage();
  return result;
}

bool ParseRiff(const uint8_t* image, uint32_t imageSize, uint32_t& totalLength,
               WaveFormatFields& format, uint32_t& dataLength, const uint8_t*& data) {
  platform::WaveLayout w;
  if (!platform::FindWaveLayout(image, imageSize, w) || !w.hasFields) return false;
  format = WaveFormatFields{w.channels, w.rate, w.bits};
  data = image + w.dataOffset;
  dataLength = w.dataLength;
  totalLength = uint32_t(w.dataOffset + w.dataLength);
  return true;
}
