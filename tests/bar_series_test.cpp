// Bar series: defaults and checked properties, bar size and position for every grouping and
// for horizontal bars, origins, axis ranges and margins, z order, and what reaches the
// recording surface for the bar styles.
#include "engine/series/bar_series.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using testing::TTestChart;
using Args = std::vector<int32_t>;

// A plotting area of 400 x 300 at the window's corner, both axes one value to one pixel: a
// value v lies at row 300 - v, a position x at column x.
class BarChart : public ::testing::Test {
 protected:
  void SetUp() override { chart.chartRect = {0, 0, 400, 300}; }
  void Layout() {
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(0, 400);
    chart.LeftAxis().SetWorkingRange(0, 300);
  }
  template <typename T = TBarSeries>
  T& AddBars(const std::vector<double>& values, double firstX = 100, double step = 100) {
    T& s = chart.Add<T>();
    for (size_t i = 0; i < values.size(); ++i) {
      const double at = firstX + step * double(i);
      if constexpr (std::is_same_v<T, THorizBarSeries>) {
        s.AddPointXY(values[i], at);
      } else {
        s.AddPointXY(at, values[i]);
      }
    }
    return s;
  }
  // What the paint does for one series: layout, bar size, the bars.
  void Draw(TCustomBarSeries& s) {
    Layout();
    s.ComputeVisibleRange();
    chart.Surface().ClearOps();
    s.DoBeforeDrawValues();
    s.DrawAllValues();
  }
  std::vector<Args> ArgsOf(OpKind kind) {
    std::vector<Args> out;
    for (const auto& op : chart.Surface().OpsOfKind(kind)) out.push_back(op.args);
    return out;
  }

  TTestChart chart;
};

TEST(BarSeriesTest, DefaultsOfBothKinds) {
  TBarSeries bar;
  EXPECT_EQ(&bar.MandatoryValueList(), &bar.YValues());
  EXPECT_EQ(bar.YValues().Name(), "Bar");
  EXPECT_EQ(bar.YValues().Order(), TChartListOrder::loNone);
  EXPECT_EQ(bar.XValues().Order(), TChartListOrder::loAscending);
  EXPECT_TRUE(bar.Marks().Visible());
  EXPECT_EQ(bar.Marks().ArrowLength(), 20);
  EXPECT_EQ(bar.BarWidthPercent(), 70);
  EXPECT_EQ(bar.MultiBar(), TMultiBar::mbSide);
  EXPECT_EQ(bar.BarStyle(), TBarStyle::bsRectangle);
  EXPECT_EQ(bar.BarBrush().Color(), clDefault);
  EXPECT_TRUE(bar.SideMargins() && bar.UseYOrigin() && bar.Dark3D() && bar.AutoMarkPosition());
  EXPECT_FALSE(bar.AutoBarSize());
  EXPECT_EQ(bar.NumSampleValues(), 6);

  THorizBarSeries horiz;
  EXPECT_EQ(&horiz.MandatoryValueList(), &horiz.XValues());
  EXPECT_EQ(horiz.XValues().Name(), "Bar");
  EXPECT_EQ(horiz.XValues().Order(), TChartListOrder::loNone);
  // A value alone takes the next position on the vertical axis.
  horiz.AddPointValue(7);
  horiz.AddPointValue(9);
  EXPECT_EQ(horiz.XValues().ValueAt(1), 9);
  EXPECT_EQ(horiz.YValues().ValueAt(1), 1);
}

