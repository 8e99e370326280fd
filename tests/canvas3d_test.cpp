#include "engine/drawing/canvas3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/drawing/errors.h"
#include "platform/cairo/image_output.h"
#include "platform/record/recording_surface.h"

namespace zq {
namespace {

using platform::BrushStyle;
using platform::PenStyle;
using platform::Rgb;

// A recording surface whose operations the tests read back as calls with points.
struct Call {
  std::string op;
  std::vector<Point> points;  // shapes: corner points; rectangles: (l, t), (r, b)
  platform::Pen pen;
  platform::Brush brush;
  platform::LogFont font;
  Rgb color = 0;  // text colour, pixel colour
  std::string text;
};

class LogSurface : public platform::RecordingSurface {
 public:
  explicit LogSurface(int32_t w = 400, int32_t h = 300) : RecordingSurface(w, h) {
    SetRecordState(true);
  }
  int created = 0;
  bool monochrome = false;

  std::unique_ptr<platform::Surface> CreateCompatible(int32_t w, int32_t h, bool mono) override {
    ++created;
    auto s = std::make_unique<LogSurface>(w, h);
    s->monochrome = mono;
    return s;
  }

  // The drawing calls, without the state changes and moves.
  std::vector<Call> Calls() const {
    std::vector<Call> out;
    for (const platform::RecordedOp& op : Ops()) {
      if (op.kind <= platform::OpKind::MoveTo) continue;
      Call c;
      c.op = platform::OpKindName(op.kind);
      size_t pairs = op.args.size() / 2;
      if (op.kind == platform::OpKind::SetPixel) {
        pairs = 1;
        c.color = Rgb(op.args[2]);
      }
      for (size_t i = 0; i < pairs; ++i) c.points.push_back({op.args[2 * i], op.args[2 * i + 1]});
      c.pen = op.pen;
      c.brush = op.brush;
      c.font = op.font;
      if (op.kind == platform::OpKind::TextOut) c.color = op.textColor;
      c.text = op.text;
      out.push_back(std::move(c));
    }
    return out;
  }
  std::vector<Call> Only(const std::string& name) const {
    std::vector<Call> out;
    for (Call& c : Calls()) {
      if (c.op == name) out.push_back(std::move(c));
    }
    return out;
  }
  int BrushSelections() const { return int(OpsOfKind(platform::OpKind::SetBrush).size()); }
};

// A canvas drawing straight on a log surface, in a frame with the given options.
struct Fixture {
  LogSurface surface;
  TView3DOptions options;
  TZidCanvas3D canvas;
  explicit Fixture(int32_t w = 400, int32_t h = 300) : surface(w, h) {
    canvas.ChangeUseBuffer(false);
  }
  void Begin(bool is3D = true, Rect chart = {100, 50, 300, 250}, int32_t depth = 40) {
    canvas.SetSurface(&surface);
    canvas.BeginFrame(surface, &options, {0, 0, 400, 300}, is3D);
    canvas.SetProjectionCentre(depth, {0, 0, 400, 300}, chart);
  }
  void Rotated(int32_t elevation, int32_t rotation, int32_t tilt = 0, int32_t perspective = 0) {
    options.SetOrthogonal(false);
    options.SetElevation(elevation);
    options.SetRotation(rotation);
    options.SetTilt(tilt);
    options.SetPerspective(perspective);
  }
};

// ---- view options ---------------------------------------------------------------------------

TEST(View3DOptions, DefaultsAndNotifications) {
  int repaints = 0;
  std::vector<std::string> events;
  TView3DOptions o([&] {
    ++repaints;
    events.push_back("repaint");
  });
  EXPECT_EQ(o.Elevation(), 345);
  EXPECT_EQ(o.HorizOffset(), 0);
  EXPECT_TRUE(o.Orthogonal());
  EXPECT_EQ(o.Perspective(), 15);
  EXPECT_EQ(o.Rotation(), 345);
  EXPECT_EQ(o.Tilt(), 0);
  EXPECT_EQ(o.VertOffset(), 0);
  EXPECT_EQ(o.Zoom(), 100);
  EXPECT_TRUE(o.ZoomText());

  o.OnScrolled = [&](bool h) { events.push_back(h ? "scroll h" : "scroll v"); };
  o.OnZoomChanging = [&](int32_t z) {
    events.push_back("zoom " + std::to_string(z) + " from " + std::to_string(o.Zoom()));
  };
  o.SetElevation(345);
  o.SetHorizOffset(0);
  o.SetZoom(100);
  o.SetOrthogonal(true);
  EXPECT_TRUE(events.empty()) << "an unchanged value does nothing";

  o.SetHorizOffset(5);
  o.SetVertOffset(-7);
  o.SetZoom(250);
  EXPECT_EQ(events, (std::vector<std::string>{"repaint", "scroll h", "repaint", "scroll v",
                                              "zoom 250 from 100", "repaint"}));
  o.SetElevation(-2147483647 - 1);
  o.SetRotation(2147483647);
  o.SetTilt(-1);
  o.SetPerspective(-5);
  o.SetZoom(0);
  o.SetZoomText(false);
  o.SetOrthogonal(false);
  EXPECT_EQ(o.Elevation(), INT32_MIN) << "no range checks";
  EXPECT_EQ(o.Rotation(), INT32_MAX);
  EXPECT_EQ(o.Perspective(), -5);
  EXPECT_EQ(repaints, 10);
}

TEST(View3DOptions, AssignCopiesTheNineValuesWithoutRepaint) {
  int repaints = 0;
  TView3DOptions target([&] { ++repaints; });
  TView3DOptions source;
  source.SetElevation(10);
  source.SetHorizOffset(11);
  source.SetOrthogonal(false);
  source.SetPerspective(12);
  source.SetRotation(13);
  source.SetTilt(14);
  source.SetVertOffset(15);
  source.SetZoom(16);
  source.SetZoomText(false);
  bool scrolled = false;
  target.OnScrolled = [&](bool) { scrolled = true; };
  target.Assign(source);
  EXPECT_EQ(repaints, 0);
  EXPECT_FALSE(scrolled);
  EXPECT_EQ(target.Elevation(), 10);
  EXPECT_EQ(target.HorizOffset(), 11);
  EXPECT_FALSE(target.Orthogonal());
  EXPECT_EQ(target.Perspective(), 12);
  EXPECT_EQ(target.Rotation(), 13);
  EXPECT_EQ(target.Tilt(), 14);
  EXPECT_EQ(target.VertOffset(), 15);
  EXPECT_EQ(target.Zoom(), 16);
  EXPECT_FALSE(target.ZoomText());
}

TEST(CheckAngle, AcceptsZeroTo360) {
  EXPECT_NO_THROW(CheckAngle(0, "Axis"));
  EXPECT_NO_THROW(CheckAngle(359, "Axis"));
  EXPECT_NO_THROW(CheckAngle(360, "Axis"));
  EXPECT_THROW(CheckAngle(361, "Axis"), ChartException);
  EXPECT_THROW(CheckAngle(INT32_MIN, "Axis"), ChartException);
  try {
    CheckAngle(-1, "Labels");
    FAIL();
  } catch (const ChartException& e) {
    EXPECT_STREQ(e.what(), "Labels Angle must be between 0 and 359 degrees");
  }
}

TEST(CanvasGeometry, RectHelpersRoundTowardZeroAndNeverOverflow) {
  EXPECT_EQ(RectCenter({0, 0, 5, 7}), (Point{2, 3}));
  EXPECT_EQ(RectCenter({-5, -7, 0, 0}), (Point{-2, -3}));
  EXPECT_EQ(RectCenter({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}), (Point{0, 0}));
  EXPECT_EQ(RectSize({10, 20, 30, 60}), (platform::Size{20, 40}));
  EXPECT_EQ(RectSize({INT32_MIN, 0, INT32_MAX, 0}).cx, INT32_MAX);
}

// ---- projection -----------------------------------------------------------------------------

TEST(CanvasProjection, OrthogonalDepthMovesRightAndUp) {
  Fixture f;
  f.Begin();
  EXPECT_EQ(f.canvas.ProjectXY(150, 100, 0), (Point{150, 100}));
  EXPECT_EQ(f.canvas.ProjectXY(150, 100, 10), (Point{160, 90}));
  f.options.SetZoom(200);
  f.options.SetHorizOffset(3);
  f.options.SetVertOffset(-4);
  f.Begin();
  // Around the chart centre (200, 150): (150 - 200 + 10) * 2 + 200 + 3.
  EXPECT_EQ(f.canvas.ProjectXY(150, 100, 10), (Point{123, 26}));
}

TEST(CanvasProjection, RoundsHalvesToEven) {
  Fixture f;
  f.options.SetZoom(50);
  f.Begin();
  // (x - 200) * 0.5: 1 -> 0.5 -> 0; 3 -> 1.5 -> 2; -1 -> -0.5 -> 0; 5 -> 2.5 -> 2.
  EXPECT_EQ(f.canvas.ProjectXY(201, 150, 0).x, 200);
  EXPECT_EQ(f.canvas.ProjectXY(203, 150, 0).x, 202);
  EXPECT_EQ(f.canvas.ProjectXY(199, 150, 0).x, 200);
  EXPECT_EQ(f.canvas.ProjectXY(205, 150, 0).x, 202);
}

TEST(CanvasProjection, ZeroAnglesAreTheIdentityPlusOffsets) {
  Fixture f;
  f.Rotated(0, 0, 0, 0);
  f.options.SetHorizOffset(7);
  f.options.SetVertOffset(9);
  f.Begin();
  auto c = f.canvas.ProjectionCoefficients();
  EXPECT_EQ(c.xx, 1.0);
  EXPECT_EQ(c.yy, 1.0);
  EXPECT_EQ(c.xy, 0.0);
  EXPECT_EQ(c.yx, 0.0);
  EXPECT_EQ(c.xz, 0.0);
  EXPECT_EQ(c.yz, 0.0);
  EXPECT_EQ(f.canvas.PerspectiveFactor(), 0.0);
  EXPECT_EQ(f.canvas.ProjectXY(123, 45, 0), (Point{130, 54}));
  EXPECT_EQ(f.canvas.ProjectXY(123, 45, 500), (Point{130, 54})) << "Z has no effect";
}

TEST(CanvasProjection, CoefficientsOfAKnownView) {
  Fixture f;
  f.Rotated(345, 345, 10);
  f.Begin();
  const double e = 345 * M_PI / 180, r = e, t = 10 * M_PI / 180;
  auto c = f.canvas.ProjectionCoefficients();
  EXPECT_NEAR(c.xy, std::cos(e) * std::sin(t), 1e-12);
  EXPECT_NEAR(c.yy, std::cos(e) * std::cos(t), 1e-12);
  EXPECT_NEAR(c.zp, std::cos(r) * std::cos(e), 1e-12);
  EXPECT_NEAR(c.xx, std::sin(r) * std::sin(e) * std::sin(t) + std::cos(r) * std::cos(t), 1e-12);
  EXPECT_NEAR(c.yx, std::cos(t) * std::sin(r) * std::sin(e) - std::cos(r) * std::sin(t), 1e-12);
  EXPECT_NEAR(c.xz, std::cos(r) * std::sin(e) * std::sin(t) - std::cos(t) * std::sin(r), 1e-12);
  EXPECT_NEAR(c.yz, std::cos(r) * std::cos(t) * std::sin(e) + std::sin(r) * std::sin(t), 1e-12);
  // The centre projects onto the projected centre whatever the angles.
  EXPECT_EQ(f.canvas.ProjectXY(200, 150, 20), (Point{200, 150}));
}

TEST(CanvasProjection, ElevationNinetyFloorsYYAndUnprojects) {
  Fixture f;
  f.Rotated(90, 0);
  f.Begin();
  EXPECT_EQ(f.canvas.ProjectionCoefficients().yy, 0.00001);
  int32_t x = 210, y = 160;
  f.canvas.UnprojectPoint(x, y, 0);  // must not divide by zero
  EXPECT_EQ(x, 210);
}

TEST(CanvasProjection, PerspectiveFactor) {
  Fixture f;
  f.Rotated(345, 345, 0, 35);
  f.Begin();
  EXPECT_DOUBLE_EQ(f.canvas.PerspectiveFactor(), 0.001);
  f.options.SetPerspective(0);
  f.Begin();
  EXPECT_EQ(f.canvas.PerspectiveFactor(), 0.0);
  f.Rotated(0, 0, 0, 35);
  f.Begin();
  // Farther points shrink towards the centre: dz = 60 - 20 = 40 -> f = 1 - 0.001 * 40.
  EXPECT_EQ(f.canvas.ProjectXY(300, 150, 60), (Point{296, 150}));
  EXPECT_EQ(f.canvas.ProjectXY(300, 150, -20), (Point{304, 150}));
}

TEST(CanvasProjection, TwoDFrameAndSuspendedDepthLeavePointsAlone) {
  Fixture f;
  f.Begin(false);
  EXPECT_EQ(f.canvas.ProjectXY(12, 34, 56), (Point{12, 34}));
  f.Begin(true);
  EXPECT_EQ(f.canvas.ProjectXY(12, 34, 56), (Point{68, -22}));
  f.canvas.SuspendDepth();
  EXPECT_EQ(f.canvas.ProjectXY(12, 34, 56), (Point{12, 34}));
  f.canvas.ResumeDepth();
  EXPECT_EQ(f.canvas.ProjectXY(12, 34, 56), (Point{68, -22}));
}

// Exact where screen X does not depend on Y nor screen Y on X; the inverse solves each axis
// on its own, as mouse positions need it.
TEST(CanvasProjection, UnprojectInvertsProject) {
  struct View {
    bool orthogonal;
    int32_t elevation, rotation, tilt, zoom;
  };
  for (View v :
       {View{true, 345, 345, 0, 100}, View{true, 0, 0, 0, 300}, View{false, 345, 0, 0, 100},
        View{false, 0, 20, 0, 150}, View{false, 0, 300, 0, 80}}) {
    Fixture f;
    f.options.SetOrthogonal(v.orthogonal);
    f.options.SetElevation(v.elevation);
    f.options.SetRotation(v.rotation);
    f.options.SetTilt(v.tilt);
    f.options.SetZoom(v.zoom);
    f.options.SetPerspective(0);
    f.options.SetHorizOffset(13);
    f.Begin();
    for (Point p : {Point{100, 50}, Point{250, 200}, Point{180, 240}}) {
      for (int32_t z : {0, 20, 40}) {
        Point q = f.canvas.ProjectXY(p.x, p.y, z);
        f.canvas.UnprojectPoint(q.x, q.y, z);
        EXPECT_NEAR(q.x, p.x, 2) << v.elevation << "/" << v.rotation << " z " << z;
        EXPECT_NEAR(q.y, p.y, 2) << v.elevation << "/" << v.rotation << " z " << z;
      }
    }
  }
}

TEST(CanvasProjection, UnprojectUsesTheScreenCoordinatesInBothFormulas) {
  Fixture f;
  f.Rotated(330, 20, 5);
  f.options.SetZoom(150);
  f.Begin();
  const auto c = f.canvas.ProjectionCoefficients();
  int32_t x = 260, y = 90;
  const double k = 1 / 1.5, dz = 30 - 20;
  const int32_t ex =
      int32_t(std::nearbyint((k * (260 - 200) - dz * c.xz - (90 - 150) * c.xy) / c.xx) + 200);
  const int32_t ey =
      int32_t(std::nearbyint((k * (90 - 150) - dz * c.yz - (260 - 200) * c.yx) / c.yy) + 150);
  f.canvas.UnprojectPoint(x, y, 30);
  EXPECT_EQ(x, ex);
  EXPECT_EQ(y, ey);
}

TEST(CanvasProjection, UnprojectDoesNothingAtZoomZero) {
  Fixture f;
  f.options.SetZoom(0);
  f.Begin();
  int32_t x = 17, y = 19;
  f.canvas.UnprojectPoint(x, y, 5);
  EXPECT_EQ(x, 17);
  EXPECT_EQ(y, 19);
}

// ---- 2D operations --------------------------------------------------------------------------

TEST(Canvas2D, PolygonTakesTheLastIndex) {
  Fixture f;
  f.Begin(false);
  Point pts[5] = {{1, 1}, {9, 1}, {9, 9}, {1, 9}, {5, 20}};
  f.canvas.DrawPolygon(pts, 3);
  f.canvas.DrawPolygon(pts, -1);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_EQ(polys[0].points, (std::vector<Point>{{1, 1}, {9, 1}, {9, 9}, {1, 9}}));
}

TEST(Canvas2D, OperationsPassStraightToTheSurface) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawRect(1, 2, 3, 4);
  f.canvas.DrawRectR({5, 6, 7, 8});
  f.canvas.DrawEllipse(10, 11, 20, 21);
  f.canvas.DrawRoundRect(0, 0, 50, 40, 6, 8);
  f.canvas.DrawArc(0, 0, 100, 100, 100, 50, 50, 0);
  f.canvas.DrawPieSlice(0, 0, 100, 100, 100, 50, 50, 0);
  f.canvas.HorizontalLine(10, 20, 5);
  f.canvas.VerticalLine(7, 30, 40);
  f.canvas.MoveToPoint(1, 1);
  f.canvas.LineToPoint(8, 9);
  f.canvas.LineToPoint(12, 9);
  std::vector<std::string> ops;
  for (const Call& c : f.surface.Calls()) ops.push_back(c.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"Rectangle", "Rectangle", "Ellipse", "RoundRect", "Arc",
                                           "Pie", "LineTo", "LineTo", "LineTo", "LineTo"}));
  EXPECT_EQ(f.surface.Calls()[6].points, (std::vector<Point>{{10, 5}, {20, 5}}));
  EXPECT_EQ(f.surface.Calls()[7].points, (std::vector<Point>{{7, 30}, {7, 40}}));
  EXPECT_EQ(f.surface.Calls()[9].points, (std::vector<Point>{{8, 9}, {12, 9}}));
  EXPECT_EQ(f.surface.Calls()[4].points[2], (Point{100, 50}));
}

