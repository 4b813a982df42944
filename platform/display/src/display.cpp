// Choosing the display back end, and the one the message queue waits on.
#include "platform/display/display.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "platform/os/text.h"

namespace platform {

const Rgb kConsolePalette[16] = {
    {0, 0, 0},       {0, 0, 255},     {0, 255, 0},     {0, 255, 255},
    {255, 0, 0},     {142, 0, 142},   {68, 34, 34},    {192, 192, 192},
    {128, 128, 128}, {128, 128, 255}, {128, 255, 128}, {128, 255, 255},
    {255, 128, 128}, {255, 128, 255}, {255, 255, 0},   {255, 255, 255}};

namespace {

// The back ends, in the order they are named in messages.
constexpr DisplayDriver kDrivers[] = {
    {"window", CreateWindowDisplay},
    {"terminal", CreateTerminalDisplay},
    {"headless", CreateHeadlessDisplay},
    {"keys", CreateKeysDisplay},
};

struct ActiveState {
  std::mutex mutex;
  Display* display = nullptr;
};
ActiveState active;

bool HasDriver(std::string_view name) {
  for (const DisplayDriver& d : kDrivers)
    if (name == d.name) return true;
  return false;
}

bool Set(const char* name) {
  const char* v = std::getenv(name);
  return v && *v;
}

}  // namespace

std::unique_ptr<Display> CreateDisplay(const std::string& name) {
  for (const DisplayDriver& d : kDrivers)
    if (name == d.name) return d.create();
  std::string known;
  for (const DisplayDriver& d : kDrivers) known += std::string(" ") + d.name;
  std::fprintf(stderr, "%s\n",
               Cp1252ToUtf8("Sonaris: tela \"" + name +
                            "\" desconhecida em SONARIS_DISPLAY (op\xE7\xF5" "es:" +
                            known + "); usando o terminal.")
                   .c_str());
  return CreateTerminalDisplay();
}

std::unique_ptr<Display> CreateDisplay() {
  const char* chosen = std::getenv("SONARIS_DISPLAY");
  if (chosen && *chosen) return CreateDisplay(std::string(chosen));
  bool graphical = Set("DISPLAY") || Set("WAYLAND_DISPLAY");
  return CreateDisplay(graphical && HasDriver("window") ? "window" : "terminal");
}

void SetActiveDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(active.mutex);
  active.display = display;
  SetEventWaiter(display);
}

Display* ActiveDisplay() {
  std::lock_guard<std::mutex> lock(active.mutex);
  return active.display;
}


}  // namespace platform
