#include "platform/cairo/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using namespace zq::platform;
using raster::LineWalk;

std::vector<Point> Walk(Point a, Point b) {
  LineWalk w(a, b);
  std::vector<Point> out;
  for (int64_t j = 0; j < w.Length(); ++j) out.push_back(w.PixelAt(j));
  return out;
}

std::set<std::pair<int, int>> AsSet(const std::vector<Point>& pts) {
  std::set<std::pair<int, int>> out;
  for (const Point& p : pts) out.insert({p.x, p.y});
  return out;
}

TEST(LineWalk, CoversStartButNotEndAndStepsOnePixelAtATime) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> d(-60, 60);
  for (int i = 0; i < 2000; ++i) {
    const Point a{d(rng), d(rng)}, b{d(rng), d(rng)};
    const std::vector<Point> pts = Walk(a, b);
    ASSERT_EQ(int64_t(pts.size()), std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    if (pts.empty()) continue;
    EXPECT_EQ(pts.front(), a);
    for (size_t k = 1; k < pts.size(); ++k) {
      ASSERT_LE(std::abs(pts[k].x - pts[k - 1].x), 1);
      ASSERT_LE(std::abs(pts[k].y - pts[k - 1].y), 1);
    }
    // The step after the last pixel reaches B.
    EXPECT_LE(std::abs(b.x - pts.back().x), 1);
    EXPECT_LE(std::abs(b.y - pts.back().y), 1);
  }
}

TEST(LineWalk, StaysWithinHalfAPixelOfTheIdealLine) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> d(-200, 200);
  for (int i = 0; i < 1000; ++i) {
    const Point a{d(rng), d(rng)}, b{d(rng), d(rng)};
    const double dx = b.x - a.x, dy = b.y - a.y;
    for (const Point& p : Walk(a, b)) {
      if (std::abs(dx) >= std::abs(dy)) {
        const double ideal = a.y + (p.x - a.x) * dy / dx;
        ASSERT_LE(std::abs(p.y - ideal), 0.5) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
      } else {
        const double ideal = a.x + (p.y - a.y) * dx / dy;
        ASSERT_LE(std::abs(p.x - ideal), 0.5) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
      }
    }
  }
}

TEST(LineWalk, BothDirectionsLightTheSamePixels) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> d(-100, 100);
  for (int i = 0; i < 2000; ++i) {
    const Point a{d(rng), d(rng)}, b{d(rng), d(rng)};
    if (a == b) continue;
    std::set<std::pair<int, int>> forward = AsSet(Walk(a, b)), backward = AsSet(Walk(b, a));
    forward.insert({b.x, b.y});
    backward.insert({a.x, a.y});
    ASSERT_EQ(forward, backward) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
  }
}

TEST(LineWalk, VisitMatchesTheWholeWalkInsideTheBox) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> d(-3000, 3000);
  const Rect box{-50, -40, 70, 90};
  for (int i = 0; i < 500; ++i) {
    const Point a{d(rng), d(rng)}, b{d(rng), d(rng)};
    std::vector<std::pair<Point, int64_t>> expected;
    const std::vector<Point> pts = Walk(a, b);
    for (size_t j = 0; j < pts.size(); ++j)
      if (pts[j].x >= box.left && pts[j].x < box.right && pts[j].y >= box.top &&
          pts[j].y < box.bottom)
        expected.push_back({pts[j], int64_t(j)});
    std::vector<std::pair<Point, int64_t>> visited;
    LineWalk(a, b).Visit(box, [&](int32_t x, int32_t y, int64_t j) {
      visited.push_back({{x, y}, j});
    });
    ASSERT_EQ(visited, expected) << a.x << "," << a.y << " -> " << b.x << "," << b.y;
  }
}

TEST(LineWalk, HugeCoordinatesOnlyCostTheirVisiblePart) {
  const Point a{-2147483647, -1073741824}, b{2147483647, 1073741823};
  LineWalk w(a, b);
  EXPECT_EQ(w.Length(), int64_t(4294967294));
  int64_t visited = 0;
  w.Visit({0, -10, 100, 10}, [&](int32_t x, int32_t y, int64_t j) {
    const Point p = w.PixelAt(j);
    ASSERT_EQ(p, (Point{x, y}));
    ++visited;
  });
  EXPECT_GE(visited, 19);
  EXPECT_LE(visited, 21);
}

