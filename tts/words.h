// Words to phonemes for Toada: exceptions, letter-to-phoneme rules with the
// stress mark, pause markers for signs, and liaison between words.
#pragma once
#include <string>
#include <vector>

// Empties the exceptions, then loads the rules and, when they load, the
// exceptions. True when both load.
bool LoadDictionaries(const std::string& rulesPath, const std::string& exceptionsPath);

// A phoneme that is a vowel, oral or nasal (a, @, ee, an...), not a glide.
bool IsVowelPhoneme(const std::string& phoneme);

// Short words and a few listed ones carry no stress (word in upper case).
bool IsFunctionWord(const std::string& word);

// Appends the phonemes of the upper-case word, one a line, ">" before the
// stressed one (stress: 1-based letter; below 1 none), then an empty line.
void ApplyPhonemeRules(const std::string& word, int stress, std::vector<std::string>& phonemes);

// The pause marker of a kept sign ("_," for a comma); nothing for others.
void PunctuationMark(char sign, std::vector<std::string>& phonemes);

// The phoneme list of a pattern list: for each token a marker line
// ";" + pattern line, then its phonemes; "__" at the end.
std::vector<std::string> WordsToPhonemes(const std::vector<std::string>& patterns);

// A final r2 or s2 before a word that starts with a vowel (stressed or not)
// becomes r or z.
void ApplyLiaison(std::vector<std::string>& phonemes);
