#include "platform/cairo/cairo_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/cairo/image_output.h"
#include "support/image_compare.h"
#include "support/surface_probe.h"

namespace {

using namespace zq::platform;
using zq::testing::ColumnText;
using zq::testing::CountColor;
using zq::testing::InkBox;
using zq::testing::kBlack;
using zq::testing::kBlue;
using zq::testing::kGreen;
using zq::testing::kRed;
using zq::testing::kWhite;
using zq::testing::kYellow;
using zq::testing::RowText;
using zq::testing::Runs;

class CairoSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override { s.Clear(kWhite); }
  void UsePen(Rgb color, int32_t width = 1, PenStyle style = PenStyle::Solid,
              PenMode mode = PenMode::Copy) {
    Pen p;
    p.color = color;
    p.width = width;
    p.style = style;
    p.mode = mode;
    s.SetPen(p);
  }
  void UseBrush(Rgb color, BrushStyle style = BrushStyle::Solid) {
    Brush b;
    b.color = color;
    b.style = style;
    s.SetBrush(b);
  }
  void SavePicture(const std::string& name) { SavePng(s, zq::testing::TestOutputPath(name)); }

  CairoSurface s{200, 120};
};

// ---- lines -------------------------------------------------------------------------------

TEST_F(CairoSurfaceTest, LineCoversItsStartButNotItsEnd) {
  s.Line(10, 5, 20, 5);
  EXPECT_EQ(RowText(s, 5, 8, 22), "..##########..");
  s.Line(20, 8, 10, 8);  // backwards: 20 .. 11
  EXPECT_EQ(RowText(s, 8, 8, 22), "...##########.");
  s.Line(30, 10, 30, 15);
  EXPECT_EQ(ColumnText(s, 30, 9, 16), ".#####.");
  EXPECT_EQ(s.CurrentPosition(), (Point{30, 15}));
}

TEST_F(CairoSurfaceTest, ShallowLineStepsLikeGdi) {
  s.Line(0, 0, 4, 2);
  EXPECT_EQ(RowText(s, 0, 0, 5), "##...");
  EXPECT_EQ(RowText(s, 1, 0, 5), "..##.");
  EXPECT_EQ(RowText(s, 2, 0, 5), ".....");
}

TEST_F(CairoSurfaceTest, LinesFarOutsideTheSurfaceDrawTheirVisiblePart) {
  s.Line(-2000000000, 50, 2000000000, 50);
  EXPECT_EQ(RowText(s, 50, 0, 200), std::string(200, '#'));
  s.Line(100, -2000000000, 100, 2000000000);
  EXPECT_EQ(ColumnText(s, 100, 0, 120), std::string(120, '#'));
  s.Line(-5000, -5000, 5000, 5000);  // the diagonal through the surface
  EXPECT_NE(s.GetPixel(60, 60), kWhite);
  EXPECT_EQ(s.GetPixel(61, 60), kWhite);
}

TEST_F(CairoSurfaceTest, ClearPenDrawsNothingButMoves) {
  UsePen(kBlack, 1, PenStyle::Clear);
  s.Line(10, 10, 50, 10);
  EXPECT_EQ(CountColor(s, kWhite), 200 * 120);
  EXPECT_EQ(s.CurrentPosition(), (Point{50, 10}));
}

TEST_F(CairoSurfaceTest, PolylineDoesNotMoveTheCurrentPosition) {
  s.MoveTo(7, 7);
  s.Polyline(std::vector<Point>{{10, 20}, {30, 20}, {30, 40}});
  EXPECT_EQ(s.CurrentPosition(), (Point{7, 7}));
  EXPECT_NE(s.GetPixel(29, 20), kWhite);
  EXPECT_NE(s.GetPixel(30, 20), kWhite);  // start of the second segment
  EXPECT_EQ(s.GetPixel(30, 40), kWhite);  // the last point is left out
}

TEST_F(CairoSurfaceTest, CosmeticDashPatterns) {
  struct Case {
    PenStyle style;
    std::vector<int> period;
  };
  const Case cases[] = {{PenStyle::Dash, {18, 6}},
                        {PenStyle::Dot, {3, 3}},
                        {PenStyle::DashDot, {9, 6, 3, 6}},
                        {PenStyle::DashDotDot, {9, 3, 3, 3, 3, 3}},
                        {PenStyle::Alternate, {1, 1}}};
  int y = 10;
  for (const Case& c : cases) {
    UsePen(kBlack, 1, c.style);
    s.SetBackMode(BackMode::Transparent);
    s.Line(0, y, 96, y);
    std::vector<int> runs = Runs(RowText(s, y, 0, 96));
    ASSERT_GE(runs.size(), c.period.size() * 2) << "style " << int(c.style);
    for (size_t i = 0; i + 1 < runs.size(); ++i)  // the last run may be cut short
      EXPECT_EQ(runs[i], c.period[i % c.period.size()]) << "style " << int(c.style) << " run " << i;
    y += 4;
  }
}

TEST_F(CairoSurfaceTest, DashPatternRunsOnAlongAPolylineAndRestartsWithEachLineTo) {
  UsePen(kBlack, 1, PenStyle::Dash);
  s.SetBackMode(BackMode::Transparent);
  // 10 pixels along the first segment, then on down the second: the first dash ends after
  // 8 more pixels, then a 6-pixel gap.
  s.Polyline(std::vector<Point>{{10, 10}, {20, 10}, {20, 60}});
  EXPECT_EQ(RowText(s, 10, 10, 21), "###########");
  EXPECT_EQ(ColumnText(s, 20, 10, 40), "########......################");
  // Separate LineTo calls each start a new dash.
  s.Line(50, 10, 60, 10);
  s.Line(60, 10, 60, 40);
  EXPECT_EQ(ColumnText(s, 60, 10, 35), "##################......#");
}

TEST_F(CairoSurfaceTest, OpaqueModeFillsDashGapsWithTheBackgroundColour) {
  UsePen(kBlack, 1, PenStyle::Dot);
  s.SetBackColor(kRed);
  s.SetBackMode(BackMode::Opaque);
  s.Line(0, 5, 12, 5);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(s.GetPixel(x, 5), (x / 3) % 2 ? kRed : kBlack) << x;
  s.SetBackMode(BackMode::Transparent);
  s.Line(0, 7, 12, 7);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(s.GetPixel(x, 7), (x / 3) % 2 ? kWhite : kBlack) << x;
}

TEST_F(CairoSurfaceTest, WidePenHasRoundEnds) {
  UsePen(kBlack, 3);
  s.Line(140, 50, 150, 50);
  EXPECT_EQ(RowText(s, 50, 137, 154), "..#############..");  // 139 .. 151
  // GDI's dot for a 3-pixel pen is a plus sign: the rows beside the middle are one shorter.
  EXPECT_EQ(RowText(s, 49, 139, 152), ".###########.");
  EXPECT_EQ(RowText(s, 51, 139, 152), ".###########.");
  EXPECT_EQ(RowText(s, 48, 130, 160), std::string(30, '.'));
  EXPECT_EQ(RowText(s, 52, 130, 160), std::string(30, '.'));
}

TEST_F(CairoSurfaceTest, EvenWidthPutsTheExtraRowAboveAndLeft) {
  UsePen(kBlack, 2);
  s.Line(20, 30, 60, 30);
  EXPECT_EQ(ColumnText(s, 40, 27, 33), "..##..");  // rows 29 and 30
  s.Line(100, 20, 100, 60);
  EXPECT_EQ(RowText(s, 40, 97, 103), "..##..");  // columns 99 and 100
}

