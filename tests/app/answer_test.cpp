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
      {"31/2/2000", 31, 2, 2000},
      {"$1F/0x3/1990", 31, 3, 1990},
      {"0X0a/$a/$7C6", 10, 10, 1990},
      {"+5/-1/1990", 5, 65535, 1990},
      {"1/1/-1", 1, 1, 65535},
      {"0/13/1800", 0, 13, 1800},
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

TEST(IntegerField, RangeLimits) {
  int32_t v = 0;
  EXPECT_TRUE(ParseIntegerField("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  EXPECT_FALSE(ParseIntegerField("2147483648", v));
  EXPECT_TRUE(ParseIntegerField("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(ParseIntegerField("$100000000", v));
  EXPECT_TRUE(ParseIntegerField("-0x10", v));
  EXPECT_EQ(v, -16);
}

}  // namespace
