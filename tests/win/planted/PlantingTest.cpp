// Beside a marker-writing DLL for every name beyond Windows' known DLLs that Drasken.exe and
// fileversion.exe load (WINEDLLOVERRIDES has Wine prefer them), neither loads one: fileversion
// reading a version; then, version.dll taken away (Wine's own user32 imports it), the program
// through start-up, a click on each link (to the rig's recording handlers) and the close button.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../LiveWindow.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

TEST(DllPlanting, NeitherExeLoadsAnyThroughItsWork) {
  const fs::path shellLog = FromEnvironment(L"VELMORA_SHELL_LOG");
  ASSERT_FALSE(shellLog.empty()) << "the rig's recording URL and mail handlers are needed";
  const fs::path log = fs::path(L"Z:\\") / shellLog.relative_path();  // a Unix path, seen under Z:
  const auto logged = [&] { return (std::ostringstream() << std::ifstream(log, std::ios::binary).rdbuf()).str(); };
  fs::remove(log);
  wchar_t temp[MAX_PATH];
  ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
  const fs::path folder = fs::path(temp) / (L"velmora-planted-" + std::to_wstring(::GetCurrentProcessId()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  fs::copy(FromEnvironment(L"VELMORA_PLANTED"), folder);
  for (const wchar_t* exe : {L"VELMORA_DRASKEN", L"VELMORA_FILEVERSION"}) {
    fs::copy_file(FromEnvironment(exe), folder / FromEnvironment(exe).filename());
  }
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
      reached = WaitFor([&] { return logged().find(request) != std::string::npos; }, 8000);
    }
    EXPECT_TRUE(reached) << request << " did not reach the desktop: " << logged();
  }
  const auto close = FramePoint(window, HTCLOSE);
  ASSERT_TRUE(close);
  SendClick(*close);
  EXPECT_TRUE(program.Ended(30000));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_EQ(loaded(), "") << "loaded by Drasken.exe";
  SendMouse({0, 0}, MOUSEEVENTF_MOVE);  // off every window: the next test's window must not open under it
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace velmora::testing
