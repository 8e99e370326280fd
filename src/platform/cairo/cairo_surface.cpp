#include "platform/cairo/cairo_surface.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/cairo/cairo_fonts.h"
#include "platform/cairo/raster.h"

namespace zq::platform {

namespace {

// Whether new surfaces draw at once (SetSurfacesDrawAtOnce).
bool g_drawAtOnce = false;

using raster::Intersect;
using raster::IsEmpty;

// Cosmetic dash patterns in pixels, on/off, as GDI draws them.
struct DashPattern {
  std::vector<bool> on;  // one entry per pixel of a period
};

DashPattern MakeDash(std::initializer_list<int> runs) {
  DashPattern d;
  bool on = true;
  for (int r : runs) {
    d.on.insert(d.on.end(), size_t(r), on);
    on = !on;
  }
  return d;
}

const DashPattern& DashFor(PenStyle style) {
  static const DashPattern solid = MakeDash({1});
  static const DashPattern dash = MakeDash({18, 6});
  static const DashPattern dot = MakeDash({3, 3});
  static const DashPattern dashDot = MakeDash({9, 6, 3, 6});
  static const DashPattern dashDotDot = MakeDash({9, 3, 3, 3, 3, 3});
  static const DashPattern alternate = MakeDash({1, 1});
  switch (style) {
    case PenStyle::Dash:
      return dash;
    case PenStyle::Dot:
      return dot;
    case PenStyle::DashDot:
      return dashDot;
    case PenStyle::DashDotDot:
      return dashDotDot;
    case PenStyle::Alternate:
      return alternate;
    default:
      return solid;
  }
}

// The 8 x 8 hatch bitmaps of Windows brushes; bit 7 is the left-most pixel.
constexpr uint8_t kHatches[6][8] = {
    {0x00, 0x00, 0x00, 0xff, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0xff, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

// The rows of a brush's 8 x 8 pattern (all set for a solid brush).
const uint8_t* BrushRows(const Brush& b) {
  static constexpr uint8_t kSolid[8] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
  switch (b.style) {
    case BrushStyle::Horizontal:
      return kHatches[0];
    case BrushStyle::Vertical:
      return kHatches[1];
    case BrushStyle::FDiagonal:
      return kHatches[2];
    case BrushStyle::BDiagonal:
      return kHatches[3];
    case BrushStyle::Cross:
      return kHatches[4];
    case BrushStyle::DiagCross:
      return kHatches[5];
    case BrushStyle::Pattern:
      return b.pattern.rows;
    default:
      return kSolid;
  }
}

uint32_t ToPixel(Rgb c) {
  return (uint32_t(RedOf(c)) << 16) | (uint32_t(GreenOf(c)) << 8) | BlueOf(c);
}
Rgb FromPixel(uint32_t p) {
  return MakeRgb(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
}

// GDI's ordered dither of solid brushes on monochrome bitmaps (measured under Wine): a pixel
// is white when the colour's grey level reaches 254 - 4 * the Bayer value of its position.
constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

int GreyOf(Rgb c) {
  return (30 * RedOf(c) + 59 * GreenOf(c) + 11 * BlueOf(c)) / 100;
}

uint32_t DitherMono(int grey, int32_t x, int32_t y) {
  return grey >= 254 - 4 * kBayer[y & 7][x & 7] ? 0xFFFFFF : 0;
}

uint32_t NearestMono(uint32_t p) {
  const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
  const int toBlack = r * r + g * g + b * b;
  const int toWhite = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
  return toWhite < toBlack ? 0xFFFFFF : 0;
}

Rect Normalized(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

int64_t Floor(double v) {
  const auto i = int64_t(v);
  return i - (double(i) > v);
}

// The greatest of left[k] and the least of right[k] for k < n (n > 0): four rows at a time,
// the last four overlapping those before them.
[[gnu::always_inline]] inline void Extremes(const int32_t* left, const int32_t* right, int32_t n,
                                            int32_t& greatestLeft, int32_t& leastRight) {
  if (n < 4) {
    greatestLeft = left[0];
    leastRight = right[0];
    for (int32_t k = 1; k < n; ++k) {
      greatestLeft = std::max(greatestLeft, left[k]);
      leastRight = std::min(leastRight, right[k]);
    }
    return;
  }
  using V4 = int32_t __attribute__((vector_size(16)));
  V4 high, low;
  std::memcpy(&high, left, sizeof high);
  std::memcpy(&low, right, sizeof low);
  auto take = [&](int32_t k) {
    V4 l, r;
    std::memcpy(&l, left + k, sizeof l);
    std::memcpy(&r, right + k, sizeof r);
    high = l > high ? l : high;
    low = r < low ? r : low;
  };
  for (int32_t k = 4; k + 4 < n; k += 4) take(k);
  take(n - 4);
  greatestLeft = std::max(std::max(high[0], high[1]), std::max(high[2], high[3]));
  leastRight = std::min(std::min(low[0], low[1]), std::min(low[2], low[3]));
}

// n pixels from src to dst (which do not overlap), without what lies above the colour:
// four at a time, as a window's worth comes with every paint.
void CopyColours(const uint32_t* src, uint32_t* dst, int64_t n) {
  using V4 = uint32_t __attribute__((vector_size(16)));
  const V4 colour = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
  int64_t k = 0;
  for (; k + 4 <= n; k += 4) {
    V4 p;
    std::memcpy(&p, src + k, sizeof p);
    p &= colour;
    std::memcpy(dst + k, &p, sizeof p);
  }
  for (; k < n; ++k) dst[k] = src[k] & 0xFFFFFF;
}

[[gnu::always_inline]] inline Rect BoundsOf(const Point* pts, int32_t count, int64_t margin) {
  if (count <= 0) return {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  int32_t l = pts[0].x, t = pts[0].y, r = l, b = t;
  for (int32_t i = 1; i < count; ++i) {
    l = std::min(l, pts[i].x);
    t = std::min(t, pts[i].y);
    r = std::max(r, pts[i].x);
    b = std::max(b, pts[i].y);
  }
  auto clamp = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  return {clamp(l - margin), clamp(t - margin), clamp(r + margin + 1), clamp(b + margin + 1)};
}

}  // namespace

CairoSurface::CairoSurface(int32_t width, int32_t height, bool monochrome)
    : monochrome_(monochrome) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
    // Too big for an image: an empty surface on which everything is a no-op.
    cairo_surface_destroy(surface_);
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 0, 0);
    width = height = 0;
  }
  width_ = width;
  height_ = height;
  data_ = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_));
  stride_ = cairo_image_surface_get_stride(surface_) / 4;
  if (data_) std::memset(data_, 0, size_t(stride_) * 4 * size_t(height_));
  MarkDirty();
  clipBox_ = {0, 0, width_, height_};
  drawAtOnce_ = g_drawAtOnce;
}

CairoSurface::~CairoSurface() {
  cairo_surface_destroy(surface_);
}

cairo_surface_t* CairoSurface::CairoHandle() {
  Settle();
  MarkDirty();
  return surface_;
}

void CairoSurface::MarkDirty() {
  cairo_surface_mark_dirty(surface_);
}

void CairoSurface::Clear(Rgb color) {
  Settle();
  const uint32_t p = monochrome_ ? NearestMono(ToPixel(color)) : ToPixel(color);
  for (int32_t y = 0; y < height_; ++y) std::fill(Row(y), Row(y) + width_, p);
  MarkDirty();
}

Rgb CairoSurface::GetPixel(int32_t x, int32_t y) const {
  Settle();
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return FromPixel(Row(y)[x]);
}

uint32_t CairoSurface::DevicePixel(Rgb color) const {
  const uint32_t p = ToPixel(color);
  if (!monochrome_ || p == 0 || p == 0xFFFFFF) return p;
  // On a monochrome bitmap GDI draws the background colour as the nearer of black and white
  // and every other colour as the other one.
  const uint32_t back = NearestMono(ToPixel(backColor_));
  return color == backColor_ ? back : back ^ 0xFFFFFF;
}

bool CairoSurface::InClip(int32_t x, int32_t y) const {
  if (x < clipBox_.left || x >= clipBox_.right || y < clipBox_.top || y >= clipBox_.bottom)
    return false;
  return clipMask_.empty() || clipMask_[size_t(y) * size_t(width_) + size_t(x)];
}

void CairoSurface::Put(int32_t x, int32_t y, uint32_t pixel, Rop rop) {
  if (!InClip(x, y)) return;
  uint32_t& d = Row(y)[x];
  d = rop == Rop::Copy ? pixel : (~(d ^ pixel)) & 0xFFFFFF;
}

bool CairoSurface::CosmeticPen() const {
  // Styled pens are cosmetic only at width 1; wider ones draw solid.
  return pen_.width <= 1;
}

// ---- lines -------------------------------------------------------------------------------

template <typename F>
void CairoSurface::TracePolyline(const Point* points, int32_t count, bool closed, F&& plot) {
  const DashPattern& dash = DashFor(pen_.style);
  const int64_t period = int64_t(dash.on.size());
  int64_t phase = 0;
  const int32_t segments = closed ? count : count - 1;
  for (int32_t i = 0; i < segments; ++i) {
    const Point a = points[i], b = points[i + 1 < count ? i + 1 : 0];
    raster::LineWalk walk(a, b);
    if (period == 1) {
      walk.Visit(clipBox_, [&](int32_t x, int32_t y, int64_t) { plot(x, y, true); });
      continue;
    }
    walk.Visit(clipBox_, [&](int32_t x, int32_t y, int64_t j) {
      plot(x, y, bool(dash.on[size_t((phase + j) % period)]));
    });
    phase = (phase + walk.Length()) % period;
  }
}

bool CairoSurface::SolidPen() const {
  return CosmeticPen() && PenRop() == Rop::Copy && DashFor(pen_.style).on.size() == 1;
}

bool CairoSurface::UprightRows(Point a, Point b, int32_t& from, int32_t& to) const {
  if (a.x < clipBox_.left || a.x >= clipBox_.right) return false;
  // From the first pixel to the one before the end.
  const int64_t top = a.y < b.y ? int64_t(a.y) : int64_t(b.y) + 1;
  const int64_t bottom = a.y < b.y ? int64_t(b.y) : int64_t(a.y) + 1;
  from = int32_t(std::max<int64_t>(top, clipBox_.top));
  to = int32_t(std::min<int64_t>(bottom, clipBox_.bottom));
  return from < to;
}

void CairoSurface::SetUpright(int32_t x, int32_t from, int32_t to, uint32_t pixel) const {
  uint32_t* p = Row(from) + x;
  if (clipMask_.empty()) {
    for (int32_t n = to - from; n > 0; --n, p += stride_) *p = pixel;
    return;
  }
  const uint8_t* cell = clipMask_.data() + size_t(from) * size_t(width_) + size_t(x);
  for (int32_t n = to - from; n > 0; --n, p += stride_, cell += width_)
    if (*cell) *p = pixel;
}

void CairoSurface::SetSegment(Point a, Point b, uint32_t pixel) const {
  int32_t from = 0, to = 0;
  if (a.x == b.x && a.y != b.y) {
    if (UprightRows(a, b, from, to)) SetUpright(a.x, from, to, pixel);
    return;
  }
  const uint8_t* mask = clipMask_.empty() ? nullptr : clipMask_.data();
  raster::LineWalk(a, b).Visit(clipBox_, [&](int32_t x, int32_t y, int64_t) {
    if (!mask || mask[size_t(y) * size_t(width_) + size_t(x)]) Row(y)[x] = pixel;
  });
}

void CairoSurface::Settle() const {
  SettleLines();
  if (keptCount_ > 0) {
    // Settling changes nothing anyone can see (pixels are read only after it), so reads may
    // settle too.
    const_cast<CairoSurface*>(this)->SettleShapes();
  }
}

void CairoSurface::SettleLines() const {
  if (pending_.empty()) return;
  // The pixels set are the same in any order, as they all take the one colour. Upright
  // segments go a band of rows at a time, row by row across the band: a column at a time
  // would touch a new cache line, and a new page, with every pixel.
  constexpr int32_t kBand = 16;
  uprights_.clear();
  int64_t top = INT32_MAX, bottom = INT32_MIN, pixels = 0;
  for (const auto& [a, b] : pending_) {
    Upright u{a.x, 0, 0};
    if (a.x != b.x || a.y == b.y) {
      SetSegment(a, b, pendingPixel_);
    } else if (UprightRows(a, b, u.from, u.to)) {
      uprights_.push_back(u);
      top = std::min<int64_t>(top, u.from);
      bottom = std::max<int64_t>(bottom, u.to);
      pixels += u.to - u.from;
    }
  }
  pending_.clear();
  const int64_t bands = (bottom - top + kBand - 1) / kBand;
  if (uprights_.empty() || bands * int64_t(uprights_.size()) > 4 * pixels) {
    // Short or scattered segments: banding would cost more than it saves.
    for (const Upright& u : uprights_) SetUpright(u.x, u.from, u.to, pendingPixel_);
    return;
  }
  for (int64_t band = top; band < bottom; band += kBand) {
    const auto from = int32_t(band), to = int32_t(std::min<int64_t>(band + kBand, bottom));
    // Neighbouring columns that cross the whole band (a dense line's, mostly) become runs
    // of the rows, {left, band's top, right}; the rest stay uprights.
    active_.clear();
    runs_.clear();
    for (const Upright& u : uprights_) {
      if (u.from >= to || u.to <= from) continue;
      const bool whole = u.from <= from && u.to >= to && clipMask_.empty();
      if (whole && !runs_.empty() && runs_.back().to == u.x) {
        ++runs_.back().to;
      } else if (whole && !runs_.empty() && runs_.back().x == u.x + 1) {
        --runs_.back().x;
      } else if (whole) {
        runs_.push_back({u.x, from, u.x + 1});
      } else {
        active_.push_back({u.x, std::max(u.from, from), std::min(u.to, to)});
      }
    }
    for (int32_t y = from; y < to; ++y) {
      uint32_t* row = Row(y);
      for (const Upright& r : runs_) std::fill(row + r.x, row + r.to, pendingPixel_);
      if (clipMask_.empty()) {
        for (const Upright& u : active_)
          if (y >= u.from && y < u.to) row[u.x] = pendingPixel_;
      } else {
        const uint8_t* cells = clipMask_.data() + size_t(y) * size_t(width_);
        for (const Upright& u : active_)
          if (y >= u.from && y < u.to && cells[u.x]) row[u.x] = pendingPixel_;
      }
    }
  }
}

void CairoSurface::DrawCosmeticPolyline(const Point* points, int32_t count, bool closed) {
  const uint32_t fore = DevicePixel(pen_.color), back = DevicePixel(backColor_);
  const bool opaque = backMode_ == BackMode::Opaque;
  const Rop rop = PenRop();
  if (SolidPen()) {
    // A solid line: its pixels inside the clip box (the walk's box) and mask are simply set.
    const int32_t segments = closed ? count : count - 1;
    for (int32_t i = 0; i < segments; ++i)
      SetSegment(points[i], points[i + 1 < count ? i + 1 : 0], fore);
    return;
  }
  TracePolyline(points, count, closed, [&](int32_t x, int32_t y, bool on) {
    if (on)
      Put(x, y, fore, rop);
    else if (opaque)
      Put(x, y, back, rop);
  });
}

void CairoSurface::StrokeWide(const Point* points, int32_t count, bool closed, Mask& mask,
                              uint8_t value) {
  if (IsEmpty(mask.box) || count < 1) return;
  raster::WidePen(points, count, closed, pen_.width, mask.box,
                  [&](int32_t y, int32_t x0, int32_t x1) {
                    std::fill_n(&mask.At(x0, y), size_t(x1 - x0), value);
                  });
}

void CairoSurface::PaintMask(Mask& mask, Rgb fore, const Brush* brush, Rop rop) {
  if (IsEmpty(mask.box)) return;
  const uint32_t forePixel = DevicePixel(fore);
  const uint32_t backPixel = DevicePixel(backColor_);
  const bool opaque = backMode_ == BackMode::Opaque;
  const uint8_t* rows = brush ? BrushRows(*brush) : nullptr;
  const uint32_t brushPixel = brush ? DevicePixel(brush->color) : 0;
  const int ditherGrey =
      brush && monochrome_ && brush->style == BrushStyle::Solid ? GreyOf(brush->color) : -1;
  for (int32_t y = mask.box.top; y < mask.box.bottom; ++y) {
    for (int32_t x = mask.box.left; x < mask.box.right; ++x) {
      const uint8_t v = mask.At(x, y);
      if (v == 4) {
        Put(x, y, forePixel, rop);
      } else if (v == 1 && rows) {
        if (ditherGrey >= 0)
          Put(x, y, DitherMono(ditherGrey, x, y), rop);
        else if (rows[y & 7] & (0x80 >> (x & 7)))
          Put(x, y, brushPixel, rop);
        else if (opaque)
          Put(x, y, backPixel, rop);
      }
    }
  }
}

CairoSurface::SpanFiller::SpanFiller(CairoSurface& surface, const Brush& brush, Rop rop)
    : surface_(surface),
      rows_(BrushRows(brush)),
      fore_(surface.DevicePixel(brush.color)),
      back_(surface.DevicePixel(surface.backColor_)),
      grey_(surface.monochrome_ && brush.style == BrushStyle::Solid ? GreyOf(brush.color) : -1),
      rop_(rop),
      opaque_(surface.backMode_ == BackMode::Opaque),
      clear_(brush.style == BrushStyle::Clear) {}

void CairoSurface::SpanFiller::Fill(int32_t y, int32_t x0, int32_t x1) const {
  if (clear_) return;
  CairoSurface& s = surface_;
  if (grey_ >= 0) {
    for (int32_t x = x0; x < x1; ++x) s.Put(x, y, DitherMono(grey_, x, y), rop_);
    return;
  }
  const uint8_t row = rows_[y & 7];
  if (row == 0xFF && rop_ == Rop::Copy) {
    // The common case of a solid fill: whole runs at once (through the clip mask, if any).
    if (y < s.clipBox_.top || y >= s.clipBox_.bottom) return;
    x0 = std::max(x0, s.clipBox_.left);
    x1 = std::min(x1, s.clipBox_.right);
    if (x0 >= x1) return;
    uint32_t* pixels = s.Row(y);
    if (s.clipMask_.empty()) {
      std::fill(pixels + x0, pixels + x1, fore_);
    } else {
      const uint8_t* mask = s.clipMask_.data() + size_t(y) * size_t(s.width_);
      for (int32_t x = x0; x < x1; ++x) pixels[x] = mask[x] ? fore_ : pixels[x];
    }
    return;
  }
  for (int32_t x = x0; x < x1; ++x) {
    if (row & (0x80 >> (x & 7)))
      s.Put(x, y, fore_, rop_);
    else if (opaque_)
      s.Put(x, y, back_, rop_);
  }
}

void CairoSurface::FillBrushSpan(int32_t y, int32_t x0, int32_t x1, const Brush& brush, Rop rop) {
  SpanFiller(*this, brush, rop).Fill(y, x0, x1);
}

void CairoSurface::LineTo(int32_t x, int32_t y) {
  const Point pts[2] = {position_, {x, y}};
  position_ = {x, y};
  Polyline(pts, 2);
}

void CairoSurface::Polyline(const Point* points, int32_t count) {
  if (count < 2 || pen_.style == PenStyle::Clear) return;
  if (SolidPen() && !drawAtOnce_) {
    // Kept for later (see Settle): a line of many points comes as many short polylines.
    if (keptCount_ > 0) SettleShapes();
    const uint32_t fore = DevicePixel(pen_.color);
    if (!pending_.empty() && pendingPixel_ != fore) Settle();
    pendingPixel_ = fore;
    for (int32_t i = 0; i + 1 < count; ++i) pending_.push_back({points[i], points[i + 1]});
    if (pending_.size() >= kMaxPending) Settle();
    return;
  }
  Settle();
  if (CosmeticPen()) {
    DrawCosmeticPolyline(points, count, false);
    return;
  }
  Mask mask{Intersect(BoundsOf(points, count, pen_.width), clipBox_), {}};
  if (IsEmpty(mask.box)) return;
  mask.cells.assign(size_t(mask.box.Width()) * size_t(mask.box.Height()), 0);
  StrokeWide(points, count, false, mask, 4);
  PaintMask(mask, pen_.color, nullptr, PenRop());
}

// ---- filled shapes -----------------------------------------------------------------------

void CairoSurface::DrawShape(const ShapeOutline& outline, bool fill) {
  DrawShape(outline.points.data(), int32_t(outline.points.size()), outline, fill);
}

void CairoSurface::DrawShape(const Point* pts, int32_t n, const ShapeOutline& outline, bool fill) {
  Settle();  // for every shape drawn at once: rectangles, ellipses, arcs, pies, polygons
  if (n == 0) return;
  const bool hasPen = pen_.style != PenStyle::Clear;
  const bool hasBrush = fill && brush_.style != BrushStyle::Clear && outline.closed;
  const bool wide = hasPen && !CosmeticPen();
  if (hasBrush && !wide && !outline.rounded) {
    // The interior straight into the rows: its spans do not overlap, so each pixel is painted
    // once, as through a mask.
    const Rect box = Intersect(BoundsOf(pts, n, 0), clipBox_);
    if (!IsEmpty(box)) {
      const SpanFiller filler(*this, brush_, PenRop());
      raster::ScanPolygon(pts, n, box,
                          [&](int32_t y, int32_t x0, int32_t x1) { filler.Fill(y, x0, x1); });
    }
  } else if (hasBrush || wide) {
    Rect bounds = BoundsOf(pts, n, wide ? pen_.width : 0);
    if (outline.rounded)
      bounds = {std::min(bounds.left, outline.box.left), std::min(bounds.top, outline.box.top),
                std::max(bounds.right, outline.box.right),
                std::max(bounds.bottom, outline.box.bottom)};
    Mask mask{Intersect(bounds, clipBox_), {}};
    if (!IsEmpty(mask.box)) {
      mask.cells.assign(size_t(mask.box.Width()) * size_t(mask.box.Height()), 0);
      if (hasBrush && outline.rounded) {
        raster::RoundRectRegion(outline.box, outline.ellipseWidth, outline.ellipseHeight, mask.box,
                                [&](int32_t y, int32_t x0, int32_t x1) {
                                  std::fill_n(&mask.At(x0, y), size_t(x1 - x0), uint8_t(1));
                                });
      } else if (hasBrush) {
        raster::ScanPolygon(pts, n, mask.box, [&](int32_t y, int32_t x0, int32_t x1) {
          std::fill_n(&mask.At(x0, y), size_t(x1 - x0), uint8_t(1));
        });
      }
      // A wide outline replaces the interior under it; a cosmetic one is drawn over it.
      if (wide) StrokeWide(pts, n, outline.closed, mask, 4);
      PaintMask(mask, pen_.color, hasBrush ? &brush_ : nullptr, PenRop());
    }
  }
  if (hasPen && !wide) DrawCosmeticPolyline(pts, n, outline.closed);
}

Rect CairoSurface::ShapeBox(int32_t left, int32_t top, int32_t right, int32_t bottom) const {
  Rect r = Normalized(left, top, right, bottom);
  if (pen_.style == PenStyle::InsideFrame && pen_.width > 1) {
    r.left += pen_.width / 2;
    r.top += pen_.width / 2;
    r.right -= (pen_.width - 1) / 2;
    r.bottom -= (pen_.width - 1) / 2;
  }
  return r;
}

bool CairoSurface::KeepsShapes(int32_t count) const {
  return !drawAtOnce_ && count >= 2 && count <= kKeptShapePoints && PenRop() == Rop::Copy &&
         (pen_.style == PenStyle::Clear || CosmeticPen());
}

void CairoSurface::KeepShapes(const Point* points, int32_t count, size_t polygons) {
  // Kept for later (see SettleShapes): the faces of a 3D ribbon come by the million.
  SettleLines();
  while (polygons > 0) {
    // Settling empties the list of states too.
    if (keptStates_.empty() || keptVersion_ != stateVersion_) {
      const KeptState state{pen_, brush_, backMode_, backColor_};
      if (keptStates_.empty() || !(keptStates_.back() == state)) keptStates_.push_back(state);
      keptVersion_ = stateVersion_;
    }
    const auto state = uint32_t(keptStates_.size() - 1);
    const size_t take = std::min(polygons, kMaxKeptShapes - keptCount_);
    const size_t at = keptCount_;
    // The list only grows: its places are written over, not made anew.
    if (keptPoints_.size() < at + take) keptPoints_.resize(at + take);
    keptCount_ += take;
    if (keptRuns_.empty() || keptRuns_.back().count != count || keptRuns_.back().state != state)
      keptRuns_.push_back({at, count, state});
    KeptPoints* const kept = keptPoints_.data() + at;
    static_assert(sizeof(KeptPoints) == kKeptShapePoints * sizeof(Point) &&
                  std::is_trivially_copyable_v<KeptPoints>);
    if (count == kKeptShapePoints) {
      // The faces of ribbons: all of them in one copy.
      std::memcpy(static_cast<void*>(kept), points, take * sizeof(KeptPoints));
      points += take * size_t(count);
    } else {
      for (size_t k = 0; k < take; ++k, points += count)
        for (int32_t j = 0; j < count; ++j) kept[k].points[j] = points[j];
    }
    polygons -= take;
    if (keptCount_ >= kMaxKeptShapes) SettleShapes();
  }
}

void CairoSurface::Polygon(const Point* points, int32_t count) {
  if (KeepsShapes(count)) {
    KeepShapes(points, count, 1);
    return;
  }
  if (count < 2) return;
  DrawPolygon(points, count);  // settles
}

void CairoSurface::Polygons(const Point* points, int32_t count, size_t polygons) {
  if (KeepsShapes(count)) {
    KeepShapes(points, count, polygons);
    return;
  }
  Surface::Polygons(points, count, polygons);
}

void CairoSurface::DrawPolygon(const Point* points, int32_t count) {
  static const ShapeOutline kPolygon{};
  DrawShape(points, count, kPolygon, true);
}

inline bool CairoSurface::OpenRows(const Rect& box, int32_t& top, int32_t& bottom) const {
  auto open = [&](int32_t y) {
    return coverLeft_[size_t(y)] > box.left || coverRight_[size_t(y)] < box.right;
  };
  top = box.top;
  bottom = box.bottom;
  while (top < bottom && !open(top)) ++top;
  while (bottom > top && !open(bottom - 1)) --bottom;
  return top < bottom;
}

inline Rect CairoSurface::JoinRun(int32_t y, int32_t x0, int32_t x1) {
  int32_t& left = coverLeft_[size_t(y)];
  int32_t& right = coverRight_[size_t(y)];
  if (x0 <= right && x1 >= left) {
    left = std::min(left, x0);
    right = std::max(right, x1);
    return {0, y, 0, y + 1};
  }
  if (int64_t(x1) - x0 > int64_t(right) - left) {  // an empty run is INT32_MAX..MIN
    const Rect out{left < right ? left : 0, y, left < right ? right : 0, y + 1};
    left = x0;
    right = x1;
    return out;
  }
  return {x0, y, x1, y + 1};
}

bool CairoSurface::Uncovered(const KeptShape& shape, const Rect& box, Rect (&paint)[2]) const {
  // The pixels a shape sets in row y (interior or outline, which keeps within half a pixel
  // of its edges across the row and within one along it) lie within a pixel of what its
  // edges cross between y - 1 and y + 1. What of that the row's run leaves out goes to the
  // boxes: left of the run (or the whole of it, where the run is elsewhere) to the first,
  // right of it to the second.
  paint[0] = paint[1] = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  auto add = [](Rect& r, int32_t y, int64_t x0, int64_t x1) {
    r.left = std::min(r.left, int32_t(x0));
    r.right = std::max(r.right, int32_t(x1));
    r.top = std::min(r.top, y);
    r.bottom = y + 1;
  };
  // Only rows whose run leaves part of the box out can hold such pixels.
  int32_t top = 0, bottom = 0;
  if (!OpenRows(box, top, bottom)) return false;
  // Each edge's x where it enters and leaves the band from y - 1 to y + 1, edge by edge.
  const size_t rows = size_t(bottom - top);
  rowFrom_.assign(rows, INFINITY);
  rowTo_.assign(rows, -INFINITY);
  for (int32_t k = 0; k < shape.count; ++k) {
    const Point a = shape.points[k], b = shape.points[k + 1 < shape.count ? k + 1 : 0];
    const double ay = std::min(a.y, b.y), by = std::max(a.y, b.y);
    const int64_t first = std::max<int64_t>(int64_t(ay) - 1, top);
    const int64_t last = std::min<int64_t>(int64_t(by) + 1, int64_t(bottom) - 1);
    if (first > last) continue;
    double* from = rowFrom_.data() + (first - top);
    double* to = rowTo_.data() + (first - top);
    const int64_t n = last - first + 1;
    if (a.y == b.y) {
      const double l = std::min(a.x, b.x), r = std::max(a.x, b.x);
      for (int64_t i = 0; i < n; ++i) {
        from[i] = from[i] < l ? from[i] : l;
        to[i] = to[i] > r ? to[i] : r;
      }
      continue;
    }
    // x = x0 + y * slope along the edge; the band's ends clamped to the edge's rows.
    const double slope = (double(b.x) - a.x) / (double(b.y) - a.y);
    const double x0 = a.x - a.y * slope;
    const bool rising = slope >= 0;
    double y = double(first);
    for (int64_t i = 0; i < n; ++i, y += 1) {
      const double yl = std::min(std::max(y - 1, ay), by), yh = std::min(std::max(y + 1, ay), by);
      const double xl = x0 + yl * slope, xh = x0 + yh * slope;
      const double low = rising ? xl : xh, high = rising ? xh : xl;
      from[i] = from[i] < low ? from[i] : low;
      to[i] = to[i] > high ? to[i] : high;
    }
  }
  for (int32_t y = top; y < bottom; ++y) {
    const double from = rowFrom_[size_t(y - top)], to = rowTo_[size_t(y - top)];
    if (from > to) continue;  // nothing of the shape near this row
    // A pixel to spare on either side, for rounding (the values are far inside 32 bits).
    const int64_t left = std::max<int64_t>(Floor(from) - 2, box.left);
    const int64_t right = std::min<int64_t>(Floor(to) + 3, box.right);
    if (left >= right) continue;
    const int64_t runLeft = coverLeft_[size_t(y)], runRight = coverRight_[size_t(y)];
    if (runLeft <= left && runRight >= right) continue;
    if (runRight <= left || runLeft >= right) {
      add(paint[0], y, left, right);
      continue;
    }
    if (left < runLeft) add(paint[0], y, left, runLeft);
    if (right > runRight) add(paint[1], y, runRight, right);
  }
  if (IsEmpty(paint[1])) return !IsEmpty(paint[0]);
  if (IsEmpty(paint[0])) {
    std::swap(paint[0], paint[1]);
  } else if (!IsEmpty(Intersect(paint[0], paint[1]))) {
    // One box then, so that no pixel is drawn twice.
    paint[0] = {std::min(paint[0].left, paint[1].left), std::min(paint[0].top, paint[1].top),
                std::max(paint[0].right, paint[1].right),
                std::max(paint[0].bottom, paint[1].bottom)};
    paint[1] = {0, 0, 0, 0};
  }
  return true;
}

bool CairoSurface::PlainShapes(const std::vector<KeptState>& states) const {
  if (monochrome_) return false;
  for (const KeptState& state : states) {
    const bool brush =
        state.brush.style == BrushStyle::Solid || state.brush.style == BrushStyle::Clear;
    const bool pen = state.pen.style == PenStyle::Clear ||
                     (state.pen.width <= 1 && DashFor(state.pen.style).on.size() == 1);
    if (!brush || !pen) return false;
  }
  return true;
}

void CairoSurface::PaintFromTheLast(const KeptShapes& shapes,
                                    const std::vector<KeptState>& states) {
  // Every shape sets whole pixels in one colour each (a solid interior, a solid outline over
  // it), so the picture is the same when they are painted from the last back, each setting
  // only the pixels that no later one set. A row's run holds pixels taken for certain; the
  // marks hold the others taken (a new stamp each time rather than clearing them). A pixel
  // that the clip keeps out is set by none of them, so it may count as taken.
  const size_t cells = size_t(width_) * size_t(height_);
  if (claims_.size() != cells || rowClaims_.size() != size_t(height_)) {
    claims_.assign(cells, 0);
    rowClaims_.assign(size_t(height_), 0);
    claimStamp_ = 0;
  }
  if (++claimStamp_ == 0) {
    std::fill(claims_.begin(), claims_.end(), uint8_t(0));
    std::fill(rowClaims_.begin(), rowClaims_.end(), uint8_t(0));
    claimStamp_ = 1;
  }
  const uint8_t stamp = claimStamp_;
  const Rect clip = clipBox_;
  const uint8_t* const claims = claims_.data();
  const bool masked = !clipMask_.empty();
  shapes.FromTheLast([&](const KeptShape& shape) {
    const Rect bounds = BoundsOf(shape.points, shape.count, 0);
    const Rect box = Intersect(bounds, clip);
    if (IsEmpty(box)) return;
    const int32_t* runLeft = coverLeft_.data();
    const int32_t* runRight = coverRight_.data();
    // The box test and the windows' ends below in one pass over the box's rows: the box
    // lies within every run when the greatest of their left ends is at most its left and
    // the least of their right ends at least its right.
    int32_t leftEnd = 0, rightStart = 0;
    Extremes(runLeft + box.top, runRight + box.top, box.bottom - box.top, leftEnd, rightStart);
    if (leftEnd <= box.left && rightStart >= box.right) return;
    // Only rows whose run leaves part of the box out; in them, what lies left of the runs and
    // what lies right of them (every other pixel of the box is in its row's run).
    int32_t top = 0, bottom = 0;
    if (!OpenRows(box, top, bottom)) return;
    // A row whose run covers the box moves neither end, so those of the box's rows are
    // those of the open rows.
    leftEnd = std::clamp(leftEnd, box.left, box.right);
    rightStart = std::clamp(rightStart, box.left, box.right);
    Rect windows[2] = {{box.left, top, leftEnd, bottom}, {rightStart, top, box.right, bottom}};
    if (leftEnd >= rightStart) {
      windows[0] = {box.left, top, box.right, bottom};
      windows[1] = {0, 0, 0, 0};
    }
    const KeptState& state = states[shape.state];
    // Sets the pixels of x0..x1 that no later shape took, then takes them all: into the run
    // where they meet it, else to the marks. The rows where taken pixels went to the marks
    // (what it was given, or the run it replaced).
    int32_t markedTop = INT32_MAX, markedBottom = INT32_MIN;
    auto take = [&](int32_t y, int32_t x0, int32_t x1, uint32_t pixel) {
      const int32_t left = coverLeft_[size_t(y)], right = coverRight_[size_t(y)];
      if (left <= x0 && x1 <= right) return;  // taken already, as a rule
      uint32_t* row = Row(y);
      const size_t at = size_t(y) * size_t(width_);
      uint8_t* marks = claims_.data() + at;
      const uint8_t* mask = masked ? clipMask_.data() + at : nullptr;
      int32_t maskFrom = INT32_MIN, maskTo = INT32_MAX;
      if (mask && clipRowFrom_[size_t(y)] != kPieces) {
        // The clip's row is one run: no pixel of it to look at.
        maskFrom = clipRowFrom_[size_t(y)];
        maskTo = clipRowTo_[size_t(y)];
        mask = nullptr;
      }
      const bool marked = rowClaims_[size_t(y)] == stamp;
      auto set = [&](int32_t from, int32_t to) {
        from = std::max(from, maskFrom);
        to = std::min(to, maskTo);
        if (!marked && !mask) {
          if (from < to) std::fill(row + from, row + to, pixel);
          return;
        }
        for (int32_t x = from; x < to; ++x) {
          if ((marked && marks[x] == stamp) || (mask && !mask[x])) continue;
          row[x] = pixel;
        }
      };
      auto mark = [&](int32_t from, int32_t to) {
        std::fill(marks + from, marks + to, stamp);
        rowClaims_[size_t(y)] = stamp;
        markedTop = std::min(markedTop, y);
        markedBottom = std::max(markedBottom, y + 1);
      };
      if (left >= right) {
        set(x0, x1);  // no run yet
      } else {
        set(x0, std::min(x1, left));
        set(std::max(x0, right), x1);
      }
      const Rect out = JoinRun(y, x0, x1);
      if (out.left < out.right) mark(out.left, out.right);
    };
    // The outline first: it is drawn over the interior.
    if (state.pen.style != PenStyle::Clear) {
      const uint32_t pixel = ToPixel(state.pen.color);
      for (int32_t k = 0; k < shape.count; ++k) {
        const Point a = shape.points[k], b = shape.points[k + 1 < shape.count ? k + 1 : 0];
        // Its pixels lie between its ends.
        auto meets = [&](const Rect& w) {
          return !IsEmpty(w) && std::min(a.x, b.x) < w.right && std::max(a.x, b.x) >= w.left &&
                 std::min(a.y, b.y) < w.bottom && std::max(a.y, b.y) >= w.top;
        };
        const bool meets0 = meets(windows[0]), meets1 = meets(windows[1]);
        if (!meets0 && !meets1) continue;
        const raster::LineWalk walk(a, b);
        auto visit = [&](const Rect& within) {
          // The pixel's work in the walk's loop rather than a call per pixel (a pixel away
          // from the run's ends, the rarer kind, goes to take).
          walk.Visit(
              within, [&](int32_t x, int32_t y, int64_t) __attribute__((always_inline)) {
                int32_t& left = coverLeft_[size_t(y)];
                int32_t& right = coverRight_[size_t(y)];
                if (x >= left && x < right) return;
                // As a rule a pixel next to the run: it joins the run, and is set unless taken
                // already or clipped away (what take does, in short).
                if ((x == left - 1 || x == right) && left < right &&
                    (!masked || (clipRowFrom_[size_t(y)] != kPieces &&
                                 clipRowFrom_[size_t(y)] <= x && x < clipRowTo_[size_t(y)]))) {
                  if (rowClaims_[size_t(y)] != stamp ||
                      claims[size_t(y) * size_t(width_) + size_t(x)] != stamp)
                    Row(y)[x] = pixel;
                  if (x < left)
                    left = x;
                  else
                    right = x + 1;
                  return;
                }
                take(y, x, x + 1, pixel);
              });
        };
        if (meets0) visit(windows[0]);
        if (meets1) visit(windows[1]);
      }
    }
    if (state.brush.style != BrushStyle::Solid) return;
    const uint32_t pixel = ToPixel(state.brush.color);
    auto fill = [&](const Rect& within) {
      raster::ScanPolygon(shape.points, shape.count, within,
                          [&](int32_t y, int32_t x0, int32_t x1) { take(y, x0, x1, pixel); });
    };
    if (state.pen.style != PenStyle::Clear && bounds.left >= clip.left &&
        bounds.right <= clip.right) {
      // In every row the interior lies between the outline's first and last pixel, all of
      // which the outline's walk met or found in the run (the clip cut no row of it). A row's
      // run only grows while nothing goes to the marks: where nothing did, the run holds the
      // row's whole outline, and so its interior. Only the other rows are scanned.
      fill({box.left, std::max(top, markedTop), box.right, std::min(bottom, markedBottom)});
    } else {
      for (const Rect& within : windows) fill(within);
    }
  });
}

void CairoSurface::SettleShapes() {
  if (keptCount_ == 0) return;
  // Drawing them below settles again: they leave the list first.
  std::vector<KeptPoints> points;
  std::vector<KeptRun> runs;
  std::vector<KeptState> states;
  points.swap(keptPoints_);
  runs.swap(keptRuns_);
  states.swap(keptStates_);
  const KeptShapes kept{{points.data(), keptCount_}, runs};
  keptCount_ = 0;
  coverLeft_.assign(size_t(height_), INT32_MAX);
  coverRight_.assign(size_t(height_), INT32_MIN);
  if (PlainShapes(states))
    PaintFromTheLast(kept, states);
  else
    PaintUncovered(kept, states);
  states.clear();
  runs.clear();
  keptPoints_.swap(points);  // the lists' memory, for the next shapes
  keptRuns_.swap(runs);
  keptStates_.swap(states);
}

void CairoSurface::PaintUncovered(const KeptShapes& shapes, const std::vector<KeptState>& states) {
  // Whatever a shape paints that a later one paints again cannot show: it is left out. Going
  // from the last shape back, each row keeps one run of pixels that later shapes certainly
  // set (their solid interiors and solid outlines, as drawn here); a shape is drawn only in
  // the boxes that hold what of it lies outside the runs of its rows, and not at all when
  // that is nothing. None of the shapes mixes with what lies under it (copy mode, thin pens),
  // and the clip stays as it is while they wait: a pixel it keeps out is set by none of
  // them, so the runs may count it.
  keptShapePaint_.clear();
  shapes.FromTheLast([&](const KeptShape& shape) {
    const Rect box = Intersect(BoundsOf(shape.points, shape.count, 0), clipBox_);
    if (IsEmpty(box)) return;
    int32_t greatestLeft = 0, leastRight = 0;
    Extremes(coverLeft_.data() + box.top, coverRight_.data() + box.top, box.bottom - box.top,
             greatestLeft, leastRight);
    if (greatestLeft <= box.left && leastRight >= box.right) return;  // within every run
    ShapePaint paint{shape, {}};
    if (!Uncovered(shape, box, paint.boxes)) return;
    keptShapePaint_.push_back(paint);
    // The runs take what the shape sets in its boxes: the rest of it is in them already.
    const KeptState& state = states[shape.state];
    auto cover = [&](int32_t y, int32_t x0, int32_t x1) { JoinRun(y, x0, x1); };
    for (const Rect& within : paint.boxes) {
      if (IsEmpty(within)) continue;
      if (state.brush.style == BrushStyle::Solid)
        raster::ScanPolygon(shape.points, shape.count, within, cover);
      if (state.pen.style == PenStyle::Solid || state.pen.style == PenStyle::InsideFrame) {
        for (int32_t k = 0; k < shape.count; ++k)
          raster::LineWalk(shape.points[k], shape.points[k + 1 < shape.count ? k + 1 : 0])
              .Visit(within, [&](int32_t x, int32_t y, int64_t) { cover(y, x, x + 1); });
      }
    }
  });
  const Pen pen = pen_;
  const Brush brush = brush_;
  const BackMode backMode = backMode_;
  const Rgb backColor = backColor_;
  const Rect clip = clipBox_;
  for (size_t n = keptShapePaint_.size(); n-- > 0;) {
    const ShapePaint& paint = keptShapePaint_[n];
    const KeptShape& shape = paint.shape;
    const KeptState& state = states[shape.state];
    pen_ = state.pen;
    brush_ = state.brush;
    backMode_ = state.backMode;
    backColor_ = state.backColor;
    for (const Rect& within : paint.boxes) {
      if (IsEmpty(within)) continue;
      clipBox_ = within;  // within the clip box already
      DrawPolygon(shape.points, shape.count);
    }
  }
  clipBox_ = clip;
  pen_ = pen;
  brush_ = brush;
  backMode_ = backMode;
  backColor_ = backColor;
}

void CairoSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Settle();
  const Rect box = ShapeBox(left, top, right, bottom);
  if (box.right <= box.left || box.bottom <= box.top) return;
  std::vector<Point> loop = {{box.right - 1, box.top},
                             {box.left, box.top},
                             {box.left, box.bottom - 1},
                             {box.right - 1, box.bottom - 1}};
  const bool hasPen = pen_.style != PenStyle::Clear;
  if (hasPen && CosmeticPen()) {
    // The interior stops inside the one-pixel outline, so a not-xor pen touches each pixel once.
    if (brush_.style != BrushStyle::Clear) {
      const Rect inner =
          Intersect({box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, clipBox_);
      for (int32_t y = inner.top; y < inner.bottom; ++y)
        FillBrushSpan(y, inner.left, inner.right, brush_, PenRop());
    }
    DrawShape({loop, true, false, {}, 0, 0}, false);
    return;
  }
  DrawShape({loop, true, false, {}, 0, 0}, true);
}

void CairoSurface::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                             int32_t ellipseWidth, int32_t ellipseHeight) {
  const Rect box = ShapeBox(left, top, right, bottom);
  if (box.right <= box.left || box.bottom <= box.top) return;
  const int64_t ew = std::min<int64_t>(box.Width(), std::llabs(int64_t(ellipseWidth)));
  const int64_t eh = std::min<int64_t>(box.Height(), std::llabs(int64_t(ellipseHeight)));
  if (ew <= 2 || eh <= 2) {
    Rectangle(left, top, right, bottom);
    return;
  }
  DrawShape({raster::RoundRectOutline(box, int32_t(ew), int32_t(eh)), true, true, box, int32_t(ew),
             int32_t(eh)},
            true);
}

void CairoSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  const Rect box = Normalized(left, top, right, bottom);
  RoundRect(left, top, right, bottom, box.Width(), box.Height());
}

void CairoSurface::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                       int32_t yStart, int32_t xEnd, int32_t yEnd) {
  const Rect box = ShapeBox(left, top, right, bottom);
  if (box.right <= box.left || box.bottom <= box.top) return;
  DrawShape({raster::ArcOutline(box, {xStart, yStart}, {xEnd, yEnd}), false, false, {}, 0, 0},
            false);
}

void CairoSurface::Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                       int32_t yStart, int32_t xEnd, int32_t yEnd) {
  const Rect box = ShapeBox(left, top, right, bottom);
  if (box.right <= box.left || box.bottom <= box.top) return;
  std::vector<Point> pts = raster::ArcOutline(box, {xStart, yStart}, {xEnd, yEnd});
  pts.push_back({box.left + box.Width() / 2, box.top + box.Height() / 2});
  DrawShape({std::move(pts), true, false, {}, 0, 0}, true);
}

void CairoSurface::FillRect(const Rect& rect, const Brush& brush) {
  Settle();
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  const Rect r = Intersect(rect, clipBox_);
  for (int32_t y = r.top; y < r.bottom; ++y) FillBrushSpan(y, r.left, r.right, brush, Rop::Copy);
}

