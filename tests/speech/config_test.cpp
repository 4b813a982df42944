// Where the settings come from, what the speed level selects, and how
// speech starts and ends with them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "diphone/diphone.h"
#include "speech/sncrt.h"
#include "speech/snsapi.h"
#include "tests/speech/fakes.h"
#include "wave/snwav.h"

using Events = std::vector<std::string>;

namespace {

const std::string DefaultLetters = "c:\\ecofala\\som\\letras\\";

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    std::string folder = MakeTestFolder();
    windows = folder + "/win";
    StartFolder = folder + "/start";
    data = folder + "/data";  // no installed sample unless a test writes one
    std::filesystem::create_directories(windows);
    std::filesystem::create_directories(StartFolder);
    setenv("SONARIS_WINDIR", windows.c_str(), 1);
    VoiceActive = false;
    DeferredText.clear();
  }

  void WindowsIni(const std::string& text) { WriteFile(windows + "/SONARIS.INI", text); }
  void StartIni(const std::string& text) { WriteFile(StartFolder + "/SONARIS.INI", text); }
  void SampleIni(const std::string& text) { WriteFile(data + "/SONARIS.INI", text); }

  std::string windows, data;
};

TEST_F(ConfigTest, IniInTheStartFolderServesAllButTheLettersFolder) {
  StartIni("[TRADUTOR]\nVELOCIDADE=2\nDIRLETRAS=d:\\minhas\\\n[SINTETIZADOR]\nDIFONES2=inicio\n");
  StartSpeech(0, "");
  EXPECT_EQ(TuningSet, 2);
  EXPECT_EQ(DiphoneDbName, "inicio");
  EXPECT_EQ(LettersDir, DefaultLetters);
  WindowsIni("[TRADUTOR]\nDIRLETRAS=\n");  // empty: the default too
  StartSpeech(0, "");
  EXPECT_EQ(LettersDir, DefaultLetters);
}

TEST_F(ConfigTest, InstalledSampleServesWhenNoFolderHasSettings) {
  SampleIni("[SINTETIZADOR]\nDIFONES3=padrao\n");
  StartSpeech(0, "");
  EXPECT_EQ(DiphoneDbName, "padrao");
  StartIni("[SINTETIZADOR]\nDIFONES3=local\n");  // a folder's own copy wins
  StartSpeech(0, "");
  EXPECT_EQ(DiphoneDbName, "local");
}

// A personal file that holds one key of each section: its keys win, every
// other key comes from the installed sample, then from the defaults. Only
// the first file found counts as the user's.
TEST_F(ConfigTest, PersonalFileWinsForItsKeysAndTheSampleGivesTheRest) {
  SampleIni(
      "[VIDEO]\nCORFUNDO=1\n[TRADUTOR]\nVELOCIDADE=2\nDIRLETRAS=d:\\amostra\\\nSAPI=Nao\n"
      "[SERVFALA]\nTOM=3\nVOZ=1\n[SINTETIZADOR]\nDIFONES2=amostra\nDIFONES4=amostra4\n"
      "[SONARIS]\nPGMSONARIS=d:\\amostra\nPROG.TXT=@\\ver\n");
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
  StartSpeech(0, "");
  EXPECT_EQ(TuningSet, 4);
  EXPECT_EQ(DiphoneDbName, "amostra4");
  EXPECT_EQ(LettersDir, "d:\\amostra\\");
}

TEST_F(ConfigTest, WindowsDirectoryCopyWinsAndNamesTheLettersFolder) {
  StartIni("[TRADUTOR]\nVELOCIDADE=2\n");
  WindowsIni("[TRADUTOR]\nVELOCIDADE=4\nDIRLETRAS=d:\\som\n");
  StartSpeech(0, "c:\\palavras");
  EXPECT_EQ(TuningSet, 4);
  EXPECT_EQ(LettersDir, "d:\\som\\");
  EXPECT_EQ(WordDir, "c:\\palavras\\");
}

TEST_F(ConfigTest, SpeedOutOfRangeOrMissingIsLevelThree) {
  WindowsIni("[TRADUTOR]\nVELOCIDADE=7\n[SINTETIZADOR]\nDIFONES3=tres\nDIFONES5=cinco\n");
  StartSpeech(0, "");
  EXPECT_EQ(TuningSet, 3);
  EXPECT_EQ(DiphoneDbName, "tres");
  StartSpeech(5, "");
  EXPECT_EQ(DiphoneDbName, "cinco");
  WindowsIni("[SINTETIZADOR]\nDIFONES3=outra\n");
  StartSpeech(-1, "");
  EXPECT_EQ(TuningSet, 3);
  EXPECT_EQ(DiphoneDbName, "outra");
  WindowsIni("");  // no name: the previous one does not stay
  LoadSynthTuning(3);
  EXPECT_EQ(DiphoneDbName, "");
  EXPECT_EQ(Fake.tuning[0], 0);
}

