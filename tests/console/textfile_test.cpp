// Standard output and input through the console, and the tone image.
#include <algorithm>
#include <chrono>
#include <thread>

#include "console_fixture.h"
#include "platform/keys.h"

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
  StdWrite("Ol\xE1");
  EXPECT_EQ(CursorColumn(), 4);
  StdWriteLn(" mundo");
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(CursorColumn(), 1);
  EXPECT_EQ(HeadlessRowText(0).substr(0, 9), "Ol\xE1 mundo");
  StdWrite(std::string(300, '-'));  // more than one buffer
  EXPECT_EQ(ScreenCharAt(80, 4), '-');
  EXPECT_EQ(CursorColumn(), 61);
}

TEST_F(ConsoleTest, ReadLineWithEchoAndEditing) {
  Type("\x08" "ab\x08" "c\x01");
  PostMessage(Key(WM_KEYDOWN, VK_UP));
  Type("\r");
  EXPECT_EQ(StdReadLn(), "acH");
  EXPECT_EQ(HeadlessRowText(0).substr(0, 4), "acH ");
  EXPECT_EQ(CursorRow(), 2);
  EXPECT_EQ(CursorColumn(), 1);
}

int EchoedOnScreen(char c) {
  int n = 0;
  for (int row = 0; row < 3; ++row) {
    std::string text = HeadlessRowText(row);
    n += static_cast<int>(std::count(text.begin(), text.end(), c));
  }
  return n;
}

// Types more keys than the queue holds, a batch at a time, each batch
// after the screen shows the echo of the one before.
std::thread TypeInBatches(int count, char c, int echoLimit) {
  return std::thread([=] {
    for (int sent = 0; sent < count;) {
      int batch = std::min(50, count - sent);
      Type(std::string(batch, c));
      sent += batch;
      auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (EchoedOnScreen(c) < std::min(sent, echoLimit) &&
             std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Type("\r");
  });
}

TEST_F(ConsoleTest, ReadLineHoldsAtMost126Characters) {
  std::thread typist = TypeInBatches(130, 'x', 126);
  unsigned char buffer[128];
  uint16_t n = ReadEchoLine(buffer, sizeof buffer);
  typist.join();
  EXPECT_EQ(n, 128);
  EXPECT_EQ(buffer[125], 'x');
  EXPECT_EQ(buffer[126], 13);
  EXPECT_EQ(buffer[127], 10);
  EXPECT_EQ(ScreenCharAt(46, 2), 'x');  // 126 echoed: 80 + 46
  EXPECT_EQ(ScreenCharAt(47, 2), ' ');
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
  const uint8_t* data = image.data() + 44;
  // Period 13: 7 low samples, then high until the next period starts at
  // 13, 27 (= 2 * 11025 / 800), 41 ...
  for (int i = 0; i < 7; ++i) EXPECT_EQ(data[i], 0x60) << i;
  for (int i = 7; i < 13; ++i) EXPECT_EQ(data[i], 0xA0) << i;
  for (int i = 13; i < 20; ++i) EXPECT_EQ(data[i], 0x60) << i;
  for (int i = 20; i < 27; ++i) EXPECT_EQ(data[i], 0xA0) << i;
  EXPECT_EQ(data[27], 0x60);
  EXPECT_EQ(data[11024], 128);
  EXPECT_EQ(data[11023], 0xA0);
}

TEST(ToneImage, FrequenciesWithoutAPeriodGiveNoTone) {
  EXPECT_TRUE(console_detail::BuildToneImage(0).empty());
  EXPECT_TRUE(console_detail::BuildToneImage(11026).empty());
  EXPECT_TRUE(console_detail::BuildToneImage(65535).empty());
  std::vector<uint8_t> highest = console_detail::BuildToneImage(11025);
  ASSERT_EQ(highest.size(), 44u + 11025u);
  EXPECT_EQ(highest[44 + 11024], 128);
}

}  // namespace
}  // namespace console_test
