// The chart legend: the boxed list beside or above the plotting area that names the series,
// or the values of one series, each line with a colour box drawn by its series. It takes its
// room out of the chart rectangle before the axes are laid out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/drawing/canvas3d.h"
#include "engine/drawing/color.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/panel.h"
#include "engine/drawing/pens.h"
#include "engine/series/series.h"
#include "platform/geometry.h"

namespace zq {

enum class TLegendAlignment : uint8_t { laLeft, laRight, laTop, laBottom };
enum class TLegendStyle : uint8_t { lsAuto, lsSeries, lsValues, lsLastValues };

// Resource texts of the checked setters.
inline constexpr char kMsgLegendColorWidth[] = "Legend Color Width must be between 0 and 100 %";
inline constexpr char kMsgLegendTopPos[] = "Top Legend Position must be between 0 and 100 %";
inline constexpr char kMsgLegendFirstValue[] = "First Legend Value must be > 0";

// What the legend needs of its chart. The chart implements it; where the panel or TChartHost
// already has the accessor, the name and signature are the same, so one override serves both.
class TLegendOwner {
 public:
  virtual TChartSeriesList& SeriesList() = 0;
  // The canvas the series draw their legend symbols on as well.
  virtual TZidCanvas3D& Canvas() = 0;

  // ---- layout of the current paint ---------------------------------------------------------
  virtual const Rect& ChartRect() const = 0;
  // The legend takes its room out of the chart rectangle, then calls RecalcWidthHeight.
  virtual void SetChartRect(const Rect& value) = 0;
  virtual const Rect& ChartBounds() const = 0;
  virtual int32_t ChartWidth() const = 0;
  virtual int32_t ChartHeight() const = 0;
  virtual int32_t ChartXCenter() const = 0;
  virtual void RecalcWidthHeight() = 0;

  // The legend's Color for this paint; the series read it back (TChartHost::LegendColor) as
  // the background of their colour boxes.
  virtual void SetLegendColor(TColor value) = 0;

  // The chart's events, with the chart as sender. Defaults do nothing.
  // OnGetLegendText: `style` is the legend style in effect.
  virtual void DoGetLegendText(TLegendStyle /*style*/, int32_t /*index*/, std::string& /*text*/) {}
  // OnGetLegendRect.
  virtual void DoGetLegendRect(Rect& /*rect*/) {}
  // OnGetLegendPos: `x` is the text position, `xColor` the legend's colour box position.
  virtual void DoGetLegendPos(int32_t /*index*/, int32_t& /*x*/, int32_t& /*y*/,
                              int32_t& /*xColor*/) {}

  // Invalidates the chart window.
  virtual void RequestRepaint() = 0;

 protected:
  ~TLegendOwner() = default;
};

// The first active series in list order, or null.
TChartSeries* FirstActiveSeries(const TChartSeriesList& list);
// The n-th (0-based) active series that shows in the legend, or null.
TChartSeries* ActiveSeriesInLegend(const TChartSeriesList& list, int32_t n);
// How many active series show in the legend.
int32_t CountActiveSeriesInLegend(const TChartSeriesList& list);

class TCustomChartLegend : public TChartFontObject {
 public:
  // `panel` is the chart as a panel (font changes notify it); without one, font changes
  // repaint through the owner.
  explicit TCustomChartLegend(TLegendOwner& owner, TCustomZidPanel* panel = nullptr);
  ~TCustomChartLegend() override;

