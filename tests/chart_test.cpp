#include "engine/chart/chart.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/reference_charts.h"
#include "engine/series/line_series.h"
#include "platform/cairo/image_output.h"
#include "support/chart_fixture.h"
#include "support/chart_window_fixture.h"
#include "support/image_compare.h"

namespace zq {
namespace {

using platform::OpKind;
using platform::RecordedOp;
using testing::ChartWindowFixture;
using testing::TTestSeries;

// The recording surface's text model: "Arial" at -11 is 12 pixels high, 6 per character.
constexpr int32_t kLineHeight = 12;
constexpr int32_t kCharWidth = 6;

// A chart with nothing around the plotting area: no margins, no bevel, no titles.
struct BareChart : ChartWindowFixture {
  explicit BareChart(int32_t width = 400, int32_t height = 300)
      : ChartWindowFixture(width, height) {
    for (int i = 0; i < 4; ++i) chart.SetMargin(i, 0);
    chart.SetBevelOuter(TPanelBevel::bvNone);
    chart.Title().SetVisible(false);
    chart.Foot().SetVisible(false);
    chart.Legend().SetVisible(false);
  }
};

std::vector<int32_t> Corners(const RecordedOp& op) {
  return op.args;
}

// ---- construction ----------------------------------------------------------------------------

TEST(Chart, FurnitureDefaults) {
  TChart c;
  EXPECT_FALSE(c.BackImageInside());
  EXPECT_EQ(c.BackWall().Brush().Style(), TBrushStyle::bsClear);
  EXPECT_EQ(c.BackWall().Color(), clDefault);
  EXPECT_EQ(c.BackColor(), clDefault);
  EXPECT_EQ(c.LeftWall().Color(), TColor(0x80FFFF));
  EXPECT_EQ(c.LeftWall().DefaultColor(), TColor(0x80FFFF));
  EXPECT_FALSE(c.LeftWall().IsColorStored());
  EXPECT_EQ(c.BottomWall().Color(), clWhite);
  EXPECT_EQ(c.BottomWall().Brush().Style(), TBrushStyle::bsSolid);
  for (const TChartWall* w : {&c.BackWall(), &c.LeftWall(), &c.BottomWall()}) {
    EXPECT_TRUE(w->Dark3D());
    EXPECT_EQ(w->Size(), 0);
    EXPECT_TRUE(w->Pen().Visible());
    EXPECT_EQ(w->Pen().Color(), clBlack);
    EXPECT_EQ(w->Brush().Color(), clDefault);
    EXPECT_EQ(w->ParentChart(), &c);
  }
  for (const TChartTitle* t : {&c.Title(), &c.Foot()}) {
    EXPECT_TRUE(t->Visible());
    EXPECT_TRUE(t->AdjustFrame());
    EXPECT_EQ(t->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(t->Color(), clDefault);
    EXPECT_FALSE(t->Frame().Visible());
    EXPECT_TRUE(t->Text().empty());
    EXPECT_EQ(t->Font().Color(), clBlue);
    EXPECT_TRUE(t->IsFontDefault());
  }
  EXPECT_TRUE(c.Legend().Visible());
  EXPECT_TRUE(c.AxisLimitsRestored());
  EXPECT_FALSE(c.CancelMouse());
  EXPECT_EQ(&c.Frame(), &c.BackWall().Pen());
}

TEST(ChartWall, SettersAssignAndDarkness) {
  ChartWindowFixture w;
  TChartWall& wall = w.chart.LeftWall();
  int before = w.invalidations;
  wall.SetSize(0);
  wall.SetDark3D(true);
  wall.SetColor(0x80FFFF);
  EXPECT_EQ(w.invalidations, before);
  wall.SetSize(3);
  wall.SetDark3D(false);
  wall.SetColor(clRed);
  wall.Pen().SetWidth(2);
  wall.Brush().SetStyle(TBrushStyle::bsCross);
  EXPECT_EQ(w.invalidations, before + 5);
  EXPECT_TRUE(wall.IsColorStored());

  // Dark: a filled brush without pattern, and Dark3D.
  EXPECT_FALSE(wall.IsDark());
  wall.SetDark3D(true);
  EXPECT_TRUE(wall.IsDark());
  wall.Brush().SetStyle(TBrushStyle::bsClear);
  EXPECT_FALSE(wall.IsDark());
  wall.Brush().SetStyle(TBrushStyle::bsSolid);
  platform::Image pattern;
  pattern.width = pattern.height = 2;
  pattern.pixels.assign(4, 0xFF000000u);
  wall.Brush().SetImage(pattern);
  EXPECT_FALSE(wall.IsDark());

  TChart other;
  other.BottomWall().Assign(wall);
  EXPECT_EQ(other.BottomWall().Size(), 3);
  EXPECT_EQ(other.BottomWall().Color(), clRed);
  EXPECT_EQ(other.BottomWall().Pen().Width(), 2);
  EXPECT_TRUE(other.BottomWall().Brush().HasPattern());
  EXPECT_TRUE(other.BottomWall().Dark3D());
  // The default colour stays the wall's own.
  EXPECT_EQ(other.BottomWall().DefaultColor(), clWhite);
}

TEST(Chart, BackColorFillsTheBackWallAndFrameIsItsPen) {
  ChartWindowFixture w;
  w.chart.SetBackColor(clSilver);
  EXPECT_EQ(w.chart.BackWall().Color(), clSilver);
  EXPECT_EQ(w.chart.BackWall().Brush().Style(), TBrushStyle::bsSolid);
  TChartPen pen;
  pen.SetColor(clRed);
  pen.SetWidth(3);
  w.chart.SetFrame(pen);
  EXPECT_EQ(w.chart.BackWall().Pen().Color(), clRed);
  EXPECT_EQ(w.chart.BackWall().Pen().Width(), 3);

  // Read from a form resource, the brush is left as stored.
  TChart loading;
  loading.SetLoading(true);
  loading.SetBackColor(clSilver);
  EXPECT_EQ(loading.BackWall().Brush().Style(), TBrushStyle::bsClear);
}

// ---- titles -----------------------------------------------------------------------------------

TEST(ChartTitle, OneEmptyLineTakesALineAndTheGap) {
  BareChart w;
  w.chart.Title().SetVisible(true);
  w.chart.Foot().SetVisible(true);
  w.chart.Title().SetText({""});
  w.chart.Foot().SetText({""});
  w.chart.SetView3D(false);
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect(), (Rect{0, kLineHeight + 5, 400, 300 - kLineHeight - 5}));

  // No lines at all: no room.
  w.chart.Title().SetText({});
  w.chart.Foot().SetText({});
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect(), (Rect{0, 0, 400, 300}));

