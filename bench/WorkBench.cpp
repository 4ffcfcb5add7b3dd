// In-process benchmark of the window's work: the time to compose a code and place it on the
// clipboard for nicknames of 10, 10^4 and 10^6 characters, and the program's objects and
// memory after start-up and after 10,000 link hovers and count clicks.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/NicknameCode.h"
#include "app/Texts.h"
#include "app/hook/ButtonHook.h"
#include "platform/win32/Win32Forms.h"
#include "resources/ResourceIds.h"

namespace {

using namespace velmora;

double NowMs() {
  LARGE_INTEGER counter, frequency;
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

struct Objects {
  DWORD gdi, user, handles;
  double workingSetKb, privateKb;
};

Objects Measure() {
  Objects o{};
  o.gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  o.user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  ::GetProcessHandleCount(::GetCurrentProcess(), &o.handles);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  o.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
  o.privateKb = static_cast<double>(memory.PrivateUsage) / 1024.0;
  return o;
}

void Print(const char* when, const Objects& o) {
  std::printf("  %-34s GDI %4lu  USER %4lu  kernel handles %4lu  working set %7.0f KB  private %7.0f KB\n", when,
              o.gdi, o.user, o.handles, o.workingSetKb, o.privateKb);
}

}  // namespace

int wmain() {
  win32::Win32Forms forms(::GetModuleHandleW(nullptr), Form1Layout(), {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix});
  Form1 form(forms, HookButton);
  if (!forms.Open(form, SW_SHOWNORMAL)) {
    return 1;
  }
  Pump();

  std::printf("compose the code and place it on the clipboard (median of the runs):\n");
  for (const std::size_t length : {std::size_t{10}, std::size_t{10000}, std::size_t{1000000}}) {
    std::wstring nickname;
    nickname.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
      nickname += static_cast<wchar_t>(i % 7 == 0 ? L'\u540D' : L'a' + static_cast<wchar_t>(i % 26));
    }
    const int runs = length >= 1000000 ? 9 : 31;
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
      const double start = NowMs();
      const std::wstring code = ComposeNicknameCode(forms.LabelCaption(ControlId::Label6), nickname);
      if (forms.ReplaceClipboardText(code) != ClipboardResult::Replaced) {
        std::printf("clipboard busy\n");
        return 1;
      }
      times.push_back(NowMs() - start);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("  %8zu characters: %9.3f ms  (%.1f ns per character)\n", length, median,
                median * 1e6 / static_cast<double>(length));
  }

  std::printf("\nobjects and memory:\n");
  Print("after start-up", Measure());
  for (int i = 0; i < 10000; ++i) {
    form.MouseMove(i % 2 ? ControlId::Label3 : ControlId::Label7);
    form.FormMouseMove();
    if (i % 100 == 0) {
      Pump();
    }
  }
  Pump();
  Print("after 10,000 link hovers", Measure());
  for (int i = 0; i < 10000; ++i) {
    form.Click(i % 6 < 3 ? ControlId::cmdUp : ControlId::cmdDown);
    if (i % 100 == 0) {
      Pump();
    }
  }
  Pump();
  Print("after 10,000 count clicks", Measure());
  return 0;
}
