// The built-in diphone synthesizer: phonetic translation by rules and
// speech by joining recorded units.
#pragma once
#include <string>

extern std::string DiphoneDbName;   // at most 8 characters
extern std::string SynthLettersDir; // Windows-style, ends in a backslash
extern std::string DiphoneDir;      // Windows-style, ends in a backslash

int DiphoneStart();  // 0, or 1 (index/data) or 2 (rules/exceptions)
void DiphoneEnd();
void DiphoneSetTuning(int cut, int keep, int wordGap);

void TranslateText(const std::string& text, std::string& phonetic);
void SpeakPhonetic(const std::string& phonetic, bool noPauses);
