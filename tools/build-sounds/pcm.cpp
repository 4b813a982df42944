#include "tools/build-sounds/pcm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "platform/os/riff.h"

namespace voicedata {
Span LoudSpan(const std::vector<int16_t>& s, int threshold) {
  auto loud = [threshold](int16_t x) { return std::abs(static_cast<int>(x)) > threshold; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  if (first == s.end()) return {};
  const auto last = std::find_if(s.rbegin(), s.rend(), loud);
  return {static_cast<size_t>(first - s.begin()), static_cast<size_t>(s.rend() - last)};
}

void TrimSilence(std::vector<int16_t>& s, int threshold, size_t margin) {
  const Span span = LoudSpan(s, threshold);
  if (span.begin == span.end) {
    s.clear();
    return;
  }
  const size_t begin = span.begin > margin ? span.begin - margin : 0;
  const size_t end = std::min(s.size(), span.end + margin);
  s = std::vector<int16_t>(s.begin() + begin, s.begin() + end);
}

void TrimTrailingSilence(std::vector<int16_t>& s, int threshold, size_t margin) {
  const Span span = LoudSpan(s, threshold);
  s.resize(std::min(s.size(), span.end + margin));
}

void FadeEdges(std::vector<int16_t>& s, size_t fade) {
  const size_t n = std::min(fade, s.size() / 2);
  for (size_t i = 0; i < n; ++i) {
    const double g = static_cast<double>(i) / n;
    s[i] = static_cast<int16_t>(std::lround(s[i] * g));
    s[s.size() - 1 - i] = static_cast<int16_t>(std::lround(s[s.size() - 1 - i] * g));
  }
}

std::vector<uint8_t> ToUnsigned8(const std::vector<int16_t>& s, double gain) {
  std::vector<uint8_t> out(s.size());
  std::transform(s.begin(), s.end(), out.begin(), [gain](int16_t x) {
    const long v = std::lround(x * gain / 256.0) + 128;
    return static_cast<uint8_t>(std::clamp(v, 0L, 255L));
  });
  return out;
}

std::vector<uint8_t> WaveImage8(const std::vector<uint8_t>& data, int rate) {
  std::vector<uint8_t> image(platform::kWaveHeaderBytes);
  platform::WriteWaveHeader(image.data(), static_cast<uint32_t>(data.size()),
                            static_cast<uint32_t>(rate), 8, 1);
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

std::vector<int16_t> DualTone(double lowHz, double highHz, size_t samples, int rate) {
  std::vector<int16_t> s(samples);
  for (size_t i = 0; i < samples; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double v = std::sin(2 * M_PI * lowHz * t) + std::sin(2 * M_PI * highHz * t);
    s[i] = static_cast<int16_t>(std::lround(v * 12000));
  }
  FadeEdges(s, static_cast<size_t>(rate / 200));  // 5 ms: no clicks at the edges
  return s;
}

}  // namespace voicedata
