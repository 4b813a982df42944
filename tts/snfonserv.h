// The Toada voice back end (Portuguese text to speech through MBROLA), as
// the voice dispatcher calls it, and its settings.
#pragma once
#include <string>

// Section TOADATTS of SONARIS.INI, read once.
struct ToadaSettings {
  std::string voiceDb;  // MBROLA voice database name ("br4")
  std::string folder;   // with a final backslash
  std::string base;
  std::string rulesFile, exceptionsFile, abbreviationsFile, prosodyFile, diphoneFile;
};

// Reads the settings through reader (the speech front end's ReadConfig);
// the first call does it, later ones return the same record.
using ConfigReader = std::string (*)(const std::string& section, const std::string& key);
const ToadaSettings& ToadaLoadSettings(ConfigReader reader);
// What the settings say now (ToadaLoadSettings keeps the first answer).
ToadaSettings ReadToadaSettings(ConfigReader reader);
const ToadaSettings& ToadaCurrentSettings();

// Another MBROLA voice than the settings' (the command-line tool's choice).
void ToadaChooseVoice(const std::string& voiceDb);
// The engine's pitch and duration factors for the settings' speed and pitch.
// Speed -10 (slowest) to 10 (fastest), 0 about the word rate of common
// Brazilian voices; pitch -10 to 10 half-semitones around the voice's own
// pitch. Values beyond are clamped.
void ToadaApplySpeedAndPitch(int speed, int pitch);
double ToadaDurationFactor(int speed);
double ToadaPitchFactor(int pitch);

bool ToadaStart(int voice, int speed, int pitch, const std::string& outputFile);
void ToadaEnd();
void ToadaSpeak(const std::string& text);
bool ToadaBusy();
void ToadaStop();
// True when MBROLA failed mid-text: the dispatcher goes back to the
// built-in voice.
bool ToadaFailed();