  // Invisible titles take nothing either.
  w.chart.Title().SetText({"a", "b"});
  w.chart.Title().SetVisible(false);
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect().top, 0);
  EXPECT_TRUE(w.surface.OpsOfKind(OpKind::TextOut).empty());

  // Two lines.
  w.chart.Title().SetVisible(true);
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect().top, 2 * kLineHeight + 5);
}

TEST(ChartTitle, FrameInDefaultColourCountsAsNone) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& t = w.chart.Title();
  t.SetVisible(true);
  t.SetText({"Hi"});
  t.Frame().SetVisible(true);
  t.Frame().SetColor(clDefault);
  t.Frame().SetWidth(3);
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect().top, kLineHeight + 5);
  // Neither frame nor fill: no rectangle for the title.
  for (const RecordedOp& op : w.surface.OpsOfKind(OpKind::Rectangle)) {
    EXPECT_NE(op.args[1], 0) << op;
  }
}

TEST(ChartTitle, VisibleFrameTakesItsWidthOnBothSides) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& t = w.chart.Title();
  t.SetVisible(true);
  t.SetText({"Title"});
  t.Frame().SetVisible(true);
  t.Frame().SetColor(clRed);
  t.Frame().SetWidth(2);
  w.Paint();
  // f + H + f + gap.
  EXPECT_EQ(w.chart.ChartRect().top, 2 + kLineHeight + 2 + 5);
  // The frame hugs the text: "Title" plus one "W", centred on the chart's centre.
  const int32_t width = 5 * kCharWidth + kCharWidth;
  const Rect expected{200 - width / 2, 0, 200 + width / 2, 2 + kLineHeight + 2};
  EXPECT_EQ(t.TitleRect(), expected);
  const auto rects = w.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_FALSE(rects.empty());
  EXPECT_EQ(rects[0].args,
            (std::vector<int32_t>{expected.left, expected.top, expected.right, expected.bottom}));
  EXPECT_EQ(rects[0].pen.color, platform::Rgb(0x0000FF));
  EXPECT_EQ(rects[0].pen.width, 2);
  // The text starts at the frame's inner top.
  const auto texts = w.surface.OpsOfKind(OpKind::TextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "Title");
  EXPECT_EQ(texts[0].args, (std::vector<int32_t>{200 - 15, 2}));
  EXPECT_EQ(texts[0].textColor, platform::Rgb(0xFF0000));  // blue

  // With no lines the frame alone takes twice its width.
  t.SetText({});
  w.Paint();
  EXPECT_EQ(w.chart.ChartRect().top, 4);
}

