// Series base: points, colours, labels, chart membership, axes, z order, visible range and
// data-source links.
#include "engine/series/series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/drawing/errors.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using testing::TOtherTestSeries;
using testing::TTestChart;
using testing::TTestSeries;

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> out;
  for (int32_t i = 0; i < list.ValueCount(); ++i) out.push_back(list.ValueAt(i));
  return out;
}

std::vector<std::string> LabelsOf(const TChartSeries& s) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < s.PointCount(); ++i) out.push_back(s.PointLabel(i));
  return out;
}

template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const ChartException& e) {
    return e.what();
  }
  return "(no exception)";
}

// ---- creation ----------------------------------------------------------------------------

TEST(SeriesTest, StartsWithDefaults) {
  TTestSeries s;
  EXPECT_TRUE(s.Active());
  EXPECT_FALSE(s.ColorEachPoint());
  EXPECT_EQ(s.SeriesColor(), clDefault);
  EXPECT_EQ(s.HorizAxis(), THorizAxis::aBottomAxis);
  EXPECT_EQ(s.VertAxis(), TVertAxis::aLeftAxis);
  EXPECT_EQ(s.ValueFormat(), "#,##0.###");
  EXPECT_EQ(s.PercentFormat(), "##0.## %");
  EXPECT_TRUE(s.ShowInLegend());
  EXPECT_EQ(s.ParentChart(), nullptr);
  EXPECT_EQ(s.DataSource(), nullptr);
  EXPECT_EQ(s.XValues().Name(), "X");
  EXPECT_EQ(s.XValues().Order(), TChartListOrder::loAscending);
  EXPECT_FALSE(s.XValues().DateTime());
  EXPECT_EQ(s.YValues().Name(), "Y");
  EXPECT_EQ(s.YValues().Order(), TChartListOrder::loNone);
  EXPECT_EQ(s.ZOrder(), -1);
  EXPECT_EQ(s.ComputedZOrder(), 0);
  EXPECT_EQ(s.FirstValueIndex(), -1);
  EXPECT_EQ(s.LastValueIndex(), -1);
  EXPECT_TRUE(s.AllowSinglePoint());
  EXPECT_TRUE(s.CalcVisiblePoints());
  EXPECT_FALSE(s.HasZValues());
  EXPECT_FALSE(s.DrawBetweenPoints());
  EXPECT_EQ(s.GetHorizAxis(), nullptr);
  EXPECT_EQ(s.GetVertAxis(), nullptr);
  EXPECT_FALSE(s.Marks().Visible());
  EXPECT_EQ(s.NumSampleValues(), 26);
}

// ---- adding and ordering -----------------------------------------------------------------

TEST(SeriesTest, OrderedInsertionMovesValuesColoursAndLabelsAlike) {
  TTestSeries s;
  EXPECT_EQ(s.AddPointXY(3, 30, "c", clBlue), 0);
  EXPECT_EQ(s.AddPointXY(1, 10, "a", clRed), 0);
  EXPECT_EQ(s.AddPointXY(2, 20, "", clLime), 1);
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"a", "", "c"}));
  EXPECT_EQ(s.PointColor(0), clRed);
  EXPECT_EQ(s.PointColor(1), clLime);
  EXPECT_EQ(s.PointColor(2), clBlue);

  // A second 2 goes after the first one.
  EXPECT_EQ(s.AddPointXY(2, 21, "b2", clYellow), 2);
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 20, 21, 30}));
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"a", "", "b2", "c"}));
  EXPECT_EQ(s.PointColor(2), clYellow);
}

TEST(SeriesTest, UnorderedListKeepsArrivalOrder) {
  TTestSeries s;
  s.XValues().SetOrder(TChartListOrder::loNone);
  s.AddPointXY(3, 30);
  s.AddPointXY(1, 10);
  s.AddPointXY(2, 20);
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{3, 1, 2}));
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{30, 10, 20}));
}

TEST(SeriesTest, DeletingARunEqualsDeletingOneByOne) {
  TTestSeries once, oneByOne;
  for (int i = 0; i < 10; ++i) {
    const std::string label = i % 3 ? "" : "p" + std::to_string(i);
    const TColor color = i % 2 ? clDefault : DefaultPaletteColor(i);
    once.AddPointXY(i, 10 * i, label, color);
    oneByOne.AddPointXY(i, 10 * i, label, color);
  }
  once.DeletePoints(2, 3);
  for (int i = 0; i < 3; ++i) oneByOne.DeletePoint(2);
  EXPECT_EQ(Values(once.XValues()), (std::vector<double>{0, 1, 5, 6, 7, 8, 9}));
  EXPECT_EQ(Values(once.YValues()), Values(oneByOne.YValues()));
  EXPECT_EQ(LabelsOf(once), LabelsOf(oneByOne));
  for (int32_t i = 0; i < once.PointCount(); ++i)
    EXPECT_EQ(once.PointColor(i), oneByOne.PointColor(i)) << i;
  // A run past the end stops at the last point; a first index outside fails first.
  once.DeletePoints(5, 100);
  EXPECT_EQ(once.PointCount(), 5);
  EXPECT_THROW(once.DeletePoints(5, 1), ChartException);
  EXPECT_THROW(once.DeletePoints(-1, 1), ChartException);
  once.DeletePoints(0, 0);
  EXPECT_EQ(once.PointCount(), 5);
}

