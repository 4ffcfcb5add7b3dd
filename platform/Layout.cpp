#include "platform/Layout.h"

#include <algorithm>
#include <cstddef>

namespace velmora {

namespace {
int ScaleRounded(int value, unsigned numerator, unsigned denominator) {
  const long long scaled = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / denominator : (scaled - half) / denominator);
}
}  // namespace

int TwipsToPixels(int twips, unsigned dpi) {
  return ScaleRounded(twips, dpi, kTwipsPerInch);
}

int PointsToPixels(int points, unsigned dpi) {
  return ScaleRounded(points, dpi, 72);
}

std::vector<ControlKey> ReadingOrder(std::span<const ControlSpec> controls) {
  // A stable insertion sort, first by top: a window has a few dozen controls at most.
  std::vector<const ControlSpec*> order;
  const auto insert = [&order](std::size_t from, const ControlSpec* c, auto before) {
    std::size_t at = order.size();
    while (at > from && before(c, order[at - 1])) {
      --at;
    }
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), c);
  };
  for (const ControlSpec& c : controls) {
    insert(0, &c, [](const ControlSpec* a, const ControlSpec* b) { return a->top < b->top; });
  }
  // Then each row again, by its controls' left edges; at the same left edge they stay in the order
  // of their tops.
  std::vector<const ControlSpec*> byTop;
  byTop.swap(order);
  for (std::size_t row = 0; row < byTop.size();) {
    int bottom = byTop[row]->top + byTop[row]->height;
    std::size_t end = row + 1;
    for (; end < byTop.size() && byTop[end]->top < bottom; ++end) {
      bottom = std::max(bottom, byTop[end]->top + byTop[end]->height);
    }
    const std::size_t from = order.size();
    for (; row < end; ++row) {
      insert(from, byTop[row], [](const ControlSpec* a, const ControlSpec* b) { return a->left < b->left; });
    }
  }
  std::vector<ControlKey> keys;
  for (const ControlSpec* c : order) {
    keys.push_back(c->key);
  }
  return keys;
}

}  // namespace velmora