TEST_F(ConfigTest, TuningValuesAndTheirFallbacks) {
  WindowsIni(
      "[SINTETIZADOR]\nCORTEFON3=120x\nSOBRAFON3=7\nINTERPAL3=-3\nCORTAFALA3=Sim\n"
      "RAPIDINHO3=nao\nPAUSAPONTO3=abc\nPAUSAVIRG3=100\nDIFONES3=abcdefghij\n");
  RapidMode = true;
  LoadSynthTuning(3);
  EXPECT_EQ((std::vector<int>(Fake.tuning, Fake.tuning + 3)), (std::vector<int>{120, 7, 0}));
  EXPECT_TRUE(CutSpeech);
  EXPECT_FALSE(RapidMode);
  EXPECT_EQ(DiphoneDbName, "abcdefgh");
  // Full stop falls back to 250 ms, comma is set to 100, colon keeps 200.
  SpeakPunctSign = false;
  SpeakText(". , ;");
  EXPECT_EQ(std::count(Fake.events.begin(), Fake.events.end(), "delay:50"), 5 + 2 + 4);
}

// Absurd numbers are kept to what makes sense: at most a second of cut,
// three seconds between words, five seconds of pause. Numbers take the
// runtime's forms; one beyond 32 bits is no number and takes the default.
TEST_F(ConfigTest, TuningNumbersAreBounded) {
  struct Case {
    const char* ini;
    int cut, keep, gap;
    int pauseDelays;  // 50 ms delays of ". , ;"
  } cases[] = {
      {"INTERPAL3=2000000000\nCORTEFON3=100000000\nSOBRAFON3=99999999999", 11025, 0, 33075,
       5 + 3 + 4},
      {"INTERPAL3=100000000\nPAUSAPONTO3=9999999999\nPAUSAVIRG3=100000\nPAUSADOISPONTOS3=-5", 0,
       0, 33075, 5 + 100},
      {"INTERPAL3=-2147483649\nCORTEFON3=-40\nSOBRAFON3=-1", 0, 0, 0, 5 + 3 + 4},
      {"INTERPAL3=33075\nCORTEFON3=11025x\nSOBRAFON3=+500", 11025, 500, 33075, 5 + 3 + 4},
      {"INTERPAL3=$100\nSOBRAFON3=0x10\nPAUSAPONTO3=$64", 0, 16, 256, 2 + 3 + 4},
      {"INTERPAL3=99999999999999999999999\nCORTEFON3=-99999999999999999999", 0, 0, 0,
       5 + 3 + 4},
  };
  SpeakPunctSign = false;
  for (const Case& c : cases) {
    WindowsIni(std::string("[SINTETIZADOR]\n") + c.ini + "\n");
    LoadSynthTuning(3);
    EXPECT_EQ((std::vector<int>(Fake.tuning, Fake.tuning + 3)),
              (std::vector<int>{c.cut, c.keep, c.gap}))
        << c.ini;
    Fake.events.clear();
    SpeakText(". , ;");
    EXPECT_EQ(std::count(Fake.events.begin(), Fake.events.end(), "delay:50"), c.pauseDelays)
        << c.ini;
  }
}

