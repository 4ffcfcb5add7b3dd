#pragma once
// Whether drasken has a graphical desktop to open its window on, asked before Qt starts: Qt's
// platform plugin ends the program with abort() and a core dump when it finds no display.

namespace velmora::linux_desktop {

// What drasken says instead, on one line, in Chinese and English.
inline constexpr char kNoDisplayLine[] =
    "drasken 需要图形桌面，但连接不到 X11 或 Wayland 显示。 "
    "drasken needs a graphical desktop, but no X11 or Wayland display answers.\n";

// True when a display that Qt is going to try answers. The platforms named by `-platform` or,
// without it, QT_QPA_PLATFORM decide which displays count: xcb the X server (of `-display`,
// else DISPLAY), wayland* the compositor (WAYLAND_DISPLAY); with none named, either. A platform
// that needs neither (offscreen, vnc, eglfs) is Qt's business, and passes.
bool DisplayAnswers(int argc, const char* const argv[]);

}  // namespace velmora::linux_desktop
