#include "engine/drawing/pens.h"

#include <limits>

namespace zq {

platform::PenStyle ToSurfacePenStyle(TPenStyle style) {
  switch (style) {
    case TPenStyle::psSolid:
      return platform::PenStyle::Solid;
    case TPenStyle::psDash:
      return platform::PenStyle::Dash;
    case TPenStyle::psDot:
      return platform::PenStyle::Dot;
    case TPenStyle::psDashDot:
      return platform::PenStyle::DashDot;
    case TPenStyle::psDashDotDot:
      return platform::PenStyle::DashDotDot;
    case TPenStyle::psClear:
      return platform::PenStyle::Clear;
    case TPenStyle::psInsideFrame:
      return platform::PenStyle::InsideFrame;
  }
  return platform::PenStyle::Solid;
}

platform::PenMode ToSurfacePenMode(TPenMode mode) {
  return mode == TPenMode::pmNotXor ? platform::PenMode::NotXor : platform::PenMode::Copy;
}

platform::BrushStyle ToSurfaceBrushStyle(TBrushStyle style) {
  switch (style) {
    case TBrushStyle::bsSolid:
      return platform::BrushStyle::Solid;
    case TBrushStyle::bsClear:
      return platform::BrushStyle::Clear;
    case TBrushStyle::bsHorizontal:
      return platform::BrushStyle::Horizontal;
    case TBrushStyle::bsVertical:
      return platform::BrushStyle::Vertical;
    case TBrushStyle::bsFDiagonal:
      return platform::BrushStyle::FDiagonal;
    case TBrushStyle::bsBDiagonal:
      return platform::BrushStyle::BDiagonal;
    case TBrushStyle::bsCross:
      return platform::BrushStyle::Cross;
    case TBrushStyle::bsDiagCross:
      return platform::BrushStyle::DiagCross;
  }
  return platform::BrushStyle::Solid;
}

// ---- pens ----------------------------------------------------------------------------------

TChartPen::TChartPen(TNotifyEvent onChange) : onChange_(std::move(onChange)) {}

void TChartPen::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  Changed();
}

void TChartPen::SetWidth(int32_t value) {
  if (width_ == value) return;
  width_ = value;
  Changed();
}

