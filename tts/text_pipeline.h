// A text to the MBROLA lines of Toada, with the tables already loaded:
// normalisation, tokens and patterns, phonemes, durations and pitch.
#pragma once
#include <string>
#include <vector>

// The phoneme list of the text (what the rules and exceptions make of it).
std::vector<std::string> TextToPhonemes(const std::string& text);
std::vector<std::string> TextToMbrolaLines(const std::string& text, double pitchFactor,
                                           double durationFactor);
