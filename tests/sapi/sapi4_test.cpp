// The SAPI 4 adapter against a fake engine: choosing the mode, failures of
// the enumerator and Register, what reaches the engine, and the busy rules
// kept by the two sinks.
#include "sapi/snsapi4.h"

#include "sapi_fakes.h"

namespace sapi_test {
namespace {

TEST_F(SapiTest, Sapi4StartSelectsTheModeByPlaceOrFailsWithAReason) {
  struct Case {
    int voices, voice, speed, pitch;
    const char* failAt;
    bool started;
    const char* calls;
  } cases[] = {
      {3, 0, 0, 0, "", true, "enum; select m1; register"},
      {3, 2, 180, 40, "", true, "enum; select m2; register; speed 180; pitch 40"},
      {3, 9, 0, 60, "", true, "enum; select m3; register; pitch 60"},  // past the last: the last
      {3, -1, 0, 0, "", true, "enum; select m1; register"},  // below 1: the first
      {0, 1, 0, 0, "", false, "enum"},
      {3, 1, 0, 0, "enum", false, "enum"},
      {3, 1, 0, 0, "select", false, "enum; select m1"},
      {3, 1, 0, 0, "register", false, "enum; select m1; register"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.voice) + " " + c.failAt);
    Log().Clear();
    Log().voiceCount = c.voices;
    Log().failAt = c.failAt;
    EXPECT_EQ(Sapi4Start(c.voice, c.speed, c.pitch, ""), c.started);
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(TakeVoiceNotice().empty(), c.started);
    Sapi4End();
  }
}

TEST_F(SapiTest, Sapi4SpeakTrimsCompletesDigitsAndNeverOverrunsItsBuffer) {
  ASSERT_TRUE(Sapi4Start(1, 0, 0, ""));
  const struct {
    std::string text;
    std::vector<std::string> sent;
  } cases[] = {
      {"  7  ", {"7."}},
      {"", {}},
      {"   ", {}},
      {"\t\r\n", {}},
      {"12", {"12"}},
      {" Ol\xE1 ", {"Ol\xC3\xA1"}},  // Windows-1252 in, UTF-8 out
      {std::string("\xE9"), {"\xC3\xA9"}},
  };
  for (const auto& c : cases) {
    Log().texts.clear();
    Sapi4Speak(c.text);
    EXPECT_EQ(Log().texts, c.sent) << c.text;
  }
  // 150000 bytes: pieces that each fit 64000 bytes with their zero, cut
  // after blanks, nothing lost.
  std::string longText;
  while (longText.size() < 150000) longText += "palavra ";
  longText += "fim";
  Log().texts.clear();
  Sapi4Speak(longText);
  ASSERT_GE(Log().texts.size(), 3u);
  std::string joined;
  for (const auto& piece : Log().texts) {
    EXPECT_LT(piece.size(), 64000u);
    joined += piece;
  }
  EXPECT_EQ(joined, longText);
  // One word longer than the buffer is cut, not overrun.
  Log().texts.clear();
  Sapi4Speak(std::string(70000, 'a'));
  ASSERT_EQ(Log().texts.size(), 2u);
  EXPECT_EQ(Log().texts[0].size(), 63999u);
  Sapi4End();
}

TEST_F(SapiTest, Sapi4BusyFollowsTheSinks) {
  ASSERT_TRUE(Sapi4Start(1, 0, 0, ""));
  Sapi4Speak("um");
  ASSERT_TRUE(Log().buf && Log().notify);
  auto& buf = *Log().buf;
  auto& notify = *Log().notify;
  // A done without a started leaves the count at 0.
  buf.TextDataDone();
  EXPECT_FALSE(Sapi4Busy(1));
  EXPECT_FALSE(Sapi4Busy(0));
  buf.TextDataStarted();
  EXPECT_TRUE(Sapi4Busy(1));
  notify.AudioStart();
  buf.TextDataDone();
  // The last text is done but its sound still plays.
  EXPECT_FALSE(Sapi4Busy(1));
  EXPECT_TRUE(Sapi4Busy(0));
  notify.AudioStop();
  EXPECT_FALSE(Sapi4Busy(0));
  // Stop resets the engine and clears both counters.
  buf.TextDataStarted();
  buf.TextDataStarted();
  notify.AudioStart();
  Log().calls.clear();
  Sapi4Stop();
  EXPECT_EQ(Calls(), "reset");
  EXPECT_FALSE(Sapi4Busy(0));
  // A TextData that fails: the engine is reset and nothing stays busy.
  buf.TextDataStarted();
  Log().failAt = "text";
  Log().calls.clear();
  Sapi4Speak("dois");
  EXPECT_EQ(Calls(), "text; reset");
  EXPECT_FALSE(Sapi4Busy(0));
  Sapi4End();
}

TEST_F(SapiTest, Sapi4SpeaksNothingWhileAKeyWaits) {
  ASSERT_TRUE(Sapi4Start(1, 0, 0, ""));
  platform::Message key;
  key.message = platform::WM_CHAR;
  key.wParam = 'x';
  platform::PostMessage(key);
  PumpMessages();
  ASSERT_TRUE(KeyPressed());
  Sapi4Speak("texto");
  EXPECT_TRUE(Log().texts.empty());
  Sapi4End();
}

}  // namespace
}  // namespace sapi_test
