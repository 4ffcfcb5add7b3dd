#pragma once
// Where the parts of a window's frame are, as the window itself answers WM_NCHITTEST: the
// caption and its buttons are drawn by the system (by Wine itself on the rig's display).
#include <windows.h>

#include <optional>

namespace velmora::testing {

// A screen point of the caption row where the window answers the hit-test code.
inline std::optional<POINT> FramePoint(HWND window, LRESULT hitTest) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  for (int y = frame.top + 2; y < frame.top + 40; y += 2) {
    for (int x = frame.right - 2; x > frame.left; x -= 2) {
      if (::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hitTest) {
        return POINT{x, y};
      }
    }
  }
  return std::nullopt;
}

}  // namespace velmora::testing
