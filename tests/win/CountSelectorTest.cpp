// Counting up and down with the mouse and the keyboard, and the focus filter that lets a count
// button take the focus without showing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "LiveWindow.h"
#include "app/hook/ButtonHook.h"

namespace velmora::testing {
namespace {

bool ComeInOrder(LiveWindow& live, std::initializer_list<ControlId> ids) {  // in the stacking, so in tab order
  auto next = ids.begin();
  for (HWND child = ::GetWindow(live.Window(), GW_CHILD); child && next != ids.end();
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    next += child == live.Control(*next) ? 1 : 0;
  }
  return next == ids.end();
}

bool ShowsFocus(HWND button) {
  return (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
}

// At the top the focus goes to the down button, which then comes before the up button in tab
// order; at the bottom back to the up button. A focused count button takes keys but draws no focus.
TEST(CountSelector, UpToFourAndDownToOne) {
  LiveWindow live;
  for (const wchar_t* count : {L"2", L"3", L"4", L"4"}) {  // the last click on a disabled button
    live.ClickOn(cmdUp);
    EXPECT_EQ(live.Text(Label6), count);
  }
  EXPECT_TRUE(!live.Enabled(cmdUp) && live.Enabled(cmdDown) && live.Focused(cmdDown));
  EXPECT_FALSE(ShowsFocus(live.Control(cmdDown)));
  EXPECT_TRUE(ComeInOrder(live, {Text1, cmdDown, cmdUp, cmdMake}));
  live.Press({VK_TAB});
  EXPECT_TRUE(live.Focused(cmdMake));
  live.Press({VK_TAB});
  live.Press({VK_TAB});
  EXPECT_TRUE(live.Focused(cmdDown));
  live.Press({VK_SPACE});
  EXPECT_EQ(live.Text(Label6), L"3");
  EXPECT_TRUE(live.Enabled(cmdUp) && live.Enabled(cmdDown));
  live.ClickOn(cmdDown);
  live.ClickOn(cmdDown);
  EXPECT_EQ(live.Text(Label6), L"1");
  EXPECT_TRUE(live.Enabled(cmdUp) && !live.Enabled(cmdDown) && live.Focused(cmdUp));
  EXPECT_FALSE(ShowsFocus(live.Control(cmdUp)));
  EXPECT_TRUE(ComeInOrder(live, {Text1, cmdUp, cmdDown, cmdMake}));
  live.Press({VK_RETURN});  // Enter presses the focused button
  EXPECT_EQ(live.Text(Label6), L"2");
  ::SetFocus(live.Control(cmdMake));  // a button without the filter does show it
  EXPECT_TRUE(ShowsFocus(live.Control(cmdMake)));
}

// The filter checked the way Wine's conformance tests check message handling: a recording
// procedure under it, one per button, and the sequence each sees compared.
struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Message&) const = default;
};
constexpr UINT kProbe = WM_APP + 1;  // answered by the recorder with a value of its own

template <int N>
struct Recorder {
  static inline std::vector<Message> log;
  static inline WNDPROC original = nullptr;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    constexpr UINT kRecorded[] = {kProbe,        WM_SETFOCUS, WM_KILLFOCUS, WM_PAINT,
                                  WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN,  WM_KEYUP};
    if (std::find(std::begin(kRecorded), std::end(kRecorded), msg) != std::end(kRecorded)) {
      log.push_back({msg, wParam, lParam});
    }
    return msg == kProbe ? 0x5A50 + N : ::CallWindowProcW(original, hwnd, msg, wParam, lParam);
  }
  static void Under(HWND button) {
    original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    HookButton(reinterpret_cast<WindowHandle>(button));
    log.clear();
  }
};

TEST(FocusFilter, DropsOnlyWmSetFocusAndKeepsEachButtonsOwnProcedure) {
  const HWND parent = ::CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                        100, nullptr, nullptr, nullptr, nullptr);
  auto button = [&](int x) {
    return ::CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 0, 40, 20, parent,
                             nullptr, nullptr, nullptr);
  };
  const HWND first = button(0), second = button(50);
  ::SetForegroundWindow(parent);
  Recorder<1>::Under(first);
  Recorder<2>::Under(second);
  HookButton(reinterpret_cast<WindowHandle>(first));  // twice: no loop
  EXPECT_EQ(PrevWndProc(first), &Recorder<1>::Proc);
  EXPECT_EQ(::SendMessageW(first, kProbe, 1, 2), 0x5A51) << "results come back unchanged";
  EXPECT_EQ(::SendMessageW(second, kProbe, 3, 4), 0x5A52);
  ::SetFocus(first);
  ::SetFocus(second);
  EXPECT_EQ(::GetFocus(), second);
  EXPECT_EQ(::SendMessageW(first, WM_SETFOCUS, 0, 0), 0);
  ::SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  ::SendMessageW(first, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  ::SendMessageW(first, WM_KEYDOWN, VK_SPACE, 0x00390001);
  ::SendMessageW(first, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  ::InvalidateRect(first, nullptr, TRUE);
  ::UpdateWindow(first);
  EXPECT_EQ(Recorder<1>::log, (std::vector<Message>{{kProbe, 1, 2},
                                                    {WM_KILLFOCUS, reinterpret_cast<WPARAM>(second), 0},
                                                    {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)},
                                                    {WM_LBUTTONUP, 0, MAKELPARAM(3, 4)},
                                                    {WM_KEYDOWN, VK_SPACE, 0x00390001},
                                                    {WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u)},
                                                    {WM_PAINT, 0, 0}}));
  // The press took the focus back to the first button: only the second hears of it.
  EXPECT_EQ(Recorder<2>::log, (std::vector<Message>{{kProbe, 3, 4}, {WM_KILLFOCUS, reinterpret_cast<WPARAM>(first), 0}}));
  ::DestroyWindow(parent);
}

}  // namespace
}  // namespace velmora::testing
