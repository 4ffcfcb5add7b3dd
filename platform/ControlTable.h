#pragma once
// What every backend keeps for the window's controls: for each row of the layout, the backend's
// own handle of the control (a window, a widget, an element) and the look that the handlers have
// set on it. Controls are found by their key or by their handle.
#include <span>
#include <vector>

#include "platform/Forms.h"
#include "platform/Layout.h"

namespace velmora {

template <typename Handle>
class ControlTable {
 public:
  struct Control {
    Handle handle{};                      // borrowed: the window owns its controls
    const ControlSpec* design = nullptr;  // its row of the layout
    Color color = kDefaultColor;          // labels: the text colour and underline last set
    bool underline = false;
  };

  explicit ControlTable(std::span<const ControlSpec> layout) {
    controls_.reserve(layout.size());
    for (const ControlSpec& row : layout) {
      controls_.push_back(Control{Handle{}, &row, row.foreColor, false});
    }
  }

  // Records the control made for the row at this place; each row must stand at its key's place.
  Control& Attach(std::size_t place, Handle handle) {
    Control& control = controls_.at(place);
    if (control.design->key != ControlKey(place)) {
      throw PlatformError("the layout's controls are not in the order of their keys");
    }
    control.handle = handle;
    return control;
  }

  // The control an operation is asked of: it must be there and of the kind the operation is for.
  Control& Checked(ControlKey key, ControlKind kind) {
    if (key.index >= controls_.size() || controls_[key.index].handle == Handle{} ||
        controls_[key.index].design->kind != kind) {
      throw PlatformError("the control does not support this operation");
    }
    return controls_[key.index];
  }

  // Null for a handle that is not one of the window's controls.
  Control* Find(const Handle& handle) {
    for (Control& control : controls_) {
      if (control.handle == handle && handle != Handle{}) {
        return &control;
      }
    }
    return nullptr;
  }

  Handle HandleOf(ControlKey key) const {
    return key.index < controls_.size() ? controls_[key.index].handle : Handle{};
  }

  // A label's look, as a handler sets it. False when the label already looked so: there is
  // nothing to redraw.
  bool SetColor(ControlKey label, Color color) {
    Control& control = Checked(label, ControlKind::Label);
    const bool changed = control.color != color;
    control.color = color;
    return changed;
  }
  bool SetUnderline(ControlKey label, bool underline) {
    Control& control = Checked(label, ControlKind::Label);
    const bool changed = control.underline != underline;
    control.underline = underline;
    return changed;
  }

  // The window is gone, and its controls with it.
  void Forget() {
    for (Control& control : controls_) {
      control.handle = Handle{};
    }
  }

  std::vector<Control>& All() { return controls_; }
  const std::vector<Control>& All() const { return controls_; }

 private:
  std::vector<Control> controls_;
};

}  // namespace velmora