TEST(Canvas2D, FillRectangleUsesTheBrushWithoutOutline) {
  Fixture f;
  f.Begin(false);
  f.canvas.SetBrushColor(clRed);
  f.canvas.EraseRect({3, 4, 5, 6});
  auto fills = f.surface.Only("FillRect");
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(fills[0].points[1], (Point{5, 6}));
}

TEST(Canvas2D, ResetDrawingStateIsTheNeutralState) {
  Fixture f;
  f.Begin(false);
  f.canvas.SetPen({0x123456, 5, PenStyle::Dash, platform::PenMode::Copy});
  f.canvas.SetBrush({0x654321, BrushStyle::Cross, {}});
  f.canvas.Font().SetColor(clRed);
  f.canvas.ResetDrawingState();
  EXPECT_EQ(f.canvas.Pen().color, 0u);
  EXPECT_EQ(f.canvas.Pen().width, 1);
  EXPECT_EQ(f.canvas.Pen().style, PenStyle::Solid);
  EXPECT_EQ(f.canvas.Brush().color, 0xFFFFFFu);
  EXPECT_EQ(f.canvas.Brush().style, BrushStyle::Solid);
  EXPECT_EQ(f.canvas.Font().Color(), clBlack);
  EXPECT_EQ(f.canvas.Font().Size(), 10);
  EXPECT_EQ(f.surface.GetFont().height, -13) << "the font reaches the surface";
  EXPECT_EQ(f.canvas.CurrentBackColor(), clWhite);
  EXPECT_EQ(f.canvas.CurrentBackMode(), platform::BackMode::Transparent);
}

