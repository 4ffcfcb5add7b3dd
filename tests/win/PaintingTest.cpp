// The window as it is seen, read back pixel by pixel. Whatever fonts the machine has (the rig
// runs this in a prefix with the window's fonts and in a plain one without them), no control
// paints over one stacked above it, and the arrow buttons show triangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "LiveWindow.h"

namespace velmora::testing {
namespace {

using enum ControlId;

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> rgb;  // 0x00RRGGBB, rows from the top
  bool operator==(const Pixels&) const = default;
  DWORD At(int x, int y) const { return rgb[static_cast<std::size_t>(y * width + x)]; }
};

// A control's pixels on the screen, frame included.
Pixels Capture(HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  Pixels p{r.right - r.left, r.bottom - r.top, {}};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = ::CreateCompatibleDC(nullptr);
  HBITMAP dib = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = ::SelectObject(memory, dib);
  HDC screen = ::GetWindowDC(control);
  ::BitBlt(memory, 0, 0, p.width, p.height, screen, 0, 0, SRCCOPY);
  ::ReleaseDC(control, screen);
  ::GdiFlush();
  p.rgb.resize(static_cast<std::size_t>(p.width * p.height));
  std::memcpy(p.rgb.data(), bits, p.rgb.size() * sizeof(DWORD));
  ::SelectObject(memory, old);
  ::DeleteObject(dib);
  ::DeleteDC(memory);
  return p;
}

int Luma(DWORD rgb) {
  return (299 * static_cast<int>((rgb >> 16) & 0xFF) + 587 * static_cast<int>((rgb >> 8) & 0xFF) +
          114 * static_cast<int>(rgb & 0xFF)) /
         1000;
}

// What the button's symbol is made of: the pixels inside its frame clearly darker than its face
// (the most common colour there). Drawn as '#' for a failure message.
struct Shape {
  std::vector<std::string> rows;
};

Shape DarkPixels(const Pixels& p) {
  std::map<DWORD, int> counts;
  for (int y = 2; y < p.height - 2; ++y) {
    for (int x = 2; x < p.width - 2; ++x) {
      ++counts[p.At(x, y)];
    }
  }
  const DWORD face = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                       return a.second < b.second;
                     })->first;
  Shape shape;
  for (int y = 2; y < p.height - 2; ++y) {
    std::string row;
    for (int x = 2; x < p.width - 2; ++x) {
      row += Luma(p.At(x, y)) < Luma(face) - 48 ? '#' : '.';
    }
    shape.rows.push_back(row);
  }
  return shape;
}

std::string Picture(const Shape& shape) {
  std::string text;
  for (const std::string& row : shape.rows) {
    text += row + '\n';
  }
  return text;
}

// One solid triangle: every row with dark pixels holds a single run, the rows follow each other,
// all runs are centred on the same column (within a pixel), and they widen towards the base:
// downwards for an up arrow, upwards for a down arrow, by at least 4 px in all.
bool IsTriangle(const Shape& shape, bool pointsUp) {
  struct Run {
    int left, right;
  };
  std::vector<Run> runs;
  int lastRow = -1;
  for (int y = 0; y < static_cast<int>(shape.rows.size()); ++y) {
    const std::string& row = shape.rows[static_cast<std::size_t>(y)];
    const auto first = row.find('#');
    if (first == std::string::npos) {
      continue;
    }
    const auto last = row.rfind('#');
    if (row.find('.', first) < last || (lastRow >= 0 && y != lastRow + 1)) {
      return false;
    }
    runs.push_back({static_cast<int>(first), static_cast<int>(last)});
    lastRow = y;
  }
  if (runs.size() < 3) {
    return false;
  }
  if (!pointsUp) {
    std::reverse(runs.begin(), runs.end());
  }
  for (std::size_t i = 1; i < runs.size(); ++i) {
    const int centreShift = (runs[i].left + runs[i].right) - (runs[0].left + runs[0].right);
    if (std::abs(centreShift) > 1 || runs[i].right - runs[i].left < runs[i - 1].right - runs[i - 1].left) {
      return false;
    }
  }
  return (runs.back().right - runs.back().left) - (runs.front().right - runs.front().left) >= 4;
}

void ExpectArrows(LiveWindow& live, const char* when) {
  for (const auto& [id, up] : {std::pair{cmdUp, true}, std::pair{cmdDown, false}}) {
    Shape shape;
    const bool triangle = live.PumpUntil([&] {
      shape = DarkPixels(Capture(live.Control(id)));
      return IsTriangle(shape, up);
    });
    EXPECT_TRUE(triangle) << when << (up ? ", up button" : ", down button")
                          << (::IsWindowEnabled(live.Control(id)) ? "" : " (disabled)") << ":\n"
                          << Picture(shape);
  }
}

TEST(Painting, ArrowButtonsShowTrianglesEnabledAndDisabledAtEveryDpi) {
  LiveWindow live;
  ExpectArrows(live, "at start, down disabled");
  live.ClickOn(cmdUp);
  ASSERT_TRUE(::IsWindowEnabled(live.Control(cmdDown)));
  ExpectArrows(live, "both enabled");
  for (UINT dpi : {144u, 192u}) {
    live.MoveToDpi(dpi);
    ExpectArrows(live, dpi == 144 ? "at 144 DPI" : "at 192 DPI");
  }
  // The symbols are pictures; the buttons' texts stay what they are.
  EXPECT_EQ(live.TextOf(live.Control(cmdUp)), L"t");
  EXPECT_EQ(live.TextOf(live.Control(cmdDown)), L"u");
}

// The screen shows a control exactly as it draws itself with the controls it overlaps hidden:
// nothing stacked below it has painted over its frame or its text.
bool SeenAsDrawn(LiveWindow& live, ControlId id) {
  const HWND control = live.Control(id);
  RECT area{};
  ::GetWindowRect(control, &area);
  std::vector<HWND> below;
  for (HWND sibling = ::GetWindow(control, GW_HWNDNEXT); sibling;
       sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
    RECT r{}, overlap{};
    ::GetWindowRect(sibling, &r);
    if (::IsWindowVisible(sibling) && ::IntersectRect(&overlap, &area, &r)) {
      below.push_back(sibling);
    }
  }
  for (HWND sibling : below) {
    ::ShowWindow(sibling, SW_HIDE);
  }
  ::RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  live.Pump(30);
  const Pixels alone = Capture(control);
  for (HWND sibling : below) {
    ::ShowWindow(sibling, SW_SHOWNA);
  }
  return live.PumpUntil([&] { return Capture(control) == alone; });
}

TEST(Painting, NoControlPaintsOverOneStackedAboveIt) {
  LiveWindow live;
  live.Forms().SetFocus(cmdMake);  // no caret blinking in the box
  // As laid out, the box covers the prompt's last 2 px, and the up button the down button's top row.
  EXPECT_TRUE(SeenAsDrawn(live, Text1));
  EXPECT_TRUE(SeenAsDrawn(live, cmdUp));

  // A prompt reaching far under the box, as a wider font makes it, stays behind it and keeps
  // its left and top edges.
  const RECT before = live.ClientRectOf(Label1);
  live.Forms().SetLabelCaption(Label1, L"请输入QQ昵称请输入QQ昵称：");
  const RECT after = live.ClientRectOf(Label1);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_GT(after.right, live.ClientRectOf(Text1).left + 40);
  EXPECT_TRUE(SeenAsDrawn(live, Text1));
}

}  // namespace
}  // namespace velmora::testing
