// The Toada settings and the registry stand-in, on MBROLA folders made in
// the test ($SONARIS_MBROLA_DIR).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/voices/registry.h"
#include "tests/toada/engine_fixture.h"
#include "tts/snfonserv.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> Keys;

std::string Reader(const std::string& section, const std::string& key) {
  auto it = Keys.find(section + "/" + key);
  return it == Keys.end() ? "" : it->second;
}

// An MBROLA folder with the voice br4, and optionally Toada's rules beside it.
std::string MakeMbrolaFolder(const std::string& name, bool rulesBesideVoice) {
  std::string dir = wave_test::TempDir() + "/" + name;
  fs::create_directories(dir + "/share/mbrola/br4");
  std::ofstream(dir + "/share/mbrola/br4/br4") << "voice";
  if (rulesBesideVoice) std::ofstream(dir + "/share/mbrola/br4/portug.nrl") << "rules";
  return dir;
}

TEST(Registry, OnlyMbrolaVoiceKeysOfVoicesThatExistAnswer) {
  std::string dir = MakeMbrolaFolder("reg", false);
  toada_test::ScopedMbrolaDir scoped(dir);
  const std::string voice = dir + "/share/mbrola/br4/br4";
  const struct {
    platform::RegistryRoot root;
    const char* path;
    bool found;
  } cases[] = {
      {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\", true},
      {platform::HKEY_LOCAL_MACHINE, "software\\tcts\\mbrola\\DATABASES\\br4\\", true},
      {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\br3\\", false},
      {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\Path", false},
      {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\..\\", false},
      {platform::HKEY_LOCAL_MACHINE, "SOFTWARE\\TCTS\\Mbrola\\databases\\", false},
      {platform::HKEY_LOCAL_MACHINE, "no backslash", false},
      {platform::HKEY_CURRENT_USER, "SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\", false},
  };
  for (const auto& c : cases) {
    std::string value = "unchanged";
    EXPECT_EQ(platform::ReadRegString(c.root, c.path, value), c.found) << c.path;
    EXPECT_EQ(value, c.found ? voice : "unchanged") << c.path;
  }
}

TEST(ToadaSettingsTest, DefaultsRegistryFolderAndFinalBackslash) {
  const struct {
    const char* name;
    std::map<std::string, std::string> keys;
    bool rulesBesideVoice;
    const char* voice;
    std::string rules;  // "" = the voice's folder + portug.nrl
  } cases[] = {
      {"nothing", {}, false, "br4", "\\ecofala\\toadatts\\portug.nrl"},
      {"voice folder without the rules", {}, false, "br4", "\\ecofala\\toadatts\\portug.nrl"},
      {"voice folder with the rules", {}, true, "br4", ""},
      {"dir without backslash", {{"TOADATTS/DIR", "c:\\voz"}, {"TOADATTS/BASE", "x"}}, false, "br4",
       "c:\\voz\\x.nrl"},
      {"voice and dir", {{"TOADATTS/MBROLA_DB", "br3"}, {"TOADATTS/DIR", "d:\\t\\"}}, false, "br3",
       "d:\\t\\portug.nrl"},
  };
  int n = 0;
  for (const auto& c : cases) {
    std::string dir = MakeMbrolaFolder("set" + std::to_string(n++), c.rulesBesideVoice);
    toada_test::ScopedMbrolaDir scoped(std::string(c.name) == "nothing" ? "/nonexistent" : dir);
    Keys = c.keys;
    ToadaSettings s = ReadToadaSettings(Reader);
    std::string rules = c.rules.empty() ? dir + "/share/mbrola/br4/portug.nrl" : c.rules;
    EXPECT_EQ(s.voiceDb, c.voice) << c.name;
    EXPECT_EQ(s.rulesFile, rules) << c.name;
    std::string stem = rules.substr(0, rules.size() - 4);
    EXPECT_EQ(s.exceptionsFile, stem + ".exc") << c.name;
    EXPECT_EQ(s.abbreviationsFile, stem + ".abr") << c.name;
    EXPECT_EQ(s.prosodyFile, stem + ".pro") << c.name;
    EXPECT_EQ(s.diphoneFile, stem + ".dfn") << c.name;
  }
}

}  // namespace
