#include "platform/win32/Dpi.h"

namespace velmora::win32 {

namespace {

template <typename Fn>
Fn User32Function(const char* name) {
  const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  return user32 == nullptr ? nullptr
                           : reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

UINT ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = screen == nullptr ? 96 : ::GetDeviceCaps(screen, LOGPIXELSX);
  if (screen != nullptr) {
    ::ReleaseDC(nullptr, screen);
  }
  return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

}  // namespace

UINT DpiForWindow(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static const Fn getDpiForWindow = User32Function<Fn>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) {
      return dpi;
    }
  }
  return ScreenDpi();
}

RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi) {
  using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const Fn adjustForDpi = User32Function<Fn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return rect;
}

}  // namespace velmora::win32
