// The sound card through SDL2. SDL converts our rate and width to the
// card's; the callback runs on SDL's audio thread and only moves bytes and
// posts block-done messages. The device buffer is kept small so that a
// reset is heard within about ten milliseconds.
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/src/audio_timeline.h"
#include "platform/os/library.h"

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

// SDL is opened with the first device: a program that plays to a file or
// to nothing never loads it.
#define SONARIS_AUDIO_SDL(F)                                                          \
  F(SDL_CloseAudioDevice) F(SDL_GetError) F(SDL_InitSubSystem) F(SDL_LockAudioDevice) \
  F(SDL_OpenAudioDevice) F(SDL_PauseAudioDevice) F(SDL_QuitSubSystem) F(SDL_UnlockAudioDevice)
struct Library {
  SONARIS_AUDIO_SDL(SONARIS_LIBRARY_POINTER)
};
Library lib;

// After the first failure the program goes on without the card.
bool cardMissing = false;

void NoCard(const std::string& why) {
  SayNoSound("(" + why + ")");
  cardMissing = true;
}

void NoCard() { NoCard(lib.SDL_GetError()); }

class SdlOut;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// SDL's audio subsystem keeps threads of its own awake while it is up (the
// ALSA back end looks for new cards ten times a second), and an open device
// wakes its thread for every buffer even when it only plays silence. So a
// device that has had nothing to play for a while is let go, whoever opened
// it and whether or not anyone closes it, and comes back with the next
// block; with no device left the subsystem goes too. The program then
// sleeps.
struct AudioUse {
  std::mutex lock;
  std::condition_variable changed;
  bool up = false;
  int devices = 0;
  uint64_t closes = 0;  // counts device closes: the idle time starts again
  int idleMs = 3000;
  bool ending = false;
  std::thread idler;
  std::vector<SdlOut*> outs;  // the wave-out devices, to be let go when quiet
};
AudioUse& use = *new AudioUse;  // never destroyed: the idler may outlive statics

void LetGoWhenIdle();
void StopIdler();

