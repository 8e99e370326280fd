// Chart pens, brushes and fonts: the drawing attributes that chart parts own and that the
// canvas hands to the surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "engine/drawing/color.h"
#include "platform/image.h"
#include "platform/surface.h"

namespace zq {

using TNotifyEvent = std::function<void()>;

enum class TPenStyle : uint8_t {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame
};

enum class TPenMode : uint8_t { pmCopy, pmNotXor };

enum class TBrushStyle : uint8_t {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

platform::PenStyle ToSurfacePenStyle(TPenStyle style);
platform::PenMode ToSurfacePenMode(TPenMode mode);
platform::BrushStyle ToSurfaceBrushStyle(TBrushStyle style);

// Pens are owned by chart parts and changed in place (Assign), so they cannot be copied.
class TChartPen {
 public:
  explicit TChartPen(TNotifyEvent onChange = {});
  virtual ~TChartPen() = default;
  TChartPen(const TChartPen&) = delete;
  TChartPen& operator=(const TChartPen&) = delete;

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  int32_t Width() const { return width_; }
  void SetWidth(int32_t value);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode value);
  bool SmallDots() const { return smallDots_; }
  void SetSmallDots(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // Copies Visible and SmallDots, then colour, width, style and mode; notifies once when
  // anything changed.
  void Assign(const TChartPen& source);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

  // The surface pen with the same colour (as RGB), width, style and mode.
  platform::Pen ToSurfacePen() const;

 protected:
  void Changed() const {
    if (onChange_) onChange_();
  }
  // Presets set their defaults without notifying.
  TColor color_ = clBlack;
  int32_t width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  TPenMode mode_ = TPenMode::pmCopy;
  bool smallDots_ = false;
  bool visible_ = true;

 private:
  TNotifyEvent onChange_;
};

class TChartHiddenPen : public TChartPen {
 public:
  explicit TChartHiddenPen(TNotifyEvent onChange = {});
};

class TDottedGrayPen : public TChartPen {
 public:
  explicit TDottedGrayPen(TNotifyEvent onChange = {});
};

class TDarkGrayPen : public TChartPen {
 public:
  explicit TDarkGrayPen(TNotifyEvent onChange = {});
};

class TChartArrowPen : public TChartPen {
 public:
  explicit TChartArrowPen(TNotifyEvent onChange = {});
};

class TChartAxisPen : public TChartPen {
 public:
  explicit TChartAxisPen(TNotifyEvent onChange = {});
};

// A fill: colour (clDefault = the owner's colour), style and an optional pattern picture that
// replaces the style when it is not empty.
class TChartBrush {
 public:
  explicit TChartBrush(TNotifyEvent onChange = {});
  TChartBrush(const TChartBrush&) = delete;
  TChartBrush& operator=(const TChartBrush&) = delete;

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value);
  const platform::Image& Image() const { return image_; }
  void SetImage(const platform::Image& value);
  void ClearImage();
  bool HasPattern() const { return !image_.Empty(); }

  void Assign(const TChartBrush& source);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

 private:
  void Changed() const {
    if (onChange_) onChange_();
  }
  TColor color_ = clDefault;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  platform::Image image_;
  TNotifyEvent onChange_;
};

// The hatch given to the index-th item when items are told apart by patterns.
TBrushStyle DefaultHatchStyle(int32_t index);

// An 8 x 8 surface pattern from a picture (tiled when smaller): dark pixels take the brush
// colour, light ones the background.
platform::BrushPattern PatternFromImage(const platform::Image& image);

enum class TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles) bits_ |= Bit(s);
  }
  constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
  constexpr void Include(TFontStyle s) { bits_ |= Bit(s); }
  constexpr void Exclude(TFontStyle s) { bits_ &= uint8_t(~Bit(s)); }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint8_t Bits() const { return bits_; }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

 private:
  static constexpr uint8_t Bit(TFontStyle s) { return uint8_t(1u << unsigned(s)); }
  uint8_t bits_ = 0;
};

constexpr uint8_t kDefaultCharset = 1;
constexpr int32_t kDefaultPixelsPerInch = 96;
inline constexpr char kDefaultFontName[] = "Arial";
constexpr int32_t kDefaultFontSize = 8;

// Windows MulDiv: a * b / c rounded half away from zero, -1 when c is 0 or the result does not
// fit in 32 bits.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

// A font as a value. The height is what is stored; the size in points follows from it and
// the pixels per inch. Copies carry the values but not the change notification: assigning to
// a font keeps its own notification and fires it when a value changed.
class TChartFont {
 public:
  explicit TChartFont(TNotifyEvent onChange = {});
  TChartFont(const TChartFont& other);
  TChartFont& operator=(const TChartFont& other);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  // Points: -Height * 72 / PixelsPerInch, rounded.
  int32_t Size() const;
  void SetSize(int32_t value);
  // Below zero the character height in pixels, above zero the cell height.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t value);
  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  // Keeps the height: the size in points changes with it.
  void SetPixelsPerInch(int32_t value);

  void Assign(const TChartFont& source) { *this = source; }

  // Default fonts are not stored with their owners. Owners whose default colour or style is
  // not black / plain pass theirs.
  bool IsDefault(TColor defaultColor = clBlack, TFontStyles defaultStyle = {}) const;

  platform::LogFont ToLogFont() const;

  // Values only (name, height, colour, style, charset, pixels per inch).
  bool SameAs(const TChartFont& other) const;
  friend bool operator==(const TChartFont& a, const TChartFont& b) { return a.SameAs(b); }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(TNotifyEvent handler) { onChange_ = std::move(handler); }

 private:
  void Changed() const {
    if (onChange_) onChange_();
  }
  std::string name_ = kDefaultFontName;
  int32_t height_;
  TColor color_ = clBlack;
  TFontStyles style_;
  uint8_t charset_ = kDefaultCharset;
  int32_t pixelsPerInch_ = kDefaultPixelsPerInch;
  TNotifyEvent onChange_;
};

}  // namespace zq
