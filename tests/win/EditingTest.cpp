// Selecting and editing the nickname as in any standard text box: with the mouse, the
// keyboard, the clipboard keys, the edit menu and an input method.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class Editing : public ::testing::Test {
 protected:
  HWND Box() const { return live.Control(Text1); }
  std::pair<DWORD, DWORD> Selection() const {
    DWORD start = 0, end = 0;
    ::SendMessageW(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  std::wstring Text() const { return live.TextOf(Box()); }

  LiveWindow live;
};

TEST_F(Editing, DraggingTheMouseSelectsAndScrollsPastTheEdge) {
  const RECT box = live.ClientRectOf(Text1);
  const int middle = (box.top + box.bottom) / 2;
  live.Drag({{box.left + 3, middle}, {box.left + 40, middle}, {box.right - 5, middle}});
  EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>{0, 7}));

  // A nickname far longer than the box: dragging beyond its right edge scrolls it along.
  ::SetWindowTextW(Box(), std::wstring(100, L'\u540D').c_str());
  ::SendMessageW(Box(), EM_SETSEL, 0, 0);
  ::SendMessageW(Box(), EM_SCROLLCARET, 0, 0);
  live.Pump(600);  // longer than a double-click: this press starts a new drag
  live.Drag({{box.left + 3, middle},
             {box.right + 20, middle},
             {box.right + 21, middle},
             {box.right + 20, middle},
             {box.right + 21, middle},
             {box.right + 20, middle},
             {box.right + 21, middle}});
  const auto [start, end] = Selection();
  EXPECT_EQ(start, 0u);
  EXPECT_GT(end, 12u) << "the box shows about ten characters";
  EXPECT_GT(::SendMessageW(Box(), EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "scrolled while dragging";
}

TEST_F(Editing, KeyboardSelectionClipboardKeysUndoAndInputMethod) {
  ASSERT_EQ(::GetFocus(), Box());
  live.PressKey(VK_HOME);
  live.Press({VK_SHIFT, VK_END});
  EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>{0, 7}));
  live.Press({VK_CONTROL, 'C'});
  EXPECT_EQ(ClipboardText(), L"Corvane");

  live.PressKey(VK_END);
  live.Press({VK_SHIFT, VK_LEFT});
  live.Press({VK_SHIFT, VK_LEFT});
  EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>{5, 7}));
  live.Type(L"X");  // typing replaces the selection
  EXPECT_EQ(Text(), L"CorvaX");
  live.Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(Text(), L"Corvane");

  live.PressKey(VK_HOME);
  live.Press({VK_SHIFT, VK_RIGHT});
  live.Press({VK_CONTROL, 'X'});
  EXPECT_EQ(Text(), L"orvane");
  EXPECT_EQ(ClipboardText(), L"C");
  live.PressKey(VK_END);
  live.Press({VK_CONTROL, 'V'});
  EXPECT_EQ(Text(), L"orvaneC");

  // What an input method delivers for a composed character reaches the box unchanged.
  ::PostMessageW(Box(), WM_IME_CHAR, L'\u540D', 1);
  live.Pump(50);
  EXPECT_EQ(Text(), L"orvaneC\u540D");
}

// The menu runs its own loop inside the box's right-click; the user's keys come once it shows.
TEST_F(Editing, TheRightClickMenuSelectsAllAndTypingReplacesIt) {
  std::thread user([] {
    HWND menu = nullptr;
    for (int i = 0; i < 500 && !(menu && ::IsWindowVisible(menu)); ++i) {
      ::Sleep(10);
      menu = ::FindWindowW(L"#32768", nullptr);
    }
    if (menu == nullptr) {
      return;
    }
    INPUT keys[4]{};
    const WORD codes[] = {VK_UP, VK_UP, VK_RETURN, VK_RETURN};  // Up: the last item, Select All
    for (int i = 0; i < 4; ++i) {
      keys[i].type = INPUT_KEYBOARD;
      keys[i].ki.wVk = codes[i];
      keys[i].ki.dwFlags = i % 2 == 1 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, keys, sizeof(INPUT));
    for (int i = 0; i < 300 && ::IsWindowVisible(menu); ++i) {
      ::Sleep(10);
    }
    if (::IsWindowVisible(menu)) {
      SendClick({2, 2});  // a click elsewhere closes it, so a fault fails the test instead of hanging it
    }
  });
  live.RightClickOn(Text1);
  live.PumpUntil([&] { return Selection() == std::pair<DWORD, DWORD>{0, 7}; });
  user.join();
  EXPECT_EQ(Selection(), (std::pair<DWORD, DWORD>{0, 7}));
  live.Type(L"\u65B0\u540D");
  EXPECT_EQ(Text(), L"\u65B0\u540D");
}

}  // namespace
}  // namespace velmora::testing