TEST(Canvas2D, SelectChartPen) {
  Fixture f;
  f.Begin(false);
  f.canvas.SetPen({0x0000FF, 3, PenStyle::Solid, platform::PenMode::Copy});
  TChartHiddenPen hidden;
  hidden.SetColor(clLime);
  f.canvas.SelectChartPen(hidden);
  EXPECT_EQ(f.canvas.Pen().style, PenStyle::Clear);
  EXPECT_EQ(f.canvas.Pen().color, 0x0000FFu) << "an invisible pen changes only the style";
  EXPECT_EQ(f.canvas.Pen().width, 3);

  TChartPen dots;
  dots.SetSmallDots(true);
  dots.SetColor(clBtnShadow);
  f.canvas.SelectChartPen(dots);
  EXPECT_EQ(f.canvas.Pen().style, PenStyle::Alternate);
  EXPECT_EQ(f.canvas.Pen().color, ColorToRGB(clBtnShadow));
  dots.SetWidth(2);
  f.canvas.SelectChartPen(dots);
  EXPECT_EQ(f.canvas.Pen().style, PenStyle::Solid) << "small dots need a width of 1";

  TDottedGrayPen gray;
  gray.SetMode(TPenMode::pmNotXor);
  f.canvas.SelectChartPen(gray);
  EXPECT_EQ(f.canvas.Pen(), (platform::Pen{0x808080, 1, PenStyle::Dot, platform::PenMode::NotXor}));
}

TEST(Canvas2D, OutputTextUsesTheFontColour) {
  Fixture f;
  f.Begin(false);
  f.canvas.Font().SetColor(clBlue);
  f.canvas.OutputText(5, 6, "abc");
  auto texts = f.surface.Only("TextOut");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].color, 0xFF0000u);
  EXPECT_EQ(texts[0].text, "abc");
  // The recording surface's text model: 11-pixel characters advance 6 and stand 12 high.
  EXPECT_EQ(f.canvas.TextWidthOf("abcd"), 24);
  EXPECT_EQ(f.canvas.TextLineHeight(), 12);
}

TEST(Canvas2D, PictureTakesBrushAndFontColours) {
  Fixture f;
  f.Begin(false);
  platform::Image empty;
  f.canvas.DrawPicture(1, 2, empty);
  f.canvas.StretchPicture({0, 0, 10, 10}, empty);
  EXPECT_TRUE(f.surface.Calls().empty());
  platform::Image one{1, 1, {0xFF000000}};
  f.canvas.SetBrushColor(clYellow);
  f.canvas.Font().SetColor(clTeal);
  f.canvas.DrawPicture(1, 2, one);
  auto draws = f.surface.Only("DrawImage");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].points[0], (Point{1, 2}));
  // Monochrome pictures take these two colours.
  EXPECT_EQ(f.surface.GetBackColor(), ColorToRGB(clYellow));
  EXPECT_EQ(f.surface.GetTextColor(), ColorToRGB(clTeal));
}

TEST(Canvas2D, BevelDrawsWidthFramesInward) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawBevel({10, 10, 50, 40}, clWhite, clGray, 2);
  auto lines = f.surface.Only("Polyline");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{10, 39}, {10, 10}, {49, 10}}));
  EXPECT_EQ(lines[0].pen.color, 0xFFFFFFu);
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{49, 10}, {49, 39}, {9, 39}}));
  EXPECT_EQ(lines[1].pen.color, 0x808080u);
  EXPECT_EQ(lines[2].points, (std::vector<Point>{{11, 38}, {11, 11}, {48, 11}}));
  EXPECT_EQ(lines[3].pen.width, 1);
}

TEST(Canvas2D, ClipToRectAndRemoveClip) {
  Fixture f;
  f.Begin(false);
  f.canvas.ClipToRect({1, 2, 3, 4});
  f.canvas.RemoveClip();
  ASSERT_EQ(f.surface.Calls().size(), 2u);
  EXPECT_EQ(f.surface.Calls()[0].op, "ClipRect");
  EXPECT_EQ(f.surface.Calls()[1].op, "RemoveClip");
}

// ---- gradients ------------------------------------------------------------------------------

struct Band {
  Rect rect;
  Rgb color;
};

std::vector<Band> Fills(const LogSurface& s) {
  std::vector<Band> out;
  for (const Call& c : s.Calls()) {
    if (c.op == "PatternFill") {
      out.push_back({{c.points[0].x, c.points[0].y, c.points[1].x, c.points[1].y}, c.brush.color});
    }
  }
  return out;
}

// Paints the fills into a grid (later fills win) to check coverage and colours.
std::vector<Rgb> Paint(const std::vector<Band>& fills, const Rect& r, Rgb background) {
  std::vector<Rgb> px(size_t(r.Width() * r.Height()), background);
  for (const Band& b : fills) {
    for (int y = std::max(b.rect.top, r.top); y < std::min(b.rect.bottom, r.bottom); ++y) {
      for (int x = std::max(b.rect.left, r.left); x < std::min(b.rect.right, r.right); ++x) {
        px[size_t((y - r.top) * r.Width() + (x - r.left))] = b.color;
      }
    }
  }
  return px;
}

TEST(CanvasGradient, ThousandPixelsHighGives256BandsFromTheBottom) {
  Fixture f(100, 1000);
  f.Begin(false);
  f.canvas.SetBrush({0x123456, BrushStyle::Cross, {}});
  const int before = f.surface.BrushSelections();
  f.canvas.FillGradient({0, 0, 50, 1000}, clBlack, clWhite, TGradientDirection::gdTopBottom);
  auto bands = Fills(f.surface);
  ASSERT_EQ(bands.size(), 256u);
  EXPECT_EQ(bands[0].color, 0x000000u);
  EXPECT_EQ(bands[0].rect, (Rect{0, 996, 50, 1000})) << "band 0 lies at the bottom";
  EXPECT_EQ(bands[255].color, 0xFFFFFFu);
  EXPECT_EQ(bands[255].rect.top, 0);
  for (size_t i = 1; i < bands.size(); ++i) {
    EXPECT_EQ(bands[i].rect.bottom, bands[i - 1].rect.top) << i;
    EXPECT_GE(bands[i].rect.Height(), 3);
    EXPECT_LE(bands[i].rect.Height(), 5);
  }
  // Step i of 255: 128 * 255 / 255.
  EXPECT_EQ(bands[128].color, 0x808080u);
  EXPECT_EQ(f.surface.BrushSelections() - before, 256 + 1) << "one per colour, one to restore";
  EXPECT_EQ(f.canvas.Brush().style, BrushStyle::Cross) << "the brush comes back";
}

TEST(CanvasGradient, SelectsABrushOnlyWhenTheColourChanges) {
  Fixture f;
  f.Begin(false);
  const int before = f.surface.BrushSelections();
  f.canvas.FillGradient({0, 0, 10, 300}, 0x000000, 0x000002, TGradientDirection::gdTopBottom);
  EXPECT_EQ(Fills(f.surface).size(), 256u);
  EXPECT_EQ(f.surface.BrushSelections() - before, 3 + 1);
}

TEST(CanvasGradient, BottomTopWithSwappedColoursPaintsTheSamePicture) {
  Fixture a, b;
  a.Begin(false);
  b.Begin(false);
  a.canvas.FillGradient({5, 7, 80, 60}, clRed, clBlue, TGradientDirection::gdTopBottom);
  b.canvas.FillGradient({5, 7, 80, 60}, clBlue, clRed, TGradientDirection::gdBottomTop);
  auto fa = Fills(a.surface), fb = Fills(b.surface);
  ASSERT_EQ(fa.size(), 53u) << "fewer rows than 256: one band per row";
  ASSERT_EQ(fa.size(), fb.size());
  for (size_t i = 0; i < fa.size(); ++i) {
    EXPECT_EQ(fa[i].rect, fb[i].rect);
    EXPECT_EQ(fa[i].color, fb[i].color);
  }
  EXPECT_EQ(fa.front().color, ColorToRGB(clRed));
  EXPECT_EQ(fa.front().rect, (Rect{5, 59, 80, 60}));
  EXPECT_EQ(fa.back().color, ColorToRGB(clBlue));
}

TEST(CanvasGradient, LeftRightStartsAtTheRightEdge) {
  Fixture f;
  f.Begin(false);
  f.canvas.FillGradient({80, 0, 0, 10}, clWhite, clBlack, TGradientDirection::gdLeftRight);
  auto bands = Fills(f.surface);
  ASSERT_EQ(bands.size(), 80u);
  EXPECT_EQ(bands[0].rect, (Rect{79, 0, 80, 10})) << "normalised, band 0 at the right";
  EXPECT_EQ(bands[0].color, 0xFFFFFFu);
  EXPECT_EQ(bands[79].rect, (Rect{0, 0, 1, 10}));
  EXPECT_EQ(bands[79].color, 0u);
  // gdRightLeft exchanges the colours.
  Fixture g;
  g.Begin(false);
  g.canvas.FillGradient({0, 0, 80, 10}, clWhite, clBlack, TGradientDirection::gdRightLeft);
  EXPECT_EQ(Fills(g.surface)[0].color, 0u);
}

