// Run-time binding of the MBROLA synthesizer library: the 23 entry points,
// taken from the library's typed record when it is loaded.
#pragma once
#include "platform/voices/mbrola.h"

#define SONARIS_MBROLA_GLOBAL(type, name) extern platform::type name;
SONARIS_MBROLA_ENTRY_POINTS(SONARIS_MBROLA_GLOBAL)
#undef SONARIS_MBROLA_GLOBAL

// Loads the library and binds every entry point; false (nothing kept)
// when the library is missing or lacks one of them.
bool LoadMbrola();
void UnloadMbrola();
bool MbrolaLoaded();
