// The diphone database (.IND index, .DIF samples), the recorded sounds of
// the letters folder, and the sound buffer they are joined in.
#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "diphone/translator.h"
#include "platform/os/ini.h"
#include "platform/os/paths.h"
#include "platform/os/riff.h"
#include "platform/os/text.h"

std::string DiphoneDbName = "DIFONES2";
std::string SynthLettersDir;
std::string DiphoneDir;

namespace {

constexpr size_t kRecordSize = 15;
constexpr size_t kMaxNameLength = 8;
constexpr int kIniValueLength = 80;  // 79 characters kept
constexpr uint8_t kSilence = 128;
// About 4 ms: how long a cut end fades out and a step at a join fades in.
constexpr size_t kJoinSamples = 44;

struct DiphoneRecord {
  std::string name;
  uint16_t length;
  int32_t offset;
};

struct SoundState {
  std::vector<DiphoneRecord> index;
  std::FILE* dif = nullptr;
  std::array<uint8_t, kSoundBufferSize> buffer{};
  size_t writePos = kWaveHeaderSize;
  uint8_t level = kSilence;  // the last sample appended, played or not
  int cut = 400;      // CORTEFON
  int keep = 0;       // SOBRAFON
  int wordGap = 100;  // INTERPAL
  SoundSink* sink = nullptr;
  std::minstd_rand noise{1};
};
SoundState S;

// A name length byte above 8 would read past the record: it is taken as 8.
DiphoneRecord ParseRecord(const uint8_t* r) {
  size_t len = std::min<size_t>(r[0], kMaxNameLength);
  return {std::string(reinterpret_cast<const char*>(r + 1), len),
          platform::Le16(r + 9), static_cast<int32_t>(platform::Le32(r + 11))};
}

// Trailing bytes that do not fill a whole record are ignored.
bool ReadIndex(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::array<uint8_t, kRecordSize> record;
  while (std::fread(record.data(), 1, kRecordSize, f) == kRecordSize) {
    S.index.push_back(ParseRecord(record.data()));
  }
  std::fclose(f);
  return true;
}

// Reads a folder key of section TRADUTOR; the folder must exist. The
// Windows-style value is kept, ending in a backslash.
bool ReadFolder(const char* key, const char* def, std::string& folder) {
  folder = platform::IniReadString(platform::WindowsDirFiles("SONARIS.INI"), "TRADUTOR", key, def,
                                   kIniValueLength);
  std::error_code ec;
  if (folder.empty() || !std::filesystem::is_directory(platform::ResolvePath(folder), ec))
    return false;
  if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
  return true;
}

const DiphoneRecord* FindRecord(const std::string& name) {
  auto it =
      std::lower_bound(S.index.begin(), S.index.end(), name,
                       [](const DiphoneRecord& r, const std::string& n) { return r.name < n; });
  return (it != S.index.end() && it->name == name) ? &*it : nullptr;
}

// Samples kept of a unit: an unstressed diphone loses its tail, keeping at
// least SOBRAFON; stressed units and single phones keep everything.
long KeptLength(const std::string& name, uint16_t length, int mode) {
  long n = length;
  if (mode < 2 && name.size() > 2) {
    n = static_cast<long>(length) - S.cut;
    if (n < S.keep) n = std::min<long>(length, S.keep);
  }
  // A negative cut must not reach into the next unit's samples.
  return std::min<long>(n, length);
}

// Whatever is appended starts at the level the sound stands at, the
// difference fading over the first samples: a join never steps.
void StartAtLevel(uint8_t* s, size_t n) {
  const int offset = int(S.level) - int(s[0]);
  const int span = int(std::min(n, kJoinSamples));
  for (int i = 0; i < span; ++i) s[i] = uint8_t(std::clamp(s[i] + offset * (span - i) / span, 0, 255));
}

// A unit cut short ends mid-waveform: its last samples fade to silence.
void FadeOut(uint8_t* s, size_t n) {
  const int span = int(std::min(n, kJoinSamples));
  for (int i = 0; i < span; ++i) {
    uint8_t& v = s[n - 1 - size_t(i)];
    v = uint8_t(kSilence + (int(v) - kSilence) * i / span);
  }
}

// Appends in pieces that each fit behind the header, so that a unit larger
// than the buffer is played in turns rather than written past its end.
// Noise steps everywhere: it needs no glide into it.
void AppendBytes(const uint8_t* data, size_t n, bool glide = true) {
  for (bool first = true; n > 0; first = false) {
    size_t piece = std::min(n, kMaxUnitSamples);
    EnsureRoom(piece);
    uint8_t* to = S.buffer.data() + S.writePos;
    std::memcpy(to, data, piece);
    if (first && glide) StartAtLevel(to, piece);
    S.level = to[piece - 1];
    S.writePos += piece;
    data += piece;
    n -= piece;
  }
}

void CloseDatabase() {
  if (S.dif) std::fclose(S.dif);
  S.dif = nullptr;
  S.index.clear();
}

}  // namespace

