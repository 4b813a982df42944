// Standard output and input through the console, and the tone image.
#include <algorithm>
#include <chrono>
#include <thread>

#include "console_fixture.h"
#include "platform/os/keys.h"

namespace console_test {
namespace {

using namespace platform;

void Type(const std::string& text) {
  for (unsigned char c : text) PostMessage(WM_CHAR, c);
}

TEST_F(ConsoleTest, OutputLandsAtTheCursor) {
  int presents = HeadlessPresentCount();
  StdWrite("");
  EXPECT_EQ(HeadlessPresentCount(), presents);  // nothing sent
  StdWriteLn("Ol\xE1 mundo");
  EXPECT_EQ(HeadlessRowText(0).substr(0, 9), "Ol\xE1 mundo");
  StdWrite(std::string(300, '-'));  // more than one buffer
  EXPECT_EQ(ScreenCharAt(80, 4), '-');
  EXPECT_EQ(CursorColumn(), 61);
}

TEST_F(ConsoleTest, ReadLineWithEchoAndEditing) {
  Type("\x08" "ab\x08" "c\x01");
  PostMessage(Msg(WM_KEYDOWN, VK_UP));  // 0 is dropped, 72 is an H
  Type("\r");
  EXPECT_EQ(StdReadLn(), "acH");
  EXPECT_EQ(HeadlessRowText(0).substr(0, 4), "acH ");
}

int EchoedOnScreen(char c) {
  int n = 0;
  for (int row = 0; row < 3; ++row) {
    std::string text = HeadlessRowText(row);
    n += static_cast<int>(std::count(text.begin(), text.end(), c));
  }
  return n;
}

// More keys than the queue holds: a batch at a time, each after the
// screen shows the echo of the one before.
TEST_F(ConsoleTest, ReadLineHoldsAtMost126Characters) {
  std::thread typist([] {
    for (int sent = 50; sent <= 150; sent += 50) {
      Type(std::string(50, 'x'));
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (EchoedOnScreen('x') < std::min(sent, 126) &&
             std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Type("\r");
  });
  unsigned char buffer[128];
  uint16_t n = ReadEchoLine(buffer, sizeof buffer);
  typist.join();
  EXPECT_EQ(n, 128);
  EXPECT_EQ(buffer[125], 'x');
  EXPECT_EQ(buffer[126] * 256 + buffer[127], 13 * 256 + 10);
  EXPECT_EQ(EchoedOnScreen('x'), 126);
}

TEST_F(ConsoleTest, ReadLineIntoATinyBufferStaysInside) {
  Type("xy\r");
  unsigned char buffer[2] = {0xAA, 0xAA};
  EXPECT_EQ(ReadEchoLine(buffer, 1), 1);
  EXPECT_EQ(buffer[0], 13);
  EXPECT_EQ(buffer[1], 0xAA);
}

TEST(ToneImage, SquareWaveOf800Hz) {
  std::vector<uint8_t> image = console_detail::BuildToneImage(800);
  ASSERT_EQ(image.size(), 44u + 11025u);
  const uint8_t header[44] = {
      'R', 'I', 'F', 'F', 0x35, 0x2B, 0, 0, 'W', 'A', 'V', 'E',
      'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
      0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0,
      'd', 'a', 't', 'a', 0x11, 0x2B, 0, 0};
  EXPECT_TRUE(std::equal(header, header + 44, image.begin()));
  // Period 13: 7 low samples, then high until the next period starts at
  // 13, 27 (= 2 * 11025 / 800), 41 ...
  std::string start(image.begin() + 44, image.begin() + 44 + 28);
  EXPECT_EQ(start, std::string(7, 0x60) + std::string(6, '\xA0') +
                       std::string(7, 0x60) + std::string(7, '\xA0') + "\x60");
  EXPECT_EQ(image[44 + 11023], 0xA0);
  EXPECT_EQ(image[44 + 11024], 128);
}

TEST(ToneImage, FrequenciesWithoutAPeriodGiveNoTone) {
  EXPECT_TRUE(console_detail::BuildToneImage(0).empty());
  EXPECT_TRUE(console_detail::BuildToneImage(11026).empty());
}

}  // namespace
}  // namespace console_test
