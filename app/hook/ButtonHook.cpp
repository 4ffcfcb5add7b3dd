#include "app/hook/ButtonHook.h"

namespace velmora {

namespace {
// The previous procedure lives in a window property of the button: pointer-sized and per window.
constexpr wchar_t kPrevWndProcProperty[] = L"Velmora.PrevWndProc";
}  // namespace

WNDPROC PrevWndProc(HWND button) {
  return reinterpret_cast<WNDPROC>(::GetPropW(button, kPrevWndProcProperty));
}

void HookButton(WindowHandle button) {
  const auto hwnd = reinterpret_cast<HWND>(button);
  if (PrevWndProc(hwnd) != nullptr) {
    return;  // already hooked: hooking twice would make the filter its own predecessor
  }
  const LONG_PTR previous =
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonWndProc));
  if (previous != 0) {
    ::SetPropW(hwnd, kPrevWndProcProperty, reinterpret_cast<HANDLE>(previous));
  }
}

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = PrevWndProc(hwnd);
  if (msg == WM_SETFOCUS) {
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kPrevWndProcProperty);
  }
  return previous != nullptr ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                             : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace velmora
