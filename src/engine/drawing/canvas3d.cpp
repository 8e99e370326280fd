#include "engine/drawing/canvas3d.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>

#include "engine/drawing/errors.h"

namespace zq {

namespace {

constexpr double kLimit = kMaxSurfaceCoord;

// Saturating conversion: NaN and anything beyond the limit never reach an int cast.
int32_t Saturate(double v, double limit) {
  if (!(v >= -limit)) return int32_t(-limit);
  if (v > limit) return int32_t(limit);
  return int32_t(v);
}

// Halves to even, as nearbyint in the default rounding mode, without the library call: below
// 2^52 adding and taking away 2^52 leaves the nearest integer, halves to even (doubles are
// SSE2 doubles on every target, never x87's wider ones); the sign keeps a zero's.
inline double RoundEven(double v) {
  constexpr double kInteger = 4503599627370496.0;  // 2^52: from here on every double is whole
  const double size = std::fabs(v);
  if (size < kInteger) return std::copysign((size + kInteger) - kInteger, v);
  return std::nearbyint(v);  // whole already, infinite or not a number
}

inline int32_t Coord(double v) {
  return Saturate(RoundEven(v), kLimit);
}

int32_t Coord(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, -kMaxSurfaceCoord, kMaxSurfaceCoord));
}

int32_t ToInt32(double v) {
  return Saturate(v, double(std::numeric_limits<int32_t>::max()));
}

int32_t ToInt32(int64_t v) {
  return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()));
}

// Halves away from zero.
double RoundAway(double v) {
  return std::round(v);
}

Rect ClampRect(const Rect& r) {
  return {Coord(int64_t(r.left)), Coord(int64_t(r.top)), Coord(int64_t(r.right)),
          Coord(int64_t(r.bottom))};
}

// Degrees to radians after reducing the angle, so that any integer is safe for sin/cos.
double Radians(int32_t degrees) {
  return std::fmod(double(degrees), 360.0) * (std::numbers::pi / 180.0);
}

template <typename P>
bool Inside(const P& p) {
  return p.x >= -kLimit && p.x <= kLimit && p.y >= -kLimit && p.y <= kLimit;
}

const platform::Pen kNoPen{};
// Polygons of up to this many points are handled on the stack.
constexpr size_t kSmallPolygon = 8;
const platform::Brush kNoBrush{};

}  // namespace

// ---- TView3DOptions ---------------------------------------------------------------------------

TView3DOptions::TView3DOptions(TNotifyEvent ownerRepaint)
    : ownerRepaint_(std::move(ownerRepaint)) {}

void TView3DOptions::SetElevation(int32_t value) {
  if (elevation_ == value) return;
  elevation_ = value;
  Repaint();
}

void TView3DOptions::SetHorizOffset(int32_t value) {
  if (horizOffset_ == value) return;
  horizOffset_ = value;
  Repaint();
  if (OnScrolled) OnScrolled(true);
}

void TView3DOptions::SetOrthogonal(bool value) {
  if (orthogonal_ == value) return;
  orthogonal_ = value;
  Repaint();
}

void TView3DOptions::SetPerspective(int32_t value) {
  if (perspective_ == value) return;
  perspective_ = value;
  Repaint();
}

void TView3DOptions::SetRotation(int32_t value) {
  if (rotation_ == value) return;
  rotation_ = value;
  Repaint();
}

void TView3DOptions::SetTilt(int32_t value) {
  if (tilt_ == value) return;
  tilt_ = value;
  Repaint();
}

void TView3DOptions::SetVertOffset(int32_t value) {
  if (vertOffset_ == value) return;
  vertOffset_ = value;
  Repaint();
  if (OnScrolled) OnScrolled(false);
}

void TView3DOptions::SetZoom(int32_t value) {
  if (zoom_ == value) return;
  if (OnZoomChanging) OnZoomChanging(value);
  zoom_ = value;
  Repaint();
}

void TView3DOptions::SetZoomText(bool value) {
  if (zoomText_ == value) return;
  zoomText_ = value;
  Repaint();
}

void TView3DOptions::Assign(const TView3DOptions& source) {
  elevation_ = source.elevation_;
  horizOffset_ = source.horizOffset_;
  orthogonal_ = source.orthogonal_;
  perspective_ = source.perspective_;
  rotation_ = source.rotation_;
  tilt_ = source.tilt_;
  vertOffset_ = source.vertOffset_;
  zoom_ = source.zoom_;
  zoomText_ = source.zoomText_;
}

// ---- free helpers -----------------------------------------------------------------------------

void CheckAngle(int32_t value, const std::string& description) {
  if (value < 0 || value > 360) {
    throw ChartException(
        FormatMessage("%s Angle must be between 0 and 359 degrees", description.c_str()));
  }
}

platform::Size RectSize(const Rect& r) {
  return {ToInt32(int64_t(r.right) - r.left), ToInt32(int64_t(r.bottom) - r.top)};
}

Point RectCenter(const Rect& r) {
  return {int32_t((int64_t(r.left) + r.right) / 2), int32_t((int64_t(r.top) + r.bottom) / 2)};
}

// ---- canvas: surface and state ----------------------------------------------------------------

TZidCanvas3D::TZidCanvas3D() {
  font_.SetOnChange([this] { SelectFontIntoSurface(); });
}

TZidCanvas3D::~TZidCanvas3D() = default;

void TZidCanvas3D::SetSurface(platform::Surface* surface) {
  window_ = surface;
  AttachSurface(surface);
}

void TZidCanvas3D::AttachSurface(platform::Surface* surface) {
  surface_ = surface;
  if (!surface_) return;
  SelectFontIntoSurface();
  Point p = surface_->CurrentPosition();
  position_ = {double(p.x), double(p.y)};
}

void TZidCanvas3D::SelectFontIntoSurface() {
  if (!surface_) return;
  surface_->SetFont(ZoomedFont(0, false));
}

platform::LogFont TZidCanvas3D::ZoomedFont(int32_t escapement, bool zoom) const {
  platform::LogFont lf = font_.ToLogFont();
  lf.escapement = escapement;
  lf.orientation = escapement;
  if (zoom && zoomFactor_ != 1.0) {
    double size = font_.Size();
    double zoomed = std::max(1.0, RoundEven(size * zoomFactor_));
    if (zoomed != size) {
      // -(size * ppi / 72), kept within what a surface can render.
      double h = -RoundAway(std::min(zoomed, 1e9) * font_.PixelsPerInch() / 72.0);
      lf.height = Saturate(h, kMaxFontPixels);
    }
  }
  lf.height = std::clamp(lf.height, -kMaxFontPixels, kMaxFontPixels);
  return lf;
}

const platform::Pen& TZidCanvas3D::Pen() const {
  return surface_ ? surface_->GetPen() : kNoPen;
}

void TZidCanvas3D::SetPen(const platform::Pen& pen) {
  if (!surface_) return;
  platform::Pen p = pen;
  p.width = std::clamp(p.width, 0, kMaxPenWidth);
  surface_->SetPen(p);
}

void TZidCanvas3D::SetPenColor(TColor color) {
  platform::Pen p = Pen();
  p.color = ColorToRGB(color);
  SetPen(p);
}

void TZidCanvas3D::SetPenWidth(int32_t width) {
  platform::Pen p = Pen();
  p.width = width;
  SetPen(p);
}

void TZidCanvas3D::SetPenStyle(TPenStyle style) {
  platform::Pen p = Pen();
  p.style = ToSurfacePenStyle(style);
  SetPen(p);
}

void TZidCanvas3D::SetPenMode(TPenMode mode) {
  platform::Pen p = Pen();
  p.mode = ToSurfacePenMode(mode);
  SetPen(p);
}

const platform::Brush& TZidCanvas3D::Brush() const {
  return surface_ ? surface_->GetBrush() : kNoBrush;
}

void TZidCanvas3D::SetBrush(const platform::Brush& brush) {
  if (surface_) surface_->SetBrush(brush);
}

void TZidCanvas3D::SetBrushColor(TColor color) {
  platform::Brush b = Brush();
  b.color = ColorToRGB(color);
  SetBrush(b);
}

void TZidCanvas3D::SetBrushStyle(TBrushStyle style) {
  platform::Brush b = Brush();
  b.style = ToSurfaceBrushStyle(style);
  SetBrush(b);
}

TColor TZidCanvas3D::CurrentBackColor() const {
  return surface_ ? surface_->GetBackColor() : clWhite;
}

platform::BackMode TZidCanvas3D::CurrentBackMode() const {
  return surface_ ? surface_->GetBackMode() : platform::BackMode::Opaque;
}

