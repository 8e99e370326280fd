#include "engine/chart/axis_panel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/record/recording_surface.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordingSurface;
using testing::TTestSeries;

// A series that writes what the chart asks of it into a shared log.
class LoggingSeries : public TTestSeries {
 public:
  LoggingSeries(std::vector<std::string>& log, std::string tag) : log_(log), tag_(std::move(tag)) {}

  void DoBeforeDrawChart() override { log_.push_back(tag_ + ".chart"); }
  void DoBeforeDrawValues() override {
    log_.push_back(tag_ + ".before");
    TTestSeries::DoBeforeDrawValues();
  }
  void DrawValue(int32_t index) override {
    log_.push_back(tag_ + "." + std::to_string(index));
    TTestSeries::DrawValue(index);
  }
  void DoAfterDrawValues() override {
    log_.push_back(tag_ + ".after");
    TTestSeries::DoAfterDrawValues();
  }
  bool DrawSeriesForward(int32_t /*index*/) const override { return !seriesBackwards; }

  bool seriesBackwards = false;

 private:
  std::vector<std::string>& log_;
  std::string tag_;
};

// The axis panel with the chart's steps written into the log instead of drawn. The layout
// steps do what the chart does without walls, titles and legend.
class TestPanel : public TCustomAxisPanel {
 public:
  TestPanel() {
    SetUseBackBuffer(false);
    SetWindowLink({[this] { ++invalidations; }, [this] { ++refreshes; }});
  }
  ~TestPanel() override { FreeAllSeries(); }

  template <typename T = TTestSeries>
  T& Add() {
    return AddSeries<T>();
  }
  LoggingSeries& AddLogging(const std::string& tag) { return AddSeries<LoggingSeries>(log, tag); }

  bool ColorIsUnused(TColor, bool) const override { return true; }

  // Paints into a recording surface of the panel's size; the recording holds this paint only.
  void PaintOnce() {
    surface.ClearOps();
    Paint(surface, ClientRect());
  }

  std::vector<std::string> log;
  RecordingSurface surface{400, 250};
  int invalidations = 0;
  int refreshes = 0;
  bool reserveAxes = true;

 protected:
  void PaintTitlesAndLegend() override { log.push_back("titles"); }
  void ReserveAxisRoom() override {
    log.push_back("axisroom");
    ComputeAxesRanges();
    CalcSize3D();
    Rect r = ChartRect();
    if (reserveAxes) ReserveAxesSpace(r);
    SetChartRect(r);
    RecalcWidthHeight();
    ComputeAxesPositions();
  }
  void ApplySeriesMargins() override {
    log.push_back("margins");
    AdjustAxesForSeriesMargins();
  }
  void PaintWalls() override { log.push_back("walls"); }
  void PaintAxis(TCustomChartAxis& axis) override {
    log.push_back(&axis == &BottomAxis()  ? "axis.bottom"
                  : &axis == &LeftAxis()  ? "axis.left"
                  : &axis == &DepthAxis() ? "axis.depth"
                                          : "axis.other");
  }
};

std::vector<std::string> Without(const std::vector<std::string>& log, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& s : log) {
    if (s.rfind(prefix, 0) != 0) out.push_back(s);
  }
  return out;
}

// What the series did, without their before-draw-chart hooks.
std::vector<std::string> SeriesSteps(const std::vector<std::string>& log) {
  std::vector<std::string> out;
  for (const auto& s : log) {
    if (s.size() > 2 && s[1] == '.' && s.find(".chart") == std::string::npos) out.push_back(s);
  }
  return out;
}

// ---- construction and properties -------------------------------------------------------------

