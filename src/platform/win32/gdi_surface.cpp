#include "platform/win32/gdi_surface.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace zq::platform::win32 {

namespace {

COLORREF Ref(Rgb c) {
  return COLORREF(c & 0xFFFFFF);
}

bool IsStock(HGDIOBJ object) {
  return object == GetStockObject(NULL_PEN) || object == GetStockObject(NULL_BRUSH) ||
         object == GetStockObject(BLACK_PEN);
}

void DeleteOwned(HGDIOBJ object) {
  if (object && !IsStock(object)) DeleteObject(object);
}

HPEN MakePen(const Pen& pen) {
  if (pen.style == PenStyle::Clear) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  if (pen.style == PenStyle::Alternate) {
    // Only ExtCreatePen makes it; GDI leaves the gaps of such pens transparent.
    LOGBRUSH lb{BS_SOLID, Ref(pen.color), 0};
    return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
  }
  // CreatePen, not ExtCreatePen: the same Windows dash patterns for width 1 and round ends and
  // joins for wide pens, and only its pens paint the dash gaps in opaque background mode.
  int style = PS_SOLID;
  switch (pen.style) {
    case PenStyle::Dash:
      style = PS_DASH;
      break;
    case PenStyle::Dot:
      style = PS_DOT;
      break;
    case PenStyle::DashDot:
      style = PS_DASHDOT;
      break;
    case PenStyle::DashDotDot:
      style = PS_DASHDOTDOT;
      break;
    case PenStyle::InsideFrame:
      style = PS_INSIDEFRAME;
      break;
    default:
      break;
  }
  return CreatePen(style, std::max(pen.width, 1), Ref(pen.color));
}

// An 8 x 8 pattern brush whose set bits take `set` and clear bits `clear`. A DIB pattern
// carries its own colours, so the fill does not depend on the DC's text colour.
HBRUSH MakePatternBrush(const BrushPattern& pattern, Rgb set, Rgb clear) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
    uint32_t rows[8];
  } dib{};
  dib.header.biSize = sizeof(BITMAPINFOHEADER);
  dib.header.biWidth = 8;
  dib.header.biHeight = 8;  // bottom-up: the last stored row is the top one
  dib.header.biPlanes = 1;
  dib.header.biBitCount = 1;
  dib.header.biCompression = BI_RGB;
  dib.header.biClrUsed = 2;
  dib.colors[0] = RGBQUAD{BlueOf(clear), GreenOf(clear), RedOf(clear), 0};
  dib.colors[1] = RGBQUAD{BlueOf(set), GreenOf(set), RedOf(set), 0};
  for (int row = 0; row < 8; ++row) dib.rows[7 - row] = pattern.rows[row];
  return CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
}

HBRUSH MakeBrush(const Brush& brush, Rgb backColor) {
  switch (brush.style) {
    case BrushStyle::Solid:
      return CreateSolidBrush(Ref(brush.color));
    case BrushStyle::Clear:
      return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BrushStyle::Horizontal:
      return CreateHatchBrush(HS_HORIZONTAL, Ref(brush.color));
    case BrushStyle::Vertical:
      return CreateHatchBrush(HS_VERTICAL, Ref(brush.color));
    case BrushStyle::FDiagonal:
      return CreateHatchBrush(HS_FDIAGONAL, Ref(brush.color));
    case BrushStyle::BDiagonal:
      return CreateHatchBrush(HS_BDIAGONAL, Ref(brush.color));
    case BrushStyle::Cross:
      return CreateHatchBrush(HS_CROSS, Ref(brush.color));
    case BrushStyle::DiagCross:
      return CreateHatchBrush(HS_DIAGCROSS, Ref(brush.color));
    case BrushStyle::Pattern:
      return MakePatternBrush(brush.pattern, brush.color, backColor);
  }
  return CreateSolidBrush(Ref(brush.color));
}

HFONT MakeFont(const LogFont& font) {
  std::wstring face = Widen(font.face);
  if (face.size() >= LF_FACESIZE) face.resize(LF_FACESIZE - 1);
  // TrueType only and no antialiasing, so that the Cairo backend can match it pixel for pixel.
  return CreateFontW(font.height, 0, font.escapement, font.orientation, font.weight, font.italic,
                     font.underline, font.strikeOut, font.charset, OUT_TT_ONLY_PRECIS,
                     CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     face.c_str());
}

