// Recording stand-ins for what the speech front end drives: the console's
// keyboard and screen, wave playback, the diphone synthesizer and the
// voice back ends. Everything heard or waited for lands in one event list.
#pragma once
#include <deque>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

struct ConsoleClosed {};

struct FakeWorld {
  std::vector<std::string> events;  // "file:<folder>/<name>", "image:<data>", "phrase:<text>", "delay:<ms>"
  std::deque<unsigned char> keys;
  // Keys the user types only when the program waits for one, each with the
  // modifiers held (ModShift, ModCtrl, ModAlt); they are never pending.
  std::deque<std::pair<unsigned char, unsigned>> typed;
  unsigned heldMods = 0;            // of the key read last
  int routedColumn = 1, routedRow = 1;  // the cell of a Braille routing key
  int keyAfterSounds = -1;          // queue 'k' when this many sounds were heard
  int soundsHeard = 0;
  int playingPolls = 0;             // a sound "lasts" this many message waits
  int soundLength = 0;
  int messageWaits = 0;
  int wakes = 0;                    // speech wake-ups posted
  int stopWaves = 0;
  std::string screen;
  int linesRead = 0;
  int diphoneStartCode = 0;
  int diphoneEnds = 0;
  int tuning[3] = {-1, -1, -1};
  // Voice back ends.
  bool voiceStartResult = false;
  int voiceBusyPolls = 0;
  bool voiceFailed = false;  // the Toada voice broke down mid-text
  std::vector<std::string> voiceCalls;  // "start <kind> v s p", "speak <kind> <text>", "stop <kind>", "end <kind>"
  int clock[3] = {0, 0, 0};             // hour, minute / day, month, year
};

extern FakeWorld Fake;

// Empties the event list and puts every fake back to its start.
void ResetFakes();
// Events of one kind only ("file", "image", ...), without the prefix.
std::vector<std::string> EventsOf(const std::string& kind);
// The lists one after the other.
std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts);

// A fresh folder for one test, with the letters folders of the front end
// and of the synthesizer pointing into it, and recorded number words whose
// samples spell their own name ("[_vinte]"). Its empty "data" folder
// stands for the installed speech data, so no sample settings apply.
std::string MakeTestFolder();
void WriteFile(const std::string& path, const std::string& content);
// A recorded word file in the synthesizer's letters folder.
void WriteWordFile(const std::string& folder, const std::string& name, const std::string& samples);
