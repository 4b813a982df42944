// Reading the voices' data files as lines.
#include <fstream>
#include <iterator>

#include "platform/os/paths.h"
#include "platform/os/text.h"

namespace platform {

bool ReadWholeFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string Utf8TextToCp1252(std::string text) {
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  return !ascii && IsValidUtf8(text) ? Utf8ToCp1252(text) : text;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  lines.clear();
  std::string all;
  if (!ReadWholeFile(ResolvePath(path), all)) return false;
  all = Utf8TextToCp1252(std::move(all));
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
