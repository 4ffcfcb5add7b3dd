// In-process benchmark of the window's work: the time to compose a code and place it on the
// clipboard for nicknames of 10, 10^4 and 10^6 characters, and the program's objects and
// memory after start-up and after 10,000 link hovers and count clicks.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ObjectCount.h"
#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/NicknameCode.h"
#include "app/Texts.h"
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
  DWORD gdi, user;
  double workingSetKb, pagefileKb;
};

Objects Measure() {
  Objects o{};
  o.gdi = testing::GdiObjectCount();
  o.user = testing::UserObjectCount();
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof(memory);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory));
  o.workingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
  o.pagefileKb = static_cast<double>(memory.PagefileUsage) / 1024.0;
  return o;
}

void Print(const char* when, const Objects& o) {
  std::printf("  %-34s GDI objects %4lu  windows %3lu  working set %7.0f KB  committed %7.0f KB\n", when,
              o.gdi, o.user, o.workingSetKb, o.pagefileKb);
}

}  // namespace

int wmain() {
  win32::Win32Forms forms(::GetModuleHandleW(nullptr), Form1Layout(),
                          {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix});
  Form1 form(forms);
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
    std::printf("  %8zu characters: %9.3f ms\n", length, median);
  }

  std::printf("\nobjects and memory:\n");
  Print("after start-up", Measure());
  // 1,000 of each first, so that what is created once (the lit font's glyphs, caches) is in
  // place; then 10,000 more of each must change nothing.
  auto hoverAndClick = [&](int times) {
    for (int i = 0; i < times; ++i) {
      form.MouseMove(i % 2 ? ControlId::Label3 : ControlId::Label7);
      form.FormMouseMove();
      form.Click(i % 6 < 3 ? ControlId::cmdUp : ControlId::cmdDown);
      if (i % 100 == 0) {
        Pump();
      }
    }
    Pump();
  };
  hoverAndClick(1000);
  Print("after 1,000 hovers and clicks", Measure());
  hoverAndClick(10000);
  Print("after 10,000 more of each", Measure());
  return 0;
}
