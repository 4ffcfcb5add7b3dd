// The window's messages: one small function each, raising the form's events.
#include "platform/win32/Win32Forms.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/win32/Dpi.h"
#include "platform/win32/Subclass.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WindowText.h"

namespace velmora::win32 {

// While the box is up the window keeps its default processing (it paints, timers tick); only
// the events stop.
void Win32Forms::ReportFatal(std::wstring_view title, std::wstring_view text) noexcept {
  try {
    const std::wstring lines = WithWindowsLineEnds(text);
    const std::wstring caption(title);
    ::MessageBoxW(window_.get(), lines.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {  // no memory for the texts: the program ends all the same
  }
}

void Win32Forms::EndAfterFailure() noexcept {
  if (window_) {
    ::DestroyWindow(window_.get());  // WM_NCDESTROY lets go of the handle
  }
}

int Win32Forms::Run() {
  if (window_) {
    running_ = true;  // from now on, destroying the window posts WM_QUIT
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (!PreTranslate(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    running_ = false;
  }
  return Failed() ? 1 : 0;
}

bool Win32Forms::PreTranslate(MSG& msg) {
  return window_ && ::IsDialogMessageW(window_.get(), &msg) != FALSE;
}

// Events observe, they never swallow. Every message reaches the window's or the control's
// own processing (DefWindowProc here, the control's previous procedure in ControlProc) and its result is the
// one returned; an event that a message raises runs after that processing, so a handler
// sees the control as the message left it. The window answers by itself only what asks the
// parent for a value (the labels' colours, the pointer shape, the layout at a new DPI). The
// one message dropped on purpose is WM_SETFOCUS on the two count buttons (ButtonHook.cpp).
LRESULT CALLBACK Win32Forms::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Forms*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) {
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  const LRESULT result = self->HandleMessage(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->OnNcDestroy();
  }
  return result;
}

LRESULT Win32Forms::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  // The parent's own answers.
  switch (msg) {
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) {
        return TRUE;
      }
      break;
    case WM_DPICHANGED:
      Raise([&] { OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam)); });
      return 0;
    case WM_NOTIFY:  // the arrow buttons' custom draw where their symbol font is missing
      if (LRESULT result = 0; OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
        return result;
      }
      break;
    default:
      break;
  }

  // Before the default processing: what must be noted while it is still there.
  if ((msg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) ||
      (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE)) {
    SaveFocus();  // minimising takes the focus away before the window is deactivated
  } else if (msg == WM_GETOBJECT) {
    NameControls();  // in place before the system builds the accessible object
  } else if (msg == WM_DESTROY) {
    OnDestroy();
  }

  const LRESULT result = ::DefWindowProcW(hwnd, msg, wParam, lParam);

  // After it: the events, and the focus that a dialog would give back.
  switch (msg) {
    case WM_SETFOCUS:  // activation, and a restore from the taskbar, focus the window itself
      RestoreFocus();
      break;
    case WM_COMMAND:
      Raise([&] { OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); });
      break;
    case WM_MOUSEMOVE:
      Raise([&] { events_->FormMouseMove(); });
      break;
    default:
      break;
  }
  return result;
}

// Control notifications, and the commands a dialog-style loop sends for Enter and Escape.
void Win32Forms::OnCommand(int id, int code, HWND from) {
  if (id == IDOK && FromWindow(from) == nullptr) {
    OnEnterKey();
    return;
  }
  const Control* control = FromWindow(from);
  if (control == nullptr || id != kFirstControlId + static_cast<int>(control->design->key.index)) {
    return;  // Escape (IDCANCEL) and anything else not from a control of ours
  }
  const bool notifyingKind =
      control->design->kind == ControlKind::CommandButton || control->design->kind == ControlKind::Label;
  if (code == BN_CLICKED && notifyingKind) {  // STN_CLICKED has the same value
    events_->Click(control->design->key);
  } else if (code == STN_DBLCLK && control->design->kind == ControlKind::Label) {
    events_->DblClick(control->design->key);
  }
}

// Enter presses the focused command button, as in a dialog; in the text box it presses nothing,
// since the window has no default button.
void Win32Forms::OnEnterKey() {
  const Control* focused = FromWindow(::GetFocus());
  if (focused != nullptr && focused->design->kind == ControlKind::CommandButton &&
      ::IsWindowEnabled(focused->handle)) {
    ::SendMessageW(focused->handle, BM_CLICK, 0, 0);
  }
}

LRESULT Win32Forms::OnCtlColorStatic(HDC dc, HWND label) {
  const Control* control = FromWindow(label);
  const Color color = control == nullptr ? kDefaultColor : control->color;
  ::SetTextColor(dc, color == kDefaultColor ? ::GetSysColor(COLOR_BTNTEXT) : static_cast<COLORREF>(color));
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

bool Win32Forms::OnSetCursor(HWND over, int hitTest) {
  const Control* control = FromWindow(over);
  if (hitTest != HTCLIENT || control == nullptr || control->design->cursor != CursorKind::Hand) {
    return false;
  }
  ::SetCursor(handCursor_);
  return true;
}

// Focus as in a dialog: the control that had the focus gets it back when the window is
// activated again or restored, whichever way the focus left it.
void Win32Forms::SaveFocus() noexcept {
  const HWND focus = ::GetFocus();
  if (FromWindow(focus) != nullptr) {
    savedFocus_ = focus;
  }
}

void Win32Forms::RestoreFocus() noexcept {
  HWND target = savedFocus_;
  if (target == nullptr || !::IsWindowEnabled(target)) {
    target = ControlWindow(tabOrder_.Sequence().front());
  }
  if (target != nullptr) {
    ::SetFocus(target);
  }
}

void Win32Forms::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  FontSet fonts(dpi);  // the old fonts stay alive until every control has the new ones
  std::swap(fonts_, fonts);
  POINT topLeft{suggested.left, suggested.top};
  ApplyLayout(&topLeft, 0);
}

