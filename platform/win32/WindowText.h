#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::win32 {

// A window's text, of any length; throws PlatformError when it cannot be read.
std::wstring WindowText(HWND hwnd);

// Sets a window's text; throws PlatformError when it cannot be set.
void SetWindowTextChecked(HWND hwnd, std::wstring_view text);

// The program's texts break lines with "\n"; a message box wants CR LF.
std::wstring WithWindowsLineEnds(std::wstring_view text);

}  // namespace velmora::win32
