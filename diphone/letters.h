// Character classes shared by the translator and the rule engine, as one
// table of flags per byte so that a class test is a single lookup.
#pragma once
#include <array>
#include <cstdint>

#include "platform/os/text.h"

namespace letters {

enum : uint8_t {
  Vowel = 1,         // A E I O U a e i o u
  Consonant = 2,     // the other letters, both cases
  Letter = 4,        // A-Z a-z
  Accent = 8,        // " ' ^ ` ~
  Punctuation = 16,  // space ! , . : ; ?
};

constexpr std::array<uint8_t, 256> BuildClasses() {
  std::array<uint8_t, 256> t{};
  for (int c = 'A'; c <= 'Z'; ++c) {
    t[c] = t[c + 32] = Letter | Consonant;
  }
  for (char v : {'A', 'E', 'I', 'O', 'U'}) {
    t[static_cast<unsigned char>(v)] = Letter | Vowel;
    t[static_cast<unsigned char>(v + 32)] = Letter | Vowel;
  }
  for (char a : {'"', '\'', '^', '`', '~'}) t[static_cast<unsigned char>(a)] = Accent;
  for (char p : {' ', '!', ',', '.', ':', ';', '?'}) t[static_cast<unsigned char>(p)] = Punctuation;
  return t;
}

inline constexpr std::array<uint8_t, 256> kClasses = BuildClasses();

inline bool Is(char c, uint8_t cls) { return (kClasses[static_cast<unsigned char>(c)] & cls) != 0; }
inline bool IsVowel(char c) { return Is(c, Vowel); }
inline bool IsConsonant(char c) { return Is(c, Consonant); }
inline bool IsLetter(char c) { return Is(c, Letter); }
inline bool IsAccent(char c) { return Is(c, Accent); }
inline bool IsLetterOrAccent(char c) { return Is(c, Letter | Accent); }

// Case changes of plain ASCII letters only; accented bytes stay as they are.
inline char Upper(char c) { return static_cast<char>(platform::UpperAscii(static_cast<unsigned char>(c))); }
inline char Lower(char c) { return static_cast<char>(platform::LowerAscii(static_cast<unsigned char>(c))); }

}  // namespace letters
