// Axes: properties and their checks, ranges, value <-> pixel mapping, increments, label values
// and texts, space reservation and hit tests.
#include "engine/axes/axis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/data/format.h"
#include "engine/drawing/errors.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using testing::TTestChart;
using testing::TTestSeries;

template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const ChartException& e) {
    return e.what();
  }
  return "(no exception)";
}

std::vector<double> ValuesOf(const std::vector<TAxisLabel>& labels) {
  std::vector<double> out;
  for (const TAxisLabel& l : labels) out.push_back(l.value);
  return out;
}

std::vector<std::string> TextsOf(const std::vector<TAxisLabel>& labels) {
  std::vector<std::string> out;
  for (const TAxisLabel& l : labels) out.push_back(l.text);
  return out;
}

// ---- properties --------------------------------------------------------------------------

TEST(AxisTest, StartsWithDefaults) {
  TTestChart chart;
  const TCustomChartAxis& a = chart.BottomAxis();
  EXPECT_TRUE(a.Automatic());
  EXPECT_TRUE(a.AutomaticMaximum());
  EXPECT_TRUE(a.AutomaticMinimum());
  EXPECT_TRUE(a.Axis().Visible());
  EXPECT_EQ(a.Axis().Width(), 2);
  EXPECT_EQ(a.AxisValuesFormat(), "#,##0.###");
  EXPECT_EQ(a.DateTimeFormat(), "");
  EXPECT_TRUE(a.ExactDateTime());
  EXPECT_TRUE(a.Grid().Visible());
  EXPECT_EQ(a.Grid().Color(), clGray);
  EXPECT_EQ(a.Grid().Style(), TPenStyle::psDot);
  EXPECT_FALSE(a.GridCentered());
  EXPECT_EQ(a.Increment(), 0);
  EXPECT_FALSE(a.Inverted());
  EXPECT_TRUE(a.Labels());
  EXPECT_EQ(a.LabelsAngle(), 0);
  EXPECT_EQ(a.LabelsFont().Size(), 8);
  EXPECT_FALSE(a.LabelsMultiLine());
  EXPECT_TRUE(a.LabelsOnAxis());
  EXPECT_EQ(a.LabelsSeparation(), 10);
  EXPECT_EQ(a.LabelsSize(), 0);
  EXPECT_EQ(a.LabelStyle(), TAxisLabelStyle::talAuto);
  EXPECT_FALSE(a.Logarithmic());
  EXPECT_EQ(a.LogarithmicBase(), 10);
  EXPECT_EQ(a.Maximum(), 0);
  EXPECT_EQ(a.Minimum(), 0);
  EXPECT_FALSE(a.MinorGrid().Visible());
  EXPECT_EQ(a.MinorTickCount(), 3);
  EXPECT_EQ(a.MinorTickLength(), 2);
  EXPECT_TRUE(a.MinorTicks().Visible());
  EXPECT_EQ(a.MinorTicks().Color(), clGray);
  EXPECT_EQ(a.StartPosition(), 0);
  EXPECT_EQ(a.EndPosition(), 100);
  EXPECT_EQ(a.PositionPercent(), 0);
  EXPECT_TRUE(a.RoundFirstLabel());
  EXPECT_EQ(a.TickInnerLength(), 0);
  EXPECT_EQ(a.TickLength(), 4);
  EXPECT_TRUE(a.TickOnLabelsOnly());
  EXPECT_TRUE(a.Ticks().Visible());
  EXPECT_TRUE(a.TicksInner().Visible());
  EXPECT_EQ(a.Title().Caption(), "");
  EXPECT_EQ(a.TitleSize(), 0);
  EXPECT_TRUE(a.Visible());
}

TEST(AxisTest, TheFiveAxesKnowTheirPlace) {
  TTestChart chart;
  EXPECT_TRUE(chart.BottomAxis().Horizontal());
  EXPECT_FALSE(chart.BottomAxis().OtherSide());
  EXPECT_TRUE(chart.TopAxis().OtherSide());
  EXPECT_TRUE(chart.LeftAxis().Vertical());
  EXPECT_EQ(chart.BottomAxis().Title().Angle(), 0);
  EXPECT_EQ(chart.LeftAxis().Title().Angle(), 90);
  EXPECT_EQ(chart.LeftAxis().DefaultTitleAngle(), 90);
  EXPECT_EQ(chart.RightAxis().Title().Angle(), 270);
  EXPECT_FALSE(chart.LeftAxis().Title().IsAngleStored());
  chart.LeftAxis().Title().SetAngle(0);
  EXPECT_TRUE(chart.LeftAxis().Title().IsAngleStored());
  const TCustomChartAxis& depth = chart.DepthAxis();
  EXPECT_TRUE(depth.IsDepthAxis());
  EXPECT_FALSE(depth.Horizontal());
  EXPECT_FALSE(depth.Vertical());
  EXPECT_TRUE(depth.OtherSide());
  EXPECT_FALSE(depth.Visible());
  EXPECT_EQ(depth.Title().Angle(), 0);
}

TEST(AxisTest, CheckedSettersRaiseAndKeepTheOldValue) {
  TTestChart chart;
  TCustomChartAxis& a = chart.BottomAxis();

  a.SetIncrement(2);
  EXPECT_THROW(a.SetIncrement(-1), AxisException);
  EXPECT_EQ(ErrorOf([&] { a.SetIncrement(-0.5); }), "Axis increment must be >= 0");
  EXPECT_EQ(a.Increment(), 2);

  EXPECT_EQ(ErrorOf([&] { a.SetMinimum(5); }), "Axis Minimum Value must be <= Maximum");
  EXPECT_EQ(a.Minimum(), 0);
  a.SetMaximum(10);
  a.SetMinimum(5);
  EXPECT_EQ(ErrorOf([&] { a.SetMaximum(4); }), "Axis Maximum Value must be >= Minimum");
  EXPECT_EQ(a.Maximum(), 10);
  EXPECT_THROW(a.SetMinimum(11), AxisException);
  // Reading a form resource stores limits in any order.
  chart.loading = true;
  a.SetMinimum(20);
  EXPECT_EQ(a.Minimum(), 20);
  chart.loading = false;

  EXPECT_EQ(ErrorOf([&] { a.SetLogarithmicBase(1); }), "Axis Logarithmic Base should be >= 2");
  EXPECT_THROW(a.SetLogarithmicBase(0), AxisException);
  EXPECT_EQ(a.LogarithmicBase(), 10);
  a.SetLogarithmicBase(2);
  EXPECT_EQ(a.LogarithmicBase(), 2);

  EXPECT_EQ(ErrorOf([&] { a.SetLabelsSeparation(-1); }),
            "Labels Separation % must be greater than 0");
  EXPECT_EQ(a.LabelsSeparation(), 10);
  a.SetLabelsSeparation(0);
  EXPECT_EQ(a.LabelsSeparation(), 0);

  EXPECT_EQ(ErrorOf([&] { a.SetLabelsAngle(361); }),
            "Axis Labels Angle must be between 0 and 359 degrees");
  EXPECT_EQ(ErrorOf([&] { a.SetLabelsAngle(-1); }),
            "Axis Labels Angle must be between 0 and 359 degrees");
  EXPECT_EQ(a.LabelsAngle(), 0);
  a.SetLabelsAngle(360);
  EXPECT_EQ(a.LabelsAngle(), 360);

  EXPECT_EQ(ErrorOf([&] { a.Title().SetAngle(400); }),
            "Axis Title Angle must be between 0 and 359 degrees");
  EXPECT_EQ(ErrorOf([&] { a.Title().SetAngle(-90); }),
            "Axis Title Angle must be between 0 and 359 degrees");
  EXPECT_EQ(a.Title().Angle(), 0);
}

