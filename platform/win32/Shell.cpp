#include "platform/win32/Shell.h"

#include <shellapi.h>

#include <string>

#include "base/win32/DllSearch.h"
#include "base/win32/SystemFunction.h"
#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

void Shell::Open(HWND owner, std::wstring_view target) {
  if (!shell32_) {
    apartment_.Enter();  // the shell works without, with fewer handlers: no failure of its own
    shell32_.reset(LoadSystemDll(L"shell32.dll"));
    if (!shell32_) {
      ThrowLastError("LoadLibrary(shell32)");
    }
  }
  const auto execute = SystemFunction<decltype(&::ShellExecuteW)>(shell32_.get(), "ShellExecuteW");
  if (execute == nullptr) {
    ThrowLastError("GetProcAddress(ShellExecuteW)");
  }
  const std::wstring file(target);
  execute(owner, L"open", file.c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace velmora::win32
