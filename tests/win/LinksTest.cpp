// The two links under a real mouse: lit while hovered, the program's hand over them, the look kept
// without new fonts or repaints, and their requests reaching the desktop's handlers.
#include <gtest/gtest.h>

#include <string>

#include "LiveWindow.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

class Links : public ::testing::Test {
 protected:
  bool Lit(ControlId id) {
    return LabelColor(live.Window(), live.Control(id)) == 0x0000FFu && FontOf(live.Control(id)).lfUnderline;
  }
  bool Normal(ControlId id) {
    return LabelColor(live.Window(), live.Control(id)) == 0xFF0000u && !FontOf(live.Control(id)).lfUnderline;
  }
  HFONT Font(ControlId id) { return reinterpret_cast<HFONT>(::SendMessageW(live.Control(id), WM_GETFONT, 0, 0)); }
  void MoveOverBareWindow() { live.MoveTo(POINT{20, 240}); }
  LiveWindow live;
};

// Only the bare window surface puts a lit link back; over another control it stays lit. Setting
// the look a label already has neither makes a new font nor repaints it.
TEST_F(Links, HoverLightsALinkAndShowsTheHand) {
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  MoveOverBareWindow();
  live.MoveTo(Label3);
  EXPECT_TRUE(Lit(Label3) && Normal(Label7));
  const HCURSOR hand = ::GetCursor();
  const HFONT lit = Font(Label3);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_EQ(info.xHotspot, 5u) << "the program's own hand";
  EXPECT_EQ(info.yHotspot, 0u);
  ::DeleteObject(info.hbmMask);
  ::DeleteObject(info.hbmColor);
  live.MoveTo(Label5);
  EXPECT_TRUE(Lit(Label3));
  EXPECT_EQ(::GetCursor(), arrow);
  MoveOverBareWindow();
  EXPECT_TRUE(Normal(Label3));
  EXPECT_EQ(Font(Label3), Font(Label1));
  EXPECT_EQ(::GetCursor(), arrow);
  live.Pump(50);
  ::ValidateRect(live.Control(Label3), nullptr);
  live.MoveTo(POINT{30, 245});
  EXPECT_FALSE(::GetUpdateRect(live.Control(Label3), nullptr, FALSE));
  live.MoveTo(Label7);
  EXPECT_TRUE(Lit(Label7) && Normal(Label3));
  EXPECT_EQ(::GetCursor(), hand);
  live.MoveTo(Label3);
  EXPECT_EQ(Font(Label3), lit);
}

// Under Wine the shell hands links to the desktop's handlers (xdg-open, xdg-email), which the rig
// replaces with recorders; elsewhere there is no such log and the test is skipped.
TEST_F(Links, ClicksReachTheDesktopHandlers) {
  const std::filesystem::path log = ShellLog();
  if (log.empty() || ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr) {
    GTEST_SKIP() << "needs the rig's recording handlers under Wine";
  }
  std::filesystem::remove(log);
  live.ClickOn(Label3);
  live.ClickOn(Label7);
  const std::string web(texts::kWebAddress.begin(), texts::kWebAddress.end());
  const std::string mail(texts::kMailtoTarget.begin() + 7, texts::kMailtoTarget.end());  // after "mailto:"
  std::string recorded;
  live.PumpUntil(
      [&] { return (recorded = ReadAll(log)).find(web) != recorded.npos && recorded.find(mail) != recorded.npos; },
      15000);
  EXPECT_NE(recorded.find("xdg-open " + web), std::string::npos) << recorded;
  EXPECT_NE(recorded.find(mail), std::string::npos) << recorded;
  EXPECT_TRUE(Lit(Label7)) << "a click leaves the look as it was";
}

}  // namespace
}  // namespace velmora::testing
