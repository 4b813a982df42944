#include "tts/message_box.h"

#include <cstdio>

#include "platform/os/text.h"

namespace {

struct MessageBoxState {
  MessageBoxScreen screen = nullptr;
};
MessageBoxState M;

}  // namespace

void ShowMessageBox(const std::string& text) {
  std::fprintf(stderr, "%s\n", platform::Cp1252ToUtf8(text).c_str());
  if (M.screen) M.screen(text);
}

void SetMessageBoxScreen(MessageBoxScreen screen) { M.screen = screen; }
