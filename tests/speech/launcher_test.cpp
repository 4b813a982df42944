// Opening a word: which program starts with which argument, through a
// recording spawner; and the real spawner, which never runs a shell.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/spawn.h"
#include "speech/sncrt.h"
#include "tests/speech/editor_fakes.h"
#include "tests/speech/fakes.h"

namespace fs = std::filesystem;

namespace {

struct Recorder : platform::Spawner {
  std::vector<std::string>* runs;
  explicit Recorder(std::vector<std::string>* r) : runs(r) {}
  bool Run(const std::string& program, const std::vector<std::string>& args,
           const std::string& dir) override {
    std::string line = program;
    for (const std::string& a : args) line += " [" + a + "]";
    runs->push_back(line + " in " + dir);
    return true;
  }
};

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = ResetEditorWorld();
    fs::create_directories(folder + "/none");
    fs::create_directories(folder + "/work");
    previous = fs::current_path();
    fs::current_path(folder + "/work");
    work = fs::current_path().string();
    platform::SetSpawner(std::make_unique<Recorder>(&runs));
  }
  void TearDown() override {
    platform::SetSpawner(nullptr);
    fs::current_path(previous);
  }

  void Settings(const std::string& keys) { WriteFile(folder + "/none/SONARIS.INI", "[SONARIS]\n" + keys); }
  std::string Opened(const std::string& target) {
    runs.clear();
    OpenTarget(target);
    EXPECT_LE(runs.size(), 1u);
    return runs.empty() ? "" : runs[0];
  }
  std::string In() const { return " in " + work; }

  std::string folder, work;
  fs::path previous;
  std::vector<std::string> runs;
};

TEST_F(LauncherTest, WebPrefixesGoWholeToTheBrowserOfTheSettings) {
  Settings("PROG.HTM=/bin/echo\nPROG.TXT=/bin/cat\n");
  for (std::string address : {"http://a.b/c?d=1", "https://x.org", "www.site.com.br"})
    EXPECT_EQ(Opened(address), "/bin/echo [" + address + "]" + In());
  // Capitals are no web prefix: the extension after the first full stop rules.
  EXPECT_EQ(Opened("HTTP://LEIA.TXT"), "/bin/cat [HTTP://LEIA.TXT]" + In());
}

TEST_F(LauncherTest, WithoutABrowserInTheSettingsAnAddressGoesToTheDesktop) {
  EXPECT_EQ(Opened("www.site.com.br"), "xdg-open [www.site.com.br]" + In());
}

TEST_F(LauncherTest, ProgramsRunFromTheCurrentFolderOrAsWritten) {
  WriteFile(work + "/editor.exe", "");
  fs::permissions(work + "/editor.exe", fs::perms::owner_all);
  EXPECT_EQ(Opened("editor.exe"), work + "/editor.exe" + In());
  // Not there: the desktop is asked, with the path as written made Linux's.
  EXPECT_EQ(Opened("c:\\util\\editor.exe"), "xdg-open [/util/editor.exe]" + In());
  EXPECT_EQ(Opened("\\util\\prog.com"), "xdg-open [/util/prog.com]" + In());
}

TEST_F(LauncherTest, DocumentsOpenWithTheViewerOfTheirExtension) {
  Settings("PROG.TXT=/bin/cat\nPROG.LEI=/bin/echo\nPROG.DOC=nao-existe-programa\n");
  EXPECT_EQ(Opened("carta.txt"), "/bin/cat [carta.txt]" + In());
  EXPECT_EQ(Opened("leiame"), "/bin/echo [leiame]" + In());
  EXPECT_EQ(Opened("nota.odt"), "xdg-open [nota.odt]" + In());
  EXPECT_EQ(Opened("-opcao.pdf"), "xdg-open [./-opcao.pdf]" + In());
  // A viewer that does not exist opens nothing.
  EXPECT_EQ(Opened("texto.doc"), "");
}

TEST(RealSpawnerTest, ShellCharactersInANameAreOnlyText) {
  fs::path dir = fs::temp_directory_path() / ("sonaris-spawn-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  platform::SetSpawner(nullptr);
  const std::string name = "a.txt;touch b|touch c&$(touch d)`touch e`>f";
  ASSERT_TRUE(platform::ShellOpen("/usr/bin/touch", name, dir.string()));
  // touch runs on its own: wait, bounded, for the one file it makes.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(dir / name) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(dir / name));
  int files = 0;
  for (auto& entry : fs::directory_iterator(dir)) files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
  fs::remove_all(dir);
}

}  // namespace
