// The diphone database and the sound buffer that the unit selection fills.
// Full buffers go to a sink: the wave-out device when speaking, a vector
// when rendering.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

constexpr size_t kSoundBufferSize = 64000;
constexpr size_t kWaveHeaderSize = 44;
constexpr size_t kMaxUnitSamples = kSoundBufferSize - kWaveHeaderSize;
constexpr int kSampleRate = 11025;

class SoundSink {
 public:
  virtual ~SoundSink() = default;
  // image: the buffer, header room first, then samples.
  virtual void Play(uint8_t* image, size_t samples) = 0;
  // Returns once what was handed to Play has been heard.
  virtual void WaitPlayed() = 0;
};

// Where FlushSound sends the buffer; nullptr discards it. Returns the
// sink that was installed before.
SoundSink* SetSoundSink(SoundSink* sink);

bool LoadDiphoneIndex();
size_t DiphoneCount();

bool AppendDiphone(const std::string& unit, int mode, double factor);
bool AppendRecorded(const std::string& unit);
void EnsureRoom(size_t n);
void AppendSilence(int samples);
void AppendNoise();
void FlushSound();
size_t WritePos();
// Empties the buffer without playing it.
void ClearSound();
int WordGapSamples();  // the silence between groups

// The unit selection (units.cpp): synthesizes the phonetic string into the
// given sink, then restores the sink that was installed.
void SynthesizePhonetic(const std::string& phonetic, bool noPauses, SoundSink* sink);
