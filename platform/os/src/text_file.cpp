// Reading the voices' data files as lines.
#include <fstream>
#include <iterator>

#include "platform/os/paths.h"
#include "platform/os/text.h"

namespace platform {

namespace {

bool HasHighBytes(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return true;
  return false;
}

}  // namespace

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::ifstream in(ResolvePath(path), std::ios::binary);
  if (!in) return false;
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  if (HasHighBytes(all) && IsValidUtf8(all)) all = Utf8ToCp1252(all);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

}  // namespace platform
