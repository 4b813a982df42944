// Portuguese stress from the word's ending: the word is read backwards in a
// small state machine until it knows which vowel carries the stress, and
// that vowel is upper-cased.
#include <string_view>

#include "diphone/letters.h"
#include "diphone/translator.h"

using namespace letters;

namespace {

enum State { S0, S1, S2, S3, S4, S5, S8, MarkHere, Done };

// Plain transitions: in state `from`, a character of `chars` leads to `to`.
struct Step {
  State from;
  std::string_view chars;
  State to;
};

const Step kSteps[] = {
    {S0, "lnrxz", S1}, {S0, "m", S2},   {S0, "iu", S3},
    {S0, "s", S4},     {S0, "aeo", S5}, {S1, "AEIOUaeiou", MarkHere},
    {S2, "iu", S3},    {S2, "ae", S5},  {S2, "o", MarkHere},
    {S4, "aeo", S5},   {S4, "iu", S3},  {S5, "aeo", MarkHere},
    {S5, "iu", S8},
};

struct Scan {
  std::string& w;
  int c;  // 1-based position being read
  char at(int k) const { return (k >= 1 && k <= static_cast<int>(w.size())) ? w[k - 1] : '\0'; }
  void mark(int k) {
    if (k >= 1 && k <= static_cast<int>(w.size())) w[k - 1] = Upper(w[k - 1]);
  }
};

bool IsGorQ(char c) { return c == 'g' || c == 'q'; }
bool IsFrontVowel(char c) { return c == 'e' || c == 'i'; }

// A replacement from the exceptions that already says which vowel is
// stressed (an accent other than the diaeresis, or an upper-case vowel):
// marking another one too would stress the word twice (porque=porque^).
bool StressWritten(const std::string& w) {
  for (char c : w) {
    if ((IsAccent(c) && c != '"') || std::string_view("AEIOU").find(c) != std::string_view::npos) return true;
  }
  return false;
}

// What stands before an i/u and makes it a vowel of its own: a consonant,
// or a u with a diaeresis (u" from the exceptions: tranquilo), a glide.
bool OpensSyllable(char x) { return IsConsonant(x) || x == '"'; }

// After a final i or u: what stands before it makes the i/u a vowel of its
// own, or the silent u of gu/qu does (aqui); otherwise the i/u leans on the
// vowel before it, which takes the stress (cheguei, seguiu).
void AfterHighVowel(Scan& s) {
  char x = s.at(s.c);
  bool ownVowel = OpensSyllable(x) || (x == 'u' && IsGorQ(s.at(s.c - 1)));
  s.mark(ownVowel ? s.c + 1 : s.c);
}

// An i/u before the word's final vowel. After g/q it is the silent u of
// gu/qu, no vowel at all: the stress goes on to the vowel before it
// (fique, consegue). Otherwise as after a final i/u, and a following nh, rr
// or consonant cluster also keeps it a vowel of its own (rainha).
State BeforeFinalVowel(Scan& s) {
  char x = s.at(s.c);
  if (IsGorQ(x) && s.at(s.c + 1) == 'u' && IsFrontVowel(s.at(s.c + 2))) return S5;
  if (OpensSyllable(x) || (x == 'u' && IsGorQ(s.at(s.c - 1)))) {
    s.mark(s.c + 1);
    return Done;
  }
  char y = s.at(s.c + 2);
  char z = s.at(s.c + 3);
  bool cluster = (y == 'n' && z == 'h') || (y == 'r' && z == 'r') || (IsConsonant(z) && z != 'h');
  bool liquidOrNasal = y != '\0' && std::string_view("lmnrz").find(y) != std::string_view::npos;
  s.mark(liquidOrNasal && cluster ? s.c + 1 : s.c);
  return Done;
}

State Next(State state, Scan& s) {
  if (state == S3) {
    AfterHighVowel(s);
    return Done;
  }
  if (state == S8) return BeforeFinalVowel(s);
  char x = s.at(s.c);
  for (const Step& step : kSteps) {
    if (step.from == state && step.chars.find(x) != std::string_view::npos) return step.to;
  }
  return state;
}

}  // namespace

void MarkStress(Word& word) {
  std::string& w = word.text;
  if (word.accentSeen || word.vowelCount == 0 || w.empty() || StressWritten(w)) return;
  if (word.vowelCount == 1 && w.back() != 'l') return;
  Scan s{w, static_cast<int>(w.size())};
  State state = S0;
  for (; s.c >= 1; --s.c) {
    state = Next(state, s);
    if (state == MarkHere) s.mark(s.c);
    if (state == MarkHere || state == Done) return;
  }
  // The word's start closes a syllable like a consonant: an i/u read last
  // is a vowel of its own and takes the stress (uma, isso, ilha).
  if (state == S8) s.mark(1);
}