TEST(SeriesTest, AddingManyPointsAtOnceEqualsAddingThemOneByOne) {
  std::mt19937 rng(99);
  struct Case {
    const char* what;
    TChartListOrder order;
    int existing;
    int added;
    int spread;  // X values are drawn from 0..spread-1: small spreads repeat them
    bool perPointLabels;
    std::string commonLabel;
  };
  const Case cases[] = {
      {"ascending after nothing", TChartListOrder::loAscending, 0, 300, 1000, false, ""},
      {"ascending between old points", TChartListOrder::loAscending, 50, 300, 20, true, ""},
      {"descending", TChartListOrder::loDescending, 40, 200, 15, false, "all"},
      {"unordered", TChartListOrder::loNone, 30, 100, 10, true, ""},
      {"already in order", TChartListOrder::loAscending, 10, 100, 0, false, ""},
  };
  for (const Case& c : cases) {
    TTestSeries bulk, oneByOne;
    for (TTestSeries* s : {&bulk, &oneByOne}) s->XValues().SetOrder(c.order);
    auto x = [&](int i) { return c.spread ? double(rng() % uint32_t(c.spread)) : 1000.0 + i; };
    for (int i = 0; i < c.existing; ++i) {
      const double xv = x(i);
      const std::string label = i % 4 ? "" : "old" + std::to_string(i);
      bulk.AddPointXY(xv, i, label, DefaultPaletteColor(i));
      oneByOne.AddPointXY(xv, i, label, DefaultPaletteColor(i));
    }
    std::vector<double> xs, ys;
    std::vector<std::string> labels;
    for (int i = 0; i < c.added; ++i) {
      xs.push_back(x(i));
      ys.push_back(100 + i);
      if (c.perPointLabels) labels.push_back(i % 3 ? "" : "new" + std::to_string(i));
    }
    for (size_t i = 0; i < xs.size(); ++i)
      oneByOne.AddPointXY(xs[i], ys[i], c.perPointLabels ? labels[i] : c.commonLabel, clNone);
    bulk.AddPointsXY(xs, ys, clNone, labels, c.commonLabel);
    EXPECT_EQ(bulk.XValues().RawValues(), oneByOne.XValues().RawValues()) << c.what;
    EXPECT_EQ(bulk.YValues().RawValues(), oneByOne.YValues().RawValues()) << c.what;
    EXPECT_EQ(bulk.Colors(), oneByOne.Colors()) << c.what;
    EXPECT_EQ(bulk.Labels(), oneByOne.Labels()) << c.what;
    EXPECT_EQ(bulk.XValues().PendingValue(), oneByOne.XValues().PendingValue()) << c.what;
    EXPECT_EQ(bulk.YValues().PendingValue(), oneByOne.YValues().PendingValue()) << c.what;
    // Later points still find their places.
    bulk.AddPointXY(5, -1);
    oneByOne.AddPointXY(5, -1);
    EXPECT_EQ(bulk.YValues().RawValues(), oneByOne.YValues().RawValues()) << c.what;
  }
}

TEST(SeriesTest, AddingManyPointsTellsHandlersOfEachAndRepaintsOnce) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  std::vector<double> xs{3, 1, 2}, ys{30, 10, 20};
  std::vector<std::string> none;
  const int32_t repaints = chart.repaints;
  s.AddPointsXY(xs, ys, clRed, none);
  EXPECT_EQ(chart.repaints, repaints + 1);
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 20, 30}));
  std::vector<int32_t> indexes;
  s.OnAfterAdd = [&](TChartSeries&, int32_t index) { indexes.push_back(index); };
  xs = {0, 9};
  ys = {0, 90};
  s.AddPointsXY(xs, ys, clRed, none);
  EXPECT_EQ(indexes, (std::vector<int32_t>{0, 4}));
}

TEST(SeriesTest, SortingByAListCarriesColoursAndLabels) {
  TTestSeries s;
  s.AddPointXY(1, 30, "thirty", clBlue);
  s.AddPointXY(2, 10, "ten", clRed);
  s.AddPointXY(3, 20, "", clLime);
  s.YValues().SetOrder(TChartListOrder::loAscending);
  s.YValues().SortByOrder();
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{2, 3, 1}));
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"ten", "", "thirty"}));
  EXPECT_EQ(s.PointColor(0), clRed);
  EXPECT_EQ(s.PointColor(2), clBlue);
}

