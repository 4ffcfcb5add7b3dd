#include "platform/win32/ComApartment.h"

#include "base/win32/DllSearch.h"
#include "base/win32/SystemFunction.h"

namespace velmora::win32 {

ComApartment::~ComApartment() {
  if (mustLeave_) {
    if (const auto leave = SystemFunction<decltype(&::CoUninitialize)>(ole32_.get(), "CoUninitialize")) {
      leave();
    }
  }
}

bool ComApartment::Enter() noexcept {
  if (tried_) {
    return entered_;
  }
  tried_ = true;
  ole32_.reset(LoadSystemDll(L"ole32.dll"));
  const auto enter = SystemFunction<decltype(&::CoInitializeEx)>(ole32_.get(), "CoInitializeEx");
  if (enter == nullptr) {
    return false;
  }
  const HRESULT result = enter(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  mustLeave_ = SUCCEEDED(result);  // S_FALSE too: already in this apartment, one more to leave
  entered_ = mustLeave_ || result == RPC_E_CHANGED_MODE;
  return entered_;
}

HRESULT ComApartment::CreateInstance(REFCLSID cls, REFIID iid, void** object) noexcept {
  const auto create =
      Enter() ? SystemFunction<decltype(&::CoCreateInstance)>(ole32_.get(), "CoCreateInstance") : nullptr;
  return create == nullptr ? E_FAIL : create(cls, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

}  // namespace velmora::win32
