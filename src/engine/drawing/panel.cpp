#include "engine/drawing/panel.h"

#include <algorithm>
#include <utility>

namespace zq {

namespace {

// Clipping while printing and while recording a metafile; drivers that cannot clip are long
// gone, so both stay on.
constexpr bool kClipWhenPrinting = true;
constexpr bool kClipWhenMetafiling = true;

// percent % of size, rounded half away from zero (margins may be negative).
int32_t PercentOf(int32_t percent, int32_t size) {
  const int64_t product = int64_t(percent) * int64_t(size);
  const int64_t magnitude = (product < 0 ? -product : product);
  const int64_t rounded = (magnitude + 50) / 100;
  return int32_t(product < 0 ? -rounded : rounded);
}

struct BevelColors {
  TColor topLeft;
  TColor bottomRight;
};

BevelColors ColorsOf(TPanelBevel bevel) {
  if (bevel == TPanelBevel::bvLowered) {
    return {TColor(ColorToRGB(kBevelShadow)), TColor(ColorToRGB(kBevelHighlight))};
  }
  return {TColor(ColorToRGB(kBevelHighlight)), TColor(ColorToRGB(kBevelShadow))};
}

}  // namespace

// ---- TZoomPanningRecord ---------------------------------------------------------------------

void TZoomPanningRecord::Normalise() {
  if (X0 > X1) std::swap(X0, X1);
  if (Y0 > Y1) std::swap(Y0, Y1);
}

// ---- TCustomZidGradient ---------------------------------------------------------------------

void TCustomZidGradient::Changed() const {
  if (owner_ != nullptr) owner_->RequestRepaint();
}

void TCustomZidGradient::SetDirection(TGradientDirection value) {
  if (direction_ == value) return;
  direction_ = value;
  Changed();
}

void TCustomZidGradient::SetEndColor(TColor value) {
  if (endColor_ == value) return;
  endColor_ = value;
  Changed();
}

void TCustomZidGradient::SetStartColor(TColor value) {
  if (startColor_ == value) return;
  startColor_ = value;
  Changed();
}

void TCustomZidGradient::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

void TCustomZidGradient::Assign(const TCustomZidGradient& source) {
  const bool changed = direction_ != source.direction_ || endColor_ != source.endColor_ ||
                       startColor_ != source.startColor_ || visible_ != source.visible_;
  direction_ = source.direction_;
  endColor_ = source.endColor_;
  startColor_ = source.startColor_;
  visible_ = source.visible_;
  if (changed) Changed();
}

// ---- TChartFontObject -----------------------------------------------------------------------

TChartFontObject::TChartFontObject(TCustomZidPanel* owner)
    : owner_(owner), font_([owner] {
        if (owner != nullptr) owner->NotifyCanvasChange();
      }) {}

void TChartFontObject::Repaint() const {
  if (owner_ != nullptr) owner_->RequestRepaint();
}

// ---- TCustomZidPanel ------------------------------------------------------------------------

TCustomZidPanel::TCustomZidPanel()
    : view3DOptions_(std::make_unique<TView3DOptions>([this] { RequestRepaint(); })),
      canvas_(std::make_unique<TZidCanvas3D>()) {
  autoRepaint_ = true;
}

TCustomZidPanel::~TCustomZidPanel() = default;

void TCustomZidPanel::SetSize(int32_t width, int32_t height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  // The back buffer has the old size: never copy it again, whatever auto repaint says.
  canvas_->MarkDirty();
  RequestRepaint();
}

void TCustomZidPanel::SetWindowCanvas(platform::Surface* surface) {
  windowCanvas_ = surface;
  canvas_->SetSurface(surface);
}

void TCustomZidPanel::Paint(platform::Surface& surface, const Rect& clientRect) {
  if (printing_) return;
  SetWindowCanvas(&surface);
  // The panel fills its window: a window resized behind our back must not get the old buffer.
  if (clientRect.Width() != width_ || clientRect.Height() != height_) {
    width_ = clientRect.Width();
    height_ = clientRect.Height();
    canvas_->MarkDirty();
  }
  if (canvas_->RepaintFromBuffer(surface)) return;
  DrawToSurface(surface, clientRect);
}

void TCustomZidPanel::DrawToSurface(platform::Surface& surface, const Rect& rect) {
  chartBounds_ = canvas_->BeginFrame(surface, view3DOptions_.get(), rect, view3D_);
  const Rect& b = chartBounds_;
  const int32_t w = b.Width();
  const int32_t h = b.Height();
  const int32_t border = borderWidth_;
  chartRect_ = {
      b.left + border + PercentOf(margins_[0], w), b.top + border + PercentOf(margins_[1], h),
      b.right - border - PercentOf(margins_[2], w), b.bottom - border - PercentOf(margins_[3], h)};
  RecalcWidthHeight();
  DrawChartContent(chartBounds_);
  canvas_->PresentFrame(surface, windowCanvas_, rect);
}

void TCustomZidPanel::RecalcWidthHeight() {
  Rect& r = chartRect_;
  if (r.left < chartBounds_.left) r.left = chartBounds_.left;
  if (r.top < chartBounds_.top) r.top = chartBounds_.top;
  if (r.right < r.left) {
    r.right = r.left + 1;
  } else if (r.right == r.left) {
    r.right = r.left + width_;
  }
  if (r.bottom < r.top) {
    r.bottom = r.top + 1;
  } else if (r.bottom == r.top) {
    r.bottom = r.top + height_;
  }
  chartWidth_ = r.right - r.left;
  chartHeight_ = r.bottom - r.top;
  chartXCenter_ = int32_t((int64_t(r.left) + r.right) / 2);
  chartYCenter_ = int32_t((int64_t(r.top) + r.bottom) / 2);
}

void TCustomZidPanel::RequestRepaint() {
  if (!autoRepaint_) return;
  canvas_->MarkDirty();
  if (window_.invalidate) window_.invalidate();
}

void TCustomZidPanel::RefreshWindow() {
  if (window_.refresh) window_.refresh();
}

void TCustomZidPanel::SetChart3DPercent(int32_t value) {
  if (value < kMin3DPercent || value > kMax3DPercent) {
    throw ChartException(FormatMessage(kMsg3DPercent, kMin3DPercent, kMax3DPercent));
  }
  SetProperty(chart3DPercent_, value);
}

int32_t TCustomZidPanel::Margin(int32_t index) const {
  return index >= 0 && index < 4 ? margins_[index] : 0;
}

void TCustomZidPanel::SetMargin(int32_t index, int32_t value) {
  if (index < 0 || index >= 4) return;
  SetProperty(margins_[index], value);
}

void TCustomZidPanel::SetView3DOptions(const TView3DOptions& value) {
  view3DOptions_->Assign(value);
  RequestRepaint();
}

void TCustomZidPanel::SetMonochrome(bool value) {
  if (canvas_->IsMonochrome() == value) return;
  canvas_->ChangeMonochrome(value);
  RequestRepaint();
}

void TCustomZidPanel::DrawPanelBevel(const Rect& rect) {
  if (printing_) return;
  TZidCanvas3D& c = *canvas_;
  c.SetPenStyle(TPenStyle::psSolid);
  c.SetPenWidth(1);
  c.SetPenMode(TPenMode::pmCopy);
  c.SetBrushStyle(TBrushStyle::bsClear);
  // Each frame leaves the next one the rectangle inside it.
  Rect r = rect;
  const auto frame = [&](TColor topLeft, TColor bottomRight, int32_t width) {
    if (width <= 0) return;
    c.DrawBevel(r, topLeft, bottomRight, width);
    r = {r.left + width, r.top + width, r.right - width, r.bottom - width};
  };
  if (bevelOuter_ != TPanelBevel::bvNone) {
    const BevelColors colors = ColorsOf(bevelOuter_);
    frame(colors.topLeft, colors.bottomRight, bevelWidth_);
  }
  const TColor face = ColorToRGB(color_);
  frame(face, face, borderWidth_);
  if (bevelInner_ != TPanelBevel::bvNone) {
    const BevelColors colors = ColorsOf(bevelInner_);
    frame(colors.topLeft, colors.bottomRight, bevelWidth_);
  }
}

void TCustomZidPanel::SetCanvasFont(TChartFont& font) {
  font.SetPixelsPerInch(canvas_->Font().PixelsPerInch());
  canvas_->SetFont(font);
}

bool TCustomZidPanel::ClippingAllowed() const {
  if (canvas_->DrawsFlatItemsInDepth()) return false;
  if (canvas_->IsMetafiling()) return kClipWhenMetafiling;
  if (printing_) return kClipWhenPrinting;
  return true;
}

void TCustomZidPanel::SetBrushColours(TColor color, TBrushStyle style, TColor backColor) {
  if (style != TBrushStyle::bsSolid && color == backColor) {
    color = backColor == clBlack ? clWhite : clBlack;
  }
  canvas_->SetBrushColor(color);
  canvas_->SetBrushStyle(style);
  if (style == TBrushStyle::bsSolid) {
    canvas_->ChangeBackMode(platform::BackMode::Transparent);
  } else if (style != TBrushStyle::bsClear) {
    canvas_->ChangeBackMode(platform::BackMode::Opaque);
    canvas_->ChangeBackColor(ColorToRGB(backColor));
  }
}

int32_t TCustomZidPanel::WidestLineWidth(std::string_view text, int32_t& lines) {
  if (text.find(kLineSeparator) == std::string_view::npos) {
    lines = 1;
    return canvas_->TextWidthOf(text);
  }
  lines = 0;
  int32_t widest = 0;
  size_t start = 0;
  for (size_t end; (end = text.find(kLineSeparator, start)) != std::string_view::npos;
       start = end + 1) {
    widest = std::max(widest, canvas_->TextWidthOf(text.substr(start, end - start)));
    ++lines;
  }
  if (start < text.size()) {
    widest = std::max(widest, canvas_->TextWidthOf(text.substr(start)));
    ++lines;
  }
  return widest;
}

void TCustomZidPanel::DrawZoomRectangle() {
  TZidCanvas3D& c = *canvas_;
  if (c.Surface() == nullptr) return;
  // Not-xor with white would change nothing.
  TColor color = ColorToRGB(color_);
  if (color == clWhite) color = clBlack;
  c.SetPenColor(color);
  c.SetPenMode(TPenMode::pmNotXor);
  c.SetPenStyle(TPenStyle::psSolid);
  c.SetPenWidth(1);
  c.SetBrushStyle(TBrushStyle::bsClear);
  c.DrawRect(zoom_.X0, zoom_.Y0, zoom_.X1, zoom_.Y1);
  c.SetPenMode(TPenMode::pmCopy);
}

void TCustomZidPanel::Assign(const TCustomZidPanel& source) {
  if (&source == this) return;
  SetUseBackBuffer(source.UseBackBuffer());
  printProportional_ = source.printProportional_;
  printResolution_ = source.printResolution_;
  std::copy(std::begin(source.margins_), std::end(source.margins_), std::begin(margins_));
  SetMonochrome(source.Monochrome());
  view3D_ = source.view3D_;
  view3DOptions_->Assign(*source.view3DOptions_);
  chart3DPercent_ = source.chart3DPercent_;
  color_ = source.color_;
  RequestRepaint();
}

// ---- TCustomZidPanelExtended ----------------------------------------------------------------

TCustomZidPanelExtended::TCustomZidPanelExtended()
    : backImage_(std::make_unique<TPicture>()), gradient_(std::make_unique<TChartGradient>(this)) {
  backImage_->SetOnChange([this] { RequestRepaint(); });
}

TCustomZidPanelExtended::~TCustomZidPanelExtended() = default;

void TCustomZidPanelExtended::UndoZoom() {
  RestoreAxisScales();
  if (OnUndoZoom) OnUndoZoom();
  RequestRepaint();
  zoomed_ = false;
}

void TCustomZidPanelExtended::FillBackground(const Rect& rect) {
  TZidCanvas3D& c = Canvas();
  if (gradient_->Visible()) {
    // The canvas swaps the colours of every other direction back, so that its bands always
    // start with StartColor.
    const TGradientDirection direction = gradient_->Direction();
    const bool plain = direction == TGradientDirection::gdTopBottom ||
                       direction == TGradientDirection::gdLeftRight;
    const TColor a = plain ? gradient_->StartColor() : gradient_->EndColor();
    const TColor b = plain ? gradient_->EndColor() : gradient_->StartColor();
    c.FillGradient(rect, a, b, direction);
  } else if (!Printing()) {
    c.SetBrushColor(Color());
    c.SetBrushStyle(TBrushStyle::bsSolid);
    c.EraseRect(rect);
  }
}

void TCustomZidPanelExtended::PaintPanelBackground(const Rect& rect) {
  FillBackground(rect);
  DrawBackImage(rect);
  if (!Canvas().DrawsFlatItemsInDepth()) DrawPanelBevel(rect);
}

void TCustomZidPanelExtended::DrawBackPicture(const Rect& rect, int32_t depth) {
  if (backImage_->Empty()) return;
  // A picture cannot follow a rotated back wall.
  if (depth != 0 && View3D() && !View3DOptions().Orthogonal()) return;
  TZidCanvas3D& c = Canvas();
  const platform::Image& image = backImage_->GetImage();
  const auto atDepth = [&](Rect r) {
    if (depth > 0) {
      const Point topLeft = c.ProjectXY(r.left, r.top, depth);
      const Point bottomRight = c.ProjectXY(r.right, r.bottom, depth);
      r = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
      if (!View3D()) ++r.top;
    }
    return r;
  };

  if (backImageMode_ == TZidBackImageMode::pbmStretch) {
    c.StretchPicture(atDepth(rect), image);
    return;
  }

  const bool clip = ClippingAllowed();
  if (clip) {
    if (depth != 0) {
      c.ClipBox(rect, 0, Width3D());
    } else {
      c.ClipToRect(rect);
    }
  }
  const Rect r = atDepth(rect);
  const int64_t w = image.width, h = image.height;
  if (backImageMode_ == TZidBackImageMode::pbmTile) {
    if (w > 0 && h > 0 && c.Surface() != nullptr) {
      // Tiles wholly off the surface show nothing: start with the first one that can show.
      const int64_t visibleLeft = std::max<int64_t>(r.left, 0);
      const int64_t visibleTop = std::max<int64_t>(r.top, 0);
      const int64_t right = std::min<int64_t>(r.right, c.Surface()->Width());
      const int64_t bottom = std::min<int64_t>(r.bottom, c.Surface()->Height());
      const int64_t firstX = r.left + (visibleLeft - r.left) / w * w;
      const int64_t firstY = r.top + (visibleTop - r.top) / h * h;
      for (int64_t y = firstY; y < bottom; y += h) {
        for (int64_t x = firstX; x < right; x += w) c.DrawPicture(int32_t(x), int32_t(y), image);
      }
    }
  } else {
    FillBackground(r);
    const int64_t x = r.left + (int64_t(r.right) - r.left - w) / 2;
    const int64_t y = r.top + (int64_t(r.bottom) - r.top - h) / 2;
    c.DrawPicture(int32_t(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)),
                  int32_t(std::clamp<int64_t>(y, INT32_MIN, INT32_MAX)), image);
  }
  if (clip) c.RemoveClip();
}

void TCustomZidPanelExtended::Assign(const TCustomZidPanel& source) {
  if (&source == this) return;
  if (const auto* s = dynamic_cast<const TCustomZidPanelExtended*>(&source)) {
    backImage_->Assign(*s->backImage_);
    backImageMode_ = s->backImageMode_;
    gradient_->Assign(*s->gradient_);
    allowPanning_ = s->allowPanning_;
    allowZoom_ = s->allowZoom_;
    animatedZoom_ = s->animatedZoom_;
    animatedZoomSteps_ = s->animatedZoomSteps_;
  }
  TCustomZidPanel::Assign(source);
}

}  // namespace zq
