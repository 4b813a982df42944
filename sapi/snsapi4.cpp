// The SAPI 4 adapter: one engine mode chosen by its place in the
// enumeration, attached to the wave-out device or a WAV file, followed
// through two sinks that count queued texts and note playing audio.
#include "sapi/snsapi4.h"

#include <memory>

#include "console/snwin.h"
#include "platform/os/paths.h"
#include "platform/voices/sapi4_engine.h"
#include "platform/os/text.h"
#include "sapi/sapi4_device.h"
#include "sapi/voice_notice.h"
#include "wave/snwav.h"

namespace {

// The engine took texts through a buffer of this size, terminating zero
// included: longer texts go over in pieces.
constexpr size_t kTextBufferBytes = 64000;

struct Sapi4State {
  std::unique_ptr<platform::TtsAudioDest> dest;
  bool toFile = false;
  std::string outputFile;
  std::unique_ptr<platform::TtsEnum> enumerator;
  std::unique_ptr<platform::TtsCentral> engine;
  bool registered = false;
  int queuedTexts = 0;
  bool audioActive = false;
  bool pumping = false;
};
// Never destroyed: a program that ends without Sapi4End leaves the engine
// to the process's end instead of tearing it down under a running thread.
Sapi4State& S4 = *new Sapi4State;

struct BufSink : platform::TtsBufNotifySink {
  void TextDataStarted() override { ++S4.queuedTexts; }
  void TextDataDone() override {
    if (S4.queuedTexts > 0) --S4.queuedTexts;
  }
} BufNotify;

struct NotifySink : platform::TtsNotifySink {
  void AudioStart() override { S4.audioActive = true; }
  void AudioStop() override { S4.audioActive = false; }
} Notify;

// Lets the engine report progress and hand on sound; never re-entered
// from a message it pumps itself.
void PumpEngine() {
  if (!S4.engine || S4.pumping) return;
  S4.pumping = true;
  S4.engine->Pump();
  S4.pumping = false;
}

void Release() {
  if (S4.engine && S4.registered) S4.engine->UnRegister();
  S4.registered = false;
  S4.engine.reset();
  S4.enumerator.reset();
  if (S4.dest) S4.dest->Flush();
  S4.dest.reset();
  SetWaveBlockListener(nullptr);
  SetVoiceWakeHook(nullptr);
  S4.queuedTexts = 0;
  S4.audioActive = false;
}

bool Fail(const std::string& reason) {
  Release();
  ReportVoiceFailure("A voz SAPI 4 (espeak-ng)", "A voz do espeak-ng", reason);
  return false;
}

bool Blank(unsigned char c) { return c <= ' '; }

std::string Trimmed(const std::string& s) {
  size_t first = 0, last = s.size();
  while (first < last && Blank(s[first])) ++first;
  while (last > first && Blank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

// Pieces that each fit the buffer with their terminating zero, cut after
// a blank where there is one.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> out;
  const size_t room = kTextBufferBytes - 1;
  size_t at = 0;
  while (text.size() - at > room) {
    size_t cut = text.find_last_of(' ', at + room - 1);
    cut = (cut == std::string::npos || cut <= at) ? at + room : cut + 1;
    out.push_back(text.substr(at, cut - at));
    at = cut;
  }
  out.push_back(text.substr(at));
  return out;
}

}  // namespace

bool Sapi4Start(int voice, int speed, int pitch, const std::string& outputFile) {
  Release();
  S4.outputFile = outputFile;
  S4.toFile = !outputFile.empty();
  // 0 means the first mode; so does a number below it, which would
  // otherwise read no mode at all and select nothing.
  if (voice < 1) voice = 1;
  if (S4.toFile) {
    auto file = platform::CreateTtsFileDest();
    if (file->Set(platform::OutputPath(outputFile)) != 0)
      return Fail("o arquivo " + platform::Cp1252ToUtf8(outputFile) + " n\xC3\xA3o p\xC3\xB4" "de ser criado");
    S4.dest = std::move(file);
  } else {
    S4.dest = CreateDeviceDest(PumpEngine);
  }
  // Errors of the enumerator, the selection or Register fail the start:
  // the built-in voice stays.
  try {
    S4.enumerator = platform::CreateTtsEnum();
    S4.enumerator->Reset();
    platform::VoiceInfo mode, last;
    bool any = false;
    for (int i = 0; i < voice && S4.enumerator->Next(mode); ++i) {
      last = mode;
      any = true;
    }
    if (!any) return Fail("nenhuma voz instalada");
    S4.engine = S4.enumerator->Select(last.id, S4.dest.get());
    S4.engine->Register(&Notify);
    S4.registered = true;
    SetVoiceWakeHook(PumpEngine);
    if (speed != 0) S4.engine->SpeedSet(speed);
    if (pitch != 0) S4.engine->PitchSet(int16_t(pitch));
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return true;
}

void Sapi4End() { Release(); }

void Sapi4Speak(const std::string& text) {
  std::string t = Trimmed(text);
  if (t.empty()) return;
  if (t.size() == 1 && t[0] >= '0' && t[0] <= '9') t += '.';
  if (!S4.engine || (BreakOnKey && KeyPressed())) return;
  if (S4.queuedTexts > 0) Delay(20);
  try {
    for (const std::string& piece : Pieces(t)) S4.engine->TextData(platform::Cp1252ToUtf8(piece), &BufNotify);
  } catch (const std::exception&) {
    Sapi4Stop();
  }
}

bool Sapi4Busy(int queuedOnly) {
  PumpEngine();
  if (queuedOnly) return S4.queuedTexts > 0;
  return S4.queuedTexts > 0 || S4.audioActive;
}

// The engine is reset at once, whatever it holds, so that neither playing
// sound nor a text it has not begun yet outlives the stop.
void Sapi4Stop() {
  const bool wasActive = S4.audioActive;
  if (S4.engine) {
    try {
      S4.engine->AudioReset();
    } catch (const std::exception&) {
    }
    if (wasActive) Delay(150);
  }
  S4.audioActive = false;
  S4.queuedTexts = 0;
}
