// The keyboard as a user works it: Tab order, the access key, Enter and Escape.
#include <gtest/gtest.h>

#include "LiveWindow.h"
#include "MessageBoxCatcher.h"
#include "app/NicknameCode.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class Keyboard : public ::testing::Test {
 protected:
  void SetUp() override { PutOnClipboard(L"before"); }
  MessageBoxCatcher boxes;
  LiveWindow live;
};

TEST_F(Keyboard, AltCPressesTheMakeButton) {
  live.PressKey('C', true);
  ASSERT_TRUE(live.PumpUntil([&] { return !boxes.boxes.empty(); }));
  EXPECT_EQ(boxes.boxes[0].title, L"温馨提示");
  EXPECT_EQ(ClipboardText(), std::wstring(1, kFillerChar) + L"Corvane");
}

TEST_F(Keyboard, EnterAndEscapeInTheTextBoxPressNothing) {
  ASSERT_EQ(::GetFocus(), live.Control(Text1));
  live.PressKey(VK_RETURN);
  live.PressKey(VK_ESCAPE);
  live.Pump(200);
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_TRUE(::IsWindow(live.Window()));
  EXPECT_EQ(live.TextOf(live.Control(Text1)), L"Corvane");
}

TEST_F(Keyboard, TabVisitsTheEnabledControlsInTabOrder) {
  live.PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), live.Control(cmdUp));  // cmdDown is disabled at the start
  live.PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), live.Control(cmdMake));
  live.PressKey(VK_TAB);
  EXPECT_EQ(::GetFocus(), live.Control(Text1));
}

TEST_F(Keyboard, EnterAndSpaceOnAFocusedButtonPressIt) {
  live.PressKey(VK_TAB);
  ASSERT_EQ(::GetFocus(), live.Control(cmdUp));
  live.PressKey(VK_SPACE);
  EXPECT_EQ(live.TextOf(live.Control(Label6)), L"2");
  live.PressKey(VK_RETURN);
  EXPECT_EQ(live.TextOf(live.Control(Label6)), L"3");
}

TEST_F(Keyboard, TypedNicknameArrivesExactly) {
  ::SetWindowTextW(live.Control(Text1), L"");
  const std::wstring typed = L"  \U0001F600 \u05E9\u05DC\u05D5\u05DD Ab ";
  live.Type(typed);
  EXPECT_EQ(live.TextOf(live.Control(Text1)), typed);
  live.PressKey('C', true);
  ASSERT_TRUE(live.PumpUntil([&] { return !boxes.boxes.empty(); }));
  EXPECT_EQ(ClipboardText(), std::wstring(1, kFillerChar) + typed);
}

}  // namespace
}  // namespace velmora::testing
