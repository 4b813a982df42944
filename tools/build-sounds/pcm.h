// Sample helpers shared by the data tools: 16-bit speech from the voice
// becomes the 8-bit mono 11025 Hz sound of the built-in path.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace voicedata {

constexpr int kRate = 11025;

// First and one-past-last sample louder than threshold; [0, 0) when none.
struct Span {
  size_t begin = 0;
  size_t end = 0;
};
Span LoudSpan(const std::vector<int16_t>& s, int threshold);

// Drops quiet samples at both ends (keeping margin samples of them).
void TrimSilence(std::vector<int16_t>& s, int threshold, size_t margin);

// Drops the quiet end only (a stop's closure at the start stays).
void TrimTrailingSilence(std::vector<int16_t>& s, int threshold, size_t margin);

// Linear fade-in and fade-out over at most fade samples at each end.
void FadeEdges(std::vector<int16_t>& s, size_t fade);

// 16-bit signed to 8-bit unsigned (silence 128), with gain and clipping.
std::vector<uint8_t> ToUnsigned8(const std::vector<int16_t>& s, double gain);

// The 44-byte RIFF/WAVE header and data, nothing else, as the number
// speaking reads its files.
std::vector<uint8_t> WaveImage8(const std::vector<uint8_t>& data, int rate);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A dual tone of the telephone keypad, faded in and out.
std::vector<int16_t> DualTone(double lowHz, double highHz, size_t samples, int rate);

}  // namespace voicedata
