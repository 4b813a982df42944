#include "tools/build-sounds/table.h"

#include <sstream>

namespace voicedata {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

bool ParsePitch(const std::string& s, int& pitch) {
  try {
    size_t used = 0;
    pitch = std::stoi(s, &used);
    return used == s.size() && pitch >= 0 && pitch <= 100;
  } catch (...) {
    return false;
  }
}

}  // namespace

std::vector<SoundEntry> ParseSoundTable(const std::string& contents, std::vector<std::string>& errors) {
  std::vector<SoundEntry> entries;
  std::stringstream in(contents);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = SplitTabs(line);
    SoundEntry e;
    const bool ok = (f.size() == 2 || f.size() == 3) && !f[0].empty() && !f[1].empty() &&
                    (f.size() == 2 || ParsePitch(f[2], e.pitch));
    if (!ok) {
      errors.push_back("linha " + std::to_string(number) + ": " + line);
      continue;
    }
    e.name = f[0];
    e.text = f[1];
    entries.push_back(e);
  }
  return entries;
}

}  // namespace voicedata
