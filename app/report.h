// The report: the five figures on a coloured band, the profile in two
// columns, each item spoken after a pause; and the copy of the screen.
#pragma once
#include <string>
#include "app/birthdate.h"
#include "app/zodiac.h"

// Whole number in fixed-point notation without decimals ("-115200").
std::string FormatWhole(double value);

void PrintReport(const BirthFigures& figures, const ZodiacProfile& profile);
// One profile line, in column 1 or 41.
void PrintProfileItem(const std::string& text);
// Rows above the cursor row, trailing blanks cut, each ended by CR LF.
std::string ScreenTextAboveCursor();
// Copies ScreenTextAboveCursor to the clipboard and says "ok".
void CopyScreenToClipboard();
