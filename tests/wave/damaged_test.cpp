// Truncated, garbage and oversized WAV files and RIFF images: nothing
// out of bounds is read, nothing wrong is played.
#include <random>

#include "wave_fixture.h"

namespace wave_test {
namespace {

using Bytes = std::vector<uint8_t>;

// 11025 Hz, 8 bits, mono, padded to size bytes.
Bytes Format(size_t size = 16) {
  Bytes b = PcmFormat(11025, 8, 1);
  b.resize(size, 0);
  return b;
}

const Bytes kSound(300, 90);

// The sound's image, its chunks declaring these lengths.
Bytes Image(uint32_t format, uint32_t data, const char* riff = "RIFF") {
  return Riff({Chunk("fmt ", format, Format()), Chunk("data", data, kSound)}, riff);
}

struct FileCase {
  const char* name;
  Bytes bytes;
  int result;
  size_t writes;
};

std::vector<FileCase> FileCases() {
  std::mt19937 random(7);
  Bytes garbage(1000);
  for (auto& b : garbage) b = uint8_t(random());
  return {
      {"empty", {}, -1, 0},
      {"garbage", garbage, -1, 0},
      {"not-riff", Image(16, 300, "RIFX"), -1, 0},
      {"no-format", Riff({Chunk("data", 300, kSound)}), -1, 0},
      {"no-data", Riff({Chunk("fmt ", 16, Format())}), -1, 0},
      {"format-65535", Riff({Chunk("fmt ", 65535, Format(65535)), Chunk("data", 300, kSound)}), 0, 1},
      {"format-huge", Image(0xFFFFFFFF, 300), -1, 0},
      {"list-65535", Riff({Chunk("fmt ", 16, Format()), Chunk("LIST", 65535, Bytes(65535, 1)),
                           Chunk("data", 300, kSound)}), 0, 1},
      {"list-huge", Riff({Chunk("fmt ", 16, Format()), Chunk("LIST", 0xFFFFFFFF, Bytes(10, 1)),
                          Chunk("data", 300, kSound)}), -1, 0},
      {"any-case-ids", Riff({Chunk("FMT ", 16, Format()), Chunk("Data", 300, kSound)}, "riff"), 0, 1},
  };
}

using DamagedFile = WaveTest;

TEST_F(DamagedFile, PlaysOnlyWhatIsWhole) {
  for (const FileCase& c : FileCases()) {
    SCOPED_TRACE(c.name);
    Log().writes.clear();
    EXPECT_EQ(PlayWaveFile(WriteFile(std::string(c.name) + ".wav", c.bytes)), c.result);
    ASSERT_EQ(Log().writes.size(), c.writes);
    if (c.writes) {
      EXPECT_EQ(Log().writes[0].size(), kSound.size());
    }
  }
}

// A name of the settings: Windows-1252, backslashes, another letter case.
TEST_F(DamagedFile, FileNamedAsInTheSettingsIsFound) {
  WriteFile("Canção.wav", Image(16, 300));
  EXPECT_EQ(PlayWaveFile(TempDir() + "\\CAN\xC7\xC3O.WAV"), 0);
  EXPECT_EQ(Log().writes.size(), 1u);
}

// Images on the heap, exactly as long as they are, so that a read past
// the end is caught by the address sanitizer.
bool Parse(const Bytes& image, uint32_t& total, uint32_t& length, const uint8_t*& data) {
  auto copy = std::make_unique<uint8_t[]>(image.size() + 1);
  std::copy(image.begin(), image.end(), copy.get());
  WaveFormatFields format;
  bool ok = ParseRiff(copy.get(), uint32_t(image.size()), total, format, length, data);
  if (ok) data = image.data() + (data - copy.get());
  return ok;
}

// A cut in the headers refuses the image; a cut in the data keeps what is there.
TEST(ParseRiff, BoundsEveryTruncationAndOversizedChunk) {
  Bytes whole = Image(16, 300);
  uint32_t total, length;
  const uint8_t* data;
  for (size_t n = 0; n < whole.size(); ++n) {
    bool ok = Parse(Bytes(whole.begin(), whole.begin() + long(n)), total, length, data);
    EXPECT_EQ(ok, n >= 44) << n;
    if (ok) {
      EXPECT_EQ(length, n - 44) << n;
    }
  }
  ASSERT_TRUE(Parse(whole, total, length, data));
  EXPECT_EQ(data, whole.data() + 44);
  EXPECT_EQ(total * 1000 + length, 344u * 1000 + 300);
  // Chunk sizes 0, 65535 and 2^32-1: a format chunk that does not hold its
  // fields or claims more than the image is refused; data is cut to the image.
  for (uint32_t size : {0u, 65535u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(Parse(Image(size, 300), total, length, data)) << size;
    ASSERT_TRUE(Parse(Image(16, size), total, length, data)) << size;
    EXPECT_EQ(length, std::min(size, 300u)) << size;
  }
}

using DamagedImage = WaveTest;

TEST_F(DamagedImage, DataLongerThanTheImagePlaysOnlyWhatIsThere) {
  Bytes image = Image(16, 0xFFFF);
  auto copy = std::make_unique<uint8_t[]>(image.size());
  std::copy(image.begin(), image.end(), copy.get());
  PlayWaveMemory(copy.get());
  Bytes notRiff(64, 0);
  PlayWaveMemory(notRiff.data());
  ASSERT_EQ(Log().writes.size(), 1u);
  EXPECT_EQ(Log().writes[0].size(), kSound.size());
}

}  // namespace
}  // namespace wave_test
