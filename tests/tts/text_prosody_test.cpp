// Prosody: the prosody file and its faults, tokens and patterns, the
// diphone list and the MBROLA lines, on small files written by the tests.
#include <gtest/gtest.h>

#include "text_files.h"
#include "tts/mbrola_lines.h"
#include "tts/message_box.h"
#include "tts/phrasing.h"
#include "tts/prosody.h"

namespace {

using Lines = std::vector<std::string>;
using textfiles::W;

Lines& Shown() {
  static Lines shown;
  return shown;
}
void Capture(const std::string& text) { Shown().push_back(platform::Cp1252ToUtf8(text)); }

// Sections out of order, comments, blanks around names and values.
const char kProsody[] =
    "; prosódia do teste\n"
    "[PROSÓDIA]\n"
    "* padrões\n"
    "hertz = 200\n"
    "TABHERTZ= 0, 50 ,60,70,80,120,100,110,130,140,999\n"
    "--||XX = 333\n"
    "|XX|,, = 467\n"
    "XX|,,| = ?31\n"
    "|xx| = 467\n"
    "|..|=111\n"
    "[DURAÇÃO]\n"
    "\n"
    "a=100\n"
    "b = 80\n"
    "a=50\n"
    "sss=70\n"
    "_,=200\n"
    "__=300\n"
    "[CHAVES]\n"
    "o=ar\n"
    "de = prep\n"
    "Olá=XX\n";

class Prosody : public textfiles::FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    Shown().clear();
    SetMessageBoxScreen(Capture);
    ASSERT_TRUE(LoadProsody(Write("teste.pro", kProsody)));
  }
  void TearDown() override {
    SetMessageBoxScreen(nullptr);
    ClearProsody();
    FreeDiphoneList();
  }
};

TEST_F(Prosody, FileLoads) {
  const ProsodyTables& p = ::Prosody();
  EXPECT_EQ(p.baseHertz, 200);
  EXPECT_EQ(p.pitchLevels[0], 0);
  EXPECT_EQ(p.pitchLevels[5], 120);
  EXPECT_EQ(p.pitchLevels[9], 140);
  ASSERT_EQ(p.patterns.size(), 5u);
  EXPECT_EQ(p.patterns[0].previous, "--");
  EXPECT_EQ(p.patterns[0].current, "");
  EXPECT_EQ(p.patterns[0].next, "XX");
  EXPECT_EQ(p.patterns[3].current, "XX");  // upper-cased
  EXPECT_EQ(p.patterns[2].pattern, "?31");
  ASSERT_EQ(p.keys.size(), 3u);
  EXPECT_EQ(p.keys[0].key, "DE");
  EXPECT_EQ(p.keys[0].klass, "PR");
  EXPECT_EQ(PhonemeDuration("a"), 100);  // the first of two entries
  EXPECT_EQ(PhonemeDuration("b"), 80);
  EXPECT_EQ(PhonemeDuration("ss"), 70);  // names cut to two characters
  EXPECT_EQ(PhonemeDuration("x"), 100);
  EXPECT_EQ(ClassOfWord("o"), "AR");
  EXPECT_EQ(ClassOfWord(W("olá")), "XX");
  EXPECT_EQ(ClassOfWord("casa"), "");
  EXPECT_TRUE(Shown().empty());
  // The same file saved as UTF-8 reads the same.
  ASSERT_TRUE(LoadProsody(WriteAsIs("utf8.pro", kProsody)));
  EXPECT_EQ(::Prosody().patterns.size(), 5u);
  EXPECT_EQ(ClassOfWord(W("olá")), "XX");
}

