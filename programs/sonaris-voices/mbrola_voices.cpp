#include "mbrola_voices.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

// A voice lives as <folder>/<name>/<name> (the Debian layout), or as a
// bare <folder>/<name> file.
std::vector<MbrolaVoice> FindMbrolaVoices(const std::vector<std::string>& folders) {
  std::vector<MbrolaVoice> out;
  for (const std::string& folder : folders) {
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
      const std::string name = e.path().filename().string();
      const fs::path inner = e.path() / name;
      if (e.is_directory(ec) && fs::is_regular_file(inner, ec))
        out.push_back({name, inner.string()});
      else if (e.is_regular_file(ec) && name.find('.') == std::string::npos)
        out.push_back({name, e.path().string()});
    }
  }
  std::sort(out.begin(), out.end(), [](const MbrolaVoice& a, const MbrolaVoice& b) {
    return a.name != b.name ? a.name < b.name : a.path < b.path;
  });
  return out;
}
