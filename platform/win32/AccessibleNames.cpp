#include "platform/win32/AccessibleNames.h"

#include <initguid.h>  // defines the oleacc GUIDs here; nothing links oleacc.dll at load time
#include <oleacc.h>

#include <string>

#include "platform/win32/SystemDllSearch.h"

namespace velmora::win32 {

namespace {
template <typename Fn>
Fn Function(HMODULE module, const char* name) {
  return module == nullptr ? nullptr : reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}
}  // namespace

AccessibleNames::~AccessibleNames() {
  if (service_ != nullptr) {
    service_->Release();
  }
  if (comInitialized_) {
    if (const auto uninitialize = Function<decltype(&::CoUninitialize)>(ole32_.get(), "CoUninitialize")) {
      uninitialize();
    }
  }
}

void AccessibleNames::Annotate(std::span<const NamedWindow> windows) noexcept {
  if (tried_) {
    return;
  }
  tried_ = true;
  // CoCreateInstance loads oleacc.dll by its registered full path in the system folder.
  ole32_.reset(LoadSystemDll(L"ole32.dll"));
  const auto initialize = Function<decltype(&::CoInitializeEx)>(ole32_.get(), "CoInitializeEx");
  const auto create = Function<decltype(&::CoCreateInstance)>(ole32_.get(), "CoCreateInstance");
  if (initialize == nullptr || create == nullptr) {
    return;
  }
  comInitialized_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  void* service = nullptr;
  if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices, &service))) {
    return;
  }
  service_ = static_cast<IAccPropServices*>(service);
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
