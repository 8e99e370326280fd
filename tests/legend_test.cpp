// Legend: properties and checked setters, styles and item texts, the layout of the four
// alignments with their capacity, shadow, frame, fill, colour boxes and dividing lines, the
// room taken from the chart rectangle, the hit test, Assign, and pictures through Cairo.
#include "engine/chart/legend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/cairo/image_output.h"
#include "support/image_compare.h"
#include "support/legend_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using testing::TLegendTestChart;
using testing::TTestSeries;

// The recording surface measures the default font (Arial 8, height -11) as 6 pixels a
// character and 12 high.
constexpr int32_t kCharWidth = 6;
constexpr int32_t kLineHeight = 12;

struct DrawnText {
  std::string text;
  int32_t x, y;
  friend bool operator==(const DrawnText&, const DrawnText&) = default;
};

std::ostream& operator<<(std::ostream& out, const DrawnText& t) {
  return out << '"' << t.text << "\" at " << t.x << ',' << t.y;
}

std::vector<DrawnText> Texts(TLegendTestChart& chart) {
  std::vector<DrawnText> out;
  for (const RecordedOp& op : chart.Surface().OpsOfKind(OpKind::TextOut)) {
    out.push_back({op.text, op.args[0], op.args[1]});
  }
  return out;
}

std::vector<std::string> TextsOnly(TLegendTestChart& chart) {
  std::vector<std::string> out;
  for (const DrawnText& t : Texts(chart)) out.push_back(t.text);
  return out;
}

std::vector<Rect> Rects(TLegendTestChart& chart, OpKind kind = OpKind::Rectangle) {
  std::vector<Rect> out;
  for (const RecordedOp& op : chart.Surface().OpsOfKind(kind)) {
    out.push_back({op.args[0], op.args[1], op.args[2], op.args[3]});
  }
  return out;
}

// A series of `labels.size()` points labelled as given, values 1, 2, 3, ...
TTestSeries& AddSeries(TLegendTestChart& chart, const std::string& title,
                       const std::vector<std::string>& labels = {}) {
  TTestSeries& s = chart.Add();
  s.SetTitle(title);
  for (size_t i = 0; i < labels.size(); ++i) s.AddPointXY(double(i), double(i + 1), labels[i]);
  return s;
}

std::vector<std::string> Labels(const std::string& prefix, int32_t count) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < count; ++i) {
    out.push_back(prefix + (i < 10 ? "0" : "") + std::to_string(i));
  }
  return out;
}

// Plain labels keep the item widths easy to follow.
void PlainTexts(TLegendTestChart& chart) {
  chart.Legend().SetTextStyle(TLegendTextStyle::ltsPlain);
}

// ---- properties ------------------------------------------------------------------------------

TEST(LegendTest, StartsWithTheDefaults) {
  TLegendTestChart chart;
  const TChartLegend& l = chart.Legend();
  EXPECT_EQ(l.Alignment(), TLegendAlignment::laRight);
  EXPECT_EQ(l.Brush().Color(), clDefault);
  EXPECT_EQ(l.Brush().Style(), TBrushStyle::bsSolid);
  EXPECT_EQ(l.Color(), clWhite);
  EXPECT_EQ(l.ColorWidth(), 12);
  EXPECT_FALSE(l.DividingLines().Visible());
  EXPECT_EQ(l.FirstValue(), 0);
  EXPECT_TRUE(l.Frame().Visible());
  EXPECT_EQ(l.Frame().Color(), clBlack);
  EXPECT_EQ(l.Frame().Width(), 1);
  EXPECT_EQ(l.HorizMargin(), 0);
  EXPECT_FALSE(l.Inverted());
  EXPECT_EQ(l.LegendStyle(), TLegendStyle::lsAuto);
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsAuto);
  EXPECT_EQ(l.MaxNumRows(), 10);
  EXPECT_TRUE(l.ResizeChart());
  EXPECT_EQ(l.ShadowColor(), clBlack);
  EXPECT_EQ(l.ShadowSize(), 3);
  EXPECT_EQ(l.TextStyle(), TLegendTextStyle::ltsLeftValue);
  EXPECT_EQ(l.TopPos(), 10);
  EXPECT_EQ(l.VertMargin(), 0);
  EXPECT_TRUE(l.Visible());
  EXPECT_EQ(l.Font().Name(), "Arial");
  EXPECT_EQ(l.Font().Size(), 8);
  EXPECT_TRUE(l.IsVertical());
  EXPECT_EQ(&l.Owner(), static_cast<TLegendOwner*>(&chart));
}

TEST(LegendTest, CheckedSettersRaiseTheirMessagesAndKeepTheOldValue) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  auto message = [](auto&& call) -> std::string {
    try {
      call();
    } catch (const LegendException& e) {
      return e.what();
    }
    return "no exception";
  };
  const std::string colorWidth = "Legend Color Width must be between 0 and 100 %";
  const std::string topPos = "Top Legend Position must be between 0 and 100 %";
  const std::string firstValue = "First Legend Value must be > 0";

  l.SetColorWidth(30);
  EXPECT_EQ(message([&] { l.SetColorWidth(-1); }), colorWidth);
  EXPECT_EQ(message([&] { l.SetColorWidth(101); }), colorWidth);
  EXPECT_EQ(l.ColorWidth(), 30);
  l.SetColorWidth(0);
  EXPECT_EQ(l.ColorWidth(), 0);
  l.SetColorWidth(100);
  EXPECT_EQ(l.ColorWidth(), 100);

  l.SetTopPos(40);
  EXPECT_EQ(message([&] { l.SetTopPos(-1); }), topPos);
  EXPECT_EQ(message([&] { l.SetTopPos(101); }), topPos);
  EXPECT_EQ(l.TopPos(), 40);
  l.SetTopPos(0);
  EXPECT_EQ(l.TopPos(), 0);
  l.SetTopPos(100);
  EXPECT_EQ(l.TopPos(), 100);

  l.SetFirstValue(3);
  EXPECT_EQ(message([&] { l.SetFirstValue(-1); }), firstValue);
  EXPECT_EQ(l.FirstValue(), 3);
  l.SetFirstValue(0);
  EXPECT_EQ(l.FirstValue(), 0);

  // A LegendException is a ChartException.
  EXPECT_THROW(l.SetTopPos(1000), ChartException);
}

