// The Linux drawing surface: a Cairo image surface drawn with the Windows pixel rules.
//
// Lines, wide pens, polygon and ellipse interiors, hatches, raster operations and clipping are
// computed here pixel by pixel, so that they land on the pixels GDI chooses; Cairo draws the
// text (through FreeType and fontconfig) into coverage masks.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "platform/surface.h"

namespace zq::platform {

class CairoSurface : public Surface {
 public:
  // A width x height surface whose pixels start black, as a fresh GDI bitmap does. A
  // monochrome surface holds only black and white, mapped as GDI maps colours: solid brushes
  // are dithered, pens and text are white or black (the background colour takes the nearer
  // one, any other colour the other), pixels and pictures take the nearer.
  CairoSurface(int32_t width, int32_t height, bool monochrome = false);
  ~CairoSurface() override;
  CairoSurface(const CairoSurface&) = delete;
  CairoSurface& operator=(const CairoSurface&) = delete;

  bool Monochrome() const { return monochrome_; }
  // Polygons are kept and set from the last back (see SettleShapes), this many at most: a
  // 3D ribbon's faces of many a column (each batch's last column is painted whole, however
  // much of it the next batch then hides).
  static constexpr size_t kMaxKeptShapes = 131072;
  // The backing RGB24 image surface, up to date with everything drawn so far (for output, and
  // for hosts that draw on it with Cairo: flush it before drawing through this class again).
  cairo_surface_t* CairoHandle();
  // Fills the whole surface, ignoring the clip.
  void Clear(Rgb color);
  Rgb GetPixel(int32_t x, int32_t y) const;
  // Every drawing call sets its pixels at once: nothing kept for later (see Settle), for
  // comparing pictures.
  void SetDrawAtOnce(bool value) {
    Settle();
    drawAtOnce_ = value;
  }

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }

  void SetPen(const Pen& pen) override {
    pen_ = pen;
    ++stateVersion_;
  }
  const Pen& GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override {
    brush_ = brush;
    ++stateVersion_;
  }
  const Brush& GetBrush() const override { return brush_; }
  void SetFont(const LogFont& font) override { font_ = font; }
  const LogFont& GetFont() const override { return font_; }
  void SetTextColor(Rgb color) override { textColor_ = color; }
  Rgb GetTextColor() const override { return textColor_; }
  void SetBackColor(Rgb color) override {
    backColor_ = color;
    ++stateVersion_;
  }
  Rgb GetBackColor() const override { return backColor_; }
  void SetBackMode(BackMode mode) override {
    backMode_ = mode;
    ++stateVersion_;
  }
  BackMode GetBackMode() const override { return backMode_; }
  void SetTextAlign(uint32_t flags) override { textAlign_ = flags; }
  uint32_t GetTextAlign() const override { return textAlign_; }

  void MoveTo(int32_t x, int32_t y) override { position_ = {x, y}; }
  void LineTo(int32_t x, int32_t y) override;
  Point CurrentPosition() const override { return position_; }
  void Polyline(const Point* points, int32_t count) override;
  using Surface::Polyline;

