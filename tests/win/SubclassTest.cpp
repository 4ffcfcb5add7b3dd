// The one way the program subclasses a window: layers stack, each finds its own record, and a
// layer that cannot go in leaves the window as it was.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Subclass.h"

namespace velmora::testing {
namespace {

using win32::CallPrevious;
using win32::FindSubclass;
using win32::Subclass;

constexpr UINT kProbe = WM_APP + 7;
constexpr wchar_t kInner[] = L"Test.Inner";
constexpr wchar_t kOuter[] = L"Test.Outer";

std::wstring trail;  // which layers a probe went through, outermost first

template <const wchar_t* Layer, wchar_t Mark>
LRESULT CALLBACK LayerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) {
    const win32::SubclassRecord* record = FindSubclass(hwnd, Layer);
    trail += Mark;
    trail += record != nullptr && record->context != nullptr ? *static_cast<const wchar_t*>(record->context)
                                                             : L'?';
  }
  return CallPrevious(hwnd, Layer, msg, wParam, lParam);
}

constexpr WNDPROC kInnerProc = &LayerProc<kInner, L'I'>;
constexpr WNDPROC kOuterProc = &LayerProc<kOuter, L'O'>;

class SubclassLayers : public ::testing::Test {
 protected:
  void SetUp() override {
    window =
        ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    trail.clear();
  }
  void TearDown() override { ::DestroyWindow(window); }

  HWND window = nullptr;
  WNDPROC original = nullptr;
  const wchar_t innerContext = L'i';
  const wchar_t outerContext = L'o';
};

TEST_F(SubclassLayers, StackAndEachFindsItsOwnRecord) {
  ASSERT_TRUE(Subclass(window, kInner, kInnerProc, const_cast<wchar_t*>(&innerContext)));
  ASSERT_TRUE(Subclass(window, kOuter, kOuterProc, const_cast<wchar_t*>(&outerContext)));
  EXPECT_EQ(FindSubclass(window, kInner)->previous, original);
  EXPECT_EQ(FindSubclass(window, kOuter)->previous, kInnerProc);
  ::SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(trail, L"OoIi");
  // Below the layers the window's own procedure still answers.
  ::SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"changed"));
  wchar_t text[16]{};
  EXPECT_EQ(::SendMessageW(window, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(text)), 7);
  EXPECT_STREQ(text, L"changed");
}

TEST_F(SubclassLayers, TheSameLayerTwiceIsRefusedAndChangesNothing) {
  ASSERT_TRUE(Subclass(window, kInner, kInnerProc, const_cast<wchar_t*>(&innerContext)));
  EXPECT_FALSE(Subclass(window, kInner, kOuterProc, nullptr));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)), kInnerProc);
  ::SendMessageW(window, kProbe, 0, 0);
  EXPECT_EQ(trail, L"Ii");
}

// Another process's window cannot be subclassed: the attempt says why it failed and leaves
// neither a record nor a new procedure behind.
TEST(Subclass, AWindowThatCannotBeSubclassedKeepsNoRecord) {
  const HWND desktop = ::GetDesktopWindow();
  const LONG_PTR before = ::GetWindowLongPtrW(desktop, GWLP_WNDPROC);
  EXPECT_FALSE(Subclass(desktop, kInner, kInnerProc, nullptr));
  EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(FindSubclass(desktop, kInner), nullptr);
  EXPECT_EQ(::GetWindowLongPtrW(desktop, GWLP_WNDPROC), before);
}

}  // namespace
}  // namespace velmora::testing
