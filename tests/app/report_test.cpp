#include "app/report.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "console/snwin.h"
#include "platform/os/messages.h"

namespace {

// The report runs on the real console with the headless display; a key
// posted before it skips the spoken pauses and is drained afterwards.
class ReportScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto dir = std::filesystem::temp_directory_path() / "selenor-report-test";
    std::filesystem::create_directories(dir);
    setenv("SONARIS_DISPLAY", "headless", 1);
    setenv("SONARIS_AUDIO", "null", 1);
    setenv("SONARIS_WINDIR", dir.c_str(), 1);
  }
  void SetUp() override {
    OpenConsole();
    TextAttribute = 0x07;
    ClearScreen();
    DrainKeys();
  }
  void TearDown() override { DrainKeys(); }

  static void DrainKeys() {
    while (KeyPressed()) ReadKey();
  }
  static void PressKey() {
    platform::Message m;
    m.message = platform::WM_CHAR;
    m.wParam = 'x';
    platform::PostMessage(m);
    ASSERT_TRUE(KeyPressed());
  }
  static std::string Row(int row, int from = 1, int to = ScreenColumns) {
    std::string s;
    for (int c = from; c <= to; ++c) s += static_cast<char>(ScreenCharAt(c, row));
    return s.substr(0, s.find_last_not_of(' ') + 1);
  }
  static std::string Clipboard() {
    char buffer[4096] = "unchanged";
    PasteFromClipboard(buffer, sizeof buffer);
    return buffer;
  }
};

ZodiacProfile ProfileOf(uint16_t day, uint16_t month) {
  ZodiacProfile p;
  ComputeZodiacProfile(day, month, p);
  return p;
}

TEST(FormatWhole, PlainDigitsWithoutDecimals) {
  EXPECT_EQ(FormatWhole(0), "0");
  EXPECT_EQ(FormatWhole(-576000), "-576000");
  EXPECT_EQ(FormatWhole(13124.0 * 115200), "1511884800");
  EXPECT_EQ(FormatWhole(1e13), "10000000000000");
}

TEST_F(ReportScreen, FiguresStandOnABandAndTheProfileFillsTwoColumns) {
  BirthFigures f = ComputeFigures({15, 3, 1990}, {8, 12, 2026});
  PressKey();
  PrintReport(f, ProfileOf(15, 3));
  EXPECT_EQ(Row(1), "Voc\xEA nasceu Quinta");
  EXPECT_EQ(Row(2), "Sua idade: 36 anos");
  EXPECT_EQ(Row(3), "Voc\xEA j\xE1 viveu " + std::to_string(f.daysLived) + " dias");
  EXPECT_EQ(Row(4), "J\xE1 dormiu em m\xE9" "dia " + std::to_string(f.daysSlept) + " dias");
  EXPECT_EQ(Row(5), "O seu cora\xE7\xE3o j\xE1 bateu em m\xE9" "dia " +
                        FormatWhole(f.heartbeats) + " vezes");
  for (int row = 1; row <= 5; ++row)
    for (int column : {1, 40, 80}) EXPECT_EQ(ScreenAttrAt(column, row) >> 4, 1) << row;
  EXPECT_EQ(ScreenAttrAt(1, 6) >> 4, 0);
  EXPECT_EQ(Row(6), "");
  EXPECT_EQ(Row(7, 1, 40), "Seu signo: Peixes");
  EXPECT_EQ(Row(7, 41), "Planeta regente: Netuno");
  EXPECT_EQ(Row(8, 1, 40), "Seu anjo protetor: Asariel");
  // 39 characters reach column 40, which ends the row
  EXPECT_EQ(Row(10), "Perfume que deve usar: s\xE2ndalo ou l\xEDrio");
  EXPECT_EQ(Row(11, 1, 40), "Seu dia mais favor\xE1vel: quinta");
  EXPECT_EQ(Row(15, 1, 40), "O seu n\xFAmero da sorte: 7");
  EXPECT_EQ(Row(15, 41), "Deve repetir sempre: Eu creio");
  EXPECT_EQ(CursorRow(), 17);
  EXPECT_EQ(CursorColumn(), 1);
}

TEST_F(ReportScreen, EmptyProfileShowsTheBareLabels) {
  PressKey();
  PrintReport(ComputeFigures({1, 13, 1990}, {1, 1, 2000}), ZodiacProfile{});
  EXPECT_EQ(Row(7, 1, 40), "Seu signo:");
  EXPECT_EQ(Row(7, 41), "Planeta regente:");
}

TEST_F(ReportScreen, LongItemsTakeARowOfTheirOwn) {
  PressKey();
  PrintProfileItem("curto: a");
  EXPECT_EQ(CursorColumn(), 41);
  EXPECT_EQ(CursorRow(), 1);
  std::string longItem = "Perfume que deve usar: heliotr\xF3pio ou hortel\xE3";
  ASSERT_GT(longItem.size(), 40u);
  PrintProfileItem(longItem);
  EXPECT_EQ(Row(1), "curto: a");
  EXPECT_EQ(Row(2), longItem);
  EXPECT_EQ(CursorRow(), 3);
  EXPECT_EQ(CursorColumn(), 1);
  PrintProfileItem(longItem);  // at column 1: no empty row before it
  EXPECT_EQ(Row(3), longItem);
  PrintProfileItem("a: b");
  PrintProfileItem(std::string(40, 'y'));  // fills the row up to column 80
  EXPECT_EQ(Row(4, 41), std::string(40, 'y'));
  EXPECT_EQ(CursorRow(), 5);
  EXPECT_EQ(CursorColumn(), 1);
}

TEST_F(ReportScreen, CopyTakesTheRowsAboveTheCursorWithoutTrailingBlanks) {
  StdWriteLn("abc   ");
  StdWriteLn("");
  StdWriteLn("  x y");
  StdWriteLn(std::string(80, 'z'));
  StdWrite("prompt line");
  StdFlush();
  EXPECT_EQ(ScreenTextAboveCursor(), "abc\r\n \r\n  x y\r\n" + std::string(80, 'z') + "\r\n");
  CopyScreenToClipboard();
  EXPECT_EQ(Clipboard(), "abc\r\n \r\n  x y\r\n" + std::string(80, 'z') + "\r\n");

  ClearScreen();  // the cursor on the first row: nothing to copy
  StdWrite("only the prompt");
  StdFlush();
  CopyToClipboard("old");
  CopyScreenToClipboard();
  EXPECT_EQ(Clipboard(), "");
}

}  // namespace