TEST(AxisPanel, DefaultsAndAxes) {
  TestPanel p;
  EXPECT_TRUE(p.AxisVisible());
  EXPECT_TRUE(p.ClipPoints());
  EXPECT_TRUE(p.View3DWalls());
  EXPECT_EQ(p.MaxPointsPerPage(), 0);
  EXPECT_EQ(p.Page(), 1);
  EXPECT_TRUE(p.ScaleLastPage());
  EXPECT_EQ(p.NumPages(), 1);
  EXPECT_EQ(p.LegendColor(), clDefault);

  const auto& axes = p.AxesList();
  ASSERT_EQ(axes.size(), 5u);
  EXPECT_EQ(axes[0], &p.BottomAxis());
  EXPECT_EQ(axes[1], &p.TopAxis());
  EXPECT_EQ(axes[2], &p.LeftAxis());
  EXPECT_EQ(axes[3], &p.RightAxis());
  EXPECT_EQ(axes[4], &p.DepthAxis());
  EXPECT_TRUE(p.BottomAxis().Horizontal());
  EXPECT_FALSE(p.BottomAxis().OtherSide());
  EXPECT_TRUE(p.TopAxis().Horizontal());
  EXPECT_TRUE(p.TopAxis().OtherSide());
  EXPECT_TRUE(p.LeftAxis().Vertical());
  EXPECT_EQ(p.LeftAxis().Title().Angle(), 90);
  EXPECT_TRUE(p.RightAxis().OtherSide());
  EXPECT_EQ(p.RightAxis().Title().Angle(), 270);
  EXPECT_TRUE(p.DepthAxis().IsDepthAxis());
  EXPECT_FALSE(p.DepthAxis().Visible());
  for (TCustomChartAxis* axis : axes) EXPECT_EQ(axis->ParentChart(), &p);

  // Setting an axis copies it.
  TestPanel other;
  other.LeftAxis().SetInverted(true);
  other.LeftAxis().SetTickLength(9);
  p.SetLeftAxis(other.LeftAxis());
  EXPECT_TRUE(p.LeftAxis().Inverted());
  EXPECT_EQ(p.LeftAxis().TickLength(), 9);
  EXPECT_EQ(p.LeftAxis().ParentChart(), &p);
}

TEST(AxisPanel, SettersRepaintOnlyOnChange) {
  TestPanel p;
  const int before = p.invalidations;
  p.SetAxisVisible(true);
  p.SetClipPoints(true);
  p.SetView3DWalls(true);
  p.SetScaleLastPage(true);
  EXPECT_EQ(p.invalidations, before);
  p.SetAxisVisible(false);
  p.SetClipPoints(false);
  p.SetView3DWalls(false);
  p.SetScaleLastPage(false);
  EXPECT_EQ(p.invalidations, before + 4);
}

// ---- series membership ------------------------------------------------------------------------

TEST(AxisPanelSeries, JoiningAppendsAndTakesAFreePaletteColour) {
  TestPanel p;
  p.SetColor(clWhite);
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  ASSERT_EQ(p.SeriesCount(), 2);
  EXPECT_EQ(&p.Series(0), &a);
  EXPECT_EQ(&p.Series(1), &b);
  EXPECT_EQ(a.ParentChart(), &p);
  EXPECT_EQ(a.SeriesColor(), DefaultPaletteColor(0));  // red
  EXPECT_EQ(b.SeriesColor(), DefaultPaletteColor(1));  // green
  EXPECT_EQ(a.GetHorizAxis(), &p.BottomAxis());
  EXPECT_EQ(a.GetVertAxis(), &p.LeftAxis());
  EXPECT_TRUE(p.OwnsSeries(a));

  // Joining twice does not list a series twice.
  a.SetParentChart(&p);
  EXPECT_EQ(p.SeriesCount(), 2);
}

TEST(AxisPanelSeries, LeavingRemovesRepaintsAndRestoresTheCursor) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  p.SetSavedCursor(7);
  // Show the series' cursor as the mouse would.
  b.SetCursor(-21);
  p.SetCursor(-21);
  const int before = p.invalidations;
  b.SetParentChart(nullptr);
  EXPECT_EQ(p.SeriesCount(), 1);
  EXPECT_EQ(&p.Series(0), &a);
  EXPECT_EQ(b.ParentChart(), nullptr);
  EXPECT_GT(p.invalidations, before);
  // The chart still owns it and frees it with itself.
  EXPECT_TRUE(p.OwnsSeries(b));

  p.FreeSeries(a);
  EXPECT_EQ(p.SeriesCount(), 0);
  EXPECT_FALSE(p.OwnsSeries(a));
}

