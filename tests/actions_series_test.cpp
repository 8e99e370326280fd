// Series actions (3-5, 8-16): results through the plug-in's exports, properties through the
// actions layer linked into the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "actions/arguments.h"
#include "support/action_hosts.h"

namespace {

using zq::TChart;
using zq::TLineSeries;
using zq::testing::ExportedPlugin;
using zq::testing::InProcessActions;

enum Action : int32_t {
  kCreateSeriesLine = 3,
  kDeleteSeriesLine = 4,
  kDeleteDotSeries = 5,
  kSeriesDot3DStyle = 8,
  kSeriesDotColor = 9,
  kSeriesNumberColor = 10,
  kSeriesAllColor = 11,
  kSeriesArrayColor = 12,
  kSeriesLineWidth = 13,
  kSeriesLineBrush = 14,
  kSeriesLineBorder = 15,
  kSeriesLineStairs = 16,
};

constexpr zq::TColor kRed = 0x0000FF;
constexpr zq::TColor kGreen = 0x00FF00;
constexpr zq::TColor kBlue = 0xFF0000;

std::vector<double> XValuesOf(const TLineSeries& s) {
  std::vector<double> v;
  for (int32_t i = 0; i < s.PointCount(); ++i) v.push_back(s.XValue(i));
  return v;
}
std::vector<double> YValuesOf(const TLineSeries& s) {
  std::vector<double> v;
  for (int32_t i = 0; i < s.PointCount(); ++i) v.push_back(s.YValue(i));
  return v;
}
std::vector<std::string> LabelsOf(const TLineSeries& s) {
  std::vector<std::string> v;
  for (int32_t i = 0; i < s.PointCount(); ++i) v.push_back(s.PointLabel(i));
  return v;
}

class SeriesActions : public ::testing::Test {
 protected:
  void SetUp() override { act.CreateChart("Chart1"); }

  // zqCreateSeriesLine on Chart1.
  bool Create(const std::string& name, const std::string& xs, const std::string& ys,
              const std::string& labels = "", const std::string& color = "255,0,0") {
    return act.Run(kCreateSeriesLine, {"Chart1", name, xs, ys, labels, color});
  }
  TChart& Chart() { return act.Chart("Chart1"); }
  TLineSeries& Named(int32_t keyPosition) { return act.SeriesAt("Chart1", keyPosition + 1); }
  const std::vector<std::string>& Keys() { return act.Form("Chart1").SeriesKeys(); }

