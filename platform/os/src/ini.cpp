// INI files with the rules of the Windows profile functions. The file is
// read afresh on every call, as Windows does, so edits take effect at once.
#include "platform/os/ini.h"

#include <fstream>
#include <iterator>
#include <string_view>

#include "platform/os/text.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// One pair of matching surrounding quotes is dropped.
std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') &&
      s.back() == s.front())
    return s.substr(1, s.size() - 2);
  return s;
}

// UTF-16 (Windows editors' "Unicode"), told by its byte-order mark or, without
// one, by the zero byte that every ASCII character carries. Characters
// beyond the basic plane have no Windows-1252 form anyway.
bool Utf16ToCp1252(const std::string& text, std::string& out) {
  bool little = text.starts_with("\xFF\xFE"), big = text.starts_with("\xFE\xFF");
  size_t from = (little || big) ? 2 : 0;
  if (from == 0 && text.size() >= 2 && text.size() % 2 == 0) {
    little = text[0] != '\0' && text[1] == '\0';
    big = text[0] == '\0' && text[1] != '\0';
  }
  if (!little && !big) return false;
  out.clear();
  for (size_t i = from; i + 1 < text.size(); i += 2) {
    auto lo = static_cast<unsigned char>(text[i + (big ? 1 : 0)]);
    auto hi = static_cast<unsigned char>(text[i + (big ? 0 : 1)]);
    char32_t unit = static_cast<char32_t>(hi << 8 | lo);
    out += CodePointToCp1252(unit);
  }
  return true;
}

// Settings written on Linux are usually UTF-8, on Windows sometimes UTF-16;
// inside, text is Windows-1252.
std::string ToInternal(std::string text) {
  if (std::string narrow; Utf16ToCp1252(text, narrow)) return narrow;
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  return Utf8TextToCp1252(std::move(text));
}

// Finds the key in the first section of that name.
bool FindValue(std::string_view text, const std::string& section,
               const std::string& key, std::string& value) {
  bool inSection = false, seenSection = false;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      if (seenSection) return false;
      size_t close = line.find(']');
      std::string_view name = Trim(line.substr(1, close == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : close - 1));
      inSection = EqualsNoCase(std::string(name), section);
      seenSection = inSection;
      continue;
    }
    size_t eq = line.find('=');
    if (!inSection || eq == std::string_view::npos) continue;
    if (EqualsNoCase(std::string(Trim(line.substr(0, eq))), key)) {
      value = std::string(Unquote(Trim(line.substr(eq + 1))));
      return true;
    }
  }
  return false;
}

}  // namespace

bool IniRead(const std::string& path, const std::string& section,
             const std::string& key, std::string& value, int maxLength) {
  std::string text;
  if (!ReadWholeFile(path, text)) return false;
  std::string found;
  if (!FindValue(ToInternal(std::move(text)), section, key, found)) return false;
  size_t keep = maxLength > 1 ? static_cast<size_t>(maxLength - 1) : 0;
  if (found.size() > keep) found.resize(keep);
  value = std::move(found);
  return true;
}

bool IniRead(const std::vector<std::string>& paths, const std::string& section,
             const std::string& key, std::string& value, int maxLength) {
  for (const std::string& path : paths)
    if (IniRead(path, section, key, value, maxLength)) return true;
  return false;
}

std::string IniReadString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& def,
                          int maxLength) {
  return IniReadString(std::vector<std::string>{path}, section, key, def, maxLength);
}

std::string IniReadString(const std::vector<std::string>& paths, const std::string& section,
                          const std::string& key, const std::string& def,
                          int maxLength) {
  std::string value;
  if (IniRead(paths, section, key, value, maxLength)) return value;
  size_t keep = maxLength > 1 ? static_cast<size_t>(maxLength - 1) : 0;
  return def.size() > keep ? def.substr(0, keep) : def;
}

}  // namespace platform
