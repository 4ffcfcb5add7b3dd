#pragma once
#include <windows.h>

#include <string_view>

#include "platform/win32/Handles.h"

namespace velmora::win32 {

// Hands targets to the desktop shell. shell32 and COM are brought in with the first request,
// not at start-up: the window does not need them to open, and loading them up front costs a
// quarter of the launch time under Wine. COM is initialised for the calling (UI) thread, as
// the shell's handlers require, and uninitialised again on destruction.
class Shell {
 public:
  Shell() = default;
  ~Shell();
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  // ShellExecuteW; its result is not examined. Throws PlatformError when shell32 cannot be loaded.
  void Execute(HWND owner, std::wstring_view operation, std::wstring_view file, std::wstring_view parameters,
               std::wstring_view directory, int showCommand);

 private:
  void Load();

  UniqueLibrary ole32_;
  UniqueLibrary shell32_;
  bool comInitialized_ = false;
};

}  // namespace velmora::win32
