// The output loop against a fake MBROLA: what reaches the device, in what
// blocks, and how errors and resets go.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "tests/toada/engine_fixture.h"
#include "wave/snwav.h"

namespace {

using toada_test::EngineTest;
using toada_test::PlayedBytes;

// Every line "name ms" makes 16 samples a millisecond, numbered on from
// one text to the next; a line named ERR is refused, ";" lines are comments. Reads hand out at
// most `chunk` samples, and before the flush only what is `ready`.
struct FakeMbrola {
  std::vector<std::string> calls;
  int pending = 0;
  int16_t next = 1;
  int chunk = 1000;
  int error = 0;
  bool flushed = false;
  bool dying = false;  // a DIE line: the child ends once its samples are read
} F;

int Write(const char* line) {
  std::string s(line);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  F.calls.push_back("write " + s);
  char name[32] = "";
  int ms = 0;
  if (!s.empty() && s[0] == ';') return 1;  // a comment
  if (std::sscanf(s.c_str(), "%31s %d", name, &ms) == 2 && std::strcmp(name, "ERR") != 0) {
    F.pending += 16 * ms;
    F.dying = F.dying || std::strcmp(name, "DIE") == 0;
  }
  else if (!s.empty())
    F.error = -2;
  return F.error ? 0 : 1;
}
int Flush() {
  F.calls.push_back("flush");
  F.flushed = true;
  return 1;
}
int Read(short* buffer, int wanted) {
  if (F.dying && F.pending == 0) {
    F.error = platform::MbrolaEnded;
    return -1;
  }
  int n = std::min({wanted, F.chunk, F.pending});
  for (int i = 0; i < n; ++i) buffer[i] = F.next++;
  F.pending -= n;
  return n;
}
int Reset() {
  F.calls.push_back("reset");
  F.pending = F.error = 0;
  return 1;
}
int LastError() { return F.error; }
int Zero() { return 0; }
int Init(const char*) { return 0; }
int Freq() { return 16000; }
void Nothing() {}

// Every entry point of the library; the ones the output loop does not use
// are harmless stand-ins (the test only needs them to be there).
platform::MbrolaLibrary FakeLibrary() {
  platform::MbrolaLibrary l;
  l.init_MBR = &Init;
  l.init_rename_MBR = [](const char*, const char*, const char*) { return 0; };
  l.write_MBR = &Write;
  l.flush_MBR = &Flush;
  l.read_MBR = &Read;
  l.readtype_MBR = [](void*, int, int) { return 0; };
  l.close_MBR = &Nothing;
  l.reset_MBR = &Reset;
  l.lastError_MBR = &LastError;
  l.lastErrorStr_MBR = [](char*, int) { return 0; };
  l.setNoError_MBR = [](int) {};
  l.getNoError_MBR = &Zero;
  l.setFreq_MBR = [](int) {};
  l.getFreq_MBR = &Freq;
  l.setVolumeRatio_MBR = [](float) {};
  l.getVolumeRatio_MBR = [] { return 1.0f; };
  l.getVersion_MBR = [](char*, int) {};
  l.getDatabaseInfo_MBR = [](char*, int, int) { return 0; };
  l.setParser_MBR = [](void*) {};
  l.init_Phone = [](const char*, float) -> platform::MbrolaPhone* { return nullptr; };
  l.reset_Phone = [](platform::MbrolaPhone*) {};
  l.close_Phone = [](platform::MbrolaPhone*) {};
  l.appendf0_Phone = [](platform::MbrolaPhone*, float, float) {};
  return l;
}

class OutputLoop : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    F = FakeMbrola{};
    library = FakeLibrary();
    platform::SetMbrolaLibrary(&library);
    ASSERT_TRUE(LoadMbrola());
  }
  platform::MbrolaLibrary library;
};

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> s(bytes.size() / 2);
  std::memcpy(s.data(), bytes.data(), s.size() * 2);
  return s;
}

