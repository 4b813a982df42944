// Written syllables of Portuguese, onset by vowel by ending, so that the
// database also holds the units of words that no text list has.
#pragma once
#include <string>
#include <vector>

namespace diphonedata {

// Windows-1252 words: each syllable alone and after "a".
std::vector<std::string> GeneratedWords();

}  // namespace diphonedata