TEST(AxisTest, LogarithmicNeedsNonNegativeNumbers) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, -5);
  s.AddPointXY(2, 5);
  TCustomChartAxis& left = chart.LeftAxis();
  EXPECT_EQ(ErrorOf([&] { left.SetLogarithmic(true); }),
            "Logarithmic Axis Min and Max values should be >= 0");
  EXPECT_FALSE(left.Logarithmic());
  // A manual range decides when the axis is not automatic.
  left.SetMinMax(1, 100);
  left.SetLogarithmic(true);
  EXPECT_TRUE(left.Logarithmic());
  left.SetLogarithmic(false);
  left.SetMinMax(-1, 100);
  EXPECT_THROW(left.SetLogarithmic(true), AxisException);

  s.XValues().SetDateTime(true);
  EXPECT_EQ(ErrorOf([&] { chart.BottomAxis().SetLogarithmic(true); }),
            "DateTime Axis cannot be Logarithmic");
  EXPECT_FALSE(chart.BottomAxis().Logarithmic());
}

TEST(AxisTest, AutomaticFlagsFollowEachOther) {
  TTestChart chart;
  TCustomChartAxis& a = chart.BottomAxis();
  a.SetAutomaticMinimum(false);
  EXPECT_FALSE(a.Automatic());
  EXPECT_TRUE(a.AutomaticMaximum());
  a.SetAutomaticMinimum(true);
  EXPECT_TRUE(a.Automatic());
  a.SetAutomatic(false);
  EXPECT_FALSE(a.AutomaticMinimum());
  EXPECT_FALSE(a.AutomaticMaximum());
  // One flag back on is not enough for Automatic.
  a.SetAutomaticMaximum(true);
  EXPECT_FALSE(a.Automatic());
  a.SetAutomaticMinimum(true);
  EXPECT_TRUE(a.Automatic());
  chart.loading = true;
  a.SetAutomatic(false);
  EXPECT_FALSE(a.Automatic());
  EXPECT_TRUE(a.AutomaticMinimum());
}

TEST(AxisTest, SettersRepaintOnlyOnChange) {
  TTestChart chart;
  TCustomChartAxis& a = chart.BottomAxis();
  int32_t before = chart.repaints;
  a.SetInverted(true);
  a.SetLabelStyle(TAxisLabelStyle::talNone);
  a.Title().SetCaption("X");
  a.Grid().SetColor(clRed);
  a.LabelsFont().SetSize(10);
  EXPECT_EQ(chart.repaints, before + 5);
  before = chart.repaints;
  a.SetInverted(true);
  a.SetLabelStyle(TAxisLabelStyle::talNone);
  a.Title().SetCaption("X");
  EXPECT_EQ(chart.repaints, before);
}

TEST(AxisTest, AssignCopiesThePublishedProperties) {
  TTestChart chart;
  TCustomChartAxis& a = chart.BottomAxis();
  a.SetInverted(true);
  a.SetIncrement(5);
  a.Title().SetCaption("Time");
  a.Grid().SetVisible(false);
  a.SetMinMax(1, 2);
  chart.TopAxis().Assign(a);
  EXPECT_TRUE(chart.TopAxis().Inverted());
  EXPECT_EQ(chart.TopAxis().Increment(), 5);
  EXPECT_EQ(chart.TopAxis().Title().Caption(), "Time");
  EXPECT_FALSE(chart.TopAxis().Grid().Visible());
  EXPECT_FALSE(chart.TopAxis().Automatic());
  EXPECT_EQ(chart.TopAxis().Maximum(), 2);
}

// ---- ranges ------------------------------------------------------------------------------

TEST(AxisTest, EmptyChartScalesFromZeroToZeroWithEveryValueAtTheCentre) {
  TTestChart chart;
  chart.PrepareAxes();
  for (TCustomChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis(), &chart.TopAxis()}) {
    EXPECT_EQ(a->IMinimum(), 0);
    EXPECT_EQ(a->IMaximum(), 0);
    EXPECT_EQ(a->IRange(), 0);
    EXPECT_EQ(a->ValueToPixel(0), a->ICenterPos());
    EXPECT_EQ(a->ValueToPixel(1e9), a->ICenterPos());
    EXPECT_TRUE(a->ComputeLabels().empty());
  }
  EXPECT_EQ(chart.BottomAxis().ICenterPos(), 250);
  EXPECT_EQ(chart.LeftAxis().ICenterPos(), 170);
}

TEST(AxisTest, AutomaticRangeCoversTheAssociatedSeries) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  TTestSeries& top = chart.Add();
  a.AddPointXY(2, 10);
  a.AddPointXY(4, 30);
  b.AddPointXY(-1, 20);
  top.SetHorizAxis(THorizAxis::aTopAxis);
  top.AddPointXY(100, -7);
  chart.PrepareAxes();
  EXPECT_EQ(chart.BottomAxis().IMinimum(), -1);
  EXPECT_EQ(chart.BottomAxis().IMaximum(), 4);
  EXPECT_EQ(chart.TopAxis().IMinimum(), 100);
  EXPECT_EQ(chart.LeftAxis().IMinimum(), -7);
  EXPECT_EQ(chart.LeftAxis().IMaximum(), 30);
  EXPECT_EQ(chart.LeftAxis().Minimum(), -7);

  // Inactive series count only when no active one is associated.
  b.SetActive(false);
  chart.PrepareAxes();
  EXPECT_EQ(chart.BottomAxis().IMinimum(), 2);
  a.SetActive(false);
  chart.PrepareAxes();
  EXPECT_EQ(chart.BottomAxis().IMinimum(), -1);

  // A series on both axes counts for both.
  top.SetHorizAxis(THorizAxis::aBothHorizAxis);
  chart.PrepareAxes();
  EXPECT_EQ(chart.BottomAxis().IMaximum(), 100);
  EXPECT_EQ(chart.TopAxis().IMaximum(), 100);
}

TEST(AxisTest, ManualLimitsReplaceOnlyTheAutomaticSide) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(10, 50);
  TCustomChartAxis& a = chart.LeftAxis();
  a.SetAutomaticMaximum(false);
  a.SetMaximum(80);
  chart.PrepareAxes();
  EXPECT_EQ(a.IMinimum(), 0);
  EXPECT_EQ(a.IMaximum(), 80);
}

