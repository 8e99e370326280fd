#include "engine/drawing/panel_helpers.h"

#include <algorithm>
#include <cstdlib>

namespace zq {

using platform::Point;
using platform::Rect;

bool NearSegment(Point p, Point a, Point b, int32_t tolerance) {
  // 64-bit: the products of two coordinate differences overflow 32 bits far off screen.
  const int64_t ax = a.x, ay = a.y, bx = b.x, by = b.y, px = p.x, py = p.y;
  const int64_t t = tolerance;
  const int64_t d = std::max(std::llabs(bx - ax), std::llabs(by - ay));
  const int64_t c = (px - ax) * (by - ay) - (py - ay) * (bx - ax);
  // |c| / d is the distance from the line in pixels along the segment's minor axis.
  if (std::llabs(c) >= d) return false;
  const auto beyond = [t](int64_t v, int64_t e0, int64_t e1) {
    return v > std::max(e0, e1) + t || v < std::min(e0, e1) - t;
  };
  return !beyond(px, ax, bx) && !beyond(py, ay, by);
}

bool InsidePolygon(Point p, const Point* points, int32_t lastIndex) {
  if (lastIndex < 0 || points == nullptr) return false;
  bool inside = false;
  for (int32_t i = 0, j = lastIndex; i <= lastIndex; j = i++) {
    const Point& pi = points[i];
    const Point& pj = points[j];
    if ((pi.y <= p.y && p.y < pj.y) || (pj.y <= p.y && p.y < pi.y)) {
      const double crossing = double(int64_t(pj.x) - pi.x) * double(int64_t(p.y) - pi.y) /
                                  double(int64_t(pj.y) - pi.y) +
                              pi.x;
      if (p.x < crossing) inside = !inside;
    }
  }
  return inside;
}

bool InsideTriangle(Point p, int32_t x0, int32_t x1, int32_t yBase, int32_t yTip) {
  const Point triangle[3] = {{x0, yBase}, {int32_t((int64_t(x0) + x1) / 2), yTip}, {x1, yBase}};
  return InsidePolygon(p, triangle, 2);
}

bool InsideSideTriangle(Point p, int32_t y0, int32_t y1, int32_t xTip, int32_t xBase) {
  const Point triangle[3] = {{xBase, y0}, {xTip, int32_t((int64_t(y0) + y1) / 2)}, {xBase, y1}};
  return InsidePolygon(p, triangle, 2);
}

bool InsideEllipse(Point p, const Rect& rect) {
  const int64_t rx = (int64_t(rect.right) - rect.left) / 2;
  const int64_t ry = (int64_t(rect.bottom) - rect.top) / 2;
  if (rx == 0 || ry == 0) return false;
  const int64_t cx = (int64_t(rect.left) + rect.right) / 2;
  const int64_t cy = (int64_t(rect.top) + rect.bottom) / 2;
  const double dx = double(p.x - cx);
  const double dy = double(p.y - cy);
  return dx * dx / double(rx * rx) + dy * dy / double(ry * ry) <= 1.0;
}

std::string BreakIntoLines(std::string_view text, char separator) {
  std::string result(text);
  std::replace(result.begin(), result.end(), separator, kLineSeparator);
  return result;
}

int32_t CountTextLines(std::string_view text) {
  const size_t separators = size_t(std::count(text.begin(), text.end(), kLineSeparator));
  const bool tail = !text.empty() && text.back() != kLineSeparator;
  return int32_t(separators + (tail ? 1 : 0));
}

}  // namespace zq
