// The drawing surface: a device context with the Windows pixel rules, whatever the backend.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/image.h"

namespace zq::platform {

enum class PenStyle : uint8_t {
  Solid,
  Dash,
  Dot,
  DashDot,
  DashDotDot,
  Clear,
  InsideFrame,
  Alternate  // every other pixel (cosmetic pens of width 1 only)
};

enum class PenMode : uint8_t { Copy, NotXor };

enum class BrushStyle : uint8_t {
  Solid,
  Clear,
  Horizontal,
  Vertical,
  FDiagonal,
  BDiagonal,
  Cross,
  DiagCross,
  Pattern  // 8 x 8 pattern bitmap of the brush
};

enum class BackMode : int32_t { Transparent = 1, Opaque = 2 };

// Text alignment flags with the values of the Windows TA_ constants.
namespace text_align {
constexpr uint32_t kLeft = 0;
constexpr uint32_t kRight = 2;
constexpr uint32_t kCenter = 6;
constexpr uint32_t kTop = 0;
constexpr uint32_t kBottom = 8;
constexpr uint32_t kBaseline = 24;
constexpr uint32_t kHorizontalMask = 6;
constexpr uint32_t kVerticalMask = 24;
}  // namespace text_align

struct Pen {
  Rgb color = 0;
  int32_t width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  friend bool operator==(const Pen&, const Pen&) = default;
};

// An 8 x 8 brush pattern: set bits take the brush colour, clear bits the background colour
// (in opaque mode) or are left alone (transparent mode). Row 0 is the top row, bit 7 the
// leftmost pixel.
struct BrushPattern {
  uint8_t rows[8] = {};
  friend bool operator==(const BrushPattern&, const BrushPattern&) = default;
};

struct Brush {
  Rgb color = 0xFFFFFF;
  BrushStyle style = BrushStyle::Solid;
  BrushPattern pattern;
  friend bool operator==(const Brush&, const Brush&) = default;
};

// The logical font record of a device context. height < 0 is the character height in
// pixels, height > 0 the cell height, 0 the default. Escapement is in tenths of a degree,
// counter-clockwise.
struct LogFont {
  std::string face = "Arial";  // UTF-8
  int32_t height = -11;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charset = 1;
  friend bool operator==(const LogFont&, const LogFont&) = default;
};

struct FontMetrics {
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t height = 0;  // ascent + descent
};

class Surface {
 public:
  virtual ~Surface() = default;

  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // A platform handle (HDC on Windows), 0 where there is none.
  virtual intptr_t Handle() const { return 0; }

  // Selected objects and state.
  virtual void SetPen(const Pen& pen) = 0;
  virtual const Pen& GetPen() const = 0;
  virtual void SetBrush(const Brush& brush) = 0;
  virtual const Brush& GetBrush() const = 0;
  virtual void SetFont(const LogFont& font) = 0;
  virtual const LogFont& GetFont() const = 0;
  virtual void SetTextColor(Rgb color) = 0;
  virtual Rgb GetTextColor() const = 0;
  virtual void SetBackColor(Rgb color) = 0;
  virtual Rgb GetBackColor() const = 0;
  virtual void SetBackMode(BackMode mode) = 0;
  virtual BackMode GetBackMode() const = 0;
  virtual void SetTextAlign(uint32_t flags) = 0;
  virtual uint32_t GetTextAlign() const = 0;

  // Lines: a line from A to B covers A but not B.
  virtual void MoveTo(int32_t x, int32_t y) = 0;
  virtual void LineTo(int32_t x, int32_t y) = 0;
  virtual Point CurrentPosition() const = 0;
  virtual void Polyline(const Point* points, int32_t count) = 0;

  // Filled shapes: outlined with the pen, filled with the brush, covering columns
  // left..right-1 and rows top..bottom-1.
  virtual void Polygon(const Point* points, int32_t count) = 0;
  // Polygons of count points each, one after another in points: drawn as Polygon draws them,
  // in order.
  virtual void Polygons(const Point* points, int32_t count, size_t polygons) {
    for (size_t k = 0; k < polygons; ++k) Polygon(points + k * size_t(count), count);
  }
  virtual void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  virtual void RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                         int32_t ellipseWidth, int32_t ellipseHeight) = 0;
  virtual void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // Arc and pie by bounding box and two radial points, counter-clockwise from start to end.
  virtual void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                   int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
  virtual void Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                   int32_t yStart, int32_t xEnd, int32_t yEnd) = 0;
  // Fills with the given brush, no outline.
  virtual void FillRect(const Rect& rect, const Brush& brush) = 0;
  // Fills with the selected brush (PatBlt with PATCOPY).
  virtual void PatternFill(const Rect& rect) = 0;
  virtual void SetPixel(int32_t x, int32_t y, Rgb color) = 0;

  // Text in UTF-8, placed by the alignment flags.
  virtual void TextOut(int32_t x, int32_t y, std::string_view text) = 0;
  virtual Size TextExtent(std::string_view text) = 0;
  virtual FontMetrics GetFontMetrics() = 0;

  // Clipping: each call intersects with the current clip region.
  virtual void ClipRect(const Rect& rect) = 0;
  virtual void ClipPolygon(const Point* points, int32_t count) = 0;
  virtual void RemoveClip() = 0;

  // Pictures.
  virtual void DrawImage(const Image& image, int32_t x, int32_t y) = 0;
  virtual void StretchImage(const Image& image, const Rect& dest) = 0;

  // Memory bitmaps and block copies.
  virtual std::unique_ptr<Surface> CreateCompatible(int32_t width, int32_t height,
                                                    bool monochrome) = 0;
  // Copies a width x height block of source at (sx, sy) to (dx, dy) of this surface.
  virtual void CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source,
                        int32_t sx, int32_t sy) = 0;
  // The whole surface as an image (for saving and comparing pictures).
  virtual Image Snapshot() = 0;

  // Convenience built on the above.
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    MoveTo(x0, y0);
    LineTo(x1, y1);
  }
  void Polyline(const std::vector<Point>& points) {
    Polyline(points.data(), int32_t(points.size()));
  }
  void Polygon(const std::vector<Point>& points) { Polygon(points.data(), int32_t(points.size())); }
};

// Creates an in-memory surface of the platform's default kind (Cairo image surface on Linux,
// GDI DIB section on Windows), cleared to white.
std::unique_ptr<Surface> CreateMemorySurface(int32_t width, int32_t height);

// A checking aid: surfaces made from now on set the pixels of every call at once, keeping
// nothing for later (the Cairo surface otherwise gathers lines and leaves out hidden shapes;
// GDI always draws at once).
void SetSurfacesDrawAtOnce(bool value);

}  // namespace zq::platform
