// The diphone database files: NAME.IND (15-byte records sorted by name)
// and NAME.DIF (the units' 8-bit samples one after the other).
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace diphonedata {

constexpr size_t kRecordSize = 15;
constexpr size_t kMaxName = 8;
constexpr size_t kMaxUnitSamples = 65535;

// Units by their index name (upper case, "$" first); std::map keeps them
// in the index's order: byte order, a shorter name before its extensions.
using UnitSamples = std::map<std::string, std::vector<uint8_t>>;

struct DatabaseFiles {
  std::vector<uint8_t> index;
  std::vector<uint8_t> data;
};
// Names longer than 8 characters and units too long for the 16-bit length
// are left out (and listed in skipped).
DatabaseFiles EncodeDatabase(const UnitSamples& units, std::vector<std::string>& skipped);

}  // namespace diphonedata
