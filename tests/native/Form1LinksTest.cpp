#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeForms.h"
#include "app/Form1.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using Calls = std::vector<std::wstring>;
using enum ControlId;

class Form1Links : public ::testing::Test {
 protected:
  Calls Record(auto event) {
    const std::size_t start = forms.calls.size();
    event();
    return forms.CallsSince(start);
  }
  bool Lit(ControlId link) { return forms.foreColors[link] == kRed && forms.underlines[link]; }
  bool Normal(ControlId link) { return forms.foreColors[link] == kBlue && !forms.underlines[link]; }

  FakeForms forms;
  Form1 form{forms, [](WindowHandle) {}};
};

TEST_F(Form1Links, StartInTheNormalLook) {
  EXPECT_TRUE(Normal(Label3));
  EXPECT_TRUE(Normal(Label7));
}

TEST_F(Form1Links, MovingOverALinkLightsOnlyThatLink) {
  EXPECT_EQ(Record([&] { form.MouseMove(Label3); }),
            (Calls{L"SetForeColor(Label3,255)", L"SetFontUnderline(Label3,1)"}));
  EXPECT_TRUE(Lit(Label3));
  EXPECT_TRUE(Normal(Label7));

  EXPECT_EQ(Record([&] { form.MouseMove(Label7); }),
            (Calls{L"SetForeColor(Label7,255)", L"SetFontUnderline(Label7,1)"}));
  EXPECT_TRUE(Lit(Label7));
  EXPECT_TRUE(Lit(Label3));  // only the window's own surface puts a link back
}

TEST_F(Form1Links, MovingOverTheWindowRestoresBothLinksEveryTime) {
  const Calls restore{L"SetForeColor(Label3,16711680)", L"SetFontUnderline(Label3,0)",
                      L"SetForeColor(Label7,16711680)", L"SetFontUnderline(Label7,0)"};
  form.MouseMove(Label3);
  EXPECT_EQ(Record([&] { form.FormMouseMove(); }), restore);
  EXPECT_TRUE(Normal(Label3) && Normal(Label7));
  EXPECT_EQ(Record([&] { form.FormMouseMove(); }), restore);  // also when neither is lit
}

TEST_F(Form1Links, OtherControlsHaveNoMovementHandler) {
  form.MouseMove(Label3);
  for (ControlId id : {Label1, Label2, Label4, Label5, Label6, Image1, Text1, cmdMake}) {
    EXPECT_TRUE(Record([&] { form.MouseMove(id); }).empty());
  }
  EXPECT_TRUE(Lit(Label3));
}

TEST_F(Form1Links, ClicksHandTheTargetsToTheShellWithTheWindowAsOwner) {
  const std::wstring owner = std::to_wstring(FakeForms::kFormHandle);
  EXPECT_EQ(Record([&] { form.Click(Label3); }),
            (Calls{L"Handle()",
                   L"ShellExecute(" + owner + L",open," + std::wstring(texts::kWebAddress) + L",[],[],1)"}));
  EXPECT_EQ(Record([&] { form.Click(Label7); }),
            (Calls{L"Handle()", L"ShellExecute(" + owner + L",open,mailto:" + std::wstring(VELMORA_EMAIL) +
                                    L",[],[],1)"}));
}

TEST_F(Form1Links, AClickLeavesTheLookAsItWas) {
  form.MouseMove(Label3);
  form.Click(Label3);
  EXPECT_TRUE(Lit(Label3));
  form.Click(Label7);
  EXPECT_TRUE(Normal(Label7));
}

TEST_F(Form1Links, TheEmailCaptionAndTheMailtoTargetNameTheSameAddress) {
  const std::wstring_view caption = texts::kEmailCaption;
  const std::wstring_view target = texts::kMailtoTarget;
  ASSERT_TRUE(caption.starts_with(L"E-mail:"));
  ASSERT_TRUE(target.starts_with(L"mailto:"));
  EXPECT_EQ(caption.substr(7), target.substr(7));
  EXPECT_NE(caption.substr(7).find(L'@'), std::wstring_view::npos);
}

}  // namespace
}  // namespace velmora::testing
