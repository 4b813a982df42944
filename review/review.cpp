// Screen review mode: the key loop and its tables. The review cursor moves
// over the screen buffer only, so it reads whatever the program wrote.
#include "review/review.h"

#include <string>

#include "console/snwin.h"
#include "review/review_state.h"
#include "speech/sncrt.h"

std::string ReviewSearchText;

namespace {

ReviewState state;

using Command = void (*)();
struct KeyCommand {
  int code;
  Command command;
};

ReviewState& S() { return state; }

void Left() {
  if (S().column > 1) SpeakLetter(ReviewCharAt(S().row, S().column - 1));
  else SoundBuzz();
  --S().column;
}

void Right() {
  if (S().column <= ReviewColumns + 1) SpeakLetter(ReviewCharAt(S().row, S().column));
  else SoundBuzz();
  ++S().column;
}

void NextField() {
  FieldBounds();
  S().column = S().fieldLast + 2;
  if (S().column > ReviewColumns) GoToLineEnd();
  else SoundClick();
}

void PreviousField() {
  FieldBounds();
  S().column = S().fieldFirst - 2;
  SoundClick();
}

void SpeakPosition() {
  SpeakText(std::to_string(S().row) + " " + std::to_string(S().column).substr(0, 3));
}

void NextRowSilently() {
  ++S().row;
  S().column = 1;
  SoundClick();
}

void Leave() { S().leaving = true; }

void NextWordKey() {
  if (!(KeyPressed() && VoiceActive)) SpeakWordAtCursor();
  if (S().column >= ReviewColumns) {
    SoundClick();
    GoToLineEnd();
  }
}

void Home() { S().column = 1; }

void Up() {
  if (S().row == 1) return SoundBuzz();
  --S().row;
  S().column = 1;
  ReadLine();
}

void Down() {
  ++S().row;
  S().column = 1;
  SoundClick();
  if (S().row <= ReviewRows()) return ReadLine();
  SoundBuzz();
  S().row = ReviewRows();
}

void ToRow(int row) {
  S().row = row;
  S().column = 1;
  ReadLine();
}

// A Braille display's routing key: the review cursor goes to that cell.
void RouteHere() {
  RoutedCell(S().column, S().row);
  SpeakLetter(ReviewCharAt(S().row, S().column));
}

void PageUp() { ToRow(1); }
void PageDown() { ToRow(ReviewRows()); }
void ReadField() { RangeCommand('T', 'C'); }
void FirstLetter() {
  FirstLetterOnScreen();
  ReadLine();
}
void LastLetter() {
  LastLetterOnScreen();
  ReadLine();
}

constexpr KeyCommand PlainKeys[] = {
    {3, CopyScreen}, {8, Left},           {9, NextField}, {11, SpeakPosition},
    {12, SpeakPosition}, {13, NextRowSilently}, {27, Leave}, {32, ReadLine}};

constexpr KeyCommand ExtendedKeys[] = {
    {15, PreviousField}, {59, NextWordKey}, {63, AskAndSearch}, {64, GoToRowAndColumn},
    {71, Home},          {72, Up},          {73, PageUp},       {75, Left},
    {77, Right},         {79, GoToLineEnd}, {80, Down},         {81, PageDown},
    {94, ReadField},     {98, Search},      {115, PreviousWord}, {116, NextWord},
    {118, LastLetter},   {132, FirstLetter}, {BrailleRouteCode, RouteHere}};

template <size_t N>
void Run(const KeyCommand (&table)[N], int code) {
  for (const KeyCommand& k : table)
    if (k.code == code) return k.command();
  ErrorCue();
}

void HandleKey() {
  unsigned char c = ReadKey();
  if (c == 0) return Run(ExtendedKeys, ReadKey());
  bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  if (letter) return TwoLetterCommand(c);
  Run(PlainKeys, c);
}

// Held-down keys do not run on past an edge: every correction buzzes,
// which also drops the queued keys.
void Correct(int& value, int low, int tooHigh, int high) {
  if (value >= low && value <= tooHigh - 1) return;
  value = value < low ? low : high;
  SoundBuzz();
}

}  // namespace

ReviewState& Review() { return state; }

void ReviewMode() {
  ReviewState& s = S();
  SoundBuzz();
  s.row = s.savedRow = CursorRow();
  s.column = s.savedColumn = CursorColumn();
  s.leaving = false;
  while (!s.leaving) {
    MoveCursor(s.column, s.row);
    HandleKey();
    if (s.leaving) break;
    Correct(s.column, 1, ReviewColumns + 2, ReviewColumns);
    Correct(s.row, 1, ReviewRows() + 1, ReviewRows());
  }
  SoundBuzz();
  SoundBuzz();
  MoveCursor(s.savedColumn, s.savedRow);
}
