// The answer typed at the prompt: "dia/mes/ano", each field an integer in
// the runtime's syntax (leading blanks, optional sign, decimal, or hex
// after "$" or "0x"; nothing may follow), kept modulo 65536.
#pragma once
#include <cstdint>
#include <string>

constexpr size_t MaxAnswerLength = 255;
constexpr uint16_t FirstYear = 1800;

struct BirthDate {
  uint16_t day = 0, month = 0, year = 0;
};

// Splits and checks the whole answer; false sends the user back to the
// prompt (the year must be at least 1800 after the 16-bit reduction, and
// the date must exist in the calendar).
bool ParseBirthAnswer(const std::string& answer, BirthDate& date);
