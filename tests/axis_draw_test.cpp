// Drawing axes: ticks, grid, centred grid, minor ticks (linear and logarithmic), the walls'
// offsets, label and title placement on every side at every right angle, multi-line labels,
// the back of a 3D chart; a few axes rendered to PNG.
#include "engine/axes/axis_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/drawing/canvas3d.h"
#include "platform/cairo/image_output.h"
#include "platform/record/recording_surface.h"
#include "support/chart_fixture.h"
#include "support/image_compare.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using testing::TTestChart;
using testing::TTestSeries;
namespace ta = platform::text_align;

struct Seg {
  int32_t x0, y0, x1, y1;
  friend bool operator==(const Seg&, const Seg&) = default;
  friend bool operator<(const Seg& a, const Seg& b) {
    return std::tie(a.x0, a.y0, a.x1, a.y1) < std::tie(b.x0, b.y0, b.x1, b.y1);
  }
};

void PrintTo(const Seg& s, std::ostream* os) {
  *os << "(" << s.x0 << "," << s.y0 << ")-(" << s.x1 << "," << s.y1 << ")";
}

// Lines drawn with a visible pen of the colour, sorted.
std::vector<Seg> Lines(const platform::RecordingSurface& s, TColor color) {
  std::vector<Seg> out;
  for (const RecordedOp& op : s.OpsOfKind(OpKind::LineTo)) {
    if (op.pen.color != ColorToRGB(color) || op.pen.style == platform::PenStyle::Clear) continue;
    out.push_back({op.args[0], op.args[1], op.args[2], op.args[3]});
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<Seg> Sorted(std::vector<Seg> v) {
  std::sort(v.begin(), v.end());
  return v;
}

struct Text {
  int32_t x, y;
  uint32_t align;
  int32_t escapement;
  std::string text;
  friend bool operator==(const Text&, const Text&) = default;
};

void PrintTo(const Text& t, std::ostream* os) {
  *os << "\"" << t.text << "\" at (" << t.x << "," << t.y << ") align " << t.align << " esc "
      << t.escapement;
}

std::vector<Text> Texts(const platform::RecordingSurface& s) {
  std::vector<Text> out;
  for (const RecordedOp& op : s.OpsOfKind(OpKind::TextOut)) {
    out.push_back({op.args[0], op.args[1], op.textAlign, op.font.escapement, op.text});
  }
  return out;
}

// A chart with one series spanning x and y from lo to hi; its axes are coloured so that every
// kind of line can be told apart: axis black, ticks red, grid green, minor ticks blue, inner
// ticks fuchsia, minor grid teal.
class AxisDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One series on every axis, so that each has value labels.
    series.SetHorizAxis(THorizAxis::aBothHorizAxis);
    series.SetVertAxis(TVertAxis::aBothVertAxis);
    Data(0, 100);
  }

  void Data(double lo, double hi) {
    series.ClearPoints();
    series.AddPointXY(lo, lo);
    series.AddPointXY(hi, hi);
    for (TCustomChartAxis* a : {&chart.BottomAxis(), &chart.TopAxis(), &chart.LeftAxis(),
                                &chart.RightAxis(), &chart.DepthAxis()}) {
      a->Axis().SetColor(clBlack);
      a->Ticks().SetColor(clRed);
      a->Grid().SetColor(clGreen);
      a->MinorTicks().SetColor(clBlue);
      a->TicksInner().SetColor(clFuchsia);
      a->MinorGrid().SetColor(clTeal);
    }
  }

  // The paint's layout: every axis reserves its room out of `outer`, which becomes the chart
  // rectangle.
  void Layout(platform::Rect outer, std::vector<TCustomChartAxis*> axes) {
    chart.chartRect = outer;
    chart.PrepareAxes();
    platform::Rect r = outer;
    for (TCustomChartAxis* a : axes) a->ReserveSpace(r);
    chart.chartRect = r;
    chart.PrepareAxes();
  }

  void Draw(TCustomChartAxis& axis) {
    chart.Surface().ClearOps();
    DrawAxis(axis, chart);
  }

  const platform::RecordingSurface& S() { return chart.Surface(); }

  TTestChart chart;
  TTestSeries& series = chart.Add();
};

