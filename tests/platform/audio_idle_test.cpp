// The sound card is let go when no sound has played for a while, whether
// or not its user closed the device (a voice that queued its last block and
// went on waiting for keys never does), so that nothing of it wakes an idle
// program; it comes back when a sound is played again. Runs in a child of
// its own, on SDL's dummy card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/audio/src/audio_backends.h"
#include "platform/os/clock.h"
#include "platform/os/messages.h"

namespace platform {
namespace {

// Polls (bounded) until the subsystem is down.
bool GoesDown(int timeoutMs) {
  int64_t deadline = MonotonicMs() + timeoutMs;
  while (audio::DeviceAudioUp()) {
    if (MonotonicMs() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // poll interval
  }
  return true;
}

// Waits (bounded) for the block with this tag to come back.
bool BlockReturns(intptr_t tag) {
  int64_t deadline = MonotonicMs() + 5000;
  for (Message m; MonotonicMs() < deadline;) {
    if (!WaitMessageFor(100)) continue;
    while (PeekMessage(m))
      if (m.message == MM_WOM_DONE && m.lParam == tag) return true;
  }
  return false;
}

[[noreturn]] void IdleCycle() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  audio::SetDeviceIdleMs(50);
  std::vector<uint8_t> shortBlock(441, 128), longBlock(3 * 11025, 128);  // 40 ms, 3 s
  auto out = CreateAudioOut("device");
  if (out->Open({11025, 8, 1}) != AUDIO_OK || !audio::DeviceAudioUp()) std::_Exit(2);
  // Sound to play keeps it up, however long the idle time is.
  out->Write(longBlock.data(), longBlock.size(), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  if (!audio::DeviceAudioUp()) std::_Exit(3);
  out->Reset();
  for (int round = 0; round < 2; ++round) {
    // Quiet and never closed: let go all the same.
    out->Write(shortBlock.data(), shortBlock.size(), 2 + round);
    if (!audio::DeviceAudioUp()) std::_Exit(4);
    if (!BlockReturns(2 + round)) std::_Exit(5);
    if (!GoesDown(5000)) std::_Exit(6);
  }
  out->Close();
  if (audio::DeviceAudioUp()) std::_Exit(7);
  // Opened and closed again: the subsystem goes after the idle time too.
  if (out->Open({11025, 8, 1}) != AUDIO_OK || !audio::DeviceAudioUp()) std::_Exit(8);
  out->Close();
  if (!GoesDown(5000)) std::_Exit(9);
  std::_Exit(0);
}

TEST(DeviceAudio, QuietDeviceIsLetGoEvenOpenAndComesBackOnDemand) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(IdleCycle(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace platform