TEST_F(CairoSurfaceTest, WidePenJoinsAreRound) {
  UsePen(kBlack, 5);
  s.Polyline(std::vector<Point>{{20, 60}, {50, 20}, {80, 60}});
  // The apex is capped by a disc of radius 2.5: rows 18 .. 22 above it.
  EXPECT_EQ(ColumnText(s, 50, 15, 24), "...######");
  EXPECT_EQ(RowText(s, 18, 47, 54), "..###..");
}

TEST_F(CairoSurfaceTest, WideStyledPensDrawSolid) {
  UsePen(kBlack, 2, PenStyle::Dash);
  s.Line(0, 20, 100, 20);
  EXPECT_EQ(RowText(s, 20, 0, 100), std::string(100, '#'));
}

// ---- filled shapes -----------------------------------------------------------------------

TEST_F(CairoSurfaceTest, RectangleCoversLeftToRightMinusOne) {
  UseBrush(kRed);
  s.Rectangle(10, 10, 20, 15);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 20, 15}));
  EXPECT_EQ(RowText(s, 10, 10, 20), "##########");
  for (int x = 10; x < 20; ++x) {
    EXPECT_EQ(s.GetPixel(x, 10), kBlack);
    EXPECT_EQ(s.GetPixel(x, 14), kBlack);
  }
  for (int y = 11; y < 14; ++y) {
    EXPECT_EQ(s.GetPixel(10, y), kBlack);
    EXPECT_EQ(s.GetPixel(19, y), kBlack);
    for (int x = 11; x < 19; ++x) EXPECT_EQ(s.GetPixel(x, y), kRed) << x << "," << y;
  }
}

TEST_F(CairoSurfaceTest, RectangleWithoutPenIsOnePixelSmaller) {
  UsePen(kBlack, 1, PenStyle::Clear);
  UseBrush(kRed);
  s.Rectangle(10, 10, 20, 15);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 19, 14}));
  EXPECT_EQ(CountColor(s, kRed), 9 * 4);
  s.Rectangle(40, 40, 30, 30);  // corners given the other way round
  EXPECT_EQ(s.GetPixel(30, 30), kRed);
  EXPECT_EQ(s.GetPixel(38, 38), kRed);
  EXPECT_EQ(s.GetPixel(39, 39), kWhite);
}

TEST_F(CairoSurfaceTest, InsideFramePenStaysInsideTheBox) {
  UsePen(kBlack, 3, PenStyle::InsideFrame);
  UseBrush(kRed);
  s.Rectangle(10, 10, 30, 30);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 30, 30}));
  const Rgb expected[] = {kWhite, kBlack, kBlack, kBlack, kRed};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(s.GetPixel(9 + i, 20), expected[i]) << i;
    EXPECT_EQ(s.GetPixel(30 - i, 20), expected[i]) << i;
  }
  UsePen(kBlack, 3, PenStyle::Solid);
  s.Clear(kWhite);
  s.Rectangle(10, 10, 30, 30);
  EXPECT_EQ(InkBox(s), (Rect{9, 9, 31, 31}));  // centred on the one-pixel outline
}

TEST_F(CairoSurfaceTest, EllipseFillsItsBox) {
  UseBrush(kRed);
  s.Ellipse(10, 10, 50, 30);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 50, 30}));
  EXPECT_EQ(s.GetPixel(10, 10), kWhite);  // corners are outside
  EXPECT_EQ(s.GetPixel(49, 29), kWhite);
  EXPECT_EQ(s.GetPixel(30, 20), kRed);
  EXPECT_EQ(s.GetPixel(10, 20), kBlack);
  EXPECT_EQ(s.GetPixel(49, 20), kBlack);
  // Symmetric in both directions.
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 50; ++x) {
      ASSERT_EQ(s.GetPixel(x, y), s.GetPixel(59 - x, y)) << x << "," << y;
      ASSERT_EQ(s.GetPixel(x, y), s.GetPixel(x, 39 - y)) << x << "," << y;
    }
  // The outline is closed: each row starts and ends with the pen.
  for (int y = 10; y < 30; ++y) {
    const std::string row = RowText(s, y, 0, 60);
    const size_t first = row.find('#'), last = row.rfind('#');
    ASSERT_NE(first, std::string::npos) << y;
    EXPECT_EQ(s.GetPixel(int(first), y), kBlack) << y;
    EXPECT_EQ(s.GetPixel(int(last), y), kBlack) << y;
    EXPECT_EQ(s.GetPixel(30, y) == kRed, y > 10 && y < 29) << y;
  }
}

TEST_F(CairoSurfaceTest, EllipseWithoutPenCoversTheWholeOutline) {
  // Unlike Rectangle, an ellipse without a pen keeps its size.
  UseBrush(kRed);
  s.Ellipse(10, 10, 50, 30);
  const Image withPen = s.Snapshot();
  s.Clear(kWhite);
  UsePen(kBlack, 1, PenStyle::Clear);
  s.Ellipse(10, 10, 50, 30);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 50, 30}));
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 200; ++x)
      ASSERT_EQ(s.GetPixel(x, y) == kWhite, (withPen.At(x, y) & 0xFFFFFF) == 0xFFFFFF)
          << x << "," << y;
  s.Clear(kWhite);
  s.RoundRect(10, 10, 60, 40, 12, 12);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 60, 40}));
  EXPECT_EQ(s.GetPixel(35, 25), kRed);
}

TEST_F(CairoSurfaceTest, TinyEllipses) {
  UseBrush(kRed);
  s.Ellipse(10, 10, 11, 11);  // GDI draws nothing for a single pixel
  EXPECT_EQ(InkBox(s), (Rect{}));
  s.Clear(kWhite);
  s.Ellipse(10, 10, 13, 13);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 13, 13}));
  s.Clear(kWhite);
  s.Ellipse(10, 10, 10, 20);  // empty box
  EXPECT_EQ(InkBox(s), (Rect{}));
}

TEST_F(CairoSurfaceTest, RoundRectRoundsOnlyItsCorners) {
  UseBrush(kRed);
  s.RoundRect(10, 10, 60, 40, 12, 12);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 60, 40}));
  EXPECT_EQ(s.GetPixel(10, 10), kWhite);
  EXPECT_EQ(s.GetPixel(59, 39), kWhite);
  EXPECT_EQ(RowText(s, 10, 22, 48), std::string(26, '#'));  // straight top edge
  EXPECT_EQ(s.GetPixel(10, 25), kBlack);
  EXPECT_EQ(s.GetPixel(30, 25), kRed);
  // Corners too small to round: a rectangle.
  s.Clear(kWhite);
  s.RoundRect(10, 10, 60, 40, 2, 2);
  EXPECT_EQ(s.GetPixel(10, 10), kBlack);
}

TEST_F(CairoSurfaceTest, PieGoesCounterClockwiseFromStartToEnd) {
  UseBrush(kRed);
  // From the right end to the top: the upper-right quarter.
  s.Pie(10, 10, 51, 51, 60, 30, 30, 0);
  EXPECT_EQ(s.GetPixel(40, 20), kRed);
  EXPECT_EQ(s.GetPixel(20, 20), kWhite);
  EXPECT_EQ(s.GetPixel(20, 40), kWhite);
  EXPECT_EQ(s.GetPixel(40, 40), kWhite);
  // The other way round: three quarters.
  s.Clear(kWhite);
  s.Pie(10, 10, 51, 51, 30, 0, 60, 30);
  EXPECT_EQ(s.GetPixel(40, 20), kWhite);
  EXPECT_EQ(s.GetPixel(20, 20), kRed);
  EXPECT_EQ(s.GetPixel(20, 40), kRed);
  EXPECT_EQ(s.GetPixel(40, 40), kRed);
}