  InProcessActions act;
};

// ---- zqCreateSeriesLine ----------------------------------------------------------------------

TEST_F(SeriesActions, CreateMakesOneSeriesAfterTheWindowsOwn) {
  EXPECT_FALSE(Create("Sales", "1|2|3", "5|6|7"));
  ASSERT_EQ(Chart().SeriesCount(), 2);
  EXPECT_EQ(Keys(), std::vector<std::string>{"Chart1|Sales"});
  TLineSeries& s = Named(0);
  EXPECT_EQ(XValuesOf(s), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(YValuesOf(s), (std::vector<double>{5, 6, 7}));
  EXPECT_EQ(s.Title(), "Sales");
  EXPECT_EQ(s.SeriesColor(), kRed);
  EXPECT_EQ(s.PointColor(2), kRed);
  EXPECT_TRUE(s.Active());
  EXPECT_EQ(s.ParentChart(), &Chart());
  // No labels given: none stored.
  EXPECT_EQ(LabelsOf(s), (std::vector<std::string>{"", "", ""}));
}

TEST_F(SeriesActions, CreateAgainAppendsAndRecoloursTheSeries) {
  Create("Sales", "1|2|3", "5|6|7");
  Create("Sales", "4|5|6", "8|9|10", "", "0,0,255");
  ASSERT_EQ(Chart().SeriesCount(), 2);
  TLineSeries& s = Named(0);
  EXPECT_EQ(s.PointCount(), 6);
  EXPECT_EQ(XValuesOf(s), (std::vector<double>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(s.SeriesColor(), kBlue);
  EXPECT_EQ(s.PointColor(5), kBlue);
}

TEST_F(SeriesActions, CreateKeepsXOrderedAsTheSeriesWantsIt) {
  Create("S", "3|1|2", "30|10|20");
  EXPECT_EQ(XValuesOf(Named(0)), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(YValuesOf(Named(0)), (std::vector<double>{10, 20, 30}));
}

TEST_F(SeriesActions, CreateWithMismatchedListsAddsNothing) {
  Create("A", "1|2", "5");
  Create("B", "1|2", "5|6", "a|b|c");
  Create("C", "", "");
  Create("D", "1|2|3", "5|6|7", "a|b");
  EXPECT_EQ(Chart().SeriesCount(), 1);
  // The first call still gave the chart its (empty) list of names.
  EXPECT_TRUE(act.Form("Chart1").HasSeriesList());
  EXPECT_TRUE(Keys().empty());
}

TEST_F(SeriesActions, CreateLabelsOnePerPointOrOneForAll) {
  Create("Months", "1|2", "5|6", "Jan|Feb");
  Create("Sum", "1|2", "5|6", "Total");
  Create("Spaced", "1|2", "5|6", " Grand total ");
  Create("Quoted", "1|2", "5|6", "'a|b'|c");
  Create("Trailing", "1|2", "5|6", "Total|");
  EXPECT_EQ(LabelsOf(Named(0)), (std::vector<std::string>{"Jan", "Feb"}));
  EXPECT_EQ(LabelsOf(Named(1)), (std::vector<std::string>{"Total", "Total"}));
  EXPECT_EQ(LabelsOf(Named(2)), (std::vector<std::string>{" Grand total ", " Grand total "}));
  EXPECT_EQ(LabelsOf(Named(3)), (std::vector<std::string>{"'a|b'", "c"}));
  // One label item: the whole text, delimiter and all.
  EXPECT_EQ(LabelsOf(Named(4)), (std::vector<std::string>{"Total|", "Total|"}));
}

TEST_F(SeriesActions, CreateSeriesNamesIgnoreBlanksAndLetterCase) {
  Create("My Line", "1", "5");
  Create("MyLine", "2", "6");
  Create("myline", "3", "7");
  ASSERT_EQ(Chart().SeriesCount(), 2);
  EXPECT_EQ(Named(0).PointCount(), 3);
  // The title is the name as passed the last time.
  EXPECT_EQ(Named(0).Title(), "myline");
  EXPECT_EQ(Keys(), std::vector<std::string>{"Chart1|MyLine"});
}

TEST_F(SeriesActions, CreateSeriesNamesIgnoreCyrillicLetterCase) {
  Create("Продажи", "1", "5");
  Create("ПРОДАЖИ", "2", "6");
  Create("Продажи 2", "2", "6");
  ASSERT_EQ(Chart().SeriesCount(), 3);
  EXPECT_EQ(Named(0).PointCount(), 2);
  EXPECT_EQ(Named(0).Title(), "ПРОДАЖИ");
  EXPECT_EQ(Named(1).Title(), "Продажи 2");
}

TEST_F(SeriesActions, CreateReadsNumbersWithTheRegionalSeparator) {
  const bool comma = zq::actions::LoadedDecimalSeparator() == ',';
  const std::string good = comma ? "2,5" : "2.5";
  const std::string bad = comma ? "2.5" : "2,5";
  Create("Good", "1|2", "1|" + good);
  Create("Bad", "1|2", "1|" + bad);
  EXPECT_EQ(YValuesOf(Named(0)), (std::vector<double>{1, 2.5}));
  // The failure at the second point keeps the first one, the series and its title.
  EXPECT_EQ(YValuesOf(Named(1)), (std::vector<double>{1}));
  EXPECT_EQ(Named(1).Title(), "Bad");
  // Blanks anywhere in the lists are dropped before the numbers are read.
  Create("Blanks", " 1 | 1 0 ", "3|4");
  EXPECT_EQ(XValuesOf(Named(2)), (std::vector<double>{1, 10}));
}

TEST_F(SeriesActions, CreateStopsAtATrailingDelimiter) {
  Create("S", "1|2|", "5|6|");
  ASSERT_EQ(Chart().SeriesCount(), 2);
  EXPECT_EQ(XValuesOf(Named(0)), (std::vector<double>{1, 2}));
}

TEST_F(SeriesActions, CreateReadsASinglePairFromTheWholeTexts) {
  Create("One", "7", "3");
  EXPECT_EQ(XValuesOf(Named(0)), (std::vector<double>{7}));
  // A quoted single item is one item for the list, but the whole text is no number: the new
  // series stays empty.
  Create("Quoted", "\"8\"", "4");
  ASSERT_EQ(Chart().SeriesCount(), 3);
  EXPECT_EQ(Named(1).PointCount(), 0);
  EXPECT_EQ(Named(1).Title(), "");
}

TEST_F(SeriesActions, CreateWithABadColourAddsNothing) {
  Create("S", "1|2", "5|6", "", "255,0");
  Create("T", "1|2", "5|6", "", "");
  EXPECT_EQ(Chart().SeriesCount(), 1);
  EXPECT_TRUE(Keys().empty());
  // Components keep their low 8 bits.
  Create("U", "1", "5", "", "300,0,0");
  EXPECT_EQ(Named(0).SeriesColor(), 44u);
}

TEST_F(SeriesActions, CreateRefusesTheHundredAndFirstName) {
  for (int i = 0; i < 100; ++i) Create("S" + std::to_string(i), "1", "1");
  ASSERT_EQ(Chart().SeriesCount(), 101);
  Create("S100", "1", "1");
  EXPECT_EQ(Chart().SeriesCount(), 101);
  EXPECT_EQ(Keys().size(), 100u);
  // The names already there still take points, each in its own series.
  Create("S99", "2", "2");
  EXPECT_EQ(Named(99).PointCount(), 2);
  EXPECT_EQ(Named(99).Title(), "S99");
  EXPECT_EQ(Named(0).PointCount(), 1);
}

TEST_F(SeriesActions, CreateOnAMissingChartDoesNothing) {
  EXPECT_FALSE(act.Run(kCreateSeriesLine, {"Nowhere", "S", "1", "1", "", "0,0,0"}));
  EXPECT_EQ(Chart().SeriesCount(), 1);
  // Rectangle names match without ASCII letter case.
  act.Run(kCreateSeriesLine, {"CHART1", "S", "1", "1", "", "0,0,0"});
  EXPECT_EQ(Chart().SeriesCount(), 2);
}

// ---- zqDeleteSeriesLine ----------------------------------------------------------------------

TEST_F(SeriesActions, DeleteFirstOfTwoKeepsTheSecondAddressable) {
  Create("A", "1|2", "1|2");
  Create("B", "1|2|3", "4|5|6");
  EXPECT_FALSE(act.Run(kDeleteSeriesLine, {"Chart1", "a"}));
  ASSERT_EQ(Chart().SeriesCount(), 2);
  EXPECT_EQ(Keys(), std::vector<std::string>{"Chart1|B"});
  EXPECT_EQ(Named(0).Title(), "B");
  act.Run(kSeriesLineStairs, {"Chart1", "B", "True", "True"});
  EXPECT_TRUE(Named(0).Stairs());
  act.Run(kDeleteDotSeries, {"Chart1", "B", "0|1"});
  EXPECT_EQ(XValuesOf(Named(0)), (std::vector<double>{2, 3}));
  // The deleted name starts afresh at the end.
  Create("A", "9", "9");
  ASSERT_EQ(Chart().SeriesCount(), 3);
  EXPECT_EQ(Named(1).PointCount(), 1);
}

TEST_F(SeriesActions, DeleteUnknownNamesDoesNothing) {
  act.Run(kDeleteSeriesLine, {"Chart1", "A"});  // no list yet
  Create("A", "1", "1");
  act.Run(kDeleteSeriesLine, {"Chart1", "B"});
  act.Run(kDeleteSeriesLine, {"Nowhere", "A"});
  EXPECT_EQ(Chart().SeriesCount(), 2);
  act.Run(kDeleteSeriesLine, {"Chart1", " A "});
  EXPECT_EQ(Chart().SeriesCount(), 1);
  EXPECT_EQ(&Chart().Series(0), &act.Form("Chart1").Series1());
}

// ---- zqDeleteDotSeries -----------------------------------------------------------------------

class DeleteDots : public SeriesActions {
 protected:
  void SetUp() override {
    SeriesActions::SetUp();
    Create("S", "0|1|2|3|4|5|6|7|8|9", "0|1|2|3|4|5|6|7|8|9");
  }
  bool Delete(const std::string& selection) {
    return act.Run(kDeleteDotSeries, {"Chart1", "S", selection});
  }
  std::vector<double> Left() { return XValuesOf(Named(0)); }
};

TEST_F(DeleteDots, CountPointsFromTheGivenOne) {
  EXPECT_FALSE(Delete("2|3"));
  EXPECT_EQ(Left(), (std::vector<double>{0, 1, 5, 6, 7, 8, 9}));
  Delete(" 0 | 1 ");
  EXPECT_EQ(Left(), (std::vector<double>{1, 5, 6, 7, 8, 9}));
}

TEST_F(DeleteDots, NothingForNoCountOrABadSelection) {
  for (const char* selection : {"2|0", "2|-3", "2", "", "x|2", "2|x", "2,5"}) Delete(selection);
  EXPECT_EQ(Left().size(), 10u);
}

TEST_F(DeleteDots, StopsAtTheEndOfTheSeries) {
  Delete("8|5");
  EXPECT_EQ(Left(), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7}));
  Delete("10|1");
  Delete("-1|1");
  EXPECT_EQ(Left().size(), 8u);
}

// ---- pointer styles, sizes, point and series colours ----------------------------------------

TEST_F(SeriesActions, Dot3DStyleTakesExactWordsOnly) {
  Create("S", "1", "1");
  const zq::TSeriesPointer& p = Named(0).Pointer();
  const bool visible = p.Visible();
  act.Run(kSeriesDot3DStyle, {"Chart1", "S", "TRUE", "circle", " True", "1"});
  EXPECT_EQ(p.Visible(), visible);
  EXPECT_EQ(p.Style(), zq::TSeriesPointerStyle::psRectangle);
  EXPECT_TRUE(p.Draw3D());
  EXPECT_TRUE(p.Dark3D());
  EXPECT_FALSE(act.Run(kSeriesDot3DStyle, {"Chart1", "S", "False", "Diamond", "false", "True"}));
  EXPECT_FALSE(p.Visible());
  EXPECT_EQ(p.Style(), zq::TSeriesPointerStyle::psDiamond);
  EXPECT_FALSE(p.Draw3D());
  EXPECT_TRUE(p.Dark3D());
  act.Run(kSeriesDot3DStyle, {"Chart1", "S", "true", "SmallDot", "True", "false"});
  EXPECT_TRUE(p.Visible());
  EXPECT_EQ(p.Style(), zq::TSeriesPointerStyle::psSmallDot);
  EXPECT_TRUE(p.Draw3D());
  EXPECT_FALSE(p.Dark3D());
}

TEST_F(SeriesActions, EveryPointerAndBrushStyleName) {
  using PS = zq::TSeriesPointerStyle;
  using BS = zq::TBrushStyle;
  Create("S", "1", "1");
  TLineSeries& s = Named(0);
  const std::vector<std::pair<std::string, PS>> pointers = {{"Circle", PS::psCircle},
                                                            {"Triangle", PS::psTriangle},
                                                            {"DownTriangle", PS::psDownTriangle},
                                                            {"Cross", PS::psCross},
                                                            {"DiagCross", PS::psDiagCross},
                                                            {"Star", PS::psStar},
                                                            {"Diamond", PS::psDiamond},
                                                            {"SmallDot", PS::psSmallDot},
                                                            {"Rectangle", PS::psRectangle}};
  for (const auto& [word, style] : pointers) {
    act.Run(kSeriesDot3DStyle, {"Chart1", "S", "", word, "", ""});
    EXPECT_EQ(s.Pointer().Style(), style) << word;
  }
  const std::vector<std::pair<std::string, BS>> brushes = {
      {"Clear", BS::bsClear},         {"Horizontal", BS::bsHorizontal},
      {"Vertical", BS::bsVertical},   {"FDiagonal", BS::bsFDiagonal},
      {"BDiagonal", BS::bsBDiagonal}, {"Cross", BS::bsCross},
      {"DiagCross", BS::bsDiagCross}, {"Solid", BS::bsSolid}};
  for (const auto& [word, style] : brushes) {
    act.Run(kSeriesLineBrush, {"Chart1", "S", word});
    EXPECT_EQ(s.LineBrush(), style) << word;
  }
}

TEST_F(SeriesActions, DotColorSkipsEmptyPartsAndStopsAtAFailure) {
  Create("S", "1", "1");
  const zq::TSeriesPointer& p = Named(0).Pointer();
  act.Run(kSeriesDotColor, {"Chart1", "S", "0,255,0", "6", "7"});
  EXPECT_EQ(p.Brush().Color(), kGreen);
  EXPECT_EQ(p.VertSize(), 6);
  EXPECT_EQ(p.HorizSize(), 7);
  act.Run(kSeriesDotColor, {"Chart1", "S", "", "", "9"});
  EXPECT_EQ(p.Brush().Color(), kGreen);
  EXPECT_EQ(p.VertSize(), 6);
  EXPECT_EQ(p.HorizSize(), 9);
  // The pointer refuses a size below 1: the horizontal size after it is not reached.
  act.Run(kSeriesDotColor, {"Chart1", "S", "0,0,255", "0", "3"});
  EXPECT_EQ(p.Brush().Color(), kBlue);
  EXPECT_EQ(p.VertSize(), 6);
  EXPECT_EQ(p.HorizSize(), 9);
  act.Run(kSeriesDotColor, {"Chart1", "S", "255,0", "2", "2"});
  EXPECT_EQ(p.Brush().Color(), kBlue);
  EXPECT_EQ(p.VertSize(), 6);
}

TEST_F(SeriesActions, NumberColorColoursOnePoint) {
  Create("S", "1|2|3", "1|2|3");
  TLineSeries& s = Named(0);
  act.Run(kSeriesNumberColor, {"Chart1", "S", "1", "0,255,0"});
  EXPECT_EQ(s.PointColor(1), kGreen);
  EXPECT_EQ(s.PointColor(0), kRed);
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"3", "0,0,255"}, {"-1", "0,0,255"}, {"", "0,0,255"}, {"1", ""}, {"1", "0,0"}})
    act.Run(kSeriesNumberColor, {"Chart1", "S", bad[0], bad[1]});
  EXPECT_EQ(s.PointColor(1), kGreen);
  EXPECT_EQ(s.PointColor(2), kRed);
}

