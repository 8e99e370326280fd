// Axis, marks and legend actions (21-25, 29-33): results through the plug-in's exports,
// properties through the actions layer linked into the tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/action_hosts.h"

namespace {

using zq::TChart;
using zq::TLineSeries;
using zq::testing::ExportedPlugin;
using zq::testing::InProcessActions;

enum Action : int32_t {
  kCreateSeriesLine = 3,
  kAxisStyle = 21,
  kSeriesMarkStyle = 22,
  kSeriesMarksFont = 23,
  kArrowStyle = 24,
  kArrowWidth = 25,
  kLineLegend = 29,
  kLineLegendStyle = 30,
  kLineLegendFont = 31,
  kShadowLegend = 32,
  kResizeChart = 33,
};

constexpr zq::TColor kRed = 0x0000FF;
constexpr zq::TColor kGreen = 0x00FF00;
constexpr zq::TColor kBlue = 0xFF0000;

class AxisLegendActions : public ::testing::Test {
 protected:
  void SetUp() override {
    act.CreateChart("Chart1");
    act.Run(kCreateSeriesLine, {"Chart1", "Продажи", "1|2|3", "5|6|7", "", "255,0,0"});
  }
  TChart& Chart() { return act.Chart("Chart1"); }
  TLineSeries& Sales() { return act.SeriesAt("Chart1", 1); }
  zq::TChartLegend& Legend() { return Chart().Legend(); }