TEST(CanvasGradient, FromCenterRingsCoverEverythingFromAToB) {
  Fixture f;
  f.Begin(false);
  const Rect r{10, 20, 30, 32};  // 20 x 12
  f.canvas.FillGradient(r, clBlack, clWhite, TGradientDirection::gdFromCenter);
  auto fills = Fills(f.surface);
  // The colours were exchanged: the outermost ring has colour A of the exchanged pair.
  EXPECT_EQ(fills[0].color, 0xFFFFFFu);
  EXPECT_EQ(fills[0].rect, (Rect{10, 20, 30, 21}));
  const Rgb unpainted = 0x123456;
  auto px = Paint(fills, r, unpainted);
  EXPECT_EQ(std::count(px.begin(), px.end(), unpainted), 0);
  for (const Band& b : fills) {
    EXPECT_GE(b.rect.left, r.left);
    EXPECT_LE(b.rect.right, r.right);
    EXPECT_GE(b.rect.top, r.top);
    EXPECT_LE(b.rect.bottom, r.bottom);
  }
  // Darker towards the middle, step (a + b) of 16.
  // The middle pixel is last painted by ring (6, 9): step 15 of 16.
  EXPECT_EQ(px[6 * 20 + 10] & 0xFF, uint32_t(255 - std::round(15 * 255.0 / 16)));
}

TEST(CanvasGradient, DiagonalSweepsStartAtTheirCorner) {
  for (auto dir : {TGradientDirection::gdFromTopLeft, TGradientDirection::gdFromBottomLeft}) {
    Fixture f;
    f.Begin(false);
    const Rect r{0, 0, 30, 10};
    f.canvas.FillGradient(r, clBlack, clWhite, dir);
    auto fills = Fills(f.surface);
    const Rgb unpainted = 0x123456;
    auto px = Paint(fills, r, unpainted);
    EXPECT_EQ(std::count(px.begin(), px.end(), unpainted), 0);
    const bool top = dir == TGradientDirection::gdFromTopLeft;
    // Colours exchanged: the corner is white, the far corner nearly black.
    Rgb corner = px[size_t((top ? 0 : 9) * 30)];
    Rgb far = px[size_t((top ? 9 : 0) * 30 + 29)];
    EXPECT_EQ(corner, 0xFFFFFFu);
    EXPECT_LT(far & 0xFF, 0x20u);
    for (const Band& b : fills) {
      EXPECT_GE(b.rect.top, 0);
      EXPECT_LE(b.rect.bottom, 10);
      EXPECT_LE(b.rect.right, 30);
    }
  }
}

TEST(CanvasGradient, EmptyRectanglesDrawNothing) {
  Fixture f;
  f.Begin(false);
  for (int d = 0; d < 7; ++d) {
    f.canvas.FillGradient({5, 5, 5, 5}, clBlack, clWhite, TGradientDirection(d));
  }
  EXPECT_TRUE(Fills(f.surface).empty());
}

// ---- boxes and other solids -----------------------------------------------------------------

// Which faces DrawBox drew, by the X and Y they share.
struct BoxFaces {
  bool right = false, left = false, top = false;
  int polygons = 0;
};

BoxFaces DrawBoxIn(Fixture& f) {
  f.surface.ClearOps();
  f.canvas.SetBrush({0xC0C0C0, BrushStyle::Solid, {}});
  f.canvas.DrawBox(150, 250, 100, 200, 0, 40, true);
  BoxFaces faces;
  auto polys = f.surface.Only("Polygon");
  faces.polygons = int(polys.size());
  for (size_t i = 1; i < polys.size(); ++i) {
    if (polys[i].brush.color == 0x404040) {
      Point front = f.canvas.ProjectXY(250, 200, 0);
      faces.right = std::count(polys[i].points.begin(), polys[i].points.end(), front) > 0;
      faces.left = !faces.right;
    }
    if (polys[i].brush.color == 0x808080) faces.top = true;
  }
  return faces;
}

TEST(CanvasBox, FaceSelectionFollowsTheView) {
  {
    Fixture f;  // orthogonal: depth goes right and up
    f.Begin();
    BoxFaces b = DrawBoxIn(f);
    EXPECT_EQ(b.polygons, 3);
    EXPECT_TRUE(b.right);
    EXPECT_TRUE(b.top);
  }
  {
    Fixture f;
    f.Rotated(345, 345);
    f.Begin();
    BoxFaces b = DrawBoxIn(f);
    EXPECT_TRUE(b.right);
    EXPECT_TRUE(b.top);
  }
  {
    Fixture f;
    f.Rotated(345, 15);  // turned the other way: the left side shows
    f.Begin();
    BoxFaces b = DrawBoxIn(f);
    EXPECT_TRUE(b.left);
    EXPECT_FALSE(b.right);
    EXPECT_TRUE(b.top);
  }
  {
    Fixture f;
    f.Rotated(15, 345);  // seen from below: no top
    f.Begin();
    BoxFaces b = DrawBoxIn(f);
    EXPECT_TRUE(b.right);
    EXPECT_FALSE(b.top);
    EXPECT_EQ(b.polygons, 2);
  }
  {
    Fixture f;
    f.Rotated(0, 0);  // straight on: the front only
    f.Begin();
    EXPECT_EQ(DrawBoxIn(f).polygons, 1);
  }
}

TEST(CanvasBox, FrontFaceAndDarkeningOfHatchedBrushes) {
  Fixture f;
  f.Begin();
  f.canvas.SetBrush({0x0000FF, BrushStyle::Cross, {}});
  f.canvas.ChangeBackColor(0xC8C8C8);
  f.canvas.DrawBox(10, 20, 30, 40, 5, 15, true);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 3u);
  EXPECT_EQ(polys[0].points, (std::vector<Point>{{15, 25}, {25, 25}, {25, 35}, {15, 35}}));
  for (const Call& c : polys) EXPECT_EQ(c.brush.color, 0x0000FFu) << "hatch colour kept";
  EXPECT_EQ(f.canvas.CurrentBackColor(), 0xC8C8C8u) << "face colour restored";
}

// The faces of a ribbon's pixel column drawn together are the faces drawn one by one, in
// every view: the same polygons with the same corners. (Together, each height is projected
// once and in doubles, which must round as the plain projection does; heights far out go
// another way, and corners beyond the surface's reach are clipped.)
TEST(CanvasUprightPlanes, TheFacesDrawnOneByOne) {
  struct View {
    int32_t elevation, rotation, tilt, perspective, zoom;
    bool orthogonal;
  };
  const View views[] = {{357, 320, 0, 34, 100, false},  {345, 345, 0, 15, 100, false},
                        {300, 20, 10, 100, 250, false}, {10, 200, 0, 1, 33, false},
                        {271, 89, 45, 100, 100, false}, {0, 0, 0, 0, 100, false},
                        {345, 345, 0, 15, 100, true}};
  uint64_t seed = 1;
  auto random = [&](int64_t n) {  // 0 .. n-1
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return int64_t((seed >> 33) % uint64_t(n));
  };
  for (const View& view : views) {
    for (int round = 0; round < 16; ++round) {
      // A walk of heights, now and then a leap (far out on the last rounds).
      std::vector<std::pair<int32_t, int32_t>> faces;
      const int64_t leap = round < 12 ? 400 : 400000000;
      int32_t y = int32_t(random(300));
      for (int k = 0; k < 400; ++k) {
        const int32_t next =
            int32_t(random(10) == 0 ? random(2 * leap) - leap : y + random(41) - 20);
        if (next != y) faces.push_back({y, next});
        y = next;
      }
      const int32_t x = int32_t(random(400)) - 50, z0 = int32_t(random(20)), z1 = z0 + 20;
      Fixture together, alone;
      for (Fixture* f : {&together, &alone}) {
        f->Rotated(view.elevation, view.rotation, view.tilt, view.perspective);
        f->options.SetOrthogonal(view.orthogonal);
        f->options.SetZoom(view.zoom);
        f->Begin();
      }
      together.canvas.DrawUprightPlanes(x, faces, z0, z1);
      for (const auto& [from, to] : faces)
        alone.canvas.DrawPlaneAtZRange({x, to}, {x, from}, z0, z1);
      const std::vector<Call> a = together.surface.Only("Polygon");
      const std::vector<Call> b = alone.surface.Only("Polygon");
      ASSERT_EQ(a.size(), b.size()) << "view " << view.elevation << "/" << view.rotation;
      for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i].points, b[i].points) << "view " << view.elevation << "/" << view.rotation
                                            << ", round " << round << ", face " << i;
    }
  }
}

TEST(CanvasPyramid, FacesOfUprightAndInvertedPyramids) {
  Fixture f;
  f.Begin();
  f.canvas.SetBrush({0xC0C0C0, BrushStyle::Solid, {}});
  f.canvas.DrawPyramid(true, 100, 100, 140, 160, 0, 20, true);
  auto polys = f.surface.Only("Polygon");
  // Front, left (C above T is false in this view: apex projects above the back corner?).
  ASSERT_GE(polys.size(), 2u);
  EXPECT_EQ(polys[0].points.size(), 3u);
  EXPECT_EQ(polys[0].brush.color, 0xC0C0C0u);
  EXPECT_EQ(polys[0].points[1], f.canvas.ProjectXY(120, 100, 10)) << "apex";
  for (const Call& c : polys) EXPECT_EQ(c.points.size(), 3u) << "no base above the apex";

  f.surface.ClearOps();
  f.canvas.DrawPyramid(true, 100, 160, 140, 100, 0, 20, true);  // apex below
  polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 3u);
  EXPECT_EQ(polys[2].points.size(), 4u) << "the base";
  EXPECT_EQ(polys[2].brush.color, 0x808080u);
  EXPECT_EQ(polys[1].brush.color, 0x404040u);

  f.surface.ClearOps();
  f.canvas.DrawCone(false, 100, 100, 160, 140, 0, 20);
  polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(polys[1].brush.color, 0x808080u);
  EXPECT_EQ(polys[0].points[2], f.canvas.ProjectXY(160, 120, 10));
}

