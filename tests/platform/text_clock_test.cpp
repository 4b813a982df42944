// Windows-1252 inside, UTF-8 at the edges; the clock tests can fix.
#include <gtest/gtest.h>

#include <string>

#include "platform/os/clock.h"
#include "platform/os/text.h"

namespace platform {
namespace {

TEST(Text, EveryWindows1252ByteRoundTrips) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::string utf8 = Cp1252ToUtf8(all);
  EXPECT_TRUE(IsValidUtf8(utf8));
  EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Text, HighBlockUsesTheWindowsMarks) {
  EXPECT_EQ(Cp1252CharToUtf8(0x80), "\xE2\x82\xAC");  // euro
  EXPECT_EQ(Cp1252CharToUtf8(0xE7), "\xC3\xA7");      // c cedilla
  EXPECT_EQ(Cp1252CharToUtf8(0x81), "\xC2\x81");      // unassigned
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x94"), "\x97");    // em dash
}

TEST(Text, ForeignAndBrokenInputBecomesQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");    // CJK
  EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");                 // cut short
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");              // overlong
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");         // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
}

TEST(Text, CaseFoldingCoversPortugueseLetters) {
  EXPECT_TRUE(EqualsNoCase("A\xC7\xC3O", "a\xE7\xE3o"));
  EXPECT_FALSE(EqualsNoCase("\xD7", "\xF7"));  // multiplication and division signs
}

TEST(Text, RuntimeIntegerConversion) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {
      {"15", true, 15},           {"  -12", true, -12},       {"+7", true, 7},
      {"$E", true, 14},           {"0x1f", true, 31},         {"0X1F", true, 31},
      {"-0x10", true, -16},       {"$FFFFFFFF", true, -1},    {"-2147483648", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"", false, 0},             {" ", false, 0},            {"-", false, 0},
      {"4 ", false, 0},           {"1a", false, 0},           {"$", false, 0},
      {"0x", false, 0},           {"$1G", false, 0},          {"\t5", false, 0},
      {"2147483648", false, 0},   {"$100000000", false, 0},   {"99999999999", false, 0},
      {"1.5", false, 0},
  };
  for (const Case& c : cases) {
    int32_t v = 0;
    EXPECT_EQ(platform::ParseInteger(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(Clock, FixedTimeAndBack) {
  LocalTime fixed{2001, 2, 3, 6, 4, 5, 6, 789};
  SetFixedTime(&fixed);
  EXPECT_EQ(Now().millisecond, 789);
  SetFixedTime(nullptr);
  EXPECT_GE(Now().year, 2020);
}

}  // namespace
}  // namespace platform
