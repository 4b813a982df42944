// WAV files and RIFF images: reading the chunks and cutting the sound into
// blocks for the device.
#include <cstdio>
#include <memory>

#include "console/snwin.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/riff.h"
#include "wave/snwav.h"
#include "wave/wave_internal.h"

namespace {

constexpr int kFailed = -1;
// A last block shorter than this is avoided when the sound allows it.
constexpr uint32_t kShortTail = 256;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

struct WaveFile {
  File file{nullptr, std::fclose};
  uint64_t size = 0;

  uint64_t Left() const {
    long at = std::ftell(file.get());
    return at < 0 || uint64_t(at) > size ? 0 : size - uint64_t(at);
  }
  bool Read(uint8_t* to, size_t n) { return std::fread(to, 1, n, file.get()) == n; }
};

bool OpenWave(const std::string& path, WaveFile& f) {
  // Paths of the settings (Windows-1252, backslashes) and Linux paths alike.
  f.file.reset(std::fopen(platform::ResolvePath(path).c_str(), "rb"));
  if (!f.file || std::fseek(f.file.get(), 0, SEEK_END) != 0) return false;
  long end = std::ftell(f.file.get());
  f.size = end < 0 ? 0 : uint64_t(end);
  return std::fseek(f.file.get(), 0, SEEK_SET) == 0;
}

// Reads a chunk body into the file buffer; what does not fit is skipped.
bool ReadBody(WaveFile& f, uint32_t length, uint8_t* buffer) {
  uint32_t kept = std::min(length, WaveSlotSize);
  if (!f.Read(buffer, kept)) return false;
  uint32_t rest = length - kept;
  if (rest > f.Left()) return false;
  return std::fseek(f.file.get(), long(rest), SEEK_CUR) == 0;
}

uint32_t NextBlockSize(uint32_t remaining, uint32_t previous) {
  if (remaining > WaveSlotSize && remaining < WaveSlotSize + kShortTail) return WaveSlotSize - kShortTail;
  if (remaining <= previous && remaining <= WaveSlotSize) return remaining;
  return WaveSlotSize;
}

int PlayData(WaveFile& f, uint32_t length, const WaveFormatFields& format, uint8_t* buffer) {
  int result = 0;
  for (uint32_t remaining = length, previous = length; remaining > 0;) {
    uint32_t n = NextBlockSize(remaining, previous);
    previous = n;
    remaining -= n;
    size_t got = std::fread(buffer, 1, n, f.file.get());
    if (got == 0) return kFailed;
    result = PlayPcm(buffer, uint32_t(got), format.rate, format.bits, format.channels);
    if (result != 0 || (BreakOnKey && KeyPressed())) break;
  }
  return result;
}

int PlayOpenFile(WaveFile& f) {
  uint8_t* buffer = WaveFileBuffer();
  uint8_t header[12], chunk[8];
  if (!f.Read(header, 12) || !platform::ChunkIdIs(header, "RIFF")) return kFailed;
  if (!f.Read(chunk, 8) || !platform::ChunkIdIs(chunk, "fmt ")) return kFailed;
  // The fields lie within the first 16 bytes: a shorter chunk has none.
  uint32_t formatLength = platform::Le32(chunk + 4);
  if (formatLength < 16 || !ReadBody(f, formatLength, buffer)) return kFailed;
  const WaveFormatFields format{platform::Le16(buffer + 2), platform::Le32(buffer + 4), platform::Le16(buffer + 14)};
  for (;;) {
    if (!f.Read(chunk, 8)) return kFailed;
    if (platform::ChunkIdIs(chunk, "data")) break;
    if (!ReadBody(f, platform::Le32(chunk + 4), buffer)) return kFailed;
  }
  uint32_t dataLength = platform::Le32(chunk + 4);
  if (dataLength > f.Left()) return kFailed;  // a cut-off file plays nothing
  return PlayData(f, dataLength, format, buffer);
}

}  // namespace

int PlayWaveFile(const std::string& path) {
  WaveEnsureStarted();
  if (BreakOnKey && KeyPressed()) return 0;
  WaveFile f;
  if (!OpenWave(path, f)) return kFailed;
  int result = PlayOpenFile(f);
  f.file.reset();
  if (!PlayAsync)
    while (WavePlaying()) platform::WaitMessage();
  return result;
}

bool ParseRiff(const uint8_t* image, uint32_t imageSize, uint32_t& totalLength,
               WaveFormatFields& format, uint32_t& dataLength, const uint8_t*& data) {
  if (!image || imageSize < 36 || !platform::ChunkIdIs(image, "RIFF") || !platform::ChunkIdIs(image + 12, "fmt "))
    return false;
  uint32_t formatLength = platform::Le32(image + 16);
  if (formatLength < 16) return false;
  format = WaveFormatFields{platform::Le16(image + 22), platform::Le32(image + 24), platform::Le16(image + 34)};
  for (uint64_t at = 20 + uint64_t(formatLength); at + 8 <= imageSize;) {
    uint32_t length = platform::Le32(image + at + 4);
    uint64_t end = at + 8 + length;
    if (platform::ChunkIdIs(image + at, "data")) {
      if (end > imageSize) return false;
      data = image + at + 8;
      dataLength = length;
      totalLength = uint32_t(end);
      return true;
    }
    at = end;
  }
  return false;
}
