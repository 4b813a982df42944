// The SAPI 4 voice back end (espeak-ng voices in process).
#pragma once
#include <string>

bool Sapi4Start(int voice, int speed, int pitch, const std::string& outputFile);
void Sapi4End();
void Sapi4Speak(const std::string& text);
bool Sapi4Busy(int waitFlag);
void Sapi4Stop();
