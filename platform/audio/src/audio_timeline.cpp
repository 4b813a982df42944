// The clock-driven player behind the capture and silent back ends.
#include "platform/audio/src/audio_timeline.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

namespace platform::audio {
namespace {

constexpr auto kPlayingTick = std::chrono::milliseconds(10);
constexpr auto kIdleTick = std::chrono::milliseconds(250);
constexpr size_t kChunk = 1024;

// Every timeline, so that all of them stop together at program end.
struct TimelineRegistry {
  std::mutex lock;
  std::vector<Timeline*> all;
};
TimelineRegistry registry;

void StopAllTimelines() {
  std::lock_guard<std::mutex> g(registry.lock);
  for (Timeline* t : registry.all) t->Stop();
}

// One frame as a 16-bit mono value.
int FrameValue(const Voice& v, const uint8_t* p) {
  int sum = 0;
  for (unsigned c = 0; c < v.format.channels; ++c) {
    if (v.format.bits == 8)
      sum += (int(p[c]) - 128) * 256;
    else
      sum += int16_t(p[2 * c] | p[2 * c + 1] << 8);
  }
  return sum / int(v.format.channels);
}

}  // namespace

Timeline::Timeline(std::unique_ptr<TimelineSink> sink) : sink_(std::move(sink)) {
  std::lock_guard<std::mutex> g(registry.lock);
  if (registry.all.empty()) std::atexit(StopAllTimelines);
  registry.all.push_back(this);
  AddClockSource(this);
}

void Timeline::Attach(Voice& v) {
  std::lock_guard<std::mutex> g(lock_);
  voices_.push_back(&v);
}

void Timeline::Detach(Voice& v) {
  std::lock_guard<std::mutex> g(lock_);
  Return(v);
  voices_.erase(std::remove(voices_.begin(), voices_.end(), &v), voices_.end());
}

int Timeline::Open(Voice& v, const AudioFormat& format) {
  if (!FormatSupported(format)) return AUDIO_BADFORMAT;
  std::lock_guard<std::mutex> g(lock_);
  Return(v);
  v.format = format;
  v.frameBytes = FrameBytes(format);
  v.open = true;
  v.loop = false;
  Start();
  return AUDIO_OK;
}

void Timeline::Write(Voice& v, const Block& b) {
  std::lock_guard<std::mutex> g(lock_);
  if (!v.open || stopping_) {
    PostBlockDone(b.tag);
    return;
  }
  if (v.blocks.empty()) {
    // A sound that starts now, not where the clock's last tick was.
    v.startAt = Due();
    v.pos = 0;
    v.phase = 0;
  }
  v.blocks.push_back(b);
  wake_.notify_one();
}

void Timeline::Reset(Voice& v) {
  std::lock_guard<std::mutex> g(lock_);
  Return(v);
}

void Timeline::Close(Voice& v) {
  std::lock_guard<std::mutex> g(lock_);
  Return(v);
  v.open = false;
}

void Timeline::Loop(Voice& v, const AudioFormat& format, const uint8_t* data, size_t length) {
  if (!FormatSupported(format)) return;
  std::lock_guard<std::mutex> g(lock_);
  v.format = format;
  v.frameBytes = FrameBytes(format);
  v.blocks.assign(1, Block{data, length, 0});
  v.open = v.loop = true;
  v.pos = v.phase = 0;
  Start();
  v.startAt = Due();
  wake_.notify_one();
}

void Timeline::Stop() {
  {
    std::lock_guard<std::mutex> g(lock_);
    if (!started_ || stopping_) return;
    stopping_ = true;
  }
  wake_.notify_one();
  writer_.join();
}

// Hands every queued block back (loops have nothing to return).
void Timeline::Return(Voice& v) {
  if (!v.loop)
    for (const Block& b : v.blocks) PostBlockDone(b.tag);
  v.blocks.clear();
  v.loop = false;
  v.pos = v.phase = 0;
}

void Timeline::Start() {
  if (started_) return;
  started_ = true;
  t0Us_ = MonotonicNs() / 1000;
  writer_ = std::thread([this] { Run(); });
}

uint64_t Timeline::Due() const {
  return uint64_t(MonotonicNs() / 1000 - t0Us_) * kTimelineRate / 1000000;
}

// When the voice's first block will have sounded to its last frame: the
// first time at which Due() reaches the sample after it.
int64_t Timeline::BlockEndNs(const Voice& v) const {
  const Block& b = v.blocks.front();
  const uint64_t frames = b.length / v.frameBytes, at = v.pos / v.frameBytes;
  const uint64_t left = frames > at ? frames - at : 0;
  // Output samples until `left` frames have been taken at the voice's rate.
  const uint64_t samples =
      left == 0 ? 1 : (left * kTimelineRate - v.phase + v.format.rate - 1) / v.format.rate;
  const uint64_t end = std::max(written_, v.startAt) + samples;
  const uint64_t us = (end * 1000000 + kTimelineRate - 1) / kTimelineRate;
  return (t0Us_ + int64_t(us)) * 1000;
}

int64_t Timeline::NextEventNs() {
  std::lock_guard<std::mutex> g(lock_);
  int64_t next = -1;
  if (!started_ || stopping_) return next;
  for (const Voice* v : voices_)
    if (v->open && !v->loop && !v->blocks.empty() && v->frameBytes > 0) {
      int64_t end = BlockEndNs(*v);
      if (next < 0 || end < next) next = end;
    }
  return next;
}

void Timeline::CatchUp() {
  std::lock_guard<std::mutex> g(lock_);
  if (started_ && !stopping_) Produce();
}

bool Timeline::Busy() const {
  return std::any_of(voices_.begin(), voices_.end(), [](const Voice* v) { return !v->blocks.empty(); });
}

void Timeline::Run() {
  std::unique_lock<std::mutex> lk(lock_);
  while (!stopping_) {
    Produce();
    if (Busy())
      wake_.wait_for(lk, kPlayingTick);
    else if (sink_)
      wake_.wait_for(lk, kIdleTick);  // keeps the file growing while idle
    else
      wake_.wait(lk);
  }
  Produce();
}

void Timeline::Produce() {
  int16_t mix[kChunk];
  for (uint64_t due = Due(); written_ < due;) {
    size_t n = size_t(std::min<uint64_t>(due - written_, kChunk));
    for (size_t i = 0; i < n; ++i) {
      int sum = 0;
      for (Voice* v : voices_) sum += Sample(*v, written_ + i);
      mix[i] = int16_t(std::clamp(sum, -32768, 32767));
    }
    written_ += n;
    if (sink_) sink_->Append(mix, n);
  }
}

void Timeline::DropFinished(Voice& v) {
  while (!v.blocks.empty() && v.pos + v.frameBytes > v.blocks.front().length) {
    if (v.loop && v.blocks.front().length >= v.frameBytes) {
      v.pos = 0;
      return;
    }
    if (!v.loop) PostBlockDone(v.blocks.front().tag);
    v.blocks.pop_front();
    v.pos = 0;
  }
}

int Timeline::Sample(Voice& v, uint64_t at) {
  if (!v.open || at < v.startAt) return 0;
  DropFinished(v);
  if (v.blocks.empty()) return 0;
  int value = FrameValue(v, v.blocks.front().data + v.pos);
  for (v.phase += v.format.rate; v.phase >= kTimelineRate; v.phase -= kTimelineRate)
    v.pos += v.frameBytes;
  DropFinished(v);  // a block is done as soon as its last frame has sounded
  return value;
}

Timeline& SilentTimeline() {
  static Timeline* t = new Timeline(nullptr);  // lives to the end, as devices may
  return *t;
}

std::unique_ptr<AudioOut> CreateNullOut(const std::string&) {
  return std::make_unique<TimelineOut>(SilentTimeline());
}

}  // namespace platform::audio