TEST(LegendTest, SettersRepaintOnlyWhenTheValueChanges) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  auto repaints = [&](auto&& change) {
    const int32_t before = chart.repaints;
    change();
    return chart.repaints - before;
  };
  EXPECT_EQ(repaints([&] { l.SetAlignment(TLegendAlignment::laRight); }), 0);
  EXPECT_EQ(repaints([&] { l.SetAlignment(TLegendAlignment::laTop); }), 1);
  EXPECT_EQ(repaints([&] { l.SetTextStyle(TLegendTextStyle::ltsPlain); }), 1);
  EXPECT_EQ(repaints([&] { l.SetVisible(true); }), 0);
  EXPECT_EQ(repaints([&] { l.SetVisible(false); }), 1);
  EXPECT_EQ(repaints([&] { l.SetInverted(true); }), 1);
  EXPECT_EQ(repaints([&] { l.SetMaxNumRows(10); }), 0);
  EXPECT_EQ(repaints([&] { l.SetMaxNumRows(4); }), 1);
  EXPECT_EQ(repaints([&] { l.SetHorizMargin(5); }), 1);
  EXPECT_EQ(repaints([&] { l.SetVertMargin(5); }), 1);
  EXPECT_EQ(repaints([&] { l.SetResizeChart(false); }), 1);
  EXPECT_EQ(repaints([&] { l.SetColor(clYellow); }), 1);
  EXPECT_EQ(repaints([&] { l.SetShadowColor(clGray); }), 1);
  EXPECT_EQ(repaints([&] { l.SetShadowSize(3); }), 0);
  EXPECT_EQ(repaints([&] { l.SetShadowSize(-7); }), 1) << "no limits on the shadow";
  EXPECT_EQ(repaints([&] { l.SetColorWidth(12); }), 0);
  EXPECT_EQ(repaints([&] { l.SetColorWidth(20); }), 1);
  EXPECT_EQ(repaints([&] { l.SetTopPos(20); }), 1);
  EXPECT_EQ(repaints([&] { l.SetFirstValue(1); }), 1);
  EXPECT_EQ(repaints([&] { l.SetLegendStyle(TLegendStyle::lsSeries); }), 1);
  EXPECT_EQ(repaints([&] { l.SetLegendStyle(TLegendStyle::lsSeries); }), 0);
  // Owned parts change in place and repaint.
  EXPECT_EQ(repaints([&] { l.Frame().SetColor(clRed); }), 1);
  EXPECT_EQ(repaints([&] { l.Brush().SetStyle(TBrushStyle::bsCross); }), 1);
  EXPECT_EQ(repaints([&] { l.DividingLines().SetVisible(true); }), 1);
  EXPECT_EQ(repaints([&] { l.Font().SetSize(12); }), 1);
  TChartPen pen;
  pen.SetWidth(3);
  const TChartPen* frame = &l.Frame();
  l.SetFrame(pen);
  EXPECT_EQ(&l.Frame(), frame) << "assigned into, not replaced";
  EXPECT_EQ(l.Frame().Width(), 3);
}

// ---- styles and texts ---------------------------------------------------------------------------

TEST(LegendTest, AutoStyleListsTheValuesOfOneSeriesAndTheTitlesOfMore) {
  TLegendTestChart chart;
  PlainTexts(chart);
  TChartLegend& l = chart.Legend();
  TTestSeries& a = AddSeries(chart, "Alpha", {"a", "b", "c"});
  l.PaintLegend();
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsValues);
  EXPECT_EQ(TextsOnly(chart), (std::vector<std::string>{"a", "b", "c"}));

  TTestSeries& b = AddSeries(chart, "Beta", {"x"});
  chart.Surface().ClearOps();
  l.PaintLegend();
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsSeries);
  EXPECT_EQ(TextsOnly(chart), (std::vector<std::string>{"Alpha", "Beta"}));

  // Only active series count.
  b.SetActive(false);
  l.ResolveStyle();
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsValues);
  a.SetActive(false);
  l.ResolveStyle();
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsValues);
  EXPECT_EQ(l.TotalItems(), 0);

  // Setting a style resolves it at once.
  l.SetLegendStyle(TLegendStyle::lsLastValues);
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsLastValues);
  a.SetActive(true);
  b.SetActive(true);
  l.SetLegendStyle(TLegendStyle::lsAuto);
  EXPECT_EQ(l.ResolvedStyle(), TLegendStyle::lsSeries);
}

TEST(LegendTest, TotalItemsFollowsTheStyleShowInLegendAndFirstValue) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  TTestSeries& hidden = AddSeries(chart, "Hidden", {"h"});
  TTestSeries& a = AddSeries(chart, "A", {"a0", "a1", "a2", "a3"});
  AddSeries(chart, "B", {"b0"});
  AddSeries(chart, "C", {"c0"});

  l.SetLegendStyle(TLegendStyle::lsSeries);
  EXPECT_EQ(l.TotalItems(), 4);
  hidden.SetShowInLegend(false);
  EXPECT_EQ(l.TotalItems(), 3);
  l.SetLegendStyle(TLegendStyle::lsLastValues);
  EXPECT_EQ(l.TotalItems(), 3);
  l.SetFirstValue(2);
  EXPECT_EQ(l.TotalItems(), 1);
  l.SetFirstValue(5);
  EXPECT_EQ(l.TotalItems(), 0) << "never below 0";

  // Values: the first active series' items, only when it shows in the legend.
  l.SetFirstValue(0);
  l.SetLegendStyle(TLegendStyle::lsValues);
  EXPECT_EQ(l.TotalItems(), 0) << "the first active series is hidden from the legend";
  hidden.SetActive(false);
  EXPECT_EQ(l.TotalItems(), 4);
  l.SetFirstValue(1);
  EXPECT_EQ(l.TotalItems(), 3);
  a.SetShowInLegend(false);
  EXPECT_EQ(l.TotalItems(), 0);
}