BITMAPINFO ColorInfo(int32_t width, int32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::vector<POINT> ToPoints(const Point* points, int32_t count) {
  std::vector<POINT> out(size_t(std::max(count, 0)));
  for (size_t i = 0; i < out.size(); ++i) out[i] = POINT{points[i].x, points[i].y};
  return out;
}

// Ternary raster operations for the two passes of a transparent pattern fill.
constexpr DWORD kRopDestAndPattern = 0x00A000C9;
constexpr DWORD kRopDestOrPattern = 0x00FA0089;

}  // namespace

GdiSurface::GdiSurface(int32_t width, int32_t height, bool monochrome, HDC reference)
    : ownsDc_(true),
      monochrome_(monochrome),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)) {
  // GDI refuses empty bitmaps; a zero-sized surface keeps a 1 x 1 one that nobody sees.
  int32_t bw = std::max(width_, 1);
  int32_t bh = std::max(height_, 1);
  dc_ = CreateCompatibleDC(reference);
  if (!dc_) throw std::runtime_error("cannot create a memory device context");
  if (monochrome) {
    bitmap_ = CreateBitmap(bw, bh, 1, 1, nullptr);
  } else {
    BITMAPINFO info = ColorInfo(bw, bh);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
  }
  if (!bitmap_) {
    DeleteDC(dc_);
    throw std::runtime_error("cannot create a " + std::to_string(width) + " x " +
                             std::to_string(height) + " bitmap");
  }
  oldBitmap_ = SelectObject(dc_, bitmap_);
  // Not WHITENESS: that sets the unused top byte of 32-bit pixels too, and then white no longer
  // matches a background colour of white when GDI makes a monochrome mask.
  RECT all{0, 0, bw, bh};
  ::FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectInitialState();
}

GdiSurface::GdiSurface(HDC dc, int32_t width, int32_t height)
    : dc_(dc), ownsDc_(false), width_(std::max(width, 0)), height_(std::max(height, 0)) {
  if (!dc_) throw std::runtime_error("no device context to draw on");
  savedDc_ = SaveDC(dc_);
  // A memory DC is as deep as its bitmap; any other DC as its device.
  BITMAP bm{};
  if (GetObjectType(dc_) == OBJ_MEMDC)
    monochrome_ = GetObjectW(GetCurrentObject(dc_, OBJ_BITMAP), sizeof(bm), &bm) &&
                  bm.bmBitsPixel * bm.bmPlanes == 1;
  else
    monochrome_ = GetDeviceCaps(dc_, BITSPIXEL) * GetDeviceCaps(dc_, PLANES) == 1;
  SelectInitialState();
}

GdiSurface::~GdiSurface() {
  // Deselect ours before deleting them: GDI does not delete a selected object.
  SelectObject(dc_, oldPen_);
  SelectObject(dc_, oldBrush_);
  SelectObject(dc_, oldFont_);
  if (ownsDc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  } else {
    RestoreDC(dc_, savedDc_);
  }
  DeleteOwned(gdiPen_);
  DeleteOwned(gdiBrush_);
  DeleteOwned(gdiFont_);
}

void GdiSurface::SelectInitialState() {
  gdiPen_ = MakePen(pen_);
  gdiBrush_ = MakeBrush(brush_, backColor_);
  gdiFont_ = MakeFont(font_);
  oldPen_ = SelectObject(dc_, gdiPen_);
  oldBrush_ = SelectObject(dc_, gdiBrush_);
  oldFont_ = SelectObject(dc_, gdiFont_);
  SetROP2(dc_, R2_COPYPEN);
  ::SetTextColor(dc_, Ref(textColor_));
  SetBkColor(dc_, Ref(backColor_));
  SetBkMode(dc_, int(backMode_));
  ::SetTextAlign(dc_, textAlign_);
  SetPolyFillMode(dc_, ALTERNATE);
  SetStretchBltMode(dc_, COLORONCOLOR);
  SetGraphicsMode(dc_, GM_COMPATIBLE);
  SetMapMode(dc_, MM_TEXT);
  SetBrushOrgEx(dc_, 0, 0, nullptr);
  MoveToEx(dc_, 0, 0, nullptr);
}