// ---- ticks and grids ----------------------------------------------------------------------

TEST_F(AxisDrawTest, BottomAxisTicksGridAndLineFollowTheLabels) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(10);
  bottom.MinorTicks().SetVisible(false);
  Draw(bottom);
  std::vector<Seg> ticks, grid;
  for (int32_t x = 50; x <= 450; x += 40) {
    ticks.push_back({x, 321, x, 325});
    grid.push_back({x, 20, x, 320});
  }
  EXPECT_EQ(Lines(S(), clRed), ticks);
  EXPECT_EQ(Lines(S(), clGreen), grid);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{50, 320, 450, 320}}));
  // Inner ticks of length 0 draw nothing; the minor grid is hidden by default.
  EXPECT_TRUE(Lines(S(), clFuchsia).empty());
  EXPECT_TRUE(Lines(S(), clTeal).empty());

  const std::vector<Text> texts = Texts(S());
  ASSERT_EQ(texts.size(), 11u);
  EXPECT_EQ(texts.front().text, "100");
  EXPECT_EQ(texts.back().text, "0");
  EXPECT_EQ(texts.back().x, 50);
}

TEST_F(AxisDrawTest, PensDecideWhatIsDrawnAndHow) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(50);
  bottom.MinorTicks().SetVisible(false);
  bottom.Axis().SetVisible(false);
  bottom.Ticks().SetVisible(false);
  bottom.Grid().SetColor(clDefault);
  bottom.SetTickInnerLength(3);
  chart.Surface().SetRecordState(true);
  Draw(bottom);
  EXPECT_TRUE(Lines(S(), clBlack).empty());
  EXPECT_TRUE(Lines(S(), clRed).empty());
  // A default grid colour is gray; the grid is dotted over a transparent background.
  std::vector<RecordedOp> gridOps;
  for (const RecordedOp& op : S().OpsOfKind(OpKind::LineTo)) {
    if (op.pen.color == ColorToRGB(clGray)) gridOps.push_back(op);
  }
  ASSERT_EQ(gridOps.size(), 3u);
  EXPECT_EQ(gridOps[0].pen.style, platform::PenStyle::Dot);
  EXPECT_EQ(gridOps[0].backMode, platform::BackMode::Transparent);
  // Inner ticks point into the chart from just inside the axis line.
  EXPECT_EQ(Lines(S(), clFuchsia),
            (std::vector<Seg>{{50, 319, 50, 316}, {250, 319, 250, 316}, {450, 319, 450, 316}}));
  // Opaque again afterwards.
  EXPECT_EQ(chart.Canvas().CurrentBackMode(), platform::BackMode::Opaque);
}

TEST_F(AxisDrawTest, LabelsOffWithTicksOnLabelsOnlyKeepsLineAndGridButNoMajorTicks) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(10);
  bottom.SetLabels(false);
  ASSERT_TRUE(bottom.TickOnLabelsOnly());
  bottom.MinorGrid().SetVisible(true);
  Draw(bottom);
  EXPECT_TRUE(Texts(S()).empty());
  EXPECT_TRUE(Lines(S(), clRed).empty());
  EXPECT_EQ(Lines(S(), clGreen).size(), 11u);
  EXPECT_EQ(Lines(S(), clBlack).size(), 1u);
  // Minor marks need a major tick.
  EXPECT_TRUE(Lines(S(), clBlue).empty());
  EXPECT_TRUE(Lines(S(), clTeal).empty());

  // Ticks everywhere: they come back without the labels.
  bottom.SetTickOnLabelsOnly(false);
  Draw(bottom);
  EXPECT_TRUE(Texts(S()).empty());
  EXPECT_EQ(Lines(S(), clRed).size(), 11u);
  EXPECT_EQ(Lines(S(), clBlue).size(), 30u);
}

