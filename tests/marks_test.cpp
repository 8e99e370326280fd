// Marks: texts in every style, percentages, legend texts, and the boxes, arrows and legend
// symbols drawn through the chart canvas.
#include "engine/series/marks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/data/format.h"
#include "engine/drawing/canvas3d.h"
#include "engine/series/series.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using testing::TTestChart;
using testing::TTestSeries;

// The recording surface measures Arial 8 (height -11) as 6 pixels a character and 12 high.
constexpr int32_t kCharWidth = 6;
constexpr int32_t kLineHeight = 12;

std::vector<RecordedOp> OpsOf(TTestChart& chart, OpKind kind) {
  return chart.Surface().OpsOfKind(kind);
}

// Moves the mark up by the arrow length, as series kinds with points do.
class TRaisedMarksSeries : public TTestSeries {
 public:
  void DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) override {
    position.ArrowTo.y -= Marks().ArrowLength();
    position.LeftTop.y -= Marks().ArrowLength();
    TTestSeries::DrawMark(index, text, position);
  }
};

TEST(MarksTest, StartWithDefaults) {
  TTestSeries s;
  const TSeriesMarks& m = s.Marks();
  EXPECT_EQ(&m.ParentSeries(), &s);
  EXPECT_EQ(m.Arrow().Color(), clWhite);
  EXPECT_TRUE(m.Arrow().Visible());
  EXPECT_EQ(m.ArrowLength(), 8);
  EXPECT_EQ(m.BackColor(), 0x80FFFFu);
  EXPECT_FALSE(m.Transparent());
  EXPECT_FALSE(m.Clip());
  EXPECT_TRUE(m.Frame().Visible());
  EXPECT_EQ(m.Frame().Color(), clBlack);
  EXPECT_EQ(m.Font().Name(), "Arial");
  EXPECT_EQ(m.Font().Size(), 8);
  EXPECT_EQ(m.Style(), TSeriesMarksStyle::smsLabel);
  EXPECT_FALSE(m.Visible());
  EXPECT_TRUE(m.Positions().empty());
}

TEST(MarksTest, SettersRepaintWhenChangedAndAssignCopies) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  TSeriesMarks& m = s.Marks();
  int32_t before = chart.repaints;
  m.SetArrowLength(12);
  m.SetBackColor(clAqua);
  m.SetTransparent(true);
  m.SetClip(true);
  m.SetStyle(TSeriesMarksStyle::smsValue);
  m.SetVisible(true);
  EXPECT_EQ(chart.repaints, before + 6);
  before = chart.repaints;
  m.SetArrowLength(12);
  m.SetStyle(TSeriesMarksStyle::smsValue);
  EXPECT_EQ(chart.repaints, before);

  TTestSeries& other = chart.Add();
  other.Marks().Assign(m);
  EXPECT_EQ(other.Marks().ArrowLength(), 12);
  EXPECT_EQ(other.Marks().BackColor(), clAqua);
  EXPECT_TRUE(other.Marks().Transparent());
  EXPECT_TRUE(other.Marks().Clip());
  EXPECT_EQ(other.Marks().Style(), TSeriesMarksStyle::smsValue);
  EXPECT_TRUE(other.Marks().Visible());
}

// ---- texts -------------------------------------------------------------------------------

TEST(MarksTest, LabelStyleWithoutLabelShowsTheFormattedValue) {
  TTestSeries s;
  s.AddPointXY(1, 1234.5);
  EXPECT_EQ(s.MarkText(0), "1,234.5");
  s.SetPointLabel(0, "North");
  EXPECT_EQ(s.MarkText(0), "North");
}

class MarkStylesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.AddPointXY(1, 10, "a");
    s.AddPointXY(2, 30);
  }
  std::string Text(TSeriesMarksStyle style, int32_t index) {
    s.Marks().SetStyle(style);
    return s.MarkText(index);
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
};

TEST_F(MarkStylesTest, EveryStyleComposesItsParts) {
  EXPECT_EQ(Text(TSeriesMarksStyle::smsValue, 0), "10");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsPercent, 0), "25 %");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabel, 0), "a");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabel, 1), "30");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabelPercent, 0), "a 25 %");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabelPercent, 1), "30 75 %");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabelValue, 0), "a 10");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLegend, 0), "10 a");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsPercentTotal, 1), "75 % of 40");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabelPercentTotal, 0), "a 25 % of 40");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsXValue, 1), "2");
}

