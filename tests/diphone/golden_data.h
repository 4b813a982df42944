// Reading the committed speech data for the pronunciation and coverage
// checks.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "diphone/diphone.h"
#include "platform/os/text.h"

namespace golden {

inline std::string SourceFile(const std::string& relative) {
  return std::string(SONARIS_SOURCE_DIR) + "/" + relative;
}

inline std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

struct GoldenWord {
  int line = 0;
  std::string word;      // UTF-8, as written in the file
  std::string phonetic;  // UTF-8
};

inline std::vector<GoldenWord> GoldenWords() {
  std::vector<GoldenWord> words;
  const auto lines = Lines(SourceFile("tests/diphone/golden_words.txt"));
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (l.empty() || l[0] == '#') continue;
    const size_t tab = l.find('\t');
    words.push_back({static_cast<int>(i + 1), l.substr(0, tab),
                     tab == std::string::npos ? std::string() : l.substr(tab + 1)});
  }
  return words;
}

// Starts the synthesizer on the database of this build, through the
// default folders (no settings file in the given empty Windows folder).
inline void StartBuiltDatabase(const char* windirName) {
  const std::string data = SONARIS_DATA_DIR;
  ASSERT_TRUE(std::filesystem::exists(data + "/som/difones/DIFONES2.IND"))
      << "the build did not make the database in " << data;
  const auto windir = std::filesystem::temp_directory_path() / windirName;
  std::filesystem::create_directories(windir);
  setenv("SONARIS_WINDIR", windir.c_str(), 1);
  setenv("SONARIS_DATA", data.c_str(), 1);
  DiphoneDbName = "DIFONES2";
  ASSERT_EQ(DiphoneStart(), 0);
}

}  // namespace golden
