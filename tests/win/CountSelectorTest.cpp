// Counting up and down with the mouse and the keyboard; the focus filter lets a count button take
// the focus (and keys) without showing it.
#include <gtest/gtest.h>

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
  live.Keys({{VK_TAB}, {VK_TAB}});
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
  // Under the filter, the procedure every control of the window has.
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(PrevWndProc(live.Control(cmdUp))),
            ::GetWindowLongPtrW(live.Control(cmdMake), GWLP_WNDPROC));
  EXPECT_EQ(PrevWndProc(live.Control(cmdMake)), nullptr);
}

}  // namespace
}  // namespace velmora::testing