TEST_F(AxisDrawTest, CentredGridFallsMidwayBetweenLabels) {
  Data(0, 10);
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(5);
  bottom.SetGridCentered(true);
  Draw(bottom);
  EXPECT_EQ(Lines(S(), clRed).size(), 3u);
  EXPECT_EQ(Lines(S(), clGreen), (std::vector<Seg>{{150, 20, 150, 320}, {350, 20, 350, 320}}));

  // Midpoints round half to even: labels at 451, 250 and 50 put one at 350.5 -> 350.
  chart.chartRect = {50, 20, 451, 320};
  chart.PrepareAxes();
  Draw(bottom);
  EXPECT_EQ(Lines(S(), clGreen), (std::vector<Seg>{{150, 20, 150, 320}, {350, 20, 350, 320}}));
}

TEST_F(AxisDrawTest, MinorTicksSplitEachGapAndReachBeyondTheEndLabelsInsideTheAxis) {
  // -5 .. 105 over 440 pixels: 4 pixels a unit, labels 100 .. 0 at 470 .. 70, 40 apart.
  chart.chartRect = {50, 20, 490, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetMinMax(-5, 105);
  chart.PrepareAxes();
  bottom.SetIncrement(10);
  ASSERT_EQ(bottom.MinorTickCount(), 3);
  bottom.MinorGrid().SetVisible(true);
  Draw(bottom);
  std::vector<Seg> minor, minorGrid;
  auto add = [&](int32_t x) {
    minor.push_back({x, 321, x, 323});
    minorGrid.push_back({x, 20, x, 320});
  };
  for (int32_t x = 70; x < 470; x += 40) {
    add(x + 10);
    add(x + 20);
    add(x + 30);
  }
  // Beyond 470 only 480 lies strictly inside the axis (490 is its end); beyond 70 only 60.
  add(480);
  add(60);
  EXPECT_EQ(Lines(S(), clBlue), Sorted(minor));
  EXPECT_EQ(Lines(S(), clTeal), Sorted(minorGrid));
}

TEST_F(AxisDrawTest, MinorTicksOfUnevenGapsRoundEachStep) {
  // Labels 0 and 10 at 50 and 65 on a 15 pixel axis: 15 / 4 = 3.75 -> steps 4, 8, 11.
  Data(0, 10);
  chart.chartRect = {50, 20, 65, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetLabels(false);
  bottom.SetTickOnLabelsOnly(false);
  bottom.SetIncrement(10);
  Draw(bottom);
  ASSERT_EQ(Lines(S(), clRed).size(), 2u);
  EXPECT_EQ(Lines(S(), clBlue),
            (std::vector<Seg>{{54, 321, 54, 323}, {58, 321, 58, 323}, {61, 321, 61, 323}}));
}

TEST_F(AxisDrawTest, MoreMinorTicksThanPixelsMarkEachPixelOnce) {
  Data(0, 10);
  chart.chartRect = {50, 20, 65, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetLabels(false);
  bottom.SetTickOnLabelsOnly(false);
  bottom.SetIncrement(10);
  bottom.SetMinorTickCount(1000000000);
  Draw(bottom);
  std::vector<Seg> expected;
  for (int32_t x = 51; x < 65; ++x) expected.push_back({x, 321, x, 323});
  EXPECT_EQ(Lines(S(), clBlue), expected);

  // A logarithmic axis steps by value: it stops after a bounded number of steps.
  Data(1, 1000);
  chart.chartRect = {50, 20, 350, 320};
  bottom.SetLogarithmic(true);
  chart.PrepareAxes();
  Draw(bottom);
  const std::vector<Seg> minor = Lines(S(), clBlue);
  EXPECT_FALSE(minor.empty());
  EXPECT_LE(minor.size(), 299u);
  EXPECT_TRUE(std::adjacent_find(minor.begin(), minor.end()) == minor.end());
}

TEST_F(AxisDrawTest, AtMostTwoThousandTicksAreKept) {
  Data(0, 5000);
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(1);
  bottom.SetLabelsSeparation(0);
  bottom.MinorTicks().SetVisible(false);
  Draw(bottom);
  EXPECT_EQ(Texts(S()).size(), 5001u);
  const std::vector<Seg> ticks = Lines(S(), clRed);
  ASSERT_EQ(ticks.size(), 2000u);
  EXPECT_EQ(Lines(S(), clGreen).size(), 2000u);
  // The first ones: 5000 down to 3001.
  EXPECT_EQ(ticks.back().x0, 450);
  EXPECT_EQ(ticks.front().x0, bottom.ValueToPixel(3001));
}

TEST_F(AxisDrawTest, LogarithmicMinorTicksStepLinearlyWithinEachDecade) {
  // 1 .. 1000 over 300 pixels: a decade every 100 pixels.
  Data(1, 1000);
  chart.chartRect = {50, 20, 350, 320};
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetLogarithmic(true);
  bottom.SetMinorTickCount(8);
  chart.PrepareAxes();
  Draw(bottom);
  ASSERT_EQ(Lines(S(), clRed).size(), 4u);
  std::vector<Seg> expected;
  for (int32_t decade = 0; decade < 3; ++decade) {
    for (int32_t m = 2; m <= 9; ++m) {
      const int32_t x = 50 + decade * 100 + int32_t(std::nearbyint(100 * std::log10(m)));
      expected.push_back({x, 321, x, 323});
    }
  }
  EXPECT_EQ(Lines(S(), clBlue), Sorted(expected));

  // Nothing beyond the last power: a logarithmic axis marks only between its labels.
  bottom.SetMinMax(1, 500);
  chart.PrepareAxes();
  Draw(bottom);
  ASSERT_EQ(Lines(S(), clRed).size(), 3u);
  const std::vector<Seg> minor = Lines(S(), clBlue);
  ASSERT_EQ(minor.size(), 16u);
  const int32_t at100 = bottom.ValueToPixel(100);
  for (const Seg& s : minor) EXPECT_LT(s.x0, at100);
}

TEST_F(AxisDrawTest, LeftAxisAndWallsShiftLineAndTicksOutwards) {
  chart.chartRect = {50, 20, 450, 320};
  chart.leftWallSize = 3;
  chart.bottomWallSize = 2;
  chart.PrepareAxes();
  TCustomChartAxis& left = chart.LeftAxis();
  TCustomChartAxis& bottom = chart.BottomAxis();
  left.SetIncrement(50);
  bottom.SetIncrement(50);
  left.MinorTicks().SetVisible(false);
  bottom.MinorTicks().SetVisible(false);

  Draw(left);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{47, 20, 47, 322}}));
  EXPECT_EQ(Lines(S(), clRed),
            (std::vector<Seg>{{46, 20, 42, 20}, {46, 170, 42, 170}, {46, 320, 42, 320}}));
  EXPECT_EQ(Lines(S(), clGreen),
            (std::vector<Seg>{{50, 20, 450, 20}, {50, 170, 450, 170}, {50, 320, 450, 320}}));

  Draw(bottom);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{47, 322, 450, 322}}));
  EXPECT_EQ(Lines(S(), clRed),
            (std::vector<Seg>{{50, 323, 50, 327}, {250, 323, 250, 327}, {450, 323, 450, 327}}));
}

