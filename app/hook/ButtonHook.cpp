#include "app/hook/ButtonHook.h"

#include "platform/win32/Subclass.h"

namespace velmora {

namespace {
constexpr wchar_t kLayer[] = L"Velmora.FocusFilter";
}  // namespace

WNDPROC PrevWndProc(HWND button) {
  const win32::SubclassRecord* record = win32::FindSubclass(button, kLayer);
  return record == nullptr ? nullptr : record->previous;
}

// Where the filter cannot go in, the button keeps its own procedure unfiltered: it then draws
// its focus rectangle, and works as before. Hooking a button twice changes nothing.
void HookButton(WindowHandle button) {
  win32::Subclass(reinterpret_cast<HWND>(button), kLayer, &ButtonWndProc, nullptr);
}

LRESULT CALLBACK ButtonWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETFOCUS) {
    return 0;
  }
  return win32::CallPrevious(hwnd, kLayer, msg, wParam, lParam);
}

}  // namespace velmora
