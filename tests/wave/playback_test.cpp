// Blocks, formats, device life and keys of wave playback.
#include <algorithm>
#include <numeric>

#include "platform/display/headless.h"
#include "wave_fixture.h"

namespace wave_test {
namespace {

std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * 7 + i / 251);
  return v;
}

using Blocks = WaveTest;

// A 22050 Hz 16-bit file of that many bytes, and the blocks it goes out in.
TEST_F(Blocks, FileUsesFullSlotsAndNoLastBlockIsTiny) {
  const std::pair<size_t, std::vector<size_t>> cases[] = {
      {65600, {65278, 322}},
      {3 * 65534 + 3398, {65534, 65534, 65534, 3398}},
  };
  for (const auto& [n, sizes] : cases) {
    Log().writes.clear();
    std::vector<uint8_t> data = Ramp(n);
    ASSERT_EQ(PlayWaveFile(WriteFile("a.wav", WavImage(22050, 16, 1, data))), 0) << n;
    ASSERT_EQ(WriteSizes(), sizes) << n;
    // The sound goes out whole and in order.
    EXPECT_TRUE(std::equal(data.end() - long(sizes.back()), data.end(), Log().writes.back().begin())) << n;
  }
}

TEST_F(Blocks, ShortEightBitMonoIsPaddedWithSilence) {
  std::vector<uint8_t> image = WavImage(11025, 8, 1, std::vector<uint8_t>(100, 200));
  PlayWaveMemory(image.data());
  ASSERT_EQ(Log().writes.size(), 1u);
  const std::vector<uint8_t>& w = Log().writes[0];
  ASSERT_EQ(w.size(), 256u);
  EXPECT_TRUE(std::all_of(w.begin(), w.begin() + 99, [](uint8_t b) { return b == 200; }));
  EXPECT_EQ(w[99], 128);  // the sound's own last byte ends at the mid level
  EXPECT_TRUE(std::all_of(w.begin() + 100, w.end(), [](uint8_t b) { return b == 128; }));
}