TEST_F(AxisDrawTest, PositionPercentMovesTheAxisLine) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(100);
  bottom.MinorTicks().SetVisible(false);
  bottom.SetPositionPercent(10);  // 30 pixels up
  Draw(bottom);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{50, 290, 450, 290}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{50, 291, 50, 295}, {450, 291, 450, 295}}));
}

TEST_F(AxisDrawTest, TopAndRightAxesTicksPointOutwards) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& top = chart.TopAxis();
  TCustomChartAxis& right = chart.RightAxis();
  top.SetIncrement(100);
  right.SetIncrement(100);
  Draw(top);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{50, 20, 450, 20}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{50, 19, 50, 15}, {450, 19, 450, 15}}));
  Draw(right);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{450, 20, 450, 320}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{451, 20, 455, 20}, {451, 320, 455, 320}}));
}

// ---- label and title blocks ---------------------------------------------------------------

// The recording surface's default 8 point font: 12 pixels high, so h = 6.
struct BlockCase {
  int side;  // 0 bottom, 1 top, 2 left, 3 right
  int32_t angle;
  int32_t x, y;
  uint32_t align;
};

TEST_F(AxisDrawTest, LabelBlocksArePlacedAndAlignedForEverySideAndRightAngle) {
  const uint32_t CT = ta::kCenter | ta::kTop, CB = ta::kCenter | ta::kBottom;
  const uint32_t RT = ta::kRight | ta::kTop, LT = ta::kLeft | ta::kTop;
  const BlockCase cases[] = {
      {0, 0, 200, 100, CT},  {0, 90, 194, 100, RT},  {0, 180, 200, 100, CB}, {0, 270, 206, 100, LT},
      {1, 0, 200, 100, CB},  {1, 90, 194, 100, LT},  {1, 180, 200, 100, CT}, {1, 270, 206, 100, RT},
      {2, 0, 200, 94, RT},   {2, 90, 200, 100, CB},  {2, 180, 200, 106, LT}, {2, 270, 200, 100, CT},
      {3, 0, 200, 94, LT},   {3, 90, 200, 100, CT},  {3, 180, 200, 106, RT}, {3, 270, 200, 100, CB},
      {0, 45, 200, 100, LT}, {2, 300, 200, 100, LT},
  };
  TCustomChartAxis* axes[] = {&chart.BottomAxis(), &chart.TopAxis(), &chart.LeftAxis(),
                              &chart.RightAxis()};
  for (const BlockCase& c : cases) {
    SCOPED_TRACE("side " + std::to_string(c.side) + " angle " + std::to_string(c.angle));
    chart.Surface().ClearOps();
    ASSERT_EQ(chart.Canvas().TextLineHeight(), 12);
    DrawAxisTextBlock(*axes[c.side], chart, 200, 100, c.angle, "12");
    EXPECT_EQ(Texts(S()), (std::vector<Text>{{c.x, c.y, c.align, c.angle * 10, "12"}}));
    EXPECT_EQ(chart.Canvas().TextAlignment(), ta::kLeft | ta::kTop);
  }
}

