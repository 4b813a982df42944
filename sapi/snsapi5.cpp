// The SAPI 5 adapter over the SpVoice stand-in. The voice queues texts
// itself; the adapter only learns of their end through the speak-complete
// event.
#include "sapi/snsapi5.h"

#include <memory>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "platform/os/paths.h"
#include "platform/voices/sapi5_voice.h"
#include "platform/os/text.h"
#include "sapi/voice_notice.h"

namespace {

constexpr int kAllVoiceEvents = 33790;
constexpr int kSpeakFlags = platform::SVSFlagsAsync | platform::SVSFIsNotXML;  // 17
constexpr int kBusyWaitMs = 20;

struct Sapi5State {
  std::unique_ptr<platform::SpVoice> voice;
  std::unique_ptr<platform::SpFileStream> file;
  platform::VoiceEvent* complete = nullptr;
  int voiceCount = 0;
  int voiceNumber = 0;
  // An ended voice stays connected for the next start: the line editor's
  // speed change ends and starts speech again, and connecting anew lists
  // every voice of the daemon (seconds with espeak-ng's variants).
  std::unique_ptr<platform::SpVoice> kept;
  bool breakdownReported = false;
};
// Never destroyed: a program that ends without Sapi5End does not wait on
// the daemon or tear down a voice under its threads.
Sapi5State& S5 = *new Sapi5State;

const char* const Name = "A voz do sistema (speech-dispatcher)";
const char* const Spoken = "A voz do sistema";

void Release() {
  S5.complete = nullptr;
  if (S5.voice) S5.voice->SetAudioOutputStream(nullptr);
  try {
    if (S5.file) S5.file->Close();
  } catch (const platform::VoiceError&) {
  }
  S5.file.reset();
  S5.voice.reset();
}

bool Fail(const std::string& reason) {
  Release();
  ReportVoiceFailure(Name, Spoken, reason);
  return false;
}

// A voice kept from the last start, when it still works; else a new one.
std::unique_ptr<platform::SpVoice> TakeVoice(bool toFile) {
  std::unique_ptr<platform::SpVoice> v = std::move(S5.kept);
  if (v && !toFile && v->Fault().empty()) return v;
  v.reset();
  return platform::CreateSpVoice();
}

}  // namespace

bool Sapi5Start(int voice, int rate, const std::string& outputFile) {
  Release();
  // Waiting for the daemon, the program keeps serving its window and keys.
  platform::SetVoiceWaitPump(PumpMessages);
  // Errors of any step make the start fail: the built-in voice stays.
  try {
    S5.voice = TakeVoice(!outputFile.empty());
    S5.breakdownReported = false;
    S5.voice->SetEventInterests(kAllVoiceEvents);
    const std::vector<platform::VoiceInfo> voices = S5.voice->GetVoices();
    S5.voiceCount = int(voices.size());
    if (S5.voiceCount == 0) return Fail("nenhuma voz instalada");
    if (voice < 1 || voice > S5.voiceCount) {
      voice = 1;
      rate = 0;
    }
    S5.voice->SetVoice(voices[voice - 1]);
    try {
      S5.voice->SetRate(rate);
    } catch (const platform::VoiceError&) {
      // a rate the voice refuses leaves its own
    }
    S5.complete = S5.voice->SpeakCompleteEvent();
    if (!outputFile.empty()) {
      S5.file = platform::CreateSpFileStream();
      S5.file->Open(platform::OutputPath(outputFile), platform::SSFMCreateForWrite, true);
      S5.voice->SetAudioOutputStream(S5.file.get());
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  S5.voiceNumber = voice;
  return true;
}

void Sapi5Speak(const std::string& text) {
  if (!S5.voice) return;
  try {
    S5.voice->Speak(platform::Cp1252ToUtf8(text.empty() ? " " : text), kSpeakFlags);
  } catch (const std::exception&) {
    // A daemon gone is told once by Sapi5Failed, not beeped at every text.
    if (S5.voice->Fault().empty()) VoiceBeep();
  }
}

bool Sapi5Busy() {
  if (!S5.complete || S5.complete->Wait(kBusyWaitMs)) return false;
  platform::PostMessage(platform::WM_VOICE_WAKE);
  return true;
}

void Sapi5Stop() {
  if (!S5.voice) return;
  try {
    S5.voice->Speak(" ", platform::SVSFPurgeBeforeSpeak);
  } catch (const std::exception&) {
  }
  Delay(50);
}

void Sapi5End() {
  while (Sapi5Busy()) Delay(300);
  if (S5.voice && !S5.file && S5.voice->Fault().empty()) S5.kept = std::move(S5.voice);
  Release();
}

bool Sapi5Failed() {
  if (!S5.voice) return false;
  const std::string fault = S5.voice->Fault();
  if (fault.empty()) return false;
  if (!S5.breakdownReported) ReportVoiceBreakdown(Name, Spoken, fault);
  S5.breakdownReported = true;
  return true;
}

// SAPI 5.4 voices are the same voices reached the same way.
bool Sapi54Start(int voice, int rate, const std::string& outputFile) {
  return Sapi5Start(voice, rate, outputFile);
}
void Sapi54End() { Sapi5End(); }
void Sapi54Speak(const std::string& text) { Sapi5Speak(text); }
bool Sapi54Busy() { return Sapi5Busy(); }
void Sapi54Stop() { Sapi5Stop(); }
bool Sapi54Failed() { return Sapi5Failed(); }