TEST(ChartTitle, AlignmentPlacesLinesAndFrame) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& t = w.chart.Title();
  t.SetVisible(true);
  t.SetText({"ab", "abcd"});
  t.SetColor(clYellow);
  t.SetAlignment(TAlignment::taLeftJustify);
  w.Paint();
  auto texts = w.surface.OpsOfKind(OpKind::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].args, (std::vector<int32_t>{3, 0}));
  EXPECT_EQ(texts[1].args, (std::vector<int32_t>{3, kLineHeight}));
  // The filled box runs from the left edge over the widest line and one "W".
  EXPECT_EQ(t.TitleRect(), (Rect{0, 0, 4 * kCharWidth + kCharWidth, 2 * kLineHeight}));

  t.SetAlignment(TAlignment::taRightJustify);
  w.Paint();
  texts = w.surface.OpsOfKind(OpKind::TextOut);
  EXPECT_EQ(texts[0].args, (std::vector<int32_t>{400 - 12 - 3, 0}));
  EXPECT_EQ(texts[1].args, (std::vector<int32_t>{400 - 24 - 3, kLineHeight}));
  EXPECT_EQ(t.TitleRect(), (Rect{400 - 30, 0, 400, 2 * kLineHeight}));

  // Without AdjustFrame the box spans the chart.
  t.SetAdjustFrame(false);
  w.Paint();
  EXPECT_EQ(t.TitleRect(), (Rect{0, 0, 400, 2 * kLineHeight}));
}

TEST(ChartTitle, FootSitsAtTheBottomLastLineLast) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& f = w.chart.Foot();
  f.SetVisible(true);
  f.SetText({"one", "two"});
  w.Paint();
  const auto texts = w.surface.OpsOfKind(OpKind::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "one");
  EXPECT_EQ(texts[0].args[1], 300 - 2 * kLineHeight);
  EXPECT_EQ(texts[1].args[1], 300 - kLineHeight);
  EXPECT_EQ(w.chart.ChartRect().bottom, 300 - 2 * kLineHeight - 5);
}

TEST(ChartTitle, DefaultColourWithASolidBrushTakesTheBrushColour) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& t = w.chart.Title();
  t.SetVisible(true);
  t.SetText({"x"});
  t.Brush().SetColor(clRed);
  ASSERT_EQ(t.Color(), clDefault);
  const int before = w.invalidations;
  w.Paint();
  EXPECT_EQ(t.Color(), clRed);
  // A stored change: the chart repaints.
  EXPECT_GT(w.invalidations, before);
  const auto rects = w.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_FALSE(rects.empty());
  EXPECT_EQ(rects[0].brush.color, platform::Rgb(0x0000FF));
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Solid);
}

TEST(ChartTitle, ClicksHitTheLastRectangleOfAVisibleTitle) {
  BareChart w;
  w.chart.SetView3D(false);
  TChartTitle& t = w.chart.Title();
  t.SetVisible(true);
  t.SetText({"Title"});
  t.SetColor(clYellow);
  w.Paint();
  const Rect r = t.TitleRect();
  EXPECT_TRUE(w.chart.TitleHitTest(r.left, r.top));
  EXPECT_TRUE(w.chart.TitleHitTest((r.left + r.right) / 2, r.bottom));
  EXPECT_FALSE(w.chart.TitleHitTest(r.left - 1, r.top));
  EXPECT_FALSE(w.chart.TitleHitTest(r.left, r.bottom + 1));
  t.SetVisible(false);
  EXPECT_FALSE(w.chart.TitleHitTest(r.left, r.top));
}

