#include "platform/TabOrder.h"

#include <algorithm>

namespace velmora {

TabOrder TabOrder::FromLayout(std::span<const ControlSpec> controls) {
  std::vector<const ControlSpec*> ordered;
  for (const ControlSpec& c : controls) {
    if (c.tabIndex != kNoTabIndex) {
      ordered.push_back(&c);
    }
  }
  std::sort(ordered.begin(), ordered.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  std::vector<ControlKey> sequence;
  for (const ControlSpec* c : ordered) {
    sequence.push_back(c->key);
  }
  return TabOrder(std::move(sequence));
}

bool TabOrder::Set(ControlKey control, int index) {
  const auto found = std::find(sequence_.begin(), sequence_.end(), control);
  if (found == sequence_.end()) {
    return false;
  }
  sequence_.erase(found);
  const auto place = static_cast<std::size_t>(std::clamp(index, 0, static_cast<int>(sequence_.size())));
  sequence_.insert(sequence_.begin() + static_cast<std::ptrdiff_t>(place), control);
  return true;
}

int TabOrder::IndexOf(ControlKey control) const {
  const auto found = std::find(sequence_.begin(), sequence_.end(), control);
  return found == sequence_.end() ? -1 : static_cast<int>(found - sequence_.begin());
}

}  // namespace velmora