TEST(LegendTest, ItemTextsPerStyle) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  PlainTexts(chart);
  TTestSeries& off = AddSeries(chart, "Off", {"o0", "o-last"});
  off.SetActive(false);
  TTestSeries& hidden = AddSeries(chart, "Hidden", {"h0"});
  hidden.SetShowInLegend(false);
  AddSeries(chart, "", {"u0", "u-last"});
  AddSeries(chart, "Third", {"t0"});

  // Series: the index-th active series shown in the legend; untitled and unnamed ones are
  // "Series " and their legend position.
  l.SetLegendStyle(TLegendStyle::lsSeries);
  EXPECT_EQ(l.ItemText(0), "Series 0");
  EXPECT_EQ(l.ItemText(1), "Third");
  EXPECT_EQ(l.ItemText(2), "");
  chart.SeriesList()[2].SetName("Named");
  EXPECT_EQ(l.ItemText(0), "Named");

  // Last values: the series at that index of the whole list, active or not.
  l.SetLegendStyle(TLegendStyle::lsLastValues);
  EXPECT_EQ(l.ItemText(0), "o-last");
  EXPECT_EQ(l.ItemText(1), "h0");
  EXPECT_EQ(l.ItemText(2), "u-last");
  EXPECT_EQ(l.ItemText(9), "");

  // Values: the points of the first active series.
  l.SetLegendStyle(TLegendStyle::lsValues);
  EXPECT_EQ(l.ItemText(0), "h0");
  EXPECT_EQ(l.ItemText(1), "");

  // Every text passes the chart's OnGetLegendText with the style in effect.
  std::vector<std::pair<TLegendStyle, int32_t>> asked;
  chart.onGetLegendText = [&](TLegendStyle style, int32_t index, std::string& text) {
    asked.emplace_back(style, index);
    text = "<" + text + ">";
  };
  EXPECT_EQ(l.ItemText(0), "<h0>");
  EXPECT_EQ(asked, (std::vector<std::pair<TLegendStyle, int32_t>>{{TLegendStyle::lsValues, 0}}));
}

TEST(LegendTest, ValueTextUsesTheTextStyleWithLineBreaksAsBlanks) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  TTestSeries& s = AddSeries(chart, "S");
  s.AddPointXY(0, 25, "two\rlines");
  s.AddPointXY(1, 75, "x");
  EXPECT_EQ(l.ValueText(s, -1), "");
  EXPECT_EQ(l.ValueText(s, 0), "25 two lines");
  l.SetTextStyle(TLegendTextStyle::ltsRightValue);
  EXPECT_EQ(l.ValueText(s, 1), "x 75");
  l.SetTextStyle(TLegendTextStyle::ltsPlain);
  EXPECT_EQ(l.ValueText(s, 0), "two lines");
  l.SetTextStyle(TLegendTextStyle::ltsRightPercent);
  EXPECT_EQ(l.ValueText(s, 1), "x " + s.PercentText(1, false));
  EXPECT_EQ(l.ValueText(s, 2), "") << "beyond the points";
}

TEST(LegendTest, WidestItemMeasuresFromFirstValue) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  PlainTexts(chart);
  AddSeries(chart, "S", {"a", "bbbbb", "cc", "ddd"});
  l.ResolveStyle();
  EXPECT_EQ(l.WidestItem(-1), 5 * kCharWidth);
  EXPECT_EQ(l.WidestItem(1), 1 * kCharWidth);
  EXPECT_EQ(l.WidestItem(0), 0);
  l.SetFirstValue(2);
  EXPECT_EQ(l.WidestItem(-1), 3 * kCharWidth);
  EXPECT_EQ(l.WidestItem(1), 2 * kCharWidth);
  l.SetFirstValue(4);
  EXPECT_EQ(l.WidestItem(-1), 0);
}

// ---- layout ----------------------------------------------------------------------------------

// Two series titled "One" and "Two" (3 characters: 18 pixels) in the default right legend.
// The chart rectangle is 50,20-450,320 (400 x 300) in the bounds 0,0-500,350.
TEST(LegendPaint, RightLegendFollowsTheLayout) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  TTestSeries& one = AddSeries(chart, "One", {"p"});
  TTestSeries& two = AddSeries(chart, "Two", {"q"});
  l.PaintLegend();

  // top = 0 + round(10 % of 350) = 35; rows 2; bottom = 35 + 2 * 12 + 2.
  // right = 450 - (1 + 1) - 3; text X = 445 - 18 - 2; box = round(28 * 12 %) = 3;
  // left = text X - 3 - 8.
  EXPECT_EQ(l.RectLegend(), (Rect{414, 35, 445, 61}));
  EXPECT_EQ(l.NumRows(), 2);
  EXPECT_EQ(l.NumCols(), 1);
  EXPECT_EQ(l.ColorBoxWidth(), 3);
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"One", 425, 36}, {"Two", 425, 48}}));
  EXPECT_EQ(chart.legendColor, clWhite) << "the legend colour of this pass";

  // Shadow, framed box, then the two colour boxes drawn by the series in their colours.
  const std::vector<RecordedOp> fills = chart.Surface().OpsOfKind(OpKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].args, (std::vector<int32_t>{417, 38, 449, 65}));
  EXPECT_EQ(fills[0].brush.color, ColorToRGB(clBlack));
  const std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[0].args, (std::vector<int32_t>{413, 34, 446, 62}));
  EXPECT_EQ(rects[0].brush.color, ColorToRGB(clWhite));
  EXPECT_EQ(rects[0].pen.color, ColorToRGB(clBlack));
  EXPECT_EQ(rects[1].args, (std::vector<int32_t>{418, 38, 421, 46}));
  EXPECT_EQ(rects[1].brush.color, ColorToRGB(one.SeriesColor()));
  EXPECT_EQ(rects[1].pen.color, ColorToRGB(clBlack));
  EXPECT_EQ(rects[2].args, (std::vector<int32_t>{418, 50, 421, 58}));
  EXPECT_EQ(rects[2].brush.color, ColorToRGB(two.SeriesColor()));

  // The chart gives up the legend's room and 3 % of its width.
  EXPECT_EQ(chart.chartRect, (Rect{50, 20, 414 - 12, 320}));
  EXPECT_EQ(chart.recalcs, 1);
  EXPECT_EQ(chart.ChartWidth(), 414 - 12 - 50);
}

