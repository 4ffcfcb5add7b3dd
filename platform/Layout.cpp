#include "platform/Layout.h"

#include <algorithm>
#include <tuple>

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
  std::vector<const ControlSpec*> byTop;
  for (const ControlSpec& c : controls) {
    byTop.push_back(&c);
  }
  std::stable_sort(byTop.begin(), byTop.end(), [](const ControlSpec* a, const ControlSpec* b) { return a->top < b->top; });
  std::vector<ControlKey> order;
  for (auto row = byTop.begin(); row != byTop.end();) {
    int bottom = (*row)->top + (*row)->height;
    auto end = std::next(row);
    for (; end != byTop.end() && (*end)->top < bottom; ++end) {
      bottom = std::max(bottom, (*end)->top + (*end)->height);
    }
    std::stable_sort(row, end, [](const ControlSpec* a, const ControlSpec* b) {
      return std::tie(a->left, a->top) < std::tie(b->left, b->top);
    });
    for (; row != end; ++row) {
      order.push_back((*row)->key);
    }
  }
  return order;
}

}  // namespace velmora
