// What SpeakText and its companions play, in order, through the recording
// fakes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "console/snwin.h"
#include "platform/audio/audio.h"
#include "speech/sncrt.h"
#include "tests/speech/editor_fakes.h"
#include "tests/speech/fakes.h"
#include "wave/snwav.h"

using Events = std::vector<std::string>;

namespace {

class SpeakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEditorWorld();
    SpeakPunctSign = true;
    Fake.events.clear();
  }

  Events Spoken(const std::string& text) {
    SpeakText(text);
    return Fake.events;
  }

  static Events Pause(int ms) { return Events(ms / 50, "delay:50"); }
};

// One text, everything it plays in order. Pauses are runs of 50 ms delays.
TEST_F(SpeakTest, WhatATextPlaysInOrder) {
  const Events comma = Pause(150), semicolon = Pause(200);
  const Events bang(4, "file:synth/_33");
  const std::pair<std::string, Events> cases[] = {
      {"007", {"file:letras/_zero", "file:letras/_zero", "image:[_sete]", "phrase: "}},
      {"-5", {"file:letras/_MENOS", "image:[_cinco]", "phrase: "}},
      {"a - b", Join({{"phrase:a ", "file:synth/_45"}, comma, {"phrase: b "}})},
      {"www;", Join({Events(3, "file:synth/_119"), {"file:synth/_59"}, semicolon, {"phrase: "}})},
      {"www", {"phrase:www "}},
      {"!!!!!!", Join({bang, {"image:256 bytes", "image:256 bytes", "phrase: "}})},
      {"a://b", {"phrase:a", "file:synth/_58", "file:synth/_47", "file:synth/_47", "phrase:b "}},
      {"Rua 25 de mar\xE7o, 1.500",
       Join({{"phrase:Rua ", "image:[_vinte][_e][_cinco]", "phrase: de mar\xE7o", "file:synth/_44"},
             comma,
             {"phrase: ", "image:[_um]", "file:synth/_46", "image:[_quinhen]", "phrase: "}})},
      {"guarda-chuva", {"phrase:guarda", "phrase:chuva "}},
      {"3-4", {"file:synth/_51", "file:synth/_45", "file:synth/_52", "phrase: "}},
      {"1234567", Join({{"file:synth/_49", "file:synth/_50", "file:synth/_51", "file:synth/_52",
                         "file:synth/_53", "file:synth/_54", "file:synth/_55"},
                        {"phrase: "}})},
  };
  for (const auto& [text, played] : cases) {
    Fake.events.clear();
    EXPECT_EQ(Spoken(text), played) << text;
  }
  // Without the sign sounds a full stop is a pause; with no blank after it
  // a comma is spoken.
  SpeakPunctSign = false;
  Fake.events.clear();
  EXPECT_EQ(Spoken("a. b"), Join({{"phrase:a"}, Pause(250), {"phrase: b "}}));
  Fake.events.clear();
  EXPECT_EQ(Spoken("1,5"), (Events{"image:[_um]", "file:synth/_44", "image:[_cinco]", "phrase: "}));
  SpeakPunctSign = true;
  Events hyphens = Spoken("------");
  EXPECT_EQ(std::count(hyphens.begin(), hyphens.end(), "image:256 bytes"), 2);
  EXPECT_EQ(std::count(hyphens.begin(), hyphens.end(), "file:synth/_45"), 4);
}

TEST_F(SpeakTest, KeyDuringLongTextStopsAtOnceAndStaysReadable) {
  Fake.soundLength = 3;
  Fake.keyAfterSounds = 2;
  Events said = Spoken("uma frase, outra frase. mais uma frase, e outra no fim.");
  EXPECT_EQ(said, (Events{"phrase:uma frase", "file:synth/_44"}));
  EXPECT_FALSE(IsSpeaking());
  EXPECT_GT(Fake.stopWaves, 0);
  EXPECT_GT(Fake.wakes, 0);
  EXPECT_EQ(Fake.messageWaits, 3);  // the first sound to its end, the second cut at once
  ASSERT_EQ(Fake.keys.size(), 1u);
  EXPECT_EQ(Fake.keys.front(), 'k');
  // A sound still playing is speech; a key pending stops it and stays.
  Fake.keys.clear();
  Fake.playingPolls = 10;
  EXPECT_TRUE(IsSpeaking());
  Fake.keys.push_back('z');
  EXPECT_FALSE(IsSpeaking());
  EXPECT_EQ(Fake.playingPolls, 0);
  EXPECT_EQ(Fake.keys.size(), 1u);
}

TEST_F(SpeakTest, RecordedWordsComeFromTheirFolders) {
  PlayWordFile("_DEL");
  PlayWordFile("ajuda");
  PlayWordFile("");  // no name: nothing to play
  SpeakLetter(0xE7);
  EXPECT_EQ(Fake.events, (Events{"file:letras/_DEL", "file:words/ajuda", "file:synth/_231"}));
}

