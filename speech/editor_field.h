// One call of the speaking line editor: the field being edited and the
// operations that the key tables of editor.cpp call. Not for use outside
// speech/.
#pragma once
#include <string>

struct EditField {
  std::string s;          // padded with blanks to exactly maxLen
  int x = 1, y = 1;       // screen cell of the first character
  int maxLen = 0, width = 0;
  bool editable = true;
  std::string entryText;  // s on entry, for the restore command
  int pos = 1, first = 1; // cursor and first shown position, 1-based
  int anchor = 0, selEnd = 0;
  bool firstKey = true;
  bool shift = false, alt = false;  // held with the key being handled
  int last = ' ';
  bool done = false;
};

// The character at position p; a blank just past either end, then a
// character that is neither a blank nor a letter.
unsigned char FieldAt(const EditField& f, int p);
bool FieldLetter(unsigned char c);  // A-Z, a-z, 128-255
bool FieldDigit(unsigned char c);
bool HasSelection(const EditField& f);
void ClearSelection(EditField& f);
void DrawField(const EditField& f);
int EndOfText(const EditField& f);  // just after the last non-blank, 1 when empty

// Editing (editor_edit.cpp)
void InsertChar(EditField& f, unsigned char c);
void DeleteAt(EditField& f, bool withCue);
void DeleteSelection(EditField& f);
void BlankFrom(EditField& f, int p);
void CopyField(const EditField& f);
void PasteField(EditField& f);
void FirstKeyRule(EditField& f, unsigned char c);

// Words (editor_words.cpp)
void WordRight(EditField& f);
void WordLeft(EditField& f);
void DeleteWordBefore(EditField& f);
void SpeakFieldWord(EditField& f);
void OpenWordUnderCursor(const EditField& f);
void ChangeSpeed();