TEST_F(CairoSurfaceTest, ArcEndsOnAxesAsGdiDoes) {
  // A circle 31 pixels across, centre (25, 25): from straight right to straight up.
  s.Arc(10, 10, 41, 41, 100, 25, 25, -100);
  EXPECT_EQ(s.GetPixel(40, 25), kBlack);  // the start point is drawn
  EXPECT_EQ(s.GetPixel(40, 26), kWhite);
  EXPECT_EQ(s.GetPixel(27, 10), kBlack);  // the end stops short of the top point
  EXPECT_EQ(s.GetPixel(26, 10), kWhite);
  EXPECT_EQ(s.GetPixel(25, 10), kWhite);
  // From straight down to straight right: the bottom point is skipped, the right one kept.
  s.Clear(kWhite);
  s.Arc(10, 10, 41, 41, 25, 100, 100, 25);
  EXPECT_EQ(s.GetPixel(25, 40), kWhite);
  EXPECT_EQ(s.GetPixel(26, 40), kBlack);
  EXPECT_EQ(s.GetPixel(40, 26), kBlack);
  EXPECT_EQ(s.GetPixel(40, 25), kWhite);  // the last point of a line is left out
}

TEST_F(CairoSurfaceTest, ArcDrawsOnlyThePenAndEqualEndsGiveTheWholeEllipse) {
  UseBrush(kRed);
  s.Arc(10, 10, 51, 51, 0, 30, 60, 30);  // left to right through the bottom
  EXPECT_EQ(CountColor(s, kRed), 0);
  EXPECT_EQ(InkBox(s).top, 30);
  EXPECT_EQ(InkBox(s).bottom, 51);
  s.Clear(kWhite);
  s.Arc(10, 10, 51, 51, 60, 30, 60, 30);
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 51, 51}));
}

TEST_F(CairoSurfaceTest, PolygonFillsByTheAlternateRule) {
  UsePen(kBlack, 1, PenStyle::Clear);
  UseBrush(kRed);
  // A square: left and top edges in, right and bottom edges out.
  s.Polygon(std::vector<Point>{{10, 10}, {20, 10}, {20, 20}, {10, 20}});
  EXPECT_EQ(InkBox(s), (Rect{10, 10, 20, 20}));
  EXPECT_EQ(CountColor(s, kRed), 100);
  // A pentagram leaves its centre empty.
  s.Clear(kWhite);
  s.Polygon(std::vector<Point>{{100, 10}, {120, 70}, {70, 30}, {130, 30}, {80, 70}});
  EXPECT_EQ(s.GetPixel(100, 40), kWhite);
  EXPECT_EQ(s.GetPixel(100, 20), kRed);
  EXPECT_EQ(s.GetPixel(80, 32), kRed);
}

TEST_F(CairoSurfaceTest, PolygonOutlineIsClosed) {
  UseBrush(kWhite, BrushStyle::Clear);
  s.Polygon(std::vector<Point>{{10, 10}, {40, 10}, {40, 30}});
  EXPECT_NE(s.GetPixel(40, 30), kWhite);
  EXPECT_NE(s.GetPixel(25, 20), kWhite);  // on the closing edge back to (10, 10)
  EXPECT_EQ(s.GetPixel(35, 15), kWhite);  // no fill
}

TEST_F(CairoSurfaceTest, HatchBrushes) {
  s.SetBackColor(kYellow);
  s.SetBackMode(BackMode::Opaque);
  struct Case {
    BrushStyle style;
    bool (*on)(int x, int y);
  };
  const Case cases[] = {
      {BrushStyle::Horizontal, [](int, int y) { return y % 8 == 3; }},
      {BrushStyle::Vertical, [](int x, int) { return x % 8 == 4; }},
      {BrushStyle::FDiagonal, [](int x, int y) { return (x - y) % 8 == 0; }},
      {BrushStyle::BDiagonal, [](int x, int y) { return (x + y) % 8 == 7; }},
      {BrushStyle::Cross, [](int x, int y) { return x % 8 == 4 || y % 8 == 3; }},
      {BrushStyle::DiagCross, [](int x, int y) { return (x - y) % 8 == 0 || (x + y) % 8 == 7; }},
  };
  for (const Case& c : cases) {
    Brush b;
    b.color = kBlue;
    b.style = c.style;
    s.FillRect({0, 0, 32, 32}, b);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        ASSERT_EQ(s.GetPixel(x, y), c.on(x, y) ? kBlue : kYellow)
            << "style " << int(c.style) << " at " << x << "," << y;
  }
  // Transparent mode leaves the gaps alone.
  s.Clear(kWhite);
  s.SetBackMode(BackMode::Transparent);
  Brush b;
  b.color = kBlue;
  b.style = BrushStyle::Horizontal;
  s.FillRect({0, 0, 16, 16}, b);
  EXPECT_EQ(CountColor(s, kBlue), 2 * 16);
  EXPECT_EQ(CountColor(s, kYellow), 0);
}

TEST_F(CairoSurfaceTest, PatternBrushAndPatternFill) {
  Brush b;
  b.color = kRed;
  b.style = BrushStyle::Pattern;
  for (int i = 0; i < 8; ++i) b.pattern.rows[i] = uint8_t(0x80 >> i | 0x01);
  s.SetBrush(b);
  s.SetBackColor(kGreen);
  s.PatternFill({20, 20, 4, 4});  // PatBlt takes the rectangle either way round
  for (int y = 4; y < 20; ++y)
    for (int x = 4; x < 20; ++x) {
      const bool on = (x % 8) == (y % 8) || (x % 8) == 7;
      ASSERT_EQ(s.GetPixel(x, y), on ? kRed : kGreen) << x << "," << y;
    }
  EXPECT_EQ(s.GetPixel(20, 20), kWhite);
  UseBrush(kRed, BrushStyle::Clear);
  s.Clear(kWhite);
  s.PatternFill({0, 0, 10, 10});
  EXPECT_EQ(CountColor(s, kWhite), 200 * 120);
}

TEST_F(CairoSurfaceTest, FillRectIgnoresThePenModeAndInvertedRectangles) {
  UsePen(kBlack, 1, PenStyle::Solid, PenMode::NotXor);
  Brush b;
  b.color = kRed;
  s.FillRect({5, 5, 10, 10}, b);
  s.FillRect({5, 5, 10, 10}, b);
  EXPECT_EQ(CountColor(s, kRed), 25);
  s.FillRect({30, 30, 20, 40}, b);
  EXPECT_EQ(CountColor(s, kRed), 25);
}

TEST_F(CairoSurfaceTest, NotXorTwiceRestoresThePicture) {
  UseBrush(kGreen);
  s.Rectangle(0, 0, 100, 60);
  UseBrush(kRed);
  s.Ellipse(30, 20, 90, 80);
  const Image before = s.Snapshot();

  UsePen(kBlack, 1, PenStyle::Solid, PenMode::NotXor);
  s.Line(0, 0, 150, 100);
  EXPECT_EQ(s.GetPixel(0, 0), kWhite);         // black over black inverts to white
  EXPECT_EQ(s.GetPixel(3, 2), Rgb(0xFF00FF));  // black over green inverts to magenta
  s.Line(0, 0, 150, 100);
  EXPECT_TRUE(zq::testing::ImagesMatch(s.Snapshot(), before));

  UsePen(kBlue, 3, PenStyle::Solid, PenMode::NotXor);
  UseBrush(kYellow, BrushStyle::DiagCross);
  for (int i = 0; i < 2; ++i) {
    s.Rectangle(20, 10, 120, 90);
    s.Ellipse(50, 5, 150, 115);
    s.Polygon(std::vector<Point>{{10, 100}, {190, 10}, {190, 110}});
    s.Polyline(std::vector<Point>{{0, 50}, {100, 0}, {199, 119}});
  }
  EXPECT_TRUE(zq::testing::ImagesMatch(s.Snapshot(), before));
}