// Screen readers get the names of the controls whose captions do not say what they are.
void Win32Forms::NameControls() noexcept {
  std::vector<NamedWindow> named;
  for (const AccessibleName& entry : spec_.accessibleNames) {
    if (const HWND hwnd = ControlWindow(entry.key)) {
      named.push_back({hwnd, entry.name});
    }
  }
  if (named.size() == spec_.accessibleNames.size()) {  // every control is there
    accessibleNames_.Annotate(named);
  }
}

void Win32Forms::OnDestroy() noexcept {
  accessibleNames_.Clear();  // the controls still exist
  if (running_) {
    ::PostQuitMessage(Failed() ? 1 : 0);
  }
}

// The window is gone: nothing may use its handle or those of its controls from here on.
void Win32Forms::OnNcDestroy() noexcept {
  window_.release();
  controls_.Forget();
  savedFocus_ = nullptr;
}

// Every control is subclassed; see WindowProc for the rule the subclass keeps.
LRESULT CALLBACK Win32Forms::ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const SubclassRecord* record = FindSubclass(hwnd, kControlLayer);
  auto* self = record == nullptr ? nullptr : static_cast<Win32Forms*>(record->context);
  if (self != nullptr && msg == WM_GETOBJECT) {
    self->NameControls();
  }
  const LRESULT result = CallPrevious(hwnd, kControlLayer, msg, wParam, lParam);
  if (self == nullptr || msg == WM_NCDESTROY) {
    return result;
  }
  if (const Control* control = self->FromWindow(hwnd)) {
    self->OnControlMessage(*control, msg);
  }
  return result;
}

void Win32Forms::OnControlMessage(const Control& control, UINT msg) noexcept {
  const ControlKey id = control.design->key;
  if (msg == WM_MOUSEMOVE) {
    Raise([&] { events_->MouseMove(id); });
  } else if (msg == WM_LBUTTONDBLCLK && control.design->kind == ControlKind::TextBox) {
    Raise([&] { events_->DblClick(id); });
  }
}

// Places every control at the current DPI, the labels sized to their captions, and sizes the
// window around the client area: centred on its monitor's work area on first layout, at the
// given top-left corner afterwards. On first layout what was created in place for this DPI is
// not placed again: the controls always, the window where it was created for the same DPI.
void Win32Forms::ApplyLayout(const POINT* topLeft, UINT windowCreatedAtDpi) {
  const bool firstLayout = topLeft == nullptr;  // the controls were created in place at dpi_
  for (Control& control : controls_.All()) {
    const ControlSpec& c = *control.design;
    if (c.kind != ControlKind::Image) {
      ::SendMessageW(control.handle, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts_.Get(c.arrow, control.underline)), FALSE);
    }
    const int width = TwipsToPixels(c.width, dpi_);
    const int height = TwipsToPixels(c.height, dpi_);
    if (c.kind == ControlKind::Image) {
      const HBITMAP bitmap = banner_.ForSize(width, height);
      const auto old = reinterpret_cast<HBITMAP>(
          ::SendMessageW(control.handle, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
      if (old != nullptr && old != shownBanner_) {
        ::DeleteObject(old);  // a copy that the control made of a bitmap with alpha
      }
      shownBanner_ = bitmap;
    }
    if (!firstLayout) {
      ::SetWindowPos(control.handle, nullptr, TwipsToPixels(c.left, dpi_), TwipsToPixels(c.top, dpi_), width,
                     height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (c.kind == ControlKind::Label) {
      AutoSize(control);
    }
  }

  const SIZE client{TwipsToPixels(spec_.clientWidth, dpi_), TwipsToPixels(spec_.clientHeight, dpi_)};
  const RECT frame = WindowRectForClient(client, kWindowStyle, 0, dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const POINT at =
      topLeft != nullptr
          ? *topLeft
          : CentredOn(::MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY), {width, height});
  if (windowCreatedAtDpi != dpi_) {
    ::SetWindowPos(window_.get(), nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // Where the frame does not scale with the DPI as predicted (older systems, Wine), correct by
  // what the client area actually came out as.
  RECT actual{};
  ::GetClientRect(window_.get(), &actual);
  if (actual.right != client.cx || actual.bottom != client.cy) {
    ::SetWindowPos(window_.get(), nullptr, 0, 0, width + client.cx - actual.right,
                   height + client.cy - actual.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!firstLayout) {
    ::InvalidateRect(window_.get(), nullptr, TRUE);  // a window not shown yet is painted whole when it is
  }
}

// An auto-size label is exactly as large as its caption in its font; left and top stay put.
void Win32Forms::AutoSize(const Control& label) {
  const std::wstring caption = WindowText(label.handle);
  WindowDC dc(label.handle);
  SelectedObject font(dc.get(), fonts_.Get(label.design->arrow, label.underline));
  SIZE extent{};
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  if (!caption.empty() &&
      !::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &extent)) {
    ThrowLastError("GetTextExtentPoint32W");
  }
  ::SetWindowPos(label.handle, nullptr, 0, 0, extent.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Tab order is the order of the children: focusable controls and labels in tab-index order on
// top, the banner at the bottom.
void Win32Forms::ApplyTabOrder() {
  HWND previous = HWND_TOP;
  for (const ControlKey id : tabOrder_.Sequence()) {
    const HWND hwnd = ControlWindow(id);
    ::SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = hwnd;
  }
  for (const Control& control : controls_.All()) {
    if (control.design->tabIndex == kNoTabIndex) {
      ::SetWindowPos(control.handle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

}  // namespace velmora::win32
