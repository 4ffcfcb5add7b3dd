#include "LiveWindow.h"

#include <gtest/gtest.h>

#include <cwchar>

#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "app/hook/ButtonHook.h"
#include "resources/ResourceIds.h"

namespace velmora::testing {

std::unique_ptr<win32::Win32Forms> MakeForms() {
  return std::make_unique<win32::Win32Forms>(::GetModuleHandleW(nullptr), Form1Layout(),
                                             win32::Win32Resources{IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                                             win32::FatalErrorTexts{texts::kFatalTitle, texts::kFatalPrefix});
}

LiveWindow::LiveWindow() : forms_(MakeForms()), form_(std::make_unique<Form1>(*forms_, HookButton)) {
  if (!forms_->Open(*form_, SW_SHOWNORMAL)) {
    ADD_FAILURE() << "the window did not open";
    return;
  }
  ::SetForegroundWindow(Window());
  Pump(100);
}

LiveWindow::~LiveWindow() {
  form_.reset();
  forms_.reset();
  Pump(10);  // what the window left queued
}

bool LiveWindow::PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMilliseconds);
  for (;;) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (forms_ == nullptr || !forms_->PreTranslate(msg)) {  // the destructor pumps after the window
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
    if (condition()) {
      return true;
    }
    if (::GetTickCount64() >= deadline) {
      return false;
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

RECT LiveWindow::ClientRectOf(ControlKey id) const {
  RECT rect = ScreenRect(Control(id));
  ::MapWindowPoints(HWND_DESKTOP, Window(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void LiveWindow::MoveTo(POINT client) {
  ::ClientToScreen(Window(), &client);
  SendMouse(client, MOUSEEVENTF_MOVE);
  Pump(30);
}

void LiveWindow::ClickOn(ControlKey id, int times, DWORD down) {  // twice: a double click
  MoveTo(id);
  const POINT at = Centre(ScreenRect(Control(id)));
  for (int i = 0; i < times; ++i) {
    SendMouse(at, down);
    Pump(times == 1 && down == MOUSEEVENTF_LEFTDOWN ? 30 : 0);
    SendMouse(at, down * 2);  // the button's "up" flag
  }
  if (down == MOUSEEVENTF_LEFTDOWN) {
    Pump(30);
  }
}

void LiveWindow::Drag(std::initializer_list<POINT> clientPoints) {
  POINT screen{};
  for (const POINT& point : clientPoints) {
    ::ClientToScreen(Window(), &(screen = point));
    SendMouse(screen, MOUSEEVENTF_MOVE | (&point == clientPoints.begin() ? MOUSEEVENTF_LEFTDOWN : 0));
    Pump(30);
  }
  SendMouse(screen, MOUSEEVENTF_LEFTUP);
  Pump(30);
}

void LiveWindow::Press(std::initializer_list<WORD> keys, bool settle) {
  std::vector<INPUT> inputs(keys.size() * 2);
  std::size_t down = 0, up = inputs.size();
  for (const WORD vk : keys) {
    inputs[down].type = inputs[--up].type = INPUT_KEYBOARD;
    inputs[down++].ki.wVk = inputs[up].ki.wVk = vk;
    inputs[up].ki.dwFlags = KEYEVENTF_KEYUP;
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (settle) {
    Pump(30);
  }
}

void LiveWindow::Type(const std::wstring& text) {
  for (const wchar_t unit : text) {
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(unit);
      input.ki.dwFlags = KEYEVENTF_UNICODE | (&input == inputs ? 0 : KEYEVENTF_KEYUP);
    }
    ::SendInput(2, inputs, sizeof(INPUT));
  }
  Pump(30);
}

void LiveWindow::MoveToDpi(UINT dpi) {
  RECT suggested = ScreenRect(Window());
  ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  Pump(30);
}

namespace {
MessageBoxCatcher* g_catcher = nullptr;  // the hook procedure has no context parameter

bool OfClass(HWND hwnd, const wchar_t* name) {
  wchar_t cls[16]{};
  ::GetClassNameW(hwnd, cls, 16);
  return _wcsicmp(cls, name) == 0;
}
}  // namespace

MessageBoxCatcher::MessageBoxCatcher(bool dismiss)
    : hook_(::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())), dismiss_(dismiss) {
  g_catcher = this;
}

MessageBoxCatcher::~MessageBoxCatcher() {
  ::UnhookWindowsHookEx(hook_);
  g_catcher = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  const auto box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && g_catcher != nullptr && OfClass(box, L"#32770")) {
    CaughtBox caught{TextOf(box), L"", BoxIcon::None, 0, ::GetWindow(box, GW_OWNER), box};
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (OfClass(child, L"Button")) {
        ++caught.buttons;
      } else if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        caught.icon = icon == ::LoadIconW(nullptr, IDI_ERROR)         ? BoxIcon::Error
                      : icon == ::LoadIconW(nullptr, IDI_INFORMATION) ? BoxIcon::Information
                                                                      : BoxIcon::Other;
      } else if (TextOf(child).size() > caught.text.size()) {
        caught.text = TextOf(child);
      }
    }
    g_catcher->boxes.push_back(caught);
    if (g_catcher->dismiss_) {
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring ClipboardText() {
  std::wstring text = L"<none>";
  WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 1000);
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text.assign(chars, ::wcsnlen(chars, ::GlobalSize(data) / sizeof(wchar_t)));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void PutOnClipboard(const std::wstring& text) {
  WaitFor([] { return ::OpenClipboard(nullptr) != FALSE; }, 1000);
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::wmemcpy(static_cast<wchar_t*>(::GlobalLock(memory)), text.c_str(), text.size() + 1);
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_UNICODETEXT, memory);
  ::CloseClipboard();
}

Color LabelColor(HWND window, HWND label) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF color = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return color;
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW lf{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf;
}

SIZE CaptionExtent(HWND control) {
  const std::wstring caption = TextOf(control);
  HDC dc = ::GetDC(control);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return extent;
}

}  // namespace velmora::testing