  InProcessActions act;
};

// ---- axes ------------------------------------------------------------------------------------

TEST_F(AxisLegendActions, AxisStyleOnAMissingSeriesChangesNothing) {
  act.CreateChart("Bare");
  for (const auto& [chart, series] : std::vector<std::pair<std::string, std::string>>{
           {"Chart1", "Sales"}, {"Chart1", ""}, {"Bare", "Продажи"}}) {
    EXPECT_FALSE(act.Run(kAxisStyle, {chart, series, "False", "TopAxis", "RightAxis", "True"}));
    TChart& c = act.Chart(chart);
    EXPECT_TRUE(c.AxisVisible());
    EXPECT_FALSE(c.BottomAxis().Inverted());
    EXPECT_FALSE(c.LeftAxis().Inverted());
    EXPECT_FALSE(c.TopAxis().Inverted());
  }
  EXPECT_EQ(Sales().VertAxis(), zq::TVertAxis::aLeftAxis);
  EXPECT_EQ(Sales().HorizAxis(), zq::THorizAxis::aBottomAxis);
}

TEST_F(AxisLegendActions, AxisStyleBindsTheSeriesAndBack) {
  // Series names compare without letter case, Cyrillic included.
  EXPECT_FALSE(act.Run(kAxisStyle, {"Chart1", "ПРОДАЖИ", "", "TopAxis", "RightAxis", ""}));
  EXPECT_EQ(Sales().HorizAxis(), zq::THorizAxis::aTopAxis);
  EXPECT_EQ(Sales().VertAxis(), zq::TVertAxis::aRightAxis);
  EXPECT_EQ(Sales().GetVertAxis(), &Chart().RightAxis());
  EXPECT_EQ(Sales().GetHorizAxis(), &Chart().TopAxis());
  act.Run(kAxisStyle, {"Chart1", "продажи", "", "BottomAxis", "LeftAxis", ""});
  EXPECT_EQ(Sales().VertAxis(), zq::TVertAxis::aLeftAxis);
  EXPECT_EQ(Sales().GetVertAxis(), &Chart().LeftAxis());
  EXPECT_EQ(Sales().GetHorizAxis(), &Chart().BottomAxis());
  act.Run(kAxisStyle, {"Chart1", "Продажи", "", "BothHorizAxis", "BothVertAxis", ""});
  EXPECT_EQ(Sales().HorizAxis(), zq::THorizAxis::aBothHorizAxis);
  EXPECT_EQ(Sales().VertAxis(), zq::TVertAxis::aBothVertAxis);
  act.Run(kAxisStyle, {"Chart1", "Продажи", "", "topaxis", "Right", ""});
  EXPECT_EQ(Sales().HorizAxis(), zq::THorizAxis::aBothHorizAxis);
  EXPECT_EQ(Sales().VertAxis(), zq::TVertAxis::aBothVertAxis);
}

TEST_F(AxisLegendActions, AxisStyleInvertsAllButTheRightAxis) {
  Chart().RightAxis().SetInverted(false);
  act.Run(kAxisStyle, {"Chart1", "Продажи", "False", "", "", "True"});
  EXPECT_FALSE(Chart().AxisVisible());
  EXPECT_TRUE(Chart().BottomAxis().Inverted());
  EXPECT_TRUE(Chart().LeftAxis().Inverted());
  EXPECT_TRUE(Chart().TopAxis().Inverted());
  EXPECT_FALSE(Chart().RightAxis().Inverted());
  for (const char* word : {"TRUE", " True", "1", ""})
    act.Run(kAxisStyle, {"Chart1", "Продажи", word, "", "", word});
  EXPECT_FALSE(Chart().AxisVisible());
  EXPECT_TRUE(Chart().LeftAxis().Inverted());
  Chart().RightAxis().SetInverted(true);
  act.Run(kAxisStyle, {"Chart1", "Продажи", "true", "", "", "false"});
  EXPECT_TRUE(Chart().AxisVisible());
  EXPECT_FALSE(Chart().BottomAxis().Inverted());
  EXPECT_FALSE(Chart().LeftAxis().Inverted());
  EXPECT_FALSE(Chart().TopAxis().Inverted());
  EXPECT_TRUE(Chart().RightAxis().Inverted());
}

// ---- marks and arrows ------------------------------------------------------------------------

TEST_F(AxisLegendActions, MarkStyleEmptyColourIsBlack) {
  const zq::TSeriesMarks& m = Sales().Marks();
  EXPECT_FALSE(act.Run(kSeriesMarkStyle, {"Chart1", "Продажи", "True", "", "True", "Value"}));
  EXPECT_TRUE(m.Visible());
  EXPECT_EQ(m.BackColor(), zq::clBlack);
  EXPECT_TRUE(m.Transparent());
  EXPECT_EQ(m.Style(), zq::TSeriesMarksStyle::smsValue);
  act.Run(kSeriesMarkStyle, {"Chart1", "Продажи", "false", "300,0,0", "false", "XValue"});
  EXPECT_FALSE(m.Visible());
  EXPECT_EQ(m.BackColor(), 44u);
  EXPECT_FALSE(m.Transparent());
  EXPECT_EQ(m.Style(), zq::TSeriesMarksStyle::smsXValue);
  act.Run(kSeriesMarkStyle, {"Chart1", "Продажи", "", "0,255,0", "", "value"});
  EXPECT_FALSE(m.Visible());
  EXPECT_EQ(m.BackColor(), kGreen);
  EXPECT_EQ(m.Style(), zq::TSeriesMarksStyle::smsXValue);
}

TEST_F(AxisLegendActions, MarkStyleBadColourChangesNothing) {
  const zq::TSeriesMarks& m = Sales().Marks();
  const bool visible = m.Visible();
  const zq::TColor back = m.BackColor();
  for (const char* color : {"a,b,c", "255,0", "1.5,0,0"}) {
    act.Run(kSeriesMarkStyle,
            {"Chart1", "Продажи", visible ? "False" : "True", color, "True", "Percent"});
    EXPECT_EQ(m.Visible(), visible);
    EXPECT_EQ(m.BackColor(), back);
    EXPECT_FALSE(m.Transparent());
    EXPECT_NE(m.Style(), zq::TSeriesMarksStyle::smsPercent);
  }
}

TEST_F(AxisLegendActions, MarksFontIsTheSeriesOwn) {
  act.Run(kSeriesMarksFont, {"Chart1", "Продажи", "Courier New|clGreen|9|fsUnderline|204"});
  const zq::TChartFont& f = Sales().Marks().Font();
  EXPECT_EQ(f.Name(), "CourierNew");
  EXPECT_EQ(f.Color(), 0x008000u);
  EXPECT_EQ(f.Size(), 9);
  EXPECT_EQ(f.Style(), zq::TFontStyles{zq::TFontStyle::fsUnderline});
  EXPECT_EQ(f.Charset(), 204);
  act.Run(kSeriesMarksFont, {"Chart1", "Продажи", "Arial|clRed|11|fsStrikeOut"});
  EXPECT_EQ(f.Name(), "CourierNew");
  act.Run(kSeriesMarksFont, {"Chart1", "Продажи", "Arial|clRed|11|fsStrikeOut|0"});
  EXPECT_EQ(f.Style(), (zq::TFontStyles{zq::TFontStyle::fsUnderline, zq::TFontStyle::fsStrikeOut}));
  EXPECT_NE(Legend().Font().Name(), "CourierNew");
  EXPECT_NE(Chart().Series(0).Marks().Font().Name(), "CourierNew");
}

TEST_F(AxisLegendActions, ArrowStyleStopsAtAnEmptyLength) {
  zq::TSeriesMarks& m = Sales().Marks();
  const int32_t length = m.ArrowLength();
  const zq::TPenStyle style = m.Arrow().Style();
  ASSERT_NE(style, zq::TPenStyle::psDash);
  m.Arrow().SetColor(kBlue);
  EXPECT_FALSE(act.Run(kArrowStyle, {"Chart1", "Продажи", "False", "", "", "Dash"}));
  EXPECT_FALSE(m.Arrow().Visible());
  EXPECT_EQ(m.Arrow().Color(), zq::clBlack);
  EXPECT_EQ(m.ArrowLength(), length);
  EXPECT_EQ(m.Arrow().Style(), style);
  act.Run(kArrowStyle, {"Chart1", "Продажи", "True", "0,0,255", "20", "Dash"});
  EXPECT_TRUE(m.Arrow().Visible());
  EXPECT_EQ(m.Arrow().Color(), kBlue);
  EXPECT_EQ(m.ArrowLength(), 20);
  EXPECT_EQ(m.Arrow().Style(), zq::TPenStyle::psDash);
  act.Run(kArrowStyle, {"Chart1", "Продажи", "", "0,255,0", "0", "DashDot"});
  EXPECT_TRUE(m.Arrow().Visible());
  EXPECT_EQ(m.ArrowLength(), 20);
  EXPECT_EQ(m.Arrow().Style(), zq::TPenStyle::psDashDot);
  act.Run(kArrowStyle, {"Chart1", "Продажи", "False", "0,0", "5", "Dot"});
  EXPECT_TRUE(m.Arrow().Visible());
  EXPECT_EQ(m.Arrow().Color(), kGreen);
}

TEST_F(AxisLegendActions, ArrowWidthOnlyAboveZero) {
  const zq::TChartArrowPen& arrow = Sales().Marks().Arrow();
  EXPECT_FALSE(act.Run(kArrowWidth, {"Chart1", "Продажи", "3"}));
  EXPECT_EQ(arrow.Width(), 3);
  for (const char* width : {"0", "-2", "", "x"}) {
    act.Run(kArrowWidth, {"Chart1", "Продажи", width});
    EXPECT_EQ(arrow.Width(), 3) << width;
  }
  act.Run(kArrowWidth, {"Chart1", "Sales", "5"});
  EXPECT_EQ(arrow.Width(), 3);
}

TEST_F(AxisLegendActions, EveryAxisMarkAndArrowWord) {
  using H = zq::THorizAxis;
  using V = zq::TVertAxis;
  using S = zq::TSeriesMarksStyle;
  using P = zq::TPenStyle;
  TLineSeries& s = Sales();
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, H>>{{"TopAxis", H::aTopAxis},
                                              {"BothHorizAxis", H::aBothHorizAxis},
                                              {"CustomHorizAxis", H::aCustomHorizAxis},
                                              {"BottomAxis", H::aBottomAxis}}) {
    act.Run(kAxisStyle, {"Chart1", "Продажи", "", word, "", ""});
    EXPECT_EQ(s.HorizAxis(), value) << word;
  }
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, V>>{{"RightAxis", V::aRightAxis},
                                              {"BothVertAxis", V::aBothVertAxis},
                                              {"CustomVertAxis", V::aCustomVertAxis},
                                              {"LeftAxis", V::aLeftAxis}}) {
    act.Run(kAxisStyle, {"Chart1", "Продажи", "", "", word, ""});
    EXPECT_EQ(s.VertAxis(), value) << word;
  }
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, S>>{{"Value", S::smsValue},
                                              {"Percent", S::smsPercent},
                                              {"Label", S::smsLabel},
                                              {"LabelPercent", S::smsLabelPercent},
                                              {"LabelValue", S::smsLabelValue},
                                              {"Legend", S::smsLegend},
                                              {"PercentTotal", S::smsPercentTotal},
                                              {"LabelPercentTotal", S::smsLabelPercentTotal},
                                              {"XValue", S::smsXValue}}) {
    act.Run(kSeriesMarkStyle, {"Chart1", "Продажи", "", "", "", word});
    EXPECT_EQ(s.Marks().Style(), value) << word;
  }
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, P>>{{"Dash", P::psDash},
                                              {"Dot", P::psDot},
                                              {"DashDot", P::psDashDot},
                                              {"DashDotDot", P::psDashDotDot},
                                              {"Clear", P::psClear},
                                              {"InsideFrame", P::psInsideFrame},
                                              {"Solid", P::psSolid}}) {
    act.Run(kArrowStyle, {"Chart1", "Продажи", "", "", "1", word});
    EXPECT_EQ(s.Marks().Arrow().Style(), value) << word;
  }
}