TEST_F(SpeakTest, DtmfTonesWithPausesAndCommaSilence) {
  RapidMode = true;
  PlayDtmf("12,#*a");
  EXPECT_EQ(Fake.events, (Events{"file:synth/dtmf_1", "delay:100", "file:synth/dtmf_2", "delay:100",
                                 "delay:1000", "file:synth/dtmf_#", "delay:100",
                                 "file:synth/dtmf_X", "delay:100"}));
  EXPECT_TRUE(RapidMode);
}

TEST_F(SpeakTest, CuesAndSpokenKeys) {
  Fake.keys = {'a', 'b'};
  SoundBuzz();  // throws away what was typed ahead
  EXPECT_TRUE(Fake.keys.empty());
  CutSpeech = true;
  SoundClick();
  EXPECT_TRUE(CutSpeech);
  Fake.keys = {'x'};
  EXPECT_EQ(ReadKeySpoken(), 'x');
  EXPECT_EQ(Fake.events, (Events{"image:512 bytes", "image:256 bytes", "file:synth/_120"}));
}

TEST_F(SpeakTest, DeferredTextIsCollectedThenSpokenByTheLineEnd) {
  DeferSpeech = true;
  SpeakText("abc");
  SpeakText("def");
  SpeakText(",x");
  EXPECT_TRUE(Fake.events.empty());
  WriteLineAndSpeak("ghi");
  EXPECT_EQ(Fake.screen, "ghi\n");
  EXPECT_TRUE(DeferredText.empty());
  EXPECT_EQ(Fake.events, (Events{"phrase:abc def", "file:synth/_44", "phrase:x ghi "}));
}

TEST_F(SpeakTest, ExternalVoiceTakesRunningTextWholeAndIsWaitedForAndStopped) {
  VoiceActive = true;
  VoiceKind = 5;
  WriteAndSpeak("Ol\xE1 25, ok");
  EXPECT_EQ(Fake.screen, "Ol\xE1 25, ok");
  EXPECT_TRUE(Fake.events.empty());
  ASSERT_FALSE(Fake.voiceCalls.empty());
  EXPECT_EQ(Fake.voiceCalls.back(), "speak 5 Ol\xE1 25, ok");
  // The next recorded sound waits for the voice to finish.
  Fake.voiceBusyPolls = 2;
  Fake.voiceCalls.clear();
  SpeakLetter('a');
  EXPECT_EQ(Fake.voiceCalls, (Events{"busy 5", "busy 5", "busy 5"}));
  EXPECT_EQ(Fake.events, (Events{"file:synth/_97"}));
  // Stop silences the Toada voice even when it is idle.
  Fake.voiceCalls.clear();
  VoiceKind = 3;
  StopSpeech();
  VoiceKind = 5;
  StopSpeech();
  EXPECT_EQ(Fake.voiceCalls, (Events{"busy 3", "stop 3", "busy 5"}));
  VoiceActive = false;
}

TEST_F(SpeakTest, VoiceThatBreaksDownHandsTheTextToTheBuiltInVoice) {
  // Broken down when asked to speak: the text goes to the built-in voice.
  VoiceActive = true;
  VoiceKind = 3;
  SpeakText("abc");
  Fake.voiceFailed = true;
  Fake.voiceCalls.clear();
  SpeakText("def");
  EXPECT_EQ(Fake.voiceCalls, (Events{"busy 3", "end 3"}));
  // The text it did not finish is said again, then the new one.
  EXPECT_EQ(Fake.events, (Events{"phrase:abc ", "phrase:def "}));
  EXPECT_FALSE(VoiceActive);
  // From then on the built-in voice speaks.
  Fake.voiceCalls.clear();
  SpeakText("ghi");
  EXPECT_TRUE(Fake.voiceCalls.empty());
  // A system voice whose daemon dies while it speaks, noticed while waiting;
  // a text stopped by a key is not said again.
  for (bool stopped : {false, true}) {
    Fake.voiceFailed = false;
    Fake.events.clear();
    VoiceActive = true;
    VoiceKind = 5;
    SpeakText("abc");
    if (stopped) StopSpeech();
    Fake.voiceFailed = true;
    WaitWhileSpeaking();
    EXPECT_FALSE(VoiceActive);
    EXPECT_EQ(Fake.events, stopped ? Events{} : Events{"phrase:abc "});
  }
  Fake.voiceFailed = false;
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

// A sound file that cannot be made leaves the program without sound: the
// next wait for speech shows that once, on a line of its own.
TEST_F(SpeakTest, MissingSoundDeviceIsShownOnceOnItsOwnLine) {
  auto out = platform::CreateAudioOut("wav:/nonexistent-sonaris-dir/out.wav");
  out->Open(platform::AudioFormat{11025, 8, 1});
  Fake.screen = "Digite";
  MoveCursor(7, 1);
  WaitWhileSpeaking();
  WaitWhileSpeaking();
  EXPECT_EQ(Fake.screen,
            "Digite\nNenhum dispositivo de som dispon\xEDvel; o programa continua sem som.\n");
}

TEST(UpperLatin1, FoldsAsciiAndTheUpperLatinRow) {
  EXPECT_EQ(UpperLatin1("a\xE7\xE3o z9!"), "A\xC7\xC3O Z9!");
  EXPECT_EQ(UpperLatin1("\xFF\xE0\xDF"), "\xDF\xC0\xDF");
}

}  // namespace
