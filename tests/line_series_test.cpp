// Line, point and area series: segments and their colours, null and far points, stairs, the
// 3D ribbon, areas and stacking, pointers of every style, margins, marks, legend shapes and
// hit tests, on the recording surface; and a few pictures through the raster surface.
#include "engine/series/line_series.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/errors.h"
#include "platform/cairo/image_output.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using testing::TTestChart;
using Args = std::vector<int32_t>;
using S = TSeriesPointerStyle;

// A chart whose plotting area is 400 x 300 from the window's corner, with both axes mapped
// one value to one pixel: a point (x, y) lies at pixel (x, 300 - y).
class LineChart : public ::testing::Test {
 protected:
  void SetUp() override { chart.chartRect = {0, 0, 400, 300}; }

  void Layout() {
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(0, 400);
    chart.LeftAxis().SetWorkingRange(0, 300);
  }
  // 3D frame with an orthogonal projection: depth z moves a point z right and z up.
  void Begin3D(int32_t depth = 20) {
    chart.view3D = true;
    chart.width3D = depth;
    chart.Canvas().BeginFrame(chart.Surface(), &chart.view3DOptions, {0, 0, 500, 350}, true);
    chart.Canvas().SetProjectionCentre(depth, {0, 0, 500, 350}, chart.chartRect);
  }
  // What the chart does to draw one series.
  void Draw(TChartSeries& s) {
    Layout();
    s.ComputeVisibleRange();
    chart.Surface().ClearOps();
    s.DrawAllValues();
  }
  std::vector<RecordedOp> Ops(OpKind kind) { return chart.Surface().OpsOfKind(kind); }
  std::vector<Args> ArgsOf(OpKind kind) {
    std::vector<Args> out;
    for (const RecordedOp& op : Ops(kind)) out.push_back(op.args);
    return out;
  }
  // Every recorded operation that puts ink on the surface.
  size_t InkOps() {
    size_t n = 0;
    for (const RecordedOp& op : chart.Surface().Ops()) {
      if (op.kind != OpKind::MoveTo && op.kind != OpKind::ClipRect &&
          op.kind != OpKind::RemoveClip) {
        ++n;
      }
    }
    return n;
  }

  TTestChart chart;
};

// ---- pointer -----------------------------------------------------------------------------

TEST(SeriesPointerTest, DefaultsAndCheckedSizes) {
  TLineSeries s;
  TSeriesPointer& p = s.Pointer();
  EXPECT_EQ(p.ParentSeries(), &s);
  EXPECT_TRUE(p.AllowChangeSize());
  EXPECT_TRUE(p.Dark3D());
  EXPECT_TRUE(p.Draw3D());
  EXPECT_EQ(p.Brush().Color(), clDefault);
  EXPECT_EQ(p.HorizSize(), 4);
  EXPECT_EQ(p.VertSize(), 4);
  EXPECT_TRUE(p.InflateMargins());
  EXPECT_EQ(p.Pen().Color(), clBlack);
  EXPECT_EQ(p.Style(), S::psRectangle);

  for (int32_t bad : {0, -1, INT32_MIN}) {
    try {
      p.SetHorizSize(bad);
      FAIL() << "HorizSize " << bad << " accepted";
    } catch (const ChartException& e) {
      EXPECT_STREQ(e.what(), "Pointer size must be greater than zero");
    }
    EXPECT_THROW(p.SetVertSize(bad), ChartException);
  }
  EXPECT_EQ(p.HorizSize(), 4);
  EXPECT_EQ(p.VertSize(), 4);
  p.SetHorizSize(1);
  p.SetVertSize(7);
  EXPECT_EQ(p.HorizSize(), 1);
  EXPECT_EQ(p.VertSize(), 7);

  // A locked size ignores valid values but still refuses invalid ones.
  p.SetAllowChangeSize(false);
  p.SetHorizSize(9);
  EXPECT_EQ(p.HorizSize(), 1);
  EXPECT_THROW(p.SetHorizSize(0), ChartException);
}

TEST(SeriesPointerTest, ChangesRepaintTheChartOnce) {
  TTestChart chart;
  TLineSeries& s = chart.Add<TLineSeries>();
  TSeriesPointer& p = s.Pointer();
  chart.repaints = 0;
  p.SetStyle(S::psCircle);
  p.SetStyle(S::psCircle);
  p.SetDark3D(false);
  p.SetDraw3D(false);
  p.SetInflateMargins(false);
  p.SetVisible(true);
  p.SetHorizSize(6);
  p.SetVertSize(6);
  p.Pen().SetColor(clRed);
  p.Brush().SetColor(clBlue);
  EXPECT_EQ(chart.repaints, 9);

  TPointSeries other;
  other.Pointer().Assign(p);
  EXPECT_EQ(other.Pointer().Style(), S::psCircle);
  EXPECT_FALSE(other.Pointer().Dark3D());
  EXPECT_FALSE(other.Pointer().Draw3D());
  EXPECT_FALSE(other.Pointer().InflateMargins());
  EXPECT_EQ(other.Pointer().HorizSize(), 6);
  EXPECT_EQ(other.Pointer().Pen().Color(), clRed);
  EXPECT_EQ(other.Pointer().Brush().Color(), clBlue);
  EXPECT_EQ(other.Pointer().ParentSeries(), &other);
}

// ---- kinds -------------------------------------------------------------------------------

TEST(LineSeriesKinds, DefaultsOfEachKind) {
  TLineSeries line;
  EXPECT_TRUE(line.DrawLine());
  EXPECT_FALSE(line.DrawArea());
  EXPECT_FALSE(line.Pointer().Visible());
  EXPECT_FALSE(line.AllowSinglePoint());
  EXPECT_TRUE(line.DrawBetweenPoints());
  EXPECT_TRUE(line.ClickableLine());
  EXPECT_TRUE(line.Dark3D());
  EXPECT_EQ(line.LineBrush(), TBrushStyle::bsSolid);
  EXPECT_EQ(line.AreaBrush(), TBrushStyle::bsSolid);
  EXPECT_EQ(line.AreaColor(), clDefault);
  EXPECT_EQ(line.LineHeight(), 0);
  EXPECT_EQ(line.LinePen().Color(), clBlack);
  EXPECT_FALSE(line.Stairs());
  EXPECT_FALSE(line.InvertedStairs());

  TPointSeries points;
  EXPECT_FALSE(points.DrawLine());
  EXPECT_FALSE(points.DrawArea());
  EXPECT_TRUE(points.Pointer().Visible());
  EXPECT_TRUE(points.AllowSinglePoint());
  EXPECT_FALSE(points.ClickableLine());
  EXPECT_EQ(points.Marks().ArrowLength(), 0);

  TAreaSeries area;
  EXPECT_TRUE(area.DrawLine());
  EXPECT_TRUE(area.DrawArea());
  EXPECT_FALSE(area.Pointer().Visible());
  EXPECT_FALSE(area.AllowSinglePoint());
  EXPECT_EQ(area.MultiArea(), TMultiArea::maNone);
}

TEST(LineSeriesKinds, PointSeriesColouredPointsGiveUpTheirPointerColour) {
  TPointSeries points;
  points.Pointer().Brush().SetColor(clRed);
  points.SetColorEachPoint(false);
  EXPECT_EQ(points.Pointer().Brush().Color(), clRed);
  points.SetColorEachPoint(true);
  EXPECT_EQ(points.Pointer().Brush().Color(), clDefault);
}