TEST_F(Blocks, ShortSixteenBitBlockIsPaddedWithSilenceNotOldSlotData) {
  std::vector<uint8_t> loud(65534, 0x7F);
  PlayPcm(loud.data(), uint32_t(loud.size()), 22050, 16, 1);
  for (int i = 0; i < 4; ++i) PlayPcm(loud.data(), 40, 22050, 16, 1);  // every slot used again
  const std::vector<uint8_t>& w = Log().writes.back();
  ASSERT_EQ(w.size(), 256u);
  EXPECT_TRUE(std::all_of(w.begin() + 40, w.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(Blocks, RapidModeOpensHalfAsFastAgain) {
  WaveEnd();
  RapidMode = true;  // set before the first sound starts the unit
  std::vector<uint8_t> image = WavImage(11025, 8, 1, Ramp(1000));
  PlayWaveMemory(image.data());
  ASSERT_EQ(Log().opens.size(), 1u);
  EXPECT_EQ(Log().opens[0].rate, 16538u);  // 16537.5 to the even neighbour
}

// A 16-bit pulse every 400 samples over silence: each pass of the
// shortener keeps one period and drops the next.
TEST_F(Blocks, CutSpeechTurnsSixteenBitIntoShortenedEightBit) {
  std::vector<uint8_t> pcm(8000, 0);
  for (size_t s = 0; s < 4000; s += 400) pcm[2 * s + 1] = 0x7F;
  CutSpeech = true;
  std::vector<uint8_t> image = WavImage(22050, 16, 1, pcm);
  PlayWaveMemory(image.data());
  ASSERT_EQ(Log().opens.size(), 1u);
  EXPECT_EQ(Log().opens[0].bits * 100000 + Log().opens[0].rate, 800000u + 22050u);
  ASSERT_EQ(Log().writes.size(), 1u);
  const std::vector<uint8_t>& w = Log().writes[0];
  // Kept: 0..800, then periods 1200-1600, 2000-2400, 2800-3200.
  ASSERT_EQ(w.size(), 2003u);
  std::vector<size_t> pulses;
  for (size_t i = 0; i < w.size(); ++i)
    if (w[i] == 255) pulses.push_back(i);
  EXPECT_EQ(pulses, (std::vector<size_t>{0, 400, 800, 1200, 1201, 1601, 1602}));
  EXPECT_EQ(w[1000], 128);
}

TEST(CompressSpeech, SilentBufferEndsInsteadOfLoopingForever) {
  std::vector<uint8_t> zeros(5000, 0);
  EXPECT_LE(CompressSpeech(zeros.data(), 5000, 8, 11025), 5000u);
}

using Device = WaveTest;

TEST_F(Device, ClosedAfterWaitingForAFileAndOpenedAgainForTheNext) {
  std::string path = WriteFile("c.wav", WavImage(11025, 8, 1, Ramp(3000)));
  ASSERT_EQ(PlayWaveFile(path), 0);
  EXPECT_FALSE(Log().open);
  EXPECT_EQ(QueuedBlocks, 0);
  ASSERT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(Log().opens.size(), 2u);
}

TEST_F(Device, SoundsOfOneFormatShareTheOpenDevice) {
  Log().autoDone = false;
  std::vector<uint8_t> a = WavImage(11025, 8, 1, Ramp(500)), b = WavImage(11025, 8, 1, Ramp(700));
  PlayWaveMemory(a.data());
  PlayWaveMemory(b.data());
  EXPECT_EQ(Log().opens.size(), 1u);
  EXPECT_EQ(WriteSizes(), (std::vector<size_t>{500, 700}));
  EXPECT_EQ(QueuedBlocks, 2);
  StopWave();
  EXPECT_EQ(Log().resets, 1);
  EXPECT_FALSE(Log().open);
  EXPECT_EQ(QueuedBlocks, 0);
}

TEST_F(Device, NewFormatWaitsForTheSoundBefore) {
  std::vector<uint8_t> a = WavImage(11025, 8, 1, Ramp(500)), b = WavImage(22050, 16, 1, Ramp(700));
  PlayWaveMemory(a.data());
  PlayWaveMemory(b.data());
  ASSERT_EQ(Log().opens.size(), 2u);
  EXPECT_EQ(Log().closes, 1);
}

TEST_F(Device, BusyDeviceIsTriedAgain) {
  Log().busyOpens = 2;
  std::vector<uint8_t> pcm = Ramp(300);
  EXPECT_EQ(PlayPcm(pcm.data(), 300, 11025, 8, 1), 0);
  EXPECT_EQ(Log().opens.size() * 10 + Log().writes.size(), 11u);
}

TEST_F(Device, RefusedFormatIsTheResult) {
  platform::SetAudioOutFactory([] { return platform::CreateAudioOut("null"); });
  WaveEnd();
  WaveStart();
  std::vector<uint8_t> image = WavImage(11025, 24, 1, Ramp(300));
  EXPECT_EQ(PlayWaveFile(WriteFile("d.wav", image)), platform::AUDIO_BADFORMAT);
}

TEST_F(Device, UnprepareFailureIsShownAndWaitsForEnter) {
  Log().onUnprepare = [](intptr_t) {
    PressKey('\r');
    return int(platform::AUDIO_STILLPLAYING);
  };
  std::vector<uint8_t> image = WavImage(11025, 8, 1, Ramp(300));
  PlayWaveMemory(image.data());
  while (WavePlaying()) platform::WaitMessage();
  bool shown = false;
  for (int row = 0; row < ScreenRows; ++row)
    shown |= platform::HeadlessRowText(row).find(
                 "The data block pointed to by the pwh parameter is still in queue") != std::string::npos;
  EXPECT_TRUE(shown);
  EXPECT_EQ(QueuedBlocks, 0);
}

using Keys = WaveTest;

TEST_F(Keys, KeyBeforeAFileReturnsAtOnceAndStaysQueued) {
  PressKey('k');
  EXPECT_EQ(PlayWaveFile(TempDir() + "/no-such-file.wav"), 0);  // not even opened
  EXPECT_TRUE(Log().opens.empty());
  EXPECT_EQ(ReadKey(), 'k');
}

TEST_F(Keys, KeyDuringAFileStopsItWithinABlock) {
  Log().autoDone = false;
  Log().onWrite = [](size_t n) {
    if (n == 2) PressKey('s');
  };
  std::string path = WriteFile("e.wav", WavImage(22050, 16, 1, Ramp(6 * 65534)));
  EXPECT_EQ(PlayWaveFile(path), 0);
  EXPECT_EQ(Log().writes.size(), 2u);
  EXPECT_EQ(Log().resets, 1);
  EXPECT_FALSE(Log().open);
  EXPECT_EQ(ReadKey(), 's');
}

TEST_F(Keys, KeyIsIgnoredWhenBreakOnKeyIsOff) {
  BreakOnKey = false;
  PressKey('x');
  ASSERT_EQ(PlayWaveFile(WriteFile("f.wav", WavImage(22050, 16, 1, Ramp(3 * 65534)))), 0);
  EXPECT_EQ(Log().writes.size(), 3u);
  EXPECT_EQ(ReadKey(), 'x');
}

// The first bytes of a key silence the device at once; bytes that then make
// no key (a focus report split across reads) leave the rest to play.
TEST_F(Keys, FirstBytesOfAKeySilenceTheDeviceWhenKeysStopPlayback) {
  for (bool breakOnKey : {true, false}) {
    Log() = DeviceLog{};
    Log().autoDone = false;
    BreakOnKey = breakOnKey;
    int resetsAtThirdWrite = -1;
    Log().onWrite = [&](size_t n) {
      if (n == 2) platform::PostMessage(platform::WM_KEY_ARRIVING);
      if (n == 2) Log().autoDone = true;  // from here on blocks come back
      if (n != 3) return;
      resetsAtThirdWrite = Log().resets;
      for (intptr_t tag : Log().held) platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
      Log().held.clear();
    };
    std::string path = WriteFile("g.wav", WavImage(22050, 16, 1, Ramp(6 * 65534)));
    EXPECT_EQ(PlayWaveFile(path), 0);
    EXPECT_EQ(resetsAtThirdWrite, breakOnKey ? 1 : 0) << breakOnKey;
    EXPECT_EQ(Log().writes.size(), 6u) << breakOnKey;
    EXPECT_EQ(QueuedKeyCount(), 0);
  }
}

}  // namespace
}  // namespace wave_test
