// The Toada adapter: the five operations of a voice back end over the
// engine, and the engine's settings from SONARIS.INI.
#include "tts/snfonserv.h"

#include <algorithm>
#include <cmath>

#include "console/snwin.h"
#include "platform/os/messages.h"
#include "platform/os/paths.h"
#include "platform/voices/registry.h"
#include "tts/message_box.h"
#include "tts/toada.h"
#include "wave/snwav.h"

namespace {

const char* const DefaultFolder = "\\ecofala\\toadatts\\";
// How long ToadaEnd waits for a voice that does not finish.
const int EndWaitRounds = 10;  // of 500 ms

struct AdapterState {
  bool loaded = false;
  ToadaSettings settings;
  bool failureShown = false;
  bool refusalShown = false;
};

AdapterState A;

void Wake() { platform::PostMessage(platform::WM_VOICE_WAKE); }

// Once per run: why Toada is not speaking, and that the built-in voice goes on.
void ShowFailure(const std::string& why) {
  if (A.failureShown) return;
  A.failureShown = true;
  std::string text = "Toada: " + (why.empty() ? std::string("a voz n\xE3o p\xF4" "de ser iniciada") : why) +
                     ". A fala continua com a voz pr\xF3pria.";
  ShowMessageBox(text);
}

}  // namespace

const ToadaSettings& ToadaLoadSettings(ConfigReader reader) {
  if (!A.loaded) A.settings = ReadToadaSettings(reader);
  A.loaded = true;
  return A.settings;
}

ToadaSettings ReadToadaSettings(ConfigReader reader) {
  ToadaSettings s;
  auto read = [reader](const char* key) { return reader ? reader("TOADATTS", key) : std::string(); };
  s.voiceDb = read("MBROLA_DB");
  s.folder = read("DIR");
  s.base = read("BASE");
  if (s.voiceDb.empty()) s.voiceDb = "br4";
  if (s.base.empty()) s.base = "portug";
  // The registry names MBROLA's own folder, which holds the Toada files
  // only on a machine where they were put beside the voice.
  if (s.folder.empty()) {
    std::string voiceFile;
    if (platform::ReadRegString(platform::HKEY_LOCAL_MACHINE,
                                "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\", voiceFile) &&
        voiceFile.size() >= 3)
      s.folder = voiceFile.substr(0, voiceFile.size() - 3);
    if (s.folder.empty() || !platform::FileExists(platform::ResolvePath(s.folder + s.base + ".nrl")))
      s.folder = DefaultFolder;
  }
  char last = s.folder.empty() ? '\0' : s.folder.back();
  if (last != '\\' && last != '/') s.folder += '\\';
  std::string stem = s.folder + s.base;
  s.rulesFile = stem + ".nrl";
  s.exceptionsFile = stem + ".exc";
  s.abbreviationsFile = stem + ".abr";
  s.prosodyFile = stem + ".pro";
  s.diphoneFile = stem + ".dfn";
  return s;
}

const ToadaSettings& ToadaCurrentSettings() { return ToadaLoadSettings(nullptr); }

void ToadaChooseVoice(const std::string& voiceDb) {
  ToadaCurrentSettings();
  if (!voiceDb.empty()) A.settings.voiceDb = voiceDb;
}

// Each step of speed makes speech the same ratio faster, so that -10 to 10
// spans kSpeedSpan doublings; the prosody file's durations are those of
// slow, careful speech, which speed 0 shortens by kNormalDuration.
double ToadaDurationFactor(int speed) {
  constexpr double kNormalDuration = 0.62, kSpeedSpan = 1.5;
  return kNormalDuration * std::exp2(-std::clamp(speed, -10, 10) * kSpeedSpan / 20.0);
}

double ToadaPitchFactor(int pitch) { return std::exp2(std::clamp(pitch, -10, 10) / 24.0); }

void ToadaApplySpeedAndPitch(int speed, int pitch) {
  SetVoiceFactors(ToadaPitchFactor(pitch), ToadaDurationFactor(speed));
}

bool ToadaStart(int, int speed, int pitch, const std::string& outputFile) {
  const ToadaSettings& s = ToadaCurrentSettings();
  SetOutputFile(outputFile);
  EngineLastError.clear();
  // What the loaders find wrong with the files is shown on the console too.
  SetMessageBoxScreen([](const std::string& text) { StdWriteLn(text); });
  bool ok = EngineOpen(s.voiceDb, s.rulesFile, s.exceptionsFile, s.diphoneFile, s.prosodyFile,
                       s.abbreviationsFile);
  SetMessageBoxScreen(nullptr);
  ToadaApplySpeedAndPitch(speed, pitch);
  if (!ok) ShowFailure(EngineLastError.empty() ? "o MBROLA ou a sua voz n\xE3o foi encontrado"
                                               : EngineLastError);
  return ok;
}

void ToadaSpeak(const std::string& text) {
  EngineSpeak(text);
  if (EngineFailed()) ShowFailure(EngineLastError);
  // A refused line leaves the rest of the text spoken: said once.
  std::string refusal = TakeEngineRefusal();
  if (!refusal.empty() && !A.refusalShown) {
    A.refusalShown = true;
    ShowMessageBox("Toada: " + refusal + ". O resto do texto foi falado.");
  }
  Wake();
}

bool ToadaBusy() {
  bool busy = ToFile ? false : WavePlaying();
  if (KeyPressed()) {
    ToadaStop();
    busy = false;
  }
  Wake();
  return busy;
}

void ToadaStop() {
  if (!ToFile) StopWave();
  Wake();
}

// A voice that never finishes is waited for a bounded time, then stopped.
void ToadaEnd() {
  for (int round = 0; round < EndWaitRounds && ToadaBusy(); ++round) Delay(500);
  ToadaStop();
  EngineClose();
}

bool ToadaFailed() { return EngineFailed(); }