TEST_F(MarkStylesTest, XValueMarksUseTheHorizontalAxisFormat) {
  chart.BottomAxis().SetAxisValuesFormat("0.00");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsXValue, 1), "2.00");
  // Without a chart: the series' value format.
  TTestSeries lone;
  lone.AddPointXY(1234, 1);
  lone.Marks().SetStyle(TSeriesMarksStyle::smsXValue);
  EXPECT_EQ(lone.MarkText(0), "1,234");
}

TEST_F(MarkStylesTest, OnGetMarkTextMayReplaceTheText) {
  s.OnGetMarkText = [](TChartSeries&, int32_t index, std::string& text) {
    if (index == 1) text = "<" + text + ">";
  };
  EXPECT_EQ(Text(TSeriesMarksStyle::smsValue, 1), "<30>");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsValue, 0), "10");
}

TEST_F(MarkStylesTest, FormatsComeFromTheSeries) {
  s.SetValueFormat("0.0");
  s.SetPercentFormat("0.0 'pct'");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsLabelValue, 1), "30.0 30.0");
  EXPECT_EQ(Text(TSeriesMarksStyle::smsPercentTotal, 1), "75.0 pct of 40.0");
}

TEST(MarksTest, PercentagesOfAnAllZeroSeriesAreAHundred) {
  TTestSeries s;
  s.AddPointValue(0);
  s.AddPointValue(0);
  EXPECT_EQ(s.PercentText(1, false), "100 %");
  EXPECT_EQ(s.PercentText(1, true), "100 % of 0");
  EXPECT_EQ(s.LegendText(0, TLegendTextStyle::ltsRightPercent), " 100 %");
}

TEST(MarksTest, PercentagesUseTheAbsoluteTotal) {
  TTestSeries s;
  s.AddPointValue(-10);
  s.AddPointValue(30);
  EXPECT_EQ(s.PercentText(0, false), "25 %");
  // The legend keeps the sign.
  EXPECT_EQ(s.LegendText(0, TLegendTextStyle::ltsLeftPercent), "-25 % ");
}

TEST(MarksTest, LegendTextStyles) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(3, 12.5, "Oslo");
  s.AddPointXY(4, 37.5, "Rome");
  EXPECT_EQ(s.LegendText(0, TLegendTextStyle::ltsPlain), "Oslo");
  EXPECT_EQ(s.LegendText(0, TLegendTextStyle::ltsLeftValue), "12.5 Oslo");
  EXPECT_EQ(s.LegendText(0, TLegendTextStyle::ltsRightValue), "Oslo 12.5");
  EXPECT_EQ(s.LegendText(1, TLegendTextStyle::ltsLeftPercent), "75 % Rome");
  EXPECT_EQ(s.LegendText(1, TLegendTextStyle::ltsRightPercent), "Rome 75 %");
  EXPECT_EQ(s.LegendText(1, TLegendTextStyle::ltsXValue), "4");
  s.XValues().SetDateTime(true);
  chart.BottomAxis().SetDateTimeFormat("yyyy-mm-dd");
  chart.BottomAxis().RecomputeDateTime();
  s.SetPointLabel(1, "x");
  s.XValues().SetValueAt(1, EncodeDate(2024, 3, 5));
  EXPECT_EQ(s.LegendText(1, TLegendTextStyle::ltsXValue), "2024-03-05");
}

TEST(MarksTest, ListWidthsMeasureMarksAndLabels) {
  TTestChart chart;
  TTestSeries& a = chart.Add();
  TTestSeries& b = chart.Add();
  a.AddPointXY(1, 1, "abc");
  a.AddPointXY(2, 22222);
  b.AddPointXY(1, 1, "x\rwidest");
  TZidCanvas3D& canvas = chart.Canvas();
  EXPECT_EQ(a.MaxMarkTextWidth(canvas), 6 * kCharWidth);  // "22,222"
  EXPECT_EQ(chart.SeriesList().MaxMarkWidth(canvas), 6 * kCharWidth);
  EXPECT_EQ(chart.SeriesList().MaxLabelsWidth(canvas), 6 * kCharWidth);
  b.SetActive(false);
  a.SetActive(false);
  EXPECT_EQ(chart.SeriesList().MaxMarkWidth(canvas), 0);
  EXPECT_EQ(chart.SeriesList().MaxLabelsWidth(canvas), 6 * kCharWidth);
}

