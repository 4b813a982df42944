// Texts of the Toada benchmarks: words counted as blank-separated runs,
// and paragraphs repeated until a text holds the words asked for.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

inline size_t WordCount(const std::string& s) {
  size_t n = 0;
  bool in = false;
  for (char c : s) {
    bool blank = c == ' ';
    if (!blank && !in) ++n;
    in = !blank;
  }
  return n;
}

// The paragraphs in order, again from the first, until there are words.
inline std::vector<std::string> RepeatToWords(const std::vector<std::string>& all, size_t words) {
  std::vector<std::string> text;
  size_t count = 0;
  for (size_t i = 0; !all.empty() && count < words; ++i) {
    text.push_back(all[i % all.size()]);
    count += WordCount(text.back());
  }
  return text;
}

}  // namespace bench
