// Why a system voice did not start: written once on the console and
// stderr by the back end, and kept for the dispatcher to say aloud with
// the built-in voice.
#pragma once
#include <string>

// what: Windows-1252; reason: UTF-8 (as the platform's voice errors give it).
void ReportVoiceFailure(const std::string& what, const std::string& reason);
// The last report (Windows-1252), once; empty when there was none.
std::string TakeVoiceNotice();
// A short beep for a text the voice refused.
void VoiceBeep();
