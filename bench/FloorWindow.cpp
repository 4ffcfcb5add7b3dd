// The launch benchmark's floor: the least that shows the program's window. The same twelve
// standard controls from the same layout table, with the same captions, fonts, colours, banner,
// icon, manifest and title, written as plain Win32 with no C++ runtime (no exceptions, no
// standard library, nothing allocated) and none of the program's behaviour. Drasken.exe is
// measured against it: what the program spends above it is the program's own.
#include <windows.h>

#include <commctrl.h>

#include "app/Form1Layout.h"
#include "resources/ResourceIds.h"

namespace {

using velmora::ControlKind;
using velmora::ArrowKind;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFirstControlId = 100;

struct Floor {
  HFONT window = nullptr;
  HFONT marlett = nullptr;
  HWND controls[velmora::kControlCount] = {};
  UINT dpi = 96;
};
Floor g_floor;

int Pixels(int twips, UINT dpi) {
  return ::MulDiv(twips, static_cast<int>(dpi), 1440);
}

HFONT MakeFont(UINT dpi, const wchar_t* face, BYTE charset, LONG weight) {
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(9, static_cast<int>(dpi), 72);
  lf.lfWeight = weight;
  lf.lfCharSet = charset;
  ::lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
  return ::CreateFontIndirectW(&lf);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CTLCOLORSTATIC: {
      const HWND control = reinterpret_cast<HWND>(lParam);
      const auto index = ::GetDlgCtrlID(control) - kFirstControlId;
      const auto& controls = velmora::Form1Layout().controls;
      const bool known = index >= 0 && static_cast<std::size_t>(index) < controls.size();
      const velmora::Color color = known ? controls[static_cast<std::size_t>(index)].foreColor : velmora::kDefaultColor;
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, color == velmora::kDefaultColor ? ::GetSysColor(COLOR_BTNTEXT) : static_cast<COLORREF>(color));
      ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// Labels take the size of their text, as the program's do.
void AutoSize(HWND label, HFONT font, const wchar_t* caption) {
  const HDC dc = ::GetDC(label);
  const HGDIOBJ old = ::SelectObject(dc, font);
  SIZE extent{};
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::GetTextExtentPoint32W(dc, caption, ::lstrlenW(caption), &extent);
  ::SelectObject(dc, old);
  ::ReleaseDC(label, dc);
  ::SetWindowPos(label, nullptr, 0, 0, extent.cx, metrics.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CreateControls(HINSTANCE instance, HWND window) {
  const auto& layout = velmora::Form1Layout();
  const HBITMAP banner = static_cast<HBITMAP>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const velmora::ControlSpec& c = layout.controls[i];
    const wchar_t* cls = WC_STATICW;
    DWORD style = SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY;
    DWORD exStyle = 0;
    if (c.kind == ControlKind::CommandButton) {
      cls = WC_BUTTONW;
      style = BS_PUSHBUTTON | WS_TABSTOP;
    } else if (c.kind == ControlKind::TextBox) {
      cls = WC_EDITW;
      style = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
      exStyle = WS_EX_CLIENTEDGE;
    } else if (c.kind == ControlKind::Image) {
      style = SS_BITMAP | SS_NOTIFY;
    }
    // The captions are null-terminated literals in the layout table.
    // The arrows are Marlett's letters for its triangles.
    const wchar_t* caption = c.arrow == ArrowKind::Up     ? L"t"
                             : c.arrow == ArrowKind::Down ? L"u"
                             : c.kind == ControlKind::Image || c.caption.empty() ? L""
                                                                                 : c.caption.data();
    const HWND hwnd = ::CreateWindowExW(
        exStyle, cls, caption, WS_CHILD | WS_VISIBLE | style, Pixels(c.left, g_floor.dpi), Pixels(c.top, g_floor.dpi),
        Pixels(c.width, g_floor.dpi), Pixels(c.height, g_floor.dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))), instance, nullptr);
    g_floor.controls[i] = hwnd;
    ::SendMessageW(hwnd, WM_SETFONT,
                   reinterpret_cast<WPARAM>(c.arrow != ArrowKind::None ? g_floor.marlett : g_floor.window), FALSE);
    if (c.kind == ControlKind::Image) {
      ::SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner));
    } else if (c.kind == ControlKind::Label) {
      AutoSize(hwnd, g_floor.window, caption);
    }
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_VELMORA));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = L"Velmora.Floor";
  ::RegisterClassExW(&wc);

  // The program's title: the product name, the year and the version (the build's numbers).
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  wchar_t title[64];
  ::wsprintfW(title, L"Velmora%d v%d.%d.%d", now.wYear, VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR,
              VELMORA_VERSION_REVISION);

  const HWND window = ::CreateWindowExW(0, wc.lpszClassName, title, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  const HDC screen = ::GetDC(window);
  g_floor.dpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSY));
  ::ReleaseDC(window, screen);
  g_floor.window = MakeFont(g_floor.dpi, L"SimSun", GB2312_CHARSET, FW_NORMAL);
  g_floor.marlett = MakeFont(g_floor.dpi, L"Marlett", SYMBOL_CHARSET, FW_MEDIUM);
  CreateControls(instance, window);
  const auto& layout = velmora::Form1Layout();
  RECT frame{0, 0, Pixels(layout.clientWidth, g_floor.dpi), Pixels(layout.clientHeight, g_floor.dpi)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);  // centred, as the program's window
  ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ::ShowWindow(window, showCommand);
  ::UpdateWindow(window);
  ::SetFocus(g_floor.controls[3]);  // the nickname box, first in the tab order
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!::IsDialogMessageW(window, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return 0;
}
