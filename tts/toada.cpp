// Engine top of Toada: open and close, and the output loop that feeds the
// MBROLA lines and hands the samples to wave playback or to the WAV file.
#include "tts/toada.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <functional>
#include <thread>

#include "platform/os/paths.h"
#include "platform/voices/mbrola.h"
#include "platform/voices/registry.h"
#include "platform/os/riff.h"
#include "tts/mbrola.h"
#include "tts/latin1.h"
#include "tts/mbrola_lines.h"
#include "tts/normalize.h"
#include "tts/phoneme_rules.h"
#include "tts/prosody.h"
#include "tts/text_pieces.h"
#include "tts/text_pipeline.h"
#include "tts/words.h"
#include "wave/snwav.h"

bool ToFile = false;
double PitchFactor = 1.0;
double DurationFactor = 1.0;
std::string EngineLastError;

namespace {

const uint32_t HeaderBytes = 44;
const uint32_t BlockBytes = 16000;   // a block goes out before it reaches this
const uint32_t SampleCount = 16000;  // samples asked of one read
const uint32_t ShortestBlock = 256;
const int kKeptOpeningMs = 10;  // of a text's opening silence, after a quiet device

struct EngineState {
  std::string outputFile;
  std::FILE* file = nullptr;
  bool fileHasSound = false;  // a text has gone into the file already
  uint32_t rate = 16000;
  bool failed = false;
  bool writeFailed = false;  // the output file refused samples
  std::string refusal;  // the first line MBROLA refused, until taken
  int16_t sampleBuffer[SampleCount];
  uint8_t playImage[HeaderBytes + 2 * SampleCount];
};

EngineState E;

std::string Cut255(const std::string& s) { return s.substr(0, 255); }

void SetLastError(const std::string& text) { EngineLastError = Cut255(text); }

// The name of a voice's own files: the voice's name in lower case, as
// MBROLA's own folders name it (MBROLA_DB=BR1 is the voice br1).
std::string VoiceKey(const std::string& voice) {
  std::string name = voice.substr(voice.find_last_of("/\\") == std::string::npos
                                      ? 0 : voice.find_last_of("/\\") + 1);
  return LowerLatin1Text(name);
}

}  // namespace

std::string VoiceFile(const std::string& beside, const std::string& voice, const char* extension) {
  std::string path = platform::ResolvePath(beside);
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string file = folder + "/" + VoiceKey(voice) + extension;
  return platform::FileExists(file) ? file : std::string();
}

