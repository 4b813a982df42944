// Until this back end is built, it never starts, and speech stays on the
// built-in voice.
#include "sapi/snsapi4.h"

bool Sapi4Start(int, int, int, const std::string&) { return false; }
void Sapi4End() {}
void Sapi4Speak(const std::string&) {}
bool Sapi4Busy(int) { return false; }
void Sapi4Stop() {}
