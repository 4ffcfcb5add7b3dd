// A failure inside an event handler never crosses the window procedure: the user is told in
// the program's own words, and the program ends.
#include <windows.h>

#include <gtest/gtest.h>

#include "MessageBoxCatcher.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/win32/Win32Forms.h"
#include "resources/ResourceIds.h"

namespace velmora::testing {
namespace {

struct FailingForm final : FormEvents {
  bool failAtStartUp = false;
  void Initialize() override {
    if (failAtStartUp) {
      throw PlatformError("start-up failed here");
    }
  }
  void FormMouseMove() override {}
  void Click(ControlId) override { throw PlatformError("the click failed here"); }
  void DblClick(ControlId) override {}
  void MouseMove(ControlId) override {}
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

}  // namespace
}  // namespace velmora::testing
