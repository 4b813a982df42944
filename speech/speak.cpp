// Speaking text: digit runs as number words, phrases through the diphone
// synthesizer, other characters as recorded letter sounds with pauses for
// punctuation; and the recorded words, cues and tones around it.
#include <vector>

#include "console/snwin.h"
#include "diphone/diphone.h"
#include "platform/os/paths.h"
#include "platform/os/text.h"
#include "speech/crtstate.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "wave/snwav.h"

namespace {

constexpr int BuzzDataBytes = 512;
const uint8_t BuzzCycle[8] = {128, 112, 96, 80, 64, 80, 96, 112};

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

bool IsPhraseChar(unsigned char c) { return c == ' ' || IsLetter(c); }

void PlayFile(const std::string& windowsPath) {
  PlayWaveFile(platform::ResolvePath(windowsPath));
}

std::string TakeRun(std::string& s, bool (*belongs)(unsigned char)) {
  size_t n = 0;
  while (n < s.size() && belongs(static_cast<unsigned char>(s[n]))) ++n;
  std::string run = s.substr(0, n);
  s.erase(0, n);
  return run;
}

void FlushDeferredText() {
  if (!DeferredText.empty()) SpeakText("");
}

// A run of digits and hyphens: a number of up to six figures is said as
// words, anything longer or hyphenated is spelled.
void SpeakDigitRun(std::string& s) {
  std::string run = TakeRun(s, [](unsigned char c) { return IsDigit(c) || c == '-'; });
  if (run.find('-') != std::string::npos || run.size() >= 7)
    SpellText(run);
  else
    SpeakWords(NumberToWords(std::stoll(run)), false);
}

void SpeakPhrase(std::string& s) {
  std::string phrase = TakeRun(s, IsPhraseChar);
  if (UpperLatin1(phrase) == "WWW") {
    SpellText(phrase);
  } else {
    std::string phonetic;
    TranslateText(phrase, phonetic);
    SpeakPhonetic(phonetic, false);
  }
  // A hyphenated word goes on as one phrase.
  if (s.size() > 1 && s[0] == '-' && IsLetter(static_cast<unsigned char>(s[1]))) s.erase(0, 1);
}

void SpeakHyphen(const std::string& s) {
  unsigned char next = s.size() < 3 ? ' ' : static_cast<unsigned char>(s[1]);
  if (next == ' ' || next == '-')
    SpeakPunctuation(s);
  else if (IsDigit(next))
    PlayWordFile("_MENOS");
  else
    SpeakLetter('-');
}

struct SignRepeats {
  unsigned char last = ' ';
  int count = 0;
};

// Any other character. A sign repeated more than three times in a row
// clicks instead and is then treated as a blank.
void SpeakSign(const std::string& s, SignRepeats& repeats) {
  unsigned char c = static_cast<unsigned char>(s[0]);
  if (c == repeats.last) {
    if (++repeats.count > 3) {
      SoundClick();
      c = ' ';
    }
  } else {
    repeats.last = c;
    repeats.count = 0;
  }
  if (c == '-') {
    SpeakHyphen(s);
  } else if (c == ':' && s.compare(0, 3, "://") == 0) {
    SpellText(s.substr(0, 1));
  } else if (std::string("(),.:;").find(char(c)) != std::string::npos) {
    SpeakPunctuation(s);
  } else if (c != ' ' && c != '\t' && !KeyPressed()) {
    SpeakLetter(c);
  }
}

}  // namespace

void SpeakBuiltIn(std::string s) {
  s += ' ';
  SignRepeats repeats;
  Crt.speechStopped = false;
  while (!Crt.speechStopped && !s.empty()) {
    if (KeyPressed() || SilencePending()) {
      StopSpeech();
      return;
    }
    while (!s.empty() && s[0] == '0') {
      PlayWordFile("_zero");
      s.erase(0, 1);
    }
    if (s.empty()) break;
    unsigned char c = static_cast<unsigned char>(s[0]);
    if (IsDigit(c)) {
      SpeakDigitRun(s);
    } else if (IsPhraseChar(c)) {
      SpeakPhrase(s);
    } else {
      SpeakSign(s, repeats);
      s.erase(0, 1);
    }
  }
}

void VoiceFailOver() {
  std::string unfinished;
  unfinished.swap(Crt.voiceText);
  EndExternalVoice();
  GiveNotices();
  if (!unfinished.empty() && !KeyPressed()) SpeakBuiltIn(unfinished);
}

void SpeakText(const std::string& text) {
  std::string s = text;
  if (s.empty()) {
    s.swap(DeferredText);
  } else if (DeferSpeech) {
    if (IsLetter(static_cast<unsigned char>(s[0])) && !DeferredText.empty()) DeferredText += ' ';
    DeferredText += s;
    return;
  }
  if (VoiceActive) WaitWhileSpeaking();
  // The voice may have broken down over the text before: then this one
  // goes to the built-in voice.
  if (VoiceActive) {
    if (KeyPressed()) return;
    Crt.voiceText = s;
    VoiceSpeak(s);
    Crt.speechPending = true;
    if (VoiceFailed()) VoiceFailOver();
    return;
  }
  SpeakBuiltIn(s);
}