TEST(LegendPaint, LeftLegendFollowsTheLayout) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetAlignment(TLegendAlignment::laLeft);
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Three", {"q"});
  l.PaintLegend();
  // w = 30; left = 50 + 2; box = round(40 * 12 %) = 5; text X = 52 + 5 + 8;
  // right = 52 + 5 + 30 + 10.
  EXPECT_EQ(l.RectLegend(), (Rect{52, 35, 97, 61}));
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"One", 65, 36}, {"Three", 65, 48}}));
  const std::vector<Rect> rects = Rects(chart);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[1], (Rect{56, 38, 61, 46})) << "colour box from X - 4 - width to X - 4";
  EXPECT_EQ(chart.chartRect, (Rect{97 + 12, 20, 450, 320}));
}

TEST(LegendPaint, TopLegendSitsRightOfCentreByTopPos) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetAlignment(TLegendAlignment::laTop);
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.PaintLegend();
  // Columns: min(2, (400 - 2 - 8) div (22 + 3 + 8)) = 2, one row.
  EXPECT_EQ(l.NumCols(), 2);
  EXPECT_EQ(l.NumRows(), 1);
  // Width = min(400, 6 + (3 + 18 + 8) * 2 + 8) = 72; shift = round(10 % of 428) = 43;
  // left = 250 - 36 + 43; top = 20 + 2; bottom = 22 + 12 + 2.
  EXPECT_EQ(l.RectLegend(), (Rect{257, 22, 329, 36}));
  // Text X = 257 + 3 + 8, the next column 18 + 8 + 3 further.
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"One", 268, 23}, {"Two", 297, 23}}));
  // The chart's top goes below the legend and its shadow, then 4 % of 300 lower.
  EXPECT_EQ(chart.chartRect, (Rect{50, 36 + 3 + 12, 450, 320}));
}

TEST(LegendPaint, BottomLegendStandsOnTheShadow) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetAlignment(TLegendAlignment::laBottom);
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.PaintLegend();
  // bottom = 320 - 3 - 2; top = bottom - 12 - 2.
  EXPECT_EQ(l.RectLegend(), (Rect{257, 301, 329, 315}));
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"One", 268, 302}, {"Two", 297, 302}}));
  EXPECT_EQ(chart.chartRect, (Rect{50, 20, 450, 301 - 12}));
}

TEST(LegendPaint, TopLegendRowsAreLimitedByMaxNumRows) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetAlignment(TLegendAlignment::laTop);
  PlainTexts(chart);
  // 25 items of 3 characters: 22 + 3 + 8 = 33 pixels a column; a chart 120 wide holds
  // (120 - 2 - 8) div 33 = 3 columns.
  AddSeries(chart, "S", Labels("i", 25));
  chart.SetRect({50, 20, 170, 320});
  l.PaintLegend();
  EXPECT_EQ(l.NumCols(), 3);
  EXPECT_EQ(l.NumRows(), 9) << "27 places";
  EXPECT_EQ(Texts(chart).size(), 25u);
  // Width = min(120, 6 + 29 * 3 + 8) = 101; shift = round(10 % of 399) = 40; centre 110.
  EXPECT_EQ(l.RectLegend(), (Rect{100, 22, 200, 22 + 9 * kLineHeight + 2}));
  // Item 4 is in row 1, column 1.
  EXPECT_EQ(Texts(chart)[4], (DrawnText{"i04", 111 + 29, 35}));
  EXPECT_EQ(Texts(chart)[24], (DrawnText{"i24", 111, 23 + 8 * kLineHeight}));

  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 170, 320});
  l.SetMaxNumRows(5);
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 5);
  const std::vector<std::string> shown = TextsOnly(chart);
  EXPECT_EQ(shown.size(), 15u);
  EXPECT_EQ(shown.back(), "i14");
}

TEST(LegendPaint, WithoutRoomForOneLineNothingIsDrawnAndTheChartKeepsItsRect) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  // The legend would start at 35, below the chart rectangle.
  const Rect small{50, 20, 450, 30};
  chart.SetRect(small);
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 0);
  EXPECT_TRUE(Texts(chart).empty());
  EXPECT_TRUE(Rects(chart).empty());
  EXPECT_TRUE(Rects(chart, OpKind::FillRect).empty());
  EXPECT_EQ(chart.chartRect, small);
  EXPECT_EQ(chart.recalcs, 0);

  // A top legend in a chart too narrow for a column.
  l.SetAlignment(TLegendAlignment::laTop);
  const Rect narrow{0, 20, 8, 320};
  chart.SetRect(narrow);
  l.PaintLegend();
  EXPECT_EQ(l.NumCols(), 0);
  EXPECT_EQ(l.NumRows(), 0);
  EXPECT_TRUE(Texts(chart).empty());
  EXPECT_EQ(chart.chartRect, narrow);

  // No items at all.
  chart.SetRect({50, 20, 450, 320});
  l.SetAlignment(TLegendAlignment::laRight);
  l.SetLegendStyle(TLegendStyle::lsValues);
  l.SetFirstValue(1);
  l.PaintLegend();
  EXPECT_TRUE(Rects(chart).empty());
  EXPECT_EQ(chart.chartRect, (Rect{50, 20, 450, 320}));
}

