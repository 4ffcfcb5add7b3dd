#include "platform/win32/ButtonHook.h"

#include "platform/win32/Subclass.h"

namespace velmora::win32 {

namespace {
constexpr wchar_t kLayer[] = L"Velmora.FocusFilter";
}  // namespace

WNDPROC PrevWndProc(HWND button) noexcept {
  const SubclassRecord* record = FindSubclass(button, kLayer);
  return record == nullptr ? nullptr : record->previous;
}

void HookButton(HWND button) noexcept {
  Subclass(button, kLayer, &ButtonWndProc, nullptr);
}

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFOCUS) {
    return 0;
  }
  return CallPrevious(hwnd, kLayer, msg, wParam, lParam);
}

}  // namespace velmora::win32
