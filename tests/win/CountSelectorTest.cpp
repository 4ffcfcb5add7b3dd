// The count buttons clicked with the mouse: captions, enabled states, tab order and focus.
#include <gtest/gtest.h>

#include <vector>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class CountSelector : public ::testing::Test {
 protected:
  std::wstring Count() { return live.TextOf(live.Control(Label6)); }
  bool Enabled(ControlId id) { return ::IsWindowEnabled(live.Control(id)) != FALSE; }
  bool ComesBefore(ControlId first, ControlId second) {
    for (HWND child = ::GetWindow(live.Window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (child == live.Control(first)) {
        return true;
      }
      if (child == live.Control(second)) {
        return false;
      }
    }
    return false;
  }
  bool ShowsFocus(ControlId id) {
    return (::SendMessageW(live.Control(id), BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
  }

  LiveWindow live;
};

TEST_F(CountSelector, UpToFourAndDownToOneWithTheMouse) {
  live.ClickOn(cmdUp);
  EXPECT_EQ(Count(), L"2");
  EXPECT_TRUE(Enabled(cmdUp) && Enabled(cmdDown));
  EXPECT_TRUE(ComesBefore(cmdUp, cmdDown));
  live.ClickOn(cmdUp);
  EXPECT_EQ(Count(), L"3");
  live.ClickOn(cmdUp);
  EXPECT_EQ(Count(), L"4");
  EXPECT_FALSE(Enabled(cmdUp));
  EXPECT_TRUE(Enabled(cmdDown));
  EXPECT_EQ(::GetFocus(), live.Control(cmdDown));
  EXPECT_TRUE(ComesBefore(cmdDown, cmdUp));
  EXPECT_TRUE(ComesBefore(Text1, cmdDown));
  EXPECT_TRUE(ComesBefore(cmdUp, cmdMake));

  live.ClickOn(cmdUp);  // disabled: ignored
  EXPECT_EQ(Count(), L"4");

  live.ClickOn(cmdDown);
  EXPECT_EQ(Count(), L"3");
  EXPECT_TRUE(Enabled(cmdUp) && Enabled(cmdDown));
  live.ClickOn(cmdDown);
  live.ClickOn(cmdDown);
  EXPECT_EQ(Count(), L"1");
  EXPECT_TRUE(Enabled(cmdUp));
  EXPECT_FALSE(Enabled(cmdDown));
  EXPECT_EQ(::GetFocus(), live.Control(cmdUp));
  EXPECT_TRUE(ComesBefore(cmdUp, cmdDown));
}

TEST_F(CountSelector, TabFollowsTheSwappedOrderAtTheTop) {
  for (int i = 0; i < 3; ++i) {
    live.ClickOn(cmdUp);
  }
  ASSERT_EQ(::GetFocus(), live.Control(cmdDown));
  live.PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), live.Control(cmdMake));  // cmdUp is disabled
  live.PressKey(VK_TAB);
  live.PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), live.Control(cmdDown));
}

// The focus moves to a count button, and keyboard input goes to it, but it draws no focus.
TEST_F(CountSelector, AFocusedCountButtonShowsNoFocus) {
  for (int i = 0; i < 3; ++i) {
    live.ClickOn(cmdUp);
  }
  ASSERT_EQ(::GetFocus(), live.Control(cmdDown));
  EXPECT_FALSE(ShowsFocus(cmdDown));
  live.PressKey(VK_SPACE);
  EXPECT_EQ(Count(), L"3");
  live.ClickOn(cmdDown);
  live.ClickOn(cmdDown);
  EXPECT_EQ(Count(), L"1");
  EXPECT_EQ(::GetFocus(), live.Control(cmdUp));
  EXPECT_FALSE(ShowsFocus(cmdUp));
  // Without the hook a button does show it: cmdMake, given the focus the same way.
  ::SetFocus(live.Control(cmdMake));
  EXPECT_TRUE(ShowsFocus(cmdMake));
}

}  // namespace
}  // namespace velmora::testing
