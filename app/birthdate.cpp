#include "app/birthdate.h"

namespace {

const int32_t MonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

const char* const WeekdayName[7] = {
    "Domingo", "Segunda", "Ter\xE7" "a", "Quarta", "Quinta", "Sexta", "S\xE1" "bado",
};

// Days of the months before `month` of one year. Month 13 sums the whole
// table; higher months wrap around it, a common year (365) for each further
// twelve, so month 14 lands in February of the following year just as day 31
// of February lands in March. Months below 1 add nothing.
int32_t DaysBeforeMonth(int32_t month) {
  if (month <= 1) return 0;
  int32_t months = month - 1;
  int32_t days = (months / 12) * 365;
  for (int32_t m = 0; m < months % 12; ++m) days += MonthLength[m];
  return days;
}

// Leap years from year 1 up to and including `year` (year >= 0).
int32_t LeapYearsThrough(int32_t year) { return year / 4 - year / 100 + year / 400; }

// 1 January 1800 was a Wednesday (index 3) and has day number 1.
constexpr int32_t WeekdayOffset = 2;

}  // namespace

bool IsLeapYear(int32_t year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int32_t DaysInMonth(int32_t month, int32_t year) {
  if (month < 1 || month > 12) return 0;
  return MonthLength[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

int32_t DayNumber(int32_t day, int32_t month, int32_t year) {
  int32_t y = year - 1800;
  int32_t n = 365 * y + LeapYearsThrough(year - 1) - LeapYearsThrough(1799);
  n += DaysBeforeMonth(month);
  if (IsLeapYear(year) && month > 2) n += 1;
  return n + day;
}

int WeekdayIndex(const SimpleDate& date) {
  int32_t i = (DayNumber(date.day, date.month, date.year) + WeekdayOffset) % 7;
  return i < 0 ? i + 7 : i;  // day numbers before 1800 stay in the table
}

BirthFigures ComputeFigures(const SimpleDate& birth, const SimpleDate& today) {
  BirthFigures f;
  f.age = today.year - birth.year;
  if (birth.month > today.month || (birth.month == today.month && birth.day > today.day))
    f.age -= 1;
  f.daysLived = DayNumber(today.day, today.month, today.year) -
                DayNumber(birth.day, birth.month, birth.year);
  f.weekdayName = WeekdayName[WeekdayIndex(birth)];
  f.daysSlept = f.daysLived / 3;
  f.heartbeats = static_cast<double>(f.daysLived) * 115200.0;
  return f;
}
