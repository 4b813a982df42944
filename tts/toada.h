// The Toada engine: opens MBROLA and the Portuguese tables, turns a text
// into MBROLA lines and plays the samples or writes them to a WAV file.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

extern bool ToFile;
extern double PitchFactor;
extern double DurationFactor;
extern std::string EngineLastError;

void SetOutputFile(const std::string& path);
void SetVoiceFactors(double pitchFactor, double durationFactor);
bool EngineOpen(const std::string& voiceDb, const std::string& rulesFile,
                const std::string& exceptionsFile, const std::string& diphoneFile,
                const std::string& prosodyFile, const std::string& abbreviationsFile);
bool EngineSpeak(const std::string& text);
// One text read a piece at a time: more gives the next piece (false at
// the end), and speech starts with the first sentence.
bool EngineSpeakFrom(const std::function<bool(std::string&)>& more);
void EngineClose();
void BuildWaveHeader(uint8_t* destination, uint32_t rate, uint16_t bits, uint32_t dataLength,
                     uint16_t channels);

// The output loop of EngineSpeak on lines already made: feeds them to
// MBROLA and plays or writes the samples. False when MBROLA reported an
// error or the file could not be written.
bool SpeakMbrolaLines(const std::vector<std::string>& lines);

// A file of the voice's own beside a file of the settings ("br1.rnm"
// beside the rules, "br1.dfn" beside the diphone list): the voice's name in
// lower case, whatever case the settings write it in; "" when there is none.
std::string VoiceFile(const std::string& beside, const std::string& voice, const char* extension);

// The rate of the open voice's samples (16000 before a voice is open).
uint32_t VoiceRate();
// True once MBROLA itself has failed mid-text (ended or stopped answering),
// not merely refused a line: the voice cannot be trusted any more.
bool EngineFailed();
// Why MBROLA refused a line of a text (the first such line), once; "" when
// it refused none since the last call.
std::string TakeEngineRefusal();