void SpeakPunctuation(const std::string& s) {
  if (KeyPressed()) return;
  WaitWhileSpeaking();
  char mark = s[0];
  if (SpeakPunctSign) SpeakLetter(mark);
  bool blankFollows = s.size() > 1 && s[1] == ' ';
  switch (mark) {
    case '(': case ')': case ':': case ';':
      SpeechPause(Crt.pauseColon);
      break;
    case ',': case '-': case '.': {
      int pause = mark == '.' ? Crt.pauseFullStop : Crt.pauseComma;
      if (blankFollows)
        SpeechPause(pause);
      else if (!SpeakPunctSign)
        SpeakLetter(mark);
      break;
    }
  }
}

void (*PauseSink)(int ms) = nullptr;

void SpeechPause(int ms) {
  if (PauseSink) {
    PauseSink(ms / 50 * 50);
    return;
  }
  for (int n = ms / 50; n > 0 && !KeyPressed(); --n) Delay(50);
}

namespace {

// The slower speed levels part recorded sounds with a little silence, so
// that spelled letters and number words are told apart; the faster ones
// run them together.
void PlayRecordedGap() {
  if (Crt.recordedGap <= 0) return;
  std::vector<uint8_t> image(WaveHeaderBytes + size_t(Crt.recordedGap), 128);
  MakeWaveHeader(image.data(), uint32_t(Crt.recordedGap), 11025, 8, 1);
  PlayWaveImage(image.data());
}
}  // namespace

void SpellText(const std::string& s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (KeyPressed()) return;
    if (i > 0) PlayRecordedGap();
    SpeakLetter(static_cast<unsigned char>(s[i]));
  }
}

void SpeakLetter(unsigned char c) {
  WaitPendingSpeech();
  PlayFile(SynthLettersDir + "_" + std::to_string(int(c)) + ".wav");
}

void PlayWordFile(const std::string& name) {
  // No name, no file: nothing to play (and no folder to open as a sound).
  if (name.empty()) return;
  WaitPendingSpeech();
  PlayFile((name[0] == '_' ? LettersDir : WordDir) + name + ".wav");
}

void SoundClick() {
  WaitPendingSpeech();
  const SpeedSwitches before = SetSpeedSwitches({RapidMode, false});
  MakeWaveHeader(Crt.clickSound, ClickDataBytes, 11025, 8, 1);
  PlayWaveMemory(Crt.clickSound);
  WaitWhileSpeaking();
  SetSpeedSwitches(before);
}

void SoundBuzz() {
  WaitPendingSpeech();
  while (KeyPressed()) ReadKey();
  uint8_t buzz[WaveHeaderBytes + BuzzDataBytes];
  for (int i = 0; i < BuzzDataBytes; ++i) buzz[WaveHeaderBytes + i] = BuzzCycle[i % 8];
  buzz[WaveHeaderBytes + BuzzDataBytes - 1] = 128;
  MakeWaveHeader(buzz, BuzzDataBytes, 11025, 8, 1);
  PlayWaveMemory(buzz);
  WaitWhileSpeaking();
}

void PlayDtmf(const std::string& s) {
  const SpeedSwitches before = SetSpeedSwitches({false, CutSpeech});
  for (unsigned char c : UpperLatin1(s)) {
    if (IsDigit(c) || c == '#' || c == '*') {
      PlayFile(SynthLettersDir + "dtmf_" + char(c == '*' ? 'X' : c) + ".wav");
      WaitWhileSpeaking();
      Delay(100);
    } else if (c == ',') {
      Delay(1000);
    }
  }
  SetSpeedSwitches(before);
}

void WriteAndSpeak(const std::string& s) {
  StdWrite(s);
  StdFlush();
  SpeakText(s);
}

void WriteLineAndSpeak(const std::string& s) {
  WriteAndSpeak(s);
  StdWriteLn();
  FlushDeferredText();
}

unsigned char ReadKeySpoken() {
  FlushDeferredText();
  unsigned char key = ReadKey();
  StopSpeech();
  SpeakLetter(key);
  return key;
}

// The case table's upper case, but every code from 224 up loses 32, ÷ and
// ÿ too (they are spelled as × and ß).
std::string UpperLatin1(const std::string& s) {
  std::string up = s;
  for (char& ch : up) {
    unsigned char c = static_cast<unsigned char>(ch);
    ch = static_cast<char>(c >= 224 ? c - 32 : platform::UpperLatin1Char(c));
  }
  return up;
}
