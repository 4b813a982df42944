// The Portuguese number words, spelled as Toada reads them (três,
// cinqüenta): one table for every voice; the built-in voice names its
// recorded words after the same words.
#pragma once
#include <string>

struct NumberWords {
  const char* units[10];
  const char* teens[10];
  const char* tens[10];
  const char* hundreds[10];
  // Scale words of the five groups of three digits, from the left, each
  // followed by its blank ("" for the last group).
  const char* scaleOne[5];
  const char* scaleMany[5];
};
extern const NumberWords kNumberWords;

// The words of one group of three digits (0..999): "" for 0, "cem" for 100.
std::string NumberGroupWords(int group);
