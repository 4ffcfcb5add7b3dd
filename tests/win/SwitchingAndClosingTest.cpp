// Switching away, minimising and closing, with the mouse on the frame the system draws: the
// control that had the focus keeps it, and closing ends the program with exit code 0. A failure
// inside an event handler never crosses the window procedure: the user is told in the program's
// own words, and the program ends with exit code 1.
#include <gtest/gtest.h>

#include <thread>

#include "LiveWindow.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

TEST(Switching, AwayAndBackKeepsTheFocusedControl) {
  LiveWindow live;
  live.Press({VK_TAB});
  ASSERT_TRUE(live.Focused(cmdUp));
  // Another program's window, away from ours; the user clicks it, then our title bar.
  const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 120,
                                       nullptr, nullptr, nullptr, nullptr);
  SendClick({110, 80});
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == other; }));
  const auto caption = FramePoint(live.Window(), HTCAPTION);
  ASSERT_TRUE(caption);
  SendClick(*caption);
  EXPECT_TRUE(live.PumpUntil([&] { return ::GetActiveWindow() == live.Window(); }));
  live.Pump(50);
  EXPECT_TRUE(live.Focused(cmdUp));
  ::DestroyWindow(other);
}

TEST(Switching, MinimiseAndRestoreKeepTheFocusTheCountMoved) {
  LiveWindow live;
  for (int i = 0; i < 3; ++i) {
    live.ClickOn(cmdUp);
  }
  ASSERT_TRUE(live.Focused(cmdDown));
  const auto minimise = FramePoint(live.Window(), HTMINBUTTON);
  ASSERT_TRUE(minimise);
  SendClick(*minimise);
  ASSERT_TRUE(live.PumpUntil([&] { return ::IsIconic(live.Window()) != FALSE; }));
  ::PostMessageW(live.Window(), WM_SYSCOMMAND, SC_RESTORE, 0);  // as the taskbar restores it
  EXPECT_TRUE(live.PumpUntil([&] { return !::IsIconic(live.Window()); }));
  live.Pump(50);
  EXPECT_TRUE(live.Focused(cmdDown));
  EXPECT_FALSE(::SendMessageW(live.Control(cmdDown), BM_GETSTATE, 0, 0) & BST_FOCUS) << "still no focus look";
}

TEST(Closing, AltF4EndsTheMessageLoopWithExitCodeZero) {
  LiveWindow live;
  const HWND window = live.Window();
  live.Press({VK_MENU, VK_F4}, false);  // read by the program's own loop
  // A loop that would never end is ended from outside, so that a fault fails the test instead of hanging it.
  HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread safety([done, thread = ::GetCurrentThreadId()] {
    if (::WaitForSingleObject(done, 10000) == WAIT_TIMEOUT) {
      ::PostThreadMessageW(thread, WM_QUIT, 99, 0);
    }
  });
  const int exitCode = live.Forms().Run();
  ::SetEvent(done);
  safety.join();
  ::CloseHandle(done);
  EXPECT_EQ(exitCode, 0);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(live.Window(), nullptr) << "a destroyed window's handle is still held";
  EXPECT_EQ(live.Control(Text1), nullptr);
}

TEST(Closing, TheCloseButtonEndsDraskenWithExitCodeZero) {
  Process drasken;
  ASSERT_TRUE(drasken.Start(draskenPath) && drasken.WindowShown());
  const auto close = FramePoint(drasken.window, HTCLOSE);
  ASSERT_TRUE(close);
  SendClick(*close);
  EXPECT_TRUE(drasken.Ended(20000));
  EXPECT_EQ(drasken.ExitCode(), 0u);
}

struct FailingForm final : FormEvents {
  bool failAtStartUp = false;
  void Initialize() override {
    if (failAtStartUp) {
      throw PlatformError("start-up failed here");
    }
  }
  void Click(ControlKey) override { throw PlatformError("the click failed here"); }
  void FormMouseMove() override {}
  void DblClick(ControlKey) override {}
  void MouseMove(ControlKey) override {}
};

class Failing : public ::testing::Test {
 protected:
  void ExpectFatalBox(const std::wstring& detail) {
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].title, texts::kFatalTitle);
    EXPECT_EQ(boxes.boxes[0].text, std::wstring(texts::kFatalPrefix) + detail);
    EXPECT_EQ(boxes.boxes[0].icon, BoxIcon::Error);
  }
  MessageBoxCatcher boxes;
  std::unique_ptr<win32::Win32Forms> forms = MakeForms();
  FailingForm form;
};

TEST_F(Failing, StartUpIsReportedAndTheWindowNeverOpens) {
  form.failAtStartUp = true;
  EXPECT_FALSE(forms->Open(form, SW_SHOWNORMAL));
  ExpectFatalBox(L"start-up failed here");
  EXPECT_EQ(forms->Window(), nullptr);
}

TEST_F(Failing, AHandlerIsReportedAndEndsTheProgram) {
  ASSERT_TRUE(forms->Open(form, SW_SHOWNORMAL));
  const HWND window = forms->Window();
  ::SendMessageW(forms->ControlWindow(cmdMake), BM_CLICK, 0, 0);
  ExpectFatalBox(L"the click failed here");
  EXPECT_TRUE(forms->Failed() && !::IsWindow(window) && forms->Window() == nullptr);
  EXPECT_EQ(forms->Run(), 1);
}

}  // namespace
}  // namespace velmora::testing
