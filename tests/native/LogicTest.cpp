#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/Form1Layout.h"
#include "app/NicknameCode.h"
#include "platform/ControlTable.h"
#include "platform/EventBoundary.h"
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

// The text box and the two arrow buttons, which have no caption, each have one name for a screen reader.
TEST(Layout, AccessibleNamesAreOnePerControlAndNeverEmpty) {
  std::set<ControlKey> named;
  for (const AccessibleName& a : Form1Layout().accessibleNames) {
    EXPECT_FALSE(a.name.empty());
    EXPECT_TRUE(named.insert(a.key).second);
  }
  EXPECT_EQ(named, (std::set<ControlKey>{Text1, cmdUp, cmdDown}));
}

// A screen reader reads the window row by row: the banner, the prompt before its box, the count's
// caption before the count and the arrows beside it, then one line after another.
TEST(Layout, TheReadingOrderGoesRowByRowEachCaptionBeforeWhatItNames) {
  EXPECT_EQ(ReadingOrder(Form1Layout().controls),
            (std::vector<ControlKey>{Image1, Label1, Text1, Label4, Label6, cmdUp, cmdDown, Label5, cmdMake,
                                     Label2, Label3, Label7}));
}

TEST(Layout, AReadingRowIsARunOfOverlappingHeightsReadFromTheLeft) {
  const auto label = [](std::size_t key, int left, int top, int width, int height) {
    ControlSpec c = Form1Layout().controls[0];
    c.key = ControlKey(key);
    c.left = left;
    c.top = top;
    c.width = width;
    c.height = height;
    return c;
  };
  // A tall box joins a later control to its row; a gap starts a new one; one above another at the
  // same left comes first, wherever its row begins.
  const std::vector<ControlSpec> controls{label(0, 300, 100, 100, 30), label(1, 10, 120, 50, 40),
                                          label(2, 200, 150, 20, 10),  label(3, 0, 160, 50, 10),
                                          label(4, 300, 0, 5, 5),      label(5, 200, 110, 20, 10)};
  EXPECT_EQ(ReadingOrder(controls), (std::vector<ControlKey>{ControlKey(4), ControlKey(1), ControlKey(5),
                                                             ControlKey(2), ControlKey(0), ControlKey(3)}));
}

// The window's own names reach the platform as keys; no other enumeration does.
enum class Stranger { cmdDown };
static_assert(std::is_convertible_v<ControlId, ControlKey> && !std::is_convertible_v<Stranger, ControlKey>);

// What each backend keeps of the controls: found by key or handle, operations only on the right
// kind of control, a look that is set again reported as unchanged.
TEST(ControlTable, FindsControlsAndKeepsTheLinksLook) {
  ControlTable<int> table(Form1Layout().controls);
  EXPECT_THROW(table.Checked(Label3, ControlKind::Label), PlatformError);  // not made yet
  for (std::size_t place = 0; place < kControlCount; ++place) {
    table.Attach(place, 100 + static_cast<int>(place));
  }
  EXPECT_EQ(table.Find(100 + static_cast<int>(Label3))->design->key, ControlKey(Label3));
  EXPECT_EQ(table.Find(0), nullptr);
  EXPECT_EQ(table.HandleOf(ControlKey(kControlCount)), 0);
  EXPECT_EQ(&table.Checked(Text1, ControlKind::TextBox), table.Find(table.HandleOf(Text1)));
  EXPECT_THROW(table.Checked(Text1, ControlKind::Label), PlatformError);
  EXPECT_THROW(table.SetColor(cmdMake, kRed), PlatformError);
  EXPECT_FALSE(table.SetColor(Label3, kBlue));  // the layout's own colour
  EXPECT_TRUE(table.SetColor(Label3, kRed) && !table.SetColor(Label3, kRed));
  EXPECT_TRUE(table.SetUnderline(Label7, true) && !table.SetUnderline(Label7, true));
  EXPECT_EQ(std::pair(table.Checked(Label3, ControlKind::Label).color,
                      table.Checked(Label7, ControlKind::Label).underline),
            std::pair(kRed, true));
  table.Forget();
  EXPECT_EQ(table.HandleOf(Label3), 0);
  EXPECT_THROW(table.Checked(Label3, ControlKind::Label), PlatformError);

  std::vector<ControlSpec> swapped(Form1Layout().controls.begin(), Form1Layout().controls.end());
  std::swap(swapped[0], swapped[1]);
  EXPECT_THROW(ControlTable<int>(swapped).Attach(0, 1), PlatformError);
}

// The boundary every backend raises its events through.
class RecordingBoundary final : public EventBoundary {
 public:
  RecordingBoundary() : EventBoundary({L"Title", L"Failed:\n"}) {}
  std::vector<std::pair<std::wstring, std::wstring>> reports;
  int ends = 0;

 private:
  void ReportFatal(std::wstring_view title, std::wstring_view text) noexcept override {
    reports.emplace_back(title, text);
  }
  void EndAfterFailure() noexcept override { ++ends; }
};

TEST(EventBoundary, ReportsTheFirstFailureOnceThenRaisesNothing) {
  RecordingBoundary boundary;
  int ran = 0;
  boundary.Raise([&] { ++ran; });
  EXPECT_FALSE(boundary.Failed());
  boundary.Raise([&] { throw PlatformError("caf\xC3\xA9 \xF0\x9F\x98\x80 gone"); });
  boundary.Raise([&] { ++ran; });
  boundary.Raise([] { throw 42; });
  EXPECT_TRUE(boundary.Failed());
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(boundary.ends, 1);
  EXPECT_EQ(boundary.reports, (std::vector<std::pair<std::wstring, std::wstring>>{
                                  {L"Title", L"Failed:\ncaf\u00E9 \U0001F600 gone"}}));
  EXPECT_EQ(EventBoundary::FatalText({L"", L"x: "}, std::make_exception_ptr(42)), L"x: unknown error");
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
  for (const auto& [text, count] : {std::pair{L" 3 ", 3}, {L"+4", 4}, {L"-2", -2}, {L"019", 19},
                                     {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1}}) {
    EXPECT_EQ(ParseCount(text), count) << text;
  }
  for (const wchar_t* text : {L"", L" ", L"-", L"x", L"3a", L"1 2", L"1.5", L"2147483648", L"-2147483649",
                              L"99999999999999999999", L"\uFF13" /* full-width 3 */}) {
    EXPECT_THROW(ParseCount(text), InvalidCountError) << text;
  }
}

}  // namespace
}  // namespace velmora
