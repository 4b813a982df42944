#include "tests/speech/world.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/audio/audio.h"
#include "platform/display/headless.h"
#include "platform/os/keys.h"
#include "platform/os/riff.h"
#include "platform/os/spawn.h"
#include "speech/sncrt.h"

namespace fs = std::filesystem;

namespace speech_test {

std::vector<std::string> Runs;

namespace {

// Chosen before anything reads them: the clock is fixed at its first use.
const bool chosen = [] {
  setenv("SONARIS_CLOCK", "virtual", 1);
  setenv("SONARIS_DISPLAY", "headless", 1);
  setenv("SONARIS_AUDIO", "null", 1);
  return true;
}();

struct WorldState {
  std::string folder;
  Heard heard;
  std::string units;  // of the phrase being synthesized
  bool phraseSound = false;  // and whether any of them made a sound
  int pressAt = -1;
  char pressKey = 0;
} W;

// Wave playback ends each block at the mid level (its last sample) and
// pads it to 256 bytes: recordings end in a silent sample of their own.
std::string Short(const std::string& samples) {
  std::string s = samples.substr(0, samples.find_last_not_of('\x80') + 1);
  if (s.empty() || s[0] != '[') {
    if (samples.size() == 256 && !s.empty()) return "click";
    if (samples.size() == 512) return "buzz";
    return std::to_string(samples.size()) + " bytes";
  }
  for (size_t at = 0; (at = s.find("]\x80", at)) != std::string::npos;) s.erase(++at, 1);
  if (s.find(']') != s.size() - 1) return s;
  std::string name = s.substr(1, s.size() - 2);
  bool code = name.size() > 1 && name[0] == '_' &&
              name.find_first_not_of("0123456789", 1) == std::string::npos;
  return code ? std::string(1, char(std::stoi(name.substr(1)))) : name;
}

void FlushUnits() {
  if (!W.units.empty()) W.heard.push_back("say:" + W.units);
  W.units.clear();
  W.phraseSound = false;
}

// The silent back end, noting each block it is given.
class Listener : public platform::AudioOut {
 public:
  int Open(const platform::AudioFormat& f) override { return out_->Open(f); }
  // A phrase's units come before its sound: that block is the phrase's.
  void Write(const uint8_t* data, size_t length, intptr_t tag) override {
    if (!W.phraseSound) W.heard.push_back(Short(std::string(reinterpret_cast<const char*>(data), length)));
    if (!W.units.empty()) W.heard.insert(W.heard.end() - !W.phraseSound, "say:" + W.units);
    W.units.clear();
    W.phraseSound = false;
    if (--W.pressAt == 0) platform::PostMessage(platform::WM_CHAR, uintptr_t(W.pressKey));
    out_->Write(data, length, tag);
  }
  void Reset() override { out_->Reset(); }
  void Close() override { out_->Close(); }
  int Unprepare(intptr_t tag) override { return out_->Unprepare(tag); }