TEST(CanvasEllipseAtZ, TwoDOrthogonalAndRotated) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawEllipseAtZ(10, 20, 30, 40, 7);
  EXPECT_EQ(f.surface.Only("Ellipse")[0].points, (std::vector<Point>{{10, 20}, {31, 41}}));

  Fixture o;
  o.Begin();
  o.canvas.DrawEllipseAtZ(10, 20, 30, 40, 7);
  EXPECT_EQ(o.surface.Only("Ellipse")[0].points, (std::vector<Point>{{17, 13}, {37, 33}}));

  Fixture r;
  r.Rotated(0, 0);
  r.Begin();
  r.canvas.SetPen({0, 2, PenStyle::Dash, platform::PenMode::Copy});
  r.canvas.DrawEllipseAtZ(100, 100, 140, 120, 0);
  auto tris = r.surface.Only("Polygon");
  ASSERT_EQ(tris.size(), 31u);
  for (const Call& c : tris) EXPECT_EQ(c.pen.style, PenStyle::Clear);
  EXPECT_EQ(tris[0].points[0], (Point{120, 110}));
  auto outline = r.surface.Only("Polyline");
  ASSERT_EQ(outline.size(), 1u);
  ASSERT_EQ(outline[0].points.size(), 32u);
  EXPECT_EQ(outline[0].points[0], (Point{120, 120})) << "point 0 is the bottom";
  EXPECT_EQ(outline[0].points[5], (Point{140, 110}));
  EXPECT_EQ(outline[0].points[20], outline[0].points[0]);
  EXPECT_EQ(outline[0].pen.style, PenStyle::Dash);

  r.surface.ClearOps();
  r.canvas.SetBrushStyle(TBrushStyle::bsClear);
  r.canvas.SetPenStyle(TPenStyle::psClear);
  r.canvas.DrawEllipseAtZ(100, 100, 140, 120, 0);
  EXPECT_TRUE(r.surface.Calls().empty());
}

TEST(CanvasSphere, IsAnEllipseOfTheRoundedRadius) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawSphere(50, 60, 0, 9.5);  // 9.5 rounds to 10 (halves to even)
  EXPECT_EQ(f.surface.Only("Ellipse")[0].points, (std::vector<Point>{{40, 50}, {61, 71}}));
}

TEST(CanvasArrow, FilledAndOpenHeads) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawArrow(true, {10, 50}, {110, 50}, 20, 16, 0);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_EQ(
      polys[0].points,
      (std::vector<Point>{{10, 54}, {90, 54}, {90, 58}, {110, 50}, {90, 42}, {90, 46}, {10, 46}}));
  f.surface.ClearOps();
  f.canvas.DrawArrow(false, {0, 0}, {0, 5}, 20, 10, 0);  // head longer than the arrow
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{0, 0}, {0, 5}}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{0, 5}, {-5, 0}}));
  EXPECT_EQ(lines[2].points, (std::vector<Point>{{0, 5}, {5, 0}}));
  f.surface.ClearOps();
  f.canvas.DrawArrow(true, {3, 3}, {3, 3}, 5, 5, 0);
  EXPECT_TRUE(f.surface.Calls().empty());
}

TEST(CanvasClipBox, TwoDShrinksThreeSides) {
  Fixture f;
  f.Begin(false);
  f.canvas.ClipBox({10, 20, 110, 120}, 0, 30);
  auto clips = f.surface.Only("ClipRect");
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].points, (std::vector<Point>{{11, 21}, {110, 119}}));
}

TEST(CanvasClipBox, ThreeDReplacesTheClipWithTheBoxOutline) {
  Fixture f;
  f.Begin();
  f.canvas.ClipBox({100, 100, 200, 200}, 0, 30);
  ASSERT_EQ(f.surface.Calls().size(), 2u);
  EXPECT_EQ(f.surface.Calls()[0].op, "RemoveClip");
  EXPECT_EQ(f.surface.Calls()[1].op, "ClipPolygon");
  EXPECT_EQ(
      f.surface.Calls()[1].points,
      (std::vector<Point>{{100, 200}, {100, 100}, {130, 70}, {230, 70}, {230, 170}, {200, 200}}));
  // Seen from straight above: a rectangle between two projected corners.
  Fixture a;
  a.Rotated(270, 360);
  a.Begin();
  a.canvas.ClipBox({100, 100, 200, 200}, 0, 30);
  EXPECT_EQ(a.surface.Only("ClipRect").size(), 1u);
}

TEST(CanvasPlanesAndQuads, CornersInTheirOrder) {
  Fixture f;
  f.Begin();
  f.canvas.DrawPlaneAtZRange({0, 0}, {10, 5}, 0, 3);
  f.canvas.DrawHorizontalPlane(0, 10, 7, 1, 2);
  f.canvas.DrawVerticalPlane(4, 0, 10, 1, 2);
  f.canvas.DrawRectAtZ({0, 0, 10, 10}, 2);
  Point quad[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  f.canvas.DrawQuadAtZ0Z1(quad, 0, 5);
  f.canvas.DrawPolygonAtZ(quad, 3, 100);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 6u);
  EXPECT_EQ(polys[0].points, (std::vector<Point>{{0, 0}, {10, 5}, {13, 2}, {3, -3}}));
  EXPECT_EQ(polys[1].points, (std::vector<Point>{{1, 6}, {11, 6}, {12, 5}, {2, 5}}));
  EXPECT_EQ(polys[2].points, (std::vector<Point>{{5, -1}, {5, 9}, {6, 8}, {6, -2}}));
  EXPECT_EQ(polys[3].points, (std::vector<Point>{{2, -2}, {12, -2}, {12, 8}, {2, 8}}));
  EXPECT_EQ(polys[4].points, (std::vector<Point>{{0, 0}, {1, 0}, {6, -4}, {5, -4}}));
  EXPECT_EQ(polys[5].points, (std::vector<Point>{{0, 0}, {1, 0}, {1, 1}, {0, 1}}))
      << "DrawPolygonAtZ does not apply Z";
}

TEST(CanvasTriangles, Triangle3DTakesTheColourUnlessClear) {
  Fixture f;
  f.Begin();
  f.canvas.DrawTriangle3D({0, 0, 0}, {10, 0, 0}, {0, 10, 10}, clRed);
  f.canvas.SetBrushStyle(TBrushStyle::bsClear);
  f.canvas.DrawTriangle3D({0, 0, 0}, {10, 0, 0}, {0, 10, 10}, clLime);
  f.canvas.DrawTriangleAtZ({0, 0}, {4, 0}, {0, 4}, 2);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 3u);
  EXPECT_EQ(polys[0].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(polys[0].points[2], (Point{10, 0}));
  EXPECT_EQ(polys[1].brush.color, ColorToRGB(clRed));
  EXPECT_EQ(polys[2].points, (std::vector<Point>{{2, -2}, {6, -2}, {2, 2}}));
}

TEST(CanvasLines, ThreeDLinesProjectBothEnds) {
  Fixture f;
  f.Begin();
  f.canvas.HorizontalLineAtZ(0, 10, 5, 2);
  f.canvas.VerticalLineAtZ(3, 0, 10, 2);
  f.canvas.DepthLine(3, 4, 0, 10);
  f.canvas.DrawLineAtZ(1, 2, 3, 4, 1);
  f.canvas.MoveToXYZ(0, 0, 1);
  f.canvas.LineToXYZ(5, 5, 1);
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{2, 3}, {12, 3}}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{5, -2}, {5, 8}}));
  EXPECT_EQ(lines[2].points, (std::vector<Point>{{3, 4}, {13, -6}}));
  EXPECT_EQ(lines[3].points, (std::vector<Point>{{2, 1}, {4, 3}}));
  EXPECT_EQ(lines[4].points, (std::vector<Point>{{1, -1}, {6, 4}}));
}

TEST(CanvasPixels, PutPixelAtZ) {
  Fixture f;
  f.Begin();
  f.canvas.PutPixelAtZ(5, 5, 3, clRed);
  auto px = f.surface.Only("SetPixel");
  ASSERT_EQ(px.size(), 1u);
  EXPECT_EQ(px[0].points[0], (Point{8, 2}));
  EXPECT_EQ(px[0].color, 0x0000FFu);
  f.canvas.SetPenWidth(3);
  f.canvas.PutPixelAtZ(5, 5, 3, clRed);
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{8, 2}, {8, 2}}));
}

TEST(CanvasSolids, CylinderShowsOnlyTheCapFacingTheViewer) {
  Fixture f;
  f.Begin();
  f.canvas.SetBrush({0xC0C0C0, BrushStyle::Solid, {}});
  f.canvas.DrawCylinder(true, 100, 100, 140, 200, 0, 40, true);
  auto polys = f.surface.Only("Polygon");
  // The visible half of the 32 side strips, then the top cap (drawn last: nearest).
  int caps = 0;
  for (const Call& c : polys) {
    if (c.points.size() == 32) {
      ++caps;
      EXPECT_EQ(c.brush.color, 0x808080u);
      // The top cap lies at Y = 100 around the middle depth.
      EXPECT_EQ(c.points[0], f.canvas.ProjectXY(140, 100, 20));
    }
  }
  EXPECT_EQ(caps, 1);
  EXPECT_EQ(polys.back().points.size(), 32u);
  EXPECT_GE(polys.size(), 14u);
  EXPECT_LE(polys.size(), 18u);
  EXPECT_EQ(f.canvas.Brush().color, 0xC0C0C0u);

  // Seen from below (elevation 15): the bottom cap instead.
  Fixture b;
  b.Rotated(15, 345);
  b.Begin();
  b.canvas.SetBrush({0xC0C0C0, BrushStyle::Solid, {}});
  b.canvas.DrawCylinder(true, 100, 100, 140, 200, 0, 40, false);
  int bottom = 0;
  for (const Call& c : b.surface.Only("Polygon")) {
    if (c.points.size() == 32) {
      ++bottom;
      EXPECT_EQ(c.points[0], b.canvas.ProjectXY(140, 200, 20));
    }
  }
  EXPECT_EQ(bottom, 1);
}

