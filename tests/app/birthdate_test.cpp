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
  const int dates[][3] = {{1, 3, 1900},   {28, 2, 1901}, {31, 12, 1999}, {1, 1, 2000},
                          {29, 2, 2000},  {1, 3, 2000},  {15, 3, 1990},  {10, 5, 2026},
                          {31, 12, 2099}, {28, 2, 2100}};
  for (auto& a : dates)
    for (auto& b : dates)
      EXPECT_EQ(DayNumber(a[0], a[1], a[2]) - DayNumber(b[0], b[1], b[2]),
                CalendarDays(a[0], a[1], a[2]) - CalendarDays(b[0], b[1], b[2]))
          << a[0] << "/" << a[1] << "/" << a[2] << " vs " << b[0] << "/" << b[1] << "/" << b[2];
}

// The numbering starts at 1/1/1800, knows no century rule, lets days
// beyond the month run into the next and months beyond 12 into the next
// years (month 0 counting as 1).
TEST(DayNumber, OwnRulesOutsideTheCalendar) {
  EXPECT_EQ(DayNumber(1, 1, 1800), 1);
  // {day, month, year} minus {day, month, year}: days between.
  const int cases[][7] = {
      {1, 3, 1800, 28, 2, 1800, 2},         {1, 3, 1900, 28, 2, 1900, 2},
      {1, 3, 2100, 28, 2, 2100, 2},         {31, 2, 2000, 2, 3, 2000, 0},
      {1, 3, 2004, 29, 2, 2004, 1},         {5, 0, 2001, 5, 1, 2001, 0},
      {5, 13, 2001, 5, 1, 2002, 0},         {5, 13, 2000, 5, 1, 2001, 0},
      {5, 14, 2001, 5, 2, 2002, 0},         {5, 25, 2001, 5, 1, 2003, 0},
      {1, 65535, 1800, 1, 65534, 1800, 28},  // February, wrapped
  };
  for (const auto& c : cases)
    EXPECT_EQ(DayNumber(c[0], c[1], c[2]) - DayNumber(c[3], c[4], c[5]), c[6])
        << c[0] << "/" << c[1] << "/" << c[2] << " - " << c[3] << "/" << c[4] << "/" << c[5];
  EXPECT_GT(DayNumber(1, 65535, 65535), DayNumber(1, 12, 65535));
}

TEST(Weekday, NamesComeFromTheDayNumber) {
  EXPECT_EQ(WeekdayIndex({1, 1, 2000}), 6);
  EXPECT_EQ(ComputeFigures({1, 1, 2000}, {1, 1, 2000}).weekdayName,
            "S\xE1"
            "bado");
  EXPECT_EQ(ComputeFigures({15, 3, 1990}, {1, 1, 2000}).weekdayName, "Quinta");
  EXPECT_EQ(ComputeFigures({7, 9, 2001}, {1, 1, 2000}).weekdayName, "Sexta");
  EXPECT_EQ(ComputeFigures({3, 6, 2025}, {1, 1, 2000}).weekdayName,
            "Ter\xE7"
            "a");
}

TEST(Figures, AgeFromTheBirthdayItselfAndWholeDaysSlept) {
  struct Case {
    SimpleDate birth, today;
    int age, lived, slept;
  } cases[] = {
      {{10, 5, 1990}, {9, 5, 2026}, 35, 13148, 4382},
      {{10, 5, 1990}, {10, 5, 2026}, 36, 13149, 4383},
      {{10, 6, 1990}, {10, 5, 2026}, 35, 13118, 4372},
      {{9, 4, 1990}, {10, 5, 2026}, 36, 13180, 4393},
      {{8, 12, 2026}, {8, 12, 2026}, 0, 0, 0},
      {{31, 12, 1999}, {1, 1, 2000}, 0, 1, 0},
      {{1, 1, 2000}, {31, 1, 2000}, 0, 30, 10},
      {{6, 1, 2000}, {1, 1, 2000}, -1, -5, -1},
  };
  for (const Case& c : cases) {
    BirthFigures f = ComputeFigures(c.birth, c.today);
    EXPECT_EQ(f.age, c.age) << c.birth.day << "/" << c.birth.month << "/" << c.birth.year;
    EXPECT_EQ(f.daysLived, c.lived) << c.birth.day << "/" << c.birth.month;
    EXPECT_EQ(f.daysSlept, c.slept) << c.birth.day << "/" << c.birth.month;
    EXPECT_EQ(f.heartbeats, c.lived * 115200.0) << c.birth.day << "/" << c.birth.month;
  }
}

TEST(Figures, FarFutureBirthGoesNegative) {
  BirthFigures f = ComputeFigures({15, 3, 65535}, {8, 12, 2026});
  EXPECT_LT(f.age, 0);
  EXPECT_LT(f.daysLived, 0);
}

}  // namespace
