#include "tests/speech/fakes.h"

#include <cstdlib>
#include <cstring>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/os/messages.h"
#include "platform/os/riff.h"
#include "sapi/snsapi4.h"
#include "sapi/snsapi5.h"
#include "sapi/voice_notice.h"
#include "tts/snfonserv.h"
#include "wave/snwav.h"

FakeWorld Fake;

void ResetFakes() { Fake = FakeWorld(); }

std::vector<std::string> EventsOf(const std::string& kind) {
  std::vector<std::string> out;
  for (const std::string& e : Fake.events)
    if (e.compare(0, kind.size() + 1, kind + ":") == 0) out.push_back(e.substr(kind.size() + 1));
  return out;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

namespace {

void Heard(const std::string& event) {
  Fake.events.push_back(event);
  Fake.playingPolls = Fake.soundLength;
  if (++Fake.soundsHeard == Fake.keyAfterSounds) Fake.keys.push_back('k');
}

// The last folder and the file name, without ".wav".
std::string ShortName(const std::string& path) {
  size_t slash = path.rfind('/');
  size_t folder = slash == 0 || slash == std::string::npos ? 0 : path.rfind('/', slash - 1) + 1;
  std::string s = path.substr(folder);
  return s.size() > 4 ? s.substr(0, s.size() - 4) : s;
}

std::string Voice(const char* what, int kind) { return std::string(what) + " " + std::to_string(kind); }

}  // namespace

// Console
uint8_t TextAttribute = 7;
bool KeyPressed() { return !Fake.keys.empty(); }
uint8_t ReadKey() {
  Fake.heldMods = 0;
  if (Fake.keys.empty() && !Fake.typed.empty()) {
    auto [key, mods] = Fake.typed.front();
    Fake.typed.pop_front();
    Fake.heldMods = mods;
    return key;
  }
  if (Fake.keys.empty()) return 0;
  uint8_t k = Fake.keys.front();
  Fake.keys.pop_front();
  return k;
}
void PumpMessages() {}
bool SilencePending() { return false; }
void RoutedCell(int& column, int& row) {
  column = Fake.routedColumn;
  row = Fake.routedRow;
}
void Delay(uint16_t ms) { Fake.events.push_back("delay:" + std::to_string(ms)); }
void StdWrite(const std::string& text) { Fake.screen += text; }
void StdWriteLn(const std::string& text) { Fake.screen += text + "\n"; }
void StdFlush() {}
std::string StdReadLn() {
  ++Fake.linesRead;
  return "";
}
void CloseConsole() { throw ConsoleClosed{}; }
void SoundAlarm() { Fake.events.push_back("alarm"); }
void CurrentTime(uint16_t& h, uint16_t& m, uint16_t& s, uint16_t& c) {
  h = uint16_t(Fake.clock[0]);
  m = uint16_t(Fake.clock[1]);
  s = c = 0;
}
void CurrentDate(uint16_t& y, uint16_t& m, uint16_t& d, uint16_t& w) {
  d = uint16_t(Fake.clock[0]);
  m = uint16_t(Fake.clock[1]);
  y = uint16_t(Fake.clock[2]);
  w = 0;
}

// Messages: a wait lets a playing sound run on by one step.
namespace platform {
void PostMessage(unsigned message, uintptr_t, intptr_t) {
  if (message == WM_SPEECH_WAKE) ++Fake.wakes;
}
void WaitMessage() {
  ++Fake.messageWaits;
  if (Fake.playingPolls > 0) --Fake.playingPolls;
}
}  // namespace platform

// Wave playback
bool BreakOnKey = true;
bool PlayAsync = false;
bool RapidMode = false;
bool CutSpeech = false;
int QueuedBlocks = 0;

SpeedSwitches SetSpeedSwitches(SpeedSwitches switches) {
  SpeedSwitches before{RapidMode, CutSpeech};
  RapidMode = switches.rapid;
  CutSpeech = switches.cut;
  return before;
}

int PlayWaveFile(const std::string& path) {
  if (KeyPressed()) return 0;
  Heard("file:" + ShortName(path));
  while (WavePlaying()) platform::WaitMessage();
  return 0;
}

void PlayWaveMemory(const uint8_t* image) {
  if (KeyPressed()) return;
  uint32_t length;
  std::memcpy(&length, image + 40, 4);
  std::string data(reinterpret_cast<const char*>(image + 44), length);
  bool text = length > 0 && data[0] == '[';
  Heard("image:" + (text ? data : std::to_string(length) + " bytes"));
}

bool WavePlaying() {
  if (KeyPressed()) StopWave();
  return Fake.playingPolls > 0;
}

void StopWave() {
  ++Fake.stopWaves;
  Fake.playingPolls = 0;
}

// Diphone synthesizer: the "phonetic" form of a phrase is the phrase.
std::string DiphoneDbName;
std::string SynthLettersDir;
std::string DiphoneDir;
int DiphoneStart() { return Fake.diphoneStartCode; }
void DiphoneEnd() { ++Fake.diphoneEnds; }
void DiphoneSetTuning(int cut, int keep, int gap) {
  Fake.tuning[0] = cut;
  Fake.tuning[1] = keep;
  Fake.tuning[2] = gap;
}
void TranslateText(const std::string& text, std::string& phonetic) { phonetic = text; }
void SetPhoneticDevice(SoundSink*) {}
void SpeakPhonetic(const std::string& phonetic, bool) {
  if (KeyPressed()) return;
  Heard("phrase:" + phonetic);
  while (WavePlaying()) platform::WaitMessage();
}

// Voice back ends, one recorder for all four kinds.
namespace {
bool Start(int kind, int v, int s, int p, const std::string& file) {
  Fake.voiceCalls.push_back("start " + std::to_string(kind) + " " + std::to_string(v) + " " +
                            std::to_string(s) + " " + std::to_string(p) + file);
  return Fake.voiceStartResult;
}
bool Busy(int kind) {
  Fake.voiceCalls.push_back(Voice("busy", kind));
  if (Fake.voiceBusyPolls == 0) return false;
  --Fake.voiceBusyPolls;
  return true;
}
}  // namespace

// The calls every back end shares, for the prefix of its names and its kind.
#define RECORDED_VOICE(Name, kind)                                                  \
  void Name##End() { Fake.voiceCalls.push_back(Voice("end", kind)); }              \
  void Name##Speak(const std::string& t) {                                         \
    Fake.voiceCalls.push_back(Voice("speak", kind) + " " + t);                     \
  }                                                                                 \
  void Name##Stop() { Fake.voiceCalls.push_back(Voice("stop", kind)); }