TEST(CanvasSolids, PieSliceLiesFlatAndShowsItsTopAndFrontRim) {
  Fixture f;
  f.Rotated(315, 360);
  f.Begin(true, {100, 50, 300, 250}, 40);
  f.canvas.SetBrush({0x00C000, BrushStyle::Solid, {}});
  // A quarter at the front (angles 180 to 270 degrees: left to near).
  f.canvas.DrawPie3D(200, 150, 80, 60, 0, 40, M_PI, 1.5 * M_PI, true, true);
  auto polys = f.surface.Only("Polygon");
  // A quarter turn is 16 of the 64 steps of a full circle: the centre and 17 rim points.
  int tops = 0, rims = 0;
  for (const Call& c : polys) {
    if (c.points.size() == 18) {
      ++tops;
      EXPECT_EQ(c.brush.color, 0x00C000u);
      // Top at 150 - 20, centre at the middle depth.
      EXPECT_EQ(c.points[0], f.canvas.ProjectXY(200, 130, 20));
      EXPECT_EQ(c.points[1], f.canvas.ProjectXY(120, 130, 20));
    } else {
      EXPECT_EQ(c.brush.color, 0x008000u) << "rim and cuts darkened by 64";
      rims += c.points.size() == 4;
    }
  }
  EXPECT_EQ(tops, 1) << "the underside is hidden";
  // The rim step at 180 degrees faces exactly sideways and is edge-on.
  EXPECT_EQ(rims, 15) << "the front rim shows; the cuts face away";
  EXPECT_EQ(f.canvas.Brush().color, 0x00C000u);

  // A back quarter shows its front cut instead of its rim (the other cut is edge-on).
  f.surface.ClearOps();
  f.canvas.DrawPie3D(200, 150, 80, 60, 0, 40, 0, 0.5 * M_PI, true, true);
  polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(polys[0].points.size() + polys[1].points.size(), 18u + 4u);

  // A full pie has no cut faces and no centre point.
  f.surface.ClearOps();
  f.canvas.DrawPie3D(200, 150, 80, 80, 0, 20, 0, 7.0, false, true);
  polys = f.surface.Only("Polygon");
  EXPECT_EQ(std::count_if(polys.begin(), polys.end(),
                          [](const Call& c) { return c.points.size() == 64; }),
            1);

  // Seen from straight above it is the flat slice.
  Fixture a;
  a.Rotated(270, 360);
  a.Begin(true, {100, 50, 300, 250}, 40);
  a.canvas.DrawPie3D(200, 150, 80, 60, 0, 40, 0, 0.5 * M_PI, false, false);
  auto top = a.surface.Only("Polygon");
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].points[0], (Point{200, 150}));
  EXPECT_EQ(top[0].points[1], (Point{280, 150}));
  EXPECT_EQ(top[0].points.back(), (Point{200, 90}));

  // In 2D the flat slice directly.
  Fixture g;
  g.Begin(false);
  g.canvas.DrawPie3D(200, 150, 80, 60, 0, 40, 0, 0.5 * M_PI, true, true);
  auto flat = g.surface.Only("Polygon");
  ASSERT_EQ(flat.size(), 1u);
  EXPECT_EQ(flat[0].points.back(), (Point{200, 90}));
}

// ---- text -----------------------------------------------------------------------------------

TEST(CanvasText, RotatedTextUsesTenthsOfADegree) {
  Fixture f;
  f.Begin(false);
  f.canvas.SetBrushStyle(TBrushStyle::bsSolid);
  f.canvas.DrawRotatedText(10, 20, 90, "up");
  f.canvas.DrawRotatedText(10, 20, 400, "wrapped");
  f.canvas.DrawRotatedText(10, 20, INT32_MAX, "huge");
  auto texts = f.surface.Only("TextOut");
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0].font.escapement, 900);
  EXPECT_EQ(texts[0].font.orientation, 900);
  EXPECT_EQ(f.canvas.Brush().style, BrushStyle::Clear);
  EXPECT_EQ(texts[1].font.escapement, 400);
  EXPECT_GT(texts[2].font.escapement, -3600);
  EXPECT_LT(texts[2].font.escapement, 3600);
  EXPECT_EQ(f.surface.GetFont().escapement, 0) << "the temporary font is gone";
}

TEST(CanvasText, ZoomScalesTextAtDepth) {
  Fixture f;
  f.options.SetZoom(200);
  f.Begin();
  f.canvas.DrawTextAtZ(200, 150, "x", 0);
  f.canvas.DrawRotatedTextAtZ(200, 150, 0, "y", 45);
  auto texts = f.surface.Only("TextOut");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].font.height, -21) << "8 points at 200 % is 16 points";
  EXPECT_EQ(texts[1].font.height, -21);
  EXPECT_EQ(texts[1].font.escapement, 450);
  EXPECT_EQ(f.surface.GetFont().height, -11);

  f.options.SetZoomText(false);
  f.Begin();
  f.surface.ClearOps();
  f.canvas.DrawTextAtZ(200, 150, "x", 10);
  texts = f.surface.Only("TextOut");
  EXPECT_EQ(texts[0].font.height, -11);
  EXPECT_EQ(texts[0].points[0], (Point{220, 130}));
}

// ---- back buffer ----------------------------------------------------------------------------

TEST(CanvasBackBuffer, FrameDrawsIntoAMemorySurfaceAndPresentsIt) {
  LogSurface window;
  TView3DOptions options;
  TZidCanvas3D canvas;
  canvas.SetSurface(&window);
  EXPECT_TRUE(canvas.UsesBuffer());
  EXPECT_TRUE(canvas.IsDirty());
  EXPECT_FALSE(canvas.RepaintFromBuffer());

  Rect r = canvas.BeginFrame(window, &options, {10, 20, 110, 70}, true);
  EXPECT_EQ(r, (Rect{0, 0, 100, 50}));
  EXPECT_EQ(window.created, 1);
  auto* buffer = dynamic_cast<LogSurface*>(canvas.BackBuffer());
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(canvas.Surface(), buffer);
  canvas.DrawRect(0, 0, 5, 5);
  EXPECT_EQ(buffer->Only("Rectangle").size(), 1u);
  EXPECT_TRUE(window.Only("Rectangle").empty());

  canvas.PresentFrame(window, &window, {10, 20, 110, 70});
  auto copies = window.Only("CopyFrom");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].points, (std::vector<Point>{{10, 20}, {100, 50}, {0, 0}}));
  auto copyOps = window.OpsOfKind(platform::OpKind::CopyFrom);
  ASSERT_NE(copyOps[0].source, nullptr);
  EXPECT_EQ(*copyOps[0].source, buffer->Ops()) << "the buffer's drawing reached the window";
  EXPECT_FALSE(canvas.IsDirty());
  EXPECT_EQ(canvas.Surface(), &window);

  EXPECT_TRUE(canvas.RepaintFromBuffer());
  EXPECT_EQ(window.Only("CopyFrom").size(), 2u);
  canvas.MarkDirty();
  EXPECT_FALSE(canvas.RepaintFromBuffer());

  // Same size: the buffer is kept; another size: a new one.
  canvas.BeginFrame(window, &options, {0, 0, 100, 50}, true);
  EXPECT_EQ(window.created, 1);
  canvas.PresentFrame(window, nullptr, {0, 0, 100, 50});
  canvas.BeginFrame(window, &options, {0, 0, 120, 50}, true);
  EXPECT_EQ(window.created, 2);
  canvas.PresentFrame(window, nullptr, {0, 0, 120, 50});
}

TEST(CanvasBackBuffer, MonochromeAndBufferSwitches) {
  LogSurface window;
  int repaints = 0;
  TView3DOptions options([&] { ++repaints; });
  TZidCanvas3D canvas;
  canvas.SetSurface(&window);
  canvas.BeginFrame(window, &options, {0, 0, 40, 30}, true);
  canvas.PresentFrame(window, &window, {0, 0, 40, 30});
  ASSERT_NE(canvas.BackBuffer(), nullptr);

  canvas.ChangeMonochrome(true);
  EXPECT_EQ(canvas.BackBuffer(), nullptr);
  EXPECT_TRUE(canvas.IsDirty());
  EXPECT_EQ(repaints, 1);
  canvas.ChangeMonochrome(true);
  EXPECT_EQ(repaints, 1);
  canvas.BeginFrame(window, &options, {0, 0, 40, 30}, true);
  EXPECT_TRUE(dynamic_cast<LogSurface*>(canvas.BackBuffer())->monochrome);
  canvas.PresentFrame(window, &window, {0, 0, 40, 30});

  TZidCanvas3D other;
  other.Assign(canvas);
  EXPECT_TRUE(other.IsMonochrome());

  canvas.ChangeUseBuffer(false);
  EXPECT_EQ(canvas.BackBuffer(), nullptr);
  EXPECT_TRUE(canvas.IsDirty());
  Rect r = canvas.BeginFrame(window, &options, {5, 6, 45, 36}, true);
  EXPECT_EQ(r, (Rect{5, 6, 45, 36}));
  EXPECT_EQ(canvas.Surface(), &window);
  canvas.PresentFrame(window, &window, r);
  EXPECT_EQ(window.Only("CopyFrom").size(), 2u) << "only the buffered frames were copied";
}

