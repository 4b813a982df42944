// Stress by the word's ending: a scanner run from the last letter
// backwards, its states and moves written as a table.
#include "tts/stress.h"

#include "tts/latin1.h"

namespace {

// A written accent marks the stress; the tilde only where no accent is
// written (órgão, bênção are stressed on their accent, irmão on its ã).
const char* const kAccented = "\xE0\xE1\xE2\xE9\xEA\xED\xF3\xF4\xFA";
const char* const kTilde = "\xE3\xF5";
const char* const kVowels = "aeiouwy\xFC";

enum State { S0, S1, S2, S3, S4, S5, S10, S20, S21, S30, S40, Stop };

// What the result becomes at a move: kept, the position, or the position
// plus 1 or 2 (the vowel after a "gu"/"qu").
enum Mark { Keep, Here, Plus1, Plus2 };

struct Move {
  State from;
  const char* letters;  // nullptr: any letter not matched by an earlier row
  Mark mark;
  State to;
};

// For the current state the first row whose letters hold the letter is
// taken; every state ends in a row for any other letter.
const Move kMoves[] = {
    {S0, "aeo", Here, S1},   {S0, "u", Here, S10},  {S0, "i", Here, S20},
    {S0, "s", Keep, S0},     {S0, "m", Keep, S40},  {S0, nullptr, Keep, S30},
    {S1, "u", Keep, S4},     {S1, kVowels, Here, Stop}, {S1, nullptr, Keep, S2},
    {S2, "aeo", Here, Stop}, {S2, "iu", Here, S3},  {S2, nullptr, Keep, S2},
    {S3, "aeo", Here, Stop}, {S3, "u", Keep, S5},   {S3, nullptr, Keep, Stop},
    {S4, "gq", Plus2, S2},   {S4, nullptr, Plus1, Stop},
    {S5, "gq", Plus2, Stop}, {S5, nullptr, Plus1, Stop},
    {S10, "aeio", Here, Stop}, {S10, nullptr, Keep, Stop},
    {S20, "aeo", Here, S20}, {S20, "u", Keep, S21}, {S20, nullptr, Keep, Stop},
    {S21, "gq", Plus2, Stop}, {S21, nullptr, Plus1, Stop},
    {S30, kVowels, Here, Stop}, {S30, nullptr, Keep, S30},
    {S40, "iou", Here, Stop}, {S40, "ae", Here, S1}, {S40, nullptr, Keep, S0},
};

const Move& FindMove(State s, unsigned char c) {
  for (const Move& m : kMoves)
    if (m.from == s && (!m.letters || InLatin1Set(c, m.letters))) return m;
  return kMoves[0];  // not reached
}

}  // namespace

int StressPosition(const std::string& word) {
  std::string w = LowerLatin1Text(word);
  int n = static_cast<int>(w.size());
  bool vowel = false;
  int tilde = 0;
  for (int i = n; i >= 1; --i) {
    unsigned char c = static_cast<unsigned char>(w[i - 1]);
    if (InLatin1Set(c, kAccented)) return i;
    if (tilde == 0 && InLatin1Set(c, kTilde)) tilde = i;
    vowel |= InLatin1Set(c, kVowels);
  }
  if (tilde) return tilde;
  if (!vowel) return 0;
  State state = S0;
  int result = 0;
  for (int i = n; i >= 1 && state != Stop; --i) {
    const Move& m = FindMove(state, static_cast<unsigned char>(w[i - 1]));
    if (m.mark != Keep) result = i + (m.mark == Plus1 ? 1 : m.mark == Plus2 ? 2 : 0);
    state = m.to;
  }
  return result;
}
