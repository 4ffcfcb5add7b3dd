// The arrow buttons where Marlett is missing: the font mapper would show their captions, the
// letters that select Marlett's triangles ("t", "u"), in an ordinary font, so the buttons keep
// those captions and their own face, and the triangles are drawn here instead, through the
// buttons' custom draw notification.
#include "platform/win32/Win32Forms.h"

#include <commctrl.h>

namespace velmora::win32 {

namespace {

// A solid triangle of whole pixel rows, each two pixels wider than the last, so its edges are
// sharp at every size: as high as a third of the font's em, centred in the box.
void FillTriangle(HDC dc, const RECT& box, int em, ArrowKind pointing, HBRUSH brush) {
  const int rows = (em + 1) / 3;
  const int left = box.left + (box.right - box.left - (2 * rows - 1)) / 2;
  const int top = box.top + (box.bottom - box.top - rows) / 2;
  for (int row = 0; row < rows; ++row) {
    const int half = pointing == ArrowKind::Up ? row : rows - 1 - row;
    const RECT line{left + rows - 1 - half, top + row, left + rows + half, top + row + 1};
    ::FillRect(dc, &line, brush);
  }
}

}  // namespace

// The button draws its face first (themed or classic); at the paint stage its caption is
// replaced by the triangle. Disabled, the triangle is etched like disabled text on a classic button.
bool Win32Forms::OnNotify(const NMHDR& header, LRESULT& result) noexcept {
  if (header.code != NM_CUSTOMDRAW || fonts_.HasMarlett()) {
    return false;
  }
  const Control* control = FromWindow(header.hwndFrom);
  if (control == nullptr || control->design->arrow == ArrowKind::None) {
    return false;
  }
  const ArrowKind pointing = control->design->arrow;
  const auto& draw = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  if (draw.dwDrawStage != CDDS_PREPAINT) {
    return false;
  }
  RECT box = draw.rc;
  if (draw.uItemState & CDIS_SELECTED) {
    ::OffsetRect(&box, 1, 1);
  }
  const int em = fonts_.PixelHeight();
  if (draw.uItemState & CDIS_DISABLED) {
    RECT etch = box;
    ::OffsetRect(&etch, 1, 1);
    FillTriangle(draw.hdc, etch, em, pointing, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillTriangle(draw.hdc, box, em, pointing, ::GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    FillTriangle(draw.hdc, box, em, pointing, ::GetSysColorBrush(COLOR_BTNTEXT));
  }
  if (draw.uItemState & CDIS_FOCUS) {
    RECT focus = draw.rc;
    ::InflateRect(&focus, -2, -2);
    ::DrawFocusRect(draw.hdc, &focus);
  }
  result = CDRF_SKIPDEFAULT;
  return true;
}

}  // namespace velmora::win32
