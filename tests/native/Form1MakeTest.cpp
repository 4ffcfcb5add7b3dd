#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeForms.h"
#include "app/Form1.h"
#include "app/NicknameCode.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

class Form1Make : public ::testing::Test {
 protected:
  void SetUp() override { form.Initialize(); }

  std::vector<std::wstring> Press() {
    const std::size_t start = forms.calls.size();
    form.Click(ControlId::cmdMake);
    return forms.CallsSince(start);
  }

  FakeForms forms;
  Form1 form{forms, [](WindowHandle) {}};
};

const std::wstring kDoneBox = L"MsgBox(" + std::wstring(texts::kDone) + L",64,温馨提示)";

TEST_F(Form1Make, EmptyNicknameShowsTheErrorBoxAndNeverTouchesTheClipboard) {
  forms.texts[ControlId::Text1] = L"";
  forms.focus = ControlId::cmdMake;
  EXPECT_EQ(Press(), (std::vector<std::wstring>{L"Text(Text1)", L"MsgBox(请先输入QQ昵称,16,出错提示)",
                                                L"SetText(Text1,)", L"SetFocus(Text1)"}));
  EXPECT_EQ(forms.focus, ControlId::Text1);
  EXPECT_EQ(forms.texts[ControlId::Text1], L"");
  EXPECT_FALSE(forms.clipboard.has_value());
}

TEST_F(Form1Make, PutsTheCodeOnTheClipboardBeforeTheInformationBox) {
  forms.texts[ControlId::Text1] = L"abc";
  forms.labelCaptions[ControlId::Label6] = L"3";
  EXPECT_EQ(Press(), (std::vector<std::wstring>{L"Text(Text1)", L"LabelCaption(Label6)", L"Text(Text1)",
                                                L"ReplaceClipboardText(6 chars)", kDoneBox}));
  EXPECT_EQ(forms.clipboard, std::wstring(3, kFillerChar) + L"abc");
}

// The count comes from what the label shows, not from the field behind it.
TEST_F(Form1Make, ReadsTheCountFromTheLabelCaption) {
  forms.texts[ControlId::Text1] = L" ";
  forms.labelCaptions[ControlId::Label6] = L"4";
  ASSERT_EQ(form.SpaceCount(), 1);
  Press();
  EXPECT_EQ(forms.clipboard, std::wstring(4, kFillerChar) + L" ");
}

TEST_F(Form1Make, EveryPressReplacesTheCodeRatherThanAppending) {
  forms.texts[ControlId::Text1] = L"first";
  Press();
  forms.texts[ControlId::Text1] = L"second";
  Press();
  EXPECT_EQ(forms.clipboard, std::wstring(1, kFillerChar) + L"second");
}

TEST_F(Form1Make, BusyClipboardIsReportedAndChangesNothing) {
  forms.texts[ControlId::Text1] = L"abc";
  forms.clipboardBusy = true;
  EXPECT_EQ(Press(),
            (std::vector<std::wstring>{L"Text(Text1)", L"LabelCaption(Label6)", L"Text(Text1)",
                                       L"ReplaceClipboardText(4 chars)",
                                       L"MsgBox(" + std::wstring(texts::kClipboardBusy) + L",16,出错提示)"}));
  EXPECT_FALSE(forms.clipboard.has_value());
  EXPECT_EQ(forms.texts[ControlId::Text1], L"abc");
  EXPECT_EQ(forms.labelCaptions[ControlId::Label6], L"1");

  forms.clipboardBusy = false;  // the next press, once the other program lets go, succeeds
  Press();
  EXPECT_EQ(forms.clipboard, std::wstring(1, kFillerChar) + L"abc");
}

TEST_F(Form1Make, BadCountEndsThePressBeforeTheClipboardIsTouched) {
  forms.texts[ControlId::Text1] = L"abc";
  for (const wchar_t* caption : {L"x", L"-1", L""}) {
    forms.labelCaptions[ControlId::Label6] = caption;
    const std::size_t start = forms.calls.size();
    EXPECT_THROW(form.Click(ControlId::cmdMake), InvalidCountError);
    for (const std::wstring& call : forms.CallsSince(start)) {
      EXPECT_FALSE(call.starts_with(L"ReplaceClipboardText")) << call;
      EXPECT_FALSE(call.starts_with(L"MsgBox")) << call;
    }
  }
  EXPECT_FALSE(forms.clipboard.has_value());
}

TEST_F(Form1Make, FailingClipboardOperationEndsThePressWithoutTheInformationBox) {
  forms.texts[ControlId::Text1] = L"abc";
  forms.failOn = L"ReplaceClipboardText";
  const std::size_t start = forms.calls.size();
  EXPECT_THROW(form.Click(ControlId::cmdMake), PlatformError);
  EXPECT_EQ(forms.CallsSince(start).back(), L"ReplaceClipboardText(4 chars)");
}

TEST_F(Form1Make, InformationTextHasOneLineBreakAndEndsWithTheFullStop) {
  const std::wstring_view done = texts::kDone;
  const auto lineBreak = done.find(L"\r\n");
  ASSERT_NE(lineBreak, std::wstring_view::npos);
  EXPECT_EQ(done.find(L"\r\n", lineBreak + 1), std::wstring_view::npos);
  EXPECT_EQ(done[lineBreak - 1], L'\uFF0C');
  EXPECT_EQ(done.back(), L'\u3002');
}

TEST_F(Form1Make, DoubleClickEmptiesTheNicknameAndNothingElse) {
  forms.texts[ControlId::Text1] = L"anything at all";
  forms.clipboard = L"kept";
  const std::size_t start = forms.calls.size();
  form.DblClick(ControlId::Text1);
  EXPECT_EQ(forms.CallsSince(start), std::vector<std::wstring>{L"SetText(Text1,)"});
  EXPECT_EQ(forms.clipboard, L"kept");
  EXPECT_EQ(forms.labelCaptions[ControlId::Label6], L"1");
}

TEST_F(Form1Make, DoubleClickOnOtherControlsDoesNothing) {
  const std::size_t start = forms.calls.size();
  for (ControlId id : {ControlId::cmdMake, ControlId::Label3, ControlId::Label6, ControlId::Image1}) {
    form.DblClick(id);
  }
  EXPECT_TRUE(forms.CallsSince(start).empty());
}

}  // namespace
}  // namespace velmora::testing