// Called with use.lock held.
bool BringUp() {
  if (cardMissing) return false;
  if (use.up) return true;
  static std::string missing;
  static const bool loaded =
      OpenLibrary(SONARIS_SDL2_LIBRARY, {SONARIS_AUDIO_SDL(SONARIS_LIBRARY_ENTRY)}, missing);
  if (!loaded) return NoCard(missing), false;
  int failed;
  {
    QuietStderr quiet;
    failed = lib.SDL_InitSubSystem(SDL_INIT_AUDIO);
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

// Called with use.lock held.
SDL_AudioDeviceID OpenCardLocked(const AudioFormat& f, SDL_AudioCallback callback, void* user) {
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
    dev = lib.SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (dev == 0) {
    NoCard();
    use.changed.notify_all();  // nothing will open: let the subsystem go
    return 0;
  }
  ++use.devices;
  lib.SDL_PauseAudioDevice(dev, 0);
  // What a reset cannot take back: the sound already in the device's buffer.
  if (have.freq > 0)
    TraceNote("buffer " + std::to_string(uint64_t(have.samples) * 1000000 / uint64_t(have.freq)));
  use.changed.notify_all();
  return dev;
}

SDL_AudioDeviceID OpenCard(const AudioFormat& f, SDL_AudioCallback callback, void* user) {
  std::lock_guard<std::mutex> g(use.lock);
  return OpenCardLocked(f, callback, user);
}

// Called with use.lock held; the callback never takes it, so waiting for
// the callback to finish here cannot deadlock.
void CloseCardLocked(SDL_AudioDeviceID dev) {
  lib.SDL_CloseAudioDevice(dev);  // waits for the callback to finish
  --use.devices;
  ++use.closes;
  use.changed.notify_all();
}

void CloseCard(SDL_AudioDeviceID dev) {
  std::lock_guard<std::mutex> g(use.lock);
  CloseCardLocked(dev);
}

uint8_t Silence(const AudioFormat& f) { return f.bits == 8 ? 0x80 : 0; }

// The device's own state (dev_, parked_, the silent stand-in) changes under
// use.lock; its queue of blocks under SDL's device lock, which the
// callback holds.
class SdlOut : public AudioOut {
 public:
  SdlOut() {
    std::lock_guard<std::mutex> g(use.lock);
    use.outs.push_back(this);
  }
  ~SdlOut() override {
    Close();
    std::lock_guard<std::mutex> g(use.lock);
    use.outs.erase(std::find(use.outs.begin(), use.outs.end(), this));
  }

  int Open(const AudioFormat& format) override {
    if (!FormatSupported(format)) return AUDIO_BADFORMAT;
    Close();
    std::lock_guard<std::mutex> g(use.lock);
    format_ = format;
    quietSince_ = NowMs();
    dev_ = OpenCardLocked(format, Fill, this);
    if (dev_ != 0) return AUDIO_OK;
    if (!silent_) silent_ = CreateNullOut("");
    return silent_->Open(format);  // blocks still come back in real time
  }

  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    std::unique_lock<std::mutex> g(use.lock);
    if (parked_) Unpark();
    if (dev_ == 0) {
      g.unlock();
      if (silent_) silent_->Write(data, length, tag);
      else PostBlockDone(tag);
      return;
    }
    lib.SDL_LockAudioDevice(dev_);
    blocks_.push_back(Block{data, length, tag});
    quietSince_ = -1;
    lib.SDL_UnlockAudioDevice(dev_);
  }

  void Reset() override {
    std::lock_guard<std::mutex> g(use.lock);
    if (dev_ == 0) {
      if (silent_) silent_->Reset();
      return;
    }
    lib.SDL_LockAudioDevice(dev_);
    ReturnAll();
    lib.SDL_UnlockAudioDevice(dev_);
  }

  void Close() override {
    if (silent_) silent_->Close();
    std::lock_guard<std::mutex> g(use.lock);
    parked_ = false;
    if (dev_ == 0) return;
    CloseCardLocked(dev_);
    dev_ = 0;
    ReturnAll();
  }

  // The idler, use.lock held: lets the device go once it has had nothing to
  // play for idleMs. The time to look again, or -1 when there is nothing
  // to watch.
  int64_t LetGoIfQuiet(int64_t now) {
    if (dev_ == 0) return -1;
    lib.SDL_LockAudioDevice(dev_);
    const int64_t since = blocks_.empty() ? quietSince_.load() : -1;
    lib.SDL_UnlockAudioDevice(dev_);
    if (since < 0) return now + use.idleMs;  // still playing
    if (now - since < use.idleMs) return since + use.idleMs;
    CloseCardLocked(dev_);
    dev_ = 0;
    parked_ = true;
    TraceNote("release");
    return -1;
  }

 private:
  // use.lock held: the device comes back for a block after being let go.
  void Unpark() {
    parked_ = false;
    dev_ = OpenCardLocked(format_, Fill, this);
    if (dev_ != 0 || silent_) return;
    silent_ = CreateNullOut("");
    silent_->Open(format_);
  }

  void ReturnAll() {
    for (const Block& b : blocks_) PostBlockDone(b.tag);
    blocks_.clear();
    pos_ = 0;
    quietSince_ = NowMs();
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
    if (self->blocks_.empty() && self->quietSince_ < 0) self->quietSince_ = NowMs();
    std::memset(stream + filled, Silence(self->format_), want - filled);
  }

  AudioFormat format_;
  SDL_AudioDeviceID dev_ = 0;
  bool parked_ = false;  // let go while quiet; the next block opens it again
  std::deque<Block> blocks_;
  size_t pos_ = 0;
  std::atomic<int64_t> quietSince_{-1};  // ms; -1 while there is sound to play
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

void LetGoWhenIdle() {
  std::unique_lock<std::mutex> l(use.lock);
  while (!use.ending) {
    if (!use.up) {
      use.changed.wait(l);
      continue;
    }
    if (use.devices > 0) {
      const int64_t now = NowMs();
      int64_t next = -1;
      for (SdlOut* o : use.outs) {
        int64_t at = o->LetGoIfQuiet(now);
        if (at >= 0 && (next < 0 || at < next)) next = at;
      }
      if (use.devices == 0) {
        // The last device was let go after idleMs of quiet already.
        lib.SDL_QuitSubSystem(SDL_INIT_AUDIO);
        use.up = false;
      } else if (next < 0) {
        use.changed.wait(l);  // only loops play: they end when closed
      } else {
        use.changed.wait_for(l, std::chrono::milliseconds(next - now));
      }
      continue;
    }
    uint64_t closes = use.closes;
    auto busy = [&] { return use.ending || use.devices > 0 || use.closes != closes; };
    if (use.changed.wait_for(l, std::chrono::milliseconds(use.idleMs), busy)) continue;
    lib.SDL_QuitSubSystem(SDL_INIT_AUDIO);
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
