// The sound card's subsystem is let go when no sound has played for a
// while, so that nothing of it wakes an idle program, and comes back when
// a sound is played again. Runs in a child of its own, on SDL's dummy card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/audio/src/audio_backends.h"
#include "platform/os/clock.h"

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

[[noreturn]] void IdleCycle() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  audio::SetDeviceIdleMs(50);
  std::vector<uint8_t> block(441, 128);
  auto out = CreateAudioOut("device");
  for (int round = 0; round < 2; ++round) {
    if (out->Open({11025, 8, 1}) != AUDIO_OK || !audio::DeviceAudioUp()) std::_Exit(2);
    out->Write(block.data(), block.size(), 1);
    out->Reset();
    // Open, the device keeps the subsystem up however long it waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    if (!audio::DeviceAudioUp()) std::_Exit(3);
    out->Close();
    if (!GoesDown(5000)) std::_Exit(4);
  }
  std::_Exit(0);
}

TEST(DeviceAudio, SubsystemIsLetGoWhenIdleAndComesBackOnDemand) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(IdleCycle(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace platform