TEST(ChartTitle, AssignCopiesEverything) {
  TChart a, b;
  a.Title().SetText({"x", "y"});
  a.Title().SetAlignment(TAlignment::taRightJustify);
  a.Title().SetAdjustFrame(false);
  a.Title().SetColor(clAqua);
  a.Title().Frame().SetVisible(true);
  a.Title().Brush().SetStyle(TBrushStyle::bsCross);
  a.Title().SetVisible(false);
  a.Title().Font().SetHeight(-20);
  b.Foot().Assign(a.Title());
  EXPECT_EQ(b.Foot().Text(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(b.Foot().Alignment(), TAlignment::taRightJustify);
  EXPECT_FALSE(b.Foot().AdjustFrame());
  EXPECT_EQ(b.Foot().Color(), clAqua);
  EXPECT_TRUE(b.Foot().Frame().Visible());
  EXPECT_EQ(b.Foot().Brush().Style(), TBrushStyle::bsCross);
  EXPECT_FALSE(b.Foot().Visible());
  EXPECT_EQ(b.Foot().Font().Height(), -20);
}

// ---- walls -----------------------------------------------------------------------------------

TEST(ChartWalls, In2DOnlyTheBackWallIsDrawnOnePixelWider) {
  BareChart w;
  w.chart.SetView3D(false);
  w.chart.SetBackColor(clSilver);
  w.Paint();
  const Rect r = w.chart.ChartRect();
  const auto rects = w.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(Corners(rects[0]), (std::vector<int32_t>{r.left, r.top, r.right + 1, r.bottom + 1}));
  EXPECT_EQ(rects[0].brush.color, platform::Rgb(0xC0C0C0));
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Solid);
  EXPECT_TRUE(w.surface.OpsOfKind(OpKind::Polygon).empty());

  // The default back wall is transparent.
  w.chart.BackWall().Brush().SetStyle(TBrushStyle::bsClear);
  w.Paint();
  EXPECT_EQ(w.surface.OpsOfKind(OpKind::Rectangle)[0].brush.style, platform::BrushStyle::Clear);
}

TEST(ChartWalls, FlatPlanesInOrthogonal3D) {
  BareChart w;
  w.chart.View3DOptions().SetOrthogonal(true);
  w.chart.SetChart3DPercent(15);
  w.Paint();
  // round(400 x 0.015) = 6: the rectangle gives 6 pixels on the right and at the top.
  EXPECT_EQ(w.chart.Width3D(), 6);
  EXPECT_EQ(w.chart.ChartRect(), (Rect{0, 6, 394, 300}));
  const auto polys = w.surface.OpsOfKind(OpKind::Polygon);
  ASSERT_EQ(polys.size(), 3u);
  const int32_t d = 6;
  // Each depth pixel moves a point one right and one up.
  // Back wall: (L + 1, T - 1, R, B) at depth D.
  EXPECT_EQ(polys[0].args,
            (std::vector<int32_t>{1 + d, 5 - d, 394 + d, 5 - d, 394 + d, 300 - d, 1 + d, 300 - d}));
  // Left wall: x = L, y from T to B, z from 0 to D + 1.
  EXPECT_EQ(polys[1].args,
            (std::vector<int32_t>{0, 6, 0, 300, d + 1, 300 - d - 1, d + 1, 6 - d - 1}));
  EXPECT_EQ(polys[1].brush.color, platform::Rgb(0x80FFFF));
  // Bottom wall: y = B, x from L to R, z from 0 to D.
  EXPECT_EQ(polys[2].args, (std::vector<int32_t>{0, 300, 394, 300, 394 + d, 300 - d, d, 300 - d}));
  EXPECT_EQ(polys[2].brush.color, platform::Rgb(0xFFFFFF));
}

TEST(ChartWalls, ThickWallsAreDarkBoxes) {
  BareChart w;
  w.chart.View3DOptions().SetOrthogonal(true);
  w.chart.SetChart3DPercent(15);
  w.chart.LeftWall().SetSize(4);
  w.chart.BottomWall().SetSize(5);
  w.chart.BackWall().SetSize(3);
  w.chart.SetBackColor(clSilver);
  w.Paint();
  // Back wall 3 more pixels off the right and the top.
  EXPECT_EQ(w.chart.ChartRect().right, 400 - 6 - 3);
  EXPECT_EQ(w.chart.ChartRect().top, 6 + 3);
  const auto polys = w.surface.OpsOfKind(OpKind::Polygon);
  // Three boxes of front, side and top faces.
  ASSERT_EQ(polys.size(), 9u);
  // Side faces darkened by 128, tops by 64 (from silver C0C0C0; from yellow 80FFFF).
  EXPECT_EQ(polys[0].brush.color, platform::Rgb(0xC0C0C0));
  EXPECT_EQ(polys[1].brush.color, platform::Rgb(0x404040));
  EXPECT_EQ(polys[2].brush.color, platform::Rgb(0x808080));
  EXPECT_EQ(polys[3].brush.color, platform::Rgb(0x80FFFF));
  EXPECT_EQ(polys[4].brush.color, platform::Rgb(0x007F7F));

  // Without Dark3D the sides keep the colour.
  w.chart.BackWall().SetDark3D(false);
  w.Paint();
  EXPECT_EQ(w.surface.OpsOfKind(OpKind::Polygon)[1].brush.color, platform::Rgb(0xC0C0C0));
}

TEST(ChartWalls, NoWallsIn3DWithoutView3DWalls) {
  BareChart w;
  w.chart.SetView3DWalls(false);
  w.chart.LeftWall().SetSize(4);
  w.Paint();
  EXPECT_TRUE(w.surface.OpsOfKind(OpKind::Polygon).empty());
  EXPECT_TRUE(w.surface.OpsOfKind(OpKind::Rectangle).empty());
  // and the walls take no room next to the axes.
  EXPECT_EQ(w.chart.WallSize(w.chart.LeftAxis()), 0);
  w.chart.SetView3DWalls(true);
  EXPECT_EQ(w.chart.WallSize(w.chart.LeftAxis()), 4);
  EXPECT_EQ(w.chart.WallSize(w.chart.RightAxis()), 0);
  w.chart.SetView3D(false);
  EXPECT_EQ(w.chart.WallSize(w.chart.LeftAxis()), 0);
}

TEST(ChartWalls, HatchedWallUsesItsBrushColourAsBackground) {
  BareChart w;
  w.chart.SetView3D(false);
  w.chart.BackWall().SetColor(clRed);
  w.chart.BackWall().Brush().SetStyle(TBrushStyle::bsCross);
  w.chart.BackWall().Brush().SetColor(clYellow);
  w.surface.SetRecordState(true);
  w.Paint();
  const auto rects = w.surface.OpsOfKind(OpKind::Rectangle);
  ASSERT_EQ(rects.size(), 1u);
  EXPECT_EQ(rects[0].brush.style, platform::BrushStyle::Cross);
  EXPECT_EQ(rects[0].brush.color, platform::Rgb(0x0000FF));
  EXPECT_EQ(rects[0].backMode, platform::BackMode::Opaque);
  EXPECT_EQ(rects[0].backColor, platform::Rgb(0x00FFFF));
}

TEST(ChartWalls, BackImageInsideTheWalls) {
  BareChart w;
  w.chart.SetView3D(false);
  platform::Image image;
  image.width = 4;
  image.height = 4;
  image.pixels.assign(16, 0xFF00FF00u);
  w.chart.BackImage().SetImage(image);
  w.Paint();
  // Outside the walls: stretched over the whole panel.
  auto stretched = w.surface.OpsOfKind(OpKind::StretchImage);
  ASSERT_EQ(stretched.size(), 1u);
  EXPECT_EQ(stretched[0].args, (std::vector<int32_t>{0, 0, 400, 300}));

  w.chart.SetBackImageInside(true);
  w.Paint();
  stretched = w.surface.OpsOfKind(OpKind::StretchImage);
  ASSERT_EQ(stretched.size(), 1u);
  // One pixel in at the top and bottom inside a visible back wall pen.
  const Rect r = w.chart.ChartRect();
  EXPECT_EQ(stretched[0].args, (std::vector<int32_t>{r.left, r.top + 1, r.right, r.bottom - 1}));
  w.chart.BackWall().Pen().SetVisible(false);
  w.Paint();
  stretched = w.surface.OpsOfKind(OpKind::StretchImage);
  ASSERT_EQ(stretched.size(), 1u);
  EXPECT_EQ(stretched[0].args, (std::vector<int32_t>{r.left, r.top, r.right, r.bottom}));
}

// ---- the chart window's layout ----------------------------------------------------------------

TEST(ChartLayout, ChartWindowRectangle) {
  ChartWindowFixture w;
  testing::ApplyChartWindowSettings(w.chart);
  w.Paint();
  EXPECT_EQ(w.chart.ChartBounds(), (Rect{0, 0, 483, 293}));
  // 3 % of 483 is 14 and of 293 is 9; an empty title line and an empty foot line take a line
  // and the gap each; the rotated 3D view keeps the rectangle's size.
  EXPECT_EQ(w.chart.ChartRect(), (Rect{14, 9 + kLineHeight + 5, 469, 284 - kLineHeight - 5}));
  EXPECT_EQ(w.chart.View3DOptions().Elevation(), 357);
  // 455 x 0.04 = 18.2.
  EXPECT_EQ(w.chart.Width3D(), 18);
}

TEST(ChartLayout, LegendSharesTheRoomWithTheTitles) {
  BareChart w;
  w.chart.SetView3D(false);
  w.chart.Title().SetVisible(true);
  w.chart.Title().SetText({"T"});
  w.chart.Legend().SetVisible(true);
  w.chart.SetAxisVisible(false);
  TTestSeries& a = w.chart.AddSeries<TTestSeries>();
  TTestSeries& b = w.chart.AddSeries<TTestSeries>();
  a.AddPointXY(0, 0);
  b.AddPointXY(0, 0);
  a.SetTitle("first");
  b.SetTitle("second");
  w.Paint();
  // A right legend comes first and sees the full height; the title then spans only what is
  // left of the width.
  const Rect legend = w.chart.Legend().RectLegend();
  EXPECT_EQ(w.chart.ChartRect().top, kLineHeight + 5);
  EXPECT_LT(w.chart.ChartRect().right, legend.left);
  const auto texts = w.surface.OpsOfKind(OpKind::TextOut);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0].text, "first");
  EXPECT_EQ(texts[2].text, "T");
  EXPECT_LT(texts[2].args[0], legend.left / 2);

  // A top legend comes after the title, below it.
  w.chart.Legend().SetAlignment(TLegendAlignment::laTop);
  w.Paint();
  const auto top = w.surface.OpsOfKind(OpKind::TextOut);
  EXPECT_EQ(top[0].text, "T");
  EXPECT_GE(w.chart.Legend().RectLegend().top, kLineHeight + 5);
  EXPECT_EQ(w.chart.LegendItemText(1), "second");

  // Without active series there is no legend step.
  a.SetActive(false);
  b.SetActive(false);
  w.Paint();
  EXPECT_EQ(w.surface.OpsOfKind(OpKind::TextOut).size(), 1u);
}

