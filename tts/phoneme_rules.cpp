// The rule table and its loader, and the matching of a rule's focus and
// contexts against a word.
#include "tts/phoneme_rules.h"

#include <iterator>

#include "platform/os/text.h"
#include "tts/latin1.h"

namespace {

constexpr size_t kMaxContext = 5;
constexpr size_t kMaxOutput = 20;

struct RuleTableState {
  std::vector<PhonemeRule> lists[256];
};
RuleTableState R;

const char* const kVowel =
    "AEIOU\xC0\xC1\xC2\xC3\xC9\xCA\xCC\xCD\xD3\xD4\xD5\xD9\xDA\xDC"   // ÀÁÂÃÉÊÌÍÓÔÕÙÚÜ
    "aeiou\xE0\xE1\xE2\xE3\xE9\xEA\xEC\xED\xF3\xF4\xF5\xF9\xFA\xFC";  // àáâãéêìíóôõùúü
const char* const kConsonantNotLR = "BCDFGHJKMNPQSTVWXYZ\xC7\xD1" "bcdfghjkmnpqstvwxyz\xE7\xF1";
const char* const kConsonantNotH = "BCDFGJKLMNPQRSTVWXYZ\xC7\xD1" "bcdfgjklmnpqrstvwxyz\xE7\xF1";

// What a context symbol does with the letters around the focus.
enum class Action {
  Consume,       // one letter of the set
  AtEdge,        // only past the end (right) or before the start (left)
  Peek,          // the next letter is of the set; nothing consumed
  PeekOrEdge,    // as Peek, or past the end of the word
  Optional,      // consumes a letter of the set when there is one
  VowelOrStart,  // at the start of the word, or consumes one vowel
};

struct Symbol {
  char symbol;
  Action action;
  const char* set;
};

const Symbol kRightSymbols[] = {
    {'#', Action::Consume, kVowel},
    {'%', Action::AtEdge, ""},
    {'&', Action::Consume, "LMNRZlmnrz"},
    {'*', Action::Peek, kConsonantNotLR},
    {'+', Action::Consume, "EI\xC9\xCD" "ei\xE9\xED"},
    {'[', Action::PeekOrEdge, kConsonantNotH},
    {'\\', Action::Optional, "Ss"},
};

const Symbol kLeftSymbols[] = {
    {'#', Action::Consume, kVowel},
    {'%', Action::AtEdge, ""},
    {']', Action::Consume, "AO\xC1\xC2\xD3\xD4" "ao\xE1\xE2\xF3\xF4"},
    {'_', Action::VowelOrStart, kVowel},
    {'|', Action::Consume, "NRSnrs"},
};

// The symbol's meaning; any other character stands for itself.
Symbol Meaning(char c, const Symbol* table, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (table[i].symbol == c) return table[i];
  return {c, Action::Consume, nullptr};
}

bool LetterIn(unsigned char letter, const Symbol& s) {
  return s.set ? InLatin1Set(letter, s.set) : platform::UpperAscii(letter) == static_cast<unsigned char>(s.symbol);
}

// Reads the context symbol by symbol from the letter at index i, moving by
// step (+1 rightwards, -1 leftwards).
bool ContextMatches(const std::string& context, bool right, const std::string& w, long i) {
  const Symbol* table = right ? kRightSymbols : kLeftSymbols;
  size_t count = right ? std::size(kRightSymbols) : std::size(kLeftSymbols);
  long step = right ? 1 : -1;
  long n = static_cast<long>(w.size());
  for (size_t k = 0; k < context.size(); ++k) {
    Symbol s = Meaning(context[right ? k : context.size() - 1 - k], table, count);
    bool inside = i >= 0 && i < n;
    unsigned char letter = inside ? static_cast<unsigned char>(w[i]) : 0;
    switch (s.action) {
      case Action::Consume:
        if (!inside || !LetterIn(letter, s)) return false;
        i += step;
        break;
      case Action::AtEdge:
        if (inside) return false;
        break;
      case Action::Peek:
        if (!inside || !LetterIn(letter, s)) return false;
        break;
      case Action::PeekOrEdge:
        if (inside && !LetterIn(letter, s)) return false;
        break;
      case Action::Optional:
        if (inside && LetterIn(letter, s)) i += step;
        break;
      case Action::VowelOrStart:
        if (i < 0) break;
        if (!LetterIn(letter, s)) return false;
        i += step;
        break;
    }
  }
  return true;
}

// The field between two delimiters, cut to max characters; pos moves past
// the closing delimiter.
std::string Field(const std::string& line, size_t& pos, char close, size_t max) {
  if (pos >= line.size()) return {};  // a line that ends before this field
  size_t end = line.find(close, pos);
  if (end == std::string::npos) end = line.size();
  std::string f = line.substr(pos, end - pos).substr(0, max);
  pos = end + 1;
  return f;
}

}  // namespace

bool LoadPhonemeRules(const std::string& path) {
  FreePhonemeRules();
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(path, lines)) return false;
  for (const std::string& line : lines) {
    if (line.empty() || line[0] == ';') continue;
    size_t open = line.find('(');
    if (open == std::string::npos) continue;
    PhonemeRule r;
    r.left = line.substr(0, open).substr(0, kMaxContext);
    size_t pos = open + 1;
    r.focus = Field(line, pos, ')', kMaxContext);
    r.right = Field(line, pos, '=', kMaxContext);
    if (pos < line.size()) r.output = Field(line, pos, '|', kMaxOutput);
    if (r.focus.empty()) continue;
    R.lists[static_cast<unsigned char>(r.focus[0])].push_back(std::move(r));
  }
  return true;
}

void FreePhonemeRules() {
  for (auto& list : R.lists) list.clear();
}

size_t PhonemeRuleCount() {
  size_t n = 0;
  for (const auto& list : R.lists) n += list.size();
  return n;
}

const std::vector<PhonemeRule>& RulesFor(unsigned char c) { return R.lists[c]; }

bool RuleMatches(const PhonemeRule& rule, const std::string& word, size_t pos) {
  if (rule.focus.empty() || pos + rule.focus.size() > word.size()) return false;
  for (size_t k = 0; k < rule.focus.size(); ++k)
    if (platform::UpperAscii(static_cast<unsigned char>(word[pos + k])) !=
        static_cast<unsigned char>(rule.focus[k]))
      return false;
  long before = static_cast<long>(pos) - 1;
  long after = static_cast<long>(pos + rule.focus.size());
  return ContextMatches(rule.left, false, word, before) &&
         ContextMatches(rule.right, true, word, after);
}