// No back end here fails with a reason to say.
VoiceNotice TakeVoiceNotice() { return {}; }
void ReportVoiceFailure(const std::string&, const std::string&, const std::string&) {}

RECORDED_VOICE(Toada, 3)
RECORDED_VOICE(Sapi5, 5)
RECORDED_VOICE(Sapi54, 54)
RECORDED_VOICE(Sapi4, 4)

bool ToadaStart(int v, int s, int p, const std::string& f) { return Start(3, v, s, p, f); }
bool ToadaBusy() { return Busy(3); }
bool ToadaFailed() { return Fake.voiceFailed; }
const ToadaSettings& ToadaLoadSettings(ConfigReader) {
  static ToadaSettings settings;
  return settings;
}
bool Sapi5Start(int v, int s, const std::string& f) { return Start(5, v, s, -1, f); }
bool Sapi5Busy() { return Busy(5); }
bool Sapi54Start(int v, int s, const std::string& f) { return Start(54, v, s, -1, f); }
bool Sapi54Busy() { return Busy(54); }
bool Sapi5Failed() { return Fake.voiceFailed; }
bool Sapi54Failed() { return Fake.voiceFailed; }
bool Sapi4Start(int v, int s, int p, const std::string& f) { return Start(4, v, s, p, f); }
bool Sapi4Busy(int flag) {
  Fake.voiceCalls.push_back("flag " + std::to_string(flag));
  return Busy(4);
}

#include <filesystem>
#include <random>
#include <fstream>

#include "speech/sncrt.h"

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

void WriteWordFile(const std::string& folder, const std::string& name, const std::string& samples) {
  uint8_t header[platform::kWaveHeaderBytes];
  platform::WriteWaveHeader(header, uint32_t(samples.size()), 11025, 8, 1);
  WriteFile(folder + "/synth/" + name + ".wav",
            std::string(reinterpret_cast<char*>(header), sizeof header) + samples);
}

std::string MakeTestFolder() {
  static int count = 0;
  static std::string previous;
  if (!previous.empty()) std::filesystem::remove_all(previous);
  std::string folder = std::filesystem::temp_directory_path().string() + "/sonaris-speech-" +
                       std::to_string(std::random_device{}()) + "-" + std::to_string(++count);
  previous = folder;
  for (const char* sub : {"synth", "letras", "words", "data"})
    std::filesystem::create_directories(folder + "/" + sub);
  // No installed sample settings: a test's own file and the defaults count.
  setenv("SONARIS_DATA", (folder + "/data").c_str(), 1);
  const char* words[] = {"_zero", "_um", "_uma", "_dois", "_duas", "_tres", "_quatro", "_cinco",
                         "_seis", "_sete", "_e", "_vinte", "_trinta", "_quinhen", "_mil",
                         "_dezesse", "_dezeset", "_cem", "_cento", "_duzento", "_milhao",
                         "_milhoes"};
  for (const char* w : words) WriteWordFile(folder, w, std::string("[") + w + "]");
  SynthLettersDir = folder + "/synth\\";
  LettersDir = folder + "/letras\\";
  WordDir = folder + "/words\\";
  return folder;
}