TEST(LineSeriesKinds, AssignKeepsEachKindItsNature) {
  TPointSeries points;
  points.SetStairs(true);
  points.SetLineHeight(3);
  points.Pointer().SetStyle(S::psStar);
  points.LinePen().SetWidth(2);

  TLineSeries line;
  line.Assign(points);
  EXPECT_TRUE(line.Stairs());
  EXPECT_EQ(line.LineHeight(), 3);
  EXPECT_EQ(line.LinePen().Width(), 2);
  EXPECT_EQ(line.Pointer().Style(), S::psStar);
  EXPECT_TRUE(line.DrawLine());
  EXPECT_FALSE(line.DrawArea());
  EXPECT_FALSE(line.Pointer().Visible()) << "another kind's pointer is hidden";
  EXPECT_FALSE(line.ClickableLine()) << "copied from the point series";

  TLineSeries line2;
  line.Pointer().SetVisible(true);
  line2.Assign(line);
  EXPECT_TRUE(line2.Pointer().Visible()) << "same kind keeps the pointer";

  TPointSeries points2;
  points2.Assign(line2);
  EXPECT_TRUE(points2.Pointer().Visible());
  EXPECT_FALSE(points2.DrawLine());
  EXPECT_FALSE(points2.DrawArea());
  EXPECT_FALSE(points2.ClickableLine());

  TAreaSeries area;
  area.SetMultiArea(TMultiArea::maStacked);
  TAreaSeries area2;
  area2.Assign(area);
  EXPECT_EQ(area2.MultiArea(), TMultiArea::maStacked);
  area2.Assign(line2);
  EXPECT_TRUE(area2.DrawArea());
  EXPECT_TRUE(area2.DrawLine());
  EXPECT_FALSE(area2.Pointer().Visible());
  EXPECT_EQ(area2.MultiArea(), TMultiArea::maStacked) << "a line has no MultiArea to give";

  // Series of other families give nothing.
  testing::TTestSeries plain;
  line2.Assign(plain);
  EXPECT_TRUE(line2.Stairs());
}

TEST(LineSeriesKinds, SettersRepaintOnlyOnChange) {
  TTestChart chart;
  TLineSeries& s = chart.Add<TLineSeries>();
  chart.repaints = 0;
  s.SetStairs(false);
  s.SetDark3D(true);
  s.SetLineHeight(0);
  EXPECT_EQ(chart.repaints, 0);
  s.SetStairs(true);
  s.SetInvertedStairs(true);
  s.SetLineBrush(TBrushStyle::bsClear);
  s.SetLineHeight(2);
  s.SetAreaBrush(TBrushStyle::bsCross);
  s.SetAreaColor(clRed);
  s.SetDark3D(false);
  s.SetDrawArea(true);
  s.LinePen().SetWidth(3);
  s.AreaLinesPen().SetColor(clBlue);
  EXPECT_EQ(chart.repaints, 10);
}

// ---- 2D lines ----------------------------------------------------------------------------

TEST_F(LineChart, ThreePointsMakeTwoSegmentsColouredByTheirEndPoint) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.SetSeriesColor(clGreen);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 200);
  s.AddPointXY(300, 150);
  s.SetPointColor(2, clRed);
  Draw(s);
  const auto lines = Ops(OpKind::LineTo);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].args, (Args{100, 200, 200, 100}));
  EXPECT_EQ(lines[0].pen.color, ColorToRGB(clGreen));
  EXPECT_EQ(lines[1].args, (Args{200, 100, 300, 150}));
  EXPECT_EQ(lines[1].pen.color, ColorToRGB(clRed));
  EXPECT_EQ(InkOps(), 2u) << "no pointers on a line series";
}

TEST_F(LineChart, LinePenWidthAndStyleCarryThrough) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.LinePen().SetWidth(3);
  s.LinePen().SetStyle(TPenStyle::psDash);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 200);
  Draw(s);
  const auto lines = Ops(OpKind::LineTo);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].pen.width, 3);
  EXPECT_EQ(lines[0].pen.style, platform::PenStyle::Dash);
  EXPECT_EQ(lines[0].pen.color, ColorToRGB(s.SeriesColor()));

  s.LinePen().SetVisible(false);
  Draw(s);
  ASSERT_EQ(Ops(OpKind::LineTo).size(), 1u);
  EXPECT_EQ(Ops(OpKind::LineTo)[0].pen.style, platform::PenStyle::Clear);
}

TEST_F(LineChart, NullPointBreaksTheLineOnBothSidesButNotTheNeighbourPointers) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.Pointer().SetVisible(true);
  s.AddPointXY(100, 100);
  s.AddPointXY(150, 150);
  s.AddNullPointXY(200, 250);
  s.AddPointXY(250, 150);
  s.AddPointXY(300, 100);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo),
            (std::vector<Args>{{100, 200, 150, 150}, {250, 150, 300, 200}}));
  // Pointers: rectangles of half size 4 around every point but the null one.
  EXPECT_EQ(
      ArgsOf(OpKind::Rectangle),
      (std::vector<Args>{
          {96, 196, 105, 205}, {146, 146, 155, 155}, {246, 146, 255, 155}, {296, 196, 305, 205}}));
}

TEST_F(LineChart, NullFirstAndLastPointsDrawNothingOfTheirOwn) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.Pointer().SetVisible(true);
  s.AddNullPointXY(100, 100);
  s.AddPointXY(200, 100);
  s.AddNullPointXY(300, 100);
  Draw(s);
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{196, 196, 205, 205}}));
}

TEST_F(LineChart, StairsGoAcrossThenUpAndInvertedStairsUpThenAcross) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(10, 250);  // pixel (10, 50)
  s.AddPointXY(30, 280);  // pixel (30, 20)
  s.SetStairs(true);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{10, 50, 30, 50}, {30, 50, 30, 20}}));
  s.SetInvertedStairs(true);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{10, 50, 10, 20}, {10, 20, 30, 20}}));
}

TEST_F(LineChart, PointsBeyondThePixelLimitAreSkippedAndTheLineResumes) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.Pointer().SetVisible(true);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, -200000);  // pixel y = 200300
  s.AddPointXY(300, 100);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{100, 200, 300, 200}}));
  EXPECT_EQ(Ops(OpKind::Rectangle).size(), 2u);
  // Just inside the limit a point is drawn.
  s.YValues().SetValueAt(1, 300 - 32766);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo),
            (std::vector<Args>{{100, 200, 200, 32766}, {200, 32766, 300, 200}}));
}

TEST_F(LineChart, SkippedPointsLoseNoPointerAndLeaveNoStaleSegment) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.Pointer().SetVisible(true);
  s.AddPointXY(100, 100, "", clBlue);
  s.AddPointXY(200, -200000, "", clRed);
  s.AddPointXY(300, 100, "", clGreen);
  Draw(s);
  auto boxes = Ops(OpKind::Rectangle);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].brush.color, ColorToRGB(clBlue)) << "each pointer in its own colour";
  EXPECT_EQ(boxes[1].brush.color, ColorToRGB(clGreen));

  // A far null point still breaks the line, but the pointer before it is drawn.
  s.SetPointColor(1, clNone);
  Draw(s);
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());
  EXPECT_EQ(ArgsOf(OpKind::Rectangle),
            (std::vector<Args>{{96, 196, 105, 205}, {296, 196, 305, 205}}));

  // A far last point: the one before it keeps its pointer.
  s.SetPointColor(1, clRed);
  s.YValues().SetValueAt(2, -200000);
  Draw(s);
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{96, 196, 105, 205}}));

  // A far first point: the line starts at the next one, not where the last paint ended.
  s.YValues().SetValueAt(0, -200000);
  s.YValues().SetValueAt(1, 100);
  s.YValues().SetValueAt(2, 150);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{200, 200, 300, 150}}));
  EXPECT_EQ(Ops(OpKind::Rectangle).size(), 2u);
}

