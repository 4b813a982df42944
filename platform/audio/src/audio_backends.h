// Inside the audio layer: the back-end table and what the back ends share.
#pragma once
#include <memory>
#include <string>

#include "platform/audio/audio.h"

namespace platform::audio {

// A sound looping until the object is destroyed.
class AudioLoop {
 public:
  virtual ~AudioLoop() = default;
};

struct BackEnd {
  const char* name;
  std::unique_ptr<AudioOut> (*create)(const std::string& arg);
  // data stays valid while the loop lives.
  std::unique_ptr<AudioLoop> (*loop)(const std::string& arg, const AudioFormat& format,
                                     const uint8_t* data, size_t length);
};

std::unique_ptr<AudioOut> CreateNullOut(const std::string& arg);
std::unique_ptr<AudioOut> CreateCaptureOut(const std::string& path);
std::unique_ptr<AudioLoop> CaptureLoop(const std::string& path, const AudioFormat& format,
                                       const uint8_t* data, size_t length);
std::unique_ptr<AudioOut> CreateDeviceOut(const std::string& arg);
std::unique_ptr<AudioLoop> DeviceLoop(const std::string& arg, const AudioFormat& format,
                                      const uint8_t* data, size_t length);

// The sound card's subsystem is let go after ms without an open device
// (3 s; tests shorten it). DeviceAudioUp: whether it is up now.
void SetDeviceIdleMs(int ms);
bool DeviceAudioUp();

// The device itself, or with SONARIS_AUDIO_TRACE set, the device noting
// its open, write, reset and close in that file (benchmarks).
std::unique_ptr<AudioOut> Traced(std::unique_ptr<AudioOut> out);
// One line in that file (nothing without SONARIS_AUDIO_TRACE); any thread.
void TraceNote(const std::string& what);

bool FormatSupported(const AudioFormat& format);
unsigned FrameBytes(const AudioFormat& format);
// Posts MM_WOM_DONE for a block; does nothing once the program is ending
// (the message queue may already be gone).
void PostBlockDone(intptr_t tag);
// Tells the user once that sound is off.
void SayNoSound(const std::string& why);

// The format and samples of a RIFF/WAVE image, every read inside size.
bool ReadRiffImage(const uint8_t* image, size_t size, AudioFormat& format,
                   const uint8_t*& data, size_t& length);

}  // namespace platform::audio
