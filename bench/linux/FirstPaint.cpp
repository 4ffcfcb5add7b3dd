// Launch to first paint and peak memory of window programs on an X display without a window
// manager. Each run starts a program, watches for its top-level window to be mapped and to have
// its client area painted (almost no pixel left black on a black root), looking only when the
// X server reports that something was drawn in it (the DAMAGE extension), so that the watching
// takes no time from the program or the server while it starts; then it reads the
// process's peak resident memory (VmHWM), ends it and waits for it. Programs take turns; the
// first is measured against the second, its floor: in each run the two start back to back
// (bench/Statistics.h).
//   first_paint RUNS NAME COMMAND FLOOR_NAME FLOOR_COMMAND [NAME COMMAND ...]   (through /bin/sh)
// Each run's samples, then a "result" line per program and a "paired" line for the first
// against the second.
#include "bench/Statistics.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A new, viewable window of at least the program's size whose pixels are painted.
bool Painted(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.map_state != IsViewable ||
      attributes.width < 300 || attributes.height < 200) {
    return false;
  }
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (image == nullptr) {
    return false;
  }
  int black = 0, samples = 0;
  for (int y = 0; y < attributes.height; y += 4) {
    for (int x = 0; x < attributes.width; x += 4) {
      ++samples;
      black += (XGetPixel(image, x, y) & 0xFFFFFFu) == 0 ? 1 : 0;
    }
  }
  XDestroyImage(image);
  return black * 100 < samples * 2;  // under 2 % black
}

long PeakKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::strtol(line.c_str() + 6, nullptr, 10);
    }
  }
  return -1;
}

struct Sample {
  double ms = -1;
  long kib = -1;
};

// The next event, or false when none comes before the deadline.
bool NextEvent(Display* display, XEvent& event, Clock::time_point deadline) {
  while (XPending(display) == 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      return false;
    }
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    poll(&connection, 1, static_cast<int>(left) + 1);
  }
  XNextEvent(display, &event);
  return true;
}

// Each top-level window created from here on is watched for drawing; the program's is the one
// that is painted first (its other windows are never mapped, or are small).
Sample RunOnce(Display* display, int damageEvent, const std::string& command) {
  XSync(display, True);  // the last run's events are gone
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Sample sample;
  XEvent event;
  while (sample.ms < 0 && NextEvent(display, event, start + std::chrono::seconds(30))) {
    if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(display)) {
      XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);  // gone with the window
    } else if (event.type == damageEvent + XDamageNotify) {
      const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
      XDamageSubtract(display, damage.damage, None, None);  // the next drawing is reported again
      if (Painted(display, damage.drawable)) {
        sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      }
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // settled: the peak of start-up
  sample.kib = PeakKiB(pid);
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return sample;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 2) % 2 != 0) {
    std::fprintf(stderr, "usage: first_paint RUNS NAME COMMAND FLOOR_NAME FLOOR_COMMAND [NAME COMMAND ...]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "no X display\n");
    return 1;
  }
  int damageEvent = 0, damageError = 0;
  if (XDamageQueryExtension(display, &damageEvent, &damageError) == 0) {
    std::fprintf(stderr, "the X server has no DAMAGE extension\n");
    return 1;
  }
  // A window may be gone by the time it is looked at, or its damage with it: no error ends the run.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  // A black root, so that what a window has not painted yet counts as black.
  XSetWindowBackground(display, DefaultRootWindow(display), BlackPixel(display, DefaultScreen(display)));
  XClearWindow(display, DefaultRootWindow(display));
  // The pointer rests in the screen's far corner, over none of the windows (drasken's is centred,
  // the others' at the top left): a window that appears under it pays for the pointer's entering,
  // which depends on where the pointer happens to be, not on the program.
  const Screen* screen = DefaultScreenOfDisplay(display);
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, WidthOfScreen(screen) - 1,
               HeightOfScreen(screen) - 1);
  XSync(display, False);

  const int runs = std::max(1, std::atoi(argv[1]));
  struct Program {
    std::string name, command;
    std::vector<double> ms, kib;
  };
  std::vector<Program> programs;
  for (int i = 2; i + 1 < argc; i += 2) {
    programs.push_back({argv[i], argv[i + 1], {}, {}});
  }
  for (Program& program : programs) {
    RunOnce(display, damageEvent, program.command);  // warm-up: caches, fonts
  }
  // In each run the program and its floor start back to back, in turns (bench/Statistics.h).
  for (int run = 1; run <= runs; ++run) {
    for (const std::size_t turn : velmora::bench::RoundOrder(run, programs.size())) {
      Program& program = programs[turn];
      const Sample sample = RunOnce(display, damageEvent, program.command);
      program.ms.push_back(sample.ms);
      program.kib.push_back(static_cast<double>(sample.kib));
    }
    std::printf("run %2d:", run);
    for (const Program& program : programs) {
      std::printf("  %s %.0f ms %.0f KiB", program.name.c_str(), program.ms.back(), program.kib.back());
    }
    std::printf("\n");
    std::fflush(stdout);
  }
  for (const Program& program : programs) {
    velmora::bench::PrintResult(program.name, program.ms, program.kib);
  }
  velmora::bench::PrintPaired(programs[0].name, programs[0].ms, programs[1].name, programs[1].ms);
  XCloseDisplay(display);
  return 0;
}
