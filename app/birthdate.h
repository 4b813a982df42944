// Birth-date arithmetic: one day numbering from 1 January 1800 and the five
// figures of the report.
#pragma once
#include <cstdint>
#include <string>

// Gregorian: every fourth year, except centuries not divisible by 400.
bool IsLeapYear(int32_t year);
// Days of month 1..12 in that year; 0 for any other month.
int32_t DaysInMonth(int32_t month, int32_t year);

// Day number of a date, 1 January 1800 = 1, by the Gregorian calendar.
int32_t DayNumber(int32_t day, int32_t month, int32_t year);

struct BirthFigures {
  int32_t age = 0;          // completed years
  int32_t daysLived = 0;
  std::string weekdayName;  // weekday of birth
  int32_t daysSlept = 0;
  double heartbeats = 0;
};

struct SimpleDate {
  int32_t day = 0, month = 0, year = 0;
};

BirthFigures ComputeFigures(const SimpleDate& birth, const SimpleDate& today);
// Weekday index of a date, 0 = Sunday.
int WeekdayIndex(const SimpleDate& date);