TEST_F(CairoSurfaceTest, NotXorWithBlackInvertsAndWithWhiteKeeps) {
  Brush b;
  b.color = 0x336699;
  s.FillRect({0, 0, 50, 50}, b);
  UsePen(kBlack, 1, PenStyle::Solid, PenMode::NotXor);
  s.Line(0, 10, 50, 10);
  EXPECT_EQ(s.GetPixel(5, 10), Rgb(~0x336699u & 0xFFFFFF));
  UsePen(kWhite, 1, PenStyle::Solid, PenMode::NotXor);
  s.Line(0, 20, 50, 20);
  EXPECT_EQ(s.GetPixel(5, 20), Rgb(0x336699));
}

TEST_F(CairoSurfaceTest, SetPixelFollowsThePenMode) {
  s.SetPixel(3, 4, kRed);
  EXPECT_EQ(s.GetPixel(3, 4), kRed);
  UsePen(kBlack, 1, PenStyle::Solid, PenMode::NotXor);
  s.SetPixel(3, 4, kBlack);  // inverts, as GDI does
  EXPECT_EQ(s.GetPixel(3, 4), Rgb(0xFFFF00));
  s.SetPixel(3, 4, kBlack);
  EXPECT_EQ(s.GetPixel(3, 4), kRed);
  s.SetPixel(-1, 500, kRed);  // outside: ignored
}

// ---- clipping ----------------------------------------------------------------------------

TEST_F(CairoSurfaceTest, ClipRectanglesIntersect) {
  Brush b;
  b.color = kRed;
  s.ClipRect({10, 10, 50, 50});
  s.ClipRect({30, 30, 80, 80});
  s.FillRect({0, 0, 200, 120}, b);
  EXPECT_EQ(InkBox(s), (Rect{30, 30, 50, 50}));
  s.RemoveClip();
  s.FillRect({100, 100, 110, 110}, b);
  EXPECT_EQ(s.GetPixel(105, 105), kRed);
}

TEST_F(CairoSurfaceTest, ClipPolygonIntersectsAndClipsEverything) {
  const std::vector<Point> triangle = {{0, 0}, {100, 0}, {0, 100}};
  s.ClipPolygon(triangle.data(), int32_t(triangle.size()));
  s.ClipRect({10, 0, 200, 120});
  Brush b;
  b.color = kRed;
  s.FillRect({0, 0, 200, 120}, b);
  EXPECT_EQ(s.GetPixel(9, 5), kWhite);  // cut by the rectangle
  EXPECT_EQ(s.GetPixel(10, 5), kRed);
  EXPECT_EQ(s.GetPixel(60, 39), kRed);    // inside the triangle
  EXPECT_EQ(s.GetPixel(60, 40), kWhite);  // on its right edge: outside
  EXPECT_EQ(s.GetPixel(60, 60), kWhite);
  s.Clear(kWhite);
  s.Line(0, 50, 200, 50);
  EXPECT_EQ(RowText(s, 50, 0, 60), std::string(10, '.') + std::string(40, '#') + "..........");
  s.SetTextColor(kBlack);
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(kRed);
  s.TextOut(40, 60, "WWWWWWWWWW");
  EXPECT_EQ(s.GetPixel(45, 62), kWhite);  // outside the triangle
  s.RemoveClip();
  s.SetPixel(150, 100, kRed);
  EXPECT_EQ(s.GetPixel(150, 100), kRed);
}

TEST_F(CairoSurfaceTest, EmptyClipHidesEverything) {
  s.ClipRect({10, 10, 20, 20});
  s.ClipRect({30, 30, 40, 40});
  Brush b;
  b.color = kRed;
  s.FillRect({0, 0, 200, 120}, b);
  s.Line(0, 35, 100, 35);
  EXPECT_EQ(CountColor(s, kWhite), 200 * 120);
}

// ---- text --------------------------------------------------------------------------------

TEST_F(CairoSurfaceTest, ArialMetricsFollowTheWindowsMetrics) {
  LogFont f;
  f.face = "Arial";
  f.height = -11;
  s.SetFont(f);
  const FontMetrics m = s.GetFontMetrics();
  EXPECT_EQ(m.ascent, 10);
  EXPECT_EQ(m.descent, 2);
  EXPECT_EQ(m.height, 12);
  EXPECT_EQ(s.TextExtent("").cx, 0);
  EXPECT_EQ(s.TextExtent("").cy, 12);
  EXPECT_EQ(s.TextExtent("Hello").cy, 12);
  EXPECT_GT(s.TextExtent("Hello").cx, 20);
  EXPECT_LT(s.TextExtent("Hello").cx, 35);
  // A positive height is the cell height.
  f.height = 12;
  s.SetFont(f);
  EXPECT_EQ(s.GetFontMetrics().height, 12);
  f.height = -24;
  s.SetFont(f);
  EXPECT_EQ(s.GetFontMetrics().ascent, 22);
  EXPECT_EQ(s.GetFontMetrics().descent, 5);
}

TEST_F(CairoSurfaceTest, ExtentsAreTheWidthsGdiReports) {
  // Measured with GDI: the rounded design widths, not the narrower aliased hinting.
  EXPECT_EQ(s.TextExtent("H").cx, 8);
  EXPECT_EQ(s.TextExtent("m").cx, 9);
  EXPECT_EQ(s.TextExtent("Hello, World").cx, 58);
  EXPECT_EQ(s.TextExtent("Centered text").cx, 66);
  EXPECT_EQ(s.TextExtent("11111111").cx, 48);
}

TEST_F(CairoSurfaceTest, CellHeightsPickTheLargestWholeEmSizeThatFits) {
  const std::string text = "Quick brown fox 0123456789";
  LogFont f;
  f.height = -12;
  s.SetFont(f);
  const int32_t em12 = s.TextExtent(text).cx;
  f.height = 14;  // 14 * 2048 / 2288 rounds to 13, whose cell would be 15: GDI takes 12
  s.SetFont(f);
  EXPECT_EQ(s.TextExtent(text).cx, em12);
  EXPECT_EQ(s.GetFontMetrics().ascent, 11);
  EXPECT_EQ(s.GetFontMetrics().descent, 3);
  f.height = -14;
  s.SetFont(f);
  const int32_t em14 = s.TextExtent(text).cx;
  f.height = 0;  // the default: a 16-pixel cell
  s.SetFont(f);
  EXPECT_EQ(s.TextExtent(text).cx, em14);
}

TEST_F(CairoSurfaceTest, GlyphsStayInsideTheTextCell) {
  LogFont f;
  f.height = -10;
  f.weight = 700;
  s.SetFont(f);
  s.SetBackMode(BackMode::Transparent);
  s.TextOut(10, 10, "(Jan/Feb) [x]");
  const FontMetrics m = s.GetFontMetrics();
  EXPECT_EQ(InkBox(s).bottom, 10 + m.height);  // the parentheses would reach one row lower
}

