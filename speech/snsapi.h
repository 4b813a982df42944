// The voice dispatcher: forwards to the external voice back end chosen by
// the TIPOSAPI kind (3 Toada, 5 SAPI 5, 54 SAPI 5.4, anything else SAPI 4).
#pragma once
#include <string>

bool VoiceStart(int voice, int speed, int pitch, const std::string& outputFile, int kind);
void VoiceEnd();
void VoiceSpeak(const std::string& text);
bool VoiceBusy(int waitFlag);
void VoiceStop();
// True when the voice broke down while speaking: the front end goes back
// to the built-in voice.
bool VoiceFailed();
