// Prints two figures of the console in a window: the time to write a line
// that scrolls the screen, and the CPU the window uses while a key read
// waits (goal: under 1% of one core).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>

#include "console/snwin.h"
#include "platform/os/messages.h"

namespace {

constexpr int kLines = 10000;
constexpr int kIdleSeconds = 5;

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

void ScrollingLines() {
  std::string line(78, 'x');
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLines; ++i) {
    std::string text = std::to_string(i) + " " + line.substr(0, 60 + i % 18) + "\r\n";
    WriteChars(text);
  }
  double total = Seconds(std::chrono::steady_clock::now() - start);
  std::printf("scrolling lines: %d in %.3f s, %.1f us per line\n", kLines, total,
              total * 1e6 / kLines);
}

// A key read that waits kIdleSeconds; another thread presses Enter then.
void IdleKeyRead() {
  std::thread presser([] {
    std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
    platform::Message enter;
    enter.message = platform::WM_CHAR;
    enter.wParam = 13;
    platform::PostMessage(enter);
  });
  double cpu = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  ReadKey();
  double wall = Seconds(std::chrono::steady_clock::now() - start);
  cpu = CpuSeconds() - cpu;
  presser.join();
  std::printf("idle key read: %.4f s CPU in %.2f s, %.3f%% of one core (goal < 1%%)\n",
              cpu, wall, 100 * cpu / wall);
}

}  // namespace

int main() {
  if (!std::getenv("SONARIS_DISPLAY")) setenv("SONARIS_DISPLAY", "window", 1);
  if (!std::getenv("SONARIS_AUDIO")) setenv("SONARIS_AUDIO", "null", 1);
  OpenConsole();
  KeyPressed();  // let the window come up before measuring
  ScrollingLines();
  IdleKeyRead();
  return 0;
}
