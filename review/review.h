// Screen review mode: a review cursor that moves over the console screen
// and reads characters, words, lines, fields or the whole screen.
#pragma once
#include <string>

// Runs the review keys until Escape; the screen and the console cursor are
// as they were afterwards.
void ReviewMode();

// The text last searched for; kept from one use of the mode to the next.
extern std::string ReviewSearchText;

// A blank and attribute 0 outside the 25 x 80 cells.
unsigned char ReviewCharAt(int row, int column);
unsigned char ReviewAttrAt(int row, int column);
