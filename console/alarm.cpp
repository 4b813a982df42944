// The signal of a program that cannot start: falling tones through the
// wave device and the terminal's bell. It needs no sound file, so a user
// who cannot read the message hears that something is wrong even when the
// speech data is what is missing.
#include "console/snwin.h"
#include "platform/os/bell.h"

namespace {

struct AlarmStep {
  uint16_t frequency;  // Hz; 0 is a rest
  uint16_t ms;
};

const AlarmStep AlarmSteps[] = {
    {880, 160}, {660, 160}, {440, 320}, {0, 160}, {880, 160}, {660, 160}, {440, 320},
};

}  // namespace

void SoundAlarm() {
  platform::RingTerminalBell();
  for (const AlarmStep& step : AlarmSteps) {
    if (step.frequency) PlayTone(step.frequency);
    else StopTone();
    Delay(step.ms);
  }
  StopTone();
}