TEST_F(LineChart, LineEntersFromTheLeftEdgeAtTheInterpolatedHeight) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(-100, 0);
  s.AddPointXY(100, 200);
  s.AddPointXY(300, 100);
  Draw(s);
  ASSERT_EQ(s.FirstValueIndex(), 1);
  // At x = 0 the line from (-100, 0) to (100, 200) is at 100: pixel 200.
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{0, 200, 100, 100}, {100, 100, 300, 200}}));

  // Stairs enter at the previous point's height.
  s.SetStairs(true);
  Draw(s);
  const auto lines = ArgsOf(OpKind::LineTo);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], (Args{0, 300, 100, 300}));
  EXPECT_EQ(lines[1], (Args{100, 300, 100, 100}));
}

TEST_F(LineChart, LineEntersFromTheRightEdgeOfAnInvertedAxis) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(-100, 0);
  s.AddPointXY(100, 200);
  chart.BottomAxis().SetInverted(true);
  Draw(s);
  // Inverted: x = 100 lies at pixel 300, the edge value 0 at the right edge.
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{400, 200, 300, 100}}));
}

TEST_F(LineChart, NoEnteringLineFromANullPointOrWhenAllPointsAreVisible) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddNullPointXY(-100, 0);
  s.AddPointXY(100, 200);
  s.AddPointXY(300, 100);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{100, 100, 300, 200}}));

  // Only the last point before the edge counts.
  TLineSeries& t = chart.Add<TLineSeries>();
  t.AddPointXY(-50, 100);
  t.AddPointXY(-50, 250);
  t.AddPointXY(100, 200);
  Draw(t);
  ASSERT_EQ(t.FirstValueIndex(), 2);
  ASSERT_FALSE(Ops(OpKind::LineTo).empty());
  // 250 + (0 - -50) * (200 - 250) / 150 = 233.3: pixel 66.7.
  EXPECT_EQ(Ops(OpKind::LineTo)[0].args, (Args{0, 67, 100, 100}));
}

TEST_F(LineChart, SinglePointDrawsOnlyItsPointer) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.AddPointXY(200, 150);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{196, 146, 205, 155}}));
  EXPECT_EQ(InkOps(), 1u);
}

TEST_F(LineChart, PointSeriesDrawsMarkersWithoutLines) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.SetSeriesColor(clBlue);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 200, "", clRed);
  s.AddPointXY(300, 100);
  Draw(s);
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());
  const auto boxes = Ops(OpKind::Rectangle);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].brush.color, ColorToRGB(clBlue));
  EXPECT_EQ(boxes[1].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(boxes[1].pen.color, ColorToRGB(clBlack));
  EXPECT_EQ(boxes[2].args, (Args{296, 196, 305, 205}));
}

// ---- pointer shapes ----------------------------------------------------------------------

TEST_F(LineChart, EveryPointerStyleIn2D) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.SetSeriesColor(clRed);
  s.Pointer().SetHorizSize(4);
  s.Pointer().SetVertSize(3);
  s.AddPointXY(200, 150);  // pixel (200, 150)
  const platform::Rgb red = ColorToRGB(clRed);
  struct Expect {
    S style;
    OpKind kind;
    std::vector<Args> args;
  };
  const std::vector<Expect> expected = {
      {S::psRectangle, OpKind::Rectangle, {{196, 147, 205, 154}}},
      {S::psCircle, OpKind::Ellipse, {{196, 147, 204, 153}}},
      {S::psTriangle, OpKind::Polygon, {{196, 153, 204, 153, 200, 147}}},
      {S::psDownTriangle, OpKind::Polygon, {{196, 147, 204, 147, 200, 153}}},
      {S::psCross, OpKind::LineTo, {{200, 147, 200, 154}, {196, 150, 205, 150}}},
      {S::psDiagCross, OpKind::LineTo, {{196, 147, 205, 154}, {204, 147, 195, 154}}},
      {S::psStar,
       OpKind::LineTo,
       {{200, 147, 200, 154}, {196, 150, 205, 150}, {196, 147, 205, 154}, {204, 147, 195, 154}}},
      {S::psDiamond, OpKind::Polygon, {{196, 150, 200, 147, 204, 150, 200, 153}}},
      {S::psSmallDot, OpKind::SetPixel, {{200, 150, int32_t(red)}}},
  };
  for (const Expect& e : expected) {
    s.Pointer().SetStyle(e.style);
    Draw(s);
    EXPECT_EQ(ArgsOf(e.kind), e.args) << "style " << int(e.style);
    EXPECT_EQ(InkOps(), e.args.size()) << "style " << int(e.style);
    for (const RecordedOp& op : Ops(e.kind)) {
      if (e.kind == OpKind::LineTo) {
        EXPECT_EQ(op.pen.color, red) << "crosses are drawn in the point colour";
      } else if (e.kind != OpKind::SetPixel) {
        EXPECT_EQ(op.brush.color, red);
        EXPECT_EQ(op.pen.color, 0u);
      }
    }
  }
}

TEST_F(LineChart, SmallDotIsOnePixelWhateverTheSizes) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.Pointer().SetStyle(S::psSmallDot);
  s.Pointer().SetHorizSize(30);
  s.Pointer().SetVertSize(12);
  s.AddPointXY(200, 150);
  Draw(s);
  ASSERT_EQ(InkOps(), 1u);
  EXPECT_EQ(Ops(OpKind::SetPixel)[0].args[0], 200);
  EXPECT_EQ(Ops(OpKind::SetPixel)[0].args[1], 150);
}

TEST_F(LineChart, PointerPenAndBrushColours) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.SetSeriesColor(clRed);
  s.AddPointXY(200, 150);
  s.Pointer().Pen().SetColor(clDefault);
  Draw(s);
  ASSERT_EQ(Ops(OpKind::Rectangle).size(), 1u);
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].pen.color, ColorToRGB(clRed));
  s.Pointer().Brush().SetColor(clYellow);
  s.Pointer().Pen().SetColor(clBlue);
  s.Pointer().Pen().SetWidth(2);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].brush.color, ColorToRGB(clYellow));
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].pen.color, ColorToRGB(clBlue));
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].pen.width, 2);
  s.Pointer().Pen().SetVisible(false);
  s.Pointer().Brush().SetStyle(TBrushStyle::bsClear);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].pen.style, platform::PenStyle::Clear);
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].brush.style, platform::BrushStyle::Clear);
}

TEST_F(LineChart, OnGetPointerStyleChoosesPerPoint) {
  TPointSeries& s = chart.Add<TPointSeries>();
  for (int i = 0; i < 4; ++i) s.AddPointXY(100 + 50 * i, 100);
  std::vector<int32_t> asked;
  s.OnGetPointerStyle = [&](TCustomSeries& sender, int32_t index) {
    EXPECT_EQ(&sender, &s);
    asked.push_back(index);
    return index % 2 ? S::psCircle : S::psDiamond;
  };
  Draw(s);
  EXPECT_EQ(asked, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(Ops(OpKind::Ellipse).size(), 2u);
  EXPECT_EQ(Ops(OpKind::Polygon).size(), 2u);
}

TEST_F(LineChart, PointerStylesIn3DLieAtTheFrontDepth) {
  TPointSeries& s = chart.Add<TPointSeries>();
  s.AddPointXY(200, 150);  // pixel (200, 150)
  Begin3D(40);
  s.SetDepthRange(10, 30);  // front 10: 10 right, 10 up

  s.Pointer().SetStyle(S::psSmallDot);
  Draw(s);
  ASSERT_EQ(InkOps(), 1u);
  EXPECT_EQ(Ops(OpKind::SetPixel)[0].args[0], 220) << "small dot at the middle depth";
  EXPECT_EQ(Ops(OpKind::SetPixel)[0].args[1], 130);

  s.Pointer().SetStyle(S::psRectangle);
  Draw(s);
  const auto faces = ArgsOf(OpKind::Polygon);
  ASSERT_GE(faces.size(), 2u) << "a solid box: front and at least one more face";
  EXPECT_EQ(faces[0], (Args{206, 136, 214, 136, 214, 144, 206, 144}));

  s.Pointer().SetDraw3D(false);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{206, 136, 214, 136, 214, 144, 206, 144}}));

  s.Pointer().SetStyle(S::psTriangle);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{210, 136, 206, 144, 214, 144}}));
  s.Pointer().SetDraw3D(true);
  Draw(s);
  EXPECT_GE(Ops(OpKind::Polygon).size(), 2u) << "a pyramid";

  s.Pointer().SetStyle(S::psCircle);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Ellipse), (std::vector<Args>{{206, 136, 214, 144}}));

  s.Pointer().SetStyle(S::psCross);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::LineTo),
            (std::vector<Args>{{210, 136, 210, 145}, {206, 140, 215, 140}}));

  s.Pointer().SetStyle(S::psDiamond);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{206, 140, 210, 136, 214, 140, 210, 144}}));
}

