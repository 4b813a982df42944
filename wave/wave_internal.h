// Shared inside wave playback: the slot size and the file buffer.
#pragma once
#include <cstdint>

#include "wave/snwav.h"

// Starts the unit when nobody has yet.
void WaveEnsureStarted();
// The WaveSlotSize-byte buffer that file chunks are read into.
uint8_t* WaveFileBuffer();