TEST(AxisPanelSeries, DestroyingTheChartDetachesSeriesItDoesNotOwn) {
  TTestSeries outside;
  {
    TestPanel p;
    outside.SetParentChart(&p);
    p.Add();
    ASSERT_EQ(p.SeriesCount(), 2);
  }
  EXPECT_EQ(outside.ParentChart(), nullptr);
  EXPECT_EQ(outside.GetHorizAxis(), nullptr);
}

TEST(AxisPanelSeries, AccessHelpers) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  TTestSeries& c = p.Add();
  a.SetActive(false);
  for (int i = 0; i < 5; ++i) a.AddPointXY(i, i);
  for (int i = 0; i < 3; ++i) b.AddPointXY(i, i);
  c.SetVertAxis(TVertAxis::aRightAxis);
  c.AddPointXY(0, 0);

  // The longest active series has 3 points; inactive ones do not count.
  EXPECT_EQ(p.GetMaxValuesCount(), 3);
  EXPECT_EQ(p.GetAxisSeries(p.LeftAxis()), &b);
  EXPECT_EQ(p.GetAxisSeries(p.RightAxis()), &c);
  // Without an active series on the axis, any series bound to it.
  b.SetActive(false);
  EXPECT_EQ(p.GetAxisSeries(p.LeftAxis()), &a);
  EXPECT_EQ(p.GetAxisSeries(p.TopAxis()), nullptr);
  b.SetActive(true);

  // Legend order counts active series shown in the legend.
  b.SetTitle("Bee");
  EXPECT_EQ(p.SeriesLegend(0), &b);
  EXPECT_EQ(p.SeriesLegend(1), &c);
  EXPECT_EQ(p.SeriesLegend(2), nullptr);
  EXPECT_EQ(p.SeriesTitleLegend(0), "Bee");
  c.SetName("Cee");
  EXPECT_EQ(p.SeriesTitleLegend(1), "Cee");
  c.SetShowInLegend(false);
  EXPECT_EQ(p.SeriesLegend(1), nullptr);
}

TEST(AxisPanelSeries, LegendTitleWithoutTitleOrNameCountsItsPosition) {
  TestPanel p;
  p.Add().SetTitle("one");
  p.Add().SetTitle("two");
  p.Add();
  EXPECT_EQ(p.SeriesTitleLegend(2), "Series 2");
  EXPECT_EQ(p.SeriesTitleLegend(3), "");
}

TEST(AxisPanelSeries, ValidDataSources) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  TComponent notASeries;
  EXPECT_TRUE(p.IsValidDataSource(a, b));
  EXPECT_FALSE(p.IsValidDataSource(a, a));
  EXPECT_FALSE(p.IsValidDataSource(a, notASeries));
}

// ---- paging ------------------------------------------------------------------------------------

TEST(AxisPanelPaging, NegativeMaxPointsPerPageIsRefused) {
  TestPanel p;
  p.SetMaxPointsPerPage(4);
  try {
    p.SetMaxPointsPerPage(-1);
    FAIL() << "no exception";
  } catch (const ChartException& e) {
    EXPECT_STREQ(e.what(), "MaxPointsPerPage must be >= 0");
  }
  EXPECT_EQ(p.MaxPointsPerPage(), 4);
}

TEST(AxisPanelPaging, PagesCountTheLongestSeriesOnTheOrderedAxes) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  for (int i = 0; i < 10; ++i) a.AddPointXY(i, i);
  for (int i = 0; i < 4; ++i) b.AddPointXY(i, i);
  EXPECT_EQ(p.NumPages(), 1);
  p.SetMaxPointsPerPage(3);
  EXPECT_EQ(p.NumPages(), 4);  // 10 / 3 rounded up
  p.SetMaxPointsPerPage(5);
  EXPECT_EQ(p.NumPages(), 2);
  // A series on the top axis counts as well.
  TTestSeries& c = p.Add();
  c.SetHorizAxis(THorizAxis::aTopAxis);
  for (int i = 0; i < 16; ++i) c.AddPointXY(i, i);
  EXPECT_EQ(p.NumPages(), 4);
  // Inactive series do not.
  c.SetActive(false);
  EXPECT_EQ(p.NumPages(), 2);
  // An X-mandatory first series pages along the vertical axes.
  a.xMandatory = true;
  EXPECT_EQ(p.NumPages(), 2);
  b.SetVertAxis(TVertAxis::aRightAxis);
  EXPECT_EQ(p.NumPages(), 2);
  a.SetActive(false);
  b.SetActive(false);
  // No active series on the vertical axes: one page.
  EXPECT_EQ(p.NumPages(), 1);
}

