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
#include "platform/display/headless.h"
#include "platform/os/messages.h"

namespace console_test {

// Frequencies of the tones started: a one-second image holds one period
// per cycle, each starting with its low half.
inline std::vector<int> tonesPlayed;

inline void CaptureTone(const uint8_t* image, size_t size) {
  int periods = 0;
  for (size_t i = 44; i < size; ++i)
    if (image[i] == 0x60 && (i == 44 || image[i - 1] != 0x60)) ++periods;
  tonesPlayed.push_back(periods);
}

// One private folder per test process (ctest runs tests side by side).
struct TempFolder {
  std::string path;
  TempFolder() {
    path = (std::filesystem::temp_directory_path() / "sonaris-console-XXXXXX");
    path = mkdtemp(path.data());
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

inline platform::Message Msg(unsigned message, uintptr_t wParam = 0, unsigned mods = 0) {
  return {.message = message, .wParam = wParam, .mods = mods};
}
inline void Send(unsigned message, uintptr_t wParam, unsigned mods = 0) {
  ConsoleWindowProc(Msg(message, wParam, mods));
}

// Every byte in the key queue, emptying it.
inline std::vector<int> Drain() {
  std::vector<int> keys;
  while (QueuedKeyCount() > 0) keys.push_back(ReadKey());
  return keys;
}

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override { Reopen(""); }
  void TearDown() override {
    CloseConsoleWindow();
    console_detail::SetLoopSoundProcs(nullptr, nullptr);
  }
  // A fresh console reading the given SONARIS.INI text.
  void Reopen(const char* ini) {
    CloseConsoleWindow();
    setenv("SONARIS_DISPLAY", "headless", 1);
    setenv("SONARIS_WINDIR", TempWindowsDir().c_str(), 1);
    std::ofstream(TempWindowsDir() + "/SONARIS.INI") << ini;
    for (int i = 0; i < 16; ++i) ColourTable[i] = static_cast<uint8_t>(i);
    BrailleMode = 0;
    tonesPlayed.clear();
    console_detail::SetLoopSoundProcs(CaptureTone, [] {});
    platform::ClearMessages();
    OpenConsole();
  }
};

}  // namespace console_test
