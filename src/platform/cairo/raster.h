// Pixel geometry of the Windows drawing rules, independent of any pixel buffer: which pixels a
// cosmetic line covers, the outline points of ellipses and rounded rectangles, and polygon
// spans. The surface turns these into pixels.
#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>
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

// How far each row of an ellipse of the given size (GDI's elliptic region) stays in from
// the ellipse's bounding box on both sides; kNoRow for rows without pixels.
constexpr int32_t kNoRow = INT32_MAX;
std::vector<int32_t> RoundInsets(int32_t ellipseWidth, int32_t ellipseHeight);

// Calls span(y, x0, x1) for the rows of GDI's rounded-rectangle region of box (right and
// bottom excluded) with corners ellipseWidth x ellipseHeight; with corners as big as the box
// it is the ellipse's region.
template <typename F>
void RoundRectRegion(const Rect& box, int32_t ellipseWidth, int32_t ellipseHeight, const Rect& clip,
                     F&& span) {
  const int64_t w = int64_t(box.right) - box.left, h = int64_t(box.bottom) - box.top;
  if (w <= 0 || h <= 0) return;
  auto row = [&](int64_t y, int64_t x0, int64_t x1) {
    if (y < clip.top || y >= clip.bottom) return;
    x0 = std::max<int64_t>(x0, clip.left);
    x1 = std::min<int64_t>(x1, clip.right);
    if (x0 < x1) span(int32_t(y), int32_t(x0), int32_t(x1));
  };
  const int64_t ew = std::min<int64_t>(w, std::abs(int64_t(ellipseWidth)));
  const int64_t eh = std::min<int64_t>(h, std::abs(int64_t(ellipseHeight)));
  if (ew < 2 || eh < 2 || ew > (1 << 16) || eh > (1 << 16)) {
    for (int64_t y = std::max<int64_t>(box.top, clip.top);
         y < std::min<int64_t>(box.bottom, clip.bottom); ++y)
      row(y, box.left, box.right);
    return;
  }
  const std::vector<int32_t> insets = RoundInsets(int32_t(ew), int32_t(eh));
  for (int64_t i = 0; i < eh / 2; ++i)
    if (insets[size_t(i)] != kNoRow)
      row(box.top + i, box.left + insets[size_t(i)], box.right - insets[size_t(i)]);
  for (int64_t y = std::max<int64_t>(box.top + eh / 2, clip.top);
       y <= std::min<int64_t>(box.bottom - eh + eh / 2, int64_t(clip.bottom) - 1); ++y)
    row(y, box.left, box.right);
  for (int64_t i = eh / 2 + 1; i < eh; ++i)
    if (insets[size_t(i)] != kNoRow)
      row(box.bottom - eh + i, box.left + insets[size_t(i)], box.right - insets[size_t(i)]);
}

// The round dot of a pen width pixels wide (GDI's elliptic region for it): row i, at offset
// i - width / 2 from the centre pixel, covers columns first .. second-1 relative to it.
std::vector<std::pair<int32_t, int32_t>> PenDot(int32_t width);

// The pixels GDI covers with a wide pen (round ends and joins) along a polyline: calls
// span(y, x0, x1) for runs inside box; runs may overlap.
template <typename F>
void WidePen(const Point* points, int32_t count, bool closed, int32_t width, const Rect& box,
             F&& span);

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

