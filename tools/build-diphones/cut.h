// One unit of the database from the voice: said in its carrier, cut at the
// phoneme boundaries, faded, as 8-bit samples at 11025 Hz.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace diphonedata {

// Empty, with the reason in problem, when the name or the voice fails.
std::vector<uint8_t> CutUnit(const std::string& unitName, std::string& problem);

}  // namespace diphonedata
