#include "engine/chart/walls_titles.h"

#include <algorithm>

#include "engine/chart/chart.h"

namespace zq {

namespace {

int32_t ClampToInt(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TCustomChartWall ------------------------------------------------------------------------

TCustomChartWall::TCustomChartWall(TCustomChart* chart, TColor defaultColor)
    : chart_(chart),
      color_(defaultColor),
      brush_([this] { Repaint(); }),
      pen_([this] { Repaint(); }),
      defaultColor_(defaultColor) {}

void TCustomChartWall::Repaint() const {
  if (chart_) chart_->RequestRepaint();
}

void TCustomChartWall::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Repaint();
}

void TCustomChartWall::SetDark3D(bool value) {
  if (value == dark3D_) return;
  dark3D_ = value;
  Repaint();
}

void TCustomChartWall::SetSize(int32_t value) {
  if (value == size_) return;
  size_ = value;
  Repaint();
}

bool TCustomChartWall::IsDark() const {
  return brush_.Style() != TBrushStyle::bsClear && !brush_.HasPattern() && dark3D_;
}

void TCustomChartWall::Assign(const TCustomChartWall& source) {
  if (&source == this) return;
  brush_.Assign(source.brush_);
  SetColor(source.color_);
  SetDark3D(source.dark3D_);
  pen_.Assign(source.pen_);
  SetSize(source.size_);
}

// ---- TChartTitle -----------------------------------------------------------------------------

TChartTitle::TChartTitle(TCustomChart* chart)
    : TChartFontObject(chart),
      chart_(chart),
      brush_([this] { Repaint(); }),
      frame_([this] { Repaint(); }) {
  Font().SetColor(clBlue);
}

void TChartTitle::SetAdjustFrame(bool value) {
  if (value == adjustFrame_) return;
  adjustFrame_ = value;
  Repaint();
}

void TChartTitle::SetAlignment(TAlignment value) {
  alignment_ = value;
  Repaint();
}

void TChartTitle::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Repaint();
}

void TChartTitle::SetText(const std::vector<std::string>& value) {
  text_ = value;
  Repaint();
}

void TChartTitle::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Repaint();
}

void TChartTitle::SetFontDefaults(TColor color, TFontStyles style) {
  defaultFontColor_ = color;
  defaultFontStyle_ = style;
}

