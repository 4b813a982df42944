// Windows-1252 inside, UTF-8 outside: conversion at the edges only.
#pragma once
#include <string>

namespace platform {

std::string Cp1252ToUtf8(const std::string& s);
// Characters with no Windows-1252 form become '?'.
std::string Utf8ToCp1252(const std::string& s);
// One Windows-1252 byte as UTF-8.
std::string Cp1252CharToUtf8(unsigned char c);

}  // namespace platform
