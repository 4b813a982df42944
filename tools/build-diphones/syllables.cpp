#include "tools/build-diphones/syllables.h"

namespace diphonedata {
namespace {

// Onsets as written; "c" and "g" soft before e and i by the rules, "qu"
// and "gu" hard. Clusters are included: the first consonant is its own unit.
const char* const kOnsets[] = {
    "",   "b",  "c",  "ch", "d",  "f",  "g",  "gu", "h",  "j",  "l",  "lh", "m",
    "n",  "nh", "p",  "qu", "r",  "rr", "s",  "ss", "t",  "v",  "x",  "z",  "\xE7",
    "br", "bl", "cr", "cl", "dr", "fr", "fl", "gr", "gl", "pr", "pl", "tr", "vr",
};
// Vowels as written: plain, acute, circumflex, tilde, and the diphthongs.
const char* const kNuclei[] = {
    "a",  "e",  "i",  "o",  "u",  "\xE1", "\xE9", "\xED", "\xF3", "\xFA", "\xE2", "\xEA", "\xF4",
    "\xE3", "\xF5", "ai", "ei", "oi", "ui", "au", "eu", "ou", "iu", "\xE3o", "\xF5\x65", "\xE3\x65",
};
const char* const kCodas[] = {"", "s", "r", "l", "m", "n", "z", "x"};

}  // namespace

std::vector<std::string> GeneratedWords() {
  std::vector<std::string> words;
  for (const char* onset : kOnsets) {
    for (const char* nucleus : kNuclei) {
      for (const char* coda : kCodas) {
        const std::string syllable = std::string(onset) + nucleus + coda;
        words.push_back(syllable);
        words.push_back("a" + syllable);
      }
    }
  }
  return words;
}

}  // namespace diphonedata
