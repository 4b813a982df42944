// Letter-to-phoneme rules, exceptions and the phoneme list, on small rule
// and exceptions files written by the tests.
#include <gtest/gtest.h>

#include <algorithm>

#include "text_files.h"
#include "tts/exceptions.h"
#include "tts/phoneme_rules.h"
#include "tts/words.h"
#include "platform/os/word_exceptions.h"

namespace {

using Lines = std::vector<std::string>;
using textfiles::W;

const char kRules[] =
    "; regras do teste\n"
    "(CH)=x\n"
    "(C)+=s\n"
    "(C)=k\n"
    "#(S)#=z\n"
    "(S)%=s2\n"
    "(S)=s\n"
    "(R)%=r2\n"
    "(R)=r\n"
    "(A)=a\n"
    "(A)=nunca\n"
    "(Á)=a\n"
    "(E)%=i\n"
    "(E)=e\n"
    "(I)=i\n"
    "(O)=o\n"
    "(U)=u\n"
    "(M)=m\n"
    "(L)%=w\n"
    "(L)=l\n"
    "(T)=t\n"
    "(X)=k&s\n"
    "(Q)=abcdefghijklmn\n"
    "(K)=_ 250\n"
    "LONGO(LONGOS)DIREITO=um&dois&tres&quatro&cinco|a comment\n";

class Rules : public textfiles::FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    ASSERT_TRUE(LoadPhonemeRules(Write("teste.nrl", kRules)));
  }
  void TearDown() override {
    FreePhonemeRules();
    ClearExceptionList();
  }
  static Lines Phonemes(const std::string& word, int stress) {
    Lines out;
    ApplyPhonemeRules(W(word), stress, out);
    return out;
  }
  // The word after the exceptions list.
  static std::string Excepted(std::string word) {
    FindException(word);
    return word;
  }
};

TEST_F(Rules, LoaderCutsTheFields) {
  EXPECT_EQ(PhonemeRuleCount(), 24u);
  const PhonemeRule& r = RulesFor('L').back();
  EXPECT_EQ(r.left, "LONGO");
  EXPECT_EQ(r.focus, "LONGO");
  EXPECT_EQ(r.right, "DIREI");
  EXPECT_EQ(r.output, "um&dois&tres&quatro&");
  EXPECT_FALSE(LoadPhonemeRules(dir_ / "nenhum.nrl"));
  EXPECT_EQ(PhonemeRuleCount(), 0u);
}

TEST_F(Rules, ConversionOfWords) {
  const struct {
    const char* word;
    int stress;
    Lines phonemes;
  } cases[] = {
      {"CASA", 2, {"k", ">a", "z", "a", ""}},               // (A)=a, not the later (A)=nunca
      {"casas", 2, {"k", ">a", "z", "a", "s2", ""}},      // letters compared in upper case
      {"CHA", 3, {"x", ">a", ""}},                          // CH before C
      {"AC", 1, {">a", "k", ""}},                           // CH fails at the last letter
      {"CE", 0, {"s", "i", ""}},                            // no stress mark
      {"AZA", 1, {">a", "a", ""}},                          // no rule for Z: dropped
      {"AQ", 0, {"a", "abcdefghijk", ""}},                  // only 11 output characters
      {"XA", 2, {"k", "s", ">a", ""}},                      // "&" between phonemes
      {"TEXTO", 2, {"t", ">e", "k", "s", "t", "o", ""}},
      {"AK", 0, {"a", "_ 250", ""}},
      {"MAL", 9, {"m", "a", "w", ""}},                      // a stress past the end marks nothing
  };
  for (const auto& c : cases) EXPECT_EQ(Phonemes(c.word, c.stress), c.phonemes) << c.word;
}

