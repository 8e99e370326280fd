#include "engine/canvas3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/errors.h"

namespace zq {
namespace {

using platform::BrushStyle;
using platform::PenStyle;
using platform::Rgb;

// A surface that keeps every drawing call with the pen, brush and font in effect.
struct Call {
  std::string op;
  std::vector<Point> points;  // shapes: corner points; rectangles: (l, t), (r, b)
  platform::Pen pen;
  platform::Brush brush;
  platform::LogFont font;
  Rgb color = 0;  // text colour, pixel colour
  std::string text;
};

class LogSurface : public platform::Surface {
 public:
  LogSurface(int32_t w = 400, int32_t h = 300) : w_(w), h_(h) {}
  std::vector<Call> calls;
  std::vector<std::unique_ptr<LogSurface>>* children = nullptr;
  LogSurface* copiedFrom = nullptr;
  bool monochrome = false;

  int32_t Width() const override { return w_; }
  int32_t Height() const override { return h_; }
  void SetPen(const platform::Pen& p) override { pen_ = p; }
  const platform::Pen& GetPen() const override { return pen_; }
  void SetBrush(const platform::Brush& b) override {
    brush_ = b;
    ++brushSelections;
  }
  const platform::Brush& GetBrush() const override { return brush_; }
  void SetFont(const platform::LogFont& f) override { font_ = f; }
  const platform::LogFont& GetFont() const override { return font_; }
  void SetTextColor(Rgb c) override { text_ = c; }
  Rgb GetTextColor() const override { return text_; }
  void SetBackColor(Rgb c) override { back_ = c; }
  Rgb GetBackColor() const override { return back_; }
  void SetBackMode(platform::BackMode m) override { mode_ = m; }
  platform::BackMode GetBackMode() const override { return mode_; }
  void SetTextAlign(uint32_t f) override { align_ = f; }
  uint32_t GetTextAlign() const override { return align_; }
  void MoveTo(int32_t x, int32_t y) override { pos_ = {x, y}; }
  void LineTo(int32_t x, int32_t y) override {
    Add("LineTo", {pos_, {x, y}});
    pos_ = {x, y};
  }
  Point CurrentPosition() const override { return pos_; }
  void Polyline(const Point* p, int32_t n) override { Add("Polyline", {p, p + n}); }
  void Polygon(const Point* p, int32_t n) override { Add("Polygon", {p, p + n}); }
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override {
    Add("Rectangle", {{l, t}, {r, b}});
  }
  void RoundRect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) override {
    Add("RoundRect", {{l, t}, {r, b}, {w, h}});
  }
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override {
    Add("Ellipse", {{l, t}, {r, b}});
  }
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
           int32_t y2) override {
    Add("Arc", {{l, t}, {r, b}, {x1, y1}, {x2, y2}});
  }
  void Pie(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
           int32_t y2) override {
    Add("Pie", {{l, t}, {r, b}, {x1, y1}, {x2, y2}});
  }
  void FillRect(const Rect& r, const platform::Brush& b) override {
    Add("FillRect", {{r.left, r.top}, {r.right, r.bottom}});
    calls.back().brush = b;
  }
  void PatternFill(const Rect& r) override {
    Add("PatternFill", {{r.left, r.top}, {r.right, r.bottom}});
  }
  void SetPixel(int32_t x, int32_t y, Rgb c) override {
    Add("SetPixel", {{x, y}});
    calls.back().color = c;
  }
  void TextOut(int32_t x, int32_t y, std::string_view t) override {
    Add("TextOut", {{x, y}});
    calls.back().color = text_;
    calls.back().text = std::string(t);
  }
  platform::Size TextExtent(std::string_view t) override {
    return {int32_t(t.size()) * 7, -font_.height + 2};
  }
  platform::FontMetrics GetFontMetrics() override { return {10, 2, 12}; }
  void ClipRect(const Rect& r) override { Add("ClipRect", {{r.left, r.top}, {r.right, r.bottom}}); }
  void ClipPolygon(const Point* p, int32_t n) override { Add("ClipPolygon", {p, p + n}); }
  void RemoveClip() override { Add("RemoveClip", {}); }
  void DrawImage(const platform::Image&, int32_t x, int32_t y) override {
    Add("DrawImage", {{x, y}});
    calls.back().color = back_;
  }
  void StretchImage(const platform::Image&, const Rect& r) override {
    Add("StretchImage", {{r.left, r.top}, {r.right, r.bottom}});
  }
  std::unique_ptr<platform::Surface> CreateCompatible(int32_t w, int32_t h, bool mono) override {
    ++created;
    auto s = std::make_unique<LogSurface>(w, h);
    s->monochrome = mono;
    return s;
  }
  void CopyFrom(int32_t dx, int32_t dy, int32_t w, int32_t h, platform::Surface& src, int32_t sx,
                int32_t sy) override {
    Add("CopyFrom", {{dx, dy}, {w, h}, {sx, sy}});
    copiedFrom = dynamic_cast<LogSurface*>(&src);
  }
  platform::Image Snapshot() override { return {}; }

