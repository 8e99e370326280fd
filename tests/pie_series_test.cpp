// Pie series: defaults, the rotation check, what joining and leaving a chart switches, the
// circle, slice angles with an other slice and explosion, flat slices on the recording
// surface, marks on rays, legend items and clicks.
#include "engine/series/pie_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/chart/chart.h"
#include "engine/drawing/canvas3d.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using testing::TTestChart;
using Args = std::vector<int32_t>;
constexpr double kPi = std::numbers::pi;

class PieChart : public ::testing::Test {
 protected:
  void SetUp() override { chart.chartRect = {0, 0, 400, 300}; }
  TPieSeries& AddPie(const std::vector<double>& values) {
    TPieSeries& pie = chart.Add<TPieSeries>();
    pie.Marks().SetVisible(false);
    for (double v : values) pie.AddPointValue(v);
    return pie;
  }
  // What a paint does for the pie: the slices before the chart, then the circle and angles.
  void Prepare(TPieSeries& pie) {
    pie.DoBeforeDrawChart();
    pie.ComputeVisibleRange();
    pie.DoBeforeDrawValues();
  }
  std::vector<double> Ends(TPieSeries& pie) {
    std::vector<double> out;
    for (int32_t i = 0; i < pie.PointCount(); ++i) out.push_back(pie.Angle(i).end / kPi);
    return out;
  }

  TTestChart chart;
};

TEST(PieSeriesTest, DefaultsAndTheRotationCheck) {
  TPieSeries pie;
  EXPECT_EQ(pie.XValues().Name(), "");
  EXPECT_EQ(pie.PieValues().Name(), "Pie");
  EXPECT_EQ(&pie.PieValues(), &pie.YValues());
  EXPECT_TRUE(pie.ColorEachPoint());
  EXPECT_TRUE(pie.Dark3D());
  EXPECT_TRUE(pie.Marks().Visible());
  EXPECT_EQ(pie.Marks().ArrowLength(), 8);
  EXPECT_EQ(pie.OtherSlice().Style(), TPieOtherStyle::poNone);
  EXPECT_EQ(pie.OtherSlice().Text(), "Other");
  EXPECT_EQ(pie.CircleBackColor(), clDefault);
  EXPECT_EQ(pie.NumSampleValues(), 8);
  EXPECT_FALSE(pie.UsesAxes());
  EXPECT_FALSE(pie.CalcVisiblePoints());
  try {
    pie.SetRotationAngle(-1);
    ADD_FAILURE();
  } catch (const PieException& e) {
    EXPECT_STREQ(e.what(), "Rotation Angle must be between 0 and 359 degrees");
  }
  pie.SetRotationAngle(400);
  EXPECT_EQ(pie.RotationAngle(), 40);
}

// What a chart looks like with and without a pie.
struct ChartLook {
  bool axisVisible, clipPoints, walls, frame, allowZoom;
  TBrushStyle backWallBrush;
  TPanningMode panning;
  friend bool operator==(const ChartLook&, const ChartLook&) = default;
};

ChartLook LookOf(const TChart& c) {
  TChart& chart = const_cast<TChart&>(c);
  return {chart.AxisVisible(),     chart.ClipPoints(), chart.View3DWalls(),
          chart.Frame().Visible(), chart.AllowZoom(),  chart.BackWall().Brush().Style(),
          chart.AllowPanning()};
}

TEST(PieSeriesTest, JoiningAndLeavingAChartSwitchesItsFurniture) {
  const ChartLook withPie{
      false, false, false, false, false, TBrushStyle::bsClear, TPanningMode::pmNone};
  const ChartLook without{true, true, true, true, true, TBrushStyle::bsSolid, TPanningMode::pmBoth};
  TChart chart;
  chart.View3DOptions().SetOrthogonal(true);
  chart.View3DOptions().SetPerspective(20);
  TPieSeries& pie = chart.AddSeries<TPieSeries>();
  EXPECT_EQ(LookOf(chart), withPie);
  const TView3DOptions& view = chart.View3DOptions();
  EXPECT_FALSE(view.Orthogonal());
  EXPECT_EQ(view.Rotation(), 360);
  EXPECT_EQ(view.Elevation(), 315);
  EXPECT_EQ(view.Perspective(), 0);
  EXPECT_EQ(view.Tilt(), 0);
  pie.SetActive(false);
  EXPECT_EQ(LookOf(chart), without);
  pie.SetActive(true);
  EXPECT_EQ(LookOf(chart), withPie);
  pie.SetParentChart(nullptr);
  EXPECT_EQ(LookOf(chart), without);
  pie.SetParentChart(&chart);
  EXPECT_EQ(LookOf(chart), withPie);
  // Destroyed with the chart still there.
  chart.FreeSeries(pie);
  EXPECT_EQ(LookOf(chart), without);
  EXPECT_EQ(chart.SeriesCount(), 0);
}