intptr_t TZidCanvas3D::SurfaceHandle() const {
  return surface_ ? surface_->Handle() : 0;
}

uint32_t TZidCanvas3D::TextAlignment() const {
  return surface_ ? surface_->GetTextAlign() : 0;
}

void TZidCanvas3D::ChangeBackColor(TColor color) {
  if (surface_) surface_->SetBackColor(ColorToRGB(color));
}

void TZidCanvas3D::ChangeBackMode(platform::BackMode mode) {
  if (surface_) surface_->SetBackMode(mode);
}

void TZidCanvas3D::SetTextAlignment(uint32_t flags) {
  if (surface_) surface_->SetTextAlign(flags);
}

void TZidCanvas3D::ChangeMonochrome(bool value) {
  if (monochrome_ == value) return;
  monochrome_ = value;
  if (buffer_ && surface_ == buffer_.get()) AttachSurface(window_);
  buffer_.reset();
  dirty_ = true;
  if (options_) options_->Repaint();
}

void TZidCanvas3D::ChangeUseBuffer(bool value) {
  buffered_ = value;
  if (!value && buffer_) {
    if (surface_ == buffer_.get()) AttachSurface(window_);
    buffer_.reset();
    dirty_ = true;
  }
}

void TZidCanvas3D::Assign(const TZidCanvas3D& source) {
  ChangeMonochrome(source.monochrome_);
}

void TZidCanvas3D::ResetDrawingState() {
  if (!surface_) return;
  platform::Pen pen = Pen();
  pen.color = 0;
  pen.width = 1;
  pen.style = platform::PenStyle::Solid;
  SetPen(pen);
  platform::Brush brush = Brush();
  brush.color = 0xFFFFFF;
  brush.style = platform::BrushStyle::Solid;
  SetBrush(brush);
  font_.SetColor(clBlack);
  font_.SetSize(10);
  surface_->SetBackColor(0xFFFFFF);
  surface_->SetBackMode(platform::BackMode::Transparent);
}

void TZidCanvas3D::SelectChartPen(const TChartPen& pen) {
  if (!surface_) return;
  platform::Pen p = Pen();
  if (!pen.Visible()) {
    p.style = platform::PenStyle::Clear;
  } else if (pen.SmallDots() && pen.Width() == 1) {
    p.color = ColorToRGB(pen.Color());
    p.width = 1;
    p.style = platform::PenStyle::Alternate;
  } else {
    p = pen.ToSurfacePen();
  }
  SetPen(p);
}

// ---- the funnel to the surface ----------------------------------------------------------------

namespace {

// Liang-Barsky against the square +-kLimit.
bool ClipSegment(double& ax, double& ay, double& bx, double& by) {
  double t0 = 0, t1 = 1;
  const double dx = bx - ax, dy = by - ay;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!edge(-dx, ax + kLimit) || !edge(dx, kLimit - ax) || !edge(-dy, ay + kLimit) ||
      !edge(dy, kLimit - ay)) {
    return false;
  }
  const double x0 = ax, y0 = ay;
  ax = x0 + t0 * dx;
  ay = y0 + t0 * dy;
  bx = x0 + t1 * dx;
  by = y0 + t1 * dy;
  return true;
}

// Sutherland-Hodgman against the square +-kLimit.
template <typename P>
std::vector<P> ClipPolygonToLimit(const P* points, size_t count) {
  std::vector<P> out(points, points + count);
  for (int side = 0; side < 4; ++side) {
    if (out.empty()) break;
    auto inside = [side](const P& p) {
      switch (side) {
        case 0:
          return p.x >= -kLimit;
        case 1:
          return p.x <= kLimit;
        case 2:
          return p.y >= -kLimit;
        default:
          return p.y <= kLimit;
      }
    };
    auto cross = [side](const P& a, const P& b) {
      double edge = (side == 0 || side == 2) ? -kLimit : kLimit;
      P r;
      if (side < 2) {
        double t = (edge - a.x) / (b.x - a.x);
        r.x = edge;
        r.y = a.y + t * (b.y - a.y);
      } else {
        double t = (edge - a.y) / (b.y - a.y);
        r.x = a.x + t * (b.x - a.x);
        r.y = edge;
      }
      return r;
    };
    std::vector<P> in;
    in.swap(out);
    for (size_t i = 0; i < in.size(); ++i) {
      const P& cur = in[i];
      const P& prev = in[(i + in.size() - 1) % in.size()];
      bool ci = inside(cur), pi = inside(prev);
      if (ci) {
        if (!pi) out.push_back(cross(prev, cur));
        out.push_back(cur);
      } else if (pi) {
        out.push_back(cross(prev, cur));
      }
    }
  }
  return out;
}

template <typename P>
std::vector<Point> ToSurfacePoints(const P* points, size_t count) {
  std::vector<Point> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = {Coord(double(points[i].x)), Coord(double(points[i].y))};
  return out;
}

}  // namespace

void TZidCanvas3D::MoveToD(DPoint p) {
  position_ = p;
  if (surface_) surface_->MoveTo(Coord(p.x), Coord(p.y));
}

void TZidCanvas3D::LineToD(DPoint p) {
  if (!surface_) return;
  DPoint from = position_;
  Point sp = surface_->CurrentPosition();
  // Someone moved the surface directly: follow it.
  if (sp.x != Coord(from.x) || sp.y != Coord(from.y)) from = {double(sp.x), double(sp.y)};
  if (Inside(from) && Inside(p)) {
    surface_->LineTo(Coord(p.x), Coord(p.y));
  } else {
    double ax = from.x, ay = from.y, bx = p.x, by = p.y;
    if (ClipSegment(ax, ay, bx, by)) {
      surface_->MoveTo(Coord(ax), Coord(ay));
      surface_->LineTo(Coord(bx), Coord(by));
    }
    surface_->MoveTo(Coord(p.x), Coord(p.y));
  }
  position_ = p;
}

void TZidCanvas3D::LineD(DPoint a, DPoint b) {
  MoveToD(a);
  LineToD(b);
}

void TZidCanvas3D::PolylineD(const DPoint* points, size_t count) {
  if (!surface_ || count == 0) return;
  bool all = std::all_of(points, points + count, [](const DPoint& p) { return Inside(p); });
  if (all) {
    std::vector<Point> pts = ToSurfacePoints(points, count);
    surface_->Polyline(pts.data(), int32_t(pts.size()));
    return;
  }
  // Cut into runs of visible pieces, keeping each run one polyline.
  std::vector<Point> run;
  auto flush = [&] {
    if (run.size() >= 2) surface_->Polyline(run.data(), int32_t(run.size()));
    run.clear();
  };
  for (size_t i = 0; i + 1 < count; ++i) {
    double ax = points[i].x, ay = points[i].y, bx = points[i + 1].x, by = points[i + 1].y;
    if (!ClipSegment(ax, ay, bx, by)) {
      flush();
      continue;
    }
    Point a{Coord(ax), Coord(ay)}, b{Coord(bx), Coord(by)};
    if (run.empty() || !(run.back() == a) || !Inside(points[i])) {
      flush();
      run.push_back(a);
    }
    run.push_back(b);
    if (!Inside(points[i + 1])) flush();
  }
  flush();
}

void TZidCanvas3D::PolygonD(const DPoint* points, size_t count) {
  if (!surface_ || count == 0) return;
  bool all = std::all_of(points, points + count, [](const DPoint& p) { return Inside(p); });
  if (all && count <= kSmallPolygon) {
    // The faces of ribbons and boxes, a million at a time: no heap for them.
    Point pts[kSmallPolygon];
    for (size_t i = 0; i < count; ++i) pts[i] = {Coord(points[i].x), Coord(points[i].y)};
    surface_->Polygon(pts, int32_t(count));
    return;
  }
  std::vector<Point> pts;
  if (all) {
    pts = ToSurfacePoints(points, count);
  } else {
    std::vector<DPoint> clipped = ClipPolygonToLimit(points, count);
    if (clipped.empty()) return;
    pts = ToSurfacePoints(clipped.data(), clipped.size());
  }
  surface_->Polygon(pts.data(), int32_t(pts.size()));
}

void TZidCanvas3D::SelectedPolygon3D(const D3* points, size_t count) {
  if (count <= kSmallPolygon) {
    DPoint pts[kSmallPolygon];
    for (size_t i = 0; i < count; ++i) pts[i] = Project(points[i].x, points[i].y, points[i].z);
    PolygonD(pts, count);
    return;
  }
  std::vector<DPoint> pts(count);
  for (size_t i = 0; i < count; ++i) pts[i] = Project(points[i].x, points[i].y, points[i].z);
  PolygonD(pts.data(), pts.size());
}

