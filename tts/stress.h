// The stressed letter of a Portuguese word, from its accents or, without
// one, from its ending.
#pragma once
#include <string>

// 1-based position of the stressed letter; 0 when the word has no vowel.
int StressPosition(const std::string& word);
