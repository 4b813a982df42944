// The Brazilian Portuguese voice of espeak-ng, as the data tools use it:
// synthesize a text (or a string of espeak phoneme mnemonics) and get the
// samples plus where each phoneme begins.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct VoicePhoneme {
  std::string name;  // espeak's mnemonic, such as "a", "&~", "tS"
  size_t start = 0;  // first sample of the phoneme, at the requested rate
};

struct VoiceAudio {
  std::vector<int16_t> samples;
  int rate = 0;
  std::vector<VoicePhoneme> phonemes;  // in order of time
};

// Opens espeak-ng with the given voice ("pt-br"), speed in words per minute
// and pitch 0..100. False when the library or the voice is missing.
bool VoiceOpen(const std::string& voice, int wordsPerMinute, int pitch);
void VoiceClose();
// Base pitch 0..100 for what follows.
void VoiceSetPitch(int pitch);

// text is UTF-8; with phonemeInput it is a string of espeak mnemonics
// (spoken as if written [[...]]). The samples come resampled to rate.
bool VoiceSynthesize(const std::string& text, bool phonemeInput, int rate, VoiceAudio& out);

// Resampling used by VoiceSynthesize, exposed for the tools' tests:
// windowed-sinc low-pass and interpolation, deterministic.
std::vector<int16_t> Resample(const std::vector<int16_t>& in, int fromRate, int toRate);

}  // namespace platform
