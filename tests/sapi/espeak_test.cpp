// The stand-ins' own parts with the real espeak-ng: the order voices are
// offered in, and speech written to WAV files by the SAPI 4 file
// destination and the SAPI 5 file stream.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/voices/espeak_engine.h"
#include "platform/os/riff.h"
#include "platform/voices/sapi5_voice.h"
#include "sapi/snsapi4.h"
#include "sapi_fakes.h"

namespace sapi_test {
namespace {

TEST(VoiceOrder, BrazilianThenPortugueseThenTheRestInTheirOwnOrder) {
  std::vector<platform::VoiceInfo> voices;
  for (const char* lang : {"en", "pt", "de", "pt_BR", "pt-PT", "roa/pt-BR", "es", "pt-br", "ptx"})
    voices.push_back({lang, lang, ""});
  platform::OrderPortugueseFirst(voices);
  std::string order;
  for (const auto& v : voices) order += v.name + " ";
  EXPECT_EQ(order, "pt_BR roa/pt-BR pt-br pt pt-PT en de es ptx ");
}

TEST(VoiceOrder, EspeakOffersItsBrazilianVoiceFirst) {
  const auto voices = platform::EspeakVoices();
  if (voices.empty()) GTEST_SKIP() << "espeak-ng did not start";
  EXPECT_EQ(voices.front().language, "pt-br");
  EXPECT_EQ(platform::EspeakClosestVoice("pt_BR"), voices.front().id);
  EXPECT_EQ(platform::EspeakClosestVoice("xx-YY"), voices.front().id);
}

// Data bytes of a WAV file whose header lengths match its size.
size_t WavDataBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() < platform::kWaveHeaderBytes || !platform::ChunkIdIs(bytes.data(), "RIFF")) return 0;
  EXPECT_EQ(platform::Le32(bytes.data() + 40), bytes.size() - platform::kWaveHeaderBytes);
  EXPECT_EQ(platform::Le16(bytes.data() + 34), 16);
  return platform::Le32(bytes.data() + 40);
}

std::string TempWav(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(getpid()) + ".wav"))
      .string();
}

TEST_F(SapiTest, Sapi4WritesItsSpeechToAWavFile) {
  platform::SetTtsEnumFactory(nullptr);
  const std::string path = TempWav("sapi4-");
  if (!Sapi4Start(1, 0, 0, path)) GTEST_SKIP() << TakeVoiceNotice().shown;
  Sapi4Speak("um dois tr\xEAs");
  for (int i = 0; i < 500 && Sapi4Busy(0); ++i) {
    platform::WaitMessageFor(20);
    PumpMessages();
  }
  EXPECT_FALSE(Sapi4Busy(0));
  Sapi4End();
  // About a second of speech at 22050 samples per second.
  EXPECT_GT(WavDataBytes(path), 20000u);
  std::remove(path.c_str());
  // A file that cannot be made fails the start, with a reason.
  EXPECT_FALSE(Sapi4Start(1, 0, 0, "/nonexistent/folder/x.wav"));
  EXPECT_FALSE(TakeVoiceNotice().empty());
}

TEST(SpFileStream, WritesWhatTheVoiceSaysWithTheClosestEspeakVoice) {
  if (platform::EspeakVoices().empty()) GTEST_SKIP() << "espeak-ng did not start";
  const std::string path = TempWav("sapi5-");
  {
    auto stream = platform::CreateSpFileStream();
    stream->Open(path, platform::SSFMCreateForWrite, true);
    stream->Write("ol\xC3\xA1, tudo bem?", "pt-BR", 0);
    stream->Close();
  }
  EXPECT_GT(WavDataBytes(path), 10000u);
  std::remove(path.c_str());
  auto refused = platform::CreateSpFileStream();
  EXPECT_THROW(refused->Open("/nonexistent/folder/x.wav", platform::SSFMCreateForWrite, true),
               platform::VoiceError);
}

}  // namespace
}  // namespace sapi_test
