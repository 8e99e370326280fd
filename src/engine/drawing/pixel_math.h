// Whole-pixel arithmetic of the chart parts: sums that saturate instead of wrapping, rounding
// with halves to the even neighbour, and how far a point lies from a drawn segment.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/geometry.h"

namespace zq::pixels {

inline int32_t Sat(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Round half to even, kept inside the int32 range; NaN gives 0.
inline int32_t RoundToInt(double value) {
  if (std::isnan(value)) return 0;
  const double r = std::nearbyint(value);
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return int32_t(r);
}

// Distance from (x, y) to the segment a-b, in pixels.
inline double SegmentDistance(platform::Point a, platform::Point b, double x, double y) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = 0;
  if (len2 > 0) t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0, 1.0);
  const double px = a.x + t * dx - x, py = a.y + t * dy - y;
  return std::sqrt(px * px + py * py);
}

}  // namespace zq::pixels