namespace detail {

// a / b for b > 0, truncated: no division at all where |a| < b (a line's first step, an
// upright edge's step per row), in 32 bits where both fit (the same quotient, in a fraction
// of the time a 64-bit division takes).
inline int64_t Quotient(int64_t a, int64_t b) {
  if (a < b && a > -b) return 0;
  if (a == int64_t(int32_t(a)) && b == int64_t(int32_t(b))) return int32_t(a) / int32_t(b);
  return a / b;
}

struct PolygonEdge {
  int64_t xTop, yTop, dx, dy;  // dy > 0
  // Stepping row by row where the products fit in 64 bits: x = xTop + q at the current row,
  // with q * dy - r = (row - yTop) * dx and 0 <= r < dy; a row on adds qStep, rStep.
  bool stepped;
  int64_t q, r, qStep, rStep;
};

// ScanPolygon with room for count edges, their order, count active edges and count crossings.
template <typename F>
void ScanEdges(const Point* points, int32_t count, const Rect& box, PolygonEdge* edges,
               size_t* order, size_t* active, int64_t* xs, F&& span) {
  using Edge = PolygonEdge;
  size_t edgeCount = 0;
  int64_t minY = INT64_MAX, maxY = INT64_MIN;
  for (int32_t i = 0; i < count; ++i) {
    Point a = points[i], b = points[i + 1 < count ? i + 1 : 0];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    edges[edgeCount++] = {a.x, a.y, int64_t(b.x) - a.x, int64_t(b.y) - a.y, false, 0, 0, 0, 0};
    minY = std::min<int64_t>(minY, a.y);
    maxY = std::max<int64_t>(maxY, b.y);
  }
  if (edgeCount == 0) return;
  // Few edges as a rule (the faces of ribbons and boxes): an insertion sort of their numbers
  // (stable, as of the edges themselves).
  for (size_t i = 0; i < edgeCount; ++i) {
    size_t j = i;
    for (; j > 0 && edges[i].yTop < edges[order[j - 1]].yTop; --j) order[j] = order[j - 1];
    order[j] = i;
  }
  const int64_t yStart = std::max<int64_t>(minY, box.top);
  const int64_t yEnd = std::min<int64_t>(maxY, box.bottom);  // rows y < yEnd
  size_t next = 0, activeCount = 0;
  constexpr int64_t kDownLimit = int64_t(1) << 31, kDxLimit = int64_t(1) << 32;
  // Left-most integer x at or right of the edge: ceil(xTop + down * dx / dy), in 64 bits
  // where the product fits (every real surface), else in 128.
  auto fits = [](int64_t dx) { return dx < kDxLimit && dx > -kDxLimit; };
  auto ceilingAt = [&](const Edge& e, int64_t down) {
    if (down < kDownLimit && fits(e.dx)) {
      const int64_t num = down * e.dx;
      int64_t q = Quotient(num, e.dy);
      if (q * e.dy != num && num > 0) ++q;
      return q;
    }
    const __int128 num = (__int128)down * e.dx;
    __int128 q = num / e.dy;
    if (num % e.dy != 0 && num > 0) ++q;
    return int64_t(q);
  };
  auto emit = [&](int64_t y, int64_t a, int64_t b) {
    const int64_t x0 = std::max<int64_t>(std::min(a, b), box.left);
    const int64_t x1 = std::min<int64_t>(std::max(a, b), box.right);
    if (x0 < x1) span(int32_t(y), int32_t(x0), int32_t(x1));
  };
  // A row on for a stepped edge.
  auto step = [](const Edge& e, int64_t& q, int64_t& r) {
    const bool carry = e.rStep > r;
    q += e.qStep + carry;
    r += carry ? e.dy - e.rStep : -e.rStep;
  };
  for (int64_t y = yStart; y < yEnd;) {
    while (next < edgeCount && edges[order[next]].yTop <= y) {
      Edge& e = edges[order[next]];
      const int64_t down = y - e.yTop;
      e.stepped = e.dy < kDownLimit && fits(e.dx);
      if (e.stepped) {
        e.q = ceilingAt(e, down);
        e.r = e.q * e.dy - down * e.dx;
        e.qStep = Quotient(e.dx, e.dy);
        e.rStep = e.dx - e.qStep * e.dy;
        if (e.rStep < 0) {
          --e.qStep;
          e.rStep += e.dy;
        }
      }
      active[activeCount++] = order[next++];
    }
    size_t keep = 0;
    for (size_t i = 0; i < activeCount; ++i)
      if (y < edges[active[i]].yTop + edges[active[i]].dy) active[keep++] = active[i];
    activeCount = keep;
    // The rows up to the next edge that starts or ends cross the same edges.
    int64_t until = yEnd;
    if (next < edgeCount) until = std::min(until, edges[order[next]].yTop);
    for (size_t i = 0; i < activeCount; ++i)
      until = std::min(until, edges[active[i]].yTop + edges[active[i]].dy);
    if (activeCount == 2 && edges[active[0]].stepped && edges[active[1]].stepped) {
      // One span a row, as a rule: the two edges stepped in registers.
      Edge& e0 = edges[active[0]];
      Edge& e1 = edges[active[1]];
      int64_t x0 = e0.xTop + e0.q, r0 = e0.r, x1 = e1.xTop + e1.q, r1 = e1.r;
      const int64_t qStep0 = e0.qStep, rStep0 = e0.rStep, back0 = e0.dy - rStep0;
      const int64_t qStep1 = e1.qStep, rStep1 = e1.rStep, back1 = e1.dy - rStep1;
      for (; y < until; ++y) {
        emit(y, x0, x1);
        const bool carry0 = rStep0 > r0, carry1 = rStep1 > r1;
        x0 += qStep0 + carry0;
        r0 += carry0 ? back0 : -rStep0;
        x1 += qStep1 + carry1;
        r1 += carry1 ? back1 : -rStep1;
      }
      e0.q = x0 - e0.xTop;
      e0.r = r0;
      e1.q = x1 - e1.xTop;
      e1.r = r1;
      continue;
    }
    for (; y < until; ++y) {
      size_t crossings = 0;
      for (size_t i = 0; i < activeCount; ++i) {
        Edge& e = edges[active[i]];
        if (!e.stepped) {
          xs[crossings++] = e.xTop + ceilingAt(e, y - e.yTop);
          continue;
        }
        xs[crossings++] = e.xTop + e.q;
        step(e, e.q, e.r);
      }
      std::sort(xs, xs + crossings);
      for (size_t i = 0; i + 1 < crossings; i += 2) emit(y, xs[i], xs[i + 1]);
    }
  }
}

// GDI numbers the octants counter-clockwise in device space (y down) starting below +x.
inline int Octant(int64_t dx, int64_t dy) {
  if (dy > 0) {
    if (dx > 0) return dx > dy ? 1 : 2;
    return -dx > dy ? 4 : 3;
  }
  if (dx < 0) return -dx > -dy ? 5 : 6;
  return dx > -dy ? 8 : 7;
}

constexpr int Bit(int octant) {
  return 1 << (octant - 1);
}

}  // namespace detail

