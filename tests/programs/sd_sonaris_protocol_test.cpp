// The output module's protocol functions, case by case.
#include <gtest/gtest.h>

#include "programs/sd_sonaris/protocol.h"

namespace {

using sd::Command;

TEST(SdProtocol, Commands) {
  const struct {
    const char* line;
    Command command;
    bool data;
  } cases[] = {
      {"SPEAK", Command::Speak, true},        {"CHAR", Command::Char, true},
      {"KEY", Command::Key, true},            {"SOUND_ICON", Command::SoundIcon, true},
      {"SET", Command::Set, true},            {"AUDIO", Command::Audio, true},
      {"LOGLEVEL", Command::LogLevel, true},  {"STOP", Command::Stop, false},
      {"PAUSE", Command::Pause, false},       {"LIST VOICES", Command::ListVoices, false},
      {"QUIT", Command::Quit, false},         {"INIT", Command::Init, false},
      {"DEBUG ON /tmp/x", Command::Debug, false}, {"speak", Command::Unknown, false},
      {"SPEAK ", Command::Unknown, false},    {"", Command::Unknown, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sd::ParseCommand(c.line), c.command) << c.line;
    EXPECT_EQ(sd::TakesData(sd::ParseCommand(c.line)), c.data) << c.line;
  }
  EXPECT_EQ(sd::DataLine("..."), "..");
  EXPECT_EQ(sd::DataLine("texto"), "texto");
}

TEST(SdProtocol, Settings) {
  const struct {
    const char* line;
    bool ok;
    int rate, pitch, volume;
    const char* voice;
    sd::Punctuation punctuation;
    bool spelling;
    sd::CapLetters capitals;
  } cases[] = {
      {"rate=-100", true, -100, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"rate=101", false, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"rate=abc", false, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"pitch=50", true, 0, 50, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"volume=-20", true, 0, 0, -20, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"voice=male1", true, 0, 0, 0, "br1", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"voice=MALE2", true, 0, 0, 0, "br3", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"voice=CHILD_FEMALE", true, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"synthesis_voice=sonaris", true, 0, 0, 0, "sonaris", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"synthesis_voice=NULL", true, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"punctuation_mode=all", true, 0, 0, 0, "br4", sd::Punctuation::All, false, sd::CapLetters::None},
      {"punctuation_mode=none", true, 0, 0, 0, "br4", sd::Punctuation::None, false, sd::CapLetters::None},
      {"punctuation_mode=loud", false, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"spelling_mode=on", true, 0, 0, 0, "br4", sd::Punctuation::Some, true, sd::CapLetters::None},
      {"cap_let_recogn=icon", true, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::Icon},
      {"pitch_range=10", true, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
      {"semigual", false, 0, 0, 0, "br4", sd::Punctuation::Some, false, sd::CapLetters::None},
  };
  for (const auto& c : cases) {
    sd::Settings s;
    EXPECT_EQ(sd::ApplySetting(s, c.line), c.ok) << c.line;
    EXPECT_EQ(s.rate, c.rate) << c.line;
    EXPECT_EQ(s.pitch, c.pitch) << c.line;
    EXPECT_EQ(s.volume, c.volume) << c.line;
    EXPECT_STREQ(sd::ChooseVoice(s).name, c.voice) << c.line;
    EXPECT_EQ(s.punctuation, c.punctuation) << c.line;
    EXPECT_EQ(s.spelling, c.spelling) << c.line;
    EXPECT_EQ(s.capitals, c.capitals) << c.line;
  }
}

TEST(SdProtocol, SsmlPiecesAndMarks) {
  const struct {
    const char* ssml;
    std::vector<sd::Piece> pieces;
  } cases[] = {
      {"texto simples", {{"texto simples", ""}}},
      {"<speak>um <mark name=\"a\"/>dois<mark name='b'/></speak>", {{"um ", "a"}, {"dois", "b"}, {"", ""}}},
      {"<speak><s>Frase.</s><s>Outra</s></speak>", {{"Frase. Outra ", ""}}},
      {"a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos; &x;", {{"a <b> & \"c\" 'd' &x;", ""}}},
      {"um<break time=\"100ms\"/>dois", {{"um dois", ""}}},
      {"corte <mark name=\"x\"", {{"corte ", ""}}},
      // A mark is written back on a protocol line: no line end may come through.
      {"a<mark name=\"b\n702 END\r\t\x01\"/>", {{"a", "b 702 END  "}, {"", ""}}},
  };
  for (const auto& c : cases) {
    std::vector<sd::Piece> got = sd::SplitSsml(c.ssml);
    ASSERT_EQ(got.size(), c.pieces.size()) << c.ssml;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].text, c.pieces[i].text) << c.ssml;
      EXPECT_EQ(got[i].mark, c.pieces[i].mark) << c.ssml;
    }
  }
}

TEST(SdProtocol, KeysRatesAndVoices) {
  EXPECT_EQ(sd::KeyWords("space"), "espa\xC3\xA7o");
  EXPECT_EQ(sd::KeyWords("control_a"), "control a");
  EXPECT_EQ(sd::KeyWords("shift_kp-enter"), "shift enter do teclado num\xC3\xA9rico");
  EXPECT_EQ(sd::KeyWords("F5"), "F5");
  EXPECT_EQ(sd::KeyWords("_"), "_");
  // The ends of the range and its middle.
  EXPECT_EQ(sd::ToadaSpeed(-100), -10);
  EXPECT_EQ(sd::ToadaSpeed(0), 0);
  EXPECT_EQ(sd::ToadaSpeed(100), 10);
  EXPECT_EQ(sd::BuiltInLevel(-100), 1);
  EXPECT_EQ(sd::BuiltInLevel(0), 3);
  EXPECT_EQ(sd::BuiltInLevel(100), 5);
  EXPECT_FLOAT_EQ(sd::VolumeRatio(0), 1.0f);
  EXPECT_FLOAT_EQ(sd::VolumeRatio(-100), 0.1f);
  EXPECT_FLOAT_EQ(sd::VolumeRatio(100), 2.0f);
  sd::Voice female = sd::kVoices[0], builtIn = sd::kVoices[3];
  EXPECT_EQ(sd::VoiceList({&female, &builtIn}),
            "200-br4\tpt-BR\tfemale\n200-sonaris\tpt-BR\tmale\n200 OK VOICE LIST SENT\n");
  EXPECT_EQ(sd::VoiceList({}), "304 CANT LIST VOICES\n");
}

TEST(SdProtocol, AudioEventEscapesLineEndsAndTheEscape) {
  const int16_t samples[] = {0x0a41, 0x7d00, 0x0102};
  std::string event = sd::AudioEvent(samples, 3, 16000);
  std::string head =
      "705-bits=16\n705-num_channels=1\n705-sample_rate=16000\n705-num_samples=3\n"
      "705-big_endian=0\n705-AUDIO";
  head += '\0';
  EXPECT_EQ(event, head + std::string("A\x7d\x2a\0\x7d\x5d\x02\x01", 8) + "\n705 AUDIO\n");
}

}  // namespace