TEST_F(PieChart, TheCircleFillsTheChartRectangle) {
  TPieSeries& pie = AddPie({1, 2});
  chart.chartRect = {10, 20, 411, 321};  // odd sizes lose a pixel
  pie.CalcCircle();
  EXPECT_EQ(pie.CircleRect(), (platform::Rect{10, 20, 410, 320}));
  pie.SetCircled(true);
  pie.CalcCircle();
  EXPECT_EQ(pie.CircleRect(), (platform::Rect{60, 20, 360, 320}));
  pie.SetCustomXRadius(30);
  pie.CalcCircle();
  EXPECT_EQ(pie.XRadius(), 30);
  EXPECT_EQ(pie.YRadius(), 150);
  // Marks take room on every side.
  pie.SetCustomXRadius(0);
  pie.SetCircled(false);
  pie.Marks().SetVisible(true);
  pie.CalcCircle();
  EXPECT_LT(pie.YRadius(), 150 - pie.Marks().ArrowLength());
}

TEST_F(PieChart, SmallSlicesGatherIntoTheOtherSlice) {
  TPieSeries& pie = AddPie({50, 30, 10, 6, 4});
  pie.OtherSlice().SetStyle(TPieOtherStyle::poBelowPercent);
  pie.OtherSlice().SetValue(8);
  Prepare(pie);
  ASSERT_EQ(pie.PointCount(), 6);
  EXPECT_EQ(pie.OtherSliceIndex(), 5);
  EXPECT_EQ(pie.PointLabel(5), "Other");
  EXPECT_EQ(pie.PieValues().ValueAt(5), 10);
  EXPECT_TRUE(pie.IsOtherMember(3) && pie.IsOtherMember(4));
  // Half, 30 %, 10 %, the members at the end of the third, and the other slice's 10 %.
  const std::vector<double> ends = Ends(pie);
  const std::vector<double> expected{1, 1.6, 1.8, 1.8, 1.8, 2};
  for (size_t i = 0; i < ends.size(); ++i) EXPECT_NEAR(ends[i], expected[i], 1e-12) << i;
  EXPECT_EQ(pie.CountLegendItems(), 4);
  EXPECT_EQ(pie.LegendToValueIndex(3), 5);
  // The next paint replaces the other slice instead of adding another.
  const int32_t repaints = chart.repaints;
  Prepare(pie);
  EXPECT_EQ(pie.PointCount(), 6);
  EXPECT_EQ(chart.repaints, repaints);
  // Below a value: only the 4.
  pie.OtherSlice().SetStyle(TPieOtherStyle::poBelowValue);
  pie.OtherSlice().SetValue(5);
  Prepare(pie);
  EXPECT_EQ(pie.PieValues().ValueAt(pie.OtherSliceIndex()), 4);
  EXPECT_EQ(pie.CountLegendItems(), 5);
}

TEST(PieSeriesTest, TheLegendSkipsTheGatheredSlices) {
  TChart chart;
  TPieSeries& pie = chart.AddSeries<TPieSeries>();
  for (double v : {50.0, 40.0, 6.0, 4.0}) pie.AddPointValue(v);
  pie.OtherSlice().SetStyle(TPieOtherStyle::poBelowValue);
  pie.OtherSlice().SetValue(10);
  chart.Legend().SetTextStyle(TLegendTextStyle::ltsPlain);
  pie.DoBeforeDrawChart();
  ASSERT_EQ(pie.CountLegendItems(), 3);
  // Text and colour of the third item are the other slice's.
  EXPECT_EQ(chart.LegendItemText(2), "Other");
  EXPECT_EQ(pie.LegendItemColor(2), pie.PointColor(4));
}

