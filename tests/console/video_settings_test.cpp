// Reading the VIDEO and BRAILLE settings.
#include "console_fixture.h"

namespace console_test {
namespace {

using console_detail::VideoSettings;

// Settings from the INI text (nullptr: no file), on a 1024 x 734 desktop.
VideoSettings Load(const char* ini, int width = 1024, int height = 734) {
  for (int i = 0; i < 16; ++i) ColourTable[i] = static_cast<uint8_t>(i);
  std::string path = TempWindowsDir() + "/video.ini";
  std::filesystem::remove(path);
  if (ini) std::ofstream(path) << ini;
  VideoSettings settings;
  console_detail::LoadVideoSettings(path, width, height, settings);
  return settings;
}

TEST(VideoSettings, DefaultsWithoutAFile) {
  TextAttribute = 0;
  BrailleMode = 2;
  VideoSettings s = Load(nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ColourTable[i], i);
  EXPECT_FALSE(s.fixedColours || s.blitScroll || s.maximised);
  EXPECT_EQ(TextAttribute, 0x0F);
  EXPECT_EQ(BrailleMode, 0);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_EQ(s.fontFace, "Lucida Console");
  EXPECT_EQ(s.fontWidth * 100 + s.fontHeight, 1328);
  s = Load(nullptr, 1920, 1080);  // 24.37 x 41.2
  EXPECT_EQ(s.fontWidth * 100 + s.fontHeight, 2441);
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
  Load("[VIDEO]\nTABCORES=9,300, 5,7\n");
  EXPECT_EQ((std::vector<int>(ColourTable, ColourTable + 4)),
            (std::vector<int>{9, 300 & 0xFF, 2, 3}));
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

TEST(IntegerConversion, AcceptsOnlyWholeNumbers) {
  long v = 0;
  EXPECT_TRUE(console_detail::ParseInteger("-12", v));
  EXPECT_EQ(v, -12);
  for (const char* bad : {"", "-", "4 ", "1a", "99999999999"})
    EXPECT_FALSE(console_detail::ParseInteger(bad, v)) << bad;
}

}  // namespace
}  // namespace console_test