TEST(SeriesTest, SwapPointsExchangesEveryList) {
  TTestSeries s;
  s.XValues().SetOrder(TChartListOrder::loNone);
  s.AddPointXY(1, 10, "a", clRed);
  s.AddPointXY(2, 20, "", clBlue);
  s.SwapPoints(0, 1);
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{2, 1}));
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{20, 10}));
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(s.PointColor(0), clBlue);
  EXPECT_EQ(ErrorOf([&] { s.SwapPoints(0, 2); }), "List index out of bounds (2)");
}

TEST(SeriesTest, MultiplierScalesWhatIsRead) {
  TTestSeries s;
  s.AddPointXY(1, 5);
  s.AddPointXY(2, 7);
  s.YValues().SetMultiplier(2);
  EXPECT_EQ(s.YValues().Highest(), 14);
  EXPECT_EQ(s.YValues().LocateValue(14), 1);
  EXPECT_EQ(s.YValues().LocateValue(7), -1);
  EXPECT_EQ(s.MarkValue(0), 10);
  EXPECT_EQ(s.YValues().RawValues()[0], 5);
}

TEST(SeriesTest, AddPointValueUsesThePointCountForTheOtherCoordinate) {
  TTestSeries s;
  s.AddPointValue(7);
  s.AddPointValue(9);
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{0, 1}));
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{7, 9}));

  TTestSeries h;
  h.xMandatory = true;
  h.AddPointValue(7);
  h.AddPointValue(4);
  // The X list keeps its order: the second point lands first.
  EXPECT_EQ(Values(h.XValues()), (std::vector<double>{4, 7}));
  EXPECT_EQ(Values(h.YValues()), (std::vector<double>{1, 0}));
  EXPECT_FALSE(h.YMandatory());
}

TEST(SeriesTest, NullPointsHaveNoColour) {
  TTestSeries s;
  s.AddNullPoint("gap");
  s.AddNullPointXY(5, 6);
  s.AddPointXY(7, 8);
  EXPECT_TRUE(s.IsNullPoint(0));
  EXPECT_TRUE(s.IsNullPoint(1));
  EXPECT_FALSE(s.IsNullPoint(2));
  EXPECT_EQ(s.PointLabel(0), "gap");
  EXPECT_EQ(s.XValue(1), 5);
}

TEST(SeriesTest, OnBeforeAddRefusingLeavesTheSeriesUnchanged) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, 1);
  int32_t afterAdds = 0;
  double stagedX = 0;
  s.OnBeforeAdd = [&](TChartSeries& sender) {
    stagedX = sender.XValues().PendingValue();
    return false;
  };
  s.OnAfterAdd = [&](TChartSeries&, int32_t) { ++afterAdds; };
  const int32_t repaints = chart.repaints;
  EXPECT_EQ(s.AddPointXY(2, 2, "x", clRed), -1);
  EXPECT_EQ(stagedX, 2);
  EXPECT_EQ(s.PointCount(), 1);
  EXPECT_EQ(afterAdds, 0);
  EXPECT_EQ(chart.repaints, repaints);
  EXPECT_EQ(s.AddPointValue(3), -1);
  EXPECT_EQ(s.AddNullPoint(), -1);
  s.OnBeforeAdd = [](TChartSeries&) { return true; };
  EXPECT_EQ(s.AddPointXY(2, 2), 1);
}