TEST(AxisPanelPaging, PageIsClampedAndAnnounced) {
  TestPanel p;
  TTestSeries& a = p.Add();
  for (int i = 0; i < 10; ++i) a.AddPointXY(i, i);
  int changes = 0;
  p.OnPageChange = [&] { ++changes; };
  p.SetMaxPointsPerPage(3);
  p.SetPage(3);
  EXPECT_EQ(p.Page(), 3);
  EXPECT_EQ(changes, 1);
  p.SetPage(99);
  EXPECT_EQ(p.Page(), 4);
  p.SetPage(0);
  EXPECT_EQ(p.Page(), 1);
  p.SetPage(-5);
  EXPECT_EQ(p.Page(), 1);
  EXPECT_EQ(changes, 3);
  p.NextPage();
  p.NextPage();
  EXPECT_EQ(p.Page(), 3);
  p.PreviousPage();
  EXPECT_EQ(p.Page(), 2);

  // Fewer pages after a change: the page moves to the last one.
  p.SetPage(4);
  p.SetMaxPointsPerPage(5);
  EXPECT_EQ(p.Page(), 2);
  p.SetMaxPointsPerPage(0);
  EXPECT_EQ(p.Page(), 1);
}

TEST(AxisPanelPaging, TheBottomAxisShowsThePage) {
  TestPanel p;
  TTestSeries& a = p.Add();
  for (int i = 0; i < 10; ++i) a.AddPointXY(i * 10, i);
  p.SetMaxPointsPerPage(4);
  p.SetPage(2);
  p.PaintOnce();
  EXPECT_DOUBLE_EQ(p.BottomAxis().IMinimum(), 40);
  EXPECT_DOUBLE_EQ(p.BottomAxis().IMaximum(), 70);
}

// ---- z order and 3D sizes -----------------------------------------------------------------------

TEST(AxisPanelDepth, FirstSeriesLiesDeepestAndSizesFollowThePercent) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  TTestSeries& c = p.Add();
  p.SetChart3DPercent(20);
  p.View3DOptions().SetOrthogonal(false);
  p.SetChartRect({0, 0, 400, 300});
  p.RecalcWidthHeight();
  p.CalcZOrders();
  p.CalcSize3D();
  EXPECT_EQ(a.ComputedZOrder(), 2);
  EXPECT_EQ(b.ComputedZOrder(), 1);
  EXPECT_EQ(c.ComputedZOrder(), 0);
  EXPECT_EQ(p.MaxZOrder(), 2);
  // round(400 x 0.04) = 16 each, three slots.
  EXPECT_EQ(p.SeriesWidth3D(), 16);
  EXPECT_EQ(p.SeriesHeight3D(), 16);
  EXPECT_EQ(p.Width3D(), 48);
  EXPECT_EQ(p.Height3D(), 48);

  // Orthogonal halves the depth: round(400 x 0.02) = 8.
  p.View3DOptions().SetOrthogonal(true);
  p.CalcSize3D();
  EXPECT_EQ(p.SeriesWidth3D(), 8);
  EXPECT_EQ(p.Width3D(), 24);

  // Without z order every series shares one slot.
  p.SetApplyZOrder(false);
  p.CalcZOrders();
  p.CalcSize3D();
  EXPECT_EQ(a.ComputedZOrder(), 0);
  EXPECT_EQ(c.ComputedZOrder(), 0);
  EXPECT_EQ(p.Width3D(), 8);

  // In 2D every size is 0.
  p.SetApplyZOrder(true);
  p.SetView3D(false);
  p.CalcZOrders();
  p.CalcSize3D();
  EXPECT_EQ(a.ComputedZOrder(), 0);
  EXPECT_EQ(b.ComputedZOrder(), 0);
  EXPECT_EQ(p.SeriesWidth3D(), 0);
  EXPECT_EQ(p.Width3D(), 0);
  EXPECT_EQ(p.Height3D(), 0);
}

