// bench-toada-text [WORDS]: how many words per second Toada turns into
// MBROLA lines (normalisation, tokens, patterns, phonemes, durations and
// pitch), on a text of WORDS words (default 5000) made of the corpus'
// paragraphs, each paragraph one text as the program speaks it. Goal: more
// than 50,000 words per second.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_words.h"
#include "platform/os/text.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/prosody.h"
#include "tts/text_pipeline.h"
#include "tts/words.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kGoal = 50000;
constexpr int kRounds = 5;

// Paragraphs of the corpus, in file name order, repeated up to the count.
std::vector<std::string> Paragraphs(size_t words) {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(fs::path(SONARIS_SOURCE_DIR) / "data" / "corpus"))
    if (e.path().extension() == ".txt") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  std::vector<std::string> all;
  for (const fs::path& f : files) {
    std::ifstream in(f);
    std::string line;
    while (std::getline(in, line))
      if (!line.empty()) all.push_back(platform::Utf8ToCp1252(line));
  }
  return bench::RepeatToWords(all, words);
}

bool Load() {
  std::string data = std::string(SONARIS_SOURCE_DIR) + "/data/toada/portug";
  if (!LoadDictionaries(data + ".nrl", data + ".exc") || !LoadAbbreviations(data + ".abr") ||
      !LoadReadingTables(data + ".nrm") || !LoadProsody(data + ".pro")) {
    std::fprintf(stderr, "bench-toada-text: arquivos do Toada ausentes em %s.*\n", data.c_str());
    return false;
  }
  std::string dfn = std::string(SONARIS_DATA_DIR) + "/toada/portug.dfn";
  if (!LoadDiphoneList(dfn))
    std::printf("(sem lista de difones em %s: sem enchimentos)\n", dfn.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  size_t wanted = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
  if (!Load()) return 1;
  std::vector<std::string> text = Paragraphs(wanted);
  size_t words = 0;
  for (const std::string& p : text) words += bench::WordCount(p);
  if (words == 0) return 1;
  double best = 1e30;
  size_t lines = 0;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    lines = 0;
    for (const std::string& p : text) lines += TextToMbrolaLines(p, 1.0, 1.0).size();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  double rate = words / best;
  std::printf("%zu palavras, %zu linhas do MBROLA, %.1f ms: %.0f palavras por segundo "
              "(meta: mais de %.0f) %s\n",
              words, lines, best * 1000, rate, kGoal, rate > kGoal ? "OK" : "ABAIXO DA META");
  return rate > kGoal ? 0 : 2;
}
