#include "MessageBoxCatcher.h"

namespace velmora::testing {

namespace {
MessageBoxCatcher* g_catcher = nullptr;  // the hook procedure has no context parameter

std::wstring Text(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}
}  // namespace

MessageBoxCatcher::MessageBoxCatcher(Dismiss dismiss)
    : dismiss_(dismiss),
      hook_(::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())) {
  g_catcher = this;
}

MessageBoxCatcher::~MessageBoxCatcher() {
  ::UnhookWindowsHookEx(hook_);
  g_catcher = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && g_catcher != nullptr) {
    const auto hwnd = reinterpret_cast<HWND>(wParam);
    wchar_t cls[16]{};
    ::GetClassNameW(hwnd, cls, 16);
    if (std::wstring(cls) == L"#32770") {
      g_catcher->Catch(hwnd);
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::Catch(HWND box) {
  CaughtBox caught;
  caught.title = Text(box);
  caught.owner = ::GetWindow(box, GW_OWNER);
  caught.box = box;
  const HICON error = ::LoadIconW(nullptr, IDI_ERROR);
  const HICON information = ::LoadIconW(nullptr, IDI_INFORMATION);
  for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[16]{};
    ::GetClassNameW(child, cls, 16);
    const std::wstring name(cls);
    if (_wcsicmp(cls, L"Button") == 0) {
      ++caught.buttons;
    } else if (_wcsicmp(cls, L"Static") == 0) {
      if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        caught.icon = icon == error         ? BoxIcon::Error
                      : icon == information ? BoxIcon::Information
                                            : BoxIcon::Other;
      } else if (const std::wstring text = Text(child); text.size() > caught.text.size()) {
        caught.text = text;
      }
    }
  }
  boxes.push_back(caught);
  if (dismiss_ == Dismiss::AtOnce) {
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}

}  // namespace velmora::testing