TEST(AxisTest, SetMinMaxOrdersAndSeparatesTheLimits) {
  TTestChart chart;
  TCustomChartAxis& a = chart.LeftAxis();
  a.SetMinMax(5, 5);
  EXPECT_FALSE(a.Automatic());
  EXPECT_FALSE(a.AutomaticMinimum());
  EXPECT_FALSE(a.AutomaticMaximum());
  EXPECT_EQ(a.Minimum(), 5);
  EXPECT_DOUBLE_EQ(a.Maximum(), 5.0000000001);
  EXPECT_GT(a.Maximum(), 5);
  a.SetMinMax(9, 3);
  EXPECT_EQ(a.Minimum(), 3);
  EXPECT_EQ(a.Maximum(), 9);
  chart.PrepareAxes();
  EXPECT_EQ(a.IRange(), 6);
}

TEST(AxisTest, ScrollingMovesBothLimitsWithinTheData) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(10, 0);
  TCustomChartAxis& a = chart.BottomAxis();
  a.SetMinMax(2, 8);
  EXPECT_TRUE(a.ScrollBy(1, true));
  EXPECT_EQ(a.Minimum(), 3);
  EXPECT_EQ(a.Maximum(), 9);
  EXPECT_TRUE(a.ScrollBy(2, true));
  EXPECT_FALSE(a.ScrollBy(1, true));  // the data ends at 10
  EXPECT_EQ(a.Maximum(), 11);
  EXPECT_TRUE(a.ScrollBy(-5, true));
  EXPECT_EQ(a.Minimum(), 0);
  EXPECT_FALSE(a.ScrollBy(-1, true));
  EXPECT_TRUE(a.ScrollBy(-1, false));
  EXPECT_EQ(a.Minimum(), -1);
  // Scrolling an automatic axis fixes its range.
  TCustomChartAxis& left = chart.LeftAxis();
  left.ScrollBy(2, false);
  EXPECT_FALSE(left.Automatic());
  EXPECT_EQ(left.Minimum(), 2);
}

class PagingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t i = 0; i < 25; ++i) s.AddPointXY(i * 2, 100 - i);
    chart.maxPointsPerPage = 10;
  }
  std::pair<double, double> Range(int32_t page) {
    chart.page = page;
    chart.PrepareAxes();
    return {chart.BottomAxis().IMinimum(), chart.BottomAxis().IMaximum()};
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
};

TEST_F(PagingTest, EachPageShowsItsSliceOfTheOrderedCoordinate) {
  EXPECT_EQ(Range(1), (std::pair<double, double>{0, 18}));
  EXPECT_EQ(Range(2), (std::pair<double, double>{20, 38}));
  EXPECT_EQ(Range(3), (std::pair<double, double>{40, 48}));
  // Beyond the count: the last full page.
  EXPECT_EQ(Range(7), (std::pair<double, double>{20, 38}));
  // The value axis keeps the whole range.
  EXPECT_EQ(chart.LeftAxis().IMinimum(), 76);
  EXPECT_EQ(chart.LeftAxis().IMaximum(), 100);
}

TEST_F(PagingTest, ShortLastPageKeepsTheFullPageScaleOnRequest) {
  chart.scaleLastPage = false;
  // Five points from 40 to 48 spread as ten would.
  EXPECT_EQ(Range(3), (std::pair<double, double>{40, 56}));
  EXPECT_EQ(Range(2), (std::pair<double, double>{20, 38}));
}

TEST_F(PagingTest, FewerPointsThanAPage) {
  TTestChart small;
  TTestSeries& t = small.Add();
  for (int32_t i = 0; i < 4; ++i) t.AddPointXY(i, i);
  small.maxPointsPerPage = 10;
  small.PrepareAxes();
  EXPECT_EQ(small.BottomAxis().IMaximum(), 3);
  t.ClearPoints();
  small.PrepareAxes();
  EXPECT_EQ(small.BottomAxis().IMaximum(), 0);
}

// ---- value <-> pixel ---------------------------------------------------------------------

class MappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.AddPointXY(0, 0);
    s.AddPointXY(10, 100);
    chart.PrepareAxes();
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
  TCustomChartAxis& bottom = chart.BottomAxis();
  TCustomChartAxis& left = chart.LeftAxis();
};

TEST_F(MappingTest, LinearAxesMapAcrossTheChartRectangle) {
  EXPECT_EQ(bottom.IStartPos(), 50);
  EXPECT_EQ(bottom.IEndPos(), 450);
  EXPECT_EQ(bottom.IAxisSize(), 400);
  EXPECT_EQ(bottom.ValueToPixel(0), 50);
  EXPECT_EQ(bottom.ValueToPixel(2.5), 150);
  EXPECT_EQ(bottom.ValueToPixelX(10), 450);
  EXPECT_EQ(left.ValueToPixelY(0), 320);
  EXPECT_EQ(left.ValueToPixel(25), 245);
  EXPECT_EQ(left.ValueToPixel(100), 20);
  EXPECT_EQ(bottom.PixelToValue(150), 2.5);
  EXPECT_EQ(left.PixelToValue(245), 25);
  // Halves round to even.
  EXPECT_EQ(bottom.ValueToPixel(0.0125), 50);  // 0.5 pixel
  EXPECT_EQ(bottom.ValueToPixel(0.0375), 52);  // 1.5 pixels
}

TEST_F(MappingTest, InvertedAxesSwapTheirEnds) {
  left.SetInverted(true);
  bottom.SetInverted(true);
  EXPECT_EQ(left.ValueToPixel(left.IMinimum()), left.IStartPos());
  EXPECT_EQ(left.ValueToPixel(100), 320);
  EXPECT_EQ(left.ValueToPixel(25), 95);
  EXPECT_EQ(left.PixelToValue(95), 25);
  EXPECT_EQ(bottom.ValueToPixel(0), 450);
  EXPECT_EQ(bottom.ValueToPixel(2.5), 350);
  EXPECT_EQ(bottom.PixelToValue(350), 2.5);
}

TEST_F(MappingTest, HugeAndInvalidValuesGoToTheCentre) {
  EXPECT_EQ(bottom.ValueToPixel(1e300), 250);
  EXPECT_EQ(bottom.ValueToPixel(-1e300), 250);
  EXPECT_EQ(bottom.ValueToPixel(std::numeric_limits<double>::infinity()), 250);
  EXPECT_EQ(bottom.ValueToPixel(std::numeric_limits<double>::quiet_NaN()), 250);
  // Just below the overflow limit the pixel is still computed.
  EXPECT_EQ(bottom.ValueToPixel(5e7), 50 + 2000000000);
  EXPECT_EQ(bottom.ValueToPixel(5.4e7), 250);
  left.SetWorkingRange(-1e308, 1e308);
  EXPECT_EQ(left.ValueToPixel(0), 170);
}

