#include "FakeForms.h"

#include <algorithm>

#include "app/Form1Layout.h"

namespace velmora::testing {

std::wstring NameOf(ControlKey key) {
  const auto& controls = Form1Layout().controls;
  return key.index < controls.size() ? std::wstring(controls[key.index].name)
                                     : L"control " + std::to_wstring(key.index);
}

namespace {
std::wstring Flag(bool on) {
  return on ? L"1" : L"0";
}
}  // namespace

// The fake starts as the window does when created from the layout.
FakeForms::FakeForms() : tabOrder(TabOrder::FromLayout(Form1Layout().controls)) {
  for (const ControlSpec& c : Form1Layout().controls) {
    switch (c.kind) {
      case ControlKind::Label:
        labelCaptions[IdOf(c.key)] = std::wstring(c.caption);
        foreColors[IdOf(c.key)] = c.foreColor;
        underlines[IdOf(c.key)] = false;
        break;
      case ControlKind::TextBox:
        texts[IdOf(c.key)] = std::wstring(c.caption);
        break;
      case ControlKind::CommandButton:
        enabled[IdOf(c.key)] = true;
        break;
      case ControlKind::Image:
        break;
    }
  }
}

void FakeForms::Record(std::wstring line) {
  const bool fail = !failOn.empty() && line.starts_with(failOn);
  calls.push_back(std::move(line));
  if (fail) {
    throw PlatformError("injected failure");
  }
}

void FakeForms::SetCaption(std::wstring_view text) {
  Record(L"SetCaption(" + std::wstring(text) + L")");
  caption = text;
}

WindowHandle FakeForms::Handle() {
  Record(L"Handle()");
  return kFormHandle;
}

void FakeForms::SetLabelCaption(ControlKey label, std::wstring_view text) {
  Record(L"SetLabelCaption(" + NameOf(label) + L"," + std::wstring(text) + L")");
  labelCaptions[IdOf(label)] = text;
}

std::wstring FakeForms::LabelCaption(ControlKey label) {
  Record(L"LabelCaption(" + NameOf(label) + L")");
  return labelCaptions[IdOf(label)];
}

void FakeForms::SetForeColor(ControlKey label, Color color) {
  Record(L"SetForeColor(" + NameOf(label) + L"," + std::to_wstring(color) + L")");
  foreColors[IdOf(label)] = color;
}

void FakeForms::SetFontUnderline(ControlKey label, bool underline) {
  Record(L"SetFontUnderline(" + NameOf(label) + L"," + Flag(underline) + L")");
  underlines[IdOf(label)] = underline;
}

void FakeForms::SetEnabled(ControlKey button, bool on) {
  Record(L"SetEnabled(" + NameOf(button) + L"," + Flag(on) + L")");
  enabled[IdOf(button)] = on;
}

void FakeForms::SetTabIndex(ControlKey button, std::int16_t index) {
  Record(L"SetTabIndex(" + NameOf(button) + L"," + std::to_wstring(index) + L")");
  tabOrder.Set(button, index);
}

void FakeForms::SetFocus(ControlKey control) {
  Record(L"SetFocus(" + NameOf(control) + L")");
  focus = IdOf(control);
}

WindowHandle FakeForms::ControlHandle(ControlKey control) {
  Record(L"ControlHandle(" + NameOf(control) + L")");
  return HandleOf(IdOf(control));
}

std::wstring FakeForms::Text(ControlKey box) {
  Record(L"Text(" + NameOf(box) + L")");
  return texts[IdOf(box)];
}

void FakeForms::SetText(ControlKey box, std::wstring_view text) {
  Record(L"SetText(" + NameOf(box) + L"," + std::wstring(text) + L")");
  texts[IdOf(box)] = text;
  selStart = 0;
}

void FakeForms::SetSelStart(ControlKey box, std::size_t position) {
  Record(L"SetSelStart(" + NameOf(box) + L"," + std::to_wstring(position) + L")");
  selStart = position;
}

ClipboardResult FakeForms::ReplaceClipboardText(std::wstring_view text) {
  Record(L"ReplaceClipboardText(" + std::to_wstring(text.size()) + L" chars)");
  if (clipboardBusy) {
    return ClipboardResult::Busy;
  }
  clipboard = text;
  return ClipboardResult::Replaced;
}

void FakeForms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  Record(L"MsgBox(" + std::wstring(text) + L"," + std::to_wstring(static_cast<unsigned>(style)) + L"," +
         std::wstring(title) + L")");
}

ProgramVersion FakeForms::Version() {
  Record(L"Version()");
  return version;
}

std::int16_t FakeForms::CurrentYear() {
  Record(L"CurrentYear()");
  return year;
}

void FakeForms::ShellExecute(WindowHandle owner, std::wstring_view operation, std::wstring_view file,
                             std::wstring_view parameters, std::wstring_view directory, int showCommand) {
  Record(L"ShellExecute(" + std::to_wstring(owner) + L"," + std::wstring(operation) + L"," +
         std::wstring(file) + L",[" + std::wstring(parameters) + L"],[" + std::wstring(directory) + L"]," +
         std::to_wstring(showCommand) + L")");
}

}  // namespace velmora::testing
