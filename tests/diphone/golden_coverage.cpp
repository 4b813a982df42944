// The database that the build made must hold the units of the whole
// corpus: at least 99% of them found directly, not pieced together.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "diphone/diphone.h"
#include "golden_data.h"

namespace {

struct Tally {
  std::map<UnitOutcome, long> outcomes;
  std::map<std::string, long> missing;
};
Tally* tally = nullptr;

void Count(const std::string& unit, UnitOutcome outcome) {
  if (!tally || unit.empty() || unit[0] != '$') return;
  tally->outcomes[outcome]++;
  if (outcome != UnitOutcome::Found) tally->missing[unit]++;
}

TEST(GoldenCoverage, CorpusUnitsAreFoundInTheBuiltDatabase) {
  ASSERT_NO_FATAL_FAILURE(golden::StartBuiltDatabase("sonaris-golden-coverage"));

  Tally counts;
  tally = &counts;
  UnitReport = Count;
  for (const auto& entry : std::filesystem::directory_iterator(golden::SourceFile("data/corpus"))) {
    if (entry.path().extension() != ".txt") continue;
    for (const std::string& line : golden::Lines(entry.path().string())) {
      std::string phonetic;
      TranslateText(platform::Utf8ToCp1252(line), phonetic);
      std::vector<unsigned char> samples;
      RenderPhonetic(phonetic, false, samples);
    }
  }
  UnitReport = nullptr;
  tally = nullptr;
  DiphoneEnd();

  const long found = counts.outcomes[UnitOutcome::Found];
  long asked = 0;
  for (const auto& [outcome, n] : counts.outcomes) {
    if (outcome != UnitOutcome::Recorded) asked += n;
  }
  ASSERT_GT(asked, 10000) << "the corpus asked for too few units";
  const double share = 100.0 * found / asked;
  std::string worst;
  for (const auto& [unit, n] : counts.missing) worst += " " + unit + "x" + std::to_string(n);
  std::printf("corpus units found directly: %ld of %ld (%.2f%%)\n", found, asked, share);
  EXPECT_GE(share, 99.0) << "missing:" << worst;
}

// The prompt of the program, at the normal speed of the sample settings,
// lasts as long as a person would take to say it.
TEST(GoldenCoverage, APromptTakesSpeakingTime) {
  ASSERT_NO_FATAL_FAILURE(golden::StartBuiltDatabase("sonaris-golden-coverage"));
  DiphoneSetTuning(600, 1000, 500);
  std::string phonetic;
  TranslateText("Digite a data do seu nascimento", phonetic);
  std::vector<unsigned char> samples;
  RenderPhonetic(phonetic, false, samples);
  DiphoneEnd();
  const double seconds = samples.size() / 11025.0;
  EXPECT_GT(seconds, 1.5);
  EXPECT_LT(seconds, 4.0);
}

}  // namespace