TEST_F(MappingTest, PixelMapsAnswerAsTheAxisAndVouchForTheirRanges) {
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> unit(0, 1);
  struct Range {
    double minimum, maximum;
    bool inverted, logarithmic;
  };
  const Range ranges[] = {{0, 10, false, false},        {-3.7, 1e-3, true, false},
                          {1e9, 1e9 + 7, false, false}, {1e-200, 3e-200, false, false},
                          {-1e250, 1e250, true, false}, {1, 1000, false, true},
                          {5, 5, false, false}};
  for (const Range& r : ranges) {
    for (TCustomChartAxis* axis : {&bottom, &left}) {
      axis->SetInverted(r.inverted);
      axis->SetLogarithmic(r.logarithmic);
      axis->SetWorkingRange(r.minimum, r.maximum);
      const TAxisPixelMap map = axis->PixelMap();
      const double span = r.maximum - r.minimum;
      std::vector<double> values = {r.minimum,
                                    r.maximum,
                                    0,
                                    -0.0,
                                    1e300,
                                    -1e300,
                                    std::numeric_limits<double>::quiet_NaN(),
                                    std::numeric_limits<double>::infinity()};
      for (int i = 0; i < 20000; ++i) {
        const double v = r.minimum + span * (unit(rng) * 1.4 - 0.2);
        values.push_back(v);
        // Values whose pixel lies half-way, and their neighbours.
        const double half = r.minimum + span * (std::floor(unit(rng) * axis->IAxisSize()) + 0.5) /
                                            axis->IAxisSize();
        values.push_back(half);
        values.push_back(std::nextafter(half, 1e308));
        values.push_back(std::nextafter(half, -1e308));
      }
      for (double v : values) {
        ASSERT_EQ(map(v), axis->ValueToPixel(v)) << v << " on " << r.minimum << ".." << r.maximum;
        double lo = 0, hi = 0;
        if (map.SamePixelRange(v, lo, hi)) {
          ASSERT_LE(lo, v);
          ASSERT_GE(hi, v);
          for (double w : {lo, hi, lo + (hi - lo) * unit(rng), std::nextafter(lo, hi)})
            ASSERT_EQ(axis->ValueToPixel(w), axis->ValueToPixel(v)) << w << " beside " << v;
        }
      }
    }
  }
}

TEST_F(MappingTest, TinyAxesGiveZeroValues) {
  chart.chartRect = {50, 20, 50, 20};
  bottom.ComputeAxisPositions();
  EXPECT_EQ(bottom.IAxisSize(), 0);
  EXPECT_EQ(bottom.PixelToValue(60), 0);
}

TEST_F(MappingTest, StartAndEndPositionsNarrowTheAxis) {
  bottom.SetStartPosition(25);
  bottom.SetEndPosition(75);
  bottom.ComputeAxisPositions();
  EXPECT_EQ(bottom.IStartPos(), 150);
  EXPECT_EQ(bottom.IEndPos(), 350);
  EXPECT_EQ(bottom.ICenterPos(), 250);
  EXPECT_EQ(bottom.ValueToPixel(10), 350);
}

TEST_F(MappingTest, LogarithmicAxesMapLogarithms) {
  bottom.SetLogarithmic(true);
  bottom.SetWorkingRange(1, 1000);
  EXPECT_EQ(bottom.ValueToPixel(1), 50);
  EXPECT_EQ(bottom.ValueToPixel(10), 50 + 133);
  EXPECT_EQ(bottom.ValueToPixel(1000), 450);
  EXPECT_EQ(bottom.ValueToPixel(0), 50);
  EXPECT_EQ(bottom.ValueToPixel(-3), 50);
  EXPECT_EQ(bottom.PixelToValue(50), 1);
  EXPECT_EQ(bottom.PixelToValue(450), 1000);
  EXPECT_NEAR(bottom.PixelToValue(50 + 133), 10, 0.1);
  bottom.SetInverted(true);
  EXPECT_EQ(bottom.ValueToPixel(1), 450);
  EXPECT_EQ(bottom.ValueToPixel(-3), 450);
  EXPECT_EQ(bottom.PixelToValue(450), 1);
  EXPECT_NEAR(bottom.PixelToValue(bottom.ValueToPixel(100)), 100, 2);

  left.SetLogarithmic(true);
  left.SetWorkingRange(1, 100);
  EXPECT_EQ(left.ValueToPixel(10), 170);
  EXPECT_EQ(left.ValueToPixel(0), 320);
  EXPECT_EQ(left.PixelToValue(20), 100);
  EXPECT_NEAR(left.PixelToValue(170), 10, 1e-9);
  left.SetInverted(true);
  EXPECT_EQ(left.ValueToPixel(0), 20);
  EXPECT_EQ(left.PixelToValue(20), 1);
  // A zero log range maps to the centre.
  left.SetWorkingRange(-5, 1);
  EXPECT_EQ(left.ValueToPixel(7), 170);
  EXPECT_EQ(left.PixelToValue(100), -5);
}

TEST(AxisTest, DepthAxisMapsIntoTheDepth) {
  TTestChart chart;
  chart.width3D = 48;
  TCustomChartAxis& depth = chart.DepthAxis();
  depth.SetWorkingRange(-0.5, 2.5);
  EXPECT_EQ(depth.ValueToPixel(0), 8);
  EXPECT_EQ(depth.ValueToPixel(2), 40);
  EXPECT_EQ(depth.PixelToValue(40), 2);
  depth.SetInverted(true);
  EXPECT_EQ(depth.ValueToPixel(2), 8);
  depth.SetWorkingRange(1, 1);
  EXPECT_EQ(depth.ValueToPixel(1), 24);
}

TEST_F(MappingTest, MarginsWidenTheRange) {
  bottom.AdjustRangeForMargins(40, 40);
  EXPECT_DOUBLE_EQ(bottom.IMinimum(), -1.25);
  EXPECT_DOUBLE_EQ(bottom.IMaximum(), 11.25);
  EXPECT_EQ(bottom.IStartPos(), 50);
  EXPECT_EQ(bottom.IEndPos(), 450);
  EXPECT_EQ(bottom.ValueToPixel(0), 90);

  left.AdjustRangeForMargins(30, 30);
  EXPECT_DOUBLE_EQ(left.IMinimum(), -12.5);
  EXPECT_DOUBLE_EQ(left.IMaximum(), 112.5);
  EXPECT_EQ(left.ValueToPixel(100), 50);

  left.SetInverted(true);
  left.SetWorkingRange(0, 100);
  left.AdjustRangeForMargins(30, 0);
  // 30 of the remaining 270 pixels, at the top where the minimum lies.
  EXPECT_DOUBLE_EQ(left.IMinimum(), -100.0 / 9);
  EXPECT_DOUBLE_EQ(left.IMaximum(), 100);
}

// ---- increments and label values ---------------------------------------------------------

