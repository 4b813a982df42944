// Small Windows-1252 helpers of the Toada text units: case changes of the
// Latin-1 letters and membership of a byte in a set of letters.
#pragma once
#include <cstring>
#include <string>

#include "platform/os/text.h"

// The case table is the platform's, one for every unit.
using platform::LowerLatin1Char;
using platform::LowerLatin1Text;
using platform::UpperLatin1Char;
using platform::UpperLatin1Text;

// True when c is one of the bytes of set (never for the byte 0).
inline bool InLatin1Set(unsigned char c, const char* set) {
  return c != 0 && std::strchr(set, static_cast<char>(c)) != nullptr;
}

// The text without blanks, tabs and line ends around it.
inline std::string TrimBlanks(const std::string& s) {
  const char* blanks = " \t\r\n";
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(blanks) - b + 1);
}
