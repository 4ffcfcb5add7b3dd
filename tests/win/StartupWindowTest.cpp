// The window as it opens: frame, layout at 96 DPI, stacking and tab order, start-up state,
// fonts, colours and the version the title shows.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "LiveWindow.h"
#include "app/Form1Layout.h"
#include "app/Texts.h"

namespace velmora::testing {
namespace {

using enum ControlId;

class StartupWindow : public ::testing::Test {
 protected:
  LiveWindow live;
};

TEST_F(StartupWindow, TitleNamesTheYearAndTheVersionFromTheResource) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  EXPECT_EQ(live.TextOf(live.Window()), L"Velmora" + std::to_wstring(now.wYear) + L" v1.0.2");
}

TEST_F(StartupWindow, FixedSizeClientAreaCentredOnTheWorkArea) {
  RECT client{};
  ::GetClientRect(live.Window(), &client);
  EXPECT_EQ(client.right, 374);
  EXPECT_EQ(client.bottom, 254);

  const LONG style = ::GetWindowLongW(live.Window(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border must not resize the window";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_CAPTION);
  RECT frame{};
  ::GetWindowRect(live.Window(), &frame);
  const LRESULT hit = ::SendMessageW(live.Window(), WM_NCHITTEST, 0,
                                     MAKELPARAM(frame.right - 1, (frame.top + frame.bottom) / 2));
  EXPECT_NE(hit, HTRIGHT);

  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(live.Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& area = monitor.rcWork;
  EXPECT_LE(std::abs((frame.left - area.left) - (area.right - frame.right)), 1);
  EXPECT_LE(std::abs((frame.top - area.top) - (area.bottom - frame.bottom)), 1);
}

struct PixelRect {
  ControlId id;
  int x, y, w, h;
};

TEST_F(StartupWindow, ButtonsTextBoxAndBannerSitExactlyAtTheirPixels) {
  const PixelRect expected[] = {{cmdDown, 252, 124, 17, 12},
                                {cmdUp, 252, 113, 17, 12},
                                {cmdMake, 115, 164, 145, 22},
                                {Text1, 165, 79, 126, 25},
                                {Image1, 0, 0, 374, 64}};
  for (const PixelRect& e : expected) {
    const RECT r = live.ClientRectOf(e.id);
    EXPECT_EQ(r.left, e.x) << static_cast<int>(e.id);
    EXPECT_EQ(r.top, e.y) << static_cast<int>(e.id);
    EXPECT_EQ(r.right - r.left, e.w) << static_cast<int>(e.id);
    EXPECT_EQ(r.bottom - r.top, e.h) << static_cast<int>(e.id);
  }
}

// Labels keep their left and top edges and take the size of their caption in their own font.
TEST_F(StartupWindow, LabelsSizeThemselvesToTheirCaptions) {
  const PixelRect expected[] = {{Label7, 97, 229, 0, 0},   {Label6, 238, 119, 6, 0},
                                {Label5, 91, 144, 192, 0}, {Label4, 101, 119, 132, 0},
                                {Label3, 121, 211, 0, 0},  {Label2, 133, 194, 108, 0},
                                {Label1, 83, 85, 84, 0}};
  for (const PixelRect& e : expected) {
    const HWND label = live.Control(e.id);
    const RECT r = live.ClientRectOf(e.id);
    EXPECT_EQ(r.left, e.x);
    EXPECT_EQ(r.top, e.y);

    const std::wstring caption = live.TextOf(label);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    EXPECT_EQ(r.right - r.left, extent.cx) << caption;
    EXPECT_EQ(r.bottom - r.top, extent.cy) << caption;
    // With a font of the standard metrics (6 px per ASCII and 12 px per Chinese character),
    // the designed widths come out exactly.
    if (e.w != 0) {
      EXPECT_EQ(r.right - r.left, e.w) << caption;
    }
  }
  // The credit line is 7 ASCII letters, a blank and 5 Chinese characters: 9 * 6 + 5 * 12 = 108 px.
  // The addresses: 6 px per ASCII character, so another address grows or shrinks the link.
  EXPECT_EQ(live.ClientRectOf(Label3).right - 121, 6 * static_cast<int>(texts::kWebAddress.size()));
  EXPECT_EQ(live.ClientRectOf(Label7).right - 97, 6 * static_cast<int>(texts::kEmailCaption.size()));
}

TEST_F(StartupWindow, AutoSizeFollowsACaptionChange) {
  live.Forms().SetLabelCaption(Label3, L"http://a.example/longer/address");
  const RECT longer = live.ClientRectOf(Label3);
  live.Forms().SetLabelCaption(Label3, L"http://a.example/");
  const RECT shorter = live.ClientRectOf(Label3);
  EXPECT_EQ(longer.left, shorter.left);
  EXPECT_EQ((longer.right - longer.left) - (shorter.right - shorter.left), 6 * 14);
}

TEST_F(StartupWindow, ControlsAreStandardWindowsStackedInTabOrder) {
  std::vector<HWND> zOrder;
  for (HWND child = ::GetWindow(live.Window(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    zOrder.push_back(child);
  }
  const std::vector<HWND> expected = {live.Control(Text1),   live.Control(cmdUp),  live.Control(cmdDown),
                                      live.Control(cmdMake), live.Control(Label1), live.Control(Label2),
                                      live.Control(Label3),  live.Control(Label4), live.Control(Label5),
                                      live.Control(Label6),  live.Control(Label7), live.Control(Image1)};
  EXPECT_EQ(zOrder, expected);

  auto classOf = [](HWND hwnd) {
    wchar_t name[32]{};
    ::GetClassNameW(hwnd, name, 32);
    return std::wstring(name);
  };
  for (ControlId id : {cmdUp, cmdDown, cmdMake}) {
    EXPECT_EQ(_wcsicmp(classOf(live.Control(id)).c_str(), L"Button"), 0);
  }
  EXPECT_EQ(_wcsicmp(classOf(live.Control(Text1)).c_str(), L"Edit"), 0);
  for (ControlId id : {Image1, Label1, Label2, Label3, Label4, Label5, Label6, Label7}) {
    EXPECT_EQ(_wcsicmp(classOf(live.Control(id)).c_str(), L"Static"), 0);
  }
  // No control answers to IDOK or IDCANCEL, which a dialog loop sends for Enter and Escape.
  EXPECT_EQ(::GetDlgItem(live.Window(), IDOK), nullptr);
  EXPECT_EQ(::GetDlgItem(live.Window(), IDCANCEL), nullptr);
}

TEST_F(StartupWindow, OpensInTheStartState) {
  EXPECT_EQ(live.TextOf(live.Control(Label6)), L"1");
  EXPECT_FALSE(::IsWindowEnabled(live.Control(cmdDown)));
  EXPECT_TRUE(::IsWindowEnabled(live.Control(cmdUp)));
  EXPECT_TRUE(::IsWindowEnabled(live.Control(cmdMake)));
  EXPECT_EQ(live.TextOf(live.Control(Text1)), L"Corvane");
  DWORD start = 0, end = 0;
  ::SendMessageW(live.Control(Text1), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 7u);
  EXPECT_EQ(end, 7u);
  EXPECT_EQ(::GetFocus(), live.Control(Text1));
  EXPECT_TRUE(::IsWindowVisible(live.Window()));
  EXPECT_EQ(live.TextOf(live.Control(Label2)), L"Corvane网 荣誉出品");
  EXPECT_EQ(live.TextOf(live.Control(Label3)), texts::kWebAddress);
  EXPECT_EQ(live.TextOf(live.Control(cmdMake)), L"生成并复制(&C)");
  EXPECT_GE(::SendMessageW(live.Control(Text1), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE)
      << "no length limit of its own";
}

int CALLBACK FoundFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

TEST_F(StartupWindow, ArrowsUseMarlettAndEverythingElseTheWindowFont) {
  for (ControlId id : {cmdUp, cmdDown}) {
    const LOGFONTW lf = FontOf(live.Control(id));
    EXPECT_STREQ(lf.lfFaceName, L"Marlett");
    EXPECT_EQ(lf.lfCharSet, SYMBOL_CHARSET);
    EXPECT_EQ(lf.lfWeight, 500);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
    // Where Marlett is installed, the button really draws with it, not with a substitute
    // (without it, the button draws the triangle itself: the painting tests look at that).
    HDC dc = ::GetDC(live.Control(id));
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(live.Control(id), WM_GETFONT, 0, 0)));
    wchar_t face[LF_FACESIZE]{};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    LOGFONTW marlett{};
    marlett.lfCharSet = SYMBOL_CHARSET;
    std::wcscpy(marlett.lfFaceName, L"Marlett");
    bool installed = false;
    ::EnumFontFamiliesExW(dc, &marlett, FoundFont, reinterpret_cast<LPARAM>(&installed), 0);
    ::SelectObject(dc, old);
    ::ReleaseDC(live.Control(id), dc);
    if (installed) {
      EXPECT_STREQ(face, L"Marlett");
    }
  }
  const LOGFONTW window = FontOf(live.Control(Label1));
  for (ControlId id : {cmdMake, Text1, Label2, Label3, Label4, Label5, Label6, Label7}) {
    const LOGFONTW lf = FontOf(live.Control(id));
    EXPECT_STREQ(lf.lfFaceName, window.lfFaceName);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_FALSE(lf.lfUnderline);
  }
}

TEST_F(StartupWindow, FourLabelsCarryTheirColours) {
  EXPECT_EQ(LabelColor(live.Window(), live.Control(Label7)), 0xFF0000u);
  EXPECT_EQ(LabelColor(live.Window(), live.Control(Label3)), 0xFF0000u);
  EXPECT_EQ(LabelColor(live.Window(), live.Control(Label5)), 0xFF00FFu);
  EXPECT_EQ(LabelColor(live.Window(), live.Control(Label2)), 0x0000FFu);
  for (ControlId id : {Label1, Label4, Label6}) {
    EXPECT_EQ(LabelColor(live.Window(), live.Control(id)), ::GetSysColor(COLOR_BTNTEXT));
  }
}

// Boxes in place of characters would mean the font has no Chinese glyphs: every character of
// every caption must exist in the font that draws it, and different characters must look different.
TEST_F(StartupWindow, ChineseCaptionsRenderAsRealGlyphs) {
  for (ControlId id : {Label1, Label2, Label4, Label5, cmdMake}) {
    const HWND control = live.Control(id);
    const std::wstring caption = live.TextOf(control);
    HDC dc = ::GetDC(control);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    std::vector<WORD> glyphs(caption.size());
    ASSERT_NE(::GetGlyphIndicesW(dc, caption.c_str(), static_cast<int>(caption.size()), glyphs.data(),
                                 GGI_MARK_NONEXISTING_GLYPHS),
              GDI_ERROR);
    for (std::size_t i = 0; i < caption.size(); ++i) {
      EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for U+" << std::hex << static_cast<unsigned>(caption[i]);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
  }
}

TEST(ProgramVersionResource, DraskenExeCarriesTheVersionBlock) {
  const std::wstring& drasken = DraskenPath();
  ASSERT_FALSE(drasken.empty()) << "pass --drasken=<path to Drasken.exe>";
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(drasken.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(drasken.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);
  auto text = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars) || !value) {
      return std::wstring(L"<missing>");
    }
    return std::wstring(value);
  };
  EXPECT_EQ(text(L"CompanyName"), L"Corvane");
  EXPECT_EQ(text(L"ProductName"), L"Drasken");
  EXPECT_EQ(text(L"InternalName"), L"Drasken");
  EXPECT_EQ(text(L"OriginalFilename"), L"Drasken.exe");
  EXPECT_EQ(text(L"FileVersion"), L"1.00.0002");
  EXPECT_EQ(text(L"ProductVersion"), L"1.00.0002");
}

}  // namespace
}  // namespace velmora::testing