void DiphoneSetTuning(int cut, int keep, int wordGap) {
  S.cut = cut;
  S.keep = keep;
  S.wordGap = wordGap;
}

int WordGapSamples() { return S.wordGap; }

bool LoadDiphoneIndex() {
  CloseDatabase();
  if (!ReadFolder("dirLetras", "c:\\ecofala\\som\\letras", SynthLettersDir)) return false;
  if (!ReadFolder("DIRDIFONES", "c:\\ecofala\\som\\difones", DiphoneDir)) return false;
  std::string base = DiphoneDir + DiphoneDbName;
  if (!ReadIndex(platform::ResolvePath(base + ".IND"))) return false;
  S.dif = std::fopen(platform::ResolvePath(base + ".DIF").c_str(), "rb");
  return S.dif != nullptr;
}

size_t DiphoneCount() { return S.index.size(); }

int DiphoneStart() {
  DiphoneEnd();
  if (!LoadDiphoneIndex()) return 1;
  if (!LoadRules(platform::ResolvePath(DiphoneDir + "regras.rgr"))) return 2;
  if (!LoadExceptions(platform::ResolvePath(DiphoneDir + "portug.exc"))) return 2;
  S.writePos = kWaveHeaderSize;
  return 0;
}

void DiphoneEnd() {
  FreeRules();
  CloseDatabase();
  S.writePos = kWaveHeaderSize;
}

SoundSink* SetSoundSink(SoundSink* sink) {
  SoundSink* before = S.sink;
  S.sink = sink;
  return before;
}

bool AppendDiphone(const std::string& unit, int mode, double factor) {
  std::string name = platform::UpperAsciiText(unit);
  const DiphoneRecord* r = FindRecord(name);
  if (!r) return false;
  long k = static_cast<long>(KeptLength(name, r->length, mode) * factor);
  if (k <= 0 || !S.dif || r->offset < 0) return true;
  std::vector<uint8_t> samples(static_cast<size_t>(k));
  size_t got = 0;
  if (std::fseek(S.dif, r->offset, SEEK_SET) == 0)
    got = std::fread(samples.data(), 1, samples.size(), S.dif);
  if (got > 0 && got < r->length) FadeOut(samples.data(), got);
  AppendBytes(samples.data(), got);
  return true;
}

bool AppendRecorded(const std::string& unit) {
  std::vector<uint8_t> samples;
  if (!platform::ReadWaveSamples(platform::ResolvePath(SynthLettersDir + unit + ".wav"), samples))
    return false;
  AppendBytes(samples.data(), samples.size());
  return true;
}

void EnsureRoom(size_t n) {
  if (S.writePos + n < kSoundBufferSize) return;
  FlushSound();
  if (S.sink) S.sink->WaitPlayed();
}

void AppendSilence(int samples) {
  static const std::array<uint8_t, 100> kBlock = [] {
    std::array<uint8_t, 100> b;
    b.fill(kSilence);
    return b;
  }();
  for (int i = 0; i < samples / 100; ++i) AppendBytes(kBlock.data(), kBlock.size());
}

// A short burst of noise stands in for a missing single phone.
void AppendNoise() {
  std::array<uint8_t, 300> noise;
  for (uint8_t& b : noise) b = static_cast<uint8_t>(88 + S.noise() % 80);
  AppendBytes(noise.data(), noise.size(), false);
}

void FlushSound() {
  if (S.writePos == kWaveHeaderSize) return;
  size_t samples = S.writePos - kWaveHeaderSize;
  S.writePos = kWaveHeaderSize;
  if (S.sink) S.sink->Play(S.buffer.data(), samples);
}

size_t WritePos() { return S.writePos; }

void ClearSound() {
  S.writePos = kWaveHeaderSize;
  S.level = kSilence;
}