TEST(SeriesTest, OnAfterAddReportsTheIndexAndAddRepaints) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  std::vector<int32_t> indexes;
  s.OnAfterAdd = [&](TChartSeries&, int32_t index) { indexes.push_back(index); };
  const int32_t repaints = chart.repaints;
  s.AddPointXY(5, 1);
  s.AddPointXY(2, 1);
  EXPECT_EQ(indexes, (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(chart.repaints, repaints + 2);
  s.SetActive(false);
  const int32_t inactive = chart.repaints;
  s.AddPointXY(9, 1);
  EXPECT_EQ(chart.repaints, inactive);
}

// ---- deleting and clearing ---------------------------------------------------------------

TEST(SeriesTest, DeletingMovesLaterPointsDown) {
  TTestSeries s;
  s.AddPointXY(1, 10, "a", clRed);
  s.AddPointXY(2, 20, "b", clBlue);
  s.AddPointXY(3, 30, "c", clLime);
  s.DeletePoint(1);
  EXPECT_EQ(Values(s.XValues()), (std::vector<double>{1, 3}));
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(s.PointColor(1), clLime);
}

TEST(SeriesTest, DeletingTheLastPointLeavesAnEmptySeriesWithZeroStatistics) {
  TTestSeries s;
  s.AddPointXY(4, -3, "only");
  ASSERT_EQ(s.YValues().Lowest(), -3);
  s.DeletePoint(0);
  EXPECT_EQ(s.PointCount(), 0);
  EXPECT_EQ(s.YValues().ValueCount(), 0);
  for (const TChartValueList* list : {&s.XValues(), &s.YValues()}) {
    EXPECT_EQ(list->Lowest(), 0);
    EXPECT_EQ(list->Highest(), 0);
    EXPECT_EQ(list->Sum(), 0);
    EXPECT_EQ(list->SumAbs(), 0);
  }
  EXPECT_EQ(s.PointLabel(0), "");
}

TEST(SeriesTest, DeletingOutsideTheRangeRaisesAndChangesNothing) {
  TTestSeries s;
  s.AddPointXY(1, 1, "a");
  EXPECT_EQ(ErrorOf([&] { s.DeletePoint(1); }), "List index out of bounds (1)");
  EXPECT_EQ(ErrorOf([&] { s.DeletePoint(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(s.PointCount(), 1);
  EXPECT_EQ(s.PointLabel(0), "a");
  EXPECT_EQ(ErrorOf([&] { s.SetPointColor(3, clRed); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf([&] { s.SetPointLabel(3, "x"); }), "List index out of bounds (3)");
}

TEST(SeriesTest, ClearingEmptiesEverythingAndFiresOnClearValues) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, 1, "a", clRed);
  s.Marks().SetCustomPosition(0, {});
  int32_t cleared = 0;
  s.OnClearValues = [&](TChartSeries&) { ++cleared; };
  const int32_t repaints = chart.repaints;
  s.ClearPoints();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(s.PointCount(), 0);
  EXPECT_TRUE(s.Colors().empty());
  EXPECT_FALSE(s.HasLabels());
  EXPECT_TRUE(s.Marks().Positions().empty());
  EXPECT_GT(chart.repaints, repaints);
}

// ---- colours -----------------------------------------------------------------------------

TEST(SeriesTest, DefaultPointColourFollowsTheSeriesColour) {
  TTestSeries s;
  s.AddPointXY(1, 1);
  s.AddPointXY(2, 2, "", clBlue);
  s.SetSeriesColor(clRed);
  EXPECT_EQ(s.PointColor(0), clRed);
  s.SetSeriesColor(clLime);
  EXPECT_EQ(s.PointColor(0), clLime);
  EXPECT_EQ(s.PointColor(1), clBlue);
  // No entry: the series colour.
  EXPECT_EQ(s.PointColor(5), clLime);
  EXPECT_EQ(s.PointColor(-1), clLime);
}

TEST(SeriesTest, ColorEachPointTakesThePaletteAndTurningItOffResetsEveryPoint) {
  TTestSeries s;
  s.SetSeriesColor(clNavy);
  for (int32_t i = 0; i < 18; ++i) s.AddPointValue(i);
  s.SetPointColor(3, clAqua);
  s.SetColorEachPoint(true);
  EXPECT_EQ(s.PointColor(17), clGreen);
  EXPECT_EQ(s.PointColor(0), clRed);
  EXPECT_EQ(s.PointColor(3), clAqua);
  s.SetColorEachPoint(false);
  EXPECT_EQ(s.PointColor(17), clNavy);
  EXPECT_EQ(s.PointColor(3), clNavy);
  EXPECT_EQ(s.Colors()[3], clDefault);
}

TEST(SeriesTest, JoiningAChartTakesTheFirstFreePaletteColour) {
  TTestChart chart;
  chart.color = clWhite;
  TTestSeries& red = chart.Add();
  EXPECT_EQ(red.SeriesColor(), clRed);
  TTestSeries& second = chart.Add();
  EXPECT_EQ(second.SeriesColor(), clGreen);

  // The chart's colour and back colour are not free either.
  TTestChart other;
  other.color = clRed;
  other.backColor = clGreen;
  EXPECT_EQ(other.Add().SeriesColor(), clYellow);

  // A series with its own colour keeps it.
  TTestSeries& own = chart.Create();
  own.SetSeriesColor(clBlue);
  own.SetParentChart(&chart);
  EXPECT_EQ(own.SeriesColor(), clBlue);
}

TEST(SeriesTest, WhenNoPaletteColourIsFreeTheSeriesGetsRed) {
  TTestChart chart;
  for (int32_t i = 0; i < 16; ++i) {
    TTestSeries& s = chart.Create();
    s.SetSeriesColor(DefaultPaletteColor(i));
    s.SetParentChart(&chart);
  }
  EXPECT_EQ(chart.Add().SeriesColor(), clRed);
}

// ---- chart membership and axes -----------------------------------------------------------

TEST(SeriesTest, JoiningAndLeavingAChart) {
  TTestChart chart;
  TTestSeries& s = chart.Create();
  s.SetName("Series1");
  int32_t repaints = chart.repaints;
  s.SetParentChart(&chart);
  EXPECT_EQ(chart.SeriesList().Count(), 1);
  EXPECT_EQ(chart.added, (std::vector<std::string>{"Series1"}));
  EXPECT_GT(chart.repaints, repaints);
  EXPECT_EQ(s.GetHorizAxis(), &chart.BottomAxis());
  EXPECT_EQ(s.GetVertAxis(), &chart.LeftAxis());

  // Joining twice does not add twice.
  s.SetParentChart(&chart);
  EXPECT_EQ(chart.SeriesList().Count(), 1);

  TTestChart other;
  repaints = chart.repaints;
  s.SetParentChart(&other);
  EXPECT_EQ(chart.SeriesList().Count(), 0);
  EXPECT_EQ(chart.removed, (std::vector<std::string>{"Series1"}));
  EXPECT_GT(chart.repaints, repaints);
  EXPECT_EQ(other.SeriesList().Count(), 1);
  EXPECT_EQ(s.GetHorizAxis(), &other.BottomAxis());

  s.SetParentChart(nullptr);
  EXPECT_EQ(other.SeriesList().Count(), 0);
  EXPECT_EQ(s.GetHorizAxis(), nullptr);
}

TEST(SeriesTest, DestroyingASeriesLeavesItsChart) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  chart.Destroy(a);
  ASSERT_EQ(chart.SeriesList().Count(), 1);
  EXPECT_EQ(&chart.SeriesList()[0], &b);
}

TEST(SeriesTest, AxesResolveByTheAxisChoice) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.SetHorizAxis(THorizAxis::aTopAxis);
  s.SetVertAxis(TVertAxis::aRightAxis);
  EXPECT_EQ(s.GetHorizAxis(), &chart.TopAxis());
  EXPECT_EQ(s.GetVertAxis(), &chart.RightAxis());
  s.SetHorizAxis(THorizAxis::aBothHorizAxis);
  s.SetVertAxis(TVertAxis::aBothVertAxis);
  EXPECT_EQ(s.GetHorizAxis(), &chart.BottomAxis());
  EXPECT_EQ(s.GetVertAxis(), &chart.LeftAxis());
  EXPECT_TRUE(s.IsAssociatedToAxis(chart.TopAxis()));
  EXPECT_TRUE(s.IsAssociatedToAxis(chart.BottomAxis()));
  EXPECT_TRUE(s.IsAssociatedToAxis(chart.RightAxis()));
  EXPECT_FALSE(s.IsAssociatedToAxis(chart.DepthAxis()));

  // Custom axes: the standard one until a custom axis is set.
  s.SetHorizAxis(THorizAxis::aCustomHorizAxis);
  s.SetVertAxis(TVertAxis::aCustomVertAxis);
  EXPECT_EQ(s.GetHorizAxis(), &chart.BottomAxis());
  EXPECT_EQ(s.GetVertAxis(), &chart.LeftAxis());
  TChartAxis customH(&chart, true, false), customV(&chart, false, false);
  s.SetCustomHorizAxis(&customH);
  s.SetCustomVertAxis(&customV);
  EXPECT_EQ(s.GetHorizAxis(), &customH);
  EXPECT_EQ(s.GetVertAxis(), &customV);
  EXPECT_TRUE(s.IsAssociatedToAxis(customH));
  EXPECT_FALSE(s.IsAssociatedToAxis(chart.BottomAxis()));
  s.SetCustomHorizAxis(nullptr);
  s.SetCustomVertAxis(nullptr);
}

TEST(SeriesTest, PointPixelsGoThroughTheResolvedAxes) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(0, 0);
  s.AddPointXY(10, 100);
  chart.PrepareAxes();
  EXPECT_EQ(s.PointXPixel(0), 50);
  EXPECT_EQ(s.PointXPixel(1), 450);
  EXPECT_EQ(s.PointYPixel(0), 320);
  EXPECT_EQ(s.PointYPixel(1), 20);
  TTestSeries lone;
  lone.AddPointXY(1, 1);
  EXPECT_EQ(lone.PointXPixel(0), 0);
}

// ---- z order -----------------------------------------------------------------------------

TEST(SeriesTest, AutomaticZOrdersPutTheFirstSeriesDeepest) {
  TTestChart chart;
  chart.view3D = true;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  TTestSeries& c = chart.Add();
  chart.AssignZOrders();
  EXPECT_EQ(chart.maxZOrder, 2);
  EXPECT_EQ(a.ComputedZOrder(), 2);
  EXPECT_EQ(b.ComputedZOrder(), 1);
  EXPECT_EQ(c.ComputedZOrder(), 0);
  EXPECT_FALSE(a.MoreSameZOrder());
  EXPECT_EQ(a.MinZValue(), a.EffectiveZOrder());
  EXPECT_EQ(a.MaxZValue(), a.EffectiveZOrder());

  chart.view3D = false;
  chart.AssignZOrders();
  EXPECT_EQ(a.ComputedZOrder(), 0);
  EXPECT_EQ(c.ComputedZOrder(), 0);
  EXPECT_EQ(chart.maxZOrder, 0);
}

TEST(SeriesTest, ExplicitZOrdersRaiseTheHighestAndShareSlots) {
  TTestChart chart;
  chart.view3D = true;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  TTestSeries& c = chart.Add();
  a.SetZOrder(3);
  b.SetZOrder(3);
  chart.AssignZOrders();
  EXPECT_EQ(chart.maxZOrder, 4);
  EXPECT_EQ(a.EffectiveZOrder(), 3);
  EXPECT_TRUE(a.MoreSameZOrder());
  EXPECT_TRUE(b.MoreSameZOrder());
  EXPECT_FALSE(c.MoreSameZOrder());
  EXPECT_TRUE(a.FirstInZOrder());
  EXPECT_FALSE(b.FirstInZOrder());
  EXPECT_TRUE(c.FirstInZOrder());

  // A series with z values, or an inactive one, does not share.
  b.SetHasZValues(true);
  EXPECT_FALSE(a.MoreSameZOrder());
  b.SetHasZValues(false);
  b.SetActive(false);
  EXPECT_FALSE(a.MoreSameZOrder());
  EXPECT_FALSE(b.FirstInZOrder());
  b.SetActive(true);
  chart.applyZOrder = false;
  EXPECT_FALSE(a.MoreSameZOrder());
}

TEST(SeriesTest, DepthRangeGivesTheMarksTheMiddle) {
  TTestSeries s;
  s.SetDepthRange(16, 32);
  EXPECT_EQ(s.StartZ(), 16);
  EXPECT_EQ(s.EndZ(), 32);
  EXPECT_EQ(s.MiddleZ(), 24);
  EXPECT_EQ(s.Marks().ZPosition(), 24);
}

TEST(SeriesTest, PointOriginSumsPositiveValuesOfEarlierSeriesOfTheSameKind) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  TOtherTestSeries& other = chart.Add<TOtherTestSeries>();
  TTestSeries& b = chart.Add();
  TTestSeries& c = chart.Add();
  a.AddPointValue(5);
  other.AddPointValue(100);
  b.AddPointValue(-2);
  c.AddPointValue(7);
  EXPECT_EQ(a.PointOrigin(0, false), 0);
  EXPECT_EQ(c.PointOrigin(0, false), 5);
  EXPECT_EQ(c.PointOrigin(0, true), 12);
  EXPECT_EQ(other.PointOrigin(0, true), 100);
  a.SetActive(false);
  EXPECT_EQ(c.PointOrigin(0, false), 0);
  TTestSeries lone;
  lone.AddPointValue(3);
  EXPECT_EQ(lone.PointOrigin(0, true), 0);
}

// ---- visible range and drawing -----------------------------------------------------------

class VisibleRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t i = 0; i <= 10; ++i) s.AddPointXY(i, i * i);
    chart.PrepareAxes();
    chart.BottomAxis().SetWorkingRange(2.5, 6.5);
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
};

