#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/chart/chart.h"
#include "support/chart_fixture.h"
#include "support/chart_window_fixture.h"

namespace zq {
namespace {

using platform::MouseButton;
using platform::OpKind;
using platform::ShiftState;
using testing::ChartWindowFixture;
using testing::TTestSeries;

constexpr MouseButton kLeft = MouseButton::Left;
constexpr MouseButton kRight = MouseButton::Right;

// A series that counts the mouse notifications it gets.
class MouseSeries : public TTestSeries {
 public:
  int moves = 0;
  int ups = 0;
  void MouseMove(ShiftState, int32_t, int32_t) override { ++moves; }
  void MouseUp(MouseButton, ShiftState, int32_t, int32_t) override { ++ups; }
};

// A 400 x 300 chart in 2D whose plotting area is the whole window and whose one series runs
// from (0, 0) to (100, 100): x = 4 pixels per unit, y = 3 pixels per unit upwards.
struct MouseChart : ChartWindowFixture {
  MouseChart() : ChartWindowFixture(400, 300), series(chart.AddSeries<MouseSeries>()) {
    for (int i = 0; i < 4; ++i) chart.SetMargin(i, 0);
    chart.SetBevelOuter(TPanelBevel::bvNone);
    chart.SetView3D(false);
    chart.SetAxisVisible(false);
    chart.Title().SetVisible(false);
    chart.Foot().SetVisible(false);
    chart.Legend().SetVisible(false);
    series.AddPointXY(0, 0);
    series.AddPointXY(100, 100);
    Paint();
  }

  void Drag(MouseButton button, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    chart.MouseDown(button, {}, x0, y0);
    chart.MouseMove({}, x1, y1);
    chart.MouseUp(button, {}, x1, y1);
  }

  TCustomChartAxis& bottom() { return chart.BottomAxis(); }
  TCustomChartAxis& left() { return chart.LeftAxis(); }

  MouseSeries& series;
};

TEST(ChartMouse, LayoutOfTheFixture) {
  MouseChart m;
  EXPECT_EQ(m.chart.ChartRect(), (Rect{0, 0, 400, 300}));
  EXPECT_DOUBLE_EQ(m.bottom().PixelToValue(100), 25);
  EXPECT_DOUBLE_EQ(m.left().PixelToValue(150), 50);
}

// ---- zoom --------------------------------------------------------------------------------------

TEST(ChartMouseZoom, SixteenPixelsDoNothingSeventeenZoom) {
  MouseChart m;
  m.Drag(kLeft, 100, 90, 116, 106);
  EXPECT_FALSE(m.chart.Zoomed());
  EXPECT_TRUE(m.bottom().Automatic());
  EXPECT_TRUE(m.chart.AxisLimitsRestored());
  EXPECT_FALSE(m.chart.Zoom().Active);

  // 17 one way only: still nothing.
  m.Drag(kLeft, 100, 90, 117, 106);
  EXPECT_FALSE(m.chart.Zoomed());
  m.Drag(kLeft, 100, 90, 116, 107);
  EXPECT_FALSE(m.chart.Zoomed());

  int zooms = 0;
  m.chart.OnZoom = [&] { ++zooms; };
  m.Drag(kLeft, 100, 90, 117, 107);
  EXPECT_TRUE(m.chart.Zoomed());
  EXPECT_EQ(zooms, 1);
  EXPECT_FALSE(m.chart.AxisLimitsRestored());
  EXPECT_FALSE(m.bottom().Automatic());
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), 25);
  EXPECT_DOUBLE_EQ(m.bottom().Maximum(), 117 / 4.0);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 100 - 107 / 3.0);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 70);
  // The unused axes are fixed too (to what their pixels give).
  EXPECT_FALSE(m.chart.TopAxis().Automatic());
}

