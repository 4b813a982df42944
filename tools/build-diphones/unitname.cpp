#include "tools/build-diphones/unitname.h"

#include <algorithm>
#include <string_view>

namespace diphonedata {
namespace {

struct Letter {
  std::string_view ours;   // upper case, as in the index
  std::string_view espeak;
};
// Longest first: the clusters before their single letters.
constexpr Letter kLetters[] = {
    {"TCH", "tS"}, {"DJ", "dZ"}, {"NH", "n^"}, {"RR", "x"}, {"A", "a"}, {"E", "E"},
    {"I", "i"},    {"O", "O"},   {"U", "u"},   {"W", "w"},  {"Y", "j"}, {"B", "b"},
    {"C", "k"},    {"D", "d"},   {"F", "f"},   {"G", "g"},  {"J", "Z"}, {"K", "k"},
    {"L", "l"},    {"M", "m"},   {"N", "n"},   {"P", "p"},  {"Q", "l^"}, {"R", "*"},
    {"S", "s"},    {"T", "t"},   {"V", "v"},   {"X", "S"},  {"Z", "z"},
};

struct Mark {
  std::string_view suffix;  // of the unit name
  std::string_view vowels;  // a e i o u
  const char* marked[5];    // the vowel with the mark
};
constexpr Mark kMarks[] = {
    {"CIRC", "aeiou", {"&", "e", "i", "o", "u"}},
    {"TIL", "aeiou", {"&~", "e~", "i~", "o~", "u~"}},
};

bool IsVowel(const std::string& p) { return p == "a" || p == "E" || p == "i" || p == "O" || p == "u"; }
// Any vowel, marked or not: espeak's vowel mnemonics begin with one of these.
bool IsAnyVowel(const std::string& p) { return std::string_view("aEiOu&eo").find(p[0]) != std::string_view::npos; }

// The plain vowel letter of an espeak vowel, for the mark table.
char VowelLetter(const std::string& p) { return p == "E" ? 'e' : p == "O" ? 'o' : p[0]; }

std::vector<std::string> Split(std::string_view s) {
  std::vector<std::string> out;
  while (!s.empty()) {
    const auto it = std::find_if(std::begin(kLetters), std::end(kLetters),
                                 [&](const Letter& l) { return s.starts_with(l.ours); });
    if (it == std::end(kLetters)) return {};
    out.emplace_back(it->espeak);
    s.remove_prefix(it->ours.size());
  }
  return out;
}

// The mark belongs to the last vowel; a nasal a before w is espeak's "&U~".
void ApplyMark(std::vector<std::string>& p, const Mark& mark) {
  const auto last = std::find_if(p.rbegin(), p.rend(), IsVowel);
  if (last == p.rend()) return;
  const size_t at = mark.vowels.find(VowelLetter(*last));
  *last = mark.marked[at];
  const auto next = last.base();
  if (*last == "&~" && next != p.end() && *next == "w") {
    *last = "&U~";
    p.erase(next);
  }
}

}  // namespace

std::vector<std::string> UnitPhonemes(const std::string& unitName) {
  if (unitName.size() < 2 || unitName[0] != '$') return {};
  std::string_view body(unitName);
  body.remove_prefix(1);
  const Mark* mark = nullptr;
  for (const Mark& m : kMarks) {
    if (body.size() > m.suffix.size() && body.ends_with(m.suffix)) {
      mark = &m;
      body.remove_suffix(m.suffix.size());
      break;
    }
  }
  std::vector<std::string> p = Split(body);
  if (p.empty()) return {};
  if (mark) ApplyMark(p, *mark);
  const auto vowel = std::find_if(p.begin(), p.end(), IsAnyVowel);
  if (vowel != p.end()) p.insert(vowel, "'");
  return p;
}

Carrier CarrierFor(const std::vector<std::string>& phonemes) {
  const bool hasVowel = std::find(phonemes.begin(), phonemes.end(), "'") != phonemes.end();
  // A consonant alone is said as the onset after a stressed vowel; a
  // syllable between two unstressed ones, ending before a stop's silence.
  Carrier c;
  c.text = hasVowel ? "p&" : "p'a";
  for (const std::string& p : phonemes) c.text += p;
  c.text += hasVowel ? "p&" : "&";
  c.prefix = 2;
  c.suffix = hasVowel ? 2 : 1;
  return c;
}

}  // namespace diphonedata
