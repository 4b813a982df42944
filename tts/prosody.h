// The prosody file of Toada: phoneme durations, the class keys of words,
// the intonation patterns, the base pitch and the ten pitch levels.
#pragma once
#include <string>
#include <vector>

constexpr size_t kMaxDurations = 99;
constexpr size_t kMaxClassKeys = 1000;
constexpr size_t kMaxPatterns = 300;

struct PhonemeDurationEntry {
  std::string name;  // at most 2 characters
  int duration;      // ms
};

struct ClassKey {
  std::string key;    // upper case
  std::string klass;  // two characters, upper case
};

// Context fields of at most 3 characters; empty matches any class.
struct PatternRule {
  std::string previous, current, next, pattern;
};

struct ProsodyTables {
  std::vector<PhonemeDurationEntry> durations;
  std::vector<ClassKey> keys;  // sorted by key
  std::vector<PatternRule> patterns;  // file order
  int baseHertz = 230;
  int pitchLevels[10] = {};  // percent of baseHertz, for "0" .. "9"
};

// Sections [DURAÇÃO], [CHAVES] and [PROSÓDIA], in any order. A missing
// file, section or malformed line shows a message box and gives false;
// entries past the tables' sizes are ignored.
bool LoadProsody(const std::string& path);
void ClearProsody();
const ProsodyTables& Prosody();

// The voice's own natural pitch (a ".voz" file made by probing the voice:
// "HERTZ=n"), which takes the place of the prosody file's HERTZ, so that
// each voice speaks around its own pitch. An empty path, a missing file or
// one without a sound value keeps HERTZ. Call it after LoadProsody.
bool LoadVoicePitch(const std::string& path);

// The duration of the first entry named exactly phoneme, or 100.
int PhonemeDuration(const std::string& phoneme);