void GdiSurface::ApplyPen() {
  HPEN made = MakePen(pen_);
  if (!made) made = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  SelectObject(dc_, made);
  DeleteOwned(gdiPen_);
  gdiPen_ = made;
  SetROP2(dc_, pen_.mode == PenMode::NotXor ? R2_NOTXORPEN : R2_COPYPEN);
}

void GdiSurface::ApplyBrush() {
  HBRUSH made = MakeBrush(brush_, backColor_);
  if (!made) made = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  SelectObject(dc_, made);
  DeleteOwned(gdiBrush_);
  gdiBrush_ = made;
}

void GdiSurface::ApplyFont() {
  HFONT made = MakeFont(font_);
  if (!made) return;  // keep the previous font rather than none
  SelectObject(dc_, made);
  DeleteOwned(gdiFont_);
  gdiFont_ = made;
}

void GdiSurface::SetPen(const Pen& pen) {
  if (pen == pen_) return;
  pen_ = pen;
  ApplyPen();
}

void GdiSurface::SetBrush(const Brush& brush) {
  if (brush == brush_) return;
  brush_ = brush;
  ApplyBrush();
}

void GdiSurface::SetFont(const LogFont& font) {
  if (font == font_) return;
  font_ = font;
  ApplyFont();
}

void GdiSurface::SetTextColor(Rgb color) {
  textColor_ = color & 0xFFFFFF;
  ::SetTextColor(dc_, Ref(textColor_));
}

void GdiSurface::SetBackColor(Rgb color) {
  color &= 0xFFFFFF;
  if (color == backColor_) return;
  backColor_ = color;
  SetBkColor(dc_, Ref(backColor_));
  // The pattern brush carries the background colour in its own colour table.
  if (brush_.style == BrushStyle::Pattern) ApplyBrush();
  Reselect();
}

void GdiSurface::SetBackMode(BackMode mode) {
  if (mode == backMode_) return;
  backMode_ = mode;
  SetBkMode(dc_, int(mode));
  Reselect();
}

// Wine's GDI takes the background colour and mode of dash gaps and hatches when the pen or
// brush is selected; selecting them again makes a change apply at once, as on Windows.
void GdiSurface::Reselect() {
  SelectObject(dc_, GetStockObject(BLACK_PEN));
  SelectObject(dc_, gdiPen_);
  SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  SelectObject(dc_, gdiBrush_);
}

void GdiSurface::SetTextAlign(uint32_t flags) {
  textAlign_ = flags & (text_align::kHorizontalMask | text_align::kVerticalMask);
  ::SetTextAlign(dc_, textAlign_);
}

void GdiSurface::MoveTo(int32_t x, int32_t y) {
  MoveToEx(dc_, x, y, nullptr);
}

void GdiSurface::LineTo(int32_t x, int32_t y) {
  ::LineTo(dc_, x, y);
}

Point GdiSurface::CurrentPosition() const {
  POINT p{};
  GetCurrentPositionEx(dc_, &p);
  return Point{p.x, p.y};
}

void GdiSurface::Polyline(const Point* points, int32_t count) {
  if (count < 2) return;
  std::vector<POINT> p = ToPoints(points, count);
  ::Polyline(dc_, p.data(), count);
}

template <class Shape>
void GdiSurface::Filled(Shape&& shape) {
  if (brush_.style != BrushStyle::Pattern || backMode_ == BackMode::Opaque) {
    shape();
    return;
  }
  // GDI paints both colours of a pattern; "transparent" keeps what lies under the clear bits:
  // first AND a black-on-white mask, then OR the colour-on-black pattern, then the outline.
  HBRUSH mask = MakePatternBrush(brush_.pattern, 0x000000, 0xFFFFFF);
  HBRUSH paint = MakePatternBrush(brush_.pattern, brush_.color, 0x000000);
  int rop = GetROP2(dc_);
  SelectObject(dc_, GetStockObject(NULL_PEN));
  SelectObject(dc_, mask);
  SetROP2(dc_, R2_MASKPEN);
  shape();
  SelectObject(dc_, paint);
  SetROP2(dc_, R2_MERGEPEN);
  shape();
  SetROP2(dc_, rop);
  SelectObject(dc_, gdiPen_);
  SelectObject(dc_, GetStockObject(NULL_BRUSH));
  if (pen_.style != PenStyle::Clear) shape();
  SelectObject(dc_, gdiBrush_);
  DeleteObject(mask);
  DeleteObject(paint);
}

