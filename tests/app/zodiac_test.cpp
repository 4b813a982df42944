#include "app/zodiac.h"

#include <gtest/gtest.h>

namespace {

std::string SignOf(uint16_t day, uint16_t month) {
  ZodiacProfile p;
  ComputeZodiacProfile(day, month, p);
  return p[0];
}

TEST(Zodiac, SignBoundaries) {
  struct Case {
    uint16_t day, month;
    const char* sign;
  } cases[] = {
      {21, 1, "Aqu\xE1rio"},      {19, 2, "Aqu\xE1rio"},       {20, 2, "Peixes"},
      {20, 3, "Peixes"},          {21, 3, "Aries"},            {20, 1, "Capric\xF3rnio"},
      {22, 12, "Capric\xF3rnio"}, {21, 12, "Sagit\xE1rio"},    {22, 7, "Le\xE3o"},
      {21, 7, "C\xE2ncer"},       {22, 8, "Le\xE3o"},          {23, 8, "Virgem"},
      {22, 11, "Escorpi\xE3o"},   {23, 11, "Sagit\xE1rio"},    {21, 11, "Escorpi\xE3o"},
      {24, 11, "Sagit\xE1rio"},   {45, 1, "Aqu\xE1rio"},       {0, 2, "Aqu\xE1rio"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SignOf(c.day, c.month), c.sign) << c.day << "/" << c.month;
}

TEST(Zodiac, EveryCalendarDayHasASign) {
  for (uint16_t month = 1; month <= 12; ++month)
    for (uint16_t day = 1; day <= 31; ++day)
      EXPECT_FALSE(SignOf(day, month).empty()) << day << "/" << month;
}

TEST(Zodiac, WholeProfileOfOneSign) {
  ZodiacProfile p;
  ComputeZodiacProfile(15, 3, p);
  const ZodiacProfile expected = {
      "Peixes", "Netuno", "Asariel", "azul", "estanho", "ametista", "s\xE2ndalo ou l\xEDrio",
      "quinta", "justi\xE7" "a", "gula", "supra consci\xEAncia", "arrojado", "sentimental",
      "sens\xEDvel melanc\xF3lico", "aqu\xE1tica", "7", "Eu creio"};
  EXPECT_EQ(p, expected);
  for (int i = 0; i < ProfileItemCount; ++i) EXPECT_NE(std::string(ProfileLabel(i)), "");
  EXPECT_STREQ(ProfileLabel(0), "Seu signo: ");
  EXPECT_STREQ(ProfileLabel(ProfileItemCount - 1), "Deve repetir sempre: ");
}

TEST(Zodiac, MonthOutsideTheYearLeavesTheProfileAlone) {
  ZodiacProfile p;
  ComputeZodiacProfile(1, 13, p);
  for (const auto& s : p) EXPECT_TRUE(s.empty());
  ZodiacProfile kept;
  ComputeZodiacProfile(1, 5, kept);
  ZodiacProfile before = kept;
  ComputeZodiacProfile(10, 0, kept);
  EXPECT_EQ(kept, before);
}

}  // namespace
