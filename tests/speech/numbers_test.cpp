// Number words, the one-sound joining of their recordings, and times and
// dates said with them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "speech/sncrt.h"
#include "tests/speech/fakes.h"

using Events = std::vector<std::string>;

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
      {2000000,
       "dois milh\xF5"
       "es "},
      {1000001, "um milh\xE3o e um"},
      {1001000, "um milh\xE3o e um mil "},
      {3000000000000,
       "tr\xEAs trilh\xF5"
       "es "},
  };
  for (const auto& [n, words] : cases) EXPECT_EQ(NumberToWords(n), words) << n;
}

class SpokenNumbers : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    folder = MakeTestFolder();
  }
  std::string folder;
};

TEST_F(SpokenNumbers, OneSoundPerNumberFromShortenedFileNames) {
  SpeakWords(NumberToWords(17), false);
  SpeakWords(NumberToWords(16), false);
  SpeakWords(NumberToWords(2000000), false);
  SpeakWords(NumberToWords(21), true);
  SpeakWords("oito", false);  // no recording: nothing to play
  EXPECT_EQ(Fake.events, (Events{"image:[_dezeset]", "image:[_dezesse]", "image:[_dois][_milhoes]",
                                 "image:[_vinte][_e][_uma]"}));
}

TEST_F(SpokenNumbers, LongSoundsArePlayedInBufferSizedPartsWithNothingLost) {
  WriteWordFile(folder, "_quatro", std::string(70000, 'q'));
  SpeakWords("tres quatro cinco", false);
  EXPECT_EQ(Fake.events, (Events{"image:[_tres]", "image:30000 bytes", "image:30000 bytes",
                                 "image:10008 bytes"}));
}

TEST_F(SpokenNumbers, TimesUseFeminineHoursAndDatesSayTheWeekday) {
  SpeakTime(1, 1);
  SpeakTime(22, 0);
  Fake.clock[0] = 0;
  Fake.clock[1] = 30;
  SpeakCurrentTime();
  EXPECT_EQ(
      Fake.events,
      Join({{"image:[_uma]", "file:letras/_hora", "image:[_um]", "file:letras/_minuto"},
            {"image:[_vinte][_e][_duas]", "file:letras/_horas"},
            {"image:[_zero]", "file:letras/_hora", "image:[_trinta]", "file:letras/_minutos"}}));
  Fake.events.clear();
  SpeakDate(1, 2, 2026);
  Fake.clock[0] = 17;
  Fake.clock[1] = 9;
  Fake.clock[2] = 2000;
  SpeakCurrentDate();
  EXPECT_EQ(Fake.events,
            Join({{"file:letras/_Domingo", "file:letras/_primeir", "file:letras/_de",
                   "file:letras/_Feverei", "file:letras/_de", "image:[_dois][_mil]",
                   "file:letras/_e", "image:[_vinte][_e][_seis]"},
                  {"file:letras/_Domingo", "image:[_dezeset]", "file:letras/_de",
                   "file:letras/_Setembr", "file:letras/_de", "image:[_dois][_mil]"}}));
}

TEST(Weekdays, GregorianCalendar) {
  const int cases[][4] = {{1, 2, 2026, 0}, {8, 12, 2026, 2},  {29, 2, 2000, 2},
                          {1, 1, 1900, 1}, {31, 12, 1999, 5}, {1, 3, 2100, 1}};
  for (const auto& [d, m, y, weekday] : cases)
    EXPECT_EQ(WeekdayOf(d, m, y), weekday) << d << "/" << m << "/" << y;
}

}  // namespace
