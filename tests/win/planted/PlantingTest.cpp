// A download folder with DLLs planted in it (ctest names them and the exes): Drasken.exe and
// fileversion.exe import only Windows' known DLLs (never looked for beside an exe), and next to a
// marker-writing DLL for every other name they load, which WINEDLLOVERRIDES tells Wine to prefer,
// they load none: fileversion reading a version; then, version.dll taken away (Wine's own user32
// imports it), the program through start-up, a click on each link (seen by the rig's recording
// URL and mail handlers) and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "../LiveWindow.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;
const fs::path kDrasken = FromEnvironment(L"VELMORA_DRASKEN"), kFileversion = FromEnvironment(L"VELMORA_FILEVERSION");

// Known DLLs of every Windows from 7 on that a program like this could need.
TEST(ExeImports, OnlyKnownDlls) {
  const std::set<std::string> known = {"advapi32.dll", "gdi32.dll", "imm32.dll",   "kernel32.dll", "msvcrt.dll",
                                       "ole32.dll",    "shell32.dll", "shlwapi.dll", "user32.dll"};
  for (const fs::path& exe : {kDrasken, kFileversion}) {
    const HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr) << "cannot map " << exe;
    const auto* base = reinterpret_cast<const unsigned char*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    std::set<std::string> imported;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name != 0; ++entry) {
      std::string name = reinterpret_cast<const char*>(base + entry->Name);
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
      EXPECT_TRUE(known.contains(*imported.insert(name).first))
          << name << " is not a known DLL: it would be looked for beside the exe";
    }
    EXPECT_TRUE(imported.contains("kernel32.dll")) << exe;
    ::FreeLibrary(image);
  }
}

TEST(DllPlanting, NeitherExeLoadsAnyThroughItsWork) {
  const fs::path shellLog = FromEnvironment(L"VELMORA_SHELL_LOG");
  ASSERT_FALSE(shellLog.empty()) << "the rig's recording URL and mail handlers are needed";
  const fs::path log = fs::path(L"Z:\\") / shellLog.relative_path();  // a Unix path, seen under Z:
  fs::remove(log);
  wchar_t temp[MAX_PATH];
  ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
  const fs::path folder = fs::path(temp) / (L"velmora-planted-" + std::to_wstring(::GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy(FromEnvironment(L"VELMORA_PLANTED"), folder);
  fs::copy_file(kDrasken, folder / kDrasken.filename());
  fs::copy_file(kFileversion, folder / kFileversion.filename());
  const auto loaded = [&] {
    std::string markers;
    for (const auto& entry : fs::directory_iterator(folder)) {
      markers += entry.path().extension() == L".loaded" ? entry.path().filename().string() + " " : "";
    }
    return markers;
  };

  Process tool;
  ASSERT_TRUE(tool.Start(folder / L"fileversion.exe", L"Drasken.exe", folder.c_str()) && tool.Ended(30000));
  EXPECT_EQ(tool.ExitCode(), 0u) << "the version read";
  EXPECT_EQ(loaded(), "") << "loaded by fileversion.exe";
  ASSERT_TRUE(fs::remove(folder / L"version.dll"));  // Wine's own user32 imports it (Windows' does not)

  Process program;
  ASSERT_TRUE(program.Start(folder / L"Drasken.exe", L"", folder.c_str()) && program.WindowShown());
  const HWND window = program.window;
  const std::wstring title = TextOf(window);
  const std::size_t v = title.find(L" v");
  EXPECT_TRUE(v != std::wstring::npos && v + 2 < title.size() && title[v + 2] != L'0')
      << "the title carries the version read at start-up";
  ::SetForegroundWindow(window);
  // A loaded machine may drop a click that arrives while the new window is still settling: the
  // click is given again, a few times, until the desktop sees it.
  const std::string web(texts::kWebAddress.begin(), texts::kWebAddress.end()),
      mail(texts::kMailtoTarget.begin(), texts::kMailtoTarget.end());
  for (const auto& [link, request] :
       {std::pair{ControlId::Label3, "xdg-open " + web}, std::pair{ControlId::Label7, "xdg-email " + mail}}) {
    bool reached = false;
    for (int attempt = 0; attempt < 4 && !reached; ++attempt) {
      SendClick(Centre(ScreenRect(::GetDlgItem(window, 100 + static_cast<int>(link)))), 150);
      reached = WaitFor([&] { return ReadAll(log).find(request) != std::string::npos; }, 8000);
    }
    EXPECT_TRUE(reached) << request << " did not reach the desktop: " << ReadAll(log);
  }
  SendMouse({0, 0}, MOUSEEVENTF_MOVE);  // off every window: the next test's window must not open under it
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.Ended(30000));
  EXPECT_EQ(loaded(), "") << "loaded by Drasken.exe";
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace velmora::testing
