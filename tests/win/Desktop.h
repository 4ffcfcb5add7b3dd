#pragma once
// What a person does on the desktop, shared by the tests that drive the window in this process and
// those that drive the built program in another: real input, a program's window, its frame.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace velmora::testing {

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
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof(input));
}

inline INPUT Key(WORD vk, DWORD flags = 0, wchar_t unit = 0) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki = {vk, static_cast<WORD>(unit), flags, 0, 0};
  return input;
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

inline std::string ReadAll(const std::filesystem::path& file) {
  std::stringstream content;
  content << std::ifstream(file, std::ios::binary).rdbuf();
  return content.str();
}

// Where the rig's recording URL and mail handlers (xdg-open, xdg-email) write: a Unix path, seen
// under Z:. Empty outside the rig.
inline std::filesystem::path ShellLog() {
  const char* log = std::getenv("VELMORA_SHELL_LOG");
  return log != nullptr ? std::filesystem::path(L"Z:\\") / std::filesystem::path(log).relative_path()
                        : std::filesystem::path();
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

}  // namespace velmora::testing