TEST(ScanPolygon, SquareTakesLeftAndTopEdges) {
  const Point square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  std::vector<std::tuple<int, int, int>> spans;
  raster::ScanPolygon(square, 4, {0, 0, 100, 100}, [&](int32_t y, int32_t x0, int32_t x1) {
    spans.push_back({y, x0, x1});
  });
  ASSERT_EQ(spans.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(spans[size_t(i)], std::make_tuple(10 + i, 10, 20));
}

TEST(ScanPolygon, AlternateRuleAndBoxClipping) {
  // Two nested squares traced as one polygon: the inner one is a hole.
  const Point ring[] = {{0, 0},   {30, 0},  {30, 30}, {0, 30},  {0, 0},
                        {10, 10}, {10, 20}, {20, 20}, {20, 10}, {10, 10}};
  std::vector<std::tuple<int, int, int>> spans;
  raster::ScanPolygon(ring, 10, {5, 15, 25, 16}, [&](int32_t y, int32_t x0, int32_t x1) {
    spans.push_back({y, x0, x1});
  });
  const std::vector<std::tuple<int, int, int>> expected = {{15, 5, 10}, {15, 20, 25}};
  EXPECT_EQ(spans, expected);
}

TEST(ScanPolygon, DiagonalEdgesSampleAtIntegerPoints) {
  const Point tri[] = {{0, 0}, {10, 0}, {0, 10}};
  std::vector<int> widths;
  raster::ScanPolygon(tri, 3, {0, 0, 100, 100}, [&](int32_t y, int32_t x0, int32_t x1) {
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(int(widths.size()), y);
    widths.push_back(x1 - x0);
  });
  EXPECT_EQ(widths, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(ScanPolygon, HugeCoordinatesDoNotOverflow) {
  const Point tri[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
  int rows = 0;
  raster::ScanPolygon(tri, 3, {0, 0, 50, 50}, [&](int32_t, int32_t x0, int32_t x1) {
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 50);
    ++rows;
  });
  EXPECT_EQ(rows, 50);
}

// Spans against the rule pixel by pixel: (x, y) is filled when an odd number of edges
// (top row in, bottom row out) cross row y at or left of x, compared exactly in 128 bits.
TEST(ScanPolygon, SpansFollowTheEvenOddRuleOnRandomPolygons) {
  std::mt19937 random(12345);
  for (int round = 0; round < 400; ++round) {
    const int32_t n = 3 + int32_t(random() % 6);
    // Small coordinates, or reaching far beyond the box (rows stepped in 128 bits).
    const int64_t reach = round % 4 == 3 ? 2000000000 : 60;
    std::vector<Point> poly;
    for (int32_t i = 0; i < n; ++i)
      poly.push_back({int32_t(int64_t(random() % uint32_t(2 * reach + 1)) - reach),
                      int32_t(int64_t(random() % uint32_t(2 * reach + 1)) - reach)});
    const Rect box{-20, int32_t(random() % 30) - 20, 20, 25};
    std::set<std::pair<int, int>> spans, rule;
    raster::ScanPolygon(poly.data(), n, box, [&](int32_t y, int32_t x0, int32_t x1) {
      for (int32_t x = x0; x < x1; ++x) spans.insert({x, y});
    });
    for (int32_t y = box.top; y < box.bottom; ++y) {
      for (int32_t x = box.left; x < box.right; ++x) {
        int crossings = 0;
        for (int32_t i = 0; i < n; ++i) {
          Point a = poly[size_t(i)], b = poly[size_t((i + 1) % n)];
          if (a.y == b.y) continue;
          if (a.y > b.y) std::swap(a, b);
          if (y < a.y || y >= b.y) continue;
          const __int128 left = (__int128)(int64_t(x) - a.x) * (int64_t(b.y) - a.y);
          const __int128 right = (__int128)(int64_t(y) - a.y) * (int64_t(b.x) - a.x);
          crossings += left >= right;
        }
        if (crossings % 2) rule.insert({x, y});
      }
    }
    ASSERT_EQ(spans, rule) << "round " << round;
  }
}

// Kept shapes skip their interior in rows where the outline lay wholly in pixels already
// taken: that needs every interior pixel of a row between the row's first and last outline
// pixel, whatever the polygon (crossed, folded, with repeated points).
TEST(ScanPolygon, InteriorRowsLieBetweenTheOutlinesEnds) {
  std::mt19937 random(99);
  const Rect all{-1000, -1000, 1000, 1000};
  for (int round = 0; round < 2000; ++round) {
    const int32_t n = 3 + int32_t(random() % 4);
    const int32_t reach = round % 3 == 0 ? 4 : (round % 3 == 1 ? 40 : 800);
    std::vector<Point> poly;
    for (int32_t i = 0; i < n; ++i)
      poly.push_back({int32_t(random() % uint32_t(reach)), int32_t(random() % uint32_t(reach))});
    if (round % 5 == 0) poly[random() % size_t(n)] = poly[random() % size_t(n)];
    std::map<int32_t, std::pair<int32_t, int32_t>> ends;
    for (int32_t i = 0; i < n; ++i) {
      LineWalk(poly[size_t(i)], poly[size_t((i + 1) % n)])
          .Visit(all, [&](int32_t x, int32_t y, int64_t) {
            auto [at, added] = ends.try_emplace(y, x, x);
            at->second = {std::min(at->second.first, x), std::max(at->second.second, x)};
          });
    }
    raster::ScanPolygon(poly.data(), n, all, [&](int32_t y, int32_t x0, int32_t x1) {
      const auto at = ends.find(y);
      ASSERT_TRUE(at != ends.end()) << "round " << round << " row " << y;
      ASSERT_GE(x0, at->second.first) << "round " << round << " row " << y;
      ASSERT_LE(x1 - 1, at->second.second) << "round " << round << " row " << y;
    });
  }
}

TEST(ScanPolygon, DegeneratePolygonsFillNothing) {
  const Point line[] = {{0, 0}, {10, 10}};
  const Point flat[] = {{0, 5}, {10, 5}, {20, 5}};
  int spans = 0;
  auto count = [&](int32_t, int32_t, int32_t) { ++spans; };
  raster::ScanPolygon(line, 2, {0, 0, 100, 100}, count);
  raster::ScanPolygon(flat, 3, {0, 0, 100, 100}, count);
  EXPECT_EQ(spans, 0);
}

TEST(RoundRectOutline, EllipsesAreClosedCounterClockwiseLoopsInsideTheirBox) {
  for (int w = 3; w < 40; w += 3)
    for (int h = 3; h < 40; h += 4) {
      const Rect box{5, 7, 5 + w, 7 + h};
      const std::vector<Point> loop = raster::RoundRectOutline(box, w, h);
      ASSERT_GE(loop.size(), 4u) << w << "x" << h;
      Rect seen{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
      double area = 0;
      for (size_t i = 0; i < loop.size(); ++i) {
        const Point p = loop[i], q = loop[(i + 1) % loop.size()];
        seen = {std::min(seen.left, p.x), std::min(seen.top, p.y), std::max(seen.right, p.x + 1),
                std::max(seen.bottom, p.y + 1)};
        area += double(p.x) * -q.y - double(q.x) * -p.y;  // y up
        // Neighbouring points are close: the outline has no long chords.
        ASSERT_LE(std::abs(q.x - p.x), std::max(2, w / 8)) << w << "x" << h << " at " << i;
        ASSERT_LE(std::abs(q.y - p.y), std::max(2, h / 8)) << w << "x" << h << " at " << i;
      }
      // Always as wide as the box; thin tall ellipses stop short of its top and bottom, as
      // GDI's do.
      EXPECT_EQ(seen.left, box.left) << w << "x" << h;
      EXPECT_EQ(seen.right, box.right) << w << "x" << h;
      EXPECT_GE(seen.top, box.top) << w << "x" << h;
      EXPECT_LE(seen.bottom, box.bottom) << w << "x" << h;
      if (h <= 2 * w) {
        EXPECT_EQ(seen, box) << w << "x" << h;
      }
      EXPECT_GT(area, 0) << w << "x" << h;
    }
}

TEST(RoundRectOutline, SmallCornersGiveARectangle) {
  const std::vector<Point> loop = raster::RoundRectOutline({0, 0, 10, 5}, 2, 20);
  const std::vector<Point> expected = {{9, 0}, {0, 0}, {0, 4}, {9, 4}};
  EXPECT_EQ(loop, expected);
  EXPECT_TRUE(raster::RoundRectOutline({0, 0, 0, 5}, 4, 4).empty());
}

TEST(RoundRectOutline, AbsurdBoxesStayCheap) {
  const std::vector<Point> loop = raster::RoundRectOutline(
      {-1000000000, -1000000000, 1000000000, 1000000000}, 2000000000, 2000000000);
  EXPECT_GT(loop.size(), 100u);
  EXPECT_LT(loop.size(), 10000u);
}

TEST(RoundRegion, PenDotsAndEllipseRows) {
  using Rows = std::vector<std::pair<int32_t, int32_t>>;
  EXPECT_EQ(raster::PenDot(2), (Rows{{-1, 1}, {-1, 1}}));
  EXPECT_EQ(raster::PenDot(3), (Rows{{0, 1}, {-1, 2}, {0, 1}}));  // a plus sign
  // A thin ellipse's region leaves its tip rows empty.
  std::vector<std::tuple<int, int, int>> rows;
  raster::RoundRectRegion({0, 0, 4, 10}, 4, 10, {0, 0, 100, 100},
                          [&](int32_t y, int32_t x0, int32_t x1) {
                            rows.push_back({y, x0, x1});
                          });
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows.front(), std::make_tuple(1, 1, 3));
  EXPECT_EQ(rows.back(), std::make_tuple(8, 1, 3));
  // A rounded rectangle's straight middle is one band of full rows.
  int full = 0;
  raster::RoundRectRegion({0, 0, 20, 30}, 6, 6, {0, 0, 100, 100},
                          [&](int32_t, int32_t x0, int32_t x1) { full += x0 == 0 && x1 == 20; });
  EXPECT_GE(full, 24);
}

TEST(ArcOutline, RunsFromStartToEndCounterClockwise) {
  const Rect box{0, 0, 41, 41};
  const std::vector<Point> arc = raster::ArcOutline(box, {100, 20}, {20, -100});
  ASSERT_FALSE(arc.empty());
  EXPECT_EQ(arc.front(), (Point{40, 20}));
  EXPECT_EQ(arc.back(), (Point{21, 0}));  // the last point before straight up
  for (const Point& p : arc) {
    EXPECT_GE(p.x, 20);
    EXPECT_LE(p.y, 20);
  }
  const std::vector<Point> whole = raster::ArcOutline(box, {100, 20}, {100, 20});
  EXPECT_EQ(whole.size(), raster::RoundRectOutline(box, 41, 41).size() + 1);
  EXPECT_EQ(whole.front(), whole.back());
}

}  // namespace