// Every context symbol, on either side: rule L(F)R=hit before (F)=miss.
TEST_F(Rules, ContextSymbols) {
  const struct {
    const char* left;
    const char* right;
    const char* word;
    bool hit;
  } cases[] = {
      {"", "#", "FA", true},    {"", "#", "FB", false},  {"", "#", "F", false},
      {"", "#", "fa", true},    {"", "##", "FAE", true}, {"", "##", "FA", false},
      {"", "%", "AF", true},    {"", "%", "FA", false},
      {"", "&", "FL", true},    {"", "&", "FZ", true},   {"", "&", "FB", false},
      {"", "*", "FB", true},    {"", "*", "FL", false},  {"", "*", "FR", false},
      {"", "*", "F", false},    {"", "*B", "FB", true},
      {"", "+", "FE", true},    {"", "+", "FÍ", true},   {"", "+", "FA", false},
      {"", "[", "F", true},     {"", "[", "FB", true},   {"", "[", "FH", false},
      {"", "[", "FA", false},
      {"", "\\A", "FSA", true}, {"", "\\A", "FA", true}, {"", "\\A", "FBA", false},
      {"", "]", "FA", false},   {"", "_", "FA", false},  {"", "B", "FB", true},
      {"#", "", "AF", true},    {"#", "", "BF", false},  {"#", "", "F", false},
      {"%", "", "FA", true},    {"%", "", "AF", false},
      {"]", "", "OF", true},    {"]", "", "ÂF", true},   {"]", "", "EF", false},
      {"_", "", "F", true},     {"_", "", "AF", true},   {"_", "", "BF", false},
      {"B_", "", "BAF", true},  {"B_", "", "CAF", false},
      {"|", "", "NF", true},    {"|", "", "RF", true},   {"|", "", "SF", true},
      {"|", "", "TF", false},
      {"+", "", "EF", false},   {"&", "", "LF", false},  {"*", "", "BF", false},
      {"BA", "", "BAF", true},  {"BA", "", "ABF", false},
  };
  for (const auto& c : cases) {
    std::string rules = std::string(c.left) + "(F)" + c.right + "=hit\n(F)=miss\n";
    ASSERT_TRUE(LoadPhonemeRules(Write("contexto.nrl", rules)));
    Lines got = Phonemes(c.word, 0);
    bool hit = std::find(got.begin(), got.end(), "hit") != got.end();
    EXPECT_EQ(hit, c.hit) << c.left << "(F)" << c.right << " on " << c.word;
  }
}

// A line without a focus would consume nothing: it is not taken.
TEST_F(Rules, EmptyFocusIsSkipped) {
  // Lines that end inside the focus or the right context load as far as
  // they go.
  ASSERT_TRUE(LoadPhonemeRules(
      Write("vazio.nrl", "()=x\nA()B=y\n\nsem parenteses\n(A)=a\nX(\nZ(Q)\n")));
  EXPECT_EQ(PhonemeRuleCount(), 2u);
  EXPECT_EQ(Phonemes("AB", 1), (Lines{">a", ""}));
}

// However long the word, one stress mark.
TEST_F(Rules, OverlongWordHasOneStressMark) {
  for (int stress : {1, 254, 255, 256, 280, 599}) {
    Lines got = Phonemes(std::string(600, 'A'), stress);
    ASSERT_EQ(got.size(), 601u);
    EXPECT_EQ(std::count_if(got.begin(), got.end(), [](const std::string& p) { return p[0] == '>'; }), 1)
        << stress;
    EXPECT_EQ(got[stress - 1], ">a") << stress;
  }
}

TEST_F(Rules, PunctuationMarks) {
  Lines got;
  for (char c : std::string("!(),.:;?-\"a ")) PunctuationMark(c, got);
  EXPECT_EQ(got, (Lines{"_!", "_(", "_)", "_,", "_.", "_:", "_;", "_?"}));
}

TEST_F(Rules, Exceptions) {
  std::string text =
      "taxi=tacsi|comentário\n"
      "\n"
      "ITE=ITI\n"
      ";XIS=SHIS\n"
      "SEM IGUAL\n"
      "EXATO=EZATO\n";
  ASSERT_TRUE(LoadExceptionList(Write("teste.exc", text)));
  EXPECT_EQ(ExceptionListCount(), 5u);
  const struct {
    const char* word;
    const char* result;
  } cases[] = {
      {"TAXI", "TACSI"},   {"TAXIS", "TACSIS"}, {"ITEMS", "ITIMS"}, {"ITEM", "ITIM"},
      {"EXATOS", "EZATOS"}, {"CASAS", "CASAS"}, {"SSS", "SSS"},    {";XIS", "SHIS"},
      {"SEM IGUAL", "SEM IGUAL"}, {"", ""},     {"MS", "MS"},
  };
  for (const auto& c : cases) EXPECT_EQ(Excepted(c.word), c.result) << c.word;
}

