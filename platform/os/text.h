// Windows-1252 inside, UTF-8 outside: conversion at the edges only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

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

// Windows-1252 case folding (ASCII and the Latin-1 letters), as the
// profile functions and file names compare without regard to case.
unsigned char FoldCase(unsigned char c);
bool EqualsNoCase(const std::string& a, const std::string& b);

// The runtime's integer conversion, shared by every number a user types or
// writes in the settings: optional leading blanks, an optional sign, then
// decimal digits or hexadecimal ones after "$" or "0x"; nothing may follow.
// False for an empty or malformed text or one outside the 32-bit range
// (hexadecimal may use all 32 bits: $FFFFFFFF is -1).
bool ParseInteger(const std::string& text, int32_t& value);

}  // namespace platform
