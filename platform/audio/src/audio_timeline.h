// A clock-driven player: it takes the queued blocks of its voices at their
// real sample rate, mixes them to 16-bit mono and hands the mix, silence
// included, to a sink (the capture file; none for the silent back end).
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/src/audio_backends.h"
#include "platform/os/clock.h"

namespace platform::audio {

constexpr uint32_t kTimelineRate = 22050;

struct Block {
  const uint8_t* data = nullptr;
  size_t length = 0;
  intptr_t tag = 0;
};

// One sound source: a device's queue of blocks, or a loop.
struct Voice {
  AudioFormat format;
  unsigned frameBytes = 0;
  std::deque<Block> blocks;
  size_t pos = 0;        // byte offset of the current frame in the first block
  uint32_t phase = 0;    // resampling: input rate added per output sample
  uint64_t startAt = 0;  // first timeline sample the voice may sound at
  bool open = false;
  bool loop = false;
};

class TimelineSink {
 public:
  virtual ~TimelineSink() = default;
  virtual void Append(const int16_t* samples, size_t count) = 0;
};

// Runs on the program's clock: with the virtual one, a skip of the clock
// makes it write at once what the skipped time held.
class Timeline : public ClockSource {
 public:
  explicit Timeline(std::unique_ptr<TimelineSink> sink);
  void Attach(Voice& v);
  void Detach(Voice& v);
  int Open(Voice& v, const AudioFormat& format);
  void Write(Voice& v, const Block& b);
  void Reset(Voice& v);
  void Close(Voice& v);
  void Loop(Voice& v, const AudioFormat& format, const uint8_t* data, size_t length);
  // Writes the time up to now and stops the clock (program end).
  void Stop();
  int64_t NextEventNs() override;
  void CatchUp() override;

 private:
  void Run();
  void Start();
  void Produce();
  uint64_t Due() const;
  int64_t BlockEndNs(const Voice& v) const;
  int Sample(Voice& v, uint64_t at);
  void DropFinished(Voice& v);
  void Return(Voice& v);
  bool Busy() const;

  std::mutex lock_;
  std::condition_variable wake_;
  std::thread writer_;
  bool started_ = false, stopping_ = false;
  int64_t t0Us_ = 0;  // program clock at the first sample
  uint64_t written_ = 0;
  std::vector<Voice*> voices_;
  std::unique_ptr<TimelineSink> sink_;
};

// The silent timeline shared by the null back end and a missing device.
Timeline& SilentTimeline();

// A wave-out device on a timeline.
class TimelineOut : public AudioOut {
 public:
  explicit TimelineOut(Timeline& t) : t_(t) { t_.Attach(v_); }
  ~TimelineOut() override { t_.Detach(v_); }
  int Open(const AudioFormat& format) override { return t_.Open(v_, format); }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    t_.Write(v_, Block{data, length, tag});
  }
  void Reset() override { t_.Reset(v_); }
  void Close() override { t_.Close(v_); }

 private:
  Timeline& t_;
  Voice v_;
};

}  // namespace platform::audio
