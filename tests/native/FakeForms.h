#pragma once
// A fake forms runtime that keeps what the user would see: the caption, label captions and
// colours, texts, enabled buttons, the tab order, the focus, the clipboard and the message boxes
// shown. It also logs every call as one line, e.g. L"SetEnabled(cmdDown,0)", for the few checks
// where the order of the steps is itself the behaviour.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1Controls.h"
#include "app/Form1Layout.h"
#include "platform/Forms.h"
#include "platform/TabOrder.h"

namespace velmora::testing {

inline std::wstring NameOf(ControlKey key) {
  return std::wstring(Form1Layout().controls[key.index].name);
}

struct Box {
  std::wstring text;
  MsgBoxStyle style;
  std::wstring title;
  bool operator==(const Box&) const = default;
};

class FakeForms final : public FormsRuntime {
 public:
  // Labels and texts start empty; the buttons enabled, in the layout's tab order.
  FakeForms() : tabOrder(TabOrder::FromLayout(Form1Layout().controls)) {
    for (ControlId id : {ControlId::cmdUp, ControlId::cmdDown, ControlId::cmdMake}) enabled[id] = true;
  }

  std::wstring caption;
  std::map<ControlId, std::wstring> labelCaptions, texts;
  std::map<ControlId, bool> enabled, underlines;
  std::map<ControlId, Color> foreColors;
  std::optional<ControlId> focus;
  std::size_t selStart = 0;
  TabOrder tabOrder;
  std::optional<std::wstring> clipboard;  // nullopt: what another program left there
  bool clipboardBusy = false;
  std::vector<Box> boxes;  // every message box shown, oldest first
  std::int16_t year = 2008;
  ProgramVersion version{1, 0, 2};

  std::vector<std::wstring> calls;  // the log, oldest call first
  std::wstring failOn;  // a call whose log line starts with this throws PlatformError instead of acting

  std::vector<std::wstring> CallsSince(std::size_t start) const {
    return {calls.begin() + static_cast<std::ptrdiff_t>(start), calls.end()};
  }
  static constexpr WindowHandle kFormHandle = 0x1000;
  static WindowHandle HandleOf(ControlId id) { return 0x2000 + static_cast<WindowHandle>(id); }

  void SetCaption(std::wstring_view text) override { Log(L"SetCaption", {std::wstring(text)}), caption = text; }
  WindowHandle Handle() override { return Log(L"Handle", {}), kFormHandle; }
  void SetLabelCaption(ControlKey l, std::wstring_view text) override {
    Log(L"SetLabelCaption", {NameOf(l), std::wstring(text)}), labelCaptions[IdOf(l)] = text;
  }
  std::wstring LabelCaption(ControlKey l) override { return Log(L"LabelCaption", {NameOf(l)}), labelCaptions[IdOf(l)]; }
  void SetForeColor(ControlKey l, Color c) override {
    Log(L"SetForeColor", {NameOf(l), std::to_wstring(c)}), foreColors[IdOf(l)] = c;
  }
  void SetFontUnderline(ControlKey l, bool on) override {
    Log(L"SetFontUnderline", {NameOf(l), std::to_wstring(on)}), underlines[IdOf(l)] = on;
  }
  void SetEnabled(ControlKey b, bool on) override { Log(L"SetEnabled", {NameOf(b), std::to_wstring(on)}), enabled[IdOf(b)] = on; }
  void SetTabIndex(ControlKey b, std::int16_t i) override {
    Log(L"SetTabIndex", {NameOf(b), std::to_wstring(i)}), tabOrder.Set(b, i);
  }
  void SetFocus(ControlKey c) override { Log(L"SetFocus", {NameOf(c)}), focus = IdOf(c); }
  WindowHandle ControlHandle(ControlKey c) override { return Log(L"ControlHandle", {NameOf(c)}), HandleOf(IdOf(c)); }
  std::wstring Text(ControlKey b) override { return Log(L"Text", {NameOf(b)}), texts[IdOf(b)]; }
  void SetText(ControlKey b, std::wstring_view text) override {
    Log(L"SetText", {NameOf(b), std::wstring(text)}), texts[IdOf(b)] = text, selStart = 0;
  }
  void SetSelStart(ControlKey b, std::size_t at) override { Log(L"SetSelStart", {NameOf(b), std::to_wstring(at)}), selStart = at; }
  ClipboardResult ReplaceClipboardText(std::wstring_view text) override {
    Log(L"ReplaceClipboardText", {std::to_wstring(text.size()) + L" chars"});
    if (clipboardBusy) return ClipboardResult::Busy;
    clipboard = text;
    return ClipboardResult::Replaced;
  }
  void MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) override {
    Log(L"MsgBox", {std::wstring(text), std::to_wstring(static_cast<unsigned>(style)), std::wstring(title)});
    boxes.push_back({std::wstring(text), style, std::wstring(title)});
  }
  ProgramVersion Version() override { return Log(L"Version", {}), version; }
  std::int16_t CurrentYear() override { return Log(L"CurrentYear", {}), year; }
  void ShellExecute(WindowHandle owner, std::wstring_view operation, std::wstring_view file,
                    std::wstring_view parameters, std::wstring_view directory, int show) override {
    Log(L"ShellExecute", {std::to_wstring(owner), std::wstring(operation), std::wstring(file),
                          L"[" + std::wstring(parameters) + L"]", L"[" + std::wstring(directory) + L"]",
                          std::to_wstring(show)});
  }

 private:
  // Logs L"Name(argument,argument)"; a failOn match throws after logging, before acting.
  void Log(std::wstring_view name, std::initializer_list<std::wstring> arguments) {
    std::wstring line = std::wstring(name) + L"(";
    for (const std::wstring& a : arguments) line += (&a == arguments.begin() ? L"" : L",") + a;
    calls.push_back(line + L")");
    if (!failOn.empty() && calls.back().starts_with(failOn)) throw PlatformError("injected failure");
  }
};

}  // namespace velmora::testing