TEST(BarSeriesTest, PercentagesOutsideTheirRangeRaiseAndKeepTheOldValue) {
  TBarSeries s;
  struct Case {
    void (TCustomBarSeries::*set)(int32_t);
    int32_t value;
    const char* message;
  };
  const Case cases[] = {
      {&TCustomBarSeries::SetBarWidthPercent, 0, "Bar Width Percent must be between 1 and 100"},
      {&TCustomBarSeries::SetBarWidthPercent, 101, "Bar Width Percent must be between 1 and 100"},
      {&TCustomBarSeries::SetOffsetPercent, -101,
       "Bar Offset Percent must be between -100% and 100%"},
      {&TCustomBarSeries::SetOffsetPercent, 101,
       "Bar Offset Percent must be between -100% and 100%"},
  };
  for (const Case& c : cases) {
    try {
      (s.*c.set)(c.value);
      ADD_FAILURE() << c.value;
    } catch (const BarException& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(s.BarWidthPercent(), 70);
  EXPECT_EQ(s.OffsetPercent(), 0);
  s.SetBarWidthPercent(100);
  s.SetOffsetPercent(-100);
  EXPECT_EQ(s.BarWidthPercent(), 100);
  EXPECT_EQ(s.OffsetPercent(), -100);
}

TEST_F(BarChart, GroupingAndSideMarginsAreSharedByTheClassOnly) {
  TBarSeries& a = AddBars({1});
  TBarSeries& b = AddBars({2});
  THorizBarSeries& h = AddBars<THorizBarSeries>({3});
  b.SetMultiBar(TMultiBar::mbStacked);
  b.SetSideMargins(false);
  EXPECT_EQ(a.MultiBar(), TMultiBar::mbStacked);
  EXPECT_FALSE(a.SideMargins());
  EXPECT_EQ(h.MultiBar(), TMultiBar::mbSide);
  EXPECT_TRUE(h.SideMargins());
}

// Four points 100 apart on an axis of 400 pixels: a slot is 400 / 5 = 80 pixels with side
// margins, 100 without; a bar is 70 % of it, shared by the bars standing side by side.
TEST_F(BarChart, SizeAndPlaceOfTheBars) {
  struct Case {
    const char* what;
    int series;
    TMultiBar multi;
    int32_t percent, offset, custom;
    bool sideMargins, autoSize;
    Args lefts;  // of the first point of each series
    int32_t size;
  };
  const Case cases[] = {
      {"one series", 1, TMultiBar::mbSide, 70, 0, 0, true, false, {72}, 56},
      {"two side by side", 2, TMultiBar::mbSide, 70, 0, 0, true, false, {72, 100}, 28},
      {"three side by side", 3, TMultiBar::mbSide, 70, 0, 0, true, false, {73, 91, 109}, 18},
      {"no grouping", 2, TMultiBar::mbNone, 70, 0, 0, true, false, {72, 72}, 56},
      {"no side margins", 1, TMultiBar::mbSide, 70, 0, 0, false, false, {65}, 70},
      {"an odd size grows by one", 1, TMultiBar::mbSide, 71, 0, 0, true, false, {71}, 58},
      {"offset by half a bar", 1, TMultiBar::mbNone, 70, 50, 0, true, false, {100}, 56},
      {"custom width", 2, TMultiBar::mbSide, 70, 0, 10, true, false, {90, 100}, 10},
      // Range 0..400 plus two: round(400 / 402) = 1 pixel a slot, 1 after 70 %, made even.
      {"automatic size", 1, TMultiBar::mbSide, 70, 0, 0, true, true, {99}, 2},
  };
  for (const Case& c : cases) {
    TTestChart fresh;
    std::vector<TBarSeries*> series;
    for (int k = 0; k < c.series; ++k) {
      TBarSeries& s = fresh.Add<TBarSeries>();
      for (int i = 0; i < 4; ++i) s.AddPointXY(100 + 100 * i, 10);
      series.push_back(&s);
    }
    fresh.chartRect = {0, 0, 400, 300};
    fresh.PrepareAxes();
    fresh.BottomAxis().SetWorkingRange(0, 400);
    fresh.LeftAxis().SetWorkingRange(0, 300);
    series[0]->SetMultiBar(c.multi);
    series[0]->SetSideMargins(c.sideMargins);
    for (TBarSeries* s : series) {
      s->SetBarWidthPercent(c.percent);
      s->SetOffsetPercent(c.offset);
      s->SetCustomBarWidth(c.custom);
      s->SetAutoBarSize(c.autoSize);
    }
    Args lefts;
    for (TBarSeries* s : series) {
      s->CalcBarSize();
      EXPECT_EQ(s->BarSize(), c.size) << c.what;
      const TBarExtent bar = s->BarExtent(0);
      lefts.push_back(bar.start);
      EXPECT_EQ(bar.end - bar.start, c.size) << c.what;
    }
    EXPECT_EQ(lefts, c.lefts) << c.what;
  }
}

TEST_F(BarChart, TipsAndOriginsOfPlainStackedAndPercentBars) {
  TBarSeries& a = AddBars({10, 20, 0});
  TBarSeries& b = AddBars({30, 20, 0});
  Layout();
  auto tipsAndOrigins = [&](TBarSeries& s) {
    Args out;
    for (int i = 0; i < 3; ++i) {
      const TBarExtent bar = s.BarExtent(i);
      out.push_back(bar.tip);
      out.push_back(bar.origin);
    }
    return out;
  };
  // Side by side: from the origin 0 at row 300.
  EXPECT_EQ(tipsAndOrigins(b), (Args{270, 300, 280, 300, 300, 300}));
  a.SetYOrigin(15);
  EXPECT_EQ(tipsAndOrigins(a), (Args{290, 285, 280, 285, 300, 285}));
  a.SetUseYOrigin(false);
  // On the end of the vertical axis.
  EXPECT_EQ(a.BarExtent(0).origin, 300);
  a.SetUseYOrigin(true);
  a.SetYOrigin(0);
  a.SetMultiBar(TMultiBar::mbStacked);
  EXPECT_EQ(tipsAndOrigins(a), (Args{290, 300, 280, 300, 300, 300}));
  EXPECT_EQ(tipsAndOrigins(b), (Args{260, 290, 260, 280, 300, 300}));
  // Stacked bars share the slot: the same columns.
  b.CalcBarSize();
  a.CalcBarSize();
  EXPECT_EQ(a.BarExtent(1).start, b.BarExtent(1).start);
  a.SetMultiBar(TMultiBar::mbStacked100);
  // 10 of 40 is 25 %, 20 of 40 is 50 %; a point whose sum is 0 has nothing to show.
  EXPECT_EQ(tipsAndOrigins(a), (Args{275, 300, 250, 300, 300, 300}));
  EXPECT_EQ(tipsAndOrigins(b), (Args{200, 275, 200, 250, 300, 300}));
}

TEST_F(BarChart, ValueRangesOfEachGrouping) {
  TBarSeries& a = AddBars({10, 25, -5});
  TBarSeries& b = AddBars({30, 20, 5});
  EXPECT_EQ(b.MaxYValue(), 30);
  EXPECT_EQ(b.MinYValue(), 0);  // the origin
  a.SetUseYOrigin(false);
  EXPECT_EQ(a.MinYValue(), -5);
  a.SetUseYOrigin(true);
  a.SetYOrigin(40);
  EXPECT_EQ(a.MaxYValue(), 40);
  a.SetYOrigin(0);
  a.SetMultiBar(TMultiBar::mbStacked);
  EXPECT_EQ(b.MaxYValue(), 45);
  EXPECT_EQ(a.MaxYValue(), 25);
  a.SetMultiBar(TMultiBar::mbStacked100);
  EXPECT_EQ(b.MaxYValue(), 100);
  EXPECT_EQ(b.MinYValue(), 0);
  // The X range of vertical bars is their positions.
  EXPECT_EQ(a.MaxXValue(), 300);
  THorizBarSeries& h = AddBars<THorizBarSeries>({12, -3});
  EXPECT_EQ(h.MaxXValue(), 12);
  EXPECT_EQ(h.MinXValue(), -3);
  EXPECT_EQ(h.MaxYValue(), 200);
}

TEST_F(BarChart, HorizontalBarsLieAlongTheVerticalAxis) {
  THorizBarSeries& h = AddBars<THorizBarSeries>({50, 120}, 100, 100);
  h.SetYOrigin(20);
  Draw(h);
  // Slot 300 / 3 = 100, bar 70: rows 200 - 35 .. 200 + 35 for the point at 100.
  EXPECT_EQ(h.BarSize(), 70);
  const TBarExtent bar = h.BarExtent(0);
  EXPECT_EQ(bar.start, 165);
  EXPECT_EQ(bar.end, 235);
  EXPECT_EQ(bar.tip, 50);
  EXPECT_EQ(bar.origin, 20);
  // 2D rectangles reach one pixel further to cover their far edges.
  EXPECT_EQ(ArgsOf(OpKind::Rectangle), (std::vector<Args>{{20, 165, 51, 236}, {20, 65, 121, 136}}));
}

TEST_F(BarChart, MarginsMakeRoomForBarsAndMarks) {
  TBarSeries& s = AddBars({10, 20, 30});
  Layout();
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  s.HorizMargins(left, right);
  // Slot 400 / 4 = 100, bar 70: one bar each side, half a bar without side margins.
  EXPECT_EQ(left, 70);
  EXPECT_EQ(right, 70);
  s.SetSideMargins(false);
  s.HorizMargins(left, right);
  EXPECT_EQ(left, 47);  // 400 / 3 = 133, 70 % = 93, made even: half of 94
  s.VertMargins(top, bottom);
  const int32_t room = top;
  EXPECT_GT(room, 20);  // font height + arrow length + 1
  EXPECT_EQ(bottom, 0);
  s.AddPointXY(400, -10);
  s.VertMargins(top, bottom);
  EXPECT_EQ(bottom, room);
  s.Marks().SetVisible(false);
  s.VertMargins(top, bottom);
  EXPECT_EQ(top + bottom, 0);
}

TEST_F(BarChart, GroupedBarsShareADepthSlot) {
  chart.view3D = true;
  TBarSeries& a = AddBars({1});
  TBarSeries& b = AddBars({2});
  TBarSeries& c = AddBars({3});
  chart.AssignZOrders();
  EXPECT_EQ(a.ComputedZOrder(), b.ComputedZOrder());
  EXPECT_EQ(b.ComputedZOrder(), c.ComputedZOrder());
  a.SetMultiBar(TMultiBar::mbNone);
  chart.AssignZOrders();
  EXPECT_NE(a.ComputedZOrder(), b.ComputedZOrder());
  // Stacks in an inverted value axis draw from the last series.
  EXPECT_TRUE(a.DrawSeriesForward(0));
  a.SetMultiBar(TMultiBar::mbStacked);
  chart.LeftAxis().SetInverted(true);
  EXPECT_FALSE(a.DrawSeriesForward(0));
  chart.BottomAxis().SetInverted(true);
  EXPECT_FALSE(a.DrawValuesForward());
}

TEST_F(BarChart, EveryStyleDrawsItsShapeIn2D) {
  TBarSeries& s = AddBars({100, 100, 100, 100, 100, 100, 100}, 50, 50);
  s.SetMultiBar(TMultiBar::mbNone);
  s.OnGetBarStyle = [](TCustomBarSeries&, int32_t index, TBarStyle& style) {
    style = TBarStyle(index);
  };
  Draw(s);
  // Slot 400 / 8 = 50, bar 35 -> 36: columns x - 18 .. x + 18, rows 200 .. 300.
  EXPECT_EQ(s.BarSize(), 36);
  const std::vector<Args> rects = ArgsOf(OpKind::Rectangle);
  // Rectangle, cylinder (flat) and the outline over the gradient.
  EXPECT_EQ(rects,
            (std::vector<Args>{{32, 200, 69, 301}, {182, 200, 219, 301}, {332, 200, 369, 301}}));
  const std::vector<Args> polygons = ArgsOf(OpKind::Polygon);
  ASSERT_EQ(polygons.size(), 3u);  // two pyramids and the arrow
  EXPECT_EQ(polygons[0], (Args{82, 300, 118, 300, 100, 200}));
  EXPECT_EQ(polygons[1], (Args{132, 200, 168, 200, 150, 300}));
  EXPECT_EQ(polygons[2].size(), 14u);
  EXPECT_EQ(ArgsOf(OpKind::Ellipse), (std::vector<Args>{{232, 200, 269, 301}}));
  // The gradient's bands fill the inside of the outline.
  platform::Rect bands{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (const Args& a : ArgsOf(OpKind::PatternFill)) {
    bands = {std::min(bands.left, a[0]), std::min(bands.top, a[1]), std::max(bands.right, a[2]),
             std::max(bands.bottom, a[3])};
  }
  EXPECT_EQ(bands, (platform::Rect{333, 201, 368, 300}));
}

TEST_F(BarChart, ThinAndFlatBarsStayVisible) {
  TBarSeries& s = AddBars({100, 0});
  s.SetCustomBarWidth(1);
  s.BarPen().SetWidth(2);
  Draw(s);
  // Thinner than the pen: outlined in the bar's colour without fill.
  const auto rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Clear);
  EXPECT_EQ(rects[0].pen.color, ColorToRGB(s.SeriesColor()));
  // A bar of no height is a line in its colour.
  const auto lines = chart.Surface().OpsOfKind(OpKind::LineTo);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].pen.color, ColorToRGB(s.SeriesColor()));
  EXPECT_EQ(lines[0].pen.width, 1);
}