void CairoSurface::PatternFill(const Rect& rect) {
  Settle();
  const Rect r = Intersect(Normalized(rect.left, rect.top, rect.right, rect.bottom), clipBox_);
  for (int32_t y = r.top; y < r.bottom; ++y) FillBrushSpan(y, r.left, r.right, brush_, Rop::Copy);
}

void CairoSurface::SetPixel(int32_t x, int32_t y, Rgb color) {
  Settle();
  // GDI combines the pixel with the raster operation too; on a monochrome bitmap the colour
  // becomes the nearer of black and white.
  const uint32_t p = ToPixel(color);
  Put(x, y, monochrome_ ? NearestMono(p) : p, PenRop());
}

void CairoSurface::FillPolygonRgb(const Point* points, int32_t count, Rgb color) {
  Settle();
  const uint32_t p = DevicePixel(color);
  raster::ScanPolygon(points, count, clipBox_, [&](int32_t y, int32_t x0, int32_t x1) {
    for (int32_t x = x0; x < x1; ++x) Put(x, y, p, Rop::Copy);
  });
}

// ---- text --------------------------------------------------------------------------------

namespace {

struct Baseline {
  double c = 1, s = 0;  // direction of the baseline: (c, -s) in device space
  // A point at distance u along the baseline and v below it (v < 0 is above).
  Point At(int64_t ox, int64_t oy, double u, double v) const {
    return {int32_t(std::lround(ox + u * c + v * s)), int32_t(std::lround(oy - u * s + v * c))};
  }
};

Baseline BaselineOf(const fonts::FontInstance& f) {
  Baseline b;
  const int32_t tenths = int32_t(std::lround(f.angle * 1800.0 / M_PI)) % 3600;
  // Exact quarter turns keep integer positions free of rounding noise.
  switch (tenths) {
    case 0:
      b = {1, 0};
      break;
    case 900:
      b = {0, 1};
      break;
    case 1800:
      b = {-1, 0};
      break;
    case 2700:
      b = {0, -1};
      break;
    default:
      b = {std::cos(f.angle), std::sin(f.angle)};
  }
  return b;
}

}  // namespace