TEST(MarksTest, TextLinesSplitAtCarriageReturns) {
  EXPECT_EQ(textlines::Split("a\rbc"), (std::vector<std::string_view>{"a", "bc"}));
  EXPECT_EQ(textlines::Split("a\r"), (std::vector<std::string_view>{"a"}));
  EXPECT_TRUE(textlines::Split("").empty());
  TTestChart chart;
  int32_t lines = 0;
  EXPECT_EQ(textlines::WidestWidth(chart.Canvas(), "ab\rcdef\r", &lines), 4 * kCharWidth);
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(textlines::WidestWidth(chart.Canvas(), "", &lines), 0);
  EXPECT_EQ(lines, 1);
}

// ---- positions ---------------------------------------------------------------------------

TEST(MarksTest, StoredPositionsFollowComputedOnesUnlessCustom) {
  TTestSeries s;
  for (int32_t i = 0; i < 3; ++i) s.AddPointValue(i);
  TSeriesMarks& m = s.Marks();
  TSeriesMarkPosition computed;
  computed.LeftTop = {10, 20};
  computed.Width = 30;
  computed.Height = 12;
  m.UseMarkPosition(2, computed);
  ASSERT_EQ(m.Positions().size(), 3u);
  EXPECT_EQ(m.PositionAt(0), nullptr);
  ASSERT_NE(m.PositionAt(2), nullptr);
  EXPECT_EQ(m.PositionAt(2)->Bounds(), (platform::Rect{10, 20, 40, 32}));
  EXPECT_FALSE(m.PositionAt(2)->Custom);

  TSeriesMarkPosition custom;
  custom.LeftTop = {100, 200};
  custom.Width = 5;
  custom.Height = 6;
  m.SetCustomPosition(1, custom);
  TSeriesMarkPosition again = computed;
  m.UseMarkPosition(1, again);
  EXPECT_EQ(again.LeftTop, (platform::Point{100, 200}));
  EXPECT_TRUE(again.Custom);

  // Deleting a point drops its entry; later entries move down.
  s.DeletePoint(0);
  EXPECT_EQ(m.PositionAt(0)->LeftTop, (platform::Point{100, 200}));
  EXPECT_EQ(m.PositionAt(1)->LeftTop, (platform::Point{10, 20}));
  s.ClearPoints();
  EXPECT_TRUE(m.Positions().empty());
}

// ---- drawing -----------------------------------------------------------------------------

class DrawMarksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s.AddPointXY(0, 0, "ab\rcde");
    s.AddPointXY(10, 100);
    s.Marks().SetVisible(true);
    chart.PrepareAxes();
    s.ComputeVisibleRange();
    chart.Surface().ClearOps();
  }
  TTestChart chart;
  TTestSeries& s = chart.Add();
};