TEST(AxisTest, StepSequences) {
  EXPECT_EQ(NextNumericStep(1), 2);
  EXPECT_EQ(NextNumericStep(1.5), 2);
  EXPECT_EQ(NextNumericStep(2), 5);
  EXPECT_EQ(NextNumericStep(5), 10);
  EXPECT_EQ(NextNumericStep(10), 20);
  EXPECT_EQ(NextNumericStep(50), 100);
  EXPECT_EQ(NextNumericStep(7000), 10000);
  EXPECT_DOUBLE_EQ(NextNumericStep(0.2), 0.5);
  EXPECT_DOUBLE_EQ(NextNumericStep(1e-12), 2e-12);
  double step = 1e-12;
  for (int i = 0; i < 36; ++i) step = NextNumericStep(step);  // three a decade
  EXPECT_DOUBLE_EQ(step, 1);
  EXPECT_EQ(NextNumericStep(std::numeric_limits<double>::infinity()),
            std::numeric_limits<double>::infinity());

  EXPECT_EQ(FindDateTimeStep(30), kStepOneMonth);
  EXPECT_EQ(FindDateTimeStep(1), kStepOneDay);
  EXPECT_EQ(FindDateTimeStep(365), kStepOneYear);
  EXPECT_EQ(FindDateTimeStep(1.0 / 24), 10);
  EXPECT_EQ(FindDateTimeStep(31), kNoDateTimeStep);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(kOneSecond), 5 * kOneSecond);
  EXPECT_EQ(NextDateTimeStep(1.5), 2);
  EXPECT_EQ(NextDateTimeStep(15), 30);
  EXPECT_EQ(NextDateTimeStep(200), 365);
  EXPECT_EQ(NextDateTimeStep(365), 730);
  EXPECT_EQ(NextDateTimeStep(0), kOneSecond);
}

TEST(AxisTest, HundredOnThreeHundredPixelsGetsTwentyOneLabelsEveryFive) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(1, 100);
  TCustomChartAxis& left = chart.LeftAxis();
  left.LabelsFont().SetHeight(-12);  // 13 pixels high
  chart.PrepareAxes();
  ASSERT_EQ(left.IAxisSize(), 300);
  EXPECT_EQ(left.ComputeIncrement(), 5);
  const std::vector<TAxisLabel> labels = left.ComputeLabels();
  ASSERT_EQ(labels.size(), 21u);
  EXPECT_EQ(labels.front().value, 100);
  EXPECT_EQ(labels.front().position, 20);
  EXPECT_EQ(labels.front().text, "100");
  EXPECT_EQ(labels[1].value, 95);
  EXPECT_EQ(labels.back().value, 0);
  EXPECT_EQ(labels.back().position, 320);

  // A fixed increment is a starting point: it still grows until the labels fit.
  left.SetIncrement(1);
  EXPECT_EQ(left.ComputeIncrement(), 5);
  left.SetIncrement(20);
  EXPECT_EQ(left.ComputeIncrement(), 20);
  EXPECT_EQ(left.ComputeLabels().size(), 6u);
  // Without separation the increment is not searched.
  left.SetIncrement(0);
  left.SetLabelsSeparation(0);
  EXPECT_EQ(left.ComputeIncrement(), 1);
}

TEST(AxisTest, RoundFirstLabelStartsOnAMultipleOfTheIncrement) {
  TTestChart chart;
  TCustomChartAxis& bottom = chart.BottomAxis();
  TTestSeries& s = chart.Add();
  s.AddPointXY(0.3, 0);
  s.AddPointXY(9.7, 0);
  chart.PrepareAxes();
  bottom.SetIncrement(2);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{8, 6, 4, 2}));
  bottom.SetRoundFirstLabel(false);
  const std::vector<double> values = ValuesOf(bottom.ComputeLabels());
  ASSERT_EQ(values.size(), 5u);
  EXPECT_DOUBLE_EQ(values[0], 9.7);
  EXPECT_DOUBLE_EQ(values[4], 1.7);
}

TEST(AxisTest, LabelsOffTheAxisEndsCanBeDropped) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(10, 0);
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(5);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{10, 5, 0}));
  bottom.SetLabelsOnAxis(false);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{5}));
}

TEST(AxisTest, LogarithmicLabelsArePowersOfTheBase) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, 0);
  s.AddPointXY(1000, 0);
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetLogarithmic(true);
  chart.PrepareAxes();
  const std::vector<TAxisLabel> labels = bottom.ComputeLabels();
  EXPECT_EQ(ValuesOf(labels), (std::vector<double>{1, 10, 100, 1000}));
  EXPECT_EQ(TextsOf(labels), (std::vector<std::string>{"1", "10", "100", "1,000"}));
  EXPECT_EQ(labels[1].position, 183);

  // The first power is the one nearest to the minimum; those below it are left out.
  bottom.SetWorkingRange(40, 5000);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{100, 1000}));
  bottom.SetLogarithmicBase(2);
  bottom.SetWorkingRange(1, 20);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{1, 2, 4, 8, 16}));
  // A zero minimum starts the labels at 0.1.
  bottom.SetLogarithmicBase(10);
  bottom.SetWorkingRange(0, 10);
  EXPECT_EQ(ValuesOf(bottom.ComputeLabels()), (std::vector<double>{0.1, 1, 10}));
  bottom.SetWorkingRange(5, 5);
  EXPECT_TRUE(bottom.ComputeLabels().empty());
}

class DateTimeLabelsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.XValues().SetDateTime(true);
    s.AddPointXY(EncodeDate(2024, 1, 1), 1);
    s.AddPointXY(EncodeDate(2024, 4, 1), 2);
    // Room for four labels of 8 characters.
    chart.chartRect = {50, 20, 250, 320};
    chart.PrepareAxes();
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
  TCustomChartAxis& bottom = chart.BottomAxis();
};

TEST_F(DateTimeLabelsTest, ExactMonthStepsLandOnTheFirstOfEachMonth) {
  bottom.SetIncrement(30);
  const std::vector<TAxisLabel> labels = bottom.ComputeLabels();
  EXPECT_TRUE(bottom.IsDateTime());
  EXPECT_EQ(bottom.LabelStepIndex(30), kStepOneMonth);
  EXPECT_EQ(ValuesOf(labels),
            (std::vector<double>{EncodeDate(2024, 4, 1), EncodeDate(2024, 3, 1),
                                 EncodeDate(2024, 2, 1), EncodeDate(2024, 1, 1)}));
  EXPECT_EQ(TextsOf(labels),
            (std::vector<std::string>{"4/1/2024", "3/1/2024", "2/1/2024", "1/1/2024"}));
}

TEST_F(DateTimeLabelsTest, AutomaticIncrementCountsThirtyDaysFromTheOrigin) {
  EXPECT_EQ(bottom.ComputeIncrement(), 30);
  const std::vector<double> values = ValuesOf(bottom.ComputeLabels());
  ASSERT_EQ(values.size(), 3u);
  for (double v : values) EXPECT_EQ(std::fmod(v, 30), 0) << v;
  EXPECT_EQ(values[0], 45360);
}

TEST_F(DateTimeLabelsTest, WithoutExactDateTimeMonthsAreThirtyDays) {
  bottom.SetIncrement(30);
  bottom.SetExactDateTime(false);
  for (double v : ValuesOf(bottom.ComputeLabels())) EXPECT_EQ(std::fmod(v, 30), 0) << v;
}

