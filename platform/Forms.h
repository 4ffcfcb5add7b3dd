#pragma once
// The forms runtime as the window's handlers see it: every operation on the window, its
// controls, the clipboard, the message box and the system that the handlers use, in the
// program's own words. Each backend (platform/win32, platform/qt, platform/web) translates them
// into its platform's; tests use a recording fake.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace velmora {

// A 24-bit colour, 0x00BBGGRR.
using Color = std::uint32_t;

// Whether an enumeration names the controls of a window, one value per place in its layout table.
// A window opts its own enumeration in; no other enumeration converts to a ControlKey.
template <typename Name>
inline constexpr bool kNamesControls = false;

// A control of the window: its place in the layout table the platform was given. The window
// names its controls with an enumeration of its own, whose values are those places, and passes
// them as they are; the platform never knows them by name.
struct ControlKey {
  std::uint8_t index = 0;

  constexpr ControlKey() = default;
  constexpr explicit ControlKey(std::size_t place) : index(static_cast<std::uint8_t>(place)) {}
  // Implicit, so that the window passes its own names as they are.
  template <typename Name>
  requires kNamesControls<Name>
  constexpr ControlKey(Name name) : index(static_cast<std::uint8_t>(name)) {}

  friend constexpr bool operator==(const ControlKey&, const ControlKey&) = default;
  friend constexpr auto operator<=>(const ControlKey&, const ControlKey&) = default;
};

// What a message box says with its icon.
enum class MsgBoxStyle : std::uint8_t { Information, Error };

struct ProgramVersion {
  std::int16_t major = 0;
  std::int16_t minor = 0;
  std::int16_t revision = 0;
};

// CopyByHand: this platform lets the program put nothing on the clipboard (a browser's page may be
// refused); it has shown the user the code to copy by hand, and why.
enum class ClipboardResult { Replaced, Busy, CopyByHand };

// A failed platform operation. It ends the running event handler; the event boundary in
// the platform layer reports it to the user and ends the program.
class PlatformError : public std::exception {
 public:
  // Not a std::runtime_error: the standard exceptions with a message bring a second string
  // implementation into the exe.
  explicit PlatformError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Texts may hold line breaks, written "\n"; a backend writes them as its platform wants them.
class FormsRuntime {
 public:
  virtual ~FormsRuntime() = default;

  // The window.
  virtual void SetCaption(std::wstring_view caption) = 0;

  // Labels.
  virtual void SetLabelCaption(ControlKey label, std::wstring_view caption) = 0;
  virtual std::wstring LabelCaption(ControlKey label) = 0;
  virtual void SetForeColor(ControlKey label, Color color) = 0;
  virtual void SetFontUnderline(ControlKey label, bool underline) = 0;

  // Command buttons.
  virtual void SetEnabled(ControlKey button, bool enabled) = 0;
  virtual void SetTabIndex(ControlKey button, std::int16_t index) = 0;
  virtual void SetFocus(ControlKey control) = 0;
  // From now on the button takes the keyboard focus as before but does not react to gaining
  // it: it never shows the focus look. Every other message or event reaches it unchanged.
  // Reports no failure: where the filter cannot go in, the button keeps working unfiltered.
  virtual void HookButton(ControlKey button) = 0;

  // The text box.
  virtual std::wstring Text(ControlKey box) = 0;
  virtual void SetText(ControlKey box, std::wstring_view text) = 0;
  virtual void SetSelStart(ControlKey box, std::size_t position) = 0;

  // Empties the clipboard and puts the text on it as one step. Busy when the clipboard cannot
  // take it (another program holds it, the system refuses); the previous content is then left
  // as it was.
  virtual ClipboardResult ReplaceClipboardText(std::wstring_view text) = 0;

  // A modal message box with one OK button, owned by the window.
  virtual void MsgBox(std::wstring_view text, MsgBoxStyle style, std::wstring_view title) = 0;

  // The program's version and today's year, local time.
  virtual ProgramVersion Version() = 0;
  virtual std::int16_t CurrentYear() = 0;

  // Hands a target (a web address, or a mailto: address) to the desktop, which opens it with
  // its handler for that kind of target; the result is not reported.
  virtual void OpenLink(std::wstring_view target) = 0;
};

// The events the forms runtime raises, one at a time, on the user-interface thread.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  virtual void Initialize() = 0;
  virtual void FormMouseMove() = 0;
  virtual void Click(ControlKey control) = 0;
  virtual void DblClick(ControlKey control) = 0;
  virtual void MouseMove(ControlKey control) = 0;
};

}  // namespace velmora
