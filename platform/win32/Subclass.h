#pragma once
// The one way the program subclasses a window: a procedure put in front of the window's own,
// with user32 alone (SetWindowLongPtrW). Each layer is known by its name, so layers can stack on
// one window and each finds its own record. The records (the procedure a layer replaced, and a
// context pointer) form a chain that starts at the window's GWLP_USERDATA, which the layers own
// on the windows they are put on: reading it costs nothing, where a window property would cost a
// round trip to the window system on every message (under Wine, a call to its server). A record
// is in place before the procedure is replaced, so a layer never runs without it, and it goes
// when the window is destroyed.
#include <windows.h>

namespace velmora::win32 {

struct SubclassRecord {
  const wchar_t* layer = nullptr;
  WNDPROC previous = nullptr;
  void* context = nullptr;
  SubclassRecord* below = nullptr;  // the layer put on before this one
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
