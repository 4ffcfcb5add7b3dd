#pragma once
// A function of a system DLL, looked up when it is needed rather than imported: for the functions
// that Windows 7 lacks (the oldest system the programs run on), and for the DLLs loaded on demand
// from the system directory. Null where the DLL or the function is missing.
#include <windows.h>

namespace velmora::win32 {

template <typename Fn>
Fn SystemFunction(HMODULE module, const char* name) noexcept {
  return module == nullptr ? nullptr
                           : reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// From a DLL that the process has mapped already (kernel32, user32): no load, no search.
template <typename Fn>
Fn SystemFunction(const wchar_t* loadedModule, const char* name) noexcept {
  return SystemFunction<Fn>(::GetModuleHandleW(loadedModule), name);
}

}  // namespace velmora::win32