TEST_F(Rules, ExceptionsBeyondTheTable) {
  std::string text = std::string(300, 'L') + "=longa\n";
  for (int i = 0; i < 15100; ++i) text += "P" + std::to_string(i) + "=R" + std::to_string(i) + "\n";
  ASSERT_TRUE(LoadExceptionList(Write("muitas.exc", text)));
  EXPECT_EQ(ExceptionListCount(), platform::kMaxExceptionEntries);
  EXPECT_EQ(Excepted(std::string(255, 'L')), std::string(255, 'L'));  // the line was cut to 255 characters
  EXPECT_EQ(Excepted("P14998"), "R14998");
  EXPECT_EQ(Excepted("P14999"), "P14999");
}

TEST_F(Rules, LoadDictionaries) {
  std::string rules = (dir_ / "teste.nrl").string();
  std::string exc = Write("d.exc", "A=B\n");
  EXPECT_TRUE(LoadDictionaries(rules, exc));
  EXPECT_EQ(ExceptionListCount(), 1u);
  EXPECT_FALSE(LoadDictionaries(rules, (dir_ / "falta.exc").string()));
  EXPECT_TRUE(LoadDictionaries(rules, exc));
  EXPECT_FALSE(LoadDictionaries((dir_ / "falta.nrl").string(), exc));
  EXPECT_EQ(ExceptionListCount(), 0u);  // emptied first, not loaded after the rules failed
}

TEST_F(Rules, WordsToPhonemes) {
  ASSERT_TRUE(LoadExceptionList(Write("teste.exc", "TAXI=TACSI\n")));
  Lines patterns = {"555|", "386|casas", "555|,", "555|Mar", "555|azul", "555|.", "555|",
                    "555|taxi", "555|-", "555| "};
  Lines expected = {";555|",      "__", "",
                    ";386|casas", "k",  ">a", "z", "a", "s2", "",
                    ";555|,",     "_,",
                    ";555|Mar",   "m",  ">a", "r", "",        // liaison before a vowel
                    ";555|azul",  "a",  ">u", "w", "",  // no rule for Z
                    ";555|.",     "_.",
                    ";555|",      "__", "",
                    ";555|taxi",  "t",  "a",  "k", "s", ">i", "", // the exception, stressed on its last vowel
                    ";555|-",     "",                       // not a kept sign: read as a word
                    ";555| ",                               // a blank adds no marker
                    "__"};
  EXPECT_EQ(WordsToPhonemes(patterns), expected);
}

TEST_F(Rules, Liaison) {
  const struct {
    const char* last;
    const char* first;
    const char* becomes;
  } cases[] = {
      {"s2", "a", "z"},  {"s2", "\xA8" "e", "z"}, {"s2", ">a", "z"},  {"s2", "b", "s2"},
      {"s2", "@", "z"},  {"r2", ">\xA8" "i", "r"},  {"s2", "an", "z"}, {"r2", "_,", "r2"},
      {"r2", "o", "r"},  {"r2", "w", "r"},      {"r2", "y", "r"},   {"r2", "", "r2"},
      {"s", "a", "s"},   {"r2", "A", "r2"},
  };
  for (const auto& c : cases) {
    Lines l = {";555|", "__", "", ";555|X", "k", c.last, "", ";555|Y", c.first, "", "__"};
    ApplyLiaison(l);
    EXPECT_EQ(l[5], c.becomes) << c.last << " " << c.first;
  }
  Lines shortList = {";555|", "__"};
  ApplyLiaison(shortList);  // too short to hold two words: unchanged
  EXPECT_EQ(shortList, (Lines{";555|", "__"}));
}

}  // namespace