TEST_F(AxisDrawTest, MultiLineBlocksStackTheirLinesAroundThePosition) {
  struct Case {
    int side;
    int32_t angle;
    std::vector<std::pair<int32_t, int32_t>> at;
  };
  // Two lines, 12 pixels apart: T = 24, G = 18.
  const Case cases[] = {
      {0, 0, {{200, 100}, {200, 112}}},   {1, 0, {{200, 88}, {200, 100}}},
      {2, 0, {{200, 88}, {200, 100}}},    {3, 0, {{200, 88}, {200, 100}}},
      {0, 90, {{188, 100}, {200, 100}}},  {2, 90, {{188, 100}, {200, 100}}},
      {3, 90, {{200, 100}, {212, 100}}},  {0, 180, {{200, 112}, {200, 100}}},
      {2, 180, {{200, 112}, {200, 100}}}, {0, 270, {{212, 100}, {200, 100}}},
      {2, 270, {{200, 100}, {188, 100}}}, {3, 270, {{212, 100}, {200, 100}}},
      {0, 30, {{200, 100}, {200, 100}}},
  };
  TCustomChartAxis* axes[] = {&chart.BottomAxis(), &chart.TopAxis(), &chart.LeftAxis(),
                              &chart.RightAxis()};
  for (const Case& c : cases) {
    SCOPED_TRACE("side " + std::to_string(c.side) + " angle " + std::to_string(c.angle));
    chart.Surface().ClearOps();
    DrawAxisTextBlock(*axes[c.side], chart, 200, 100, c.angle, "ab\rcd");
    const std::vector<Text> texts = Texts(S());
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "ab");
    EXPECT_EQ(texts[1].text, "cd");
    EXPECT_EQ(std::make_pair(texts[0].x, texts[0].y), c.at[0]);
    EXPECT_EQ(std::make_pair(texts[1].x, texts[1].y), c.at[1]);
  }
}

TEST_F(AxisDrawTest, BlockCentringRoundsHalvesToEven) {
  // A 15 pixel font: two lines give G = round(22.5) = 22 and h = 7.
  TChartFont font;
  font.SetHeight(-13);
  chart.Canvas().SetFont(font);
  ASSERT_EQ(chart.Canvas().TextLineHeight(), 15);
  DrawAxisTextBlock(chart.LeftAxis(), chart, 200, 100, 0, "ab\rcd");
  const std::vector<Text> texts = Texts(S());
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].y, 86);
  EXPECT_EQ(texts[1].y, 101);
}

