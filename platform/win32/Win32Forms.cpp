// The operations that event handlers call, and the window's construction.
#include "platform/win32/Win32Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

#include "platform/win32/ButtonHook.h"
#include "platform/win32/Clipboard.h"
#include "platform/win32/Dpi.h"
#include "platform/win32/Subclass.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/WindowText.h"
#include "version/PeVersionReader.h"

namespace velmora::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"Velmora.Form1";

struct ChildClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

ChildClass ClassFor(ControlKind kind) {
  switch (kind) {
    case ControlKind::CommandButton:
      return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::TextBox:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::Image:
      return {WC_STATICW, SS_BITMAP | SS_NOTIFY, 0};
    case ControlKind::Label:
      break;
  }
  return {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0};
}

// Marlett's letters for its up and down triangles.
std::wstring_view CaptionOf(const ControlSpec& c) {
  switch (c.arrow) {
    case ArrowKind::Up:
      return L"t";
    case ArrowKind::Down:
      return L"u";
    case ArrowKind::None:
      break;
  }
  return c.kind == ControlKind::Image ? std::wstring_view() : c.caption;
}

}  // namespace

Win32Forms::Win32Forms(HINSTANCE instance, const FormSpec& layout, Win32Resources resources,
                       FatalErrorTexts fatal)
    : EventBoundary(fatal),
      instance_(instance),
      spec_(layout),
      resources_(resources),
      tabOrder_(TabOrder::FromLayout(layout.controls)),
      controls_(layout.controls) {}

Win32Forms::~Win32Forms() = default;

void Win32Forms::RegisterWindowClass() {
  WNDCLASSEXW wc{};
  if (::GetClassInfoExW(instance_, kWindowClass, &wc)) {
    return;
  }
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(resources_.iconId));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(resources_.iconId), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON),
                                               ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kWindowClass;
  if (!::RegisterClassExW(&wc)) {
    ThrowLastError("RegisterClassExW");
  }
}

bool Win32Forms::Open(FormEvents& events, int showCommand) {
  events_ = &events;
  Raise([&] {
    RegisterWindowClass();
    handCursor_ = ::LoadCursorW(instance_, MAKEINTRESOURCEW(resources_.handCursorId));
    if (handCursor_ == nullptr) {
      ThrowLastError("LoadCursorW(hand)");
    }
    banner_ = Banner(instance_, resources_.bannerId);
    const std::wstring caption(spec_.caption);
    // Created at its size and place for the system's DPI, centred in the work area, as laying it
    // out will put it: a window that opens on a monitor of that DPI is not moved or resized again.
    const UINT systemDpi = DpiForWindow(nullptr);
    const RECT frame = WindowRectForClient(
        {TwipsToPixels(spec_.clientWidth, systemDpi), TwipsToPixels(spec_.clientHeight, systemDpi)},
        kWindowStyle, 0, systemDpi);
    const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
    const POINT at = CentredOn(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), size);
    window_.reset(::CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle, at.x, at.y, size.cx,
                                    size.cy, nullptr, nullptr, instance_, this));
    if (!window_) {
      ThrowLastError("CreateWindowExW");
    }
    dpi_ = DpiForWindow(window_.get());
    fonts_ = FontSet(dpi_);
    CreateControls();
    ApplyLayout(nullptr, systemDpi);
    ApplyTabOrder();
  });
  Raise([&] { events_->Initialize(); });
  if (Failed() || !window_) {
    return false;
  }
  ::ShowWindow(window_.get(), showCommand);
  ::UpdateWindow(window_.get());
  const ControlKey first = tabOrder_.Sequence().front();
  ::SetFocus(ControlWindow(first));
  return true;
}

void Win32Forms::CreateControls() {
  for (std::size_t place = 0; place < spec_.controls.size(); ++place) {
    const ControlSpec& c = spec_.controls[place];
    const ChildClass cls = ClassFor(c.kind);
    const std::wstring caption(CaptionOf(c));
    const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(place));
    // Created where the layout puts it, so that laying out moves nothing at start-up. Clipped
    // by its siblings, a control never paints over one stacked above it, whatever the order of
    // painting and however wide a font makes a label.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style;
    HWND hwnd = ::CreateWindowExW(cls.exStyle, cls.name, caption.c_str(), style, TwipsToPixels(c.left, dpi_),
                                  TwipsToPixels(c.top, dpi_), TwipsToPixels(c.width, dpi_),
                                  TwipsToPixels(c.height, dpi_), window_.get(), reinterpret_cast<HMENU>(id),
                                  instance_, nullptr);
    if (hwnd == nullptr) {
      ThrowLastError("CreateWindowExW(control)");
    }
    controls_.Attach(place, hwnd);
    if (c.kind == ControlKind::TextBox) {
      ::SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // no cap of its own
    }
    if (!Subclass(hwnd, kControlLayer, ControlProc, this)) {
      ThrowLastError("Subclass(control)");
    }
  }
}