TEST(LegendPaint, WithoutResizeChartOnlyTheGapIsTaken) {
  for (TLegendAlignment a : {TLegendAlignment::laLeft, TLegendAlignment::laRight,
                             TLegendAlignment::laTop, TLegendAlignment::laBottom}) {
    TLegendTestChart chart;
    TChartLegend& l = chart.Legend();
    AddSeries(chart, "One", {"p"});
    AddSeries(chart, "Two", {"q"});
    l.SetAlignment(a);
    l.SetResizeChart(false);
    l.PaintLegend();
    EXPECT_FALSE(Texts(chart).empty());
    // 3 % of 400 and 4 % of 300.
    Rect expected{50, 20, 450, 320};
    switch (a) {
      case TLegendAlignment::laLeft:
        expected.left += 12;
        break;
      case TLegendAlignment::laRight:
        expected.right -= 12;
        break;
      case TLegendAlignment::laTop:
        expected.top += 12;
        break;
      case TLegendAlignment::laBottom:
        expected.bottom -= 12;
        break;
    }
    EXPECT_EQ(chart.chartRect, expected) << "alignment " << int(a);
    EXPECT_EQ(chart.recalcs, 1);
  }
}

TEST(LegendPaint, TheGapIsTheMarginOrAPercentRoundedHalfAway) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.SetResizeChart(false);
  // 3 % of 150 is 4.5: 5, not the even 4.
  chart.SetRect({50, 20, 200, 320});
  l.PaintLegend();
  EXPECT_EQ(chart.chartRect.right, 200 - 5);
  // 4 % of 50 is 2.
  l.SetAlignment(TLegendAlignment::laBottom);
  chart.SetRect({50, 20, 450, 70});
  l.PaintLegend();
  EXPECT_EQ(chart.chartRect.bottom, 70 - 2);

  l.SetAlignment(TLegendAlignment::laLeft);
  l.SetHorizMargin(7);
  chart.SetRect({50, 20, 450, 320});
  l.PaintLegend();
  EXPECT_EQ(chart.chartRect.left, 57);
  l.SetAlignment(TLegendAlignment::laTop);
  l.SetVertMargin(9);
  chart.SetRect({50, 20, 450, 320});
  l.PaintLegend();
  EXPECT_EQ(chart.chartRect.top, 29);
}

TEST(LegendPaint, FirstValueSkipsLeadingItems) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  PlainTexts(chart);
  AddSeries(chart, "S", {"p0", "p1", "p2", "p3", "p4"});
  l.SetFirstValue(2);
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 3);
  const int32_t x = Texts(chart)[0].x;
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"p2", x, 36}, {"p3", x, 48}, {"p4", x, 60}}));
}

TEST(LegendPaint, InvertedListsTheLastItemFirst) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  PlainTexts(chart);
  TTestSeries& s = AddSeries(chart, "S");
  s.AddPointXY(0, 1, "a", clRed);
  s.AddPointXY(1, 2, "b", clGreen);
  s.AddPointXY(2, 3, "c", clBlue);
  l.SetInverted(true);
  l.PaintLegend();
  const int32_t x = Texts(chart)[0].x;
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"a", x, 60}, {"b", x, 48}, {"c", x, 36}}));
  // Each point's colour box goes with its text.
  const std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[1].args[1], 62);
  EXPECT_EQ(rects[1].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(rects[3].args[1], 38);
  EXPECT_EQ(rects[3].brush.color, ColorToRGB(clBlue));
}

TEST(LegendPaint, ColorWidthZeroAndHundred) {
  for (int32_t width : {0, 100}) {
    TLegendTestChart chart;
    TChartLegend& l = chart.Legend();
    l.SetColorWidth(width);
    AddSeries(chart, "One", {"p"});
    AddSeries(chart, "Three", {"q"});
    l.PaintLegend();
    // w = 30: the box is round((30 + 10) * width %) wide.
    const int32_t box = width == 0 ? 0 : 40;
    EXPECT_EQ(l.ColorBoxWidth(), box);
    const int32_t textX = 445 - 30 - 2;
    EXPECT_EQ(Texts(chart)[0].x, textX);
    EXPECT_EQ(l.RectLegend().left, textX - box - 8);
    const std::vector<Rect> rects = Rects(chart);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[1], (Rect{textX - 4 - box, 38, textX - 4, 46})) << "width " << width;
  }
}

TEST(LegendPaint, TopPosPlacesSideLegendsAlongTheBounds) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  chart.bounds = {0, 5, 500, 355};
  for (TLegendAlignment a : {TLegendAlignment::laLeft, TLegendAlignment::laRight}) {
    l.SetAlignment(a);
    l.SetTopPos(0);
    chart.SetRect({50, 20, 450, 320});
    l.PaintLegend();
    EXPECT_EQ(l.RectLegend().top, 5);
    EXPECT_EQ(l.RectLegend().bottom, 5 + 2 * kLineHeight + 2);
    l.SetTopPos(50);
    chart.SetRect({50, 20, 450, 320});
    l.PaintLegend();
    EXPECT_EQ(l.RectLegend().top, 5 + 175);
  }
  // Rows are limited by the chart rectangle's bottom, less twice the frame width.
  chart.SetRect({50, 20, 450, 320});
  l.SetTopPos(100);
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 0) << "starts below the chart rectangle";
  chart.SetRect({50, 20, 450, 320});
  l.SetTopPos(0);
  chart.bounds = {0, 282, 500, 400};
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 2) << "(320 - 2 - 282) div 12 = 3 places for 2 items";
  chart.SetRect({50, 20, 450, 320});
  chart.bounds = {0, 296, 500, 400};
  l.PaintLegend();
  EXPECT_EQ(l.NumRows(), 1) << "(320 - 2 - 296) div 12";
}

