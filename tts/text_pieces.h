// A text made into MBROLA lines a piece at a time, so that a long text
// needs no more memory than a sentence and its first sentence sounds while
// the rest waits. Pieces end after a sentence, where the whole text's
// lines have a sentence boundary too; a sentence longer than
// kLongestPiece is cut at a blank. The pieces' lines are joined as one
// text's: the opening pause once, the closing pause once, and between
// sentences the pause the whole text has.
#pragma once
#include <string>
#include <vector>

constexpr size_t kLongestPiece = 2000;  // bytes of text

struct TextPieces {
  double pitchFactor = 1.0, durationFactor = 1.0;
  std::string rest;                 // text not made into lines yet
  bool opened = false;              // the opening pause has gone out
  std::vector<std::string> closing; // the last piece's closing lines, held back
};

// More of the text (Windows-1252); pieces are read as if joined directly.
void AddText(TextPieces& p, const std::string& text);
// The lines of the next piece. Before atEnd only a piece that ends a
// sentence (or a long one) is taken; at the end the rest and the closing
// lines go out. False when there is nothing to give now.
bool NextLines(TextPieces& p, bool atEnd, std::vector<std::string>& lines);

// The opening pause of lines: the milliseconds of the pauses before the
// first sounding phoneme.
int OpeningPauseMs(const std::vector<std::string>& lines);
