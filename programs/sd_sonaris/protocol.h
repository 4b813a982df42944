// speech-dispatcher's output-module protocol as sd_sonaris reads and
// writes it: commands, settings, SSML with index marks, voices and audio
// frames. Plain functions on strings, so that a table can test them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sd {

enum class Command {
  Unknown, Init, Speak, Char, Key, SoundIcon, Stop, Pause, ListVoices, Set, Audio, LogLevel,
  Debug, Quit
};

// One command line, its line end removed ("LIST VOICES", "DEBUG ON /x").
Command ParseCommand(const std::string& line);
// Commands followed by lines of data up to a line ".".
bool TakesData(Command c);
// A data line as sent: a leading "." doubled by the server loses one.
std::string DataLine(const std::string& line);

enum class Punctuation { None, Some, Most, All };
enum class CapLetters { None, Spell, Icon };

// What the server sets before each message. Rate, pitch and volume run
// from -100 to 100.
struct Settings {
  int rate = 0, pitch = 0, volume = 0;
  std::string voiceType = "FEMALE1";  // SSIP's symbolic voice
  std::string voiceName;              // synthesis_voice; "" for none
  std::string language = "pt-BR";
  Punctuation punctuation = Punctuation::Some;
  bool spelling = false;
  CapLetters capitals = CapLetters::None;
};

// Applies one "key=value" line. False for a line without "=" or a value
// out of range; keys that do not concern a voice are accepted and ignored.
bool ApplySetting(Settings& s, const std::string& line);

// A voice of the module.
struct Voice {
  const char* name;      // what LIST VOICES gives and synthesis_voice names
  const char* gender;    // "female" or "male"
  const char* mbrola;    // the MBROLA voice, nullptr for the built-in voice
  const char* symbolic;  // the SSIP voice type it answers to
};
extern const Voice kVoices[4];
// The voice that the settings ask for: the synthesis voice by name, else
// the symbolic type, else br4.
const Voice& ChooseVoice(const Settings& s);
// The LIST VOICES answer for the voices that can speak here.
std::string VoiceList(const std::vector<const Voice*>& voices);

// Text to speak and the mark reached after it, in order. SSML tags are
// dropped (a <break>, a </s> or a </p> leaves a blank), entities decoded.
struct Piece {
  std::string text;  // UTF-8
  std::string mark;  // "" when the text ends the message
};
std::vector<Piece> SplitSsml(const std::string& ssml);

// The spoken form of a KEY name ("space", "control_a", "F5"), UTF-8.
std::string KeyWords(const std::string& key);

// -100..100 onto Toada's speed (the duration factor falls as it grows) and
// onto the built-in voice's speed levels 1..5.
int ToadaSpeed(int rate);
int ToadaPitch(int pitch);
int BuiltInLevel(int rate);
// -100..100 onto MBROLA's volume ratio (0.1 .. 2).
float VolumeRatio(int volume);

// One block of 16-bit little-endian mono samples as a "705 AUDIO" event.
std::string AudioEvent(const int16_t* samples, size_t count, uint32_t rate);

}  // namespace sd