TEST_F(SeriesActions, AllColorRecoloursPointsThatCameWithTheirColour) {
  Create("S", "1|2|3", "1|2|3");
  Create("S", "4", "4", "", "0,255,0");
  TLineSeries& s = Named(0);
  EXPECT_EQ(s.PointColor(0), kRed);
  EXPECT_EQ(s.PointColor(3), kGreen);
  EXPECT_FALSE(act.Run(kSeriesAllColor, {"Chart1", "S", "0,0,255"}));
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(s.PointColor(i), kBlue) << i;
}

TEST_F(SeriesActions, ArrayColorGivesAFreshSeriesThePalette) {
  Create("S", "1|2|3|4", "1|2|3|4");
  TLineSeries& s = Named(0);
  EXPECT_FALSE(act.Run(kSeriesArrayColor, {"Chart1", "S"}));
  for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(s.PointColor(i), zq::DefaultPaletteColor(i)) << i;
}

TEST_F(SeriesActions, AllColorAndArrayColor) {
  Create("S", "1|2|3", "1|2|3");
  TLineSeries& s = Named(0);
  EXPECT_FALSE(act.Run(kSeriesArrayColor, {"Chart1", "S"}));
  EXPECT_TRUE(s.ColorEachPoint());
  EXPECT_EQ(s.SeriesColor(), zq::clWhite);
  act.Run(kSeriesAllColor, {"Chart1", "S", "255,0"});
  EXPECT_TRUE(s.ColorEachPoint());
  EXPECT_EQ(s.SeriesColor(), zq::clWhite);
  act.Run(kSeriesAllColor, {"Chart1", "S", "0,0,255"});
  EXPECT_FALSE(s.ColorEachPoint());
  EXPECT_EQ(s.SeriesColor(), kBlue);
  // Switching each-point colours off gave the points the series colour back ...
  EXPECT_EQ(s.PointColor(0), kBlue);
  // ... so that switching them on again shows the palette.
  act.Run(kSeriesArrayColor, {"Chart1", "S"});
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(s.PointColor(i), zq::DefaultPaletteColor(i)) << i;
}