// ---- queries ---------------------------------------------------------------------------------

TEST(ChartQueries, ColorIsUnused) {
  TChart c;
  c.SetColor(clWhite);
  c.AddSeries<TTestSeries>().SetSeriesColor(clRed);
  EXPECT_FALSE(c.ColorIsUnused(clRed, false));
  EXPECT_TRUE(c.ColorIsUnused(clGreen, true));
  EXPECT_TRUE(c.ColorIsUnused(clWhite, false));
  EXPECT_FALSE(c.ColorIsUnused(clWhite, true));
  c.SetBackColor(clSilver);
  EXPECT_FALSE(c.ColorIsUnused(clSilver, true));
  EXPECT_TRUE(c.ColorIsUnused(clSilver, false));
}

TEST(ChartQueries, NewSeriesAvoidTheWallAndPanelColours) {
  TChart c;
  c.SetColor(clWhite);
  TTestSeries& a = c.AddSeries<TTestSeries>();
  EXPECT_EQ(a.SeriesColor(), clRed);
  c.SetBackColor(DefaultPaletteColor(1));
  TTestSeries& b = c.AddSeries<TTestSeries>();
  EXPECT_EQ(b.SeriesColor(), DefaultPaletteColor(2));
}

TEST(ChartQueries, FirstActiveSeriesAndLegendTexts) {
  TChart c;
  EXPECT_EQ(c.FirstActiveSeries(), nullptr);
  TTestSeries& a = c.AddSeries<TTestSeries>();
  TTestSeries& b = c.AddSeries<TTestSeries>();
  a.SetActive(false);
  EXPECT_EQ(c.FirstActiveSeries(), &b);
  b.SetTitle("Bee");
  b.AddPointXY(1, 25, "x");
  TTestSeries& d = c.AddSeries<TTestSeries>();
  d.SetTitle("Dee");
  c.Legend().ResolveStyle();
  EXPECT_EQ(c.LegendItemText(0), "Bee");
  int seen = 0;
  c.OnGetLegendText = [&](TCustomAxisPanel& sender, TLegendStyle style, int32_t index,
                          std::string& text) {
    ++seen;
    EXPECT_EQ(&sender, &c);
    EXPECT_EQ(style, TLegendStyle::lsSeries);
    text += "#" + std::to_string(index);
  };
  EXPECT_EQ(c.LegendItemText(1), "Dee#1");
  EXPECT_EQ(seen, 1);
  // The value text follows the legend's text style; marks in the legend style show it.
  EXPECT_EQ(c.LegendValueText(b, 0), "25 x");
  c.Legend().SetTextStyle(TLegendTextStyle::ltsRightValue);
  EXPECT_EQ(c.FormattedLegendValue(b, 0), "x 25");
  EXPECT_EQ(c.LegendValueText(b, -1), "");
}

