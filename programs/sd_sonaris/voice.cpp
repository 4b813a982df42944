#include "programs/sd_sonaris/voice.h"

#include <cctype>
#include <cmath>
#include <cstdint>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/os/messages.h"
#include "platform/os/paths.h"
#include "platform/os/text.h"
#include "platform/voices/mbrola.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "tts/mbrola.h"
#include "tts/normalize.h"
#include "tts/snfonserv.h"
#include "tts/toada.h"
#include "wave/snwav.h"

namespace sd {
namespace {

struct VoiceState {
  bool builtIn = false;    // the diphone voice started
  std::string toadaVoice;  // the MBROLA voice open now, "" for none
  int level = 0;           // the built-in voice's speed level in use
  std::string error;
};
VoiceState V;

// The sound icon: a short tone, 8-bit at 11025 Hz (60 ms of 880 Hz).
constexpr int kIconSamples = 660;
uint8_t IconImage[44 + kIconSamples];

bool Stopped() { return KeyPressed(); }

// Waits for the sound of what was queued; false when a key stopped it.
bool WaitToadaSound() {
  while (ToadaBusy()) platform::WaitMessage();
  return !Stopped();
}

bool OpenToada(const char* mbrola, std::string& why) {
  if (V.toadaVoice == mbrola && !EngineFailed()) return true;
  if (!V.toadaVoice.empty()) EngineClose();
  V.toadaVoice.clear();
  if (platform::MbrolaProgram().empty()) {
    why = "o programa mbrola n\xC3\xA3o foi encontrado";
    return false;
  }
  if (platform::MbrolaVoiceFile(mbrola).empty()) {
    why = std::string("a voz ") + mbrola + " do MBROLA n\xC3\xA3o foi encontrada";
    return false;
  }
  ToadaChooseVoice(mbrola);
  const ToadaSettings& t = ToadaCurrentSettings();
  SetOutputFile("");
  EngineLastError.clear();
  if (!EngineOpen(t.voiceDb, t.rulesFile, t.exceptionsFile, t.diphoneFile, t.prosodyFile,
                  t.abbreviationsFile)) {
    why = "o Toada n\xC3\xA3o abriu a voz " + std::string(mbrola) +
          (EngineLastError.empty() ? "" : ": " + platform::Cp1252ToUtf8(EngineLastError));
    return false;
  }
  V.toadaVoice = mbrola;
  return true;
}

void ApplyToada(const Settings& s) {
  ToadaApplySpeedAndPitch(ToadaSpeed(s.rate), ToadaPitch(s.pitch));
  setVolumeRatio_MBR(VolumeRatio(s.volume));
}

void ApplyBuiltIn(const Settings& s) {
  int level = BuiltInLevel(s.rate);
  if (level != V.level) LoadSynthTuning(level);
  V.level = level;
  SpeakPunctSign = s.punctuation == Punctuation::All;
}

bool IsPunctuation(unsigned char c) { return c < 128 && std::ispunct(c); }

// Toada says every sign by name only in the "all" punctuation mode.
std::string WithSignNames(const std::string& text, const Settings& s) {
  if (s.punctuation != Punctuation::All) return text;
  std::string out;
  for (unsigned char c : text) {
    std::string name = IsPunctuation(c) ? CharName(c) : std::string();
    out += name.empty() ? std::string(1, char(c)) : " " + name + " ";
  }
  return out;
}

bool IsCapital(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }

// One character, Windows-1252: its name through Toada, its recorded
// letter sound through the built-in voice; a capital as the settings ask.
Outcome SayCharacter(unsigned char c, const Voice& v, const Settings& s) {
  if (IsCapital(c) && s.capitals == CapLetters::Icon) PlayIcon();
  if (Stopped()) return Outcome::Stopped;
  if (!v.mbrola) {
    if (IsCapital(c) && s.capitals == CapLetters::Spell) SpeakText("mai\xFAscula");
    SpeakLetter(c);
    return Stopped() ? Outcome::Stopped : Outcome::Ended;
  }
  std::string name = CharName(c);
  if (name.empty()) name = std::string(1, char(c));
  if (IsCapital(c) && s.capitals == CapLetters::Spell) name = "mai\xFAscula " + name;
  EngineSpeak(name);
  return WaitToadaSound() ? Outcome::Ended : Outcome::Stopped;
}

Outcome SpeakOne(const std::string& cp1252, const Voice& v, const Settings& s) {
  if (s.spelling) {
    for (unsigned char c : cp1252) {
      Outcome o = SayCharacter(c, v, s);
      if (o != Outcome::Ended) return o;
    }
    return Outcome::Ended;
  }
  if (!v.mbrola) {
    SpeakText(cp1252);
    return Stopped() ? Outcome::Stopped : Outcome::Ended;
  }
  EngineSpeak(WithSignNames(cp1252, s));
  bool heard = WaitToadaSound();
  if (EngineFailed()) {
    V.error = "o MBROLA parou no meio do texto: " + platform::Cp1252ToUtf8(EngineLastError);
    return Outcome::Failed;
  }
  return heard ? Outcome::Ended : Outcome::Stopped;
}

// The voice of the message, opened and tuned; false (why in V.error) when
// it cannot speak.
bool Prepare(const Voice& v, const Settings& s) {
  if (!v.mbrola) {
    if (!V.builtIn) {
      V.error = "a voz pr\xC3\xB3pria n\xC3\xA3o iniciou";
      return false;
    }
    ApplyBuiltIn(s);
    return true;
  }
  std::string why;
  if (!OpenToada(v.mbrola, why)) {
    V.error = why;
    return false;
  }
  ApplyToada(s);
  return true;
}

}  // namespace

std::string StartVoices(std::vector<const Voice*>& available) {
  // Without its data folder no voice starts: that is the reason to give.
  std::string why = platform::MissingDataMessage();
  if (!why.empty()) return why;
  ToadaLoadSettings(ReadConfig);
  // Without a screen: nothing of the console is shown.
  OpenConsole();
  if (int code = DiphoneStart(); code == 0) {
    DiphoneEnd();
    StartSpeech(3, "");
    // The module chooses its voices itself, not SONARIS.INI.
    if (VoiceActive) VoiceEnd();
    VoiceActive = false;
    V.builtIn = true;
    V.level = 3;
  } else {
    why = "a voz pr\xC3\xB3pria n\xC3\xA3o iniciou (erro " + std::to_string(code) +
          ", banco de dados " + DiphoneDbName + ")";
  }
  // Every message is a text to answer at once: its mbrola is ready before it.
  platform::MbrolaStartAhead(true);
  std::string toadaWhy;
  bool toada = OpenToada("br4", toadaWhy);
  for (const Voice& v : kVoices) {
    if (!v.mbrola ? V.builtIn
                  : toada && !platform::MbrolaVoiceFile(v.mbrola).empty())
      available.push_back(&v);
  }
  if (!toada) why += (why.empty() ? "" : "; ") + toadaWhy;
  // The icon's tone, made once.
  uint8_t* data = IconImage + 44;
  for (int i = 0; i < kIconSamples; ++i) {
    double fade = std::min(1.0, std::min(i, kIconSamples - i) / 60.0);
    data[i] = uint8_t(128 + 60 * fade * std::sin(2 * M_PI * 880 * i / 11025.0));
  }
  MakeWaveHeader(IconImage, kIconSamples, 11025, 8, 1);
  return why;
}

void EndVoices() {
  if (!V.toadaVoice.empty()) EngineClose();
  V.toadaVoice.clear();
  if (V.builtIn) EndSpeech();
  V.builtIn = false;
}

Outcome SpeakPieces(const std::vector<Piece>& pieces, const Settings& s, const MarkReached& mark) {
  const Voice& v = ChooseVoice(s);
  if (!Prepare(v, s)) return Outcome::Failed;
  for (const Piece& p : pieces) {
    std::string text = platform::Utf8ToCp1252(p.text);
    bool blank = text.find_first_not_of(" \t\r\n") == std::string::npos;
    Outcome o = blank ? Outcome::Ended : SpeakOne(text, v, s);
    if (o == Outcome::Ended && Stopped()) o = Outcome::Stopped;
    if (o != Outcome::Ended) return o;
    if (!p.mark.empty() && mark(p.mark)) return Outcome::Paused;
  }
  return Outcome::Ended;
}

Outcome SpeakCharacter(const std::string& utf8, const Settings& s) {
  const Voice& v = ChooseVoice(s);
  if (!Prepare(v, s)) return Outcome::Failed;
  std::string c = utf8 == "space" ? " " : platform::Utf8ToCp1252(utf8);
  return c.empty() ? Outcome::Ended : SayCharacter(static_cast<unsigned char>(c[0]), v, s);
}

Outcome SpeakKey(const std::string& key, const Settings& s) {
  std::string words = KeyWords(key);
  // A key that is one character is said as that character.
  if (platform::Utf8ToCp1252(words).size() == 1) return SpeakCharacter(words, s);
  Settings plain = s;
  plain.spelling = false;
  return SpeakPieces({{words, ""}}, plain, [](const std::string&) { return false; });
}

Outcome PlayIcon() {
  PlayWaveImage(IconImage);
  return Stopped() ? Outcome::Stopped : Outcome::Ended;
}

std::string VoiceError() { return V.error; }

void ForgetStops() {
  while (KeyPressed()) ReadKey();
}

}  // namespace sd
