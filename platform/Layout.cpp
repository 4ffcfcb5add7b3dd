#include "platform/Layout.h"

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

}  // namespace velmora