TEST_F(DateTimeLabelsTest, CalendarStepsOfOtherLengths) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  bottom.SetIncrement(15);  // half months
  std::vector<double> values = ValuesOf(bottom.ComputeLabels());
  EXPECT_EQ(bottom.LabelStepIndex(15), kStepHalfMonth);
  ASSERT_GE(values.size(), 3u);
  EXPECT_EQ(values[0], EncodeDate(2024, 4, 1));
  EXPECT_EQ(values[1], EncodeDate(2024, 3, 15));
  EXPECT_EQ(values[2], EncodeDate(2024, 3, 1));
  bottom.SetIncrement(365);
  bottom.SetWorkingRange(EncodeDate(2019, 6, 1), EncodeDate(2024, 6, 1));
  values = ValuesOf(bottom.ComputeLabels());
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(values[0], EncodeDate(2024, 1, 1));
  EXPECT_EQ(values.back(), EncodeDate(2020, 1, 1));
}

TEST_F(DateTimeLabelsTest, DateTimeTexts) {
  EXPECT_EQ(bottom.LabelText(EncodeDate(2024, 2, 29)), "2/29/2024");
  EXPECT_EQ(bottom.LabelText(-1), "");
  bottom.SetDateTimeFormat("mmm yyyy");
  EXPECT_EQ(bottom.LabelText(EncodeDate(2024, 2, 29)), "Feb 2024");
  // A range of a day or less shows times.
  bottom.SetDateTimeFormat("");
  bottom.SetWorkingRange(EncodeDate(2024, 1, 1), EncodeDate(2024, 1, 1) + 0.5);
  EXPECT_EQ(bottom.LabelText(EncodeDate(2024, 1, 1) + 0.25), "6:00 AM");
  // A tiny automatic increment is a second at least.
  EXPECT_GE(bottom.ComputeIncrement(), kOneSecond);
}

TEST(AxisTest, MultiLineLabelsBreakAtBlanks) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(1, 100);
  TCustomChartAxis& left = chart.LeftAxis();
  left.SetAxisValuesFormat("0 'kg'");
  EXPECT_EQ(left.LabelText(5), "5 kg");
  left.SetLabelsMultiLine(true);
  EXPECT_EQ(left.LabelText(5), "5\rkg");
  chart.Canvas().SetFont(left.LabelsFont());
  EXPECT_EQ(left.LabelHeight(left.LabelText(5)), 2 * 12);
  EXPECT_EQ(left.LabelWidth(left.LabelText(5)), 2 * 6);
  chart.PrepareAxes();
  const std::vector<TAxisLabel> labels = left.ComputeLabels();
  ASSERT_FALSE(labels.empty());
  EXPECT_EQ(labels[0].text, "100\rkg");
}

TEST(AxisTest, LabelEventsChangeTextsAndValues) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(100, 0);
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  chart.onGetAxisLabel = [](TCustomChartAxis&, TChartSeries* series, int32_t index,
                            std::string& text) {
    if (!series && index == -1) text = "<" + text + ">";
  };
  EXPECT_EQ(bottom.LabelText(7), "<7>");
  EXPECT_EQ(bottom.LabelText(7, false), "7");

  chart.onGetNextAxisLabel = [](TCustomChartAxis&, int32_t index, double& value, bool& stop) {
    const double values[] = {0, 33, 66, 200};
    if (index < 4) {
      value = values[index];
      stop = false;
    }
  };
  const std::vector<TAxisLabel> labels = bottom.ComputeLabels();
  EXPECT_EQ(ValuesOf(labels), (std::vector<double>{0, 33, 66}));
  EXPECT_EQ(labels[1].text, "<33>");

  // Stopping at once leaves the labels to the axis.
  chart.onGetNextAxisLabel = [](TCustomChartAxis&, int32_t, double&, bool&) {};
  EXPECT_EQ(bottom.ComputeLabels().size(), 11u);
}

TEST(AxisTest, NoLabelsForAReversedRange) {
  TTestChart chart;
  chart.Add().AddPointXY(0, 0);
  TCustomChartAxis& bottom = chart.BottomAxis();
  chart.PrepareAxes();
  bottom.SetWorkingRange(5, 1);
  EXPECT_TRUE(bottom.ComputeLabelValues(1).empty());
  bottom.SetWorkingRange(0, 1e9);
  EXPECT_TRUE(bottom.ComputeLabelValues(1).empty());  // 10000 labels or more
  bottom.SetWorkingRange(1e20, 1e20);
  EXPECT_EQ(bottom.ComputeLabelValues(1).size(), 1u);
}

// ---- label styles ------------------------------------------------------------------------

TEST(AxisTest, EffectiveLabelStyleFollowsTheSeries) {
  TTestChart chart;
  EXPECT_EQ(chart.BottomAxis().EffectiveLabelStyle(), TAxisLabelStyle::talNone);
  EXPECT_EQ(chart.DepthAxis().EffectiveLabelStyle(), TAxisLabelStyle::talText);
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, 1);
  EXPECT_EQ(chart.BottomAxis().EffectiveLabelStyle(), TAxisLabelStyle::talValue);
  EXPECT_EQ(chart.TopAxis().EffectiveLabelStyle(), TAxisLabelStyle::talNone);
  s.SetPointLabel(0, "Mon");
  EXPECT_EQ(chart.BottomAxis().EffectiveLabelStyle(), TAxisLabelStyle::talText);
  EXPECT_EQ(chart.LeftAxis().EffectiveLabelStyle(), TAxisLabelStyle::talValue);
  s.xMandatory = true;
  EXPECT_EQ(chart.BottomAxis().EffectiveLabelStyle(), TAxisLabelStyle::talValue);
  EXPECT_EQ(chart.LeftAxis().EffectiveLabelStyle(), TAxisLabelStyle::talText);
  chart.LeftAxis().SetLabelStyle(TAxisLabelStyle::talMark);
  EXPECT_EQ(chart.LeftAxis().EffectiveLabelStyle(), TAxisLabelStyle::talMark);
  s.SetHasZValues(true);
  EXPECT_EQ(chart.DepthAxis().EffectiveLabelStyle(), TAxisLabelStyle::talValue);
  s.SetActive(false);
  EXPECT_EQ(chart.BottomAxis().EffectiveLabelStyle(), TAxisLabelStyle::talNone);
  EXPECT_EQ(chart.DepthAxis().EffectiveLabelStyle(), TAxisLabelStyle::talText);
}