TEST(ChartMouseZoom, DirectionDecidesZoomOrUndo) {
  MouseChart m;
  m.left().SetMinMax(0, 200);
  m.Paint();
  int undos = 0;
  m.chart.OnUndoZoom = [&] { ++undos; };
  m.Drag(kLeft, 100, 100, 200, 200);
  ASSERT_TRUE(m.chart.Zoomed());
  m.Paint();

  // Toward the top-right (only x grows): undo.
  m.Drag(kLeft, 100, 200, 200, 100);
  EXPECT_FALSE(m.chart.Zoomed());
  EXPECT_EQ(undos, 1);
  EXPECT_TRUE(m.chart.AxisLimitsRestored());
  EXPECT_TRUE(m.bottom().Automatic());
  EXPECT_FALSE(m.left().Automatic());
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 0);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 200);

  // Toward the top-left: undo again, with nothing left to restore.
  m.left().SetMinMax(10, 20);
  m.Drag(kLeft, 200, 200, 100, 100);
  EXPECT_EQ(undos, 2);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 10);
}

TEST(ChartMouseZoom, OneRepaintWithoutAnimation) {
  MouseChart m;
  m.chart.MouseDown(kLeft, {}, 100, 100);
  m.chart.MouseMove({}, 200, 200);
  const int invalidations = m.invalidations;
  m.chart.MouseUp(kLeft, {}, 200, 200);
  EXPECT_TRUE(m.chart.Zoomed());
  EXPECT_EQ(m.invalidations - invalidations, 1);
  EXPECT_EQ(m.refreshes, 0);

  // An undo is one repaint as well.
  const int before = m.invalidations;
  m.Drag(kLeft, 200, 200, 100, 100);
  EXPECT_EQ(m.invalidations - before, 1);
}

TEST(ChartMouseZoom, AnimatedZoomMovesAThirdOfTheWayEachStep) {
  MouseChart m;
  m.chart.SetAnimatedZoom(true);
  m.chart.SetAnimatedZoomSteps(4);
  std::vector<double> minima, maxima;
  m.onRefresh = [&] {
    minima.push_back(m.bottom().Minimum());
    maxima.push_back(m.bottom().Maximum());
    m.Paint();
  };
  m.Drag(kLeft, 100, 0, 200, 150);
  // Target 25 .. 50 from 0 .. 100: three steps, each a third of what remains.
  ASSERT_EQ(m.refreshes, 3);
  ASSERT_EQ(minima.size(), 3u);
  double lo = 0, hi = 100;
  for (size_t i = 0; i < 3; ++i) {
    lo += (25 - lo) / 3;
    hi -= (hi - 50) / 3;
    EXPECT_NEAR(minima[i], lo, 1e-9) << i;
    EXPECT_NEAR(maxima[i], hi, 1e-9) << i;
  }
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), 25);
  EXPECT_DOUBLE_EQ(m.bottom().Maximum(), 50);
  EXPECT_TRUE(m.chart.Zoomed());
}

TEST(ChartMouseZoom, TheRectangleIsDrawnAndErasedInNotXor) {
  MouseChart m;
  m.surface.ClearOps();
  m.chart.MouseDown(kLeft, {}, 10, 20);
  m.chart.MouseMove({}, 50, 60);
  auto rects = m.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0].args, (std::vector<int32_t>{10, 20, 10, 20}));
  EXPECT_EQ(rects[1].args, (std::vector<int32_t>{10, 20, 10, 20}));
  EXPECT_EQ(rects[2].args, (std::vector<int32_t>{10, 20, 50, 60}));
  for (const auto& r : rects) EXPECT_EQ(r.pen.mode, platform::PenMode::NotXor);
  m.chart.MouseUp(kLeft, {}, 50, 60);
  rects = m.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[3].args, (std::vector<int32_t>{10, 20, 50, 60}));
  EXPECT_EQ(m.chart.Canvas().Pen().mode, platform::PenMode::Copy);
}

