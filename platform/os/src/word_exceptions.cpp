// The exceptions reader shared by both voices.
#include "platform/os/word_exceptions.h"

#include <algorithm>

#include "platform/os/text.h"

namespace platform {

namespace {

constexpr size_t kMaxLine = 255;

// Without "=" the word keeps a final "|", so the entry never matches.
ExceptionEntry ParseEntry(std::string line) {
  line = line.substr(0, kMaxLine) + "|=|";
  size_t eq = line.find('=');
  size_t bar = line.find('|', eq + 1);
  return {line.substr(0, eq), line.substr(eq + 1, bar - eq - 1)};
}

const ExceptionEntry* Find(const ExceptionTable& table, const std::string& w) {
  auto it = std::lower_bound(table.begin(), table.end(), w,
                             [](const ExceptionEntry& e, const std::string& key) { return e.word < key; });
  return (it != table.end() && it->word == w) ? &*it : nullptr;
}

}  // namespace

bool ReadExceptionFile(const std::string& path, ExceptionCase letterCase, ExceptionTable& table) {
  table.clear();
  std::vector<std::string> lines;
  if (!ReadTextLines(path, lines)) return false;
  for (std::string& line : lines) {
    if (table.size() == kMaxExceptionEntries) break;
    if (line.empty()) continue;
    if (letterCase == ExceptionCase::Upper) line = UpperLatin1Text(line);
    table.push_back(ParseEntry(line));
  }
  std::stable_sort(table.begin(), table.end(),
                   [](const ExceptionEntry& a, const ExceptionEntry& b) { return a.word < b.word; });
  return true;
}

std::string LookUpException(const ExceptionTable& table, const std::string& word, char pluralS,
                            char verbM) {
  std::string w = word;
  std::string suffix;
  while (!w.empty()) {
    if (const ExceptionEntry* e = Find(table, w)) return e->rewritten + suffix;
    if (w.back() != pluralS && w.back() != verbM) break;
    suffix.insert(suffix.begin(), w.back());
    w.pop_back();
  }
  return word;
}

}  // namespace platform