TEST_F(DrawMarksTest, TwoLineMarkIsTwoFontHeightsHigh) {
  s.DrawAllMarks();
  const auto rects = OpsOf(chart, OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  // Point 0 at (50, 320): width 3 chars + "W" + 2 frame, height 2 lines + 2 frame.
  const int32_t w = 3 * kCharWidth + kCharWidth + 2;
  const int32_t h = 2 * kLineHeight + 2;
  EXPECT_EQ(rects[0].args,
            (std::vector<int32_t>{50 - w / 2, 320 - h + 1, 50 - w / 2 + w, 320 - h + 1 + h}));
  EXPECT_EQ(rects[0].brush.color, 0x80FFFFu);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Solid);
  EXPECT_EQ(rects[0].pen.color, 0u);

  const auto texts = OpsOf(chart, OpKind::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  const int32_t top = 320 - h + 1 + 1;  // below the frame
  EXPECT_EQ(texts[0].text, "ab");
  EXPECT_EQ(texts[0].args, (std::vector<int32_t>{50 - w / 2 + w / 2, top}));
  EXPECT_EQ(texts[1].text, "cde");
  EXPECT_EQ(texts[1].args, (std::vector<int32_t>{50 - w / 2 + w / 2, top + kLineHeight}));
  EXPECT_EQ(texts[0].textAlign, platform::text_align::kCenter | platform::text_align::kTop);
  EXPECT_EQ(texts[2].text, "100");
  EXPECT_EQ(chart.Surface().GetTextAlign(), platform::text_align::kLeft);

  // The computed position is kept for the point.
  ASSERT_NE(s.Marks().PositionAt(0), nullptr);
  EXPECT_EQ(s.Marks().PositionAt(0)->Height, h);
  EXPECT_EQ(s.Marks().PositionAt(0)->ArrowFrom, (platform::Point{50, 320}));
}

TEST_F(DrawMarksTest, ArrowTakesAContrastingColour) {
  TRaisedMarksSeries& raised = chart.Add<TRaisedMarksSeries>();
  raised.AddPointXY(5, 50);
  raised.SetSeriesColor(clBlue);
  raised.Marks().SetVisible(true);
  chart.PrepareAxes();
  raised.ComputeVisibleRange();
  auto arrowPen = [&] {
    chart.Surface().ClearOps();
    raised.DrawAllMarks();
    const auto lines = OpsOf(chart, OpKind::LineTo);
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? platform::Pen{} : lines[0].pen;
  };
  // White arrow on a white chart: black.
  EXPECT_EQ(arrowPen().color, platform::MakeRgb(0, 0, 0));
  const auto lines = OpsOf(chart, OpKind::LineTo);
  EXPECT_EQ(lines[0].args, (std::vector<int32_t>{250, 170, 250, 162}));
  // An arrow in the point's colour: black too; on a black chart: white.
  chart.color = clGray;
  raised.Marks().Arrow().SetColor(clBlue);
  EXPECT_EQ(arrowPen().color, platform::MakeRgb(0, 0, 0));
  chart.color = clBlack;
  raised.Marks().Arrow().SetColor(clBlack);
  EXPECT_EQ(arrowPen().color, platform::MakeRgb(255, 255, 255));
  raised.Marks().Arrow().SetColor(clLime);
  EXPECT_EQ(arrowPen().color, platform::MakeRgb(0, 255, 0));
  raised.Marks().Arrow().SetVisible(false);
  chart.Surface().ClearOps();
  raised.DrawAllMarks();
  EXPECT_TRUE(OpsOf(chart, OpKind::LineTo).empty());
}

TEST_F(DrawMarksTest, TransparentMarksWithoutFrameDrawOnlyText) {
  s.Marks().SetTransparent(true);
  s.Marks().Frame().SetVisible(false);
  s.DrawAllMarks();
  EXPECT_TRUE(OpsOf(chart, OpKind::Rectangle).empty());
  const auto texts = OpsOf(chart, OpKind::TextOut);
  ASSERT_EQ(texts.size(), 3u);
  // Without a frame the box is 2 lines high and the text starts at its top.
  EXPECT_EQ(texts[0].args[1], 320 - 2 * kLineHeight + 1);
}

TEST_F(DrawMarksTest, TransparentMarksWithFrameDrawAnEmptyBox) {
  s.Marks().SetTransparent(true);
  s.DrawAllMarks();
  const auto rects = OpsOf(chart, OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Clear);
}

TEST_F(DrawMarksTest, NullPointsAndEmptyTextsHaveNoMark) {
  s.AddNullPointXY(5, 5, "gap");
  s.OnGetMarkText = [](TChartSeries&, int32_t index, std::string& text) {
    if (index == 0) text.clear();
  };
  s.ComputeVisibleRange();
  s.DrawAllMarks();
  const auto texts = OpsOf(chart, OpKind::TextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "100");
}

TEST_F(DrawMarksTest, NoVisiblePointsNoMarks) {
  chart.BottomAxis().SetWorkingRange(20, 30);
  s.ComputeVisibleRange();
  s.DrawAllMarks();
  EXPECT_TRUE(chart.Surface().Ops().empty());
}

TEST_F(DrawMarksTest, ZoomedThreeDimensionalMarksScaleTheirText) {
  chart.view3D = true;
  chart.view3DOptions.SetZoom(200);
  s.DrawAllMarks();
  const auto texts = OpsOf(chart, OpKind::TextOut);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].font.height, -21);  // 16 points
  chart.view3DOptions.SetZoomText(false);
  chart.Surface().ClearOps();
  s.DrawAllMarks();
  EXPECT_EQ(OpsOf(chart, OpKind::TextOut)[0].font.height, -11);
}