TEST_F(SeriesActions, LineWidthSetsTheChartDepthWithinItsLimits) {
  EXPECT_FALSE(act.Run(kSeriesLineWidth, {"Chart1", "55"}));
  EXPECT_EQ(Chart().Chart3DPercent(), 55);
  for (const char* bad : {"0", "150", "-5", "", "x"}) act.Run(kSeriesLineWidth, {"Chart1", bad});
  EXPECT_EQ(Chart().Chart3DPercent(), 55);
  act.Run(kSeriesLineWidth, {"Chart1", "$64"});
  EXPECT_EQ(Chart().Chart3DPercent(), 100);
}

TEST_F(SeriesActions, LineBrushTakesBrushStyleNames) {
  Create("S", "1", "1");
  act.Run(kSeriesLineBrush, {"Chart1", "S", "DiagCross"});
  EXPECT_EQ(Named(0).LineBrush(), zq::TBrushStyle::bsDiagCross);
  act.Run(kSeriesLineBrush, {"Chart1", "S", "Dash"});
  act.Run(kSeriesLineBrush, {"Chart1", "S", "clear"});
  EXPECT_EQ(Named(0).LineBrush(), zq::TBrushStyle::bsDiagCross);
  act.Run(kSeriesLineBrush, {"Chart1", "S", "Clear"});
  EXPECT_EQ(Named(0).LineBrush(), zq::TBrushStyle::bsClear);
}

