// The chart's furniture: the three walls around the plotting area and the two titles above
// and below it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/panel.h"
#include "engine/drawing/pens.h"
#include "platform/geometry.h"

namespace zq {

class TCustomChart;

enum class TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };

// Room between a title and the chart below (or above) it.
inline constexpr int32_t kTitleGap = 5;

// A wall: a flat plane (Size 0) or a box of Size pixels.
class TCustomChartWall {
 public:
  TCustomChartWall(TCustomChart* chart, TColor defaultColor);
  TCustomChartWall(const TCustomChartWall&) = delete;
  TCustomChartWall& operator=(const TCustomChartWall&) = delete;
  virtual ~TCustomChartWall() = default;

  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TChartBrush& Brush() { return brush_; }
  const TChartBrush& Brush() const { return brush_; }
  void SetBrush(const TChartBrush& value) { brush_.Assign(value); }
  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool value);
  TChartPen& Pen() { return pen_; }
  const TChartPen& Pen() const { return pen_; }
  void SetPen(const TChartPen& value) { pen_.Assign(value); }
  int32_t Size() const { return size_; }
  void SetSize(int32_t value);
  TCustomChart* ParentChart() const { return chart_; }
  TColor DefaultColor() const { return defaultColor_; }
  // Stored only when it differs from the wall's default colour.
  bool IsColorStored() const { return color_ != defaultColor_; }

  // Sides and top of a box are darkened: a filled brush without pattern and Dark3D.
  bool IsDark() const;

  void Assign(const TCustomChartWall& source);

 private:
  void Repaint() const;

  TCustomChart* chart_;
  TColor color_;
  TChartBrush brush_;
  bool dark3D_ = true;
  TChartPen pen_;
  int32_t size_ = 0;
  TColor defaultColor_;
};

class TChartWall : public TCustomChartWall {
 public:
  using TCustomChartWall::TCustomChartWall;
};

// A block of text lines above (Title) or below (Foot) the chart, with an optional frame and
// fill.
class TChartTitle : public TChartFontObject {
 public:
  explicit TChartTitle(TCustomChart* chart);

  bool AdjustFrame() const { return adjustFrame_; }
  void SetAdjustFrame(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TChartBrush& Brush() { return brush_; }
  const TChartBrush& Brush() const { return brush_; }
  void SetBrush(const TChartBrush& value) { brush_.Assign(value); }
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TChartHiddenPen& Frame() { return frame_; }
  const TChartHiddenPen& Frame() const { return frame_; }
  void SetFrame(const TChartPen& value) { frame_.Assign(value); }
  // One entry per line.
  const std::vector<std::string>& Text() const { return text_; }
  void SetText(const std::vector<std::string>& value);
  // Where the title was last drawn (for clicks).
  const Rect& TitleRect() const { return titleRect_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // The font counts as default (not stored) with these colour and style.
  TColor DefaultFontColor() const { return defaultFontColor_; }
  TFontStyles DefaultFontStyle() const { return defaultFontStyle_; }
  void SetFontDefaults(TColor color, TFontStyles style);
  bool IsFontDefault() const { return Font().IsDefault(defaultFontColor_, defaultFontStyle_); }

  // Visible and the point lies in the last drawn rectangle.
  bool Clicked(int32_t x, int32_t y) const;

  void Assign(const TChartFontObject& source) override;

  // Draws the title at the top (or bottom) of the chart rectangle and takes its room from it.
  void Draw(bool onTop);

 private:
  TCustomChart* chart_;
  bool adjustFrame_ = true;
  TAlignment alignment_ = TAlignment::taCenter;
  TChartBrush brush_;
  TColor color_ = clDefault;
  TChartHiddenPen frame_;
  std::vector<std::string> text_;
  Rect titleRect_;
  bool visible_ = true;
  TColor defaultFontColor_ = clBlue;
  TFontStyles defaultFontStyle_;
};

}  // namespace zq
