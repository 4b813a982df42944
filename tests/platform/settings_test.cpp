// INI reading with the Windows profile rules, and Windows-style paths.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/os/ini.h"
#include "platform/os/paths.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "sonaris-XXXXXX").string();
    dir_ = mkdtemp(pattern.data());
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    fs::path p = fs::path(dir_) / name;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }
  std::string dir_;
};

using Ini = TempDir;

TEST_F(Ini, NamesIgnoreCaseAndBlanksFirstMatchWins) {
  std::string path = Write("a.ini",
                           "; comment=x\r\n"
                           "orphan=1\r\n"
                           "[ Video ]\r\n"
                           "  CorLetra =  14  \r\n"
                           "corletra=3\r\n"
                           "no equals sign\r\n"
                           "LENTO=\r\n"
                           "FONTE=\"Courier New\"\r\n"
                           "ODD='half\r\n"
                           "[VIDEO]\r\n"
                           "AMPLIF=4\r\n"
                           "[sonaris]\r\n"
                           "DIRLETRAS=c:\\ecofala\\som\\\r\n");
  const struct { const char *section, *key, *value; } cases[] = {
      {"video", "CORLETRA", "14"}, {"SONARIS", "dirletras", "c:\\ecofala\\som\\"},
      {"VIDEO", "FONTE", "Courier New"}, {"VIDEO", "ODD", "'half"},
      // Lines before any section and comment lines are no keys; only the
      // first section of a name is searched.
      {"", "orphan", "d"}, {"VIDEO", "; comment", "d"}, {"VIDEO", "AMPLIF", "d"}};
  for (const auto& c : cases)
    EXPECT_EQ(IniReadString(path, c.section, c.key, "d"), c.value) << c.section << "/" << c.key;
}

TEST_F(Ini, MissingDiffersFromEmptyAndValuesAreCutToTheBuffer) {
  std::string path = Write("b.ini", "[S]\nEMPTY=\nK=abcdefghij\n");
  std::string value = "untouched";
  EXPECT_TRUE(IniRead(path, "S", "EMPTY", value));
  EXPECT_EQ(value, "");
  value = "untouched";
  EXPECT_FALSE(IniRead(path, "S", "NONE", value));
  EXPECT_FALSE(IniRead(dir_ + "/absent.ini", "S", "EMPTY", value));
  EXPECT_EQ(value, "untouched");
  EXPECT_EQ(IniReadString(dir_ + "/absent.ini", "S", "K", "padr\xE3o"), "padr\xE3o");
  for (auto [size, cut] : {std::pair{5, "abcd"}, {1, ""}, {0, ""}}) {
    ASSERT_TRUE(IniRead(path, "S", "K", value, size));
    EXPECT_EQ(value, cut) << size;
  }
}

