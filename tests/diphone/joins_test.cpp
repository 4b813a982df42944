// Joins between units of the built database click when a unit cut short
// ends mid-waveform or the next one starts away from where the sound
// stands. At every speed of the sample settings, no join of a long
// sentence may step further than the signal moves around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "golden_data.h"
#include "platform/os/ini.h"

namespace {

constexpr char kSentence[] =
    "Digite a data do seu nascimento e o programa vai dizer quantos dias voc\xEA j\xE1 viveu "
    "at\xE9 hoje neste mundo";
constexpr size_t kAround = 22;  // 2 ms either side

struct Render {
  std::vector<unsigned char> samples;
  std::vector<size_t> unitEnds;  // where each appended unit ends
};
Render* current = nullptr;

void NoteUnit(const std::string&, UnitOutcome outcome, int, double) {
  if (outcome == UnitOutcome::Found || outcome == UnitOutcome::Recorded)
    current->unitEnds.push_back(current->samples.size() + WritePos() - kWaveHeaderSize);
}

// Hands every full buffer to the vector the observer counts from.
class VectorSink : public SoundSink {
 public:
  void Play(uint8_t* image, size_t n) override {
    current->samples.insert(current->samples.end(), image + kWaveHeaderSize, image + kWaveHeaderSize + n);
  }
  void WaitPlayed() override {}
};

int Step(const std::vector<unsigned char>& s, size_t at) { return std::abs(int(s[at]) - int(s[at - 1])); }

// The joins: where a unit ends, and where silence that follows one ends.
std::vector<size_t> Joins(const Render& r) {
  std::vector<size_t> joins;
  for (size_t end : r.unitEnds) {
    if (end == 0 || end >= r.samples.size()) continue;
    joins.push_back(end);
    size_t quiet = end;
    while (quiet < r.samples.size() && r.samples[quiet] == 128) ++quiet;
    if (quiet - end >= 100 && quiet < r.samples.size()) joins.push_back(quiet);
  }
  return joins;
}

int Tuning(int speed, const char* key, int fallback) {
  std::string value = platform::IniReadString(golden::SourceFile("data/SONARIS.INI"), "SINTETIZADOR",
                                              key + std::to_string(speed), "", 80);
  return value.empty() ? fallback : std::atoi(value.c_str());
}

TEST(UnitJoins, NoJoinStepsBeyondTheSignalAroundIt) {
  ASSERT_NO_FATAL_FAILURE(golden::StartBuiltDatabase("sonaris-unit-joins"));
  std::string phonetic;
  TranslateText(kSentence, phonetic);
  for (int speed = 1; speed <= 5; ++speed) {
    DiphoneSetTuning(Tuning(speed, "CORTEFON", 400), Tuning(speed, "SOBRAFON", 0),
                     Tuning(speed, "INTERPAL", 100));
    Render r;
    current = &r;
    VectorSink sink;
    UnitDetailReport = NoteUnit;
    SynthesizePhonetic(phonetic, false, &sink);
    UnitDetailReport = nullptr;
    current = nullptr;
    std::vector<size_t> joins = Joins(r);
    ASSERT_GT(joins.size(), 40u) << "speed " << speed;
    for (size_t at : joins) {
      int around = 0;
      for (size_t i = std::max(at, kAround + 1) - kAround; i <= std::min(at + kAround, r.samples.size() - 1); ++i)
        if (i != at) around = std::max(around, Step(r.samples, i));
      EXPECT_LE(Step(r.samples, at), std::max(around, 2))
          << "speed " << speed << ", join at sample " << at << " of " << r.samples.size();
    }
  }
  DiphoneEnd();
}

}  // namespace
