// Reading the VIDEO and BRAILLE settings.
#include "console_fixture.h"

namespace console_test {
namespace {

using console_detail::LoadVideoSettings;
using console_detail::VideoSettings;

class VideoSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 16; ++i) ColourTable[i] = static_cast<uint8_t>(i);
    path_ = TempWindowsDir() + "/video.ini";
  }
  VideoSettings Load(const char* ini, int width = 1024, int height = 734) {
    std::filesystem::remove(path_);
    if (ini) std::ofstream(path_) << ini;
    VideoSettings settings;
    LoadVideoSettings(path_, width, height, settings);
    return settings;
  }
  std::string path_;
};

TEST_F(VideoSettingsTest, DefaultsWithoutAFile) {
  TextAttribute = 0;
  BrailleMode = 2;
  VideoSettings s = Load(nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(ColourTable[i], i);
  EXPECT_FALSE(s.fixedColours);
  EXPECT_FALSE(s.blitScroll);
  EXPECT_EQ(TextAttribute, 0x0F);
  EXPECT_EQ(BrailleMode, 0);
  EXPECT_EQ(s.zoom, 2);
  EXPECT_EQ(s.fontFace, "Lucida Console");
  EXPECT_EQ(s.fontWidth, 13);
  EXPECT_EQ(s.fontHeight, 28);
  EXPECT_FALSE(s.maximised);
}

TEST_F(VideoSettingsTest, FontSizeFromTheWorkAreaOrTheFile) {
  VideoSettings s = Load(nullptr, 1920, 1080);
  EXPECT_EQ(s.fontWidth, 24);   // 1920 / 1024 * 13 = 24.37
  EXPECT_EQ(s.fontHeight, 41);  // 1080 / 734 * 28 = 41.2
  s = Load("[video]\nlarguraletra=9\nALTURALETRA=\nFONTE=DejaVu Sans Mono\n");
  EXPECT_EQ(s.fontWidth, 9);
  EXPECT_EQ(s.fontHeight, 28);
  EXPECT_EQ(s.fontFace, "DejaVu Sans Mono");
}

TEST_F(VideoSettingsTest, ColourTableEntriesUntilTheFirstBadOne) {
  Load("[VIDEO]\nTABCORES=0,4\n");
  EXPECT_EQ(ColourTable[0], 0);
  EXPECT_EQ(ColourTable[1], 4);
  for (int i = 2; i < 16; ++i) EXPECT_EQ(ColourTable[i], i);
  Load("[VIDEO]\nTABCORES=9,300,x,7\n");
  EXPECT_EQ(ColourTable[0], 9);
  EXPECT_EQ(ColourTable[1], 300 & 0xFF);
  EXPECT_EQ(ColourTable[2], 2);
  EXPECT_EQ(ColourTable[3], 3);
}

TEST_F(VideoSettingsTest, AttributeFromTheColours) {
  Load("[VIDEO]\nCORLETRA=20\nCORFUNDO=0\n");
  EXPECT_EQ(TextAttribute, 20);
  Load("[VIDEO]\nCORLETRA=\nCORFUNDO=\n");
  EXPECT_EQ(TextAttribute, 0x07);
  Load("[VIDEO]\nCORLETRA=14\nCORFUNDO=1\n");
  EXPECT_EQ(TextAttribute, 0x1E);
}

TEST_F(VideoSettingsTest, SingleCharacterSettings) {
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=3\n").zoom, 3);
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=10\n").zoom, 1);
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=0\n").zoom, 0);
  EXPECT_EQ(Load("[VIDEO]\nAMPLIF=\n").zoom, 2);
  Load("[BRAILLE]\nMODO=2\n");
  EXPECT_EQ(BrailleMode, 2);
  Load("[BRAILLE]\nMODO=7\n");
  EXPECT_EQ(BrailleMode, 3);
  VideoSettings s = Load("[VIDEO]\nCORESFIXAS=sim\nLENTO=Sim\n");
  EXPECT_TRUE(s.fixedColours);
  EXPECT_TRUE(s.blitScroll);
  s = Load("[VIDEO]\nCORESFIXAS=nao\nLENTO=\n");
  EXPECT_FALSE(s.fixedColours);
  EXPECT_FALSE(s.blitScroll);
}

TEST_F(VideoSettingsTest, CornerOrMaximisedWindow) {
  EXPECT_FALSE(Load("[VIDEO]\nCANTOTELA=SIM\n").maximised);
  EXPECT_FALSE(Load("[VIDEO]\nCANTOTELA=s\n").maximised);
  EXPECT_TRUE(Load("[VIDEO]\nCANTOTELA=NAO\n").maximised);
  EXPECT_TRUE(Load("[VIDEO]\nCANTOTELA=N\n").maximised);
  EXPECT_FALSE(Load("[VIDEO]\nCANTOTELA=\n").maximised);
}

TEST(IntegerConversion, AcceptsOnlyWholeNumbers) {
  long v = 0;
  EXPECT_TRUE(console_detail::ParseInteger("-12", v));
  EXPECT_EQ(v, -12);
  for (const char* bad : {"", "-", " 4", "4 ", "1a", "99999999999"})
    EXPECT_FALSE(console_detail::ParseInteger(bad, v)) << bad;
}

}  // namespace
}  // namespace console_test
