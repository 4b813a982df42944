// Stress: the stressed letter of a golden list of words, and the words
// that carry no stress at all.
#include <gtest/gtest.h>

#include "text_golden.h"
#include "tts/latin1.h"
#include "tts/stress.h"
#include "tts/words.h"

namespace {

// The word with its stressed letter in capitals, "-" when it has none.
std::string Marked(const std::string& word) {
  int p = StressPosition(word);
  if (p == 0) return "-";
  std::string w = word;
  w[p - 1] = static_cast<char>(UpperLatin1Char(static_cast<unsigned char>(w[p - 1])));
  return w;
}

TEST(Stress, GoldenWords) { golden::Check("stress.txt", 300, Marked); }

// Capitals count as their small letters; a word far beyond 255 letters
// still has one stressed letter, near its end.
TEST(Stress, CapitalsAndOverlongWords) {
  EXPECT_EQ(StressPosition("CASA"), 2);
  EXPECT_EQ(StressPosition(platform::Utf8ToCp1252("IRMÃO")), 4);
  std::string w(300, 'b');
  w += "ana";
  EXPECT_EQ(StressPosition(w), 301);
  EXPECT_EQ(StressPosition(std::string(1000, 'x')), 0);
}

TEST(Stress, FunctionWords) {
  const struct {
    const char* word;
    bool function;
  } cases[] = {{"A", true}, {"DE", true}, {"", true}, {"POR", true}, {"DAS", true},
               {"DOS", true}, {"COM", true}, {"SIM", true}, {"PORTA", false},
               {"CASA", false}, {"por", false}, {"MAS", false}, {"N\xC3O", true}};
  for (const auto& c : cases) EXPECT_EQ(IsFunctionWord(c.word), c.function) << c.word;
}

}  // namespace