// ---- 2D operations ----------------------------------------------------------------------------

void TZidCanvas3D::PutPixel(int32_t x, int32_t y, TColor color) {
  if (!surface_) return;
  if (std::abs(int64_t(x)) > kMaxSurfaceCoord || std::abs(int64_t(y)) > kMaxSurfaceCoord) return;
  surface_->SetPixel(x, y, ColorToRGB(color));
}

namespace {

// Moves a radial point towards the box centre along its ray until it is in range.
Point RadialPoint(const Rect& box, int32_t x, int32_t y) {
  double cx = (double(box.left) + box.right) / 2, cy = (double(box.top) + box.bottom) / 2;
  double vx = x - cx, vy = y - cy;
  double m = std::max(std::abs(vx), std::abs(vy));
  double room = kLimit / 2;
  if (m > room) {
    vx *= room / m;
    vy *= room / m;
  }
  return {Coord(cx + vx), Coord(cy + vy)};
}

}  // namespace

void TZidCanvas3D::DrawArc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                           int32_t y1, int32_t x2, int32_t y2) {
  if (!surface_) return;
  Rect b = ClampRect({left, top, right, bottom});
  Point p1 = RadialPoint(b, x1, y1), p2 = RadialPoint(b, x2, y2);
  surface_->Arc(b.left, b.top, b.right, b.bottom, p1.x, p1.y, p2.x, p2.y);
}

void TZidCanvas3D::DrawPieSlice(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!surface_) return;
  Rect b = ClampRect({left, top, right, bottom});
  Point p1 = RadialPoint(b, x1, y1), p2 = RadialPoint(b, x2, y2);
  surface_->Pie(b.left, b.top, b.right, b.bottom, p1.x, p1.y, p2.x, p2.y);
}

void TZidCanvas3D::DrawPicture(int32_t x, int32_t y, const platform::Image& picture) {
  if (!surface_ || picture.Empty()) return;
  surface_->SetBackColor(Brush().color);
  surface_->SetTextColor(ColorToRGB(font_.Color()));
  surface_->DrawImage(picture, Coord(int64_t(x)), Coord(int64_t(y)));
}

void TZidCanvas3D::StretchPicture(const Rect& rect, const platform::Image& picture) {
  if (!surface_ || picture.Empty()) return;
  surface_->StretchImage(picture, ClampRect(rect));
}

void TZidCanvas3D::DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!surface_) return;
  Rect b = ClampRect({left, top, right, bottom});
  surface_->Ellipse(b.left, b.top, b.right, b.bottom);
}

void TZidCanvas3D::FillRectangle(const Rect& rect) {
  if (!surface_) return;
  surface_->FillRect(ClampRect(rect), surface_->GetBrush());
}

void TZidCanvas3D::DrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!surface_) return;
  Rect b = ClampRect({left, top, right, bottom});
  surface_->Rectangle(b.left, b.top, b.right, b.bottom);
}

void TZidCanvas3D::DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                 int32_t ellipseWidth, int32_t ellipseHeight) {
  if (!surface_) return;
  Rect b = ClampRect({left, top, right, bottom});
  surface_->RoundRect(b.left, b.top, b.right, b.bottom, Coord(int64_t(ellipseWidth)),
                      Coord(int64_t(ellipseHeight)));
}

void TZidCanvas3D::MoveToPoint(int32_t x, int32_t y) {
  MoveToD({double(x), double(y)});
}

void TZidCanvas3D::LineToPoint(int32_t x, int32_t y) {
  LineToD({double(x), double(y)});
}

void TZidCanvas3D::HorizontalLine(int32_t x0, int32_t x1, int32_t y) {
  LineD({double(x0), double(y)}, {double(x1), double(y)});
}

void TZidCanvas3D::VerticalLine(int32_t x, int32_t y0, int32_t y1) {
  LineD({double(x), double(y0)}, {double(x), double(y1)});
}

void TZidCanvas3D::DrawSegment(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  LineD({double(x0), double(y0)}, {double(x1), double(y1)});
}

void TZidCanvas3D::DrawPolygon(const Point* points, int32_t lastIndex) {
  if (lastIndex < 0 || !points) return;
  std::vector<DPoint> pts(size_t(lastIndex) + 1);
  for (size_t i = 0; i < pts.size(); ++i) pts[i] = {double(points[i].x), double(points[i].y)};
  PolygonD(pts.data(), pts.size());
}

void TZidCanvas3D::DrawPolyline(const Point* points, int32_t lastIndex) {
  if (lastIndex < 0 || !points) return;
  std::vector<DPoint> pts(size_t(lastIndex) + 1);
  for (size_t i = 0; i < pts.size(); ++i) pts[i] = {double(points[i].x), double(points[i].y)};
  PolylineD(pts.data(), pts.size());
}

void TZidCanvas3D::OutputText(int32_t x, int32_t y, std::string_view text) {
  if (!surface_) return;
  surface_->SetTextColor(ColorToRGB(font_.Color()));
  surface_->TextOut(Coord(int64_t(x)), Coord(int64_t(y)), text);
}

int32_t TZidCanvas3D::TextWidthOf(std::string_view text) {
  return surface_ ? std::max(0, surface_->TextExtent(text).cx) : 0;
}

int32_t TZidCanvas3D::TextHeightOf(std::string_view text) {
  return surface_ ? std::max(0, surface_->TextExtent(text).cy) : 0;
}

void TZidCanvas3D::ClipToRect(const Rect& rect) {
  if (surface_) surface_->ClipRect(ClampRect(rect));
}

void TZidCanvas3D::RemoveClip() {
  if (surface_) surface_->RemoveClip();
}

void TZidCanvas3D::DrawBevel(const Rect& rect, TColor topLeft, TColor bottomRight, int32_t width) {
  if (!surface_ || width <= 0) return;
  SetPenWidth(1);
  auto clampLoop = [](int64_t v) { return std::clamp<int64_t>(v, -kMaxLoopCoord, kMaxLoopCoord); };
  int64_t l = clampLoop(rect.left), t = clampLoop(rect.top);
  int64_t r = clampLoop(int64_t(rect.right) - 1), b = clampLoop(int64_t(rect.bottom) - 1);
  // Beyond half the larger side every further frame lies outside the rectangle.
  int64_t bound = std::max(std::abs(r - l), std::abs(b - t)) / 2 + 2;
  int64_t n = std::min<int64_t>(width, bound);
  const int64_t surfaceW = surface_->Width(), surfaceH = surface_->Height();
  for (int64_t i = 0; i < n; ++i) {
    // A frame wholly outside the surface shows nothing; the inner ones may still show.
    const int64_t x0 = std::min(l - 1, r), x1 = std::max(l, r);
    const int64_t y0 = std::min(t, b), y1 = std::max(t, b);
    const bool outside = x1 < 0 || x0 >= surfaceW || y1 < 0 || y0 >= surfaceH ||
                         (x0 < 0 && x1 >= surfaceW && y0 < 0 && y1 >= surfaceH);
    if (outside) {
      ++l;
      ++t;
      --r;
      --b;
      continue;
    }
    SetPenColor(topLeft);
    DPoint tl[3] = {{double(l), double(b)}, {double(l), double(t)}, {double(r), double(t)}};
    PolylineD(tl, 3);
    SetPenColor(bottomRight);
    DPoint br[3] = {{double(r), double(t)}, {double(r), double(b)}, {double(l - 1), double(b)}};
    PolylineD(br, 3);
    ++l;
    ++t;
    --r;
    --b;
  }
}

