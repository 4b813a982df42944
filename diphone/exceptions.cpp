// The exceptions dictionary: words whose spelling the rules would read
// wrongly, each mapped to the text the rules are to read instead.
#include <algorithm>
#include <fstream>
#include <vector>

#include "diphone/translator.h"

namespace {

constexpr size_t kMaxLine = 255;

struct Entry {
  std::string word, replacement;
};

struct ExceptionsState {
  std::vector<Entry> table;  // sorted by word, byte order
};
ExceptionsState X;

// "word=replacement|comment"; a line without "=" gives a word ending in "|",
// which never matches.
Entry ParseEntry(std::string line) {
  line = line.substr(0, kMaxLine) + "|=|";
  size_t eq = line.find('=');
  size_t bar = line.find('|', eq + 1);
  return {line.substr(0, eq), line.substr(eq + 1, bar - eq - 1)};
}

const Entry* Find(const std::string& w) {
  auto it = std::lower_bound(X.table.begin(), X.table.end(), w,
                             [](const Entry& e, const std::string& key) { return e.word < key; });
  return (it != X.table.end() && it->word == w) ? &*it : nullptr;
}

}  // namespace

bool LoadExceptions(const std::string& path) {
  X.table.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (X.table.size() < kMaxExceptions && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    X.table.push_back(ParseEntry(line));
  }
  std::stable_sort(X.table.begin(), X.table.end(),
                   [](const Entry& a, const Entry& b) { return a.word < b.word; });
  return true;
}

void ClearExceptions() { X.table.clear(); }

size_t ExceptionCount() { return X.table.size(); }

// A word in -s or -m without an entry of its own finds the entry of its stem,
// and the stripped letters go back after the replacement (casas, cantam).
void ApplyExceptions(Word& word) {
  std::string w = word.text;
  std::string suffix;
  while (true) {
    if (const Entry* e = Find(w)) {
      w = e->replacement;
      break;
    }
    if (w.empty() || (w.back() != 's' && w.back() != 'm')) break;
    suffix.insert(suffix.begin(), w.back());
    w.pop_back();
    if (w.empty()) break;
  }
  word.text = w + suffix;
}
