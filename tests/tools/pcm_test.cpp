// Samples of the data tools: the 8-bit WAV files, level conversion,
// trimming, tones and resampling.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/builders/espeak_voice.h"
#include "platform/os/riff.h"
#include "tools/build-sounds/pcm.h"
#include "tools/build-sounds/table.h"

namespace {

using namespace voicedata;

// Strength of one frequency in the samples (Goertzel), relative to a full
// sine of amplitude 1.
double Strength(const std::vector<int16_t>& s, double hz, int rate) {
  const double w = 2 * M_PI * hz / rate, k = 2 * std::cos(w);
  double a = 0, b = 0;
  for (int16_t x : s) {
    const double c = x / 32768.0 + k * a - b;
    b = a;
    a = c;
  }
  return std::sqrt(a * a + b * b - k * a * b) * 2 / s.size();
}

std::vector<int16_t> Sine(double hz, int rate, size_t n, double amplitude) {
  std::vector<int16_t> s(n);
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<int16_t>(amplitude * std::sin(2 * M_PI * hz * i / rate));
  return s;
}

TEST(WaveFile, IsThePlainHeaderFollowedByTheSamples) {
  const std::vector<uint8_t> data = {1, 2, 3, 200, 128};
  const auto image = WaveImage8(data, kRate);
  ASSERT_EQ(image.size(), 44 + data.size());  // number words are read from byte 44
  EXPECT_EQ(platform::Le32(&image[4]), data.size() + 36);
  EXPECT_EQ(platform::Le32(&image[40]), data.size());
  EXPECT_EQ(platform::Le32(&image[24]), static_cast<uint32_t>(kRate));
  EXPECT_EQ(image[22], 1);  // mono
  EXPECT_EQ(image[34], 8);  // bits
  EXPECT_TRUE(std::equal(data.begin(), data.end(), image.begin() + 44));
}

TEST(Levels, SilenceIsMidLevelAndLoudSamplesClipInsteadOfWrapping) {
  const auto out = ToUnsigned8({0, 32767, -32768, 256, -256}, 2.0);
  EXPECT_EQ(out, (std::vector<uint8_t>{128, 255, 0, 130, 126}));
}

TEST(Trimming, KeepsTheLoudPartWithItsMarginAndEmptiesSilence) {
  std::vector<int16_t> s(100, 0);
  s[40] = 5000;
  s[59] = -5000;
  TrimSilence(s, 300, 5);
  ASSERT_EQ(s.size(), 30u);
  EXPECT_EQ(s[5], 5000);
  EXPECT_EQ(s[24], -5000);

  std::vector<int16_t> quiet(50, 100);
  TrimSilence(quiet, 300, 5);
  EXPECT_TRUE(quiet.empty());
  // The quiet start of a stop can be kept.
  std::vector<int16_t> stop(100, 0);
  stop[50] = 5000;
  TrimTrailingSilence(stop, 300, 5);
  EXPECT_EQ(stop.size(), 56u);
}

TEST(Trimming, FadesStartAndEndFromZeroAndLeaveTinySoundsWhole) {
  std::vector<int16_t> s(100, 1000);
  FadeEdges(s, 10);
  EXPECT_EQ(s.front(), 0);
  EXPECT_EQ(s.back(), 0);
  EXPECT_EQ(s[50], 1000);
  std::vector<int16_t> one = {1000};
  FadeEdges(one, 10);
  EXPECT_EQ(one.size(), 1u);
}

TEST(Tones, HoldBothKeypadFrequenciesAndNoOther) {
  const auto tone = DualTone(770, 1336, kRate / 5, kRate);
  EXPECT_GT(Strength(tone, 770, kRate), 0.25);
  EXPECT_GT(Strength(tone, 1336, kRate), 0.25);
  EXPECT_LT(Strength(tone, 1209, kRate), 0.02);
  EXPECT_EQ(tone.front(), 0);
}

TEST(Resampling, HalvesTheRateKeepingSpeechBandAndRemovingWhatCannotBeHeld) {
  const int from = 22050, to = 11025;
  const auto low = platform::Resample(Sine(1000, from, 22050, 10000), from, to);
  EXPECT_NEAR(static_cast<double>(low.size()), 11025, 2);
  EXPECT_NEAR(Strength(low, 1000, to), 10000 / 32768.0, 0.02);
  // 8 kHz cannot exist at 11025 Hz: it must not fold back to 3025 Hz.
  const auto high = platform::Resample(Sine(8000, from, 22050, 10000), from, to);
  EXPECT_LT(Strength(high, 3025, to), 0.01);
}

TEST(SoundTable, ReadsNamesTextsAndPitchesAndReportsBadLines) {
  std::vector<std::string> errors;
  const auto table = ParseSoundTable(
      "# comment\n_65\t\xC3\xA1\t70\r\n\n_zero\tzero\n_bad\n_x\tx\t200\n", errors);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].name, "_65");
  EXPECT_EQ(table[0].text, "\xC3\xA1");
  EXPECT_EQ(table[0].pitch, 70);
  EXPECT_EQ(table[1].pitch, 50);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find("linha 5"), std::string::npos);
  EXPECT_NE(errors[1].find("linha 6"), std::string::npos);
}

}  // namespace
