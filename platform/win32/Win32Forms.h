#pragma once
// The forms runtime on Win32: builds the window and its standard controls from the layout,
// raises the form's events from window messages, and carries out the operations the event
// handlers ask for.
#include <windows.h>

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"
#include "platform/win32/AccessibleNames.h"
#include "platform/win32/Banner.h"
#include "platform/win32/FontSet.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Shell.h"

namespace velmora::win32 {

struct Win32Resources {
  int iconId;
  int bannerId;
  int handCursorId;
};

// How a failure that ends the program is worded for the user.
struct FatalErrorTexts {
  std::wstring_view title;
  std::wstring_view prefix;  // followed by the failure's own description
};

class Win32Forms final : public FormsRuntime {
 public:
  Win32Forms(HINSTANCE instance, const FormSpec& layout, Win32Resources resources, FatalErrorTexts fatal);
  ~Win32Forms() override;
  Win32Forms(const Win32Forms&) = delete;
  Win32Forms& operator=(const Win32Forms&) = delete;

  // Creates the window and its controls, raises Initialize, then shows the window with the
  // focus on the first control in tab order. False when start-up failed (already reported).
  bool Open(FormEvents& events, int showCommand);

  // The message loop: runs until the window is gone; returns the program's exit code, 0 when
  // the user closed the window and 1 after a failure that ended the program.
  int Run();

  // Dialog keyboard handling (Tab, access keys, Enter, Escape) for one queued message;
  // true when the message was consumed. Run() uses it; so can a test's own loop.
  bool PreTranslate(MSG& msg);

  // Null once the window is destroyed, by the user or by a failure.
  HWND Window() const { return window_.get(); }
  HWND ControlWindow(ControlKey key) const {
    return key.index < controls_.size() ? controls_[key.index].hwnd : nullptr;
  }
  UINT Dpi() const { return dpi_; }
  bool Failed() const { return failed_; }

  // FormsRuntime.
  void SetCaption(std::wstring_view caption) override;
  WindowHandle Handle() override;
  void SetLabelCaption(ControlKey label, std::wstring_view caption) override;
  std::wstring LabelCaption(ControlKey label) override;
  void SetForeColor(ControlKey label, Color color) override;
  void SetFontUnderline(ControlKey label, bool underline) override;
  void SetEnabled(ControlKey button, bool enabled) override;
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

 private:
  struct Control {
    HWND hwnd = nullptr;                  // borrowed: a child, destroyed with the window
    const ControlSpec* design = nullptr;  // its entry in the layout
    Color color = kDefaultColor;
    bool underline = false;
  };

  static constexpr int kFirstControlId = 100;
  static constexpr wchar_t kControlLayer[] = L"Velmora.Control";  // the subclass on every control
  static constexpr DWORD kWindowStyle =
      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void OnControlMessage(const Control& control, UINT msg) noexcept;
  void OnCommand(int id, int code, HWND from);
  void OnEnterKey();
  LRESULT OnCtlColorStatic(HDC dc, HWND label);
  bool OnSetCursor(HWND over, int hitTest);
  void SaveFocus() noexcept;
  void RestoreFocus() noexcept;
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  bool OnNotify(const NMHDR& header, LRESULT& result) noexcept;
  void NameControls() noexcept;
  void OnDestroy() noexcept;
  void OnNcDestroy() noexcept;

  void RegisterWindowClass();
  void CreateControls();
  void ApplyLayout(POINT* topLeft);
  void ApplyTabOrder();
  void AutoSize(const Control& label);
  const Control& Checked(ControlKey id, ControlKind kind) const;
  Control& Checked(ControlKey id, ControlKind kind);
  Control* FromWindow(HWND hwnd);

  // Runs one event handler; a failure ends the program after telling the user.
  template <typename Handler>
  void Raise(Handler&& handler) noexcept;
  void Fail(std::exception_ptr error) noexcept;

  HINSTANCE instance_;
  const FormSpec& spec_;
  Win32Resources resources_;
  FatalErrorTexts fatal_;
  FormEvents* events_ = nullptr;
  UINT dpi_ = 96;
  TabOrder tabOrder_;
  std::vector<Control> controls_;  // one for each row of the layout, at the same place
  HCURSOR handCursor_ = nullptr;   // shared resource: not destroyed
  HWND savedFocus_ = nullptr;      // the control that had the focus when the window last lost it
  HBITMAP shownBanner_ = nullptr;  // borrowed from banner_
  bool failed_ = false;
  bool running_ = false;  // inside Run(): closing the window ends the loop
  Shell shell_;
  AccessibleNames accessibleNames_;
  // Declared last so that the window, and with it every control, goes before the fonts and
  // the bitmaps they use. Released (not destroyed again) when the window is destroyed.
  FontSet fonts_;
  Banner banner_;
  UniqueWindow window_;
};

template <typename Handler>
void Win32Forms::Raise(Handler&& handler) noexcept {
  if (failed_) {
    return;
  }
  try {
    handler();
  } catch (...) {
    Fail(std::current_exception());
  }
}

}  // namespace velmora::win32
