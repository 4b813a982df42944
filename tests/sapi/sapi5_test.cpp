// The SAPI 5 adapter against a fake SpVoice: choosing the voice and rate,
// failures at every step of the start, speaking, busy and stopping.
#include "sapi/snsapi5.h"

#include "platform/os/text.h"
#include "sapi_fakes.h"

namespace sapi_test {
namespace {

TEST_F(SapiTest, Sapi5StartChoosesVoiceAndRateOrFailsWithAReason) {
  struct Case {
    int voices, voice, rate;
    const char* failAt;
    bool started;
    const char* calls;
  } cases[] = {
      {3, 0, 5, "", true, "create; interests 33790; voices; voice voz1; rate 0"},
      {3, 3, -4, "", true, "create; interests 33790; voices; voice voz3; rate -4"},
      {3, 4, 7, "", true, "create; interests 33790; voices; voice voz1; rate 0"},
      {3, -1, 2, "", true, "create; interests 33790; voices; voice voz1; rate 0"},
      {3, 2, 9, "rate", true, "create; interests 33790; voices; voice voz2; rate 9"},
      {0, 1, 0, "", false, "create; interests 33790; voices"},
      {3, 1, 0, "create", false, "create"},
      {3, 1, 0, "interests", false, "create; interests 33790"},
      {3, 1, 0, "voices", false, "create; interests 33790; voices"},
      {3, 2, 0, "voice ", false, "create; interests 33790; voices; voice voz2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.voice) + " " + c.failAt);
    Log().Clear();
    Log().faultBelow = Log().made;  // no voice kept from the case before
    Log().voiceCount = c.voices;
    Log().failAt = c.failAt;
    EXPECT_EQ(Sapi5Start(c.voice, c.rate, ""), c.started);
    EXPECT_EQ(Calls(), c.calls);
    // A failed start says why, once; a good one says nothing.
    const VoiceNotice notice = TakeVoiceNotice();
    EXPECT_EQ(notice.empty(), c.started) << notice.shown;
    EXPECT_TRUE(TakeVoiceNotice().empty());
    Sapi5End();
  }
}

// The line editor's speed change ends and starts speech: the connection
// (and the list of voices) is kept; a voice whose daemon went away is not.
TEST_F(SapiTest, Sapi5EndKeepsTheConnectionForTheNextStart) {
  Log().faultBelow = Log().made;
  ASSERT_TRUE(Sapi5Start(2, 3, ""));
  Sapi5End();
  Log().calls.clear();
  ASSERT_TRUE(Sapi5Start(2, -3, ""));
  EXPECT_EQ(Calls(), "interests 33790; voices; voice voz2; rate -3");
  EXPECT_FALSE(Sapi5Failed());
  // The daemon dies: said once, and the next start connects anew.
  Log().faultBelow = Log().made;
  EXPECT_TRUE(Sapi5Failed());
  EXPECT_TRUE(Sapi54Failed());
  const VoiceNotice notice = TakeVoiceNotice();
  EXPECT_EQ(notice.said, "A voz do sistema parou; uso a voz do Sonaris.");
  EXPECT_EQ(notice.shown, "");
  EXPECT_TRUE(TakeVoiceNotice().empty());
  Sapi5End();
  Log().calls.clear();
  ASSERT_TRUE(Sapi5Start(1, 0, ""));
  EXPECT_EQ(Calls(), "create; interests 33790; voices; voice voz1; rate 0");
  EXPECT_FALSE(Sapi5Failed());
  Sapi5End();
}

TEST_F(SapiTest, Sapi5SpeaksAsynchronouslyAndStopsByPurging) {
  ASSERT_TRUE(Sapi54Start(1, 0, ""));
  Log().calls.clear();
  Sapi54Speak("");
  Sapi54Speak("a\xE7\xE3o 7");  // Windows-1252 in, UTF-8 out
  Sapi5Stop();
  EXPECT_EQ(Calls(), "speak 17 [ ]; speak 17 [a\xC3\xA7\xC3\xA3o 7]; speak 2 [ ]");
  // A text the voice refuses is dropped; nothing escapes the adapter.
  Log().failAt = "speak";
  Sapi5Speak("x");
  Sapi5Stop();
  Sapi5End();
}

TEST_F(SapiTest, Sapi5BusyFollowsTheSpeakCompleteEventAndWakesTheWaiter) {
  ASSERT_TRUE(Sapi5Start(1, 0, ""));
  platform::Message m;
  // Idle: false at once, nothing posted.
  EXPECT_FALSE(Sapi5Busy());
  EXPECT_FALSE(platform::PeekMessage(m));
  Log().complete.Reset();
  EXPECT_TRUE(Sapi54Busy());
  ASSERT_TRUE(platform::PeekMessage(m));
  EXPECT_EQ(m.message, unsigned(platform::WM_VOICE_WAKE));
  Log().complete.Set();
  EXPECT_FALSE(Sapi5Busy());
  Sapi5End();
  // Ended: no voice, nothing busy, nothing spoken.
  EXPECT_FALSE(Sapi5Busy());
  Log().calls.clear();
  Sapi5Speak("x");
  Sapi5Stop();
  EXPECT_EQ(Calls(), "");
}

}  // namespace
}  // namespace sapi_test
