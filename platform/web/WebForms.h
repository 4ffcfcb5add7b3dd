#pragma once
// The forms runtime on a web page: builds the window and its controls from the layout as
// elements of the page, raises the form's events from the page's events, and carries out the
// operations the handlers ask for. The page's own JavaScript (dom.js) is the glue for what only
// JavaScript can do; this class decides everything else.
#include <string>
#include <string_view>

#include "platform/ControlTable.h"
#include "platform/EventBoundary.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"

namespace velmora::web {

// The page's own words where the browser lets it put nothing on the clipboard: the box's title,
// the reason (not a secure context, refused, no way offered), and how to copy by hand.
struct CopyByHandTexts {
  std::wstring_view title;
  std::wstring_view notSecure;
  std::wstring_view denied;
  std::wstring_view unsupported;
  std::wstring_view byHand;
};

// The page's events, as dom.js reports them to velmora_event.
enum class PageEvent : int { Click = 0, DblClick = 1, MouseMove = 2, FormMouseMove = 3 };

class WebForms final : public FormsRuntime, private EventBoundary {
 public:
  WebForms(const FormSpec& layout, ProgramVersion version, FatalErrorTexts fatal, CopyByHandTexts copyByHand);
  ~WebForms() override;
  WebForms(const WebForms&) = delete;
  WebForms& operator=(const WebForms&) = delete;

  // Creates the window and its controls, raises Initialize, then shows the window with the focus
  // on the first control in tab order; from then on the page's events reach the handlers. False
  // when start-up failed (already reported).
  bool Open(FormEvents& events);

  // One event from the page, raised inside the event boundary.
  void Raise(PageEvent event, int place);

  // FormsRuntime.
  void SetCaption(std::wstring_view caption) override;
  void SetLabelCaption(ControlKey label, std::wstring_view caption) override;
  std::wstring LabelCaption(ControlKey label) override;
  void SetForeColor(ControlKey label, Color color) override;
  void SetFontUnderline(ControlKey label, bool underline) override;
  void SetEnabled(ControlKey button, bool enabled) override;
  void SetTabIndex(ControlKey button, std::int16_t index) override;
  void SetFocus(ControlKey control) override;
  void HookButton(ControlKey button) override;
  std::wstring Text(ControlKey box) override;
  void SetText(ControlKey box, std::wstring_view text) override;
  void SetSelStart(ControlKey box, std::size_t position) override;
  ClipboardResult ReplaceClipboardText(std::wstring_view text) override;
  void MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) override;
  ProgramVersion Version() override;
  std::int16_t CurrentYear() override;
  void OpenLink(std::wstring_view target) override;

 private:
  // The element of a control is known by its place; 0 means none (ControlTable's empty handle).
  using Control = ControlTable<int>::Control;

  void CreateWindow();
  void CreateControls();
  void ApplyTabOrder();
  void ApplyLook(const Control& label);
  std::wstring ReadText(const Control& control);

  // EventBoundary.
  void ReportFatal(std::wstring_view title, std::wstring_view text) noexcept override;
  void EndAfterFailure() noexcept override;

  const FormSpec& spec_;
  ProgramVersion version_;
  FatalErrorTexts fatal_;
  CopyByHandTexts copyByHand_;
  FormEvents* events_ = nullptr;
  TabOrder tabOrder_;
  ControlTable<int> controls_;
};

}  // namespace velmora::web
