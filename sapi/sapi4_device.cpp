#include "sapi/sapi4_device.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "console/snwin.h"
#include "wave/snwav.h"
#include "wave/wave_internal.h"

namespace {

constexpr int kDeviceBlocks = 4;
// Past this many queued blocks a short remainder waits to fill a fuller
// block, so that the four slots are not spent on scraps.
constexpr int kEagerBlocks = 2;

class DeviceDest : public platform::TtsAudioDest {
 public:
  explicit DeviceDest(WaveDoneProc onBlockDone) : onBlockDone_(onBlockDone) {}

  void Write(const int16_t* samples, size_t count, int rate) override {
    rate_ = rate;
    pending_.insert(pending_.end(), samples, samples + count);
    Service();
  }

  void Service() override {
    if (pending_.empty() || rate_ <= 0) return;
    // A pending key stops the voice: what it still makes is not played,
    // and the device stays closed until the next text.
    if (BreakOnKey && QueuedKeyCount() > 0) {
      pending_.clear();
      return;
    }
    if (SetWaveFormat(uint32_t(rate_), 16, 1) != 0) {
      pending_.clear();  // no device: the sound is lost, not queued forever
      return;
    }
    const size_t blockSamples = WaveSlotSize / 2;
    while (QueuedBlocks < kDeviceBlocks && !pending_.empty()) {
      if (QueuedBlocks >= kEagerBlocks && pending_.size() < blockSamples / 2) break;
      const size_t n = std::min(pending_.size(), blockSamples);
      if (!QueueWaveBlock(reinterpret_cast<const uint8_t*>(pending_.data()), uint32_t(n * 2))) break;
      pending_.erase(pending_.begin(), pending_.begin() + n);
    }
    WaveDoneHook = onBlockDone_;
  }

  bool Playing() override { return !pending_.empty() || QueuedBlocks > 0; }

  void Reset() override {
    pending_.clear();
    StopWave();
  }

  void Flush() override {}

 private:
  WaveDoneProc onBlockDone_;
  std::vector<int16_t> pending_;
  int rate_ = 0;
};

}  // namespace

std::unique_ptr<platform::TtsAudioDest> CreateDeviceDest(WaveDoneProc onBlockDone) {
  return std::make_unique<DeviceDest>(onBlockDone);
}