  void Polygon(const Point* points, int32_t count) override;
  void Polygons(const Point* points, int32_t count, size_t polygons) override;
  using Surface::Polygon;
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t ellipseWidth,
                 int32_t ellipseHeight) override;
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override;
  void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
           int32_t xEnd, int32_t yEnd) override;
  void FillRect(const Rect& rect, const Brush& brush) override;
  void PatternFill(const Rect& rect) override;
  void SetPixel(int32_t x, int32_t y, Rgb color) override;

  void TextOut(int32_t x, int32_t y, std::string_view text) override;
  Size TextExtent(std::string_view text) override;
  FontMetrics GetFontMetrics() override;

  void ClipRect(const Rect& rect) override;
  void ClipPolygon(const Point* points, int32_t count) override;
  void RemoveClip() override;

  void DrawImage(const Image& image, int32_t x, int32_t y) override;
  void StretchImage(const Image& image, const Rect& dest) override;

  std::unique_ptr<Surface> CreateCompatible(int32_t width, int32_t height,
                                            bool monochrome) override;
  void CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source, int32_t sx,
                int32_t sy) override;
  Image Snapshot() override;

 private:
  enum class Rop : uint8_t { Copy, NotXor };
  // Per-pixel coverage of a shape within a box: 0 nothing, 1 foreground, 2 background (the
  // gaps of dashes and hatches in opaque mode), 3 excluded from the interior.
  struct Mask {
    Rect box;
    std::vector<uint8_t> cells;
    uint8_t& At(int32_t x, int32_t y) {
      return cells[size_t(y - box.top) * size_t(box.Width()) + size_t(x - box.left)];
    }
  };
  struct ShapeOutline {
    std::vector<Point> points;
    bool closed = true;
    // Ellipses and rounded rectangles fill GDI's elliptic region of their box rather than the
    // polygon of their outline.
    bool rounded = false;
    Rect box;
    int32_t ellipseWidth = 0, ellipseHeight = 0;
  };

  void MarkDirty();
  uint32_t* Row(int32_t y) const { return data_ + size_t(y) * size_t(stride_); }
  uint32_t DevicePixel(Rgb color) const;
  bool InClip(int32_t x, int32_t y) const;
  void Put(int32_t x, int32_t y, uint32_t pixel, Rop rop);
  Rop PenRop() const { return pen_.mode == PenMode::NotXor ? Rop::NotXor : Rop::Copy; }
  bool CosmeticPen() const;

  // Cosmetic pens: calls plot(x, y, on) for each visible pixel of a polyline, continuing the
  // dash pattern from segment to segment.
  template <typename F>
  void TracePolyline(const Point* points, int32_t count, bool closed, F&& plot);
  void DrawCosmeticPolyline(const Point* points, int32_t count, bool closed);
  // A 1-pixel solid pen that sets its pixels (no dashes, no raster operation).
  bool SolidPen() const;
  // The rows an upright segment from a to b sets within the clip box; false for none.
  bool UprightRows(Point a, Point b, int32_t& from, int32_t& to) const;
  void SetUpright(int32_t x, int32_t from, int32_t to, uint32_t pixel) const;
  void SetSegment(Point a, Point b, uint32_t pixel) const;
  // Draws what was kept for later: solid lines, or shapes. Everything that draws otherwise,
  // reads pixels or changes the clip calls it first.
  void Settle() const;
  // Sets the pixels of the solid lines kept for later.
  void SettleLines() const;
  // Draws the shapes kept for later that can show.
  void SettleShapes();
  void DrawPolygon(const Point* points, int32_t count);
  // Wide pens: the region GDI covers with round ends and joins, marked in a mask.
  void StrokeWide(const Point* points, int32_t count, bool closed, Mask& mask, uint8_t value);
  void PaintMask(Mask& mask, Rgb fore, const Brush* brush, Rop rop);
  void FillBrushSpan(int32_t y, int32_t x0, int32_t x1, const Brush& brush, Rop rop);
  // FillBrushSpan for many spans of one brush: what does not change is worked out once.
  class SpanFiller {
   public:
    SpanFiller(CairoSurface& surface, const Brush& brush, Rop rop);
    void Fill(int32_t y, int32_t x0, int32_t x1) const;

   private:
    CairoSurface& surface_;
    const uint8_t* rows_;
    uint32_t fore_, back_;
    int grey_;  // the grey level of a dithered solid brush on a monochrome bitmap, else -1
    Rop rop_;
    bool opaque_, clear_;
  };
  // A shape filled with the brush and outlined with the pen.
  void DrawShape(const ShapeOutline& outline, bool fill);
  // The same for the points given (the outline's own are not used).
  void DrawShape(const Point* points, int32_t count, const ShapeOutline& outline, bool fill);
  Rect ShapeBox(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
  void FillPolygonRgb(const Point* points, int32_t count, Rgb color);
  void BlitPixels(const uint32_t* pixels, int32_t srcStride, int32_t width, int32_t height,
                  int32_t dx, int32_t dy, bool sourceMonochrome, Rgb sourceBack);

  int32_t width_ = 0, height_ = 0;
  bool monochrome_ = false;
  cairo_surface_t* surface_ = nullptr;
  uint32_t* data_ = nullptr;
  int32_t stride_ = 0;  // in pixels

  Pen pen_;
  Brush brush_;
  LogFont font_;
  Rgb textColor_ = 0;
  Rgb backColor_ = 0xFFFFFF;
  BackMode backMode_ = BackMode::Opaque;
  uint32_t textAlign_ = 0;
  Point position_;

  // Clip: a bounding box, refined by a per-pixel mask once a polygon is involved.
  Rect clipBox_;
  std::vector<uint8_t> clipMask_;
  // With a mask, each row's pixels in it as one run from..to, or kPieces where they are not.
  static constexpr int32_t kPieces = INT32_MIN;
  std::vector<int32_t> clipRowFrom_, clipRowTo_;

  // Segments of solid 1-pixel lines in one pixel value, not yet set (see Settle).
  struct Upright {
    int32_t x, from, to;
  };
  static constexpr size_t kMaxPending = 8192;
  bool drawAtOnce_ = false;
  mutable std::vector<std::pair<Point, Point>> pending_;
  mutable uint32_t pendingPixel_ = 0;
  mutable std::vector<Upright> uprights_, active_, runs_;

  // Polygons of up to four points kept for later (see SettleShapes), with what they are drawn
  // with; and the rows' runs of pixels set by later shapes.
  static constexpr int32_t kKeptShapePoints = 4;
  struct KeptState {
    Pen pen;
    Brush brush;
    BackMode backMode = BackMode::Opaque;
    Rgb backColor = 0;
    friend bool operator==(const KeptState&, const KeptState&) = default;
  };
  // The kept shapes' points, four places each; and the runs of shapes that share a count of
  // points and a state (in keptStates_), each from its first shape to the next run's.
  struct KeptPoints {
    Point points[kKeptShapePoints];
  };
  struct KeptRun {
    size_t first;
    int32_t count;
    uint32_t state;
  };
  std::vector<KeptPoints> keptPoints_;
  size_t keptCount_ = 0;  // of keptPoints_, which keeps its places for the next shapes
  std::vector<KeptRun> keptRuns_;
  // A kept shape as its painters see it.
  struct KeptShape {
    const Point* points;
    int32_t count;
    uint32_t state;
  };
  struct KeptShapes {
    std::span<const KeptPoints> points;
    std::span<const KeptRun> runs;
    // Calls shape(KeptShape) for each, from the last back to the first.
    template <typename F>
    void FromTheLast(F&& shape) const {
      size_t end = points.size();
      for (size_t r = runs.size(); r-- > 0; end = runs[r].first) {
        const int32_t count = runs[r].count;
        const uint32_t state = runs[r].state;
        for (size_t i = end; i-- > runs[r].first;) shape(KeptShape{points[i].points, count, state});
      }
    }
  };
  bool KeepsShapes(int32_t count) const;
  void KeepShapes(const Point* points, int32_t count, size_t polygons);
  std::vector<KeptState> keptStates_;
  // Counts the changes of pen, brush and background; the last kept state is the drawing
  // state while keptVersion_ still equals it.
  uint64_t stateVersion_ = 0, keptVersion_ = UINT64_MAX;
  // The boxes that hold every pixel the shape may set within box and later shapes do not
  // (see SettleShapes): false when there is none.
  bool Uncovered(const KeptShape& shape, const Rect& box, Rect (&paint)[2]) const;
  struct ShapePaint {
    KeptShape shape;
    Rect boxes[2];
  };
  std::vector<ShapePaint> keptShapePaint_;
  mutable std::vector<double> rowFrom_, rowTo_;
  // Whether every kept shape sets each of its pixels in one colour of its own (a solid
  // interior or none, a solid thin outline or none) on a colour surface.
  bool PlainShapes(const std::vector<KeptState>& states) const;
  // Plain shapes, painted from the last back (see there).
  void PaintFromTheLast(const KeptShapes& shapes, const std::vector<KeptState>& states);
  // Any others: drawn in order where later ones may leave them showing.
  void PaintUncovered(const KeptShapes& shapes, const std::vector<KeptState>& states);
  std::vector<int32_t> coverLeft_, coverRight_;
  // The box's rows from the first to the last whose run leaves part of the box out: false
  // when there is none.
  bool OpenRows(const Rect& box, int32_t& top, int32_t& bottom) const;
  // Adds x0..x1 to row y's run: joined to it where they meet, else in its place when longer.
  // Returns the pixels that are taken but outside the run now (x0..x1 when they were not
  // joined, the old run when it was replaced), an empty box when there are none.
  Rect JoinRun(int32_t y, int32_t x0, int32_t x1);
  // Pixels taken by later shapes outside the rows' runs, as painted from the last back: those
  // marked with the stamp of the shapes being settled; a row with any such pixel marked too.
  std::vector<uint8_t> claims_, rowClaims_;
  uint8_t claimStamp_ = 0;
};

}  // namespace zq::platform
