// Fast line series: one polyline that skips points on the pixel of the one before, breaks at
// null points and comes in from the point before the first one shown; the pen that is the
// series colour; the middle depth in 3D; a new point drawn at once without repaint.
#include "engine/series/fast_line_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "platform/surface.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using testing::TTestChart;
using Args = std::vector<int32_t>;

// One value to one pixel: (x, y) at column x, row 300 - y.
class FastLineChart : public ::testing::Test {
 protected:
  void SetUp() override { chart.chartRect = {0, 0, 400, 300}; }
  void Layout(double fromX = 0) {
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(fromX, fromX + 400);
    chart.LeftAxis().SetWorkingRange(0, 300);
  }
  void Draw(TFastLineSeries& s, double fromX = 0) {
    Layout(fromX);
    s.ComputeVisibleRange();
    chart.Surface().ClearOps();
    s.DrawAllValues();
  }
  std::vector<Args> Polylines() {
    std::vector<Args> out;
    for (const auto& op : chart.Surface().OpsOfKind(OpKind::Polyline)) out.push_back(op.args);
    return out;
  }

  TTestChart chart;
};

TEST_F(FastLineChart, OnePolylineWithoutRepeatedPixels) {
  TFastLineSeries& s = chart.Add<TFastLineSeries>();
  const double ys[][2] = {{10, 10}, {10.2, 10.3}, {20, 40}, {20.4, 39.8}, {30, 5}};
  for (const auto& p : ys) s.AddPointXY(p[0], p[1]);
  Draw(s);
  EXPECT_EQ(Polylines(), (std::vector<Args>{{10, 290, 20, 260, 30, 295}}));
  // A null point ends one line and the next begins after it.
  s.AddNullPointXY(40, 0);
  s.AddPointXY(50, 50);
  s.AddPointXY(60, 60);
  Draw(s);
  EXPECT_EQ(Polylines(), (std::vector<Args>{{10, 290, 20, 260, 30, 295}, {50, 250, 60, 240}}));
  // Scrolled so that the first point shown is the third: the line comes from the second.
  Draw(s, 15);
  ASSERT_FALSE(Polylines().empty());
  EXPECT_EQ(Polylines()[0][0], 10 - 15);
}

// Many points to a pixel column: the line keeps a column's first, lowest, highest and last
// point and draws exactly the pixels of the line through all of them.
TEST(FastLineSeriesTest, ColumnsOfManyPointsDrawTheSamePixels) {
  for (int32_t width : {1, 3}) {
    TTestChart chart;
    chart.chartRect = {0, 0, 200, 100};
    TFastLineSeries& s = chart.Add<TFastLineSeries>();
    s.LinePen().SetWidth(width);
    uint32_t seed = 7;
    for (int i = 0; i < 4000; ++i) {
      seed = seed * 1664525u + 1013904223u;
      s.AddPointXY(i * 0.05, 50 + 40 * std::sin(i * 0.01) + double(seed >> 28));
    }
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(0, 200);
    chart.LeftAxis().SetWorkingRange(0, 100);
    s.ComputeVisibleRange();
    std::vector<platform::Point> all;
    for (int i = 0; i < s.PointCount(); ++i) all.push_back({s.PointXPixel(i), s.PointYPixel(i)});
    auto draw = [&](bool reduced) {
      auto surface = platform::CreateMemorySurface(200, 100);
      chart.Canvas().SetSurface(surface.get());
      chart.Canvas().SelectChartPen(s.LinePen());
      if (reduced) {
        s.DrawAllValues();
      } else {
        chart.Canvas().DrawPolyline(all.data(), int32_t(all.size()) - 1);
      }
      chart.Canvas().SetSurface(&chart.Surface());
      return surface->Snapshot();
    };
    const platform::Image reduced = draw(true), full = draw(false);
    EXPECT_EQ(reduced.pixels, full.pixels) << "pen width " << width;
    // The line went through the canvas as a few points a column.
    chart.Surface().ClearOps();
    s.DrawAllValues();
    const auto lines = chart.Surface().OpsOfKind(OpKind::Polyline);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LE(lines[0].args.size(), 2u * 4 * 201);
  }
}

TEST_F(FastLineChart, PenAndSeriesColourAreOne) {
  TFastLineSeries& s = chart.Add<TFastLineSeries>();
  EXPECT_EQ(s.LinePen().Color(), s.SeriesColor());  // the palette colour it joined with
  s.SetSeriesColor(clNavy);
  EXPECT_EQ(s.LinePen().Color(), clNavy);
  TChartPen pen;
  pen.SetColor(clOlive);
  pen.SetWidth(3);
  s.SetLinePen(pen);
  EXPECT_EQ(s.SeriesColor(), clOlive);
  s.LinePen().SetColor(clTeal);
  EXPECT_EQ(s.SeriesColor(), clTeal);
  s.AddPointXY(0, 0);
  s.AddPointXY(100, 100);
  Draw(s);
  const auto lines = chart.Surface().OpsOfKind(OpKind::Polyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].pen.color, ColorToRGB(clTeal));
  EXPECT_EQ(lines[0].pen.width, 3);
}

TEST_F(FastLineChart, In3DTheLineLiesAtTheMiddleDepth) {
  TFastLineSeries& s = chart.Add<TFastLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  chart.view3D = true;
  s.SetDepthRange(0, 20);
  chart.Canvas().BeginFrame(chart.Surface(), &chart.view3DOptions, {0, 0, 500, 350}, true);
  chart.Canvas().SetProjectionCentre(20, {0, 0, 500, 350}, chart.chartRect);
  Draw(s);
  // Orthogonal: depth 10 moves 10 right and 10 up.
  EXPECT_EQ(Polylines(), (std::vector<Args>{{110, 190, 210, 140}}));
}

TEST_F(FastLineChart, WithoutAutoRepaintANewPointDrawsItsSegmentAtOnce) {
  TFastLineSeries& s = chart.Add<TFastLineSeries>();
  s.AddPointXY(100, 100);
  Layout();
  chart.Surface().ClearOps();
  int32_t repaints = chart.repaints;
  s.SetAutoRepaint(false);
  s.AddPointXY(200, 150);
  EXPECT_EQ(chart.repaints, repaints);
  const auto& ops = chart.Surface().Ops();
  std::vector<Args> drawn;
  for (const auto& op : ops) {
    if (op.kind == OpKind::MoveTo || op.kind == OpKind::LineTo) drawn.push_back(op.args);
  }
  EXPECT_EQ(drawn, (std::vector<Args>{{100, 200}, {100, 200, 200, 150}}));
  EXPECT_TRUE(chart.Canvas().IsDirty());
  // The first point has no segment; with auto repaint the chart is asked to repaint.
  s.SetAutoRepaint(true);
  chart.Surface().ClearOps();
  s.AddPointXY(300, 120);
  EXPECT_EQ(chart.repaints, repaints + 1);
  EXPECT_TRUE(chart.Surface().OpsOfKind(OpKind::LineTo).empty());
}

TEST_F(FastLineChart, ClicksOnTheLine) {
  TFastLineSeries& s = chart.Add<TFastLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 200);
  Draw(s);
  EXPECT_EQ(s.Clicked(150, 150), 0);
  EXPECT_EQ(s.Clicked(150, 170), -1);
}

}  // namespace
}  // namespace zq