TEST(LegendPaint, FrameAndShadowFollowTheirSettings) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  // Without frame the legend lies against the chart's edge and the shadow ends 1 nearer.
  l.Frame().SetVisible(false);
  l.SetShadowColor(clGray);
  l.PaintLegend();
  EXPECT_EQ(l.RectLegend(), (Rect{416, 35, 447, 61}));
  std::vector<RecordedOp> fills = chart.Surface().OpsOfKind(OpKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].args, (std::vector<int32_t>{419, 38, 449, 63}));
  EXPECT_EQ(fills[0].brush.color, ColorToRGB(clGray));
  std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].args, (std::vector<int32_t>{416, 35, 447, 61}));
  EXPECT_EQ(rects[0].pen.style, platform::PenStyle::Clear);

  // A wide frame: the legend moves in by width + 1 and the box grows by the width; the
  // shadow reaches size + width + (width - 1) / 2 beyond the legend.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  l.Frame().SetVisible(true);
  l.Frame().SetWidth(3);
  l.Frame().SetColor(clDefault);
  l.SetShadowSize(4);
  l.PaintLegend();
  const Rect legend = l.RectLegend();
  EXPECT_EQ(legend.right, 450 - 4 - 4);
  fills = chart.Surface().OpsOfKind(OpKind::FillRect);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].args, (std::vector<int32_t>{legend.left + 4, legend.top + 4, legend.right + 8,
                                                 legend.bottom + 8}));
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].args, (std::vector<int32_t>{legend.left - 3, legend.top - 3, legend.right + 3,
                                                 legend.bottom + 3}));
  EXPECT_EQ(rects[0].pen.color, ColorToRGB(clBlack)) << "clDefault frames are black";
  EXPECT_EQ(rects[0].pen.width, 3);

  // No shadow at all.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  l.SetShadowSize(0);
  l.PaintLegend();
  EXPECT_TRUE(Rects(chart, OpKind::FillRect).empty());
}

TEST(LegendPaint, TheBoxTakesTheBrushAndColor) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.SetColor(clYellow);
  l.PaintLegend();
  std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Solid);
  EXPECT_EQ(rects[0].brush.color, ColorToRGB(clYellow));
  EXPECT_EQ(chart.legendColor, clYellow);

  // A hatch in the brush colour on an opaque background of Color.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  l.Brush().SetStyle(TBrushStyle::bsCross);
  l.Brush().SetColor(clBlue);
  l.PaintLegend();
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Cross);
  EXPECT_EQ(rects[0].brush.color, ColorToRGB(clBlue));
  EXPECT_EQ(rects[0].backMode, platform::BackMode::Opaque);
  EXPECT_EQ(rects[0].backColor, ColorToRGB(clYellow));

  // A legend without a colour of its own is not filled.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  l.Brush().SetStyle(TBrushStyle::bsSolid);
  l.SetColor(clDefault);
  l.PaintLegend();
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Clear);

  // A pattern picture replaces the style.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  platform::Image image;
  image.width = 2;
  image.height = 2;
  image.pixels = {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u};
  l.Brush().SetImage(image);
  l.SetColor(clWhite);
  l.PaintLegend();
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Pattern);
  EXPECT_EQ(rects[0].brush.pattern, PatternFromImage(image));
}

TEST(LegendPaint, ColourBoxesOnABlackLegendAreOutlinedInWhite) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetColor(clBlack);
  l.Font().SetColor(clWhite);
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.PaintLegend();
  const std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[1].pen.color, ColorToRGB(clWhite));
  EXPECT_EQ(rects[2].pen.color, ColorToRGB(clWhite));
  EXPECT_EQ(rects[1].pen.width, 1);
  EXPECT_EQ(rects[1].pen.style, platform::PenStyle::Solid);
  const std::vector<RecordedOp> texts = chart.Surface().OpsOfKind(OpKind::TextOut);
  EXPECT_EQ(texts[0].textColor, ColorToRGB(clWhite));
  EXPECT_EQ(texts[0].backMode, platform::BackMode::Transparent);
}

TEST(LegendPaint, SeriesStylesDrawTheWholeSeriesSymbol) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  TTestSeries& a = AddSeries(chart, "A", {"a"});
  TTestSeries& b = AddSeries(chart, "B", {"b"});
  a.SetColorEachPoint(true);  // a whole-series item of such a series draws no box
  l.PaintLegend();
  std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[1].brush.color, ColorToRGB(b.SeriesColor()));
  EXPECT_EQ(rects[1].args[1], 50);

  // Last values: texts from the whole list, boxes from the series shown in the legend.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  a.SetColorEachPoint(false);
  l.SetLegendStyle(TLegendStyle::lsLastValues);
  l.SetTextStyle(TLegendTextStyle::ltsPlain);
  l.PaintLegend();
  EXPECT_EQ(TextsOnly(chart), (std::vector<std::string>{"a", "b"}));
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 3u);
  EXPECT_EQ(rects[1].brush.color, ColorToRGB(a.SeriesColor()));
  EXPECT_EQ(rects[2].brush.color, ColorToRGB(b.SeriesColor()));
}

TEST(LegendPaint, ItemsWithoutTextGetNoColourBox) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  PlainTexts(chart);
  AddSeries(chart, "S", {"a", "", "c"});
  l.PaintLegend();
  EXPECT_EQ(TextsOnly(chart), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(Rects(chart).size(), 3u) << "the box and two colour boxes";
  EXPECT_EQ(l.RectLegend().bottom - l.RectLegend().top, 3 * kLineHeight + 2);
}

TEST(LegendPaint, DividingLinesSeparateItems) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  AddSeries(chart, "Six", {"r"});
  l.DividingLines().SetVisible(true);
  l.DividingLines().SetColor(clRed);
  l.PaintLegend();
  // Across the vertical legend at each item's Y but the first's.
  std::vector<RecordedOp> lines = chart.Surface().OpsOfKind(OpKind::LineTo);
  ASSERT_EQ(lines.size(), 2u);
  const Rect legend = l.RectLegend();
  EXPECT_EQ(lines[0].args, (std::vector<int32_t>{legend.left, 48, legend.right, 48}));
  EXPECT_EQ(lines[1].args, (std::vector<int32_t>{legend.left, 60, legend.right, 60}));
  EXPECT_EQ(lines[0].pen.color, ColorToRGB(clRed));
  // The colour boxes after a line still use the box pen.
  const std::vector<RecordedOp> rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  EXPECT_EQ(rects.back().pen.color, ColorToRGB(clBlack));

  // A horizontal legend draws vertical lines 4 pixels left of each colour box.
  chart.Surface().ClearOps();
  chart.SetRect({50, 20, 450, 320});
  l.SetAlignment(TLegendAlignment::laTop);
  l.PaintLegend();
  lines = chart.Surface().OpsOfKind(OpKind::LineTo);
  ASSERT_EQ(lines.size(), 2u);
  const Rect top = l.RectLegend();
  const std::vector<DrawnText> texts = Texts(chart);
  const int32_t x1 = texts[1].x - 8 - l.ColorBoxWidth();
  EXPECT_EQ(lines[0].args, (std::vector<int32_t>{x1, top.top, x1, top.bottom}));
}