// ---- 3D ribbon ---------------------------------------------------------------------------

TEST_F(LineChart, RibbonIsAPlaneFromBackToFrontPerSegment) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.SetSeriesColor(clBlue);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  Begin3D(20);
  s.SetDepthRange(0, 20);
  Draw(s);
  const auto faces = Ops(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 1u);
  // (x, y) and (old x, old y) at the back, then the old and the new point at the front.
  EXPECT_EQ(faces[0].args, (Args{220, 130, 120, 180, 100, 200, 200, 150}));
  EXPECT_EQ(faces[0].brush.color, ColorToRGB(clBlue));
  EXPECT_EQ(faces[0].pen.color, 0u) << "the ribbon keeps its pen's own colour";
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());
}

TEST_F(LineChart, RibbonWithClearLineBrushAndNoPointersDrawsNothing) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  s.AddPointXY(300, 120);
  s.SetLineBrush(TBrushStyle::bsClear);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  EXPECT_EQ(InkOps(), 0u);
  // Pointers alone still appear.
  s.Pointer().SetVisible(true);
  s.Pointer().SetStyle(S::psCircle);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Ellipse).size(), 3u);
  EXPECT_EQ(InkOps(), 3u);
}

TEST_F(LineChart, SteepRiseDarkensTheRibbon) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.SetSeriesColor(clBlue);
  s.AddPointXY(100, 100);
  s.AddPointXY(110, 200);  // rises 100 over 10: steeper than depth over height
  s.AddPointXY(210, 220);  // gentle
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  const auto faces = Ops(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].brush.color, ColorToRGB(DarkenColor(clBlue, 64)));
  EXPECT_EQ(faces[1].brush.color, ColorToRGB(clBlue));
  s.SetDark3D(false);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Polygon)[0].brush.color, ColorToRGB(clBlue));
}

TEST_F(LineChart, LineHeightAddsAFrontFaceAndAnEndFace) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 100);
  s.AddPointXY(300, 100);
  s.SetLineHeight(5);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  const auto faces = ArgsOf(OpKind::Polygon);
  // Per segment: front face, top; the last one also its end face before the top.
  ASSERT_EQ(faces.size(), 5u);
  EXPECT_EQ(faces[0], (Args{200, 200, 100, 200, 100, 205, 200, 205}));
  EXPECT_EQ(faces[1], (Args{220, 180, 120, 180, 100, 200, 200, 200}));
  EXPECT_EQ(faces[2], (Args{300, 200, 200, 200, 200, 205, 300, 205}));
  EXPECT_EQ(faces[3], (Args{300, 200, 300, 205, 320, 185, 320, 180}));
  EXPECT_EQ(faces[4], (Args{320, 180, 220, 180, 200, 200, 300, 200}));
}

TEST_F(LineChart, SteepRiseWithLineHeightShowsTheUnderside) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(110, 200);
  s.SetLineHeight(5);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  const auto faces = ArgsOf(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 3u);
  // The plane runs along the ribbon's lower edge.
  EXPECT_EQ(faces[2], (Args{130, 85, 120, 185, 100, 205, 110, 105}));
}

TEST_F(LineChart, StairsIn3DAreHorizontalAndDarkVerticalPlanes) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.SetSeriesColor(clBlue);
  s.AddPointXY(10, 250);  // pixel (10, 50)
  s.AddPointXY(30, 280);  // pixel (30, 20)
  s.SetStairs(true);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  auto faces = Ops(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].args, (Args{10, 50, 30, 50, 50, 30, 30, 30}));
  EXPECT_EQ(faces[0].brush.color, ColorToRGB(clBlue));
  EXPECT_EQ(faces[1].args, (Args{30, 20, 30, 50, 50, 30, 50, 0}));
  EXPECT_EQ(faces[1].brush.color, ColorToRGB(DarkenColor(clBlue, 64)));

  s.SetInvertedStairs(true);
  Draw(s);
  faces = Ops(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].args, (Args{10, 50, 10, 20, 30, 0, 30, 30}));
  EXPECT_EQ(faces[0].brush.color, ColorToRGB(DarkenColor(clBlue, 64)));
  EXPECT_EQ(faces[1].args, (Args{30, 20, 10, 20, 30, 0, 50, 0}));
  EXPECT_EQ(faces[1].brush.color, ColorToRGB(clBlue));
}

TEST_F(LineChart, AreaColorFillsTheRibbonUnlessPointsAreColouredEach) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.SetSeriesColor(clBlue);
  s.SetAreaColor(clYellow);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 120);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Polygon)[0].brush.color, ColorToRGB(clYellow));
  s.SetColorEachPoint(true);
  Draw(s);
  EXPECT_EQ(Ops(OpKind::Polygon)[0].brush.color, ColorToRGB(DefaultPaletteColor(1)));
}

// ---- areas -------------------------------------------------------------------------------

TEST_F(LineChart, AreaIsAQuadDownToTheAxisPerSegment) {
  TAreaSeries& s = chart.Add<TAreaSeries>();
  s.SetSeriesColor(clGreen);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  s.AddPointXY(300, 120);
  Draw(s);
  const auto quads = Ops(OpKind::Polygon);
  ASSERT_EQ(quads.size(), 2u);
  EXPECT_EQ(quads[0].args, (Args{100, 300, 100, 200, 200, 150, 200, 300}));
  EXPECT_EQ(quads[1].args, (Args{200, 300, 200, 150, 300, 180, 300, 300}));
  EXPECT_EQ(quads[0].brush.color, ColorToRGB(clGreen));
  EXPECT_EQ(quads[0].pen.color, 0u);
  EXPECT_TRUE(Ops(OpKind::LineTo).empty()) << "the outline is the area's own";

  // Hatched areas show the series colour behind the hatch; a default pen takes the point
  // colour.
  s.SetAreaBrush(TBrushStyle::bsCross);
  s.SetAreaColor(clRed);
  s.AreaLinesPen().SetColor(clDefault);
  chart.Surface().SetRecordState(true);
  Draw(s);
  const auto hatched = Ops(OpKind::Polygon);
  ASSERT_EQ(hatched.size(), 2u);
  EXPECT_EQ(hatched[0].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(hatched[0].brush.style, platform::BrushStyle::Cross);
  EXPECT_EQ(hatched[0].backColor, ColorToRGB(clGreen));
  EXPECT_EQ(hatched[0].backMode, platform::BackMode::Opaque);
  EXPECT_EQ(hatched[0].pen.color, ColorToRGB(clGreen));
}

TEST_F(LineChart, StairAreasAreRectangles) {
  TAreaSeries& s = chart.Add<TAreaSeries>();
  s.AddPointXY(10, 250);  // (10, 50)
  s.AddPointXY(30, 280);  // (30, 20)
  s.SetStairs(true);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{10, 50, 31, 50, 31, 300, 10, 300}}));
  s.SetInvertedStairs(true);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{10, 20, 31, 20, 31, 300, 10, 300}}));
}