void Win32Forms::SetCaption(std::wstring_view caption) {
  SetWindowTextChecked(window_.get(), caption);
}

// A caption a label already shows is not written again: nothing to measure, nothing to repaint
// (start-up writes the credit and the web address that the layout already put there).
void Win32Forms::SetLabelCaption(ControlKey label, std::wstring_view caption) {
  const Control& control = controls_.Checked(label, ControlKind::Label);
  if (WindowText(control.handle) != caption) {
    SetWindowTextChecked(control.handle, caption);
    AutoSize(control);
  }
}

std::wstring Win32Forms::LabelCaption(ControlKey label) {
  return WindowText(controls_.Checked(label, ControlKind::Label).handle);
}

// Setting the look a label already has changes nothing and repaints nothing.
void Win32Forms::SetForeColor(ControlKey label, Color color) {
  if (controls_.SetColor(label, color)) {
    ::InvalidateRect(ControlWindow(label), nullptr, TRUE);
  }
}

void Win32Forms::SetFontUnderline(ControlKey label, bool underline) {
  if (controls_.SetUnderline(label, underline)) {
    ::SendMessageW(ControlWindow(label), WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts_.Get(ArrowKind::None, underline)), TRUE);
  }
}

void Win32Forms::SetEnabled(ControlKey button, bool enabled) {
  ::EnableWindow(controls_.Checked(button, ControlKind::CommandButton).handle, enabled ? TRUE : FALSE);
}

void Win32Forms::SetTabIndex(ControlKey button, std::int16_t index) {
  controls_.Checked(button, ControlKind::CommandButton);
  tabOrder_.Set(button, index);
  ApplyTabOrder();
}

void Win32Forms::SetFocus(ControlKey control) {
  ::SetFocus(ControlWindow(control));
}

void Win32Forms::HookButton(ControlKey button) {
  win32::HookButton(controls_.Checked(button, ControlKind::CommandButton).handle);
}

std::wstring Win32Forms::Text(ControlKey box) {
  return WindowText(controls_.Checked(box, ControlKind::TextBox).handle);
}

void Win32Forms::SetText(ControlKey box, std::wstring_view text) {
  SetWindowTextChecked(controls_.Checked(box, ControlKind::TextBox).handle, text);
}

void Win32Forms::SetSelStart(ControlKey box, std::size_t position) {
  const HWND hwnd = controls_.Checked(box, ControlKind::TextBox).handle;
  ::SendMessageW(hwnd, EM_SETSEL, position, static_cast<LPARAM>(position));
  ::SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

ClipboardResult Win32Forms::ReplaceClipboardText(std::wstring_view text) {
  return win32::ReplaceClipboardText(window_.get(), text);
}

void Win32Forms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  const std::wstring lines = WithWindowsLineEnds(text);
  const std::wstring titleCopy(title);
  const UINT icon = style == MsgBoxStyle::Error ? MB_ICONERROR : MB_ICONINFORMATION;
  if (::MessageBoxW(window_.get(), lines.c_str(), titleCopy.c_str(), MB_OK | icon) == 0) {
    ThrowLastError("MessageBoxW");
  }
}

ProgramVersion Win32Forms::Version() {
  const HRSRC info = ::FindResourceW(instance_, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  const HGLOBAL loaded = info == nullptr ? nullptr : ::LoadResource(instance_, info);
  const void* data = loaded == nullptr ? nullptr : ::LockResource(loaded);
  if (data == nullptr) {
    ThrowLastError("FindResourceW(version)");
  }
  // The block is read here rather than by version.dll, which is not a system known DLL: the exe
  // imports nothing that Windows would look for beside it.
  const auto* bytes = static_cast<const std::byte*>(data);
  const auto root = pe::FindRootValue(std::span<const std::byte>(bytes, ::SizeofResource(instance_, info)));
  VS_FIXEDFILEINFO fixedInfo{};
  if (!root || root->size() < sizeof(fixedInfo)) {
    throw PlatformError("the program's version resource has no fixed block");
  }
  std::memcpy(&fixedInfo, root->data(), sizeof(fixedInfo));
  const VS_FIXEDFILEINFO* fixed = &fixedInfo;
  return ProgramVersion{static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionMS)),
                        static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionMS)),
                        static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionLS))};
}

std::int16_t Win32Forms::CurrentYear() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return static_cast<std::int16_t>(now.wYear);
}

// The window is the owner of anything the shell itself shows.
void Win32Forms::OpenLink(std::wstring_view target) {
  shell_.Open(window_.get(), target);
}

}  // namespace velmora::win32