TEST_F(PieChart, SortedSlicesAndAZeroTotal) {
  TPieSeries& pie = AddPie({1, 3, 2});
  pie.PieValues().SetOrder(TChartListOrder::loDescending);
  Prepare(pie);
  EXPECT_EQ(pie.PieValues().ValueAt(0), 3);
  EXPECT_EQ(pie.XValues().ValueAt(2), 2);  // numbered afresh
  TPieSeries& zero = AddPie({0, 0});
  Prepare(zero);
  EXPECT_EQ(Ends(zero), (std::vector<double>{2, 2}));
}

TEST_F(PieChart, AnExplodedSliceStandsOutAndTheCircleShrinks) {
  TPieSeries& pie = AddPie({50, 25, 25});
  pie.SetExplodeBiggest(20);
  Prepare(pie);
  // 200 x 150 radii give up half of 20 %.
  EXPECT_EQ(pie.XRadius(), 180);
  EXPECT_EQ(pie.YRadius(), 135);
  // The biggest slice's middle points straight up.
  EXPECT_EQ(pie.SliceOffset(0), (platform::Point{0, 27}));
  EXPECT_EQ(pie.SliceOffset(1), (platform::Point{0, 0}));
  pie.SetExplodedSlice(2, 10);
  EXPECT_EQ(pie.ExplodedSlice(2), 10);
  Prepare(pie);
  // Middle of the last quarter, 7/4 pi: down and right.
  EXPECT_EQ(pie.SliceOffset(2), (platform::Point{13, -10}));
  chart.Surface().ClearOps();
  pie.DrawAllValues();
  const auto pies = chart.Surface().OpsOfKind(OpKind::Pie);
  ASSERT_EQ(pies.size(), 3u);
  // From the start of the slice to its end, counter-clockwise, around the moved centre.
  EXPECT_EQ(pies[0].args, (Args{20, -12, 380, 258, 380, 123, 20, 123}));
}

TEST_F(PieChart, TinySlicesAreLeftOutButASingleSliceIsWhole) {
  TPieSeries& pie = AddPie({1000000, 1});
  Prepare(pie);
  chart.Surface().ClearOps();
  pie.DrawAllValues();
  // The sliver's two rim points meet: it would come out as a whole ellipse.
  EXPECT_EQ(chart.Surface().OpsOfKind(OpKind::Pie).size(), 1u);
  TPieSeries& one = AddPie({5});
  Prepare(one);
  chart.Surface().ClearOps();
  one.DrawAllValues();
  const auto pies = chart.Surface().OpsOfKind(OpKind::Pie);
  ASSERT_EQ(pies.size(), 1u);
  EXPECT_EQ(pies[0].args[4], pies[0].args[6]);
}

TEST_F(PieChart, MarksLieOnTheRayThroughTheMiddle) {
  TPieSeries& pie = AddPie({1, 1});
  Prepare(pie);
  TSeriesMarkPosition top, bottom;
  top.Width = bottom.Width = 30;
  top.Height = bottom.Height = 14;
  pie.DrawMark(0, "1", top);
  pie.DrawMark(1, "1", bottom);
  EXPECT_EQ(top.ArrowFrom, (platform::Point{200, 0}));
  EXPECT_EQ(top.ArrowTo, (platform::Point{200, -8}));
  EXPECT_EQ(top.LeftTop, (platform::Point{200, -21}));
  // The lower half's middle points straight down: the box hangs below the arrow.
  EXPECT_EQ(bottom.ArrowFrom, (platform::Point{200, 300}));
  EXPECT_EQ(bottom.ArrowTo, (platform::Point{200, 308}));
  EXPECT_EQ(bottom.LeftTop, (platform::Point{200, 308}));
}

TEST_F(PieChart, ClicksFindTheSliceUnderTheMouse) {
  TPieSeries& pie = AddPie({1, 1});
  Prepare(pie);
  EXPECT_EQ(pie.Clicked(200, 50), 0);
  EXPECT_EQ(pie.Clicked(200, 250), 1);
  EXPECT_EQ(pie.Clicked(2, 2), -1);
}

}  // namespace
}  // namespace zq