// ---- legend ----------------------------------------------------------------------------------

TEST_F(AxisLegendActions, LegendVisibilityAndPosition) {
  EXPECT_FALSE(act.Run(kLineLegend, {"Chart1", "False", "Bottom"}));
  EXPECT_FALSE(Legend().Visible());
  EXPECT_EQ(Legend().Alignment(), zq::TLegendAlignment::laBottom);
  act.Run(kLineLegend, {"Chart1", "true", "left"});
  EXPECT_TRUE(Legend().Visible());
  EXPECT_EQ(Legend().Alignment(), zq::TLegendAlignment::laBottom);
  act.Run(kLineLegend, {"Chart1", "1", "Top"});
  EXPECT_TRUE(Legend().Visible());
  EXPECT_EQ(Legend().Alignment(), zq::TLegendAlignment::laTop);
  // The legend is the chart's: no series needed.
  act.CreateChart("Bare");
  act.Run(kLineLegend, {"Bare", "False", "Left"});
  EXPECT_FALSE(act.Chart("Bare").Legend().Visible());
  EXPECT_EQ(act.Chart("Bare").Legend().Alignment(), zq::TLegendAlignment::laLeft);
}

TEST_F(AxisLegendActions, EveryLegendPositionAndTextStyleWord) {
  using A = zq::TLegendAlignment;
  using T = zq::TLegendTextStyle;
  for (const auto& [word, value] : std::vector<std::pair<std::string, A>>{{"Left", A::laLeft},
                                                                          {"Top", A::laTop},
                                                                          {"Bottom", A::laBottom},
                                                                          {"Right", A::laRight}}) {
    act.Run(kLineLegend, {"Chart1", "", word});
    EXPECT_EQ(Legend().Alignment(), value) << word;
  }
  for (const auto& [word, value] :
       std::vector<std::pair<std::string, T>>{{"Plain", T::ltsPlain},
                                              {"RightValue", T::ltsRightValue},
                                              {"LeftPercent", T::ltsLeftPercent},
                                              {"RightPercent", T::ltsRightPercent},
                                              {"XValue", T::ltsXValue},
                                              {"LeftValue", T::ltsLeftValue}}) {
    act.Run(kLineLegendStyle, {"Chart1", word, "10"});
    EXPECT_EQ(Legend().TextStyle(), value) << word;
  }
}

