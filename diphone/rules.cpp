// Letter-to-sound rules: rewrite rules read from the rule file, tried in file
// order among those whose match begins with the current letter.
#include <array>
#include <fstream>
#include <vector>

#include "diphone/letters.h"
#include "diphone/translator.h"

using namespace letters;

namespace {

constexpr size_t kContextWidth = 5;
constexpr size_t kOutputWidth = 11;
constexpr int kFirstChain = 32;  // space
constexpr int kChainCount = 64;  // space .. underscore
constexpr int kNoChain = -1;

struct Rule {
  std::string left, match, right, output;
};

struct RulesState {
  std::array<std::vector<Rule>, kChainCount> chains;
  int lastChain = kNoChain;  // chain of the rule read last
};
RulesState R;

int ChainOf(char c) {
  int code = static_cast<unsigned char>(c) - kFirstChain;
  return (code >= 0 && code < kChainCount) ? code : kNoChain;
}

// Cuts the text between two delimiters off the front of rest, keeping at
// most width characters of it.
std::string TakeField(std::string& rest, char delimiter, size_t width) {
  size_t end = rest.find(delimiter);
  std::string field = rest.substr(0, end);
  rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
  return field.substr(0, width);
}

Rule ParseRule(const std::string& line) {
  Rule r;
  std::string rest = line;
  r.left = TakeField(rest, '(', kContextWidth);
  r.match = TakeField(rest, ')', kContextWidth);
  r.right = TakeField(rest, '=', kContextWidth);
  r.output = TakeField(rest, '|', kOutputWidth);
  return r;
}

// A rule joins the chain of its first match character when that chain is
// new, else it follows the rule read last, as the file's grouping intends.
// A rule with an empty match would never move the word position on, and one
// starting outside the chains could never be reached: both are left out.
void AddRule(const Rule& rule) {
  int chain = rule.match.empty() ? kNoChain : ChainOf(rule.match[0]);
  if (chain == kNoChain) return;
  if (!R.chains[chain].empty()) chain = R.lastChain;
  R.chains[chain].push_back(rule);
  R.lastChain = chain;
}

// The word seen through 1-based positions; outside 1..N is no character.
struct WordView {
  const std::string& w;
  int n() const { return static_cast<int>(w.size()); }
  char at(int k) const { return (k >= 1 && k <= n()) ? w[k - 1] : '\0'; }
  bool inside(int k) const { return k >= 1 && k <= n(); }
};

bool IsBackVowel(char c) { return c == 'a' || c == 'o' || c == 'A' || c == 'O'; }
bool IsFrontVowel(char c) { return c == 'e' || c == 'i' || c == 'E' || c == 'I'; }
bool IsOneOf(char c, const char* set) {
  return c != '\0' && std::string_view(set).find(c) != std::string_view::npos;
}
bool IsVowelOrAccent(char c) { return IsVowel(c) || IsAccent(c); }

// Steps back over a vowel of the kind, or over an accent and such a vowel.
bool StepBackOverVowel(const WordView& v, bool (*kind)(char), int& k) {
  if (kind(v.at(k))) {
    k -= 1;
    return true;
  }
  if (IsAccent(v.at(k)) && kind(v.at(k - 1))) {
    k -= 2;
    return true;
  }
  return false;
}

bool FitsLeftSymbol(const WordView& v, char sym, int& k) {
  switch (sym) {
    case '%':
      return !v.inside(k);
    case '#':
      if (!v.inside(k) || !IsVowelOrAccent(v.at(k))) return false;
      while (k > 0 && IsVowelOrAccent(v.at(k))) --k;
      return true;
    case '_':
      return k == 0 || StepBackOverVowel(v, IsVowel, k);
    case ']':
      return StepBackOverVowel(v, IsBackVowel, k);
    case '|':
      if (!IsOneOf(v.at(k), "nrs")) return false;
      k -= 1;
      return true;
    default:
      if (!v.inside(k) || Upper(v.at(k)) != sym) return false;
      k -= 1;
      return true;
  }
}

bool FitsRightSymbol(const WordView& v, char sym, int& k) {
  switch (sym) {
    case '%':
      return !v.inside(k);
    case '#':
      if (!v.inside(k) || !IsVowelOrAccent(v.at(k))) return false;
      while (k <= v.n() && IsVowelOrAccent(v.at(k))) ++k;
      return true;
    case '[':
      return k == v.n() + 1 || (IsConsonant(v.at(k)) && v.at(k) != 'h');
    case '*':
      return IsConsonant(v.at(k)) && v.at(k) != 'r' && v.at(k) != 'l';
    case '+':
      if (!IsFrontVowel(v.at(k))) return false;
      k += IsAccent(v.at(k + 1)) ? 2 : 1;
      return true;
    case '&':
      if (!IsOneOf(v.at(k), "lmnrz")) return false;
      k += 1;
      return true;
    case '\\':
      if (v.at(k) == 's') k += 1;
      return true;
    default:
      if (!v.inside(k) || Upper(v.at(k)) != sym) return false;
      k += 1;
      return true;
  }
}

bool Fits(const Rule& rule, const WordView& v, int p) {
  for (size_t i = 0; i < rule.match.size(); ++i) {
    int k = p + static_cast<int>(i);
    if (!v.inside(k) || Upper(v.at(k)) != rule.match[i]) return false;
  }
  int k = p - 1;
  for (auto it = rule.left.rbegin(); it != rule.left.rend(); ++it) {
    if (!FitsLeftSymbol(v, *it, k)) return false;
  }
  k = p + static_cast<int>(rule.match.size());
  for (char sym : rule.right) {
    if (!FitsRightSymbol(v, sym, k)) return false;
  }
  return true;
}

const Rule* FindRule(const WordView& v, int p) {
  int chain = ChainOf(Upper(v.at(p)));
  if (chain == kNoChain) return nullptr;
  for (const Rule& rule : R.chains[chain]) {
    if (Fits(rule, v, p)) return &rule;
  }
  return nullptr;
}

// A stressed letter passes its stress on to the first vowel it sounds as.
void CarryStress(char letter, std::string& output) {
  if (!(IsVowel(letter) && letter >= 'A' && letter <= 'Z')) return;
  for (char& c : output) {
    if (IsVowel(c)) {
      c = Upper(c);
      return;
    }
  }
}

}  // namespace

bool LoadRules(const std::string& path) {
  for (auto& chain : R.chains) chain.clear();
  R.lastChain = kNoChain;
  ClearExceptions();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    AddRule(ParseRule(line));
  }
  return true;
}

void FreeRules() {
  for (auto& chain : R.chains) chain.clear();
  R.lastChain = kNoChain;
}

void ApplyRules(const std::string& word, std::string& out) {
  WordView v{word};
  out += '[';
  int p = 1;
  while (p <= v.n()) {
    const Rule* rule = FindRule(v, p);
    std::string output = rule ? rule->output : std::string(" /_") + Upper(v.at(p));
    CarryStress(v.at(p), output);
    out += output;
    p += rule ? static_cast<int>(rule->match.size()) : 1;
    if (p <= v.n()) out += '/';
  }
  out += ']';
}
