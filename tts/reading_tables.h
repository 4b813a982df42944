// The tables of everyday written forms that the text reader knows
// (portug.nrm): currencies, scale words, units, months, digit groups, signs,
// Roman-numeral words, letter names and acronyms said as words.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

enum ReadingTable {
  kCurrencies, kScales, kUnits, kMonths, kDigitGroups, kNumberMarks,
  kSymbols, kPauses, kRomanWords, kLetterNames, kAcronyms, kDomains, kReadingTableCount
};

struct ReadingEntry {
  std::string key;
  std::vector<std::string> fields;  // the value cut at "|"
  const std::string& Field(size_t i) const;  // "" past the last
};

// True once a tables file has been loaded: without one every kind is read
// as the plain text reader always did.
bool ReadingTablesLoaded();
// The entry whose key is exactly key; nullptr when none.
const ReadingEntry* FindReadingEntry(ReadingTable table, const std::string& key);
// The entry with the longest key written at pos of text; nullptr when none.
const ReadingEntry* MatchReadingEntry(ReadingTable table, const std::string& text, size_t pos);
const std::vector<ReadingEntry>& ReadingEntries(ReadingTable table);

// The everyday form written at pos, if one is there exactly: its words go
// to out and pos moves past it.
bool ReadEverydayForm(const std::string& text, size_t& pos, std::string& out);
