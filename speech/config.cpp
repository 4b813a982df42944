// Start-up of speech: where SONARIS.INI is, the "@" program-folder
// expansion, the tuning sets of the five speed levels, and the start and
// end of the built-in voice and of an external one.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/os/ini.h"
#include "platform/os/paths.h"
#include "platform/os/text.h"
#include "sapi/voice_notice.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "wave/snwav.h"

std::string StartFolder;
std::string WordDir;
std::string LettersDir;
bool VoiceActive = false;
int VoiceKind = 4;
bool EchoTyping = true;
bool SpeakPunctSign = true;
bool SelectionOverwrite = true;
bool DeferSpeech = false;
std::string DeferredText;
int LastEditColumn = 0;
int TuningSet = 0;

CrtState Crt;

namespace {

const char* const IniName = "SONARIS.INI";
const char* const DefaultLettersDir = "c:\\ecofala\\som\\letras\\";

std::string WithBackslash(const std::string& dir) {
  if (!dir.empty() && dir.back() == '\\') return dir;
  return dir + "\\";
}

// The Windows directory's copy wins; otherwise the one in the start folder.
// Each key that file lacks comes from the sample that the build installed
// beside the speech data, so that a file holding only a colour, or none at
// all, still leaves the voice its database instead of stopping at "Erro de
// inicialização".
std::vector<std::string> IniFiles() {
  std::string own = platform::WindowsDirFile(IniName);
  if (!platform::FileExists(own)) own = platform::ResolvePath(StartFolder + "\\" + IniName);
  return {own, platform::InstalledFile(IniName)};
}

std::string ProgramFolder(const std::vector<std::string>& ini) {
  std::string pgm = platform::IniReadString(ini, "SONARIS", "PGMSONARIS", "");
  if (pgm.empty() || pgm[0] == '@') return StartFolder;
  return pgm;
}

// Replaces a leading "@" and every "@\" by the program folder. The scan
// goes on after each inserted folder, so a folder that itself holds "@\"
// cannot make the expansion endless.
std::string ExpandProgramFolder(std::string value, const std::vector<std::string>& ini) {
  if (value.empty()) return value;
  size_t from = 0;
  if (value[0] == '@') {
    std::string folder = ProgramFolder(ini);
    value = folder + value.substr(1);
    from = folder.size();
  }
  for (size_t at; (at = value.find("@\\", from)) != std::string::npos;) {
    std::string folder = ProgramFolder(ini);
    value.replace(at, 1, folder);
    from = at + folder.size();
  }
  return value;
}

// Bounds of the tuning numbers: beyond them a setting only silences the
// program for minutes or asks for gigabytes of sound.
struct Range {
  long low, high;
};
constexpr long SamplesPerSecond = 11025;
constexpr Range CutRange{0, SamplesPerSecond};        // samples cut from a unit
constexpr Range KeepRange{0, SamplesPerSecond};       // samples a cut unit keeps
constexpr Range WordGapRange{0, 3 * SamplesPerSecond};  // silence between words
constexpr Range PauseRange{0, 5000};                  // ms after punctuation

int Bounded(long v, Range r) { return int(std::clamp(v, r.low, r.high)); }

// A value that is wholly an integer in the runtime's forms (blanks and a
// sign allowed in front, hexadecimal after "$" or "0x").
int WholeInt(const std::string& s, int fallback, Range r = {INT32_MIN, INT32_MAX}) {
  int32_t v = 0;
  return Bounded(platform::ParseInteger(s, v) ? v : fallback, r);
}

// The integer of the leading digits, 0 when there are none.
int LeadingInt(const std::string& s, Range r) {
  return Bounded(std::strtol(s.c_str(), nullptr, 10), r);
}

bool YesNo(const std::string& s) { return !s.empty() && s[0] != 'N' && s[0] != 'n'; }

std::string LettersFolderSetting() {
  std::string dir;
  // Only the Windows directory's copy (over the installed sample) names the
  // letters folder, not the start folder's. A key left
  // empty means the default folder, as a missing one does.
  if (!platform::IniRead(platform::WindowsDirFiles(IniName), "TRADUTOR", "DIRLETRAS", dir) ||
      dir.empty())
    dir = DefaultLettersDir;
  return WithBackslash(dir);
}

// Shown, written to stderr and sounded: without its voice the program
// cannot say what went wrong.
void ReportStartFailure(int code) {
  std::string lines[] = {"Erro de inicializa\xE7\xE3o: " + std::to_string(code),
                         "Banco de dados de voz: " + DiphoneDbName};
  for (const std::string& line : lines) {
    StdWriteLn(line);
    std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(line).c_str());
  }
  SoundAlarm();
  DiphoneEnd();
  StdReadLn();
  CloseConsole();
}