TEST_F(VisibleRangeTest, KeepsThePointsInsideTheAxisRange) {
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), 3);
  EXPECT_EQ(s.LastValueIndex(), 6);
  s.DrawAllValues();
  EXPECT_EQ(s.drawn, (std::vector<int32_t>{3, 4, 5, 6}));
}

TEST_F(VisibleRangeTest, SeriesThatConnectPointsKeepThePointBeyondTheEdge) {
  s.SetDrawBetweenPoints(true);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), 3);
  EXPECT_EQ(s.LastValueIndex(), 7);
}

TEST_F(VisibleRangeTest, InvertedAxisReadsTheEdgesTheOtherWay) {
  chart.BottomAxis().SetInverted(true);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), 3);
  EXPECT_EQ(s.LastValueIndex(), 6);
}

TEST_F(VisibleRangeTest, NothingVisibleGivesMinusOne) {
  chart.BottomAxis().SetWorkingRange(20, 30);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), -1);
  s.DrawAllValues();
  EXPECT_TRUE(s.drawn.empty());
}

TEST_F(VisibleRangeTest, UnorderedOrUncomputedSeriesShowEveryPoint) {
  s.SetCalcVisiblePoints(false);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), 0);
  EXPECT_EQ(s.LastValueIndex(), 10);
  s.SetCalcVisiblePoints(true);
  s.XValues().SetOrder(TChartListOrder::loNone);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.LastValueIndex(), 10);
}

