// Words to phonemes: the rule walk over a word, pause markers, liaison.
#include "tts/words.h"

#include <algorithm>

#include "tts/exceptions.h"
#include "tts/latin1.h"
#include "tts/phoneme_rules.h"
#include "tts/stress.h"

namespace {

constexpr size_t kUsedOutput = 11;
const unsigned char kMarkerByte = 168;  // a phoneme written by the rules with "¨"
const char* const kSigns = " !(),.:;?";

struct PauseMark {
  char sign;
  const char* marker;
};
const PauseMark kPauseMarks[] = {
    {'!', "_!"}, {'(', "_("}, {')', "_)"}, {',', "_,"},
    {'.', "_."}, {':', "_:"}, {';', "_;"}, {'?', "_?"},
};

const char* const kUnstressedFunctionWords[] = {"POR", "DAS", "DOS", "COM", "N\xC3O", "SIM"};

// Liaison before a vowel: the previous word's last phoneme and what it
// becomes.
struct Liaison {
  const char* from;
  const char* to;
};
const Liaison kLiaisons[] = {{"r2", "r"}, {"s2", "z"}};
// The phonemes of the rules that are vowels begin with one of these; the
// glides are w and y.
const char* const kVowelLetters = "aeiou@";
const char* const kGlides = "wy";

bool IsMarker(const std::string& line) { return !line.empty() && line[0] == ';'; }

}  // namespace

bool LoadDictionaries(const std::string& rulesPath, const std::string& exceptionsPath) {
  ClearExceptionList();
  return LoadPhonemeRules(rulesPath) && LoadExceptionList(exceptionsPath);
}

bool IsVowelPhoneme(const std::string& phoneme) {
  return !phoneme.empty() && InLatin1Set(static_cast<unsigned char>(phoneme[0]), kVowelLetters);
}

bool IsFunctionWord(const std::string& word) {
  if (word.size() < 3) return true;
  return std::find(std::begin(kUnstressedFunctionWords), std::end(kUnstressedFunctionWords),
                   word) != std::end(kUnstressedFunctionWords);
}

// The stress mark goes once, before the output of the rule that covers the
// stressed letter (or the first rule after it): a flag, not a position, so
// that no word length brings a second mark.
void ApplyPhonemeRules(const std::string& word, int stress, std::vector<std::string>& phonemes) {
  bool marked = stress < 1;
  std::string current;
  size_t pos = 0;
  while (pos < word.size()) {
    unsigned char c = static_cast<unsigned char>(word[pos]);
    const PhonemeRule* chosen = nullptr;
    if (c >= 32) {
      unsigned char key = platform::UpperAscii(c);
      for (const PhonemeRule& rule : RulesFor(key)) {
        if (RuleMatches(rule, word, pos)) {
          chosen = &rule;
          break;
        }
      }
    }
    if (!chosen) {
      ++pos;  // no rule reads this letter: it is dropped
      continue;
    }
    std::string output = chosen->output.substr(0, kUsedOutput);
    for (char o : output) {
      if (!marked && static_cast<int>(pos) + 1 >= stress) {
        current += '>';
        marked = true;
      }
      if (o == '&') {
        phonemes.push_back(current);
        current.clear();
      } else {
        current += o;
      }
    }
    if (!output.empty()) {
      phonemes.push_back(current);
      current.clear();
    }
    pos += std::max<size_t>(chosen->focus.size(), 1);
  }
  phonemes.push_back(current);
}

void PunctuationMark(char sign, std::vector<std::string>& phonemes) {
  for (const PauseMark& m : kPauseMarks)
    if (m.sign == sign) phonemes.push_back(m.marker);
}

std::vector<std::string> WordsToPhonemes(const std::vector<std::string>& patterns) {
  std::vector<std::string> phonemes;
  for (const std::string& line : patterns) {
    phonemes.push_back(";" + line);
    std::string text = UpperLatin1Text(line.size() > 4 ? line.substr(4) : "");
    if (text.empty()) {
      phonemes.push_back("__");
      phonemes.push_back("");
    } else if (InLatin1Set(static_cast<unsigned char>(text[0]), kSigns)) {
      PunctuationMark(text[0], phonemes);
    } else {
      FindException(text);
      int stress = IsFunctionWord(text) ? 0 : StressPosition(text);
      ApplyPhonemeRules(text, stress, phonemes);
    }
  }
  phonemes.push_back("__");
  ApplyLiaison(phonemes);
  return phonemes;
}

// Brazilians link a final s or r to the next word's vowel whether that
// vowel is stressed or not ("dez anos", "por isso"), the reduced a (@) too.
void ApplyLiaison(std::vector<std::string>& phonemes) {
  for (size_t i = 3; i + 2 <= phonemes.size(); ++i) {
    if (!IsMarker(phonemes[i])) continue;
    std::string next = phonemes[i + 1];
    while (!next.empty() && (next[0] == '>' || static_cast<unsigned char>(next[0]) == kMarkerByte))
      next.erase(0, 1);
    if (IsVowelPhoneme(next) || (!next.empty() && InLatin1Set(static_cast<unsigned char>(next[0]), kGlides))) {
      for (const Liaison& l : kLiaisons)
        if (phonemes[i - 2] == l.from) phonemes[i - 2] = l.to;
    }
    ++i;  // the line after a marker is a phoneme, never a marker
  }
}
