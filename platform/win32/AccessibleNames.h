#pragma once
// Names that screen readers announce for controls whose caption does not say what they are,
// given through the system's accessibility annotation (IAccPropServices, PROPID_ACC_NAME on
// the controls' standard accessible objects). COM and oleacc are brought in only when an
// accessibility client first asks the window for an object (WM_GETOBJECT), from the system
// folder; without a screen reader nothing is loaded.
#include <windows.h>

#include <span>
#include <string_view>
#include <vector>

#include "platform/win32/ComApartment.h"

struct IAccPropServices;

namespace velmora::win32 {

struct NamedWindow {
  HWND hwnd;
  std::wstring_view name;
};

class AccessibleNames {
 public:
  explicit AccessibleNames(ComApartment& apartment);  // out of line, where IAccPropServices is complete
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // Annotates every window with its name, the first time only. Accessibility is best effort:
  // where the service cannot be had, the controls keep the names the system gives them.
  void Annotate(std::span<const NamedWindow> windows) noexcept;
  // Takes the annotations off again, while the windows still exist.
  void Clear() noexcept;

 private:
  ComApartment& apartment_;
  ComPtr<IAccPropServices> service_;
  bool tried_ = false;
  std::vector<HWND> annotated_;
};

}  // namespace velmora::win32
