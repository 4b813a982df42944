// Reading the VIDEO and BRAILLE settings.
#include "console_fixture.h"

namespace console_test {
namespace {

using console_detail::VideoSettings;

// Settings from the INI text (nullptr: no file) over an installed sample's
// (nullptr: none), on a 1024 x 734 desktop.
VideoSettings Load(const char* ini, int width = 1024, int height = 734,
                   const char* sample = nullptr) {
  for (int i = 0; i < 16; ++i) ColourTable[i] = static_cast<uint8_t>(i);
  std::string path = TempWindowsDir() + "/video.ini", samplePath = path + ".sample";
  std::filesystem::remove(path);
  std::filesystem::remove(samplePath);
  if (ini) std::ofstream(path) << ini;
  if (sample) std::ofstream(samplePath) << sample;
  VideoSettings settings;
  console_detail::LoadVideoSettings({path, samplePath}, width, height, settings);
  return settings;
}

TEST(VideoSettings, DefaultsWithoutAFileAndACellSizedToTheDesktop) {
  TextAttribute = 0;
  BrailleMode = 2;
  VideoSettings s = Load(nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ColourTable[i], i);
  EXPECT_FALSE(s.fixedColours || s.blitScroll || s.maximised);
  EXPECT_EQ(TextAttribute, 0x0F);
  EXPECT_EQ(BrailleMode, 0);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_EQ(s.fontFace, "Lucida Console");
  // {desktop width, height, cell width, height}: 1920 x 1080 is 24.37 x
  // 41.2; a huge desktop still gets a cell of sensible size.
  const int desktops[][4] = {{1024, 734, 13, 28}, {1920, 1080, 24, 41}, {1 << 30, 1 << 30, 96, 192}};
  for (const auto& [width, height, cellWidth, cellHeight] : desktops) {
    s = Load(nullptr, width, height);
    EXPECT_EQ((std::pair{s.fontWidth, s.fontHeight}), (std::pair{cellWidth, cellHeight})) << width;
  }
}

// Keys the user's file lacks come from the installed sample.
TEST(VideoSettings, EachKeyFromTheFirstFileThatHoldsIt) {
  VideoSettings s = Load("[VIDEO]\nCORLETRA=14\n", 1024, 734,
                         "[VIDEO]\nCORLETRA=10\nCORFUNDO=1\nAMPLIF=3\n[BRAILLE]\nMODO=2\n");
  EXPECT_EQ(TextAttribute, 0x1E);
  EXPECT_EQ(s.zoom, 3);
  EXPECT_EQ(BrailleMode, 2);
  Load("[BRAILLE]\nMODO=0\n", 1024, 734, "[BRAILLE]\nMODO=2\n");
  EXPECT_EQ(BrailleMode, 0);
}

TEST(VideoSettings, PresentButEmptyKeepsTheStartValue) {
  VideoSettings s = Load("[video]\nlarguraletra=9\nALTURALETRA=\n"
                         "CORLETRA=\nCORFUNDO=\nAMPLIF=\nCANTOTELA=\n");
  EXPECT_EQ(s.fontWidth * 100 + s.fontHeight, 928);
  EXPECT_EQ(TextAttribute, 0x07);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_FALSE(s.maximised);
}

TEST(VideoSettings, ColourTableEntriesUntilTheFirstBadOne) {
  Load("[VIDEO]\nTABCORES=0,4\nCORLETRA=20\nCORFUNDO=0\n");
  EXPECT_EQ(ColourTable[1], 4);
  for (int i = 2; i < 16; ++i) EXPECT_EQ(ColourTable[i], i);
  EXPECT_EQ(TextAttribute, 20);
  // Leading blanks belong to an integer, trailing ones do not.
  Load("[VIDEO]\nTABCORES=9,300, 5,7 ,8\n");
  EXPECT_EQ((std::vector<int>(ColourTable, ColourTable + 5)),
            (std::vector<int>{9, 300 & 0xFF, 5, 3, 4}));
  Load("[VIDEO]\nTABCORES=$F,0x0e,-1\n");
  EXPECT_EQ((std::vector<int>(ColourTable, ColourTable + 3)), (std::vector<int>{15, 14, 255}));
}

TEST(VideoSettings, SingleCharacterSettings) {
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=10\n").zoom, 1);
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=0\n").zoom, 0);
  Load("[BRAILLE]\nMODO=7\n");
  EXPECT_EQ(BrailleMode, 3);
  VideoSettings s = Load("[VIDEO]\nCORESFIXAS=sim\nLENTO=Sim\n");
  EXPECT_TRUE(s.fixedColours && s.blitScroll);
  EXPECT_FALSE(Load("[VIDEO]\nCORESFIXAS=nao\n").fixedColours);
  // S keeps the window in its corner; anything else maximises it.
  EXPECT_FALSE(Load("[VIDEO]\nCANTOTELA=SIM\n").maximised);
  EXPECT_TRUE(Load("[VIDEO]\nCANTOTELA=N\n").maximised);
  // The weight only when asked for; without it the face keeps its own.
  EXPECT_EQ(Load("[VIDEO]\nPESOLETRA=700\n").fontWeight, 700);
  EXPECT_EQ(Load(nullptr).fontWeight, 0);
}

// Integers in the runtime's forms, and every number kept within a range
// that a screen can show.
TEST(VideoSettings, NumbersInTheRuntimeFormsAndWithinBounds) {
  struct Case {
    const char* ini;
    int attribute, width, height, weight;
  } cases[] = {
      {"CORLETRA=$E", 0x0E, 13, 28, 0},
      {"CORLETRA=0x0E\nCORFUNDO=$1", 0x1E, 13, 28, 0},
      {"CORLETRA= 14\nCORFUNDO=-0", 0x0E, 13, 28, 0},
      {"CORLETRA=14x", 0x07, 13, 28, 0},
      {"LARGURALETRA=$10\nALTURALETRA=0x20", 0x0F, 16, 32, 0},
      {"LARGURALETRA=9999999999\nALTURALETRA=2147483647", 0x0F, 13, 192, 0},
      {"LARGURALETRA=200\nALTURALETRA=400\nPESOLETRA=99999", 0x0F, 96, 192, 1000},
      {"LARGURALETRA=-5\nALTURALETRA=0\nPESOLETRA=-700", 0x0F, 4, 8, 0},
      {"PESOLETRA=$2BC", 0x0F, 13, 28, 700},
  };
  for (const Case& c : cases) {
    VideoSettings s = Load((std::string("[VIDEO]\n") + c.ini + "\n").c_str());
    EXPECT_EQ(TextAttribute, c.attribute) << c.ini;
    EXPECT_EQ(s.fontWidth, c.width) << c.ini;
    EXPECT_EQ(s.fontHeight, c.height) << c.ini;
    EXPECT_EQ(s.fontWeight, c.weight) << c.ini;
  }
}

}  // namespace
}  // namespace console_test
