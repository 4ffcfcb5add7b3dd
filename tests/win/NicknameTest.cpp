// Editing the nickname as in any text box (the subclass and dialog loop let it all through), and
// making the code by mouse or keyboard: the clipboard as another program reads it, the box shown.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

using Range = std::pair<DWORD, DWORD>;
const Box kDone{texts::kDoneTitle, win32::WithWindowsLineEnds(texts::kDone), BoxIcon::Information};
const std::wstring kTheirs = L"the user's own clipboard";

class Nickname : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(live.Forms().ReplaceClipboardText(kTheirs), ClipboardResult::Replaced); }
  void SetNickname(const std::wstring& nickname) { ::SetWindowTextW(live.Control(Text1), nickname.c_str()); }
  // The box that the input raises (by default, a click on the make button): its title, text and
  // icon; it has one button and belongs to the window.
  Box BoxAfter(const std::function<void()>& input = {}) {
    const std::size_t before = boxes.boxes.size();
    input ? input() : live.ClickOn(cmdMake);
    if (!live.PumpUntil([&] { return boxes.boxes.size() > before; })) {
      return {L"no box", L"", BoxIcon::None};
    }
    const CaughtBox& box = boxes.boxes.back();
    EXPECT_TRUE(box.buttons == 1 && box.owner == live.Window()) << box.buttons;
    return box.seen;
  }

  MessageBoxCatcher boxes;
  LiveWindow live;
};

TEST_F(Nickname, DraggingSelectsAndScrollsPastTheEdge) {
  const RECT box = live.ClientRectOf(Text1);
  const int y = (box.top + box.bottom) / 2;
  live.Drag({{box.left + 3, y}, {box.left + 40, y}, {box.right - 5, y}});
  EXPECT_EQ(live.Selection(), (Range{0, 7}));
  ::SetWindowTextW(live.Control(Text1), std::wstring(100, L'\u540D').c_str());  // far longer than the box
  live.Pump(600);  // longer than a double-click: this press starts a new drag
  live.Drag({{box.left + 3, y}, {box.right + 20, y}, {box.right + 21, y}, {box.right + 20, y}, {box.right + 21, y},
             {box.right + 20, y}, {box.right + 21, y}});
  EXPECT_EQ(live.Selection().first, 0u);
  EXPECT_GT(live.Selection().second, 12u) << "the box shows about ten characters";
}

TEST_F(Nickname, KeyboardSelectionClipboardKeysUndoAndInputMethod) {
  live.Keys({{VK_HOME}, {VK_SHIFT, VK_END}, {VK_CONTROL, 'C'}});
  EXPECT_EQ(ClipboardText(), L"Corvane");
  live.Keys({{VK_END}, {VK_SHIFT, VK_LEFT}, {VK_SHIFT, VK_LEFT}});
  live.Type(L"X");  // replaces what is selected
  EXPECT_EQ(live.Text(Text1), L"CorvaX");
  live.Keys({{VK_CONTROL, 'Z'}});
  EXPECT_EQ(live.Text(Text1), L"Corvane");
  live.Keys({{VK_HOME}, {VK_SHIFT, VK_RIGHT}, {VK_CONTROL, 'X'}, {VK_END}, {VK_CONTROL, 'V'}});
  EXPECT_EQ(live.Text(Text1), L"orvaneC");
  ::PostMessageW(live.Control(Text1), WM_IME_CHAR, L'\u540D', 1);  // what an input method delivers
  live.Pump(50);
  EXPECT_EQ(live.Text(Text1), L"orvaneC\u540D");
}

// The menu runs its own loop inside the right click; the user's keys come once it shows.
TEST_F(Nickname, TheRightClickMenuSelectsAll) {
  std::thread user([] {
    HWND menu = nullptr;
    if (WaitFor([&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); }, 5000)) {
      // Up: from no item to the last, Select All; then Enter.
      INPUT keys[] = {Key(VK_UP), Key(VK_UP, KEYEVENTF_KEYUP), Key(VK_RETURN), Key(VK_RETURN, KEYEVENTF_KEYUP)};
      ::SendInput(4, keys, sizeof(INPUT));
      if (!WaitFor([&] { return !::IsWindowVisible(menu); }, 3000)) {
        SendClick({2, 2});  // closes it, so that a fault fails the test instead of hanging it
      }
    }
  });
  live.ClickOn(Text1, 1, MOUSEEVENTF_RIGHTDOWN);
  live.PumpUntil([&] { return live.Selection() == Range{0, 7}; });
  user.join();
  EXPECT_EQ(live.Selection(), (Range{0, 7}));
}

