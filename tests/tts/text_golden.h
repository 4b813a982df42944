// Golden files of the Toada text tests: one case a line, "input<TAB>
// expected", UTF-8, "#" lines are comments. With TOADA_UPDATE_GOLDEN=1 in
// the environment a test writes its file back with what the code now
// gives, for review with git diff.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/os/text.h"

namespace golden {

struct Case {
  std::string input, expected;  // UTF-8
  int line;
};

inline std::string Path(const std::string& name) {
  return std::string(SONARIS_SOURCE_DIR) + "/tests/tts/" + name;
}

// The cases of a golden file; comments, when asked for, with the number of
// the line each stands on, so that a rewrite keeps them in their places.
inline std::vector<Case> Read(const std::string& name,
                              std::vector<std::pair<int, std::string>>* comments = nullptr) {
  std::ifstream in(Path(name));
  std::vector<Case> cases;
  std::string l;
  int n = 0;
  while (std::getline(in, l)) {
    ++n;
    if (l.empty() || l[0] == '#') {
      if (comments) comments->push_back({n, l});
      continue;
    }
    size_t tab = l.find('\t');
    cases.push_back({l.substr(0, tab), tab == std::string::npos ? "" : l.substr(tab + 1), n});
  }
  return cases;
}

// Runs convert (Windows-1252 in and out) on every case and reports each
// case that differs; in update mode rewrites the file.
inline void Check(const std::string& name, size_t atLeast,
                  const std::function<std::string(const std::string&)>& convert) {
  std::vector<std::pair<int, std::string>> comments;
  std::vector<Case> cases = Read(name, &comments);
  ASSERT_GE(cases.size(), atLeast) << name;
  bool update = std::getenv("TOADA_UPDATE_GOLDEN") != nullptr;
  std::string report, rewritten;
  int differ = 0;
  size_t nextComment = 0;
  for (const Case& c : cases) {
    for (; nextComment < comments.size() && comments[nextComment].first < c.line; ++nextComment)
      rewritten += comments[nextComment].second + "\n";
    std::string got = platform::Cp1252ToUtf8(convert(platform::Utf8ToCp1252(c.input)));
    rewritten += c.input + "\t" + got + "\n";
    if (got == c.expected) continue;
    ++differ;
    report += "  line " + std::to_string(c.line) + ": " + c.input + "\n    expected [" +
              c.expected + "]\n    got      [" + got + "]\n";
  }
  for (; nextComment < comments.size(); ++nextComment) rewritten += comments[nextComment].second + "\n";
  if (update) std::ofstream(Path(name)) << rewritten;
  EXPECT_EQ(differ, 0) << name << ":\n" << report;
}

}  // namespace golden
