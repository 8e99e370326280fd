// Pixel geometry of the Windows drawing rules, independent of any pixel buffer: which pixels a
// cosmetic line covers, the outline points of ellipses and rounded rectangles, and polygon
// spans. The surface turns these into pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/geometry.h"

namespace zq::platform::raster {

// A line from A to B as GDI steps it (Bresenham with GDI's octant bias), covering A and
// excluding B. Pixel j of the line, 0 <= j < Length(), is found without walking the line, so
// far-away lines cost only their visible part.
class LineWalk {
 public:
  LineWalk(Point a, Point b);

  int64_t Length() const { return major_; }
  Point PixelAt(int64_t j) const;
  // Calls f(x, y, j) for the pixels inside box (right and bottom excluded), in order.
  template <typename F>
  void Visit(const Rect& box, F&& f) const;

 private:
  int64_t MinorSteps(int64_t j) const;

  int64_t x0_, y0_;
  int64_t major_, minor_;
  bool xMajor_;
  int sx_, sy_;
  int bias_;
};

// Closed outline (counter-clockwise on screen) of a rounded rectangle whose corners are quarter
// ellipses of size ellipseWidth x ellipseHeight inside box (right and bottom excluded). With the
// ellipse as big as the box this is the outline of Ellipse.
std::vector<Point> RoundRectOutline(const Rect& box, int32_t ellipseWidth, int32_t ellipseHeight);

// The part of the ellipse outline of box from the radial direction through start to the one
// through end, counter-clockwise. Equal directions give the whole ellipse.
std::vector<Point> ArcOutline(const Rect& box, Point start, Point end);

// Calls span(y, x0, x1) for every run of pixels x0 <= x < x1 on row y inside the polygon under
// the alternate (even-odd) rule, sampling pixel (x, y) at the integer point (x, y) with left and
// top edges inside and right and bottom edges outside (the rule of GDI polygon regions). Only
// rows and columns inside box are reported.
template <typename F>
void ScanPolygon(const Point* points, int32_t count, const Rect& box, F&& span);

// ---- implementation ----------------------------------------------------------------------

inline Rect Intersect(const Rect& a, const Rect& b) {
  Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
         std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}
inline bool IsEmpty(const Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

template <typename F>
void LineWalk::Visit(const Rect& box, F&& f) const {
  if (major_ == 0 || IsEmpty(box)) return;
  // The window of j that keeps the major coordinate inside the box.
  int64_t lo = 0, hi = major_ - 1;
  const int64_t m0 = xMajor_ ? x0_ : y0_;
  const int64_t sm = xMajor_ ? sx_ : sy_;
  const int64_t bLo = xMajor_ ? box.left : box.top;
  const int64_t bHi = (xMajor_ ? box.right : box.bottom) - 1;
  if (sm > 0) {
    lo = std::max(lo, bLo - m0);
    hi = std::min(hi, bHi - m0);
  } else {
    lo = std::max(lo, m0 - bHi);
    hi = std::min(hi, m0 - bLo);
  }
  if (lo > hi) return;
  const int64_t n0 = xMajor_ ? y0_ : x0_;
  const int64_t sn = xMajor_ ? sy_ : sx_;
  const int64_t nLo = xMajor_ ? box.top : box.left;
  const int64_t nHi = (xMajor_ ? box.bottom : box.right) - 1;
  int64_t k = MinorSteps(lo);
  // Error term before the decision at pixel j: 2*minor*(j+1) - major - 2*major*k.
  int64_t err = int64_t((__int128)2 * minor_ * (lo + 1) - major_ - (__int128)2 * major_ * k);
  for (int64_t j = lo; j <= hi; ++j) {
    const int64_t m = m0 + sm * j;
    const int64_t n = n0 + sn * k;
    if (n >= nLo && n <= nHi) {
      if (xMajor_)
        f(int32_t(m), int32_t(n), j);
      else
        f(int32_t(n), int32_t(m), j);
    } else if ((sn > 0 && n > nHi) || (sn < 0 && n < nLo)) {
      break;  // left the box for good
    }
    if (err + bias_ > 0) {
      ++k;
      err += 2 * minor_ - 2 * major_;
    } else {
      err += 2 * minor_;
    }
  }
}

template <typename F>
void ScanPolygon(const Point* points, int32_t count, const Rect& box, F&& span) {
  if (count < 3 || IsEmpty(box)) return;
  struct Edge {
    int64_t xTop, yTop, dx, dy;  // dy > 0
  };
  std::vector<Edge> edges;
  edges.reserve(size_t(count));
  int64_t minY = INT64_MAX, maxY = INT64_MIN;
  for (int32_t i = 0; i < count; ++i) {
    Point a = points[i], b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    edges.push_back({a.x, a.y, int64_t(b.x) - a.x, int64_t(b.y) - a.y});
    minY = std::min<int64_t>(minY, a.y);
    maxY = std::max<int64_t>(maxY, b.y);
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
  const int64_t yStart = std::max<int64_t>(minY, box.top);
  const int64_t yEnd = std::min<int64_t>(maxY, box.bottom);  // rows y < yEnd
  size_t next = 0;
  std::vector<size_t> active;
  std::vector<int64_t> xs;
  for (int64_t y = yStart; y < yEnd; ++y) {
    while (next < edges.size() && edges[next].yTop <= y) active.push_back(next++);
    xs.clear();
    size_t keep = 0;
    for (size_t idx : active) {
      const Edge& e = edges[idx];
      if (y >= e.yTop + e.dy) continue;  // ended above this row
      active[keep++] = idx;
      // Left-most integer x at or right of the edge: ceil(xTop + (y - yTop) * dx / dy).
      const __int128 num = (__int128)(y - e.yTop) * e.dx;
      __int128 q = num / e.dy;
      if (num % e.dy != 0 && num > 0) ++q;
      xs.push_back(e.xTop + int64_t(q));
    }
    active.resize(keep);
    std::sort(xs.begin(), xs.end());
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      const int64_t x0 = std::max<int64_t>(xs[i], box.left);
      const int64_t x1 = std::min<int64_t>(xs[i + 1], box.right);
      if (x0 < x1) span(int32_t(y), int32_t(x0), int32_t(x1));
    }
  }
}

}  // namespace zq::platform::raster
