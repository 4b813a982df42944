// State of the speech front end shared by its source files (start-up,
// speaking, numbers). Not for use outside speech/.
#pragma once
#include <cstdint>
#include <string>

constexpr int ClickDataBytes = 256;
constexpr int WaveHeaderBytes = 44;

struct CrtState {
  int pauseFullStop = 0;   // ms after ". "
  int pauseComma = 0;      // ms after ", " and "- "
  int pauseColon = 0;      // ms at ":", ";", "(", ")"
  int recordedGap = 0;     // samples of silence between recorded words and spelled letters
  std::string voiceOutputFile;
  bool speechPending = true;  // text went to the external voice, not yet waited for
  bool speechStopped = false; // ends the walk of a SpeakText in progress
  uint8_t clickSound[WaveHeaderBytes + ClickDataBytes] = {};
};

extern CrtState Crt;