TEST_F(AxisDrawTest, LeftLabelsAreRightAlignedAtTheLabelsPositionAndCentredOnTheirValue) {
  TCustomChartAxis& left = chart.LeftAxis();
  left.SetIncrement(20);
  // Labels 24 wide ("100" and a blank), ticks 6: the labels end at 74, the axis at 80.
  Layout({50, 20, 450, 320}, {&left});
  ASSERT_EQ(left.PosLabels(), 74);
  ASSERT_EQ(chart.chartRect.left, 80);
  Draw(left);
  const std::vector<Text> texts = Texts(S());
  const uint32_t RT = ta::kRight | ta::kTop;
  EXPECT_EQ(texts, (std::vector<Text>{{74, 14, RT, 0, "100"},
                                      {74, 74, RT, 0, "80"},
                                      {74, 134, RT, 0, "60"},
                                      {74, 194, RT, 0, "40"},
                                      {74, 254, RT, 0, "20"},
                                      {74, 314, RT, 0, "0"}}));
  // The ticks end just before the labels begin.
  const std::vector<Seg> ticks = Lines(S(), clRed);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front(), (Seg{79, 20, 75, 20}));
}

TEST_F(AxisDrawTest, BottomLabelsMultiLineAndTitle) {
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(50);
  bottom.Title().SetCaption("Time");
  bottom.SetLabelsMultiLine(true);
  bottom.SetAxisValuesFormat("0 'km'");
  Layout({50, 20, 450, 320}, {&bottom});
  // Title 12 high at 308, labels 12 high at 296, ticks 6: axis line at 290.
  ASSERT_EQ(bottom.PosTitle(), 308);
  ASSERT_EQ(bottom.PosLabels(), 296);
  Draw(bottom);
  const uint32_t CT = ta::kCenter | ta::kTop;
  EXPECT_EQ(Texts(S()), (std::vector<Text>{{250, 308, CT, 0, "Time"},
                                           {450, 296, CT, 0, "100"},
                                           {450, 308, CT, 0, "km"},
                                           {250, 296, CT, 0, "50"},
                                           {250, 308, CT, 0, "km"},
                                           {50, 296, CT, 0, "0"},
                                           {50, 308, CT, 0, "km"}}));
}

TEST_F(AxisDrawTest, TitlesOfVerticalAxesRunAlongThem) {
  TCustomChartAxis& left = chart.LeftAxis();
  TCustomChartAxis& right = chart.RightAxis();
  left.Title().SetCaption("Left");
  right.Title().SetCaption("Right");
  left.SetLabels(false);
  right.SetLabels(false);
  Layout({50, 20, 450, 320}, {&left, &right});
  ASSERT_EQ(left.PosTitle(), 62);
  ASSERT_EQ(right.PosTitle(), 438);
  Draw(left);
  EXPECT_EQ(Texts(S()), (std::vector<Text>{{62, 170, ta::kCenter | ta::kBottom, 900, "Left"}}));
  Draw(right);
  EXPECT_EQ(Texts(S()), (std::vector<Text>{{438, 170, ta::kCenter | ta::kBottom, 2700, "Right"}}));
}

TEST_F(AxisDrawTest, PrintingTurnsWhiteTextBlackAndTextsAreTransparent) {
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  bottom.SetIncrement(100);
  bottom.LabelsFont().SetColor(clWhite);
  chart.Canvas().ChangeBackMode(platform::BackMode::Opaque);
  chart.Surface().ClearOps();
  DrawAxis(bottom, chart, false);
  std::vector<RecordedOp> ops = S().OpsOfKind(OpKind::TextOut);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].textColor, ColorToRGB(clWhite));
  // Texts leave what lies under them alone, whatever mode the grid of another axis left.
  EXPECT_EQ(ops[0].backMode, platform::BackMode::Transparent);
  EXPECT_EQ(chart.Canvas().Brush().style, platform::BrushStyle::Clear);
  chart.Surface().ClearOps();
  DrawAxis(bottom, chart, true);
  ops = S().OpsOfKind(OpKind::TextOut);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].textColor, ColorToRGB(clBlack));
  // The axis keeps its own font.
  EXPECT_EQ(bottom.LabelsFont().Color(), clWhite);
}

