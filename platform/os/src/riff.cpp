#include "platform/os/riff.h"

#include <sys/types.h>

#include <cstring>

#include "platform/os/text.h"

namespace platform {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

void PutLe16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void PutLe32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

bool ChunkIdIs(const uint8_t* id, const char* name) {
  for (int i = 0; i < 4; ++i)
    if (LowerLatin1Char(id[i]) != LowerLatin1Char(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

void WriteWaveHeader(uint8_t* h, uint32_t dataLength, uint32_t rate, uint16_t bits,
                     uint16_t channels) {
  const uint16_t frameBytes = uint16_t(channels * (bits / 8));
  std::memcpy(h, "RIFF", 4);
  PutLe32(h + 4, dataLength + 36);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutLe32(h + 16, 16);
  PutLe16(h + 20, 1);  // PCM
  PutLe16(h + 22, channels);
  PutLe32(h + 24, rate);
  PutLe32(h + 28, rate * frameBytes);
  PutLe16(h + 32, frameBytes);
  PutLe16(h + 34, bits);
  std::memcpy(h + 36, "data", 4);
  PutLe32(h + 40, dataLength);
}

namespace {

// The bytes a layout is read from: an image in memory or an open file.
struct RiffSource {
  const uint8_t* image = nullptr;
  std::FILE* file = nullptr;
  uint64_t size = 0;
};

bool ReadAt(const RiffSource& s, uint64_t at, uint8_t* to, size_t n) {
  if (at > s.size || n > s.size - at) return false;
  if (s.image) {
    std::memcpy(to, s.image + at, n);
    return true;
  }
  return fseeko(s.file, off_t(at), SEEK_SET) == 0 && std::fread(to, 1, n, s.file) == n;
}

// Chunk identifiers are four printable characters; anything else where one
// should start is the pad byte that follows a chunk of odd length.
bool PadAt(const RiffSource& s, uint64_t at) {
  uint8_t b;
  return ReadAt(s, at, &b, 1) && (b < 0x20 || b > 0x7E);
}

bool Walk(const RiffSource& s, WaveLayout& w) {
  uint8_t h[12];
  if (!ReadAt(s, 0, h, 12) || !ChunkIdIs(h, "RIFF")) return false;
  bool first = true;
  for (uint64_t at = 12;;) {
    if (!ReadAt(s, at, h, 8)) return false;
    const uint64_t body = at + 8, left = s.size - body;
    const uint32_t length = Le32(h + 4);
    if (first && !ChunkIdIs(h, "fmt ")) return false;
    if (!first && ChunkIdIs(h, "data")) {
      w.dataOffset = body;
      w.dataLength = uint32_t(length < left ? length : left);
      return true;
    }
    if (length > left) return false;
    if (first && length >= 16) {
      uint8_t f[16];
      if (!ReadAt(s, body, f, 16)) return false;
      w = WaveLayout{true, Le16(f + 2), Le32(f + 4), Le16(f + 14)};
    }
    first = false;
    at = body + length;
    if (length % 2 == 1 && PadAt(s, at)) ++at;
  }
}

}  // namespace

bool FindWaveLayout(const uint8_t* image, size_t size, WaveLayout& layout) {
  layout = {};
  return image && Walk(RiffSource{image, nullptr, size}, layout);
}

bool FindWaveLayout(std::FILE* file, WaveLayout& layout) {
  layout = {};
  if (!file || fseeko(file, 0, SEEK_END) != 0) return false;
  const off_t end = ftello(file);
  if (end < 0) return false;
  return Walk(RiffSource{nullptr, file, uint64_t(end)}, layout) &&
         fseeko(file, off_t(layout.dataOffset), SEEK_SET) == 0;
}

bool ReadWaveSamples(const std::string& path, std::vector<uint8_t>& samples) {
  samples.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  WaveLayout w;
  if (FindWaveLayout(f, w)) {
    samples.resize(w.dataLength);
    samples.resize(std::fread(samples.data(), 1, samples.size(), f));
  }
  std::fclose(f);
  return !samples.empty();
}

}  // namespace platform
