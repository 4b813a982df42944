#include "tools/build-sounds/pcm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

namespace voicedata {
namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
void Put16(std::vector<uint8_t>& v, size_t at, uint16_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}

}  // namespace

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
  std::vector<uint8_t> image(44);
  const char* tags[] = {"RIFF", "WAVE", "fmt ", "data"};
  const size_t at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i) std::copy(tags[i], tags[i] + 4, image.begin() + at[i]);
  Put32(image, 4, static_cast<uint32_t>(data.size() + 36));
  Put32(image, 16, 16);
  Put16(image, 20, 1);  // PCM
  Put16(image, 22, 1);  // mono
  Put32(image, 24, rate);
  Put32(image, 28, rate);
  Put16(image, 32, 1);
  Put16(image, 34, 8);
  Put32(image, 40, static_cast<uint32_t>(data.size()));
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
