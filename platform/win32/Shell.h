#pragma once
#include <windows.h>

#include <string_view>

#include "base/win32/Handles.h"
#include "platform/win32/ComApartment.h"

namespace velmora::win32 {

// Hands targets to the desktop shell. shell32 (and COM, which the shell's handlers require on
// the calling thread) are brought in with the first request, not at start-up: the window does
// not need them to open, and loading them up front costs a quarter of the launch time under Wine.
class Shell {
 public:
  explicit Shell(ComApartment& apartment) : apartment_(apartment) {}

  // ShellExecuteW with the operation "open", no parameters or directory, shown normally; its
  // result is not examined. Throws PlatformError when shell32 cannot be loaded.
  void Open(HWND owner, std::wstring_view target);

 private:
  ComApartment& apartment_;
  UniqueLibrary shell32_;
};

}  // namespace velmora::win32
