// The two links under a real mouse, and their requests reaching the desktop's handlers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "LiveWindow.h"
#include "ObjectCount.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class Links : public ::testing::Test {
 protected:
  bool Lit(ControlId id) {
    return LabelColor(live.Window(), live.Control(id)) == 0x0000FFu && FontOf(live.Control(id)).lfUnderline;
  }
  bool Normal(ControlId id) {
    return LabelColor(live.Window(), live.Control(id)) == 0xFF0000u && !FontOf(live.Control(id)).lfUnderline;
  }
  void MoveOverBareWindow() { live.MoveToWindowPoint({20, 240}); }

  LiveWindow live;
};

TEST_F(Links, HoverLightsALinkAndOnlyTheWindowSurfacePutsItBack) {
  MoveOverBareWindow();
  live.MoveTo(Label3);
  EXPECT_TRUE(Lit(Label3));
  EXPECT_TRUE(Normal(Label7));

  live.MoveTo(Label5);  // another control: no movement handler, the link stays lit
  EXPECT_TRUE(Lit(Label3));

  MoveOverBareWindow();
  EXPECT_TRUE(Normal(Label3));
  live.MoveTo(Label7);
  EXPECT_TRUE(Lit(Label7));
  EXPECT_TRUE(Normal(Label3));
}

TEST_F(Links, TheHandShowsOverTheLinksOnly) {
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  live.MoveTo(Label3);
  const HCURSOR hand = ::GetCursor();
  EXPECT_NE(hand, arrow);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 0u);
  if (info.hbmMask)
    ::DeleteObject(info.hbmMask);
  if (info.hbmColor)
    ::DeleteObject(info.hbmColor);
  live.MoveTo(Label7);
  EXPECT_EQ(::GetCursor(), hand);
  live.MoveTo(Label4);
  EXPECT_EQ(::GetCursor(), arrow);
  MoveOverBareWindow();
  EXPECT_EQ(::GetCursor(), arrow);
}

// Setting the look a label already has must neither create GDI objects nor repaint it.
TEST_F(Links, RepeatedHoversReuseTheFontsAndDoNotRepaint) {
  live.MoveTo(Label3);
  const HFONT lit = reinterpret_cast<HFONT>(::SendMessageW(live.Control(Label3), WM_GETFONT, 0, 0));
  MoveOverBareWindow();
  const HFONT normal = reinterpret_cast<HFONT>(::SendMessageW(live.Control(Label3), WM_GETFONT, 0, 0));
  EXPECT_NE(lit, normal);
  EXPECT_EQ(normal, reinterpret_cast<HFONT>(::SendMessageW(live.Control(Label1), WM_GETFONT, 0, 0)));

  live.Pump(50);
  ::ValidateRect(live.Control(Label3), nullptr);
  for (int i = 0; i < 50; ++i) {
    live.Form().FormMouseMove();
  }
  EXPECT_FALSE(::GetUpdateRect(live.Control(Label3), nullptr, FALSE));

  auto hoverAndClick = [&](int times) {
    for (int i = 0; i < times; ++i) {
      live.Form().MouseMove(i % 2 ? Label3 : Label7);
      live.Form().FormMouseMove();
      live.Form().Click(i % 6 < 3 ? cmdUp : cmdDown);
    }
    live.Pump(20);
  };
  hoverAndClick(60);  // whatever is made once, on first use, exists from here on
  const DWORD gdiBefore = GdiObjectCount();
  const DWORD userBefore = UserObjectCount();
  ASSERT_GT(gdiBefore, 0u);
  ASSERT_GT(userBefore, 0u);
  hoverAndClick(1000);
  EXPECT_LE(GdiObjectCount(), gdiBefore);
  EXPECT_EQ(UserObjectCount(), userBefore);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(live.Control(Label3), WM_GETFONT, 0, 0)), normal);
  live.MoveTo(Label3);
  EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageW(live.Control(Label3), WM_GETFONT, 0, 0)), lit);
}

// Under Wine the shell hands links to the desktop's handlers (xdg-open, xdg-email), which the
// test replaces with recorders; on Windows there is no such log and the test is skipped.
TEST_F(Links, ClicksReachTheDesktopHandlers) {
  const char* log = std::getenv("VELMORA_SHELL_LOG");
  if (log == nullptr || ::GetModuleHandleW(L"ntdll.dll") == nullptr ||
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
    GTEST_SKIP() << "needs the rig's recording handlers under Wine";
  }
  // The log path is a Unix path; Wine maps it under Z:.
  std::string unixPath = log;
  std::string windowsPath = "Z:";
  for (char c : unixPath) {
    windowsPath += c == '/' ? '\\' : c;
  }
  ::DeleteFileA(windowsPath.c_str());

  live.ClickOn(Label3);
  live.ClickOn(Label7);
  const std::string email(texts::kMailtoTarget.begin(), texts::kMailtoTarget.end());
  const std::string web(texts::kWebAddress.begin(), texts::kWebAddress.end());
  std::string recorded;
  live.PumpUntil(
      [&] {
        std::ifstream in(windowsPath);
        std::stringstream content;
        content << in.rdbuf();
        recorded = content.str();
        return recorded.find(web) != std::string::npos && recorded.find(email.substr(7)) != std::string::npos;
      },
      15000);
  EXPECT_NE(recorded.find("xdg-open " + web), std::string::npos) << recorded;
  EXPECT_NE(recorded.find(email.substr(7)), std::string::npos) << recorded;
  EXPECT_TRUE(Lit(Label7)) << "a click leaves the look as it was";
}

}  // namespace
}  // namespace velmora::testing