void CairoSurface::TextOut(int32_t x, int32_t y, std::string_view text) {
  Settle();
  if (text.empty()) return;
  const std::shared_ptr<const fonts::FontInstance> font = fonts::Get(font_);
  const std::string utf8 = fonts::SanitizeUtf8(text);
  const int32_t width = fonts::Advance(*font, utf8);
  const Baseline base = BaselineOf(*font);

  // The baseline origin, placed by the alignment flags as TextOut does.
  int64_t ox = x, oy = y;
  const int64_t wx = std::lround(width * base.c), wy = std::lround(-width * base.s);
  switch (textAlign_ & text_align::kHorizontalMask) {
    case text_align::kCenter:
      ox -= wx / 2;
      oy -= wy / 2;
      break;
    case text_align::kRight:
      ox -= wx;
      oy -= wy;
      break;
    default:
      break;
  }
  switch (textAlign_ & text_align::kVerticalMask) {
    case text_align::kBaseline:
      break;
    case text_align::kBottom:
      ox -= std::lround(font->descent * base.s);
      oy -= std::lround(font->descent * base.c);
      break;
    default:  // top
      ox += std::lround(font->ascent * base.s);
      oy += std::lround(font->ascent * base.c);
      break;
  }

  auto band = [&](double u0, double u1, double v0, double v1, Rgb color) {
    const Point quad[4] = {base.At(ox, oy, u0, v0), base.At(ox, oy, u1, v0),
                           base.At(ox, oy, u1, v1), base.At(ox, oy, u0, v1)};
    FillPolygonRgb(quad, 4, color);
  };
  // GDI (measured under Wine) fills the background only behind level text.
  if (backMode_ == BackMode::Opaque && base.c == 1)
    band(0, width, -font->ascent, font->descent, backColor_);

  std::vector<cairo_glyph_t> glyphs = fonts::Layout(*font, utf8, double(ox), double(oy), true);
  if (!glyphs.empty() && (base.c != 1 || base.s != 0)) {
    // Turned text steps by the measured advances along its baseline, as GDI places it.
    const std::vector<int32_t> advances = fonts::Advances(*font, glyphs);
    int64_t along = 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
      glyphs[i].x = double(ox + std::lround(along * base.c));
      glyphs[i].y = double(oy - std::lround(along * base.s));
      along += advances[i];
    }
  }
  if (!glyphs.empty()) {
    cairo_text_extents_t ext;
    cairo_scaled_font_glyph_extents(font->rotated, glyphs.data(), int(glyphs.size()), &ext);
    const double inkLeft = glyphs[0].x + ext.x_bearing, inkTop = glyphs[0].y + ext.y_bearing;
    auto clampInt = [](double v) { return int32_t(std::clamp(v, -1e9, 1e9)); };
    const Rect ink{clampInt(std::floor(inkLeft) - 2), clampInt(std::floor(inkTop) - 2),
                   clampInt(std::ceil(inkLeft + ext.width) + 3),
                   clampInt(std::ceil(inkTop + ext.height) + 3)};
    // GDI keeps the glyphs inside the text cell across the baseline (a bold parenthesis at
    // small sizes reaches a row below the descent, which GDI does not draw).
    Rect cell = ink;
    const int64_t asc = font->ascent, desc = font->descent;
    auto c32 = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    if (base.c == 1)
      cell.top = c32(oy - asc), cell.bottom = c32(oy + desc);
    else if (base.c == -1)
      cell.top = c32(oy - desc), cell.bottom = c32(oy + asc);
    else if (base.s == 1)
      cell.left = c32(ox - asc), cell.right = c32(ox + desc);
    else if (base.s == -1)
      cell.left = c32(ox - desc), cell.right = c32(ox + asc);
    const Rect box = Intersect(Intersect(ink, cell), clipBox_);
    if (!IsEmpty(box)) {
      cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, box.Width(), box.Height());
      cairo_t* cr = cairo_create(a8);
      cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
      cairo_translate(cr, -box.left, -box.top);
      cairo_set_scaled_font(cr, font->rotated);
      cairo_show_glyphs(cr, glyphs.data(), int(glyphs.size()));
      cairo_destroy(cr);
      cairo_surface_flush(a8);
      const uint8_t* d = cairo_image_surface_get_data(a8);
      const int stride = cairo_image_surface_get_stride(a8);
      const uint32_t pixel = DevicePixel(textColor_);
      for (int32_t yy = 0; yy < box.Height(); ++yy)
        for (int32_t xx = 0; xx < box.Width(); ++xx)
          if (d[size_t(yy) * size_t(stride) + size_t(xx)] >= 128)
            Put(box.left + xx, box.top + yy, pixel, Rop::Copy);
      cairo_surface_destroy(a8);
    }
  }

  // Underline and strike-out: bands of the font's thickness, centred on its positions.
  if (font_.underline) {
    const double v0 = -(font->underlinePosition + font->underlineSize / 2);
    band(0, width, v0, v0 + font->underlineSize, textColor_);
  }
  if (font_.strikeOut) {
    const double v0 = -(font->strikeoutPosition + font->strikeoutSize / 2);
    band(0, width, v0, v0 + font->strikeoutSize, textColor_);
  }
}

