// The prosody file's loader and the duration look-up.
#include "tts/prosody.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/os/text.h"
#include "tts/latin1.h"
#include "tts/message_box.h"

namespace {

constexpr int kDefaultDuration = 100;

ProsodyTables P;

const char* const kDurationsHeader = "[DURA\xC7\xC3O]";
const char* const kKeysHeader = "[CHAVES]";
const char* const kPatternsHeader = "[PROS\xD3" "DIA]";

const char* const kNotFound = "Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada";
const char* const kBadPhoneme = "Configura\xE7\xE3o da pros\xF3" "dia: fonema errado: ";
const char* const kBadKey = "Configura\xE7\xE3o da pros\xF3" "dia: chave errada: ";
const char* const kBadHertz =
    "Configura\xE7\xE3o da pros\xF3" "dia: HERTZ deve ser um n\xFAmero inteiro: ";
const char* const kBadLevels =
    "Configura\xE7\xE3o da pros\xF3" "dia: TABHERTZ deve ter dez n\xFAmeros inteiros "
    "separados por v\xEDrgulas: ";
const char* const kBadPattern =
    "Configura\xE7\xE3o da pros\xF3" "dia: o padr\xE3o deve ter tr\xEAs algarismos "
    "(o primeiro pode ser ?): ";

// The lines of one section: from its header to the next "[" line, without
// empty and comment lines. False when the header is missing.
bool SectionLines(const std::vector<std::string>& file, const char* header,
                  std::vector<std::string>& lines) {
  lines.clear();
  auto it = std::find_if(file.begin(), file.end(),
                         [&](const std::string& l) { return TrimBlanks(l) == header; });
  if (it == file.end()) return false;
  for (++it; it != file.end(); ++it) {
    const std::string& l = *it;
    if (!l.empty() && l[0] == '[') break;
    if (l.empty() || l[0] == ';' || l[0] == '*') continue;
    lines.push_back(l);
  }
  return true;
}

bool ParseInt(const std::string& text, int& value) {
  std::string s = TrimBlanks(text);
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

bool Fail(const std::string& message) {
  ShowMessageBox(message);
  return false;
}

bool LoadDurations(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    size_t eq = l.find('=');
    if (eq == std::string::npos) return Fail(kBadPhoneme + l);
    PhonemeDurationEntry e{TrimBlanks(l.substr(0, eq)).substr(0, 2), kDefaultDuration};
    if (!ParseInt(l.substr(eq + 1), e.duration)) {
      ShowMessageBox(kBadPhoneme + l);
      e.duration = kDefaultDuration;
    }
    if (P.durations.size() < kMaxDurations) P.durations.push_back(e);
  }
  return true;
}

bool LoadKeys(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) {
    size_t eq = l.find('=');
    if (eq == std::string::npos) return Fail(kBadKey + l);
    if (P.keys.size() < kMaxClassKeys)
      P.keys.push_back({UpperLatin1Text(TrimBlanks(l.substr(0, eq))),
                        UpperLatin1Text(TrimBlanks(l.substr(eq + 1))).substr(0, 2)});
  }
  std::stable_sort(P.keys.begin(), P.keys.end(),
                   [](const ClassKey& a, const ClassKey& b) { return a.key < b.key; });
  return true;
}

bool LoadLevels(const std::string& list, const std::string& line) {
  int levels[10];
  size_t count = 0, start = 0;
  while (count < 10 && start <= list.size()) {
    size_t comma = std::min(list.find(',', start), list.size());
    if (!ParseInt(list.substr(start, comma - start), levels[count])) return Fail(kBadLevels + line);
    ++count;
    start = comma + 1;
  }
  if (count < 10) return Fail(kBadLevels + line);
  std::copy(levels, levels + 10, P.pitchLevels);
  return true;
}

bool ValidPattern(const std::string& p) {
  if (p.size() != 3) return false;
  for (size_t i = 0; i < 3; ++i)
    if (!(p[i] >= '0' && p[i] <= '9') && !(i == 0 && p[i] == '?')) return false;
  return true;
}

bool LoadPatternLine(const std::string& original) {
  std::string l = UpperLatin1Text(original);
  size_t eq = l.find('=');
  if (eq == std::string::npos) return Fail(kBadKey + original);
  std::string name = TrimBlanks(l.substr(0, eq));
  std::string value = TrimBlanks(l.substr(eq + 1));
  if (name == "HERTZ") return ParseInt(value, P.baseHertz) || Fail(kBadHertz + original);
  if (name == "TABHERTZ") return LoadLevels(value, original);
  if (!ValidPattern(value)) return Fail(kBadPattern + original);
  std::string fields[3];
  size_t start = 0;
  for (int f = 0; f < 3 && start <= name.size(); ++f) {
    size_t bar = std::min(name.find('|', start), name.size());
    fields[f] = TrimBlanks(name.substr(start, bar - start)).substr(0, 3);
    start = bar + 1;
  }
  if (P.patterns.size() < kMaxPatterns) P.patterns.push_back({fields[0], fields[1], fields[2], value});
  return true;
}

}  // namespace

bool LoadProsody(const std::string& path) {
  ClearProsody();
  std::vector<std::string> file, lines;
  if (!platform::ReadTextLines(path, file)) return Fail(kNotFound);
  if (!SectionLines(file, kDurationsHeader, lines))
    return Fail("Dura\xE7\xE3o dos difones errada ou ausente");
  if (!LoadDurations(lines)) return false;
  if (!SectionLines(file, kKeysHeader, lines)) return Fail("Pros\xF3" "dia: palavras chaves ausentes");
  if (!LoadKeys(lines)) return false;
  if (!SectionLines(file, kPatternsHeader, lines)) return Fail("Pros\xF3" "dia: especifica\xE7\xF5" "es ausentes");
  for (const std::string& l : lines)
    if (!LoadPatternLine(l)) return false;
  return true;
}

void ClearProsody() { P = ProsodyTables(); }

bool LoadVoicePitch(const std::string& path) {
  constexpr int kLowest = 50, kHighest = 400;  // what a speaking voice can be
  std::vector<std::string> lines;
  if (path.empty() || !platform::ReadTextLines(path, lines)) return false;
  for (const std::string& l : lines) {
    std::string line = UpperLatin1Text(TrimBlanks(l));
    size_t eq = line.find('=');
    int hertz = 0;
    if (eq == std::string::npos || TrimBlanks(line.substr(0, eq)) != "HERTZ" ||
        !ParseInt(line.substr(eq + 1), hertz) || hertz < kLowest || hertz > kHighest)
      continue;
    P.baseHertz = hertz;
    return true;
  }
  return false;
}

const ProsodyTables& Prosody() { return P; }

int PhonemeDuration(const std::string& phoneme) {
  for (const PhonemeDurationEntry& e : P.durations)
    if (e.name == phoneme) return e.duration;
  return kDefaultDuration;
}
