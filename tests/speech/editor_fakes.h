// A recording stand-in for the console's screen buffer, cursor and
// clipboard, for the line editor and the review mode.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct FakeScreen {
  unsigned char chars[25][80];
  unsigned char attrs[25][80];
  int column = 1, row = 1;
  std::string clipboard;
  int clearsToEnd = 0;
  std::vector<std::string> highlighted;  // text written on a background colour
};

extern FakeScreen Screen;

void ResetScreen();
// Row (1-based) as text, trailing blanks kept.
std::string ScreenRowText(int row);
void PutScreenText(int column, int row, const std::string& text, uint8_t attr = 7);

// The front end reset for one test: fakes, screen, a fresh letters folder
// and an empty settings file in the start folder. Returns the folder.
std::string ResetEditorWorld();
// What was heard, in short: letters as themselves, recorded words by name
// ("_DEL"), "click", "buzz", "say:<phrase>"; other events as they stand.
std::vector<std::string> ShortSounds();
// Every program start is recorded in SpawnRuns as "program [arg]... in
// folder" instead of run; ResetEditorWorld installs the recorder.
extern std::vector<std::string> SpawnRuns;
// Queues keys as the user types them: plain characters as they stand,
// "{Name}" for an extended key ("{Right}", "{CtrlF9}", "{#15}" by code),
// with "S-" (Shift) or "A-" (Alt) before the name and "*N" after it for
// N presses: "{S-Right*3}".
void TypeKeys(const std::string& script);
