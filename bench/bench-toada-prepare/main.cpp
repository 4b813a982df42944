// bench-toada-prepare [WORDS]: how many words per second Toada's text
// normalisation (PrepareText) reads on a news-like text of WORDS words
// (default 5000) full of money, times, dates, units, acronyms, telephones
// and addresses, with the tables of everyday forms and, beside it, without
// them (the plain reading). Goal: at least 50,000 words per second with
// the tables.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_words.h"
#include "platform/os/text.h"
#include "tts/normalize.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kGoal = 50000;
constexpr int kRounds = 7;


// The news paragraphs, repeated up to the count, each one text as the
// program hands it to the voice.
std::vector<std::string> Paragraphs(size_t words) {
  std::ifstream in(std::string(SONARIS_SOURCE_DIR) + "/bench/bench-toada-prepare/noticias.txt");
  std::vector<std::string> all;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) all.push_back(platform::Utf8ToCp1252(line));
  return bench::RepeatToWords(all, words);
}

// The best of a few rounds, in seconds; out counts the words read out.
double Time(const std::vector<std::string>& text, size_t& spoken) {
  double best = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    spoken = 0;
    for (const std::string& p : text) spoken += bench::WordCount(PrepareText(p));
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

void Report(const char* what, size_t words, size_t spoken, double seconds) {
  std::printf("  %-22s %zu palavras escritas, %zu faladas, %.2f ms: %.0f palavras por segundo\n",
              what, words, spoken, seconds * 1000, words / seconds);
}

}  // namespace

int main(int argc, char** argv) {
  size_t wanted = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 5000;
  std::string data = std::string(SONARIS_SOURCE_DIR) + "/data/toada/portug";
  std::vector<std::string> text = Paragraphs(wanted);
  size_t words = 0;
  for (const std::string& p : text) words += bench::WordCount(p);
  if (words == 0 || !LoadAbbreviations(data + ".abr")) {
    std::fprintf(stderr, "bench-toada-prepare: texto ou abreviaturas ausentes\n");
    return 1;
  }
  std::printf("PrepareText (normaliza\xC3\xA7\xC3\xA3o do Toada) num texto de not\xC3\xAD" "cias "
              "de %zu palavras, com e sem as tabelas de formas do dia a dia\n", words);
  size_t plainSpoken = 0, spoken = 0;
  double plain = Time(text, plainSpoken);
  if (!LoadReadingTables(data + ".nrm")) {
    std::fprintf(stderr, "bench-toada-prepare: tabelas ausentes em %s.nrm\n", data.c_str());
    return 1;
  }
  double tables = Time(text, spoken);
  Report("sem tabelas:", words, plainSpoken, plain);
  Report("com tabelas:", words, spoken, tables);
  double rate = words / tables;
  std::printf("com tabelas: %.0f palavras por segundo (meta: ao menos %.0f) %s\n", rate, kGoal,
              rate >= kGoal ? "OK" : "ABAIXO DA META");
  return rate >= kGoal ? 0 : 2;
}