TEST(AxisPanelDepth, ExplicitZOrderAndInactiveSeries) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  TTestSeries& c = p.Add();
  b.SetActive(false);
  c.SetZOrder(4);
  p.CalcZOrders();
  // a takes 0, c raises the highest to 4: a lies 4 slots deep, c in front.
  EXPECT_EQ(p.MaxZOrder(), 4);
  EXPECT_EQ(a.ComputedZOrder(), 4);
  EXPECT_EQ(c.ComputedZOrder(), 0);
}

TEST(AxisPanelDepth, PaintGivesEverySeriesItsDepthRange) {
  TestPanel p;
  TTestSeries& a = p.Add();
  TTestSeries& b = p.Add();
  a.AddPointXY(0, 0);
  b.AddPointXY(0, 0);
  p.SetChart3DPercent(10);
  p.reserveAxes = false;
  p.PaintOnce();
  const int32_t depth = p.SeriesWidth3D();
  ASSERT_GT(depth, 0);
  EXPECT_EQ(a.StartZ(), depth);
  EXPECT_EQ(a.EndZ(), 2 * depth);
  EXPECT_EQ(a.MiddleZ(), (3 * depth) / 2);
  EXPECT_EQ(a.Marks().ZPosition(), a.MiddleZ());
  EXPECT_EQ(b.StartZ(), 0);
  EXPECT_EQ(b.EndZ(), depth);
}

// ---- the paint body -----------------------------------------------------------------------------

TEST(AxisPanelPaint, StepsRunInTheirOrder) {
  TestPanel p;
  p.SetView3D(false);
  LoggingSeries& a = p.AddLogging("a");
  LoggingSeries& b = p.AddLogging("b");
  for (int i = 0; i < 2; ++i) {
    a.AddPointXY(i, i);
    b.AddPointXY(i, i);
  }
  p.OnBeforeDrawAxes = [&](TCustomAxisPanel& sender) {
    EXPECT_EQ(&sender, &p);
    p.log.push_back("beforeaxes");
  };
  p.OnBeforeDrawSeries = [&](TCustomAxisPanel&) { p.log.push_back("beforeseries"); };
  p.OnAfterDraw = [&] { p.log.push_back("afterdraw"); };
  p.PaintOnce();
  const std::vector<std::string> expected = {
      "a.chart",     "b.chart",   "titles",       "axisroom", "margins",  "walls", "beforeaxes",
      "axis.bottom", "axis.left", "beforeseries", "a.before", "a.0",      "a.1",   "a.after",
      "b.before",    "b.0",       "b.1",          "b.after",  "afterdraw"};
  EXPECT_EQ(p.log, expected);

  // Inactive series take no part; hidden axes draw nothing and fire no event.
  p.log.clear();
  a.SetActive(false);
  p.SetAxisVisible(false);
  p.PaintOnce();
  const std::vector<std::string> hidden = {"b.chart", "titles",       "axisroom", "margins",
                                           "walls",   "beforeseries", "b.before", "b.0",
                                           "b.1",     "b.after",      "afterdraw"};
  EXPECT_EQ(p.log, hidden);
}

TEST(AxisPanelPaint, DepthAxisIsDrawnIn3DWhenVisible) {
  TestPanel p;
  p.AddLogging("a").AddPointXY(0, 0);
  p.DepthAxis().SetVisible(true);
  p.PaintOnce();
  const auto drawn = Without(p.log, "a.");
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), "axis.depth"), drawn.end());
  p.log.clear();
  p.SetView3D(false);
  p.PaintOnce();
  EXPECT_EQ(std::find(p.log.begin(), p.log.end(), "axis.depth"), p.log.end());
}

TEST(AxisPanelPaint, AxesTakeSpaceOnlyWhenShown) {
  TestPanel p;
  p.SetView3D(false);
  TTestSeries& a = p.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(10, 100);
  p.PaintOnce();
  const Rect withAxes = p.ChartRect();
  p.SetAxisVisible(false);
  p.PaintOnce();
  const Rect without = p.ChartRect();
  // 3 % and 4 % margins of 400 x 250.
  EXPECT_EQ(without, (Rect{12, 10, 388, 240}));
  EXPECT_GT(withAxes.left, without.left);
  EXPECT_LT(withAxes.bottom, without.bottom);
  EXPECT_EQ(withAxes.right, without.right);  // no right axis in use
  EXPECT_EQ(withAxes.top, without.top);
}