TEST_F(SeriesActions, LineBorderInOrderUntilTheWidth) {
  Create("S", "1", "1");
  const zq::TChartPen& pen = Named(0).LinePen();
  act.Run(kSeriesLineBorder, {"Chart1", "S", "False", "0,255,0", "3", "Dash"});
  EXPECT_FALSE(pen.Visible());
  EXPECT_EQ(pen.Color(), kGreen);
  EXPECT_EQ(pen.Width(), 3);
  EXPECT_EQ(pen.Style(), zq::TPenStyle::psDash);
  // Empty colour is black; empty width ends the action before the style.
  act.Run(kSeriesLineBorder, {"Chart1", "S", "True", "", "", "Dot"});
  EXPECT_TRUE(pen.Visible());
  EXPECT_EQ(pen.Color(), zq::clBlack);
  EXPECT_EQ(pen.Width(), 3);
  EXPECT_EQ(pen.Style(), zq::TPenStyle::psDash);
  // A width of 0 is read but not applied; the style still is.
  act.Run(kSeriesLineBorder, {"Chart1", "S", "", "0,0,255", "0", "DashDotDot"});
  EXPECT_TRUE(pen.Visible());
  EXPECT_EQ(pen.Color(), kBlue);
  EXPECT_EQ(pen.Width(), 3);
  EXPECT_EQ(pen.Style(), zq::TPenStyle::psDashDotDot);
  // A bad colour changes nothing at all.
  act.Run(kSeriesLineBorder, {"Chart1", "S", "False", "255,0", "5", "Solid"});
  EXPECT_TRUE(pen.Visible());
  EXPECT_EQ(pen.Width(), 3);
}

