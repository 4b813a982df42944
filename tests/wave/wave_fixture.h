// Wave playback on a recording fake device and the headless console.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "platform/os/messages.h"
#include "wave/snwav.h"

namespace wave_test {

// What the fake device was asked to do.
struct DeviceLog {
  std::vector<platform::AudioFormat> opens;
  std::vector<std::vector<uint8_t>> writes;
  int resets = 0, closes = 0;
  bool open = false;
  bool autoDone = true;  // blocks come back as soon as they are written
  int busyOpens = 0;     // opens that find the device busy first
  std::vector<intptr_t> held;
  std::function<void(size_t writes)> onWrite;
  std::function<int(intptr_t tag)> onUnprepare;
};

inline DeviceLog& Log() {
  static DeviceLog log;
  return log;
}

class RecordingDevice : public platform::AudioOut {
 public:
  int Open(const platform::AudioFormat& f) override {
    if (Log().busyOpens > 0) return --Log().busyOpens, platform::AUDIO_ALLOCATED;
    Log().opens.push_back(f);
    Log().open = true;
    return platform::AUDIO_OK;
  }
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    Log().writes.emplace_back(data, data + length);
    if (Log().autoDone) platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
    else Log().held.push_back(tag);
    if (Log().onWrite) Log().onWrite(Log().writes.size());
  }
  void Reset() override {
    ++Log().resets;
    ReturnHeld();
  }
  void Close() override {
    ++Log().closes;
    Log().open = false;
    ReturnHeld();
  }
  int Unprepare(intptr_t tag) override {
    return Log().onUnprepare ? Log().onUnprepare(tag) : platform::AUDIO_OK;
  }

 private:
  static void ReturnHeld() {
    for (intptr_t tag : Log().held) platform::PostMessage(platform::MM_WOM_DONE, 0, tag);
    Log().held.clear();
  }
};

inline const std::string& TempDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonaris-wave-XXXXXX").string();
    return std::string(mkdtemp(pattern.data()));
  }();
  return dir;
}

inline void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

// A chunk: its identifier, the length it declares and the body it has.
inline std::vector<uint8_t> Chunk(const char* id, uint32_t declared, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> c(8);
  std::copy_n(id, 4, c.begin());
  Put32(c, 4, declared);
  c.insert(c.end(), body.begin(), body.end());
  return c;
}

// A RIFF/WAVE image made of the chunks, its RIFF length true.
inline std::vector<uint8_t> Riff(std::initializer_list<std::vector<uint8_t>> chunks,
                                 const char* riff = "RIFF") {
  std::vector<uint8_t> v(12);
  std::copy_n(riff, 4, v.begin());
  std::copy_n("WAVE", 4, v.begin() + 8);
  for (const auto& c : chunks) v.insert(v.end(), c.begin(), c.end());
  Put32(v, 4, uint32_t(v.size() - 8));
  return v;
}

// The 16-byte PCM format chunk body.
inline std::vector<uint8_t> PcmFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  std::vector<uint8_t> b(16);
  Put32(b, 0, 1u | uint32_t(channels) << 16);  // PCM, channels
  Put32(b, 4, rate);
  Put32(b, 8, rate * bits / 8 * channels);
  Put32(b, 12, uint32_t(bits / 8 * channels) | uint32_t(bits) << 16);  // block align, bits
  return b;
}

// A 44-byte-header RIFF image around the samples.
inline std::vector<uint8_t> WavImage(uint32_t rate, uint16_t bits, uint16_t channels,
                                     const std::vector<uint8_t>& samples) {
  return Riff({Chunk("fmt ", 16, PcmFormat(rate, bits, channels)),
               Chunk("data", uint32_t(samples.size()), samples)});
}

inline std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempDir() + "/" + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              std::streamsize(bytes.size()));
  return path;
}

inline std::vector<size_t> WriteSizes() {
  std::vector<size_t> sizes;
  for (const auto& w : Log().writes) sizes.push_back(w.size());
  return sizes;
}

inline void PressKey(char c) { platform::PostMessage(platform::WM_CHAR, uint8_t(c)); }

class WaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SONARIS_DISPLAY", "headless", 1);
    setenv("SONARIS_WINDIR", TempDir().c_str(), 1);
    OpenConsole();
    WaveEnd();
    platform::ClearMessages();
    while (KeyPressed()) ReadKey();
    Log() = DeviceLog{};
    BreakOnKey = true;
    PlayAsync = RapidMode = CutSpeech = false;
    platform::SetAudioOutFactory([] { return std::make_unique<RecordingDevice>(); });
    WaveStart();
  }
  void TearDown() override {
    Log().onWrite = nullptr;
    Log().onUnprepare = nullptr;
    WaveEnd();
    platform::SetAudioOutFactory(nullptr);
    while (KeyPressed()) ReadKey();
  }
};

}  // namespace wave_test
