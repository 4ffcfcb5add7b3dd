// The window moved to monitors of other DPIs (WM_DPICHANGED): everything scales together, and
// back at 96 DPI the layout is exactly the designed one again.
#include <gtest/gtest.h>

#include "LiveWindow.h"
#include "app/Form1Layout.h"
#include "platform/Layout.h"

namespace velmora::testing {
namespace {

void ExpectLayoutAt(LiveWindow& live, UINT dpi) {
  const FormSpec& form = Form1Layout();
  RECT client{};
  ::GetClientRect(live.Window(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(form.clientWidth, dpi)) << dpi;
  EXPECT_EQ(client.bottom, TwipsToPixels(form.clientHeight, dpi)) << dpi;
  for (const ControlSpec& c : form.controls) {
    const RECT r = live.ClientRectOf(c.key);
    EXPECT_EQ(r.left, TwipsToPixels(c.left, dpi)) << dpi << " control " << std::wstring(c.name);
    EXPECT_EQ(r.top, TwipsToPixels(c.top, dpi)) << dpi << " control " << std::wstring(c.name);
    if (c.kind != ControlKind::Label) {
      EXPECT_EQ(r.right - r.left, TwipsToPixels(c.width, dpi)) << dpi << " control " << std::wstring(c.name);
      EXPECT_EQ(r.bottom - r.top, TwipsToPixels(c.height, dpi)) << dpi << " control " << std::wstring(c.name);
    }
    if (c.kind != ControlKind::Image) {
      EXPECT_EQ(FontOf(live.Control(c.key)).lfHeight, -PointsToPixels(9, dpi)) << dpi;
    }
  }
  // The banner is a bitmap of exactly the scaled size, so it is never stretched by the control.
  const auto banner = reinterpret_cast<HBITMAP>(
      ::SendMessageW(live.Control(ControlId::Image1), STM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP info{};
  ASSERT_TRUE(::GetObjectW(banner, sizeof(info), &info));
  EXPECT_EQ(info.bmWidth, TwipsToPixels(5610, dpi));
  EXPECT_EQ(info.bmHeight, TwipsToPixels(960, dpi));
}

// No caption is clipped: every label is as wide as its caption in its scaled font.
void ExpectCaptionsFit(LiveWindow& live) {
  for (const ControlSpec& c : Form1Layout().controls) {
    if (c.kind != ControlKind::Label) {
      continue;
    }
    const HWND label = live.Control(c.key);
    wchar_t caption[256]{};
    const int length = ::GetWindowTextW(label, caption, 256);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, caption, length, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    RECT r{};
    ::GetClientRect(label, &r);
    EXPECT_GE(r.right, extent.cx) << std::wstring(c.name);
    EXPECT_GE(r.bottom, extent.cy) << std::wstring(c.name);
  }
}

// Opened on a desktop of any DPI (the rig runs this at 96 and at 144), the window lays itself
// out for that DPI from the start.
TEST(Dpi, OpensLaidOutForTheDesktopDpi) {
  HDC screen = ::GetDC(nullptr);
  const UINT desktopDpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
  ::ReleaseDC(nullptr, screen);
  LiveWindow live;
  EXPECT_EQ(live.Forms().Dpi(), desktopDpi);
  ExpectLayoutAt(live, desktopDpi);
  ExpectCaptionsFit(live);
}

TEST(Dpi, ScalesAt144And192AndReturnsExactlyTo96) {
  LiveWindow live;
  ExpectLayoutAt(live, live.Forms().Dpi());
  for (UINT dpi : {144u, 192u, 120u}) {
    live.MoveToDpi(dpi);
    ExpectLayoutAt(live, dpi);
    ExpectCaptionsFit(live);
  }
  live.MoveToDpi(96);
  ExpectLayoutAt(live, 96);
}

TEST(Dpi, StateSurvivesADpiChange) {
  LiveWindow live;
  live.ClickOn(ControlId::cmdUp);
  live.MoveTo(ControlId::Label3);
  live.MoveToDpi(144);
  EXPECT_EQ(live.TextOf(live.Control(ControlId::Label6)), L"2");
  EXPECT_TRUE(FontOf(live.Control(ControlId::Label3)).lfUnderline) << "a lit link stays lit";
  EXPECT_EQ(FontOf(live.Control(ControlId::Label3)).lfHeight, -18);
}

}  // namespace
}  // namespace velmora::testing