TEST(AxisTest, TextLabelsComeFromThePointsAndSkipCollisions) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  for (int32_t i = 0; i <= 10; ++i) s.AddPointXY(i, i, std::string(10, char('a' + i)));
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  // Labels 60 pixels wide, 40 apart: every other one fits.
  std::vector<TAxisLabel> labels = bottom.ComputeLabels();
  EXPECT_EQ(ValuesOf(labels), (std::vector<double>{0, 2, 4, 6, 8, 10}));
  EXPECT_EQ(labels[1].text, "cccccccccc");
  EXPECT_EQ(labels[1].position, 130);
  bottom.SetLabelsSeparation(0);
  EXPECT_EQ(bottom.ComputeLabels().size(), 11u);
  // Only points inside the range, and marks texts for talMark.
  bottom.SetLabelsSeparation(10);
  bottom.SetWorkingRange(3, 6);
  bottom.SetLabelStyle(TAxisLabelStyle::talMark);
  s.Marks().SetStyle(TSeriesMarksStyle::smsValue);
  labels = bottom.ComputeLabels();
  EXPECT_EQ(TextsOf(labels), (std::vector<std::string>{"3", "4", "5", "6"}));
  // The label event sees the series and the point.
  chart.onGetAxisLabel = [](TCustomChartAxis&, TChartSeries* series, int32_t index,
                            std::string& text) {
    if (series) text += "#" + std::to_string(index);
  };
  EXPECT_EQ(bottom.ComputeLabels()[0].text, "3#3");
}

TEST(AxisTest, DepthAxisNamesTheSeriesAtEachDepth) {
  TTestChart chart;
  chart.view3D = true;
  chart.width3D = 48;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  TTestSeries& c = chart.Add();
  a.SetTitle("First");
  c.SetName("Third");
  chart.AssignZOrders();
  chart.PrepareAxes();
  TCustomChartAxis& depth = chart.DepthAxis();
  EXPECT_EQ(depth.IMinimum(), -0.5);
  EXPECT_EQ(depth.IMaximum(), 2.5);
  const std::vector<TAxisLabel> labels = depth.ComputeLabels();
  EXPECT_EQ(TextsOf(labels), (std::vector<std::string>{"First", "Series 1", "Third"}));
  // The first series lies deepest.
  EXPECT_EQ(labels[0].position, 40);
  EXPECT_EQ(labels[2].position, 8);
  (void)b;

  // With value labels the range is the first active series' z order.
  b.SetHasZValues(true);
  chart.PrepareAxes();
  EXPECT_EQ(depth.IMinimum(), a.MinZValue());
}

// ---- widths, space and hit tests ---------------------------------------------------------

TEST(AxisTest, WidestLabelByStyle) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(1, 1000);
  chart.PrepareAxes();
  TCustomChartAxis& left = chart.LeftAxis();
  chart.Canvas().SetFont(left.LabelsFont());
  // "1,000" and a blank.
  EXPECT_EQ(left.MaxLabelWidth(), 5 * 6 + 6);
  // The axis-label event does not count.
  chart.onGetAxisLabel = [](TCustomChartAxis&, TChartSeries*, int32_t, std::string& text) {
    text = "a much longer label";
  };
  EXPECT_EQ(left.MaxLabelWidth(), 5 * 6 + 6);
  chart.onGetAxisLabel = nullptr;
  s.SetPointLabel(1, "eight ch");
  left.SetLabelStyle(TAxisLabelStyle::talText);
  EXPECT_EQ(left.MaxLabelWidth(), 8 * 6);
  left.SetLabelStyle(TAxisLabelStyle::talMark);
  s.Marks().SetStyle(TSeriesMarksStyle::smsLabelValue);
  EXPECT_EQ(left.MaxLabelWidth(), 14 * 6);  // "eight ch 1,000"
  left.SetLabelStyle(TAxisLabelStyle::talNone);
  EXPECT_EQ(left.MaxLabelWidth(), 0);
}

class ReserveSpaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.AddPointXY(0, 0);
    s.AddPointXY(10, 100);
    chart.PrepareAxes();
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
  platform::Rect rect{50, 20, 450, 320};
};

TEST_F(ReserveSpaceTest, BottomAxisTakesLabelsTicksAndTitle) {
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.ReserveSpace(rect);
  // Labels 12 pixels high, ticks 2 + 4.
  EXPECT_EQ(bottom.PosLabels(), 308);
  EXPECT_EQ(rect, (platform::Rect{50, 20, 450, 302}));

  rect = {50, 20, 450, 320};
  bottom.Title().SetCaption("Time");
  chart.bottomWallSize = 5;
  bottom.ReserveSpace(rect);
  EXPECT_EQ(bottom.PosTitle(), 308);
  EXPECT_EQ(bottom.PosLabels(), 296);
  EXPECT_EQ(rect.bottom, 285);

  rect = {50, 20, 450, 320};
  bottom.SetTitleSize(30);
  bottom.SetLabelsSize(20);
  bottom.Ticks().SetVisible(false);
  bottom.Axis().SetVisible(false);
  chart.bottomWallSize = 0;
  bottom.ReserveSpace(rect);
  EXPECT_EQ(bottom.PosTitle(), 290);
  EXPECT_EQ(bottom.PosLabels(), 270);
  EXPECT_EQ(rect.bottom, 268);  // minor ticks still take their length
  bottom.MinorTicks().SetVisible(false);
  bottom.SetLabels(false);
  rect = {50, 20, 450, 320};
  bottom.ReserveSpace(rect);
  EXPECT_EQ(rect.bottom, 290);
}

TEST_F(ReserveSpaceTest, VerticalAxesTakeTheirWidestLabel) {
  TCustomChartAxis& left = chart.LeftAxis();
  left.ReserveSpace(rect);
  // "100" and a blank: 24 pixels.
  EXPECT_EQ(left.PosLabels(), 74);
  EXPECT_EQ(rect.left, 80);
  rect = {50, 20, 450, 320};
  left.Title().SetCaption("Value");  // at 90 degrees it runs along the axis
  left.ReserveSpace(rect);
  EXPECT_EQ(left.PosTitle(), 62);
  EXPECT_EQ(left.PosLabels(), 86);
  EXPECT_EQ(rect.left, 92);
  left.Title().SetAngle(0);
  rect = {50, 20, 450, 320};
  left.ReserveSpace(rect);
  EXPECT_EQ(left.PosTitle(), 80);  // five characters across

  TCustomChartAxis& right = chart.RightAxis();
  s.SetVertAxis(TVertAxis::aRightAxis);
  chart.PrepareAxes();
  rect = {50, 20, 450, 320};
  right.ReserveSpace(rect);
  EXPECT_EQ(right.PosLabels(), 426);
  EXPECT_EQ(rect.right, 420);
  rect = {50, 20, 450, 320};
  right.SetLabelsAngle(90);
  right.ReserveSpace(rect);
  EXPECT_EQ(right.PosLabels(), 438);
}

TEST_F(ReserveSpaceTest, PositionPercentMovesLabelsAndTitle) {
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetPositionPercent(10);
  bottom.ReserveSpace(rect);
  // The rectangle is then 282 high: 28 pixels up.
  EXPECT_EQ(rect.bottom, 302);
  EXPECT_EQ(bottom.PosLabels(), 308 - 28);
  chart.chartRect = rect;
  EXPECT_EQ(bottom.AxisLinePosition(), 302 - 28);

  TCustomChartAxis& left = chart.LeftAxis();
  left.SetPositionPercent(-10);
  rect = {50, 20, 450, 320};
  left.ReserveSpace(rect);
  EXPECT_EQ(left.PosLabels(), 74 - 37);  // 10 % of 370
  chart.TopAxis().SetPositionPercent(50);
  chart.chartRect = {50, 20, 450, 320};
  EXPECT_EQ(chart.TopAxis().AxisLinePosition(), 170);
  chart.RightAxis().SetPositionPercent(25);
  EXPECT_EQ(chart.RightAxis().AxisLinePosition(), 350);
}