TEST_F(SeriesActions, StairsAndInvertedStairs) {
  Create("S", "1", "1");
  TLineSeries& s = Named(0);
  act.Run(kSeriesLineStairs, {"Chart1", "S", "True", "True"});
  EXPECT_TRUE(s.Stairs());
  EXPECT_TRUE(s.InvertedStairs());
  // Switching stairs off leaves the inverted flag alone.
  act.Run(kSeriesLineStairs, {"Chart1", "S", "False", "False"});
  EXPECT_FALSE(s.Stairs());
  EXPECT_TRUE(s.InvertedStairs());
  act.Run(kSeriesLineStairs, {"Chart1", "S", "true", "false"});
  EXPECT_TRUE(s.Stairs());
  EXPECT_FALSE(s.InvertedStairs());
  act.Run(kSeriesLineStairs, {"Chart1", "S", "False", "True"});
  EXPECT_FALSE(s.InvertedStairs());
  act.Run(kSeriesLineStairs, {"Chart1", "S", "1", "True"});
  EXPECT_FALSE(s.Stairs());
  EXPECT_FALSE(s.InvertedStairs());
}

TEST_F(SeriesActions, ActionsOnUnknownSeriesChangeNothing) {
  Create("S", "1|2|3", "1|2|3");
  TLineSeries& s = Named(0);
  for (const char* name : {"T", "", "S|"}) {
    act.Run(kSeriesDot3DStyle, {"Chart1", name, "False", "Circle", "False", "False"});
    act.Run(kSeriesAllColor, {"Chart1", name, "0,0,255"});
    act.Run(kSeriesLineStairs, {"Chart1", name, "True", "True"});
    act.Run(kDeleteDotSeries, {"Chart1", name, "0|3"});
  }
  EXPECT_EQ(s.Pointer().Style(), zq::TSeriesPointerStyle::psRectangle);
  EXPECT_EQ(s.SeriesColor(), kRed);
  EXPECT_FALSE(s.Stairs());
  EXPECT_EQ(s.PointCount(), 3);
}

