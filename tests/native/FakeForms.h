#pragma once
// A fake forms runtime that keeps what the user would see (captions, colours, texts, enabled buttons, tab
// order, focus, clipboard, message boxes) and logs every call as one line, e.g. L"SetEnabled(cmdDown,0)",
// for the few checks where the order of the steps is itself the behaviour.
#include <concepts>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/Form1Controls.h"
#include "app/Form1Layout.h"
#include "platform/Forms.h"
#include "platform/TabOrder.h"

namespace velmora::testing {

using Box = std::tuple<std::wstring, MsgBoxStyle, std::wstring>;  // text, style, title

class FakeForms final : public FormsRuntime {
 public:
  // Labels and texts start empty; the buttons enabled, in the layout's tab order.
  std::wstring caption;
  std::map<ControlId, std::wstring> labelCaptions, texts;
  std::map<ControlId, bool> enabled{
      {ControlId::cmdUp, true}, {ControlId::cmdDown, true}, {ControlId::cmdMake, true}};
  std::map<ControlId, bool> underlines;
  std::map<ControlId, Color> foreColors;
  std::optional<ControlId> focus;
  std::vector<ControlId> hooked;  // the buttons given the focus filter, in order
  std::size_t selStart = 0;
  TabOrder tabOrder = TabOrder::FromLayout(Form1Layout().controls);
  std::optional<std::wstring> clipboard;  // nullopt: what another program left there
  bool clipboardBusy = false;
  bool clipboardByHand = false;  // nothing can copy: the platform shows the code instead
  std::vector<Box> boxes;  // every message box shown, oldest first
  std::int16_t year = 2008;
  ProgramVersion version{1, 0, 2};

  std::vector<std::wstring> calls;  // the log, oldest call first
  std::wstring failOn;  // a call whose log line starts with this throws PlatformError instead of acting

  void SetCaption(std::wstring_view text) override { Log(L"SetCaption", text), caption = text; }
  void SetLabelCaption(ControlKey l, std::wstring_view text) override {
    Log(L"SetLabelCaption", l, text), labelCaptions[IdOf(l)] = text;
  }
  std::wstring LabelCaption(ControlKey l) override { return Log(L"LabelCaption", l), labelCaptions[IdOf(l)]; }
  void SetForeColor(ControlKey l, Color c) override { Log(L"SetForeColor", l, c), foreColors[IdOf(l)] = c; }
  void SetFontUnderline(ControlKey l, bool on) override {
    Log(L"SetFontUnderline", l, on), underlines[IdOf(l)] = on;
  }
  void SetEnabled(ControlKey b, bool on) override { Log(L"SetEnabled", b, on), enabled[IdOf(b)] = on; }
  void SetTabIndex(ControlKey b, std::int16_t i) override { Log(L"SetTabIndex", b, i), tabOrder.Set(b, i); }
  void SetFocus(ControlKey c) override { Log(L"SetFocus", c), focus = IdOf(c); }
  void HookButton(ControlKey b) override { Log(L"HookButton", b), hooked.push_back(IdOf(b)); }
  std::wstring Text(ControlKey b) override { return Log(L"Text", b), texts[IdOf(b)]; }
  void SetText(ControlKey b, std::wstring_view text) override {
    Log(L"SetText", b, text), texts[IdOf(b)] = text, selStart = 0;
  }
  void SetSelStart(ControlKey b, std::size_t at) override { Log(L"SetSelStart", b, at), selStart = at; }
  ClipboardResult ReplaceClipboardText(std::wstring_view text) override {
    Log(L"ReplaceClipboardText", text.size());
    if (clipboardByHand) {
      return ClipboardResult::CopyByHand;
    }
    if (!clipboardBusy) {
      clipboard = text;
    }
    return clipboardBusy ? ClipboardResult::Busy : ClipboardResult::Replaced;
  }
  void MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) override {
    Log(L"MsgBox", text, style == MsgBoxStyle::Error ? L"error" : L"information", title);
    boxes.emplace_back(text, style, title);
  }
  ProgramVersion Version() override { return Log(L"Version"), version; }
  std::int16_t CurrentYear() override { return Log(L"CurrentYear"), year; }
  void OpenLink(std::wstring_view target) override { Log(L"OpenLink", target); }

 private:
  static std::wstring Word(ControlKey key) { return std::wstring(Form1Layout().controls[key.index].name); }
  static std::wstring Word(std::wstring_view text) { return std::wstring(text); }
  static std::wstring Word(std::integral auto number) { return std::to_wstring(number); }
  // Logs L"Name(argument,argument)"; a failOn match throws after logging, before acting.
  void Log(std::wstring_view name, const auto&... arguments) {
    std::wstring line;
    ((line += L"," + Word(arguments)), ...);
    calls.push_back(std::wstring(name) + L"(" + line.substr(line.empty() ? 0 : 1) + L")");
    if (!failOn.empty() && calls.back().starts_with(failOn)) {
      throw PlatformError("injected failure");
    }
  }
};

}  // namespace velmora::testing
