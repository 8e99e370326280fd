// The chart canvas: 2D drawing passed to the surface, 3D drawing projected onto it with the
// chart's view options, and the back buffer that a whole chart is painted into.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/pens.h"
#include "platform/geometry.h"
#include "platform/image.h"
#include "platform/surface.h"

namespace zq {

using platform::Point;
using platform::Rect;

struct TPoint3D {
  int32_t x = 0;
  int32_t y = 0;
  int32_t z = 0;
  friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

enum class TGradientDirection : uint8_t {
  gdTopBottom,
  gdBottomTop,
  gdLeftRight,
  gdRightLeft,
  gdFromCenter,
  gdFromTopLeft,
  gdFromBottomLeft
};

// The view of a 3D chart. Any integer is accepted: the canvas copes with absurd values.
class TView3DOptions {
 public:
  explicit TView3DOptions(TNotifyEvent ownerRepaint = {});
  TView3DOptions(const TView3DOptions&) = delete;
  TView3DOptions& operator=(const TView3DOptions&) = delete;

  int32_t Elevation() const { return elevation_; }
  void SetElevation(int32_t value);
  int32_t HorizOffset() const { return horizOffset_; }
  void SetHorizOffset(int32_t value);
  bool Orthogonal() const { return orthogonal_; }
  void SetOrthogonal(bool value);
  int32_t Perspective() const { return perspective_; }
  void SetPerspective(int32_t value);
  int32_t Rotation() const { return rotation_; }
  void SetRotation(int32_t value);
  int32_t Tilt() const { return tilt_; }
  void SetTilt(int32_t value);
  int32_t VertOffset() const { return vertOffset_; }
  void SetVertOffset(int32_t value);
  int32_t Zoom() const { return zoom_; }
  void SetZoom(int32_t value);
  bool ZoomText() const { return zoomText_; }
  void SetZoomText(bool value);

  // Copies the nine values only; no repaint.
  void Assign(const TView3DOptions& source);

  // Repaints the owner.
  void Repaint() const {
    if (ownerRepaint_) ownerRepaint_();
  }
  void SetOwnerRepaint(TNotifyEvent handler) { ownerRepaint_ = std::move(handler); }
  // Fired after an offset changed: true for HorizOffset, false for VertOffset.
  std::function<void(bool horizontal)> OnScrolled;
  // Fired with the new value before Zoom changes.
  std::function<void(int32_t newZoom)> OnZoomChanging;

 private:
  int32_t elevation_ = 345;
  int32_t horizOffset_ = 0;
  bool orthogonal_ = true;
  int32_t perspective_ = 15;
  int32_t rotation_ = 345;
  int32_t tilt_ = 0;
  int32_t vertOffset_ = 0;
  int32_t zoom_ = 100;
  bool zoomText_ = true;
  TNotifyEvent ownerRepaint_;
};

// Raises ChartException "<description> Angle must be between 0 and 359 degrees" unless
// 0 <= value <= 360.
void CheckAngle(int32_t value, const std::string& description);

// Rectangle helpers; 64-bit inside, so any rectangle is safe.
platform::Size RectSize(const Rect& r);
Point RectCenter(const Rect& r);

// Every coordinate handed to a surface lies within +-kMaxSurfaceCoord. Lines and polygons
// that reach further are clipped geometrically (their visible part keeps its exact slope);
// rectangles, ellipses and text positions are clamped. 2^22 is far outside any window yet
// leaves headroom below Cairo's 24.8 fixed point limit (2^23) and GDI's 2^27.
constexpr int32_t kMaxSurfaceCoord = 1 << 22;
// Loops that step pixel by pixel (gradients, bevels) work on the rectangle clamped to
// +-kMaxLoopCoord, which still covers any real surface.
constexpr int32_t kMaxLoopCoord = 1 << 15;
// Largest font height and pen width handed to a surface, in pixels.
constexpr int32_t kMaxFontPixels = 4096;
constexpr int32_t kMaxPenWidth = 4096;
// Largest back buffer side.
constexpr int32_t kMaxBufferSide = 8192;

// The chart canvas. 2D calls go straight to the current surface; 3D calls project
// (X, Y, Z), Z being the depth in pixels from the front of the chart.
class TZidCanvas3D {
 public:
  TZidCanvas3D();
  ~TZidCanvas3D();
  TZidCanvas3D(const TZidCanvas3D&) = delete;
  TZidCanvas3D& operator=(const TZidCanvas3D&) = delete;

