#include "app/hook/ButtonHook.h"

namespace velmora {

namespace {
// The previous procedure lives in a window property of the button: pointer-sized and per window.
constexpr wchar_t kPrevWndProcProperty[] = L"Velmora.PrevWndProc";
}  // namespace

WNDPROC PrevWndProc(HWND button) {
  return reinterpret_cast<WNDPROC>(::GetPropW(button, kPrevWndProcProperty));
}

// The previous procedure is stored before the filter goes in, so that a button never runs
// the filter without it: where the property cannot be stored, or the procedure cannot be
// replaced, the button keeps its own procedure unfiltered.
void HookButton(WindowHandle button) {
  const auto hwnd = reinterpret_cast<HWND>(button);
  if (PrevWndProc(hwnd) != nullptr) {
    return;  // already hooked: hooking twice would make the filter its own predecessor
  }
  const LONG_PTR current = ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  if (current == 0 || !::SetPropW(hwnd, kPrevWndProcProperty, reinterpret_cast<HANDLE>(current))) {
    return;
  }
  if (::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonWndProc)) == 0) {
    ::RemovePropW(hwnd, kPrevWndProcProperty);
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
