// The astrological tables: which sign a birth day and month fall in, and
// the sixteen attributes of each sign.
#pragma once
#include <array>
#include <cstdint>
#include <string>

constexpr int ProfileItemCount = 17;

// Sign, ruling planet, protective angel, colour, metal, stone, perfume, day,
// virtue, vice, keenest sense, intelligence, way of loving, character,
// symbol plant, lucky number, motto, in report order.
using ZodiacProfile = std::array<std::string, ProfileItemCount>;

// The label printed before each profile item, in the same order.
const char* ProfileLabel(int item);

// Fills the profile of the sign that day and month fall in; a date outside
// every range (month 0, month 13) leaves the profile as it was.
void ComputeZodiacProfile(uint16_t day, uint16_t month, ZodiacProfile& profile);