namespace {

bool OpenVoice(std::string voiceDb, const std::string& rulesFile) {
  std::string name = voiceDb;
  platform::ReadRegString(platform::HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\TCTS\\Mbrola\\databases\\" + voiceDb + "\\", voiceDb);
  if (voiceDb.empty()) voiceDb = "c:\\ecofala\\toadatts\\br4";
  std::string renames, clones;
  // A voice's renames, if any, are "<voice>.rnm" beside the rules file.
  int result = platform::ReadMbrolaRenames(VoiceFile(rulesFile, name, ".rnm"), renames, clones)
                   ? init_rename_MBR(voiceDb.c_str(), renames.c_str(), clones.c_str())
                   : init_MBR(voiceDb.c_str());
  if (result < 0) {
    char text[256] = "";
    lastErrorStr_MBR(text, sizeof text);
    SetLastError(text[0] ? text : "A voz do MBROLA n\xE3o abre");
    return false;
  }
  int freq = getFreq_MBR();
  E.rate = freq > 0 ? uint32_t(freq) : 16000;
  return true;
}

// Each voice has its own diphone list and natural pitch, made by probing
// it ("br1.dfn", "br1.voz" beside the settings' list); the settings' list
// serves a voice that has none. Empty when all loaded, else why not.
std::string LoadTables(const std::string& voice, const std::string& rules,
                       const std::string& exceptions, const std::string& diphones,
                       const std::string& prosody, const std::string& abbreviations) {
  FreePhonemeRules();
  FreeDiphoneList();
  if (!LoadDictionaries(rules, exceptions)) return "Erro na base de dados de portugu\xEAs";
  if (!LoadAbbreviations(abbreviations)) return "Erro no arquivo de abreviaturas";
  // Without its tables file beside the abbreviations the text is read
  // plainly (no money, times, dates... as words): not an error.
  LoadReadingTables(ReadingTablesBeside(abbreviations));
  if (!LoadProsody(prosody)) return "Erro no arquivo de pros\xF3" "dia";
  std::string own = VoiceFile(diphones, voice, ".dfn");
  if (!LoadDiphoneList(own.empty() ? diphones : own))
    return "A lista de difones da voz n\xE3o foi encontrada: " + platform::ResolvePath(diphones);
  LoadVoicePitch(VoiceFile(diphones, voice, ".voz"));
  return {};
}

std::string OutputError(const char* what) {
  return std::string(what) + " " + platform::OutputPath(E.outputFile) + ": " +
         platform::FileErrorText(errno);
}

// The first failed write of a text says why; the rest of the samples are
// still tried.
bool OutputWriteFailed() {
  if (!E.writeFailed) SetLastError(OutputError("O arquivo de sa\xED" "da n\xE3o pode ser gravado:"));
  E.writeFailed = true;
  return false;
}

// "-" is standard output: a stream, whose header declares unknown lengths.
bool ToStdout() { return E.outputFile == "-"; }

// A file that the user names for output is created exactly as named.
bool OpenOutputFile() {
  ToFile = false;
  E.fileHasSound = false;
  E.writeFailed = false;
  if (E.outputFile.empty()) return true;
  E.file = ToStdout() ? stdout : std::fopen(platform::OutputPath(E.outputFile).c_str(), "wb");
  if (!E.file) {
    SetLastError(OutputError("O arquivo de sa\xED" "da n\xE3o pode ser criado:"));
    return false;
  }
  uint8_t header[HeaderBytes];
  BuildWaveHeader(header, E.rate, 16, 0, 1);
  if (ToStdout()) {
    platform::PutLe32(header + 4, platform::kUnknownWaveLength);
    platform::PutLe32(header + 40, platform::kUnknownWaveLength);
  }
  if (std::fwrite(header, 1, HeaderBytes, E.file) != HeaderBytes || std::fflush(E.file) != 0) {
    SetLastError(OutputError("O arquivo de sa\xED" "da n\xE3o pode ser criado:"));
    if (!ToStdout()) std::fclose(E.file);
    E.file = nullptr;
    return false;
  }
  ToFile = true;
  return true;
}

// The header of a finished file: its data is all that follows the header.
// A stream keeps its unknown lengths.
void CompleteOutputFile() {
  if (E.file == stdout) {
    std::fflush(stdout);
    E.file = nullptr;
    return;
  }
  if (E.file) std::fclose(E.file);
  E.file = nullptr;
  std::FILE* f = std::fopen(platform::OutputPath(E.outputFile).c_str(), "r+b");
  if (!f) return;
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  uint8_t header[HeaderBytes];
  BuildWaveHeader(header, E.rate, 16, size > long(HeaderBytes) ? uint32_t(size - HeaderBytes) : 0, 1);
  std::fseek(f, 0, SEEK_SET);
  std::fwrite(header, 1, HeaderBytes, f);
  std::fclose(f);
}

void PlayAccumulated(uint32_t accumulated) {
  BuildWaveHeader(E.playImage, E.rate, 16, accumulated, 1);
  PlayWaveMemory(E.playImage);
}

// An error of MBROLA: cleared so that the rest of the text goes on; one
// that says MBROLA itself failed is remembered.
bool ClearMbrolaError() {
  int code = lastError_MBR();
  if (code == 0) return false;
  char text[256] = "";
  lastErrorStr_MBR(text, sizeof text);
  if (code == platform::MbrolaEnded || code == platform::MbrolaStalled) {
    if (!E.failed) SetLastError(text);
    E.failed = true;
  } else if (E.refusal.empty()) {
    E.refusal = text[0] ? text : "O MBROLA recusou uma linha";
  }
  reset_MBR();
  return true;
}

}  // namespace

void BuildWaveHeader(uint8_t* destination, uint32_t rate, uint16_t bits, uint32_t dataLength,
                     uint16_t channels) {
  platform::WriteWaveHeader(destination, dataLength, rate, bits, channels);
}

void SetOutputFile(const std::string& path) { E.outputFile = path; }

void SetVoiceFactors(double pitchFactor, double durationFactor) {
  PitchFactor = pitchFactor;
  DurationFactor = durationFactor;
}

uint32_t VoiceRate() { return E.rate; }

std::string TakeEngineRefusal() {
  std::string text = E.refusal;
  E.refusal.clear();
  return text;
}
bool EngineFailed() { return E.failed; }

bool EngineOpen(const std::string& voiceDb, const std::string& rulesFile,
                const std::string& exceptionsFile, const std::string& diphoneFile,
                const std::string& prosodyFile, const std::string& abbreviationsFile) {
  if (!LoadMbrola()) return false;
  auto orDefault = [](const std::string& s, const char* d) { return s.empty() ? std::string(d) : s; };
  E.failed = false;
  // The tables load while MBROLA checks the voice in a process of its own:
  // the voice's answer still comes first.
  std::string tablesError;
  std::thread tables([&] {
    tablesError = LoadTables(orDefault(voiceDb, "br4"), orDefault(rulesFile, "portug.nrl"),
                             orDefault(exceptionsFile, "portug.exc"), orDefault(diphoneFile, "portug.dfn"),
                             orDefault(prosodyFile, "portug.pro"), orDefault(abbreviationsFile, "portug.abr"));
  });
  const bool voiceOpen = OpenVoice(orDefault(voiceDb, "br4"), orDefault(rulesFile, "portug.nrl"));
  tables.join();
  if (!voiceOpen) {
    UnloadMbrola();
    return false;
  }
  setNoError_MBR(1);
  if (!tablesError.empty()) SetLastError(tablesError);
  bool ok = tablesError.empty() && OpenOutputFile();
  // A failed opening leaves no synthesizer running behind it.
  if (!ok) {
    close_MBR();
    UnloadMbrola();
  }
  return ok;
}

namespace {

// One text on its way out: samples go to the file, or gather into blocks
// for the device.
struct TextOutput {
  bool result = true;
  bool written = false;     // lines went to MBROLA
  uint32_t accumulated = 0; // bytes waiting in PlayImage
  uint32_t stops = 0;       // the device's stop count when the text began
  uint64_t dropBytes = 0;   // of the opening silence, still to drop
  SpeedSwitches switches;  // wave playback's, given back at the end
};

// A stop (a key, or anyone's StopWave) while the text was being made: the
// rest of it is dropped and the device stays closed.
bool Stopped(const TextOutput& o) { return !ToFile && WaveStopCount() != o.stops; }

void Emit(TextOutput& o, const uint8_t* samples, uint32_t n) {
  uint32_t dropped = uint32_t(std::min<uint64_t>(o.dropBytes, n));
  o.dropBytes -= dropped;
  samples += dropped;
  n -= dropped;
  if (n == 0) return;
  if (ToFile) {
    if (std::fwrite(samples, 1, n, E.file) != n) o.result = OutputWriteFailed();
    E.fileHasSound = true;
    return;
  }
  uint8_t* data = E.playImage + HeaderBytes;
  if (o.accumulated + n >= BlockBytes) {
    PlayAccumulated(o.accumulated);
    o.accumulated = 0;
    if (Stopped(o)) return;
  }
  std::memcpy(data + o.accumulated, samples, n);
  o.accumulated += n;
}

// Takes every sample MBROLA has ready (after the flush: every one left).
void ReadSamples(TextOutput& o) {
  while (!Stopped(o)) {
    int got = read_MBR(E.sampleBuffer, int(SampleCount));
    if (got < 0 && ClearMbrolaError()) {
      o.result = false;
      // A child that died may have written noise before it went: the block
      // it still held is not played.
      if (E.failed) o.accumulated = 0;
    }
    if (got <= 0) return;
    Emit(o, reinterpret_cast<const uint8_t*>(E.sampleBuffer), 2 * uint32_t(got));
  }
}

// Writes lines to MBROLA, reading after each; an empty line is skipped
// unless it ends the text.
void Feed(TextOutput& o, const std::vector<std::string>& lines, bool endsText) {
  // Once MBROLA itself has failed, the rest of the text is not fed to it.
  for (size_t i = 0; i < lines.size() && !Stopped(o) && !E.failed; ++i) {
    if (lines[i].empty() && !(endsText && i + 1 == lines.size())) continue;
    if (!o.written) reset_MBR();
    o.written = true;
    write_MBR((lines[i] + "\r\n").c_str());
    if (ClearMbrolaError()) o.result = false;
    ReadSamples(o);
  }
}

// The silence that opens a text is not waited through when the device has
// been quiet anyway: of its samples at most kKeptOpeningMs stay. After
// sound that has just ended (or earlier in the same file) the pause
// between the two stays whole.
uint64_t OpeningDrop(const std::vector<std::string>& firstLines) {
  int64_t ms = OpeningPauseMs(firstLines) - kKeptOpeningMs;
  if (ms <= 0) return 0;
  if (ToFile)
    ms = E.fileHasSound ? 0 : ms;
  else
    ms = std::min<int64_t>(ms, WaveQuietMs());
  return uint64_t(ms) * E.rate / 1000 * 2;
}

// The samples play at their true rate and width whatever wave playback's
// switches say.
TextOutput BeginText() {
  TextOutput o;
  o.switches = SetSpeedSwitches({});
  o.stops = WaveStopCount();
  return o;
}

bool EndText(TextOutput& o) {
  if (Stopped(o)) {
    // Ends the child at once; what it still owed is dropped with it.
    reset_MBR();
  } else if (o.written) {
    flush_MBR();
    ReadSamples(o);
  }
  // A full disk shows at the latest when the text's samples are flushed.
  if (ToFile && std::fflush(E.file) != 0) o.result = OutputWriteFailed();
  if (!ToFile && o.accumulated > 0 && !Stopped(o)) {
    if (o.accumulated < ShortestBlock) {
      std::memset(E.playImage + HeaderBytes + o.accumulated, 0, ShortestBlock - o.accumulated);
      o.accumulated = ShortestBlock;
    }
    PlayAccumulated(o.accumulated);
  }
  SetSpeedSwitches(o.switches);
  return o.result;
}

bool SpeakPieces(TextPieces& pieces, const std::function<bool(std::string&)>& more) {
  if (!MbrolaLoaded()) return false;
  TextOutput o = BeginText();
  bool atEnd = !more, first = true;
  std::vector<std::string> lines;
  while (!Stopped(o)) {
    if (!NextLines(pieces, atEnd, lines)) {
      if (atEnd) break;
      std::string text;
      if (more(text))
        AddText(pieces, text);
      else
        atEnd = true;
      continue;
    }
    if (first) o.dropBytes = OpeningDrop(lines);
    first = false;
    Feed(o, lines, atEnd && pieces.rest.empty() && pieces.closing.empty());
  }
  return EndText(o);
}

}  // namespace

bool SpeakMbrolaLines(const std::vector<std::string>& lines) {
  if (!MbrolaLoaded()) return false;
  TextOutput o = BeginText();
  o.dropBytes = OpeningDrop(lines);
  Feed(o, lines, true);
  return EndText(o);
}

bool EngineSpeak(const std::string& text) {
  std::string trimmed = TrimBlanks(text);
  if (trimmed.empty()) return true;
  TextPieces pieces;
  pieces.pitchFactor = PitchFactor;
  pieces.durationFactor = DurationFactor;
  AddText(pieces, trimmed);
  return SpeakPieces(pieces, nullptr);
}

bool EngineSpeakFrom(const std::function<bool(std::string&)>& more) {
  TextPieces pieces;
  pieces.pitchFactor = PitchFactor;
  pieces.durationFactor = DurationFactor;
  return SpeakPieces(pieces, more);
}

void EngineClose() {
  if (ToFile) CompleteOutputFile();
  FreePhonemeRules();
  FreeDiphoneList();
  if (MbrolaLoaded()) close_MBR();
  UnloadMbrola();
}
