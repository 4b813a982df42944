// The built-in voice's pronunciation: every word of golden_words.txt must
// come out of our rule and exceptions files as written there.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string_view>

#include "diphone/diphone.h"
#include "diphone/translator.h"
#include "golden_data.h"

namespace {

class GoldenRules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRules(golden::SourceFile("data/regras.rgr")));
    ASSERT_TRUE(LoadExceptions(golden::SourceFile("data/portug.exc")));
  }
  void TearDown() override { FreeRules(); }

  static std::string Translate(const std::string& utf8) {
    std::string phonetic;
    TranslateText(platform::Utf8ToCp1252(utf8), phonetic);
    return platform::Cp1252ToUtf8(phonetic);
  }
};

TEST_F(GoldenRules, EveryGoldenWordSoundsAsWritten) {
  const auto words = golden::GoldenWords();
  ASSERT_GE(words.size(), 300u);
  std::string report;
  int mismatches = 0;
  for (const auto& w : words) {
    const std::string got = Translate(w.word);
    if (got == w.phonetic) continue;
    ++mismatches;
    report += "  line " + std::to_string(w.line) + ": " + w.word + "\texpected " + w.phonetic + "\tgot " + got + "\n";
  }
  EXPECT_EQ(mismatches, 0) << "words that changed:\n" << report;
}

// The unit selection knows only our phoneme letters; anything else in a
// rule output would be looked up under a name no database holds.
TEST_F(GoldenRules, OutputsUseOnlyOurPhonemeLetters) {
  const std::string allowed = "abcdefghijklmnopqrstuvwxyzAEIOU^~ /[]";
  std::set<char> strays;
  for (const auto& w : golden::GoldenWords()) {
    const std::string got = Translate(w.word);
    for (size_t i = 0; i < got.size(); ++i) {
      if (got[i] == '_') {
        ++i;  // a recorded character: anything may follow
        continue;
      }
      if (allowed.find(got[i]) == std::string::npos) strays.insert(got[i]);
    }
  }
  EXPECT_TRUE(strays.empty()) << "unexpected letters: " << std::string(strays.begin(), strays.end());
}

// Every ordinary letter of a word has a rule: a letter that falls through
// to the default output would be spelled in the middle of a word.
TEST_F(GoldenRules, NoLetterOfTheCorpusIsSpelledInsideAWord) {
  std::string report;
  for (const auto& line : golden::Lines(golden::SourceFile("data/corpus/selenor.txt"))) {
    const std::string phonetic = Translate(line);
    for (size_t at = phonetic.find("/_"); at != std::string::npos; at = phonetic.find("/_", at + 2)) {
      const bool spelledWord = at >= 2 && phonetic.compare(at - 2, 2, "[ ") == 0;
      if (!spelledWord) report += phonetic.substr(at > 20 ? at - 20 : 0, 40) + "\n";
    }
  }
  EXPECT_TRUE(report.empty()) << report;
}

// Every word of two or more syllables is stressed on exactly one vowel: a
// word without one sounds clipped (its units are shortened) and a word
// with two sounds broken. Syllables are the vowels of the output, less the
// helping vowel of a rule output like " ki" (pacto); words of one syllable
// stay unmarked.
TEST_F(GoldenRules, EveryWordOfTwoOrMoreSyllablesHasOneStress) {
  std::vector<std::string> words;
  for (const char* list : {"data/wordlists/common.txt", "data/wordlists/tune.txt", "data/wordlists/heldout.txt"}) {
    for (const auto& w : golden::Lines(golden::SourceFile(list))) words.push_back(w);
  }
  for (const auto& w : golden::GoldenWords()) words.push_back(w.word);
  ASSERT_GE(words.size(), 4000u);
  std::string report;
  int wrong = 0;
  for (const auto& w : words) {
    const std::string got = Translate(w);
    int syllables = 0, stressed = 0;
    std::stringstream pieces(got.substr(1, got.size() - 2));  // inside the word's [ ]
    for (std::string piece; std::getline(pieces, piece, '/');) {
      const bool helping = piece.size() > 2 && piece[0] == ' ' && piece.back() == 'i' &&
                           piece.find_first_of("aeouAEIOU") == std::string::npos;
      for (char c : piece) {
        syllables += !helping && std::string_view("aeiouAEIOU").find(c) != std::string_view::npos;
        stressed += std::string_view("AEIOU").find(c) != std::string_view::npos;
      }
    }
    if (syllables < 2 || stressed == 1) continue;
    if (++wrong <= 40) report += "  " + w + "\t" + got + "\n";
  }
  EXPECT_EQ(wrong, 0) << "words with no stress or more than one:\n" << report;
}

// Rules of one first letter must stand together: one that strays is linked
// into the chain of the letter before it and never tried for its own.
TEST(GoldenRuleFile, RulesAreWellFormedAndGroupedByFirstLetter) {
  std::map<char, int> groupStart;
  char previous = 0;
  std::string report;
  const auto lines = golden::Lines(golden::SourceFile("data/regras.rgr"));
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    const size_t open = l.find('('), close = l.find(')'), eq = l.find('=', close), bar = l.find('|', eq);
    const std::string where = "line " + std::to_string(i + 1) + ": " + l + "\n";
    if (open == std::string::npos || close == std::string::npos || eq == std::string::npos ||
        bar == std::string::npos || close == open + 1) {
      report += "malformed " + where;
      continue;
    }
    if (open > 5 || close - open - 1 > 5 || eq - close - 1 > 5 || bar - eq - 1 > 11) report += "too wide " + where;
    const char first = l[open + 1];
    if (first != previous && groupStart.count(first)) report += "separated from its group " + where;
    groupStart.emplace(first, static_cast<int>(i));
    previous = first;
  }
  EXPECT_TRUE(report.empty()) << report;
}

}  // namespace
