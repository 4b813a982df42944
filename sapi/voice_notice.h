// Why an external voice is not used: the reason in full on stderr at once,
// and a notice that the front end gives at its next speech: the reason on
// the screen (only when the voice did not start: a report being read stays
// as it is) and a short sentence said with the built-in voice.
#pragma once
#include <string>

struct VoiceNotice {
  std::string shown;  // Windows-1252; empty: nothing for the screen
  std::string said;   // Windows-1252; empty: no notice
  bool empty() const { return said.empty(); }
};

// what: the voice for the screen, spoken: for the ear (Windows-1252);
// reason: UTF-8 (as the platform's voice errors give it).
void ReportVoiceFailure(const std::string& what, const std::string& spoken, const std::string& reason);
// The voice broke down while in use.
void ReportVoiceBreakdown(const std::string& what, const std::string& spoken, const std::string& reason);
// The last notice, once.
VoiceNotice TakeVoiceNotice();
// A short beep for a text the voice refused.
void VoiceBeep();
