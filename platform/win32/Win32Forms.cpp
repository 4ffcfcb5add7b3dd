// The operations that event handlers call, and the window's construction.
#include "platform/win32/Win32Forms.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

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

}  // namespace

Win32Forms::Win32Forms(HINSTANCE instance, const FormSpec& layout, Win32Resources resources,
                       FatalErrorTexts fatal)
    : instance_(instance),
      spec_(layout),
      resources_(resources),
      fatal_(fatal),
      tabOrder_(TabOrder::FromLayout(layout.controls)),
      controls_(layout.controls.size()) {}

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
        {TwipsToPixels(spec_.clientWidth, systemDpi), TwipsToPixels(spec_.clientHeight, systemDpi)}, kWindowStyle,
        0, systemDpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    window_.reset(::CreateWindowExW(0, kWindowClass, caption.c_str(), kWindowStyle,
                                    area.left + (area.right - area.left - width) / 2,
                                    area.top + (area.bottom - area.top - height) / 2, width, height, nullptr,
                                    nullptr, instance_, this));
    if (!window_) {
      ThrowLastError("CreateWindowExW");
    }
    dpi_ = DpiForWindow(window_.get());
    fonts_ = FontSet(dpi_);
    CreateControls();
    ApplyLayout(nullptr);
    ApplyTabOrder();
  });
  Raise([&] { events_->Initialize(); });
  if (failed_ || !window_) {
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
    if (c.key != ControlKey(place)) {
      throw PlatformError("the layout's controls are not in the order of their keys");
    }
    const ChildClass cls = ClassFor(c.kind);
    const std::wstring caption(c.caption);
    const auto id = static_cast<INT_PTR>(kFirstControlId + static_cast<int>(place));
    // Created where the layout puts it, so that laying out moves nothing at start-up. Clipped
    // by its siblings, a control never paints over one stacked above it, whatever the order of
    // painting and however wide a font makes a label.
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | cls.style;
    HWND hwnd = ::CreateWindowExW(cls.exStyle, cls.name, c.kind == ControlKind::Image ? L"" : caption.c_str(),
                                  style, TwipsToPixels(c.left, dpi_), TwipsToPixels(c.top, dpi_),
                                  TwipsToPixels(c.width, dpi_), TwipsToPixels(c.height, dpi_), window_.get(),
                                  reinterpret_cast<HMENU>(id), instance_, nullptr);
    if (hwnd == nullptr) {
      ThrowLastError("CreateWindowExW(control)");
    }
    Control& control = controls_[place];
    control = Control{hwnd, &c, c.foreColor, false};
    if (c.kind == ControlKind::TextBox) {
      ::SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // no cap of its own
    }
    if (!Subclass(hwnd, kControlLayer, ControlProc, this)) {
      ThrowLastError("Subclass(control)");
    }
  }
}

const Win32Forms::Control& Win32Forms::Checked(ControlKey key, ControlKind kind) const {
  if (key.index >= controls_.size() || controls_[key.index].hwnd == nullptr ||
      controls_[key.index].design->kind != kind) {
    throw PlatformError("the control does not support this operation");
  }
  return controls_[key.index];
}

Win32Forms::Control& Win32Forms::Checked(ControlKey key, ControlKind kind) {
  return const_cast<Control&>(std::as_const(*this).Checked(key, kind));
}

Win32Forms::Control* Win32Forms::FromWindow(HWND hwnd) {
  for (Control& control : controls_) {
    if (control.hwnd == hwnd && hwnd != nullptr) {
      return &control;
    }
  }
  return nullptr;
}

void Win32Forms::SetCaption(std::wstring_view caption) {
  SetWindowTextChecked(window_.get(), caption);
}

WindowHandle Win32Forms::Handle() {
  return reinterpret_cast<WindowHandle>(window_.get());
}

void Win32Forms::SetLabelCaption(ControlKey label, std::wstring_view caption) {
  const Control& control = Checked(label, ControlKind::Label);
  SetWindowTextChecked(control.hwnd, caption);
  AutoSize(control);
}

std::wstring Win32Forms::LabelCaption(ControlKey label) {
  return WindowText(Checked(label, ControlKind::Label).hwnd);
}

// Setting the look a label already has changes nothing and repaints nothing.
void Win32Forms::SetForeColor(ControlKey label, Color color) {
  Control& control = Checked(label, ControlKind::Label);
  if (control.color != color) {
    control.color = color;
    ::InvalidateRect(control.hwnd, nullptr, TRUE);
  }
}

void Win32Forms::SetFontUnderline(ControlKey label, bool underline) {
  Control& control = Checked(label, ControlKind::Label);
  if (control.underline != underline) {
    control.underline = underline;
    ::SendMessageW(control.hwnd, WM_SETFONT,
                   reinterpret_cast<WPARAM>(fonts_.Get(control.design->font, underline)), TRUE);
  }
}

void Win32Forms::SetEnabled(ControlKey button, bool enabled) {
  ::EnableWindow(Checked(button, ControlKind::CommandButton).hwnd, enabled ? TRUE : FALSE);
}

void Win32Forms::SetTabIndex(ControlKey button, std::int16_t index) {
  Checked(button, ControlKind::CommandButton);
  tabOrder_.Set(button, index);
  ApplyTabOrder();
}

void Win32Forms::SetFocus(ControlKey control) {
  ::SetFocus(ControlWindow(control));
}

WindowHandle Win32Forms::ControlHandle(ControlKey control) {
  return reinterpret_cast<WindowHandle>(ControlWindow(control));
}

std::wstring Win32Forms::Text(ControlKey box) {
  return WindowText(Checked(box, ControlKind::TextBox).hwnd);
}

void Win32Forms::SetText(ControlKey box, std::wstring_view text) {
  SetWindowTextChecked(Checked(box, ControlKind::TextBox).hwnd, text);
}

void Win32Forms::SetSelStart(ControlKey box, std::size_t position) {
  const HWND hwnd = Checked(box, ControlKind::TextBox).hwnd;
  ::SendMessageW(hwnd, EM_SETSEL, position, static_cast<LPARAM>(position));
  ::SendMessageW(hwnd, EM_SCROLLCARET, 0, 0);
}

ClipboardResult Win32Forms::ReplaceClipboardText(std::wstring_view text) {
  return win32::ReplaceClipboardText(window_.get(), text);
}

void Win32Forms::MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) {
  const std::wstring textCopy(text);
  const std::wstring titleCopy(title);
  if (::MessageBoxW(window_.get(), textCopy.c_str(), titleCopy.c_str(), MB_OK | static_cast<UINT>(style)) ==
      0) {
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

void Win32Forms::ShellExecute(WindowHandle owner, std::wstring_view operation, std::wstring_view file,
                              std::wstring_view parameters, std::wstring_view directory, int showCommand) {
  shell_.Execute(reinterpret_cast<HWND>(owner), operation, file, parameters, directory, showCommand);
}

}  // namespace velmora::win32
