// The focus filter, checked the way Wine's conformance tests check message handling: a
// recording procedure sits under the filter, and the sequence it sees is compared.
#include <gtest/gtest.h>

#include <vector>

#include "LiveWindow.h"
#include "app/hook/ButtonHook.h"

namespace velmora::testing {
namespace {

struct Message {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Message&) const = default;
};

constexpr UINT kProbe = WM_APP + 1;  // answered by the recorder with a value of its own
constexpr LRESULT kProbeAnswer = 0x5A5A;

bool Interesting(UINT msg) {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_PAINT:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case kProbe:
      return true;
    default:
      return false;
  }
}

// Two recorders, so that two hooked buttons can be told apart.
template <int N>
struct Recorder {
  static inline std::vector<Message> log;
  static inline WNDPROC original = nullptr;
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Interesting(msg)) {
      log.push_back({msg, wParam, lParam});
    }
    if (msg == kProbe) {
      return kProbeAnswer + N;
    }
    return ::CallWindowProcW(original, hwnd, msg, wParam, lParam);
  }
  static void Install(HWND button) {
    log.clear();
    original = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
};

class ButtonHook : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = ::CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    first = ::CreateWindowExW(0, L"BUTTON", L"1", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, 40, 20, parent,
                              reinterpret_cast<HMENU>(101), nullptr, nullptr);
    second = ::CreateWindowExW(0, L"BUTTON", L"2", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 50, 0, 40, 20,
                               parent, reinterpret_cast<HMENU>(102), nullptr, nullptr);
    ::SetForegroundWindow(parent);
    Recorder<1>::Install(first);
    Recorder<2>::Install(second);
    HookButton(reinterpret_cast<WindowHandle>(first));
    HookButton(reinterpret_cast<WindowHandle>(second));
    Recorder<1>::log.clear();
    Recorder<2>::log.clear();
  }
  void TearDown() override { ::DestroyWindow(parent); }

  HWND parent = nullptr, first = nullptr, second = nullptr;
};

TEST_F(ButtonHook, EachButtonKeepsItsOwnPreviousProcedure) {
  EXPECT_EQ(PrevWndProc(first), &Recorder<1>::Proc);
  EXPECT_EQ(PrevWndProc(second), &Recorder<2>::Proc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(first, GWLP_WNDPROC)), &ButtonWndProc);
  // Results come back unchanged, each from its own button's procedure.
  EXPECT_EQ(::SendMessageW(first, kProbe, 1, 2), kProbeAnswer + 1);
  EXPECT_EQ(::SendMessageW(second, kProbe, 3, 4), kProbeAnswer + 2);
  EXPECT_EQ(Recorder<1>::log, (std::vector<Message>{{kProbe, 1, 2}}));
  EXPECT_EQ(Recorder<2>::log, (std::vector<Message>{{kProbe, 3, 4}}));
}

TEST_F(ButtonHook, FocusMovesButTheButtonNeverSeesWmSetFocus) {
  ::SetFocus(first);
  EXPECT_EQ(::GetFocus(), first);
  ::SetFocus(second);
  EXPECT_EQ(::GetFocus(), second);
  EXPECT_EQ(Recorder<1>::log, (std::vector<Message>{{WM_KILLFOCUS, reinterpret_cast<WPARAM>(second), 0}}));
  EXPECT_TRUE(Recorder<2>::log.empty());
  EXPECT_EQ((::SendMessageW(second, BM_GETSTATE, 0, 0) & BST_FOCUS), 0);

  EXPECT_EQ(::SendMessageW(first, WM_SETFOCUS, reinterpret_cast<WPARAM>(second), 0), 0);
  EXPECT_EQ(ButtonWndProc(first, WM_SETFOCUS, 0, 0), 0);
  EXPECT_EQ(Recorder<1>::log.size(), 1u);
}

TEST_F(ButtonHook, OtherMessagesPassWithTheirParametersUnchanged) {
  ::SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  ::SendMessageW(first, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
  ::SendMessageW(first, WM_KEYDOWN, VK_SPACE, 0x00390001);
  ::SendMessageW(first, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  ::InvalidateRect(first, nullptr, TRUE);
  ::UpdateWindow(first);
  const std::vector<Message> expected = {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4)},
                                         {WM_LBUTTONUP, 0, MAKELPARAM(3, 4)},
                                         {WM_KEYDOWN, VK_SPACE, 0x00390001},
                                         {WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u)},
                                         {WM_PAINT, 0, 0}};
  EXPECT_EQ(Recorder<1>::log, expected);
}

TEST_F(ButtonHook, ClicksStillReachTheParent) {
  MSG msg;
  ::SendMessageW(first, BM_CLICK, 0, 0);
  bool clicked = false;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::DispatchMessageW(&msg);
  }
  // BM_CLICK goes through the button's own procedure, which notifies the parent.
  for (const Message& m : Recorder<1>::log) {
    clicked |= m.msg == WM_LBUTTONDOWN || m.msg == WM_LBUTTONUP;
  }
  EXPECT_TRUE(clicked);
}

TEST_F(ButtonHook, HookingTwiceDoesNotLoop) {
  HookButton(reinterpret_cast<WindowHandle>(first));
  EXPECT_EQ(PrevWndProc(first), &Recorder<1>::Proc);
  EXPECT_EQ(::SendMessageW(first, kProbe, 0, 0), kProbeAnswer + 1);
}

TEST(ButtonHookOnTheWindow, BothCountButtonsCarryTheFilterAfterStartUp) {
  LiveWindow live;
  for (ControlId id : {ControlId::cmdUp, ControlId::cmdDown}) {
    const HWND button = live.Control(id);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(button, GWLP_WNDPROC)), &ButtonWndProc);
    EXPECT_NE(PrevWndProc(button), nullptr);
  }
  EXPECT_EQ(PrevWndProc(live.Control(ControlId::cmdMake)), nullptr);
}

}  // namespace
}  // namespace velmora::testing