TEST_F(Ini, LongLinesAndGarbageAreHarmless) {
  std::string garbage;
  for (int i = 0; i < 20000; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
  std::string path = Write("d.ini", "[S]\nLONG=" + std::string(10000, 'x') + "\n" +
                                        garbage + "\n[T]\nK=ok\n");
  std::string value;
  ASSERT_TRUE(IniRead(path, "S", "LONG", value, 20000));
  EXPECT_EQ(value.size(), 10000u);
  EXPECT_EQ(IniReadString(path, "T", "K", "d"), "ok");
}

TEST_F(Ini, Utf8FileGivesWindows1252Values) {
  std::string path = Write("e.ini", "\xEF\xBB\xBF[S]\nNOME=Voc\xC3\xAA\n");
  EXPECT_EQ(IniReadString(path, "S", "NOME", "d"), "Voc\xEA");
  EXPECT_EQ(IniReadString(Write("f.ini", "[S]\nNOME=Voc\xEA\n"), "S", "NOME", "d"), "Voc\xEA");
}

// Windows editors save "Unicode" as UTF-16, with or without a byte-order
// mark; the settings in it count as in any other file.
TEST_F(Ini, Utf16FilesAreRead) {
  auto utf16 = [](const std::u16string& text, bool big, bool mark) {
    std::string bytes;
    for (char16_t c : (mark ? u"\uFEFF" : u"") + text) {
      char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
      bytes += big ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
  };
  for (bool big : {false, true})
    for (bool mark : {false, true}) {
      std::string path = Write("u.ini", utf16(u"[S]\r\nNOME=Voc\u00EA \u20AC\r\nX=\U0001F600\r\n",
                                              big, mark));
      EXPECT_EQ(IniReadString(path, "S", "NOME", "d"), "Voc\xEA \x80") << big << mark;
      EXPECT_EQ(IniReadString(path, "S", "X", "d"), "??") << big << mark;
    }
}

class Paths : public TempDir {
 protected:
  void SetUp() override {
    TempDir::SetUp();
    setenv("SONARIS_DATA", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("SONARIS_DATA");
    TempDir::TearDown();
  }
};

TEST_F(Paths, DefaultDataFoldersMapToTheBuildData) {
  Write("som/letras/_65.wav", "");
  EXPECT_EQ(ResolvePath("c:\\ecofala\\som\\letras\\"), dir_ + "/som/letras/");
  EXPECT_EQ(ResolvePath("\\ECOFALA\\toadatts\\x.pro"), dir_ + "/toadatts/x.pro");
  EXPECT_EQ(ResolvePath("C:\\EcoFala\\SOM\\Letras\\_65.WAV"), dir_ + "/som/letras/_65.wav");
  // A folder that only begins like the data folder is not it.
  EXPECT_EQ(ResolvePath("c:\\ecofalante\\a"), "/ecofalante/a");
}

TEST_F(Paths, MissingPartsAreFoundWithoutRegardToCase) {
  Write("Dados/Voz.IND", "");
  Write("Dados/Acentua\xC3\xA7\xC3\xA3o.txt", "");
  EXPECT_EQ(ResolvePath(dir_ + "\\dados\\voz.ind"), dir_ + "/Dados/Voz.IND");
  EXPECT_EQ(ResolvePath(dir_ + "/DADOS/ACENTUA\xC7\xC3O.TXT"),
            dir_ + "/Dados/Acentua\xC3\xA7\xC3\xA3o.txt");
  EXPECT_EQ(ResolvePath(dir_ + "/dados/nada.ind"), dir_ + "/Dados/nada.ind");
  // Relative paths are looked up from the current folder.
  std::string here = CurrentDir();
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  EXPECT_EQ(ResolvePath("dados\\VOZ.ind"), "Dados/Voz.IND");
  ASSERT_EQ(chdir(here.c_str()), 0);
}

TEST_F(Paths, WindowsDirFollowsTheEnvironment) {
  setenv("SONARIS_WINDIR", (dir_ + "/win/").c_str(), 1);
  EXPECT_EQ(WindowsDir(), dir_ + "/win");
  Write("win/Sonaris.ini", "");
  EXPECT_EQ(WindowsDirFile("SONARIS.INI"), dir_ + "/win/Sonaris.ini");
  unsetenv("SONARIS_WINDIR");
  setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  EXPECT_EQ(WindowsDir(), dir_ + "/sonaris");
  unsetenv("XDG_CONFIG_HOME");
}

// Where the data is found: an installed tree, the same tree moved, a build
// folder, and nothing at all.
TEST_F(TempDir, DataIsFoundBesideTheProgramThenInTheBuild) {
  Write("usr/share/sonaris/SONARIS.INI", "");
  Write("opt/moved/share/sonaris/SONARIS.INI", "");
  Write("build/data/SONARIS.INI", "");
  for (const char* bin : {"usr/bin", "opt/moved/bin", "build/app"})
    fs::create_directories(fs::path(dir_) / bin);
  const std::string build = dir_ + "/build/data", gone = dir_ + "/gone/data";
  struct Case {
    std::string env, program, built, want;
    bool found;
  } cases[] = {
      {"", dir_ + "/usr/bin", build, dir_ + "/usr/share/sonaris", true},
      {"", dir_ + "/opt/moved/bin", gone, dir_ + "/opt/moved/share/sonaris", true},
      {"", dir_ + "/build/app", build, build, true},
      {"", dir_ + "/build/app", build + "/", build, true},
      {dir_ + "/elsewhere/", dir_ + "/usr/bin", build, dir_ + "/elsewhere", false},
      {"", dir_ + "/nowhere/bin", gone, dir_ + "/nowhere/share/sonaris", false},
  };
  for (const Case& c : cases) {
    DataLookup got = FindDataDir(c.env, c.program, c.built);
    EXPECT_EQ(got.dir, c.want) << c.program;
    EXPECT_EQ(got.found, c.found) << c.program;
  }
  // What a user is told names every folder tried.
  DataLookup none = FindDataDir("", dir_ + "/nowhere/bin", gone);
  ASSERT_EQ(none.tried.size(), 2u);
  EXPECT_EQ(none.tried[1], gone);
}

}  // namespace
}  // namespace platform