TEST_F(VisibleRangeTest, BackwardSeriesDrawFromTheLastPoint) {
  s.backwards = true;
  s.ComputeVisibleRange();
  s.DrawAllValues();
  EXPECT_EQ(s.drawn, (std::vector<int32_t>{6, 5, 4, 3}));
}

TEST(SeriesTest, EmptySeriesHasNoVisibleRange) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  chart.PrepareAxes();
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), -1);
  EXPECT_EQ(s.LastValueIndex(), -1);
}

TEST(SeriesTest, XMandatorySeriesUseTheVerticalAxisForTheirRange) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.xMandatory = true;
  s.YValues().SetOrder(TChartListOrder::loAscending);
  s.XValues().SetOrder(TChartListOrder::loNone);
  for (int32_t i = 0; i <= 10; ++i) s.AddPointXY(i * 3, i);
  chart.PrepareAxes();
  chart.LeftAxis().SetWorkingRange(4.5, 8.5);
  s.ComputeVisibleRange();
  EXPECT_EQ(s.FirstValueIndex(), 5);
  EXPECT_EQ(s.LastValueIndex(), 8);
}

TEST(SeriesTest, ClickFiresTheSeriesEvent) {
  TTestSeries s;
  int32_t clicked = -2, doubled = -2;
  s.OnClick = [&](TChartSeries&, int32_t index, platform::MouseButton, platform::ShiftState,
                  int32_t, int32_t) { clicked = index; };
  s.OnDblClick = [&](TChartSeries&, int32_t index, platform::MouseButton, platform::ShiftState,
                     int32_t, int32_t) { doubled = index; };
  EXPECT_FALSE(s.ClickAt(false, platform::MouseButton::Left, {}, 1, 1));
  s.clickedIndex = 4;
  EXPECT_TRUE(s.ClickAt(false, platform::MouseButton::Left, {}, 1, 1));
  EXPECT_TRUE(s.ClickAt(true, platform::MouseButton::Left, {}, 1, 1));
  EXPECT_EQ(clicked, 4);
  EXPECT_EQ(doubled, 4);
}

