// A download folder with DLLs planted in it: the program and fileversion.exe are copied next to a
// marker-writing DLL for every name they load by name, and run from there with those names set
// to prefer the DLL found beside the exe (as Windows does for any DLL that is not a known DLL).
// The program goes through start-up (which reads its version), a click on the web link and
// closing; fileversion reads a version. No planted DLL may be loaded.
//   dll_planting_tests <Drasken.exe> <fileversion.exe> <folder of the planted DLLs>
// WINEDLLOVERRIDES (from ctest) names the planted DLLs native-first; the shell's URL handler is
// the rig's recorder, so the click is seen to arrive.
// The window's folder has no version.dll: Wine's own user32 imports version.dll (Windows' does
// not), so under Wine any windowed program would load it; fileversion.exe has no window and is
// checked with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "PlantingTest.h"
#include "app/Form1Controls.h"

namespace {
std::vector<std::wstring> g_args;
}  // namespace

const std::wstring& ProgramPath() {
  return g_args.at(0);
}
const std::wstring& FileversionPath() {
  return g_args.at(1);
}

namespace {

namespace fs = std::filesystem;
// The window numbers its controls from 100, in the order of ControlId.
constexpr int kFirstControlId = 100;

struct Process {
  PROCESS_INFORMATION info{};
  ~Process() {
    if (info.hProcess != nullptr) {
      if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(info.hProcess, 9);
      }
      ::CloseHandle(info.hProcess);
      ::CloseHandle(info.hThread);
    }
  }
};

bool Start(Process& process, const fs::path& exe, std::wstring arguments, const fs::path& folder,
           HANDLE output = nullptr) {
  std::wstring commandLine = L"\"" + exe.wstring() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (output != nullptr) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  return ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr, 0, nullptr,
                          folder.c_str(), &startup, &process.info) != FALSE;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(hwnd, &owner);
  if (owner == search->processId && ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, kFirstControlId) != nullptr) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindowOf(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <typename Condition>
bool WaitFor(Condition condition, int timeoutMilliseconds = 30000) {
  for (int waited = 0; waited < timeoutMilliseconds; waited += 50) {
    if (condition()) {
      return true;
    }
    ::Sleep(50);
  }
  return condition();
}

void SendMouse(POINT screen, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &input, sizeof(input));
}

void Click(POINT screen) {
  for (const DWORD step : {DWORD{MOUSEEVENTF_MOVE}, DWORD{MOUSEEVENTF_LEFTDOWN}, DWORD{MOUSEEVENTF_LEFTUP}}) {
    SendMouse(screen, step);
    ::Sleep(150);
  }
}

std::string ReadAll(const fs::path& file) {
  std::string text;
  if (FILE* in = _wfopen(file.c_str(), L"rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), in)) > 0;) {
      text.append(buffer, n);
    }
    std::fclose(in);
  }
  return text;
}

class DllPlanting : public ::testing::Test {
 protected:
  void Plant(bool withVersionDll) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    folder = fs::path(temp) / (L"velmora-planted-" + std::to_wstring(::GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(fs::path(g_args[2]))) {
      if (entry.path().extension() == L".dll" && (withVersionDll || entry.path().stem() != L"version")) {
        fs::copy_file(entry.path(), folder / entry.path().filename());
        planted.push_back(entry.path().filename().wstring());
      }
    }
    ASSERT_FALSE(planted.empty());
    for (int i = 0; i < 2; ++i) {
      fs::copy_file(fs::path(g_args[static_cast<std::size_t>(i)]), folder / fs::path(g_args[static_cast<std::size_t>(i)]).filename());
    }
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  void ExpectNoMarker() {
    for (const std::wstring& dll : planted) {
      EXPECT_FALSE(fs::exists(folder / (dll + L".loaded"))) << fs::path(dll).string() << " was loaded";
    }
  }

  fs::path folder;
  std::vector<std::wstring> planted;
};

TEST_F(DllPlanting, TheProgramLoadsNoneThroughStartupALinkClickAndClosing) {
  const char* shellLog = std::getenv("VELMORA_SHELL_LOG");
  ASSERT_NE(shellLog, nullptr) << "the rig's recording URL handler is needed";
  const fs::path log = fs::path(L"Z:\\") / fs::path(shellLog).relative_path();  // Unix path, seen under Z:
  fs::remove(log);

  ASSERT_NO_FATAL_FAILURE(Plant(false));
  Process program;
  ASSERT_TRUE(Start(program, folder / L"Drasken.exe", L"", folder));
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = VisibleWindowOf(program.info.dwProcessId)) != nullptr; }))
      << "the window did not appear";
  wchar_t title[128]{};
  ::GetWindowTextW(window, title, 128);
  const std::wstring caption(title);
  const std::size_t v = caption.find(L" v");
  EXPECT_TRUE(v != std::wstring::npos && v + 2 < caption.size() && caption[v + 2] != L'0')
      << "the title carries the version read at start-up";

  const HWND webLink = ::GetDlgItem(
      window, kFirstControlId + static_cast<int>(velmora::ControlId::Label3));
  ASSERT_NE(webLink, nullptr);
  ::SetForegroundWindow(window);
  // A loaded machine may drop a click that arrives while the new window is still settling: the
  // click is given again, a few times, until the desktop sees it.
  bool reached = false;
  for (int attempt = 0; attempt < 4 && !reached; ++attempt) {
    RECT r{};
    ::GetWindowRect(webLink, &r);
    Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    reached = WaitFor([&] { return ReadAll(log).find("xdg-open ") != std::string::npos; }, 8000);
  }
  EXPECT_TRUE(reached) << "the link click did not reach the desktop";
  SendMouse({0, 0}, MOUSEEVENTF_MOVE);  // off every window: the next test's window must not open under it

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(::WaitForSingleObject(program.info.hProcess, 30000), WAIT_OBJECT_0);
  ExpectNoMarker();
}

TEST_F(DllPlanting, FileversionLoadsNoneReadingAVersion) {
  ASSERT_NO_FATAL_FAILURE(Plant(true));
  const fs::path output = folder / L"output.txt";
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  const HANDLE file = ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  Process tool;
  const bool started = Start(tool, folder / L"fileversion.exe", L"Drasken.exe", folder, file);
  ::CloseHandle(file);
  ASSERT_TRUE(started);
  ASSERT_EQ(::WaitForSingleObject(tool.info.hProcess, 30000), WAIT_OBJECT_0);
  DWORD status = 1;
  ::GetExitCodeProcess(tool.info.hProcess, &status);
  EXPECT_EQ(status, 0u) << ReadAll(output);
  EXPECT_NE(ReadAll(output).find("Drasken.exe: "), std::string::npos) << ReadAll(output);
  ExpectNoMarker();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  g_args.assign(argv + 1, argv + argc);
  if (g_args.size() != 3) {
    std::fputs("usage: dll_planting_tests <Drasken.exe> <fileversion.exe> <folder of the planted DLLs>\n", stderr);
    return 2;
  }
  return RUN_ALL_TESTS();
}