void TZidCanvas3D::FillGradient(const Rect& rect, TColor colorA, TColor colorB,
                                TGradientDirection direction) {
  if (!surface_) return;
  using D = TGradientDirection;
  if (direction != D::gdTopBottom && direction != D::gdLeftRight) std::swap(colorA, colorB);
  const platform::Rgb a = ColorToRGB(colorA), b = ColorToRGB(colorB);
  const int startR = platform::RedOf(a), startG = platform::GreenOf(a),
            startB = platform::BlueOf(a);
  const int diffR = platform::RedOf(b) - startR, diffG = platform::GreenOf(b) - startG,
            diffB = platform::BlueOf(b) - startB;

  auto clampLoop = [](int64_t v) { return std::clamp<int64_t>(v, -kMaxLoopCoord, kMaxLoopCoord); };
  int64_t left = clampLoop(std::min(rect.left, rect.right));
  int64_t right = clampLoop(std::max(rect.left, rect.right));
  int64_t top = clampLoop(std::min(rect.top, rect.bottom));
  int64_t bottom = clampLoop(std::max(rect.top, rect.bottom));
  const int64_t w = right - left, h = bottom - top;

  auto colorAt = [&](int64_t i, int64_t n) -> platform::Rgb {
    if (n <= 0) return platform::MakeRgb(uint8_t(startR), uint8_t(startG), uint8_t(startB));
    auto channel = [&](int start, int diff) {
      double v = start + RoundAway(double(i) * diff / double(n));
      return uint8_t(std::clamp(v, 0.0, 255.0));
    };
    return platform::MakeRgb(channel(startR, diffR), channel(startG, diffG),
                             channel(startB, diffB));
  };

  const platform::Brush saved = surface_->GetBrush();
  bool selected = false;
  platform::Rgb current = 0;
  // Pieces outside the surface are skipped: a rectangle far larger than the surface then
  // costs a few thousand steps of arithmetic, not as many drawing calls.
  const int64_t surfaceW = surface_->Width(), surfaceH = surface_->Height();
  auto fill = [&](platform::Rgb color, int64_t l, int64_t t, int64_t r, int64_t btm) {
    if (r <= l || btm <= t) return;
    if (r <= 0 || btm <= 0 || l >= surfaceW || t >= surfaceH) return;
    if (!selected || color != current) {
      platform::Brush brush;
      brush.color = color;
      brush.style = platform::BrushStyle::Solid;
      surface_->SetBrush(brush);
      selected = true;
      current = color;
    }
    surface_->PatternFill({int32_t(l), int32_t(t), int32_t(r), int32_t(btm)});
  };

  switch (direction) {
    case D::gdTopBottom:
    case D::gdBottomTop: {
      const int64_t n = std::min<int64_t>(h, 256);
      for (int64_t i = 0; i < n; ++i) {
        int64_t y0 = bottom - int64_t(RoundAway(double(i + 1) * double(h) / double(n)));
        int64_t y1 = bottom - int64_t(RoundAway(double(i) * double(h) / double(n)));
        fill(colorAt(i, n - 1), left, y0, right, y1);
      }
      break;
    }
    case D::gdLeftRight:
    case D::gdRightLeft: {
      const int64_t n = std::min<int64_t>(w, 256);
      for (int64_t i = 0; i < n; ++i) {
        int64_t x0 = right - int64_t(RoundAway(double(i + 1) * double(w) / double(n)));
        int64_t x1 = right - int64_t(RoundAway(double(i) * double(w) / double(n)));
        fill(colorAt(i, n - 1), x0, top, x1, bottom);
      }
      break;
    }
    case D::gdFromCenter: {
      const int64_t ha = h / 2, hb = w / 2, total = ha + hb;
      int64_t va = 0, vb = 0;
      for (;;) {
        platform::Rgb c = colorAt(va + vb, total);
        int64_t l = left + vb, r = right - vb, t = top + va, btm = bottom - va;
        fill(c, l, t, r, t + 1);
        fill(c, l, btm - 1, r, btm);
        fill(c, l, t, l + 1, btm);
        fill(c, r - 1, t, r, btm);
        if (va >= ha && vb >= hb) break;
        if (va < ha) ++va;
        if (vb < hb) ++vb;
      }
      break;
    }
    case D::gdFromTopLeft:
    case D::gdFromBottomLeft: {
      const bool fromTop = direction == D::gdFromTopLeft;
      const int64_t total = w + h;
      int64_t i = 0, j = 0;
      int64_t row = fromTop ? top : bottom - 1;
      for (;;) {
        platform::Rgb c = colorAt(i + j, total);
        if (i < w) {
          // The column from the current row back to the starting edge.
          if (fromTop) {
            fill(c, left + i, top, left + i + 1, std::min(row + 1, bottom));
          } else {
            fill(c, left + i, std::max(row, top), left + i + 1, bottom);
          }
        }
        if (j < h) {
          fill(c, left, row, left + std::min(i + 1, w), row + 1);
          row += fromTop ? 1 : -1;
        }
        if (i >= w && j >= h) break;
        if (i < w) ++i;
        if (j < h) ++j;
      }
      break;
    }
  }
  surface_->SetBrush(saved);
}

void TZidCanvas3D::DrawRotatedText(int32_t x, int32_t y, int32_t angle, std::string_view text) {
  if (!surface_) return;
  SetBrushStyle(TBrushStyle::bsClear);
  int64_t a = angle;
  if (a > 360) a -= 360;
  // Larger turns only repeat themselves; reduce them before scaling to tenths.
  if (a > 360 || a < -360) a %= 360;
  surface_->SetFont(ZoomedFont(int32_t(a * 10), textZoom_));
  OutputText(x, y, text);
  SelectFontIntoSurface();
}

// ---- frames and projection --------------------------------------------------------------------

Rect TZidCanvas3D::BeginFrame(platform::Surface& surface, TView3DOptions* options,
                              const Rect& bounds, bool is3D) {
  bounds_ = bounds;
  options_ = options;
  is3D_ = is3D;
  orthogonal_ = false;
  zoomFactor_ = 1.0;
  perspectiveFactor_ = 0;
  if (is3D && options) {
    orthogonal_ = options->Orthogonal();
    zoomFactor_ = double(options->Zoom()) * 0.01;
    textZoom_ = options->ZoomText();
    if (!orthogonal_) ComputeTrigonometry();
  } else if (is3D) {
    ComputeTrigonometry();
  }
  if (!buffered_) {
    AttachSurface(&surface);
    return bounds;
  }
  const platform::Size size = RectSize(bounds);
  const int32_t w = std::clamp(size.cx, 1, kMaxBufferSide);
  const int32_t h = std::clamp(size.cy, 1, kMaxBufferSide);
  if (buffer_ && (buffer_->Width() != w || buffer_->Height() != h)) {
    if (surface_ == buffer_.get()) surface_ = nullptr;
    buffer_.reset();
  }
  if (!buffer_) buffer_ = surface.CreateCompatible(w, h, monochrome_);
  if (!buffer_) {
    // No memory bitmap: draw straight on the surface.
    AttachSurface(&surface);
    return bounds;
  }
  AttachSurface(buffer_.get());
  return {0, 0, w, h};
}

void TZidCanvas3D::ComputeTrigonometry() {
  double e = 0, r = 0, t = 0;
  if (options_) {
    e = Radians(options_->Elevation());
    r = Radians(options_->Rotation());
    t = Radians(options_->Tilt());
  }
  const long double sE = std::sin((long double)e), cE = std::cos((long double)e);
  const long double sR = std::sin((long double)r), cR = std::cos((long double)r);
  const long double sT = std::sin((long double)t), cT = std::cos((long double)t);
  perspectiveFactor_ = 0;
  sinElevation_ = sE;
  cosElevSinRot_ = cE * sR;
  xy_ = double(cE * sT);
  yy_ = std::max(double(cE * cT), 0.00001);
  zp_ = double(cR * cE);
  xx_ = std::max(double(sR * sE * sT + cR * cT), 0.00001);
  yx_ = double(cT * sR * sE - cR * sT);
  xz_ = double(cR * sE * sT - cT * sR);
  yz_ = double(cR * cT * sE + sR * sT);
}

void TZidCanvas3D::SetProjectionCentre(int32_t depth, const Rect& /*bounds*/,
                                       const Rect& chartRect) {
  Point c = RectCenter(chartRect);
  centreX_ = c.x;
  centreY_ = c.y;
  centreZ_ = depth / 2;
  projCentreX_ = centreX_;
  projCentreY_ = centreY_;
  if (options_) {
    projCentreX_ += options_->HorizOffset();
    projCentreY_ += options_->VertOffset();
    if (options_->Perspective() > 0) perspectiveFactor_ = options_->Perspective() / 35000.0;
  }
}

void TZidCanvas3D::PresentFrame(platform::Surface& dest, platform::Surface* panelSurface,
                                const Rect& destRect) {
  if (buffered_ && buffer_ && surface_ == buffer_.get()) {
    dest.CopyFrom(Coord(int64_t(destRect.left)), Coord(int64_t(destRect.top)), buffer_->Width(),
                  buffer_->Height(), *buffer_, 0, 0);
    dirty_ = false;
  }
  if (panelSurface) window_ = panelSurface;
  AttachSurface(window_);
}

bool TZidCanvas3D::RepaintFromBuffer(platform::Surface& dest) {
  if (!buffered_ || !buffer_ || dirty_) return false;
  dest.CopyFrom(0, 0, buffer_->Width(), buffer_->Height(), *buffer_, 0, 0);
  return true;
}