TEST_F(CairoSurfaceTest, ExtentsAddUpAndStylesChangeThem) {
  LogFont f;
  s.SetFont(f);
  const int32_t ab = s.TextExtent("ab").cx;
  EXPECT_EQ(ab, s.TextExtent("a").cx + s.TextExtent("b").cx);  // whole-pixel advances
  f.weight = 700;
  s.SetFont(f);
  EXPECT_GT(s.TextExtent("Bold text here").cx, 0);
  const int32_t bold = s.TextExtent("Bold text here").cx;
  f.weight = 400;
  s.SetFont(f);
  EXPECT_LT(s.TextExtent("Bold text here").cx, bold);
  f.face = "Courier New";
  s.SetFont(f);
  EXPECT_EQ(s.TextExtent("iii").cx, s.TextExtent("MMM").cx);
}

TEST_F(CairoSurfaceTest, BadUtf8DoesNotBreakTheFont) {
  s.TextOut(10, 10, std::string_view("a\xFF\xFE\0b", 5));
  EXPECT_GT(s.TextExtent(std::string_view("\xC3", 1)).cx, 0);
  EXPECT_GT(s.TextExtent("Hello").cx, 20);
}

TEST_F(CairoSurfaceTest, TextAlignmentPlacesTheCell) {
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(kYellow);
  const Size ext = s.TextExtent("Hxg");
  struct Case {
    uint32_t align;
    Rect cell;
  };
  const int32_t x = 100, y = 60;
  const Case cases[] = {
      {text_align::kLeft | text_align::kTop, {x, y, x + ext.cx, y + 12}},
      {text_align::kRight | text_align::kTop, {x - ext.cx, y, x, y + 12}},
      {text_align::kCenter | text_align::kTop,
       {x - ext.cx / 2, y, x - ext.cx / 2 + ext.cx, y + 12}},
      {text_align::kLeft | text_align::kBaseline, {x, y - 10, x + ext.cx, y + 2}},
      {text_align::kLeft | text_align::kBottom, {x, y - 12, x + ext.cx, y}},
  };
  for (const Case& c : cases) {
    s.Clear(kWhite);
    s.SetTextAlign(c.align);
    s.TextOut(x, y, "Hxg");
    EXPECT_EQ(InkBox(s), c.cell) << "align " << c.align;
    // The 'H' stands on the baseline, ascent below the cell's top.
    const int32_t baseline = c.cell.top + 10;
    const int32_t stem =
        s.GetPixel(c.cell.left, baseline - 1) == kBlack ? c.cell.left : c.cell.left + 1;
    EXPECT_EQ(s.GetPixel(stem, baseline - 1), kBlack) << "align " << c.align;
    EXPECT_EQ(s.GetPixel(stem, baseline - 8), kBlack) << "align " << c.align;
    EXPECT_EQ(s.GetPixel(stem, baseline - 9), kYellow) << "align " << c.align;
    EXPECT_EQ(s.GetPixel(stem, baseline), kYellow) << "align " << c.align;
  }
  EXPECT_EQ(s.GetTextAlign(), text_align::kLeft | text_align::kBottom);
}

TEST_F(CairoSurfaceTest, TransparentTextLeavesTheBackgroundAndUsesTheTextColour) {
  s.SetBackMode(BackMode::Transparent);
  s.SetTextColor(kRed);
  s.TextOut(10, 10, "Hello");
  const Rect ink = InkBox(s);
  EXPECT_GT(CountColor(s, kRed), 20);
  EXPECT_EQ(CountColor(s, kRed) + CountColor(s, kWhite), 200 * 120);
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 22);
}

TEST_F(CairoSurfaceTest, TextIsNotAffectedByThePenMode) {
  UsePen(kBlack, 1, PenStyle::Solid, PenMode::NotXor);
  s.SetBackMode(BackMode::Transparent);
  s.TextOut(10, 10, "Hello");
  s.TextOut(10, 10, "Hello");
  EXPECT_GT(CountColor(s, kBlack), 20);
}

TEST_F(CairoSurfaceTest, EscapementTurnsTextCounterClockwise) {
  LogFont f;
  f.escapement = 900;
  s.SetFont(f);
  s.SetBackMode(BackMode::Transparent);
  const int32_t width = s.TextExtent("Upward").cx;
  s.TextOut(50, 100, "Upward");
  Rect ink = InkBox(s);
  // Reading upwards from (50, 100), the cell's top edge on the left at x = 50.
  EXPECT_GE(ink.left, 50);
  EXPECT_LE(ink.right, 62);
  EXPECT_LE(ink.bottom, 100);
  EXPECT_GE(ink.top, 100 - width);
  EXPECT_GT(ink.Height(), 3 * ink.Width());
  // The first letter is at the bottom: the 'U' opens to the left (towards the top of the text).
  s.Clear(kWhite);
  f.escapement = 2700;
  s.SetFont(f);
  s.TextOut(50, 10, "Down");
  ink = InkBox(s);
  EXPECT_LE(ink.right, 51);
  EXPECT_GE(ink.left, 38);
  EXPECT_GE(ink.top, 10);
  EXPECT_GT(ink.Height(), 2 * ink.Width());
  // Half a turn: upside down, running left.
  s.Clear(kWhite);
  f.escapement = 1800;
  s.SetFont(f);
  s.TextOut(150, 50, "Left");
  ink = InkBox(s);
  EXPECT_LE(ink.right, 151);
  EXPECT_LE(ink.bottom, 51);
  EXPECT_GE(ink.top, 38);
}

TEST_F(CairoSurfaceTest, TurnedTextGetsNoBackground) {
  // As GDI draws it: the opaque background is filled behind level text only.
  LogFont f;
  f.escapement = 900;
  s.SetFont(f);
  s.SetBackMode(BackMode::Opaque);
  s.SetBackColor(kYellow);
  s.TextOut(50, 100, "Up");
  EXPECT_EQ(CountColor(s, kYellow), 0);
  EXPECT_GT(CountColor(s, kBlack), 10);
}

TEST_F(CairoSurfaceTest, UnderlineAndStrikeOut) {
  LogFont f;
  f.underline = true;
  s.SetFont(f);
  s.SetBackMode(BackMode::Transparent);
  const int32_t width = s.TextExtent("a b").cx;
  s.TextOut(10, 10, "a b");
  // A full row below the baseline (10 + ascent 10), across the whole advance.
  int fullRows = 0;
  for (int y = 20; y < 22; ++y)
    fullRows += RowText(s, y, 10, 10 + width) == std::string(width, '#');
  EXPECT_EQ(fullRows, 1);
  s.Clear(kWhite);
  f.underline = false;
  f.strikeOut = true;
  s.SetFont(f);
  s.TextOut(10, 10, "a b");
  fullRows = 0;
  for (int y = 12; y < 20; ++y)
    fullRows += RowText(s, y, 10, 10 + width) == std::string(width, '#');
  EXPECT_EQ(fullRows, 1);
}

TEST_F(CairoSurfaceTest, UnknownFacesFallBack) {
  LogFont f;
  f.face = "No Such Face 12345";
  s.SetFont(f);
  EXPECT_GT(s.TextExtent("Hello").cx, 0);
  f.face = "MS Sans Serif";
  s.SetFont(f);
  EXPECT_EQ(s.GetFontMetrics().height, 12);
}

// ---- pictures and blocks -----------------------------------------------------------------