TEST(ChartMouseZoom, NoZoomWhenNotAllowedOrWithAnotherButton) {
  MouseChart m;
  m.chart.SetAllowZoom(false);
  m.Drag(kLeft, 100, 100, 200, 200);
  EXPECT_FALSE(m.chart.Zoomed());
  m.chart.SetAllowZoom(true);
  m.Drag(MouseButton::Middle, 100, 100, 200, 200);
  EXPECT_FALSE(m.chart.Zoomed());
  // A right-button release does not end a left drag.
  m.chart.MouseDown(kLeft, {}, 100, 100);
  m.chart.MouseUp(kRight, {}, 200, 200);
  EXPECT_TRUE(m.chart.Zoom().Active);
  m.chart.MouseUp(kLeft, {}, 200, 200);
  EXPECT_TRUE(m.chart.Zoomed());
}

// ---- wheel -------------------------------------------------------------------------------------

TEST(ChartMouseWheel, VerticalAxesScrollThreePercent) {
  MouseChart m;
  m.left().SetMinMax(0, 100);
  m.chart.RightAxis().SetMinMax(-50, 150);
  m.Paint();
  const int before = m.invalidations;
  m.chart.MouseWheel(-120, {}, 10, 10);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 3);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 103);
  EXPECT_DOUBLE_EQ(m.chart.RightAxis().Minimum(), -44);
  EXPECT_DOUBLE_EQ(m.chart.RightAxis().Maximum(), 156);
  EXPECT_TRUE(m.bottom().Automatic());
  EXPECT_EQ(m.invalidations - before, 1);
  m.chart.MouseWheel(120, {}, 10, 10);
  m.chart.MouseWheel(120, {}, 10, 10);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), -3);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 97);
  // No limits: an automatic axis scrolls from its last range and turns manual.
  EXPECT_FALSE(m.left().Automatic());
}

TEST(ChartMouseWheel, ScrollsFromTheDataNotFromAStaleRange) {
  MouseChart m;
  // Data changed since the last paint: the wheel works from the range the data has now.
  m.series.AddPointXY(100, 200);
  m.chart.MouseWheel(-120, {}, 10, 10);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 6);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 206);
}

// ---- panning -----------------------------------------------------------------------------------

TEST(ChartMousePanning, AxesFollowTheMouse) {
  MouseChart m;
  int scrolls = 0;
  m.chart.OnScroll = [&] { ++scrolls; };
  m.chart.MouseDown(kRight, {}, 200, 150);
  ASSERT_TRUE(m.chart.Panning().Active);
  EXPECT_FALSE(m.chart.Zoom().Active);
  m.chart.MouseMove({}, 240, 150);
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), -10);
  EXPECT_DOUBLE_EQ(m.bottom().Maximum(), 90);
  EXPECT_TRUE(m.left().Automatic());
  EXPECT_FALSE(m.chart.AxisLimitsRestored());
  EXPECT_EQ(scrolls, 1);
  // Down 30 pixels: the left axis shows 10 more.
  m.chart.MouseMove({}, 240, 180);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 10);
  EXPECT_DOUBLE_EQ(m.left().Maximum(), 110);
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), -10);
  EXPECT_EQ(scrolls, 2);
  // No move, no scroll.
  m.chart.MouseMove({}, 240, 180);
  EXPECT_EQ(scrolls, 2);
  m.chart.MouseUp(kRight, {}, 240, 180);
  EXPECT_FALSE(m.chart.Panning().Active);

  // UndoZoom puts the scales back.
  m.chart.UndoZoom();
  EXPECT_TRUE(m.bottom().Automatic());
  EXPECT_TRUE(m.left().Automatic());
}

