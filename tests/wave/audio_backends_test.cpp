// The silent and capture back ends: real-time pace, reset, formats, and
// the capture file's timeline.
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/os/riff.h"
#include "wave_fixture.h"

namespace wave_test {
namespace {

using platform::AudioFormat;
using Clock = std::chrono::steady_clock;

// Waits for the next block-done message, taken straight off the queue.
bool NextDone(intptr_t& tag, int timeoutMs) {
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    platform::Message m;
    while (platform::PeekMessage(m))
      if (m.message == platform::MM_WOM_DONE) return tag = m.lParam, true;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    platform::WaitMessageFor(int(left));
  }
}

class Backends : public ::testing::Test {
 protected:
  void SetUp() override { platform::ClearMessages(); }
  void TearDown() override { platform::ClearMessages(); }
};

TEST_F(Backends, SilentDeviceReturnsBlocksInRealTime) {
  auto out = platform::CreateAudioOut("null");
  ASSERT_EQ(out->Open(AudioFormat{11025, 8, 1}), platform::AUDIO_OK);
  std::vector<uint8_t> half(5513, 128);  // half a second
  out->Write(half.data(), half.size(), 7);
  intptr_t tag = 0;
  EXPECT_FALSE(NextDone(tag, 150));
  ASSERT_TRUE(NextDone(tag, 5000));
  EXPECT_EQ(tag, 7);
}

TEST_F(Backends, ResetReturnsEveryBlockAtOnce) {
  auto out = platform::CreateAudioOut("null");
  ASSERT_EQ(out->Open(AudioFormat{22050, 16, 2}), platform::AUDIO_OK);
  std::vector<uint8_t> second(88200, 0);
  for (intptr_t tag = 1; tag <= 3; ++tag) out->Write(second.data(), second.size(), tag);
  out->Reset();
  platform::Message m;
  for (intptr_t tag = 1; tag <= 3; ++tag) {
    ASSERT_TRUE(platform::PeekMessage(m));  // already there, no waiting
    EXPECT_EQ(m.message, platform::MM_WOM_DONE);
    EXPECT_EQ(m.lParam, tag);
  }
  out->Close();
  out->Write(second.data(), 10, 9);  // a closed device hands blocks straight back
  ASSERT_TRUE(platform::PeekMessage(m));
  EXPECT_EQ(m.lParam, 9);
}

TEST_F(Backends, OnlyPcmOfEightOrSixteenBitsInOneOrTwoChannelsOpens) {
  auto out = platform::CreateAudioOut("null");
  EXPECT_EQ(out->Open(AudioFormat{11025, 24, 1}), platform::AUDIO_BADFORMAT);
  EXPECT_EQ(out->Open(AudioFormat{11025, 8, 0}), platform::AUDIO_BADFORMAT);
  EXPECT_EQ(out->Open(AudioFormat{0, 8, 1}), platform::AUDIO_BADFORMAT);
  EXPECT_EQ(out->Open(AudioFormat{44100, 16, 2}), platform::AUDIO_OK);
}

// No card: the program says so once and goes on at the same pace.
TEST_F(Backends, MissingCardFallsBackToSilenceInRealTime) {
  setenv("SDL_AUDIODRIVER", "sonaris-no-such-driver", 1);
  auto out = platform::CreateAudioOut("device");
  ASSERT_EQ(out->Open(AudioFormat{11025, 8, 1}), platform::AUDIO_OK);
  std::vector<uint8_t> tenth(1103, 128);
  out->Write(tenth.data(), tenth.size(), 5);
  intptr_t tag = 0;
  ASSERT_TRUE(NextDone(tag, 5000));
  EXPECT_EQ(tag, 5);
  EXPECT_EQ(platform::TakeAudioNotice().rfind("Nenhum dispositivo de som dispon\xEDvel", 0), 0u);
  EXPECT_EQ(platform::TakeAudioNotice(), "");
  unsetenv("SDL_AUDIODRIVER");
}

struct Capture {
  std::vector<uint8_t> bytes;
  uint32_t Le32(size_t at) const { return platform::Le32(bytes.data() + at); }
  int16_t Sample(size_t i) const { return int16_t(bytes[44 + 2 * i] | bytes[45 + 2 * i] << 8); }
  size_t Samples() const { return bytes.size() < 44 ? 0 : (bytes.size() - 44) / 2; }
  size_t FirstSound(size_t from) const {
    while (from < Samples() && Sample(from) == 0) ++from;
    return from;
  }
};

Capture ReadCapture(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Capture{std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {})};
}