// ---- repaint requests --------------------------------------------------------------------

TEST(SeriesTest, SettersRepaintOnlyWhenTheValueChanges) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  auto repaintsOf = [&](auto&& change) {
    const int32_t before = chart.repaints;
    change();
    return chart.repaints - before;
  };
  EXPECT_EQ(repaintsOf([&] { s.SetTitle("T"); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetTitle("T"); }), 0);
  EXPECT_EQ(repaintsOf([&] { s.SetActive(false); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetActive(false); }), 0);
  EXPECT_EQ(repaintsOf([&] { s.SetValueFormat("0.0"); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetPercentFormat("0 %"); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetShowInLegend(false); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetSeriesColor(clTeal); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetSeriesColor(clTeal); }), 0);
  EXPECT_EQ(repaintsOf([&] { s.SetHorizAxis(THorizAxis::aTopAxis); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetVertAxis(TVertAxis::aLeftAxis); }), 0);
  EXPECT_EQ(repaintsOf([&] { s.XValues().SetDateTime(true); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.YValues().SetMultiplier(3); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.Marks().SetVisible(true); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.Marks().Frame().SetColor(clRed); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.Marks().Arrow().SetWidth(2); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.Marks().Font().SetSize(12); }), 1);
  EXPECT_EQ(repaintsOf([&] { s.SetZOrder(1); }), 1);
}

// ---- data sources and functions -----------------------------------------------------------

TEST(SeriesTest, DataSourceChecksRaiseTheirMessages) {
  TTestChart chart;
  TTestSeries& source = chart.Add();
  TTestSeries& target = chart.Add();
  TTestSeries& detached = chart.Create();
  source.SetName("Series1");

  EXPECT_EQ(ErrorOf([&] { detached.SetDataSource(&source); }),
            "No ParentChart to validate DataSource");

  TComponent notASeries;
  notASeries.SetName("Table1");
  EXPECT_EQ(ErrorOf([&] { target.SetDataSource(&notASeries); }), "No valid DataSource: Table1");
  target.SetName("Series2");
  EXPECT_EQ(ErrorOf([&] { target.SetDataSource(&target); }), "No valid DataSource: Series2");

  target.SetDataSource(&source);
  EXPECT_EQ(target.DataSource(), &source);
  EXPECT_EQ(ErrorOf([&] { source.SetDataSource(&target); }),
            "Circular Series dependences are not allowed");
  TTestSeries& third = chart.Add();
  third.SetDataSource(&target);
  EXPECT_EQ(ErrorOf([&] { source.SetDataSource(&third); }),
            "Circular Series dependences are not allowed");
  EXPECT_EQ(source.DataSource(), nullptr);
  EXPECT_EQ(source.LinkedSeries().size(), 1u);
}

TEST(SeriesTest, LinkedSeriesFollowTheirSource) {
  TTestChart chart;
  TTestSeries& source = chart.Add();
  source.AddPointXY(1, 10, "a", clRed);
  source.AddPointXY(2, 20);
  TTestSeries& copy = chart.Add();
  copy.SetDataSource(&source);
  EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{10, 20}));
  EXPECT_EQ(copy.PointLabel(0), "a");
  EXPECT_EQ(copy.PointColor(0), clRed);

  source.AddPointXY(3, 30);
  EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{10, 20, 30}));
  source.DeletePoint(0);
  EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{20, 30}));
  source.YValues().SetValueAt(0, 25);
  EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{25, 30}));
  source.ClearPoints();
  EXPECT_EQ(copy.PointCount(), 0);

  // Without the flags the linked series keeps its points.
  source.AddPointXY(1, 1);
  copy.SetRecalcOptions(false, false, false, false);
  source.AddPointXY(2, 2);
  source.DeletePoint(0);
  source.YValues().SetValueAt(0, 9);
  source.ClearPoints();
  EXPECT_EQ(Values(copy.YValues()), (std::vector<double>{1}));

  // Unlinking, and destroying a source, drop the links.
  copy.SetDataSource(nullptr);
  EXPECT_TRUE(source.LinkedSeries().empty());
  copy.SetDataSource(&source);
  chart.Destroy(source);
  EXPECT_EQ(copy.DataSource(), nullptr);
}

