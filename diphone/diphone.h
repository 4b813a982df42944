// The built-in diphone synthesizer: phonetic translation by rules and
// speech by joining recorded units.
#pragma once
#include <string>
#include <vector>

extern std::string DiphoneDbName;    // at most 8 characters
extern std::string SynthLettersDir;  // Windows-style, ends in a backslash
extern std::string DiphoneDir;       // Windows-style, ends in a backslash

int DiphoneStart();  // 0, or 1 (index/data) or 2 (rules/exceptions)
void DiphoneEnd();
void DiphoneSetTuning(int cut, int keep, int wordGap);

void TranslateText(const std::string& text, std::string& phonetic);
void SpeakPhonetic(const std::string& phonetic, bool noPauses);
// Where SpeakPhonetic sends its sound (diphone/sound.h); nullptr discards it.
class SoundSink;
void SetPhoneticDevice(SoundSink* device);

// What became of each unit that SpeakPhonetic asked for (sonaris-say
// --units, the database builder and the coverage check listen here).
enum class UnitOutcome { Found, Recorded, Split, Noise, Dropped };
using UnitObserver = void (*)(const std::string& unit, UnitOutcome outcome);
extern UnitObserver UnitReport;
// The same, with the stress mode and duration factor the unit was asked
// for (the unit is the name looked up: upper case for diphones).
using UnitDetailObserver = void (*)(const std::string& unit, UnitOutcome outcome, int mode,
                                    double factor);
extern UnitDetailObserver UnitDetailReport;

// Synthesizes into samples (8-bit mono 11025 Hz) instead of playing them;
// for tools and benchmarks. Without DiphoneStart (or with an empty index)
// every unit counts as missing, which lists every unit asked for.
void RenderPhonetic(const std::string& phonetic, bool noPauses,
                    std::vector<unsigned char>& samples);