TEST(LegendPaint, ChartEventsMoveTheRectangleAndTheItems) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  std::vector<int32_t> asked;
  chart.onGetLegendPos = [&](int32_t index, int32_t& x, int32_t& y, int32_t& xColor) {
    asked.push_back(index);
    EXPECT_EQ(xColor, 418);
    x += 100;
    y += 5;
  };
  chart.onGetLegendRect = [](Rect& r) {
    r.left -= 20;
    r.top += 10;
    r.bottom += 10;
  };
  l.PaintLegend();
  EXPECT_EQ(asked, (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(l.RectLegend(), (Rect{394, 45, 445, 71}));
  // Items stand on the legend's new top; text and colour box follow the returned position.
  EXPECT_EQ(Texts(chart), (std::vector<DrawnText>{{"One", 525, 51}, {"Two", 525, 63}}));
  EXPECT_EQ(Rects(chart)[1], (Rect{518, 53, 521, 61}));
  EXPECT_EQ(chart.chartRect.right, 394 - 12) << "the chart gives up the changed rectangle";
}

// ---- hit test --------------------------------------------------------------------------------

TEST(LegendHitTest, VerticalLegendRows) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  EXPECT_EQ(l.ItemAt(420, 40), -1) << "before any paint";
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  l.PaintLegend();  // 414,35-445,61, rows of (61 - 35) div 2 = 13 from 36
  EXPECT_EQ(l.ItemAt(420, 36), 0);
  EXPECT_EQ(l.ItemAt(420, 48), 0);
  EXPECT_EQ(l.ItemAt(420, 50), 1);
  EXPECT_EQ(l.ItemAt(444, 60), 1);
  EXPECT_EQ(l.ItemAt(420, 49), 0) << "where two rows meet the first wins";
  EXPECT_EQ(l.ItemAt(420, 35), -1) << "above the first row";
  EXPECT_EQ(l.ItemAt(413, 40), -1);
  EXPECT_EQ(l.ItemAt(445, 40), -1);
  EXPECT_EQ(l.ItemAt(420, 61), -1);
  // Positions do not count FirstValue.
  l.SetFirstValue(1);
  chart.SetRect({50, 20, 450, 320});
  l.PaintLegend();
  EXPECT_EQ(l.ItemAt(l.RectLegend().left + 1, 40), 0);
}

TEST(LegendHitTest, HorizontalLegendColumnsAndRows) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  l.SetAlignment(TLegendAlignment::laTop);
  PlainTexts(chart);
  AddSeries(chart, "S", Labels("i", 25));
  chart.SetRect({50, 20, 170, 320});
  l.PaintLegend();  // 100,22-200,132; 3 columns of 33, rows of 12 from 23
  const std::vector<DrawnText> texts = Texts(chart);
  // Every item is found where it was drawn.
  for (int32_t p = 0; p < 25; ++p) {
    EXPECT_EQ(l.ItemAt(texts[size_t(p)].x + 2, texts[size_t(p)].y + 5), p) << texts[size_t(p)];
  }
  EXPECT_EQ(l.ItemAt(140, 40), 4);
  EXPECT_EQ(l.ItemAt(134, 30), 1) << "where two columns meet the last wins";
  EXPECT_EQ(l.ItemAt(133, 35), 0) << "where two rows meet the first wins";
  EXPECT_EQ(l.ItemAt(100, 40), -1) << "left of the first column's band";
  EXPECT_EQ(l.ItemAt(150, 22), -1) << "above the first row";
  EXPECT_EQ(l.ItemAt(150, 130), 3 * 8 + 1) << "the last row's places count too";
  EXPECT_EQ(l.ItemAt(99, 40), -1);
  EXPECT_EQ(l.ItemAt(150, 132), -1);
}

// ---- Assign ----------------------------------------------------------------------------------

TEST(LegendTest, AssignCopiesAllButDividingLinesAndShadow) {
  TLegendTestChart source, target;
  TChartLegend& s = source.Legend();
  s.SetVisible(false);
  s.SetLegendStyle(TLegendStyle::lsLastValues);
  s.SetFirstValue(2);
  s.SetAlignment(TLegendAlignment::laBottom);
  s.SetTextStyle(TLegendTextStyle::ltsXValue);
  s.SetColorWidth(40);
  s.SetHorizMargin(6);
  s.SetVertMargin(7);
  s.SetResizeChart(false);
  s.SetInverted(true);
  s.SetTopPos(55);
  s.SetColor(clAqua);
  s.Frame().SetColor(clRed);
  s.Frame().SetWidth(2);
  s.SetMaxNumRows(4);
  s.Brush().SetStyle(TBrushStyle::bsVertical);
  s.Font().SetName("Courier New");
  s.DividingLines().SetVisible(true);
  s.SetShadowColor(clGray);
  s.SetShadowSize(9);

  TChartLegend& t = target.Legend();
  const TChartPen* frame = &t.Frame();
  const int32_t before = target.repaints;
  t.Assign(s);
  EXPECT_GT(target.repaints, before);
  EXPECT_FALSE(t.Visible());
  EXPECT_EQ(t.LegendStyle(), TLegendStyle::lsLastValues);
  EXPECT_EQ(t.ResolvedStyle(), TLegendStyle::lsLastValues);
  EXPECT_EQ(t.FirstValue(), 2);
  EXPECT_EQ(t.Alignment(), TLegendAlignment::laBottom);
  EXPECT_EQ(t.TextStyle(), TLegendTextStyle::ltsXValue);
  EXPECT_EQ(t.ColorWidth(), 40);
  EXPECT_EQ(t.HorizMargin(), 6);
  EXPECT_EQ(t.VertMargin(), 7);
  EXPECT_FALSE(t.ResizeChart());
  EXPECT_TRUE(t.Inverted());
  EXPECT_EQ(t.TopPos(), 55);
  EXPECT_EQ(t.Color(), clAqua);
  EXPECT_EQ(&t.Frame(), frame);
  EXPECT_EQ(t.Frame().Color(), clRed);
  EXPECT_EQ(t.Frame().Width(), 2);
  EXPECT_EQ(t.MaxNumRows(), 4);
  EXPECT_EQ(t.Brush().Style(), TBrushStyle::bsVertical);
  EXPECT_EQ(t.Font().Name(), "Courier New");
  EXPECT_FALSE(t.DividingLines().Visible());
  EXPECT_EQ(t.ShadowColor(), clBlack);
  EXPECT_EQ(t.ShadowSize(), 3);

  // From a font object that is not a legend only the font is taken.
  TChartFontObject fonts(nullptr);
  fonts.Font().SetName("Times New Roman");
  t.Assign(fonts);
  EXPECT_EQ(t.Font().Name(), "Times New Roman");
  EXPECT_EQ(t.ColorWidth(), 40);
}

