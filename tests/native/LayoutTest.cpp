#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/Form1Layout.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"

namespace velmora {
namespace {

using enum ControlId;

TEST(TwipsToPixels, IsExactAt96DpiForTheWholeLayout) {
  const FormSpec& form = Form1Layout();
  EXPECT_EQ(TwipsToPixels(form.clientWidth, 96), 374);
  EXPECT_EQ(TwipsToPixels(form.clientHeight, 96), 254);
  for (const ControlSpec& c : form.controls) {
    for (int twips : {c.left, c.top, c.width, c.height}) {
      EXPECT_EQ(twips % 15, 0);
      EXPECT_EQ(TwipsToPixels(twips, 96) * 15, twips);
    }
  }
}

TEST(TwipsToPixels, ScalesWithTheDpiRoundingToNearest) {
  EXPECT_EQ(TwipsToPixels(5610, 120), 468);  // 467.5 rounds up
  EXPECT_EQ(TwipsToPixels(5610, 144), 561);
  EXPECT_EQ(TwipsToPixels(5610, 192), 748);
  EXPECT_EQ(TwipsToPixels(255, 144), 26);  // 25.5
  EXPECT_EQ(TwipsToPixels(0, 192), 0);
  EXPECT_EQ(TwipsToPixels(-15, 96), -1);
  EXPECT_EQ(PointsToPixels(9, 96), 12);
  EXPECT_EQ(PointsToPixels(9, 144), 18);
  EXPECT_EQ(PointsToPixels(9, 120), 15);
}

TEST(Form1Layout, TabIndexesRunFromZeroWithoutGaps) {
  std::set<int> indexes;
  for (const ControlSpec& c : Form1Layout().controls) {
    if (c.tabIndex != kNoTabIndex) {
      EXPECT_TRUE(indexes.insert(c.tabIndex).second) << c.tabIndex;
    }
  }
  EXPECT_EQ(indexes.size(), 11u);
  EXPECT_EQ(*indexes.begin(), 0);
  EXPECT_EQ(*indexes.rbegin(), 10);
}

TEST(Form1Layout, OnlyTheTwoLinksShowTheHand) {
  for (const ControlSpec& c : Form1Layout().controls) {
    EXPECT_EQ(c.cursor == CursorKind::Hand, c.key == Label3 || c.key == Label7);
    EXPECT_EQ(c.font == FontKind::Marlett, c.key == cmdUp || c.key == cmdDown);
  }
}

TEST(TabOrder, FromTheLayoutFollowsTheTabIndexesNotTheCreationOrder) {
  EXPECT_EQ(TabOrder::FromLayout(Form1Layout().controls).Sequence(),
            (std::vector<ControlKey>{Text1, cmdUp, cmdDown, cmdMake, Label1, Label2, Label3, Label4, Label5,
                                     Label6, Label7}));
}

TEST(TabOrder, MovingAControlRenumbersTheOthers) {
  TabOrder order({Text1, cmdUp, cmdDown, cmdMake, Label1});
  EXPECT_TRUE(order.Set(cmdUp, 2));
  EXPECT_EQ(order.Sequence(), (std::vector<ControlKey>{Text1, cmdDown, cmdUp, cmdMake, Label1}));
  EXPECT_TRUE(order.Set(cmdDown, 1));  // already there
  EXPECT_EQ(order.IndexOf(cmdDown), 1);
  EXPECT_TRUE(order.Set(cmdUp, 1));
  EXPECT_TRUE(order.Set(cmdDown, 2));
  EXPECT_EQ(order.Sequence(), (std::vector<ControlKey>{Text1, cmdUp, cmdDown, cmdMake, Label1}));
}

TEST(TabOrder, ClampsPastTheEndAndRefusesStrangers) {
  TabOrder order({Text1, cmdUp, cmdDown});
  EXPECT_TRUE(order.Set(Text1, 99));
  EXPECT_EQ(order.IndexOf(Text1), 2);
  EXPECT_TRUE(order.Set(Text1, -5));
  EXPECT_EQ(order.IndexOf(Text1), 0);
  EXPECT_FALSE(order.Set(Image1, 0));
  EXPECT_EQ(order.IndexOf(Image1), -1);
  EXPECT_EQ(order.Sequence().size(), 3u);
}

}  // namespace
}  // namespace velmora