  std::vector<Call> Only(const std::string& op) const {
    std::vector<Call> out;
    for (const Call& c : calls) {
      if (c.op == op) out.push_back(c);
    }
    return out;
  }
  int created = 0;
  int brushSelections = 0;

 private:
  void Add(std::string op, std::vector<Point> pts) {
    Call c;
    c.op = std::move(op);
    c.points = std::move(pts);
    c.pen = pen_;
    c.brush = brush_;
    c.font = font_;
    calls.push_back(std::move(c));
  }
  int32_t w_, h_;
  platform::Pen pen_;
  platform::Brush brush_;
  platform::LogFont font_;
  Rgb text_ = 0, back_ = 0xFFFFFF;
  platform::BackMode mode_ = platform::BackMode::Opaque;
  uint32_t align_ = 0;
  Point pos_;
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

TEST(Geometry, RectHelpersRoundTowardZeroAndNeverOverflow) {
  EXPECT_EQ(RectCenter({0, 0, 5, 7}), (Point{2, 3}));
  EXPECT_EQ(RectCenter({-5, -7, 0, 0}), (Point{-2, -3}));
  EXPECT_EQ(RectCenter({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}), (Point{0, 0}));
  EXPECT_EQ(RectSize({10, 20, 30, 60}), (platform::Size{20, 40}));
  EXPECT_EQ(RectSize({INT32_MIN, 0, INT32_MAX, 0}).cx, INT32_MAX);
}

// ---- projection -----------------------------------------------------------------------------

TEST(Projection, OrthogonalDepthMovesRightAndUp) {
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

TEST(Projection, RoundsHalvesToEven) {
  Fixture f;
  f.options.SetZoom(50);
  f.Begin();
  // (x - 200) * 0.5: 1 -> 0.5 -> 0; 3 -> 1.5 -> 2; -1 -> -0.5 -> 0; 5 -> 2.5 -> 2.
  EXPECT_EQ(f.canvas.ProjectXY(201, 150, 0).x, 200);
  EXPECT_EQ(f.canvas.ProjectXY(203, 150, 0).x, 202);
  EXPECT_EQ(f.canvas.ProjectXY(199, 150, 0).x, 200);
  EXPECT_EQ(f.canvas.ProjectXY(205, 150, 0).x, 202);
}

TEST(Projection, ZeroAnglesAreTheIdentityPlusOffsets) {
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

TEST(Projection, CoefficientsOfAKnownView) {
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

TEST(Projection, ElevationNinetyFloorsYYAndUnprojects) {
  Fixture f;
  f.Rotated(90, 0);
  f.Begin();
  EXPECT_EQ(f.canvas.ProjectionCoefficients().yy, 0.00001);
  int32_t x = 210, y = 160;
  f.canvas.UnprojectPoint(x, y, 0);  // must not divide by zero
  EXPECT_EQ(x, 210);
}

TEST(Projection, PerspectiveFactor) {
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

TEST(Projection, TwoDFrameAndSuspendedDepthLeavePointsAlone) {
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
TEST(Projection, UnprojectInvertsProject) {
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

TEST(Projection, UnprojectUsesTheScreenCoordinatesInBothFormulas) {
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

TEST(Projection, UnprojectDoesNothingAtZoomZero) {
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
  for (const Call& c : f.surface.calls) ops.push_back(c.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"Rectangle", "Rectangle", "Ellipse", "RoundRect", "Arc",
                                           "Pie", "LineTo", "LineTo", "LineTo", "LineTo"}));
  EXPECT_EQ(f.surface.calls[6].points, (std::vector<Point>{{10, 5}, {20, 5}}));
  EXPECT_EQ(f.surface.calls[7].points, (std::vector<Point>{{7, 30}, {7, 40}}));
  EXPECT_EQ(f.surface.calls[9].points, (std::vector<Point>{{8, 9}, {12, 9}}));
  EXPECT_EQ(f.surface.calls[4].points[2], (Point{100, 50}));
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
  EXPECT_EQ(f.canvas.TextWidthOf("abcd"), 28);
  EXPECT_EQ(f.canvas.TextLineHeight(), 13);
}

TEST(Canvas2D, PictureTakesBrushAndFontColours) {
  Fixture f;
  f.Begin(false);
  platform::Image empty;
  f.canvas.DrawPicture(1, 2, empty);
  f.canvas.StretchPicture({0, 0, 10, 10}, empty);
  EXPECT_TRUE(f.surface.calls.empty());
  platform::Image one{1, 1, {0xFF000000}};
  f.canvas.SetBrushColor(clYellow);
  f.canvas.DrawPicture(1, 2, one);
  auto draws = f.surface.Only("DrawImage");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].color, ColorToRGB(clYellow));
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
  ASSERT_EQ(f.surface.calls.size(), 2u);
  EXPECT_EQ(f.surface.calls[0].op, "ClipRect");
  EXPECT_EQ(f.surface.calls[1].op, "RemoveClip");
}

// ---- gradients ------------------------------------------------------------------------------

struct Band {
  Rect rect;
  Rgb color;
};

std::vector<Band> Fills(const LogSurface& s) {
  std::vector<Band> out;
  for (const Call& c : s.calls) {
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

TEST(Gradient, ThousandPixelsHighGives256BandsFromTheBottom) {
  Fixture f(100, 1000);
  f.Begin(false);
  f.canvas.SetBrush({0x123456, BrushStyle::Cross, {}});
  const int before = f.surface.brushSelections;
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
  EXPECT_EQ(f.surface.brushSelections - before, 256 + 1) << "one per colour, one to restore";
  EXPECT_EQ(f.canvas.Brush().style, BrushStyle::Cross) << "the brush comes back";
}

TEST(Gradient, SelectsABrushOnlyWhenTheColourChanges) {
  Fixture f;
  f.Begin(false);
  const int before = f.surface.brushSelections;
  f.canvas.FillGradient({0, 0, 10, 300}, 0x000000, 0x000002, TGradientDirection::gdTopBottom);
  EXPECT_EQ(Fills(f.surface).size(), 256u);
  EXPECT_EQ(f.surface.brushSelections - before, 3 + 1);
}

TEST(Gradient, BottomTopWithSwappedColoursPaintsTheSamePicture) {
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

TEST(Gradient, LeftRightStartsAtTheRightEdge) {
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

TEST(Gradient, FromCenterRingsCoverEverythingFromAToB) {
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

TEST(Gradient, DiagonalSweepsStartAtTheirCorner) {
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

TEST(Gradient, EmptyRectanglesDrawNothing) {
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
  f.surface.calls.clear();
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

TEST(DrawBox, FaceSelectionFollowsTheView) {
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

TEST(DrawBox, FrontFaceAndDarkeningOfHatchedBrushes) {
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

TEST(DrawPyramid, FacesOfUprightAndInvertedPyramids) {
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

  f.surface.calls.clear();
  f.canvas.DrawPyramid(true, 100, 160, 140, 100, 0, 20, true);  // apex below
  polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 3u);
  EXPECT_EQ(polys[2].points.size(), 4u) << "the base";
  EXPECT_EQ(polys[2].brush.color, 0x808080u);
  EXPECT_EQ(polys[1].brush.color, 0x404040u);

  f.surface.calls.clear();
  f.canvas.DrawCone(false, 100, 100, 160, 140, 0, 20);
  polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 2u);
  EXPECT_EQ(polys[1].brush.color, 0x808080u);
  EXPECT_EQ(polys[0].points[2], f.canvas.ProjectXY(160, 120, 10));
}

TEST(DrawEllipseAtZ, TwoDOrthogonalAndRotated) {
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

  r.surface.calls.clear();
  r.canvas.SetBrushStyle(TBrushStyle::bsClear);
  r.canvas.SetPenStyle(TPenStyle::psClear);
  r.canvas.DrawEllipseAtZ(100, 100, 140, 120, 0);
  EXPECT_TRUE(r.surface.calls.empty());
}

TEST(DrawSphere, IsAnEllipseOfTheRoundedRadius) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawSphere(50, 60, 0, 9.5);  // 9.5 rounds to 10 (halves to even)
  EXPECT_EQ(f.surface.Only("Ellipse")[0].points, (std::vector<Point>{{40, 50}, {61, 71}}));
}

TEST(DrawArrow, FilledAndOpenHeads) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawArrow(true, {10, 50}, {110, 50}, 20, 16, 0);
  auto polys = f.surface.Only("Polygon");
  ASSERT_EQ(polys.size(), 1u);
  EXPECT_EQ(
      polys[0].points,
      (std::vector<Point>{{10, 54}, {90, 54}, {90, 58}, {110, 50}, {90, 42}, {90, 46}, {10, 46}}));
  f.surface.calls.clear();
  f.canvas.DrawArrow(false, {0, 0}, {0, 5}, 20, 10, 0);  // head longer than the arrow
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].points, (std::vector<Point>{{0, 0}, {0, 5}}));
  EXPECT_EQ(lines[1].points, (std::vector<Point>{{0, 5}, {-5, 0}}));
  EXPECT_EQ(lines[2].points, (std::vector<Point>{{0, 5}, {5, 0}}));
  f.surface.calls.clear();
  f.canvas.DrawArrow(true, {3, 3}, {3, 3}, 5, 5, 0);
  EXPECT_TRUE(f.surface.calls.empty());
}

TEST(ClipBox, TwoDShrinksThreeSides) {
  Fixture f;
  f.Begin(false);
  f.canvas.ClipBox({10, 20, 110, 120}, 0, 30);
  auto clips = f.surface.Only("ClipRect");
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0].points, (std::vector<Point>{{11, 21}, {110, 119}}));
}

TEST(ClipBox, ThreeDReplacesTheClipWithTheBoxOutline) {
  Fixture f;
  f.Begin();
  f.canvas.ClipBox({100, 100, 200, 200}, 0, 30);
  ASSERT_EQ(f.surface.calls.size(), 2u);
  EXPECT_EQ(f.surface.calls[0].op, "RemoveClip");
  EXPECT_EQ(f.surface.calls[1].op, "ClipPolygon");
  EXPECT_EQ(
      f.surface.calls[1].points,
      (std::vector<Point>{{100, 200}, {100, 100}, {130, 70}, {230, 70}, {230, 170}, {200, 200}}));
  // Seen from straight above: a rectangle between two projected corners.
  Fixture a;
  a.Rotated(270, 360);
  a.Begin();
  a.canvas.ClipBox({100, 100, 200, 200}, 0, 30);
  EXPECT_EQ(a.surface.Only("ClipRect").size(), 1u);
}

TEST(PlanesAndQuads, CornersInTheirOrder) {
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

TEST(Triangles, Triangle3DTakesTheColourUnlessClear) {
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

TEST(Lines, ThreeDLinesProjectBothEnds) {
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

TEST(Pixels, PutPixelAtZ) {
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

TEST(Solids, CylinderShowsOnlyTheCapFacingTheViewer) {
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

TEST(Solids, PieSliceShowsItsFrontLast) {
  Fixture f;
  f.Rotated(315, 360);
  f.Begin();
  f.canvas.SetBrush({0x00C000, BrushStyle::Solid, {}});
  f.canvas.DrawPie3D(200, 150, 80, 80, 0, 20, 0, M_PI / 2, true, true);
  auto polys = f.surface.Only("Polygon");
  // A quarter turn is 16 of the 64 steps of a full circle: the centre and 17 rim points.
  int fronts = 0;
  for (const Call& c : polys) {
    if (c.points.size() == 18) {
      ++fronts;
      EXPECT_EQ(c.brush.color, 0x00C000u);
      EXPECT_EQ(c.points[0], f.canvas.ProjectXY(200, 150, 0)) << "the centre at the front";
      EXPECT_EQ(c.points[1], f.canvas.ProjectXY(280, 150, 0));
    } else {
      EXPECT_EQ(c.brush.color, 0x008000u) << "walls darkened by 64";
    }
  }
  EXPECT_EQ(fronts, 1) << "the back face is hidden";
  EXPECT_GT(polys.size(), 2u) << "some wall shows from above";
  EXPECT_EQ(f.canvas.Brush().color, 0x00C000u);
  // A full pie has no cut faces and no centre point.
  f.surface.calls.clear();
  f.canvas.DrawPie3D(200, 150, 80, 80, 0, 20, 0, 7.0, false, true);
  polys = f.surface.Only("Polygon");
  EXPECT_EQ(std::count_if(polys.begin(), polys.end(),
                          [](const Call& c) { return c.points.size() == 64; }),
            1);
}

// ---- text -----------------------------------------------------------------------------------

TEST(Text, RotatedTextUsesTenthsOfADegree) {
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
  EXPECT_EQ(texts[0].brush.style, BrushStyle::Clear);
  EXPECT_EQ(texts[1].font.escapement, 400);
  EXPECT_GT(texts[2].font.escapement, -3600);
  EXPECT_LT(texts[2].font.escapement, 3600);
  EXPECT_EQ(f.surface.GetFont().escapement, 0) << "the temporary font is gone";
}

TEST(Text, ZoomScalesTextAtDepth) {
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
  f.surface.calls.clear();
  f.canvas.DrawTextAtZ(200, 150, "x", 10);
  texts = f.surface.Only("TextOut");
  EXPECT_EQ(texts[0].font.height, -11);
  EXPECT_EQ(texts[0].points[0], (Point{220, 130}));
}

// ---- back buffer ----------------------------------------------------------------------------

TEST(BackBuffer, FrameDrawsIntoAMemorySurfaceAndPresentsIt) {
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
  EXPECT_EQ(window.copiedFrom, buffer);
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

TEST(BackBuffer, MonochromeAndBufferSwitches) {
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

TEST(ExtremeValues, AnyOptionsDrawWithinTheSurfaceRange) {
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
      for (const Call& c : target->calls) {
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

TEST(ExtremeValues, ClippedLinesKeepTheirSlope) {
  Fixture f;
  f.Begin(false);
  f.canvas.DrawSegment(0, 0, 2000000000, 1000000000);
  auto lines = f.surface.Only("LineTo");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points,
            (std::vector<Point>{{0, 0}, {kMaxSurfaceCoord, kMaxSurfaceCoord / 2}}));
  // A polygon reaching far out keeps its visible edges.
  f.surface.calls.clear();
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
  f.surface.calls.clear();
  Point wave[4] = {{0, 0}, {10, 0}, {INT32_MAX, 0}, {20, 5}};
  f.canvas.DrawPolyline(wave, 3);
  auto runs = f.surface.Only("Polyline");
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].points, (std::vector<Point>{{0, 0}, {10, 0}, {kMaxSurfaceCoord, 0}}));
  EXPECT_EQ(runs[1].points.back(), (Point{20, 5}));
}

TEST(ExtremeValues, ProjectionSaturatesAtTheSurfaceRange) {
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
