#include "app/birthdate.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

namespace cr = std::chrono;

int CalendarDays(int d, int m, int y) {
  return cr::sys_days(cr::year(y) / cr::month(m) / cr::day(d)).time_since_epoch().count();
}

// Between March 1900 and February 2100 the day numbering agrees with the
// real calendar, so differences must match it day for day.
TEST(DayNumber, AgreesWithTheCalendarBetween1900And2100) {
  const int dates[][3] = {{1, 3, 1900}, {28, 2, 1901}, {31, 12, 1999}, {1, 1, 2000},
                          {29, 2, 2000}, {1, 3, 2000}, {15, 3, 1990}, {10, 5, 2026},
                          {31, 12, 2099}, {28, 2, 2100}};
  for (auto& a : dates)
    for (auto& b : dates)
      EXPECT_EQ(DayNumber(a[0], a[1], a[2]) - DayNumber(b[0], b[1], b[2]),
                CalendarDays(a[0], a[1], a[2]) - CalendarDays(b[0], b[1], b[2]))
          << a[0] << "/" << a[1] << "/" << a[2] << " vs " << b[0] << "/" << b[1] << "/" << b[2];
}

TEST(DayNumber, StartsAt1800AndKnowsNoCenturyRule) {
  EXPECT_EQ(DayNumber(1, 1, 1800), 1);
  EXPECT_EQ(DayNumber(1, 3, 1800) - DayNumber(28, 2, 1800), 2);  // leap day within 1800
  EXPECT_EQ(DayNumber(1, 3, 1900) - DayNumber(28, 2, 1900), 2);
  EXPECT_EQ(DayNumber(1, 3, 2100) - DayNumber(28, 2, 2100), 2);
}

TEST(DayNumber, DaysBeyondTheMonthRunIntoTheNext) {
  EXPECT_EQ(DayNumber(31, 2, 2000), DayNumber(2, 3, 2000));
  EXPECT_EQ(DayNumber(29, 2, 2004) + 1, DayNumber(1, 3, 2004));
  EXPECT_NE(DayNumber(29, 2, 2004), DayNumber(1, 3, 2004));
}

TEST(DayNumber, MonthsOutsideOneToTwelve) {
  EXPECT_EQ(DayNumber(5, 0, 2001), DayNumber(5, 1, 2001));
  EXPECT_EQ(DayNumber(5, 13, 2001), DayNumber(5, 1, 2002));
  EXPECT_EQ(DayNumber(5, 13, 2000), DayNumber(5, 1, 2001));
  EXPECT_EQ(DayNumber(5, 14, 2001), DayNumber(5, 2, 2002));
  EXPECT_EQ(DayNumber(5, 25, 2001), DayNumber(5, 1, 2003));
  EXPECT_EQ(DayNumber(1, 65535, 1800) - DayNumber(1, 65534, 1800), 28);  // February, wrapped
  EXPECT_GT(DayNumber(1, 65535, 65535), DayNumber(1, 12, 65535));
}

TEST(Weekday, NamesComeFromTheDayNumber) {
  EXPECT_EQ(WeekdayIndex({1, 1, 2000}), 6);
  EXPECT_EQ(ComputeFigures({1, 1, 2000}, {1, 1, 2000}).weekdayName, "S\xE1" "bado");
  EXPECT_EQ(ComputeFigures({15, 3, 1990}, {1, 1, 2000}).weekdayName, "Quinta");
  EXPECT_EQ(ComputeFigures({7, 9, 2001}, {1, 1, 2000}).weekdayName, "Sexta");
  EXPECT_EQ(ComputeFigures({3, 6, 2025}, {1, 1, 2000}).weekdayName, "Ter\xE7" "a");
}

TEST(Figures, AgeCountsFromTheBirthdayItself) {
  EXPECT_EQ(ComputeFigures({10, 5, 1990}, {9, 5, 2026}).age, 35);
  EXPECT_EQ(ComputeFigures({10, 5, 1990}, {10, 5, 2026}).age, 36);
  EXPECT_EQ(ComputeFigures({10, 6, 1990}, {10, 5, 2026}).age, 35);
  EXPECT_EQ(ComputeFigures({9, 4, 1990}, {10, 5, 2026}).age, 36);
}

TEST(Figures, NewbornHasNothingYet) {
  BirthFigures f = ComputeFigures({8, 12, 2026}, {8, 12, 2026});
  EXPECT_EQ(f.age, 0);
  EXPECT_EQ(f.daysLived, 0);
  EXPECT_EQ(f.daysSlept, 0);
  EXPECT_EQ(f.heartbeats, 0.0);
}

TEST(Figures, DaysSleptAndHeartbeats) {
  BirthFigures f = ComputeFigures({31, 12, 1999}, {1, 1, 2000});
  EXPECT_EQ(f.daysLived, 1);
  EXPECT_EQ(f.daysSlept, 0);
  EXPECT_EQ(f.heartbeats, 115200.0);
  EXPECT_EQ(ComputeFigures({1, 1, 2000}, {31, 1, 2000}).daysSlept, 10);
}

TEST(Figures, BirthAfterTodayGoesNegativeAndTruncatesTowardZero) {
  BirthFigures f = ComputeFigures({6, 1, 2000}, {1, 1, 2000});
  EXPECT_EQ(f.daysLived, -5);
  EXPECT_EQ(f.daysSlept, -1);
  EXPECT_EQ(f.age, -1);
  EXPECT_EQ(f.heartbeats, -576000.0);
  f = ComputeFigures({15, 3, 65535}, {8, 12, 2026});
  EXPECT_LT(f.age, 0);
  EXPECT_LT(f.daysLived, 0);
}

}  // namespace
