// What a screen reader is told: the nickname box by its prompt, the arrow buttons by what they do,
// as annotations on the controls' standard accessible objects. Wine's annotation service is a stub:
// a recording one takes its place, registered for the same class.
#include <initguid.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

// The control, its object and child, whether the property is the name, and the value (none when cleared).
using Annotation = std::tuple<HWND, DWORD, DWORD, bool, std::wstring>;

#define NOT_USED(signature) HRESULT WINAPI signature override { return E_NOTIMPL; }

// COM interfaces have no virtual destructor: objects are released through their interfaces.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class RecordingPropServices final : public IAccPropServices, public IClassFactory {
 public:
  std::vector<Annotation> set, cleared;

  HRESULT WINAPI QueryInterface(REFIID riid, void** out) override {  // one static object, never freed
    *out = riid == IID_IClassFactory ? static_cast<void*>(static_cast<IClassFactory*>(this))
           : riid == IID_IUnknown || riid == IID_IAccPropServices ? static_cast<IAccPropServices*>(this) : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    return outer != nullptr ? CLASS_E_NOAGGREGATION : QueryInterface(riid, out);
  }
  HRESULT WINAPI LockServer(BOOL) override { return S_OK; }

  HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID prop, LPCWSTR str) override {
    set.push_back({hwnd, object, child, prop == PROPID_ACC_NAME, str});
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD object, DWORD child, const MSAAPROPID* props, int n) override {
    cleared.push_back({hwnd, object, child, n == 1 && props[0] == PROPID_ACC_NAME, L""});
    return S_OK;
  }
  NOT_USED(SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT))
  NOT_USED(SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
  NOT_USED(ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int))
  NOT_USED(ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int))
  NOT_USED(SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT))
  NOT_USED(SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT))
  NOT_USED(SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
  NOT_USED(ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*))
  NOT_USED(DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*))
  NOT_USED(SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR))
  NOT_USED(ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*))
  NOT_USED(SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope))
  NOT_USED(DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*))
};

TEST(Accessibility, AScreenReaderHearsThePromptAndWhatTheArrowsDo) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  static RecordingPropServices service;
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, ::CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&service),
                                          CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
  std::vector<Annotation> names;
  {
    LiveWindow live;
    EXPECT_TRUE(service.set.empty()) << "nothing is loaded before a screen reader asks";
    const auto self = static_cast<DWORD>(CHILDID_SELF), client = static_cast<DWORD>(OBJID_CLIENT);
    names = {{live.Control(Text1), client, self, true, L"请输入QQ昵称："},
             {live.Control(cmdUp), client, self, true, L"增加空格"},
             {live.Control(cmdDown), client, self, true, L"减少空格"}};
    // A screen reader follows the focus to a count button and asks for its object.
    IAccessible* object = nullptr;
    ASSERT_EQ(S_OK, ::AccessibleObjectFromWindow(live.Control(cmdUp), client, IID_IAccessible,
                                                 reinterpret_cast<void**>(&object)));
    object->Release();
    EXPECT_EQ(service.set, names);
    ::SendMessageW(live.Control(Text1), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    EXPECT_EQ(service.set.size(), 3u) << "annotated once";
  }
  // Closing the window takes the annotations off while the controls still exist.
  std::ranges::for_each(names, [](Annotation& name) { std::get<std::wstring>(name).clear(); });
  EXPECT_EQ(service.cleared, names);
  ::CoRevokeClassObject(cookie);
  ::CoUninitialize();
}

}  // namespace
}  // namespace velmora::testing