  // ---- published properties ----------------------------------------------------------------
  TLegendAlignment Alignment() const { return alignment_; }
  void SetAlignment(TLegendAlignment value) { SetProperty(alignment_, value); }
  TChartBrush& Brush() { return *brush_; }
  const TChartBrush& Brush() const { return *brush_; }
  void SetBrush(const TChartBrush& value) { brush_->Assign(value); }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { SetProperty(color_, value); }
  // Percent of the item width; raises LegendException outside 0..100.
  int32_t ColorWidth() const { return colorWidth_; }
  void SetColorWidth(int32_t value);
  TChartPen& DividingLines() { return *dividingLines_; }
  const TChartPen& DividingLines() const { return *dividingLines_; }
  void SetDividingLines(const TChartPen& value) { dividingLines_->Assign(value); }
  // Leading items skipped; raises LegendException below 0.
  int32_t FirstValue() const { return firstValue_; }
  void SetFirstValue(int32_t value);
  TChartPen& Frame() { return *frame_; }
  const TChartPen& Frame() const { return *frame_; }
  void SetFrame(const TChartPen& value) { frame_->Assign(value); }
  // Pixels between a left/right legend and the chart; 0 for 3 % of the chart width.
  int32_t HorizMargin() const { return horizMargin_; }
  void SetHorizMargin(int32_t value) { SetProperty(horizMargin_, value); }
  bool Inverted() const { return inverted_; }
  void SetInverted(bool value) { SetProperty(inverted_, value); }
  TLegendStyle LegendStyle() const { return legendStyle_; }
  // Resolves the style in effect at once.
  void SetLegendStyle(TLegendStyle value);
  int32_t MaxNumRows() const { return maxNumRows_; }
  void SetMaxNumRows(int32_t value) { SetProperty(maxNumRows_, value); }
  bool ResizeChart() const { return resizeChart_; }
  void SetResizeChart(bool value) { SetProperty(resizeChart_, value); }
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value) { SetProperty(shadowColor_, value); }
  // Offset of the shadow in pixels; 0 draws none.
  int32_t ShadowSize() const { return shadowSize_; }
  void SetShadowSize(int32_t value) { SetProperty(shadowSize_, value); }
  TLegendTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TLegendTextStyle value) { SetProperty(textStyle_, value); }
  // Percent along the side; raises LegendException outside 0..100.
  int32_t TopPos() const { return topPos_; }
  void SetTopPos(int32_t value);
  // Pixels between a top/bottom legend and the chart; 0 for 4 % of the chart height.
  int32_t VertMargin() const { return vertMargin_; }
  void SetVertMargin(int32_t value) { SetProperty(vertMargin_, value); }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { SetProperty(visible_, value); }

  // ---- items -------------------------------------------------------------------------------
  // The style in effect: LegendStyle with lsAuto resolved at the last ResolveStyle.
  TLegendStyle ResolvedStyle() const { return resolvedStyle_; }
  // lsAuto lists the values of a single active series, else the series.
  void ResolveStyle();
  bool IsVertical() const {
    return alignment_ == TLegendAlignment::laLeft || alignment_ == TLegendAlignment::laRight;
  }
  // Items to list after FirstValue, in the style in effect; never below 0.
  int32_t TotalItems() const;
  // The text of an item (counting from 0, FirstValue included), through OnGetLegendText.
  std::string ItemText(int32_t index) const;
  // A value of a series as the legend words it: "" for index -1, line breaks as blanks.
  std::string ValueText(TChartSeries& series, int32_t valueIndex) const;
  // The widest ItemText in the canvas' current font over `count` items from FirstValue
  // (-1: all of them); 0 when there are none.
  int32_t WidestItem(int32_t count) const;

  // ---- drawing -----------------------------------------------------------------------------
  // How many items of `itemExtent` pixels fit below `start` in the chart rectangle.
  virtual int32_t MaxLegendValues(int32_t start, int32_t itemExtent) const;
  // Draws the legend against its side of the chart rectangle and takes its room (and the
  // margin gap) out of that rectangle.
  virtual void PaintLegend();

  // ---- state of the last paint -------------------------------------------------------------
  const Rect& RectLegend() const { return rectLegend_; }
  int32_t ColorBoxWidth() const { return colorBoxWidth_; }
  int32_t NumCols() const { return numCols_; }
  int32_t NumRows() const { return numRows_; }
  // The position (0-based, FirstValue not counted) of the item under (x, y), or -1.
  int32_t ItemAt(int32_t x, int32_t y) const;

  // Everything but DividingLines, ShadowColor and ShadowSize; the font from any font object.
  void Assign(const TChartFontObject& source) override;

  TLegendOwner& Owner() const { return owner_; }

 private:
  template <typename T>
  void SetProperty(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed();
  }
  void Changed() const { owner_.RequestRepaint(); }
  // Colour box of item `index` in `rect`, drawn by its series.
  void DrawColorBox(int32_t index, const Rect& rect) const;
  // Box fill and outline, shadow included.
  void DrawFrameAndShadow(const Rect& legend) const;
  // Takes the legend's room and the margin gap out of the chart rectangle.
  void ShrinkChartRect(const Rect& legend) const;

  TLegendOwner& owner_;
  TLegendAlignment alignment_ = TLegendAlignment::laRight;
  std::unique_ptr<TChartBrush> brush_;
  TColor color_ = clWhite;
  int32_t colorWidth_ = 12;
  std::unique_ptr<TChartHiddenPen> dividingLines_;
  int32_t firstValue_ = 0;
  std::unique_ptr<TChartPen> frame_;
  int32_t horizMargin_ = 0;
  bool inverted_ = false;
  TLegendStyle legendStyle_ = TLegendStyle::lsAuto;
  TLegendStyle resolvedStyle_ = TLegendStyle::lsAuto;
  int32_t maxNumRows_ = 10;
  Rect rectLegend_;
  bool resizeChart_ = true;
  TColor shadowColor_ = clBlack;
  int32_t shadowSize_ = 3;
  TLegendTextStyle textStyle_ = TLegendTextStyle::ltsLeftValue;
  int32_t topPos_ = 10;
  int32_t vertMargin_ = 0;
  bool visible_ = true;
  int32_t colorBoxWidth_ = 0;
  int32_t numCols_ = 0;
  int32_t numRows_ = 0;
  // Line height of the last paint: the row height of a top/bottom legend's hit test.
  int32_t lineHeight_ = 0;
};

// The legend a chart publishes.
class TChartLegend : public TCustomChartLegend {
 public:
  using TCustomChartLegend::TCustomChartLegend;
};

}  // namespace zq
