// The headless display back end: cells, caret, title and clipboard in
// memory; WaitEvents sleeps until Wake.
#include "platform/display/headless.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/display/src/terminal_keys.h"
#include "platform/os/messages.h"

namespace platform {
namespace {

struct HeadlessState {
  std::mutex mutex;
  std::condition_variable woken;
  bool wakePending = false;
  bool open = false;
  int columns = 0, rows = 0;
  std::vector<HeadlessCell> cells;
  bool caretVisible = false;
  int caretColumn = 0, caretRow = 0;
  std::string title, clipboard;
  int presents = 0, scrolls = 0;
  bool canScroll = true;
  bool keyArriving = false;
  void (*onRelease)() = nullptr;
  bool zoomed = false;
  int zoom[4] = {0, 0, 0, 0};
  std::deque<Message> typed;  // keys for the program's next idle waits
};
HeadlessState state;

HeadlessCell* CellAt(int column, int row) {
  if (column < 0 || row < 0 || column >= state.columns || row >= state.rows)
    return nullptr;
  return &state.cells[static_cast<size_t>(row * state.columns + column)];
}

class HeadlessDisplay final : public Display {
 public:
  ~HeadlessDisplay() override {
    Close();
    void (*onRelease)() = nullptr;
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      std::swap(onRelease, state.onRelease);
    }
    if (onRelease) onRelease();
  }
  const char* Name() const override { return "headless"; }

  bool Open(const DisplaySettings& settings) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.open = true;
    state.columns = settings.columns > 0 ? settings.columns : 80;
    state.rows = settings.rows > 0 ? settings.rows : 25;
    state.cells.assign(static_cast<size_t>(state.columns * state.rows), HeadlessCell{});
    state.title = settings.title;
    state.caretVisible = state.zoomed = false;
    state.presents = state.scrolls = 0;
    state.canScroll = true;
    state.keyArriving = false;
    return true;
  }

  void Close() override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.open = false;
  }

  void DrawText(int column, int row, const unsigned char* text, int count,
                Rgb fg, Rgb bg) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    for (int i = 0; i < count; ++i)
      if (HeadlessCell* cell = CellAt(column + i, row)) *cell = {text[i], fg, bg};
  }

  bool ScrollUp(Rgb fill) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.canScroll || state.rows == 0) return false;
    ++state.scrolls;
    state.cells.erase(state.cells.begin(), state.cells.begin() + state.columns);
    state.cells.resize(state.cells.size() + state.columns, HeadlessCell{' ', fill, fill});
    return true;
  }

  void SetCaret(bool visible, int column, int row) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.caretVisible = visible;
    state.caretColumn = column;
    state.caretRow = row;
  }

  void SetTitle(const std::string& title) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.title = title;
  }

  void Present() override {
    std::lock_guard<std::mutex> lock(state.mutex);
    ++state.presents;
  }

  void WaitEvents(int timeoutMs) override {
    std::unique_lock<std::mutex> lock(state.mutex);
    // A wait without bound and nothing woken: the program waits for the
    // user, who types the next key.
    if (timeoutMs < 0 && !state.wakePending && !state.typed.empty()) {
      Message key = state.typed.front();
      state.typed.pop_front();
      lock.unlock();
      PostMessage(key);
      lock.lock();
    }
    auto ready = [] { return state.wakePending; };
    if (timeoutMs < 0)
      state.woken.wait(lock, ready);
    else if (timeoutMs > 0)
      state.woken.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    state.wakePending = false;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(state.mutex);
      state.wakePending = true;
    }
    state.woken.notify_all();
  }

  bool Focused() const override { return true; }
  bool KeyArriving() const override {
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.keyArriving;
  }

  void ClientSize(int& width, int& height) const override {
    std::lock_guard<std::mutex> lock(state.mutex);
    width = state.columns * kCellWidth;
    height = state.rows * kCellHeight;
  }

  void WorkArea(int& width, int& height) const override {
    width = 1920;
    height = 1080;
  }

  void ShowZoom(int srcX, int srcY, int srcW, int srcH) override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.zoomed = true;
    state.zoom[0] = srcX, state.zoom[1] = srcY, state.zoom[2] = srcW, state.zoom[3] = srcH;
  }

  void EndZoom() override {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.zoomed = false;
  }

  void SetClipboardText(const std::string& text) override { SetHeadlessClipboard(text); }

  bool GetClipboardText(std::string& text) override {
    text = HeadlessClipboard();
    return true;
  }

 private:
  static constexpr int kCellWidth = 8, kCellHeight = 16;
};

}  // namespace

std::unique_ptr<Display> CreateHeadlessDisplay() {
  return std::make_unique<HeadlessDisplay>();
}

std::string HeadlessRowText(int row) {
  std::lock_guard<std::mutex> lock(state.mutex);
  std::string text;
  for (int column = 0; column < state.columns; ++column)
    if (const HeadlessCell* cell = CellAt(column, row)) text += static_cast<char>(cell->ch);
  return text;
}

HeadlessCell HeadlessCellAt(int column, int row) {
  std::lock_guard<std::mutex> lock(state.mutex);
  const HeadlessCell* cell = CellAt(column, row);
  return cell ? *cell : HeadlessCell{};
}

bool HeadlessCaret(bool& visible, int& column, int& row) {
  std::lock_guard<std::mutex> lock(state.mutex);
  visible = state.caretVisible;
  column = state.caretColumn;
  row = state.caretRow;
  return state.open;
}

std::string HeadlessTitle() {
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.title;
}

std::string HeadlessClipboard() {
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.clipboard;
}

void SetHeadlessClipboard(const std::string& text) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.clipboard = text;
}

int HeadlessPresentCount() {
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.presents;
}

int HeadlessScrollCount() {
  std::lock_guard<std::mutex> lock(state.mutex);
  return state.scrolls;
}

bool HeadlessZoom(int& x, int& y, int& w, int& h) {
  std::lock_guard<std::mutex> lock(state.mutex);
  x = state.zoom[0], y = state.zoom[1], w = state.zoom[2], h = state.zoom[3];
  return state.zoomed;
}

void SetHeadlessCanScroll(bool canScroll) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.canScroll = canScroll;
}

void SetHeadlessKeyArriving(bool arriving) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.keyArriving = arriving;
}

void SetHeadlessOnRelease(void (*onRelease)()) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.onRelease = onRelease;
}

void HeadlessTypeWhenWaiting(const Message& key) {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.typed.push_back(key);
}

void HeadlessClearTyped() {
  std::lock_guard<std::mutex> lock(state.mutex);
  state.typed.clear();
}

void HeadlessTypeBytes(const std::string& bytes) {
  std::vector<Message> events;
  DecodeKeys(bytes, true, events);
  PostKeyEvents(events);
}

}  // namespace platform
