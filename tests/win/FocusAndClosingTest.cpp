// Where the focus goes as the count moves and the user switches away and back; Alt+F4 ends the
// loop with 0 (the close button, the real program: planted/); a failure inside an event handler is
// reported in the program's own words, exit code 1.
#include <gtest/gtest.h>

#include <functional>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

bool ShowsFocus(HWND button) {
  return (::SendMessageW(button, BM_GETSTATE, 0, 0) & BST_FOCUS) != 0;
}

// At the top the focus goes to the down button, then first in tab order; at the bottom back to the up
// button. A focused count button takes keys, draws no focus, and keeps the focus when the user
// switches to another window and back by its title bar, or minimises it and restores it.
TEST(CountSelector, UpToFourDownToOneAndTheFocusKeptAcrossSwitching) {
  LiveWindow live;
  for (const wchar_t* count : {L"2", L"3", L"4", L"4"}) {  // the last click on a disabled button
    live.ClickOn(cmdUp);
    EXPECT_EQ(live.Text(Label6), count);
  }
  EXPECT_TRUE(!live.Enabled(cmdUp) && live.Focused(cmdDown) && !ShowsFocus(live.Control(cmdDown)));
  live.Keys({{VK_TAB}, {VK_TAB}, {VK_TAB}});  // the make button, the box, the down button again
  ASSERT_TRUE(live.Focused(cmdDown));
  live.Keys({{VK_SPACE}, {VK_TAB}});
  EXPECT_TRUE(live.Text(Label6) == L"3" && live.Enabled(cmdDown) && live.Focused(cmdUp)) << "down first now";
  live.ClickOn(cmdDown);
  live.ClickOn(cmdDown);
  EXPECT_EQ(live.Text(Label6), L"1");
  EXPECT_TRUE(!live.Enabled(cmdDown) && live.Focused(cmdUp) && !ShowsFocus(live.Control(cmdUp)));
  live.Keys({{VK_RETURN}, {VK_TAB}});  // Enter presses the focused button
  EXPECT_EQ(live.Text(Label6), L"2");
  ASSERT_TRUE(live.Focused(cmdDown)) << "the up button comes first again";

  const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 120,
                                       nullptr, nullptr, nullptr, nullptr);
  SendClick({110, 80});
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == other; }));
  const auto caption = FramePoint(live.Window(), HTCAPTION), minimise = FramePoint(live.Window(), HTMINBUTTON);
  ASSERT_TRUE(caption && minimise);
  SendClick(*caption);
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == live.Window(); }));
  live.Pump(50);
  EXPECT_TRUE(live.Focused(cmdDown));
  ::DestroyWindow(other);
  live.ClickOn(cmdUp);  // the focus moves after the switch: minimising must note it again
  SendClick(*minimise);
  ASSERT_TRUE(live.PumpUntil([&] { return ::IsIconic(live.Window()) != FALSE; }));
  ::PostMessageW(live.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);  // as the taskbar restores it
  EXPECT_TRUE(live.PumpUntil([&] { return !::IsIconic(live.Window()); }));
  live.Pump(50);
  EXPECT_TRUE(live.Focused(cmdUp) && !ShowsFocus(live.Control(cmdUp)));

  ::SetFocus(live.Control(cmdMake));  // a button without the filter does show it; under the filter,
  EXPECT_TRUE(ShowsFocus(live.Control(cmdMake)));  // the procedure every control of the window has
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(win32::PrevWndProc(live.Control(cmdUp))),
            ::GetWindowLongPtrW(live.Control(cmdMake), GWLP_WNDPROC));
  EXPECT_EQ(win32::PrevWndProc(live.Control(cmdMake)), nullptr);
}

struct FailingForm final : FormEvents {
  bool failAtStartUp = false;
  FormsRuntime* forms = nullptr;  // set: the make button shows a box of its own first
  void Initialize() override {
    if (failAtStartUp) {
      throw PlatformError("start-up failed here");
    }
  }
  void Click(ControlKey id) override {
    if (forms == nullptr || id != cmdMake) {
      throw PlatformError("the click failed here");
    }
    forms->MsgBox(L"first", MsgBoxStyle::Information, L"info");
  }
  void FormMouseMove() override {}
  void DblClick(ControlKey) override {}
  void MouseMove(ControlKey) override {}
};

