// Wave playback: one wave-out device kept open while the format stays the
// same, fed from four rotating slots; a pending key cuts playback short.
#include "wave/snwav.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/clock.h"
#include "platform/os/messages.h"
#include "platform/os/riff.h"
#include "wave/wave_internal.h"

bool BreakOnKey = true;
bool PlayAsync = false;
bool RapidMode = false;
bool CutSpeech = false;
int QueuedBlocks = 0;

namespace {

constexpr int kQueueLimit = 4;
constexpr int kOpenAttempts = 100;
constexpr uint16_t kBusyRetryMs = 100;
constexpr int kFullQueueWaitMs = 2000;  // then the block is given up
constexpr uint32_t kMinBlock = 256;

struct WaveState {
  bool started = false;
  std::unique_ptr<platform::AudioOut> audio;
  bool deviceOpen = false;
  WaveFormatFields current;
  std::vector<uint8_t> slots[kQueueLimit];
  int lastSlot = 0;  // 1-based; 0 before the first block
  std::vector<uint8_t> fileBuffer;
  uint32_t stops = 0;     // StopWave calls so far: a producer sees it was stopped
  int64_t quietSince = -1;  // when the last block came back; -1 before any sound
};
WaveState W;

const struct {
  int code;
  const char* text;
} kUnprepareTexts[] = {
    {platform::AUDIO_INVALHANDLE, "Specified device handle is invalid."},
    {platform::AUDIO_NODRIVER, "No device driver is present."},
    {platform::AUDIO_NOMEM, "Unable to allocate or lock memory."},
    {platform::AUDIO_STILLPLAYING, "The data block pointed to by the pwh parameter is still in queue"},
};

bool KeyStops() { return BreakOnKey && KeyPressed(); }

// The first bytes of a key have come: silence at once. The key itself,
// known a moment later, then stops the playing as any key does.
void SilenceForArrivingKey() {
  if (BreakOnKey && W.deviceOpen && QueuedBlocks > 0) W.audio->Reset();
}

// Sleeps until a message comes (a finished block, a key) and handles it.
void WaitAndPump() {
  platform::WaitMessage();
  PumpMessages();
}

bool SameFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  return W.current.rate == rate && W.current.bits == bits && W.current.channels == channels;
}

// rate x 1.5 to the nearest integer, halves to even.
uint32_t RapidRate(uint32_t rate) {
  uint64_t twice = uint64_t(rate) * 3;  // twice the exact result
  uint64_t whole = twice / 2;
  if (twice % 2 == 1 && whole % 2 == 1) ++whole;
  return uint32_t(whole);
}

// Waits for room on the device and takes the next slot (0-based), or -1.
int TakeSlot() {
  const int64_t deadline = platform::MonotonicMs() + kFullQueueWaitMs;
  while (QueuedBlocks >= kQueueLimit) {
    const int64_t left = deadline - platform::MonotonicMs();
    if (left <= 0) break;
    if (platform::WaitMessageFor(int(left))) PumpMessages();
  }
  if (QueuedBlocks >= kQueueLimit) return -1;
  ++QueuedBlocks;
  W.lastSlot = W.lastSlot % kQueueLimit + 1;
  return W.lastSlot - 1;
}

// Pads a short block and hands the slot to the device.
void SendSlot(int slot, uint32_t length) {
  uint8_t* data = W.slots[slot].data();
  const bool eightBit = W.current.bits == 8;
  if (length < kMinBlock) std::memset(data + length, eightBit ? 128 : 0, kMinBlock - length);
  // Ends 8-bit mono sound at the mid level, so the device stops without a click.
  if (eightBit && W.current.channels == 1 && length != WaveSlotSize && length > 0)
    data[length - 1] = 128;
  W.audio->Write(data, std::max(length, kMinBlock), slot + 1);
}

void ReportUnprepare(int code) {
  for (const auto& t : kUnprepareTexts)
    if (t.code == code) StdWrite(t.text);
  StdFlush();
  StdReadLn();
}

}  // namespace

// The switches keep their values: the speech front end may set them
// before the first sound starts the unit.
void WaveStart() {
  if (W.started) return;
  QueuedBlocks = 0;
  W.audio = platform::CreateAudioOut();
  W.deviceOpen = false;
  W.current = {};
  W.lastSlot = 0;
  W.quietSince = -1;
  for (auto& s : W.slots) s.assign(WaveSlotSize, 128);
  W.fileBuffer.assign(WaveSlotSize, 0);
  W.started = true;
}

// Closes the device and lets the back end go, so that a later start may
// choose another one.
void WaveEnd() {
  if (!W.started) return;
  StopWave();
  W.audio.reset();
  W.started = false;
}

void WaveEnsureStarted() { WaveStart(); }

