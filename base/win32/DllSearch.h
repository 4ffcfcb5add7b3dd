#pragma once
// The first thing each of our programs does: DLLs are looked for in the system directory only,
// never in the program's own folder (a download folder, where anyone may have left a DLL) nor
// in the current directory. Windows 7 without KB2533623 lacks the function; the program's own
// loads name the system directory explicitly anyway (LOAD_LIBRARY_SEARCH_SYSTEM32).
#include <windows.h>

#include "base/win32/SystemFunction.h"

namespace velmora::win32 {

// Defined by the SDK only for Windows 8 and later; Windows 7 with KB2533623 knows them too.
inline constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

inline void RestrictDllSearchToSystem() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // kernel32 is mapped into every process and is a known DLL: no search happens here.
  if (const auto setDefault =
          SystemFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories")) {
    setDefault(kSearchSystem32);
  }
  ::SetDllDirectoryW(L"");  // drops the current directory from the old search order as well
}

// Loads a DLL from the system directory. Windows 7 without KB2533623 does not know the
// LOAD_LIBRARY_SEARCH_SYSTEM32 flag (ERROR_INVALID_PARAMETER): there the DLL is loaded by its
// full path in the system directory instead.
inline HMODULE LoadSystemDll(const wchar_t* name) {
  if (const HMODULE module = ::LoadLibraryExW(name, nullptr, kSearchSystem32)) {
    return module;
  }
  if (::GetLastError() != ERROR_INVALID_PARAMETER) {
    return nullptr;
  }
  wchar_t path[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length + 1 + static_cast<UINT>(::lstrlenW(name)) >= MAX_PATH) {
    return nullptr;
  }
  path[length] = L'\\';
  ::lstrcpyW(path + length + 1, name);
  return ::LoadLibraryW(path);
}

}  // namespace velmora::win32
