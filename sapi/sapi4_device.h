// The multimedia audio destination of the SAPI 4 back end: the engine's
// samples played through the wave unit's device.
#pragma once
#include <memory>

#include "platform/voices/sapi4_engine.h"

// onBlockDone runs on the UI thread each time the device gives back a
// block, after the wave unit has taken it back: it lets the engine hand on
// more sound before the device runs dry.
std::unique_ptr<platform::TtsAudioDest> CreateDeviceDest(void (*onBlockDone)());
