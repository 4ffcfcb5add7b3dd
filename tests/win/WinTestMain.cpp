// The Windows-side test program. Besides the tests it has two helper modes:
// --hold-clipboard=<ms> opens the clipboard from this separate process and keeps it open for
// that long (the busy clipboard test); --leave-code-on-clipboard raises the count to 2, presses
// the make button for a fixed nickname and exits, so that the rig can read the desktop's
// clipboard from the Linux side.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "LiveWindow.h"
#include "MessageBoxCatcher.h"

namespace velmora::testing {
namespace {
std::wstring g_draskenPath;
}
const std::wstring& DraskenPath() {
  return g_draskenPath;
}
}  // namespace velmora::testing

namespace {
int HoldClipboard(int milliseconds) {
  HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, L"Velmora.Test.ClipboardHeld");
  if (!::OpenClipboard(nullptr)) {
    return 2;
  }
  if (ready != nullptr) {
    ::SetEvent(ready);
    ::CloseHandle(ready);
  }
  ::Sleep(static_cast<DWORD>(milliseconds));
  ::CloseClipboard();
  return 0;
}
int LeaveCodeOnClipboard() {
  using namespace velmora::testing;
  MessageBoxCatcher boxes;
  LiveWindow live;
  ::SetWindowTextW(live.Control(velmora::ControlId::Text1), L"Ab \u540D\U0001F600");
  live.ClickOn(velmora::ControlId::cmdUp);
  live.ClickOn(velmora::ControlId::cmdMake);
  return live.PumpUntil([&] { return !boxes.boxes.empty(); }) ? 0 : 3;
}
}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--hold-clipboard=", 0) == 0) {
      return HoldClipboard(std::atoi(arg.c_str() + 17));
    }
    if (arg == "--leave-code-on-clipboard") {
      return LeaveCodeOnClipboard();
    }
    if (arg.rfind("--drasken=", 0) == 0) {
      const std::string path = arg.substr(10);
      velmora::testing::g_draskenPath.assign(path.begin(), path.end());
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
