#include "app/report.h"

#include <cmath>
#include <cstdio>

#include "console/snwin.h"
#include "speech/sncrt.h"

namespace {

constexpr uint8_t BandColour = 1;
constexpr uint8_t PlainBackground = 0;
constexpr int SecondColumn = 41;
constexpr int ItemPauseMs = 1000;

void BandLine(const std::string& text) {
  ClearToEndOfLine();
  WriteLineAndSpeak(text);
}

}  // namespace

std::string FormatWhole(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0f", std::round(value));
  return buffer;
}

void PrintReport(const BirthFigures& f, const ZodiacProfile& profile) {
  SetTextBackground(BandColour);
  BandLine("Voc\xEA nasceu " + f.weekdayName);
  BandLine("Sua idade: " + std::to_string(f.age) + " anos");
  BandLine("Voc\xEA j\xE1 viveu " + std::to_string(f.daysLived) + " dias");
  BandLine("J\xE1 dormiu em m\xE9" "dia " + std::to_string(f.daysSlept) + " dias");
  ClearToEndOfLine();
  WriteAndSpeak("O seu cora\xE7\xE3o j\xE1 bateu em m\xE9" "dia " + FormatWhole(f.heartbeats) +
                " vezes");
  SetTextBackground(PlainBackground);
  StdWriteLn();
  StdWriteLn();
  for (int i = 0; i < ProfileItemCount; ++i) PrintProfileItem(ProfileLabel(i) + profile[i]);
  StdWriteLn();
}

void PrintProfileItem(const std::string& text) {
  if (text.size() > 40 && CursorColumn() != 1) StdWriteLn();
  StdWrite(text);
  StdFlush();
  std::string spoken = text;
  if (size_t colon = spoken.find(':'); colon != std::string::npos) spoken.erase(colon, 1);
  WaitWhileSpeaking();
  if (!KeyPressed()) Delay(ItemPauseMs);
  SpeakText(spoken);
  if (CursorColumn() > 39) StdWriteLn();
  else MoveCursor(SecondColumn, CursorRow());
}

std::string ScreenTextAboveCursor() {
  std::string text;
  text.reserve(static_cast<size_t>(ScreenRows) * (ScreenColumns + 2));
  for (int row = 1; row < CursorRow(); ++row) {
    int last = ScreenColumns;
    while (last > 1 && ScreenCharAt(last, row) == ' ') --last;
    for (int column = 1; column <= last; ++column)
      text += static_cast<char>(ScreenCharAt(column, row));
    text += "\r\n";
  }
  return text;
}

void CopyScreenToClipboard() {
  CopyToClipboard(ScreenTextAboveCursor().c_str());
  SpeakText("ok");
}