// Each level's silence between recorded sounds (spelled letters, number
// words) keeps the slow levels slower than the fast ones for them too.
TEST_F(ConfigTest, LevelsPartRecordedSoundsWithTheirOwnSilence) {
  WindowsIni("[SINTETIZADOR]\nINTERSOM3=3\nINTERSOM4=99999\nINTERSOM5=-4\n");
  const std::string gap(3, '\x80');
  const struct {
    int level;
    Events heard;
  } cases[] = {
      {3, {"image:[_vinte]" + gap + "[_e]" + gap + "[_um]", "file:synth/_97", "image:3 bytes",
           "file:synth/_98"}},
      // At most three seconds, which the number's sound plays in parts.
      {4, {"image:[_vinte]", "image:30000 bytes", "image:3079 bytes", "image:30000 bytes",
           "image:3080 bytes", "file:synth/_97", "image:33075 bytes", "file:synth/_98"}},
      {5, {"image:[_vinte][_e][_um]", "file:synth/_97", "file:synth/_98"}},
  };
  for (const auto& c : cases) {
    LoadSynthTuning(c.level);
    Fake.events.clear();
    SpeakWords("vinte e um", false);
    SpellText("ab");
    EXPECT_EQ(Fake.events, c.heard) << c.level;
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

TEST_F(ConfigTest, NoExternalVoiceUnlessAsked) {
  WindowsIni("[TRADUTOR]\nSAPI=Nao\n[SERVFALA]\nTIPOSAPI=5\n");
  Fake.voiceStartResult = true;
  StartSpeech(0, "");
  EXPECT_FALSE(VoiceActive);
  EXPECT_TRUE(Fake.voiceCalls.empty());
}

TEST_F(ConfigTest, Sapi5VoiceStartsWithItsRateCappedAndWaitsForItsGreeting) {
  WindowsIni("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nVOZ=2\nVELOCIDADE=15\nTOM=4\nTIPOSAPI=5\n");
  Fake.voiceStartResult = true;
  Fake.voiceBusyPolls = 2;
  StartSpeech(0, "");
  EXPECT_TRUE(VoiceActive);
  EXPECT_EQ(VoiceKind, 5);
  EXPECT_EQ(Fake.voiceCalls, (Events{"start 5 2 0 -1", "busy 5", "busy 5", "busy 5"}));
  EXPECT_EQ(EventsOf("delay"), (Events{"50", "50"}));
  // Ending: the voice is released, then the synthesizer.
  EndSpeech();
  EXPECT_FALSE(VoiceActive);
  EXPECT_EQ(Fake.voiceCalls.back(), "end 5");
  EXPECT_EQ(Fake.diphoneEnds, 1);
}

TEST_F(ConfigTest, OtherKindsGoToSapi4WhichKeepsItsRate) {
  WindowsIni("[TRADUTOR]\nSAPI=s\n[SERVFALA]\nVELOCIDADE=15\nTIPOSAPI=7\n");
  Fake.voiceStartResult = true;
  StartSpeech(0, "");
  EXPECT_EQ(Fake.voiceCalls.front(), "start 4 0 0 0");
  EXPECT_EQ(Fake.voiceCalls.at(1), "flag 1");
  EXPECT_EQ(VoiceKind, 7);
  WindowsIni("[TRADUTOR]\nSAPI=s\n[SERVFALA]\nVELOCIDADE=15\nTIPOSAPI=4\n");
  Fake.voiceCalls.clear();
  StartSpeech(0, "");
  EXPECT_EQ(Fake.voiceCalls.front(), "start 4 0 15 0");
}

TEST_F(ConfigTest, FailedVoiceStartStaysOnTheBuiltInVoiceWithoutWaiting) {
  WindowsIni("[TRADUTOR]\nSAPI=Sim\n[SERVFALA]\nTIPOSAPI=3\nTOM=9\n");
  StartSpeech(0, "");
  EXPECT_FALSE(VoiceActive);
  EXPECT_EQ(Fake.voiceCalls, (Events{"start 3 0 0 9"}));
}

TEST_F(ConfigTest, SynthesizerThatCannotStartIsReportedAndEndsTheProgram) {
  WindowsIni("[SINTETIZADOR]\nDIFONES3=vozes\n");
  Fake.diphoneStartCode = 2;
  testing::internal::CaptureStderr();
  EXPECT_THROW(StartSpeech(0, ""), ConsoleClosed);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Erro de inicializa\xC3\xA7\xC3\xA3o: 2\nBanco de dados de voz: vozes\n");
  EXPECT_EQ(Fake.screen, "Erro de inicializa\xE7\xE3o: 2\nBanco de dados de voz: vozes\n");
  EXPECT_EQ(Fake.events, (Events{"alarm"}));
  EXPECT_EQ(Fake.diphoneEnds, 1);
  EXPECT_EQ(Fake.linesRead, 1);
}

TEST_F(ConfigTest, EndSpeechSpeaksDeferredTextFirst) {
  LoadSynthTuning(3);
  DeferredText = "fim";
  EndSpeech();
  EXPECT_EQ(Fake.events, (Events{"phrase:fim "}));
  EXPECT_GT(Fake.stopWaves, 0);
  EXPECT_EQ(Fake.diphoneEnds, 1);
}

}  // namespace
