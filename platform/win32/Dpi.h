#pragma once
// DPI functions of Windows 10 1607 and later, with fallbacks for older systems (and Wine
// versions) where they are missing.
#include <windows.h>

namespace velmora::win32 {

UINT DpiForWindow(HWND hwnd);
RECT WindowRectForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace velmora::win32