TEST_F(AxisLegendActions, LegendStyleWithAWidthOutOfRangeChangesTheTextStyleOnly) {
  const int32_t width = Legend().ColorWidth();
  EXPECT_FALSE(act.Run(kLineLegendStyle, {"Chart1", "Plain", "150"}));
  EXPECT_EQ(Legend().TextStyle(), zq::TLegendTextStyle::ltsPlain);
  EXPECT_EQ(Legend().ColorWidth(), width);
  act.Run(kLineLegendStyle, {"Chart1", "RightPercent", "30"});
  EXPECT_EQ(Legend().TextStyle(), zq::TLegendTextStyle::ltsRightPercent);
  EXPECT_EQ(Legend().ColorWidth(), 30);
  act.Run(kLineLegendStyle, {"Chart1", "plain", "0"});
  EXPECT_EQ(Legend().TextStyle(), zq::TLegendTextStyle::ltsRightPercent);
  EXPECT_EQ(Legend().ColorWidth(), 0);
  for (const char* bad : {"-1", "", "101"}) act.Run(kLineLegendStyle, {"Chart1", "XValue", bad});
  EXPECT_EQ(Legend().TextStyle(), zq::TLegendTextStyle::ltsXValue);
  EXPECT_EQ(Legend().ColorWidth(), 0);
}

