// Moving the review cursor by words, to letters, to a typed row and
// column or to found text; copying the screen.
#include <string>

#include "console/snwin.h"
#include "review/review.h"
#include "review/review_state.h"
#include "speech/sncrt.h"

namespace {

constexpr unsigned char Blank = ' ';

bool BlankAt(int column) { return ReviewCharAt(Review().row, column) == Blank; }

bool IsAsciiLetter(unsigned char c) {
  unsigned char up = (c >= 'a' && c <= 'z') ? c - 32 : c;
  return up >= 'A' && up <= 'Z';
}

bool PlaceOnLetter(int row, int column) {
  if (!IsAsciiLetter(ReviewCharAt(row, column))) return false;
  Review().row = row;
  Review().column = column;
  return true;
}

bool ReadDigit(int& value) {
  unsigned char c = ReadKey();
  if (c < '0' || c > '9') return false;
  SpeakLetter(c);
  value = value * 10 + (c - '0');
  return true;
}

}  // namespace

void PreviousWord() {
  ReviewState& s = Review();
  --s.column;
  while (s.column >= 1 && BlankAt(s.column)) --s.column;
  if (s.column < 1) {
    s.column = 1;
    return SoundBuzz();
  }
  while (s.column > 1 && !BlankAt(s.column - 1)) --s.column;
  if (s.column == 1) SoundBuzz();
  else SoundClick();
}

void NextWord() {
  ReviewState& s = Review();
  while (s.column <= ReviewColumns && !BlankAt(s.column)) ++s.column;
  while (s.column <= ReviewColumns && BlankAt(s.column)) ++s.column;
  if (s.column > ReviewColumns) {
    SoundBuzz();
    GoToLineEnd();
  } else {
    SoundClick();
  }
}

void FirstLetterOnScreen() {
  for (int row = 1; row <= ReviewRows(); ++row)
    for (int column = 1; column <= ReviewColumns; ++column)
      if (PlaceOnLetter(row, column)) return;
}

void LastLetterOnScreen() {
  for (int row = ReviewRows(); row >= 1; --row)
    for (int column = ReviewColumns; column >= 1; --column)
      if (PlaceOnLetter(row, column)) return;
}

void GoToRowAndColumn() {
  SpeakText("Entre linha e coluna");
  int row = 0, column = 0;
  bool digits = ReadDigit(row) && ReadDigit(row) && ReadDigit(column) && ReadDigit(column);
  if (!digits) {
    SoundBuzz();
    return SoundBuzz();
  }
  Review().row = row;
  Review().column = column;
}

void AskAndSearch() {
  SpeakText("Qual texto");
  ReviewSearchText.clear();
  for (;;) {
    unsigned char c = ReadKey();
    if (c == 27) return;
    if (c == 13) break;
    if (c == 8) {
      if (ReviewSearchText.empty()) continue;
      PlayWordFile("_DEL");
      SpeakLetter(static_cast<unsigned char>(ReviewSearchText.back()));
      ReviewSearchText.pop_back();
    } else {
      ReviewSearchText += static_cast<char>(c);
      SpeakLetter(c);
    }
  }
  Search();
}

// Only text after the position counts; the search does not wrap.
void Search() {
  ReviewState& s = Review();
  for (int row = s.row; row <= ReviewRows() && !ReviewSearchText.empty(); ++row) {
    std::string text;
    for (int column = 1; column <= ReviewColumns; ++column)
      text += row == s.row && column <= s.column ? '\0' : static_cast<char>(ReviewCharAt(row, column));
    size_t found = text.find(ReviewSearchText);
    if (found == std::string::npos) continue;
    s.row = row;
    s.column = static_cast<int>(found) + 1;
    return SoundClick();
  }
  SoundBuzz();
  SoundBuzz();
}

void CopyScreen() {
  std::string text;
  for (int row = 1; row <= ReviewRows(); ++row) {
    for (int column = 1; column <= ReviewColumns; ++column)
      text += static_cast<char>(ReviewCharAt(row, column));
    text += "\r\n";
  }
  CopyToClipboard(text.c_str());
}
