// Windows-1252 inside, UTF-8 outside: conversion at the edges only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

std::string Cp1252ToUtf8(const std::string& s);
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToCp1252(const std::string& s);
// One character as Windows-1252; '?' when it has no such form.
char CodePointToCp1252(char32_t cp);
// One Windows-1252 byte as UTF-8.
std::string Cp1252CharToUtf8(unsigned char c);

// True when s is well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(const std::string& s);

// Decodes one UTF-8 sequence from p (n bytes available) into cp; returns
// its length, kUtf8Incomplete when p holds only the start of a valid
// sequence, or kUtf8Invalid.
inline constexpr size_t kUtf8Invalid = static_cast<size_t>(-1);
inline constexpr size_t kUtf8Incomplete = static_cast<size_t>(-2);
size_t DecodeUtf8(const unsigned char* p, size_t n, char32_t& cp);

// The one Windows-1252 case table: each letter of ASCII and Latin-1 (à to
// þ but ÷, À to Þ but ×) with its other case; every other byte maps to
// itself.
struct CaseTable {
  unsigned char upper[256], lower[256];
};
constexpr CaseTable BuildCaseTable() {
  CaseTable t{};
  for (int c = 0; c < 256; ++c) t.upper[c] = t.lower[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) {
    t.upper[c] = static_cast<unsigned char>(c - 32);
    t.lower[c - 32] = static_cast<unsigned char>(c);
  }
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c == 0xF7) continue;
    t.upper[c] = static_cast<unsigned char>(c - 32);
    t.lower[c - 32] = static_cast<unsigned char>(c);
  }
  return t;
}
inline constexpr CaseTable kCase = BuildCaseTable();

inline unsigned char UpperLatin1Char(unsigned char c) { return kCase.upper[c]; }
inline unsigned char LowerLatin1Char(unsigned char c) { return kCase.lower[c]; }
// The same for the ASCII letters only; accented bytes stay as they are
// (where the rules and the database names know only A to Z).
inline unsigned char UpperAscii(unsigned char c) { return c < 0x80 ? kCase.upper[c] : c; }
inline unsigned char LowerAscii(unsigned char c) { return c < 0x80 ? kCase.lower[c] : c; }
std::string UpperLatin1Text(std::string s);
std::string LowerLatin1Text(std::string s);
std::string UpperAsciiText(std::string s);

// Compared without regard to case, as the profile functions and file names are.
bool EqualsNoCase(const std::string& a, const std::string& b);

// The runtime's integer conversion, shared by every number a user types or
// writes in the settings: optional leading blanks, an optional sign, then
// decimal digits or hexadecimal ones after "$" or "0x"; nothing may follow.
// False for an empty or malformed text or one outside the 32-bit range
// (hexadecimal may use all 32 bits: $FFFFFFFF is -1).
bool ParseInteger(const std::string& text, int32_t& value);

// A file's bytes as they are; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& text);
// Text that is valid UTF-8 with some non-ASCII character, in Windows-1252;
// any other text as it is (already Windows-1252 or plain ASCII).
std::string Utf8TextToCp1252(std::string text);

// A data file of the voices as lines without their line ends: a path as the
// settings write it, Windows-1252 text (a file saved as UTF-8 is converted).
// False when it cannot be read.
bool ReadTextLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace platform
