#pragma once
// The forms runtime on Win32: builds the window and its standard controls from the layout,
// raises the form's events from window messages, and carries out the operations the event
// handlers ask for.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/win32/Handles.h"
#include "platform/ControlTable.h"
#include "platform/EventBoundary.h"
#include "platform/Forms.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"
#include "platform/win32/AccessibleNames.h"
#include "platform/win32/Banner.h"
#include "platform/win32/ComApartment.h"
#include "platform/win32/FontSet.h"
#include "platform/win32/Shell.h"

namespace velmora::win32 {

struct Win32Resources {
  int iconId;
  int bannerId;
  int handCursorId;
};

class Win32Forms final : public FormsRuntime, private EventBoundary {
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
  HWND ControlWindow(ControlKey key) const { return controls_.HandleOf(key); }
  UINT Dpi() const { return dpi_; }
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

 private:
  using Control = ControlTable<HWND>::Control;  // the handle: a child, destroyed with the window

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
  void ApplyLayout(const POINT* topLeft, UINT windowCreatedAtDpi);
  void ApplyTabOrder();
  void AutoSize(const Control& label);
  Control* FromWindow(HWND hwnd) { return controls_.Find(hwnd); }

  // EventBoundary.
  void ReportFatal(std::wstring_view title, std::wstring_view text) noexcept override;
  void EndAfterFailure() noexcept override;

  HINSTANCE instance_;
  const FormSpec& spec_;
  Win32Resources resources_;
  FormEvents* events_ = nullptr;
  UINT dpi_ = 96;
  TabOrder tabOrder_;
  ControlTable<HWND> controls_;    // one for each row of the layout, at the same place
  HCURSOR handCursor_ = nullptr;   // shared resource: not destroyed
  HWND savedFocus_ = nullptr;      // the control that had the focus when the window last lost it
  HBITMAP shownBanner_ = nullptr;  // borrowed from banner_
  bool running_ = false;           // inside Run(): closing the window ends the loop
  ComApartment apartment_;         // outlives the two that use it
  Shell shell_{apartment_};
  AccessibleNames accessibleNames_{apartment_};
  // Declared last so that the window, and with it every control, goes before the fonts and
  // the bitmaps they use. Released (not destroyed again) when the window is destroyed.
  FontSet fonts_;
  Banner banner_;
  UniqueWindow window_;
};

}  // namespace velmora::win32