Size CairoSurface::TextExtent(std::string_view text) {
  const std::shared_ptr<const fonts::FontInstance> font = fonts::Get(font_);
  const int32_t width = text.empty() ? 0 : fonts::Advance(*font, fonts::SanitizeUtf8(text));
  return {width, font->ascent + font->descent};
}

FontMetrics CairoSurface::GetFontMetrics() {
  const std::shared_ptr<const fonts::FontInstance> font = fonts::Get(font_);
  return {font->ascent, font->descent, font->ascent + font->descent};
}

// ---- clipping ----------------------------------------------------------------------------

void CairoSurface::ClipRect(const Rect& rect) {
  Settle();
  clipBox_ = Intersect(clipBox_, Normalized(rect.left, rect.top, rect.right, rect.bottom));
}

void CairoSurface::ClipPolygon(const Point* points, int32_t count) {
  Settle();
  std::vector<uint8_t> mask(size_t(width_) * size_t(height_), 0);
  Rect used{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  std::vector<int32_t> rowFrom(size_t(height_), 0), rowTo(size_t(height_), 0);
  raster::ScanPolygon(points, count, clipBox_, [&](int32_t y, int32_t x0, int32_t x1) {
    const size_t at = size_t(y) * size_t(width_);
    uint8_t* row = mask.data() + at;
    int32_t first = x0, last = x1 - 1;
    bool gap = false;
    if (clipMask_.empty()) {
      std::fill(row + x0, row + x1, uint8_t(1));
    } else {
      // Within the clip as it stands.
      const uint8_t* within = clipMask_.data() + at;
      first = INT32_MAX;
      last = INT32_MIN;
      for (int32_t x = x0; x < x1; ++x) {
        if (!within[x]) continue;
        row[x] = 1;
        gap = gap || (last != INT32_MIN && x != last + 1);
        first = std::min(first, x);
        last = x;
      }
      if (first > last) return;
    }
    used = {std::min(used.left, first), std::min(used.top, y), std::max(used.right, last + 1),
            std::max(used.bottom, y + 1)};
    // The row's pixels as one run while they make one.
    int32_t& from = rowFrom[size_t(y)];
    int32_t& to = rowTo[size_t(y)];
    if (from == kPieces) return;
    if (gap || (from < to && first != to && last + 1 != from)) {
      from = kPieces;
    } else if (from < to) {
      from = std::min(from, first);
      to = std::max(to, last + 1);
    } else {
      from = first;
      to = last + 1;
    }
  });
  clipMask_ = std::move(mask);
  clipRowFrom_ = std::move(rowFrom);
  clipRowTo_ = std::move(rowTo);
  clipBox_ = used.left <= used.right ? used : Rect{0, 0, 0, 0};
}

void CairoSurface::RemoveClip() {
  Settle();
  clipBox_ = {0, 0, width_, height_};
  clipMask_.clear();
  clipRowFrom_.clear();
  clipRowTo_.clear();
}

// ---- pictures and blocks -----------------------------------------------------------------

void CairoSurface::BlitPixels(const uint32_t* pixels, int32_t srcStride, int32_t width,
                              int32_t height, int32_t dx, int32_t dy, bool sourceMonochrome,
                              Rgb sourceBack) {
  const uint32_t srcBack = ToPixel(sourceBack);
  // Monochrome to colour: black takes the text colour, white the background colour.
  const uint32_t monoBlack = DevicePixel(textColor_), monoWhite = DevicePixel(backColor_);
  if (monochrome_ == sourceMonochrome && clipMask_.empty()) {
    // Nothing to map and a plain clip box: the rows inside it, copied.
    const int64_t left = std::max<int64_t>(dx, clipBox_.left);
    const int64_t right = std::min<int64_t>(int64_t(dx) + width, clipBox_.right);
    const int64_t top = std::max<int64_t>(dy, clipBox_.top);
    const int64_t bottom = std::min<int64_t>(int64_t(dy) + height, clipBox_.bottom);
    for (int64_t y = top; y < bottom && left < right; ++y) {
      const uint32_t* src = pixels + size_t(y - dy) * size_t(srcStride) + size_t(left - dx);
      uint32_t* dst = Row(int32_t(y)) + left;
      CopyColours(src, dst, right - left);
    }
    return;
  }
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* src = pixels + size_t(y) * size_t(srcStride);
    for (int32_t x = 0; x < width; ++x) {
      uint32_t p = src[x] & 0xFFFFFF;
      if (monochrome_ && !sourceMonochrome)
        p = p == srcBack ? 0xFFFFFF : 0;  // the source's background becomes white
      else if (!monochrome_ && sourceMonochrome)
        p = p ? monoWhite : monoBlack;
      Put(dx + x, dy + y, p, Rop::Copy);
    }
  }
}

