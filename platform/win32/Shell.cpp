#include "platform/win32/Shell.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/SystemDllSearch.h"
#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

namespace {
template <typename Fn>
Fn Function(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

Shell::~Shell() {
  if (comInitialized_) {
    if (const auto uninitialize = Function<decltype(&::CoUninitialize)>(ole32_.get(), "CoUninitialize")) {
      uninitialize();
    }
  }
}

void Shell::Load() {
  if (shell32_) {
    return;
  }
  ole32_.reset(LoadSystemDll(L"ole32.dll"));
  if (ole32_) {
    if (const auto initialize = Function<decltype(&::CoInitializeEx)>(ole32_.get(), "CoInitializeEx")) {
      comInitialized_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
  }
  shell32_.reset(LoadSystemDll(L"shell32.dll"));
  if (!shell32_) {
    ThrowLastError("LoadLibrary(shell32)");
  }
}

void Shell::Execute(HWND owner, std::wstring_view operation, std::wstring_view file,
                    std::wstring_view parameters, std::wstring_view directory, int showCommand) {
  Load();
  const auto execute = Function<decltype(&::ShellExecuteW)>(shell32_.get(), "ShellExecuteW");
  if (execute == nullptr) {
    ThrowLastError("GetProcAddress(ShellExecuteW)");
  }
  const std::wstring op(operation), target(file), params(parameters), dir(directory);
  execute(owner, op.c_str(), target.c_str(), params.c_str(), dir.c_str(), showCommand);
}

}  // namespace velmora::win32
