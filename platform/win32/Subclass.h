#pragma once
// The one way the program subclasses a window: a procedure put in front of the window's own,
// with user32 alone (SetWindowLongPtrW and a window property). Each layer is known by the name
// of its property, so layers can stack on one window and each finds its own record. The record
// (the procedure the layer replaced, and a context pointer) is stored on the window before the
// procedure is replaced, so a layer never runs without it, and it goes when the window is
// destroyed.
#include <windows.h>

namespace velmora::win32 {

struct SubclassRecord {
  WNDPROC previous = nullptr;
  void* context = nullptr;
};

// Puts the procedure in front of the window's current one. False, with the window as it was
// and the reason in GetLastError, where the record cannot be stored, the procedure cannot be
// replaced, or the layer is already on the window.
bool Subclass(HWND hwnd, const wchar_t* layer, WNDPROC procedure, void* context) noexcept;

// The layer's record on the window; null where the layer is not on it.
const SubclassRecord* FindSubclass(HWND hwnd, const wchar_t* layer) noexcept;

// What a layer's procedure calls for every message it passes on: the procedure the layer
// replaced, with the message unchanged, and its result (DefWindowProc where the layer is not on
// the window). On WM_NCDESTROY the layer's record is taken off first.
LRESULT CallPrevious(HWND hwnd, const wchar_t* layer, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace velmora::win32
