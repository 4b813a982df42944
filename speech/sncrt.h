// The speech front end: starts and ends speech and speaks text, letters,
// recorded words and cue sounds on top of the console.
#pragma once
#include <cstdint>
#include <string>

// Start-up and configuration (config.cpp)
void StartSpeech(int speed, const std::string& wordDir);
void EndSpeech();
// Lets the external voice go; the built-in voice speaks from then on.
void EndExternalVoice();
std::string ReadConfig(const std::string& section, const std::string& key);
void LoadSynthTuning(int speed);
// The speed level 1..5 to start with: speed itself, or when it is 0 the
// settings' level; 3 when that is out of range.
int ChooseSpeed(int speed);
// The external voice's rate from the settings (VELOCIDADE of SERVFALA):
// above 10 means 0 (but for kind 4, whose rate is in words per minute);
// for Toada (kind 3) the speed level moves it 5 steps a level around the
// settings' value, level 3 being that value.
int ExternalVoiceRate(int kind, int level);
void ApplySynthTuning(int cut, int extra, int interval, bool cutSpeech, bool rapid);

// Front-end state that other units read or set.
extern std::string StartFolder;
extern std::string WordDir;
extern std::string LettersDir;
extern bool VoiceActive;
extern int VoiceKind;
extern bool EchoTyping;
extern bool SpeakPunctSign;
extern bool SelectionOverwrite;
extern bool DeferSpeech;
extern std::string DeferredText;
extern int LastEditColumn;
extern int TuningSet;

// Speaking (speak.cpp)
void SpeakText(const std::string& s);
void WriteAndSpeak(const std::string& s);
void WriteLineAndSpeak(const std::string& s);
void SpellText(const std::string& s);
void SpeakLetter(unsigned char c);
void PlayWordFile(const std::string& name);
void SpeakPunctuation(const std::string& s);
void SpeechPause(int ms);
// Where pauses go instead of the clock when speech is written to a file
// rather than heard (whole 50 ms steps, as the clock would wait them).
extern void (*PauseSink)(int ms);
void SoundClick();
void SoundBuzz();
void PlayDtmf(const std::string& s);
void PlayWaveImage(const uint8_t* image);
void MakeWaveHeader(uint8_t* image, uint32_t dataLength, uint32_t rate, uint16_t bits, uint16_t channels);
unsigned char ReadKeySpoken();
bool IsSpeaking();
// Waits while IsSpeaking, sleeping in the message wait between checks; a
// waiting key stops the speech, and with it the wait.
void WaitWhileSpeaking();
void WaitPendingSpeech();
void StopSpeech();
std::string UpperLatin1(const std::string& s);

// Numbers, times and dates (numbers.cpp)
std::string NumberToWords(int64_t n);
// Three digit characters; fifteen digit characters and group 0 (trillions) .. 4 (units).
std::string HundredsToWords(const std::string& digits);
std::string GroupToWords(const std::string& digits, int group);
void SpeakWords(const std::string& words, bool feminine);
// The recording a number word is played from ("três" is "_tres"); the
// last word of a feminine number takes its feminine form ("_uma", "_duas").
std::string NumberWordFileName(std::string word, bool feminineLast);
int WeekdayOf(int day, int month, int year);
void SpeakTime(uint16_t hour, uint16_t minute);
void SpeakCurrentTime();
void SpeakDate(uint16_t day, uint16_t month, uint16_t year);
void SpeakCurrentDate();

// Line editor (editor.cpp)
void ReadLineSpoken(std::string& s);
char EditLineSpoken(std::string& s, int x, int y, int maxLen, bool editable);
char EditFieldSpoken(std::string& s, int x, int y, int maxLen, int width, bool editable);
// The review mode that Alt+Ctrl+F9 starts from the editor; the program
// installs it (without one the key does nothing).
void SetEditorReview(void (*reviewMode)());

// Opening programs, documents and web pages (launcher.cpp)
void OpenTarget(const std::string& s);