TEST_F(BarChart, MarksSitOverTheTipOrBelowABarPointingDown) {
  TBarSeries& s = AddBars({100, -100}, 100, 200);
  chart.PrepareAxes();
  chart.BottomAxis().SetWorkingRange(0, 400);
  chart.LeftAxis().SetWorkingRange(-150, 150);
  s.ComputeVisibleRange();
  s.DoBeforeDrawValues();
  TSeriesMarkPosition up, down;
  up.Width = down.Width = 30;
  up.Height = down.Height = 14;
  s.DrawMark(0, "100", up);
  s.DrawMark(1, "-100", down);
  // Tip of the first at row 50, lifted by the arrow of 20.
  EXPECT_EQ(up.ArrowFrom, (platform::Point{100, 50}));
  EXPECT_EQ(up.ArrowTo, (platform::Point{100, 30}));
  EXPECT_EQ(up.LeftTop, (platform::Point{85, 17}));
  // The second's tip at row 250: the box hangs below the arrow.
  EXPECT_EQ(down.ArrowTo, (platform::Point{300, 270}));
  EXPECT_EQ(down.LeftTop, (platform::Point{285, 271}));
}

TEST_F(BarChart, ClicksHitTheBarUnderTheMouse) {
  TBarSeries& s = AddBars({100, 200});
  Draw(s);
  EXPECT_EQ(s.Clicked(100, 250), 0);
  EXPECT_EQ(s.Clicked(210, 150), 1);
  EXPECT_EQ(s.Clicked(100, 150), -1);
}

}  // namespace
}  // namespace zq
