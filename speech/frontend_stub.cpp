// Silent speech front end: writes what must be written and speaks nothing.
// Replaced unit by unit as the real front end lands.
#include "console/snwin.h"
#include "speech/sncrt.h"

void SpeakText(const std::string&) {}
void WriteAndSpeak(const std::string& s) { StdWrite(s); StdFlush(); SpeakText(s); }
void WriteLineAndSpeak(const std::string& s) { StdWriteLn(s); SpeakText(s); }
void SoundClick() {}

void ReadLineSpoken(std::string& s) {
  s = StdReadLn();
}