void GdiSurface::Polygon(const Point* points, int32_t count) {
  if (count < 2) return;
  std::vector<POINT> p = ToPoints(points, count);
  Filled([&] { ::Polygon(dc_, p.data(), count); });
}

void GdiSurface::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Filled([&] { ::Rectangle(dc_, left, top, right, bottom); });
}

void GdiSurface::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom,
                           int32_t ellipseWidth, int32_t ellipseHeight) {
  Filled([&] { ::RoundRect(dc_, left, top, right, bottom, ellipseWidth, ellipseHeight); });
}

void GdiSurface::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Filled([&] { ::Ellipse(dc_, left, top, right, bottom); });
}

void GdiSurface::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                     int32_t yStart, int32_t xEnd, int32_t yEnd) {
  ::Arc(dc_, left, top, right, bottom, xStart, yStart, xEnd, yEnd);
}

void GdiSurface::Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
                     int32_t yStart, int32_t xEnd, int32_t yEnd) {
  Filled([&] { ::Pie(dc_, left, top, right, bottom, xStart, yStart, xEnd, yEnd); });
}

void GdiSurface::PatternBlt(const RECT& r, const Brush& brush) {
  int w = r.right - r.left;
  int h = r.bottom - r.top;
  if (w <= 0 || h <= 0 || brush.style == BrushStyle::Clear) return;
  HGDIOBJ previous = GetCurrentObject(dc_, OBJ_BRUSH);
  if (brush.style == BrushStyle::Pattern && backMode_ == BackMode::Transparent) {
    HBRUSH mask = MakePatternBrush(brush.pattern, 0x000000, 0xFFFFFF);
    HBRUSH paint = MakePatternBrush(brush.pattern, brush.color, 0x000000);
    SelectObject(dc_, mask);
    PatBlt(dc_, r.left, r.top, w, h, kRopDestAndPattern);
    SelectObject(dc_, paint);
    PatBlt(dc_, r.left, r.top, w, h, kRopDestOrPattern);
    SelectObject(dc_, previous);
    DeleteObject(mask);
    DeleteObject(paint);
    return;
  }
  if (brush == brush_) {
    PatBlt(dc_, r.left, r.top, w, h, PATCOPY);
    return;
  }
  HBRUSH made = MakeBrush(brush, backColor_);
  if (!made) return;
  SelectObject(dc_, made);
  PatBlt(dc_, r.left, r.top, w, h, PATCOPY);
  SelectObject(dc_, previous);
  DeleteOwned(made);
}

void GdiSurface::FillRect(const Rect& rect, const Brush& brush) {
  PatternBlt(RECT{rect.left, rect.top, rect.right, rect.bottom}, brush);
}

void GdiSurface::PatternFill(const Rect& rect) {
  PatternBlt(RECT{rect.left, rect.top, rect.right, rect.bottom}, brush_);
}

void GdiSurface::SetPixel(int32_t x, int32_t y, Rgb color) {
  SetPixelV(dc_, x, y, Ref(color));
}

void GdiSurface::TextOut(int32_t x, int32_t y, std::string_view text) {
  std::wstring w = Widen(text);
  TextOutW(dc_, x, y, w.c_str(), int(w.size()));
}

Size GdiSurface::TextExtent(std::string_view text) {
  std::wstring w = Widen(text);
  SIZE s{};
  GetTextExtentPoint32W(dc_, w.c_str(), int(w.size()), &s);
  return Size{s.cx, s.cy};
}

FontMetrics GdiSurface::GetFontMetrics() {
  TEXTMETRICW tm{};
  GetTextMetricsW(dc_, &tm);
  return FontMetrics{tm.tmAscent, tm.tmDescent, tm.tmHeight};
}

