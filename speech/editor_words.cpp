// The line editor's word commands: moving by words, deleting the word
// before the cursor, speaking the word at the cursor, opening the word
// under it, and the speed change.
#include <string>

#include "console/snwin.h"
#include "speech/editor_field.h"
#include "speech/sncrt.h"

namespace {

constexpr unsigned char Blank = ' ';
const std::string Consonants = "BCDFGHJKLMNPQRSTVXZ";
// Marks stripped from both ends of a word before it is opened.
const std::string OpeningMarks = "\"(*-.<=>[_{";

bool AllConsonants(const std::string& word) {
  return UpperLatin1(word).find_first_not_of(Consonants) == std::string::npos;
}

}  // namespace

void WordRight(EditField& f) {
  unsigned char c = FieldAt(f, f.pos);
  if (c != Blank && !FieldDigit(c)) {
    do ++f.pos;
    while (FieldLetter(FieldAt(f, f.pos)));
  } else if (c != Blank) {
    while (FieldDigit(FieldAt(f, f.pos))) ++f.pos;
  }
  while (FieldAt(f, f.pos) == Blank) ++f.pos;
  if (f.pos > f.maxLen + 1) {
    f.pos = EndOfText(f);
    SoundBuzz();
  } else {
    SoundClick();
  }
}

void WordLeft(EditField& f) {
  int p = f.pos - 1;
  while (FieldAt(f, p) == Blank) --p;
  if (p < 1) {
    f.pos = 1;
    return SoundBuzz();
  }
  bool (*same)(unsigned char) = FieldDigit(FieldAt(f, p)) ? FieldDigit : FieldLetter;
  while (same(FieldAt(f, p - 1))) --p;
  f.pos = p;
  SoundClick();
}

void DeleteWordBefore(EditField& f) {
  if (f.pos > 1 && FieldAt(f, f.pos - 1) != Blank) WordLeft(f);
  int start = f.pos;
  WordRight(f);
  int stop = f.pos;
  WordLeft(f);
  for (int i = 0; i < stop - start; ++i) DeleteAt(f, i == 0);
}

// Pressed again and again, reads the field word by word.
void SpeakFieldWord(EditField& f) {
  int saved = f.pos;
  while (FieldAt(f, f.pos) == Blank && f.pos <= f.maxLen) ++f.pos;
  if (f.pos > f.maxLen) {
    f.pos = saved;
    return SoundBuzz();
  }
  unsigned char c = FieldAt(f, f.pos);
  bool letter = FieldLetter(c), number = FieldDigit(c) || c == '-';
  if (!letter && !number) {
    ++f.pos;
    return SpellText(std::string(1, static_cast<char>(c)));
  }
  std::string word(1, static_cast<char>(c));
  for (++f.pos; f.pos <= f.maxLen; ++f.pos) {
    unsigned char next = FieldAt(f, f.pos);
    if (letter ? !FieldLetter(next) : !FieldDigit(next)) break;
    word += static_cast<char>(next);
  }
  if (letter && AllConsonants(word)) SpellText(word);
  else SpeakText(word);
}

void OpenWordUnderCursor(const EditField& f) {
  std::string word;
  if (FieldAt(f, f.pos) != Blank && f.pos <= f.maxLen) {
    int b = f.pos, e = f.pos;
    while (b > 1 && FieldAt(f, b - 1) != Blank) --b;
    while (e < f.maxLen && FieldAt(f, e + 1) != Blank) ++e;
    word = f.s.substr(b - 1, e - b + 1);
  }
  size_t from = word.find_first_not_of(OpeningMarks);
  size_t to = word.find_last_not_of(OpeningMarks);
  if (from == std::string::npos) return SoundBuzz();
  OpenTarget(word.substr(from, to - from + 1));
}

void ChangeSpeed() {
  PlayWordFile("_VELOC");
  unsigned char c;
  do c = ReadKeySpoken();
  while (KeyPressed());
  if (c == 27 || c == 13) return;
  std::string wordDir = WordDir;
  EndSpeech();
  StartSpeech(c - '0', wordDir);
}
