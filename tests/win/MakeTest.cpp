// The make button end to end: the clipboard read back through Win32, the boxes as shown.
#include <gtest/gtest.h>

#include <string>

#include "LiveWindow.h"
#include "MessageBoxCatcher.h"
#include "app/NicknameCode.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class Make : public ::testing::Test {
 protected:
  void SetUp() override { PutOnClipboard(L"the user's own clipboard"); }

  void SetNickname(const std::wstring& nickname) { ::SetWindowTextW(live.Control(Text1), nickname.c_str()); }
  const CaughtBox& PressAndCatch() {
    const std::size_t before = boxes.boxes.size();
    live.ClickOn(cmdMake);
    EXPECT_TRUE(live.PumpUntil([&] { return boxes.boxes.size() > before; }));
    return boxes.boxes.back();
  }

  MessageBoxCatcher boxes;
  LiveWindow live;
};

TEST_F(Make, ClickPutsTheCodeOnTheClipboardAndShowsTheInformationBox) {
  SetNickname(L"abc");
  live.ClickOn(cmdUp);
  live.ClickOn(cmdUp);
  const CaughtBox& box = PressAndCatch();
  EXPECT_EQ(ClipboardText(),
            L"\x0001\x0001\x0001"
            L"abc");
  EXPECT_EQ(box.title, L"温馨提示");
  EXPECT_EQ(box.text, L"代码成功生成并已经复制到系统的剪贴板上，\r\n请粘贴到QQ个人设置中的QQ昵称里面。");
  EXPECT_EQ(box.icon, BoxIcon::Information);
  EXPECT_EQ(box.buttons, 1);
  EXPECT_EQ(box.owner, live.Window());
}

TEST_F(Make, ClipboardHoldsOnlyTheCodeAfterwards) {
  const UINT custom = ::RegisterClipboardFormatW(L"Velmora.Test.Other");
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 4);
  ::SetClipboardData(custom, memory);
  ::CloseClipboard();

  SetNickname(L" ");
  PressAndCatch();
  EXPECT_EQ(ClipboardText(), L"\x0001 ");
  EXPECT_FALSE(::IsClipboardFormatAvailable(custom)) << "the previous content must be gone";
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT));

  SetNickname(L"second");
  PressAndCatch();
  EXPECT_EQ(ClipboardText(), L"\x0001second") << "a second press replaces the code";
}

TEST_F(Make, EmptyNicknameShowsTheErrorBoxAndLeavesTheClipboardAlone) {
  SetNickname(L"");
  live.ClickOn(cmdUp);  // the focus is elsewhere when the button is pressed
  const CaughtBox& box = PressAndCatch();
  EXPECT_EQ(box.title, L"出错提示");
  EXPECT_EQ(box.text, L"请先输入QQ昵称");
  EXPECT_EQ(box.icon, BoxIcon::Error);
  EXPECT_EQ(box.buttons, 1);
  EXPECT_EQ(box.owner, live.Window());
  live.Pump(50);
  EXPECT_EQ(ClipboardText(), L"the user's own clipboard");
  EXPECT_EQ(::GetFocus(), live.Control(Text1));
  EXPECT_EQ(live.TextOf(live.Control(Text1)), L"");
}

TEST_F(Make, NicknamesArriveUnchanged) {
  const std::wstring nicknames[] = {L"  padded  ", L"\U0001F680\U0001F600", L"\u05E9\u05DC\u05D5\u05DD abc",
                                    L"\u202Eoverride", L"名字"};
  for (const std::wstring& nickname : nicknames) {
    SetNickname(nickname);
    PressAndCatch();
    EXPECT_EQ(ClipboardText(), L"\x0001" + nickname);
  }
}

TEST_F(Make, AVeryLongPastedNicknameArrivesWhole) {
  std::wstring nickname;
  for (int i = 0; i < 120000; ++i) {
    nickname += static_cast<wchar_t>(i % 5 == 0 ? L'名' : L'a' + i % 26);
  }
  PutOnClipboard(nickname);
  SetNickname(L"");
  ::SendMessageW(live.Control(Text1), WM_PASTE, 0, 0);
  ASSERT_EQ(::GetWindowTextLengthW(live.Control(Text1)), 120000);
  PressAndCatch();
  EXPECT_EQ(ClipboardText(), L"\x0001" + nickname);
}

TEST_F(Make, DoubleClickEmptiesTheNicknameAndNothingElse) {
  live.ClickOn(cmdUp);
  live.DoubleClickOn(Text1);
  EXPECT_EQ(live.TextOf(live.Control(Text1)), L"");
  EXPECT_EQ(ClipboardText(), L"the user's own clipboard");
  EXPECT_EQ(live.TextOf(live.Control(Label6)), L"2");
  EXPECT_TRUE(boxes.boxes.empty());
}

// Another process holds the clipboard open: the user is told, and nothing is lost.
TEST_F(Make, BusyClipboardIsReportedAndTheNextPressSucceeds) {
  HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, L"Velmora.Test.ClipboardHeld");
  wchar_t self[MAX_PATH]{};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --hold-clipboard=2500";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
  ASSERT_EQ(::WaitForSingleObject(held, 10000), WAIT_OBJECT_0);

  SetNickname(L"kept");
  const CaughtBox& box = PressAndCatch();
  EXPECT_EQ(box.title, L"出错提示");
  EXPECT_EQ(box.text, texts::kClipboardBusy);
  EXPECT_EQ(box.icon, BoxIcon::Error);
  EXPECT_TRUE(::IsWindow(live.Window()));
  EXPECT_FALSE(live.Forms().Failed());
  EXPECT_EQ(live.TextOf(live.Control(Text1)), L"kept");

  ::WaitForSingleObject(process.hProcess, 10000);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  ::CloseHandle(held);
  EXPECT_EQ(ClipboardText(), L"the user's own clipboard");

  const CaughtBox& next = PressAndCatch();
  EXPECT_EQ(next.title, L"温馨提示");
  EXPECT_EQ(ClipboardText(), L"\x0001kept");
}

}  // namespace
}  // namespace velmora::testing
