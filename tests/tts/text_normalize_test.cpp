// Text normalisation: numbers, ordinals, signs, abbreviations and dates in
// a golden file, and the edges of the readers and of the abbreviations file.
#include <gtest/gtest.h>

#include "text_files.h"
#include "text_golden.h"
#include "tts/normalize.h"

namespace {

using textfiles::W;
std::string U(const std::string& cp1252) { return platform::Cp1252ToUtf8(cp1252); }

// The abbreviations of the golden texts (the engine's own file may hold
// more; these keep the test independent of it).
const char kAbbreviations[] =
    "; abreviaturas do teste\n"
    "sr = senhor\n"
    "SRA=senhora\n"
    "Dr=doutor\n"
    "dra=doutora\n"
    "av=avenida\n"
    "etc=et cétera\n"
    "pág=página\n"
    "tel=telefone\n"
    "prof=professor\n"
    "p.ex=por exemplo\n"
    "sem igual\n"
    "   \n"
    "R=rua\n";

class Normalize : public textfiles::FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    ASSERT_TRUE(LoadAbbreviations(WriteAsIs("teste.abr", kAbbreviations)));
  }
  void TearDown() override {
    ClearAbbreviations();
    ClearReadingTables();
  }
};

TEST_F(Normalize, GoldenTexts) {
  golden::Check("prepare_text.txt", 100, [](const std::string& t) { return PrepareText(t); });
}

// The joining "e" as Brazilians say numbers: before the last group when it
// is below a hundred or whole hundreds, never after a group that has its
// own "e".
TEST_F(Normalize, CardinalWords) {
  golden::Check("cardinal_words.txt", 35, [](const std::string& n) { return CardinalWords(std::stoll(n)); });
}

TEST_F(Normalize, OrdinalWords) {
  const struct {
    char gender;
    int64_t n;
    const char* words;
  } cases[] = {
      {'m', 0, "zero"},          {'m', 1, "primeiro"},
      {'f', 2, "segunda"},       {'f', 21, "vigésima primeira"},
      {'m', 100, "centésimo"},   {'m', 1000, "milésimo"},
      {'m', 1999, "milésimo nongentésimo nonagésimo nono"},
      {'f', 1010, "milésima décima"},
      {'m', 2000, "dois mil"},
  };
  for (const auto& c : cases) EXPECT_EQ(U(OrdinalWords(c.gender, c.n)), c.words) << c.n;
}