TEST(ChartMousePanning, AllowScrollMayVetoOrChangeTheLimits) {
  MouseChart m;
  std::vector<TChartAxis*> asked;
  m.chart.OnAllowScroll = [&](TChartAxis& axis, double& aMin, double& aMax, bool& allow) {
    EXPECT_TRUE(allow);
    asked.push_back(&axis);
    if (&axis == &m.chart.BottomAxis()) {
      // Never before 0.
      if (aMin < 0) {
        aMax -= aMin;
        aMin = 0;
      }
    } else {
      allow = false;
    }
  };
  m.chart.MouseDown(kRight, {}, 200, 150);
  m.chart.MouseMove({}, 240, 180);
  // Both horizontal axes and both vertical axes were asked.
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[0], &m.chart.BottomAxis());
  EXPECT_EQ(asked[1], &m.chart.TopAxis());
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), 0);
  EXPECT_DOUBLE_EQ(m.bottom().Maximum(), 100);
  EXPECT_FALSE(m.bottom().Automatic());
  // Vetoed: unchanged and still automatic.
  EXPECT_TRUE(m.left().Automatic());
  EXPECT_TRUE(m.chart.RightAxis().Automatic());
}

TEST(ChartMousePanning, ModesAndEndings) {
  MouseChart m;
  m.chart.SetAllowPanning(TPanningMode::pmHorizontal);
  m.chart.MouseDown(kRight, {}, 200, 150);
  m.chart.MouseMove({}, 240, 180);
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), -10);
  EXPECT_TRUE(m.left().Automatic());
  m.chart.MouseUp(kRight, {}, 240, 180);

  m.chart.SetAllowPanning(TPanningMode::pmVertical);
  m.chart.MouseDown(kRight, {}, 200, 150);
  m.chart.MouseMove({}, 300, 180);
  EXPECT_DOUBLE_EQ(m.bottom().Minimum(), -10);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 10);

  // Leaving the chart rectangle ends the panning.
  m.chart.MouseMove({}, 401, 180);
  EXPECT_FALSE(m.chart.Panning().Active);
  m.chart.MouseMove({}, 300, 250);
  EXPECT_DOUBLE_EQ(m.left().Minimum(), 10);

  // So does leaving the window.
  m.chart.MouseDown(kRight, {}, 200, 150);
  ASSERT_TRUE(m.chart.Panning().Active);
  m.chart.MouseLeave();
  EXPECT_FALSE(m.chart.Panning().Active);

  // pmNone: the right button starts nothing.
  m.chart.SetAllowPanning(TPanningMode::pmNone);
  m.chart.MouseDown(kRight, {}, 200, 150);
  EXPECT_FALSE(m.chart.Panning().Active);
}

// ---- clicks ------------------------------------------------------------------------------------

// Click handlers that write into a log; passing ones clear cancel mouse so that the click goes
// on, the others leave it set and so stop it.
struct ClickLog {
  std::vector<std::string> events;
  void Attach(TCustomChart& chart, bool pass) {
    chart.OnClickBackground = [this, pass](TCustomChart& sender, MouseButton, ShiftState, int32_t,
                                           int32_t) {
      events.push_back("background");
      if (pass) sender.SetCancelMouse(false);
    };
    chart.OnClickLegend = [this, pass](TCustomChart& sender, MouseButton, ShiftState, int32_t,
                                       int32_t) {
      events.push_back("legend");
      if (pass) sender.SetCancelMouse(false);
    };
    chart.OnClickAxis = [this, pass](TCustomChart& sender, TChartAxis& axis, MouseButton,
                                     ShiftState, int32_t, int32_t) {
      events.push_back(&axis == &sender.BottomAxis() ? "axis.bottom" : "axis.other");
      if (pass) sender.SetCancelMouse(false);
    };
  }
};

