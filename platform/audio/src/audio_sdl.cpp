// The sound card through SDL2. SDL converts our rate and width to the
// card's; the callback runs on SDL's audio thread and only moves bytes and
// posts block-done messages. The device buffer is kept small so that a
// reset is heard within about ten milliseconds.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audio/src/audio_timeline.h"

namespace platform::audio {
namespace {

// The sound libraries print their own complaints on stderr, which would
// land in the middle of a terminal screen; SDL_GetError says the same.
class QuietStderr {
 public:
  QuietStderr() {
    std::fflush(stderr);
    saved_ = dup(2);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) dup2(null, 2), close(null);
  }
  ~QuietStderr() {
    if (saved_ >= 0) dup2(saved_, 2), close(saved_);
  }

 private:
  int saved_;
};

// After the first failure the program goes on without the card.
bool cardMissing = false;

void NoCard() {
  SayNoSound(std::string("(") + SDL_GetError() + ")");
  cardMissing = true;
}

// SDL's audio subsystem keeps threads of its own awake while it is up (the
// ALSA back end looks for new cards ten times a second): it is brought up
// when a device opens and let go after a while with none open, so that an
// idle program sleeps.
struct AudioUse {
  std::mutex lock;
  std::condition_variable changed;
  bool up = false;
  int devices = 0;
  uint64_t closes = 0;  // counts device closes: the idle time starts again
  int idleMs = 3000;
  bool ending = false;
  std::thread idler;
};
AudioUse& use = *new AudioUse;  // never destroyed: the idler may outlive statics

void LetGoWhenIdle() {
  std::unique_lock<std::mutex> l(use.lock);
  while (!use.ending) {
    if (!use.up || use.devices > 0) {
      use.changed.wait(l);
      continue;
    }
    uint64_t closes = use.closes;
    auto busy = [&] { return use.ending || use.devices > 0 || use.closes != closes; };
    if (use.changed.wait_for(l, std::chrono::milliseconds(use.idleMs), busy)) continue;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    use.up = false;
  }
}

void StopIdler() {
  {
    std::lock_guard<std::mutex> g(use.lock);
    use.ending = true;
  }
  use.changed.notify_all();
  if (use.idler.joinable()) use.idler.join();
}

// Called with use.lock held.
bool BringUp() {
  if (cardMissing) return false;
  if (use.up) return true;
  int failed;
  {
    QuietStderr quiet;
    failed = SDL_InitSubSystem(SDL_INIT_AUDIO);
  }
  if (failed != 0) return NoCard(), false;
  use.up = true;
  if (!use.idler.joinable() && !use.ending) {
    use.idler = std::thread(LetGoWhenIdle);
    std::atexit(StopIdler);
  }
  return true;
}

// About 10 ms of sound, a power of two as SDL likes.
Uint16 BufferFrames(uint32_t rate) {
  Uint16 frames = 64;
  while (frames * 100u < rate && frames < 4096) frames *= 2;
  return frames;
}

SDL_AudioDeviceID OpenCard(const AudioFormat& f, SDL_AudioCallback callback, void* user) {
  std::lock_guard<std::mutex> g(use.lock);
  if (!BringUp()) return 0;
  SDL_AudioSpec want{}, have{};
  want.freq = int(f.rate);
  want.format = f.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = Uint8(f.channels);
  want.samples = BufferFrames(f.rate);
  want.callback = callback;
  want.userdata = user;
  SDL_AudioDeviceID dev;
  {
    QuietStderr quiet;
    dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (dev == 0) {
    NoCard();
    use.changed.notify_all();  // nothing will open: let the subsystem go
    return 0;
  }
  ++use.devices;
  SDL_PauseAudioDevice(dev, 0);
  return dev;
}

void CloseCard(SDL_AudioDeviceID dev) {
  SDL_CloseAudioDevice(dev);  // waits for the callback to finish
  {
    std::lock_guard<std::mutex> g(use.lock);
    --use.devices;
    ++use.closes;
  }
  use.changed.notify_all();
}

uint8_t Silence(const AudioFormat& f) { return f.bits == 8 ? 0x80 : 0; }

class SdlOut : public AudioOut {
 public:
  ~SdlOut() override { Close(); }

  int Open(const AudioFormat& format) override {
    if (!FormatSupported(format)) return AUDIO_BADFORMAT;
    Close();
    format_ = format;
    dev_ = OpenCard(format, Fill, this);
    if (dev_ != 0) return AUDIO_OK;
    if (!silent_) silent_ = CreateNullOut("");
    return silent_->Open(format);  // blocks still come back in real time
  }

  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    if (dev_ == 0) {
      if (silent_) silent_->Write(data, length, tag);
      else PostBlockDone(tag);
      return;
    }
    SDL_LockAudioDevice(dev_);
    blocks_.push_back(Block{data, length, tag});
    SDL_UnlockAudioDevice(dev_);
  }

  void Reset() override {
    if (dev_ == 0) {
      if (silent_) silent_->Reset();
      return;
    }
    SDL_LockAudioDevice(dev_);
    ReturnAll();
    SDL_UnlockAudioDevice(dev_);
  }

  void Close() override {
    if (silent_) silent_->Close();
    if (dev_ == 0) return;
    CloseCard(dev_);
    dev_ = 0;
    ReturnAll();
  }

 private:
  void ReturnAll() {
    for (const Block& b : blocks_) PostBlockDone(b.tag);
    blocks_.clear();
    pos_ = 0;
  }

  static void Fill(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlOut*>(user);
    size_t filled = 0, want = size_t(len);
    while (filled < want && !self->blocks_.empty()) {
      const Block& b = self->blocks_.front();
      size_t n = std::min(want - filled, b.length - self->pos_);
      std::memcpy(stream + filled, b.data + self->pos_, n);
      filled += n;
      self->pos_ += n;
      if (self->pos_ == b.length) {
        PostBlockDone(b.tag);
        self->blocks_.pop_front();
        self->pos_ = 0;
      }
    }
    std::memset(stream + filled, Silence(self->format_), want - filled);
  }

  AudioFormat format_;
  SDL_AudioDeviceID dev_ = 0;
  std::deque<Block> blocks_;
  size_t pos_ = 0;
  std::unique_ptr<AudioOut> silent_;
};

class SdlLoop : public AudioLoop {
 public:
  SdlLoop(const AudioFormat& format, const uint8_t* data, size_t length)
      : data_(data), length_(length - length % FrameBytes(format)) {
    if (length_ > 0) dev_ = OpenCard(format, Fill, this);
  }
  ~SdlLoop() override {
    if (dev_ != 0) CloseCard(dev_);
  }

 private:
  static void Fill(void* user, Uint8* stream, int len) {
    auto* self = static_cast<SdlLoop*>(user);
    for (size_t filled = 0, want = size_t(len); filled < want;) {
      size_t n = std::min(want - filled, self->length_ - self->pos_);
      std::memcpy(stream + filled, self->data_ + self->pos_, n);
      filled += n;
      self->pos_ = (self->pos_ + n) % self->length_;
    }
  }

  const uint8_t* data_;
  size_t length_;
  size_t pos_ = 0;
  SDL_AudioDeviceID dev_ = 0;
};

}  // namespace

void SetDeviceIdleMs(int ms) {
  std::lock_guard<std::mutex> g(use.lock);
  use.idleMs = ms;
}

bool DeviceAudioUp() {
  std::lock_guard<std::mutex> g(use.lock);
  return use.up;
}

std::unique_ptr<AudioOut> CreateDeviceOut(const std::string&) { return std::make_unique<SdlOut>(); }

std::unique_ptr<AudioLoop> DeviceLoop(const std::string&, const AudioFormat& format,
                                      const uint8_t* data, size_t length) {
  return std::make_unique<SdlLoop>(format, data, length);
}

}  // namespace platform::audio