void CairoSurface::DrawImage(const Image& image, int32_t x, int32_t y) {
  Settle();
  if (image.Empty()) return;
  const Rect r = Intersect({x, y, int32_t(std::min<int64_t>(int64_t(x) + image.width, INT32_MAX)),
                            int32_t(std::min<int64_t>(int64_t(y) + image.height, INT32_MAX))},
                           clipBox_);
  for (int32_t yy = r.top; yy < r.bottom; ++yy)
    for (int32_t xx = r.left; xx < r.right; ++xx) {
      const uint32_t p = image.At(xx - x, yy - y) & 0xFFFFFF;
      Put(xx, yy, monochrome_ ? NearestMono(p) : p, Rop::Copy);
    }
}

namespace {

// The source pixel for destination pixel i of n stretched from a source of m pixels, as GDI's
// COLORONCOLOR mode picks it (compared with GDI under Wine, top-down source): growing takes
// the source pixel under the centre of the destination pixel, and where the centre falls on
// the line between two source pixels, the left or upper one; shrinking keeps, of
// the source pixels that round to it, the last column and the first row.
int64_t StretchSource(int64_t i, int64_t n, int64_t m, bool row) {
  if (n >= m) {
    return std::min(((2 * i + 1) * m - 1) / (2 * n), m - 1);
  }
  const int64_t s = row ? (2 * i * m + n) / (2 * n) : (2 * (i + 1) * m + n) / (2 * n) - 1;
  return std::clamp(s, int64_t(0), m - 1);
}

}  // namespace

