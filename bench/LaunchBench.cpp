// Launch benchmark: starts programs in turn, several times each, and measures the time until each
// has shown its window and gone idle, and its peak working set. The first program is measured
// against the second, its floor: in each run the two start back to back (bench/Statistics.h).
// Each run's samples, then a "result" line per program and a "paired" line for the first
// against the second.
//   launch_bench.exe RUNS NAME PROGRAM FLOOR_NAME FLOOR [NAME PROGRAM ...]   (NAME in ASCII)
#include <windows.h>
#include <psapi.h>

#include "bench/Statistics.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
  double launchMs = 0;
  double peakWorkingSetKb = 0;
};

struct WindowSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && ::IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool Launch(const std::wstring& program, Sample& sample) {
  std::wstring command = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  ::WaitForInputIdle(process.hProcess, 15000);
  WindowSearch search{process.dwProcessId, nullptr};
  for (int i = 0; i < 3000 && search.found == nullptr; ++i) {
    ::EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
      ::Sleep(1);
    }
  }
  ::QueryPerformanceCounter(&end);
  sample.launchMs = Milliseconds(start, end);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory))) {
    sample.peakWorkingSetKb = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
  }
  if (search.found != nullptr) {
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
  }
  if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.hProcess, 1);
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  ::Sleep(200);  // settled: Wine and the display finish with the last window before the next start
  return search.found != nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6 || argc % 2 != 0) {
    std::fwprintf(stderr, L"usage: launch_bench RUNS NAME PROGRAM FLOOR_NAME FLOOR [NAME PROGRAM ...]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  struct Program {
    std::wstring name, path;
    std::vector<double> launchMs, peakKb;
  };
  std::vector<Program> programs;
  for (int i = 2; i + 1 < argc; i += 2) {
    programs.push_back({argv[i], argv[i + 1], {}, {}});
  }
  for (const Program& program : programs) {
    Sample warmUp;  // the first start of a prefix pays for loading Wine itself
    Launch(program.path, warmUp);
  }
  // In each run the program and its floor start back to back, in turns (bench/Statistics.h).
  for (int run = 1; run <= runs; ++run) {
    for (const std::size_t turn : velmora::bench::RoundOrder(run, programs.size())) {
      Program& program = programs[turn];
      Sample sample;
      if (!Launch(program.path, sample)) {
        std::fwprintf(stderr, L"%ls: no window appeared\n", program.path.c_str());
        return 1;
      }
      program.launchMs.push_back(sample.launchMs);
      program.peakKb.push_back(sample.peakWorkingSetKb);
    }
    std::wprintf(L"run %2d:", run);
    for (const Program& program : programs) {
      std::wprintf(L"  %ls %.0f ms %.0f KB", program.name.c_str(), program.launchMs.back(), program.peakKb.back());
    }
    std::wprintf(L"\n");
    std::fflush(stdout);
  }
  const auto ascii = [](const std::wstring& name) { return std::string(name.begin(), name.end()); };
  for (const Program& program : programs) {
    velmora::bench::PrintResult(ascii(program.name), program.launchMs, program.peakKb);
  }
  velmora::bench::PrintPaired(ascii(programs[0].name), programs[0].launchMs, ascii(programs[1].name),
                              programs[1].launchMs);
  return 0;
}