TEST(SeriesTest, FillSampleValuesNeedsAPositiveCount) {
  TTestSeries s;
  EXPECT_EQ(ErrorOf([&] { s.FillSampleValues(0); }), "FillSampleValues NumValues must be > 0");
  EXPECT_EQ(ErrorOf([&] { s.FillSampleValues(-3); }), "FillSampleValues NumValues must be > 0");
  s.FillSampleValues(5);
  EXPECT_EQ(s.PointCount(), 5);

  TTestChart chart;
  chart.designing = true;
  EXPECT_EQ(chart.Add().PointCount(), 26);
}

// Sums each period of its source.
class TSumFunction : public TZidFunction {
 protected:
  double Calculate(TChartSeries& source, int32_t first, int32_t last) override {
    double sum = 0;
    for (int32_t i = first; i <= last; ++i) sum += source.YValue(i);
    return sum;
  }
};

TEST(SeriesTest, FunctionPeriodMustNotBeNegative) {
  TSumFunction f;
  EXPECT_EQ(f.Period(), 0);
  EXPECT_EQ(f.PeriodAlign(), TFunctionPeriodAlign::paCenter);
  EXPECT_EQ(f.PeriodStyle(), TFunctionPeriodStyle::psNumPoints);
  f.SetPeriod(2);
  EXPECT_EQ(ErrorOf([&] { f.SetPeriod(-1); }), "Function Period should be >= 0");
  EXPECT_EQ(f.Period(), 2);
}

TEST(SeriesTest, FunctionFillsItsSeriesPeriodByPeriod) {
  TTestChart chart;
  TTestSeries& source = chart.Add();
  for (int32_t i = 0; i < 5; ++i) source.AddPointXY(i, i + 1);  // 1..5
  TTestSeries& result = chart.Add();
  auto function = std::make_unique<TSumFunction>();
  TSumFunction& f = *function;
  result.SetFunction(std::move(function));
  result.SetDataSource(&source);
  // Period 0: the whole series at the centre X.
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{15}));
  EXPECT_EQ(Values(result.XValues()), (std::vector<double>{2}));
  f.SetPeriod(2);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{3, 7, 5}));
  EXPECT_EQ(Values(result.XValues()), (std::vector<double>{0.5, 2.5, 4}));
  f.SetPeriodAlign(TFunctionPeriodAlign::paLast);
  EXPECT_EQ(Values(result.XValues()), (std::vector<double>{1, 3, 4}));
  f.SetPeriodStyle(TFunctionPeriodStyle::psRange);
  f.SetPeriod(2.5);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{6, 9}));
  // A function series does not copy inserted points; its function recomputes on a change.
  source.YValues().SetValueAt(0, 11);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{16, 9}));
}

// ---- the series list ---------------------------------------------------------------------

TEST(SeriesTest, SeriesListCountsAndMoves) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  TChartSeriesList& list = chart.SeriesList();
  EXPECT_EQ(list.CountActive(), 2);
  b.SetActive(false);
  EXPECT_EQ(list.CountActive(), 1);
  list.Move(1, 0);
  EXPECT_EQ(&list[0], &b);
  EXPECT_EQ(list.IndexOf(a), 1);
  EXPECT_EQ(list.At(5), nullptr);
  EXPECT_EQ(ErrorOf([&] { list.Move(2, 0); }), "List index out of bounds (2)");
}

TEST(SeriesTest, LegendTitleFallsBackToNameAndPosition) {
  TTestSeries s;
  EXPECT_EQ(SeriesLegendTitle(s, 2), "Series 2");
  s.SetName("Series7");
  EXPECT_EQ(SeriesLegendTitle(s, 2), "Series7");
  s.SetTitle("Sales");
  EXPECT_EQ(SeriesLegendTitle(s, 2), "Sales");
}

TEST(SeriesTest, ExtraValueListsTakeTheirPendingValues) {
  TTestSeries s;
  s.AddPointXY(1, 1);
  TChartValueList& z = s.AddValueList("Z");
  EXPECT_EQ(z.ValueCount(), 1);
  z.SetPendingValue(42);
  s.AddPointXY(0, 2);
  EXPECT_EQ(Values(z), (std::vector<double>{42, 0}));
  EXPECT_EQ(s.FindValueList("Z"), &z);
  EXPECT_EQ(s.FindValueList("W"), nullptr);
  s.DeletePoint(0);
  EXPECT_EQ(Values(z), (std::vector<double>{0}));
}

}  // namespace
}  // namespace zq
