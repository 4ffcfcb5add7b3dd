#include "platform/win32/WindowText.h"

#include "platform/win32/Win32Error.h"

namespace velmora::win32 {

std::wstring WindowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  if (length <= 0) {
    return {};
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(hwnd, text.data(), length + 1);
  if (copied <= 0) {
    ThrowLastError("GetWindowTextW");
  }
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

void SetWindowTextChecked(HWND hwnd, std::wstring_view text) {
  const std::wstring copy(text);
  if (!::SetWindowTextW(hwnd, copy.c_str())) {
    ThrowLastError("SetWindowTextW");
  }
}

std::wstring WithWindowsLineEnds(std::wstring_view text) {
  std::wstring lines;
  lines.reserve(text.size());
  for (const wchar_t c : text) {
    if (c == L'\n') {
      lines += L'\r';
    }
    lines += c;
  }
  return lines;
}

}  // namespace velmora::win32