// ---- through the exports ---------------------------------------------------------------------

int CountPixels(const zq::platform::Image& image, uint32_t argb) {
  int n = 0;
  for (uint32_t p : image.pixels) n += p == argb ? 1 : 0;
  return n;
}

TEST(SeriesActionsExported, EveryResultIsFalse) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  const std::vector<std::pair<int32_t, std::vector<std::string>>> calls = {
      {kCreateSeriesLine, {"Chart1", "S", "1|2|3", "5|6|7", "", "255,0,0"}},
      {kSeriesDot3DStyle, {"Chart1", "S", "True", "Circle", "True", "True"}},
      {kSeriesDotColor, {"Chart1", "S", "0,255,0", "5", "5"}},
      {kSeriesNumberColor, {"Chart1", "S", "1", "0,0,255"}},
      {kSeriesAllColor, {"Chart1", "S", "0,0,255"}},
      {kSeriesArrayColor, {"Chart1", "S"}},
      {kSeriesLineWidth, {"Chart1", "30"}},
      {kSeriesLineBrush, {"Chart1", "S", "Cross"}},
      {kSeriesLineBorder, {"Chart1", "S", "True", "0,0,0", "2", "Dash"}},
      {kSeriesLineStairs, {"Chart1", "S", "True", "False"}},
      {kDeleteDotSeries, {"Chart1", "S", "0|1"}},
      {kDeleteSeriesLine, {"Chart1", "S"}},
      {kCreateSeriesLine, {"Chart1", "S", "1|2", "5", "", "255,0,0"}},
      {kCreateSeriesLine, {"Chart1", "S", "1|2", "5|x", "", "255,0,0"}},
      {kSeriesLineWidth, {"Chart1", "0"}},
      {kCreateSeriesLine, {"Nowhere", "S", "1", "1", "", "0,0,0"}},
  };
  for (const auto& [number, args] : calls) EXPECT_FALSE(plugin.Exec(number, args)) << number;
}

TEST(SeriesActionsExported, ASeriesShowsAndGoesWithItsName) {
  ExportedPlugin plugin;
  plugin.CreateChart("Диаграмма");
  auto empty = plugin.Picture("Диаграмма", "actions_series_empty.png");
  ASSERT_TRUE(empty.has_value());
  const uint32_t red = 0xFFFF0000;
  EXPECT_EQ(CountPixels(*empty, red), 0);

  plugin.Exec(kCreateSeriesLine, {"Диаграмма", "Продажи", "1|2|3", "5|7|6", "", "255,0,0"});
  auto drawn = plugin.Picture("Диаграмма", "actions_series_line.png");
  ASSERT_TRUE(drawn.has_value());
  EXPECT_GT(CountPixels(*drawn, red), 100);

  // Other letter case of the Cyrillic series name: the same series. Another case of the
  // rectangle's Cyrillic name: no chart.
  plugin.Exec(kDeleteSeriesLine, {"ДИАГРАММА", "Продажи"});
  EXPECT_GT(CountPixels(plugin.Picture("Диаграмма", "actions_series_line.png").value(), red), 100);
  plugin.Exec(kDeleteSeriesLine, {"Диаграмма", "ПРОДАЖИ"});
  auto gone = plugin.Picture("Диаграмма", "actions_series_gone.png");
  ASSERT_TRUE(gone.has_value());
  EXPECT_TRUE(zq::testing::ImagesMatch(*gone, *empty));
}

