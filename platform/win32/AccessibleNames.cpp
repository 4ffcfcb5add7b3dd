#include "platform/win32/AccessibleNames.h"

#include <initguid.h>  // defines the oleacc GUIDs here; nothing links oleacc.dll at load time
#include <oleacc.h>

#include <string>

namespace velmora::win32 {

AccessibleNames::AccessibleNames(ComApartment& apartment) : apartment_(apartment) {}

AccessibleNames::~AccessibleNames() {
  Clear();
}

void AccessibleNames::Annotate(std::span<const NamedWindow> windows) noexcept {
  if (tried_) {
    return;
  }
  tried_ = true;
  // CoCreateInstance loads oleacc.dll by its registered full path in the system folder.
  if (FAILED(apartment_.CreateInstance(CLSID_AccPropServices, IID_IAccPropServices, service_.Put()))) {
    service_.Reset();
    return;
  }
  for (const NamedWindow& window : windows) {
    const std::wstring name(window.name);
    if (SUCCEEDED(service_->SetHwndPropStr(window.hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           PROPID_ACC_NAME, name.c_str()))) {
      annotated_.push_back(window.hwnd);
    }
  }
}

void AccessibleNames::Clear() noexcept {
  MSAAPROPID name = PROPID_ACC_NAME;
  for (const HWND hwnd : annotated_) {
    service_->ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
  annotated_.clear();
}

}  // namespace velmora::win32
