// Text normalisation: numbers, ordinals, signs, abbreviations and dates in
// a golden file, and the edges of the readers and of the abbreviations file.
#include <gtest/gtest.h>

#include "text_files.h"
#include "text_golden.h"
#include "tts/normalize.h"

namespace {

std::string W(const std::string& utf8) { return platform::Utf8ToCp1252(utf8); }
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

class Normalize : public ::testing::Test {
 protected:
  void SetUp() override {
    auto dir = textfiles::FreshDir();
    ASSERT_TRUE(LoadAbbreviations(testfiles::Write(dir / "teste.abr", kAbbreviations)));
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
  const struct {
    int64_t n;
    const char* words;
  } cases[] = {
      {0, "zero"},
      {1, "um"},
      {16, "dezesseis"},
      {21, "vinte e um"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {200, "duzentos"},
      {999, "novecentos e noventa e nove"},
      {1000, "mil"},
      {1001, "mil e um"},
      {1021, "mil e vinte e um"},
      {1100, "mil e cem"},
      {1200, "mil e duzentos"},
      {1250, "mil duzentos e cinqüenta"},
      {1999, "mil novecentos e noventa e nove"},
      {2000, "dois mil"},
      {2020, "dois mil e vinte"},
      {2024, "dois mil e vinte e quatro"},
      {21000, "vinte e um mil"},
      {100000, "cem mil"},
      {101000, "cento e um mil"},
      {1000000, "um milhão"},
      {1000001, "um milhão e um"},
      {1001000, "um milhão e mil"},
      {1500000, "um milhão e quinhentos mil"},
      {1250000, "um milhão duzentos e cinqüenta mil"},
      {2000000, "dois milhões"},
      {2000300, "dois milhões e trezentos"},
      {3456789, "três milhões quatrocentos e cinqüenta e seis mil setecentos e oitenta e nove"},
      {1000000000, "um bilhão"},
      {1000000000000, "um trilhão"},
      {999999999999999,
       "novecentos e noventa e nove trilhões novecentos e noventa e nove bilhões novecentos e "
       "noventa e nove milhões novecentos e noventa e nove mil novecentos e noventa e nove"},
      {1000000000000000, "um zero zero zero zero zero zero zero zero zero zero zero zero zero zero zero"},
      {-5, "menos cinco"},
  };
  for (const auto& c : cases) EXPECT_EQ(U(CardinalWords(c.n)), c.words) << c.n;
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

// ReadNumber stops where the number ends; further digits start a new one.
TEST_F(Normalize, ReadNumberPositions) {
  const struct {
    const char* text;
    size_t start, end;
    const char* words;
  } cases[] = {
      {"12 x", 0, 2, "doze"},
      {"1.000.000", 0, 9, "um milhão"},
      {"3.5", 0, 1, "três"},
      {"1.0000", 0, 1, "um"},
      {"2ª vez", 0, 2, "segunda"},
      {"4as.", 0, 4, "quartas"},
      {"3o.", 0, 3, "terceiro"},
      {"555-12", 0, 6, " cinco cinco cinco traço um dois"},
      {"1234567890123456", 0, 15, "cento e vinte e três trilhões quatrocentos e cinqüenta e seis "
                                  "bilhões setecentos e oitenta e nove milhões "
                                  "doze mil trezentos e quarenta e cinco"},
      {"007", 0, 3, "zero zero sete"},
      {"x 42", 2, 4, "quarenta e dois"},
  };
  for (const auto& c : cases) {
    size_t pos = c.start;
    EXPECT_EQ(U(ReadNumber(W(c.text), pos)), c.words) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

TEST_F(Normalize, ReadWordAndCharNames) {
  size_t pos = 0;
  EXPECT_EQ(U(ReadWord(W("guarda-chuva!"), pos)), "guarda-chuva");
  EXPECT_EQ(pos, 12u);
  pos = 0;
  EXPECT_EQ(U(ReadWord(W("fim- x"), pos)), "fim");  // a trailing hyphen is no part of it
  EXPECT_EQ(pos, 3u);
  pos = 0;
  EXPECT_EQ(U(ReadWord(W("CPF"), pos)), " sêpêéfe");
  pos = 0;
  EXPECT_EQ(U(ReadWord(W("Sr. X"), pos)), "Sr");  // known: kept for the expansion
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
  auto dir = textfiles::FreshDir();
  ASSERT_TRUE(LoadAbbreviations(testfiles::Write(dir / "muitas.abr", text)));
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
  auto dir = textfiles::FreshDir();
  std::string path = testfiles::Write(dir / "teste.nrm", text);
  ASSERT_TRUE(LoadReadingTables(path));
  EXPECT_EQ(U(SpokenWords("10 km")), "dez quilômetros");
  EXPECT_EQ(SpokenWords("10 kg"), plainKg);  // a section this reader does not know
  EXPECT_EQ(U(SpokenWords("a = b <= c")), "a igual a bê menor ou igual a sê");
  EXPECT_EQ(SpokenWords("2 u497"), "dois x497");  // 1 km, 497 more: the 499th and 500th entries
  EXPECT_EQ(SpokenWords("2 u498"), "dois x498");
  EXPECT_NE(SpokenWords("2 u499"), "dois x499");  // past the bound
  EXPECT_NE(SpokenWords("2 a23456789012345678901234567890123"), "dois longas");
  EXPECT_FALSE(LoadReadingTables((dir / "nenhum.nrm").string()));
  EXPECT_EQ(U(SpokenWords("10 km")), "dez cáême");
  EXPECT_EQ(ReadingTablesBeside("/a/b/portug.abr"), "/a/b/portug.nrm");
  EXPECT_EQ(ReadingTablesBeside("c:\\toada.d\\portug"), "c:\\toada.d\\portug.nrm");
}

}  // namespace
