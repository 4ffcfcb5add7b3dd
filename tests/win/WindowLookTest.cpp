// The window as it looks: as it opens (also in the rig's prefix without its fonts), at other DPIs,
// pixel by pixel from the screen, and the links under a real mouse (their clicks: see planted/).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "LiveWindow.h"
#include "platform/Layout.h"

namespace velmora::testing {
namespace {

// A control's caption in the control's own font: its size, the face the font came out as, and the
// characters it has no glyph for.
struct Measured {
  SIZE extent{};
  std::wstring face;
  std::ptrdiff_t missing = 0;
};
Measured Measure(HWND control) {
  const std::wstring caption = TextOf(control);
  const auto length = static_cast<int>(caption.size());
  Measured m;
  HDC dc = ::GetDC(control);
  const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  ::GetTextExtentPoint32W(dc, caption.c_str(), length, &m.extent);
  std::vector<WORD> glyphs(caption.size());
  ::GetGlyphIndicesW(dc, caption.c_str(), length, glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  m.missing = std::ranges::count(glyphs, WORD{0xFFFF});
  m.face.resize(LF_FACESIZE);
  m.face.resize(static_cast<std::size_t>(std::max(::GetTextFaceW(dc, LF_FACESIZE, m.face.data()) - 1, 0)));
  ::SelectObject(dc, old);
  ::ReleaseDC(control, dc);
  return m;
}

class Look : public ::testing::Test {
 protected:
  bool LinkLook(ControlId id, bool lit) {  // red and underlined under the mouse, else blue
    return LabelColor(live.Window(), live.Control(id)) == (lit ? 0x0000FFu : 0xFF0000u) &&
           (FontOf(live.Control(id)).lfUnderline != 0) == lit;
  }
  HFONT Font(ControlId id) { return reinterpret_cast<HFONT>(::SendMessageW(live.Control(id), WM_GETFONT, 0, 0)); }
  LiveWindow live;
};

TEST_F(Look, CentredWithTitleIconAndTheNicknameReady) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  EXPECT_EQ(TextOf(live.Window()), L"Velmora" + std::to_wstring(now.wYear) + L" v" VELMORA_PACKAGE_VERSION);
  const LONG style = ::GetWindowLongW(live.Window(), GWL_STYLE);
  EXPECT_TRUE((style & WS_CAPTION) && !(style & (WS_THICKFRAME | WS_MAXIMIZEBOX))) << "fixed size";
  EXPECT_NE(::GetClassLongPtrW(live.Window(), GCLP_HICON), 0u) << "the program's icon in the title bar";
  MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
  ::GetMonitorInfoW(::MonitorFromWindow(live.Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT &area = monitor.rcWork, frame = ScreenRect(live.Window());
  EXPECT_LE(std::abs((frame.left - area.left) - (area.right - frame.right)), 1);
  EXPECT_LE(std::abs((frame.top - area.top) - (area.bottom - frame.bottom)), 1);
  POINT bare{20, 240};  // the bare surface shows the system's face colour
  ::ClientToScreen(live.Window(), &bare);
  EXPECT_TRUE(live.PumpUntil([&] {
    HDC screen = ::GetDC(nullptr);
    const COLORREF seen = ::GetPixel(screen, bare.x, bare.y);
    ::ReleaseDC(nullptr, screen);
    return seen == ::GetSysColor(COLOR_BTNFACE);
  }));
  EXPECT_TRUE(live.Text(Label6) == L"1" && !live.Enabled(cmdDown) && live.Enabled(cmdUp));
  EXPECT_TRUE(live.Focused(Text1));
  EXPECT_EQ(live.Selection(), (std::pair<DWORD, DWORD>{7, 7})) << "the caret after the name";
  EXPECT_GE(::SendMessageW(live.Control(Text1), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE) << "no limit of its own";
}

// Every control where the layout puts it at this DPI, a label as large as its caption in its own
// font, every font of the size for this DPI, the banner a bitmap of exactly its size.
void ExpectLaidOutAt(LiveWindow& live, UINT dpi) {
  RECT client{};
  ::GetClientRect(live.Window(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(Form1Layout().clientWidth, dpi)) << dpi;
  EXPECT_EQ(client.bottom, TwipsToPixels(Form1Layout().clientHeight, dpi)) << dpi;
  for (const ControlSpec& c : Form1Layout().controls) {
    const RECT r = live.ClientRectOf(c.key);
    const SIZE caption = Measure(live.Control(c.key)).extent;
    const bool label = c.kind == ControlKind::Label;
    const std::wstring where = std::to_wstring(dpi) + L" DPI, " + std::wstring(c.name);
    EXPECT_EQ(r.left, TwipsToPixels(c.left, dpi)) << where;
    EXPECT_EQ(r.top, TwipsToPixels(c.top, dpi)) << where;
    EXPECT_EQ(r.right - r.left, label ? caption.cx : TwipsToPixels(c.width, dpi)) << where;
    EXPECT_EQ(r.bottom - r.top, label ? caption.cy : TwipsToPixels(c.height, dpi)) << where;
    EXPECT_TRUE(c.kind == ControlKind::Image || FontOf(live.Control(c.key)).lfHeight == -PointsToPixels(9, dpi))
        << where;
  }
  BITMAP banner{};
  ::GetObjectW(reinterpret_cast<HBITMAP>(::SendMessageW(live.Control(Image1), STM_GETIMAGE, IMAGE_BITMAP, 0)),
               sizeof(banner), &banner);
  EXPECT_EQ(banner.bmWidth, TwipsToPixels(5610, dpi));
  EXPECT_EQ(banner.bmHeight, TwipsToPixels(960, dpi));
}

// No character without a glyph; the arrows in Marlett where it is installed (else they draw their own
// triangles: see below). In a font of the standard metrics (6 px per ASCII, 12 per Chinese character)
// the labels come out exactly as wide as designed, and follow a new caption.
TEST_F(Look, FontsColoursAndRealGlyphs) {
  live.Forms().SetLabelCaption(Label3, L"http://a.example/longer/address");
  const LOGFONTW text = FontOf(live.Control(Label1));
  for (const ControlSpec& c : Form1Layout().controls) {
    const LOGFONTW lf = FontOf(live.Control(c.key));
    const bool arrow = c.arrow != ArrowKind::None, label = c.kind == ControlKind::Label;
    EXPECT_TRUE(c.kind == ControlKind::Image || (arrow ? lf.lfCharSet == SYMBOL_CHARSET && lf.lfWeight == FW_MEDIUM
                                                       : std::wstring_view(lf.lfFaceName) == text.lfFaceName &&
                                                             lf.lfCharSet == text.lfCharSet && lf.lfWeight == FW_NORMAL))
        << std::wstring(c.name);
    EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
    const Measured m = Measure(live.Control(c.key));
    EXPECT_TRUE(!arrow || std::getenv("VELMORA_PLAIN") != nullptr || m.face == L"Marlett") << m.face;
    EXPECT_TRUE(arrow || m.missing == 0) << std::wstring(c.name);
    const std::wstring caption = live.Text(c.key);
    EXPECT_TRUE(c.kind == ControlKind::Image || !caption.empty()) << std::wstring(c.name);
    const auto units = std::ranges::count_if(caption, [](wchar_t ch) { return ch >= 0x80; }) + std::ssize(caption);
    EXPECT_TRUE(!label || live.ClientRectOf(c.key).right - live.ClientRectOf(c.key).left == 6 * static_cast<LONG>(units))
        << caption;
    EXPECT_TRUE(!label || LabelColor(live.Window(), live.Control(c.key)) ==
                              (c.foreColor == kDefaultColor ? ::GetSysColor(COLOR_BTNTEXT) : c.foreColor))
        << std::wstring(c.name);
  }
  // No control answers to IDOK or IDCANCEL, which a dialog loop sends for Enter and Escape.
  EXPECT_EQ(::GetDlgItem(live.Window(), IDOK), ::GetDlgItem(live.Window(), IDCANCEL));
}

// Opened at the desktop's DPI (the rig: 96 and 144) or moved to a monitor of another (WM_DPICHANGED),
// everything scales together, what the user did stays, and back at 96 DPI the layout is the design.
TEST(Dpi, OpensLaidOutForTheDesktopDpiAndScalesOnAMove) {
  HDC screen = ::GetDC(nullptr);
  const auto desktopDpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSX));
  ::ReleaseDC(nullptr, screen);
  LiveWindow live;
  EXPECT_EQ(live.Forms().Dpi(), desktopDpi);
  ExpectLaidOutAt(live, desktopDpi);
  live.ClickOn(cmdUp);
  live.MoveTo(Label3);
  for (UINT dpi : {144u, 192u, 120u, 96u, 144u}) {
    live.MoveToDpi(dpi);
    ExpectLaidOutAt(live, dpi);
  }
  EXPECT_EQ(live.Text(Label6), L"2");
  EXPECT_TRUE(FontOf(live.Control(Label3)).lfUnderline) << "a lit link stays lit";
}

int Luma(COLORREF c) { return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000; }

// A control's pixels on the screen, frame included: rows of luma.
std::vector<std::vector<int>> Capture(HWND control) {
  const RECT r = ScreenRect(control);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = ::GetWindowDC(control), memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  std::vector<std::vector<int>> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      rows[static_cast<std::size_t>(y)].push_back(Luma(::GetPixel(memory, x, y)));
    }
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(control, screen);
  return rows;
}

// The button's symbol inside its frame, pixels clearly darker than its face (the commonest luma),
// is one solid triangle: one run on every row it touches, the rows following each other, centred
// on one column (within a pixel), widening towards the base, by at least 4 px in all.
bool ShowsTriangle(HWND button, bool pointsUp) {
  auto rows = Capture(button);
  const int face = Luma(::GetSysColor(COLOR_BTNFACE));
  if (!pointsUp) {
    std::reverse(rows.begin(), rows.end());
  }
  std::vector<std::pair<std::size_t, std::size_t>> runs;  // first and last dark column
  for (std::size_t y = 2, lastRow = 0; y + 2 < rows.size(); ++y) {
    std::string row;
    for (std::size_t x = 2; x + 2 < rows[y].size(); ++x) {
      row += rows[y][x] < face - 48 ? '#' : '.';
    }
    const auto first = row.find('#'), last = row.rfind('#');
    if (first != std::string::npos) {
      const auto& [top, topLast] = runs.empty() ? std::pair{first, last} : runs.front();
      if (row.find('.', first) < last || (!runs.empty() && (y != lastRow + 1 || last - first < runs.back().second - runs.back().first)) ||
          std::abs(static_cast<int>(first + last) - static_cast<int>(top + topLast)) > 1) {
        return false;
      }
      runs.emplace_back(first, last);
      lastRow = y;
    }
  }
  return runs.size() >= 3 && (runs.back().second - runs.back().first) >= (runs[0].second - runs[0].first) + 4;
}

TEST_F(Look, ArrowButtonsShowTrianglesEnabledAndDisabledAtEveryDpi) {
  for (UINT dpi : {96u, 96u, 144u, 192u}) {  // the down button disabled at first, then enabled
    live.MoveToDpi(dpi);
    EXPECT_TRUE(live.PumpUntil([&] { return ShowsTriangle(live.Control(cmdUp), true); })) << dpi;
    EXPECT_TRUE(live.PumpUntil([&] { return ShowsTriangle(live.Control(cmdDown), false); }))
        << dpi << (live.Enabled(cmdDown) ? "" : ", disabled");
    if (!live.Enabled(cmdDown)) {
      live.ClickOn(cmdUp);
    }
  }
  EXPECT_EQ(live.Text(cmdUp) + live.Text(cmdDown), L"tu") << "the symbols are pictures; the texts stay";
}

// The screen shows a control exactly as it draws itself with the controls it overlaps hidden.
bool SeenAsDrawn(LiveWindow& live, ControlId id) {
  const HWND control = live.Control(id);
  const RECT area = ScreenRect(control);
  std::vector<HWND> below;
  for (HWND sibling = ::GetWindow(control, GW_HWNDNEXT); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
    RECT r = ScreenRect(sibling), overlap{};
    if (::IsWindowVisible(sibling) && ::IntersectRect(&overlap, &area, &r)) {
      below.push_back(sibling);
      ::ShowWindow(sibling, SW_HIDE);
    }
  }
  ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  live.Pump(30);
  const auto alone = Capture(control);
  for (HWND sibling : below) {
    ::ShowWindow(sibling, SW_SHOWNA);
  }
  return live.PumpUntil([&] { return Capture(control) == alone; });
}

TEST_F(Look, NoControlPaintsOverOneStackedAboveIt) {
  live.Forms().SetFocus(cmdMake);  // no caret blinking in the box
  // As laid out, the box covers the prompt's last 2 px, and the up button the down button's top row.
  EXPECT_TRUE(SeenAsDrawn(live, Text1));
  EXPECT_TRUE(SeenAsDrawn(live, cmdUp));
  // A prompt reaching far under the box, as a wider font makes it, stays behind it.
  live.Forms().SetLabelCaption(Label1, L"请输入QQ昵称请输入QQ昵称：");
  EXPECT_GT(live.ClientRectOf(Label1).right, live.ClientRectOf(Text1).left + 40);
  EXPECT_TRUE(SeenAsDrawn(live, Text1));
}

// Only the bare window surface puts a lit link back; over another control it stays lit. Setting
// the look a label already has neither makes a new font nor repaints it: one font for every lit
// link, the window's own for the others.
TEST_F(Look, HoverLightsALinkAndShowsTheHand) {
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW),
                hand = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINK_HAND));  // the program's own
  const POINT bare{20, 240}, link3 = Centre(live.ClientRectOf(Label3)), link7 = Centre(live.ClientRectOf(Label7));
  live.MoveTo(bare);
  live.MoveTo(link3);
  const HFONT lit = Font(Label3), normal = Font(Label1);
  bool was3 = true, was7 = false;
  const auto quiet = [&](ControlId id, bool was, bool is) {  // a link whose look stays is not repainted
    return was != is || !::GetUpdateRect(live.Control(id), nullptr, FALSE);
  };
  for (const auto& [at, lit3, lit7, cursor] : {std::tuple{Centre(live.ClientRectOf(Label5)), true, false, arrow},
                                               {bare, false, false, arrow}, {POINT{30, 245}, false, false, arrow},
                                               {link7, false, true, hand}, {link3, true, true, hand}}) {
    live.Pump(50);
    ::ValidateRect(live.Control(Label3), nullptr);
    ::ValidateRect(live.Control(Label7), nullptr);
    live.MoveTo(at);
    EXPECT_TRUE(LinkLook(Label3, lit3) && LinkLook(Label7, lit7)) << at.x << "," << at.y;
    EXPECT_TRUE(quiet(Label3, std::exchange(was3, lit3), lit3) && quiet(Label7, std::exchange(was7, lit7), lit7));
    EXPECT_EQ(Font(Label3), lit3 ? lit : normal);
    EXPECT_EQ(Font(Label7), lit7 ? lit : normal);
    EXPECT_EQ(::GetCursor(), cursor);
  }
}

}  // namespace
}  // namespace velmora::testing
