// The SAPI 54 voice back end (system voices through speech-dispatcher).
#pragma once
#include <string>

bool Sapi54Start(int voice, int speed, const std::string& outputFile);
void Sapi54End();
void Sapi54Speak(const std::string& text);
bool Sapi54Busy();
void Sapi54Stop();
