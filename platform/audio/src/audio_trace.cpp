// SONARIS_AUDIO_TRACE=PATH: what the benchmarks see of the wave-out device.
// Each open, write, reset and close appends a line "<microseconds> <what>"
// with the monotonic clock (CLOCK_MONOTONIC), so that an outside program
// can time a key against the reset that silenced the device; the sound
// card adds "buffer <microseconds>" (what it still plays after a reset)
// when it opens and "release" when it lets a quiet device go.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/audio/src/audio_backends.h"

namespace platform::audio {
namespace {

// The trace file, opened on first use; -1 without SONARIS_AUDIO_TRACE.
int TraceFd() {
  static const int fd = [] {
    const char* path = std::getenv("SONARIS_AUDIO_TRACE");
    if (!path || !*path) return -1;
    return open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }();
  return fd;
}

class TracedOut : public AudioOut {
 public:
  explicit TracedOut(std::unique_ptr<AudioOut> inner) : inner_(std::move(inner)) {}
  int Open(const AudioFormat& format) override {
    int result = inner_->Open(format);
    TraceNote("open");
    return result;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    inner_->Write(data, length, tag);
    TraceNote("write");
  }
  void Reset() override {
    inner_->Reset();
    TraceNote("reset");
  }
  void Close() override {
    inner_->Close();
    TraceNote("close");
  }
  int Unprepare(intptr_t tag) override { return inner_->Unprepare(tag); }

 private:
  std::unique_ptr<AudioOut> inner_;
};

}  // namespace

void TraceNote(const std::string& what) {
  const int fd = TraceFd();
  if (fd < 0) return;
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  char line[96];
  int n = std::snprintf(line, sizeof line, "%lld %s\n",
                        static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000, what.c_str());
  if (n > 0 && write(fd, line, static_cast<size_t>(std::min(n, int(sizeof line) - 1))) < 0) return;
}

std::unique_ptr<AudioOut> Traced(std::unique_ptr<AudioOut> out) {
  if (TraceFd() < 0 || !out) return out;
  return std::make_unique<TracedOut>(std::move(out));
}

}  // namespace platform::audio