TEST_F(AxisDrawTest, TextLabelsComeFromThePointLabels) {
  series.ClearPoints();
  series.AddPointXY(0, 1, "Jan");
  series.AddPointXY(50, 2, "Feb");
  series.AddPointXY(100, 3, "Mar");
  chart.chartRect = {50, 20, 450, 320};
  chart.PrepareAxes();
  TCustomChartAxis& bottom = chart.BottomAxis();
  ASSERT_EQ(bottom.EffectiveLabelStyle(), TAxisLabelStyle::talText);
  Draw(bottom);
  std::vector<std::string> texts;
  for (const Text& t : Texts(S())) texts.push_back(t.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"Jan", "Feb", "Mar"}));
  EXPECT_EQ(Lines(S(), clRed).size(), 3u);
}

// ---- 3D -----------------------------------------------------------------------------------

class AxisDraw3DTest : public AxisDrawTest {
 protected:
  void SetUp() override {
    AxisDrawTest::SetUp();
    chart.view3D = true;
    chart.width3D = 30;
    chart.chartRect = {50, 50, 420, 320};
    // Orthogonal projection: depth z moves a point z right and z up.
    chart.Canvas().BeginFrame(chart.Surface(), &chart.view3DOptions, {0, 0, 500, 350}, true);
    chart.Canvas().SetProjectionCentre(30, {0, 0, 500, 350}, chart.chartRect);
    chart.PrepareAxes();
  }
};

TEST_F(AxisDraw3DTest, TopAndRightAxesLieAtTheBack) {
  TCustomChartAxis& top = chart.TopAxis();
  TCustomChartAxis& right = chart.RightAxis();
  top.SetIncrement(100);
  right.SetIncrement(100);
  top.MinorTicks().SetVisible(false);
  right.MinorTicks().SetVisible(false);

  Draw(top);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{80, 20, 450, 20}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{80, 19, 80, 15}, {450, 19, 450, 15}}));
  EXPECT_EQ(Lines(S(), clGreen), (std::vector<Seg>{{80, 20, 80, 290}, {450, 20, 450, 290}}));
  for (const Text& t : Texts(S())) EXPECT_EQ(t.y, top.PosLabels() - 30) << t.text;

  Draw(right);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{450, 20, 450, 290}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{451, 20, 455, 20}, {451, 290, 455, 290}}));
  EXPECT_EQ(Lines(S(), clGreen), (std::vector<Seg>{{80, 20, 450, 20}, {80, 290, 450, 290}}));
  for (const Text& t : Texts(S())) EXPECT_EQ(t.x, right.PosLabels() + 30) << t.text;
}

TEST_F(AxisDraw3DTest, BottomAndLeftAxesLieAtTheFrontWithGridAlongFloorAndWall) {
  TCustomChartAxis& bottom = chart.BottomAxis();
  TCustomChartAxis& left = chart.LeftAxis();
  bottom.SetIncrement(100);
  left.SetIncrement(100);
  bottom.MinorTicks().SetVisible(false);
  left.MinorTicks().SetVisible(false);

  Draw(bottom);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{50, 320, 420, 320}}));
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{50, 321, 50, 325}, {420, 321, 420, 325}}));
  // Along the floor from the front to the back, then up the back wall.
  EXPECT_EQ(Lines(S(), clGreen),
            (std::vector<Seg>{
                {50, 320, 80, 290}, {80, 20, 80, 290}, {420, 320, 450, 290}, {450, 20, 450, 290}}));
  Draw(left);
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{50, 50, 50, 320}}));
  EXPECT_EQ(Lines(S(), clGreen),
            (std::vector<Seg>{
                {50, 50, 80, 20}, {50, 320, 80, 290}, {80, 20, 450, 20}, {80, 290, 450, 290}}));
}