// While a loop runs (the program's own, or a box's), the test acts from a timer that it ticks; the
// paints the window takes from its queue are counted.
struct Ticking {
  static inline int ticks = 0, paints = 0;
  static inline HWND window = nullptr;
  static inline std::function<void(int)> onTick;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { onTick(++ticks); }
  static LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    paints += code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && msg->hwnd == window;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  Ticking(HWND w, std::function<void(int)> action) {
    ticks = paints = 0;
    window = w;
    onTick = std::move(action);
  }
  ~Ticking() {
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
  }
  UINT_PTR timer = ::SetTimer(nullptr, 0, 20, Tick);
  HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, CountPaints, nullptr, ::GetCurrentThreadId());
};

// A loop that would never end is ended from outside, so that a fault fails the test instead of hanging it.
void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(99); }

TEST(Closing, AltF4EndsTheMessageLoopWithExitCodeZero) {
  LiveWindow live;
  const HWND window = live.Window();
  live.Keys({{VK_MENU, VK_F4}}, false);  // read by the program's own loop
  const UINT_PTR safety = ::SetTimer(nullptr, 0, 10000, EndTheLoop);
  EXPECT_EQ(live.Forms().Run(), 0);
  ::KillTimer(nullptr, safety);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(live.Window(), nullptr) << "a destroyed window's handle is still held";
  EXPECT_EQ(live.Control(Text1), nullptr);
}

Box Fatal(const wchar_t* detail) {
  return {std::wstring(texts::kFatalTitle), win32::WithWindowsLineEnds(std::wstring(texts::kFatalPrefix) + detail),
          BoxIcon::Error};
}

class Failing : public ::testing::Test {
 protected:
  void SetUp() override { boxes.dismiss = false; }  // each test dismisses its boxes itself
  MessageBoxCatcher boxes;
  std::unique_ptr<win32::Win32Forms> forms = MakeForms();
  FailingForm form;
};

TEST_F(Failing, StartUpIsReportedAndTheWindowNeverOpens) {
  form.failAtStartUp = true;
  boxes.dismiss = true;
  EXPECT_FALSE(forms->Open(form, SW_SHOWNORMAL));
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes.at(0).seen, Fatal(L"start-up failed here"));
  EXPECT_EQ(forms->Window(), nullptr);
}

// A handler waiting on its own box when another event fails fails too. One report, left up a while:
// the window paints (no flood of WM_PAINT never validated), timers tick; then the exit code is 1.
TEST_F(Failing, AHandlerIsReportedOnceWhileTheWindowPaintsThenTheProgramEnds) {
  form.forms = forms.get();
  ASSERT_TRUE(forms->Open(form, SW_SHOWNORMAL));
  const HWND window = forms->Window(), count = forms->ControlWindow(Label6);
  int failedAt = 0;
  bool repainted = false;
  {
    Ticking whileUp(window, [&](int tick) {
      if (failedAt == 0 && boxes.boxes.size() == 1) {  // the make button's own box is up
        failedAt = tick;
        ::SendMessageW(forms->ControlWindow(cmdUp), BM_CLICK, 0, 0);  // fails; its box's loop ticks on
      } else if (failedAt != 0 && tick == failedAt + 3) {
        ::InvalidateRect(window, nullptr, TRUE);
        ::InvalidateRect(count, nullptr, TRUE);
      } else if (failedAt != 0 && tick == failedAt + 15) {
        repainted = !::GetUpdateRect(window, nullptr, FALSE) && !::GetUpdateRect(count, nullptr, FALSE);
        ::PostMessageW(boxes.boxes.back().box, WM_COMMAND, IDOK, 0);
      }
    });
    ::PostMessageW(forms->ControlWindow(cmdMake), BM_CLICK, 0, 0);
    EXPECT_EQ(forms->Run(), 1);
    EXPECT_GE(Ticking::ticks, failedAt + 15);
    EXPECT_LT(Ticking::paints, 20);
  }
  EXPECT_TRUE(failedAt != 0 && repainted);
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes.at(0).seen, (Box{L"info", L"first", BoxIcon::Information}));
  EXPECT_EQ(boxes.boxes.at(1).seen, Fatal(L"the click failed here"));
  EXPECT_TRUE(forms->Failed() && !::IsWindow(window) && forms->Window() == nullptr);
}

}  // namespace
}  // namespace velmora::testing
