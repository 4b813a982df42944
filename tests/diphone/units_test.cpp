// The database, the sound buffer and the choice of units, on a tiny
// database written by each test.
#include <gtest/gtest.h>

#include <cstdlib>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "files.h"

namespace {

namespace fs = std::filesystem;
using testfiles::Unit;

struct Event {
  std::string name;
  UnitOutcome outcome;
  int mode;
  double factor;
  bool operator==(const Event& o) const {
    return name == o.name && outcome == o.outcome && mode == o.mode &&
           std::abs(factor - o.factor) < 1e-9;
  }
};

std::ostream& operator<<(std::ostream& os, const Event& e) {
  return os << e.name << "/" << static_cast<int>(e.outcome) << "/m" << e.mode << "/f" << e.factor;
}

std::vector<Event> events;
void Record(const std::string& name, UnitOutcome outcome, int mode, double factor) {
  events.push_back({name, outcome, mode, factor});
}

constexpr auto F = UnitOutcome::Found, R = UnitOutcome::Recorded, S = UnitOutcome::Split,
               N = UnitOutcome::Noise, D = UnitOutcome::Dropped;

// Keeps every piece handed to it, as the device would hear them.
class PieceSink : public SoundSink {
 public:
  std::vector<size_t> pieces;
  void Play(uint8_t*, size_t samples) override { pieces.push_back(samples); }
  void WaitPlayed() override {}
};

class Synth : public ::testing::Test {
 protected:
  fs::path dir =
      testfiles::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::path letters = dir / "letras";
  fs::path diphones = dir / "difones";

  // What the tests change of the process, given back afterwards for the
  // other tests of this program.
  std::string oldWinDir = std::getenv("SONARIS_WINDIR") ? std::getenv("SONARIS_WINDIR") : "";
  bool hadWinDir = std::getenv("SONARIS_WINDIR") != nullptr;
  std::string oldDbName = DiphoneDbName;

