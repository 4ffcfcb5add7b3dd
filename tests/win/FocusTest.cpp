// Switching away and back: the control that had the focus keeps it, as in a dialog.
#include <gtest/gtest.h>

#include "LiveWindow.h"
#include "WindowFrame.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class Focus : public ::testing::Test {
 protected:
  LiveWindow live;
};

TEST_F(Focus, SwitchingToAnotherWindowAndBackKeepsTheFocusedControl) {
  live.PressKey(VK_TAB);
  ASSERT_EQ(::GetFocus(), live.Control(cmdUp));
  // Another program's window, away from ours; the user clicks it, then our title bar.
  const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200,
                                       120, nullptr, nullptr, nullptr, nullptr);
  live.ClickAtScreen({110, 80});
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == other; }));
  const auto caption = FramePoint(live.Window(), HTCAPTION);
  ASSERT_TRUE(caption);
  live.ClickAtScreen(*caption);
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == live.Window(); }));
  live.Pump(50);
  EXPECT_EQ(::GetFocus(), live.Control(cmdUp));
  ::DestroyWindow(other);
}

TEST_F(Focus, MinimiseAndRestoreKeepTheFocusTheCountSelectorMoved) {
  for (int i = 0; i < 3; ++i) {
    live.ClickOn(cmdUp);
  }
  ASSERT_EQ(::GetFocus(), live.Control(cmdDown));
  const auto minimise = FramePoint(live.Window(), HTMINBUTTON);
  ASSERT_TRUE(minimise);
  live.ClickAtScreen(*minimise);
  ASSERT_TRUE(live.PumpUntil([&] { return ::IsIconic(live.Window()) != FALSE; }));
  // Restored as the taskbar restores a window.
  ::PostMessageW(live.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(live.PumpUntil([&] { return !::IsIconic(live.Window()); }));
  live.Pump(50);
  EXPECT_EQ(::GetFocus(), live.Control(cmdDown));
  EXPECT_FALSE(::SendMessageW(live.Control(cmdDown), BM_GETSTATE, 0, 0) & BST_FOCUS) << "still no focus look";
}

}  // namespace
}  // namespace velmora::testing