// Each reader stops where its piece ends: further digits start a new
// number, a trailing hyphen is no part of a word, a known abbreviation is
// kept for the expansion, an acronym is spelt.
TEST_F(Normalize, ReadersStopWhereTheirPieceEnds) {
  const struct {
    std::string (*read)(const std::string&, size_t&);
    const char* text;
    size_t start, end;
    const char* words;
  } cases[] = {
      {ReadNumber, "12 x", 0, 2, "doze"},
      {ReadNumber, "1.000.000", 0, 9, "um milhão"},
      {ReadNumber, "3.5", 0, 1, "três"},
      {ReadNumber, "1.0000", 0, 1, "um"},
      {ReadNumber, "2ª vez", 0, 2, "segunda"},
      {ReadNumber, "4as.", 0, 4, "quartas"},
      {ReadNumber, "3o.", 0, 3, "terceiro"},
      {ReadNumber, "555-12", 0, 6, " cinco cinco cinco traço um dois"},
      {ReadNumber, "1234567890123456", 0, 15,
       "cento e vinte e três trilhões quatrocentos e cinqüenta e seis bilhões setecentos e oitenta e nove "
       "milhões doze mil trezentos e quarenta e cinco"},
      {ReadNumber, "007", 0, 3, "zero zero sete"},
      {ReadNumber, "x 42", 2, 4, "quarenta e dois"},
      {ReadWord, "guarda-chuva!", 0, 12, "guarda-chuva"},
      {ReadWord, "fim- x", 0, 3, "fim"},
      {ReadWord, "CPF", 0, 3, " sêpêéfe"},
      {ReadWord, "Sr. X", 0, 2, "Sr"},
  };
  for (const auto& c : cases) {
    size_t pos = c.start;
    EXPECT_EQ(U(c.read(W(c.text), pos)), c.words) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

TEST_F(Normalize, CharNames) {
  const struct {
    unsigned char c;
    const char* name;
  } names[] = {{' ', "espaço"}, {'#', "sustenido"}, {'7', "séte"}, {'@', "arrôba"},
               {'C', " sê"},    {'j', "jota"},      {'J', "jóta"}, {'n', "ene"},
               {'~', "til"},    {0xA7, "parágrafo"}, {0xBF, "interrogação reversa"},
               {0xC0, "A grave"}, {0xD7, "vezes"},  {0xE1, "A agudo"}, {0xE0, "A grave"},
               {0xFC, "U com trema"}, {0xFD, ""},   {0x80, ""},    {0x7F, ""}, {9, ""}};
  for (const auto& n : names) EXPECT_EQ(U(CharName(n.c)), n.name) << int(n.c);
}

// Line ends and tabs (which the golden file cannot hold) vanish.
TEST_F(Normalize, ControlCharacters) {
  EXPECT_EQ(PrepareText("a\te\r\no"), "aeo");
  EXPECT_EQ(PrepareText("\t"), "");
  EXPECT_EQ(U(PrepareText("a\x01" "e")), "a  e");  // a character without a name
}

TEST_F(Normalize, AbbreviationsFile) {
  EXPECT_EQ(AbbreviationCount(), 12u);  // the line without "=" counts, the blank one does not
  EXPECT_EQ(U(FindAbbreviation("sr")), "senhor");
  EXPECT_EQ(U(FindAbbreviation(W("PÁG"))), "página");
  EXPECT_EQ(FindAbbreviation("sem igual"), "");
  EXPECT_EQ(FindAbbreviation(""), "");
  EXPECT_FALSE(LoadAbbreviations("/nonexistent/toada.abr"));
  EXPECT_EQ(AbbreviationCount(), 0u);
}

// Past 2000 entries the rest of the file is ignored; the first of two
// equal keys wins.
TEST_F(Normalize, AbbreviationsBeyondTheTable) {
  std::string text = "AA=primeiro\nAA=segundo\n";
  for (int i = 0; i < 2100; ++i) text += "K" + std::to_string(i) + "=x" + std::to_string(i) + "\n";
  ASSERT_TRUE(LoadAbbreviations(WriteAsIs("muitas.abr", text)));
  EXPECT_EQ(AbbreviationCount(), kMaxAbbreviations);
  EXPECT_EQ(FindAbbreviation("aa"), "primeiro");
  EXPECT_EQ(FindAbbreviation("K1997"), "x1997");
  EXPECT_EQ(FindAbbreviation("K1998"), "");
}

// The tables of everyday forms: sections, keys that are signs, unknown
// sections skipped, bounds, and the plain reading without the file.
TEST_F(Normalize, ReadingTablesFile) {
  std::string plainKg = SpokenWords("10 kg");
  std::string text =
      "; tabelas do teste\n"
      "[unidades]\n"
      "km = quil\xC3\xB4metro | quil\xC3\xB4metros | m\n"
      "sem igual\n"
      "[OUTRA]\n"
      "kg=quilo|quilos|m\n"
      "[SINAIS]\n"
      "==igual a\n"
      "<==menor ou igual a\n"
      "[UNIDADES]\n"
      "a23456789012345678901234567890123=longa demais|longas|m\n";
  for (int i = 0; i < 600; ++i) text += "u" + std::to_string(i) + "=x|x" + std::to_string(i) + "|m\n";
  ASSERT_TRUE(LoadReadingTables(WriteAsIs("teste.nrm", text)));
  EXPECT_EQ(U(SpokenWords("10 km")), "dez quilômetros");
  EXPECT_EQ(SpokenWords("10 kg"), plainKg);  // a section this reader does not know
  EXPECT_EQ(U(SpokenWords("a = b <= c")), "a igual a bê menor ou igual a sê");
  EXPECT_EQ(SpokenWords("2 u497"), "dois x497");  // 1 km, 497 more: the 499th and 500th entries
  EXPECT_EQ(SpokenWords("2 u498"), "dois x498");
  EXPECT_NE(SpokenWords("2 u499"), "dois x499");  // past the bound
  EXPECT_NE(SpokenWords("2 a23456789012345678901234567890123"), "dois longas");
  EXPECT_FALSE(LoadReadingTables((dir_ / "nenhum.nrm").string()));
  EXPECT_EQ(U(SpokenWords("10 km")), "dez cáême");
  EXPECT_EQ(ReadingTablesBeside("/a/b/portug.abr"), "/a/b/portug.nrm");
  EXPECT_EQ(ReadingTablesBeside("c:\\toada.d\\portug"), "c:\\toada.d\\portug.nrm");
}

}  // namespace