// ---- extreme values -------------------------------------------------------------------------

bool InRange(Point p) {
  return std::abs(int64_t(p.x)) <= kMaxSurfaceCoord && std::abs(int64_t(p.y)) <= kMaxSurfaceCoord;
}

void DrawEverything(TZidCanvas3D& c) {
  const int32_t lo = INT32_MIN, hi = INT32_MAX;
  Point far[4] = {{lo, lo}, {hi, lo}, {hi, hi}, {lo, hi}};
  c.SetBrush({0xC0C0C0, BrushStyle::Solid, {}});
  c.SetPen({0, 1, PenStyle::Solid, platform::PenMode::Copy});
  c.DrawRect(lo, lo, hi, hi);
  c.DrawEllipse(lo, lo, hi, hi);
  c.DrawRoundRect(lo, lo, hi, hi, hi, lo);
  c.DrawArc(lo, lo, hi, hi, hi, 0, lo, lo);
  c.DrawPieSlice(lo, lo, hi, hi, hi, 0, lo, lo);
  c.DrawPolygon(far, 3);
  c.DrawPolyline(far, 3);
  c.DrawSegment(lo, lo, hi, hi);
  c.MoveToPoint(lo, 0);
  c.LineToPoint(hi, 0);
  c.FillRectangle({lo, lo, hi, hi});
  c.ClipToRect({lo, lo, hi, hi});
  c.DrawBevel({lo, lo, hi, hi}, clWhite, clGray, hi);
  for (int d = 0; d < 7; ++d)
    c.FillGradient({lo, lo, hi, hi}, clRed, clBlue, TGradientDirection(d));
  c.DrawBox(lo, hi, lo, hi, lo, hi, true);
  c.DrawBox(-100, 100, -100, 100, 0, 50, true);
  c.DrawPyramid(true, lo, lo, hi, hi, lo, hi, true);
  c.DrawPyramid(false, lo, hi, hi, lo, hi, lo, true);
  c.DrawCylinder(true, lo, lo, hi, hi, lo, hi, true);
  c.DrawCylinder(false, -10, -10, 10, 10, 0, 10, true);
  c.DrawPie3D(0, 0, hi, hi, lo, hi, -1e300, 1e300, true, true);
  c.DrawPie3D(0, 0, 50, 50, 0, 10, 0, 1, true, true);
  c.DrawEllipseAtZ(lo, lo, hi, hi, hi);
  c.DrawSphere(hi, lo, hi, 1e300);
  c.DrawArrow(true, {lo, lo}, {hi, hi}, hi, hi, lo);
  c.DrawArrow(false, {lo, hi}, {hi, lo}, lo, lo, hi);
  c.ClipBox({lo, lo, hi, hi}, lo, hi);
  c.HorizontalLineAtZ(lo, hi, 0, hi);
  c.VerticalLineAtZ(0, lo, hi, lo);
  c.DepthLine(hi, hi, lo, hi);
  c.DrawPlaneAtZRange({lo, lo}, {hi, hi}, lo, hi);
  c.DrawQuadAtZ0Z1(far, lo, hi);
  c.DrawRectAtZ({lo, lo, hi, hi}, hi);
  c.DrawTriangle3D({lo, lo, lo}, {hi, hi, hi}, {lo, hi, 0}, clRed);
  c.PutPixelAtZ(hi, hi, hi, clRed);
  c.MoveToXYZ(lo, lo, lo);
  c.LineToXYZ(hi, hi, hi);
  c.Font().SetSize(hi);
  c.DrawTextAtZ(hi, lo, "text", hi);
  c.DrawRotatedTextAtZ(lo, hi, lo, "text", INT32_MIN);
  c.DrawRotatedText(0, 0, INT32_MAX, "text");
  c.OutputText(hi, lo, "text");
  int32_t x = hi, y = lo;
  c.UnprojectPoint(x, y, hi);
  (void)c.ProjectXY(lo, hi, lo);
}

TEST(CanvasExtremeValues, AnyOptionsDrawWithinTheSurfaceRange) {
  const int32_t lo = INT32_MIN, hi = INT32_MAX;
  struct Case {
    bool orthogonal;
    int32_t zoom, elevation, rotation, tilt, perspective, hoff, voff;
  };
  for (Case k : {Case{true, hi, lo, lo, lo, hi, lo, hi}, Case{false, hi, lo, hi, lo, hi, hi, lo},
                 Case{false, lo, hi, lo, hi, lo, lo, lo}, Case{false, 0, 90, 90, 90, 0, 0, 0},
                 Case{true, 0, 0, 0, 0, 0, hi, hi}, Case{false, -100, 270, 270, 0, 35, 0, 0}}) {
    for (bool buffered : {false, true}) {
      LogSurface window;
      TView3DOptions options;
      options.SetOrthogonal(k.orthogonal);
      options.SetZoom(k.zoom);
      options.SetElevation(k.elevation);
      options.SetRotation(k.rotation);
      options.SetTilt(k.tilt);
      options.SetPerspective(k.perspective);
      options.SetHorizOffset(k.hoff);
      options.SetVertOffset(k.voff);
      TZidCanvas3D canvas;
      canvas.ChangeUseBuffer(buffered);
      canvas.SetSurface(&window);
      canvas.BeginFrame(window, &options, {lo, lo, hi, hi}, true);
      canvas.SetProjectionCentre(hi, {lo, lo, hi, hi}, {lo, lo, hi, hi});
      DrawEverything(canvas);
      canvas.SetProjectionCentre(lo, {lo, lo, hi, hi}, {0, 0, 400, 300});
      DrawEverything(canvas);
      LogSurface* target = buffered ? dynamic_cast<LogSurface*>(canvas.BackBuffer()) : &window;
      ASSERT_NE(target, nullptr);
      canvas.PresentFrame(window, &window, {lo, lo, hi, hi});
      size_t fills = 0;
      for (const Call& c : target->Calls()) {
        for (Point p : c.points) ASSERT_TRUE(InRange(p)) << c.op << " " << p.x << "," << p.y;
        ASSERT_LE(std::abs(c.font.height), kMaxFontPixels) << c.op;
        ASSERT_LE(c.pen.width, kMaxPenWidth);
        if (c.op == "PatternFill") ++fills;
      }
      // The pixel loops ran over the clamped rectangle, not over 2^32 pixels.
      EXPECT_LT(fills, 16u * size_t(target->Width() + target->Height()) + 2000u);
      if (buffered) {
        EXPECT_LE(target->Width(), kMaxBufferSide);
      }
    }
  }
}

TEST(CanvasExtremeValues, ClippedLinesKeepTheirSlope) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawSegment(0, 0, 2000000000, 1000000000);
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points,
            (std::vector<Point>{{0, 0}, {kMaxSurfaceCoord, kMaxSurfaceCoord / 2}}));
  // A polygon reaching far out keeps its visible edges.
  f.surface.ClearOps();
  Point tri[3] = {{0, 0}, {100, 0}, {INT32_MAX, INT32_MAX}};
  f.canvas.DrawPolygon(tri, 2);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 1u);
  const auto& pts = polys[0].points;
  auto at = std::find(pts.begin(), pts.end(), Point{0, 0});
  ASSERT_NE(at, pts.end());
  EXPECT_EQ(pts[size_t(at - pts.begin() + 1) % pts.size()], (Point{100, 0}));
  for (Point p : pts) EXPECT_TRUE(InRange(p));
  // A polyline leaving and re-entering the range is cut into visible runs.
  f.surface.ClearOps();
  Point wave[4] = {{0, 0}, {10, 0}, {INT32_MAX, 0}, {20, 5}};
  f.canvas.DrawPolyline(wave, 3);
  auto runs = f.surface.Only("Polyline");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].points, (std::vector<Point>{{0, 0}, {10, 0}, {kMaxSurfaceCoord, 0}}));
  EXPECT_EQ(runs[1].points.back(), (Point{20, 5}));
}

TEST(CanvasExtremeValues, ProjectionSaturatesAtTheSurfaceRange) {
  Fixture f;
  f.options.SetZoom(INT32_MAX);
  f.options.SetHorizOffset(INT32_MAX);
  f.options.SetVertOffset(INT32_MIN);
  f.Begin();
  EXPECT_EQ(f.canvas.ZoomFactor(), 21474836.47);
  Point p = f.canvas.ProjectXY(INT32_MAX, INT32_MIN, INT32_MAX);
  EXPECT_EQ(p, (Point{kMaxSurfaceCoord, -kMaxSurfaceCoord}));
  int32_t x = INT32_MAX, y = INT32_MIN;
  f.canvas.UnprojectPoint(x, y, INT32_MIN);
  // Within int32 and finite; the values themselves are meaningless at this zoom.
  SUCCEED();
}

}  // namespace
}  // namespace zq

// ---- pictures through the platform's memory surface -----------------------------------------

