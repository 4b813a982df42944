// Reading with the review cursor: words, ranges of the screen, fields and
// the two-letter commands that choose a range.
#include <algorithm>
#include <string>

#include "console/snwin.h"
#include "review/review.h"
#include "review/review_state.h"
#include "speech/sncrt.h"

namespace {

constexpr unsigned char Blank = ' ';

bool OnScreen(int row, int column) {
  return row >= 1 && row <= ReviewRows() && column >= 1 && column <= ReviewColumns;
}

unsigned char Cell() { return ReviewCharAt(Review().row, Review().column); }

std::string RowText(int row, int from, int to) {
  std::string text;
  for (int column = from; column <= to; ++column) text += static_cast<char>(ReviewCharAt(row, column));
  return text;
}

bool OnlyConsonants(const std::string& text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return IsConsonant(static_cast<unsigned char>(c)); });
}

// Reads the words of the current row from the column up to lastColumn.
void ReadWordsUpTo(int lastColumn) {
  ReviewState& s = Review();
  while (s.column <= lastColumn && !KeyPressed()) {
    if (!SpeakWordAtCursor()) break;  // a word in the last column is not read
    while (s.column <= lastColumn && Cell() == Blank) ++s.column;
  }
}

}  // namespace

int ReviewRows() { return ScreenRows; }

unsigned char ReviewCharAt(int row, int column) {
  return OnScreen(row, column) ? ScreenCharAt(column, row) : Blank;
}

unsigned char ReviewAttrAt(int row, int column) {
  return OnScreen(row, column) ? ScreenAttrAt(column, row) : 0;
}

bool IsWordChar(unsigned char c) {
  static const std::string accented =
      "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD1\xD3\xD4\xD5\xDA"
      "\xE0\xE1\xE2\xE3\xE7\xE9\xEA\xED\xF1\xF3\xF4\xF5\xFA";
  bool ascii = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  return ascii || (c >= 128 && accented.find(static_cast<char>(c)) != std::string::npos);
}

bool IsConsonant(unsigned char c) {
  static const std::string consonants = "BCDFGHJKLMNPQRSTVWXYZ";
  bool ascii = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return ascii && consonants.find(static_cast<char>(c & ~0x20)) != std::string::npos;
}

bool IsFieldSeparator(unsigned char c) {
  return c == 33 || c == 58 || c == 63 || c == 124 || (c >= 176 && c <= 223);
}

void ErrorCue() {
  SoundBuzz();
  SoundClick();
  SoundBuzz();
}

bool SpeakWordAtCursor() {
  ReviewState& s = Review();
  while (Cell() == Blank && s.column < ReviewColumns) ++s.column;
  if (s.column >= ReviewColumns) return false;
  std::string text(1, static_cast<char>(Cell()));
  MoveCursor(s.column, s.row);
  for (++s.column; s.column <= ReviewColumns && IsWordChar(Cell()); ++s.column)
    text += static_cast<char>(Cell());
  if (text.size() == 1) {
    // A run of one sign is read as at most three of it.
    for (; s.column <= ReviewColumns && Cell() == static_cast<unsigned char>(text[0]); ++s.column)
      if (text.size() < 3) text += text[0];
    SpeakText(text);
  } else if (OnlyConsonants(text)) {
    SpellText(text);
  } else {
    SpeakText(text);
  }
  return true;
}

void ReadRange(int firstRow, int firstColumn, int lastRow, bool restore, int lastColumn) {
  if (firstRow == lastRow && lastColumn < firstColumn) return SoundBuzz();
  ReviewState& s = Review();
  ReviewState saved = s;
  s.column = firstColumn;
  for (int row = firstRow; row <= lastRow; ++row) {
    s.row = row;
    int end = row == lastRow ? lastColumn : ReviewColumns;
    if (VoiceActive) SpeakText(RowText(row, s.column, end));
    else if (end >= s.column) ReadWordsUpTo(end);
    if (KeyPressed()) break;
    s.column = 1;
    SoundClick();
  }
  IsSpeaking();
  if (lastColumn >= ReviewColumns) GoToLineEnd();
  if (restore) {
    s.row = saved.row;
    s.column = saved.column;
  }
}

void FieldBounds() {
  ReviewState& s = Review();
  unsigned char attr = ReviewAttrAt(s.row, s.column);
  auto inField = [&](int column) {
    return ReviewAttrAt(s.row, column) == attr && !IsFieldSeparator(ReviewCharAt(s.row, column));
  };
  s.fieldFirst = s.fieldLast = s.column;
  while (s.fieldFirst > 1 && inField(s.fieldFirst - 1)) --s.fieldFirst;
  while (s.fieldLast < ReviewColumns && inField(s.fieldLast + 1)) ++s.fieldLast;
}

void GoToLineEnd() {
  ReviewState& s = Review();
  int last = ReviewColumns;
  while (last >= 1 && ReviewCharAt(s.row, last) == Blank) --last;
  s.column = last + 1;
}

void ReadLine() { RangeCommand('T', 'L'); }

namespace {

// Where a range starts and ends, relative to the review position.
enum Place { First, Here, BeforeHere, FieldStart, FieldEnd, Last };

struct Range {
  char scope, unit;
  Place firstRow, firstColumn, lastRow;
  bool restore;
  Place lastColumn;
};

constexpr Range Ranges[] = {
    {'T', 'T', First, First, Last, false, Last},
    {'I', 'T', First, First, Here, false, BeforeHere},
    {'F', 'T', Here, Here, Last, false, Last},
    {'T', 'L', Here, First, Here, true, Last},
    {'I', 'L', Here, First, Here, true, BeforeHere},
    {'F', 'L', Here, Here, Here, true, Last},
    {'T', 'C', Here, FieldStart, Here, true, FieldEnd},
    {'I', 'C', Here, FieldStart, Here, true, Here},
    {'F', 'C', Here, Here, Here, true, FieldEnd},
};

int RowAt(Place p) { return p == First ? 1 : p == Last ? ReviewRows() : Review().row; }

int ColumnAt(Place p) {
  const ReviewState& s = Review();
  switch (p) {
    case First: return 1;
    case BeforeHere: return s.column - 1;
    case FieldStart: return s.fieldFirst;
    case FieldEnd: return s.fieldLast;
    case Last: return ReviewColumns;
    default: return s.column;
  }
}

}  // namespace

void RangeCommand(char scope, char unit) {
  for (const Range& r : Ranges) {
    if (r.scope != scope || r.unit != unit) continue;
    if (unit == 'C') FieldBounds();
    return ReadRange(RowAt(r.firstRow), ColumnAt(r.firstColumn), RowAt(r.lastRow), r.restore,
                     ColumnAt(r.lastColumn));
  }
  ErrorCue();
}

void TwoLetterCommand(unsigned char firstKey) {
  char scope = static_cast<char>(firstKey & ~0x20);
  if (scope == 'L') scope = 'T';
  if (scope != 'I' && scope != 'T' && scope != 'F') return ErrorCue();
  unsigned char second = ReadKey();
  bool letter = (second >= 'A' && second <= 'Z') || (second >= 'a' && second <= 'z');
  RangeCommand(scope, letter ? static_cast<char>(second & ~0x20) : '?');
}
