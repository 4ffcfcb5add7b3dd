// Launch benchmark: starts two programs alternately, several times each, and measures the
// time until each has shown its window and gone idle, and its peak working set.
//   launch_bench.exe RUNS PROGRAM_A PROGRAM_B
#include <windows.h>
#include <psapi.h>

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
  return search.found != nullptr;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fwprintf(stderr, L"usage: launch_bench RUNS PROGRAM_A PROGRAM_B\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  const std::wstring programs[2] = {argv[2], argv[3]};
  std::vector<double> launch[2], memory[2];
  Sample warmUp;
  Launch(programs[0], warmUp);  // the first start of a prefix pays for loading Wine itself
  Launch(programs[1], warmUp);
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {
      Sample sample;
      if (!Launch(programs[which], sample)) {
        std::fwprintf(stderr, L"%ls: no window appeared\n", programs[which].c_str());
        return 1;
      }
      launch[which].push_back(sample.launchMs);
      memory[which].push_back(sample.peakWorkingSetKb);
      std::wprintf(L"run %2d  %-14ls launch %7.1f ms  peak working set %8.0f KB\n", run + 1,
                   which == 0 ? L"A" : L"B", sample.launchMs, sample.peakWorkingSetKb);
    }
  }
  const double launchA = Median(launch[0]), launchB = Median(launch[1]);
  const double memoryA = Median(memory[0]), memoryB = Median(memory[1]);
  std::wprintf(L"\nmedians over %d runs each, alternating:\n", runs);
  std::wprintf(L"  launch to idle:    A %7.1f ms, B %7.1f ms, ratio %.3f\n", launchA, launchB,
               launchB > 0 ? launchA / launchB : 0);
  std::wprintf(L"  peak working set:  A %7.0f KB, B %7.0f KB, ratio %.3f\n", memoryA, memoryB,
               memoryB > 0 ? memoryA / memoryB : 0);
  return 0;
}