namespace zq {
namespace {

std::string OutputPath(const std::string& name) {
#ifdef ZQ_TEST_OUTPUT
  std::filesystem::path dir = ZQ_TEST_OUTPUT;
#else
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "zq_test_output";
#endif
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

Rgb PixelAt(const platform::Image& image, int32_t x, int32_t y) {
  const uint32_t p = image.At(x, y);
  return platform::MakeRgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

// One view of a few solids in a 400 x 300 picture.
platform::Image DrawSolids(TView3DOptions& options) {
  auto window = platform::CreateMemorySurface(400, 300);
  TZidCanvas3D c;
  c.SetSurface(window.get());
  Rect r = c.BeginFrame(*window, &options, {0, 0, 400, 300}, true);
  c.SetBrush({0xFFFFFF, BrushStyle::Solid, {}});
  c.SetPen({0xFFFFFF, 1, PenStyle::Solid, platform::PenMode::Copy});
  c.DrawRect(r.left, r.top, r.right, r.bottom);
  c.SetProjectionCentre(60, r, {40, 40, 360, 260});
  c.SetPen({0, 1, PenStyle::Solid, platform::PenMode::Copy});
  c.SetBrush({0x0000FF, BrushStyle::Solid, {}});
  c.DrawBox(50, 110, 120, 240, 0, 60, true);
  c.SetBrush({0x00C000, BrushStyle::Solid, {}});
  c.DrawPyramid(true, 130, 120, 190, 240, 0, 60, true);
  c.SetBrush({0xFF8000, BrushStyle::Solid, {}});
  c.DrawPyramid(true, 210, 240, 270, 120, 0, 60, true);
  c.SetBrush({0x00C0C0, BrushStyle::Solid, {}});
  c.DrawCylinder(true, 290, 120, 350, 240, 0, 60, true);
  c.SetBrush({0xC000C0, BrushStyle::Solid, {}});
  c.DrawCylinder(false, 60, 50, 180, 90, 0, 40, true);
  c.SetBrush({0x00A0FF, BrushStyle::Solid, {}});
  c.DrawEllipseAtZ(220, 50, 300, 90, 30);
  c.SetBrush({0x808080, BrushStyle::Solid, {}});
  c.DrawArrow(true, {310, 100}, {380, 40}, 16, 14, 10);
  c.PresentFrame(*window, window.get(), {0, 0, 400, 300});
  return window->Snapshot();
}

TEST(CanvasPictures, SolidsAtSeveralViews) {
  struct View {
    const char* name;
    bool orthogonal;
    int32_t elevation, rotation, perspective;
  };
  for (View v : {View{"orthogonal", true, 345, 345, 0}, View{"e345_r345", false, 345, 345, 15},
                 View{"e345_r15", false, 345, 15, 15}, View{"e15_r345", false, 15, 345, 0},
                 View{"e300_r330", false, 300, 330, 30}}) {
    TView3DOptions options;
    options.SetOrthogonal(v.orthogonal);
    options.SetElevation(v.elevation);
    options.SetRotation(v.rotation);
    options.SetPerspective(v.perspective);
    platform::Image image = DrawSolids(options);
    ASSERT_EQ(image.width, 400);
    EXPECT_TRUE(
        platform::SavePng(image, OutputPath(std::string("canvas3d_solids_") + v.name + ".png")));
    // The middle of the red box's front face is red whatever the view.
    TZidCanvas3D probe;
    LogSurface log;
    probe.SetSurface(&log);
    probe.ChangeUseBuffer(false);
    probe.BeginFrame(log, &options, {0, 0, 400, 300}, true);
    probe.SetProjectionCentre(60, {0, 0, 400, 300}, {40, 40, 360, 260});
    Point front = probe.ProjectXY(80, 200, 0);
    EXPECT_EQ(PixelAt(image, front.x, front.y), 0x0000FFu) << v.name;
    if (v.orthogonal) {
      Point top = probe.ProjectXY(80, 120, 30);
      EXPECT_EQ(PixelAt(image, top.x, top.y + 1), 0x0000BFu) << "top face darkened by 64";
      Point side = probe.ProjectXY(110, 200, 30);
      EXPECT_EQ(PixelAt(image, side.x, side.y), 0x00007Fu) << "side face darkened by 128";
    }
  }
}

TEST(CanvasPictures, SevenGradients) {
  auto window = platform::CreateMemorySurface(470, 150);
  TZidCanvas3D c;
  c.ChangeUseBuffer(false);
  c.SetSurface(window.get());
  c.BeginFrame(*window, nullptr, {0, 0, 470, 150}, false);
  for (int d = 0; d < 7; ++d) {
    Rect r{10 + d * 65, 10, 65 + d * 65, 140};
    c.FillGradient(r, clYellow, clBlue, TGradientDirection(d));
  }
  platform::Image image = window->Snapshot();
  EXPECT_TRUE(platform::SavePng(image, OutputPath("canvas3d_gradients.png")));
  // Top to bottom: colour A (yellow) at the bottom, B (blue) at the top.
  EXPECT_EQ(PixelAt(image, 30, 139), ColorToRGB(clYellow));
  EXPECT_EQ(PixelAt(image, 30, 10), ColorToRGB(clBlue));
  // Bottom to top exchanges them.
  EXPECT_EQ(PixelAt(image, 95, 139), ColorToRGB(clBlue));
  // Left to right: colour A at the right edge.
  EXPECT_EQ(PixelAt(image, 194, 70), ColorToRGB(clYellow));
  EXPECT_EQ(PixelAt(image, 140, 70), ColorToRGB(clBlue));
  // From the centre (exchanged): blue rim, nearly yellow middle.
  EXPECT_EQ(PixelAt(image, 270, 10), ColorToRGB(clBlue));
  EXPECT_GT(platform::RedOf(PixelAt(image, 297, 75)), 200);
  // Diagonals (exchanged): blue at their corner.
  EXPECT_EQ(PixelAt(image, 335, 10), ColorToRGB(clBlue));
  EXPECT_EQ(PixelAt(image, 400, 139), ColorToRGB(clBlue));
  EXPECT_EQ(PixelAt(image, 10, 5), 0xFFFFFFu) << "nothing outside the rectangles";
}

TEST(CanvasPictures, RotatedAndZoomedText) {
  auto window = platform::CreateMemorySurface(400, 300);
  TView3DOptions options;
  options.SetZoom(150);
  TZidCanvas3D c;
  c.ChangeUseBuffer(false);
  c.SetSurface(window.get());
  c.BeginFrame(*window, &options, {0, 0, 400, 300}, true);
  c.SetProjectionCentre(0, {0, 0, 400, 300}, {0, 0, 400, 300});
  c.Font().SetSize(12);
  c.Font().SetColor(clNavy);
  int32_t angle = 0;
  for (int32_t a : {0, 45, 90, 135, 180, 270, 315}) {
    angle = a;
    c.DrawRotatedText(200, 150, angle, "  angle " + std::to_string(a));
  }
  c.Font().SetSize(8);
  c.OutputText(10, 10, "plain 8 pt");
  c.DrawTextAtZ(150, 220, "zoomed 150 %", 0);
  platform::Image image = window->Snapshot();
  EXPECT_TRUE(platform::SavePng(image, OutputPath("canvas3d_text.png")));
  int navy = 0;
  for (uint32_t p : image.pixels) navy += (p & 0xFFFFFF) == 0x000080;
  EXPECT_GT(navy, 200);
}

TEST(CanvasPictures, PieSlices) {
  auto window = platform::CreateMemorySurface(400, 300);
  TView3DOptions options;
  options.SetOrthogonal(false);
  options.SetElevation(315);
  options.SetRotation(360);
  options.SetPerspective(0);
  TZidCanvas3D c;
  c.ChangeUseBuffer(false);
  c.SetSurface(window.get());
  c.BeginFrame(*window, &options, {0, 0, 400, 300}, true);
  c.SetProjectionCentre(30, {0, 0, 400, 300}, {0, 0, 400, 300});
  const double cuts[] = {0, 1.2, 2.0, 3.9, 5.0, 2 * M_PI};
  const TColor colors[] = {clRed, clGreen, clYellow, clBlue, clFuchsia};
  // Back slices first: by the angular distance of their middles from the back (90 degrees).
  std::vector<int> order = {0, 1, 2, 3, 4};
  auto fromBack = [&](int i) {
    double d = std::fmod(std::abs((cuts[i] + cuts[i + 1]) / 2 - M_PI / 2), 2 * M_PI);
    return std::min(d, 2 * M_PI - d);
  };
  std::sort(order.begin(), order.end(), [&](int a, int b) { return fromBack(a) < fromBack(b); });
  for (int i : order) {
    const double mid = (cuts[i] + cuts[i + 1]) / 2;
    const bool exploded = i == 3;
    const int32_t dx = exploded ? int32_t(std::lround(std::cos(mid) * 25)) : 0;
    const int32_t dy = exploded ? int32_t(std::lround(-std::sin(mid) * 25)) : 0;
    c.SetBrushColor(colors[i]);
    c.DrawPie3D(200 + dx, 150 + dy, 150, 100, 0, 30, cuts[i], cuts[i + 1], true, true);
  }
  platform::Image image = window->Snapshot();
  EXPECT_TRUE(platform::SavePng(image, OutputPath("canvas3d_pie.png")));
  Point inRed = c.ProjectXY(260, 135, 35);
  EXPECT_EQ(PixelAt(image, inRed.x, inRed.y), ColorToRGB(clRed));
}

TEST(CanvasPictures, ExtremeOptionsFinishOnARealSurface) {
  for (bool orthogonal : {true, false}) {
    auto window = platform::CreateMemorySurface(200, 150);
    TView3DOptions options;
    options.SetOrthogonal(orthogonal);
    options.SetZoom(INT32_MAX);
    options.SetElevation(INT32_MIN);
    options.SetRotation(INT32_MIN);
    options.SetTilt(INT32_MAX);
    options.SetPerspective(INT32_MAX);
    options.SetHorizOffset(INT32_MIN);
    TZidCanvas3D c;
    c.SetSurface(window.get());
    c.BeginFrame(*window, &options, {0, 0, 200, 150}, true);
    c.SetProjectionCentre(INT32_MAX, {0, 0, 200, 150}, {0, 0, 200, 150});
    DrawEverything(c);
    c.PresentFrame(*window, window.get(), {0, 0, 200, 150});
    EXPECT_EQ(window->Snapshot().width, 200);
  }
}

}  // namespace
}  // namespace zq