const std::string& CapturePath() {
  static const std::string path = TempDir() + "/capture.wav";
  return path;
}

// One capture per process: this test plays into it and reads it back.
TEST_F(Backends, CaptureHoldsWhatWasPlayedConvertedToItsFormat) {
  auto out = platform::CreateAudioOut("wav:" + CapturePath());
  ASSERT_EQ(out->Open(AudioFormat{11025, 8, 1}), platform::AUDIO_OK);
  size_t before = ReadCapture(CapturePath()).Samples();
  std::vector<uint8_t> ramp(2000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(20 + i % 200);
  out->Write(ramp.data(), ramp.size(), 1);
  intptr_t tag;
  ASSERT_TRUE(NextDone(tag, 5000));

  ASSERT_EQ(out->Open(AudioFormat{44100, 16, 2}), platform::AUDIO_OK);
  std::vector<uint8_t> stereo(4 * 1000);
  for (uint32_t f = 0; f < 1000; ++f)  // left 1000 + f, right 3000 + f
    Put32(stereo, 4 * f, (1000 + f) | (3000 + f) << 16);
  out->Write(stereo.data(), stereo.size(), 2);
  ASSERT_TRUE(NextDone(tag, 5000));
  out->Close();

  // The file is whole while it still grows.
  Capture c = ReadCapture(CapturePath());
  ASSERT_GE(c.bytes.size(), 44u);
  EXPECT_EQ(std::string(c.bytes.begin(), c.bytes.begin() + 4), "RIFF");
  EXPECT_EQ(c.Le32(24), 22050u);
  EXPECT_EQ(c.bytes[34], 16);
  EXPECT_EQ(c.Le32(40), c.bytes.size() - 44);
  EXPECT_EQ(c.Le32(4), c.bytes.size() - 8);

  size_t at = c.FirstSound(before);
  ASSERT_LE(at + 4000, c.Samples());
  for (size_t i = 0; i < 4000; ++i)  // each 11025 Hz sample twice, widened
    ASSERT_EQ(c.Sample(at + i), (ramp[i / 2] - 128) * 256) << i;
  EXPECT_EQ(c.Sample(at + 4000), 0);
  at = c.FirstSound(at + 4000);
  ASSERT_LE(at + 500, c.Samples());
  for (size_t i = 0; i < 500; ++i)  // every other 44100 Hz frame, channels averaged
    ASSERT_EQ(c.Sample(at + i), 2000 + int(2 * i)) << i;
}

// Waits until the capture holds at least samples (bounded).
Capture CaptureOfAtLeast(size_t samples) {
  auto deadline = Clock::now() + std::chrono::seconds(5);
  Capture c = ReadCapture(CapturePath());
  while (c.bytes.size() < 44 || c.Samples() < samples) {
    if (Clock::now() > deadline) break;
    platform::WaitMessageFor(20);
    c = ReadCapture(CapturePath());
  }
  return c;
}

TEST_F(Backends, LoopSoundIsMixedIntoTheCaptureUntilStopped) {
  setenv("SONARIS_AUDIO", ("wav:" + CapturePath()).c_str(), 1);
  std::vector<uint8_t> square(20 * 50);
  for (size_t i = 0; i < square.size(); ++i) square[i] = i % 20 < 10 ? 96 : 160;
  std::vector<uint8_t> image = WavImage(11025, 8, 1, square);
  platform::LoopSound(image.data(), image.size());
  image.assign(image.size(), 0);  // the loop keeps its own copy
  size_t from = CaptureOfAtLeast(0).Samples();
  Capture playing = CaptureOfAtLeast(from + 22050 / 2);
  platform::StopLoopSound();
  size_t loud = 0;
  for (size_t i = from; i < playing.Samples(); ++i) loud += std::abs(playing.Sample(i)) == 8192;
  EXPECT_GT(loud, 22050u / 4);

  size_t stopped = CaptureOfAtLeast(0).Samples();
  Capture after = CaptureOfAtLeast(stopped + 22050 / 2);
  ASSERT_GE(after.Samples(), stopped + 22050 / 2);
  for (size_t i = stopped; i < after.Samples(); ++i) ASSERT_EQ(after.Sample(i), 0) << i;
  unsetenv("SONARIS_AUDIO");
}

}  // namespace
}  // namespace wave_test