bool TZidCanvas3D::RepaintFromBuffer() {
  if (!surface_ || surface_ == buffer_.get()) return false;
  return RepaintFromBuffer(*surface_);
}

TZidCanvas3D::DPoint TZidCanvas3D::Project(double x, double y, double z) const {
  if (is3D_ && orthogonal_) {
    return {RoundEven((x - centreX_ + z) * zoomFactor_) + projCentreX_,
            RoundEven((y - centreY_ - z) * zoomFactor_) + projCentreY_};
  }
  if (is3D_) {
    const double dx = x - centreX_, dy = y - centreY_, dz = z - centreZ_;
    double f = zoomFactor_;
    if (perspectiveFactor_ > 0) {
      long double w = dx * cosElevSinRot_ - dy * sinElevation_ + (long double)dz * zp_;
      f = double(zoomFactor_ * (1.0L - perspectiveFactor_ * w));
    }
    return {RoundEven((dx * xx_ + dy * xy_ + dz * xz_) * f) + projCentreX_,
            RoundEven((dx * yx_ + dy * yy_ + dz * yz_) * f) + projCentreY_};
  }
  return {x, y};
}

double TZidCanvas3D::ViewDepth(const D3& p) const {
  if (is3D_ && orthogonal_) return -p.x + p.y + p.z;
  if (is3D_) {
    return double((p.x - centreX_) * cosElevSinRot_ - (p.y - centreY_) * sinElevation_ +
                  (p.z - centreZ_) * (long double)zp_);
  }
  return p.z;
}

Point TZidCanvas3D::ProjectedCentre() const {
  return {ToInt32(projCentreX_), ToInt32(projCentreY_)};
}

void TZidCanvas3D::ProjectPoint(int32_t& x, int32_t& y, int32_t z) const {
  DPoint p = Project(x, y, z);
  x = Coord(p.x);
  y = Coord(p.y);
}

Point TZidCanvas3D::ProjectXY(int32_t x, int32_t y, int32_t z) const {
  ProjectPoint(x, y, z);
  return {x, y};
}

void TZidCanvas3D::UnprojectPoint(int32_t& x, int32_t& y, int32_t z) const {
  if (zoomFactor_ == 0) return;
  const double k = 1.0 / zoomFactor_;
  if (is3D_ && orthogonal_) {
    double nx = RoundEven(k * (x - projCentreX_)) + centreX_ - z;
    double ny = z + RoundEven(k * (y - projCentreY_)) + centreY_;
    x = ToInt32(nx);
    y = ToInt32(ny);
  } else if (is3D_) {
    if (xx_ == 0 || yy_ == 0) return;
    const double dz = double(z) - centreZ_;
    double nx =
        RoundEven((k * (x - projCentreX_) - dz * xz_ - (double(y) - centreY_) * xy_) / xx_) +
        centreX_;
    double ny =
        RoundEven((k * (y - projCentreY_) - dz * yz_ - (double(x) - centreX_) * yx_) / yy_) +
        centreY_;
    x = ToInt32(nx);
    y = ToInt32(ny);
  }
}

// ---- 3D operations ----------------------------------------------------------------------------

void TZidCanvas3D::PutPixelAtZ(int32_t x, int32_t y, int32_t z, TColor color) {
  if (!surface_) return;
  DPoint p = Project(x, y, z);
  if (Pen().width == 1) {
    if (Inside(p)) surface_->SetPixel(Coord(p.x), Coord(p.y), ColorToRGB(color));
  } else {
    LineD(p, p);
  }
}

void TZidCanvas3D::HorizontalLineAtZ(int32_t x0, int32_t x1, int32_t y, int32_t z) {
  LineD(Project(x0, y, z), Project(x1, y, z));
}

void TZidCanvas3D::VerticalLineAtZ(int32_t x, int32_t y0, int32_t y1, int32_t z) {
  LineD(Project(x, y0, z), Project(x, y1, z));
}

void TZidCanvas3D::DepthLine(int32_t x, int32_t y, int32_t z0, int32_t z1) {
  LineD(Project(x, y, z0), Project(x, y, z1));
}

void TZidCanvas3D::DrawLineAtZ(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t z) {
  LineD(Project(x0, y0, z), Project(x1, y1, z));
}

void TZidCanvas3D::MoveToXYZ(int32_t x, int32_t y, int32_t z) {
  MoveToD(Project(x, y, z));
}

void TZidCanvas3D::LineToXYZ(int32_t x, int32_t y, int32_t z) {
  LineToD(Project(x, y, z));
}

void TZidCanvas3D::SuspendDepth() {
  was3D_ = is3D_;
  is3D_ = false;
}

void TZidCanvas3D::ResumeDepth() {
  is3D_ = was3D_;
}

