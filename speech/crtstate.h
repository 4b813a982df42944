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
  std::string voiceText;      // the text last given to the external voice, until stopped
  uint8_t clickSound[WaveHeaderBytes + ClickDataBytes] = {};
};

extern CrtState Crt;

// What is kept for the next sound: no sound device, an external voice that
// did not start or broke down. Shown on a line of its own, and the voice's
// short sentence said with the built-in voice.
void GiveNotices();
// The external voice broke down: it is ended, the notice given, and the
// built-in voice says the text the voice did not finish and all after it.
void VoiceFailOver();
// Text through the built-in voice alone (recorded words, letters, diphones).
void SpeakBuiltIn(std::string s);