TEST_F(LineChart, AreaIn3DHasTopEndFaceAndFront) {
  TAreaSeries& s = chart.Add<TAreaSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 100);
  Begin3D();
  s.SetDepthRange(0, 20);
  Draw(s);
  const auto faces = ArgsOf(OpKind::Polygon);
  ASSERT_EQ(faces.size(), 3u);
  EXPECT_EQ(faces[0], (Args{220, 180, 120, 180, 100, 200, 200, 200})) << "top";
  EXPECT_EQ(faces[1], (Args{200, 200, 200, 300, 220, 280, 220, 180})) << "end";
  EXPECT_EQ(faces[2], (Args{100, 300, 100, 200, 200, 200, 200, 300})) << "front";
}

TEST_F(LineChart, AreaEntersFromThePreviousPoint) {
  TAreaSeries& s = chart.Add<TAreaSeries>();
  s.AddPointXY(-100, 100);
  s.AddPointXY(100, 100);
  Draw(s);
  EXPECT_EQ(ArgsOf(OpKind::Polygon),
            (std::vector<Args>{{-100, 300, -100, 200, 100, 200, 100, 300}}));
}

TEST_F(LineChart, MultiAreaIsSharedByTheAreaSeriesOfAChart) {
  TAreaSeries& a = chart.Add<TAreaSeries>();
  TAreaSeries& b = chart.Add<TAreaSeries>();
  TLineSeries& line = chart.Add<TLineSeries>();
  TTestChart other;
  TAreaSeries& elsewhere = other.Add<TAreaSeries>();
  chart.repaints = 0;
  b.SetMultiArea(TMultiArea::maStacked);
  EXPECT_EQ(a.MultiArea(), TMultiArea::maStacked);
  EXPECT_EQ(b.MultiArea(), TMultiArea::maStacked);
  EXPECT_EQ(elsewhere.MultiArea(), TMultiArea::maNone);
  EXPECT_GT(chart.repaints, 0);
  (void)line;
  TAreaSeries loose;
  loose.SetMultiArea(TMultiArea::maStacked100);
  EXPECT_EQ(loose.MultiArea(), TMultiArea::maStacked100);
}

TEST_F(LineChart, StackedAreasSitOnTheAreasBeforeThem) {
  TAreaSeries& a = chart.Add<TAreaSeries>();
  TAreaSeries& b = chart.Add<TAreaSeries>();
  a.AddPointXY(100, 50);
  a.AddPointXY(200, -20);  // negative values do not raise what sits on them
  b.AddPointXY(100, 30);
  b.AddPointXY(200, 60);
  a.SetMultiArea(TMultiArea::maStacked);
  Layout();
  EXPECT_EQ(a.PointYPixel(0), 250);
  EXPECT_EQ(a.GetOriginPos(0), 300);
  EXPECT_EQ(b.PointYPixel(0), 300 - 80);
  EXPECT_EQ(b.GetOriginPos(0), 250);
  EXPECT_EQ(b.PointYPixel(1), 300 - 60);
  EXPECT_EQ(b.GetOriginPos(1), 300);
  EXPECT_EQ(a.MaxYValue(), 50);
  EXPECT_EQ(b.MaxYValue(), 80);

  // The base never lies below the axis' end.
  chart.LeftAxis().SetWorkingRange(10, 310);
  EXPECT_EQ(a.GetOriginPos(0), 300);

  Draw(b);
  EXPECT_EQ(ArgsOf(OpKind::Polygon), (std::vector<Args>{{100, 250, 100, 220, 200, 240, 200, 300}}));

  a.SetMultiArea(TMultiArea::maStacked100);
  Layout();
  EXPECT_EQ(a.MinYValue(), 0);
  EXPECT_EQ(a.MaxYValue(), 100);
  chart.LeftAxis().SetWorkingRange(0, 100);  // 3 pixels a percent
  // 50 of 80 is 62.5 %: 187.5 pixels up, rounded to even.
  EXPECT_EQ(a.PointYPixel(0), 300 - 188);
  EXPECT_EQ(b.PointYPixel(0), 0);
  EXPECT_EQ(b.GetOriginPos(0), 300 - 188);
  EXPECT_EQ(b.PointYPixel(1), 0);
  // Nothing positive at an index: the value 0.
  a.YValues().SetValueAt(1, 0);
  b.YValues().SetValueAt(1, 0);
  EXPECT_EQ(b.PointYPixel(1), 300);
  EXPECT_EQ(b.GetOriginPos(1), 300);

  // Unstacked again: plain values.
  a.SetMultiArea(TMultiArea::maNone);
  EXPECT_EQ(b.PointYPixel(0), 300 - 3 * 30);
  EXPECT_EQ(b.MaxYValue(), 30);
}

TEST_F(LineChart, StackedAreasShareOneDepthIn3D) {
  TLineSeries& line = chart.Add<TLineSeries>();
  TAreaSeries& a = chart.Add<TAreaSeries>();
  TAreaSeries& b = chart.Add<TAreaSeries>();
  TLineSeries& front = chart.Add<TLineSeries>();
  chart.view3D = true;
  chart.AssignZOrders();
  EXPECT_EQ(line.ComputedZOrder(), 3);
  EXPECT_EQ(a.ComputedZOrder(), 2);
  EXPECT_EQ(b.ComputedZOrder(), 1);
  EXPECT_EQ(front.ComputedZOrder(), 0);

  a.SetMultiArea(TMultiArea::maStacked);
  chart.AssignZOrders();
  EXPECT_EQ(line.ComputedZOrder(), 2);
  EXPECT_EQ(a.ComputedZOrder(), 1);
  EXPECT_EQ(b.ComputedZOrder(), 1);
  EXPECT_EQ(front.ComputedZOrder(), 0);
  EXPECT_TRUE(a.MoreSameZOrder());
  EXPECT_FALSE(line.MoreSameZOrder());

  // In 2D everything lies at 0.
  chart.view3D = false;
  chart.AssignZOrders();
  EXPECT_EQ(b.ComputedZOrder(), 0);
}

// ---- margins -----------------------------------------------------------------------------

TEST_F(LineChart, PointerMarginsWidenTheAxisSoThePointerStaysInside) {
  chart.chartRect = {50, 20, 450, 320};
  TPointSeries& s = chart.Add<TPointSeries>();
  s.AddPointXY(0, 0);
  s.AddPointXY(100, 50);
  int32_t left = -1, right = -1, top = -1, bottom = -1;
  s.HorizMargins(left, right);
  s.VertMargins(top, bottom);
  EXPECT_EQ(left, 5);
  EXPECT_EQ(right, 5);
  EXPECT_EQ(top, 5);
  EXPECT_EQ(bottom, 5);

  chart.PrepareAxes();
  chart.BottomAxis().AdjustRangeForMargins(left, right);
  chart.LeftAxis().AdjustRangeForMargins(top, bottom);
  EXPECT_EQ(s.PointXPixel(0), 55);
  EXPECT_EQ(s.PointXPixel(1), 445);
  EXPECT_EQ(s.PointYPixel(1), 25);
  s.ComputeVisibleRange();
  chart.Surface().ClearOps();
  s.DrawAllValues();
  const auto boxes = ArgsOf(OpKind::Rectangle);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], (Args{441, 21, 450, 30})) << "covers up to x 449, inside the chart";
  EXPECT_EQ(boxes[0], (Args{51, 311, 60, 320}));
}

