#include "platform/win32/Subclass.h"

#include <cwchar>
#include <memory>
#include <new>

namespace velmora::win32 {

namespace {

SubclassRecord* Top(HWND hwnd) noexcept {
  return reinterpret_cast<SubclassRecord*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

bool SetTop(HWND hwnd, SubclassRecord* record) noexcept {
  ::SetLastError(ERROR_SUCCESS);
  return ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record)) != 0 ||
         ::GetLastError() == ERROR_SUCCESS;
}

// Takes the record out of the window's chain; the caller owns it then.
void Unlink(HWND hwnd, SubclassRecord* record) noexcept {
  if (Top(hwnd) == record) {
    SetTop(hwnd, record->below);
    return;
  }
  for (SubclassRecord* above = Top(hwnd); above != nullptr; above = above->below) {
    if (above->below == record) {
      above->below = record->below;
      return;
    }
  }
}

}  // namespace

const SubclassRecord* FindSubclass(HWND hwnd, const wchar_t* layer) noexcept {
  for (const SubclassRecord* record = Top(hwnd); record != nullptr; record = record->below) {
    if (std::wcscmp(record->layer, layer) == 0) {
      return record;
    }
  }
  return nullptr;
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
  std::unique_ptr<SubclassRecord> record(new (std::nothrow) SubclassRecord{layer, current, context, Top(hwnd)});
  if (!record) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  if (!SetTop(hwnd, record.get())) {
    return false;
  }
  ::SetLastError(ERROR_SUCCESS);
  if (::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)) == 0 &&
      ::GetLastError() != ERROR_SUCCESS) {
    const DWORD error = ::GetLastError();
    SetTop(hwnd, record->below);
    ::SetLastError(error);
    return false;
  }
  record.release();  // the window holds it now; CallPrevious frees it at WM_NCDESTROY
  return true;
}

LRESULT CallPrevious(HWND hwnd, const wchar_t* layer, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  std::unique_ptr<SubclassRecord> destroyed;
  const SubclassRecord* record = FindSubclass(hwnd, layer);
  const WNDPROC previous = record == nullptr ? nullptr : record->previous;
  if (msg == WM_NCDESTROY && record != nullptr) {
    destroyed.reset(const_cast<SubclassRecord*>(record));
    Unlink(hwnd, destroyed.get());
  }
  return previous != nullptr ? ::CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                             : ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace velmora::win32