TEST_F(DrawMarksTest, ThreeDimensionalBoxFollowsItsProjectedArrow) {
  chart.view3D = true;
  TView3DOptions options;
  chart.Canvas().BeginFrame(chart.Surface(), &options, {0, 0, 500, 350}, true);
  chart.Canvas().SetProjectionCentre(20, {0, 0, 500, 350}, chart.chartRect);
  s.SetDepthRange(0, 20);
  chart.Surface().ClearOps();
  s.DrawAllMarks();
  const auto rects = OpsOf(chart, OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  // Depth 10 moves the box 10 right and 10 up (orthogonal view).
  const int32_t w = 4 * kCharWidth + 2, h = 2 * kLineHeight + 2;
  EXPECT_EQ(rects[0].args[0], 50 - w / 2 + 10);
  EXPECT_EQ(rects[0].args[1], 320 - h + 1 - 10);
}

TEST_F(DrawMarksTest, MarksFarOutsideTheWindowStaySafe) {
  s.AddPointXY(1e300, 1e300, "far");
  chart.PrepareAxes();
  chart.BottomAxis().SetWorkingRange(0, 1e-300);
  chart.LeftAxis().SetWorkingRange(0, 1e-300);
  chart.view3D = true;
  chart.view3DOptions.SetZoom(INT32_MAX);
  s.Marks().Frame().SetWidth(INT32_MAX);
  s.SetCalcVisiblePoints(false);
  s.ComputeVisibleRange();
  s.DrawAllMarks();
  EXPECT_FALSE(OpsOf(chart, OpKind::TextOut).empty());
}

// ---- legend symbols ----------------------------------------------------------------------

TEST(MarksTest, LegendItemsDrawTheirColourBox) {
  TTestChart chart;
  TTestSeries& s = chart.Add();
  s.AddPointXY(1, 1, "", clBlue);
  s.AddNullPoint();
  const platform::Rect box{10, 10, 20, 18};

  s.DrawLegendItem(0, box);
  auto rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].args, (std::vector<int32_t>{10, 10, 20, 18}));
  EXPECT_EQ(rects[0].brush.color, platform::MakeRgb(0, 0, 255));

  chart.Surface().ClearOps();
  s.DrawLegendItem(1, box);  // a null point has no box
  s.SetColorEachPoint(true);
  s.DrawLegendItem(-1, box);  // the whole series has none either then
  EXPECT_TRUE(chart.Surface().OpsOfKind(OpKind::Rectangle).empty());

  // A box in the legend's colour gets an outline.
  s.SetColorEachPoint(false);
  s.SetSeriesColor(clYellow);
  chart.legendColor = clYellow;
  s.DrawLegendItem(-1, box);
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[1].brush.style, platform::BrushStyle::Clear);
  EXPECT_EQ(rects[1].pen.color, 0u);
  chart.Surface().ClearOps();
  s.SetSeriesColor(clBlack);
  chart.legendColor = clDefault;
  chart.color = clBlack;
  s.DrawLegendItem(-1, box);
  rects = chart.Surface().OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[1].pen.color, platform::MakeRgb(255, 255, 255));
}

TEST(MarksTest, HatchedBrushOfTheBackgroundColourStaysVisible) {
  TTestChart chart;
  SetBrushColours(chart.Canvas(), clWhite, TBrushStyle::bsCross, clWhite);
  EXPECT_EQ(chart.Canvas().Brush().color, 0u);
  EXPECT_EQ(chart.Canvas().CurrentBackMode(), platform::BackMode::Opaque);
  SetBrushColours(chart.Canvas(), clBlack, TBrushStyle::bsCross, clBlack);
  EXPECT_EQ(chart.Canvas().Brush().color, platform::MakeRgb(255, 255, 255));
  SetBrushColours(chart.Canvas(), clRed, TBrushStyle::bsSolid, clRed);
  EXPECT_EQ(chart.Canvas().Brush().color, platform::MakeRgb(255, 0, 0));
  EXPECT_EQ(chart.Canvas().CurrentBackMode(), platform::BackMode::Transparent);
}

}  // namespace
}  // namespace zq
