#pragma once
// The first thing each of our programs does: DLLs are looked for in the system directory only,
// never in the program's own folder (a download folder, where anyone may have left a DLL) nor
// in the current directory. Windows 7 without KB2533623 lacks the function; the program's own
// loads name the system directory explicitly anyway (LOAD_LIBRARY_SEARCH_SYSTEM32).
#include <windows.h>

namespace velmora::win32 {

inline void RestrictDllSearchToSystem() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // kernel32 is mapped into every process and is a known DLL: no search happens here.
  const HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (setDefault != nullptr) {
    setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  }
  ::SetDllDirectoryW(L"");  // drops the current directory from the old search order as well
}

}  // namespace velmora::win32