// ---- absurd values ---------------------------------------------------------------------------

TEST(LegendPaint, AbsurdSizesStayDefined) {
  TLegendTestChart chart;
  TChartLegend& l = chart.Legend();
  AddSeries(chart, "One", {"p"});
  AddSeries(chart, "Two", {"q"});
  for (int32_t shadow : {INT32_MAX, INT32_MIN, -5}) {
    for (TLegendAlignment a : {TLegendAlignment::laLeft, TLegendAlignment::laRight,
                               TLegendAlignment::laTop, TLegendAlignment::laBottom}) {
      l.SetAlignment(a);
      l.SetShadowSize(shadow);
      l.SetHorizMargin(INT32_MIN);
      l.SetVertMargin(INT32_MAX);
      l.SetMaxNumRows(INT32_MAX);
      l.Frame().SetWidth(INT32_MAX);
      chart.SetRect({50, 20, 450, 320});
      l.PaintLegend();
      l.ItemAt(100, 100);
    }
  }
  SUCCEED();
}

// ---- pictures --------------------------------------------------------------------------------

// A part of a picture enlarged pixel by pixel, for looking at the details.
platform::Image Enlarged(const platform::Image& image, Rect part, int32_t factor) {
  part.left = std::max(part.left, 0);
  part.top = std::max(part.top, 0);
  part.right = std::min(part.right, image.width);
  part.bottom = std::min(part.bottom, image.height);
  platform::Image out;
  out.width = std::max(0, part.Width()) * factor;
  out.height = std::max(0, part.Height()) * factor;
  out.pixels.resize(size_t(out.width) * size_t(out.height));
  for (int32_t y = 0; y < out.height; ++y) {
    for (int32_t x = 0; x < out.width; ++x) {
      out.pixels[size_t(y) * size_t(out.width) + size_t(x)] =
          image.At(part.left + x / factor, part.top + y / factor);
    }
  }
  return out;
}

// The four alignments drawn through Cairo, with the chart rectangle that is left outlined.
TEST(LegendPictures, FourAlignments) {
  const struct {
    TLegendAlignment alignment;
    const char* name;
  } cases[] = {{TLegendAlignment::laLeft, "left"},
               {TLegendAlignment::laRight, "right"},
               {TLegendAlignment::laTop, "top"},
               {TLegendAlignment::laBottom, "bottom"}};
  for (const auto& c : cases) {
    TLegendTestChart chart;
    auto window = platform::CreateMemorySurface(500, 350);
    chart.Canvas().SetSurface(window.get());
    TChartLegend& l = chart.Legend();
    l.SetAlignment(c.alignment);
    l.DividingLines().SetVisible(true);
    l.DividingLines().SetColor(clSilver);
    AddSeries(chart, "Temperature", {"a"}).SetSeriesColor(clRed);
    AddSeries(chart, "Pressure", {"b"}).SetSeriesColor(clBlue);
    AddSeries(chart, "Humidity", {"c"}).SetSeriesColor(clGreen);
    AddSeries(chart, "Wind", {"d"}).SetSeriesColor(clYellow);
    AddSeries(chart, "", {"e"}).SetSeriesColor(clWhite);
    l.PaintLegend();
    // What the chart keeps.
    TZidCanvas3D& canvas = chart.Canvas();
    canvas.SetPenColor(clFuchsia);
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.DrawRectR(chart.chartRect);
    platform::Image image = window->Snapshot();
    EXPECT_TRUE(platform::SavePng(
        image, testing::TestOutputPath(std::string("legend_") + c.name + ".png")));
    const Rect around = l.RectLegend();
    EXPECT_TRUE(platform::SavePng(
        Enlarged(image, {around.left - 6, around.top - 6, around.right + 8, around.bottom + 8}, 4),
        testing::TestOutputPath(std::string("legend_") + c.name + "_x4.png")));

    // The white series' box is outlined on the white legend; the text is black.
    const Rect legend = l.RectLegend();
    int32_t black = 0, red = 0;
    for (int32_t y = legend.top; y < legend.bottom; ++y) {
      for (int32_t x = legend.left; x < legend.right; ++x) {
        const uint32_t p = image.At(x, y) & 0xFFFFFF;
        black += p == 0;
        red += p == 0xFF0000;
      }
    }
    EXPECT_GT(black, 100) << c.name;
    EXPECT_GT(red, 4) << c.name;
    // The shadow lies below the legend's bottom right.
    EXPECT_EQ(image.At(legend.right + 2, legend.bottom + 2) & 0xFFFFFF, 0u) << c.name;
    EXPECT_EQ(image.At(legend.left + 1, legend.bottom + 2) & 0xFFFFFF, 0xFFFFFFu) << c.name;
  }
}

}  // namespace
}  // namespace zq
