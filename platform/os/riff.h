// Little-endian fields, RIFF chunk names and the 44-byte header of a PCM
// WAV file: every unit that reads or writes sound images shares these.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

constexpr size_t kWaveHeaderBytes = 44;
// What a stream whose end is not known yet (standard output) declares as
// its RIFF and data lengths: the largest there are.
constexpr uint32_t kUnknownWaveLength = 0xFFFFFFFF;

uint16_t Le16(const uint8_t* p);
uint32_t Le32(const uint8_t* p);
void PutLe16(uint8_t* p, uint16_t v);
void PutLe32(uint8_t* p, uint32_t v);

// Chunk names compare without regard to letter case.
bool ChunkIdIs(const uint8_t* id, const char* name);

// RIFF, WAVE, a 16-byte PCM "fmt " chunk and the "data" chunk's header.
void WriteWaveHeader(uint8_t* header, uint32_t dataLength, uint32_t rate, uint16_t bits,
                     uint16_t channels);

// Where the parts of a RIFF/WAVE image or file lie. Every length read from
// the bytes is bounded by the bytes really there: a damaged header never
// leads past the end nor asks for more memory than the file holds.
struct WaveLayout {
  bool hasFields = false;  // the "fmt " body holds channels, rate and bits
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
  uint64_t dataOffset = 0;
  uint32_t dataLength = 0;  // as declared, cut to the bytes that follow
};

// "RIFF" (the "WAVE" mark is not looked at), a "fmt " chunk first, then
// chunks up to "data". A chunk of odd length is followed by a pad byte,
// which is skipped when it is there. False when there is no data chunk or
// a chunk before it claims more than the bytes left.
bool FindWaveLayout(const uint8_t* image, size_t size, WaveLayout& layout);
// The same for a file read from its start; on success the file stands at
// the first sample.
bool FindWaveLayout(std::FILE* file, WaveLayout& layout);

// The samples of a WAV file's data chunk, whatever its header declares
// beyond the file's end; false when the file cannot be read or has none.
bool ReadWaveSamples(const std::string& path, std::vector<uint8_t>& samples);

}  // namespace platform