void TChartPen::SetStyle(TPenStyle value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TChartPen::SetMode(TPenMode value) {
  if (mode_ == value) return;
  mode_ = value;
  Changed();
}

void TChartPen::SetSmallDots(bool value) {
  if (smallDots_ == value) return;
  smallDots_ = value;
  Changed();
}

void TChartPen::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

void TChartPen::Assign(const TChartPen& source) {
  if (&source == this) return;
  bool changed = visible_ != source.visible_ || smallDots_ != source.smallDots_ ||
                 color_ != source.color_ || width_ != source.width_ || style_ != source.style_ ||
                 mode_ != source.mode_;
  visible_ = source.visible_;
  smallDots_ = source.smallDots_;
  color_ = source.color_;
  width_ = source.width_;
  style_ = source.style_;
  mode_ = source.mode_;
  if (changed) Changed();
}

platform::Pen TChartPen::ToSurfacePen() const {
  platform::Pen pen;
  pen.color = ColorToRGB(color_);
  pen.width = width_;
  pen.style = ToSurfacePenStyle(style_);
  pen.mode = ToSurfacePenMode(mode_);
  return pen;
}

TChartHiddenPen::TChartHiddenPen(TNotifyEvent onChange) : TChartPen(std::move(onChange)) {
  visible_ = false;
}

TDottedGrayPen::TDottedGrayPen(TNotifyEvent onChange) : TChartPen(std::move(onChange)) {
  color_ = clGray;
  style_ = TPenStyle::psDot;
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent onChange) : TChartPen(std::move(onChange)) {
  color_ = clGray;
}

TChartArrowPen::TChartArrowPen(TNotifyEvent onChange) : TChartPen(std::move(onChange)) {
  color_ = clWhite;
}

TChartAxisPen::TChartAxisPen(TNotifyEvent onChange) : TChartPen(std::move(onChange)) {
  width_ = 2;
}

// ---- brushes -------------------------------------------------------------------------------

namespace {

bool SameImage(const platform::Image& a, const platform::Image& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

}  // namespace

TChartBrush::TChartBrush(TNotifyEvent onChange) : onChange_(std::move(onChange)) {}

void TChartBrush::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  Changed();
}

void TChartBrush::SetStyle(TBrushStyle value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TChartBrush::SetImage(const platform::Image& value) {
  if (SameImage(image_, value)) return;
  image_ = value;
  Changed();
}

void TChartBrush::ClearImage() {
  SetImage(platform::Image{});
}

void TChartBrush::Assign(const TChartBrush& source) {
  if (&source == this) return;
  bool changed =
      color_ != source.color_ || style_ != source.style_ || !SameImage(image_, source.image_);
  color_ = source.color_;
  style_ = source.style_;
  image_ = source.image_;
  if (changed) Changed();
}

TBrushStyle DefaultHatchStyle(int32_t index) {
  static constexpr TBrushStyle kStyles[6] = {TBrushStyle::bsSolid,     TBrushStyle::bsHorizontal,
                                             TBrushStyle::bsVertical,  TBrushStyle::bsFDiagonal,
                                             TBrushStyle::bsBDiagonal, TBrushStyle::bsCross};
  int32_t i = index % 6;
  if (i < 0) i += 6;
  return kStyles[i];
}

platform::BrushPattern PatternFromImage(const platform::Image& image) {
  platform::BrushPattern pattern;
  if (image.Empty() || image.pixels.size() < size_t(image.width) * size_t(image.height)) {
    return pattern;
  }
  for (int32_t y = 0; y < 8; ++y) {
    uint8_t row = 0;
    for (int32_t x = 0; x < 8; ++x) {
      uint32_t p = image.At(x % image.width, y % image.height);
      uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (r * 30 + g * 59 + b * 11 < 128 * 100) row |= uint8_t(0x80u >> x);
    }
    pattern.rows[y] = row;
  }
  return pattern;
}

// ---- fonts ---------------------------------------------------------------------------------

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t num = int64_t(a) * int64_t(b);
  int64_t q = num / c;
  int64_t r = num % c;
  // Half away from zero: compare twice the remainder with the divisor.
  uint64_t r2 = uint64_t(r < 0 ? -r : r) * 2;
  uint64_t cabs = uint64_t(c < 0 ? -int64_t(c) : int64_t(c));
  if (r2 >= cabs) q += ((num < 0) != (c < 0)) ? -1 : 1;
  if (q > std::numeric_limits<int32_t>::max() || q < std::numeric_limits<int32_t>::min()) {
    return -1;
  }
  return int32_t(q);
}

TChartFont::TChartFont(TNotifyEvent onChange)
    : height_(-MulDiv(kDefaultFontSize, kDefaultPixelsPerInch, 72)),
      onChange_(std::move(onChange)) {}

TChartFont::TChartFont(const TChartFont& other)
    : name_(other.name_),
      height_(other.height_),
      color_(other.color_),
      style_(other.style_),
      charset_(other.charset_),
      pixelsPerInch_(other.pixelsPerInch_) {}

TChartFont& TChartFont::operator=(const TChartFont& other) {
  if (&other == this) return *this;
  bool changed = !SameAs(other);
  name_ = other.name_;
  height_ = other.height_;
  color_ = other.color_;
  style_ = other.style_;
  charset_ = other.charset_;
  pixelsPerInch_ = other.pixelsPerInch_;
  if (changed) Changed();
  return *this;
}

bool TChartFont::SameAs(const TChartFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
         style_ == other.style_ && charset_ == other.charset_ &&
         pixelsPerInch_ == other.pixelsPerInch_;
}

void TChartFont::SetName(const std::string& value) {
  if (name_ == value) return;
  name_ = value;
  Changed();
}

int32_t TChartFont::Size() const {
  int32_t s = MulDiv(height_, 72, pixelsPerInch_);
  // Negating INT32_MIN would overflow; such a height has no meaningful size anyway.
  return s == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -s;
}

void TChartFont::SetSize(int32_t value) {
  int32_t h = MulDiv(value, pixelsPerInch_, 72);
  SetHeight(h == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max() : -h);
}

void TChartFont::SetHeight(int32_t value) {
  if (height_ == value) return;
  height_ = value;
  Changed();
}

void TChartFont::SetColor(TColor value) {
  if (color_ == value) return;
  color_ = value;
  Changed();
}

void TChartFont::SetStyle(TFontStyles value) {
  if (style_ == value) return;
  style_ = value;
  Changed();
}

void TChartFont::SetCharset(uint8_t value) {
  if (charset_ == value) return;
  charset_ = value;
  Changed();
}

void TChartFont::SetPixelsPerInch(int32_t value) {
  if (pixelsPerInch_ == value) return;
  pixelsPerInch_ = value;
  Changed();
}

bool TChartFont::IsDefault(TColor defaultColor, TFontStyles defaultStyle) const {
  return Size() == kDefaultFontSize && name_ == kDefaultFontName && color_ == defaultColor &&
         style_ == defaultStyle && charset_ == kDefaultCharset;
}

platform::LogFont TChartFont::ToLogFont() const {
  platform::LogFont lf;
  lf.face = name_;
  lf.height = height_;
  lf.weight = style_.Contains(TFontStyle::fsBold) ? 700 : 400;
  lf.italic = style_.Contains(TFontStyle::fsItalic);
  lf.underline = style_.Contains(TFontStyle::fsUnderline);
  lf.strikeOut = style_.Contains(TFontStyle::fsStrikeOut);
  lf.charset = charset_;
  return lf;
}

}  // namespace zq
