// What toada-say shows of a text: the Toada tables loaded from the
// settings, and the phonemes or MBROLA lines of each text.
#pragma once
#include <string>

// Loads the tables that the text modes need from the Toada settings
// (section TOADATTS of SONARIS.INI); false, with a Portuguese message on
// stderr, when one is missing. voice "" keeps the settings' voice, whose
// own diphone list and pitch are taken.
bool LoadTextTables(bool needProsody, const std::string& voice);

// One line per text: the words Toada speaks (numbers, money, dates,
// acronyms... as words).
void PrintSpokenWords(const std::string& text);
// One line per text: the phonemes of each word separated by blanks ("k >a
// ¨z a"), words separated by " / ", signs and silences left out.
void PrintPhonemes(const std::string& text);
// The MBROLA input lines of the text, one a line.
void PrintMbrolaLines(const std::string& text);
