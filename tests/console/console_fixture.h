// A console on the headless display, with SONARIS.INI in a private
// Windows folder and the looping tones captured instead of played.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "console/console_state.h"
#include "console/snwin.h"
#include "platform/headless.h"
#include "platform/messages.h"

namespace console_test {

// Frequencies of the tones started, read back from each image.
inline std::vector<int>& TonesPlayed() {
  static std::vector<int> tones;
  return tones;
}

// A one-second image holds one period per cycle: counting where each
// period's low half starts gives the frequency.
inline void CaptureTone(const uint8_t* image, size_t size) {
  int periods = 0;
  for (size_t i = 44; i < size; ++i)
    if (image[i] == 0x60 && (i == 44 || image[i - 1] != 0x60)) ++periods;
  TonesPlayed().push_back(periods);
}

inline void IgnoreStop() {}

// One private folder per test process (ctest runs tests side by side),
// removed when the process ends.
struct TempFolder {
  std::string path;
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "sonaris-console-XXXXXX")
            .string();
    path = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

inline const std::string& TempWindowsDir() {
  static const TempFolder folder;
  return folder.path;
}

class ConsoleTest : public ::testing::Test {
 public:
  void SetUp() override { Reopen(""); }
  void TearDown() override {
    CloseConsoleWindow();
    console_detail::SetLoopSoundProcs(nullptr, nullptr);
  }

  // Opens a fresh console; ini == nullptr means no INI file at all.
  void Reopen(const char* ini) {
    CloseConsoleWindow();
    setenv("SONARIS_DISPLAY", "headless", 1);
    dir_ = TempWindowsDir();
    setenv("SONARIS_WINDIR", dir_.c_str(), 1);
    std::filesystem::remove(dir_ + "/SONARIS.INI");
    if (ini) std::ofstream(dir_ + "/SONARIS.INI") << ini;
    for (int i = 0; i < 16; ++i) ColourTable[i] = static_cast<uint8_t>(i);
    BrailleMode = 0;
    TonesPlayed().clear();
    console_detail::SetLoopSoundProcs(CaptureTone, IgnoreStop);
    platform::ClearMessages();
    OpenConsole();
  }

  static void Write(const std::string& text) { WriteChars(text); }

  static platform::Message Key(unsigned message, unsigned vk,
                               unsigned mods = 0) {
    platform::Message m;
    m.message = message;
    m.wParam = vk;
    m.mods = mods;
    return m;
  }
  static void Down(unsigned vk, unsigned mods = 0) {
    ConsoleWindowProc(Key(platform::WM_KEYDOWN, vk, mods));
  }
  static void Up(unsigned vk, unsigned mods = 0) {
    ConsoleWindowProc(Key(platform::WM_KEYUP, vk, mods));
  }
  static void Char(unsigned c, unsigned mods = 0) {
    ConsoleWindowProc(Key(platform::WM_CHAR, c, mods));
  }

  // Every byte in the key queue, emptying it.
  static std::vector<int> Drain() {
    std::vector<int> keys;
    while (QueuedKeyCount() > 0) keys.push_back(ReadKey());
    return keys;
  }

  std::string dir_;
};

}  // namespace console_test