// Here rather than in raster.cpp: kept shapes set up lines by the million.
inline LineWalk::LineWalk(Point a, Point b) : x0_(a.x), y0_(a.y) {
  using detail::Bit;
  const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
  const int oct = Bit(detail::Octant(dx, dy));
  xMajor_ = oct & (Bit(1) | Bit(4) | Bit(5) | Bit(8));
  sx_ = (oct & (Bit(1) | Bit(2) | Bit(7) | Bit(8))) ? 1 : -1;
  sy_ = (oct & (Bit(1) | Bit(2) | Bit(3) | Bit(4))) ? 1 : -1;
  bias_ = (oct & (Bit(3) | Bit(5) | Bit(6) | Bit(8))) ? 1 : 0;
  major_ = xMajor_ ? std::llabs(dx) : std::llabs(dy);
  minor_ = xMajor_ ? std::llabs(dy) : std::llabs(dx);
}

inline int64_t LineWalk::MinorSteps(int64_t j) const {
  // Closed form of the Bresenham recurrence: the minor coordinate steps at pixel i+1 when
  // 2*minor*(i+1) - major - 2*major*k + bias > 0.
  constexpr int64_t kSmall = int64_t(1) << 30;
  if (j >= 0 && j < kSmall && minor_ < kSmall && major_ < kSmall)
    return detail::Quotient(2 * minor_ * j + major_ + bias_ - 1, 2 * major_);  // fits in 64 bits
  return int64_t(((__int128)2 * minor_ * j + major_ + bias_ - 1) / ((__int128)2 * major_));
}