TEST(SeriesActionsExported, RecolouringShows) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  plugin.Exec(kCreateSeriesLine, {"Chart1", "S", "1|2|3|4", "5|7|6|8", "", "255,0,0"});
  const uint32_t red = 0xFFFF0000, green = 0xFF008000, yellow = 0xFFFFFF00, blue = 0xFF0000FF;
  auto first = plugin.Picture("Chart1", "actions_series_red.png").value();
  EXPECT_GT(CountPixels(first, red), 100);
  EXPECT_EQ(CountPixels(first, green) + CountPixels(first, blue), 0);

  // Each segment takes the palette colour of the point where it ends.
  plugin.Exec(kSeriesArrayColor, {"Chart1", "S"});
  auto palette = plugin.Picture("Chart1", "actions_series_palette.png").value();
  EXPECT_GT(CountPixels(palette, yellow), 100);
  EXPECT_EQ(CountPixels(palette, red), 0);

  plugin.Exec(kSeriesAllColor, {"Chart1", "S", "0,0,255"});
  auto all = plugin.Picture("Chart1", "actions_series_blue.png").value();
  EXPECT_GT(CountPixels(all, blue), 300);
  EXPECT_EQ(CountPixels(all, red) + CountPixels(all, green) + CountPixels(all, yellow), 0);
}

// The same script under Russian and English regional settings, played by zqchart: "3,0" is a
// number under the first only, "3.0" under the second only.
TEST(SeriesActionsExported, DecimalSeparatorFollowsTheLocale) {
  const std::string script = zq::testing::TestOutputPath("actions_series_locale.zq");
  std::ofstream(script) << "@rectangle A 300 200\n@rectangle B 300 200\n@rectangle C 300 200\n"
                           "zqCreateLineChart \"A\"\nzqCreateLineChart \"B\"\n"
                           "zqCreateLineChart \"C\"\n"
                           "zqCreateSeriesLine \"A\" \"S\" \"1|2\" \"1|3,0\" \"\" \"255,0,0\"\n"
                           "zqCreateSeriesLine \"B\" \"S\" \"1|2\" \"1|3.0\" \"\" \"255,0,0\"\n"
                           "zqCreateSeriesLine \"C\" \"S\" \"1|2\" \"1|3\" \"\" \"255,0,0\"\n";
  for (const std::string locale : {"ru-RU", "en-US"}) {
    const std::string dir = zq::testing::TestOutputPath("actions_series_" + locale);
    std::filesystem::create_directories(dir);
    const std::string command =
        std::string(ZQ_CHART_TOOL) + " run '" + script + "' --out '" + dir + "' --locale " + locale;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    auto a = zq::platform::LoadPng(dir + "/A.png");
    auto b = zq::platform::LoadPng(dir + "/B.png");
    auto c = zq::platform::LoadPng(dir + "/C.png");
    ASSERT_TRUE(a && b && c) << locale;
    const bool russian = locale == "ru-RU";
    EXPECT_EQ(zq::testing::CompareImages(*a, *c).passed, russian) << locale;
    EXPECT_EQ(zq::testing::CompareImages(*b, *c).passed, !russian) << locale;
  }
}

TEST(SeriesActionsExported, MismatchedListsLeaveThePictureAlone) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  auto before = plugin.Picture("Chart1", "actions_series_before.png");
  plugin.Exec(kCreateSeriesLine, {"Chart1", "S", "1|2", "5", "", "255,0,0"});
  plugin.Exec(kCreateSeriesLine, {"Chart1", "S", "1|2", "5|6", "a|b|c", "255,0,0"});
  plugin.Exec(kCreateSeriesLine, {"Chart1", "S", "1|2", "5|6", "", "255,0"});
  auto after = plugin.Picture("Chart1", "actions_series_after.png");
  ASSERT_TRUE(before && after);
  EXPECT_TRUE(zq::testing::ImagesMatch(*after, *before));
}

}  // namespace
