#include "tests/speech/editor_fakes.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "platform/os/spawn.h"
#include "speech/sncrt.h"
#include "tests/speech/fakes.h"

FakeScreen Screen;
std::vector<std::string> SpawnRuns;

namespace {
struct RecordingSpawner : platform::Spawner {
  bool Run(const std::string& program, const std::vector<std::string>& args,
           const std::string& dir) override {
    std::string line = program;
    for (const std::string& a : args) line += " [" + a + "]";
    SpawnRuns.push_back(line + " in " + dir);
    return true;
  }
};
}  // namespace

void ResetScreen() {
  Screen = FakeScreen();
  std::memset(Screen.chars, ' ', sizeof Screen.chars);
  std::memset(Screen.attrs, 7, sizeof Screen.attrs);
  TextAttribute = 7;
}

std::string ScreenRowText(int row) {
  return std::string(reinterpret_cast<const char*>(Screen.chars[row - 1]), 80);
}

void PutScreenText(int column, int row, const std::string& text, uint8_t attr) {
  for (size_t i = 0; i < text.size() && column + int(i) <= 80; ++i) {
    Screen.chars[row - 1][column - 1 + i] = static_cast<unsigned char>(text[i]);
    Screen.attrs[row - 1][column - 1 + i] = attr;
  }
}

void MoveCursor(int column, int row) {
  Screen.column = column;
  Screen.row = row;
}
int CursorColumn() { return Screen.column; }
int CursorRow() { return Screen.row; }
int TextWindowWidth() { return 80; }
int TextWindowHeight() { return 25; }

void WriteChars(const unsigned char* text, uint16_t count) {
  if (TextAttribute & 0xF0)
    Screen.highlighted.emplace_back(reinterpret_cast<const char*>(text), count);
  for (uint16_t i = 0; i < count; ++i, ++Screen.column)
    PutScreenText(Screen.column, Screen.row, std::string(1, char(text[i])), TextAttribute);
}
void WriteChars(const std::string& text) {
  WriteChars(reinterpret_cast<const unsigned char*>(text.data()), uint16_t(text.size()));
}
void ClearToEndOfLine() {
  ++Screen.clearsToEnd;
  PutScreenText(Screen.column, Screen.row, std::string(81 - std::min(Screen.column, 81), ' '),
                TextAttribute);
}
void SetTextBackground(uint8_t colour) {
  TextAttribute = uint8_t((TextAttribute & 0x0F) | (colour << 4));
}

uint8_t ScreenCharAt(int column, int row) {
  bool in = column >= 1 && column <= 80 && row >= 1 && row <= 25;
  return in ? Screen.chars[row - 1][column - 1] : ' ';
}
uint8_t ScreenAttrAt(int column, int row) {
  bool in = column >= 1 && column <= 80 && row >= 1 && row <= 25;
  return in ? Screen.attrs[row - 1][column - 1] : TextAttribute;
}

void CopyToClipboard(const char* text) { Screen.clipboard = text; }
void PasteFromClipboard(char* buffer, int size) {
  if (size <= 0) return;
  size_t n = std::min(Screen.clipboard.size(), size_t(size - 1));
  std::memcpy(buffer, Screen.clipboard.data(), n);
  buffer[n] = 0;
}

bool KeyHeld(unsigned vk) {
  switch (vk) {
    case 0x10:
      return Fake.heldMods & platform::ModShift;
    case 0x11:
      return Fake.heldMods & platform::ModCtrl;
    case 0x12:
      return Fake.heldMods & platform::ModAlt;
    default:
      return false;
  }
}

namespace {
struct KeyName {
  const char* name;
  unsigned char code;
};
constexpr KeyName ExtendedKeys[] = {
    {"ShiftTab", 15},  {"F1", 59},        {"F5", 63},        {"F6", 64},        {"F12", 70},
    {"Home", 71},      {"Up", 72},        {"PgUp", 73},      {"Left", 75},      {"Right", 77},
    {"End", 79},       {"Down", 80},      {"PgDn", 81},      {"Del", 83},       {"CtrlF1", 94},
    {"CtrlF4", 97},    {"CtrlF5", 98},    {"CtrlF9", 102},   {"CtrlLeft", 115}, {"CtrlRight", 116},
    {"CtrlPgDn", 118}, {"CtrlPgUp", 132}, {"ShiftIns", 254}, {"CtrlIns", 255},
};

unsigned char ExtendedCode(const std::string& name) {
  if (name[0] == '#') return static_cast<unsigned char>(std::stoi(name.substr(1)));
  for (const KeyName& k : ExtendedKeys)
    if (name == k.name) return k.code;
  throw std::invalid_argument("no key named " + name);
}
}  // namespace

void TypeKeys(const std::string& script) {
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != '{') {
      Fake.typed.push_back({static_cast<unsigned char>(script[i]), 0});
      continue;
    }
    size_t close = script.find('}', i);
    std::string token = script.substr(i + 1, close - i - 1);
    i = close;
    unsigned mods = 0;
    for (; token.size() > 2 && token[1] == '-'; token.erase(0, 2))
      mods |= token[0] == 'S' ? platform::ModShift : platform::ModAlt;
    size_t star = token.find('*');
    int times = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
    unsigned char code = ExtendedCode(token.substr(0, star));
    for (int n = 0; n < times; ++n) {
      Fake.typed.push_back({0, mods});
      Fake.typed.push_back({code, mods});
    }
  }
}

std::string ResetEditorWorld() {
  ResetFakes();
  ResetScreen();
  std::string folder = MakeTestFolder();
  // Settings of its own, empty, so that the pauses and voices take their
  // defaults whatever the machine holds.
  setenv("SONARIS_WINDIR", (folder + "/none").c_str(), 1);
  WriteFile(folder + "/SONARIS.INI", "");
  StartFolder = folder;
  LoadSynthTuning(3);
  VoiceActive = false;
  DeferSpeech = false;
  DeferredText.clear();
  EchoTyping = true;
  SelectionOverwrite = false;
  SpawnRuns.clear();
  platform::SetSpawner(std::make_unique<RecordingSpawner>());
  return folder;
}

namespace {
std::string Short(const std::string& e) {
  if (e.rfind("file:synth/_", 0) == 0 && std::isdigit(static_cast<unsigned char>(e[12])))
    return std::string(1, char(std::stoi(e.substr(12))));
  if (e.rfind("file:letras/", 0) == 0) return e.substr(12);
  if (e == "image:256 bytes") return "click";
  if (e == "image:512 bytes") return "buzz";
  if (e.rfind("phrase:", 0) != 0) return e;
  std::string p = e.substr(7);
  size_t from = p.find_first_not_of(' ');
  return from == std::string::npos ? ""
                                   : "say:" + p.substr(from, p.find_last_not_of(' ') + 1 - from);
}
}  // namespace

std::vector<std::string> ShortSounds() {
  std::vector<std::string> out;
  for (const std::string& e : Fake.events) {
    std::string s = e.rfind("delay:", 0) == 0 ? "" : Short(e);
    if (!s.empty()) out.push_back(s);
  }
  return out;
}