template <typename F>
void ScanPolygon(const Point* points, int32_t count, const Rect& box, F&& span) {
  if (count < 3 || IsEmpty(box)) return;
  // Small polygons (the faces of ribbons and boxes come by the million) on the stack; larger
  // ones in lists kept between calls (one thread draws).
  constexpr int32_t kSmall = 8;
  if (count <= kSmall) {
    detail::PolygonEdge edges[kSmall];
    size_t order[kSmall], active[kSmall];
    int64_t xs[kSmall];
    detail::ScanEdges(points, count, box, edges, order, active, xs, span);
    return;
  }
  static thread_local std::vector<detail::PolygonEdge> edges;
  static thread_local std::vector<size_t> order, active;
  static thread_local std::vector<int64_t> xs;
  edges.resize(size_t(count));
  order.resize(size_t(count));
  active.resize(size_t(count));
  xs.resize(size_t(count));
  detail::ScanEdges(points, count, box, edges.data(), order.data(), active.data(), xs.data(), span);
}

template <typename F>
void WidePen(const Point* points, int32_t count, bool closed, int32_t width, const Rect& box,
             F&& span) {
  if (count < 1 || IsEmpty(box)) return;
  auto rect = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
    l = std::max<int64_t>(l, box.left);
    r = std::min<int64_t>(r, box.right);
    t = std::max<int64_t>(t, box.top);
    b = std::min<int64_t>(b, box.bottom);
    if (l < r)
      for (int64_t y = t; y < b; ++y) span(int32_t(y), int32_t(l), int32_t(r));
  };
  const int32_t half = width / 2;
  // Each segment is a band: a rectangle when it is level or upright, otherwise a polygon whose
  // sides are offset by half the width, the odd pixel going to one side.
  const int32_t segments = closed ? count : count - 1;
  for (int32_t i = 0; i < segments; ++i) {
    const Point a = points[i], b = points[i + 1 < count ? i + 1 : 0];
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dx == 0 && dy == 0) continue;
    if (dy == 0) {
      rect(std::min(a.x, b.x), int64_t(a.y) - half, std::max(a.x, b.x),
           int64_t(a.y) - half + width);
    } else if (dx == 0) {
      rect(int64_t(a.x) - half, std::min(a.y, b.y), int64_t(a.x) - half + width,
           std::max(a.y, b.y));
    } else {
      const double len = std::hypot(double(dx), double(dy));
      const double wx = width * std::abs(double(dy)) / len, wy = width * std::abs(double(dx)) / len;
      auto round = [](double v) { return int64_t(std::floor(v + 0.5)); };
      int64_t nx = round(wx / 2), ny = round(wy / 2), wdx = round((wx + 1) / 2),
              wdy = round((wy + 1) / 2);
      if (dx < 0) {
        wdy = -wdy;
        ny = -ny;
      }
      if (dy < 0) {
        std::swap(nx, wdx);
        std::swap(ny, wdy);
        nx = -nx;
        wdx = -wdx;
      }
      auto clampPoint = [](int64_t x, int64_t y) {
        return Point{int32_t(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                     int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX))};
      };
      const Point band[4] = {clampPoint(a.x - nx, a.y + ny), clampPoint(a.x + wdx, a.y - wdy),
                             clampPoint(b.x + wdx, b.y - wdy), clampPoint(b.x - nx, b.y + ny)};
      ScanPolygon(band, 4, box, span);
    }
  }
  // Round ends and joins: the pen's dot at every point.
  const std::vector<std::pair<int32_t, int32_t>> dot = PenDot(width);
  for (int32_t i = 0; i < count; ++i) {
    const Point p = points[i];
    if (int64_t(p.x) + width < box.left || int64_t(p.x) - width > box.right ||
        int64_t(p.y) + width < box.top || int64_t(p.y) - width > box.bottom)
      continue;
    for (size_t r = 0; r < dot.size(); ++r) {
      const int64_t y = int64_t(p.y) - half + int64_t(r);
      rect(int64_t(p.x) + dot[r].first, y, int64_t(p.x) + dot[r].second, y + 1);
    }
  }
}

}  // namespace zq::platform::raster
