#include "app/answer.h"

#include <gtest/gtest.h>

namespace {

struct Accepted {
  const char* answer;
  uint16_t day, month, year;
};

TEST(BirthAnswer, AcceptedAnswers) {
  const Accepted cases[] = {
      {"15/3/1990", 15, 3, 1990},
      {" 7/ 9/2001", 7, 9, 2001},
      {"29/2/2000", 29, 2, 2000},
      {"29/2/1804", 29, 2, 1804},
      {"31/12/1800", 31, 12, 1800},
      {"30/4/1990", 30, 4, 1990},
      {"$1F/0x3/1990", 31, 3, 1990},
      {"0X0a/$a/$7C6", 10, 10, 1990},
      {"+5/+1/1990", 5, 1, 1990},
      {"1/1/-1", 1, 1, 65535},
      {"28/$2/1900", 28, 2, 1900},
      {"65551/1/67336", 15, 1, 1800},  // kept modulo 65536
      {"   1/1/  2000", 1, 1, 2000},
  };
  for (const auto& c : cases) {
    BirthDate d;
    ASSERT_TRUE(ParseBirthAnswer(c.answer, d)) << c.answer;
    EXPECT_EQ(d.day, c.day) << c.answer;
    EXPECT_EQ(d.month, c.month) << c.answer;
    EXPECT_EQ(d.year, c.year) << c.answer;
  }
}

TEST(BirthAnswer, RejectedAnswersLeaveTheDateAlone) {
  const char* cases[] = {
      "15-3-1990", "15/3", "a/3/1990", "15/3/1799", "7/9/2001 ", "15/3/1990/", "/3/1990",
      "15//1990", "15/3/", "15 /3/1990", "1 5/3/1990", "$/3/1990", "0x/3/1990", "-/3/1990",
      "$1G/3/1990", "15/3/19.90", "15/3/2147483648", "15/3/99999999999999999999",
      "15/3/65536",  // 0 after the reduction
      "\t15/3/1990", " ", "/", "//",
      // days that never were
      "31/2/2000", "30/2/2000", "29/2/2001", "29/2/1900", "29/2/2100", "31/4/1990", "31/6/1990",
      "31/9/1990", "31/11/1990", "32/1/1990", "0/1/1990", "5/0/1990", "0/13/1800", "1/13/1990",
      "+5/-1/1990", "-1/1/1990", "65568/1/1990",  // day 32 after the reduction
  };
  for (const char* answer : cases) {
    BirthDate d{1, 2, 3};
    EXPECT_FALSE(ParseBirthAnswer(answer, d)) << answer;
    EXPECT_EQ(d.day, 1);
    EXPECT_EQ(d.year, 3);
  }
}

TEST(BirthAnswer, LongAnswersAreHandled) {
  BirthDate d;
  std::string longAnswer(MaxAnswerLength, '9');
  EXPECT_FALSE(ParseBirthAnswer(longAnswer, d));
  std::string padded = std::string(MaxAnswerLength - 9, ' ') + "15/3/1990";
  EXPECT_TRUE(ParseBirthAnswer(padded, d));
  EXPECT_EQ(d.year, 1990);
  EXPECT_FALSE(ParseBirthAnswer("15/3/" + std::string(MaxAnswerLength - 5, '0') + "x", d));
}

}  // namespace
