// The Toada voice back end (Portuguese text to speech through MBROLA).
#pragma once
#include <string>

bool ToadaStart(int voice, int speed, int pitch, const std::string& outputFile);
void ToadaEnd();
void ToadaSpeak(const std::string& text);
bool ToadaBusy();
void ToadaStop();
