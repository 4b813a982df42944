// The lines that MBROLA reads: each phoneme with its duration and pitch
// target, comment lines for the words, and a short filler where the voice
// lacks the diphone of two neighbouring phonemes.
#pragma once
#include <string>
#include <vector>

// The diphone list (".dfn"): "a b ..." or "a-b" a line; "!", "*" and ";"
// lines are comments. False when the file cannot be read.
bool LoadDiphoneList(const std::string& path);
void FreeDiphoneList();
size_t DiphoneListCount();
// Whether the voice has the diphone of phonemes a then b (case ignored).
bool HasDiphone(const std::string& a, const std::string& b);

// Line state of BuildMbrolaLines.
struct MbrolaLineState {
  std::string pattern = "555";
  int factor = 100;      // percent: 145 from the stressed phoneme on
  int pitchState = 0;    // 0 first phoneme, 1 before the stress, 2 stressed, 3 after
  size_t wordLength = 0;
  std::string previous = "_";
  std::string current;
};

// The pitch target of the phoneme ("50 240"), empty when none; moves the
// pitch state on.
std::string PitchTarget(MbrolaLineState& state, bool lastOfWord, double pitchFactor);
// Appends the filler line ("y 50" or "_ 50") when the diphone of the
// previous and current phoneme is missing; then the current phoneme
// becomes the previous one when the line is not empty.
void CheckDiphone(MbrolaLineState& state, bool lineEmpty, std::vector<std::string>& lines);

std::vector<std::string> BuildMbrolaLines(const std::vector<std::string>& phonemes,
                                          double pitchFactor, double durationFactor);
