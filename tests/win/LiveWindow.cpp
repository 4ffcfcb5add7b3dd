#include "LiveWindow.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "app/hook/ButtonHook.h"
#include "resources/ResourceIds.h"

namespace velmora::testing {

LiveWindow::LiveWindow()
    : forms_(std::make_unique<win32::Win32Forms>(
          ::GetModuleHandleW(nullptr), Form1Layout(),
          win32::Win32Resources{IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
          win32::FatalErrorTexts{texts::kFatalTitle, texts::kFatalPrefix})),
      form_(std::make_unique<Form1>(*forms_, HookButton)) {
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
  Pump(10);
}

void LiveWindow::Pump(int milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
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
  RECT rect{};
  ::GetWindowRect(Control(id), &rect);
  ::MapWindowPoints(HWND_DESKTOP, Window(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring LiveWindow::TextOf(HWND hwnd) const {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

namespace {
void SendMouseInput(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof(input));
}
}  // namespace

void SendClick(POINT screen) {
  SendMouseInput(screen, MOUSEEVENTF_MOVE);
  SendMouseInput(screen, MOUSEEVENTF_LEFTDOWN);
  SendMouseInput(screen, MOUSEEVENTF_LEFTUP);
}

void LiveWindow::SendMouse(POINT screen, DWORD flags) {
  SendMouseInput(screen, flags);
}

void LiveWindow::Settle() {
  Pump(30);
}

void LiveWindow::MoveToWindowPoint(POINT client) {
  ::ClientToScreen(Window(), &client);
  SendMouse(client, MOUSEEVENTF_MOVE);
  Settle();
}

void LiveWindow::MoveTo(ControlKey id) {
  const RECT r = ClientRectOf(id);
  MoveToWindowPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void LiveWindow::ClickOn(ControlKey id) {
  MoveTo(id);
  POINT at{};
  ::GetCursorPos(&at);
  SendMouse(at, MOUSEEVENTF_LEFTDOWN);
  Settle();
  SendMouse(at, MOUSEEVENTF_LEFTUP);
  Settle();
}

void LiveWindow::DoubleClickOn(ControlKey id) {
  MoveTo(id);
  POINT at{};
  ::GetCursorPos(&at);
  for (int i = 0; i < 2; ++i) {
    SendMouse(at, MOUSEEVENTF_LEFTDOWN);
    SendMouse(at, MOUSEEVENTF_LEFTUP);
  }
  Settle();
}

void LiveWindow::PressKey(WORD vk, bool alt) {
  INPUT inputs[4]{};
  UINT count = 0;
  auto key = [&](WORD code, DWORD flags) {
    inputs[count].type = INPUT_KEYBOARD;
    inputs[count].ki.wVk = code;
    inputs[count].ki.dwFlags = flags;
    ++count;
  };
  if (alt) {
    key(VK_MENU, 0);
  }
  key(vk, 0);
  key(vk, KEYEVENTF_KEYUP);
  if (alt) {
    key(VK_MENU, KEYEVENTF_KEYUP);
  }
  ::SendInput(count, inputs, sizeof(INPUT));
  Settle();
}

void LiveWindow::Press(std::initializer_list<WORD> keys, bool settle) {
  std::vector<INPUT> inputs;
  for (const WORD vk : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    inputs.push_back(input);
  }
  for (auto it = std::rbegin(keys); it != std::rend(keys); ++it) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (settle) {
    Settle();
  }
}

void LiveWindow::RightClickOn(ControlKey id) {
  MoveTo(id);
  POINT at{};
  ::GetCursorPos(&at);
  SendMouse(at, MOUSEEVENTF_RIGHTDOWN);
  SendMouse(at, MOUSEEVENTF_RIGHTUP);
}

void LiveWindow::Drag(std::initializer_list<POINT> clientPoints) {
  bool first = true;
  POINT screen{};
  for (POINT point : clientPoints) {
    screen = point;
    ::ClientToScreen(Window(), &screen);
    SendMouse(screen, MOUSEEVENTF_MOVE);
    if (first) {
      SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
      first = false;
    }
    Settle();
  }
  SendMouse(screen, MOUSEEVENTF_LEFTUP);
  Settle();
}

void LiveWindow::ClickAtScreen(POINT screen) {
  SendClick(screen);
  Settle();
}

void LiveWindow::Type(const std::wstring& text) {
  for (const wchar_t unit : text) {
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<WORD>(unit);
      input.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
  }
  Settle();
}

void LiveWindow::MoveToDpi(UINT dpi) {
  RECT suggested{};
  ::GetWindowRect(Window(), &suggested);
  ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  Pump(30);
}

std::wstring ClipboardText() {
  std::wstring text = L"<none>";
  for (int attempt = 0; attempt < 100 && !::OpenClipboard(nullptr); ++attempt) {
    ::Sleep(10);
  }
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text.assign(chars, ::GlobalSize(data) / sizeof(wchar_t));
      text.resize(std::wcslen(text.c_str()));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void PutOnClipboard(const std::wstring& text) {
  for (int attempt = 0; attempt < 100 && !::OpenClipboard(nullptr); ++attempt) {
    ::Sleep(10);
  }
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* chars = static_cast<wchar_t*>(::GlobalLock(memory));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, chars);
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
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  ::GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

}  // namespace velmora::testing