Image Checker(int32_t w, int32_t h) {
  Image img;
  img.width = w;
  img.height = h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      img.pixels.push_back(0xFF000000u | uint32_t(x * 40) << 16 | uint32_t(y * 40) << 8 | 0x80);
  return img;
}

Rgb ImageRgb(const Image& img, int32_t x, int32_t y) {
  const uint32_t p = img.At(x, y);
  return MakeRgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

TEST_F(CairoSurfaceTest, DrawImageCopiesPixelsInsideTheClip) {
  const Image img = Checker(4, 3);
  s.DrawImage(img, 10, 20);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(s.GetPixel(10 + x, 20 + y), ImageRgb(img, x, y));
  s.DrawImage(img, -2, -1);  // partly outside
  EXPECT_EQ(s.GetPixel(0, 0), ImageRgb(img, 2, 1));
  s.ClipRect({101, 0, 200, 120});
  s.DrawImage(img, 100, 50);
  EXPECT_EQ(s.GetPixel(100, 50), kWhite);
  EXPECT_EQ(s.GetPixel(101, 50), ImageRgb(img, 1, 0));
  s.DrawImage(Image{}, 0, 0);  // empty: nothing
}

TEST_F(CairoSurfaceTest, StretchImageTakesTheNearestPixel) {
  const Image img = Checker(4, 3);
  s.StretchImage(img, {10, 10, 18, 16});  // twice the size
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      ASSERT_EQ(s.GetPixel(10 + x, 10 + y), ImageRgb(img, x / 2, y / 2)) << x << "," << y;
  // Mirrored horizontally, 7 wide: GDI starts at the left coordinate itself.
  s.StretchImage(img, {57, 10, 50, 13});
  EXPECT_EQ(s.GetPixel(57, 10), ImageRgb(img, 0, 0));
  EXPECT_EQ(s.GetPixel(51, 10), ImageRgb(img, 3, 0));
  EXPECT_EQ(s.GetPixel(50, 10), kWhite);
  // Shrunk to 2 x 2: GDI keeps the last column and the first row of each group.
  s.StretchImage(img, {100, 10, 102, 12});
  EXPECT_EQ(s.GetPixel(100, 10), ImageRgb(img, 1, 0));
  EXPECT_EQ(s.GetPixel(101, 11), ImageRgb(img, 3, 2));
}

TEST_F(CairoSurfaceTest, CopyFromCopiesBlocksAndKeepsToTheSource) {
  auto block = s.CreateCompatible(20, 10, false);
  EXPECT_EQ(block->Width(), 20);
  EXPECT_EQ(block->Height(), 10);
  Brush red;
  red.color = kRed;
  block->FillRect({0, 0, 20, 10}, red);
  block->SetPixel(0, 0, kBlue);
  s.CopyFrom(50, 50, 20, 10, *block, 0, 0);
  EXPECT_EQ(InkBox(s), (Rect{50, 50, 70, 60}));
  EXPECT_EQ(s.GetPixel(50, 50), kBlue);
  s.Clear(kWhite);
  s.CopyFrom(50, 50, 100, 100, *block, -5, -5);  // only what the source has
  EXPECT_EQ(InkBox(s), (Rect{55, 55, 75, 65}));
  EXPECT_EQ(s.GetPixel(55, 55), kBlue);
}

TEST_F(CairoSurfaceTest, CopyFromItselfHandlesOverlap) {
  for (int x = 0; x < 10; ++x) s.SetPixel(x, 0, MakeRgb(uint8_t(x * 20), 0, 0));
  s.CopyFrom(3, 0, 10, 1, s, 0, 0);
  for (int x = 0; x < 10; ++x) EXPECT_EQ(s.GetPixel(x + 3, 0), MakeRgb(uint8_t(x * 20), 0, 0));
}

TEST_F(CairoSurfaceTest, MonochromeSurfacesMapColoursAsGdiDoes) {
  auto mono = s.CreateCompatible(32, 32, true);
  auto* m = dynamic_cast<CairoSurface*>(mono.get());
  ASSERT_NE(m, nullptr);
  EXPECT_TRUE(m->Monochrome());
  EXPECT_EQ(m->GetPixel(0, 0), kBlack);  // a fresh bitmap is black
  // Solid brushes are dithered by their grey level: a quarter of light grey stays black.
  Brush grey;
  grey.color = 0xC0C0C0;
  m->FillRect({0, 0, 16, 16}, grey);
  int black = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) black += m->GetPixel(x, y) == kBlack;
  EXPECT_EQ(black, 64);
  EXPECT_EQ(m->GetPixel(0, 0), kBlack);
  EXPECT_EQ(m->GetPixel(1, 0), kWhite);
  Brush white;
  m->FillRect({16, 0, 32, 16}, white);
  EXPECT_EQ(m->GetPixel(20, 5), kWhite);
  // Pens: any colour but the background colour is black; pixels take the nearer one.
  Pen yellow;
  yellow.color = kYellow;
  m->SetPen(yellow);
  m->Line(16, 2, 32, 2);
  EXPECT_EQ(m->GetPixel(20, 2), kBlack);
  m->SetBackColor(kYellow);
  m->Line(16, 3, 32, 3);
  EXPECT_EQ(m->GetPixel(20, 3), kWhite);  // the background colour: nearer to white
  m->SetPixel(20, 5, kRed);
  EXPECT_EQ(m->GetPixel(20, 5), kBlack);
  m->SetPixel(20, 6, 0xE0E0E0);
  EXPECT_EQ(m->GetPixel(20, 6), kWhite);

  // Monochrome to colour: black takes the text colour, white the background colour.
  s.SetTextColor(kBlue);
  s.SetBackColor(kYellow);
  s.CopyFrom(0, 0, 32, 32, *m, 0, 0);
  EXPECT_EQ(s.GetPixel(0, 0), kBlue);
  EXPECT_EQ(s.GetPixel(20, 10), kYellow);

  // Colour to monochrome: the source's background colour becomes white, the rest black.
  Brush green;
  green.color = kGreen;
  s.FillRect({0, 0, 10, 32}, green);
  s.SetBackColor(kGreen);
  m->CopyFrom(0, 0, 32, 32, s, 0, 0);
  EXPECT_EQ(m->GetPixel(5, 5), kWhite);
  EXPECT_EQ(m->GetPixel(20, 20), kBlack);
}

TEST_F(CairoSurfaceTest, SnapshotIsOpaqueAndMemorySurfacesStartWhite) {
  auto mem = CreateMemorySurface(7, 5);
  ASSERT_EQ(mem->Width(), 7);
  const Image img = mem->Snapshot();
  ASSERT_EQ(img.pixels.size(), 35u);
  for (uint32_t p : img.pixels) EXPECT_EQ(p, 0xFFFFFFFFu);
  s.SetPixel(1, 1, kRed);
  EXPECT_EQ(s.Snapshot().At(1, 1), 0xFFFF0000u);
}

TEST_F(CairoSurfaceTest, DefaultStateIsTheWindowsDefault) {
  CairoSurface fresh(10, 10);
  EXPECT_EQ(fresh.GetPen(), Pen());
  EXPECT_EQ(fresh.GetBrush(), Brush());
  EXPECT_EQ(fresh.GetTextColor(), kBlack);
  EXPECT_EQ(fresh.GetBackColor(), kWhite);
  EXPECT_EQ(fresh.GetBackMode(), BackMode::Opaque);
  EXPECT_EQ(fresh.GetTextAlign(), 0u);
  EXPECT_EQ(fresh.Handle(), 0);
}

