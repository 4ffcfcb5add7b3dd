#pragma once
// The real window, created in the test process from the program's own layout, handlers and
// Win32 runtime, driven with real input (SendInput) and inspected through Win32.
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "app/Form1.h"
#include "platform/win32/Win32Forms.h"

namespace velmora::testing {

class LiveWindow {
 public:
  LiveWindow();
  ~LiveWindow();

  HWND Window() const { return forms_->Window(); }
  HWND Control(ControlKey id) const { return forms_->ControlWindow(id); }
  win32::Win32Forms& Forms() { return *forms_; }
  Form1& Form() { return *form_; }

  // Dispatches queued messages (through the dialog keyboard handling) for a while, or until
  // the condition holds. PumpUntil returns the condition's last value.
  void Pump(int milliseconds);
  bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 3000);

  // Real input, through SendInput, as a user would give it.
  void MoveTo(ControlKey id);
  void MoveToWindowPoint(POINT client);
  void ClickOn(ControlKey id);
  void DoubleClickOn(ControlKey id);
  void PressKey(WORD vk, bool alt = false);
  // Holds the keys down in order and lets them go in reverse (Shift+End, Ctrl+C, Alt+F4);
  // without settling, the input stays queued for whoever reads the queue next.
  void Press(std::initializer_list<WORD> keys, bool settle = true);
  void RightClickOn(ControlKey id);  // not settled: keys queued next go to the menu it opens
  // Presses the left button at one point of the window's client area, moves through the
  // others, and lets go at the last one.
  void Drag(std::initializer_list<POINT> clientPoints);
  void ClickAtScreen(POINT screen);
  void Type(const std::wstring& text);

  // As if the window had been moved to a monitor of that DPI (WM_DPICHANGED).
  void MoveToDpi(UINT dpi);

  RECT ClientRectOf(ControlKey id) const;  // in the window's client coordinates
  std::wstring TextOf(HWND hwnd) const;

 private:
  void SendMouse(POINT screen, DWORD flags);
  void Settle();

  std::unique_ptr<win32::Win32Forms> forms_;
  std::unique_ptr<Form1> form_;
};

void SendClick(POINT screen);                   // a left click anywhere on the screen, not waited for
std::wstring ClipboardText();                   // CF_UNICODETEXT, or L"<none>"
void PutOnClipboard(const std::wstring& text);  // as CF_UNICODETEXT
Color LabelColor(HWND window, HWND label);      // what the window paints the label's text with
LOGFONTW FontOf(HWND control);
const std::wstring& DraskenPath();  // the built exe, from --drasken=<path>

}  // namespace velmora::testing