TEST(ChartQueries, ValueSourcesAreTheListsOfTheFeedingSeries) {
  TChart c;
  TTestSeries& source = c.AddSeries<TTestSeries>();
  source.AddValueList("Extra");
  TTestSeries& fed = c.AddSeries<TTestSeries>();
  std::vector<std::string> names;
  const auto add = [&](const std::string& name) { names.push_back(name); };
  c.FillValueSourceItems(fed.YValues(), add);
  EXPECT_TRUE(names.empty());
  fed.SetDataSource(&source);
  c.FillValueSourceItems(fed.YValues(), add);
  EXPECT_EQ(names, (std::vector<std::string>{"X", "Y", "Extra"}));
  // A list of no series of the chart gives nothing.
  names.clear();
  TTestSeries loose;
  c.FillValueSourceItems(loose.XValues(), add);
  EXPECT_TRUE(names.empty());
}

// ---- axis scales -------------------------------------------------------------------------------

TEST(ChartScales, SaveAndRestoreAxisLimits) {
  TChart c;
  c.LeftAxis().SetMinMax(5, 50);
  c.BottomAxis().SetAutomaticMaximum(false);
  c.BottomAxis().SetMaximum(9);
  c.SaveAxisLimits();
  EXPECT_FALSE(c.AxisLimitsRestored());
  c.LeftAxis().SetMinMax(-100, 100);
  c.BottomAxis().SetAutomatic(false);
  c.TopAxis().SetMinMax(1, 2);
  c.RestoreAxisLimits();
  EXPECT_FALSE(c.LeftAxis().Automatic());
  EXPECT_DOUBLE_EQ(c.LeftAxis().Minimum(), 5);
  EXPECT_DOUBLE_EQ(c.LeftAxis().Maximum(), 50);
  EXPECT_FALSE(c.BottomAxis().Automatic());
  EXPECT_TRUE(c.BottomAxis().AutomaticMinimum());
  EXPECT_FALSE(c.BottomAxis().AutomaticMaximum());
  EXPECT_DOUBLE_EQ(c.BottomAxis().Maximum(), 9);
  EXPECT_TRUE(c.TopAxis().Automatic());
  EXPECT_TRUE(c.TopAxis().AutomaticMinimum());
  EXPECT_TRUE(c.TopAxis().AutomaticMaximum());
}