void GdiSurface::ClipRect(const Rect& rect) {
  IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiSurface::ClipPolygon(const Point* points, int32_t count) {
  if (count < 3) {
    IntersectClipRect(dc_, 0, 0, 0, 0);  // no area: nothing stays visible
    return;
  }
  std::vector<POINT> p = ToPoints(points, count);
  HRGN region = CreatePolygonRgn(p.data(), count, ALTERNATE);
  if (!region) return;
  ExtSelectClipRgn(dc_, region, RGN_AND);
  DeleteObject(region);  // the DC keeps its own copy
}

void GdiSurface::RemoveClip() {
  SelectClipRgn(dc_, nullptr);
}

void GdiSurface::DrawImage(const Image& image, int32_t x, int32_t y) {
  StretchImage(image, Rect{x, y, x + image.width, y + image.height});
}

void GdiSurface::StretchImage(const Image& image, const Rect& dest) {
  if (image.Empty() || image.pixels.size() < size_t(image.width) * size_t(image.height)) return;
  // GDI copies the alpha byte into the DIB, where it would stop white from matching a white
  // background colour in a monochrome mask: hand it the pixels without.
  std::vector<uint32_t> rgb(size_t(image.width) * size_t(image.height));
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = image.pixels[i] & 0x00FFFFFF;
  BITMAPINFO info = ColorInfo(image.width, image.height);
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchDIBits(dc_, dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, image.width,
                image.height, rgb.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

std::unique_ptr<Surface> GdiSurface::CreateCompatible(int32_t width, int32_t height,
                                                      bool monochrome) {
  return std::make_unique<GdiSurface>(width, height, monochrome, dc_);
}

void GdiSurface::CopyFrom(int32_t dx, int32_t dy, int32_t width, int32_t height, Surface& source,
                          int32_t sx, int32_t sy) {
  if (width <= 0 || height <= 0) return;
  if (HDC src = reinterpret_cast<HDC>(source.Handle())) {
    BitBlt(dc_, dx, dy, width, height, src, sx, sy, SRCCOPY);
    return;
  }
  // A surface without a DC: copy the part of its picture that exists.
  Image all = source.Snapshot();
  int32_t x0 = std::max(sx, 0), y0 = std::max(sy, 0);
  int32_t x1 = std::min(sx + width, all.width), y1 = std::min(sy + height, all.height);
  if (x1 <= x0 || y1 <= y0) return;
  Image part;
  part.width = x1 - x0;
  part.height = y1 - y0;
  part.pixels.resize(size_t(part.width) * size_t(part.height));
  for (int32_t y = y0; y < y1; ++y)
    std::memcpy(&part.pixels[size_t(y - y0) * size_t(part.width)],
                &all.pixels[size_t(y) * size_t(all.width) + size_t(x0)],
                size_t(part.width) * sizeof(uint32_t));
  DrawImage(part, dx + (x0 - sx), dy + (y0 - sy));
}

Image GdiSurface::Snapshot() {
  Image image;
  image.width = width_;
  image.height = height_;
  image.pixels.resize(size_t(width_) * size_t(height_));
  if (image.pixels.empty()) return image;
  if (bits_) {
    GdiFlush();  // GDI may batch calls: make the DIB bits current
    std::memcpy(image.pixels.data(), bits_, image.pixels.size() * sizeof(uint32_t));
  } else if (ownsDc_) {
    // A device bitmap is read while it is not selected.
    BITMAPINFO info = ColorInfo(width_, height_);
    SelectObject(dc_, oldBitmap_);
    GetDIBits(dc_, bitmap_, 0, UINT(height_), image.pixels.data(), &info, DIB_RGB_COLORS);
    SelectObject(dc_, bitmap_);
  } else {
    GdiSurface copy(width_, height_, false, dc_);
    BitBlt(copy.dc_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    return copy.Snapshot();
  }
  for (uint32_t& p : image.pixels) p |= 0xFF000000u;
  return image;
}

}  // namespace zq::platform::win32

namespace zq::platform {

void SetSurfacesDrawAtOnce(bool) {}  // GDI draws every call at once

std::unique_ptr<Surface> CreateMemorySurface(int32_t width, int32_t height) {
  return std::make_unique<win32::GdiSurface>(width, height);
}

}  // namespace zq::platform