void StartExternalVoice() {
  VoiceActive = false;
  if (!YesNo(ReadConfig("TRADUTOR", "SAPI"))) return;
  int voice = WholeInt(ReadConfig("SERVFALA", "VOZ"), 0);
  int pitch = WholeInt(ReadConfig("SERVFALA", "TOM"), 0);
  int kind = WholeInt(ReadConfig("SERVFALA", "TIPOSAPI"), 0);
  int rate = ExternalVoiceRate(kind, TuningSet);
  VoiceActive = VoiceStart(voice, rate, pitch, Crt.voiceOutputFile, kind);
  VoiceKind = kind;
}

// Unit start: the start folder, the click cue, the switches' defaults.
struct CrtUnitStart {
  CrtUnitStart() {
    StartFolder = platform::CurrentDir();
    while (StartFolder.size() > 1 && (StartFolder.back() == '\\' || StartFolder.back() == '/'))
      StartFolder.pop_back();
    uint32_t seed = 12345;
    uint8_t* data = Crt.clickSound + WaveHeaderBytes;
    for (int i = 0; i < ClickDataBytes; ++i) {
      seed = seed * 1103515245u + 12345u;
      data[i] = i < 64 ? uint8_t(128 + (seed >> 16) % 60) : 128;
    }
  }
} crtUnitStart;

}  // namespace

std::string ReadConfig(const std::string& section, const std::string& key) {
  std::vector<std::string> ini = IniFiles();
  std::string value =
      platform::IniReadString(ini, section.empty() ? "SONARIS" : section, key, "");
  return ExpandProgramFolder(value, ini);
}

int ExternalVoiceRate(int kind, int level) {
  constexpr int kToadaKind = 3, kStepsPerLevel = 5, kMiddleLevel = 3;
  int rate = WholeInt(ReadConfig("SERVFALA", "VELOCIDADE"), 0);
  if (kind != 4 && rate > 10) rate = 0;
  // The Ctrl+F4 level moves Toada too, as it moves the built-in voice.
  if (kind == kToadaKind && level >= 1 && level <= 5) rate += kStepsPerLevel * (level - kMiddleLevel);
  return rate;
}

void ApplySynthTuning(int cut, int extra, int interval, bool cutSpeech, bool rapid) {
  DiphoneSetTuning(cut, extra, interval);
  SetSpeedSwitches({rapid, cutSpeech});
}

void LoadSynthTuning(int speed) {
  TuningSet = speed;
  std::string n = std::to_string(speed).substr(0, 2);
  auto key = [&](const char* name) { return ReadConfig("SINTETIZADOR", name + n); };
  DiphoneDbName = key("DIFONES").substr(0, 8);
  int cut = LeadingInt(key("CORTEFON"), CutRange);
  int extra = WholeInt(key("SOBRAFON"), 0, KeepRange);
  int interval = WholeInt(key("INTERPAL"), 0, WordGapRange);
  ApplySynthTuning(cut, extra, interval, YesNo(key("CORTAFALA")), YesNo(key("RAPIDINHO")));
  Crt.recordedGap = WholeInt(key("INTERSOM"), 0, WordGapRange);
  Crt.pauseFullStop = WholeInt(key("PAUSAPONTO"), 250, PauseRange);
  Crt.pauseComma = WholeInt(key("PAUSAVIRG"), 150, PauseRange);
  Crt.pauseColon = WholeInt(key("PAUSADOISPONTOS"), 200, PauseRange);
}

int ChooseSpeed(int speed) {
  if (speed <= 0) speed = WholeInt(ReadConfig("TRADUTOR", "VELOCIDADE"), 0);
  return (speed < 1 || speed > 5) ? 3 : speed;
}

void StartSpeech(int speed, const std::string& wordDir) {
  speed = ChooseSpeed(speed);
  LoadSynthTuning(speed);
  if (int code = DiphoneStart(); code != 0) ReportStartFailure(code);
  WordDir = wordDir.empty() ? wordDir : WithBackslash(wordDir);
  LettersDir = LettersFolderSetting();
  LoadSynthTuning(speed);
  StartExternalVoice();
}

void EndExternalVoice() {
  if (!VoiceActive) return;
  VoiceEnd();
  VoiceActive = false;
}

void EndSpeech() {
  // A voice that broke down is let go without a word: speech is ending
  // (stderr has the reason).
  if (VoiceActive && VoiceFailed()) {
    Crt.voiceText.clear();
    EndExternalVoice();
    TakeVoiceNotice();
  }
  if (!DeferredText.empty()) SpeakText("");
  WaitWhileSpeaking();
  StopSpeech();
  EndExternalVoice();
  DiphoneEnd();
}