void TZidCanvas3D::DrawPlaneAtZRange(Point a, Point b, int32_t z0, int32_t z1) {
  D3 pts[4] = {{double(a.x), double(a.y), double(z0)},
               {double(b.x), double(b.y), double(z0)},
               {double(b.x), double(b.y), double(z1)},
               {double(a.x), double(a.y), double(z1)}};
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::ProjectUprights(int32_t x, const int32_t* ys, size_t count, int32_t low,
                                   int32_t high, int32_t z0, int32_t z1,
                                   UprightCorners* out) const {
  auto exact = [&](int32_t y, UprightCorners& corners) {
    const DPoint at0 = Project(x, y, z0), at1 = Project(x, y, z1);
    corners.inside = Inside(at0) && Inside(at1);
    corners.pixel0 = {Coord(at0.x), Coord(at0.y)};
    corners.pixel1 = {Coord(at1.x), Coord(at1.y)};
  };
  size_t k = 0;
  const double pf = perspectiveFactor_;
  if (is3D_ && !orthogonal_ && pf > 0 && count > 0) {
    // Project's perspective works in long doubles, which cost. In doubles each term of the
    // depth is off by a unit or two of its last place, which moves the factor by a few
    // units of its own while the depth's terms stay small and the factor well away from
    // zero (it is linear in y: checked at the lowest and highest height). A coordinate then
    // rounds as Project rounds it unless it lies within a hair of a half, where Project
    // decides.
    const double dx = double(x) - centreX_;
    const double c = double(cosElevSinRot_), s = double(sinElevation_), along = dx * c;
    const double zs[2] = {double(z0) - centreZ_, double(z1) - centreZ_};
    const double depths[2] = {zs[0] * zp_, zs[1] * zp_};
    bool fits = true;
    for (const int32_t y : {low, high}) {
      const double dy = double(y) - centreY_;
      for (const double depth : depths) {
        const double size = pf * (std::fabs(along) + std::fabs(dy * s) + std::fabs(depth));
        const double g = 1.0 - pf * ((along - dy * s) + depth);
        fits = fits && size < 4 && g > 0.25;
      }
    }
    using V2 = double __attribute__((vector_size(16)));
    using I2 = int64_t __attribute__((vector_size(16)));
    const I2 magnitude = {INT64_MAX, INT64_MAX};
    constexpr double kInteger = 4503599627370496.0;  // 2^52, as in RoundEven
    const double ax = dx * xx_, ay = dx * yx_;
    for (; fits && k + 2 <= count; k += 2) {
      const V2 dy = {double(ys[k]) - centreY_, double(ys[k + 1]) - centreY_};
      const V2 t = along - dy * s, bx = ax + dy * xy_, by = ay + dy * yy_;
      V2 px[2], py[2];
      I2 doubt = {0, 0};
      for (int z = 0; z < 2; ++z) {
        const V2 f = zoomFactor_ * (1.0 - pf * (t + depths[z]));
        const V2 vx = (bx + zs[z] * xz_) * f, vy = (by + zs[z] * yz_) * f;
        const V2 mx = V2(I2(vx) & magnitude), my = V2(I2(vy) & magnitude);
        const V2 rx = (mx + kInteger) - kInteger, ry = (my + kInteger) - kInteger;
        const V2 hair = (mx + my + 1.0) * 0x1p-36;
        // A size less its rounding is at most a half: one too near it, too big or not a
        // number is a doubt.
        const V2 fx = V2(I2(rx - mx) & magnitude), fy = V2(I2(ry - my) & magnitude);
        doubt |= (fx >= 0.5 - hair) | (fy >= 0.5 - hair) | (mx >= 0x1p40) | (my >= 0x1p40) |
                 (mx != mx) | (my != my);
        px[z] = V2(I2(rx) | (I2(vx) & ~magnitude)) + projCentreX_;
        py[z] = V2(I2(ry) | (I2(vy) & ~magnitude)) + projCentreY_;
      }
      // The projected centre is whole, so are the points: inside the limit, Coord is the
      // plain conversion.
      const I2 inside =
          (V2(I2(px[0]) & magnitude) <= kLimit) & (V2(I2(py[0]) & magnitude) <= kLimit) &
          (V2(I2(px[1]) & magnitude) <= kLimit) & (V2(I2(py[1]) & magnitude) <= kLimit);
      for (int lane = 0; lane < 2; ++lane) {
        UprightCorners& corners = out[k + size_t(lane)];
        if (doubt[lane]) {
          exact(ys[k + size_t(lane)], corners);
        } else if (inside[lane]) {
          corners.inside = true;
          corners.pixel0 = {int32_t(px[0][lane]), int32_t(py[0][lane])};
          corners.pixel1 = {int32_t(px[1][lane]), int32_t(py[1][lane])};
        } else {
          corners.inside = false;
        }
      }
    }
  }
  for (; k < count; ++k) exact(ys[k], out[k]);
}

void TZidCanvas3D::DrawUprightPlanes(int32_t x,
                                     const std::vector<std::pair<int32_t, int32_t>>& faces,
                                     int32_t z0, int32_t z1) {
  if (faces.empty() || !surface_) return;
  int64_t low = INT64_MAX, high = INT64_MIN;
  for (const auto& [from, to] : faces) {
    low = std::min<int64_t>({low, from, to});
    high = std::max<int64_t>({high, from, to});
  }
  // Faces whose four corners lie where the surface takes them as they are go to it as they
  // are, together; any other through PolygonD, in its turn.
  // Room for every face, made once: the faces are written into it, not appended.
  thread_local std::vector<Point> quads;
  if (quads.size() < 4 * faces.size()) quads.resize(4 * faces.size());
  size_t queued = 0;
  auto flush = [&] {
    if (queued > 0) surface_->Polygons(quads.data(), 4, queued);
    queued = 0;
  };
  auto draw = [&](int32_t from, int32_t to, const UprightCorners& a, const UprightCorners& b) {
    if (a.inside && b.inside) {
      // Point by point: a block built of narrow stores and read back in wide loads would
      // wait for them.
      Point* quad = quads.data() + 4 * queued++;
      quad[0] = a.pixel0;
      quad[1] = b.pixel0;
      quad[2] = b.pixel1;
      quad[3] = a.pixel1;
    } else {
      flush();
      const DPoint pts[4] = {Project(x, to, z0), Project(x, from, z0), Project(x, from, z1),
                             Project(x, to, z1)};
      PolygonD(pts, 4);
    }
  };
  if (high - low >= int64_t(4 * faces.size() + 1024)) {
    // Heights far apart: each face on its own.
    for (const auto& [from, to] : faces) {
      const int32_t ys[2] = {to, from};
      UprightCorners corners[2];
      ProjectUprights(x, ys, 2, std::min(from, to), std::max(from, to), z0, z1, corners);
      draw(from, to, corners[0], corners[1]);
    }
    flush();
    return;
  }
  // Each height once: the faces' heights listed as they come (a face mostly starts where
  // the one before it ended, which needs no look), then projected together into slots that
  // stay in the nearest cache. A slot counts when it bears this call's stamp, so that the
  // table is not cleared for every column.
  thread_local std::vector<uint32_t> stamps;
  thread_local std::vector<UprightCorners> slots;
  thread_local std::vector<int32_t> heights;
  thread_local std::vector<UprightCorners> found;
  thread_local uint32_t stamp = 0;
  const size_t size = size_t(high - low + 1);
  if (stamps.size() < size) {
    stamps.resize(size);
    slots.resize(size);
  }
  if (++stamp == 0) {
    std::fill(stamps.begin(), stamps.end(), 0u);
    stamp = 1;
  }
  heights.resize(2 * faces.size());
  size_t count = 0;
  auto meet = [&](int32_t y) {
    uint32_t& slot = stamps[size_t(y - low)];
    heights[count] = y;
    count += slot != stamp;
    slot = stamp;
  };
  int64_t previous = INT64_MIN;
  for (const auto& [from, to] : faces) {
    if (from != previous) meet(from);
    meet(to);
    previous = to;
  }
  found.resize(count);
  ProjectUprights(x, heights.data(), count, int32_t(low), int32_t(high), z0, z1, found.data());
  for (size_t k = 0; k < count; ++k) slots[size_t(heights[k] - low)] = found[k];
  for (const auto& [from, to] : faces)
    draw(from, to, slots[size_t(to - low)], slots[size_t(from - low)]);
  flush();
}

void TZidCanvas3D::DrawQuadAtZ(const Point (&points)[4], int32_t z) {
  D3 pts[4];
  for (int i = 0; i < 4; ++i) pts[i] = {double(points[i].x), double(points[i].y), double(z)};
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::DrawQuadAtZ0Z1(const Point (&points)[4], int32_t z0, int32_t z1) {
  D3 pts[4];
  for (int i = 0; i < 4; ++i) {
    pts[i] = {double(points[i].x), double(points[i].y), double(i < 2 ? z0 : z1)};
  }
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::DrawRectAtZ(const Rect& r, int32_t z) {
  D3 pts[4] = {{double(r.left), double(r.top), double(z)},
               {double(r.right), double(r.top), double(z)},
               {double(r.right), double(r.bottom), double(z)},
               {double(r.left), double(r.bottom), double(z)}};
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::DrawHorizontalPlane(int32_t x0, int32_t x1, int32_t y, int32_t z0, int32_t z1) {
  D3 pts[4] = {{double(x0), double(y), double(z0)},
               {double(x1), double(y), double(z0)},
               {double(x1), double(y), double(z1)},
               {double(x0), double(y), double(z1)}};
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::DrawVerticalPlane(int32_t x, int32_t y0, int32_t y1, int32_t z0, int32_t z1) {
  D3 pts[4] = {{double(x), double(y0), double(z0)},
               {double(x), double(y1), double(z0)},
               {double(x), double(y1), double(z1)},
               {double(x), double(y0), double(z1)}};
  SelectedPolygon3D(pts, 4);
}

void TZidCanvas3D::DrawTriangle3D(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& p2,
                                  TColor color) {
  if (!surface_) return;
  if (Brush().style != platform::BrushStyle::Clear) SetBrushColor(color);
  D3 pts[3] = {{double(p0.x), double(p0.y), double(p0.z)},
               {double(p1.x), double(p1.y), double(p1.z)},
               {double(p2.x), double(p2.y), double(p2.z)}};
  SelectedPolygon3D(pts, 3);
}

void TZidCanvas3D::DrawTriangleAtZ(Point p0, Point p1, Point p2, int32_t z) {
  D3 pts[3] = {{double(p0.x), double(p0.y), double(z)},
               {double(p1.x), double(p1.y), double(z)},
               {double(p2.x), double(p2.y), double(z)}};
  SelectedPolygon3D(pts, 3);
}

TColor TZidCanvas3D::FaceColor() const {
  return Brush().style == platform::BrushStyle::Solid ? Brush().color : CurrentBackColor();
}

void TZidCanvas3D::SetFaceColor(TColor color) {
  if (!surface_) return;
  // Hatched faces keep their hatch colour and darken their background instead.
  if (Brush().style == platform::BrushStyle::Solid) {
    SetBrushColor(color);
  } else {
    ChangeBackColor(color);
  }
}

void TZidCanvas3D::DrawBox(int32_t left, int32_t right, int32_t top, int32_t bottom, int32_t z0,
                           int32_t z1, bool darkSides) {
  if (!surface_) return;
  const TColor face = FaceColor();
  const double l = left, r = right, t = top, b = bottom, f = z0, k = z1;
  D3 front[4] = {{l, t, f}, {r, t, f}, {r, b, f}, {l, b, f}};
  SelectedPolygon3D(front, 4);

  auto sideAt = [&](double x) {
    if (darkSides) SetFaceColor(DarkenColor(face, kDarkerColorQuantity));
    D3 side[4] = {{x, t, f}, {x, b, f}, {x, b, k}, {x, t, k}};
    SelectedPolygon3D(side, 4);
  };
  if (Project(r, b, f).x < Project(r, b, k).x) {
    sideAt(r);
  } else if (Project(l, b, k).x < Project(l, b, f).x) {
    sideAt(l);
  }
  if (Project(l, t, k).y < Project(r, t, f).y) {
    if (darkSides) SetFaceColor(DarkenColor(face, kDarkColorQuantity));
    D3 topFace[4] = {{l, t, f}, {r, t, f}, {r, t, k}, {l, t, k}};
    SelectedPolygon3D(topFace, 4);
  }
  SetFaceColor(face);
}

void TZidCanvas3D::DrawPyramid(bool vertical, int32_t left, int32_t top, int32_t right,
                               int32_t bottom, int32_t z0, int32_t z1, bool darkSides) {
  if (!surface_) return;
  const TColor face = FaceColor();
  auto darken = [&](int32_t amount) {
    if (darkSides) SetFaceColor(DarkenColor(face, amount));
  };
  auto tri = [&](const D3& a, const D3& b, const D3& c) {
    D3 pts[3] = {a, b, c};
    SelectedPolygon3D(pts, 3);
  };
  const double midZ = double((int64_t(z0) + z1) / 2);
  if (vertical) {
    const D3 apex{double((int64_t(left) + right) / 2), double(top), midZ};
    const D3 a{double(left), double(bottom), double(z0)},
        b{double(right), double(bottom), double(z0)};
    const D3 c{double(left), double(bottom), double(z1)},
        d{double(right), double(bottom), double(z1)};
    if (top != bottom) {
      tri(a, apex, b);
      const bool backVisible =
          bottom > top && Project(c.x, c.y, c.z).y < Project(apex.x, apex.y, apex.z).y;
      if (backVisible) tri(a, apex, c);
      darken(kDarkerColorQuantity);
      tri(b, apex, d);
      if (backVisible) tri(apex, c, d);
    }
    if (bottom <= top) {
      SetFaceColor(face);
      darken(kDarkColorQuantity);
      DrawHorizontalPlane(left, right, bottom, z0, z1);
    }
  } else {
    const D3 apex{double(right), double((int64_t(top) + bottom) / 2), midZ};
    if (left != right) {
      tri({double(left), double(top), double(z0)}, {double(left), double(bottom), double(z0)},
          apex);
      darken(kDarkColorQuantity);
      tri({double(left), double(top), double(z0)}, apex, {double(left), double(top), double(z1)});
    }
    if (left >= right) {
      SetFaceColor(face);
      darken(kDarkerColorQuantity);
      DrawVerticalPlane(left, top, bottom, z0, z1);
    }
  }
  SetFaceColor(face);
}

void TZidCanvas3D::DrawEllipseAtZ(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t z) {
  if (!surface_) return;
  if (is3D_ && orthogonal_) {
    DPoint a = Project(x0, y0, z), b = Project(x1, y1, z);
    surface_->Ellipse(Coord(a.x), Coord(a.y), Coord(b.x), Coord(b.y));
    return;
  }
  if (!is3D_) {
    surface_->Ellipse(Coord(int64_t(x0)), Coord(int64_t(y0)), Coord(int64_t(x1) + 1),
                      Coord(int64_t(y1) + 1));
    return;
  }
  const double cx = double((int64_t(x0) + x1) / 2), cy = double((int64_t(y0) + y1) / 2);
  const double rx = (double(x1) - x0) / 2, ry = (double(y1) - y0) / 2;
  constexpr int kPoints = 32;
  DPoint outline[kPoints];
  for (int i = 0; i < kPoints; ++i) {
    const double a = i * (std::numbers::pi / 10);  // 18 degrees
    outline[i] = Project(cx + std::trunc(rx * std::sin(a)), cy + std::trunc(ry * std::cos(a)), z);
  }
  if (Brush().style != platform::BrushStyle::Clear) {
    const platform::Pen saved = Pen();
    platform::Pen none = saved;
    none.style = platform::PenStyle::Clear;
    SetPen(none);
    const DPoint centre = Project(cx, cy, z);
    for (int i = 0; i + 1 < kPoints; ++i) {
      DPoint tri[3] = {centre, outline[i], outline[i + 1]};
      PolygonD(tri, 3);
    }
    SetPen(saved);
  }
  if (Pen().style != platform::PenStyle::Clear) PolylineD(outline, kPoints);
}

void TZidCanvas3D::DrawSphere(int32_t x, int32_t y, int32_t z, double radius) {
  const double r = std::clamp(RoundEven(radius), -4.0e9, 4.0e9);
  const int64_t ri = int64_t(r);
  DrawEllipseAtZ(ToInt32(int64_t(x) - ri), ToInt32(int64_t(y) - ri), ToInt32(int64_t(x) + ri),
                 ToInt32(int64_t(y) + ri), z);
}

void TZidCanvas3D::ClipBox(const Rect& rect, int32_t z0, int32_t z1) {
  if (!surface_) return;
  if (!is3D_) {
    ClipToRect({ToInt32(int64_t(rect.left) + 1), ToInt32(int64_t(rect.top) + 1), rect.right,
                ToInt32(int64_t(rect.bottom) - 1)});
    return;
  }
  const double l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  if (!orthogonal_ && options_ && options_->Elevation() == 270 &&
      (options_->Rotation() == 270 || options_->Rotation() == 360)) {
    DPoint p0 = Project(l, t, z0), p1 = Project(r, t, z1);
    ClipToRect({Coord(std::min(p0.x, p1.x)), Coord(std::min(p0.y, p1.y)),
                Coord(std::max(p0.x, p1.x)), Coord(std::max(p0.y, p1.y))});
    return;
  }
  DPoint pts[6];
  pts[0] = Project(l, b, z0);
  pts[1] = Project(l, t, z0);
  const DPoint ltBack = Project(l, t, z1), rtFront = Project(r, t, z0);
  pts[2] = ltBack.y < rtFront.y ? ltBack : rtFront;
  pts[3] = Project(r, t, z1);
  const DPoint rbBack = Project(r, b, z1);
  pts[4] = rbBack.x > rtFront.x ? rbBack : rtFront;
  pts[5] = Project(r, b, z0);
  if (pts[5].x < pts[0].x) {
    pts[0].x = pts[5].x;
    if (rtFront.y < pts[0].y) pts[0].y = rtFront.y;
  }
  std::vector<DPoint> clipped = ClipPolygonToLimit(pts, 6);
  surface_->RemoveClip();
  if (clipped.empty()) {
    surface_->ClipRect({0, 0, 0, 0});
    return;
  }
  std::vector<Point> sp = ToSurfacePoints(clipped.data(), clipped.size());
  surface_->ClipPolygon(sp.data(), int32_t(sp.size()));
}

void TZidCanvas3D::DrawArrow(bool filled, Point from, Point to, int32_t headLength,
                             int32_t headWidth, int32_t z) {
  if (!surface_) return;
  const double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
  const double d = std::hypot(dx, dy);
  if (d == 0) return;
  const double length = std::min(RoundEven(d), double(headLength));
  const double ux = dx / d, uy = dy / d;  // along the arrow
  const double nx = -uy, ny = ux;         // across it
  const double bx = to.x - ux * length, by = to.y - uy * length;
  const double half = headWidth / 2.0, quarter = headWidth / 4.0;
  auto at = [&](double x, double y) { return Project(RoundEven(x), RoundEven(y), z); };
  const DPoint tip = at(to.x, to.y);
  const DPoint c1 = at(bx + nx * half, by + ny * half), c2 = at(bx - nx * half, by - ny * half);
  if (!filled) {
    LineD(at(from.x, from.y), tip);
    LineD(tip, c1);
    LineD(tip, c2);
    return;
  }
  DPoint pts[7] = {at(from.x + nx * quarter, from.y + ny * quarter),
                   at(bx + nx * quarter, by + ny * quarter),
                   c1,
                   tip,
                   c2,
                   at(bx - nx * quarter, by - ny * quarter),
                   at(from.x - nx * quarter, from.y - ny * quarter)};
  PolygonD(pts, 7);
}

void TZidCanvas3D::DrawTextAtZ(int32_t x, int32_t y, std::string_view text, int32_t z) {
  if (!surface_) return;
  ProjectPoint(x, y, z);
  if (!textZoom_ || zoomFactor_ == 1.0) {
    OutputText(x, y, text);
    return;
  }
  const platform::LogFont zoomed = ZoomedFont(0, true);
  const platform::LogFont plain = ZoomedFont(0, false);
  if (zoomed == plain) {
    OutputText(x, y, text);
    return;
  }
  surface_->SetFont(zoomed);
  OutputText(x, y, text);
  surface_->SetFont(plain);
}

void TZidCanvas3D::DrawRotatedTextAtZ(int32_t x, int32_t y, int32_t z, std::string_view text,
                                      int32_t angle) {
  ProjectPoint(x, y, z);
  DrawRotatedText(x, y, angle, text);
}

// ---- solids: pie slices and cylinders ---------------------------------------------------------

// One planar face of a solid, its corners counter-clockwise about the outward normal (x right,
// y down, z away from the viewer), so that a visible face projects clockwise on the screen.
// Faces of a smooth strip are filled without outline; only their real edges are drawn.
struct TZidCanvas3D::Face {
  std::vector<D3> points;
  TColor color = clBlack;
  int strip = -1;  // strip number for smooth faces
  int prev = -1;   // neighbours in the strip (face indexes), -1 at an open end
  int next = -1;
};

void TZidCanvas3D::DrawSolid(std::vector<Face>& faces) {
  const size_t n = faces.size();
  std::vector<std::vector<DPoint>> projected(n);
  std::vector<bool> visible(n, false);
  std::vector<double> depth(n, 0);
  for (size_t i = 0; i < n; ++i) {
    const auto& pts = faces[i].points;
    auto& out = projected[i];
    out.reserve(pts.size());
    double area = 0, sum = 0;
    for (const D3& p : pts) {
      out.push_back(Project(p.x, p.y, p.z));
      sum += ViewDepth(p);
    }
    for (size_t k = 0; k < out.size(); ++k) {
      const DPoint& a = out[k];
      const DPoint& b = out[(k + 1) % out.size()];
      area += a.x * b.y - b.x * a.y;
    }
    visible[i] = area < 0;
    depth[i] = pts.empty() ? 0 : sum / double(pts.size());
  }
  std::vector<size_t> order;
  for (size_t i = 0; i < n; ++i) {
    if (visible[i]) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return depth[a] > depth[b]; });
  for (size_t i : order) {
    const Face& face = faces[i];
    const auto& pts = projected[i];
    SetFaceColor(face.color);
    if (face.strip < 0) {
      PolygonD(pts.data(), pts.size());
      continue;
    }
    const platform::Pen saved = Pen();
    platform::Pen none = saved;
    none.style = platform::PenStyle::Clear;
    SetPen(none);
    PolygonD(pts.data(), pts.size());
    SetPen(saved);
    // Edges 1-2 and 3-0 lie on the ends of the strip; 0-1 and 2-3 are shared with the
    // neighbours and drawn only where the surface turns away (the silhouette).
    LineD(pts[1], pts[2]);
    LineD(pts[3], pts[0]);
    if (face.prev < 0 || !visible[size_t(face.prev)]) LineD(pts[0], pts[1]);
    if (face.next < 0 || !visible[size_t(face.next)]) LineD(pts[2], pts[3]);
  }
}

void TZidCanvas3D::DrawPie3D(int32_t xCenter, int32_t yCenter, int32_t xRadius, int32_t yRadius,
                             int32_t z0, int32_t z1, double startAngle, double endAngle,
                             bool darkSides, bool drawSides) {
  if (!surface_ || !std::isfinite(startAngle) || !std::isfinite(endAngle)) return;
  constexpr double kTurn = 2 * std::numbers::pi;
  if (endAngle < startAngle) std::swap(startAngle, endAngle);
  const double span = std::min(endAngle - startAngle, kTurn);
  const bool full = span >= kTurn - 1e-9;
  const int segments = std::clamp(int(std::ceil(span / kTurn * 64)), 1, 64);
  const double xc = xCenter, yc = yCenter;
  const double xr = std::abs(double(xRadius)), yr = std::abs(double(yRadius));
  const TColor face = FaceColor();

  if (!is3D_) {
    // Flat: the slice of the ellipse itself.
    std::vector<DPoint> pts;
    if (!full) pts.push_back({xc, yc});
    for (int k = 0; k < segments + (full ? 0 : 1); ++k) {
      const double a = startAngle + span * k / segments;
      pts.push_back({xc + xr * std::cos(a), yc - yr * std::sin(a)});
    }
    PolygonD(pts.data(), pts.size());
    return;
  }

  // The slice lies flat like a cake: its outline runs across (xr) and in depth (yr) around
  // the middle depth, so that seen from straight above it is the flat slice; its thickness
  // is the depth range, centred on yCenter. Angles grow towards the back.
  const TColor wall = darkSides ? DarkenColor(face, kDarkColorQuantity) : face;
  const double thickness = std::abs(double(z1) - z0);
  const double top = yc - thickness / 2, bottom = top + thickness;
  const double zc = (double(z0) + z1) / 2;
  std::vector<D3> arc(size_t(segments) + 1);
  for (int k = 0; k <= segments; ++k) {
    const double a = startAngle + span * k / segments;
    arc[size_t(k)] = {xc + xr * std::cos(a), 0, zc + yr * std::sin(a)};
  }
  auto at = [](D3 p, double y) {
    p.y = y;
    return p;
  };
  const D3 centre{xc, 0, zc};
  std::vector<Face> faces;
  Face upper, lower;
  upper.color = lower.color = face;
  if (!full) upper.points.push_back(at(centre, top));
  for (int k = 0; k < segments + (full ? 0 : 1); ++k) {
    upper.points.push_back(at(arc[size_t(k)], top));
  }
  lower.points.assign(upper.points.rbegin(), upper.points.rend());
  for (D3& p : lower.points) p.y = bottom;
  faces.push_back(std::move(upper));
  faces.push_back(std::move(lower));
  if (thickness > 0) {
    const int first = int(faces.size());
    for (int k = 0; k < segments; ++k) {
      Face rim;
      rim.color = wall;
      rim.strip = 0;
      rim.points = {at(arc[size_t(k)], top), at(arc[size_t(k)], bottom),
                    at(arc[size_t(k) + 1], bottom), at(arc[size_t(k) + 1], top)};
      rim.prev = k > 0 ? first + k - 1 : (full ? first + segments - 1 : -1);
      rim.next = k + 1 < segments ? first + k + 1 : (full ? first : -1);
      faces.push_back(std::move(rim));
    }
    if (drawSides && !full) {
      Face startWall, endWall;
      startWall.color = endWall.color = wall;
      startWall.points = {at(centre, top), at(centre, bottom), at(arc.front(), bottom),
                          at(arc.front(), top)};
      endWall.points = {at(centre, top), at(arc.back(), top), at(arc.back(), bottom),
                        at(centre, bottom)};
      faces.push_back(std::move(startWall));
      faces.push_back(std::move(endWall));
    }
  }
  DrawSolid(faces);
  SetFaceColor(face);
}

void TZidCanvas3D::DrawCylinder(bool vertical, int32_t left, int32_t top, int32_t right,
                                int32_t bottom, int32_t z0, int32_t z1, bool darkCover) {
  if (!surface_) return;
  constexpr int kSegments = 32;
  const double l = std::min(left, right), r = std::max(left, right);
  const double t = std::min(top, bottom), b = std::max(top, bottom);
  const double zf = std::min(z0, z1), zb = std::max(z0, z1);
  const double cz = (zf + zb) / 2, rz = (zb - zf) / 2;
  const TColor face = FaceColor();
  const TColor cover =
      darkCover ? DarkenColor(face, vertical ? kDarkColorQuantity : kDarkerColorQuantity) : face;

  // Section point k at the given position along the axis.
  auto section = [&](int k, double along) -> D3 {
    const double a = 2 * std::numbers::pi * (k % kSegments) / kSegments;
    if (vertical) {
      return {(l + r) / 2 + (r - l) / 2 * std::cos(a), along, cz + rz * std::sin(a)};
    }
    return {along, (t + b) / 2 + (b - t) / 2 * std::cos(a), cz + rz * std::sin(a)};
  };
  const double start = vertical ? t : r;  // end whose section turns with increasing angle
  const double end = vertical ? b : l;
  std::vector<Face> faces;
  Face startCap, endCap;
  startCap.color = endCap.color = cover;
  for (int k = 0; k < kSegments; ++k) {
    startCap.points.push_back(section(k, start));
    endCap.points.push_back(section(kSegments - k, end));
  }
  faces.push_back(std::move(startCap));
  faces.push_back(std::move(endCap));
  const int first = int(faces.size());
  for (int k = 0; k < kSegments; ++k) {
    Face rim;
    rim.color = face;
    rim.strip = 0;
    rim.points = {section(k, start), section(k, end), section(k + 1, end), section(k + 1, start)};
    rim.prev = first + (k + kSegments - 1) % kSegments;
    rim.next = first + (k + 1) % kSegments;
    faces.push_back(std::move(rim));
  }
  DrawSolid(faces);
  SetFaceColor(face);
}

}  // namespace zq
