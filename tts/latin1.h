// Small Windows-1252 helpers of the Toada text units: case changes of the
// Latin-1 letters and membership of a byte in a set of letters.
#pragma once
#include <cstring>
#include <string>

#include "platform/os/text.h"

inline unsigned char UpperLatin1Char(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  return c;
}

inline unsigned char LowerLatin1Char(unsigned char c) { return platform::FoldCase(c); }

inline std::string UpperLatin1Text(std::string s) {
  for (char& c : s) c = static_cast<char>(UpperLatin1Char(static_cast<unsigned char>(c)));
  return s;
}

inline std::string LowerLatin1Text(std::string s) {
  for (char& c : s) c = static_cast<char>(LowerLatin1Char(static_cast<unsigned char>(c)));
  return s;
}

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
