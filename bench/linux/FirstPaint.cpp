// Launch to first paint and peak memory of window programs on an X display without a window
// manager. Each run starts a program, watches for its top-level window to be mapped and to have
// its client area painted (almost no pixel left black on a black root), then reads the
// process's peak resident memory (VmHWM), ends it and waits for it. Programs take turns; the
// first is measured against the second, its floor: in each run the two start back to back
// (bench/Statistics.h).
//   first_paint RUNS NAME COMMAND FLOOR_NAME FLOOR_COMMAND [NAME COMMAND ...]   (through /bin/sh)
// Each run's samples, then a "result" line per program and a "paired" line for the first
// against the second.
#include "bench/Statistics.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::set<Window> TopLevels(Display* display) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  std::set<Window> windows;
  if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) != 0) {
    windows.insert(children, children + count);
    XFree(children);
  }
  return windows;
}

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

Sample RunOnce(Display* display, const std::string& command) {
  const std::set<Window> before = TopLevels(display);
  const auto start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Sample sample;
  while (Clock::now() - start < std::chrono::seconds(30)) {
    bool done = false;
    for (const Window window : TopLevels(display)) {
      if (before.count(window) == 0 && Painted(display, window)) {
        done = true;
        break;
      }
    }
    if (done) {
      sample.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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
  // A black root, so that what a window has not painted yet counts as black.
  XSetWindowBackground(display, DefaultRootWindow(display), BlackPixel(display, DefaultScreen(display)));
  XClearWindow(display, DefaultRootWindow(display));
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
    RunOnce(display, program.command);  // warm-up: caches, fonts
  }
  // In each run the program and its floor start back to back, in turns (bench/Statistics.h).
  for (int run = 1; run <= runs; ++run) {
    for (const std::size_t turn : velmora::bench::RoundOrder(run, programs.size())) {
      Program& program = programs[turn];
      const Sample sample = RunOnce(display, program.command);
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
