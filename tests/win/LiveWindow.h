#pragma once
// Real input (SendInput) and the built programs' windows; the real window, made in the test process
// from the program's own layout, handlers and Win32 runtime; its message boxes; the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/Form1.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"
#include "platform/win32/ButtonHook.h"
#include "platform/win32/Win32Forms.h"
#include "platform/win32/WindowText.h"
#include "resources/ResourceIds.h"

namespace velmora::testing {

using enum ControlId;

inline std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

inline RECT ScreenRect(HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

inline POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline void SendMouse(POINT screen, DWORD flags) {
  INPUT input{.type = INPUT_MOUSE, .mi = {::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1),
                                          ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1), 0,
                                          flags | MOUSEEVENTF_ABSOLUTE, 0, 0}};
  ::SendInput(1, &input, sizeof(input));
}

inline INPUT Key(WORD vk, DWORD flags = 0, wchar_t unit = 0) {
  return {.type = INPUT_KEYBOARD, .ki = {vk, static_cast<WORD>(unit), flags, 0, 0}};
}

inline void SendClick(POINT screen, DWORD pause = 0) {  // not waited for
  for (const DWORD step : {DWORD{MOUSEEVENTF_MOVE}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
    SendMouse(screen, step);
    ::Sleep(pause);
  }
}

template <typename Condition>
bool WaitFor(Condition condition, int timeoutMilliseconds = 30000) {
  for (int waited = 0; waited < timeoutMilliseconds && !condition(); waited += 10) {
    ::Sleep(10);
  }
  return condition();
}

// A screen point of the caption row where the window answers the hit-test code: the caption and
// its buttons are drawn by the system (by Wine itself on the rig's display).
inline std::optional<POINT> FramePoint(HWND window, LRESULT hitTest) {
  const RECT frame = ScreenRect(window);
  for (int y = frame.top + 2; y < frame.top + 40; y += 2) {
    for (int x = frame.right - 2; x > frame.left; x -= 2) {
      if (::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == hitTest) {
        return POINT{x, y};
      }
    }
  }
  return std::nullopt;
}

// What ctest names in the environment: the built exes, the rig's folders and files.
inline std::filesystem::path FromEnvironment(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

// A program started from its exe, ended if still running when the test is done.
struct Process {
  PROCESS_INFORMATION info{};
  HWND window = nullptr;

  bool Start(const std::wstring& exe, std::wstring arguments = L"", const wchar_t* folder = nullptr) {
    arguments = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    return ::CreateProcessW(exe.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                            &info) != FALSE;
  }
  static BOOL CALLBACK Match(HWND hwnd, LPARAM self) {  // visible, holding the program's first control
    auto* process = reinterpret_cast<Process*>(self);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    const bool mine = owner == process->info.dwProcessId && ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, 100);
    process->window = mine ? hwnd : nullptr;
    return !mine;
  }
  bool WindowShown() {
    return WaitFor([&] { return !::EnumWindows(Match, reinterpret_cast<LPARAM>(this)) && window != nullptr; });
  }
  bool Ended(DWORD milliseconds) { return ::WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0; }
  DWORD ExitCode() {
    DWORD code = 12345;
    ::GetExitCodeProcess(info.hProcess, &code);
    return code;
  }
  ~Process() {
    if (info.hProcess != nullptr && !Ended(0)) {
      ::TerminateProcess(info.hProcess, 9);
    }
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
  }
};


inline std::unique_ptr<win32::Win32Forms> MakeForms() {  // with the program's layout and resources
  return std::make_unique<win32::Win32Forms>(::GetModuleHandleW(nullptr), Form1Layout(),
                                             win32::Win32Resources{IDI_VELMORA, IDB_BANNER, IDC_LINK_HAND},
                                             FatalErrorTexts{texts::kFatalTitle, texts::kFatalPrefix});
}

class LiveWindow {
 public:
  LiveWindow() {
    EXPECT_TRUE(forms_->Open(*form_, SW_SHOWNORMAL)) << "the window did not open";
    ::SetForegroundWindow(Window());
    Pump(100);
  }
  ~LiveWindow() {
    form_.reset();
    forms_.reset();
    Pump(10);  // what the window left queued
  }

  HWND Window() const { return forms_->Window(); }
  HWND Control(ControlKey id) const { return forms_->ControlWindow(id); }
  std::wstring Text(ControlKey id) const { return TextOf(Control(id)); }
  bool Enabled(ControlKey id) const { return ::IsWindowEnabled(Control(id)) != FALSE; }
  bool Focused(ControlKey id) const { return ::GetFocus() == Control(id); }
  std::pair<DWORD, DWORD> Selection() const {  // the nickname box's
    DWORD start = 0, end = 0;
    ::SendMessageW(Control(ControlId::Text1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  RECT ClientRectOf(ControlKey id) const {  // in the window's client coordinates
    RECT rect = ScreenRect(Control(id));
    ::MapWindowPoints(HWND_DESKTOP, Window(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  win32::Win32Forms& Forms() { return *forms_; }

  // Dispatches queued messages (through the dialog keyboard handling) for a while, or until the
  // condition holds; PumpUntil returns the condition's last value.
  void Pump(int milliseconds) { PumpUntil([] { return false; }, milliseconds); }
  bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000) {
    return WaitFor(
        [&] {
          for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
            if (forms_ == nullptr || !forms_->PreTranslate(msg)) {  // the destructor pumps after the window
              ::TranslateMessage(&msg);
              ::DispatchMessageW(&msg);
            }
          }
          return condition();
        },
        timeoutMilliseconds);
  }

  // Real input. A right click (MOUSEEVENTF_RIGHTDOWN) is not settled: keys queued next go to the
  // menu it opens. A drag presses the left button at the first client point, lets go at the last.
  void MoveTo(POINT client, DWORD button = 0) {  // with a button's "down" or "up" flag if given
    ::ClientToScreen(Window(), &client);
    SendMouse(client, MOUSEEVENTF_MOVE | button);
    Pump(30);
  }
  void MoveTo(ControlKey id) { MoveTo(Centre(ClientRectOf(id))); }
  void ClickOn(ControlKey id, int times = 1, DWORD down = MOUSEEVENTF_LEFTDOWN) {  // twice: a double click
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
  void Drag(std::initializer_list<POINT> clientPoints) {
    for (const POINT& point : clientPoints) {
      MoveTo(point, &point == clientPoints.begin() ? MOUSEEVENTF_LEFTDOWN : 0);
    }
    MoveTo(*std::prev(clientPoints.end()), MOUSEEVENTF_LEFTUP);
  }
  // Chords one after another, each key held down in order and let go in reverse (Shift+End, Alt+F4);
  // without settling, the input stays queued for whoever reads the queue next.
  void Keys(std::initializer_list<std::initializer_list<WORD>> chords, bool settle = true) {
    for (const auto& keys : chords) {
      std::vector<INPUT> inputs;
      for (const WORD vk : keys) {
        inputs.insert(inputs.begin() + std::ssize(inputs) / 2, {Key(vk), Key(vk, KEYEVENTF_KEYUP)});
      }
      ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
      if (settle) {
        Pump(30);
      }
    }
  }
  void Type(const std::wstring& text) {
    for (const wchar_t unit : text) {
      INPUT inputs[] = {Key(0, KEYEVENTF_UNICODE, unit), Key(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, unit)};
      ::SendInput(2, inputs, sizeof(INPUT));
    }
    Pump(30);
  }
  void MoveToDpi(UINT dpi) {  // as if moved to a monitor of that DPI
    RECT suggested = ScreenRect(Window());
    ::SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump(30);
  }

 private:
  std::unique_ptr<win32::Win32Forms> forms_ = MakeForms();
  std::unique_ptr<Form1> form_ = std::make_unique<Form1>(*forms_);
};

inline bool OfClass(HWND hwnd, const wchar_t* name) {
  wchar_t cls[16]{};
  ::GetClassNameW(hwnd, cls, 16);
  return _wcsicmp(cls, name) == 0;
}

enum class BoxIcon { None, Error, Information, Other };
using Box = std::tuple<std::wstring, std::wstring, BoxIcon>;  // title, text (its lines end in CR LF), icon
struct CaughtBox {
  Box seen;
  int buttons = 0;
  HWND owner = nullptr, box = nullptr;
};

// The message boxes shown on this thread, caught (a CBT hook) as a user sees them and dismissed,
// or left up for the test to dismiss.
class MessageBoxCatcher {
 public:
  MessageBoxCatcher() { current = this; }
  ~MessageBoxCatcher() { ::UnhookWindowsHookEx(hook_); }
  std::vector<CaughtBox> boxes;
  bool dismiss = true;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto box = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && OfClass(box, L"#32770")) {
      CaughtBox caught{{TextOf(box), L"", BoxIcon::None}, 0, ::GetWindow(box, GW_OWNER), box};
      auto& [title, text, icon] = caught.seen;
      for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (OfClass(child, L"Button")) {
          ++caught.buttons;
        } else if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
          const auto handle = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
          icon = handle == ::LoadIconW(nullptr, IDI_ERROR)         ? BoxIcon::Error
                 : handle == ::LoadIconW(nullptr, IDI_INFORMATION) ? BoxIcon::Information
                                                                     : BoxIcon::Other;
        } else if (TextOf(child).size() > text.size()) {
          text = TextOf(child);
        }
      }
      current->boxes.push_back(caught);
      if (current->dismiss) {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline MessageBoxCatcher* current = nullptr;  // the hook procedure has no context parameter
  HHOOK hook_ = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
};

inline std::wstring ClipboardText() {  // CF_UNICODETEXT, or L"<none>"
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

inline Color LabelColor(HWND window, HWND label) {  // what the window paints the label's text with
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
  const COLORREF color = ::GetTextColor(dc);
  ::DeleteDC(dc);
  return color;
}

inline LOGFONTW FontOf(HWND control) {
  LOGFONTW lf{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  return lf;
}

}  // namespace velmora::testing