TEST_F(AxisLegendActions, LegendFont) {
  const zq::TChartFont& f = Legend().Font();
  EXPECT_FALSE(
      act.Run(kLineLegendFont, {"Chart1", "Times New Roman|clRed|12|fsBold fsItalic|204"}));
  EXPECT_EQ(f.Name(), "TimesNewRoman");
  EXPECT_EQ(f.Color(), kRed);
  EXPECT_EQ(f.Size(), 12);
  EXPECT_EQ(f.Style(), (zq::TFontStyles{zq::TFontStyle::fsBold, zq::TFontStyle::fsItalic}));
  EXPECT_EQ(f.Charset(), 204);
  act.Run(kLineLegendFont, {"Chart1", "Arial|clBlue|big|fsUnderline|1"});
  EXPECT_EQ(f.Name(), "Arial");
  EXPECT_EQ(f.Color(), 0xFF0000u);
  EXPECT_EQ(f.Size(), 12);
  EXPECT_EQ(f.Charset(), 204);
}

TEST_F(AxisLegendActions, ShadowNeedsItsColour) {
  const zq::TColor color = Legend().ShadowColor();
  const int32_t size = Legend().ShadowSize();
  ASSERT_NE(size, 7);
  EXPECT_FALSE(act.Run(kShadowLegend, {"Chart1", "", "7"}));
  EXPECT_EQ(Legend().ShadowColor(), color);
  EXPECT_EQ(Legend().ShadowSize(), size);
  act.Run(kShadowLegend, {"Chart1", "255,0,0", "7"});
  EXPECT_EQ(Legend().ShadowColor(), kRed);
  EXPECT_EQ(Legend().ShadowSize(), 7);
  act.Run(kShadowLegend, {"Chart1", "0,255,0", "x"});
  EXPECT_EQ(Legend().ShadowColor(), kGreen);
  EXPECT_EQ(Legend().ShadowSize(), 7);
  // Any size is stored.
  act.Run(kShadowLegend, {"Chart1", "0,255,0", "-4"});
  EXPECT_EQ(Legend().ShadowSize(), -4);
}

