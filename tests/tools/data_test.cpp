// What the build made from the voice: the recordings that the speaking of
// numbers needs, the database cut from espeak-ng, and the index format as
// the synthesizer reads it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

#include "diphone/diphone.h"
#include "platform/os/text.h"
#include "speech/sncrt.h"
#include "tests/diphone/files.h"
#include "tools/build-diphones/cut.h"
#include "tools/build-diphones/database.h"
#include "tools/build-diphones/unitname.h"
#include "tools/build-sounds/pcm.h"
#include "tools/build-sounds/speak.h"

namespace {

namespace fs = std::filesystem;
using diphonedata::UnitPhonemes;

TEST(Recordings, EveryNumberWordHasItsFile) {
  const fs::path letters = fs::path(SONARIS_DATA_DIR) / "som" / "letras";
  ASSERT_TRUE(fs::exists(letters / "_65.wav")) << "the build did not make the recordings in " << letters;
  std::set<std::string> missing;
  auto check = [&](const std::string& name) {
    if (!fs::exists(letters / (name + ".wav"))) missing.insert(name);
  };
  std::vector<int64_t> numbers = {0, 7, 17, 16, 100, 1000, 1000000, 2000000, 1000000000, 3000000000,
                                  1000000000000, 5000000000000};
  for (int n = 1; n < 1000; ++n) numbers.push_back(n);
  for (int64_t n : numbers) {
    std::stringstream words(NumberToWords(n));
    for (std::string w; words >> w;) check(NumberWordFileName(w, false));
  }
  for (const char* feminine : {"um", "dois"}) check(NumberWordFileName(feminine, true));
  EXPECT_TRUE(missing.empty()) << "missing: " << *missing.begin();
}

// The words that the speaking of times, dates and the line editor play by
// name, as those parts name them.
TEST(Recordings, EveryNamedWordAndToneHasItsFile) {
  const fs::path letters = fs::path(SONARIS_DATA_DIR) / "som" / "letras";
  std::vector<std::string> names = {
      "_zero", "_MENOS", "_DEL", "_FALACI", "_FALDLG", "_VELOC", "_APFCPO", "_APICPO", "_CPOAPA",
      "_primeir", "_de", "_e", "_hora", "_horas", "_minuto", "_minutos", "_Domingo", "_Segunda",
      "_Terca", "_Quarta", "_Quinta", "_Sexta", "_Sabado", "_Janeiro", "_Feverei", "_Marco", "_Abril",
      "_Maio", "_Junho", "_Julho", "_Agosto", "_Setembr", "_Outubro", "_Novembr", "_Dezembr", "_1",
      "dtmf_#", "dtmf_X"};
  for (int c = 'A'; c <= 'Z'; ++c) {
    for (int code : {c, c + 32}) {
      names.push_back("_" + std::to_string(code));
      names.push_back("_FON" + std::to_string(code));
    }
  }
  for (int d = 0; d <= 9; ++d) {
    names.push_back("_" + std::to_string('0' + d));
    names.push_back("dtmf_" + std::to_string(d));
  }
  for (int accented : {0xE0, 0xE1, 0xE2, 0xE3, 0xE7, 0xE9, 0xEA, 0xED, 0xF3, 0xF4, 0xF5, 0xFA, 0xC7, 0xC3})
    names.push_back("_" + std::to_string(accented));
  for (char sign : std::string(",.;:!?-()/@"))
    names.push_back("_" + std::to_string(static_cast<unsigned char>(sign)));
  std::string missing;
  for (const std::string& name : names) {
    if (!fs::exists(letters / (name + ".wav"))) missing += " " + name;
  }
  EXPECT_TRUE(missing.empty()) << "missing:" << missing;
}

TEST(UnitNames, MarkTheRightVowelAndKeepOurClusters) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"$KWATIL", {"k", "w", "'", "&~"}}, {"$AWTIL", {"'", "&U~"}}, {"$TCHI", {"tS", "'", "i"}},
      {"$NHOCIRC", {"n^", "'", "o"}},     {"$H", {}},               {"_65", {}}};
  for (const auto& [name, phonemes] : cases) EXPECT_EQ(UnitPhonemes(name), phonemes) << name;
}

