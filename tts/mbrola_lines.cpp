// The diphone list and the phoneme list turned into MBROLA input lines.
#include "tts/mbrola_lines.h"

#include <algorithm>
#include <cstdlib>

#include "platform/os/text.h"
#include "tts/latin1.h"
#include "tts/prosody.h"
#include "tts/words.h"

namespace {

const unsigned char kMarkerByte = 168;
const char* const kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz@_2";
const char* const kCommentStarts = "!*;";
constexpr int kStressedFactor = 145;
constexpr int kPlainFactor = 100;

struct DiphoneListState {
  std::vector<std::string> pairs;  // "a-b", case folded, sorted
};
DiphoneListState D;

// Where each pitch state puts its target: pattern character, new state,
// position in percent.
struct PitchStep {
  int patternIndex;  // -1: no target
  int nextState;
  int position;
};

bool NameChar(char c) { return InLatin1Set(static_cast<unsigned char>(c), kNameChars); }

std::string Pair(const std::string& a, const std::string& b) {
  return LowerLatin1Text(a + "-" + b);
}

// Long words say their syllables before the stress faster.
int ShortenBeforeStress(int duration, size_t wordLength) {
  if (wordLength > 13) return duration * 80 / 100;
  if (wordLength > 9) return duration * 90 / 100;
  return duration;
}

// A silence: "_" 100 ms, "_ 250" its own, "__" and the pause markers from
// the duration table.
int SilenceDuration(const std::string& phoneme) {
  if (phoneme == "_") return 100;
  if (phoneme.size() > 2 && phoneme[1] == ' ') return std::atoi(phoneme.c_str() + 2);
  return PhonemeDuration(phoneme);
}

bool IsMarkerLine(const std::string& line) {
  return line.size() >= 5 && line[0] == ';' && line[4] == '|';
}

// A phoneme line before its duration is final.
struct TimedPhoneme {
  size_t line;  // where it stands in the lines
  std::string name;
  long ms;
  std::string target;  // pitch target, "" when none
  bool vowel;
  std::string Line() const { return name + " " + std::to_string(ms) + (target.empty() ? "" : " " + target); }
};

// Fast speech shortens syllables, not vowels alone: a vowel that the speed
// would make shorter than can be heard takes the time it lacks from the
// consonants of its own syllable (those between it and the vowels beside
// it), as far as they can give, so the word keeps its length and the
// vowels their share.
constexpr long kShortestVowel = 30;
constexpr long kShortestConsonant = 12;

void KeepVowelsAudible(std::vector<TimedPhoneme>& word) {
  for (size_t v = 0; v < word.size(); ++v) {
    if (!word[v].vowel || word[v].ms >= kShortestVowel) continue;
    long lacking = kShortestVowel - word[v].ms;
    word[v].ms = kShortestVowel;
    size_t from = v, to = v + 1;
    while (from > 0 && !word[from - 1].vowel) --from;
    while (to < word.size() && !word[to].vowel) ++to;
    long spare = 0;
    for (size_t c = from; c < to; ++c)
      if (c != v) spare += std::max(0L, word[c].ms - kShortestConsonant);
    if (spare <= 0) continue;
    long take = std::min(lacking, spare);
    for (size_t c = from; c < to; ++c)
      if (c != v) word[c].ms -= std::max(0L, word[c].ms - kShortestConsonant) * take / spare;
  }
}

}  // namespace

bool LoadDiphoneList(const std::string& path) {
  FreeDiphoneList();
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(path, lines)) return false;
  for (const std::string& raw : lines) {
    std::string l = TrimBlanks(raw);
    if (l.empty() || InLatin1Set(static_cast<unsigned char>(l[0]), kCommentStarts)) continue;
    size_t i = 0;
    while (i < l.size() && NameChar(l[i])) ++i;
    std::string first = l.substr(0, i);
    for (++i; i < l.size() && !NameChar(l[i]); ++i) {
    }
    size_t start = std::min(i, l.size());
    while (i < l.size() && NameChar(l[i])) ++i;
    D.pairs.push_back(Pair(first, l.substr(start, i - start)));
  }
  std::sort(D.pairs.begin(), D.pairs.end());
  return true;
}

void FreeDiphoneList() { D.pairs.clear(); }

size_t DiphoneListCount() { return D.pairs.size(); }

