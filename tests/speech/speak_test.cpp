// What SpeakText and its companions play, in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "speech/sncrt.h"
#include "tests/sapi/sapi_fakes.h"
#include "tests/speech/world.h"
#include "wave/snwav.h"

namespace speech_test {
namespace {

class SpeakTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetWorld(); }
  static Heard Spoken(const std::string& text) {
    SpeakText(text);
    return TakeHeard();
  }
};

// One text, everything it plays in order.
TEST_F(SpeakTest, WhatATextPlaysInOrder) {
  const std::pair<std::string, Heard> cases[] = {
      {"007", Join({{"_zero", "_zero", "_sete"}, Say(" ")})},
      {"-5", Join({{"_MENOS", "_cinco"}, Say(" ")})},
      {"a - b", Join({Say("a "), {"-", "pause:150"}, Say(" b ")})},
      {"www;", Join({{"w", "w", "w", ";", "pause:200"}, Say(" ")})},
      {"www", Say("www ")},
      {"!!!!!!", Join({{"!", "!", "!", "!", "click", "click"}, Say(" ")})},
      {"a://b", Join({Say("a"), {":", "/", "/"}, Say("b ")})},
      {"Rua 25 de mar\xE7o, 1.500",
       Join({Say("Rua "), {"[_vinte][_e][_cinco]"}, Say(" de mar\xE7o"), {",", "pause:150"},
             Say(" "), {"_um", ".", "_quinhen"}, Say(" ")})},
      {"guarda-chuva", Join({Say("guarda"), Say("chuva ")})},
      {"3-4", Join({{"3", "-", "4"}, Say(" ")})},
      {"1234567", Join({{"1", "2", "3", "4", "5", "6", "7"}, Say(" ")})},
  };
  for (const auto& [text, played] : cases) EXPECT_EQ(Spoken(text), played) << text;
  // Without the sign sounds a full stop is a pause; with no blank after it
  // a comma is spoken.
  SpeakPunctSign = false;
  EXPECT_EQ(Spoken("a. b"), Join({Say("a"), {"pause:250"}, Say(" b ")}));
  EXPECT_EQ(Spoken("1,5"), Join({{"_um", ",", "_cinco"}, Say(" ")}));
}

TEST_F(SpeakTest, KeyDuringLongTextStopsAtOnceAndStaysReadable) {
  PressDuringSound(2, 'k');
  EXPECT_EQ(Spoken("uma frase, outra frase. mais uma frase, e outra no fim."),
            Join({Say("uma frase"), {",", "pause:150"}}));  // the pause is noted, not waited
  EXPECT_FALSE(IsSpeaking());
  ASSERT_TRUE(KeyPressed());
  EXPECT_EQ(ReadKey(), 'k');
}

TEST_F(SpeakTest, RecordedWordsCuesAndSpokenKeys) {
  PlayWordFile("_DEL");
  PlayWordFile("ajuda");
  PlayWordFile("");  // no name: nothing to play
  SpeakLetter(0xE7);
  PlayDtmf("12,#*a");
  platform::PostMessage(platform::WM_CHAR, 'a');
  SoundBuzz();  // throws away what was typed ahead
  EXPECT_FALSE(KeyPressed());
  SoundClick();
  Type("x");
  EXPECT_EQ(ReadKeySpoken(), 'x');
  EXPECT_EQ(TakeHeard(), (Heard{"_DEL", "ajuda", "\xE7", "dtmf_1", "dtmf_2", "dtmf_#", "dtmf_X",
                                "buzz", "click", "x"}));
}

TEST_F(SpeakTest, DeferredTextIsCollectedThenSpokenByTheLineEnd) {
  DeferSpeech = true;
  SpeakText("abc");
  SpeakText("def");
  SpeakText(",x");
  EXPECT_EQ(TakeHeard(), Heard{});
  WriteLineAndSpeak("ghi");
  EXPECT_EQ(Row(1).substr(0, 4), "ghi ");
  EXPECT_TRUE(DeferredText.empty());
  EXPECT_EQ(TakeHeard(), Join({Say("abc def"), {","}, Say("x ghi ")}));
}

// A system voice through the speech-dispatcher adapter, on a fake voice.
TEST_F(SpeakTest, SystemVoiceTakesTheTextAndOneThatBreaksDownHandsItBack) {
  sapi_test::Log().Clear();
  platform::SetSpVoiceFactory([] { return std::make_unique<sapi_test::FakeVoice>(); });
  WriteFile("win/SONARIS.INI", "[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=5\n");
  StartSpeech(3, "");
  ASSERT_TRUE(VoiceActive);
  WriteAndSpeak("Ol\xE1 25, ok");
  EXPECT_EQ(Row(1).substr(0, 11), "Ol\xE1 25, ok ");
  EXPECT_EQ(sapi_test::Log().calls.back(), "speak 17 [Ol\xC3\xA1 25, ok]");
  EXPECT_EQ(TakeHeard(), Heard{});
  // The daemon dies while it speaks: the text goes to the built-in voice.
  SpeakText("abc");
  sapi_test::Log().faultBelow = sapi_test::Log().made;
  WaitWhileSpeaking();
  EXPECT_FALSE(VoiceActive);
  // The built-in voice says so, then the text the other did not finish.
  const Heard heard = TakeHeard();
  ASSERT_GT(heard.size(), 1u);
  EXPECT_EQ(heard.back(), Say("abc ").at(0));
  platform::SetSpVoiceFactory(nullptr);
}

// A sound file that cannot be made leaves the program without sound: the
// next wait for speech shows that once, on a line of its own.
TEST_F(SpeakTest, MissingSoundDeviceIsShownOnceOnItsOwnLine) {
  auto out = platform::CreateAudioOut("wav:/nonexistent-sonaris-dir/out.wav");
  out->Open(platform::AudioFormat{11025, 8, 1});
  WriteChars("Digite");
  WaitWhileSpeaking();
  WaitWhileSpeaking();
  EXPECT_EQ(Row(1).substr(0, 7), "Digite ");
  EXPECT_EQ(Row(2).substr(0, 67),
            "Nenhum dispositivo de som dispon\xEDvel; o programa continua sem som. ");
  EXPECT_EQ(Row(3).substr(0, 1), " ");
}

TEST(WaveHeader, LengthsAndFormatAreWrittenIntoTheTemplate) {
  uint8_t image[44];
  MakeWaveHeader(image, 1000, 16000, 16, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(image), 4), "RIFF");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(image + 36), 4), "data");
  // {offset, bytes, value}; the block alignment stays as in the template.
  const uint32_t fields[][3] = {{4, 4, 1036}, {16, 4, 16},    {20, 2, 1},
                                {22, 2, 2},   {24, 4, 16000}, {28, 4, 64000},
                                {32, 2, 1},   {34, 2, 16},    {40, 4, 1000}};
  for (const auto& [at, bytes, value] : fields) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i) v |= uint32_t(image[at + i]) << (8 * i);
    EXPECT_EQ(v, value) << "offset " << at;
  }
}

TEST(UpperLatin1, FoldsAsciiAndTheUpperLatinRow) {
  EXPECT_EQ(UpperLatin1("a\xE7\xE3o z9!"), "A\xC7\xC3O Z9!");
  EXPECT_EQ(UpperLatin1("\xFF\xE0\xDF"), "\xDF\xC0\xDF");
}

}  // namespace
}  // namespace speech_test
