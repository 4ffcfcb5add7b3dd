#include "platform/win32/Subclass.h"

#include <memory>
#include <new>

namespace velmora::win32 {

const SubclassRecord* FindSubclass(HWND hwnd, const wchar_t* layer) noexcept {
  return static_cast<const SubclassRecord*>(::GetPropW(hwnd, layer));
}

bool Subclass(HWND hwnd, const wchar_t* layer, WNDPROC procedure, void* context) noexcept {
  if (FindSubclass(hwnd, layer) != nullptr) {
    ::SetLastError(ERROR_ALREADY_EXISTS);  // twice would make the layer its own predecessor
    return false;
  }
  const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (current == nullptr) {
    return false;
  }
  std::unique_ptr<SubclassRecord> record(new (std::nothrow) SubclassRecord{current, context});
  if (!record) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (!::SetPropW(hwnd, layer, record.get())) {
    return false;
  }
  ::SetLastError(ERROR_SUCCESS);
  if (::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)) == 0 &&
      ::GetLastError() != ERROR_SUCCESS) {
    const DWORD error = ::GetLastError();
    ::RemovePropW(hwnd, layer);
    ::SetLastError(error);
    return false;
  }
  record.release();  // the window holds it now; CallPrevious frees it at WM_NCDESTROY
  return true;
}

LRESULT CallPrevious(HWND hwnd, const wchar_t* layer, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  std::unique_ptr<SubclassRecord> destroyed;
  const SubclassRecord* record = FindSubclass(hwnd, layer);
  WNDPROC previous = record == nullptr ? nullptr : record->previous;
  if (msg == WM_NCDESTROY && record != nullptr) {
    destroyed.reset(static_cast<SubclassRecord*>(::RemovePropW(hwnd, layer)));
  }
  return previous != nullptr ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                             : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace velmora::win32