TEST_F(AxisLegendActions, ResizeChartFlag) {
  ASSERT_TRUE(Legend().ResizeChart());
  EXPECT_FALSE(act.Run(kResizeChart, {"Chart1", "False"}));
  EXPECT_FALSE(Legend().ResizeChart());
  for (const char* word : {"TRUE", " True", "1", ""}) act.Run(kResizeChart, {"Chart1", word});
  EXPECT_FALSE(Legend().ResizeChart());
  act.Run(kResizeChart, {"Chart1", "true"});
  EXPECT_TRUE(Legend().ResizeChart());
}

// ---- through the exports ---------------------------------------------------------------------

const std::vector<std::pair<int32_t, std::vector<std::string>>>& ExportedCalls() {
  static const std::vector<std::pair<int32_t, std::vector<std::string>>> calls = {
      {kAxisStyle, {"Chart1", "S", "True", "TopAxis", "RightAxis", "True"}},
      {kSeriesMarkStyle, {"Chart1", "S", "True", "", "False", "Value"}},
      {kSeriesMarksFont, {"Chart1", "S", "Arial|clRed|12|fsBold|204"}},
      {kArrowStyle, {"Chart1", "S", "True", "", "10", "Dash"}},
      {kArrowWidth, {"Chart1", "S", "2"}},
      {kLineLegend, {"Chart1", "True", "Left"}},
      {kLineLegendStyle, {"Chart1", "Plain", "20"}},
      {kLineLegendFont, {"Chart1", "Arial|clRed|12|fsBold|204"}},
      {kShadowLegend, {"Chart1", "0,0,0", "5"}},
      {kResizeChart, {"Chart1", "True"}},
      {kArrowStyle, {"Chart1", "S", "True", "", "", "Dash"}},
      {kLineLegendStyle, {"Chart1", "Plain", "150"}},
      {kShadowLegend, {"Chart1", "", "5"}},
  };
  return calls;
}

TEST(AxisLegendActionsExported, EveryResultIsFalse) {
  ExportedPlugin plugin;
  for (const auto& [number, args] : ExportedCalls()) EXPECT_FALSE(plugin.Exec(number, args));
  plugin.CreateChart("Chart1");
  plugin.Exec(kCreateSeriesLine, {"Chart1", "S", "1|2|3", "5|6|7", "", "255,0,0"});
  for (const auto& [number, args] : ExportedCalls()) EXPECT_FALSE(plugin.Exec(number, args));
}

TEST(AxisLegendActionsExported, HiddenLegendAndAxesShow) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  plugin.Exec(kCreateSeriesLine, {"Chart1", "Продажи", "1|2|3", "5|7|6", "", "255,0,0"});
  auto shown = plugin.Picture("Chart1", "actions_axis_legend_shown.png");
  // A missing series keeps the axes.
  plugin.Exec(kAxisStyle, {"Chart1", "Sales", "False", "", "", ""});
  auto same = plugin.Picture("Chart1", "actions_axis_legend_same.png");
  ASSERT_TRUE(shown && same);
  EXPECT_TRUE(zq::testing::ImagesMatch(*same, *shown));
  plugin.Exec(kLineLegend, {"Chart1", "False", ""});
  plugin.Exec(kAxisStyle, {"Chart1", "ПРОДАЖИ", "False", "", "", ""});
  auto hidden = plugin.Picture("Chart1", "actions_axis_legend_hidden.png");
  ASSERT_TRUE(hidden.has_value());
  EXPECT_FALSE(zq::testing::CompareImages(*hidden, *shown).passed);
  plugin.Exec(kLineLegend, {"Chart1", "True", ""});
  plugin.Exec(kAxisStyle, {"Chart1", "продажи", "True", "", "", ""});
  auto back = plugin.Picture("Chart1", "actions_axis_legend_back.png");
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(zq::testing::ImagesMatch(*back, *shown));
}

}  // namespace
