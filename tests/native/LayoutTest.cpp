#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/Form1Layout.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"

namespace velmora {
namespace {

using enum ControlId;

TEST(Layout, EveryPlaceAndSizeIsAWholePixelAt96Dpi) {
  const FormSpec& form = Form1Layout();
  std::vector<int> twips{form.clientWidth, form.clientHeight};
  for (const ControlSpec& c : form.controls) {
    twips.insert(twips.end(), {c.left, c.top, c.width, c.height});
  }
  for (int t : twips) {
    EXPECT_EQ(TwipsToPixels(t, 96) * 15, t);
  }
}

TEST(Layout, PixelsScaleWithTheDpiRoundedToNearest) {
  struct {
    unsigned dpi;
    int ninePoints, formWidth;
  } const table[] = {{96, 12, 374}, {120, 15, 468 /* 467.5 */}, {144, 18, 561}, {192, 24, 748}};
  for (const auto& row : table) {
    EXPECT_EQ(PointsToPixels(9, row.dpi), row.ninePoints) << row.dpi;
    EXPECT_EQ(PointsToPixels(72, row.dpi), static_cast<int>(row.dpi)) << row.dpi;  // a point is 1/72 inch
    EXPECT_EQ(TwipsToPixels(5610, row.dpi), row.formWidth) << row.dpi;
  }
  EXPECT_EQ(TwipsToPixels(255, 144), 26);  // 25.5
  EXPECT_EQ(TwipsToPixels(254, 144), 25);  // 25.4
}

TEST(Layout, TabIndexesRunFromZeroWithoutGapsAndTheTabKeyFollowsThem) {
  std::set<int> indexes;
  for (const ControlSpec& c : Form1Layout().controls) {
    if (c.tabIndex != kNoTabIndex) {
      EXPECT_TRUE(indexes.insert(c.tabIndex).second) << c.tabIndex;
    }
  }
  EXPECT_TRUE(indexes.size() == 11 && *indexes.begin() == 0 && *indexes.rbegin() == 10);
  EXPECT_EQ(TabOrder::FromLayout(Form1Layout().controls).Sequence(),
            (std::vector<ControlKey>{Text1, cmdUp, cmdDown, cmdMake, Label1, Label2, Label3, Label4, Label5,
                                     Label6, Label7}));
}

// The text box and the two symbol-font arrows each have one name for a screen reader.
TEST(Layout, AccessibleNamesAreOnePerControlAndNeverEmpty) {
  std::set<ControlKey> named;
  for (const AccessibleName& a : Form1Layout().accessibleNames) {
    EXPECT_FALSE(a.name.empty());
    EXPECT_TRUE(named.insert(a.key).second);
  }
  EXPECT_EQ(named, (std::set<ControlKey>{Text1, cmdUp, cmdDown}));
}

TEST(TabOrder, MovingAControlRenumbersTheOthersClampedToTheEnds) {
  TabOrder order({Text1, cmdUp, cmdDown, cmdMake});
  EXPECT_TRUE(order.Set(cmdUp, 2));
  EXPECT_EQ(order.Sequence(), (std::vector<ControlKey>{Text1, cmdDown, cmdUp, cmdMake}));
  EXPECT_TRUE(order.Set(Text1, 99));
  EXPECT_TRUE(order.Set(cmdMake, -5));
  EXPECT_EQ(order.Sequence(), (std::vector<ControlKey>{cmdMake, cmdDown, cmdUp, Text1}));
  EXPECT_FALSE(order.Set(Image1, 0));  // not in the sequence: refused, nothing moves
  EXPECT_EQ(order.IndexOf(Image1), -1);
  EXPECT_EQ(order.IndexOf(Text1), 3);
}

}  // namespace
}  // namespace velmora
