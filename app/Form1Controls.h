#pragma once
// The main window's own vocabulary: its controls by name and the colours of its links and
// labels. The platform knows the controls only by their places in the layout table.
#include <cstddef>
#include <cstdint>

#include "platform/Forms.h"

namespace velmora {

// The window's controls, in the order of the layout table, which is the order of creation.
enum class ControlId : std::uint8_t {
  cmdDown,
  cmdUp,
  cmdMake,
  Text1,
  Image1,
  Label7,
  Label6,
  Label5,
  Label4,
  Label3,
  Label2,
  Label1,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::Label1) + 1;

// The window's own names convert to the platform's keys; no other enumeration does.
template <>
inline constexpr bool kNamesControls<ControlId> = true;

// A control the platform names by its place, as the window names it.
constexpr ControlId IdOf(ControlKey key) {
  return static_cast<ControlId>(key.index);
}

inline constexpr Color kRed = 0x0000FF;
inline constexpr Color kBlue = 0xFF0000;
inline constexpr Color kMagenta = 0xFF00FF;

}  // namespace velmora