TEST_F(ReserveSpaceTest, DepthAxisOnlyRecordsItsTitlePosition) {
  TCustomChartAxis& depth = chart.DepthAxis();
  depth.ReserveSpace(rect);
  EXPECT_EQ(depth.PosTitle(), 450);
  EXPECT_EQ(rect, (platform::Rect{50, 20, 450, 320}));
}

TEST_F(ReserveSpaceTest, HitTestCoversLabelsAndLine) {
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.ReserveSpace(rect);
  chart.chartRect = rect;
  bottom.ComputeAxisPositions();
  EXPECT_EQ(bottom.PosAxis(), 302);
  EXPECT_TRUE(bottom.HitTest(100, 305));
  EXPECT_TRUE(bottom.HitTest(100, 308));
  EXPECT_TRUE(bottom.HitTest(100, 299));
  EXPECT_FALSE(bottom.HitTest(100, 298));
  EXPECT_FALSE(bottom.HitTest(100, 309));
  EXPECT_FALSE(bottom.HitTest(40, 305));

  TCustomChartAxis& left = chart.LeftAxis();
  rect = {50, 20, 450, 320};
  left.ReserveSpace(rect);
  chart.chartRect = rect;
  left.ComputeAxisPositions();
  EXPECT_TRUE(left.HitTest(78, 100));
  EXPECT_TRUE(left.HitTest(83, 100));
  EXPECT_FALSE(left.HitTest(84, 100));
  EXPECT_FALSE(left.HitTest(73, 100));

  // Hidden axes, and axes no series uses, are not hit.
  EXPECT_FALSE(chart.TopAxis().HitTest(100, 20));
  chart.axisVisible = false;
  EXPECT_FALSE(left.HitTest(78, 100));
  chart.axisVisible = true;
  left.SetVisible(false);
  EXPECT_FALSE(left.HitTest(78, 100));
}

TEST(AxisTest, AbsurdValuesStaySafe) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  const double inf = std::numeric_limits<double>::infinity();
  s.AddPointXY(-1e308, -1e308);
  s.AddPointXY(1e308, 1e308);
  chart.PrepareAxes();
  for (TCustomChartAxis* a : {&chart.BottomAxis(), &chart.LeftAxis()}) {
    EXPECT_EQ(a->IRange(), inf);
    EXPECT_EQ(a->ValueToPixel(0), a->ICenterPos());
    EXPECT_TRUE(a->ComputeLabels().empty());
    EXPECT_GT(a->MaxLabelWidth(), 0);
    platform::Rect r{50, 20, 450, 320};
    a->ReserveSpace(r);
  }
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetWorkingRange(-inf, inf);
  EXPECT_EQ(bottom.ValueToPixel(1), bottom.ICenterPos());
  EXPECT_TRUE(bottom.ComputeLabels().empty());
  bottom.SetWorkingRange(0, 1);
  bottom.SetIncrement(1e-300);
  EXPECT_TRUE(bottom.ComputeLabelValues(1e-300).empty());
  bottom.SetIncrement(0);

  // Logarithms of extreme ranges clamp to the pixel range.
  bottom.SetMinMax(1, 2);
  bottom.SetLogarithmic(true);
  bottom.SetWorkingRange(1, std::nextafter(1.0, 2.0));
  EXPECT_EQ(bottom.ValueToPixel(1e300), INT32_MAX);
  EXPECT_EQ(bottom.ValueToPixel(1e-300), INT32_MIN);
  bottom.SetWorkingRange(1e-300, 1e300);
  EXPECT_NEAR(double(bottom.ComputeLabels().size()), 600, 1);
  bottom.SetLogarithmic(false);
  bottom.SetAutomatic(true);

  // Positions and sizes far outside any window.
  bottom.SetStartPosition(1e300);
  bottom.SetEndPosition(-1e300);
  bottom.ComputeAxisPositions();
  EXPECT_EQ(bottom.IStartPos(), INT32_MAX);
  EXPECT_EQ(bottom.IEndPos(), INT32_MIN + 50);
  bottom.AdjustRangeForMargins(INT32_MAX, INT32_MIN);
  bottom.SetPositionPercent(1e300);
  bottom.SetLabelsSize(INT32_MAX);
  bottom.SetTickLength(INT32_MAX);
  bottom.Axis().SetWidth(INT32_MAX);
  bottom.SetLabelsSeparation(INT32_MAX);
  platform::Rect r{50, 20, 450, 320};
  bottom.ReserveSpace(r);
  EXPECT_EQ(r.bottom, INT32_MIN);
  EXPECT_EQ(bottom.AxisLinePosition(), 320 - INT32_MAX);
  bottom.ComputeIncrement();

  // Paging with absurd pages.
  chart.maxPointsPerPage = INT32_MAX;
  chart.page = INT32_MAX;
  chart.PrepareAxes();
  chart.page = INT32_MIN;
  chart.PrepareAxes();

  // Date-time axes over everything.
  s.XValues().SetDateTime(true);
  chart.maxPointsPerPage = 0;
  chart.BottomAxis().SetStartPosition(0);
  chart.BottomAxis().SetEndPosition(100);
  chart.PrepareAxes();
  chart.BottomAxis().SetIncrement(30);
  chart.BottomAxis().ComputeLabels();
  chart.BottomAxis().SetWorkingRange(0, 1e7);
  EXPECT_LT(chart.BottomAxis().ComputeLabels().size(), 10000u);

  // The depth axis with absurd ranges.
  chart.width3D = INT32_MAX;
  TCustomChartAxis& depth = chart.DepthAxis();
  depth.SetWorkingRange(1e300, 1e300);
  depth.ComputeLabels();
  depth.SetWorkingRange(0, 1e-300);
  EXPECT_EQ(depth.ValueToPixel(1), INT32_MAX);
}

TEST(AxisTest, VisibilityInTheChart) {
  TTestChart chart;
  EXPECT_FALSE(chart.BottomAxis().IsVisibleInChart());
  TTestSeries& s = chart.Add();
  EXPECT_TRUE(chart.BottomAxis().IsVisibleInChart());
  EXPECT_FALSE(chart.TopAxis().IsVisibleInChart());
  s.SetActive(false);
  EXPECT_FALSE(chart.BottomAxis().IsVisibleInChart());
  TCustomChartAxis& depth = chart.DepthAxis();
  depth.SetVisible(true);
  EXPECT_FALSE(depth.IsVisibleInChart());
  chart.view3D = true;
  EXPECT_TRUE(depth.IsVisibleInChart());
  chart.axisVisible = false;
  EXPECT_FALSE(depth.IsVisibleInChart());
}

}  // namespace
}  // namespace zq