 private:
  std::unique_ptr<platform::AudioOut> out_ = platform::CreateAudioOut("null");
};

void NoteUnit(const std::string& unit, UnitOutcome outcome) {
  W.units += (W.units.empty() ? "" : " ") + unit;
  W.phraseSound |= outcome != UnitOutcome::Dropped && outcome != UnitOutcome::Split;
}

struct RecordingSpawner : platform::Spawner {
  bool Run(const std::string& program, const std::vector<std::string>& args,
           const std::string& dir) override {
    std::string line = program;
    for (const std::string& a : args) line += " [" + a + "]";
    Runs.push_back(line + " in " + dir);
    return true;
  }
};

struct KeyName {
  const char* name;
  unsigned vk, mods;
};
using namespace platform;
constexpr KeyName Keys[] = {
    {"F1", VK_F1, 0},           {"F5", VK_F5, 0},          {"F6", VK_F6, 0},
    {"F12", VK_F12, 0},         {"Home", VK_HOME, 0},      {"End", VK_END, 0},
    {"Up", VK_UP, 0},           {"Down", VK_DOWN, 0},      {"Left", VK_LEFT, 0},
    {"Right", VK_RIGHT, 0},     {"Del", VK_DELETE, 0},     {"ShiftTab", VK_TAB, ModShift},
    {"CtrlF1", VK_F1, ModCtrl}, {"CtrlF4", VK_F4, ModCtrl}, {"CtrlF5", VK_F5, ModCtrl},
    {"CtrlF9", VK_F9, ModCtrl}, {"CtrlLeft", VK_LEFT, ModCtrl}, {"CtrlRight", VK_RIGHT, ModCtrl},
    {"CtrlPgDn", VK_NEXT, ModCtrl}, {"CtrlPgUp", VK_PRIOR, ModCtrl},
    {"ShiftIns", VK_INSERT, ModShift}, {"CtrlIns", VK_INSERT, ModCtrl},
    {"AltQ", VK_A + 16, ModAlt}, {"AltW", VK_A + 22, ModAlt},
};

void TypeOne(unsigned message, uintptr_t key, unsigned mods) {
  HeadlessTypeWhenWaiting(Message{.message = message, .wParam = key, .mods = mods});
}

void WriteWave(const std::string& path, const std::string& samples) {
  uint8_t header[kWaveHeaderBytes];
  WriteWaveHeader(header, uint32_t(samples.size()), 11025, 8, 1);
  std::ofstream(path, std::ios::binary)
      << std::string(reinterpret_cast<char*>(header), sizeof header) << samples;
}

}  // namespace

void WriteFile(const std::string& name, const std::string& content) {
  std::ofstream(W.folder + "/" + name, std::ios::binary) << content;
}

void MakeDatabase(const std::string& name) {
  WriteFile("difones/" + name + ".IND", "");
  WriteFile("difones/" + name + ".DIF", "");
}

void Record(const std::string& name, const std::string& samples) {
  WriteWave(W.folder + "/letras/" + name + ".wav", samples + '\x80');
}

std::string ResetWorld() {
  static const bool opened = [] {
    OpenConsole();
    SetAudioOutFactory([] { return std::make_unique<Listener>(); });
    UnitReport = NoteUnit;
    PauseSink = [](int ms) {
      FlushUnits();
      W.heard.push_back("pause:" + std::to_string(ms));
    };
    return true;
  }();
  (void)opened;
  if (!W.folder.empty()) fs::remove_all(W.folder);
  std::string t = (fs::temp_directory_path() / "sonaris-speech-XXXXXX").string();
  W.folder = mkdtemp(t.data());
  for (const char* sub : {"letras", "words", "difones", "win", "data"})
    fs::create_directories(W.folder + "/" + sub);
  setenv("SONARIS_WINDIR", (W.folder + "/win").c_str(), 1);
  setenv("SONARIS_DATA", (W.folder + "/data").c_str(), 1);
  WriteFile("data/SONARIS.INI", "[TRADUTOR]\nDIRLETRAS=" + W.folder + "/letras\nDIRDIFONES=" +
                                    W.folder + "/difones\n");
  for (const char* rules : {"regras.rgr", "portug.exc"})
    fs::copy_file(std::string(SONARIS_SOURCE_DIR) + "/data/" + rules, W.folder + "/difones/" + rules);
  MakeDatabase("");
  for (int c = 1; c < 256; ++c) Record("_" + std::to_string(c), "[_" + std::to_string(c) + "]");
  for (const char* w :
       {"_zero", "_um", "_uma", "_dois", "_duas", "_tres", "_quatro", "_cinco", "_seis", "_sete",
        "_e", "_vinte", "_trinta", "_quinhen", "_mil", "_dezesse", "_dezeset", "_cem", "_cento",
        "_milhoes", "_MENOS", "_DEL", "_VELOC", "_FON97", "_hora", "_horas", "_minuto",
        "_minutos", "_Domingo", "_primeir", "_de", "_Feverei", "_Setembr", "dtmf_1", "dtmf_2",
        "dtmf_#", "dtmf_X"})
    Record(w, std::string("[") + w + "]");
  WriteWave(W.folder + "/words/ajuda.wav", "[ajuda]\x80");
  StartFolder = W.folder;
  HeadlessClearTyped();
  StartSpeech(3, W.folder + "/words");
  VoiceActive = DeferSpeech = SelectionOverwrite = false;
  EchoTyping = SpeakPunctSign = true;
  DeferredText.clear();
  TextAttribute = 7;
  ClearScreen();
  while (KeyPressed()) ReadKey();
  Runs.clear();
  platform::SetSpawner(std::make_unique<RecordingSpawner>());
  W.pressAt = -1;
  TakeHeard();
  return W.folder;
}

Heard TakeHeard() {
  FlushUnits();
  Heard heard;
  heard.swap(W.heard);
  return heard;
}

Heard Say(const std::string& phrase) {
  std::string phonetic;
  std::vector<unsigned char> samples;
  TranslateText(phrase, phonetic);
  const WorldState before = W;
  W.units.clear();
  RenderPhonetic(phonetic, false, samples);
  std::string units = W.units;
  W = before;
  return units.empty() ? Heard{} : Heard{"say:" + units};
}

Heard Join(std::initializer_list<Heard> parts) {
  Heard all;
  for (const Heard& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

void PressDuringSound(int n, char key) {
  W.pressAt = n;
  W.pressKey = key;
}

void Type(const std::string& script) {
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '{') {
      TypeOne(WM_CHAR, static_cast<unsigned char>(script[i]), 0);
      continue;
    }
    size_t close = script.find('}', i);
    std::string token = script.substr(i + 1, close - i - 1);
    i = close;
    unsigned mods = 0;
    for (; token.size() > 2 && token[1] == '-'; token.erase(0, 2))
      mods |= token[0] == 'S' ? ModShift : ModAlt;
    size_t star = token.find('*');
    int times = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
    const KeyName* key = nullptr;
    for (const KeyName& k : Keys)
      if (token.substr(0, star) == k.name) key = &k;
    if (!key) throw std::invalid_argument("no key named " + token);
    for (int n = 0; n < times; ++n) TypeOne(WM_KEYDOWN, key->vk, key->mods | mods);
  }
}

void Put(int column, int row, const std::string& text, uint8_t attr) {
  MoveCursor(column, row);
  TextAttribute = attr;
  WriteChars(text);
  TextAttribute = 7;
}

std::string Row(int row) {
  std::string text;
  for (int column = 1; column <= 80; ++column) text += char(ScreenCharAt(column, row));
  return text;
}

}  // namespace speech_test
