// Every reader of WAV files and RIFF images against one table of damaged,
// padded and legal sounds: each takes the same samples, or none, and no
// size read from the bytes leads past them or into a huge allocation.
#include <array>
#include <functional>
#include <optional>

#include "diphone/diphone.h"
#include "platform/audio/src/audio_backends.h"
#include "platform/os/riff.h"
#include "speech/sncrt.h"
#include "tests/wave/wave_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;
using wave_test::Chunk;
using wave_test::Log;
using wave_test::Riff;

// 11025 Hz, 8 bits, mono.
Bytes Format() {
  Bytes h = wave_test::WavImage(11025, 8, 1, {});
  return Bytes(h.begin() + 20, h.begin() + 36);
}

// The samples start at the mid level, as the synthesizer joins them to
// silence, and end there, as the device path writes the last one: so what
// is heard equals what was read.
Bytes Sound(size_t n) {
  Bytes s(n);
  for (size_t i = 0; i < n; ++i) s[i] = uint8_t(20 + i % 200);
  s.front() = s.back() = 128;
  return s;
}

const Bytes kSound = Sound(300);

struct Case {
  const char* name;
  Bytes bytes;
  std::optional<Bytes> samples;  // none: the reader refuses the file
};

std::vector<Case> Cases() {
  const Bytes whole = Riff({Chunk("fmt ", 16, Format()), Chunk("data", 300, kSound)});
  Bytes padded = Format();
  padded.push_back(0);
  return {
      {"whole", whole, kSound},
      {"empty", {}, std::nullopt},
      {"header-only", Bytes(whole.begin(), whole.begin() + 12), std::nullopt},
      {"letter-28-bytes", Riff({Chunk("fmt ", 0, {}), Chunk("data", 0xFFFFFFFF, {})}), std::nullopt},
      {"data-huge", Riff({Chunk("fmt ", 16, Format()), Chunk("data", 0xFFFFFFFF, kSound)}), kSound},
      {"data-cut", Riff({Chunk("fmt ", 16, Format()), Chunk("data", 300, Sound(280))}), Sound(280)},
      {"format-huge", Riff({Chunk("fmt ", 0xFFFFFFFF, Format()), Chunk("data", 300, kSound)}),
       std::nullopt},
      {"list-huge", Riff({Chunk("fmt ", 16, Format()), Chunk("LIST", 0x7FFFFFFF, Bytes(9, 1)),
                          Chunk("data", 300, kSound)}), std::nullopt},
      {"list-odd-padded", Riff({Chunk("fmt ", 16, Format()), Chunk("LIST", 5, {'I', 'N', 'F', 'O', 'x', 0}),
                                Chunk("data", 300, kSound)}), kSound},
      {"list-odd-unpadded", Riff({Chunk("fmt ", 16, Format()), Chunk("LIST", 5, {'I', 'N', 'F', 'O', 'x'}),
                                  Chunk("data", 300, kSound)}), kSound},
      {"format-odd-padded", Riff({Chunk("fmt ", 17, padded), Chunk("data", 300, kSound)}), kSound},
      {"data-first", Riff({Chunk("data", 300, kSound), Chunk("fmt ", 16, Format())}), std::nullopt},
  };
}

using Reader = std::function<std::optional<Bytes>(const Case&)>;

std::optional<Bytes> Heard() {
  Bytes all;
  for (const Bytes& w : Log().writes) all.insert(all.end(), w.begin(), w.end());
  if (all.empty()) return std::nullopt;
  return all;
}

std::string FileOf(const Case& c, const char* stem = nullptr) {
  return wave_test::WriteFile(std::string(stem ? stem : c.name) + ".wav", c.bytes);
}

// The recorded sounds' folder, as the synthesizer and the numbers read it.
void UseLettersFolder() { SynthLettersDir = wave_test::TempDir() + "/"; }

const std::pair<const char*, Reader> kReaders[] = {
    {"layout of an image",
     [](const Case& c) -> std::optional<Bytes> {
       platform::WaveLayout w;
       if (!platform::FindWaveLayout(c.bytes.data(), c.bytes.size(), w) || w.dataLength == 0)
         return std::nullopt;
       return Bytes(c.bytes.begin() + std::ptrdiff_t(w.dataOffset),
                    c.bytes.begin() + std::ptrdiff_t(w.dataOffset + w.dataLength));
     }},
    {"samples of a file",
     [](const Case& c) -> std::optional<Bytes> {
       Bytes s;
       if (!platform::ReadWaveSamples(FileOf(c), s)) return std::nullopt;
       return s;
     }},
    {"ParseRiff",
     [](const Case& c) -> std::optional<Bytes> {
       uint32_t total = 0, length = 0;
       WaveFormatFields f;
       const uint8_t* data = nullptr;
       if (!ParseRiff(c.bytes.data(), uint32_t(c.bytes.size()), total, f, length, data) || length == 0)
         return std::nullopt;
       return Bytes(data, data + length);
     }},
    {"audio loop image",
     [](const Case& c) -> std::optional<Bytes> {
       platform::AudioFormat f;
       const uint8_t* data = nullptr;
       size_t length = 0;
       if (!platform::audio::ReadRiffImage(c.bytes.data(), c.bytes.size(), f, data, length) || !length)
         return std::nullopt;
       return Bytes(data, data + length);
     }},
    {"PlayWaveFile",
     [](const Case& c) -> std::optional<Bytes> {
       int result = PlayWaveFile(FileOf(c));
       std::optional<Bytes> heard = Heard();
       EXPECT_EQ(result, heard ? 0 : -1);
       return heard;
     }},
    {"recorded letter",
     [](const Case& c) -> std::optional<Bytes> {
       UseLettersFolder();
       FileOf(c, "_97");
       Bytes s;
       RenderPhonetic("[_a]", true, s);
       if (s.empty()) return std::nullopt;
       return s;
     }},
    {"number word",
     [](const Case& c) -> std::optional<Bytes> {
       UseLettersFolder();
       FileOf(c, "_um");
       SpeakWords("um", false);
       return Heard();
     }},
};

using RiffReaders = wave_test::WaveTest;

TEST_F(RiffReaders, TakeTheSameSamplesFromEveryFile) {
  for (const auto& [reader, read] : kReaders) {
    for (const Case& c : Cases()) {
      SCOPED_TRACE(std::string(reader) + ": " + c.name);
      Log().writes.clear();
      std::optional<Bytes> got = read(c);
      ASSERT_EQ(got.has_value(), c.samples.has_value());
      if (got) {
        EXPECT_EQ(*got, *c.samples);
      }
    }
  }
}

}  // namespace
