// Where the settings come from, what the speed level selects, and how
// speech starts and ends with them.
#include <gtest/gtest.h>

#include <filesystem>

#include "diphone/diphone.h"
#include "diphone/sound.h"
#include "speech/sncrt.h"
#include "tests/speech/world.h"
#include "wave/snwav.h"

namespace speech_test {
namespace {

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override { folder = ResetWorld(); }
  static void WindowsIni(const std::string& text) { WriteFile("win/SONARIS.INI", text); }
  static void StartIni(const std::string& text) { WriteFile("SONARIS.INI", text); }
  // The installed sample keeps naming the test's folders.
  void SampleIni(std::string text) {
    std::string folders = "DIRLETRAS=" + folder + "/letras\nDIRDIFONES=" + folder + "/difones\n";
    size_t at = text.find("[TRADUTOR]\n");
    if (at == std::string::npos) text = "[TRADUTOR]\n" + text, at = 0;
    WriteFile("data/SONARIS.INI", text.insert(at + 11, folders));
  }
  // The pauses of ". , ;" without the sign sounds.
  static Heard Pauses() {
    SpeakPunctSign = false;
    SpeakText(". , ;");
    Heard pauses;
    for (const std::string& h : TakeHeard())
      if (h.rfind("pause:", 0) == 0) pauses.push_back(h.substr(6));
    return pauses;
  }
  std::string folder;
};

TEST_F(ConfigTest, IniInTheStartFolderServesAllButTheLettersFolder) {
  StartIni("[TRADUTOR]\nVELOCIDADE=2\nDIRLETRAS=d:\\minhas\\\n[SINTETIZADOR]\nDIFONES2=inicio\n");
  MakeDatabase("inicio");
  StartSpeech(0, "");
  EXPECT_EQ(TuningSet, 2);
  EXPECT_EQ(DiphoneDbName, "inicio");
  EXPECT_EQ(LettersDir, folder + "/letras\\");
}

// A personal file that holds one key of each section: its keys win, every
// other key comes from the installed sample, then from the defaults. Only
// the first file found counts as the user's.
TEST_F(ConfigTest, PersonalFileWinsForItsKeysAndTheSampleGivesTheRest) {
  SampleIni(
      "[VIDEO]\nCORFUNDO=1\n[TRADUTOR]\nVELOCIDADE=2\nSAPI=Nao\n"
      "[SERVFALA]\nTOM=3\nVOZ=1\n[SINTETIZADOR]\nDIFONES2=amostra\nDIFONES4=amostra4\n"
      "DIFONES3=padrao\n[SONARIS]\nPGMSONARIS=d:\\amostra\nPROG.TXT=@\\ver\n");
  EXPECT_EQ(ReadConfig("SINTETIZADOR", "DIFONES3"), "padrao");
  StartIni("[TRADUTOR]\nVELOCIDADE=5\n[SINTETIZADOR]\nDIFONES5=inicio\n");
  WindowsIni(
      "[VIDEO]\nCORLETRA=14\n[BRAILLE]\nMODO=0\n[TRADUTOR]\nVELOCIDADE=4\n"
      "[SERVFALA]\nTOM=7\n[SINTETIZADOR]\nPAUSAVIRG4=100\n[SONARIS]\nPGMSONARIS=d:\\meu\n");
  // {section, key, value}
  const char* cases[][3] = {
      {"VIDEO", "CORLETRA", "14"},           {"VIDEO", "CORFUNDO", "1"},
      {"BRAILLE", "MODO", "0"},              {"TRADUTOR", "VELOCIDADE", "4"},
      {"TRADUTOR", "SAPI", "Nao"},           {"SERVFALA", "TOM", "7"},
      {"SERVFALA", "VOZ", "1"},              {"SINTETIZADOR", "PAUSAVIRG4", "100"},
      {"SINTETIZADOR", "DIFONES4", "amostra4"}, {"SINTETIZADOR", "DIFONES5", ""},
      {"SONARIS", "PROG.TXT", "d:\\meu\\ver"}, {"SONARIS", "PROG.DOC", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadConfig(c[0], c[1]), c[2]) << c[0] << " " << c[1];
  EXPECT_EQ(ChooseSpeed(0), 4);
}

TEST_F(ConfigTest, WindowsDirectoryCopyWinsAndNamesTheLettersFolder) {
  StartIni("[TRADUTOR]\nVELOCIDADE=2\n");
  WindowsIni("[TRADUTOR]\nVELOCIDADE=4\nDIRLETRAS=" + folder + "/words\n");
  StartSpeech(0, "c:\\palavras");
  EXPECT_EQ(TuningSet, 4);
  EXPECT_EQ(LettersDir, folder + "/words\\");
  EXPECT_EQ(WordDir, "c:\\palavras\\");
}

TEST_F(ConfigTest, SpeedOutOfRangeOrMissingIsLevelThree) {
  // {settings, speed asked for, level chosen}
  const std::tuple<std::string, int, int> cases[] = {
      {"[TRADUTOR]\nVELOCIDADE=7\n", 0, 3}, {"[TRADUTOR]\nVELOCIDADE=7\n", 5, 5},
      {"", -1, 3}, {"[TRADUTOR]\nVELOCIDADE=1\n", 0, 1}};
  for (const auto& [ini, speed, level] : cases) {
    WindowsIni(ini);
    EXPECT_EQ(ChooseSpeed(speed), level) << ini << speed;
  }
  WindowsIni("[SINTETIZADOR]\nDIFONES3=outra\n");
  LoadSynthTuning(3);
  EXPECT_EQ(DiphoneDbName, "outra");
  WindowsIni("");  // no name: the previous one does not stay
  LoadSynthTuning(3);
  EXPECT_EQ(DiphoneDbName, "");
}

TEST_F(ConfigTest, TuningValuesAndTheirFallbacks) {
  WindowsIni(
      "[SINTETIZADOR]\nCORTEFON3=120x\nSOBRAFON3=7\nINTERPAL3=-3\nCORTAFALA3=Sim\n"
      "RAPIDINHO3=nao\nPAUSAPONTO3=abc\nPAUSAVIRG3=100\nDIFONES3=abcdefghij\n");
  RapidMode = true;
  LoadSynthTuning(3);
  EXPECT_EQ(WordGapSamples(), 0);
  EXPECT_TRUE(CutSpeech);
  EXPECT_FALSE(RapidMode);
  EXPECT_EQ(DiphoneDbName, "abcdefgh");
  // Full stop falls back to 250 ms, comma is set to 100, colon keeps 200.
  EXPECT_EQ(Pauses(), (Heard{"250", "100", "200"}));
}

// Absurd numbers are kept to what makes sense: three seconds between
// words, five seconds of pause. Numbers take the runtime's forms; one
// beyond 32 bits is no number and takes the default.
TEST_F(ConfigTest, TuningNumbersAreBounded) {
  const std::tuple<const char*, int, Heard> cases[] = {
      {"INTERPAL3=2000000000", 33075, {"250", "150", "200"}},
      {"INTERPAL3=100000000\nPAUSAPONTO3=9999999999\nPAUSAVIRG3=100000\nPAUSADOISPONTOS3=-5",
       33075, {"250", "5000", "0"}},
      {"INTERPAL3=-2147483649", 0, {"250", "150", "200"}},
      {"INTERPAL3=33075", 33075, {"250", "150", "200"}},
      {"INTERPAL3=$100\nPAUSAPONTO3=$64", 256, {"100", "150", "200"}},
      {"INTERPAL3=99999999999999999999999", 0, {"250", "150", "200"}},
  };
  for (const auto& [ini, gap, pauses] : cases) {
    WindowsIni(std::string("[SINTETIZADOR]\n") + ini + "\n");
    LoadSynthTuning(3);
    EXPECT_EQ(WordGapSamples(), gap) << ini;
    EXPECT_EQ(Pauses(), pauses) << ini;
  }
}

// Each level's silence between recorded sounds (spelled letters, number
// words) keeps the slow levels slower than the fast ones for them too.
TEST_F(ConfigTest, LevelsPartRecordedSoundsWithTheirOwnSilence) {
  WindowsIni("[SINTETIZADOR]\nINTERSOM3=3\nINTERSOM4=99999\nINTERSOM5=-4\n");
  const std::string gap(3, '\x80');
  const std::pair<int, Heard> cases[] = {
      // (a short block is played padded to 256 bytes)
      {3, {"[_vinte]" + gap + "[_e]" + gap + "[_um]", "a", "256 bytes", "b"}},
      // At most three seconds, which the number's sound plays in parts.
      {4, {"_vinte", "30000 bytes", "3080 bytes", "30000 bytes", "3081 bytes", "a",
           "33075 bytes", "b"}},
      {5, {"[_vinte][_e][_um]", "a", "b"}},
  };
  for (const auto& [level, heard] : cases) {
    LoadSynthTuning(level);
    SpeakWords("vinte e um", false);
    SpellText("ab");
    EXPECT_EQ(TakeHeard(), heard) << level;
  }
}

TEST_F(ConfigTest, ProgramFolderExpansion) {
  WindowsIni("[TRADUTOR]\nA=@\\som\nB=@\\a;@\\b\nC=@som\nD=sem arroba\n");
  EXPECT_EQ(ReadConfig("TRADUTOR", "A"), StartFolder + "\\som");
  EXPECT_EQ(ReadConfig("tradutor", "b"), StartFolder + "\\a;" + StartFolder + "\\b");
  EXPECT_EQ(ReadConfig("TRADUTOR", "D"), "sem arroba");
  EXPECT_EQ(ReadConfig("TRADUTOR", "falta"), "");
  WindowsIni("[SONARIS]\nPGMSONARIS=d:\\prog\nX=@\\som\\\n[TRADUTOR]\nB=@\\a;@\\b\nC=@som\n");
  EXPECT_EQ(ReadConfig("", "X"), "d:\\prog\\som\\");
  EXPECT_EQ(ReadConfig("TRADUTOR", "B"), "d:\\prog\\a;d:\\prog\\b");
  EXPECT_EQ(ReadConfig("TRADUTOR", "C"), "d:\\progsom");
  WindowsIni("[SONARIS]\nPGMSONARIS=@x\nX=@\\som\n");
  EXPECT_EQ(ReadConfig("SONARIS", "X"), StartFolder + "\\som");
  // A program folder that itself holds "@\" is inserted once, not forever.
  WindowsIni("[SONARIS]\nPGMSONARIS=d:\\a@\\b\nX=@\\x\n");
  EXPECT_EQ(ReadConfig("SONARIS", "X"), "d:\\a@\\b\\x");
}

TEST_F(ConfigTest, ExternalVoiceRates) {
  // {VELOCIDADE of SERVFALA, kind, level, rate}: SAPI 5 caps, SAPI 4 keeps
  // words per minute, Toada moves with the level.
  const int cases[][4] = {{15, 5, 3, 0}, {4, 54, 3, 4}, {15, 4, 3, 15}, {2, 3, 5, 12}, {2, 3, 1, -8}};
  for (const auto& [rate, kind, level, said] : cases) {
    WindowsIni("[SERVFALA]\nVELOCIDADE=" + std::to_string(rate) + "\n");
    EXPECT_EQ(ExternalVoiceRate(kind, level), said) << rate << " " << kind << " " << level;
  }
}

TEST_F(ConfigTest, SynthesizerThatCannotStartIsReportedAndEndsTheProgram) {
  WindowsIni("[SINTETIZADOR]\nDIFONES3=vozes\n");
  MakeDatabase("vozes");
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  std::filesystem::remove(folder + "/difones/regras.rgr");
  Type("\r");  // the line read before the end
  EXPECT_EXIT(StartSpeech(0, ""), testing::ExitedWithCode(0),
              "Erro de inicializa\xC3\xA7\xC3\xA3o: 2\nBanco de dados de voz: vozes\n");
}

TEST_F(ConfigTest, EndSpeechSpeaksDeferredTextFirst) {
  const Heard fim = Say("fim ");
  DeferredText = "fim";
  EndSpeech();
  EXPECT_EQ(TakeHeard(), fim);
}

}  // namespace
}  // namespace speech_test
