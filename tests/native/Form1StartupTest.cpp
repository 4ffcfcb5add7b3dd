#include <gtest/gtest.h>

#include <vector>

#include "FakeForms.h"
#include "app/Form1.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

struct StartedForm {
  FakeForms forms;
  std::vector<WindowHandle> hooked;
  Form1 form{forms, [this](WindowHandle h) {
               forms.calls.push_back(L"HookButton(" + std::to_wstring(h) + L")");
               hooked.push_back(h);
             }};
};

const std::vector<std::wstring> kStartupSteps = {
    L"CurrentYear()",
    L"Version()",
    L"SetCaption(Velmora2008 v1.0.2)",
    L"SetLabelCaption(Label6,1)",
    L"SetEnabled(cmdDown,0)",
    L"SetLabelCaption(Label2,Corvane网 荣誉出品)",
    L"SetLabelCaption(Label3," + std::wstring(texts::kWebAddress) + L")",
    L"SetText(Text1,Corvane)",
    L"Text(Text1)",
    L"SetSelStart(Text1,7)",
    L"ControlHandle(cmdUp)",
    L"HookButton(" + std::to_wstring(FakeForms::HandleOf(ControlId::cmdUp)) + L")",
    L"ControlHandle(cmdDown)",
    L"HookButton(" + std::to_wstring(FakeForms::HandleOf(ControlId::cmdDown)) + L")",
};

TEST(Form1Startup, PerformsEveryStepInOrder) {
  StartedForm s;
  s.form.Initialize();
  EXPECT_EQ(s.forms.calls, kStartupSteps);
}

TEST(Form1Startup, LeavesTheWindowInItsStartState) {
  StartedForm s;
  s.forms.year = 2031;
  s.forms.version = {3, 14, 15};
  s.form.Initialize();
  EXPECT_EQ(s.forms.caption, L"Velmora2031 v3.14.15");
  EXPECT_EQ(s.form.SpaceCount(), 1);
  EXPECT_EQ(s.forms.labelCaptions[ControlId::Label6], L"1");
  EXPECT_FALSE(s.forms.enabled[ControlId::cmdDown]);
  EXPECT_TRUE(s.forms.enabled[ControlId::cmdUp]);
  EXPECT_TRUE(s.forms.enabled[ControlId::cmdMake]);
  EXPECT_EQ(s.forms.texts[ControlId::Text1], L"Corvane");
  EXPECT_EQ(s.forms.selStart, s.forms.texts[ControlId::Text1].size());
  EXPECT_EQ(s.forms.labelCaptions[ControlId::Label2], L"Corvane网 荣誉出品");
  EXPECT_EQ(s.forms.labelCaptions[ControlId::Label3], texts::kWebAddress);
  EXPECT_EQ(s.hooked, (std::vector<WindowHandle>{FakeForms::HandleOf(ControlId::cmdUp),
                                                 FakeForms::HandleOf(ControlId::cmdDown)}));
}

// A failing operation ends the handler at that step: nothing after it is performed.
TEST(Form1Startup, StopsAtTheFirstFailingStep) {
  for (std::size_t failing = 0; failing < kStartupSteps.size(); ++failing) {
    if (kStartupSteps[failing].starts_with(L"HookButton")) {
      continue;  // installing the hook reports no failure
    }
    StartedForm s;
    s.forms.failOn = kStartupSteps[failing];
    EXPECT_THROW(s.form.Initialize(), PlatformError) << failing;
    const std::vector<std::wstring> expected(
        kStartupSteps.begin(), kStartupSteps.begin() + static_cast<std::ptrdiff_t>(failing) + 1);
    EXPECT_EQ(s.forms.calls, expected);
  }
}

}  // namespace
}  // namespace velmora::testing
