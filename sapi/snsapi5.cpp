// Until this back end is built, it never starts, and speech stays on the
// built-in voice.
#include "sapi/snsapi5.h"

bool Sapi5Start(int, int, const std::string&) { return false; }
void Sapi5End() {}
void Sapi5Speak(const std::string&) {}
bool Sapi5Busy() { return false; }
void Sapi5Stop() {}
