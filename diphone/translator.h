// The phonetic translator: written Portuguese (Windows-1252) to the
// phonetic string read by the unit selection, through the exceptions
// dictionary, the stress marks and the letter-to-sound rules.
#pragma once
#include <string>

// The longest word the translator handles at once; a longer run of letters
// is cut into several words.
constexpr size_t kMaxWordLength = 256;
constexpr size_t kMaxExceptions = 15000;

// One word as the translator works on it.
struct Word {
  std::string text;    // lower case, accent marks after their vowel
  int vowelCount = 0;  // vowels of the word as first read
  bool accentSeen = false;
};

// Letter-to-sound rules (rules.cpp). LoadRules also empties the exceptions.
bool LoadRules(const std::string& path);
void FreeRules();
void ApplyRules(const std::string& word, std::string& out);

// Exceptions dictionary (exceptions.cpp).
bool LoadExceptions(const std::string& path);
void ClearExceptions();
size_t ExceptionCount();
void ApplyExceptions(Word& word);

// Text to words (translator.cpp, normalize.cpp, stress.cpp).
std::string NormalizeText(const std::string& text);
bool NextWord(const std::string& text, size_t& position, Word& word);
void MarkStress(Word& word);
bool IsSpelledWord(const Word& word);
void SpellWord(const Word& word, std::string& out);
