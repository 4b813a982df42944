// The speech front end on the real console, wave playback and diphone
// voice, watched at the platform's seams: the headless display (keys typed
// when the program waits for one, the screen read back), the silent audio
// back end on the virtual clock with every block it is given noted, and the
// voice's units as it asks for them. Recordings in the test's letters
// folder spell their own name in their samples ("[_hora]"), so what was
// heard reads back as names.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace speech_test {

using Heard = std::vector<std::string>;

// A fresh folder with settings, recordings and an empty diphone database
// (every unit missing: each is heard by name), speech started on it and an
// empty screen. Returns the folder.
std::string ResetWorld();
// Writes one file of the folder (settings: "win/SONARIS.INI", the start
// folder's "SONARIS.INI", the sample "data/SONARIS.INI").
void WriteFile(const std::string& name, const std::string& content);
// An empty database of that name, for the voice to start on.
void MakeDatabase(const std::string& name);
// A recording of the letters folder with these samples.
void Record(const std::string& name, const std::string& samples);

// What was heard since the last call: a recording by its name (a letter by
// itself: "a"), several joined in one sound as their samples, the cues as
// "click" and "buzz", other sounds as "N bytes", a phrase of the voice as
// "say:" and its units, a pause as "pause:MS".
Heard TakeHeard();
// What the voice says for a phrase, as TakeHeard shows it (nothing for one
// without units).
Heard Say(const std::string& phrase);
Heard Join(std::initializer_list<Heard> parts);
// The key is pressed while the program plays its Nth sound from now.
void PressDuringSound(int n, char key);

// Keys as the user types them when the program waits: plain characters as
// they stand, "{Name}" for another key ("{Right}", "{CtrlF9}"), with "S-"
// (Shift) or "A-" (Alt) before the name and "*N" after it for N presses:
// "{S-Right*3}".
void Type(const std::string& script);
// Screen text at (1-based) column and row, in that text attribute.
void Put(int column, int row, const std::string& text, uint8_t attr = 7);
std::string Row(int row);

// Every program start, as "program [arg]... in folder", instead of run.
extern std::vector<std::string> Runs;

}  // namespace speech_test
