#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeForms.h"
#include "app/Form1.h"
#include "app/NicknameCode.h"

namespace velmora::testing {
namespace {

using Calls = std::vector<std::wstring>;
using enum ControlId;

class Form1Count : public ::testing::Test {
 protected:
  void SetUp() override {
    form.Initialize();
    forms.focus = Text1;
  }

  Calls ClickOn(ControlId button) {
    const std::size_t start = forms.calls.size();
    form.Click(button);
    return forms.CallsSince(start);
  }

  // The buttons' enabled flags, their tab places and the focus, as one comparable value.
  struct Buttons {
    bool up, down;
    int upTab, downTab;
    std::optional<ControlId> focus;
    bool operator==(const Buttons&) const = default;
  };
  Buttons State() {
    return {forms.enabled[cmdUp], forms.enabled[cmdDown], forms.tabOrder.IndexOf(cmdUp),
            forms.tabOrder.IndexOf(cmdDown), forms.focus};
  }

  FakeForms forms;
  Form1 form{forms, [](WindowHandle) {}};
};

TEST_F(Form1Count, UpClicksWalkTheStateTableToFour) {
  EXPECT_EQ(ClickOn(cmdUp), (Calls{L"SetLabelCaption(Label6,2)", L"SetEnabled(cmdDown,1)"}));
  EXPECT_EQ(State(), (Buttons{true, true, 1, 2, Text1}));

  EXPECT_EQ(ClickOn(cmdUp), (Calls{L"SetLabelCaption(Label6,3)", L"SetEnabled(cmdDown,1)"}));
  EXPECT_EQ(State(), (Buttons{true, true, 1, 2, Text1}));

  EXPECT_EQ(ClickOn(cmdUp),
            (Calls{L"SetLabelCaption(Label6,4)", L"SetEnabled(cmdUp,0)", L"SetEnabled(cmdDown,1)",
                   L"SetTabIndex(cmdUp,2)", L"SetTabIndex(cmdDown,1)", L"SetFocus(cmdDown)"}));
  EXPECT_EQ(State(), (Buttons{false, true, 2, 1, cmdDown}));
  EXPECT_EQ(form.SpaceCount(), 4);
  EXPECT_EQ(forms.labelCaptions[Label6], L"4");
  // Only the two count buttons changed places.
  EXPECT_EQ(forms.tabOrder.IndexOf(Text1), 0);
  EXPECT_EQ(forms.tabOrder.IndexOf(cmdMake), 3);
}

TEST_F(Form1Count, DownClicksWalkBackToOneAndRestoreTheDesignOrder) {
  for (int i = 0; i < 3; ++i) {
    ClickOn(cmdUp);
  }
  EXPECT_EQ(ClickOn(cmdDown), (Calls{L"SetLabelCaption(Label6,3)", L"SetEnabled(cmdUp,1)"}));
  EXPECT_EQ(State(), (Buttons{true, true, 2, 1, cmdDown}));

  EXPECT_EQ(ClickOn(cmdDown), (Calls{L"SetLabelCaption(Label6,2)", L"SetEnabled(cmdUp,1)"}));
  EXPECT_EQ(State(), (Buttons{true, true, 2, 1, cmdDown}));

  EXPECT_EQ(ClickOn(cmdDown),
            (Calls{L"SetLabelCaption(Label6,1)", L"SetEnabled(cmdDown,0)", L"SetEnabled(cmdUp,1)",
                   L"SetTabIndex(cmdUp,1)", L"SetTabIndex(cmdDown,2)", L"SetFocus(cmdUp)"}));
  EXPECT_EQ(State(), (Buttons{true, false, 1, 2, cmdUp}));
  EXPECT_EQ(form.SpaceCount(), 1);
}

TEST_F(Form1Count, BothButtonsAreEnabledInTheMiddleWhicheverWayTheCountGotThere) {
  ClickOn(cmdUp);  // 2, from below
  EXPECT_TRUE(forms.enabled[cmdUp] && forms.enabled[cmdDown]);
  ClickOn(cmdUp);
  ClickOn(cmdUp);
  ClickOn(cmdDown);  // 3, from above
  EXPECT_TRUE(forms.enabled[cmdUp] && forms.enabled[cmdDown]);
  ClickOn(cmdDown);  // 2, from above
  EXPECT_TRUE(forms.enabled[cmdUp] && forms.enabled[cmdDown]);
}

TEST_F(Form1Count, TheNextCodeUsesTheCountShown) {
  forms.texts[Text1] = L"n";
  for (int expected = 1; expected <= 4; ++expected) {
    form.Click(cmdMake);
    EXPECT_EQ(forms.clipboard, std::wstring(static_cast<std::size_t>(expected), kFillerChar) + L"n");
    if (expected < 4) {
      ClickOn(cmdUp);
    }
  }
  for (int expected = 3; expected >= 1; --expected) {
    ClickOn(cmdDown);
    form.Click(cmdMake);
    EXPECT_EQ(forms.clipboard, std::wstring(static_cast<std::size_t>(expected), kFillerChar) + L"n");
  }
}

// The handlers rely on the disabled button, not on a clamp: a click that reached the
// disabled up button at four would show five and leave the buttons alone.
TEST_F(Form1Count, HandlersDoNotClamp) {
  for (int i = 0; i < 3; ++i) {
    ClickOn(cmdUp);
  }
  EXPECT_EQ(ClickOn(cmdUp), Calls{L"SetLabelCaption(Label6,5)"});
  EXPECT_EQ(form.SpaceCount(), 5);
}

TEST_F(Form1Count, AFailingStepEndsTheClick) {
  forms.failOn = L"SetLabelCaption(Label6,2)";
  EXPECT_THROW(form.Click(cmdUp), PlatformError);
  EXPECT_EQ(forms.calls.back(), L"SetLabelCaption(Label6,2)");
  EXPECT_FALSE(forms.enabled[cmdDown]);
}

}  // namespace
}  // namespace velmora::testing