TEST(LineSeriesMargins, WhatEachSettingAsksFor) {
  TLineSeries s;
  int32_t l, r, t, b;
  s.HorizMargins(l, r);
  s.VertMargins(t, b);
  EXPECT_EQ((std::array{l, r, t, b}), (std::array{0, 0, 0, 0}));

  s.SetStairs(true);
  s.LinePen().SetWidth(3);
  s.HorizMargins(l, r);
  s.VertMargins(t, b);
  EXPECT_EQ((std::array{l, r, t, b}), (std::array{3, 3, 3, 4}));

  s.Pointer().SetVisible(true);
  s.Pointer().SetHorizSize(1);
  s.Pointer().SetVertSize(9);
  s.HorizMargins(l, r);
  s.VertMargins(t, b);
  EXPECT_EQ((std::array{l, r, t, b}), (std::array{3, 3, 10, 10}));

  s.Pointer().SetInflateMargins(false);
  s.SetLineHeight(12);
  s.HorizMargins(l, r);
  s.VertMargins(t, b);
  EXPECT_EQ((std::array{l, r, t, b}), (std::array{3, 3, 3, 12}));

  s.SetDrawArea(true);
  s.VertMargins(t, b);
  EXPECT_EQ(b, 4) << "no line height under an area";

  TPointSeries p;
  p.SetStairs(true);  // stairs of a series without line need no room
  p.Pointer().SetInflateMargins(false);
  p.HorizMargins(l, r);
  EXPECT_EQ(l, 0);
}

// ---- marks -------------------------------------------------------------------------------

TEST_F(LineChart, MarksSitArrowLengthAboveThePointAtTheFrontDepth) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  s.Marks().SetVisible(true);
  s.Marks().SetArrowLength(12);
  s.SetDepthRange(6, 26);
  s.Marks().SetZPosition(16);
  Draw(s);
  s.DrawAllMarks();
  EXPECT_EQ(s.Marks().ZPosition(), 6);
  const TSeriesMarkPosition* p = s.Marks().PositionAt(1);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->ArrowFrom, (platform::Point{200, 150}));
  EXPECT_EQ(p->ArrowTo, (platform::Point{200, 138}));
  EXPECT_EQ(p->LeftTop.y, 150 - p->Height + 1 - 12);
  // The arrow is drawn from the point up to the box.
  bool arrow = false;
  for (const Args& a : ArgsOf(OpKind::LineTo)) arrow |= a == Args{200, 150, 200, 138};
  EXPECT_TRUE(arrow);
}

// ---- legend ------------------------------------------------------------------------------

TEST_F(LineChart, LegendShapes) {
  const platform::Rect box{10, 10, 31, 22};
  TLineSeries& line = chart.Add<TLineSeries>();
  line.SetSeriesColor(clBlue);
  line.AddPointXY(1, 1, "", clRed);

  // A flat line through the middle in the item's colour.
  line.DrawLegendItem(-1, box);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{10, 16, 31, 16}}));
  EXPECT_EQ(Ops(OpKind::LineTo)[0].pen.color, ColorToRGB(clBlue));
  chart.Surface().ClearOps();
  line.DrawLegendItem(0, box);
  EXPECT_EQ(Ops(OpKind::LineTo)[0].pen.color, ColorToRGB(clRed));

  // In 3D a box with the line brush.
  chart.Surface().ClearOps();
  chart.view3D = true;
  line.SetLineBrush(TBrushStyle::bsDiagCross);
  line.DrawLegendItem(-1, box);
  ASSERT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{10, 10, 31, 22}}));
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].brush.style, platform::BrushStyle::DiagCross);
  chart.view3D = false;

  // With a pointer: the line, then the pointer limited to a third of the box.
  chart.Surface().ClearOps();
  line.Pointer().SetVisible(true);
  line.Pointer().SetHorizSize(10);
  line.Pointer().SetVertSize(10);
  line.DrawLegendItem(-1, box);
  EXPECT_EQ(ArgsOf(OpKind::LineTo), (std::vector<Args>{{10, 16, 31, 16}}));
  // Centre (20, 16), half sizes 7 and 4.
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{13, 12, 28, 21}}));

  // Without a visible line pen: half the box plus one.
  chart.Surface().ClearOps();
  line.LinePen().SetVisible(false);
  line.DrawLegendItem(-1, box);
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{10, 9, 31, 24}}));

  // A point series shows its pointer alone.
  chart.Surface().ClearOps();
  TPointSeries& points = chart.Add<TPointSeries>();
  points.SetSeriesColor(clGreen);
  points.Pointer().SetStyle(S::psCircle);
  points.DrawLegendItem(-1, box);
  EXPECT_EQ(ArgsOf(OpKind::Ellipse), (std::vector<Args>{{16, 12, 24, 20}}));
  EXPECT_EQ(Ops(OpKind::Ellipse)[0].brush.color, ColorToRGB(clGreen));
  EXPECT_TRUE(Ops(OpKind::LineTo).empty());

  // An area: the colour box in the area's brush.
  chart.Surface().ClearOps();
  TAreaSeries& area = chart.Add<TAreaSeries>();
  area.SetSeriesColor(clGreen);
  area.SetAreaColor(clYellow);
  area.SetAreaBrush(TBrushStyle::bsHorizontal);
  area.DrawLegendItem(-1, box);
  ASSERT_EQ(Ops(OpKind::Rectangle).size(), 1u);
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].args, (Args{10, 10, 31, 22}));
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].brush.color, ColorToRGB(clYellow));
  EXPECT_EQ(Ops(OpKind::Rectangle)[0].brush.style, platform::BrushStyle::Horizontal);
}

// ---- hit tests ---------------------------------------------------------------------------

class LineHitTest : public LineChart {
 protected:
  void SetUp() override {
    LineChart::SetUp();
    s.AddPointXY(100, 100);  // (100, 200)
    s.AddPointXY(200, 200);  // (200, 100)
    s.AddPointXY(300, 100);  // (300, 200)
    Layout();
    s.ComputeVisibleRange();
  }
  TLineSeries& s = chart.Add<TLineSeries>();
};

TEST_F(LineHitTest, LinesAndPoints) {
  EXPECT_EQ(s.Clicked(200, 100), 1) << "exact pixel";
  EXPECT_EQ(s.Clicked(150, 150), 0) << "on the first segment";
  EXPECT_EQ(s.Clicked(151, 150), 0) << "one pixel off";
  EXPECT_EQ(s.Clicked(250, 150), 1);
  EXPECT_EQ(s.Clicked(150, 120), -1);
  EXPECT_EQ(s.Clicked(350, 200), -1) << "beyond the last point";
  s.SetClickableLine(false);
  EXPECT_EQ(s.Clicked(150, 150), -1);
  EXPECT_EQ(s.Clicked(300, 200), 2);
}

TEST_F(LineHitTest, PointersAreHitWithinTheirHalfSizes) {
  std::vector<std::array<int32_t, 3>> clicks;
  s.OnClickPointer = [&](TCustomSeries&, int32_t index, int32_t x, int32_t y) {
    clicks.push_back({index, x, y});
  };
  s.SetClickableLine(false);
  EXPECT_EQ(s.Clicked(103, 197), -1) << "hidden pointer";
  s.Pointer().SetVisible(true);
  EXPECT_EQ(s.Clicked(103, 197), 0);
  EXPECT_EQ(s.Clicked(104, 200), -1) << "fewer than HorizSize pixels away";
  EXPECT_EQ(s.Clicked(200, 103), 1);
  EXPECT_EQ(clicks, (std::vector<std::array<int32_t, 3>>{{0, 103, 197}, {1, 200, 103}}));
}

TEST_F(LineHitTest, StairsAreHitOnTheirLegs) {
  s.SetStairs(true);
  EXPECT_EQ(s.Clicked(150, 200), 0) << "across at the old height";
  EXPECT_EQ(s.Clicked(200, 150), 0) << "up at the new X";
  EXPECT_EQ(s.Clicked(150, 150), -1) << "not along the diagonal";
  s.SetInvertedStairs(true);
  EXPECT_EQ(s.Clicked(100, 150), 0);
  EXPECT_EQ(s.Clicked(150, 100), 0);
  EXPECT_EQ(s.Clicked(150, 200), -1);
}

