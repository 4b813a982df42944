// Birth-date arithmetic: one day numbering from 1 January 1800 and the five
// figures of the report.
#pragma once
#include <cstdint>
#include <string>

// Day number of a date, 1 January 1800 = 1. Every fourth year from 1800 is
// a leap year (no century rule).
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