TEST_F(Nickname, TheCodeReplacesEverythingOnTheClipboard) {
  const UINT custom = ::RegisterClipboardFormatW(L"Velmora.Test.Other");
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::SetClipboardData(custom, ::GlobalAlloc(GMEM_MOVEABLE, 4));
  ::CloseClipboard();
  SetNickname(L"abc");
  live.ClickOn(cmdUp);
  live.ClickOn(cmdUp);
  EXPECT_EQ(BoxAfter(), kDone);
  EXPECT_EQ(ClipboardText(), L"\x0001\x0001\x0001" L"abc");
  EXPECT_FALSE(::IsClipboardFormatAvailable(custom)) << "the previous content must be gone";
  // The last one stays for x_clipboard_test.sh, which reads it from the desktop's clipboard.
  for (const std::wstring nickname : {L" ", L"  padded  ", L"\U0001F680\U0001F600", L"\u05E9\u05DC\u05D5\u05DD abc",
                                      L"\u202Eoverride", L"Ab \u540D\U0001F600"}) {
    SetNickname(nickname);
    EXPECT_EQ(BoxAfter(), kDone);
    EXPECT_EQ(ClipboardText(), L"\x0001\x0001\x0001" + nickname) << "arrives unchanged";
  }
}

// A double click empties the nickname and does nothing else; making a code of it is refused.
TEST_F(Nickname, ADoubleClickEmptiesItAndAnEmptyOneIsRefused) {
  live.ClickOn(cmdUp);
  live.ClickOn(Text1, 2);
  EXPECT_EQ(live.Text(Text1), L"");
  EXPECT_EQ(live.Text(Label6), L"2");
  EXPECT_TRUE(boxes.boxes.empty());
  live.ClickOn(cmdUp);  // the focus is elsewhere when the button is pressed
  EXPECT_EQ(BoxAfter(), (Box{L"出错提示", L"请先输入QQ昵称", BoxIcon::Error}));
  live.Pump(50);
  EXPECT_EQ(ClipboardText(), kTheirs);
  EXPECT_TRUE(live.Focused(Text1));
}

// Typed for real and made with Alt+C; Enter and Escape in the box press nothing, Space and Enter
// on the focused button press it.
TEST_F(Nickname, FromTheKeyboard) {
  live.Keys({{VK_RETURN}, {VK_ESCAPE}});
  live.Pump(200);
  EXPECT_TRUE(boxes.boxes.empty() && ::IsWindow(live.Window()));
  SetNickname(L"");
  const std::wstring typed = L"  \U0001F600 \u05E9\u05DC\u05D5\u05DD Ab ";
  live.Type(typed);
  EXPECT_EQ(live.Text(Text1), typed);
  EXPECT_EQ(BoxAfter([&] { live.Keys({{VK_MENU, 'C'}}); }), kDone);
  EXPECT_EQ(ClipboardText(), L"\x0001" + typed);
  ::SetFocus(live.Control(cmdMake));
  EXPECT_EQ(BoxAfter([&] { live.Keys({{VK_SPACE}}); }), kDone);
  EXPECT_EQ(BoxAfter([&] { live.Keys({{VK_RETURN}}); }), kDone);
}

// Another program holds the clipboard open: the user is told, nothing is lost, the next press works.
TEST_F(Nickname, ABusyClipboardIsReported) {
  std::atomic<bool> held = false;
  std::thread other([&held] {
    held = ::OpenClipboard(nullptr) != FALSE;
    ::Sleep(2500);
    ::CloseClipboard();
  });
  WaitFor([&] { return held.load(); }, 10000);
  SetNickname(L"kept");
  EXPECT_EQ(BoxAfter(), (Box{texts::kErrorTitle, win32::WithWindowsLineEnds(texts::kClipboardBusy), BoxIcon::Error}));
  EXPECT_FALSE(live.Forms().Failed());
  other.join();
  EXPECT_EQ(ClipboardText(), kTheirs);
  EXPECT_EQ(BoxAfter(), kDone);
  EXPECT_EQ(ClipboardText(), L"\x0001kept");
}

}  // namespace
}  // namespace velmora::testing
