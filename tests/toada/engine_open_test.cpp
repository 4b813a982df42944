// Opening the engine on the real voices and the build's Toada files, the
// adapter's operations, and what a failed opening leaves behind.
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/os/riff.h"
#include "platform/os/messages.h"
#include "tests/toada/engine_fixture.h"
#include "tts/normalize.h"
#include "tts/snfonserv.h"
#include "tts/prosody.h"
#include "tts/mbrola_lines.h"

namespace {

using toada_test::LiveChildren;

const std::string DataFolder = std::string(SONARIS_DATA_DIR) + "/toada/";

bool HaveToada(const std::string& voice) {
  return !platform::MbrolaProgram().empty() && !platform::MbrolaVoiceFile(voice).empty() &&
         std::filesystem::exists(DataFolder + "portug.dfn");
}

#define REQUIRE_TOADA(voice)                                                            \
  if (!HaveToada(voice))                                                                \
    GTEST_SKIP() << "MBROLA, its voice " << voice << " or the build's diphone list is " \
                    "missing (scripts/fetch-mbrola.sh, then build)";

bool Open(const std::string& voice, const std::string& folder = DataFolder) {
  return EngineOpen(voice, folder + "portug.nrl", folder + "portug.exc", folder + "portug.dfn",
                    folder + "portug.pro", folder + "portug.abr");
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const Sentence = "Bom dia, Maria. Voc\xEA nasceu numa quinta-feira?";

// The text said by the voice into the file, and the file read back.
std::vector<uint8_t> SpeakToFile(const std::string& voice, const std::string& file, const char* text) {
  SetOutputFile(file);
  EXPECT_TRUE(Open(voice)) << voice << ": " << EngineLastError;
  EXPECT_TRUE(ToFile) << voice;
  EXPECT_TRUE(EngineSpeak(text)) << voice;
  EngineClose();
  return ReadAll(file);
}

// A folder of its own holding these of the build's Toada files.
std::string FolderWith(const std::string& name, std::initializer_list<const char*> extensions) {
  std::string dir = wave_test::TempDir() + "/" + name + "/";
  std::filesystem::create_directories(dir);
  for (const char* ext : extensions)
    std::filesystem::copy_file(DataFolder + "portug." + ext, dir + "portug." + ext,
                               std::filesystem::copy_options::overwrite_existing);
  return dir;
}

// Blocks that never come back from the device: it plays for ever.
void PlayForever() {
  wave_test::Log().autoDone = false;
  std::vector<uint8_t> samples(3200, 1);
  PlayPcm(samples.data(), uint32_t(samples.size()), 16000, 16, 1);
}

class Engine : public toada_test::EngineTest {
 protected:
  void TearDown() override {
    EngineClose();
    SetOutputFile("");
    ToFile = false;
    toada_test::EngineTest::TearDown();
    EXPECT_TRUE(LiveChildren().empty()) << "a synthesizer process was left behind";
  }
};

TEST_F(Engine, FileOutputCarriesTheVoicesRateAndItsLength) {
  const struct {
    const char* voice;
    uint32_t rate;
  } cases[] = {{"br1", 16000}, {"br3", 22050}, {"br4", 16000}};
  for (const auto& c : cases) {
    REQUIRE_TOADA(c.voice);
    std::vector<uint8_t> wav = SpeakToFile(c.voice, wave_test::TempDir() + "/" + c.voice + ".wav", Sentence);
    ASSERT_GT(wav.size(), 44u + 16000u) << c.voice;  // well over half a second of speech
    EXPECT_EQ(platform::Le32(wav.data() + 24), c.rate) << c.voice;
    EXPECT_EQ(platform::Le32(wav.data() + 28), 2 * c.rate) << c.voice;
    EXPECT_EQ(platform::Le32(wav.data() + 40), wav.size() - 44) << c.voice;
    EXPECT_EQ(platform::Le32(wav.data() + 4), wav.size() - 8) << c.voice;
    EXPECT_TRUE(wave_test::Log().writes.empty()) << "writing to a file plays nothing";
  }
}

TEST_F(Engine, SpokenBlocksCarryTheVoicesRate) {
  REQUIRE_TOADA("br3");
  ASSERT_TRUE(Open("br3")) << EngineLastError;
  EXPECT_TRUE(EngineSpeak("Bom dia."));
  ASSERT_FALSE(wave_test::Log().opens.empty());
  for (const auto& open : wave_test::Log().opens) EXPECT_EQ(open.rate, 22050u);
  EXPECT_FALSE(wave_test::Log().writes.empty());
}

TEST_F(Engine, FailedOpeningLeavesNoSynthesizerRunning) {
  REQUIRE_TOADA("br4");
  EXPECT_FALSE(Open("br4", FolderWith("no-toada-files", {})));
  EXPECT_EQ(EngineLastError, "Erro na base de dados de portugu\xEAs");
  EXPECT_FALSE(MbrolaLoaded());
  EXPECT_TRUE(LiveChildren().empty());
  // A voice that does not exist: no opening, the library unloaded.
  EXPECT_FALSE(Open("br9"));
  EXPECT_FALSE(MbrolaLoaded());
}

// The tables of everyday forms come from beside the abbreviations; a
// folder without them opens all the same and reads the text plainly.
TEST_F(Engine, OpeningLoadsTheEverydayFormsBesideTheAbbreviations) {
  REQUIRE_TOADA("br4");
  ASSERT_TRUE(Open("br4"));
  EXPECT_EQ(SpokenWords("10 km"), "dez quil\xF4metros");
  EngineClose();
  ASSERT_TRUE(Open("br4", FolderWith("no-everyday-forms", {"nrl", "exc", "dfn", "pro", "abr"})));
  EXPECT_EQ(SpokenWords("10 km"), "dez c\xE1\xEAme");
}

// Each voice has its own diphone list and pitch, found whatever case the
// settings write its name in (br3 lacks s2-@, which br4 has); an output
// file is created exactly as named, never over one differing in case.
TEST_F(Engine, EachVoiceItsOwnFilesAndTheOutputFileExactlyAsNamed) {
  REQUIRE_TOADA("br3");
  REQUIRE_TOADA("br4");
  ASSERT_TRUE(Open("br4"));
  EXPECT_TRUE(HasDiphone("s2", "@"));
  EXPECT_GT(::Prosody().baseHertz, 180);
  EngineClose();
  ASSERT_TRUE(Open("BR3"));
  EXPECT_FALSE(HasDiphone("s2", "@"));
  EXPECT_LT(::Prosody().baseHertz, 140);
  EXPECT_FALSE(VoiceFile(DataFolder + "portug.nrl", "BR3", ".rnm").empty());
  EngineClose();
  std::string dir = FolderWith("case", {});
  std::ofstream(dir + "Notas.wav") << "guardado";
  EXPECT_GT(SpeakToFile("br4", dir + "notas.wav", "Oi.").size(), 1000u);
  std::vector<uint8_t> kept = ReadAll(dir + "Notas.wav");
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "guardado");
  // A folder that does not exist: the message names the file and why.
  SetOutputFile(dir + "nenhuma/notas.wav");
  EXPECT_FALSE(Open("br4"));
  EXPECT_NE(EngineLastError.find("n\xE3o pode ser criado"), std::string::npos) << EngineLastError;
  EXPECT_NE(EngineLastError.find("a pasta n\xE3o existe"), std::string::npos) << EngineLastError;
  // No diphone list: said as such, not as a fault of the prosody file.
  SetOutputFile("");
  EXPECT_FALSE(Open("br4", FolderWith("sem-lista", {"nrl", "exc", "pro", "abr"})));
  EXPECT_EQ(EngineLastError.rfind("A lista de difones da voz n\xE3o foi encontrada", 0), 0u) << EngineLastError;
}

// Speed and pitch are bounded: out-of-range values are clamped, never a
// zero pitch (MBROLA's "PANIC") or 4 ms phonemes; each step of speed is
// the same ratio, -10 to 10 nearly three times faster.
TEST_F(Engine, StartSetsBoundedFactorsWhateverTheResult) {
  const double normal = ToadaDurationFactor(0);
  const struct {
    int speed, pitch;
    double durationRatio, pitchFactor;  // duration against speed 0
  } cases[] = {
      {0, 0, 1.0, 1.0},
      {10, 10, std::exp2(-0.75), std::exp2(10 / 24.0)},
      {-10, -10, std::exp2(0.75), std::exp2(-10 / 24.0)},
      {-11, -11, std::exp2(0.75), std::exp2(-10 / 24.0)},
      {-50, 50, std::exp2(0.75), std::exp2(10 / 24.0)},
      {5, 0, std::exp2(-0.375), 1.0},
  };
  toada_test::ScopedMbrolaDir nothing(wave_test::TempDir() + "/nothing");
  for (const auto& c : cases) {
    EXPECT_FALSE(ToadaStart(1, c.speed, c.pitch, ""));
    EXPECT_DOUBLE_EQ(DurationFactor, normal * c.durationRatio) << c.speed;
    EXPECT_DOUBLE_EQ(PitchFactor, c.pitchFactor) << c.pitch;
  }
  EXPECT_GT(ToadaDurationFactor(-10) / ToadaDurationFactor(10), 2.5);
}

TEST_F(Engine, EndStopsAVoiceThatNeverFinishesWithinItsBound) {
  PlayForever();
  ASSERT_TRUE(ToadaBusy());
  auto start = std::chrono::steady_clock::now();
  ToadaEnd();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  EXPECT_GE(wave_test::Log().resets, 1);
  EXPECT_FALSE(WavePlaying());
}

TEST_F(Engine, BusyIsFalseWhileWritingToAFileAndAKeyStopsTheVoice) {
  ToFile = true;
  EXPECT_FALSE(ToadaBusy());
  ToFile = false;
  PlayForever();
  wave_test::PressKey('x');
  EXPECT_FALSE(ToadaBusy());
  EXPECT_FALSE(WavePlaying());
}

std::string LongText(int sentences) {
  std::string text;
  for (int i = 0; i < sentences; ++i)
    text += "O Sol governa o signo de Le\xE3o, e quem nasce sob ele costuma ser generoso. ";
  return text;
}

// A key while a long text sounds ends the text within one block: the
// device is not opened again, the synthesizer is gone, the key stays.
TEST_F(Engine, KeyDuringALongTextEndsItWithinOneBlock) {
  REQUIRE_TOADA("br4");
  ASSERT_TRUE(Open("br4")) << EngineLastError;
  wave_test::Log().autoDone = false;  // blocks stay on the device: it fills up
  std::vector<int> childrenAtKey;
  wave_test::Log().onWrite = [&](size_t n) {
    if (n != 2) return;
    childrenAtKey = LiveChildren();
    wave_test::PressKey('k');
  };
  auto start = std::chrono::steady_clock::now();
  EngineSpeak(LongText(200));  // minutes of speech
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(childrenAtKey.size(), 1u) << "one synthesizer for the text";
  EXPECT_EQ(wave_test::Log().writes.size(), 2u);
  EXPECT_EQ(wave_test::Log().opens.size(), 1u) << "the device was opened again after the key";
  EXPECT_FALSE(wave_test::Log().open);
  EXPECT_TRUE(LiveChildren().empty()) << "the synthesizer outlived the key";
  EXPECT_EQ(ReadKey(), 'k');
}

// One synthesizer per text, started by the text: none waits between texts.
TEST_F(Engine, NoSynthesizerWaitsBetweenTexts) {
  REQUIRE_TOADA("br4");
  ASSERT_TRUE(Open("br4")) << EngineLastError;
  EXPECT_TRUE(LiveChildren().empty()) << "a synthesizer started before any text";
  EXPECT_TRUE(EngineSpeak("Bom dia."));
  EXPECT_TRUE(LiveChildren().empty()) << "a synthesizer started after the text";
}

// Started ahead, the next text's synthesizer waits; the text takes it and
// sounds the same as with its own started by its first line.
TEST_F(Engine, ASynthesizerStartedAheadMakesTheSameSound) {
  REQUIRE_TOADA("br4");
  std::vector<uint8_t> sound[2];
  for (int ahead = 0; ahead < 2; ++ahead) {
    platform::MbrolaStartAhead(ahead == 1);
    std::string file = wave_test::TempDir() + "/ahead" + std::to_string(ahead) + ".wav";
    SetOutputFile(file);
    ASSERT_TRUE(Open("br4")) << EngineLastError;
    std::vector<int> waiting = LiveChildren();
    EXPECT_EQ(waiting.size(), size_t(ahead)) << "before the text, started ahead: " << ahead;
    EXPECT_TRUE(EngineSpeak(Sentence));
    std::vector<int> after = LiveChildren();
    EXPECT_EQ(after.size(), size_t(ahead)) << "after the text, started ahead: " << ahead;
    if (ahead) {
      EXPECT_NE(after, waiting) << "the text did not take the one that waited";
    }
    EngineClose();
    sound[ahead] = ReadAll(file);
  }
  platform::MbrolaStartAhead(false);
  EXPECT_GT(sound[0].size(), 44u + 16000u);
  EXPECT_TRUE(sound[0] == sound[1]) << "the sound changed";
}

}  // namespace
