// The bridge to the real `mbrola` program: every sample of a flushed text,
// the voices' own rates, refused lines, missing, damaged, crashing and
// stalling synthesizers. Skipped where MBROLA or its voices are absent.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "tests/toada/engine_fixture.h"

namespace {

using toada_test::LiveChildren;

const char* const Text = "_ 100\r\na 200 50 120\r\ns 90\r\ne 150 20 140 80 110\r\nt 70\r\n_ 100\r\n";

std::string VoiceOrSkip(const std::string& voice) {
  if (platform::MbrolaProgram().empty()) return "";
  return platform::MbrolaVoiceFile(voice);
}

#define REQUIRE_VOICE(path, voice) \
  std::string path = VoiceOrSkip(voice); \
  if (path.empty()) GTEST_SKIP() << "MBROLA or its voice " << voice << " is not installed (scripts/fetch-mbrola.sh)"

// What `mbrola` itself makes of the text, read from a pipe to its end.
std::string ProgramOutput(const std::string& voice, const std::string& text) {
  std::string in = wave_test::TempDir() + "/in.pho";
  std::ofstream(in) << text;
  std::string command = "'" + platform::MbrolaProgram() + "' -e '" + voice + "' '" + in + "' -.raw";
  std::FILE* p = popen(command.c_str(), "r");
  std::string out;
  char chunk[4096];
  while (size_t n = std::fread(chunk, 1, sizeof chunk, p)) out.append(chunk, n);
  pclose(p);
  return out;
}

// Writes the text line by line and reads as the output loop does.
std::string SpeakThroughBridge(const std::string& text, int* error = nullptr) {
  std::string out;
  short buffer[16000];
  reset_MBR();
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from) + 1;
    write_MBR(text.substr(from, end - from).c_str());
    if (error && lastError_MBR()) *error = lastError_MBR();
    from = end;
    if (from >= text.size()) flush_MBR();
    for (int n; (n = read_MBR(buffer, 16000)) > 0;)
      out.append(reinterpret_cast<char*>(buffer), size_t(n) * 2);
    if (error && lastError_MBR()) *error = lastError_MBR();
  }
  return out;
}

class Bridge : public toada_test::EngineTest {
 protected:
  void TearDown() override {
    if (MbrolaLoaded()) close_MBR();
    toada_test::EngineTest::TearDown();
    EXPECT_TRUE(LiveChildren().empty()) << "a synthesizer process was left behind";
  }
};

TEST_F(Bridge, FlushedTextGivesEverySampleAndTheVoicesOwnRate) {
  const struct {
    const char* voice;
    int rate;
  } cases[] = {{"br1", 16000}, {"br3", 22050}, {"br4", 16000}};
  for (const auto& c : cases) {
    REQUIRE_VOICE(path, c.voice);
    ASSERT_TRUE(LoadMbrola());
    ASSERT_EQ(init_MBR(path.c_str()), 0) << c.voice;
    setNoError_MBR(1);
    EXPECT_EQ(getFreq_MBR(), c.rate) << c.voice;
    std::string expected = ProgramOutput(path, Text);
    ASSERT_GT(expected.size(), 1000u);
    // Twice: the second text goes to the child started after the first.
    for (int round = 0; round < 2; ++round)
      EXPECT_EQ(SpeakThroughBridge(Text), expected) << c.voice << " round " << round;
    close_MBR();
    UnloadMbrola();
  }
}

TEST_F(Bridge, RefusedLineIsAnErrorAndTheNextTextSpeaks) {
  REQUIRE_VOICE(path, "br4");
  ASSERT_TRUE(LoadMbrola());
  ASSERT_EQ(init_MBR(path.c_str()), 0);
  setNoError_MBR(1);
  int error = 0;
  SpeakThroughBridge("_ 50\r\na 1x0 5\r\n_ 50\r\n", &error);
  EXPECT_EQ(error, platform::MbrolaLineRejected);
  EXPECT_EQ(SpeakThroughBridge(Text), ProgramOutput(path, Text));
}

TEST_F(Bridge, VoiceThatDoesNotOpenGivesANegativeResultAndNoProcess) {
  if (platform::MbrolaProgram().empty()) GTEST_SKIP() << "MBROLA is not installed (scripts/fetch-mbrola.sh)";
  std::string damaged = wave_test::WriteFile("damaged", std::vector<uint8_t>(5000, 0x41));
  ASSERT_TRUE(LoadMbrola());
  for (const std::string& voice : {wave_test::TempDir() + "/missing", damaged}) {
    EXPECT_LT(init_MBR(voice.c_str()), 0) << voice;
    EXPECT_NE(lastError_MBR(), 0);
    EXPECT_TRUE(LiveChildren().empty());
  }
}

// A stand-in `mbrola` that opens the voice as the real one does, then
// misbehaves while speaking (script: what it does with a text).
std::string FakeProgram(const std::string& whileSpeaking) {
  std::string program = platform::MbrolaProgram(), voice = platform::MbrolaVoiceFile("br4");
  std::string dir = wave_test::TempDir() + "/fake-mbrola";
  std::filesystem::create_directories(dir + "/bin");
  std::filesystem::create_directories(dir + "/share/mbrola/br4");
  std::ofstream(dir + "/bin/mbrola") << "#!/bin/sh\n"
                                     << "case \"$*\" in *-.wav) exec '" << program
                                     << "' \"$@\";; esac\n"
                                     << whileSpeaking << "\n";
  chmod((dir + "/bin/mbrola").c_str(), 0755);
  std::filesystem::copy_file(voice, dir + "/share/mbrola/br4/br4",
                             std::filesystem::copy_options::overwrite_existing);
  return dir;
}

TEST_F(Bridge, CrashOrStallMidTextIsAnErrorWithinBoundedTime) {
  REQUIRE_VOICE(real, "br4");
  const struct {
    const char* script;
    int error;
  } cases[] = {
      {"head -c 40 >/dev/null; kill -SEGV $$", platform::MbrolaEnded},
      {"exec sleep 60", platform::MbrolaStalled},
  };
  for (const auto& c : cases) {
    toada_test::ScopedMbrolaDir fake(FakeProgram(c.script));
    ASSERT_TRUE(LoadMbrola());
    std::string path = platform::MbrolaVoiceFile("br4");
    ASSERT_EQ(init_MBR(path.c_str()), 0) << c.script;
    auto start = std::chrono::steady_clock::now();
    int error = 0;
    SpeakThroughBridge(Text, &error);
    EXPECT_EQ(error, c.error) << c.script;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.script;
    close_MBR();
    UnloadMbrola();
  }
}

}  // namespace