TEST_F(AxisDraw3DTest, DepthAxisRunsIntoTheChart) {
  TCustomChartAxis& depth = chart.DepthAxis();
  depth.SetVisible(true);
  depth.Title().SetCaption("Z");
  depth.MinorTicks().SetVisible(false);
  Layout(chart.chartRect, {&depth});
  ASSERT_EQ(depth.EffectiveLabelStyle(), TAxisLabelStyle::talText);
  Draw(depth);
  // The line from the bottom right corner backwards.
  EXPECT_EQ(Lines(S(), clBlack), (std::vector<Seg>{{420, 320, 450, 290}}));
  // One series: one label at the middle of the depth, its tick along the bottom there.
  const std::vector<Text> texts = Texts(S());
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], (Text{420 + 15, 320 - 15, ta::kLeft | ta::kTop, 0, "Z"}));
  EXPECT_EQ(texts[1].x, 420 + 15);
  EXPECT_EQ(Lines(S(), clRed), (std::vector<Seg>{{436, 305, 440, 305}}));
  // The grid at that depth: up the left wall's edge and along the floor's.
  EXPECT_EQ(Lines(S(), clGreen), (std::vector<Seg>{{65, 35, 65, 305}, {65, 305, 435, 305}}));
}

// ---- pictures -----------------------------------------------------------------------------

// Renders every axis of a chart through Cairo; returns the picture.
platform::Image RenderAxes(TTestChart& chart, bool view3D) {
  auto surface = platform::CreateMemorySurface(500, 350);
  TZidCanvas3D& canvas = chart.Canvas();
  canvas.SetSurface(surface.get());
  chart.view3D = view3D;
  chart.width3D = view3D ? 30 : 0;
  platform::Rect outer{10, 10, 490, 340};
  if (view3D) {
    outer.top += 30;
    outer.right -= 30;
  }
  TCustomChartAxis* axes[] = {&chart.LeftAxis(), &chart.TopAxis(), &chart.RightAxis(),
                              &chart.BottomAxis(), &chart.DepthAxis()};
  chart.chartRect = outer;
  chart.PrepareAxes();
  platform::Rect r = outer;
  for (TCustomChartAxis* a : axes) {
    if (a->IsVisibleInChart()) a->ReserveSpace(r);
  }
  chart.chartRect = r;
  chart.PrepareAxes();
  canvas.BeginFrame(*surface, &chart.view3DOptions, {0, 0, 500, 350}, view3D);
  canvas.SetProjectionCentre(chart.width3D, {0, 0, 500, 350}, r);
  for (TCustomChartAxis* a : axes) {
    if (a->IsVisibleInChart()) DrawAxis(*a, chart);
  }
  platform::Image image = surface->Snapshot();
  canvas.SetSurface(&chart.Surface());
  return image;
}

TEST(AxisDrawPictureTest, AxesIn2DAnd3D) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  a.AddPointXY(0, 0);
  a.AddPointXY(100, 1000);
  TTestSeries& b = chart.Add();
  b.SetHorizAxis(THorizAxis::aTopAxis);
  b.SetVertAxis(TVertAxis::aRightAxis);
  b.AddPointXY(1, 1);
  b.AddPointXY(1000, 50);
  chart.TopAxis().SetLogarithmic(true);
  chart.BottomAxis().Title().SetCaption("Bottom title");
  chart.LeftAxis().Title().SetCaption("Left title");
  chart.RightAxis().Title().SetCaption("Right title");
  chart.TopAxis().Title().SetCaption("Top (logarithmic)");
  chart.BottomAxis().MinorGrid().SetVisible(true);
  chart.BottomAxis().MinorGrid().SetColor(clSilver);
  chart.LeftAxis().SetLabelsAngle(90);
  chart.RightAxis().SetGridCentered(true);
  chart.RightAxis().Grid().SetColor(clRed);
  chart.DepthAxis().SetVisible(true);

  for (bool view3D : {false, true}) {
    platform::Image image = RenderAxes(chart, view3D);
    const std::string name = view3D ? "axis_draw_3d.png" : "axis_draw_2d.png";
    ASSERT_TRUE(platform::SavePng(image, testing::TestOutputPath(name)));
    // Something dark was drawn near every edge: lines and labels of each axis.
    int dark = 0;
    for (int32_t y = 0; y < image.height; ++y) {
      for (int32_t x = 0; x < image.width; ++x) {
        if ((image.At(x, y) & 0xFF) < 0x40) ++dark;
      }
    }
    EXPECT_GT(dark, 1000);
  }
}

}  // namespace
}  // namespace zq
