#include "platform/riff.h"

#include <cstring>

#include "platform/text.h"

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
    if (FoldCase(id[i]) != FoldCase(static_cast<unsigned char>(name[i]))) return false;
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

}  // namespace platform