TEST(AxisPanelPaint, AnAxisThatWouldEmptyTheRectangleTakesNothing) {
  TestPanel p;
  p.SetView3D(false);
  TTestSeries& a = p.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(10, 100);
  p.LeftAxis().SetLabelsSize(1000);
  p.PaintOnce();
  EXPECT_EQ(p.ChartRect().left, 12);
  EXPECT_LT(p.ChartRect().bottom, 240);
}

TEST(AxisPanelPaint, SeriesMarginsWidenTheAutomaticSides) {
  TestPanel p;
  p.SetView3D(false);
  p.reserveAxes = false;
  TTestSeries& a = p.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(100, 100);
  a.leftMargin = a.rightMargin = 10;
  a.topMargin = a.bottomMargin = 5;
  p.PaintOnce();
  const Rect r = p.ChartRect();
  // The data keeps 10 pixels to the left and right and 5 above and below.
  EXPECT_EQ(p.BottomAxis().ValueToPixel(0), r.left + 10);
  EXPECT_EQ(p.BottomAxis().ValueToPixel(100), r.right - 10);
  EXPECT_EQ(p.LeftAxis().ValueToPixel(100), r.top + 5);
  EXPECT_EQ(p.LeftAxis().ValueToPixel(0), r.bottom - 5);

  // A fixed maximum takes no margin on its side.
  p.BottomAxis().SetAutomaticMaximum(false);
  p.BottomAxis().SetMaximum(100);
  p.LeftAxis().SetAutomaticMinimum(false);
  p.LeftAxis().SetMinimum(0);
  p.PaintOnce();
  EXPECT_EQ(p.BottomAxis().ValueToPixel(0), r.left + 10);
  EXPECT_EQ(p.BottomAxis().ValueToPixel(100), r.right);
  EXPECT_EQ(p.LeftAxis().ValueToPixel(100), r.top + 5);
  EXPECT_EQ(p.LeftAxis().ValueToPixel(0), r.bottom);
}

TEST(AxisPanelPaint, SeriesAreClippedToTheChartRectangle) {
  TestPanel p;
  p.SetView3D(false);
  p.reserveAxes = false;
  TTestSeries& a = p.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(1, 1);
  p.PaintOnce();
  const Rect r = p.ChartRect();
  auto clips = p.surface.OpsOfKind(OpKind::ClipRect);
  ASSERT_EQ(clips.size(), 1u);
  // The 2D box: one pixel in at left, top and bottom.
  EXPECT_EQ(clips[0].args, (std::vector<int32_t>{r.left + 1, r.top + 1, r.right, r.bottom - 1}));
  EXPECT_EQ(p.surface.OpsOfKind(OpKind::RemoveClip).size(), 1u);
  EXPECT_EQ(a.drawn, (std::vector<int32_t>{0, 1}));

  p.SetClipPoints(false);
  p.PaintOnce();
  EXPECT_TRUE(p.surface.OpsOfKind(OpKind::ClipRect).empty());

  // Marks clip on their own when asked.
  a.Marks().SetVisible(true);
  a.Marks().SetClip(true);
  p.PaintOnce();
  EXPECT_EQ(p.surface.OpsOfKind(OpKind::ClipRect).size(), 1u);
  EXPECT_EQ(p.surface.OpsOfKind(OpKind::TextOut).size(), 2u);
}

TEST(AxisPanelPaint, ASeriesWithNoVisiblePointDrawsNothing) {
  TestPanel p;
  p.SetView3D(false);
  LoggingSeries& a = p.AddLogging("a");
  for (int i = 0; i < 4; ++i) a.AddPointXY(i, i);
  a.Marks().SetVisible(true);
  p.BottomAxis().SetMinMax(10, 20);
  p.PaintOnce();
  EXPECT_TRUE(a.drawn.empty());
  EXPECT_EQ(a.FirstValueIndex(), -1);
  EXPECT_TRUE(p.surface.OpsOfKind(OpKind::TextOut).empty());
  EXPECT_EQ(Without(p.log, "axis."),
            (std::vector<std::string>{"a.chart", "titles", "axisroom", "margins", "walls"}));

  // Inside the range the marks show.
  p.BottomAxis().SetMinMax(0, 3);
  p.PaintOnce();
  EXPECT_EQ(p.surface.OpsOfKind(OpKind::TextOut).size(), 4u);
}

