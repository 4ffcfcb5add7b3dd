#include "app/Form1.h"

#include <string>

#include "app/NicknameCode.h"
#include "app/Texts.h"
#include "app/Title.h"

namespace velmora {

Form1::Form1(FormsRuntime& forms) : forms_(forms) {}

void Form1::Initialize() {
  const std::int16_t year = forms_.CurrentYear();
  const ProgramVersion version = forms_.Version();
  forms_.SetCaption(ComposeTitle(year, version.major, version.minor, version.revision));

  spaceCount_ = kMinSpaceCount;
  ShowSpaceCount();
  forms_.SetEnabled(ControlId::cmdDown, false);

  forms_.SetLabelCaption(ControlId::Label2, texts::kCredit);
  forms_.SetLabelCaption(ControlId::Label3, texts::kWebAddress);
  forms_.SetText(ControlId::Text1, texts::kDefaultNickname);
  forms_.SetSelStart(ControlId::Text1, forms_.Text(ControlId::Text1).size());

  forms_.HookButton(ControlId::cmdUp);
  forms_.HookButton(ControlId::cmdDown);
}

void Form1::Click(ControlKey control) {
  switch (IdOf(control)) {
    case ControlId::cmdMake:
      cmdMake_Click();
      break;
    case ControlId::cmdUp:
      cmdUp_Click();
      break;
    case ControlId::cmdDown:
      cmdDown_Click();
      break;
    case ControlId::Label3:
      Label3_Click();
      break;
    case ControlId::Label7:
      Label7_Click();
      break;
    default:
      break;
  }
}

void Form1::DblClick(ControlKey control) {
  if (IdOf(control) == ControlId::Text1) {
    Text1_DblClick();
  }
}

void Form1::MouseMove(ControlKey control) {
  const ControlId id = IdOf(control);
  if (id == ControlId::Label3 || id == ControlId::Label7) {
    ShowLinkHover(id);
  }
}

void Form1::FormMouseMove() {
  ShowLinkNormal(ControlId::Label3);
  ShowLinkNormal(ControlId::Label7);
}

// The code is composed before the clipboard is touched, and the clipboard is replaced in one
// step: a busy clipboard or a bad count leaves the user's previous clipboard content intact.
void Form1::cmdMake_Click() {
  if (forms_.Text(ControlId::Text1).empty()) {
    forms_.MsgBox(texts::kEmptyNickname, MsgBoxStyle::Error, texts::kErrorTitle);
    forms_.SetText(ControlId::Text1, L"");
    forms_.SetFocus(ControlId::Text1);
    return;
  }
  // The count is read back from what the count label shows, not from spaceCount_: the code is
  // made for the count the user sees.
  const std::wstring countText = forms_.LabelCaption(ControlId::Label6);
  const std::wstring code = ComposeNicknameCode(countText, forms_.Text(ControlId::Text1));
  switch (forms_.ReplaceClipboardText(code)) {
    case ClipboardResult::Replaced:
      forms_.MsgBox(texts::kDone, MsgBoxStyle::Information, texts::kDoneTitle);
      return;
    case ClipboardResult::Busy:
      forms_.MsgBox(texts::kClipboardBusy, MsgBoxStyle::Error, texts::kErrorTitle);
      return;
    case ClipboardResult::CopyByHand:  // the platform has said why, and shown the code
      return;
  }
}

void Form1::Text1_DblClick() {
  forms_.SetText(ControlId::Text1, L"");
}

// The button that would leave the range is disabled at each end, so neither handler clamps.
void Form1::cmdUp_Click() {
  spaceCount_ = static_cast<std::int16_t>(spaceCount_ + 1);
  ShowSpaceCount();
  if (spaceCount_ == kMaxSpaceCount) {
    forms_.SetEnabled(ControlId::cmdUp, false);
    forms_.SetEnabled(ControlId::cmdDown, true);
    forms_.SetTabIndex(ControlId::cmdUp, 2);
    forms_.SetTabIndex(ControlId::cmdDown, 1);
    forms_.SetFocus(ControlId::cmdDown);
  }
  if (spaceCount_ < kMaxSpaceCount) {
    forms_.SetEnabled(ControlId::cmdDown, true);
  }
}

void Form1::cmdDown_Click() {
  spaceCount_ = static_cast<std::int16_t>(spaceCount_ - 1);
  ShowSpaceCount();
  if (spaceCount_ == kMinSpaceCount) {
    forms_.SetEnabled(ControlId::cmdDown, false);
    forms_.SetEnabled(ControlId::cmdUp, true);
    forms_.SetTabIndex(ControlId::cmdUp, 1);
    forms_.SetTabIndex(ControlId::cmdDown, 2);
    forms_.SetFocus(ControlId::cmdUp);
  }
  if (spaceCount_ > kMinSpaceCount) {
    forms_.SetEnabled(ControlId::cmdUp, true);
  }
}

void Form1::ShowSpaceCount() {
  forms_.SetLabelCaption(ControlId::Label6, std::to_wstring(spaceCount_));
}

void Form1::Label3_Click() {
  OpenLink(texts::kWebAddress);
}

void Form1::Label7_Click() {
  OpenLink(texts::kMailtoTarget);
}

void Form1::OpenLink(std::wstring_view target) {
  forms_.OpenLink(target);
}

void Form1::ShowLinkHover(ControlId link) {
  forms_.SetForeColor(link, kRed);
  forms_.SetFontUnderline(link, true);
}

void Form1::ShowLinkNormal(ControlId link) {
  forms_.SetForeColor(link, kBlue);
  forms_.SetFontUnderline(link, false);
}

}  // namespace velmora
