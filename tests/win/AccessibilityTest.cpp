// What a screen reader is told: the nickname box by its prompt, the arrow buttons by what
// they do. The names are annotations on the controls' standard accessible objects. Wine's
// annotation service is a stub, so the test puts a recording one in its place, registered
// for the same class, and asks for the controls' objects as a screen reader does.
#include <initguid.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LiveWindow.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using enum ControlId;

struct Annotation {
  HWND hwnd;
  DWORD object;
  DWORD child;
  bool isName;
  std::wstring value;  // empty for a cleared one
};

// COM interfaces have no virtual destructor: objects are released through their interfaces.
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
class RecordingPropServices final : public IAccPropServices, public IClassFactory {
 public:
  std::vector<Annotation> set, cleared;

  // IUnknown: one static object, never freed.
  HRESULT WINAPI QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IAccPropServices) {
      *out = static_cast<IAccPropServices*>(this);
    } else if (riid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }

  // IClassFactory.
  HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
    return outer != nullptr ? CLASS_E_NOAGGREGATION : QueryInterface(riid, out);
  }
  HRESULT WINAPI LockServer(BOOL) override { return S_OK; }

  // IAccPropServices: what the window uses is recorded.
  HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID prop, LPCWSTR str) override {
    set.push_back({hwnd, object, child, prop == PROPID_ACC_NAME, str});
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD object, DWORD child, const MSAAPROPID* props,
                                int count) override {
    cleared.push_back({hwnd, object, child, count == 1 && props[0] == PROPID_ACC_NAME, L""});
    return S_OK;
  }
  HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                   AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override { return E_NOTIMPL; }
};

TEST(Accessibility, AScreenReaderHearsThePromptAndWhatTheArrowsDo) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  static RecordingPropServices service;
  DWORD cookie = 0;
  ASSERT_EQ(::CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&service),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  HWND box = nullptr, up = nullptr, down = nullptr;
  {
    LiveWindow live;
    box = live.Control(Text1);
    up = live.Control(cmdUp);
    down = live.Control(cmdDown);
    EXPECT_TRUE(service.set.empty()) << "nothing is loaded before a screen reader asks";

    // A screen reader follows the focus to the count button and asks for its object.
    IAccessible* object = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(up, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                           reinterpret_cast<void**>(&object)),
              S_OK);
    object->Release();
    ASSERT_EQ(service.set.size(), 3u);
    const std::vector<std::pair<HWND, std::wstring_view>> expected = {
        {box, L"请输入QQ昵称："}, {up, L"增加空格"}, {down, L"减少空格"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const Annotation& a = service.set[i];
      EXPECT_EQ(a.hwnd, expected[i].first);
      EXPECT_EQ(a.object, static_cast<DWORD>(OBJID_CLIENT));
      EXPECT_EQ(a.child, static_cast<DWORD>(CHILDID_SELF));
      EXPECT_TRUE(a.isName);
      EXPECT_EQ(a.value, expected[i].second);
    }
    ::SendMessageW(box, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
    EXPECT_EQ(service.set.size(), 3u) << "annotated once";
  }
  // Closing the window takes the annotations off while the controls still exist.
  ASSERT_EQ(service.cleared.size(), 3u);
  EXPECT_EQ(service.cleared[0].hwnd, box);
  EXPECT_EQ(service.cleared[1].hwnd, up);
  EXPECT_EQ(service.cleared[2].hwnd, down);
  EXPECT_TRUE(service.cleared[0].isName && service.cleared[1].isName && service.cleared[2].isName);
  ::CoRevokeClassObject(cookie);
  ::CoUninitialize();
}

}  // namespace
}  // namespace velmora::testing
