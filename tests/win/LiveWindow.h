#pragma once
// The real window, made in the test process from the program's own layout, handlers and Win32
// runtime, driven with real input (SendInput) and inspected through Win32; the message boxes it
// shows; the clipboard as another program sees it.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Desktop.h"
#include "app/Form1.h"
#include "platform/win32/Win32Forms.h"

namespace velmora::testing {

using enum ControlId;

std::unique_ptr<win32::Win32Forms> MakeForms();  // with the program's layout and resources

class LiveWindow {
 public:
  LiveWindow();
  ~LiveWindow();

  HWND Window() const { return forms_->Window(); }
  HWND Control(ControlKey id) const { return forms_->ControlWindow(id); }
  std::wstring Text(ControlKey id) const { return TextOf(Control(id)); }
  bool Enabled(ControlKey id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
  bool Focused(ControlKey id) const { return ::GetFocus() == Control(id); }
  RECT ClientRectOf(ControlKey id) const;  // in the window's client coordinates
  win32::Win32Forms& Forms() { return *forms_; }

  // Dispatches queued messages (through the dialog keyboard handling) for a while, or until the
  // condition holds; PumpUntil returns the condition's last value.
  void Pump(int milliseconds) { PumpUntil([] { return false; }, milliseconds); }
  bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

  // Real input. A right click (MOUSEEVENTF_RIGHTDOWN) is not settled: keys queued next go to the
  // menu it opens. A drag presses the left button at the first client point, lets go at the last.
  void MoveTo(POINT client);
  void MoveTo(ControlKey id) { MoveTo(Centre(ClientRectOf(id))); }
  void ClickOn(ControlKey id, int times = 1, DWORD down = MOUSEEVENTF_LEFTDOWN);
  void Drag(std::initializer_list<POINT> clientPoints);
  // Holds the keys down in order and lets them go in reverse (Tab, Shift+End, Alt+F4); without
  // settling, the input stays queued for whoever reads the queue next.
  void Press(std::initializer_list<WORD> keys, bool settle = true);
  void Type(const std::wstring& text);
  void MoveToDpi(UINT dpi);  // as if moved to a monitor of that DPI

 private:
  std::unique_ptr<win32::Win32Forms> forms_;
  std::unique_ptr<Form1> form_;
};

enum class BoxIcon { None, Error, Information, Other };
struct CaughtBox {
  std::wstring title, text;
  BoxIcon icon = BoxIcon::None;
  int buttons = 0;
  HWND owner = nullptr;
  HWND box = nullptr;
};

// The message boxes shown on this thread, caught (a CBT hook) as a user sees them and dismissed,
// or left up for the test to dismiss.
class MessageBoxCatcher {
 public:
  explicit MessageBoxCatcher(bool dismiss = true);
  ~MessageBoxCatcher();
  std::vector<CaughtBox> boxes;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_;
  bool dismiss_;
};

std::wstring ClipboardText();                   // CF_UNICODETEXT, or L"<none>"
void PutOnClipboard(const std::wstring& text);  // as CF_UNICODETEXT
Color LabelColor(HWND window, HWND label);      // what the window paints the label's text with
LOGFONTW FontOf(HWND control);
SIZE CaptionExtent(HWND control);   // the caption in the control's own font
inline std::wstring draskenPath;    // the built exe, from --drasken=<path>

}  // namespace velmora::testing