uint8_t* WaveFileBuffer() {
  WaveStart();
  return W.fileBuffer.data();
}

int OpenWaveDevice() {
  WaveStart();
  if (W.deviceOpen) return 0;
  WaveDoneHook = WaveBlockDone;
  WaveDoneHookEnabled = true;
  KeyArrivingHook = SilenceForArrivingKey;
  const platform::AudioFormat format{W.current.rate, W.current.bits, W.current.channels};
  int result = W.audio->Open(format);
  for (int attempt = 1; result == platform::AUDIO_ALLOCATED && attempt < kOpenAttempts; ++attempt) {
    Delay(kBusyRetryMs);
    result = W.audio->Open(format);
  }
  W.deviceOpen = result == platform::AUDIO_OK;
  return result;
}

int SetWaveFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  WaveStart();
  if (!SameFormat(rate, bits, channels))
    while (WavePlaying()) platform::WaitMessage();
  W.current = WaveFormatFields{channels, rate, bits};
  return OpenWaveDevice();
}

bool QueueWaveBlock(const uint8_t* data, uint32_t length) {
  WaveStart();
  if (!W.deviceOpen || length > WaveSlotSize) return false;
  int slot = TakeSlot();
  if (slot < 0) return false;
  std::memcpy(W.slots[slot].data(), data, length);
  SendSlot(slot, length);
  return true;
}

void WaveBlockDone(uintptr_t, intptr_t lParam) {
  if (lParam < 1 || lParam > kQueueLimit) return;  // not one of our slots
  int code = W.audio ? W.audio->Unprepare(lParam) : platform::AUDIO_OK;
  if (code != platform::AUDIO_OK) ReportUnprepare(code);
  if (QueuedBlocks > 0 && --QueuedBlocks == 0) W.quietSince = platform::MonotonicMs();
}

namespace {

void CloseDevice() {
  if (!W.deviceOpen) return;
  if (QueuedBlocks > 0) W.audio->Reset();
  PumpMessages();
  W.audio->Close();
  PumpMessages();
  W.deviceOpen = false;
  if (QueuedBlocks > 0 || W.quietSince < 0) W.quietSince = platform::MonotonicMs();
  QueuedBlocks = 0;  // a closed device holds no blocks
}

}  // namespace

// Every stop counts, so that whoever is producing sound for the device
// (a voice's output loop) sees it and stops too instead of opening the
// device again.
void StopWave() {
  ++W.stops;
  CloseDevice();
}

uint32_t WaveStopCount() { return W.stops; }

int64_t WaveQuietMs() {
  PumpMessages();
  if (QueuedBlocks > 0) return 0;
  if (W.quietSince < 0) return INT64_MAX;
  return platform::MonotonicMs() - W.quietSince;
}

bool WavePlaying() {
  WaveStart();
  PumpMessages();
  if (KeyStops())
    StopWave();
  else if (QueuedBlocks == 0)
    CloseDevice();  // the sound has ended: no stop
  return QueuedBlocks > 0;
}

int PlayPcm(const uint8_t* data, uint32_t length, uint32_t rate, uint16_t bits, uint16_t channels) {
  WaveStart();
  if (RapidMode) rate = RapidRate(rate);
  const bool compress = CutSpeech && channels == 1;
  const uint16_t deviceBits = compress && bits == 16 ? 8 : bits;
  // A pending key stops the sound before the device is (re)opened for it.
  if (KeyStops()) return StopWave(), 0;
  if (int result = SetWaveFormat(rate, deviceBits, channels)) return result;
  while (length > 0) {
    while (QueuedBlocks >= kQueueLimit) {
      if (KeyStops()) return StopWave(), 0;
      WaitAndPump();
    }
    if (KeyStops()) return StopWave(), 0;
    uint32_t n = std::min(length, WaveSlotSize);
    int slot = TakeSlot();
    if (slot >= 0) {
      uint8_t* block = W.slots[slot].data();
      std::memcpy(block, data, n);
      SendSlot(slot, compress ? CompressSpeech(block, n, bits, rate) : n);
    }
    data += n;
    length -= n;
  }
  return 0;
}

void PlayWaveMemory(const uint8_t* image) {
  if (!image || !platform::ChunkIdIs(image, "RIFF")) return;
  // The image's own RIFF length bounds every read of it.
  uint64_t size = uint64_t(platform::Le32(image + 4)) + 8;
  uint32_t total = 0, dataLength = 0;
  WaveFormatFields format;
  const uint8_t* data = nullptr;
  if (!ParseRiff(image, uint32_t(std::min<uint64_t>(size, UINT32_MAX)), total, format, dataLength, data))
    return;
  PlayPcm(data, dataLength, format.rate, format.bits, format.channels);
}