TEST_F(LineHitTest, NullPointsHaveNoSegments) {
  s.SetPointColor(1, clNone);
  EXPECT_EQ(s.Clicked(150, 150), -1);
  EXPECT_EQ(s.Clicked(200, 100), -1);
  EXPECT_EQ(s.Clicked(100, 200), 0);
}

TEST_F(LineHitTest, AreaUnderASegmentHitsItsFirstPoint) {
  EXPECT_EQ(s.Clicked(150, 250), -1);
  s.SetDrawArea(true);
  EXPECT_EQ(s.Clicked(150, 250), 0);
  EXPECT_EQ(s.Clicked(260, 299), 1);
  EXPECT_EQ(s.Clicked(150, 301), -1);
}

TEST_F(LineHitTest, ThreeDimensionalRibbonIsAParallelogram) {
  TLineSeries& flat = chart.Add<TLineSeries>();
  flat.AddPointXY(100, 100);  // (100, 200)
  flat.AddPointXY(300, 100);  // (300, 200)
  flat.ComputeVisibleRange();
  EXPECT_EQ(flat.Clicked(200, 190), -1);
  Begin3D(20);
  flat.SetDepthRange(0, 20);
  EXPECT_EQ(flat.Clicked(200, 190), 0);
  EXPECT_EQ(flat.Clicked(315, 185), 0);
  EXPECT_EQ(flat.Clicked(200, 170), -1);
  // The mouse is unprojected at the front depth first.
  flat.SetDepthRange(10, 30);
  EXPECT_EQ(flat.Clicked(210, 190), 0) << "(200, 200) seen 10 deep";
  EXPECT_EQ(flat.Clicked(200, 205), -1);
}

TEST(LineSeriesHit, NothingWithoutChartOrVisiblePoints) {
  TLineSeries s;
  s.AddPointXY(1, 1);
  EXPECT_EQ(s.Clicked(0, 0), -1);
  TTestChart chart;
  TLineSeries& t = chart.Add<TLineSeries>();
  EXPECT_EQ(t.Clicked(0, 0), -1);
}

// ---- absurd values --------------------------------------------------------------------------

TEST_F(LineChart, HugeSizesSaturateInsteadOfWrapping) {
  TLineSeries& s = chart.Add<TLineSeries>();
  s.Pointer().SetVisible(true);
  s.Pointer().SetHorizSize(INT32_MAX);
  s.Pointer().SetVertSize(INT32_MAX);
  s.SetLineHeight(INT32_MAX);
  s.LinePen().SetWidth(INT32_MAX);
  s.Marks().SetVisible(true);
  s.Marks().SetArrowLength(INT32_MAX);
  s.SetStairs(true);
  s.AddPointXY(100, 100);
  s.AddPointXY(200, 150);
  int32_t l, r, t, b;
  s.HorizMargins(l, r);
  s.VertMargins(t, b);
  EXPECT_EQ((std::array{l, r, t, b}), (std::array{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}));
  for (S style : {S::psRectangle, S::psCircle, S::psTriangle, S::psDownTriangle, S::psCross,
                  S::psDiagCross, S::psStar, S::psDiamond, S::psSmallDot}) {
    s.Pointer().SetStyle(style);
    Draw(s);
    s.DrawAllMarks();
    s.DrawLegendItem(-1, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  }
  s.SetStairs(false);
  Begin3D(INT32_MAX);
  s.SetDepthRange(0, INT32_MAX);
  Draw(s);
  s.DrawAllMarks();
  EXPECT_EQ(s.Clicked(INT32_MAX, INT32_MIN), -1);
  EXPECT_EQ(s.Marks().PositionAt(0)->ArrowTo.y, 200 - INT32_MAX);
}

// ---- pictures ----------------------------------------------------------------------------

std::string OutputPath(const std::string& name) {
#ifdef ZQ_TEST_OUTPUT
  std::filesystem::path dir = ZQ_TEST_OUTPUT;
#else
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "zq_test_output";
#endif
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

platform::Rgb PixelAt(const platform::Image& image, int32_t x, int32_t y) {
  const uint32_t p = image.At(x, y);
  return platform::MakeRgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

// The test chart drawing on a raster surface: white background, the plotting area framed (and
// a back wall at the full depth in 3D), axes mapped like the recording tests (400 x 300 from
// (50, 20)) unless told otherwise.
class LinePictures : public ::testing::Test {
 protected:
  void Begin(bool is3D, int32_t depth = 0) {
    // As the chart does: the depth takes its room from the right and the top.
    chart.chartRect = {50, 20 + depth, 450 - depth, 320};
    chart.view3D = is3D;
    chart.width3D = depth;
    TZidCanvas3D& c = chart.Canvas();
    c.SetSurface(window.get());
    c.BeginFrame(*window, &chart.view3DOptions, {0, 0, 500, 350}, is3D);
    c.SetProjectionCentre(depth, {0, 0, 500, 350}, chart.chartRect);
    c.SetPen({0, 1, platform::PenStyle::Solid, platform::PenMode::Copy});
    c.SetBrush({0xFFFFFF, platform::BrushStyle::Solid, {}});
    c.FillRectangle({0, 0, 500, 350});
    c.SetBrushStyle(TBrushStyle::bsClear);
    if (is3D) {
      c.DrawRectAtZ(chart.chartRect, depth);
      c.SetPenColor(clGray);
      c.DepthLine(chart.chartRect.left, chart.chartRect.bottom, 0, depth);
      c.DepthLine(chart.chartRect.left, chart.chartRect.top, 0, depth);
      c.DepthLine(chart.chartRect.right, chart.chartRect.bottom, 0, depth);
    } else {
      c.DrawRect(chart.chartRect.left, chart.chartRect.top, chart.chartRect.right + 1,
                 chart.chartRect.bottom + 1);
    }
  }
  void Axes(double xMin, double xMax, double yMin, double yMax) {
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(xMin, xMax);
    chart.LeftAxis().SetWorkingRange(yMin, yMax);
  }
  void Draw(TChartSeries& s) {
    s.ComputeVisibleRange();
    s.DrawAllValues();
  }
  platform::Image Save(const std::string& name) {
    platform::Image image = window->Snapshot();
    EXPECT_TRUE(platform::SavePng(image, OutputPath(name)));
    return image;
  }

  TTestChart chart;
  std::unique_ptr<platform::Surface> window = platform::CreateMemorySurface(500, 350);
};

TEST_F(LinePictures, LinesWithPointersStairsAndANullPoint) {
  Begin(false);
  TLineSeries& a = chart.Add<TLineSeries>();
  a.SetSeriesColor(clBlue);
  a.Pointer().SetVisible(true);
  a.LinePen().SetWidth(2);
  const double ya[] = {30, 60, 45, 80, 70, 95, 60};
  for (int i = 0; i < 7; ++i) a.AddPointXY(i, ya[i]);
  a.SetPointColor(3, clRed);
  TLineSeries& b = chart.Add<TLineSeries>();
  b.SetSeriesColor(clGreen);
  b.SetStairs(true);
  const double yb[] = {10, 25, 20, 40, 35, 15, 30};
  for (int i = 0; i < 7; ++i) b.AddPointXY(i, yb[i]);
  TLineSeries& c = chart.Add<TLineSeries>();
  c.SetSeriesColor(clPurple);
  c.Pointer().SetVisible(true);
  c.Pointer().SetStyle(S::psCircle);
  const double yc[] = {50, 55, -1, 65, 50, 40, 45};
  for (int i = 0; i < 7; ++i) {
    if (yc[i] < 0) {
      c.AddNullPointXY(i, 0);
    } else {
      c.AddPointXY(i, yc[i]);
    }
  }
  Axes(-0.5, 6.5, 0, 100);
  Draw(b);
  Draw(c);
  Draw(a);
  platform::Image image = Save("line_series_2d.png");
  // The pointer of point 0 of `a` is filled blue, point 3's red.
  const int32_t x0 = a.PointXPixel(0), y0 = a.PointYPixel(0);
  EXPECT_EQ(PixelAt(image, x0, y0), ColorToRGB(clBlue));
  EXPECT_EQ(PixelAt(image, a.PointXPixel(3), a.PointYPixel(3)), ColorToRGB(clRed));
  // The stairs run flat at point 0's height half-way to point 1.
  const int32_t xm = (b.PointXPixel(0) + b.PointXPixel(1)) / 2;
  EXPECT_EQ(PixelAt(image, xm, b.PointYPixel(0)), ColorToRGB(clGreen));
  // No purple between points 1 and 3 of `c`, around where the null point is.
  for (int32_t y = 20; y < 320; ++y) {
    ASSERT_NE(PixelAt(image, c.PointXPixel(2), y), ColorToRGB(clPurple)) << y;
  }
}

TEST_F(LinePictures, RibbonsAndAreaIn3D) {
  Begin(true, 60);
  TAreaSeries& area = chart.Add<TAreaSeries>();
  area.SetSeriesColor(clYellow);
  TLineSeries& ribbon = chart.Add<TLineSeries>();
  ribbon.SetSeriesColor(clRed);
  ribbon.SetLineHeight(6);
  TLineSeries& stairs = chart.Add<TLineSeries>();
  stairs.SetSeriesColor(clBlue);
  stairs.SetStairs(true);
  stairs.Pointer().SetVisible(true);
  stairs.Pointer().Brush().SetColor(clWhite);
  const double ya[] = {60, 75, 70, 90, 80, 85, 70};
  const double yr[] = {30, 60, 35, 45, 65, 40, 50};
  const double ys[] = {10, 20, 5, 25, 15, 20, 10};
  for (int i = 0; i < 7; ++i) {
    area.AddPointXY(i, ya[i]);
    ribbon.AddPointXY(i, yr[i]);
    stairs.AddPointXY(i, ys[i]);
  }
  area.SetDepthRange(40, 60);
  ribbon.SetDepthRange(20, 40);
  stairs.SetDepthRange(0, 20);
  Axes(0, 6, 0, 100);
  Draw(area);
  Draw(ribbon);
  Draw(stairs);
  platform::Image image = Save("line_series_3d.png");
  TZidCanvas3D& c = chart.Canvas();
  // The area's top between points 3 and 4 (gently falling: not darkened).
  platform::Point p = c.ProjectXY((area.PointXPixel(3) + area.PointXPixel(4)) / 2,
                                  (area.PointYPixel(3) + area.PointYPixel(4)) / 2, 50);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(clYellow));
  // The red ribbon rises steeply from point 0 to 1: its plane lies along the lower edge,
  // darkened.
  p = c.ProjectXY((ribbon.PointXPixel(0) + ribbon.PointXPixel(1)) / 2,
                  (ribbon.PointYPixel(0) + ribbon.PointYPixel(1)) / 2 + 6, 30);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(DarkenColor(clRed, 64)));
  // Falling from 1 to 2 it shows its top in the series colour, and its front face below.
  p = c.ProjectXY((ribbon.PointXPixel(1) + ribbon.PointXPixel(2)) / 2,
                  (ribbon.PointYPixel(1) + ribbon.PointYPixel(2)) / 2, 30);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(clRed));
  p = c.ProjectXY((ribbon.PointXPixel(1) + ribbon.PointXPixel(2)) / 2,
                  (ribbon.PointYPixel(1) + ribbon.PointYPixel(2)) / 2 + 3, 20);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(clRed));
  // The stairs' riser between points 0 and 1 is darkened, its tread not.
  p = c.ProjectXY(stairs.PointXPixel(1), (stairs.PointYPixel(0) + stairs.PointYPixel(1)) / 2, 10);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(DarkenColor(clBlue, 64)));
  p = c.ProjectXY((stairs.PointXPixel(0) + stairs.PointXPixel(1)) / 2, stairs.PointYPixel(0), 10);
  EXPECT_EQ(PixelAt(image, p.x, p.y), ColorToRGB(clBlue));
}

