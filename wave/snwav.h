// Wave playback: WAV files, RIFF images in memory and raw PCM through the
// audio device, in four rotating 65534-byte slots.
#pragma once
#include <cstdint>
#include <string>

extern bool BreakOnKey;
extern bool PlayAsync;
extern bool RapidMode;
extern bool CutSpeech;
extern int QueuedBlocks;

struct WaveFormatFields {
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint16_t bits = 0;
};

int PlayWaveFile(const std::string& path);
void PlayWaveMemory(const uint8_t* image);
int PlayPcm(const uint8_t* data, uint32_t length, uint32_t rate, uint16_t bits, uint16_t channels);
bool WavePlaying();
void StopWave();
// How many times StopWave has run: a loop that feeds the device notes it
// at its start and ends its text as soon as it changes.
uint32_t WaveStopCount();
// How long the device has had nothing to play (0 while blocks are queued;
// very long before the first sound).
int64_t WaveQuietMs();
int SetWaveFormat(uint32_t rate, uint16_t bits, uint16_t channels);
int OpenWaveDevice();
bool QueueWaveBlock(const uint8_t* data, uint32_t length);
void WaveBlockDone(uintptr_t wParam, intptr_t lParam);
// imageSize bounds every read of the image (a RIFF image in memory carries
// its own length, but a damaged one must not lead past its end).
bool ParseRiff(const uint8_t* image, uint32_t imageSize, uint32_t& totalLength,
               WaveFormatFields& format, uint32_t& dataLength, const uint8_t*& data);
uint32_t CompressSpeech(uint8_t* buffer, uint32_t length, uint16_t bits, uint32_t rate);

// Unit start and end: slots, file buffer, the audio back end.
void WaveStart();
void WaveEnd();
