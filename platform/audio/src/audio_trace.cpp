// SONARIS_AUDIO_TRACE=PATH: what the benchmarks see of the wave-out device.
// Each open, write, reset and close appends a line "<microseconds> <what>"
// with the monotonic clock (CLOCK_MONOTONIC), so that an outside program
// can time a key against the reset that silenced the device.
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/audio/src/audio_backends.h"

namespace platform::audio {
namespace {

class TracedOut : public AudioOut {
 public:
  TracedOut(std::unique_ptr<AudioOut> inner, int fd) : inner_(std::move(inner)), fd_(fd) {}
  ~TracedOut() override {
    inner_.reset();
    close(fd_);
  }
  int Open(const AudioFormat& format) override {
    int result = inner_->Open(format);
    Note("open");
    return result;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    inner_->Write(data, length, tag);
    Note("write");
  }
  void Reset() override {
    inner_->Reset();
    Note("reset");
  }
  void Close() override {
    inner_->Close();
    Note("close");
  }
  int Unprepare(intptr_t tag) override { return inner_->Unprepare(tag); }

 private:
  void Note(const char* what) {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    char line[64];
    int n = std::snprintf(line, sizeof line, "%lld %s\n",
                          static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000, what);
    if (n > 0 && write(fd_, line, static_cast<size_t>(n)) < 0) return;
  }

  std::unique_ptr<AudioOut> inner_;
  int fd_;
};

}  // namespace

std::unique_ptr<AudioOut> Traced(std::unique_ptr<AudioOut> out) {
  const char* path = std::getenv("SONARIS_AUDIO_TRACE");
  if (!path || !*path || !out) return out;
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return out;
  return std::make_unique<TracedOut>(std::move(out), fd);
}

}  // namespace platform::audio