// Each fault: its message, and whether the load fails.
TEST_F(Prosody, FaultsOfTheFile) {
  const std::string durations = "[DURAÇÃO]\na=100\n";
  const std::string keys = "[CHAVES]\no=AR\n";
  const std::string patterns = "[PROSÓDIA]\nHERTZ=200\n";
  const struct {
    std::string file;
    const char* message;
    bool loads;
  } cases[] = {
      {keys + patterns, "Duração dos difones errada ou ausente", false},
      {"[DURAÇÃO]\nb 80\n" + keys + patterns, "Configuração da prosódia: fonema errado: b 80", false},
      {"[DURAÇÃO]\nb=oito\n" + keys + patterns, "Configuração da prosódia: fonema errado: b=oito", true},
      {durations + patterns, "Prosódia: palavras chaves ausentes", false},
      {durations + "[CHAVES]\nsem igual\n" + patterns, "Configuração da prosódia: chave errada: sem igual", false},
      {durations + keys, "Prosódia: especificações ausentes", false},
      {durations + keys + "[PROSÓDIA]\n|XX| 555\n", "Configuração da prosódia: chave errada: |XX| 555", false},
      {durations + keys + "[PROSÓDIA]\nHERTZ=alto\n", "Configuração da prosódia: HERTZ deve ser", false},
      {durations + keys + "[PROSÓDIA]\nHERTZ=\n", "Configuração da prosódia: HERTZ deve ser", false},
      {durations + keys + "[PROSÓDIA]\nHERTZ=99999999999\n", "Configuração da prosódia: HERTZ deve ser", false},
      {durations + keys + "[PROSÓDIA]\nTABHERTZ=1,2,3\n", "Configuração da prosódia: TABHERTZ deve ter", false},
      {durations + keys + "[PROSÓDIA]\nTABHERTZ=1,2,3,4,5,6,7,8,9,\n", "Configuração da prosódia: TABHERTZ deve ter", false},
      {durations + keys + "[PROSÓDIA]\nTABHERTZ=1,2,3,4,x,6,7,8,9,10\n", "Configuração da prosódia: TABHERTZ deve ter", false},
      {durations + keys + "[PROSÓDIA]\n|XX|=55\n", "Configuração da prosódia: o padrão deve ter", false},
      {durations + keys + "[PROSÓDIA]\n|XX|=5?5\n", "Configuração da prosódia: o padrão deve ter", false},
      {"[DURAÇÃO] \n a=1\n[CHAVES]\n[PROSÓDIA]\n", "", true},  // empty sections are fine
  };
  for (const auto& c : cases) {
    Shown().clear();
    EXPECT_EQ(LoadProsody(Write("falha.pro", c.file)), c.loads) << c.file;
    if (*c.message == '\0') {
      EXPECT_TRUE(Shown().empty()) << c.file;
      continue;
    }
    ASSERT_EQ(Shown().size(), 1u) << c.file;
    EXPECT_EQ(Shown()[0].rfind(c.message, 0), 0u) << Shown()[0];
  }
  Shown().clear();
  EXPECT_FALSE(LoadProsody((dir_ / "nenhum.pro").string()));
  EXPECT_EQ(Shown(), (Lines{"Configuração da prosódia não foi achada"}));
  EXPECT_TRUE(LoadProsody(Write("oito.pro", "[DURAÇÃO]\nb=oito\n[CHAVES]\n[PROSÓDIA]\n")));
  EXPECT_EQ(PhonemeDuration("b"), 100);
}

// Past the tables' sizes the rest of each section is ignored.
TEST_F(Prosody, TablesBeyondTheirSizes) {
  std::string file = "[DURAÇÃO]\n";
  for (int i = 0; i < 120; ++i) file += "d" + std::to_string(i % 10) + "=" + std::to_string(i) + "\n";
  file += "[CHAVES]\n";
  for (int i = 0; i < 1100; ++i) file += "k" + std::to_string(i) + "=AA\n";
  file += "[PROSÓDIA]\n";
  for (int i = 0; i < 350; ++i) file += "|C" + std::to_string(i % 100) + "|=123\n";
  ASSERT_TRUE(LoadProsody(Write("grande.pro", file)));
  EXPECT_EQ(::Prosody().durations.size(), kMaxDurations);
  EXPECT_EQ(::Prosody().keys.size(), kMaxClassKeys);
  EXPECT_EQ(::Prosody().patterns.size(), kMaxPatterns);
  EXPECT_EQ(ClassOfWord("k999"), "AA");
  EXPECT_EQ(ClassOfWord("k1000"), "");
}

TEST_F(Prosody, Tokenize) {
  const struct {
    const char* text;
    Lines tokens;
  } cases[] = {
      {"Olá, mundo.", {"[--]", "[XX]Olá", "[,,],", "[XX]mundo", "[..].", "[--]"}},
      {"o de", {"[--]", "[AR]o", "[PR]de"}},
      {"Isto... e", {"[--]", "[XX]Isto", "[.-].", "[--]", "[XX]e"}},
      {"Sim! Não?", {"[--]", "[XX]Sim", "[!!]!", "[--]", "[XX]Não", "[??]?", "[--]"}},
      {"  (a)  ", {"[--]", "[((](", "[XX]a", "[))])"}},
      {"", {"[--]"}},
      {"1.5", {"[--]", "[11]1", "[..].", "[--]", "[55]5"}},
  };
  for (const auto& c : cases) {
    Lines expected;
    for (const std::string& t : c.tokens) expected.push_back(W(t));
    EXPECT_EQ(Tokenize(W(c.text)), expected) << c.text;
  }
  size_t pos = 0;
  std::string token;
  bool sign = true;
  NextToken("  ", pos, token, sign);
  EXPECT_EQ(token, "");
  EXPECT_FALSE(sign);
}

TEST_F(Prosody, AssignPatterns) {
  // Not using the patterns, or with none loaded, every token takes 555.
  const Lines tokens = Tokenize(W("Olá, mundo."));
  const Lines flat = {"555|", W("555|Olá"), "555|,", "555|mundo", "555|.", "555|"};
  EXPECT_EQ(AssignPatterns(tokens, true), (Lines{"555|", W("467|Olá"), "731|,", "467|mundo", "111|.", "555|"}));
  EXPECT_EQ(AssignPatterns(tokens, false), flat);
  ClearProsody();
  EXPECT_EQ(AssignPatterns(tokens, true), flat);
}

