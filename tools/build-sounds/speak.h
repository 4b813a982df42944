// A word or phrase from the voice as the 8-bit samples of a recording.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace voicedata {

// Opens the Brazilian Portuguese voice of espeak-ng at our fixed speed.
bool OpenVoice();
void CloseVoice();

// Says text (UTF-8) at the pitch, trimmed of silence, faded at the edges,
// as 8-bit samples at 11025 Hz. Empty when the voice failed.
std::vector<uint8_t> SayText(const std::string& text, int pitch);

// The level that turns the voice's 16-bit samples into 8 bits; the same
// for every recording and unit, so that they join at one loudness.
constexpr double kGain = 1.2;
constexpr int kQuiet = 300;      // below this a 16-bit sample counts as silence
constexpr size_t kFade = 33;     // 3 ms

}  // namespace voicedata