TEST_F(OutputLoop, SamplesGoOutInOrderInBlocksUnderHalfASecond) {
  // 3 seconds in reads of 1000 samples.
  ASSERT_TRUE(SpeakMbrolaLines({"a 1400 50 120", "", "s 1400", "_ 200"}));
  std::vector<int16_t> played = AsSamples(PlayedBytes());
  ASSERT_EQ(played.size(), 48000u);
  for (size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], int16_t(i + 1)) << i;
  for (size_t size : wave_test::WriteSizes()) EXPECT_LT(size, 16000u);
  EXPECT_GE(wave_test::WriteSizes().size(), 6u);
  for (const auto& open : wave_test::Log().opens) {
    EXPECT_EQ(open.rate, 16000u);
    EXPECT_EQ(open.bits, 16);
  }
}

TEST_F(OutputLoop, BigReadsMakeBlocksOfAtMostOneRead) {
  F.chunk = 16000;
  ASSERT_TRUE(SpeakMbrolaLines({"a 2000", "_ 10"}));
  EXPECT_EQ(PlayedBytes().size(), 2u * 16 * 2010);
  for (size_t size : wave_test::WriteSizes()) EXPECT_LE(size, 32000u);
}

TEST_F(OutputLoop, ShortTextIsPaddedWithSilenceTo256Bytes) {
  ASSERT_TRUE(SpeakMbrolaLines({"a 3"}));  // 48 samples, 96 bytes
  ASSERT_EQ(wave_test::WriteSizes(), std::vector<size_t>{256});
  std::vector<int16_t> played = AsSamples(PlayedBytes());
  for (size_t i = 0; i < played.size(); ++i) EXPECT_EQ(played[i], i < 48 ? int16_t(i + 1) : 0) << i;
}

TEST_F(OutputLoop, RefusedLineIsClearedAndTheRestStillSpoken) {
  EXPECT_FALSE(SpeakMbrolaLines({"a 10", "ERR 10", "b 10"}));
  EXPECT_EQ(F.calls, (std::vector<std::string>{"reset", "write a 10", "write ERR 10", "reset",
                                              "write b 10", "flush"}));
  EXPECT_EQ(PlayedBytes().size(), 2u * 320);  // a was read before the refusal, then b
  EXPECT_NE(TakeEngineRefusal(), "");
  EXPECT_EQ(TakeEngineRefusal(), "");
}

TEST_F(OutputLoop, EveryTextStartsWithAResetAndEndsWithAFlush) {
  SpeakMbrolaLines({"a 10"});
  SpeakMbrolaLines({"", "b 10", ""});
  EXPECT_EQ(F.calls, (std::vector<std::string>{"reset", "write a 10", "flush", "reset",
                                              "write b 10", "write ", "flush"}));
}

TEST_F(OutputLoop, BlankTextSendsNothingToMbrola) {
  EXPECT_TRUE(EngineSpeak("  \t "));
  EXPECT_TRUE(F.calls.empty());
  EXPECT_TRUE(wave_test::Log().writes.empty());
}

TEST_F(OutputLoop, SamplesPlayAtTheirTrueRateAndWidthWhateverTheSwitches) {
  RapidMode = CutSpeech = true;
  SpeakMbrolaLines({"a 100"});
  EXPECT_TRUE(RapidMode && CutSpeech);
  ASSERT_FALSE(wave_test::Log().opens.empty());
  EXPECT_EQ(wave_test::Log().opens.back().rate, 16000u);
  EXPECT_EQ(wave_test::Log().opens.back().bits, 16);
  EXPECT_EQ(PlayedBytes().size(), 3200u);
  RapidMode = CutSpeech = false;
}

