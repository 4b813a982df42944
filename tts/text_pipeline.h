// A text to the MBROLA lines of Toada, with the tables already loaded:
// normalisation, tokens and patterns, phonemes, durations and pitch.
#pragma once
#include <string>
#include <vector>

// The phoneme list of the text (what the rules and exceptions make of it).
std::vector<std::string> TextToPhonemes(const std::string& text);
// The phoneme list in one line: each word's phonemes separated by blanks
// ("k >a ¨z a"), words separated by " / "; markers, signs and silences
// between words left out.
std::string PhonemesInOneLine(const std::vector<std::string>& phonemes);
std::vector<std::string> TextToMbrolaLines(const std::string& text, double pitchFactor,
                                           double durationFactor);
