#pragma once
// Whether drasken has a graphical desktop to open its window on, asked before Qt starts: Qt's
// platform plugin ends the program with abort() and a core dump when it finds no display.
#include <memory>

struct xcb_connection_t;

namespace velmora::linux_desktop {

// What drasken says instead, on one line, in Chinese and English.
inline constexpr char kNoDisplayLine[] =
    "drasken 需要图形桌面，但连接不到 X11 或 Wayland 显示。 "
    "drasken needs a graphical desktop, but no X11 or Wayland display answers.\n";

// The display that answered. An X server is held on to: one whose last client leaves resets
// itself and turns away whoever connects meanwhile, as Qt would right after the check.
class ReachedDisplay {
 public:
  ReachedDisplay() = default;
  ReachedDisplay(bool answers, xcb_connection_t* x11) : answers_(answers), x11_(x11) {}
  bool Answers() const { return answers_; }

 private:
  struct Disconnect {
    void operator()(xcb_connection_t* connection) const;
  };
  bool answers_ = false;
  std::unique_ptr<xcb_connection_t, Disconnect> x11_;
};

// Whether a display that Qt is going to try answers. The platforms named by `-platform` or,
// without it, QT_QPA_PLATFORM decide which displays count: xcb the X server (of `-display`,
// else DISPLAY), wayland* the compositor (WAYLAND_DISPLAY); with none named, either. A platform
// that needs neither (offscreen, vnc, eglfs) is Qt's business, and passes.
ReachedDisplay ReachDisplay(int argc, const char* const argv[]);

}  // namespace velmora::linux_desktop
