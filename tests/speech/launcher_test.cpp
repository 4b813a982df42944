// Opening a word: which program starts with which argument, through the
// recording spawner; and the real spawner, which never runs a shell.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/os/spawn.h"
#include "speech/sncrt.h"
#include "tests/speech/world.h"

namespace fs = std::filesystem;

namespace speech_test {
namespace {

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = ResetWorld();
    fs::create_directories(folder + "/work");
    previous = fs::current_path();
    fs::current_path(folder + "/work");
    work = fs::current_path().string();
  }
  void TearDown() override { fs::current_path(previous); }

  std::string folder, work;
  fs::path previous;
};

TEST_F(LauncherTest, EachKindOfTargetGoesToItsProgram) {
  WriteFile("work/editor.exe", "");
  fs::permissions(work + "/editor.exe", fs::perms::owner_all);
  const std::string viewers =
      "PROG.HTM=/bin/echo\nPROG.TXT=/bin/cat\nPROG.LEI=/bin/echo\n"
      "PROG.DOC=nao-existe-programa\n";
  // {settings, target, what runs ("" for nothing)}
  const std::string cases[][3] = {
      {viewers, "http://a.b/c?d=1", "/bin/echo [http://a.b/c?d=1]"},
      {viewers, "https://x.org", "/bin/echo [https://x.org]"},
      {viewers, "www.site.com.br", "/bin/echo [www.site.com.br]"},
      // Capitals are no web prefix: the extension after the first full stop rules.
      {viewers, "HTTP://LEIA.TXT", "/bin/cat [HTTP://LEIA.TXT]"},
      // The desktop takes an address without a scheme for a file name.
      {"", "www.site.com.br", "xdg-open [http://www.site.com.br]"},
      {"", "http://a.b/c", "xdg-open [http://a.b/c]"},
      {"", "https://x.org", "xdg-open [https://x.org]"},
      {"", "editor.exe", work + "/editor.exe"},
      // Not in the current folder: the desktop gets the path made Linux's.
      {"", "c:\\util\\editor.exe", "xdg-open [/util/editor.exe]"},
      {"", "\\util\\prog.com", "xdg-open [/util/prog.com]"},
      {viewers, "carta.txt", "/bin/cat [carta.txt]"},
      {viewers, "leiame", "/bin/echo [leiame]"},
      {viewers, "nota.odt", "xdg-open [nota.odt]"},
      {viewers, "-opcao.pdf", "xdg-open [./-opcao.pdf]"},
      {viewers, "texto.doc", ""},  // a viewer that does not exist
  };
  for (const auto& [settings, target, run] : cases) {
    WriteFile("win/SONARIS.INI", "[SONARIS]\n" + settings);
    Runs.clear();
    OpenTarget(target);
    EXPECT_EQ(Runs, run.empty() ? std::vector<std::string>{}
                                     : std::vector<std::string>{run + " in " + work})
        << target;
  }
}

TEST(RealSpawnerTest, ShellCharactersInANameAreOnlyText) {
  fs::path dir = fs::temp_directory_path() / ("sonaris-spawn-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  platform::SetSpawner(nullptr);
  const std::string name = "a.txt;touch b|touch c&$(touch d)`touch e`>f";
  ASSERT_TRUE(platform::ShellOpen("/usr/bin/touch", name, dir.string()));
  // touch runs on its own: poll, bounded, for the one file it makes.
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
}  // namespace speech_test