TEST_F(CairoSurfaceTest, ImpossibleSizesGiveAnEmptySurface) {
  CairoSurface huge(1 << 20, 1 << 20);
  EXPECT_EQ(huge.Width(), 0);
  huge.Rectangle(0, 0, 10, 10);
  huge.TextOut(0, 0, "x");
  EXPECT_TRUE(huge.Snapshot().Empty());
  CairoSurface negative(-3, 5);
  EXPECT_EQ(negative.Width(), 0);
}

// Solid 1-pixel lines are set in batches, a band of rows at a time, and polygons wait to be
// drawn (or left out when later ones hide them): every other drawing, clip, copy and read must
// find the pixels that drawing each at once would have set.
TEST(CairoSurfaceBatchedLines, LandAsIfEachWereDrawnAtOnce) {
  auto draw = [](CairoSurface& surface, bool atOnce) {
    auto pen = [&](Rgb color, PenStyle style = PenStyle::Solid, PenMode mode = PenMode::Copy) {
      Pen p;
      p.color = color;
      p.style = style;
      p.mode = mode;
      surface.SetPen(p);
    };
    // A dense line over the whole surface, a column at a time with joins between columns,
    // some of it beyond the edges; each time in other columns.
    int32_t round = 0;
    auto lines = [&](Rgb color, int32_t count = 20) {
      pen(color);
      ++round;
      for (int32_t i = 0; i < count; ++i) {
        const int32_t x = (i * 13 + round * 3) % 230 - 10, y = (i * 37 + round * 11) % 170 - 20;
        surface.LineTo(x, y);
        surface.LineTo(x, 150 - y);
      }
    };
    // Slanted bands stacked as a 3D ribbon's faces (a walk of heights, a few columns), of
    // several brushes and pens: most of them hidden by later ones.
    auto faces = [&](int32_t count) {
      ++round;
      int32_t height = 60;
      for (int32_t i = 0; i < count; ++i) {
        const int32_t x = (i / 60 * 3 + round * 7) % 150 - 5, from = height;
        height = std::clamp(height + int32_t((i * 7919 + round) % 31) - 15, 5, 125);
        const Point quad[] = {{x, height}, {x, from}, {x + 30, from - 9}, {x + 30, height - 9}};
        Pen p;
        p.color = i % 3 ? kBlack : kBlue;
        p.style = i % 7 == 0 ? PenStyle::Clear : i % 11 == 0 ? PenStyle::Dot : PenStyle::Solid;
        p.mode = i % 293 == 0 ? PenMode::NotXor : PenMode::Copy;
        surface.SetPen(p);
        Brush b;
        b.color = i % 2 ? kGreen : kRed;
        b.style = i % 13 == 0    ? BrushStyle::Clear
                  : i % 173 == 0 ? BrushStyle::DiagCross
                                 : BrushStyle::Solid;
        surface.SetBrush(b);
        surface.SetBackMode(i % 5 ? BackMode::Opaque : BackMode::Transparent);
        surface.Polygon(quad, i % 19 == 0 ? 3 : 4);
      }
    };
    Brush brush;
    brush.color = kYellow;
    surface.SetBrush(brush);
    surface.Clear(kWhite);
    lines(kRed, 6000);  // more segments than one batch holds
    faces(3000);
    surface.SetBrush(brush);
    surface.Rectangle(20, 20, 60, 50);
    lines(kBlue);
    surface.ClipRect({30, 10, 170, 100});
    lines(kGreen);
    const Point triangle[] = {{100, 0}, {199, 119}, {0, 119}};
    surface.ClipPolygon(triangle, 3);
    faces(500);
    lines(kRed);
    const Point diamond[] = {{100, 10}, {150, 60}, {100, 110}, {50, 60}};
    surface.ClipPolygon(diamond, 4);  // inside the triangle: rows no longer one known run
    faces(300);
    surface.RemoveClip();
    lines(kBlue);
    faces(400);
    surface.SetBrush(brush);
    surface.SetBackMode(BackMode::Transparent);
    surface.TextOut(40, 70, "Batched");
    lines(kGreen);
    pen(kBlack, PenStyle::Solid, PenMode::NotXor);
    surface.Line(0, 60, 199, 60);
    lines(kRed);
    pen(kBlack, PenStyle::Dot);
    surface.Line(0, 100, 199, 90);
    lines(kBlue);
    for (int32_t y = 0; y < 120; ++y) surface.SetPixel(y % 200, y, kYellow);
    lines(kGreen);
    surface.FillRect({100, 0, 140, 120}, brush);
    lines(kRed);
    Image image;
    image.width = image.height = 9;
    image.pixels.assign(81, 0x808080);
    surface.DrawImage(image, 90, 30);
    lines(kBlue);
    surface.StretchImage(image, {10, 80, 40, 110});
    CairoSurface other(50, 40);
    other.SetDrawAtOnce(atOnce);
    other.Clear(kWhite);
    other.SetPen(surface.GetPen());
    other.Line(10, 0, 10, 40);
    other.Line(20, 40, 20, 0);
    lines(kGreen);
    surface.CopyFrom(140, 70, 50, 40, other, 0, 0);
    lines(kRed);
  };
  CairoSurface batched(200, 120), atOnce(200, 120);
  atOnce.SetDrawAtOnce(true);
  draw(batched, false);
  draw(atOnce, true);
  const Image a = batched.Snapshot(), b = atOnce.Snapshot();
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_GT(CountColor(atOnce, kRed), 1000);
}

// Draws the same calls on a surface that keeps polygons and on one that draws each at once,
// expects the same picture and returns the first, for a closer look.
template <typename Draw>
std::unique_ptr<CairoSurface> KeptAsAtOnce(int32_t width, int32_t height, Draw&& draw,
                                           const std::string& label = "") {
  auto kept = std::make_unique<CairoSurface>(width, height);
  CairoSurface atOnce(width, height);
  atOnce.SetDrawAtOnce(true);
  draw(*kept);
  draw(atOnce);
  EXPECT_EQ(kept->Snapshot().pixels, atOnce.Snapshot().pixels) << label;
  return kept;
}

