// comctl32.dll is not one of Windows' known DLLs: imported at load time, it and the DLLs it
// imports in turn would be looked for in the program's folder before the program has run a single
// line. So the exe does not import it. The window subclassing functions that the program calls
// through the usual declarations are bound here, on first use, to comctl32 loaded from the system
// directory (the manifest's common controls 6 still apply: side-by-side redirection comes first).
// With mingw-w64, a call through a dllimport declaration goes through the pointer __imp_<name>,
// which this file defines in place of the import library; Visual Studio delay-loads instead.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/SystemDllSearch.h"

namespace {

HMODULE LoadComctl32() {
  // Common controls 6 loads uxtheme.dll by name when it first draws a themed control. Where the
  // restricted search order is not applied to that load (Windows 7 without KB2533623, Wine's
  // delay loading), it would be looked for beside the exe; loaded here from the system
  // directory first, it is found among the loaded modules instead. It stays loaded.
  velmora::win32::LoadSystemDll(L"uxtheme.dll");
  if (const HMODULE module = ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  // Windows 7 without KB2533623: by its bare name, which the manifest's side-by-side dependency
  // resolves to common controls 6 before any folder is searched (a full path would give the old
  // common controls, without the subclassing functions).
  return ::GetLastError() == ERROR_INVALID_PARAMETER ? ::LoadLibraryW(L"comctl32.dll") : nullptr;
}

HMODULE Comctl32() {
  static const HMODULE module = LoadComctl32();
  return module;
}

template <typename Fn>
Fn Bind(const char* name) {
  const HMODULE module = Comctl32();
  return module == nullptr ? nullptr
                           : reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

BOOL WINAPI SetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
  static const auto function = Bind<decltype(&SetSubclass)>("SetWindowSubclass");
  return function != nullptr && function(hwnd, proc, id, data);
}

BOOL WINAPI GetSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* data) {
  static const auto function = Bind<decltype(&GetSubclass)>("GetWindowSubclass");
  return function != nullptr && function(hwnd, proc, id, data);
}

BOOL WINAPI RemoveSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
  static const auto function = Bind<decltype(&RemoveSubclass)>("RemoveWindowSubclass");
  return function != nullptr && function(hwnd, proc, id);
}

// Only reached from a procedure that SetSubclass installed, so comctl32 is there.
LRESULT WINAPI DefSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const auto function = Bind<decltype(&DefSubclass)>("DefSubclassProc");
  return function != nullptr ? function(hwnd, msg, wParam, lParam) : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

// The import pointers' names: __imp_Name on x64, __imp__Name@<argument bytes> (stdcall) on x86.
#if defined(__i386__)
#define VELMORA_IMPORT_POINTER(name, argumentBytes) __asm__("__imp__" #name "@" #argumentBytes)
#else
#define VELMORA_IMPORT_POINTER(name, argumentBytes) __asm__("__imp_" #name)
#endif

extern "C" {
extern decltype(&SetSubclass) const velmoraSetWindowSubclass VELMORA_IMPORT_POINTER(SetWindowSubclass, 16);
extern decltype(&GetSubclass) const velmoraGetWindowSubclass VELMORA_IMPORT_POINTER(GetWindowSubclass, 16);
extern decltype(&RemoveSubclass) const velmoraRemoveWindowSubclass VELMORA_IMPORT_POINTER(RemoveWindowSubclass, 12);
extern decltype(&DefSubclass) const velmoraDefSubclassProc VELMORA_IMPORT_POINTER(DefSubclassProc, 16);
decltype(&SetSubclass) const velmoraSetWindowSubclass = SetSubclass;
decltype(&GetSubclass) const velmoraGetWindowSubclass = GetSubclass;
decltype(&RemoveSubclass) const velmoraRemoveWindowSubclass = RemoveSubclass;
decltype(&DefSubclass) const velmoraDefSubclassProc = DefSubclass;
}
