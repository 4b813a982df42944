// State of the review mode shared by its source files. Not for use
// outside review/.
#pragma once
#include <string>

struct ReviewState {
  int row = 1, column = 1;          // column 81 is one past the last cell
  int savedRow = 1, savedColumn = 1;
  int fieldFirst = 1, fieldLast = 80;
  bool leaving = false;
};

ReviewState& Review();

constexpr int ReviewColumns = 80;
int ReviewRows();

bool IsWordChar(unsigned char c);
bool IsConsonant(unsigned char c);
bool IsFieldSeparator(unsigned char c);
void ErrorCue();

// review_read.cpp
void ReadRange(int firstRow, int firstColumn, int lastRow, bool restore, int lastColumn);
// False when nothing was read and the column did not move.
bool SpeakWordAtCursor();
void FieldBounds();
void GoToLineEnd();
void ReadLine();
void TwoLetterCommand(unsigned char firstKey);
// scope I, T or F; unit T (screen), L (line) or C (field).
void RangeCommand(char scope, char unit);

// review_moves.cpp
void PreviousWord();
void NextWord();
void FirstLetterOnScreen();
void LastLetterOnScreen();
void GoToRowAndColumn();
void AskAndSearch();
void Search();
void CopyScreen();