TEST(AxisPanelPaint, SeriesSharingAZOrderIn3DDrawPointByPoint) {
  TestPanel p;
  LoggingSeries& a = p.AddLogging("a");
  LoggingSeries& b = p.AddLogging("b");
  LoggingSeries& c = p.AddLogging("c");
  for (int i = 0; i < 3; ++i) a.AddPointXY(i, i);
  for (int i = 1; i < 3; ++i) b.AddPointXY(i, i);
  c.AddPointXY(0, 0);
  // An automatic z order would be flipped into the same effective value: give c its own.
  a.SetZOrder(0);
  b.SetZOrder(0);
  c.SetZOrder(1);
  p.PaintOnce();
  EXPECT_EQ(a.ComputedZOrder(), 1);
  EXPECT_EQ(c.ComputedZOrder(), 0);
  // b's points 1 and 2 are its indexes 0 and 1.
  const std::vector<std::string> expected = {"a.before", "b.before", "a.0", "b.0",
                                             "a.1",      "b.1",      "a.2", "a.after",
                                             "b.after",  "c.before", "c.0", "c.after"};
  EXPECT_EQ(SeriesSteps(p.log), expected);

  // Drawn backwards as the first series says: from the last index down, and at each index in
  // reverse list order.
  p.log.clear();
  a.backwards = true;
  a.seriesBackwards = true;
  p.PaintOnce();
  const std::vector<std::string> backwards = {"a.before", "b.before", "a.2", "b.1",
                                              "a.1",      "b.0",      "a.0", "a.after",
                                              "b.after",  "c.before", "c.0", "c.after"};
  EXPECT_EQ(SeriesSteps(p.log), backwards);

  // In 2D each series draws alone.
  p.log.clear();
  a.backwards = false;
  a.seriesBackwards = false;
  p.SetView3D(false);
  p.PaintOnce();
  const std::vector<std::string> alone = {"a.before", "a.0",      "a.1", "a.2",
                                          "a.after",  "b.before", "b.0", "b.1",
                                          "b.after",  "c.before", "c.0", "c.after"};
  EXPECT_EQ(SeriesSteps(p.log), alone);
}

TEST(AxisPanelPaint, EventsAndTextsReachTheAxes) {
  TestPanel p;
  p.SetView3D(false);
  TTestSeries& a = p.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(10, 10);
  int calls = 0;
  p.OnGetAxisLabelEvent = [&](TCustomChartAxis&, TChartSeries*, int32_t, std::string& text) {
    ++calls;
    text = "<" + text + ">";
  };
  EXPECT_EQ(p.BottomAxis().LabelText(5), "<5>");
  EXPECT_EQ(calls, 1);
  bool asked = false;
  p.OnGetNextAxisLabelEvent = [&](TCustomChartAxis&, int32_t, double&, bool&) { asked = true; };
  p.PaintOnce();
  p.BottomAxis().ComputeLabelValues(1);
  EXPECT_TRUE(asked);
}

TEST(AxisPanelPaint, ResetsTheCanvasAndDrawsAZoomInProgress) {
  TestPanel p;
  p.SetView3D(false);
  p.Zoom().Activate(10, 10);
  p.Zoom().X1 = 50;
  p.Zoom().Y1 = 40;
  p.PaintOnce();
  auto rects = p.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_FALSE(rects.empty());
  EXPECT_EQ(rects.back().args, (std::vector<int32_t>{10, 10, 50, 40}));
  EXPECT_EQ(rects.back().pen.mode, platform::PenMode::NotXor);
  // The pass ends in the neutral state.
  EXPECT_EQ(p.Canvas().Pen().width, 1);
  EXPECT_EQ(p.Canvas().Pen().mode, platform::PenMode::Copy);
  EXPECT_EQ(p.Canvas().Brush().style, platform::BrushStyle::Solid);
}

}  // namespace
}  // namespace zq
