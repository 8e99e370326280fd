// The value marks of a series: boxed texts beside the points, with their arrows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/panel_helpers.h"
#include "engine/drawing/pens.h"
#include "platform/geometry.h"

namespace zq {

class TChartSeries;
class TZidCanvas3D;

enum class TSeriesMarksStyle {
  smsValue,
  smsPercent,
  smsLabel,
  smsLabelPercent,
  smsLabelValue,
  smsLegend,
  smsPercentTotal,
  smsLabelPercentTotal,
  smsXValue
};

// Multi-line texts (lines separated by kLineSeparator) measured in a canvas.
namespace textlines {
// The lines of a text, as CountTextLines counts them.
std::vector<std::string_view> Split(std::string_view text);
// The widest line in the canvas' current font; `lines` receives the line count (1 for a text
// without separator).
int32_t WidestWidth(TZidCanvas3D& canvas, std::string_view text, int32_t* lines = nullptr);
}  // namespace textlines

// Where one mark was drawn. A custom position (set by a user) is kept over computed ones.
class TSeriesMarkPosition {
 public:
  platform::Point ArrowFrom;
  platform::Point ArrowTo;
  bool Custom = false;
  platform::Point LeftTop;
  int32_t Height = 0;
  int32_t Width = 0;

  platform::Rect Bounds() const {
    return {LeftTop.x, LeftTop.y, LeftTop.x + Width, LeftTop.y + Height};
  }
  void Assign(const TSeriesMarkPosition& source) { *this = source; }
};

class TSeriesMarks {
 public:
  explicit TSeriesMarks(TChartSeries& series);
  TSeriesMarks(const TSeriesMarks&) = delete;
  TSeriesMarks& operator=(const TSeriesMarks&) = delete;
  ~TSeriesMarks();

  TChartSeries& ParentSeries() const { return series_; }

  // ---- properties ----
  TChartArrowPen& Arrow() { return arrow_; }
  const TChartArrowPen& Arrow() const { return arrow_; }
  void SetArrow(const TChartPen& value) { arrow_.Assign(value); }
  int32_t ArrowLength() const { return arrowLength_; }
  void SetArrowLength(int32_t value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool Clip() const { return clip_; }
  void SetClip(bool value);
  TChartPen& Frame() { return frame_; }
  const TChartPen& Frame() const { return frame_; }
  void SetFrame(const TChartPen& value) { frame_.Assign(value); }
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }
  void SetFont(const TChartFont& value) { font_.Assign(value); }
  TSeriesMarksStyle Style() const { return style_; }
  void SetStyle(TSeriesMarksStyle value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // Depth at which the marks are drawn; the chart sets it before drawing.
  int32_t ZPosition() const { return zPosition_; }
  void SetZPosition(int32_t value) { zPosition_ = value; }

  // Copies every published property (not the positions).
  void Assign(const TSeriesMarks& source);

  // ---- positions ----
  // Stored positions by point index; null where none is stored.
  const std::vector<std::unique_ptr<TSeriesMarkPosition>>& Positions() const { return positions_; }
  // The stored position of a point, or null.
  TSeriesMarkPosition* PositionAt(int32_t index) const;
  // Stores a position for a point; `custom` keeps it over computed ones.
  void SetCustomPosition(int32_t index, const TSeriesMarkPosition& position);
  // Reconciles a computed position with the stored one: a custom stored position replaces the
  // computed one, otherwise the stored entry takes the computed values.
  void UseMarkPosition(int32_t index, TSeriesMarkPosition& position);
  void ClearMarkPositions();
  // Series bookkeeping: a point was deleted / points were reordered (new i = old order[i]).
  void DeletePosition(int32_t index);
  void DeletePositions(int32_t first, int32_t count);
  void ReorderPositions(const std::vector<int32_t>& order);
  void SwapPositions(int32_t a, int32_t b);

  // Draws one mark: arrow, box and text, through the series' chart canvas.
  void DrawMarkBox(int32_t index, TColor pointColor, TSeriesMarkPosition& position,
                   std::string_view text);

 private:
  void Repaint() const;

  TChartSeries& series_;
  TChartArrowPen arrow_;
  int32_t arrowLength_ = 8;
  TColor backColor_ = 0x80FFFF;
  bool transparent_ = false;
  bool clip_ = false;
  TChartPen frame_;
  TChartFont font_;
  TSeriesMarksStyle style_ = TSeriesMarksStyle::smsLabel;
  std::vector<std::unique_ptr<TSeriesMarkPosition>> positions_;
  int32_t zPosition_ = 0;
  bool visible_ = false;
};

}  // namespace zq
