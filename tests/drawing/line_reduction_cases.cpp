#include "drawing/line_reduction_cases.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "engine/chart/chart.h"
#include "engine/series/line_series.h"
#include "platform/locale.h"
#include "platform/surface.h"

namespace zq::test {

namespace {

// The same numbers on every platform (the standard distributions are not).
class Numbers {
 public:
  explicit Numbers(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // From -1 to 1.
  double Signed() { return double(Next() >> 11) / double(1ull << 52) - 1.0; }

 private:
  uint64_t state_;
};

struct Points {
  std::vector<double> xs, ys;
};

Points Walk(size_t count, uint64_t seed, double step = 1.0) {
  Numbers n(seed);
  Points p;
  double y = 0;
  for (size_t i = 0; i < count; ++i) {
    y += n.Signed() * step;
    p.xs.push_back(double(i));
    p.ys.push_back(y);
  }
  return p;
}

TLineSeries& AddLine(TChart& chart, TColor color, Points points,
                     TChartListOrder order = TChartListOrder::loAscending) {
  TLineSeries& s = chart.AddSeries<TLineSeries>();
  s.XValues().SetOrder(order);
  s.SetSeriesColor(color);
  std::vector<std::string> noLabels;
  s.AddPointsXY(points.xs, points.ys, clDefault, noLabels);
  return s;
}

// Points per pixel column of the walks: the chart rectangle of a 64-pixel chart is about 40
// pixels wide.
template <int PerColumn>
void DenseWalk(TChart& chart) {
  // With noise of about a third of the walk's own range, most neighbours lie pixels apart.
  const size_t count = size_t(PerColumn) * 40;
  Points p = Walk(count, PerColumn);
  Numbers noise(PerColumn + 1000);
  for (double& y : p.ys) y += noise.Signed() * 0.3 * std::sqrt(double(count));
  AddLine(chart, clRed, p);
}

void SineWithNoise(TChart& chart) {
  Numbers n(7);
  Points p;
  for (int i = 0; i < 20000; ++i) {
    p.xs.push_back(i * 0.01);
    p.ys.push_back(50 + 40 * std::sin(i * 0.002) + 10 * n.Signed());
  }
  AddLine(chart, clBlue, p);
}

void Spikes(TChart& chart) {
  Points p;
  for (int i = 0; i < 30000; ++i) {
    p.xs.push_back(i);
    p.ys.push_back(i % 997 == 0 ? 100 : i % 1499 == 0 ? -50 : 0);
  }
  AddLine(chart, clGreen, p);
}

void Steps(TChart& chart) {
  Points p;
  for (int i = 0; i < 30000; ++i) {
    p.xs.push_back(i);
    p.ys.push_back(double((i / 1500) * 7 % 50));
  }
  AddLine(chart, clNavy, p);
}

// Null points break the line; a run of points and single points have colours of their own.
void NullsAndColours(TChart& chart) {
  TLineSeries& s = AddLine(chart, clRed, Walk(20000, 11));
  for (int32_t i = 350; i < 20000; i += 700) s.SetPointColor(i, clNone);
  for (int32_t i = 5000; i < 6000; ++i) s.SetPointColor(i, clBlue);
  for (int32_t i = 100; i < 20000; i += 333) s.SetPointColor(i, clLime);
  s.SetPointColor(19999, clNone);
}

void UnsortedRepeatedX(TChart& chart) {
  Numbers n(13);
  Points p;
  for (int i = 0; i < 10000; ++i) {
    p.xs.push_back(double(n.Next() % 200));
    p.ys.push_back(n.Signed() * 50);
  }
  AddLine(chart, clPurple, p, TChartListOrder::loNone);
}

void RepeatedX(TChart& chart) {
  Points p = Walk(10000, 17);
  for (size_t i = 0; i < p.xs.size(); ++i) p.xs[i] = double(i / 50);
  AddLine(chart, clMaroon, p);
}

// Heights half-way between two pixels, where a scale rounded once and a division rounded once
// may fall on either side of the half (the axis' own mapping decides); colours change inside
// runs of points.
void HalfWayHeights(TChart& chart) {
  Points p;
  for (int i = 0; i < 600; ++i) {
    p.xs.push_back(i);
    p.ys.push_back(0);
  }
  TLineSeries& s = AddLine(chart, clBlue, p);
  for (int32_t i = 3; i < 600; i += 101) s.SetPointColor(i, clRed);
  // The vertical axis' length in pixels, from a first paint.
  chart.LeftAxis().SetMinMax(0, 100);
  std::unique_ptr<platform::Surface> probe = platform::CreateMemorySurface(64, 48);
  chart.Paint(*probe, chart.ClientRect());
  const int32_t size = chart.LeftAxis().IAxisSize();
  const double range = 1.3 * size;
  chart.LeftAxis().SetMinMax(0, range);
  Numbers n(5);
  for (int32_t i = 0; i < 600; ++i) {
    const auto halves = (i / 40 % (size - 3) + int32_t(n.Next() % 3)) * 2 + 1;
    s.YValues().SetValueAt(i, double(halves) * range / (2.0 * size));
  }
}

// Axis limits inside the data, and points so far out that their pixels are not drawn.
void BeyondTheAxes(TChart& chart) {
  Points p = Walk(20000, 19, 3.0);
  for (size_t i = 0; i < p.ys.size(); i += 1231) p.ys[i] = i % 2 ? 1e12 : -1e12;
  AddLine(chart, clRed, p);
  chart.LeftAxis().SetMinMax(-20, 20);
  chart.BottomAxis().SetMinMax(1000, 19000);
}

// Heights that are no number, infinite, far above the chart, beyond the point limits or beyond
// the axis' reach, inside columns of many points.
void OddHeights(TChart& chart) {
  TLineSeries& s = AddLine(chart, clBlue, Walk(20000, 113, 0.3));
  const double odd[] = {std::nan(""), HUGE_VAL, -HUGE_VAL, 3e4, -1e5, 1e12, -1e12};
  for (int32_t i = 0, k = 0; i < 20000; i += 389, ++k) s.YValues().SetValueAt(i, odd[k % 7]);
  chart.LeftAxis().SetMinMax(-60, 60);
}

// Heights and X values scaled by their lists' multipliers, the heights' reversed.
void Multiplied(TChart& chart) {
  TLineSeries& s = AddLine(chart, clGreen, Walk(20000, 127));
  s.YValues().SetMultiplier(-2.5);
  s.XValues().SetMultiplier(0.75);
}

void ZoomedIn(TChart& chart) {
  AddLine(chart, clBlue, Walk(20000, 23));
  chart.BottomAxis().SetMinMax(3000.5, 3900.25);
}

void InvertedAxes(TChart& chart) {
  AddLine(chart, clTeal, Walk(20000, 29));
  chart.LeftAxis().SetInverted(true);
  chart.BottomAxis().SetInverted(true);
}

void Logarithmic(TChart& chart) {
  Points p = Walk(20000, 31, 0.05);
  for (double& y : p.ys) y = std::exp(y);
  AddLine(chart, clOlive, p);
  chart.LeftAxis().SetLogarithmic(true);
}

// X descending: columns run from right to left.
void DescendingX(TChart& chart) {
  Points p = Walk(20000, 37);
  for (double& x : p.xs) x = -x;
  AddLine(chart, clFuchsia, p, TChartListOrder::loDescending);
}

// Lines that keep every segment beside one that does not: palette colours, a wide pen,
// a dashed pen, pointers, stairs.
void KeptLines(TChart& chart) {
  AddLine(chart, clRed, Walk(8000, 41)).SetColorEachPoint(true);
  TLineSeries& wide = AddLine(chart, clBlue, Walk(8000, 43));
  wide.LinePen().SetWidth(2);
  TLineSeries& dashed = AddLine(chart, clGreen, Walk(8000, 47));
  dashed.LinePen().SetStyle(TPenStyle::psDash);
  AddLine(chart, clNavy, Walk(8000, 53)).Pointer().SetVisible(true);
  AddLine(chart, clMaroon, Walk(8000, 59)).SetStairs(true);
  AddLine(chart, clBlack, Walk(8000, 61));
}

// The 3D view of a chart window: turned, with perspective.
void Turned3D(TChart& chart) {
  chart.SetView3D(true);
  chart.SetChart3DPercent(20);
  TView3DOptions& view = chart.View3DOptions();
  view.SetOrthogonal(false);
  view.SetElevation(357);
  view.SetRotation(320);
  view.SetPerspective(34);
}

template <int PerColumn>
void DenseRibbon(TChart& chart) {
  Turned3D(chart);
  DenseWalk<PerColumn>(chart);
}

// The oblique view, at its own size and enlarged (where projected corners round).
template <int Zoom>
void ObliqueRibbon(TChart& chart) {
  chart.SetView3D(true);
  chart.View3DOptions().SetOrthogonal(true);
  chart.View3DOptions().SetZoom(Zoom);
  AddLine(chart, clRed, Walk(20000, 67));
}

// Steep rises between columns show the underside (darkened); hatched and outline-less ribbons.
void RibbonStyles(TChart& chart) {
  Turned3D(chart);
  Points steep = Walk(6000, 71, 4.0);
  AddLine(chart, clBlue, steep);
  TLineSeries& hatched = AddLine(chart, clGreen, Walk(6000, 73));
  hatched.SetLineBrush(TBrushStyle::bsDiagCross);
  AddLine(chart, clYellow, Walk(6000, 79)).LinePen().SetVisible(false);
  TLineSeries& coloured = AddLine(chart, clFuchsia, Walk(6000, 83));
  for (int32_t i = 200; i < 6000; i += 450) coloured.SetPointColor(i, clNone);
  for (int32_t i = 1000; i < 2000; ++i) coloured.SetPointColor(i, clAqua);
}

// Ribbons that keep every face: an inverting pen, a front of some height, stairs, palette
// colours, and two series sharing a depth (drawn point by point together).
void KeptRibbons(TChart& chart) {
  Turned3D(chart);
  AddLine(chart, clRed, Walk(4000, 89)).LinePen().SetMode(TPenMode::pmNotXor);
  AddLine(chart, clBlue, Walk(4000, 97)).SetLineHeight(3);
  AddLine(chart, clGreen, Walk(4000, 101)).SetStairs(true);
  AddLine(chart, clNavy, Walk(4000, 103)).SetColorEachPoint(true);
  AddLine(chart, clMaroon, Walk(4000, 107)).SetZOrder(7);
  AddLine(chart, clOlive, Walk(4000, 109)).SetZOrder(7);
}

const std::vector<LineReductionCase> kCases = {
    {"walk_1", 64, 48, DenseWalk<1>},
    {"walk_2", 64, 48, DenseWalk<2>},
    {"walk_3", 64, 48, DenseWalk<3>},
    {"walk_5", 64, 48, DenseWalk<5>},
    {"walk_10", 64, 48, DenseWalk<10>},
    {"walk_30", 64, 48, DenseWalk<30>},
    {"walk_100", 64, 48, DenseWalk<100>},
    {"walk_1000", 64, 48, DenseWalk<1000>},
    {"walk_10000", 64, 48, DenseWalk<10000>, false},
    {"sine_noise", 200, 120, SineWithNoise},
    {"spikes", 120, 80, Spikes},
    {"steps", 120, 80, Steps},
    {"nulls_colours", 120, 80, NullsAndColours},
    {"unsorted_repeated_x", 120, 80, UnsortedRepeatedX},
    {"repeated_x", 120, 80, RepeatedX},
    {"beyond_the_axes", 120, 80, BeyondTheAxes},
    {"half_way_heights", 64, 48, HalfWayHeights},
    {"odd_heights", 120, 80, OddHeights},
    {"multiplied", 120, 80, Multiplied},
    {"zoomed_in", 120, 80, ZoomedIn},
    {"inverted_axes", 120, 80, InvertedAxes},
    {"logarithmic", 120, 80, Logarithmic},
    {"descending_x", 120, 80, DescendingX},
    {"kept_lines", 160, 100, KeptLines},
    {"ribbon_1", 64, 48, DenseRibbon<1>},
    {"ribbon_3", 64, 48, DenseRibbon<3>},
    {"ribbon_10", 64, 48, DenseRibbon<10>},
    {"ribbon_100", 64, 48, DenseRibbon<100>},
    {"ribbon_1000", 64, 48, DenseRibbon<1000>},
    {"ribbon_oblique", 120, 80, ObliqueRibbon<100>},
    {"ribbon_oblique_zoomed", 120, 80, ObliqueRibbon<137>},
    {"ribbon_styles", 160, 100, RibbonStyles},
    {"ribbon_kept", 160, 100, KeptRibbons},
};

}  // namespace

const std::vector<LineReductionCase>& LineReductionCases() {
  return kCases;
}

void DrawLineReductionCase(const LineReductionCase& c, bool everySegment,
                           platform::Surface& surface) {
  TChart chart;
  chart.SetLocale(platform::LocaleByName("en-US"));
  chart.SetSize(c.width, c.height);
  chart.SetBevelWidth(0);
  chart.SetColor(clWhite);
  chart.SetMarginTop(2);
  chart.SetMarginBottom(2);
  chart.SetView3D(false);
  chart.Legend().SetVisible(false);
  chart.Title().SetText({""});
  chart.SetUseBackBuffer(false);
  c.build(chart);
  const bool was = DrawEverySegment();
  SetDrawEverySegment(everySegment);
  chart.Paint(surface, chart.ClientRect());
  SetDrawEverySegment(was);
}

int64_t DifferingPixels(const platform::Image& a, const platform::Image& b) {
  if (a.width != b.width || a.height != b.height) {
    return std::max<int64_t>(int64_t(a.pixels.size()), int64_t(b.pixels.size()));
  }
  int64_t differing = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] != b.pixels[i];
  return differing;
}

}  // namespace zq::test
