#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeForms.h"
#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/NicknameCode.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using Calls = std::vector<std::wstring>;
using enum ControlId;

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    forms.year = 2031;
    forms.version = {12, 0, 345};
    form.Initialize();
  }
  Calls Logged(auto event) {
    forms.calls.clear();
    event();
    return forms.calls;
  }
  static std::wstring Code(int count, std::wstring_view nickname) {
    return std::wstring(static_cast<std::size_t>(count), kFillerChar) + std::wstring(nickname);
  }
  bool Lit(ControlId link) { return forms.foreColors[link] == kRed && forms.underlines[link]; }

  FakeForms forms;
  Form1 form{forms};
};

// Start-up ends by putting the focus filter on the count buttons, up first.
TEST_F(Form1Test, StartsWithItsTitleTextsCountOneAndTheCaretAfterTheNickname) {
  EXPECT_EQ(forms.caption, L"Velmora2031 v12.0.345");
  EXPECT_EQ(forms.labelCaptions[Label2], texts::kCredit);
  EXPECT_EQ(forms.labelCaptions[Label3], texts::kWebAddress);
  EXPECT_EQ(forms.labelCaptions[Label6], L"1");
  EXPECT_TRUE(forms.enabled[cmdUp] && !forms.enabled[cmdDown]);
  EXPECT_EQ(forms.texts[Text1], L"Corvane");
  EXPECT_EQ(forms.selStart, 7u);
  EXPECT_EQ(std::vector(forms.calls.end() - 2, forms.calls.end()),
            (Calls{L"HookButton(cmdUp)", L"HookButton(cmdDown)"}));
}

// A failure ends the handler at that step: nothing after it is done, no box is shown.
TEST_F(Form1Test, AFailureEndsTheHandlerAtThatStep) {
  forms.texts[Text1] = L"typed";
  forms.failOn = L"SetLabelCaption(Label2";
  EXPECT_THROW(form.Initialize(), PlatformError);
  EXPECT_EQ(forms.texts[Text1], L"typed");
  EXPECT_EQ(forms.hooked.size(), 2u);
  forms.failOn = L"ReplaceClipboardText";
  EXPECT_THROW(form.Click(cmdMake), PlatformError);
  forms.failOn.clear();
  for (const wchar_t* count : {L"x", L"-1", L""}) {  // a bad count: the clipboard is not touched
    forms.labelCaptions[Label6] = count;
    EXPECT_THROW(form.Click(cmdMake), InvalidCountError);
  }
  EXPECT_FALSE(forms.clipboard.has_value());
  EXPECT_TRUE(forms.boxes.empty());
}

// Up to four and back to one: after each click the count shown and the code made from it, which
// buttons are enabled, the up button's tab place (the down button has the other), and the focus.
// At each end the clicked button is disabled and the focus goes to the other, which is enabled
// first and takes the clicked one's tab place: each step once, in this order.
TEST_F(Form1Test, CountButtonsWalkFromOneToFourAndBackSwappingAtEachEnd) {
  const std::tuple<ControlId, int, bool, bool, int, ControlId> walk[] = {
      {cmdUp, 2, true, true, 1, Text1},     {cmdUp, 3, true, true, 1, Text1},
      {cmdUp, 4, false, true, 2, cmdDown},  {cmdDown, 3, true, true, 2, cmdDown},
      {cmdDown, 2, true, true, 2, cmdDown}, {cmdDown, 1, true, false, 1, cmdUp}};
  forms.focus = Text1;
  std::vector<Calls> ends;
  for (const auto& [button, count, up, down, upTab, focus] : walk) {
    const Calls calls = Logged([&] { form.Click(button); });
    if (count == 1 || count == 4) {
      ends.push_back(calls);
    }
    EXPECT_EQ(std::tuple(forms.labelCaptions[Label6], forms.enabled[cmdUp], forms.enabled[cmdDown],
                         forms.tabOrder.IndexOf(cmdUp), forms.tabOrder.IndexOf(cmdDown), *forms.focus),
              std::tuple(std::to_wstring(count), up, down, upTab, 3 - upTab, focus));
    form.Click(cmdMake);
    EXPECT_EQ(forms.clipboard, Code(count, L"Corvane"));
  }
  EXPECT_EQ(ends, (std::vector<Calls>{
                      {L"SetLabelCaption(Label6,4)", L"SetEnabled(cmdUp,0)", L"SetEnabled(cmdDown,1)",
                       L"SetTabIndex(cmdUp,2)", L"SetTabIndex(cmdDown,1)", L"SetFocus(cmdDown)"},
                      {L"SetLabelCaption(Label6,1)", L"SetEnabled(cmdDown,0)", L"SetEnabled(cmdUp,1)",
                       L"SetTabIndex(cmdUp,1)", L"SetTabIndex(cmdDown,2)", L"SetFocus(cmdUp)"}}));
}

