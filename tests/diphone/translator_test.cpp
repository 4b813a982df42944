// The translator: normalisation, words, exceptions, stress and the rules.
#include "diphone/translator.h"

#include <gtest/gtest.h>

#include "diphone/diphone.h"
#include "files.h"

namespace {

namespace fs = std::filesystem;

class Translator : public ::testing::Test {
 protected:
  fs::path dir =
      testfiles::FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());

  void Rules(const std::string& text) {
    ASSERT_TRUE(LoadRules(testfiles::Write(dir / "regras.rgr", text)));
  }
  void Exceptions(const std::string& text) {
    ASSERT_TRUE(LoadExceptions(testfiles::Write(dir / "portug.exc", text)));
  }
  std::string Apply(const std::string& word) {
    std::string out;
    ApplyRules(word, out);
    return out;
  }
  std::string Translate(const std::string& text) {
    std::string out;
    TranslateText(text, out);
    return out;
  }
  void TearDown() override {
    FreeRules();
    ClearExceptions();
  }
};

Word Read(const std::string& text) {
  Word w;
  size_t pos = 0;
  NextWord(text, pos, w);
  return w;
}

std::string Stressed(const std::string& text) {
  Word w = Read(text);
  MarkStress(w);
  return w.text;
}

// Each rules file, with words and what it makes of them; an expected
// string ending in "..." is only the start of the output.
TEST_F(Translator, RulesTurnWordsIntoPhonemes) {
  const std::pair<const char*, std::vector<std::pair<std::string, std::string>>> cases[] = {
      // chosen by context, in file order
      {"(C)+=s|\n(C)=k|\n%(H)=|\n(I)=i|\n",
       {{"cidade", "[s/..."}, {"casa", "[k/..."}, {"hora", "[/ /_O/ /_R/ /_A]"}, {"rIo", "[ /_R/I/ /_O]"}}},
      // letters without rules sound as their recordings
      {"", {{"xyz", "[ /_X/ /_Y/ /_Z]"}, {"", "[]"}}},
      // a rule away from its group joins the rule before it
      {"(C)=k|\n(D)=d|\n(C)+=s|\n", {{"ce", "[k/..."}}},
      // fields keep their widths and the stress mark
      {"(AB)=abcdefghijklmnop|comment\n(O)=u\n", {{"Ab", "[Abcdefghijk]"}, {"O", "[U]"}}},
      // rules that could never advance are left out
      {"abcdefgh\n()=x|\n(a)=y|\n(A)=a|\n", {{"aa", "[a/a]"}, {"b", "[ /_B]"}}},
  };
  for (const auto& [rules, words] : cases) {
    Rules(rules);
    for (const auto& [word, expected] : words) {
      std::string got = Apply(word), want = expected;
      if (want.ends_with("...")) {
        want.resize(want.size() - 3);
        got = got.substr(0, want.size());
      }
      EXPECT_EQ(got, want) << "\"" << word << "\" with rules:\n" << rules;
    }
  }
}

struct ContextCase {
  const char* rule;
  const char* word;
  bool fits;
};

TEST_F(Translator, ContextSymbols) {
  const ContextCase cases[] = {
      {"#(S)#=!", "casa", true},   {"#(S)#=!", "cast", false},  {"R#(X)=!", "reaxa", true},
      {"R#(X)=!", "rdaxa", false}, {"(X)#R=!", "xear", true},   {"(X)#R=!", "xeda", false},
      {"(L)[=!", "mal", true},     {"(L)[=!", "alto", true},    {"(L)[=!", "ala", false},
      {"(L)[=!", "alho", false},   {"(C)+U=!", "ce'u", true},   {"(C)+U=!", "ce'a", false},
      {"(C)+=!", "ca", false},     {"(R)&=!", "arma", true},    {"(R)&=!", "ara", false},
      {"(E)\\%=!", "mole", true},  {"(E)\\%=!", "moles", true}, {"(E)\\%=!", "moleza", false},
      {"|(S)=!", "mansa", true},   {"|(S)=!", "casa", false},   {"%(R)=!", "rato", true},
      {"%(R)=!", "caro", false},   {"(L)*=!", "alto", true},    {"(L)*=!", "alra", false},
      {"](X)=!", "caxa", true},    {"](X)=!", "ca'xa", true},   {"](X)=!", "cexa", false},
      {"_(X)=!", "xa", true},      {"_(X)=!", "exa", true},     {"_(X)=!", "e'xa", true},
      {"_(X)=!", "rxa", false},    {"(S)%=!", "casas", true},   {"(S)%=!", "casa", false},
      {"(N)H=!", "banho", true},   {"(N)H=!", "bano", false},   {"(NH)=!", "banho", true},
      {"(C)A=!", "cAsa", true},
  };
  for (const ContextCase& c : cases) {
    Rules(std::string(c.rule) + "|\n");
    EXPECT_EQ(Apply(c.word).find('!') != std::string::npos, c.fits) << c.rule << " on " << c.word;
  }
}

