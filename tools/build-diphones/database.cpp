#include "tools/build-diphones/database.h"

namespace diphonedata {
namespace {

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void AppendRecord(std::vector<uint8_t>& index, const std::string& name, size_t length, size_t offset) {
  index.push_back(static_cast<uint8_t>(name.size()));
  for (size_t i = 0; i < kMaxName; ++i) index.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
  PutLittle(index, static_cast<uint32_t>(length), 2);
  PutLittle(index, static_cast<uint32_t>(offset), 4);
}

}  // namespace

DatabaseFiles EncodeDatabase(const UnitSamples& units, std::vector<std::string>& skipped) {
  DatabaseFiles files;
  for (const auto& [name, samples] : units) {
    if (name.empty() || name.size() > kMaxName || samples.size() > kMaxUnitSamples) {
      skipped.push_back(name);
      continue;
    }
    AppendRecord(files.index, name, samples.size(), files.data.size());
    files.data.insert(files.data.end(), samples.begin(), samples.end());
  }
  return files;
}

}  // namespace diphonedata
