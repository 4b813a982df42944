// wav:PATH: everything played goes into one WAV file as a real-time
// timeline (16-bit mono 22050 Hz), the quiet time included, so that tests
// can hear what was said and measure the pauses. The header's lengths are
// rewritten after every append: the file can be read while it grows.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "platform/audio/src/audio_timeline.h"
#include "platform/os/riff.h"

namespace platform::audio {
namespace {

class WavFileSink : public TimelineSink {
 public:
  explicit WavFileSink(int fd) : fd_(fd) {
    uint8_t h[kWaveHeaderBytes];
    WriteWaveHeader(h, 0, kTimelineRate, 16, 1);
    Put(h, sizeof h, 0);
  }
  ~WavFileSink() override { close(fd_); }

  void Append(const int16_t* samples, size_t count) override {
    bytes_.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
      bytes_[2 * i] = uint8_t(samples[i]);
      bytes_[2 * i + 1] = uint8_t(uint16_t(samples[i]) >> 8);
    }
    Put(bytes_.data(), bytes_.size(), kWaveHeaderBytes + dataLength_);
    dataLength_ += uint32_t(bytes_.size());
    uint8_t n[4];
    PutLe32(n, dataLength_);
    Put(n, 4, 40);
    PutLe32(n, dataLength_ + 36);
    Put(n, 4, 4);
  }

 private:
  void Put(const uint8_t* p, size_t n, off_t at) {
    while (n > 0) {
      ssize_t w = pwrite(fd_, p, n, at);
      if (w <= 0) return;  // a full disk loses the capture, not the program
      p += w, n -= size_t(w), at += w;
    }
  }

  int fd_;
  uint32_t dataLength_ = 0;
  std::vector<uint8_t> bytes_;
};

// One capture per program: the first path named is the file.
Timeline& CaptureTimeline(const std::string& path) {
  static Timeline* t = [&] {
    int fd = path.empty() ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
      SayNoSound("(não foi possível criar o arquivo de som '" + path + "')");
      return &SilentTimeline();
    }
    return new Timeline(std::make_unique<WavFileSink>(fd));  // lives to the end
  }();
  return *t;
}

class CaptureLoopSound : public AudioLoop {
 public:
  CaptureLoopSound(Timeline& t, const AudioFormat& format, const uint8_t* data, size_t length)
      : t_(t) {
    t_.Attach(v_);
    t_.Loop(v_, format, data, length);
  }
  ~CaptureLoopSound() override { t_.Detach(v_); }

 private:
  Timeline& t_;
  Voice v_;
};

}  // namespace

std::unique_ptr<AudioOut> CreateCaptureOut(const std::string& path) {
  return std::make_unique<TimelineOut>(CaptureTimeline(path));
}

std::unique_ptr<AudioLoop> CaptureLoop(const std::string& path, const AudioFormat& format,
                                       const uint8_t* data, size_t length) {
  return std::make_unique<CaptureLoopSound>(CaptureTimeline(path), format, data, length);
}

}  // namespace platform::audio