bool TChartTitle::Clicked(int32_t x, int32_t y) const {
  const Rect& r = titleRect_;
  return visible_ && x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

void TChartTitle::Assign(const TChartFontObject& source) {
  if (&source == this) return;
  if (const auto* s = dynamic_cast<const TChartTitle*>(&source)) {
    adjustFrame_ = s->adjustFrame_;
    alignment_ = s->alignment_;
    brush_.Assign(s->brush_);
    color_ = s->color_;
    frame_.Assign(s->frame_);
    text_ = s->text_;
    visible_ = s->visible_;
  }
  TChartFontObject::Assign(source);
  Repaint();
}

void TChartTitle::Draw(bool onTop) {
  if (!chart_) return;
  TCustomChart& chart = *chart_;
  TZidCanvas3D& c = chart.Canvas();
  Rect chartRect = chart.ChartRect();

  chart.SetCanvasFont(Font());
  const int32_t lineHeight = c.TextLineHeight();
  const int64_t n = int64_t(text_.size());

  // The fill.
  bool clearFill = false;
  if (color_ == clDefault) {
    if (brush_.Style() != TBrushStyle::bsSolid) {
      c.SetBrushColor(brush_.Color());
      c.SetBrushStyle(brush_.Style());
      c.ChangeBackMode(platform::BackMode::Transparent);
      clearFill = brush_.Style() == TBrushStyle::bsClear;
    } else if (brush_.Color() == clDefault) {
      c.SetBrushStyle(TBrushStyle::bsClear);
      clearFill = true;
    } else {
      // Taken as the title's own colour: the next pass fills with it.
      SetColor(brush_.Color());
      c.SetBrushColor(brush_.Color());
      c.SetBrushStyle(TBrushStyle::bsSolid);
    }
  } else if (brush_.Style() != TBrushStyle::bsSolid) {
    c.SetBrushColor(brush_.Color());
    c.SetBrushStyle(brush_.Style());
    c.ChangeBackMode(platform::BackMode::Opaque);
    c.ChangeBackColor(ColorToRGB(color_));
    clearFill = brush_.Style() == TBrushStyle::bsClear;
  } else {
    c.SetBrushColor(color_);
    c.SetBrushStyle(TBrushStyle::bsSolid);
  }

  // A frame in clDefault has no colour to draw with: it counts as none.
  const bool frameVisible = frame_.Visible() && frame_.Color() != clDefault;
  const int32_t f = frameVisible ? frame_.Width() : 0;

  const int64_t textHeight = n * lineHeight;
  Rect r;
  r.left = ClampToInt(int64_t(chartRect.left) + f);
  r.right = ClampToInt(int64_t(chartRect.right) - f);
  if (onTop) {
    r.top = ClampToInt(int64_t(chartRect.top) + f);
    r.bottom = ClampToInt(int64_t(r.top) + textHeight);
  } else {
    r.bottom = ClampToInt(int64_t(chartRect.bottom) - f);
    r.top = ClampToInt(int64_t(r.bottom) - textHeight);
  }
  r = {ClampToInt(int64_t(r.left) - f), ClampToInt(int64_t(r.top) - f),
       ClampToInt(int64_t(r.right) + f), ClampToInt(int64_t(r.bottom) + f)};
  if (frameVisible) {
    c.SelectChartPen(frame_);
  } else {
    c.SetPenStyle(TPenStyle::psClear);
  }

  const int32_t wWidth = c.TextWidthOf("W");
  std::vector<int32_t> widths;
  widths.reserve(text_.size());
  int32_t widest = 0;
  for (const std::string& line : text_) {
    widths.push_back(c.TextWidthOf(line));
    widest = std::max(widest, widths.back());
  }

  if (frameVisible || !clearFill) {
    if (adjustFrame_) {
      const int64_t width = int64_t(widest) + wWidth;
      switch (alignment_) {
        case TAlignment::taLeftJustify:
          r.right = ClampToInt(int64_t(r.left) + width);
          break;
        case TAlignment::taRightJustify:
          r.left = ClampToInt(int64_t(r.right) - width);
          break;
        case TAlignment::taCenter: {
          const int64_t centre = (int64_t(r.left) + r.right) / 2;
          r.left = ClampToInt(centre - width / 2);
          r.right = ClampToInt(centre + width / 2);
          break;
        }
      }
    }
    c.DrawRectR(r);
  }
  titleRect_ = r;

  c.ChangeBackMode(platform::BackMode::Transparent);
  c.SetTextAlignment(platform::text_align::kLeft | platform::text_align::kTop);
  for (int64_t i = 0; i < n; ++i) {
    const int64_t lineWidth = widths[size_t(i)];
    int64_t x;
    switch (alignment_) {
      case TAlignment::taLeftJustify:
        x = int64_t(r.left) + wWidth / 2;
        break;
      case TAlignment::taRightJustify:
        x = int64_t(r.right) - lineWidth - wWidth / 2;
        break;
      case TAlignment::taCenter:
      default:
        x = (int64_t(r.left) + r.right) / 2 - lineWidth / 2;
        break;
    }
    const int64_t y = onTop ? int64_t(chartRect.top) + f + i * lineHeight
                            : int64_t(chartRect.bottom) - f - (n - i) * lineHeight;
    c.OutputText(ClampToInt(x), ClampToInt(y), text_[size_t(i)]);
  }

  // The room taken.
  if (onTop) {
    if (n == 0) {
      chartRect.top = ClampToInt(int64_t(chartRect.top) + 2 * int64_t(f));
    } else {
      chartRect.top =
          ClampToInt(int64_t(chartRect.top) + f + textHeight + (frameVisible ? f : 0) + kTitleGap);
    }
  } else if (n == 0) {
    chartRect.bottom = ClampToInt(int64_t(chartRect.bottom) - 2 * int64_t(f));
  } else {
    chartRect.bottom =
        ClampToInt(int64_t(chartRect.bottom) - f - textHeight - (frameVisible ? f : 0) - kTitleGap);
  }
  chart.SetChartRect(chartRect);
  chart.RecalcWidthHeight();
}

}  // namespace zq