// ---- registry ----------------------------------------------------------------------------------

TEST(SeriesKinds, FunctionsAreListedAndPairsRegisterOnce) {
  const auto& kinds = SeriesKinds();
  int functions = 0;
  for (const TSeriesKind& k : kinds) {
    if (k.galleryPage == "Functions") {
      ++functions;
      EXPECT_EQ(k.numGallerySeries, 2);
      EXPECT_TRUE(k.seriesClass.empty());
    }
  }
  EXPECT_EQ(functions, 7);
  EXPECT_EQ(kinds[0].functionClass, "TAddZidFunction");
  EXPECT_EQ(kinds[0].description, "Add");

  const size_t before = kinds.size();
  TSeriesKind kind;
  kind.seriesClass = "TTestSeriesForRegistry";
  kind.createSeries = [] { return std::make_unique<TTestSeries>(); };
  kind.description = "A description longer than twenty";
  kind.galleryPage = "Tests";
  RegisterSeriesKind(kind);
  RegisterSeriesKind(kind);
  EXPECT_EQ(SeriesKinds().size(), before + 1);
  const TSeriesKind* found = FindSeriesKind("TTestSeriesForRegistry");
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->description, "A description longer");
  // The line unit's kinds.
  for (const char* cls : {"TLineSeries", "TAreaSeries", "TPointSeries"}) {
    const TSeriesKind* k = FindSeriesKind(cls);
    ASSERT_NE(k, nullptr) << cls;
    EXPECT_EQ(k->galleryPage, "Standard");
  }
  EXPECT_NE(dynamic_cast<TAreaSeries*>(CreateSeriesByClass("TAreaSeries").get()), nullptr);
  EXPECT_EQ(FindSeriesKind("TLineSeries")->description, "Line");

  auto series = CreateSeriesByClass("TTestSeriesForRegistry");
  ASSERT_NE(series, nullptr);
  EXPECT_NE(dynamic_cast<TTestSeries*>(series.get()), nullptr);
  EXPECT_EQ(CreateSeriesByClass("TNoSuchSeries"), nullptr);
}

// ---- copying ---------------------------------------------------------------------------------

TEST(Chart, AssignCopiesFurnitureAndPanel) {
  TChart a, b;
  a.SetBackImageInside(true);
  a.BackWall().SetSize(2);
  a.LeftWall().SetColor(clRed);
  a.BottomWall().Pen().SetWidth(3);
  a.Legend().SetAlignment(TLegendAlignment::laBottom);
  a.Title().SetText({"t"});
  a.Foot().SetText({"f"});
  a.SetAxisVisible(false);
  a.SetChart3DPercent(40);
  a.LeftAxis().SetInverted(true);
  b.Assign(a);
  EXPECT_TRUE(b.BackImageInside());
  EXPECT_EQ(b.BackWall().Size(), 2);
  EXPECT_EQ(b.LeftWall().Color(), clRed);
  EXPECT_EQ(b.BottomWall().Pen().Width(), 3);
  EXPECT_EQ(b.Legend().Alignment(), TLegendAlignment::laBottom);
  EXPECT_EQ(b.Title().Text(), (std::vector<std::string>{"t"}));
  EXPECT_EQ(b.Foot().Text(), (std::vector<std::string>{"f"}));
  EXPECT_FALSE(b.AxisVisible());
  EXPECT_EQ(b.Chart3DPercent(), 40);
  EXPECT_TRUE(b.LeftAxis().Inverted());
}