// Polygons that later ones hide are left out: the faces of a 3D ribbon (bands stacked along a
// walk of heights, column after column), drawn in each way that may or may not hide.
TEST(CairoSurfaceBatchedShapes, HiddenOnesAreLeftOutAndNoOthers) {
  struct Variant {
    const char* name;
    // What face i is drawn with.
    PenStyle penStyle;
    BrushStyle brushStyle;
    BackMode backMode;
    int32_t notXorEvery, hatchEvery, clearPenEvery;
    int clip;  // 0 none, 1 a polygon, 2 a polygon within another, 3 one with a notch
    int32_t widePenEvery = 0;
    int32_t run = 30, rise = 9;  // of the bands
    int32_t triangleEvery = 0;   // a face of three points instead of four
    bool oneColour = false;      // every face with the same pen, brush and background
  };
  const Variant variants[] = {
      {"solid", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 0},
      {"dotted, transparent", PenStyle::Dot, BrushStyle::Solid, BackMode::Transparent, 0, 0, 0, 0},
      {"dotted, opaque", PenStyle::Dot, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 0},
      {"no brush", PenStyle::Solid, BrushStyle::Clear, BackMode::Opaque, 0, 0, 0, 0},
      {"no pen now and then", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 3, 0},
      {"hatched now and then", PenStyle::Solid, BrushStyle::Solid, BackMode::Transparent, 0, 5, 0,
       0},
      {"not-xor now and then", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 7, 0, 0, 0},
      {"clipped", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 1},
      {"clipped twice", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 2},
      {"clipped, rows in pieces", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 3},
      {"wide pen now and then", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 0,
       3},
      {"shallow", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 0, 0, 90, 7},
      {"steep", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0, 0, 0, 0, 0, 6, 40},
      {"triangles among them, one colour", PenStyle::Solid, BrushStyle::Solid, BackMode::Opaque, 0,
       0, 0, 0, 0, 30, 9, 3, true},
  };
  for (const Variant& v : variants) {
    auto draw = [&](CairoSurface& surface) {
      surface.Clear(kWhite);
      const Point triangle[] = {{100, -5}, {205, 125}, {-5, 125}};
      const Point diamond[] = {{100, 10}, {160, 60}, {100, 110}, {40, 60}};
      const Point notched[] = {{0, 0},    {199, 0},  {199, 119}, {120, 119},
                               {100, 30}, {80, 119}, {0, 119}};
      if (v.clip == 1 || v.clip == 2) surface.ClipPolygon(triangle, 3);
      if (v.clip == 2) surface.ClipPolygon(diamond, 4);
      if (v.clip == 3) surface.ClipPolygon(notched, 7);
      int32_t height = 60;
      for (int32_t i = 0; i < 4000; ++i) {
        const int32_t x = i / 100 * 4 - 10, from = height;
        height = std::clamp(height + int32_t((i * 7919) % 31) - 15, 5, 125);
        const Point quad[] = {
            {x, height}, {x, from}, {x + v.run, from - v.rise}, {x + v.run, height - v.rise}};
        Pen pen;
        pen.color = i % 2 || v.oneColour ? kBlack : kBlue;
        pen.style = v.clearPenEvery && i % v.clearPenEvery == 0 ? PenStyle::Clear : v.penStyle;
        pen.mode = v.notXorEvery && i % v.notXorEvery == 0 ? PenMode::NotXor : PenMode::Copy;
        pen.width = v.widePenEvery && i % v.widePenEvery == 0 ? 4 : 1;
        surface.SetPen(pen);
        Brush brush;
        brush.color = i % 3 || v.oneColour ? kGreen : kRed;
        brush.style = v.hatchEvery && i % v.hatchEvery == 0 ? BrushStyle::DiagCross : v.brushStyle;
        surface.SetBrush(brush);
        surface.SetBackColor(i % 4 || v.oneColour ? kYellow : kWhite);
        surface.SetBackMode(v.backMode);
        surface.Polygon(quad, v.triangleEvery && i % v.triangleEvery == 0 ? 3 : 4);
      }
    };
    KeptAsAtOnce(200, 120, draw, v.name);
  }
}

// Polygons given together are drawn as one by one, also when there are more of them than the
// surface keeps before it settles (each colour taken anew after a settle) and when their pen
// keeps them from being kept at all.
TEST(CairoSurfaceBatchedShapes, PolygonsTogetherAsOneByOne) {
  std::vector<Point> quads;
  for (int32_t k = 0; k < int32_t(CairoSurface::kMaxKeptShapes) + 4500; ++k) {
    const int32_t x = k * 7 % 61, y = k * 13 % 53, w = 2 + k % 5, h = 1 + k % 7;
    quads.insert(quads.end(), {{x, y}, {x + w, y + h / 2}, {x + w, y + h}, {x, y + h - 1}});
  }
  for (const int32_t penWidth : {1, 3}) {
    auto draw = [&](CairoSurface& surface) {
      surface.Clear(kWhite);
      const Rgb colors[] = {kRed, kGreen, kBlue};
      const size_t count = quads.size() / 4, parts[] = {0, count - 9, count - 4, count};
      for (int i = 0; i < 3; ++i) {
        Pen pen;
        pen.color = kBlack;
        pen.width = penWidth;
        surface.SetPen(pen);
        Brush brush;
        brush.color = colors[i];
        surface.SetBrush(brush);
        surface.Polygons(quads.data() + 4 * parts[i], 4, parts[i + 1] - parts[i]);
      }
    };
    // Drawn at once, the surface goes through Polygon after Polygon.
    KeptAsAtOnce(64, 64, draw, "pen width " + std::to_string(penWidth));
  }
}

// Pixels a later shape set stay its own when an earlier shape's longer piece of the same rows
// takes the place of the later one's in what is known to be covered.
TEST(CairoSurfaceBatchedShapes, TakenPixelsStayTakenWhenAnotherPieceIsLonger) {
  auto draw = [](CairoSurface& surface) {
    surface.Clear(kWhite);
    const Point wide[] = {{0, 10}, {100, 10}, {100, 30}, {0, 30}};
    const Point middle[] = {{60, 12}, {90, 12}, {90, 28}, {60, 28}};
    const Point small[] = {{10, 14}, {13, 14}, {13, 26}, {10, 26}};
    const Rgb colors[] = {kRed, kGreen, kBlue};
    const Point* shapes[] = {wide, middle, small};
    for (int i = 0; i < 3; ++i) {
      Pen pen;
      pen.color = kBlack;
      pen.style = i == 1 ? PenStyle::Clear : PenStyle::Solid;
      surface.SetPen(pen);
      Brush brush;
      brush.color = colors[i];
      surface.SetBrush(brush);
      surface.Polygon(shapes[i], 4);
    }
  };
  EXPECT_EQ(KeptAsAtOnce(120, 40, draw)->GetPixel(11, 20), kBlue);
}

// An outline pixel next to a later shape's run joins the run, but a clip whose row comes in
// pieces may still keep it out.
TEST(CairoSurfaceBatchedShapes, PixelsNextToTheRunKeepTheClip) {
  auto draw = [](CairoSurface& surface) {
    surface.Clear(kWhite);
    // Rows 0 to 4 whole; below them only columns 12 to 19 and 25 on.
    const Point clip[] = {{0, 0},  {40, 0},  {40, 20}, {25, 20}, {25, 5},
                          {20, 5}, {20, 20}, {12, 20}, {12, 5},  {0, 5}};
    surface.ClipPolygon(clip, 10);
    Pen pen;
    pen.color = kBlack;
    surface.SetPen(pen);
    Brush brush;
    brush.color = kRed;
    surface.SetBrush(brush);
    const Point earlier[] = {{11, 6}, {11, 14}, {13, 14}, {13, 6}};
    const Point later[] = {{12, 6}, {20, 6}, {20, 14}, {12, 14}};
    surface.Polygon(earlier, 4);
    brush.color = kGreen;
    surface.SetBrush(brush);
    surface.Polygon(later, 4);
  };
  EXPECT_EQ(KeptAsAtOnce(40, 20, draw)->GetPixel(11, 10), kWhite);
}

// A picture of everything, saved for looking at.
TEST_F(CairoSurfaceTest, SamplerPicture) {
  UsePen(kBlue, 1);
  for (int i = 0; i < 12; ++i) s.Line(10, 10, 10 + i * 8, 60 - i * 4);
  UsePen(kBlack, 3);
  UseBrush(kGreen);
  s.Ellipse(110, 10, 190, 60);
  UsePen(kRed, 1, PenStyle::DashDot);
  UseBrush(kYellow, BrushStyle::DiagCross);
  s.RoundRect(10, 70, 90, 110, 16, 16);
  s.SetBackMode(BackMode::Transparent);
  s.TextOut(100, 75, "Sampler: Arial -11");
  SavePicture("cairo_sampler.png");
  EXPECT_NE(CountColor(s, kGreen), 0);
}

}  // namespace
