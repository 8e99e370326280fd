#include "platform/cairo/raster.h"

#include <cmath>
#include <cstdlib>

namespace zq::platform::raster {

namespace {

// Larger boxes are outlined by a polygon instead of pixel stepping, so that an absurd box
// cannot cost billions of points.
constexpr int64_t kMaxSteppedEllipse = 1 << 16;

// The lower-right quarter of the ellipse inscribed in a width x height box, relative to the
// box, from the right end of the middle row down to the bottom (Zingl's ellipse stepping).
std::vector<Point> QuarterEllipse(int32_t width, int32_t height) {
  std::vector<Point> out;
  const int64_t a = width - 1, b = height - 1, b1 = b & 1;
  int64_t dx = 4 * (1 - a) * b * b, dy = 4 * (b1 + 1) * a * a;
  int64_t err = dx + dy + b1 * a * a;
  const int64_t a8 = 8 * a * a, b8 = 8 * b * b;
  Point pt{int32_t(a), height / 2};
  while (pt.x >= width / 2 && pt.y <= height - 1) {
    out.push_back(pt);
    const int64_t e2 = 2 * err;
    if (e2 >= dx) {
      --pt.x;
      err += dx += b8;
    }
    if (e2 <= dy) {
      ++pt.y;
      err += dy += a8;
    }
  }
  return out;
}

std::vector<Point> RectangleOutline(const Rect& box) {
  return {{box.right - 1, box.top},
          {box.left, box.top},
          {box.left, box.bottom - 1},
          {box.right - 1, box.bottom - 1}};
}

std::vector<Point> PolygonEllipse(const Rect& box) {
  const double cx = box.left + (box.Width() - 1) / 2.0, cy = box.top + (box.Height() - 1) / 2.0;
  const double rx = (box.Width() - 1) / 2.0, ry = (box.Height() - 1) / 2.0;
  constexpr int kSteps = 4096;
  std::vector<Point> out;
  out.reserve(kSteps);
  for (int i = 0; i < kSteps; ++i) {
    const double t = 2 * M_PI * i / kSteps;
    Point p{int32_t(std::lround(cx + rx * std::cos(t))),
            int32_t(std::lround(cy - ry * std::sin(t)))};
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  }
  return out;
}

}  // namespace

std::vector<int32_t> RoundInsets(int32_t ellipseWidth, int32_t ellipseHeight) {
  // GDI's elliptic regions: Zingl's stepping of the lower half, mirrored up. Unlike the
  // outline stepping, every row gets a run, out to the tips.
  const int32_t ew = std::max(ellipseWidth, 1), eh = std::max(ellipseHeight, 1);
  if (ew < 2 || eh < 2) return std::vector<int32_t>(size_t(eh), 0);
  // Rows the stepping never reaches (the tips of thin ellipses) stay empty.
  std::vector<int32_t> insets(size_t(eh), kNoRow);
  insets[size_t(eh / 2)] = 0;
  const int64_t a = ew - 1, b = eh - 1;
  const int64_t asq = 8 * a * a, bsq = 8 * b * b;
  int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
  int64_t err = dx + dy + a * a * (b % 2);
  int32_t x = 0, y = eh / 2;
  while (x <= ew / 2) {
    const int64_t e2 = 2 * err;
    if (e2 >= dx) {
      ++x;
      err += dx += bsq;
    }
    if (e2 <= dy) {
      ++y;
      if (y < eh) insets[size_t(y)] = x;
      err += dy += asq;
    }
  }
  for (int32_t i = 0; i < eh / 2; ++i) insets[size_t(i)] = insets[size_t(b - i)];
  return insets;
}

std::vector<std::pair<int32_t, int32_t>> PenDot(int32_t width) {
  const int32_t w = std::max(width, 1);
  const int32_t left = -(w / 2), right = (w + 1) / 2;
  std::vector<std::pair<int32_t, int32_t>> rows;
  for (int32_t inset : RoundInsets(w, w))
    rows.push_back(inset == kNoRow ? std::pair<int32_t, int32_t>{0, 0}
                                   : std::pair<int32_t, int32_t>{left + inset, right - inset});
  return rows;
}

Point LineWalk::PixelAt(int64_t j) const {
  const int64_t k = major_ == 0 ? 0 : MinorSteps(j);
  if (xMajor_) return {int32_t(x0_ + sx_ * j), int32_t(y0_ + sy_ * k)};
  return {int32_t(x0_ + sx_ * k), int32_t(y0_ + sy_ * j)};
}

std::vector<Point> RoundRectOutline(const Rect& box, int32_t ellipseWidth, int32_t ellipseHeight) {
  const int32_t w = box.Width(), h = box.Height();
  if (w <= 0 || h <= 0) return {};
  const int64_t ew = std::min<int64_t>(w, std::llabs(ellipseWidth));
  const int64_t eh = std::min<int64_t>(h, std::llabs(ellipseHeight));
  if (ew <= 2 || eh <= 2) return RectangleOutline(box);
  if (ew > kMaxSteppedEllipse || eh > kMaxSteppedEllipse) {
    if (ew == w && eh == h) return PolygonEllipse(box);
    return RectangleOutline(box);
  }
  // Upper-right corner first, then mirrored left and down: counter-clockwise.
  std::vector<Point> q = QuarterEllipse(int32_t(ew), int32_t(eh));
  for (Point& p : q) {
    p.x = int32_t(box.right - ew + p.x);
    p.y = int32_t(box.top + eh - 1 - p.y);
  }
  auto mirror = [](std::vector<Point>& pts, bool shareMiddle, auto flip) {
    const size_t count = pts.size();
    const size_t total = 2 * count - (shareMiddle ? 1 : 0);
    pts.resize(total);
    for (size_t i = 0; i < count; ++i) pts[total - 1 - i] = flip(pts[i]);
  };
  mirror(q, (ew % 2) && ew == w, [&](Point p) {
    return Point{box.left + box.right - 1 - p.x, p.y};
  });
  mirror(q, (eh % 2) && eh == h, [&](Point p) {
    return Point{p.x, box.top + box.bottom - 1 - p.y};
  });
  // Drop repeated points (the stepping can meet itself on tiny ellipses).
  std::vector<Point> out;
  out.reserve(q.size());
  for (const Point& p : q)
    if (out.empty() || !(out.back() == p)) out.push_back(p);
  while (out.size() > 1 && out.back() == out.front()) out.pop_back();
  return out;
}

std::vector<Point> ArcOutline(const Rect& box, Point start, Point end) {
  std::vector<Point> loop = RoundRectOutline(box, box.Width(), box.Height());
  if (loop.empty()) return loop;
  // GDI measures directions from the pixel at half the width and height, and an outline point
  // left of (above) it in an even-sized box as if it were one pixel further right (down): the
  // left half is the mirror image of the right one.
  const int64_t cx = box.left + box.Width() / 2, cy = box.top + box.Height() / 2;
  const bool evenW = box.Width() % 2 == 0, evenH = box.Height() % 2 == 0;
  auto relative = [&](Point p, bool mirrored) {
    int64_t x = p.x - cx, y = p.y - cy;
    if (mirrored && evenW && x < 0) ++x;
    if (mirrored && evenH && y < 0) ++y;
    return std::pair<int64_t, int64_t>{x, -y};  // y up
  };
  auto angle = [](std::pair<int64_t, int64_t> v) {
    const double a = std::atan2(double(v.second), double(v.first));
    return a < 0 ? a + 2 * M_PI : a;
  };
  // The arc starts at the first outline point at or after the start direction and ends at the
  // last one before the end direction. Points exactly on a direction below the horizontal are
  // skipped by a start and kept by an end, as by one straight right (compared with GDI under
  // Wine).
  auto find = [&](Point p, bool isStart) {
    const auto ray = relative(p, false);
    const double target = angle(ray);
    const bool below = ray.second < 0, right = ray.second == 0 && ray.first > 0;
    const bool inclusive = isStart ? !below : (below || right);
    auto isExact = [&](size_t i) {
      const auto v = relative(loop[i], true);
      return v.first * ray.second == v.second * ray.first &&
             v.first * ray.first + v.second * ray.second > 0;
    };
    size_t best = 0;
    double bestDist = 10;
    for (size_t i = 0; i < loop.size(); ++i) {
      const auto v = relative(loop[i], true);
      const bool exact = isExact(i);
      double d = isStart ? angle(v) - target : target - angle(v);
      if (exact)
        d = inclusive ? 0 : 2 * M_PI;
      else if (d <= 0)
        d += 2 * M_PI;
      if (d < bestDist) {
        bestDist = d;
        best = i;
      }
    }
    // Mirroring can put two points on the direction: take the first one counter-clockwise.
    const size_t n = loop.size();
    if (bestDist == 0 && !isStart)
      for (size_t k = 1; k < n && isExact((best + n - 1) % n); ++k) best = (best + n - 1) % n;
    return best;
  };
  const size_t s = find(start, true), e = find(end, false);
  const size_t n = loop.size();
  size_t steps = (e + n - s) % n;
  double sweep = angle(relative(end, false)) - angle(relative(start, false));
  if (sweep < 0) sweep += 2 * M_PI;
  if (std::abs(sweep) < 1e-12) {
    if (steps == 0) steps = n;  // equal directions: the whole ellipse
  } else if (steps > n / 2 && sweep < M_PI) {
    steps = 0;  // a sliver between two outline points
  }
  std::vector<Point> out;
  out.reserve(steps + 1);
  for (size_t i = 0; i <= steps; ++i) out.push_back(loop[(s + i) % n]);
  return out;
}

}  // namespace zq::platform::raster