class Voice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(voicedata::OpenVoice()); }
  static void TearDownTestSuite() { voicedata::CloseVoice(); }
};

TEST_F(Voice, CutsASyllableBetweenItsBoundariesWithQuietEdges) {
  std::string problem;
  const auto unit = diphonedata::CutUnit("$KA", problem);
  ASSERT_FALSE(unit.empty()) << problem;
  EXPECT_GT(unit.size(), static_cast<size_t>(voicedata::kRate / 20));  // more than 50 ms
  EXPECT_LT(unit.size(), static_cast<size_t>(voicedata::kRate / 2));   // less than a carrier
  EXPECT_NEAR(unit.front(), 128, 2);
  EXPECT_GT(*std::max_element(unit.begin(), unit.end()), 170);  // the vowel is in it
  // It ends with the vowel, not with the silence of the next stop: the
  // last 10 ms still sound.
  const auto tail = std::vector<uint8_t>(unit.end() - voicedata::kRate / 100, unit.end() - voicedata::kRate / 200);
  EXPECT_GT(*std::max_element(tail.begin(), tail.end()), 132);

  const auto consonant = diphonedata::CutUnit("$S", problem);
  EXPECT_FALSE(consonant.empty()) << problem;
  EXPECT_LT(consonant.size(), unit.size());
  EXPECT_TRUE(diphonedata::CutUnit("$H", problem).empty());
}

TEST_F(Voice, SaysAWordTrimmedOfSilence) {
  const auto word = voicedata::SayText("zero", 50);
  ASSERT_GT(word.size(), static_cast<size_t>(voicedata::kRate / 10));
  EXPECT_NEAR(word.back(), 128, 2);
}

// An index written here is read by the synthesizer: names sorted as its
// binary search expects, lengths and offsets where it looks for them.
TEST(Index, IsFoundByTheSynthesizer) {
  diphonedata::UnitSamples units;
  units["$KA"] = std::vector<uint8_t>(500, 140);
  units["$K"] = std::vector<uint8_t>(300, 150);
  units["$A"] = std::vector<uint8_t>(700, 160);
  units["$AAAAAAAAA"] = std::vector<uint8_t>(10, 1);  // too long a name
  std::vector<std::string> skipped;
  const auto files = diphonedata::EncodeDatabase(units, skipped);
  EXPECT_EQ(skipped, std::vector<std::string>{"$AAAAAAAAA"});
  ASSERT_EQ(files.index.size(), 3 * diphonedata::kRecordSize);
  EXPECT_EQ(files.data.size(), 1500u);

  // One folder per build tree, so that two builds' tests never share it.
  const fs::path dir =
      testfiles::FreshDir("datatools-index-" + std::to_string(std::hash<std::string>{}(SONARIS_BINARY_DIR)));
  testfiles::WriteVoiceFolder(dir, "(K)= k|\n(A)=a|\n");
  testfiles::Write(dir / "difones" / "TESTE.IND", std::string(files.index.begin(), files.index.end()));
  testfiles::Write(dir / "difones" / "TESTE.DIF", std::string(files.data.begin(), files.data.end()));
  DiphoneDbName = "TESTE";
  ASSERT_EQ(DiphoneStart(), 0);
  DiphoneSetTuning(0, 0, 0);
  std::vector<unsigned char> ka, a;
  RenderPhonetic("[ka]", true, ka);
  RenderPhonetic("[A]", true, a);
  DiphoneEnd();
  ASSERT_EQ(ka.size(), 500u);
  EXPECT_EQ(ka.back(), 140) << "its first samples glide from silence";
  ASSERT_EQ(a.size(), 700u);
  EXPECT_EQ(a.back(), 160);
}

}  // namespace
