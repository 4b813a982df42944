// A Braille display in memory: the back end's seam for tests.
#pragma once
#include <memory>
#include <string>

#include "platform/braille/braille.h"

namespace braille_test {

struct FakeBraille : platform::BrailleDisplay {
  int cells = 40;
  std::string text;  // UTF-8, as the display was given it
  int cursor = -2;
  int shows = 0;
  int Cells() const override { return cells; }
  void Show(const std::string& utf8, int at) override {
    text = utf8;
    cursor = at;
    ++shows;
  }
};

// Makes a fake of that width the display; returns it (the view owns it).
inline FakeBraille* StartFake(int cells) {
  auto fake = std::make_unique<FakeBraille>();
  fake->cells = cells;
  FakeBraille* seen = fake.get();
  platform::BrailleStart(std::move(fake));
  return seen;
}

inline platform::Message BrailleMessage(platform::BrailleEvent event, int cell = 0) {
  platform::Message m;
  m.message = platform::WM_BRAILLE;
  m.wParam = event;
  m.lParam = cell;
  return m;
}

}  // namespace braille_test