void CairoSurface::StretchImage(const Image& image, const Rect& dest) {
  Settle();
  if (image.Empty()) return;
  const int64_t dw = int64_t(dest.right) - dest.left, dh = int64_t(dest.bottom) - dest.top;
  if (dw == 0 || dh == 0) return;
  // A negative size mirrors the picture, which then ends at the pixel before right (bottom)
  // and starts at left (top) itself.
  auto span = [](int64_t from, int64_t size) {
    return size > 0 ? std::pair<int64_t, int64_t>{from, from + size}
                    : std::pair<int64_t, int64_t>{from + size + 1, from + 1};
  };
  const auto [x0, x1] = span(dest.left, dw);
  const auto [y0, y1] = span(dest.top, dh);
  auto clamp32 = [](int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  const Rect box = Intersect({clamp32(x0), clamp32(y0), clamp32(x1), clamp32(y1)}, clipBox_);
  const int64_t adw = std::llabs(dw), adh = std::llabs(dh);
  for (int32_t y = box.top; y < box.bottom; ++y) {
    const int64_t iy = dh > 0 ? int64_t(y) - dest.top : int64_t(dest.top) - y;
    const int64_t sy = StretchSource(iy, adh, image.height, true);
    for (int32_t x = box.left; x < box.right; ++x) {
      const int64_t ix = dw > 0 ? int64_t(x) - dest.left : int64_t(dest.left) - x;
      const int64_t sx = StretchSource(ix, adw, image.width, false);
      const uint32_t p = image.At(int32_t(sx), int32_t(sy)) & 0xFFFFFF;
      Put(x, y, monochrome_ ? NearestMono(p) : p, Rop::Copy);
    }
  }
}

std::unique_ptr<Surface> CairoSurface::CreateCompatible(int32_t width, int32_t height,
                                                        bool monochrome) {
  return std::make_unique<CairoSurface>(width, height, monochrome);
}

void CairoSurface::CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source,
                            int32_t sx, int32_t sy) {
  Settle();
  if (auto* cairoSource = dynamic_cast<CairoSurface*>(&source)) cairoSource->Settle();
  if (width <= 0 || height <= 0) return;
  // Keep to the source's pixels.
  int64_t x0 = sx, y0 = sy, x1 = int64_t(sx) + width, y1 = int64_t(sy) + height;
  const int64_t cx0 = std::max<int64_t>(x0, 0), cy0 = std::max<int64_t>(y0, 0);
  const int64_t cx1 = std::min<int64_t>(x1, source.Width()),
                cy1 = std::min<int64_t>(y1, source.Height());
  if (cx0 >= cx1 || cy0 >= cy1) return;
  const int32_t ddx = int32_t(std::clamp<int64_t>(dx + (cx0 - x0), INT32_MIN, INT32_MAX));
  const int32_t ddy = int32_t(std::clamp<int64_t>(dy + (cy0 - y0), INT32_MIN, INT32_MAX));
  const int32_t w = int32_t(cx1 - cx0), h = int32_t(cy1 - cy0);

  auto* cairoSource = dynamic_cast<CairoSurface*>(&source);
  if (cairoSource && cairoSource != this) {
    BlitPixels(cairoSource->Row(int32_t(cy0)) + cx0, cairoSource->stride_, w, h, ddx, ddy,
               cairoSource->monochrome_, cairoSource->backColor_);
    return;
  }
  // Another kind of surface, or this one (the block may overlap itself): go through a copy.
  std::vector<uint32_t> block(size_t(w) * size_t(h));
  bool sourceMono = false;
  Rgb sourceBack = source.GetBackColor();
  if (cairoSource) {
    sourceMono = monochrome_;
    for (int32_t y = 0; y < h; ++y)
      std::memcpy(&block[size_t(y) * size_t(w)], Row(int32_t(cy0) + y) + cx0, size_t(w) * 4);
  } else {
    const Image img = source.Snapshot();
    if (img.width < cx1 || img.height < cy1) return;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        block[size_t(y) * size_t(w) + size_t(x)] = img.At(int32_t(cx0) + x, int32_t(cy0) + y);
  }
  BlitPixels(block.data(), w, w, h, ddx, ddy, sourceMono, sourceBack);
}

Image CairoSurface::Snapshot() {
  Settle();
  Image img;
  img.width = width_;
  img.height = height_;
  img.pixels.resize(size_t(width_) * size_t(height_));
  for (int32_t y = 0; y < height_; ++y) {
    const uint32_t* row = Row(y);
    for (int32_t x = 0; x < width_; ++x)
      img.pixels[size_t(y) * size_t(width_) + size_t(x)] = row[x] | 0xFF000000u;
  }
  return img;
}

void SetSurfacesDrawAtOnce(bool value) {
  g_drawAtOnce = value;
}

std::unique_ptr<Surface> CreateMemorySurface(int32_t width, int32_t height) {
  auto s = std::make_unique<CairoSurface>(width, height);
  s->Clear(0xFFFFFF);
  return s;
}

}  // namespace zq::platform
