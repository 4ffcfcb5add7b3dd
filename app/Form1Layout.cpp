#include "app/Form1Layout.h"

#include <array>

#include "app/Texts.h"

namespace velmora {

namespace {
using enum ControlKind;
constexpr Color kStd = kDefaultColor;
constexpr ArrowKind kText = ArrowKind::None;
constexpr CursorKind kArrow = CursorKind::Arrow;
constexpr CursorKind kHand = CursorKind::Hand;

// A row's first two columns: the control's key and its name, from one word, so that the two
// cannot disagree.
#define VELMORA_CONTROL(id) ControlId::id, L"" #id

// clang-format off
constexpr std::array<ControlSpec, kControlCount> kControls{{
  // control                  kind           left   top  width height caption                  colour    arrow             tab cursor
  {VELMORA_CONTROL(cmdDown), CommandButton,  3780, 1860,  255,  180, {},                      kStd,     ArrowKind::Down,   2, kArrow},
  {VELMORA_CONTROL(cmdUp),   CommandButton,  3780, 1695,  255,  180, {},                      kStd,     ArrowKind::Up,     1, kArrow},
  {VELMORA_CONTROL(cmdMake), CommandButton,  1725, 2460, 2175,  330, texts::kMakeButton,      kStd,     kText,             3, kArrow},
  {VELMORA_CONTROL(Text1),   TextBox,        2475, 1185, 1890,  375, texts::kDefaultNickname, kStd,     kText,             0, kArrow},
  {VELMORA_CONTROL(Image1),  Image,             0,    0, 5610,  960, {},                      kStd,     kText,   kNoTabIndex, kArrow},
  {VELMORA_CONTROL(Label7),  Label,          1455, 3435, 2700,  180, texts::kEmailCaption,    kBlue,    kText,            10, kHand},
  {VELMORA_CONTROL(Label6),  Label,          3570, 1785,   90,  180, L"6",                    kStd,     kText,             9, kArrow},
  {VELMORA_CONTROL(Label5),  Label,          1365, 2160, 2880,  180, texts::kTip,             kMagenta, kText,             8, kArrow},
  {VELMORA_CONTROL(Label4),  Label,          1515, 1785, 1980,  180, texts::kCountCaption,    kStd,     kText,             7, kArrow},
  {VELMORA_CONTROL(Label3),  Label,          1815, 3165, 1980,  180, texts::kWebAddress,      kBlue,    kText,             6, kHand},
  {VELMORA_CONTROL(Label2),  Label,          1995, 2910, 1710,  180, texts::kCredit,          kRed,     kText,             5, kArrow},
  {VELMORA_CONTROL(Label1),  Label,          1245, 1275, 1260,  180, texts::kNicknamePrompt,  kStd,     kText,             4, kArrow},
}};
// clang-format on
#undef VELMORA_CONTROL

// Each row stands at its control's place, and every control has a row: a row missing, added
// or out of order stops the build. Only a command button shows an arrow.
constexpr bool EachRowAtItsPlace() {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const ControlSpec& row = kControls[i];
    if (row.key != ControlKey(i) || row.name.empty() ||
        (row.arrow != kText && (row.kind != CommandButton || !row.caption.empty()))) {
      return false;
    }
  }
  return true;
}
static_assert(EachRowAtItsPlace(), "the layout table's rows must follow ControlId, one row each");

// The text box is announced with its prompt; the arrow buttons have no caption to announce.
constexpr std::array<AccessibleName, 3> kAccessibleNames{{
    {ControlId::Text1, texts::kNicknamePrompt},
    {ControlId::cmdUp, texts::kUpArrowName},
    {ControlId::cmdDown, texts::kDownArrowName},
}};

// The two link labels and what they open: the targets of their click handlers.
constexpr std::array<LinkTarget, 2> kLinks{{
    {ControlId::Label3, texts::kWebAddress},
    {ControlId::Label7, texts::kMailtoTarget},
}};

// The count changes with the arrows, which do not say it.
constexpr std::array<ControlKey, 1> kLiveLabels{ControlId::Label6};

constexpr FormSpec kForm1{5610, 3810, L"Form1", kControls, kAccessibleNames, kLinks, kLiveLabels};
}  // namespace

const FormSpec& Form1Layout() {
  return kForm1;
}

}  // namespace velmora