  // ---- surface and state -------------------------------------------------------------------
  // The window surface to draw on outside a buffered frame (not owned).
  void SetSurface(platform::Surface* surface);
  platform::Surface* Surface() const { return surface_; }
  platform::Surface* BackBuffer() const { return buffer_.get(); }

  // Pen, brush, font: those of the current surface. The font is kept by the canvas (the
  // surface's font record has no colour) and selected into every surface it draws on.
  const platform::Pen& Pen() const;
  void SetPen(const platform::Pen& pen);
  void SetPenColor(TColor color);
  void SetPenWidth(int32_t width);
  void SetPenStyle(TPenStyle style);
  void SetPenMode(TPenMode mode);
  const platform::Brush& Brush() const;
  void SetBrush(const platform::Brush& brush);
  void SetBrushColor(TColor color);
  void SetBrushStyle(TBrushStyle style);
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }
  void SetFont(const TChartFont& font) { font_ = font; }

  TColor CurrentBackColor() const;
  platform::BackMode CurrentBackMode() const;
  intptr_t SurfaceHandle() const;
  bool IsMonochrome() const { return monochrome_; }
  uint32_t TextAlignment() const;
  bool UsesBuffer() const { return buffered_; }
  void ChangeBackColor(TColor color);
  void ChangeBackMode(platform::BackMode mode);
  void ChangeMonochrome(bool value);
  void SetTextAlignment(uint32_t flags);
  void ChangeUseBuffer(bool value);
  void MarkDirty() { dirty_ = true; }
  bool IsDirty() const { return dirty_; }
  bool IsMetafiling() const { return metafiling_; }
  void SetMetafiling(bool value) { metafiling_ = value; }
  // Copies the monochrome flag.
  void Assign(const TZidCanvas3D& source);

  // Pen black 1 solid, brush white solid, font black 10, background white and transparent.
  void ResetDrawingState();
  void SelectChartPen(const TChartPen& pen);