TEST(Chart, DestroyingWithSeriesLeavesNothingBehind) {
  TTestSeries outside;
  {
    TChart c;
    c.AddSeries<TTestSeries>().AddPointXY(1, 1);
    outside.SetParentChart(&c);
    c.Legend().SetVisible(true);
  }
  EXPECT_EQ(outside.ParentChart(), nullptr);
}

// ---- reference pictures ----------------------------------------------------------------------
// Whole charts drawn through Cairo, each looked at and judged right when its reference was
// written (ZQ_UPDATE_REFERENCES=1 writes them anew). The charts are shared with the test that
// draws them through GDI under Wine.

// Draws a reference chart and compares it with tests/data/reference/chart_<name>.png; a diff
// picture goes to the test output.
void ExpectMatchesReference(const std::string& name) {
  const test::ReferenceChart* chart = test::FindReferenceChart(name);
  ASSERT_NE(chart, nullptr) << name;
  const platform::Image actual = test::DrawReferenceChart(*chart);
  EXPECT_EQ(actual.width, chart->width) << name;
  EXPECT_EQ(actual.height, chart->height) << name;
  const std::string file = "chart_" + name;
  const std::string reference = std::string(ZQ_TEST_DATA) + "/reference/" + file + ".png";
  if (std::getenv("ZQ_UPDATE_REFERENCES") != nullptr) {
    ASSERT_TRUE(platform::SavePng(actual, reference));
    GTEST_SKIP() << "wrote " << reference;
  }
  auto expected = platform::LoadPng(reference);
  ASSERT_TRUE(expected.has_value()) << reference;
  testing::ImageCompareOptions options;
  // Room for a font build that hints a glyph differently; a misplaced part moves far more.
  options.maxDifferingFraction = 0.002;
  options.channelTolerance = 8;
  options.diffPath = testing::TestOutputPath(file + ".diff.png");
  EXPECT_TRUE(testing::ImagesMatch(actual, *expected, options)) << file;
}

TEST(ChartPictures, ChartWindowWithThreeLines) {
  ExpectMatchesReference("window_3d");
}

TEST(ChartPictures, TheSameIn2DAndInOrthogonal3D) {
  ExpectMatchesReference("window_2d");
  ExpectMatchesReference("window_orthogonal");
}

TEST(ChartPictures, Stairs) {
  ExpectMatchesReference("stairs");
}

TEST(ChartPictures, NinePointerStyles) {
  ExpectMatchesReference("pointer_styles");
}

TEST(ChartPictures, LegendOnEachSide) {
  ExpectMatchesReference("legends");
}

TEST(ChartPictures, TitleAndFootWithFrames) {
  ExpectMatchesReference("titles");
}

TEST(ChartPictures, ThickWalls) {
  ExpectMatchesReference("thick_walls");
}

TEST(ChartPictures, LogarithmicAxis) {
  ExpectMatchesReference("log_axis");
}

TEST(ChartPictures, DateTimeAxis) {
  ExpectMatchesReference("datetime_axis");
}

TEST(ChartPictures, MarksWithArrowsInEachStyle) {
  ExpectMatchesReference("marks");
}

TEST(ChartPictures, AreaSeries) {
  ExpectMatchesReference("area");
}

TEST(ChartPictures, ZoomedAndPanned) {
  ExpectMatchesReference("zoom_pan");
}

TEST(ChartPictures, BarStylesAndGroups) {
  ExpectMatchesReference("bar_styles");
  ExpectMatchesReference("bar_groups");
}

TEST(ChartPictures, FlatAndSolidPies) {
  ExpectMatchesReference("pies");
}

// A chart added to the table without its reference picture would be drawn on other backends
// and compared with nothing here.
TEST(ChartPictures, EveryReferenceChartHasItsPicture) {
  std::set<std::string_view> names;
  for (const test::ReferenceChart& chart : test::ReferenceCharts()) {
    EXPECT_TRUE(names.insert(chart.name).second) << "twice: " << chart.name;
    const std::string reference =
        std::string(ZQ_TEST_DATA) + "/reference/chart_" + std::string(chart.name) + ".png";
    auto expected = platform::LoadPng(reference);
    ASSERT_TRUE(expected.has_value()) << reference;
    EXPECT_EQ(expected->width, chart.width) << reference;
    EXPECT_EQ(expected->height, chart.height) << reference;
  }
  EXPECT_EQ(names.size(), 16u);
}

}  // namespace
}  // namespace zq