TEST(ChartMouseClick, SeriesComeFirstAndTheirEventStopsTheDrag) {
  MouseChart m;
  ClickLog log;
  log.Attach(m.chart, true);
  m.series.clickedIndex = 1;
  int seriesClicks = 0;
  m.series.OnClick = [&](TChartSeries&, int32_t index, MouseButton, ShiftState, int32_t, int32_t) {
    EXPECT_EQ(index, 1);
    ++seriesClicks;
    // The series' own handler lets the click go on.
    m.chart.SetCancelMouse(false);
  };
  int chartClicks = 0;
  m.chart.OnClickSeries = [&](TCustomChart&, TChartSeries& s, int32_t index, MouseButton,
                              ShiftState, int32_t x, int32_t y) {
    EXPECT_EQ(&s, &m.series);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    EXPECT_TRUE(m.chart.CancelMouse());
    ++chartClicks;
  };
  m.chart.MouseDown(kLeft, {}, 50, 60);
  EXPECT_EQ(seriesClicks, 1);
  EXPECT_EQ(chartClicks, 1);
  // The handler left cancel mouse set: no drag and no background click.
  EXPECT_FALSE(m.chart.Zoom().Active);
  EXPECT_TRUE(log.events.empty());
  EXPECT_FALSE(m.chart.CancelMouse());

  // A handler that clears it lets the zoom start.
  m.chart.OnClickSeries = [&](TCustomChart& sender, TChartSeries&, int32_t, MouseButton, ShiftState,
                              int32_t, int32_t) { sender.SetCancelMouse(false); };
  m.chart.MouseDown(kLeft, {}, 50, 60);
  EXPECT_TRUE(m.chart.Zoom().Active);
  EXPECT_TRUE(log.events.empty());
  m.chart.MouseUp(kLeft, {}, 50, 60);

  // Inactive series are not hit.
  m.series.SetActive(false);
  m.chart.OnClickSeries = [&](TCustomChart&, TChartSeries&, int32_t, MouseButton, ShiftState,
                              int32_t, int32_t) { ADD_FAILURE(); };
  m.chart.MouseDown(kRight, {}, 50, 60);
  // Nothing else is there (the chart rectangle counts only with an active series).
  EXPECT_EQ(log.events, (std::vector<std::string>{"background"}));
}

TEST(ChartMouseClick, BackgroundFiresOnceAndThenTheDragStarts) {
  MouseChart m;
  ClickLog log;
  log.Attach(m.chart, true);
  m.chart.OnClickBackground = [&](TCustomChart& sender, MouseButton, ShiftState, int32_t, int32_t) {
    log.events.push_back("background");
    sender.SetCancelMouse(false);
  };
  m.chart.MouseDown(kLeft, {}, 50, 60);
  EXPECT_EQ(log.events, (std::vector<std::string>{"background"}));
  EXPECT_TRUE(m.chart.Zoom().Active);
  m.chart.MouseUp(kLeft, {}, 50, 60);

  // No drag with panning off: still one event.
  log.events.clear();
  m.chart.SetAllowPanning(TPanningMode::pmNone);
  m.chart.MouseDown(kRight, {}, 50, 60);
  EXPECT_EQ(log.events, (std::vector<std::string>{"background"}));

  // A handler that keeps cancel mouse set stops the drag.
  m.chart.OnClickBackground = [&](TCustomChart&, MouseButton, ShiftState, int32_t, int32_t) {
    log.events.push_back("stopping");
  };
  m.chart.MouseDown(kLeft, {}, 50, 60);
  EXPECT_FALSE(m.chart.Zoom().Active);
}

