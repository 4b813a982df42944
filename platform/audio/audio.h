// The wave-out device: the audio back end chosen by SONARIS_AUDIO
// (device, wav:PATH, null). Each block the device has finished with comes
// back as an MM_WOM_DONE message posted to the UI thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

struct AudioFormat {
  uint32_t rate = 0;
  uint16_t bits = 0;
  uint16_t channels = 0;
};

// Error codes, as the wave-out device gives them.
enum : int {
  AUDIO_OK = 0,
  AUDIO_BADDEVICEID = 2,   // no device
  AUDIO_ALLOCATED = 4,     // device busy
  AUDIO_INVALHANDLE = 5,
  AUDIO_NODRIVER = 6,
  AUDIO_NOMEM = 7,
  AUDIO_BADFORMAT = 32,
  AUDIO_STILLPLAYING = 33,
};

class AudioOut {
 public:
  virtual ~AudioOut() = default;
  // 8 or 16 bits, 1 or 2 channels; anything else is AUDIO_BADFORMAT.
  // Opening an open device again reopens it with the new format.
  virtual int Open(const AudioFormat& format) = 0;
  // Queues a block; the memory stays the caller's until the block comes
  // back as MM_WOM_DONE with lParam = tag.
  virtual void Write(const uint8_t* data, size_t length, intptr_t tag) = 0;
  // Silences the device at once and returns every queued block.
  virtual void Reset() = 0;
  // Returns whatever is still queued, then closes.
  virtual void Close() = 0;
  // Takes back a block that came home; an error code when the device
  // still holds it.
  virtual int Unprepare(intptr_t tag) { (void)tag; return AUDIO_OK; }
};

std::unique_ptr<AudioOut> CreateAudioOut();                      // SONARIS_AUDIO
std::unique_ptr<AudioOut> CreateAudioOut(const std::string& choice);  // "wav:PATH"

// Tests: CreateAudioOut() makes its devices with this factory while one is
// set (an empty one returns to SONARIS_AUDIO).
using AudioOutFactory = std::function<std::unique_ptr<AudioOut>()>;
void SetAudioOutFactory(AudioOutFactory factory);

// The notice that the program goes on without sound (Windows-1252), once:
// empty before a device was found missing and after the first call. For
// the program to show on its screen as well as on stderr.
std::string TakeAudioNotice();

// A RIFF image played in a loop until StopLoopSound (the Braille mode's
// tones); it may sound together with the wave-out device. The image is
// copied: the caller may free it at once.
void LoopSound(const uint8_t* image, size_t size);
void StopLoopSound();

}  // namespace platform
