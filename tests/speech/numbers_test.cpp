// Number words, the one-sound joining of their recordings, and times and
// dates said with them.
#include <gtest/gtest.h>

#include "speech/sncrt.h"
#include "platform/os/clock.h"
#include "tests/speech/world.h"

namespace speech_test {
namespace {

TEST(NumberWords, WholeNumbers) {
  const std::pair<int64_t, std::string> cases[] = {
      {0, "zero"},
      {7, "sete"},
      {16, "dezesseis"},
      {17, "dezessete"},
      {100, "cem"},
      {101, "cento e um"},
      {110, "cento e dez"},
      {205, "duzentos e cinco"},
      {1000, "mil "},
      {1100, "mil e cem"},
      {1200, "mil e duzentos"},
      {1234, "mil e duzentos e trinta e quatro"},
      {21000, "vinte e um mil "},
      {2000000, "dois milh\xF5" "es "},
      {1000001, "um milh\xE3o e um"},
      {1001000, "um milh\xE3o e um mil "},
      {3000000000000, "tr\xEAs trilh\xF5" "es "},
  };
  for (const auto& [n, words] : cases) EXPECT_EQ(NumberToWords(n), words) << n;
}

class SpokenNumbers : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
};

TEST_F(SpokenNumbers, OneSoundPerNumberFromShortenedFileNames) {
  SpeakWords(NumberToWords(17), false);
  SpeakWords(NumberToWords(16), false);
  SpeakWords(NumberToWords(2000000), false);
  SpeakWords(NumberToWords(21), true);
  SpeakWords("oito", false);  // no recording: nothing to play
  EXPECT_EQ(TakeHeard(), (Heard{"_dezeset", "_dezesse", "[_dois][_milhoes]", "[_vinte][_e][_uma]"}));
}

TEST_F(SpokenNumbers, LongSoundsArePlayedInBufferSizedPartsWithNothingLost) {
  Record("_quatro", std::string(70000, 'q'));
  SpeakWords("tres quatro cinco", false);
  EXPECT_EQ(TakeHeard(), (Heard{"_tres", "30000 bytes", "30000 bytes", "10010 bytes"}));
}

TEST_F(SpokenNumbers, TimesUseFeminineHoursAndDatesSayTheWeekday) {
  SpeakTime(1, 1);
  SpeakTime(22, 0);
  platform::LocalTime now{2000, 9, 17, 0, 0, 30, 0, 0};
  platform::SetFixedTime(&now);
  SpeakCurrentTime();
  EXPECT_EQ(TakeHeard(), (Heard{"_uma", "_hora", "_um", "_minuto", "[_vinte][_e][_duas]",
                                "_horas", "_zero", "_hora", "_trinta", "_minutos"}));
  SpeakDate(1, 2, 2026);
  SpeakCurrentDate();
  platform::SetFixedTime(nullptr);
  EXPECT_EQ(TakeHeard(), (Heard{"_Domingo", "_primeir", "_de", "_Feverei", "_de", "[_dois][_mil]",
                                "_e", "[_vinte][_e][_seis]", "_Domingo", "_dezeset", "_de",
                                "_Setembr", "_de", "[_dois][_mil]"}));
}

TEST(Weekdays, GregorianCalendar) {
  const int cases[][4] = {{1, 2, 2026, 0}, {8, 12, 2026, 2},  {29, 2, 2000, 2},
                          {1, 1, 1900, 1}, {31, 12, 1999, 5}, {1, 3, 2100, 1}};
  for (const auto& [d, m, y, weekday] : cases)
    EXPECT_EQ(WeekdayOf(d, m, y), weekday) << d << "/" << m << "/" << y;
}

}  // namespace
}  // namespace speech_test
