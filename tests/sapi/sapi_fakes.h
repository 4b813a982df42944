// Recording fakes of the two system-voice stand-ins, on the headless
// console with no sound.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "platform/voices/sapi4_engine.h"
#include "platform/voices/sapi5_voice.h"
#include "sapi/voice_notice.h"

namespace sapi_test {

// Which call of a fake raises VoiceError ("" for none).
struct FakeLog {
  std::vector<std::string> calls;
  std::string failAt;
  int voiceCount = 3;
  platform::VoiceEvent complete;
  // Voices made so far; those numbered below faultBelow have lost their
  // daemon (neither is reset by Clear).
  int made = 0, faultBelow = 0;
  // SAPI 4: the sinks the adapter handed over.
  platform::TtsNotifySink* notify = nullptr;
  platform::TtsBufNotifySink* buf = nullptr;
  std::vector<std::string> texts;
  void Clear() {
    calls.clear();
    failAt.clear();
    voiceCount = 3;
    complete.Set();
    notify = nullptr;
    buf = nullptr;
    texts.clear();
  }
};

inline FakeLog& Log() {
  static FakeLog log;
  return log;
}

inline void Call(const std::string& what) {
  Log().calls.push_back(what);
  if (what.rfind(Log().failAt, 0) == 0 && !Log().failAt.empty())
    throw platform::VoiceError("falha de teste em " + what);
}

inline std::vector<platform::VoiceInfo> Voices() {
  std::vector<platform::VoiceInfo> v;
  for (int i = 1; i <= Log().voiceCount; ++i)
    v.push_back({"voz" + std::to_string(i), "pt-BR", "m" + std::to_string(i)});
  return v;
}

class FakeVoice : public platform::SpVoice {
 public:
  int number = Log().made++;
  std::string Fault() override {
    return number < Log().faultBelow ? "o speech-dispatcher foi encerrado" : "";
  }
  void SetEventInterests(int i) override { Call("interests " + std::to_string(i)); }
  std::vector<platform::VoiceInfo> GetVoices() override { Call("voices"); return Voices(); }
  void SetVoice(const platform::VoiceInfo& t) override { Call("voice " + t.name); }
  void SetRate(int r) override { Call("rate " + std::to_string(r)); }
  platform::VoiceEvent* SpeakCompleteEvent() override { return &Log().complete; }
  void SetAudioOutputStream(platform::SpFileStream*) override {}
  void Speak(const std::string& t, int flags) override {
    Call("speak " + std::to_string(flags) + " [" + t + "]");
  }
};

class FakeCentral : public platform::TtsCentral {
 public:
  void Register(platform::TtsNotifySink* s) override { Call("register"); Log().notify = s; }
  void UnRegister() override { Log().calls.push_back("unregister"); }
  void TextData(const std::string& t, platform::TtsBufNotifySink* s) override {
    Call("text");
    Log().buf = s;
    Log().texts.push_back(t);
  }
  void AudioReset() override { Call("reset"); }
  void SpeedSet(int32_t v) override { Call("speed " + std::to_string(v)); }
  void PitchSet(int16_t v) override { Call("pitch " + std::to_string(v)); }
  void Pump() override {}
};

class FakeEnum : public platform::TtsEnum {
 public:
  FakeEnum() { Call("enum"); }
  void Reset() override { next_ = 0; }
  bool Next(platform::VoiceInfo& m) override {
    auto v = Voices();
    if (next_ >= v.size()) return false;
    m = v[next_++];
    return true;
  }
  std::unique_ptr<platform::TtsCentral> Select(const std::string& id, platform::TtsAudioDest*) override {
    Call("select " + id);
    return std::make_unique<FakeCentral>();
  }

 private:
  size_t next_ = 0;
};

class SapiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SONARIS_DISPLAY", "headless", 1);
    setenv("SONARIS_AUDIO", "null", 1);
    Log().Clear();
    platform::SetSpVoiceFactory([] { Call("create"); return std::make_unique<FakeVoice>(); });
    platform::SetTtsEnumFactory([] { return std::make_unique<FakeEnum>(); });
    OpenConsole();
    platform::ClearMessages();
    TakeVoiceNotice();
  }
  void TearDown() override {
    platform::SetSpVoiceFactory(nullptr);
    platform::SetTtsEnumFactory(nullptr);
    CloseConsoleWindow();
  }
  static std::string Calls() {
    std::string all;
    for (const auto& c : Log().calls) all += (all.empty() ? "" : "; ") + c;
    return all;
  }
};

}  // namespace sapi_test
