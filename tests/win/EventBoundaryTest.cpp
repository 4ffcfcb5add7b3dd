// A failure inside an event handler never crosses the window procedure: the user is told in
// the program's own words, and the program ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "MessageBoxCatcher.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/win32/Win32Forms.h"
#include "resources/ResourceIds.h"

namespace velmora::testing {
namespace {

struct FailingForm final : FormEvents {
  bool failAtStartUp = false;
  FormsRuntime* forms = nullptr;  // set: the make button shows a box, then changes the count
  void Initialize() override {
    if (failAtStartUp) {
      throw PlatformError("start-up failed here");
    }
  }
  void FormMouseMove() override {}
  void Click(ControlKey id) override {
    if (forms != nullptr && id == ControlId::cmdMake) {
      forms->MsgBox(L"first", MsgBoxStyle::Information, L"info");
      forms->SetLabelCaption(ControlId::Label6, L"2");
      return;
    }
    throw PlatformError("the click failed here");
  }
  void DblClick(ControlKey) override {}
  void MouseMove(ControlKey) override {}
};

void ExpectFatalBox(const MessageBoxCatcher& boxes, const std::wstring& detail) {
  ASSERT_EQ(boxes.boxes.size(), 1u);
  const CaughtBox& box = boxes.boxes[0];
  EXPECT_EQ(box.title, texts::kFatalTitle);
  EXPECT_EQ(box.text, std::wstring(texts::kFatalPrefix) + detail);
  EXPECT_EQ(box.icon, BoxIcon::Error);
}

class EventBoundary : public ::testing::Test {
 protected:
  MessageBoxCatcher boxes;
  win32::Win32Forms forms{::GetModuleHandleW(nullptr),
                          Form1Layout(),
                          {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix}};
  FailingForm form;
};

TEST_F(EventBoundary, AFailingHandlerIsReportedAndEndsTheProgram) {
  ASSERT_TRUE(forms.Open(form, SW_SHOWNORMAL));
  const HWND window = forms.Window();
  ::SendMessageW(forms.ControlWindow(ControlId::cmdMake), BM_CLICK, 0, 0);
  ExpectFatalBox(boxes, L"the click failed here");
  EXPECT_TRUE(forms.Failed());
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(forms.Run(), 1);
}

TEST_F(EventBoundary, AFailingStartUpIsReportedAndTheWindowNeverOpens) {
  form.failAtStartUp = true;
  EXPECT_FALSE(forms.Open(form, SW_SHOWNORMAL));
  ExpectFatalBox(boxes, L"start-up failed here");
  EXPECT_EQ(forms.Window(), nullptr);
}

// While a box is up, the test acts from a timer that the box's own loop runs. A helper thread
// dismisses whatever box is still up after a while, so a box whose loop starves the timer
// ends the test instead of hanging it.
struct WhileTheBoxIsUp {
  static inline int ticks = 0;
  static inline std::function<void(int)> onTick;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { onTick(++ticks); }
  static BOOL CALLBACK DismissBox(HWND hwnd, LPARAM) {
    wchar_t cls[16]{};
    ::GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770") {
      ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
  }

  explicit WhileTheBoxIsUp(std::function<void(int)> action)
      : timer(::SetTimer(nullptr, 0, 20, Tick)),
        stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        safety([this, thread = ::GetCurrentThreadId()] {
          while (::WaitForSingleObject(stop, 5000) == WAIT_TIMEOUT) {
            ::EnumThreadWindows(thread, DismissBox, 0);
          }
        }) {
    ticks = 0;
    onTick = std::move(action);
  }
  ~WhileTheBoxIsUp() {
    ::KillTimer(nullptr, timer);
    ::SetEvent(stop);
    safety.join();
    ::CloseHandle(stop);
  }

  UINT_PTR timer;
  HANDLE stop;
  std::thread safety;
};

class FatalPath : public ::testing::Test {
 protected:
  static inline HWND window = nullptr;
  static inline int windowPaints = 0;
  static LRESULT CALLBACK CountPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_PAINT && msg->hwnd == window) {
      ++windowPaints;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }

  MessageBoxCatcher boxes{Dismiss::ByTheTest};
  win32::Win32Forms forms{::GetModuleHandleW(nullptr),
                          Form1Layout(),
                          {IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                          {texts::kFatalTitle, texts::kFatalPrefix}};
  FailingForm form;
};

// The window goes on painting and the timers tick while the fatal box is up; no flood of
// WM_PAINT for a window that is never validated.
TEST_F(FatalPath, TheWindowPaintsAndTimersTickWhileTheBoxIsUp) {
  ASSERT_TRUE(forms.Open(form, SW_SHOWNORMAL));
  window = forms.Window();
  windowPaints = 0;
  const HWND count = forms.ControlWindow(ControlId::Label6);
  bool repainted = false;
  const HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, CountPaints, nullptr, ::GetCurrentThreadId());
  {
    WhileTheBoxIsUp whileUp([&](int tick) {
      if (tick == 3) {
        ::InvalidateRect(window, nullptr, TRUE);
        ::InvalidateRect(count, nullptr, TRUE);
      } else if (tick == 15) {
        repainted = !::GetUpdateRect(window, nullptr, FALSE) && !::GetUpdateRect(count, nullptr, FALSE);
        ::PostMessageW(boxes.boxes.back().box, WM_COMMAND, IDOK, 0);
      }
    });
    ::PostMessageW(forms.ControlWindow(ControlId::cmdMake), BM_CLICK, 0, 0);
    EXPECT_EQ(forms.Run(), 1);
    EXPECT_GE(WhileTheBoxIsUp::ticks, 15);
  }
  ::UnhookWindowsHookEx(hook);
  EXPECT_TRUE(repainted);
  EXPECT_LT(windowPaints, 20);
  ExpectFatalBox(boxes, L"the click failed here");
  EXPECT_EQ(forms.Window(), nullptr);
  EXPECT_FALSE(::IsWindow(window));
}

// A handler that was waiting on its own box when another event failed goes on to fail too;
// the user still sees one report.
TEST_F(FatalPath, ASecondFailureShowsNoSecondBox) {
  form.forms = &forms;
  ASSERT_TRUE(forms.Open(form, SW_SHOWNORMAL));
  bool clicked = false;
  {
    WhileTheBoxIsUp whileUp([&](int) {
      if (boxes.boxes.size() == 1 && !clicked) {  // the make button's own box is up
        clicked = true;
        ::SendMessageW(forms.ControlWindow(ControlId::cmdUp), BM_CLICK, 0, 0);  // fails
      } else if (boxes.boxes.size() > 1) {
        ::PostMessageW(boxes.boxes.back().box, WM_COMMAND, IDOK, 0);
      }
    });
    ::PostMessageW(forms.ControlWindow(ControlId::cmdMake), BM_CLICK, 0, 0);
    EXPECT_EQ(forms.Run(), 1);
  }
  ASSERT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(boxes.boxes[0].title, L"info");
  EXPECT_EQ(boxes.boxes[1].title, texts::kFatalTitle);
  EXPECT_EQ(boxes.boxes[1].text, std::wstring(texts::kFatalPrefix) + L"the click failed here");
}

}  // namespace
}  // namespace velmora::testing