// The opening pause of a text (the pauses before its first sounding
// phoneme) is cut to 10 ms when the device has been quiet at least that
// long; right after sound, the pause between the two stays whole.
TEST_F(OutputLoop, OpeningSilenceIsCutAfterAQuietDevice) {
  const struct {
    std::vector<std::string> lines;
    bool rightAfterSound;
    size_t dropped;  // samples, 16 a millisecond
  } cases[] = {
      {{";", "_ 80 50 220", "", ";Bom", "b 60", "_ 80"}, false, 16 * 70},
      {{";", "_ 80 50 220", "", "_ 50", ";Bom", "b 60"}, false, 16 * 120},
      {{";", "_ 8", "", "b 60"}, false, 0},
      {{"b 60", "_ 300"}, false, 0},
      {{";", "_ 80 50 220", "", ";Bom", "b 60", "_ 80"}, true, 0},
  };
  for (const auto& c : cases) {
    WaveEnd();  // a new start: no sound yet
    WaveStart();
    wave_test::Log() = wave_test::DeviceLog{};
    F = FakeMbrola{};
    if (c.rightAfterSound) {
      wave_test::Log().autoDone = false;  // the sound before still plays
      std::vector<uint8_t> before(320, 1);
      PlayPcm(before.data(), uint32_t(before.size()), 16000, 16, 1);
      wave_test::Log().writes.clear();
    }
    int total = 0;
    for (const std::string& l : c.lines) total += l.empty() || l[0] == ';' ? 0 : 16 * std::atoi(l.c_str() + 2);
    ASSERT_TRUE(SpeakMbrolaLines(c.lines));
    std::vector<int16_t> played = AsSamples(PlayedBytes());
    ASSERT_EQ(played.size(), std::max<size_t>(size_t(total) - c.dropped, 128)) << c.lines[1];
    EXPECT_EQ(played[0], int16_t(c.dropped + 1)) << c.lines[1];
  }
}

// A stop while a text is made ends it: no block after the stop, nothing
// more read, and the device stays closed.
TEST_F(OutputLoop, StopEndsTheTextAndTheDeviceStaysClosed) {
  wave_test::Log().autoDone = false;
  wave_test::Log().onWrite = [](size_t n) {
    if (n == 2) wave_test::PressKey('s');
  };
  std::vector<std::string> lines(100, "a 400");  // 40 s of sound
  SpeakMbrolaLines(lines);
  EXPECT_EQ(wave_test::Log().writes.size(), 2u);
  EXPECT_EQ(wave_test::Log().opens.size(), 1u);
  EXPECT_FALSE(wave_test::Log().open);
  EXPECT_LT(std::count(F.calls.begin(), F.calls.end(), "write a 400"), 10);
  EXPECT_EQ(F.calls.back(), "reset");
  EXPECT_EQ(ReadKey(), 's');
}

TEST(MbrolaBinding, LibraryWithoutOneEntryPointDoesNotLoad) {
  struct Case {
    const char* missing;
    void (*remove)(platform::MbrolaLibrary&);
  };
  const Case cases[] = {
      {"init_MBR", [](platform::MbrolaLibrary& l) { l.init_MBR = nullptr; }},
      {"read_MBR", [](platform::MbrolaLibrary& l) { l.read_MBR = nullptr; }},
      {"appendf0_Phone", [](platform::MbrolaLibrary& l) { l.appendf0_Phone = nullptr; }},
  };
  for (const Case& c : cases) {
    platform::MbrolaLibrary library = FakeLibrary();
    c.remove(library);
    platform::SetMbrolaLibrary(&library);
    EXPECT_FALSE(LoadMbrola()) << c.missing;
    EXPECT_FALSE(MbrolaLoaded());
    EXPECT_EQ(write_MBR, nullptr);
  }
  platform::SetMbrolaLibrary(nullptr);
}

// A child that writes noise and then dies: the block it still held is
// dropped. Last in the file, since the engine stays failed afterwards.
TEST_F(OutputLoop, ChildThatDiesAfterNoiseHasItsBlockDropped) {
  EXPECT_FALSE(SpeakMbrolaLines({"a 10", "DIE 20"}));
  EXPECT_TRUE(EngineFailed());
  EXPECT_TRUE(PlayedBytes().empty());
}

}  // namespace
