// SAPI 4 engine modes over espeak-ng: each espeak-ng voice is a mode; the
// engine's samples go to the destination the adapter gave it.
#include <cstdio>
#include <deque>
#include <vector>

#include "platform/voices/espeak_engine.h"
#include "platform/os/riff.h"
#include "platform/voices/sapi4_engine.h"

namespace platform {
namespace {

TtsEnumFactory EnumFactory;

class EspeakCentral : public TtsCentral {
 public:
  explicit EspeakCentral(TtsAudioDest* dest) : dest_(dest) {}
  ~EspeakCentral() override { EspeakEnd(); }

  void Register(TtsNotifySink* sink) override { notify_ = sink; }
  void UnRegister() override { notify_ = nullptr; }

  // The engine takes the text into its queue at once: it counts as
  // started from here, so that a busy test right after sees it.
  void TextData(const std::string& text, TtsBufNotifySink* sink) override {
    sinks_.push_back(sink);
    EspeakQueue(text);
    if (sink) sink->TextDataStarted();
  }

  void AudioReset() override {
    EspeakCancel();
    sinks_.clear();
    if (dest_) dest_->Reset();
    StopAudio();
  }

  void SpeedSet(int32_t speed) override { EspeakSetRate(speed); }
  void PitchSet(int16_t pitch) override { EspeakSetPitch(pitch); }

  void Pump() override {
    EspeakEvent e;
    while (EspeakTake(e)) Handle(e);
    if (dest_) dest_->Service();
    if (audio_ && EspeakIdle() && (!dest_ || !dest_->Playing())) StopAudio();
  }

 private:
  void Handle(EspeakEvent& e) {
    TtsBufNotifySink* sink = sinks_.empty() ? nullptr : sinks_.front();
    switch (e.kind) {
      case EspeakEvent::TextStarted:
        break;
      case EspeakEvent::Samples:
        if (!audio_) {
          audio_ = true;
          if (notify_) notify_->AudioStart();
        }
        if (dest_) dest_->Write(e.samples.data(), e.samples.size(), EspeakSampleRate());
        break;
      case EspeakEvent::TextDone:
        if (!sinks_.empty()) sinks_.pop_front();
        if (sink) sink->TextDataDone();
        break;
    }
  }

  void StopAudio() {
    if (!audio_) return;
    audio_ = false;
    if (notify_) notify_->AudioStop();
  }

  TtsAudioDest* dest_;
  TtsNotifySink* notify_ = nullptr;
  std::deque<TtsBufNotifySink*> sinks_;
  bool audio_ = false;
};

class EspeakEnum : public TtsEnum {
 public:
  EspeakEnum() : modes_(EspeakVoices()) {
    if (modes_.empty()) throw VoiceError("a biblioteca espeak-ng n\xC3\xA3o iniciou");
  }
  void Reset() override { next_ = 0; }
  bool Next(VoiceInfo& mode) override {
    if (next_ >= modes_.size()) return false;
    mode = modes_[next_++];
    return true;
  }
  std::unique_ptr<TtsCentral> Select(const std::string& modeId, TtsAudioDest* dest) override {
    if (!EspeakStart(modeId))
      throw VoiceError("a voz " + modeId + " do espeak-ng n\xC3\xA3o p\xC3\xB4" "de ser aberta");
    return std::make_unique<EspeakCentral>(dest);
  }

 private:
  std::vector<VoiceInfo> modes_;
  size_t next_ = 0;
};

// A WAV file written as the samples come; the header is completed on Flush.
class WavFileDest : public TtsFileDest {
 public:
  ~WavFileDest() override { Flush(); if (file_) std::fclose(file_); }
  int Set(const std::string& path) override {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return 1;
    uint8_t header[kWaveHeaderBytes] = {};
    return std::fwrite(header, 1, sizeof header, file_) == sizeof header ? 0 : 1;
  }
  void Write(const int16_t* samples, size_t count, int rate) override {
    if (!file_) return;
    rate_ = rate;
    std::vector<uint8_t> bytes(count * 2);
    for (size_t i = 0; i < count; ++i) PutLe16(&bytes[i * 2], uint16_t(samples[i]));
    bytes_ += std::fwrite(bytes.data(), 1, bytes.size(), file_);
  }
  void Service() override {}
  bool Playing() override { return false; }
  void Reset() override {}
  void Flush() override {
    if (!file_) return;
    uint8_t header[kWaveHeaderBytes];
    WriteWaveHeader(header, uint32_t(bytes_), uint32_t(rate_), 16, 1);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(header, 1, sizeof header, file_);
    std::fseek(file_, 0, SEEK_END);
    std::fflush(file_);
  }

 private:
  std::FILE* file_ = nullptr;
  size_t bytes_ = 0;
  int rate_ = 22050;
};

}  // namespace

std::unique_ptr<TtsEnum> CreateTtsEnum() {
  if (EnumFactory) return EnumFactory();
  return std::make_unique<EspeakEnum>();
}

void SetTtsEnumFactory(TtsEnumFactory factory) { EnumFactory = std::move(factory); }

std::unique_ptr<TtsFileDest> CreateTtsFileDest() { return std::make_unique<WavFileDest>(); }

}  // namespace platform
