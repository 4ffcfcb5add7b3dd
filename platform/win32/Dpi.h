#pragma once
// The window's geometry on the screen: its DPI and frame, through the functions of Windows 10
// 1607 and later where they exist, with fallbacks for older systems (and Wine versions) where
// they are missing; and where it opens.
#include <windows.h>

namespace velmora::win32 {

UINT DpiForWindow(HWND hwnd);
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The top-left corner of a window of this size centred in the monitor's work area: the one rule
// for where the window stands, when it is created and when it is laid out.
POINT CentredOn(HMONITOR monitor, SIZE window);

}  // namespace velmora::win32
