// The right-button magnifier: while the button is held, the picture is
// shown enlarged around the mouse point.
#include <algorithm>

#include "console/console_state.h"
#include "platform/os/messages.h"

namespace console_detail {
namespace {

// A zoom factor of 0 (AMPLIF of "0" or "8") would divide by zero: it is
// taken as 1, a view of the whole picture without enlargement.
void ShowZoomAt(ConsoleState& s, int x, int y) {
  int zoom = std::max(s.video.zoom, 1);
  int width = 0, height = 0;
  s.display->ClientSize(width, height);
  int srcX = std::max(x - x / zoom, 0);
  int srcY = std::max(y - y / zoom, 0);
  s.display->ShowZoom(srcX, srcY, width / zoom, height / zoom);
}

}  // namespace

void HandleMagnifier(const platform::Message& m) {
  ConsoleState& s = State();
  switch (m.message) {
    case platform::WM_RBUTTONDOWN:
      if (s.zooming) return;
      s.zooming = true;
      ShowZoomAt(s, m.x, m.y);
      return;
    case platform::WM_MOUSEMOVE:
      if (s.zooming) ShowZoomAt(s, m.x, m.y);
      return;
    case platform::WM_RBUTTONUP:
      if (!s.zooming) return;
      s.zooming = false;
      s.display->EndZoom();
      RepaintAll();
      return;
  }
}

}  // namespace console_detail