  void SetUp() override {
    testfiles::WriteVoiceFolder(dir);
    DiphoneDbName = "TESTE";
    DiphoneSetTuning(0, 0, 100);
    events.clear();
    UnitDetailReport = Record;
  }
  void TearDown() override {
    UnitDetailReport = nullptr;
    DiphoneEnd();
    DiphoneDbName = oldDbName;
    DiphoneSetTuning(400, 0, 100);
    hadWinDir ? setenv("SONARIS_WINDIR", oldWinDir.c_str(), 1) : unsetenv("SONARIS_WINDIR");
  }
  void Start(const std::vector<Unit>& units) {
    testfiles::WriteDatabase(diphones, "TESTE", units);
    ASSERT_EQ(DiphoneStart(), 0);
  }
  std::vector<unsigned char> Render(const std::string& phonetic, bool noPauses = false) {
    std::vector<unsigned char> samples;
    RenderPhonetic(phonetic, noPauses, samples);
    return samples;
  }
  struct GroupCase {
    const char* group;
    std::vector<Event> units;
  };
  // The units each group asks for, in order.
  template <size_t N>
  void ExpectUnits(const GroupCase (&cases)[N]) {
    for (const GroupCase& c : cases) {
      events.clear();
      Render(c.group);
      EXPECT_EQ(events, c.units) << c.group;
    }
  }
};

struct Part {
  size_t length;
  int level;
};

// The sound is made of these parts, one after the other: each holds its
// level once its first 4 ms have led there from the level before (a join
// glides, it never steps).
::testing::AssertionResult Parts(const std::vector<unsigned char>& s, std::initializer_list<Part> parts,
                                 int before = 128) {
  size_t at = 0, total = 0;
  for (const Part& p : parts) total += p.length;
  if (s.size() != total) return ::testing::AssertionFailure() << s.size() << " samples, not " << total;
  for (const Part& p : parts) {
    for (size_t i = 0; i < p.length; ++i, ++at) {
      const int v = s[at];
      const bool ok = i >= 44 ? v == p.level : v >= std::min(before, p.level) && v <= std::max(before, p.level);
      if (!ok) return ::testing::AssertionFailure() << "sample " << at << " is " << v;
    }
    before = p.level;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(Synth, StartNamesWhatIsMissing) {
  EXPECT_EQ(DiphoneStart(), 1) << "no index";
  testfiles::Write(diphones / "TESTE.IND", "");
  EXPECT_EQ(DiphoneStart(), 1) << "no samples";
  testfiles::Write(diphones / "teste.dif", "");
  EXPECT_EQ(DiphoneStart(), 0) << "names are found without regard to case";
  fs::remove(diphones / "portug.exc");
  EXPECT_EQ(DiphoneStart(), 2);
  fs::remove_all(letters);
  EXPECT_EQ(DiphoneStart(), 1);
}

TEST_F(Synth, GroupsSplitIntoUnitsWithTheirFactors) {
  Start({{"$P", 10, 1}, {"$RA", 10, 2}, {"$T", 10, 3}, {"$S", 10, 4}, {"$A", 10, 5},
         {"$PA", 10, 6}, {"$AY", 10, 7}, {"$PACIRC", 10, 8}, {"$AWTIL", 10, 9}});
  const GroupCase cases[] = {
      {"[pra]", {{"$P", F, 1, 1.0}, {"$RA", F, 1, 1.0}}},
      {"[tras]", {{"$T", F, 1, 1.0}, {"$RA", F, 1, 1.0}, {"$S", F, 1, 1.0}}},
      {"[as]", {{"$A", F, 1, 0.7}, {"$S", F, 1, 1.0}}},
      {"[pay]", {{"$PA", F, 1, 0.6}, {"$AY", F, 1, 1.0}}},
      {"[pa~w]", {{"$PACIRC", F, 1, 0.6}, {"$AWTIL", F, 1, 1.0}}},
      {"[a^y]", {{"$AYCIRC", S, 1, 1.0}, {"$A", F, 1, 0.9}, {"$YCIRC", D, 1, 1.0}}},
  };
  ExpectUnits(cases);
}

TEST_F(Synth, StressedUnitsKeepTheirWholeLength) {
  DiphoneSetTuning(400, 0, 100);
  Start({{"$KA", 1000, 9}, {"$LA", 1000, 9}});
  EXPECT_EQ(Render("[kA]").size(), 1000u);
  EXPECT_EQ(events, (std::vector<Event>{{"$KA", F, 2, 1.0}}));
  events.clear();
  EXPECT_EQ(Render("[ka lA]").size(), 600u + 1000u) << "only the stressed unit is whole";
  EXPECT_EQ(Render("[kA la]").size(), 1000u + 600u) << "stress ends with its chunk";
}

TEST_F(Synth, CutAndLeastLengthOfUnstressedUnits) {
  Start({{"$PA", 300, 1}, {"$TA", 1000, 2}, {"$KA", 700, 3}, {"$A", 300, 4}});
  DiphoneSetTuning(400, 0, 100);
  EXPECT_EQ(Render("[pa]").size(), 0u);
  std::vector<unsigned char> cut = Render("[ta]");
  ASSERT_EQ(cut.size(), 600u);
  EXPECT_EQ(cut[600 - 45] * 1000 + cut.back(), 2 * 1000 + 128) << "the cut end fades to silence";
  EXPECT_EQ(Render("[tay]").size(), 360u + 270u + 300u) << "0.6 of the kept 600, then $AY split";
  EXPECT_EQ(Render("[a]").size(), 300u) << "single phones are never cut";
  DiphoneSetTuning(400, 500, 100);
  EXPECT_EQ(Render("[pa]").size(), 300u);
  EXPECT_EQ(Render("[ka]").size(), 500u);
  DiphoneSetTuning(-400, 0, 100);
  EXPECT_EQ(Render("[ta]").size(), 1000u) << "a negative cut never lengthens a unit";
}

TEST_F(Synth, MissingUnitsFallBack) {
  Start({{"$ACIRC", 100, 1}, {"$NN", 100, 2}, {"$I", 100, 3}});
  const GroupCase cases[] = {
      {"[pa]", {{"$PA", S, 1, 1.0}, {"$P", N, 1, 0.9}, {"$A", N, 1, 1.0}}},
      {"[a~]", {{"$ATIL", S, 1, 1.0}, {"$ACIRC", F, 2, 0.9}, {"$NN", F, 1, 0.9}}},
      {"[i~]", {{"$ITIL", S, 1, 1.0}, {"$I", F, 1, 0.9}, {"$NN", F, 1, 0.9}}},
      {"[pa^]", {{"$PACIRC", S, 1, 1.0}, {"$P", N, 1, 0.9}, {"$ACIRC", F, 1, 1.0}}},
      {"[xyzw]", {{"$XYZW", S, 1, 1.0}, {"$XYZ", D, 1, 0.9}, {"$W", N, 1, 1.0}}},
      {"[ /_a]", {{"_97", D, 1, 1.0}}},
      {"[ /_\x01]", {{"_1", N, 1, 1.0}}},
  };
  ExpectUnits(cases);
  std::vector<unsigned char> noise = Render("[p]");
  ASSERT_EQ(noise.size(), 300u);
  for (unsigned char b : noise) ASSERT_TRUE(b >= 88 && b <= 167) << int(b);
}

TEST_F(Synth, GroupsAndTheSilenceBetweenWords) {
  Start({{"$KA", 100, 10}, {"$ZA", 100, 20}});
  EXPECT_TRUE(Parts(Render("[ka za]"), {{100, 10}, {100, 20}}));
  EXPECT_TRUE(Parts(Render("[ka][za]"), {{100, 10}, {100, 128}, {100, 20}}));
  DiphoneSetTuning(0, 0, 250);
  EXPECT_TRUE(Parts(Render("[ka][za]"), {{100, 10}, {200, 128}, {100, 20}}));
  std::vector<unsigned char> longGroup = Render("[abcdefghi/ka]");
  ASSERT_EQ(longGroup.size(), 300u + 200 + 100) << "a slash ends a group of more than 8";
  EXPECT_TRUE(Parts(std::vector<unsigned char>(longGroup.begin() + 300, longGroup.end()),
                    {{200, 128}, {100, 10}}, longGroup[299]));
  EXPECT_EQ(Render("[abcdefgh/ka]").size(), 300u) << "a slash passes inside a group of 8";
  EXPECT_TRUE(Render("").empty());
  EXPECT_TRUE(Render("[]").empty());
  EXPECT_TRUE(Render("[ka_").size() == 100u) << "a string cut after its underscore";
}

TEST_F(Synth, PunctuationPausesOrRecordings) {
  testfiles::WriteWave(letters / "_44.wav", 50, 7);
  Start({});
  EXPECT_EQ(Render("[ /_,]"), std::vector<unsigned char>(4000, 128));
  EXPECT_EQ(Render("[ /_.]").size(), 8000u);
  EXPECT_EQ(Render("[ /_;]").size(), 6000u);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(Parts(Render("[ /_,]", true), {{50, 7}}));
  EXPECT_EQ(events, (std::vector<Event>{{"_44", R, 1, 1.0}}));
}

TEST_F(Synth, SilenceIsAddedInWholeHundreds) {
  Start({});
  PieceSink sink;
  SoundSink* before = SetSoundSink(&sink);
  AppendSilence(150);
  AppendSilence(4000);
  AppendSilence(99);
  AppendSilence(-300);
  FlushSound();
  FlushSound();  // nothing left: no empty piece
  SetSoundSink(before);
  EXPECT_EQ(sink.pieces, (std::vector<size_t>{4100}));
}

TEST_F(Synth, LongSoundIsPlayedInPiecesThatFitTheBuffer) {
  testfiles::WriteWave(letters / "_66.wav", 70000, 3);
  Start({{"$KA", 40000, 1}});
  PieceSink sink;
  SynthesizePhonetic("[ka ka]", false, &sink);
  EXPECT_EQ(sink.pieces, (std::vector<size_t>{40000, 40000}));
  sink.pieces.clear();
  SynthesizePhonetic("[ /_B]", false, &sink);
  EXPECT_EQ(sink.pieces, (std::vector<size_t>{63956, 70000 - 63956}));
  EXPECT_EQ(WritePos(), kWaveHeaderSize);
}

TEST_F(Synth, DamagedFilesAreReadWithoutOverrun) {
  testfiles::WriteDatabase(diphones, "TESTE", {{"$KA", 100, 5}, {"$ZA", 100, 6}});
  // An index with a stray tail and samples shorter than the index says.
  std::ofstream(diphones / "TESTE.IND", std::ios::binary | std::ios::app) << "garbage";
  fs::resize_file(diphones / "TESTE.DIF", 150);
  ASSERT_EQ(DiphoneStart(), 0);
  EXPECT_EQ(DiphoneCount(), 2u);
  // The unit the data file cuts short fades out.
  std::vector<unsigned char> heard = Render("[ka za]");
  ASSERT_EQ(heard.size(), 150u);
  EXPECT_TRUE(Parts(std::vector<unsigned char>(heard.begin(), heard.begin() + 100), {{100, 5}}));
  EXPECT_EQ(heard.back(), 128);
}

TEST_F(Synth, IndexNameLengthBeyondTheRecordIsClamped) {
  std::string ind(15, '\0');
  ind[0] = static_cast<char>(200);
  ind.replace(1, 8, "$ABCDEFG");
  ind[9] = 10;
  testfiles::Write(diphones / "TESTE.IND", ind);
  testfiles::Write(diphones / "TESTE.DIF", std::string(10, 'x'));
  ASSERT_EQ(DiphoneStart(), 0);
  EXPECT_TRUE(AppendDiphone("$abcdefg", 2, 1.0));
  ClearSound();
}

TEST_F(Synth, RecordedSoundsNeedADataChunk) {
  testfiles::Write(letters / "_97.wav", "RIFF\x10\0\0\0WAVEfmt \x04\0\0\0abcd");
  testfiles::Write(letters / "_98.wav", "RIFX");
  testfiles::WriteWave(letters / "_99.wav", 20, 9);
  Start({});
  EXPECT_FALSE(AppendRecorded("_97"));
  EXPECT_FALSE(AppendRecorded("_98"));
  EXPECT_TRUE(AppendRecorded("_99"));
  EXPECT_EQ(WritePos(), kWaveHeaderSize + 20);
  ClearSound();
}

}  // namespace
