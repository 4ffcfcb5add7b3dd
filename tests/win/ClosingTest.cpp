// Closing the window: Alt+F4 and the close button end the program with exit code 0, and
// nothing holds on to the destroyed window.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "LiveWindow.h"
#include "WindowFrame.h"

namespace velmora::testing {
namespace {

using enum ControlId;

// Ends a message loop that would otherwise never end, so that a fault fails the test
// instead of hanging it.
class QuitAfter {
 public:
  explicit QuitAfter(DWORD milliseconds)
      : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        thread_([this, milliseconds, id = ::GetCurrentThreadId()] {
          if (::WaitForSingleObject(stop_, milliseconds) == WAIT_TIMEOUT) {
            ::PostThreadMessageW(id, WM_QUIT, 99, 0);
          }
        }) {}
  ~QuitAfter() {
    ::SetEvent(stop_);
    thread_.join();
    ::CloseHandle(stop_);
  }

 private:
  HANDLE stop_;
  std::thread thread_;
};

TEST(Closing, AltF4EndsTheMessageLoopWithExitCodeZero) {
  LiveWindow live;
  const HWND window = live.Window();
  live.Press({VK_MENU, VK_F4}, false);  // read by the program's own loop
  int exitCode = -1;
  {
    QuitAfter safety(10000);
    exitCode = live.Forms().Run();
  }
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(live.Window(), nullptr) << "a destroyed window's handle is still held";
  EXPECT_EQ(live.Control(Text1), nullptr);
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchProgramWindow(HWND hwnd, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hwnd, &owner);
  wchar_t cls[32]{};
  ::GetClassNameW(hwnd, cls, 32);
  if (owner == search->processId && std::wstring(cls) == L"Velmora.Form1" && ::IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindProgramWindow(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(MatchProgramWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST(Closing, TheCloseButtonEndsDraskenWithExitCodeZero) {
  std::wstring commandLine = L"\"" + DraskenPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(DraskenPath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
  HWND window = nullptr;
  for (int i = 0; i < 1000 && window == nullptr; ++i) {
    ::Sleep(10);
    window = FindProgramWindow(process.dwProcessId);
  }
  ASSERT_NE(window, nullptr);
  const auto close = FramePoint(window, HTCLOSE);
  EXPECT_TRUE(close);
  if (close) {
    SendClick(*close);
  }
  const bool ended = ::WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0;
  DWORD exitCode = 12345;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  if (!ended) {
    ::TerminateProcess(process.hProcess, 2);
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  EXPECT_TRUE(ended);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
}  // namespace velmora::testing