  // ---- 2D ----------------------------------------------------------------------------------
  void PutPixel(int32_t x, int32_t y, TColor color);
  void DrawArc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1, int32_t y1,
               int32_t x2, int32_t y2);
  void DrawPicture(int32_t x, int32_t y, const platform::Image& picture);
  void DrawEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void FillRectangle(const Rect& rect);
  void DrawBevel(const Rect& rect, TColor topLeft, TColor bottomRight, int32_t width);
  void LineToPoint(int32_t x, int32_t y);
  void MoveToPoint(int32_t x, int32_t y);
  void DrawPieSlice(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t x1,
                    int32_t y1, int32_t x2, int32_t y2);
  void DrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void DrawRoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseWidth,
                     int32_t ellipseHeight);
  void StretchPicture(const Rect& rect, const platform::Image& picture);
  void OutputText(int32_t x, int32_t y, std::string_view text);
  int32_t TextWidthOf(std::string_view text);
  int32_t TextHeightOf(std::string_view text);
  // Height of "W" in the current font.
  int32_t TextLineHeight() { return TextHeightOf("W"); }
  void ClipToRect(const Rect& rect);
  void HorizontalLine(int32_t x0, int32_t x1, int32_t y);
  void DrawRectR(const Rect& rect) { DrawRect(rect.left, rect.top, rect.right, rect.bottom); }
  void VerticalLine(int32_t x, int32_t y0, int32_t y1);
  void EraseRect(const Rect& rect) { FillRectangle(rect); }
  void FillGradient(const Rect& rect, TColor colorA, TColor colorB, TGradientDirection direction);
  void DrawSegment(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  // Points 0 to lastIndex; nothing for a negative lastIndex.
  void DrawPolygon(const Point* points, int32_t lastIndex);
  void DrawPolygon(const std::vector<Point>& points) {
    DrawPolygon(points.data(), int32_t(points.size()) - 1);
  }
  void DrawPolyline(const Point* points, int32_t lastIndex);
  void DrawRotatedText(int32_t x, int32_t y, int32_t angle, std::string_view text);
  void RemoveClip();

  // ---- projection --------------------------------------------------------------------------
  // Starts a painting pass on `surface`: into the back buffer when buffered. Returns the
  // rectangle to draw into.
  Rect BeginFrame(platform::Surface& surface, TView3DOptions* options, const Rect& bounds,
                  bool is3D);
  void SetProjectionCentre(int32_t depth, const Rect& bounds, const Rect& chartRect);
  // Copies the back buffer to `dest` at destRect's top-left corner; drawing then goes to
  // panelSurface (the window surface when null).
  void PresentFrame(platform::Surface& dest, platform::Surface* panelSurface, const Rect& destRect);
  // Copies a clean back buffer to `dest` (the current surface when omitted) at (0, 0).
  bool RepaintFromBuffer(platform::Surface& dest);
  bool RepaintFromBuffer();

  void ProjectPoint(int32_t& x, int32_t& y, int32_t z) const;
  Point ProjectXY(int32_t x, int32_t y, int32_t z) const;
  void UnprojectPoint(int32_t& x, int32_t& y, int32_t z) const;

  TView3DOptions* View3DOptions() const { return options_; }
  // The options are not owned: an owner that re-creates its window or frees them calls this.
  void ForgetView3DOptions() { options_ = nullptr; }
  bool Is3D() const { return is3D_; }
  bool IsOrthogonal() const { return orthogonal_; }
  double ZoomFactor() const { return zoomFactor_; }
  double PerspectiveFactor() const { return perspectiveFactor_; }
  bool TextZoom() const { return textZoom_; }
  Rect FrameBounds() const { return bounds_; }
  // Projection centre (x, y, z) and projected centre (x, y).
  TPoint3D ProjectionCentre() const { return {centreX_, centreY_, centreZ_}; }
  Point ProjectedCentre() const;
  // XY, YY, ZP, XX, YX, XZ, YZ.
  struct Coefficients {
    double xy, yy, zp, xx, yx, xz, yz;
  };
  Coefficients ProjectionCoefficients() const { return {xy_, yy_, zp_, xx_, yx_, xz_, yz_}; }

  // ---- 3D ----------------------------------------------------------------------------------
  void PutPixelAtZ(int32_t x, int32_t y, int32_t z, TColor color);
  bool DrawsFlatItemsInDepth() const { return false; }
  bool DrawsTextInDepth() const { return false; }
  void DrawArrow(bool filled, Point from, Point to, int32_t headLength, int32_t headWidth,
                 int32_t z);
  void ClipBox(const Rect& rect, int32_t z0, int32_t z1);
  void DrawCone(bool vertical, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t z0,
                int32_t z1) {
    DrawPyramid(vertical, left, top, right, bottom, z0, z1, true);
  }
  // Z0 is the front, Z1 the back.
  void DrawBox(int32_t left, int32_t right, int32_t top, int32_t bottom, int32_t z0, int32_t z1,
               bool darkSides);
  void DrawBox(const Rect& r, int32_t z0, int32_t z1, bool darkSides) {
    DrawBox(r.left, r.right, r.top, r.bottom, z0, z1, darkSides);
  }
  // A cylinder whose axis runs from top to bottom (vertical) or left to right, its section
  // the ellipse inscribed in the other extent and z0..z1. The visible end is darkened
  // (by 64 on a vertical cylinder, 128 on a horizontal one) when darkCover.
  void DrawCylinder(bool vertical, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    int32_t z0, int32_t z1, bool darkCover);
  void HorizontalLineAtZ(int32_t x0, int32_t x1, int32_t y, int32_t z);
  void VerticalLineAtZ(int32_t x, int32_t y0, int32_t y1, int32_t z);
  void DepthLine(int32_t x, int32_t y, int32_t z0, int32_t z1);
  void DrawEllipseAtZ(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t z);
  void SuspendDepth();
  void ResumeDepth();
  void DrawLineAtZ(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t z);
  void MoveToXYZ(int32_t x, int32_t y, int32_t z);
  void LineToXYZ(int32_t x, int32_t y, int32_t z);
  // A pie slice lying flat like a slice of cake, so that a view from above (Elevation 315
  // for pies) shows its top and its front rim. Its outline runs xRadius across and yRadius
  // in depth around the middle of z0..z1, its thickness is |z1 - z0|, centred on yCenter.
  // Seen from straight above it covers the flat slice of the ellipse (xRadius, yRadius);
  // in a 2D frame it is that flat slice. Angles in radians, counter-clockwise from three
  // o'clock as seen from above (growing towards the back). drawSides draws the two cut faces
  // (for a slice standing apart; neighbours hide each other's cuts); darkSides darkens rim
  // and cuts by 64.
  void DrawPie3D(int32_t xCenter, int32_t yCenter, int32_t xRadius, int32_t yRadius, int32_t z0,
                 int32_t z1, double startAngle, double endAngle, bool darkSides, bool drawSides);
  void DrawPlaneAtZRange(Point a, Point b, int32_t z0, int32_t z1);
  // DrawPlaneAtZRange({x, to}, {x, from}, z0, z1) for each (from, to) in turn: the upright
  // faces of one column, each height projected once.
  void DrawUprightPlanes(int32_t x, const std::vector<std::pair<int32_t, int32_t>>& faces,
                         int32_t z0, int32_t z1);
  void DrawQuadAtZ(const Point (&points)[4], int32_t z);
  void DrawQuadAtZ0Z1(const Point (&points)[4], int32_t z0, int32_t z1);
  void DrawPolygonAtZ(const Point* points, int32_t lastIndex, int32_t /*z*/) {
    DrawPolygon(points, lastIndex);
  }
  void DrawPyramid(bool vertical, int32_t left, int32_t top, int32_t right, int32_t bottom,
                   int32_t z0, int32_t z1, bool darkSides);
  void DrawRectAtZ(const Rect& rect, int32_t z);
  void DrawHorizontalPlane(int32_t x0, int32_t x1, int32_t y, int32_t z0, int32_t z1);
  void DrawVerticalPlane(int32_t x, int32_t y0, int32_t y1, int32_t z0, int32_t z1);
  void DrawRotatedTextAtZ(int32_t x, int32_t y, int32_t z, std::string_view text, int32_t angle);
  void DrawSphere(int32_t x, int32_t y, int32_t z, double radius);
  void DrawSurface() {}
  void DrawTextAtZ(int32_t x, int32_t y, std::string_view text, int32_t z);
  void DrawTriangle3D(const TPoint3D& p0, const TPoint3D& p1, const TPoint3D& p2, TColor color);
  void DrawTriangleAtZ(Point p0, Point p1, Point p2, int32_t z);

  // Darkening amounts of box sides and tops.
  static constexpr int32_t kDarkerColorQuantity = 128;
  static constexpr int32_t kDarkColorQuantity = 64;

 private:
  struct DPoint {
    double x = 0;
    double y = 0;
  };
  struct D3 {
    double x = 0, y = 0, z = 0;
  };
  struct Face;

  // Projection in double, rounded like ProjectPoint but not clamped.
  DPoint Project(double x, double y, double z) const;
  // The corners of an upright face at one height: (x, y, z0) and (x, y, z1) as Project and
  // Coord make them, and whether both lie where the surface takes them as they are.
  struct UprightCorners {
    Point pixel0, pixel1;
    bool inside = false;
  };
  // out[k] for the height ys[k], for every k < count; the heights lie within low..high.
  void ProjectUprights(int32_t x, const int32_t* ys, size_t count, int32_t low, int32_t high,
                       int32_t z0, int32_t z1, UprightCorners* out) const;
  double ViewDepth(const D3& p) const;
  void ComputeTrigonometry();
  void AttachSurface(platform::Surface* surface);
  void SelectFontIntoSurface();
  platform::LogFont ZoomedFont(int32_t escapement, bool zoom) const;

  // The funnel to the surface: everything is clipped or clamped here.
  void LineD(DPoint a, DPoint b);
  void PolylineD(const DPoint* points, size_t count);
  void PolygonD(const DPoint* points, size_t count);
  void SelectedPolygon3D(const D3* points, size_t count);
  void MoveToD(DPoint p);
  void LineToD(DPoint p);
  void SetFaceColor(TColor color);
  TColor FaceColor() const;
  void DrawSolid(std::vector<Face>& faces);

  platform::Surface* window_ = nullptr;   // the panel's surface
  platform::Surface* surface_ = nullptr;  // where drawing goes now
  TChartFont font_;
  bool metafiling_ = false;

  TView3DOptions* options_ = nullptr;
  bool orthogonal_ = false;

  int32_t centreX_ = 0, centreY_ = 0, centreZ_ = 0;
  double projCentreX_ = 0, projCentreY_ = 0;
  long double sinElevation_ = 0, cosElevSinRot_ = 0;
  double xy_ = 0, yy_ = 1, zp_ = 1, xx_ = 1, yx_ = 0, xz_ = 0, yz_ = 0;
  bool was3D_ = false;
  bool is3D_ = false;

  std::unique_ptr<platform::Surface> buffer_;
  bool buffered_ = true;
  bool monochrome_ = false;
  bool dirty_ = true;
  Rect bounds_;
  bool textZoom_ = true;
  double zoomFactor_ = 1.0;
  double perspectiveFactor_ = 0.0;

  // The logical current position (may lie beyond the surface range).
  DPoint position_;
};

}  // namespace zq
