#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/Form1Layout.h"
#include "app/NicknameCode.h"
#include "platform/Layout.h"
#include "platform/TabOrder.h"

namespace velmora {
namespace {

using enum ControlId;

TEST(Layout, EveryPlaceAndSizeIsAWholePixelAt96Dpi) {
  const FormSpec& form = Form1Layout();
  for (const ControlSpec& c : form.controls) {
    for (int twips : {c.left, c.top, c.width, c.height, form.clientWidth, form.clientHeight}) {
      EXPECT_EQ(TwipsToPixels(twips, 96) * 15, twips);
    }
  }
}

TEST(Layout, PixelsScaleWithTheDpiRoundedToNearest) {
  const std::tuple<unsigned, int, int> table[] = {
      {96, 12, 374}, {120, 15, 468}, {144, 18, 561}, {192, 24, 748}};
  for (const auto& [dpi, ninePoints, formWidth] : table) {
    EXPECT_EQ(PointsToPixels(9, dpi), ninePoints) << dpi;
    EXPECT_EQ(PointsToPixels(72, dpi), static_cast<int>(dpi)) << dpi;  // a point is 1/72 inch
    EXPECT_EQ(TwipsToPixels(5610, dpi), formWidth) << dpi;             // 467.5 at 120 DPI rounds up
  }
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

TEST(ComposeNicknameCode, PutsCountFillersBeforeTheNicknameExactlyAsGiven) {
  const std::wstring nicknames[] = {
      L" ",                            // a single blank is a nickname, not nothing
      L"  lead and trail  ",           // blanks on both sides stay
      L"\U0001F600 emoji \U0001F680",  // outside the Basic Multilingual Plane
      L"tab\there\r\nnew line",        // control characters pass through
      L"\x0001already filled",         // a filler already in the nickname is kept
      std::wstring(70000, L'x'),       // longer than a 16-bit length
  };
  for (int count = 0; count <= 4; ++count) {
    for (const std::wstring& nickname : nicknames) {
      EXPECT_EQ(ComposeNicknameCode(std::to_wstring(count), nickname),
                std::wstring(static_cast<std::size_t>(count), kFillerChar) + nickname);
    }
  }
  EXPECT_THROW(ComposeNicknameCode(L"-1", L"abc"), InvalidCountError);
}

TEST(ParseCount, ReadsA32BitDecimalWithBlanksAroundAndASign) {
  EXPECT_EQ(ParseCount(L" 3 "), 3);
  EXPECT_EQ(ParseCount(L"+4"), 4);
  EXPECT_EQ(ParseCount(L"-2"), -2);
  EXPECT_EQ(ParseCount(L"019"), 19);
  EXPECT_EQ(ParseCount(L"2147483647"), 2147483647);
  EXPECT_EQ(ParseCount(L"-2147483648"), -2147483647 - 1);
  for (const wchar_t* text : {L"", L" ", L"-", L"x", L"3a", L"1 2", L"1.5", L"2147483648", L"-2147483649",
                              L"99999999999999999999", L"\uFF13" /* full-width 3 */}) {
    EXPECT_THROW(ParseCount(text), InvalidCountError) << text;
  }
}

}  // namespace
}  // namespace velmora
