// Start-up of speech: where SONARIS.INI is, the "@" program-folder
// expansion, the tuning sets of the five speed levels, and the start and
// end of the built-in voice and of an external one.
#include <cstdio>
#include <cstdlib>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/text.h"
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
// With neither, the sample that the build installed beside the speech data
// stands in, so that a program started from any folder still finds its
// voice instead of stopping at "Erro de inicialização".
std::string IniPath() {
  std::string inWindows = platform::WindowsDirFile(IniName);
  if (platform::FileExists(inWindows)) return inWindows;
  std::string inStart = platform::ResolvePath(StartFolder + "\\" + IniName);
  if (platform::FileExists(inStart)) return inStart;
  std::string installed = platform::DataDir() + "/" + IniName;
  return platform::FileExists(installed) ? installed : inStart;
}

std::string ProgramFolder(const std::string& ini) {
  std::string pgm = platform::IniReadString(ini, "SONARIS", "PGMSONARIS", "");
  if (pgm.empty() || pgm[0] == '@') return StartFolder;
  return pgm;
}

// Replaces a leading "@" and every "@\" by the program folder. The scan
// goes on after each inserted folder, so a folder that itself holds "@\"
// cannot make the expansion endless.
std::string ExpandProgramFolder(std::string value, const std::string& ini) {
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

// A value that is wholly an integer (blanks and a sign allowed in front).
int WholeInt(const std::string& s, int fallback) {
  const char* p = s.c_str();
  char* end = nullptr;
  long v = std::strtol(p, &end, 10);
  if (end == p || *end != '\0') return fallback;
  return int(v);
}

// The integer of the leading digits, 0 when there are none.
int LeadingInt(const std::string& s) { return int(std::strtol(s.c_str(), nullptr, 10)); }

bool YesNo(const std::string& s) { return !s.empty() && s[0] != 'N' && s[0] != 'n'; }

std::string LettersFolderSetting() {
  std::string dir;
  // Only the Windows directory's copy names the letters folder. A key left
  // empty means the default folder, as a missing one does.
  if (!platform::IniRead(platform::WindowsDirFile(IniName), "TRADUTOR", "DIRLETRAS", dir) ||
      dir.empty())
    dir = DefaultLettersDir;
  return WithBackslash(dir);
}

void ReportStartFailure(int code) {
  std::string lines[] = {"Erro de inicializa\xE7\xE3o: " + std::to_string(code),
                         "Banco de dados de voz: " + DiphoneDbName};
  for (const std::string& line : lines) {
    StdWriteLn(line);
    std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(line).c_str());
  }
  DiphoneEnd();
  StdReadLn();
  CloseConsole();
}

void StartExternalVoice() {
  VoiceActive = false;
  if (!YesNo(ReadConfig("TRADUTOR", "SAPI"))) return;
  int voice = WholeInt(ReadConfig("SERVFALA", "VOZ"), 0);
  int rate = WholeInt(ReadConfig("SERVFALA", "VELOCIDADE"), 0);
  int pitch = WholeInt(ReadConfig("SERVFALA", "TOM"), 0);
  int kind = WholeInt(ReadConfig("SERVFALA", "TIPOSAPI"), 0);
  if (kind != 4 && rate > 10) rate = 0;
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
  std::string ini = IniPath();
  std::string value =
      platform::IniReadString(ini, section.empty() ? "SONARIS" : section, key, "");
  return ExpandProgramFolder(value, ini);
}

void ApplySynthTuning(int cut, int extra, int interval, bool cutSpeech, bool rapid) {
  DiphoneSetTuning(cut, extra, interval);
  CutSpeech = cutSpeech;
  RapidMode = rapid;
}

void LoadSynthTuning(int speed) {
  TuningSet = speed;
  std::string n = std::to_string(speed).substr(0, 2);
  auto key = [&](const char* name) { return ReadConfig("SINTETIZADOR", name + n); };
  DiphoneDbName = key("DIFONES").substr(0, 8);
  int cut = LeadingInt(key("CORTEFON"));
  int extra = WholeInt(key("SOBRAFON"), 0);
  int interval = WholeInt(key("INTERPAL"), 0);
  ApplySynthTuning(cut, extra, interval, YesNo(key("CORTAFALA")), YesNo(key("RAPIDINHO")));
  Crt.pauseFullStop = WholeInt(key("PAUSAPONTO"), 250);
  Crt.pauseComma = WholeInt(key("PAUSAVIRG"), 150);
  Crt.pauseColon = WholeInt(key("PAUSADOISPONTOS"), 200);
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

void EndSpeech() {
  if (!DeferredText.empty()) SpeakText("");
  WaitWhileSpeaking();
  StopSpeech();
  if (VoiceActive) {
    VoiceEnd();
    VoiceActive = false;
  }
  DiphoneEnd();
}
