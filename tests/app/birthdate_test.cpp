#include "app/birthdate.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

namespace cr = std::chrono;

cr::sys_days Calendar(int d, int m, int y) { return cr::year(y) / cr::month(m) / cr::day(d); }

// Dates around every century of the numbering and its edges: day counts
// and weekdays must agree with the real (Gregorian) calendar.
const int CalendarDates[][3] = {
    {1, 1, 1800},   {28, 2, 1800},  {1, 3, 1800},  {31, 12, 1800}, {29, 2, 1804},
    {31, 12, 1899}, {28, 2, 1900},  {1, 3, 1900},  {28, 2, 1901},  {15, 3, 1990},
    {31, 12, 1999}, {1, 1, 2000},   {29, 2, 2000}, {1, 3, 2000},   {10, 5, 2026},
    {31, 12, 2099}, {28, 2, 2100},  {1, 3, 2100},  {29, 2, 2400},  {31, 12, 9999},
    {1, 3, 32767},
};

TEST(DayNumber, AgreesWithTheGregorianCalendar) {
  EXPECT_EQ(DayNumber(1, 1, 1800), 1);
  for (auto& a : CalendarDates) {
    EXPECT_EQ(WeekdayIndex({a[0], a[1], a[2]}),
              static_cast<int>(cr::weekday(Calendar(a[0], a[1], a[2])).c_encoding()))
        << a[0] << "/" << a[1] << "/" << a[2];
    for (auto& b : CalendarDates)
      EXPECT_EQ(DayNumber(a[0], a[1], a[2]) - DayNumber(b[0], b[1], b[2]),
                (Calendar(a[0], a[1], a[2]) - Calendar(b[0], b[1], b[2])).count())
          << a[0] << "/" << a[1] << "/" << a[2] << " vs " << b[0] << "/" << b[1] << "/" << b[2];
  }
}

TEST(Calendar, LeapYearsAndMonthLengths) {
  // {year, leap}
  const int leap[][2] = {{1800, 0}, {1804, 1}, {1900, 0}, {1990, 0}, {2000, 1},
                         {2001, 0}, {2024, 1}, {2100, 0}, {2400, 1}};
  for (auto& c : leap) EXPECT_EQ(IsLeapYear(c[0]), c[1] == 1) << c[0];
  // {month, year, days}
  const int lengths[][3] = {{2, 1900, 28}, {2, 2000, 29}, {2, 2001, 28}, {4, 1990, 30},
                            {12, 1990, 31}, {0, 1990, 0},  {13, 1990, 0}};
  for (auto& c : lengths) EXPECT_EQ(DaysInMonth(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

// Months beyond 12 run into the next years (month 0 counting as 1), as
// days beyond the month run into the next.
TEST(DayNumber, MonthsAndDaysBeyondTheirRange) {
  // {day, month, year} minus {day, month, year}: days between.
  const int cases[][7] = {
      {31, 2, 2000, 2, 3, 2000, 0},  {5, 0, 2001, 5, 1, 2001, 0},  {5, 13, 2001, 5, 1, 2002, 0},
      {5, 13, 2000, 5, 1, 2001, 0},  {5, 14, 2001, 5, 2, 2002, 0}, {5, 25, 2001, 5, 1, 2003, 0},
      {1, 65535, 1800, 1, 65534, 1800, 28},  // February, wrapped
  };
  for (const auto& c : cases)
    EXPECT_EQ(DayNumber(c[0], c[1], c[2]) - DayNumber(c[3], c[4], c[5]), c[6])
        << c[0] << "/" << c[1] << "/" << c[2] << " - " << c[3] << "/" << c[4] << "/" << c[5];
  EXPECT_GT(DayNumber(1, 65535, 65535), DayNumber(1, 12, 65535));
}

// The weekday index itself is checked against the calendar above.
TEST(Weekday, NamesComeFromTheDayNumber) {
  const std::pair<SimpleDate, const char*> cases[] = {
      {{1, 1, 2000}, "S\xE1" "bado"}, {{1, 1, 1800}, "Quarta"}, {{15, 3, 1990}, "Quinta"},
      {{7, 9, 2001}, "Sexta"},        {{3, 6, 2025}, "Ter\xE7" "a"},
  };
  for (const auto& [birth, name] : cases)
    EXPECT_EQ(ComputeFigures(birth, {1, 1, 2000}).weekdayName, name)
        << birth.day << "/" << birth.month << "/" << birth.year;
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