bool HasDiphone(const std::string& a, const std::string& b) {
  return std::binary_search(D.pairs.begin(), D.pairs.end(), Pair(a, b));
}

std::string PitchTarget(MbrolaLineState& s, bool lastOfWord, double pitchFactor) {
  static const PitchStep kSteps[] = {
      {0, 1, 50},   // first phoneme of the word
      {-1, 1, 0},   // before the stress
      {1, 3, 80},   // stressed phoneme
      {2, 3, 50},   // after the stress, on the word's last phoneme
  };
  PitchStep step = kSteps[std::clamp(s.pitchState, 0, 3)];
  if (s.pitchState == 3 && !lastOfWord) step.patternIndex = -1;
  if (step.patternIndex < 0) return "";
  s.pitchState = step.nextState;
  char digit = s.pattern.size() > size_t(step.patternIndex) ? s.pattern[step.patternIndex] : '5';
  int level = (digit >= '0' && digit <= '9') ? Prosody().pitchLevels[digit - '0'] : 0;
  if (level == 0) return "";
  long hertz = static_cast<long>(level * pitchFactor * Prosody().baseHertz) / 100;
  return std::to_string(step.position) + " " + std::to_string(hertz);
}

// An empty list says nothing of the voice: every pair would look missing
// and every phoneme would get a filler, so none is put in.
void CheckDiphone(MbrolaLineState& s, bool lineEmpty, std::vector<std::string>& lines) {
  if (!s.current.empty() && !D.pairs.empty() && !HasDiphone(s.previous, s.current)) {
    if (s.previous == "r2" && HasDiphone("r2", "_"))
      lines.push_back("_ 50");
    else
      lines.push_back(HasDiphone(s.previous, "y") ? "y 50" : "_ 50");
  }
  if (!lineEmpty) s.previous = s.current;
}

std::vector<std::string> BuildMbrolaLines(const std::vector<std::string>& phonemes,
                                          double pitchFactor, double durationFactor) {
  std::vector<std::string> lines;
  lines.reserve(phonemes.size() + phonemes.size() / 4);
  MbrolaLineState s;
  std::vector<TimedPhoneme> word;  // the phonemes of the word being read
  auto endWord = [&] {
    KeepVowelsAudible(word);
    for (const TimedPhoneme& t : word) lines[t.line] = t.Line();
    word.clear();
  };
  for (size_t i = 0; i < phonemes.size(); ++i) {
    std::string line = phonemes[i];
    bool lastOfWord = i + 1 == phonemes.size() || phonemes[i + 1].empty();
    if (line.empty()) {
      s.factor = kPlainFactor;
      s.current.clear();
      endWord();
    } else if (IsMarkerLine(line)) {
      endWord();
      s.pattern = line.substr(1, 3);
      line = ";" + line.substr(5);
      s.wordLength = line.size();
      s.pitchState = 0;
      // A comment line is no phoneme: the diphone to check runs from the
      // last phoneme of one word to the first of the next.
      lines.push_back(std::move(line));
      continue;
    } else {
      std::string p = line;
      if (p[0] == '>') {
        s.factor = kStressedFactor;
        p.erase(0, 1);
        if (!p.empty() && static_cast<unsigned char>(p[0]) == kMarkerByte) p.erase(0, 1);
        s.pitchState = 2;
      } else if (static_cast<unsigned char>(p[0]) == kMarkerByte) {
        p.erase(0, 1);
        s.factor = kPlainFactor;
      }
      int duration;
      bool silence = !p.empty() && p[0] == '_';
      if (silence) {
        duration = SilenceDuration(p);
        p = "_";
      } else {
        duration = PhonemeDuration(p);
        if (s.pitchState < 2) duration = ShortenBeforeStress(duration, s.wordLength);
      }
      s.current = p;
      TimedPhoneme t{0, p, static_cast<long>(duration * s.factor * durationFactor) / 100,
                     PitchTarget(s, lastOfWord, pitchFactor), !silence && IsVowelPhoneme(p)};
      CheckDiphone(s, false, lines);
      t.line = lines.size();
      lines.push_back(t.Line());
      if (!silence) word.push_back(std::move(t));
      continue;
    }
    CheckDiphone(s, line.empty(), lines);
    lines.push_back(std::move(line));
  }
  endWord();
  return lines;
}