TEST_F(Translator, NormalisationAndTransliteration) {
  for (auto [text, normal] : {std::pair{"Wagner", "uagner"}, {"d'agua", "dagua"}, {"a\xE7\xE3o", "assa~o"},
                              {"\xC9\xD1\xFC", "e'nhu"}, {"a\tb\x9D", "a \x01 b \x01 "}})
    EXPECT_EQ(NormalizeText(text), normal) << text;
}

TEST_F(Translator, WordsAndTheirCounts) {
  std::string text = "  ca'sa, x";
  size_t pos = 0;
  Word w;
  ASSERT_TRUE(NextWord(text, pos, w));
  EXPECT_EQ(w.text, "ca'sa");
  EXPECT_EQ(w.vowelCount, 2);
  EXPECT_TRUE(w.accentSeen);
  ASSERT_TRUE(NextWord(text, pos, w) && w.text == ",");
  ASSERT_TRUE(NextWord(text, pos, w) && w.text == "x");
  EXPECT_FALSE(NextWord(text, pos, w));
  EXPECT_FALSE(Read("fu\"i").accentSeen);
}

// Stress by the word's ending; then words the scan used to leave
// unstressed: an i/u at the start read last, the silent u of gu/qu, a u
// with a diaeresis; and a replacement that already writes its stress is
// not marked twice.
TEST_F(Translator, StressByTheWordsEnding) {
  const std::pair<const char*, const char*> cases[] = {
      {"mal", "mAl"},           {"sol", "sOl"},           {"par", "par"},
      {"caixa", "cAixa"},       {"rainha", "raInha"},     {"aquilo", "aquIlo"},
      {"ave", "Ave"},           {"cantam", "cAntam"},     {"rua", "rUa"},
      {"assa~o", "assa~o"},     {"uma", "Uma"},           {"isso", "Isso"},
      {"ilha", "Ilha"},         {"uso", "Uso"},           {"aqui", "aquI"},
      {"fique", "fIque"},       {"consegue", "consEgue"}, {"cheguei", "cheguEi"},
      {"coloquei", "coloquEi"}, {"seguiu", "seguIu"},     {"segundo", "segUndo"},
      {"tranqu\"ilo", "tranqu\"Ilo"}, {"iate", "iAte"},
  };
  for (const auto& [word, stressed] : cases) EXPECT_EQ(Stressed(word), stressed) << word;

  Word w = Read("porque");
  w.text = "porque^";  // as the exceptions give it
  MarkStress(w);
  EXPECT_EQ(w.text, "porque^");
}

TEST_F(Translator, ExceptionsFindTheStemOfPluralsAndVerbForms) {
  Exceptions("casa=caza|plural too\ncanta=kanta\nsemigual\n\n");
  for (auto [word, out] : {std::pair{"casas", "cazas"}, {"cantam", "kantam"},
                           {"semigual", "semigual"}, {"ms", "ms"}}) {
    Word w{word, 2, false};
    ApplyExceptions(w);
    EXPECT_EQ(w.text, out) << word;
  }
  EXPECT_EQ(ExceptionCount(), 3u);
}

TEST_F(Translator, OverlongExceptionLinesAndTableLimit) {
  std::string lines = "abc=" + std::string(300, 'x') + "\n";
  for (int i = 0; i < 15010; ++i) lines += "w" + std::to_string(i) + "=v\n";
  Exceptions(lines);
  EXPECT_EQ(ExceptionCount(), kMaxExceptions);
  Word w{"abc", 1, false};
  ApplyExceptions(w);
  EXPECT_EQ(w.text, std::string(251, 'x'));
}

TEST_F(Translator, WholeTextToPhoneticString) {
  Rules("(A)=a|\n(S)=s|\n");
  Exceptions("");
  EXPECT_EQ(Translate("BRT"), "[ /_b][ /_r][ /_t]");
  EXPECT_EQ(Translate("asa, as"), "[A/s/a][ /_,][a/s]");
  EXPECT_EQ(Translate(""), "");
  EXPECT_EQ(Translate("\x9D"), "[ /_\x01]");
}

TEST_F(Translator, OverlongWordIsCutIntoWordsOfTheBuffersSize) {
  Rules("(A)=a|\n");
  std::string out = Translate(std::string(1000, 'a'));
  EXPECT_EQ(std::count(out.begin(), out.end(), '['), 4);
  EXPECT_EQ(std::count(out.begin(), out.end(), 'a') + std::count(out.begin(), out.end(), 'A'),
            1000);
}

}  // namespace
