// Phonetic string to diphone units: cut the string into groups (syllables),
// split every group into units the database holds, and fall back to
// smaller units, a plain vowel or a short noise for the ones it lacks.
#include <string_view>
#include <vector>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "platform/os/text.h"

UnitObserver UnitReport = nullptr;
UnitDetailObserver UnitDetailReport = nullptr;

namespace {

constexpr size_t kMaxGroup = 40;
constexpr size_t kMaxChunk = 12;
constexpr size_t kGroupBreak = 8;  // a "/" ends a group longer than this

struct Pause {
  char mark;
  int samples;
};
const Pause kPauses[] = {{',', 4000}, {'.', 8000}, {':', 8000}, {';', 6000}};

struct UnitsState {
  const std::string* text = nullptr;
  size_t pos = 0;  // 0-based reading position
  int stressMode = 1;
  bool noPauses = false;
};
UnitsState U;

bool In(char c, std::string_view set) { return c != '\0' && set.find(c) != std::string_view::npos; }
bool IsC(char c) { return In(c, "bcdfgjklmnpqrstvxz"); }
bool IsV(char c) { return In(c, "AEIOUaeiouwy"); }
bool IsStressed(char c) { return In(c, "AEIOU"); }
bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.ends_with(end);
}

void Report(const std::string& unit, UnitOutcome outcome, int mode, double factor) {
  if (UnitReport) UnitReport(unit, outcome);
  if (UnitDetailReport) UnitDetailReport(unit, outcome, mode, factor);
}

std::string LookupName(const std::string& u) {
  if (!u.empty() && u[0] == '_') return u;
  return platform::UpperAsciiText(u);
}

// A smaller unit to try in place of a missing one.
struct SubUnit {
  std::string unit;
  int mode;
  double factor;
};

// What stands in for a unit the database lacks; nothing when it is left out.
std::vector<SubUnit> SplitUnit(const std::string& u, int mode, double factor) {
  size_t L = u.size();
  if (IsV(u.back()))
    return {{u.substr(0, L - 1), mode, factor * 0.9}, {std::string("$") + u.back(), mode, factor}};
  if (EndsWith(u, "CIRC") && L > 6)
    return {{u.substr(0, L - 5), mode, factor * 0.9}, {"$" + u.substr(L - 5), mode, factor}};
  if (!EndsWith(u, "TIL")) return {};
  // A nasal vowel: the closed vowel (a plain i or u) and the nasal murmur.
  std::string v = u.substr(0, L - 3);
  char last = v.back();
  SubUnit vowel = (last == 'i' || last == 'u' || last == 'I' || last == 'U')
                      ? SubUnit{v, mode, factor * 0.9}
                      : SubUnit{v + "CIRC", 2, factor * 0.9};
  return {vowel, {"$nn", 1, 0.9}};
}

void SynthUnit(std::string u, int mode, double factor) {
  if (u.size() > kMaxChunk) u.resize(kMaxChunk);
  bool recorded = u[0] == '_';
  std::string name = LookupName(u);
  if (recorded ? AppendRecorded(u) : AppendDiphone(u, mode, factor)) {
    Report(name, recorded ? UnitOutcome::Recorded : UnitOutcome::Found, mode, factor);
    return;
  }
  if (u.size() <= 2) {
    Report(name, UnitOutcome::Noise, mode, factor);
    AppendNoise();
    return;
  }
  std::vector<SubUnit> parts = SplitUnit(u, mode, factor);
  Report(name, parts.empty() ? UnitOutcome::Dropped : UnitOutcome::Split, mode, factor);
  for (const SubUnit& p : parts) SynthUnit(p.unit, p.mode, p.factor);
}

// Names the units of a chunk: "$" and the phoneme letters, with "CIRC" or
// "TIL" for a vowel marked ^ or ~; "_" and a character's code for its
// recording.
void BuildUnits(std::string chunk, double factor) {
  if (chunk.size() > kMaxChunk) chunk.resize(kMaxChunk);
  if (chunk[0] == '_') {
    unsigned code = chunk.size() > 1 ? static_cast<unsigned char>(chunk[1]) : 0;
    SynthUnit("_" + std::to_string(code), U.stressMode, factor);
    return;
  }
  std::string pending = "$";
  bool stressed = false;
  for (char x : chunk) {
    if (IsStressed(x)) {
      U.stressMode = 2;
      stressed = true;
    }
    if (x == '^' || x == '~') {
      SynthUnit(pending + (x == '^' ? "CIRC" : "TIL"), U.stressMode, factor);
      pending = "$";
    } else {
      pending += x;
    }
  }
  if (pending != "$") SynthUnit(pending, U.stressMode, factor);
  if (stressed) U.stressMode = 0;
}

void SynthGroup(const std::string& g, double factor);