TEST_F(LinePictures, NinePointerStylesFlatAndSolid) {
  Begin(true, 24);
  const S styles[] = {S::psRectangle, S::psCircle, S::psTriangle, S::psDownTriangle, S::psCross,
                      S::psDiagCross, S::psStar,   S::psDiamond,  S::psSmallDot};
  const TColor colours[] = {clRed,     clGreen, clYellow, clBlue, clNavy,
                            clFuchsia, clTeal,  clMaroon, clBlack};
  std::vector<TPointSeries*> series;
  for (int row = 0; row < 2; ++row) {
    TPointSeries& s = chart.Add<TPointSeries>();
    s.Pointer().SetHorizSize(9);
    s.Pointer().SetVertSize(9);
    s.Pointer().SetDraw3D(row == 1);
    for (int i = 0; i < 9; ++i) s.AddPointXY(i, row == 0 ? 70 : 30, "", colours[i]);
    s.OnGetPointerStyle = [&](TCustomSeries&, int32_t index) { return styles[index]; };
    s.SetDepthRange(0, 24);
    series.push_back(&s);
  }
  Axes(-0.5, 8.5, 0, 100);
  for (TPointSeries* s : series) Draw(*s);
  platform::Image image = Save("line_series_pointers_3d.png");
  // Rectangle pointer of the solid row: the front face at depth 0 is the palette's red.
  const TPointSeries& solid = *series[1];
  EXPECT_EQ(PixelAt(image, solid.PointXPixel(0), solid.PointYPixel(0)), ColorToRGB(clRed));

  // The same in 2D.
  chart.SeriesList()[1].SetActive(false);
  Begin(false);
  Axes(-0.5, 8.5, 0, 100);
  Draw(*series[0]);
  image = Save("line_series_pointers_2d.png");
  const TPointSeries& flat = *series[0];
  EXPECT_EQ(PixelAt(image, flat.PointXPixel(1), flat.PointYPixel(1)), ColorToRGB(clGreen));
  EXPECT_EQ(PixelAt(image, flat.PointXPixel(8), flat.PointYPixel(8)), ColorToRGB(clBlack));
  EXPECT_EQ(PixelAt(image, flat.PointXPixel(8) + 1, flat.PointYPixel(8)), ColorToRGB(clWhite));
}

TEST_F(LinePictures, StackedAreas) {
  Begin(false);
  TAreaSeries& a = chart.Add<TAreaSeries>();
  TAreaSeries& b = chart.Add<TAreaSeries>();
  TAreaSeries& c = chart.Add<TAreaSeries>();
  a.SetSeriesColor(clNavy);
  b.SetSeriesColor(clTeal);
  c.SetSeriesColor(clOlive);
  c.SetAreaBrush(TBrushStyle::bsFDiagonal);
  const double ya[] = {10, 20, 15, 25, 30, 20};
  const double yb[] = {20, 15, 25, 20, 10, 30};
  const double yc[] = {5, 10, 10, 15, 20, 10};
  for (int i = 0; i < 6; ++i) {
    a.AddPointXY(i, ya[i]);
    b.AddPointXY(i, yb[i]);
    c.AddPointXY(i, yc[i]);
  }
  a.SetMultiArea(TMultiArea::maStacked);
  Axes(0, 5, 0, 70);
  Draw(a);
  Draw(b);
  Draw(c);
  platform::Image image = Save("line_series_stacked_areas.png");
  const int32_t x = (a.PointXPixel(1) + a.PointXPixel(2)) / 2 + 3;
  EXPECT_EQ(PixelAt(image, x, a.CalcYPosValue(5)), ColorToRGB(clNavy));
  EXPECT_EQ(PixelAt(image, x, a.CalcYPosValue(25)), ColorToRGB(clTeal));
  EXPECT_EQ(PixelAt(image, x, a.CalcYPosValue(62)), ColorToRGB(clWhite));
}

}  // namespace
}  // namespace zq
