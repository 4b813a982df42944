// The SAPI 5 voice back end (system voices through speech-dispatcher).
#pragma once
#include <string>

bool Sapi5Start(int voice, int speed, const std::string& outputFile);
void Sapi5End();
void Sapi5Speak(const std::string& text);
bool Sapi5Busy();
void Sapi5Stop();
