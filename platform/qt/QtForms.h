#pragma once
// The forms runtime on Qt Widgets: builds the window and its standard controls from the layout,
// raises the form's events from the controls' events, and carries out the operations the event
// handlers ask for. Every control is known only through its entry in the layout table.
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <string_view>

#include "platform/ControlTable.h"
#include "platform/EventBoundary.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"

namespace velmora::qt {

class ButtonStyle;

// What the program brings along: its artwork and its version.
struct QtResources {
  ProgramVersion version;
  QIcon icon;
  QPixmap banner;
  QPixmap handCursor;
  int handHotX = 0;
  int handHotY = 0;
};

class QtForms final : public QObject, public FormsRuntime, private EventBoundary {
 public:
  QtForms(const FormSpec& layout, QtResources resources, FatalErrorTexts fatal);
  ~QtForms() override;
  QtForms(const QtForms&) = delete;
  QtForms& operator=(const QtForms&) = delete;

  // What the application needs before its QApplication is made: the same scaling in Qt 5 as in
  // Qt 6 on a high-DPI screen.
  static void PrepareApplication();

  // Creates the window and its controls, raises Initialize, then shows the window centred with
  // the focus on the first control in tab order. False when start-up failed (already reported).
  bool Open(FormEvents& events);

  // Null once the window is gone, closed by the user or after a failure.
  QWidget* Window() const { return window_; }
  QWidget* ControlWidget(ControlKey id) const { return controls_.HandleOf(id); }
  using EventBoundary::Failed;

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

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Control = ControlTable<QWidget*>::Control;  // the widget: owned by the window

  void CreateWindow();
  void CreateControls();
  void ApplyTabOrder();
  void AutoSize(const Control& label);
  void ApplyLook(const Control& label);
  Control* FromWidget(const QObject* widget);
  void Centre();
  void Activate();

  // EventBoundary.
  void ReportFatal(std::wstring_view title, std::wstring_view text) noexcept override;
  void EndAfterFailure() noexcept override;

  const FormSpec& spec_;
  QtResources resources_;
  FormEvents* events_ = nullptr;
  TabOrder tabOrder_;
  ControlTable<QWidget*> controls_;
  std::unique_ptr<ButtonStyle> style_;  // the command buttons' look; outlives the window
  QPointer<QWidget> window_;            // deleted with this object when still there
  const QObject* doubleClicked_ = nullptr;  // the label whose double-click awaits its release
  bool activated_ = false;                  // raised and activated after the first paint
};

}  // namespace velmora::qt
