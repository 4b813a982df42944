// From the name of a database unit ("$KWATIL") to the espeak-ng phonemes
// that say it, and the carrier it is cut from.
#pragma once
#include <string>
#include <vector>

namespace diphonedata {

// The unit's sounds as espeak mnemonics, the stress mark before the first
// vowel; empty when the name holds a letter that is not ours.
std::vector<std::string> UnitPhonemes(const std::string& unitName);

// A unit is said between a prefix and a suffix so that it has neighbours;
// it is cut from the start of its first phoneme to the start of the
// suffix's first one.
struct Carrier {
  std::string text;   // espeak phoneme string, prefix + unit + suffix
  size_t prefix = 0;  // phonemes before the unit
  size_t suffix = 0;  // phonemes after it
};
Carrier CarrierFor(const std::vector<std::string>& phonemes);

}  // namespace diphonedata
