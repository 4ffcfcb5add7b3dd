#pragma once
// The tab sequence of a window's focusable controls. Setting one control's index moves it
// there and renumbers the others, so the indexes always run 0, 1, 2, ... without gaps.
#include <cstddef>
#include <vector>

#include "platform/Forms.h"
#include "platform/Layout.h"

namespace velmora {

class TabOrder {
 public:
  TabOrder() = default;
  explicit TabOrder(std::vector<ControlKey> sequence) : sequence_(std::move(sequence)) {}

  // The controls that have a tab index, in the order the layout's indexes give.
  static TabOrder FromLayout(std::span<const ControlSpec> controls);

  // Moves the control to the index (clamped to the last place). Returns false for a control
  // that is not in the sequence.
  bool Set(ControlKey control, int index);
  int IndexOf(ControlKey control) const;  // -1 when not in the sequence
  const std::vector<ControlKey>& Sequence() const { return sequence_; }

 private:
  std::vector<ControlKey> sequence_;
};

}  // namespace velmora
