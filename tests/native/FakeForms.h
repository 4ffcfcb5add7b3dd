#pragma once
// A recording fake of the forms runtime: every call is logged in order as one line, and the
// fake keeps just enough state (captions, texts, enabled flags, tab order, focus, clipboard)
// for the handlers' results to be checked as well as their steps.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Form1Controls.h"
#include "platform/Forms.h"
#include "platform/TabOrder.h"

namespace velmora::testing {

// A control's name, as the layout table gives it.
std::wstring NameOf(ControlKey key);

class FakeForms final : public FormsRuntime {
 public:
  FakeForms();

  // The log, oldest call first, e.g. L"SetEnabled(cmdDown,0)".
  std::vector<std::wstring> calls;

  // State that the calls change or read.
  std::wstring caption = L"Form1";
  std::map<ControlId, std::wstring> labelCaptions;
  std::map<ControlId, std::wstring> texts;
  std::map<ControlId, bool> enabled;
  std::map<ControlId, Color> foreColors;
  std::map<ControlId, bool> underlines;
  std::optional<ControlId> focus;
  std::size_t selStart = 0;
  TabOrder tabOrder;
  std::optional<std::wstring> clipboard;  // nullopt: what another program left there
  bool clipboardBusy = false;
  std::int16_t year = 2008;
  ProgramVersion version{1, 0, 2};

  // A call whose log line starts with this text throws PlatformError instead of acting.
  std::wstring failOn;

  void SetCaption(std::wstring_view text) override;
  WindowHandle Handle() override;
  void SetLabelCaption(ControlKey label, std::wstring_view text) override;
  std::wstring LabelCaption(ControlKey label) override;
  void SetForeColor(ControlKey label, Color color) override;
  void SetFontUnderline(ControlKey label, bool underline) override;
  void SetEnabled(ControlKey button, bool on) override;
  void SetTabIndex(ControlKey button, std::int16_t index) override;
  void SetFocus(ControlKey control) override;
  WindowHandle ControlHandle(ControlKey control) override;
  std::wstring Text(ControlKey box) override;
  void SetText(ControlKey box, std::wstring_view text) override;
  void SetSelStart(ControlKey box, std::size_t position) override;
  ClipboardResult ReplaceClipboardText(std::wstring_view text) override;
  void MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) override;
  ProgramVersion Version() override;
  std::int16_t CurrentYear() override;
  void ShellExecute(WindowHandle owner, std::wstring_view operation, std::wstring_view file,
                    std::wstring_view parameters, std::wstring_view directory, int showCommand) override;

  static constexpr WindowHandle kFormHandle = 0x1000;
  static WindowHandle HandleOf(ControlId id) { return 0x2000 + static_cast<WindowHandle>(id); }

  // The log lines recorded since the given count of calls.
  std::vector<std::wstring> CallsSince(std::size_t start) const {
    return {calls.begin() + static_cast<std::ptrdiff_t>(start), calls.end()};
  }

 private:
  void Record(std::wstring line);
};

}  // namespace velmora::testing