TEST_F(Form1Test, MakeWithAnEmptyNicknameSaysSoThenFocusesTheEmptiedBox) {
  forms.texts[Text1] = L"";
  forms.focus = cmdMake;
  EXPECT_EQ(Logged([&] { form.Click(cmdMake); }),
            (Calls{L"Text(Text1)", L"MsgBox(请先输入QQ昵称,error,出错提示)", L"SetText(Text1,)",
                   L"SetFocus(Text1)"}));
  EXPECT_FALSE(forms.clipboard.has_value());
}

// A busy clipboard is reported and left as it was; the next press, once it is free, succeeds.
TEST_F(Form1Test, MakePutsTheCodeForTheCountShownOnTheClipboardThenSaysSo) {
  forms.clipboardBusy = true;
  form.Click(cmdMake);
  EXPECT_FALSE(forms.clipboard.has_value());
  forms.clipboardBusy = false;
  forms.texts[Text1] = L" ";
  forms.labelCaptions[Label6] = L"3";  // the count is read from the label, not from the field behind it
  form.Click(cmdMake);
  EXPECT_EQ(forms.clipboard, Code(3, L" "));
  EXPECT_EQ(forms.boxes,
            (std::vector<Box>{{std::wstring(texts::kClipboardBusy), MsgBoxStyle::Error, L"出错提示"},
                              {std::wstring(texts::kDone), MsgBoxStyle::Information, L"温馨提示"}}));
}

// Where nothing can copy, the platform has already shown the code and said why: no box claims a
// copy or blames a busy clipboard.
TEST_F(Form1Test, MakeWhereNothingCanCopyShowsNoBoxOfItsOwn) {
  forms.clipboardByHand = true;
  form.Click(cmdMake);
  EXPECT_FALSE(forms.clipboard.has_value());
  EXPECT_TRUE(forms.boxes.empty());
}

TEST_F(Form1Test, DoubleClickOnTheNicknameEmptiesItAndNothingElse) {
  for (ControlId other : {cmdMake, Label3, Label6, Image1}) {
    form.DblClick(other);
  }
  EXPECT_EQ(forms.texts[Text1], L"Corvane");
  form.DblClick(Text1);
  EXPECT_EQ(forms.texts[Text1], L"");
}

TEST_F(Form1Test, MovingOverALinkLightsItUntilTheMouseIsOverTheWindowItself) {
  form.MouseMove(Label3);
  EXPECT_TRUE(Lit(Label3));
  EXPECT_FALSE(Lit(Label7));
  form.MouseMove(Label7);
  EXPECT_TRUE(Lit(Label3) && Lit(Label7));
  for (ControlId other : {Label1, Label2, Label4, Label5, Label6, Image1, Text1, cmdMake}) {
    EXPECT_TRUE(Logged([&] { form.MouseMove(other); }).empty());
  }
  form.FormMouseMove();
  for (ControlId link : {Label3, Label7}) {
    EXPECT_TRUE(forms.foreColors[link] == kBlue && !forms.underlines[link]);
  }
}

TEST_F(Form1Test, ClickingALinkHandsItsTargetToTheDesktopAndChangesNothingElse) {
  form.MouseMove(Label3);
  EXPECT_EQ(Logged([&] { form.Click(Label3); }),
            Calls{L"OpenLink(" + std::wstring(texts::kWebAddress) + L")"});
  EXPECT_EQ(Logged([&] { form.Click(Label7); }), Calls{L"OpenLink(mailto:" VELMORA_EMAIL L")"});
  EXPECT_TRUE(Lit(Label3));
}

// Where a link is a real link (the page), the target it carries is the one its click opens.
TEST_F(Form1Test, EachLinkOfTheLayoutCarriesTheTargetItsClickOpens) {
  ASSERT_EQ(Form1Layout().links.size(), 2u);
  for (const LinkTarget& link : Form1Layout().links) {
    EXPECT_EQ(Form1Layout().controls[link.key.index].cursor, CursorKind::Hand);
    EXPECT_EQ(Logged([&] { form.Click(link.key); }), Calls{L"OpenLink(" + std::wstring(link.target) + L")"});
  }
}

}  // namespace
}  // namespace velmora::testing
