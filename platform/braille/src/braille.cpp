// The line on the Braille display: which part of the focused screen line
// fits the cells, where the cursor is, and panning. The back end only
// carries text and keys.
#include "platform/braille/braille.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/os/text.h"

namespace platform {
namespace {

class NoBraille : public BrailleDisplay {
 public:
  int Cells() const override { return 0; }
  void Show(const std::string&, int) override {}
};

class FileBraille : public BrailleDisplay {
 public:
  explicit FileBraille(const std::string& path) : file_(std::fopen(path.c_str(), "a")) {}
  ~FileBraille() override {
    if (file_) std::fclose(file_);
  }
  int Cells() const override { return file_ ? 40 : 0; }
  void Show(const std::string& utf8, int cursor) override {
    std::fprintf(file_, "%d|%s\n", cursor, utf8.c_str());
    std::fflush(file_);
  }

 private:
  std::FILE* file_;
};

constexpr BrailleDriver kDrivers[] = {
    {"brlapi", CreateBrlapiBraille},
    {"off", CreateNoBraille},
    {"file", CreateFileBraille},
};

struct View {
  std::unique_ptr<BrailleDisplay> display;
  std::string line;  // Windows-1252
  int row = -1;
  int cursor = -1;
  int offset = 0;
  int cells = 0;
  std::string shown;  // what the display holds, to send only changes
  int shownCursor = -1;
} V;

int LastOffset() { return std::max(0, static_cast<int>(V.line.size()) - V.cells); }

// Puts the cursor in the window: the window starts at a multiple of its
// width, as far right as the line allows.
void FollowCursor() {
  if (V.cursor < 0 || V.cells <= 0) return;
  if (V.cursor >= V.offset && V.cursor < V.offset + V.cells) return;
  V.offset = std::min(V.cursor / V.cells * V.cells, LastOffset());
}

void Render(bool force) {
  int cells = V.display ? V.display->Cells() : 0;
  if (cells != V.cells) {
    V.cells = cells;
    force = true;
    FollowCursor();
  }
  if (V.cells <= 0) {
    V.shown.clear();
    return;
  }
  V.offset = std::clamp(V.offset, 0, LastOffset());
  std::string window = V.line.substr(std::min<size_t>(V.offset, V.line.size()),
                                     static_cast<size_t>(V.cells));
  window.resize(static_cast<size_t>(V.cells), ' ');
  int cursor = V.cursor >= V.offset && V.cursor < V.offset + V.cells ? V.cursor - V.offset : -1;
  std::string utf8 = Cp1252ToUtf8(window);
  if (!force && utf8 == V.shown && cursor == V.shownCursor) return;
  V.shown = utf8;
  V.shownCursor = cursor;
  V.display->Show(utf8, cursor);
}

void Pan(int direction) {
  V.offset = std::clamp(V.offset + direction * V.cells, 0, LastOffset());
  Render(false);
}

}  // namespace

std::unique_ptr<BrailleDisplay> CreateNoBraille(const std::string&) {
  return std::make_unique<NoBraille>();
}

std::unique_ptr<BrailleDisplay> CreateFileBraille(const std::string& path) {
  return std::make_unique<FileBraille>(path);
}

void BrailleStart() {
  const char* env = std::getenv("SONARIS_BRAILLE");
  std::string chosen = env && *env ? env : "brlapi";
  std::string name = chosen.substr(0, chosen.find(':'));
  std::string argument = name.size() < chosen.size() ? chosen.substr(name.size() + 1) : "";
  for (const BrailleDriver& d : kDrivers) {
    if (name == d.name) return BrailleStart(d.create(argument));
  }
  std::fprintf(stderr, "%s\n",
               Cp1252ToUtf8("Sonaris: linha Braille \"" + chosen +
                            "\" desconhecida em SONARIS_BRAILLE (brlapi, off, file:ARQUIVO); "
                            "sem linha Braille.")
                   .c_str());
  BrailleStart(CreateNoBraille(""));
}

void BrailleStart(std::unique_ptr<BrailleDisplay> display) {
  V = View{};
  V.display = std::move(display);
}

void BrailleStop() { V = View{}; }

void BrailleShowLine(const unsigned char* text, int length, int row, int cursor) {
  // Called at every look for messages: an unchanged line costs a compare.
  const std::string_view line(reinterpret_cast<const char*>(text), static_cast<size_t>(std::max(length, 0)));
  if (cursor >= length) cursor = length - 1;
  bool moved = row != V.row || cursor != V.cursor;
  if (!moved && line == V.line) return;
  if (row != V.row) V.offset = 0;
  V.line.assign(line);
  V.row = row;
  V.cursor = cursor;
  if (moved) FollowCursor();
  Render(false);
}

BrailleCommand BrailleHandle(const Message& m) {
  BrailleCommand command;
  command.row = V.row;
  command.key = m.wParam != BRAILLE_CHANGED;
  switch (m.wParam) {
    case BRAILLE_CHANGED:
      Render(true);
      break;
    case BRAILLE_PAN_LEFT:
      Pan(-1);
      break;
    case BRAILLE_PAN_RIGHT:
      Pan(1);
      break;
    case BRAILLE_LINE_UP:
      command.kind = BrailleCommand::LineUp;
      break;
    case BRAILLE_LINE_DOWN:
      command.kind = BrailleCommand::LineDown;
      break;
    case BRAILLE_ROUTE:
      if (m.lParam >= 0 && m.lParam < V.cells && V.offset + m.lParam < static_cast<int>(V.line.size())) {
        command.kind = BrailleCommand::Route;
        command.column = V.offset + static_cast<int>(m.lParam);
      }
      break;
  }
  return command;
}

int BrailleOffset() { return V.offset; }

}  // namespace platform
