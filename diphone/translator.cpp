// Text to phonetic string: normalise, cut into words, look each word up in
// the exceptions, mark its stress, then spell it or run the rules on it.
#include "diphone/translator.h"

#include "diphone/diphone.h"
#include "diphone/letters.h"

using namespace letters;

bool NextWord(const std::string& text, size_t& position, Word& word) {
  while (position < text.size() && text[position] == ' ') ++position;
  if (position >= text.size()) return false;
  word = Word{};
  char c = Lower(text[position]);
  if (!IsLetter(c)) {
    word.text = std::string(1, c);
    ++position;
    return true;
  }
  while (IsLetterOrAccent(c) && word.text.size() < kMaxWordLength) {
    word.text += c;
    if (IsVowel(c)) ++word.vowelCount;
    if (++position >= text.size()) break;
    c = Lower(text[position]);
    if (IsAccent(c) && c != '"') word.accentSeen = true;
  }
  return true;
}

// A word without vowels (an acronym, a lone sign) is read letter by letter;
// so is the stand-in for a character with no sound of its own.
bool IsSpelledWord(const Word& word) {
  if (!word.text.empty() && word.text[0] == '\x01') return true;
  for (char c : word.text) {
    if (!Is(c, Consonant | Punctuation)) return false;
  }
  return true;
}

void SpellWord(const Word& word, std::string& out) {
  for (char c : word.text) {
    out += "[ /_";
    out += c;
    out += ']';
  }
}

void TranslateText(const std::string& text, std::string& phonetic) {
  phonetic.clear();
  std::string t = NormalizeText(text);
  size_t position = 0;
  Word word;
  while (NextWord(t, position, word)) {
    ApplyExceptions(word);
    MarkStress(word);
    if (IsSpelledWord(word)) {
      SpellWord(word, phonetic);
    } else {
      ApplyRules(word.text, phonetic);
    }
  }
}
