#include "platform/win32/Dpi.h"

#include "base/win32/SystemFunction.h"

namespace velmora::win32 {

namespace {

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
  static const Fn getDpiForWindow = SystemFunction<Fn>(L"user32.dll", "GetDpiForWindow");
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
  static const Fn adjustForDpi = SystemFunction<Fn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (adjustForDpi == nullptr || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return rect;
}

POINT CentredOn(HMONITOR monitor, SIZE window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetMonitorInfoW(monitor, &info)) {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &info.rcWork, 0);
  }
  const RECT& area = info.rcWork;
  return {area.left + (area.right - area.left - window.cx) / 2,
          area.top + (area.bottom - area.top - window.cy) / 2};
}

}  // namespace velmora::win32
