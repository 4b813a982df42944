// The wave-out device: the audio back end chosen by SONARIS_AUDIO
// (device, wav:PATH, null). Each block the device has finished with comes
// back as an MM_WOM_DONE message posted to the UI thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct AudioFormat {
  uint32_t rate = 0;
  uint16_t bits = 0;
  uint16_t channels = 0;
};

// Error codes of Open, as the wave-out device gives them.
enum : int {
  AUDIO_OK = 0,
  AUDIO_BADDEVICEID = 2,   // no device
  AUDIO_ALLOCATED = 4,     // device busy
  AUDIO_BADFORMAT = 32,
};

class AudioOut {
 public:
  virtual ~AudioOut() = default;
  virtual int Open(const AudioFormat& format) = 0;
  // Queues a block; the memory stays the caller's until the block comes
  // back as MM_WOM_DONE with lParam = tag.
  virtual void Write(const uint8_t* data, size_t length, intptr_t tag) = 0;
  // Silences the device at once and returns every queued block.
  virtual void Reset() = 0;
  virtual void Close() = 0;
};

std::unique_ptr<AudioOut> CreateAudioOut();                      // SONARIS_AUDIO
std::unique_ptr<AudioOut> CreateAudioOut(const std::string& spec);

// A RIFF image played in a loop until StopLoopSound (the Braille mode's
// tones); it may sound together with the wave-out device.
void LoopSound(const uint8_t* image, size_t size);
void StopLoopSound();

}  // namespace platform