TEST(ChartMouseClick, AxesTitlesAndLegend) {
  MouseChart m;
  m.chart.SetAxisVisible(true);
  m.chart.Title().SetVisible(true);
  m.chart.Title().SetText({"Title"});
  m.chart.Title().SetColor(clYellow);
  TTestSeries& other = m.chart.AddSeries<TTestSeries>();
  other.AddPointXY(0, 0);
  other.SetTitle("other");
  m.chart.Legend().SetVisible(true);
  m.Paint();
  ClickLog log;
  log.Attach(m.chart, true);
  m.chart.SetAllowZoom(false);
  m.chart.SetAllowPanning(TPanningMode::pmNone);

  // The bottom axis: its event, then (no drag) the background's.
  const TCustomChartAxis& bottom = m.chart.BottomAxis();
  m.chart.MouseDown(kLeft, {}, bottom.ICenterPos(), bottom.PosAxis() + 2);
  EXPECT_EQ(log.events, (std::vector<std::string>{"axis.bottom", "background"}));

  // The title has no event of its own.
  log.events.clear();
  const Rect title = m.chart.Title().TitleRect();
  m.chart.MouseDown(kLeft, {}, title.left + 1, title.top + 1);
  EXPECT_EQ(log.events, (std::vector<std::string>{"background"}));

  // The legend.
  log.events.clear();
  const Rect legend = m.chart.Legend().RectLegend();
  ASSERT_GT(legend.right, legend.left);
  m.chart.MouseDown(kLeft, {}, legend.left + 2, legend.top + 2);
  EXPECT_EQ(log.events, (std::vector<std::string>{"legend", "background"}));

  // Handlers that leave cancel mouse set stop the click: no background click follows.
  log.events.clear();
  log.Attach(m.chart, false);
  m.chart.MouseDown(kLeft, {}, bottom.ICenterPos(), bottom.PosAxis() + 2);
  m.chart.MouseDown(kLeft, {}, legend.left + 2, legend.top + 2);
  EXPECT_EQ(log.events, (std::vector<std::string>{"axis.bottom", "legend"}));
  EXPECT_FALSE(m.chart.CancelMouse());
}

TEST(ChartMouseClick, NothingHappensDuringADragOrWhenCancelled) {
  MouseChart m;
  ClickLog log;
  log.Attach(m.chart, true);
  m.chart.MouseDown(kLeft, {}, 10, 10);
  ASSERT_TRUE(m.chart.Zoom().Active);
  log.events.clear();
  m.chart.MouseDown(kRight, {}, 20, 20);
  EXPECT_TRUE(log.events.empty());
  EXPECT_FALSE(m.chart.Panning().Active);
  m.chart.MouseUp(kLeft, {}, 10, 10);

  m.chart.SetCancelMouse(true);
  m.chart.MouseDown(kLeft, {}, 10, 10);
  EXPECT_TRUE(log.events.empty());
  EXPECT_FALSE(m.chart.Zoom().Active);
}

// ---- moves, ups and cursors --------------------------------------------------------------------

TEST(ChartMouseMove, SeriesGetEveryMoveAndUpAndLendTheirCursor) {
  MouseChart m;
  std::vector<TCursor> cursors;
  m.chart.OnCursorChange = [&](TCursor c) { cursors.push_back(c); };
  m.chart.SetSavedCursor(3);
  m.series.SetCursor(-21);
  m.series.clickedIndex = 0;
  m.chart.MouseMove({}, 10, 10);
  EXPECT_EQ(m.chart.Cursor(), -21);
  EXPECT_EQ(m.series.moves, 1);
  m.series.clickedIndex = -1;
  m.chart.MouseMove({}, 20, 20);
  EXPECT_EQ(m.chart.Cursor(), 3);
  EXPECT_EQ(cursors, (std::vector<TCursor>{-21, 3}));
  m.chart.MouseUp(kLeft, {}, 20, 20);
  EXPECT_EQ(m.series.ups, 1);

  // Leaving the window brings the saved cursor back.
  m.series.clickedIndex = 0;
  m.chart.MouseMove({}, 10, 10);
  EXPECT_EQ(m.chart.Cursor(), -21);
  m.chart.MouseLeave();
  EXPECT_EQ(m.chart.Cursor(), 3);

  // Removing the series whose cursor shows restores the chart's.
  m.chart.MouseMove({}, 10, 10);
  m.chart.FreeSeries(m.series);
  EXPECT_EQ(m.chart.Cursor(), 3);
}

TEST(ChartMouseMove, NothingAtDesignTime) {
  MouseChart m;
  m.chart.SetDesigning(true);
  m.chart.MouseDown(kRight, {}, 200, 150);
  m.chart.MouseMove({}, 240, 150);
  EXPECT_TRUE(m.bottom().Automatic());
  EXPECT_EQ(m.series.moves, 0);
}

}  // namespace
}  // namespace zq
