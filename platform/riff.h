// Little-endian fields, RIFF chunk names and the 44-byte header of a PCM
// WAV file: every unit that reads or writes sound images shares these.
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

constexpr size_t kWaveHeaderBytes = 44;

uint16_t Le16(const uint8_t* p);
uint32_t Le32(const uint8_t* p);
void PutLe16(uint8_t* p, uint16_t v);
void PutLe32(uint8_t* p, uint32_t v);

// Chunk names compare without regard to letter case.
bool ChunkIdIs(const uint8_t* id, const char* name);

// RIFF, WAVE, a 16-byte PCM "fmt " chunk and the "data" chunk's header.
void WriteWaveHeader(uint8_t* header, uint32_t dataLength, uint32_t rate, uint16_t bits,
                     uint16_t channels);

}  // namespace platform
