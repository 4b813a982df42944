// Until this back end is built, it never starts, and speech stays on the
// built-in voice.
#include "sapi/snsapi54.h"

bool Sapi54Start(int, int, const std::string&) { return false; }
void Sapi54End() {}
void Sapi54Speak(const std::string&) {}
bool Sapi54Busy() { return false; }
void Sapi54Stop() {}
