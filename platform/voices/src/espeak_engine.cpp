#include "platform/voices/espeak_engine.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/os/clock.h"
#include "platform/os/library.h"
#include "platform/os/messages.h"

namespace platform {
namespace {

constexpr int kMinRate = 80, kMaxRate = 450;

// espeak-ng is opened when its voices are first asked for.
#define SONARIS_ESPEAK(F)                                                                 \
  F(espeak_GetParameter) F(espeak_Initialize) F(espeak_ListVoices) F(espeak_SetParameter) \
  F(espeak_SetSynthCallback) F(espeak_SetVoiceByName) F(espeak_Synth)
struct Library {
  SONARIS_ESPEAK(SONARIS_LIBRARY_POINTER)
};
Library lib;

// Says once, on standard error, why there are no espeak-ng voices.
bool OpenEspeak() {
  static const bool open = [] {
    std::string why;
    if (OpenLibrary(SONARIS_ESPEAKNG_LIBRARY, {SONARIS_ESPEAK(SONARIS_LIBRARY_ENTRY)}, why))
      return true;
    std::fprintf(stderr,
                 "Sonaris: as vozes do espeak-ng n\xC3\xA3o est\xC3\xA3o dispon\xC3\xADveis: %s.\n",
                 why.c_str());
    return false;
  }();
  return open;
}

struct EngineState {
  std::mutex lock;
  std::condition_variable wake;   // the worker: a text or the end
  std::condition_variable ready;  // a taker: an entry
  std::thread worker;
  bool initialized = false;
  bool running = false;
  bool stopping = false;
  bool synthesizing = false;
  bool holdsClock = false;  // while texts wait or one is synthesized
  int sampleRate = 0;
  std::string voice;
  int rate = 175, pitch = 50;
  std::deque<std::string> texts;
  std::deque<EspeakEvent> events;
  std::atomic<unsigned> generation{0};
};
// Never destroyed: the synthesis thread may still run when the program ends.
EngineState& E = *new EngineState;

// The samples come in real time: the program's clock may not skip ahead
// of them while there is text to synthesize. Called with E.lock held.
void HoldClockWhileBusy() { HoldClockWhile(E.holdsClock, E.synthesizing || !E.texts.empty()); }

// Pushes an entry unless a cancel came since the text began.
void Deliver(EspeakEvent&& e, unsigned generation) {
  {
    std::lock_guard<std::mutex> hold(E.lock);
    if (generation != E.generation) return;
    E.events.push_back(std::move(e));
  }
  E.ready.notify_all();
  PostMessage(WM_VOICE_WAKE);
}

unsigned CurrentGeneration = 0;  // of the text being synthesized (worker only)

int Collect(short* wav, int count, espeak_EVENT*) {
  if (CurrentGeneration != E.generation) return 1;  // cancelled: stop synthesizing
  if (wav && count > 0) {
    EspeakEvent e{EspeakEvent::Samples, std::vector<int16_t>(wav, wav + count)};
    Deliver(std::move(e), CurrentGeneration);
  }
  return 0;
}

void Work() {
  std::unique_lock<std::mutex> hold(E.lock);
  std::string applied;
  while (true) {
    E.wake.wait(hold, [] { return E.stopping || !E.texts.empty(); });
    if (E.stopping) return;
    std::string text = std::move(E.texts.front());
    E.texts.pop_front();
    E.synthesizing = true;
    CurrentGeneration = E.generation;
    const std::string voice = E.voice;
    const int rate = E.rate, pitch = E.pitch;
    hold.unlock();
    if (voice != applied && lib.espeak_SetVoiceByName(voice.c_str()) == EE_OK) applied = voice;
    lib.espeak_SetParameter(espeakRATE, rate, 0);
    lib.espeak_SetParameter(espeakPITCH, pitch, 0);
    Deliver({EspeakEvent::TextStarted, {}}, CurrentGeneration);
    lib.espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     nullptr);
    Deliver({EspeakEvent::TextDone, {}}, CurrentGeneration);
    hold.lock();
    E.synthesizing = false;
    HoldClockWhileBusy();
  }
}

bool Initialize() {
  if (E.initialized) return true;
  if (!OpenEspeak()) return false;
  const int rate =
      lib.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
  if (rate <= 0) return false;
  lib.espeak_SetSynthCallback(Collect);
  E.sampleRate = rate;
  E.initialized = true;
  return true;
}

std::string FirstLanguage(const espeak_VOICE* v) {
  return v->languages && v->languages[0] ? std::string(v->languages + 1) : std::string();
}

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::vector<VoiceInfo> EspeakVoices() {
  std::vector<VoiceInfo> out;
  {
    std::lock_guard<std::mutex> hold(E.lock);
    if (!Initialize()) return out;
  }
  const espeak_VOICE** list = lib.espeak_ListVoices(nullptr);
  for (int i = 0; list && list[i]; ++i)
    out.push_back({list[i]->name ? list[i]->name : "", FirstLanguage(list[i]),
                   list[i]->identifier ? list[i]->identifier : ""});
  OrderPortugueseFirst(out);
  return out;
}

std::string EspeakClosestVoice(const std::string& language) {
  const std::vector<VoiceInfo> voices = EspeakVoices();
  std::string tag = Lower(language);
  std::replace(tag.begin(), tag.end(), '_', '-');
  const std::string base = tag.substr(0, tag.find('-'));
  for (const VoiceInfo& v : voices)
    if (Lower(v.language) == tag) return v.id;
  for (const VoiceInfo& v : voices)
    if (Lower(v.language).substr(0, base.size()) == base && !base.empty()) return v.id;
  return voices.empty() ? std::string("roa/pt-BR") : voices.front().id;
}

bool EspeakStart(const std::string& voiceId) {
  std::unique_lock<std::mutex> hold(E.lock);
  if (!Initialize()) return false;
  if (E.running) {
    E.voice = voiceId;
    return true;
  }
  if (lib.espeak_SetVoiceByName(voiceId.c_str()) != EE_OK) return false;
  E.voice = voiceId;
  E.rate = lib.espeak_GetParameter(espeakRATE, 1);
  E.pitch = lib.espeak_GetParameter(espeakPITCH, 1);
  E.stopping = false;
  E.running = true;
  E.worker = std::thread(Work);
  return true;
}

void EspeakEnd() {
  {
    std::lock_guard<std::mutex> hold(E.lock);
    if (!E.running) return;
    E.stopping = true;
    ++E.generation;
    E.texts.clear();
    HoldClockWhileBusy();
  }
  E.wake.notify_all();
  E.worker.join();
  std::lock_guard<std::mutex> hold(E.lock);
  E.events.clear();
  E.running = false;
}

int EspeakSampleRate() { return E.sampleRate; }
int EspeakRate() { return E.rate; }
int EspeakPitch() { return E.pitch; }

void EspeakSetRate(int wordsPerMinute) {
  std::lock_guard<std::mutex> hold(E.lock);
  E.rate = std::clamp(wordsPerMinute, kMinRate, kMaxRate);
}

void EspeakSetPitch(int pitch) {
  std::lock_guard<std::mutex> hold(E.lock);
  E.pitch = std::clamp(pitch, 0, 99);
}

void EspeakQueue(const std::string& text) {
  {
    std::lock_guard<std::mutex> hold(E.lock);
    if (!E.running) return;
    E.texts.push_back(text);
    HoldClockWhileBusy();
  }
  E.wake.notify_all();
}

void EspeakCancel() {
  std::lock_guard<std::mutex> hold(E.lock);
  ++E.generation;
  E.texts.clear();
  E.events.clear();
  HoldClockWhileBusy();
}

bool EspeakTake(EspeakEvent& out, int waitMs) {
  std::unique_lock<std::mutex> hold(E.lock);
  if (waitMs > 0) E.ready.wait_for(hold, std::chrono::milliseconds(waitMs), [] { return !E.events.empty(); });
  if (E.events.empty()) return false;
  out = std::move(E.events.front());
  E.events.pop_front();
  return true;
}

bool EspeakIdle() {
  std::lock_guard<std::mutex> hold(E.lock);
  return E.texts.empty() && !E.synthesizing && E.events.empty();
}

}  // namespace platform
