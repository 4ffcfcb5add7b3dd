#include "platform/TabOrder.h"

#include <algorithm>

namespace velmora {

bool TabOrder::Set(ControlId control, int index) {
  const auto found = std::find(sequence_.begin(), sequence_.end(), control);
  if (found == sequence_.end()) {
    return false;
  }
  sequence_.erase(found);
  const auto place = static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(sequence_.size())));
  sequence_.insert(sequence_.begin() + static_cast<std::ptrdiff_t>(place), control);
  return true;
}

int TabOrder::IndexOf(ControlId control) const {
  const auto found = std::find(sequence_.begin(), sequence_.end(), control);
  return found == sequence_.end() ? -1 : static_cast<int>(found - sequence_.begin());
}

}  // namespace velmora