// Two consonants open a cluster, except the pairs that sound as one phone.
bool IsCluster(const std::string& g) {
  if (!IsC(g[0]) || !IsC(g[1])) return false;
  for (std::string_view single : {"dj", "nh", "rr", "ks", "tch"}) {
    if (g.starts_with(single)) return false;
  }
  return true;
}

// Clusters and final consonants are peeled off into units of their own.
bool SplitConsonants(const std::string& g, double factor) {
  size_t L = g.size();
  if (IsCluster(g)) {
    BuildUnits(g.substr(0, 1), 1.0);
    SynthGroup(g.substr(1), factor);
  } else if (EndsWith(g, "rr")) {
    SynthGroup(g.substr(0, L - 2), factor);
    BuildUnits("rr", factor);
  } else if (IsC(g.back())) {
    SynthGroup(g.substr(0, L - 1), factor);
    SynthGroup(g.substr(L - 1), factor);
  } else {
    return false;
  }
  return true;
}

// A final semivowel joins the vowel before it in a diphthong unit; the
// part before is shortened.
bool SplitDiphthong(const std::string& g, double factor) {
  size_t L = g.size();
  char before = g[L - 2];
  if (IsV(before) && L > 2) {
    SynthGroup(g.substr(0, L - 1), 0.6);
    BuildUnits(g.substr(L - 2), factor);
    return true;
  }
  if ((before == '^' || before == '~') && L > 3) {
    std::string head = before == '~' ? g.substr(0, L - 2) + "^" : g.substr(0, L - 1);
    SynthGroup(head, 0.6);
    BuildUnits(std::string{g[L - 3], g[L - 1], before}, factor);
    return true;
  }
  if ((before == '^' || before == '~') && L == 3) {
    BuildUnits(std::string{g[0], g[2], g[1]}, factor);
    return true;
  }
  return false;
}

void SynthGroup(const std::string& g, double factor) {
  size_t L = g.size();
  if (L == 0) return;
  if (L == 1) {
    BuildUnits(g, factor);
    return;
  }
  if (L > 2 && SplitConsonants(g, factor)) return;
  if ((g.back() == 'w' || g.back() == 'y') && SplitDiphthong(g, factor)) return;
  if (g != "_s" && g.back() == 's') {
    SynthGroup(g.substr(0, L - 1), 0.7);
    BuildUnits("s", factor);
    return;
  }
  BuildUnits(g, factor);
}

char CharAt(size_t i) { return i < U.text->size() ? (*U.text)[i] : '\0'; }

// With pauses allowed, a spelled comma, full stop, colon or semicolon
// becomes silence instead of its recording.
bool TakePause(std::string& group) {
  if (U.noPauses || group.size() != 2 || group[0] != '_') return false;
  for (const Pause& p : kPauses) {
    if (group[1] == p.mark) {
      group.clear();
      AppendSilence(p.samples);
      return true;
    }
  }
  return false;
}

std::string NextGroup() {
  if (CharAt(U.pos) == '[') {
    U.stressMode = 1;
    ++U.pos;
  }
  std::string group;
  while (U.pos < U.text->size()) {
    char x = CharAt(U.pos);
    if (x == ' ' || x == ']') break;
    if (x == '/') {
      if (group.size() > kGroupBreak) break;
    } else if (x == '_') {
      ++U.pos;
      if (U.pos < U.text->size()) group += {'_', CharAt(U.pos)};
    } else {
      group += x;
    }
    ++U.pos;
  }
  ++U.pos;
  if (group.size() > kMaxGroup) group.resize(kMaxGroup);
  TakePause(group);
  return group;
}

class VectorSink : public SoundSink {
 public:
  explicit VectorSink(std::vector<unsigned char>& out) : out_(out) {}
  void Play(uint8_t* image, size_t samples) override {
    out_.insert(out_.end(), image + kWaveHeaderSize, image + kWaveHeaderSize + samples);
  }
  void WaitPlayed() override {}

 private:
  std::vector<unsigned char>& out_;
};

}  // namespace

void SynthesizePhonetic(const std::string& phonetic, bool noPauses, SoundSink* sink) {
  SoundSink* before = SetSoundSink(sink);
  U = UnitsState{&phonetic, 0, 1, noPauses};
  ClearSound();
  while (U.pos < phonetic.size()) {
    SynthGroup(NextGroup(), 1.0);
    if (U.pos < phonetic.size() && phonetic[U.pos - 1] != ' ') AppendSilence(WordGapSamples());
  }
  FlushSound();
  SetSoundSink(before);
  U.text = nullptr;
}

void RenderPhonetic(const std::string& phonetic, bool noPauses,
                    std::vector<unsigned char>& samples) {
  VectorSink sink(samples);
  SynthesizePhonetic(phonetic, noPauses, &sink);
}