TEST_F(Prosody, DiphoneList) {
  std::string list =
      "; lista\n"
      "! comentário\n"
      "* outro\n"
      "\n"
      "a b comentário\n"
      "  r2-_  \n"
      "A\tY\n"
      "ee;;oo\n"
      "s2 @\n";
  ASSERT_TRUE(LoadDiphoneList(Write("teste.dfn", list)));
  EXPECT_EQ(DiphoneListCount(), 5u);
  EXPECT_TRUE(HasDiphone("a", "b"));
  EXPECT_FALSE(HasDiphone("b", "a"));
  EXPECT_TRUE(HasDiphone("r2", "_"));
  EXPECT_TRUE(HasDiphone("a", "y"));  // case ignored
  EXPECT_TRUE(HasDiphone("EE", "oo"));
  EXPECT_TRUE(HasDiphone("s2", "@"));
  EXPECT_FALSE(LoadDiphoneList((dir_ / "nenhum.dfn").string()));
  EXPECT_EQ(DiphoneListCount(), 0u);
}

class MbrolaLines : public Prosody {
 protected:
  void SetUp() override {
    Prosody::SetUp();
    ASSERT_TRUE(LoadDiphoneList(Write("teste.dfn", "_ a\n_ b\na _\nb _\nb a\na b\na a\na y\nr2 _\n_ _\n")));
  }
  static Lines Build(const Lines& phonemes, double pitch = 1.0, double duration = 1.0) {
    return BuildMbrolaLines(phonemes, pitch, duration);
  }
  // Rows of phonemes and the lines they make.
  using Cases = std::vector<std::pair<Lines, Lines>>;
  static void Check(const Cases& cases) {
    for (const auto& [phonemes, lines] : cases) EXPECT_EQ(Build(phonemes), lines) << ::testing::PrintToString(phonemes);
  }
};

// Pattern 567 (levels 120, 100, 110 of HERTZ=200): the first phoneme at
// 50 %, the stressed one at 80 %, the last one after the stress at 50 %.
// A silence is a phoneme too: the boundary's takes the targets of its
// pattern 555 (level 120).
TEST_F(MbrolaLines, PitchTargetsAndDurations) {
  Lines phonemes = {";555|", "__", "", ";567|baba", "b", "a", ">b", "a", "", "__"};
  EXPECT_EQ(Build(phonemes),
            (Lines{";", "_ 300 50 240", "", ";baba", "b 80 50 240", "a 100", "b 116 80 200",
                   "a 145 50 220", "", "_ 300 50 220"}));
  EXPECT_EQ(Build(phonemes, 0.5, 0.8),
            (Lines{";", "_ 240 50 120", "", ";baba", "b 64 50 120", "a 80", "b 92 80 100",
                   "a 116 50 110", "", "_ 240 50 110"}));
}

TEST_F(MbrolaLines, Durations) {
  // No pitch levels in this file: only durations show.
  ASSERT_TRUE(LoadProsody(Write("d.pro", "[DURAÇÃO]\na=100\nb=80\n_,=200\n__=300\n[CHAVES]\n[PROSÓDIA]\n")));
  Check({
      // before the stress, long words are said faster: 13 letters 80 %, 9 letters 90 %
      {{";555|abcdefghijklm", "a", ">a", ""}, {";abcdefghijklm", "a 80", "a 145", ""}},
      {{";555|abcdefghi", "a", ">a", ""}, {";abcdefghi", "a 90", "a 145", ""}},
      {{";555|abcdefgh", "a", ">a", ""}, {";abcdefgh", "a 100", "a 145", ""}},
      // silences: bare, with their own length, from the table
      {{"_", "_ 250", "_,", "__"}, {"_ 100", "_ 250", "_ 200", "_ 300"}},
      // the stressed factor holds to the end of the word, a "¨" resets it
      {{">a", "b", "\xA8" "a", "b", "", "a"}, {"a 145", "b 116", "a 100", "b 80", "", "a 100"}},
      {{">\xA8" "a"}, {"a 145"}},
      {{}, {}},
  });
}

// A missing diphone gets a short filler: "y" when the voice can glide
// through it, a silence otherwise or after r2.
TEST_F(MbrolaLines, Fillers) {
  ASSERT_TRUE(LoadProsody(Write("d.pro", "[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n")));
  ASSERT_TRUE(LoadDiphoneList(Write("f.dfn", "_ a\n_ b\na _\nb _\nb a\na y\nr2 _\n_ _\n")));
  Check({
      {{"a", "b"}, {"a 100", "y 50", "b 100"}},
      {{"b", "a", "b"}, {"b 100", "a 100", "y 50", "b 100"}},
      {{"b", "x"}, {"b 100", "_ 50", "x 100"}},
      {{"r2", "b"}, {"_ 50", "r2 100", "_ 50", "b 100"}},
      {{"a", "", ";555|b", "b"}, {"a 100", "", ";b", "y 50", "b 100"}},  // across words, past the comment
      {{"_", "_"}, {"_ 100", "_ 100"}},
  });
  FreeDiphoneList();
  EXPECT_EQ(Build({"r2", "b"}), (Lines{"r2 100", "b 100"}));  // no list: nothing known missing
}

}  // namespace
