// Text normalisation for Toada: numbers, ordinals, signs and abbreviations
// become Portuguese words, so that only words, blanks and the kept signs
// ! ( ) , . : ; ? reach the tokeniser. Windows-1252 text; positions are
// 0-based indexes into the text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kMaxAbbreviations = 2000;

// The abbreviations file: "KEY=expansion" a line, ";" starts a comment.
// Entries past kMaxAbbreviations are ignored. False when it cannot be read.
bool LoadAbbreviations(const std::string& path);
void ClearAbbreviations();
size_t AbbreviationCount();
// The expansion of the first entry whose key is the word in upper case;
// empty when none.
std::string FindAbbreviation(const std::string& word);

// The tables of everyday written forms (money, times, dates, units,
// acronyms, addresses, signs): "[SECTION]" lines, then "KEY=field|field"
// lines. Bounded: past kMaxReadingEntries a section's further lines, and
// keys longer than kMaxReadingKey, are ignored; values are cut. False when
// the file cannot be read; then every kind is read as plain text.
constexpr size_t kMaxReadingEntries = 500;
constexpr size_t kMaxReadingKey = 31;
constexpr size_t kMaxReadingValue = 255;
constexpr size_t kMaxReadingFields = 8;
bool LoadReadingTables(const std::string& path);
void ClearReadingTables();
// The tables file that goes with an abbreviations file: same folder and
// name, extension ".nrm".
std::string ReadingTablesBeside(const std::string& abbreviationsFile);

std::string PrepareText(const std::string& text);
// What PrepareText makes of the text with its runs of blanks made one and
// none around it: the words as they will be spoken, for people to read.
std::string SpokenWords(const std::string& text);
// Reads the digit run at pos and moves pos past what it used.
std::string ReadNumber(const std::string& text, size_t& pos);
// Reads the run of letters (hyphens between letters included) at pos.
std::string ReadWord(const std::string& text, size_t& pos);

std::string CardinalWords(int64_t n);
// gender 'm' or 'f'.
std::string OrdinalWords(char gender, int64_t n);
// The spoken name of a character; empty when it has none.
std::string CharName(unsigned char ch);

// Letters of the normalised text (A-Z, a-z and the accented letters of
// Portuguese and Spanish), and which of them are consonants.
bool IsTextLetter(unsigned char c);
bool IsTextConsonant(unsigned char c);
