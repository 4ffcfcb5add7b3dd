// The two links under a real mouse: lit while hovered, the program's hand over them, the look kept
// without new fonts or repaints. (A click reaching the desktop's handlers: see planted/.)
#include <gtest/gtest.h>

#include <string>

#include "LiveWindow.h"

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

}  // namespace
}  // namespace velmora::testing
