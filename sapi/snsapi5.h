// The SAPI 5 and SAPI 5.4 voice back ends: system voices through
// speech-dispatcher. Both kinds behave the same and share one adapter;
// only their entry names differ.
#pragma once
#include <string>

bool Sapi5Start(int voice, int speed, const std::string& outputFile);
void Sapi5End();
void Sapi5Speak(const std::string& text);
bool Sapi5Busy();
void Sapi5Stop();
// True once the daemon has died or frozen under the voice (said once on
// stderr and kept as a notice): the front end goes on with its own voice.
bool Sapi5Failed();

bool Sapi54Start(int voice, int speed, const std::string& outputFile);
void Sapi54End();
void Sapi54Speak(const std::string& text);
bool Sapi54Busy();
void Sapi54Stop();
bool Sapi54Failed();
