// Bar series: one bar per point between an origin and the point's value. TBarSeries stands its
// bars on the horizontal axis, THorizBarSeries lays them along the vertical one; the bar series
// of one class in a chart stand side by side, stack, or stack to 100 %.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/drawing/color.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pens.h"
#include "engine/series/series.h"
#include "platform/geometry.h"

namespace zq {

enum class TBarStyle {
  bsRectangle,
  bsPyramid,
  bsInvPyramid,
  bsCilinder,
  bsEllipse,
  bsArrow,
  bsRectGradient
};

enum class TMultiBar { mbNone, mbSide, mbStacked, mbStacked100 };

inline constexpr const char* kMsgBarWidthPercent = "Bar Width Percent must be between 1 and 100";
inline constexpr const char* kMsgBarOffsetPercent =
    "Bar Offset Percent must be between -100% and 100%";
// Name of the list that carries the bars' values.
inline constexpr const char* kBarValuesName = "Bar";

class BarException : public ChartException {
 public:
  using ChartException::ChartException;
};

// Where one bar lies in pixels: across the bars from `start` to `end` (end = start + size),
// along them from `origin` (its base) to `tip` (the value's end). For vertical bars the first
// pair are X pixels and the second Y pixels; horizontal bars exchange them.
struct TBarExtent {
  int32_t start = 0;
  int32_t end = 0;
  int32_t tip = 0;
  int32_t origin = 0;
};

class TCustomBarSeries : public TChartSeries {
 public:
  using TGetBarStyleEvent =
      std::function<void(TCustomBarSeries& sender, int32_t valueIndex, TBarStyle& style)>;

  ~TCustomBarSeries() override;

  // ---- properties --------------------------------------------------------------------------
  bool AutoBarSize() const { return autoBarSize_; }
  void SetAutoBarSize(bool value);
  bool AutoMarkPosition() const { return autoMarkPosition_; }
  void SetAutoMarkPosition(bool value);
  TChartBrush& BarBrush() { return barBrush_; }
  const TChartBrush& BarBrush() const { return barBrush_; }
  void SetBarBrush(const TChartBrush& value) { barBrush_.Assign(value); }
  TChartPen& BarPen() { return barPen_; }
  const TChartPen& BarPen() const { return barPen_; }
  void SetBarPen(const TChartPen& value) { barPen_.Assign(value); }
  TBarStyle BarStyle() const { return barStyle_; }
  void SetBarStyle(TBarStyle value);
  // 1..100, else BarException kMsgBarWidthPercent.
  int32_t BarWidthPercent() const { return barWidthPercent_; }
  void SetBarWidthPercent(int32_t value);
  bool Dark3D() const { return dark3D_; }
  void SetDark3D(bool value);
  // Shared by the series of the same class in a chart: setting it sets every one of them.
  TMultiBar MultiBar() const { return multiBar_; }
  void SetMultiBar(TMultiBar value);
  // -100..100, else BarException kMsgBarOffsetPercent.
  int32_t OffsetPercent() const { return offsetPercent_; }
  void SetOffsetPercent(int32_t value);
  // Shared like MultiBar.
  bool SideMargins() const { return sideMargins_; }
  void SetSideMargins(bool value);
  bool UseYOrigin() const { return useYOrigin_; }
  void SetUseYOrigin(bool value);
  double YOrigin() const { return yOrigin_; }
  void SetYOrigin(double value);

  TGetBarStyleEvent OnGetBarStyle;

  // Copies the bar properties of another bar series (nothing from other kinds).
  virtual void Assign(const TChartSeries& source);

  // ---- geometry of the current paint -------------------------------------------------------
  // Works out the bar size from the axis across the bars; the paint does it before drawing.
  void CalcBarSize();
  // Size across the bars in pixels, from the last CalcBarSize.
  int32_t BarSize() const { return barSize_; }
  // The bar of a point with the last bar size.
  TBarExtent BarExtent(int32_t index) const;
  // The same as a rectangle (left <= right, top <= bottom).
  platform::Rect BarBounds(int32_t index) const;
  // The style a point's bar takes: OnGetBarStyle, else BarStyle.
  TBarStyle BarStyleOf(int32_t index);
  // Whether the bars stand on the horizontal axis.
  bool Vertical() const { return vertical_; }

  // ---- the series ----------------------------------------------------------------------------
  int32_t NumSampleValues() const override { return 6; }
  TChartValueList& MandatoryValueList() override { return vertical_ ? YValues() : XValues(); }
  using TChartSeries::MandatoryValueList;
  double MaxXValue() const override;
  double MinXValue() const override;
  double MaxYValue() const override;
  double MinYValue() const override;
  void AssignZOrder() override;
  void DoBeforeDrawValues() override;
  void DrawValue(int32_t index) override;
  bool DrawValuesForward() const override;
  bool DrawSeriesForward(int32_t index) const override;
  void DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) override;
  void HorizMargins(int32_t& left, int32_t& right) override;
  void VertMargins(int32_t& top, int32_t& bottom) override;
  int32_t Clicked(int32_t x, int32_t y) override;

 protected:
  explicit TCustomBarSeries(bool vertical);
  // CustomBarWidth / CustomBarHeight; 0 for automatic.
  virtual int32_t CustomBarSize() const = 0;
  void PrepareLegendCanvas(int32_t valueIndex, TColor& backColor, TBrushStyle& brushStyle) override;

 private:
  // The active series of this class in the chart: how many, this one's 1-based place among
  // them and the most points any of them has.
  struct SameClass {
    int32_t count = 0;
    int32_t order = 0;
    int32_t mostPoints = 0;
  };
  SameClass CountSameClass() const;
  TCustomChartAxis* PositionAxis() const { return vertical_ ? GetHorizAxis() : GetVertAxis(); }
  TCustomChartAxis* ValueAxis() const { return vertical_ ? GetVertAxis() : GetHorizAxis(); }
  int32_t ValuePixel(double value) const {
    return vertical_ ? CalcYPosValue(value) : CalcXPosValue(value);
  }
  bool Stacked() const {
    return multiBar_ == TMultiBar::mbStacked || multiBar_ == TMultiBar::mbStacked100;
  }
  // The value of a point's tip and of its base along the value axis.
  double TipValue(int32_t index) const;
  double OriginOf(int32_t index) const;
  double HighestValue() const;
  double LowestValue() const;
  // Margins across the bars and along them, as (side of the lower pixels, side of the higher).
  void PositionMargins(int32_t& low, int32_t& high);
  void ValueMargins(int32_t& low, int32_t& high);
  void PrepareBarCanvas(TColor color);
  void DrawBar3D(const TBarExtent& bar, TBarStyle style, TColor color);
  void DrawBar2D(const TBarExtent& bar, TBarStyle style, TColor color);
  void DrawGradientFace(platform::Rect face, TColor color);

  bool vertical_;
  bool autoBarSize_ = false;
  bool autoMarkPosition_ = true;
  TChartBrush barBrush_;
  TChartPen barPen_;
  TBarStyle barStyle_ = TBarStyle::bsRectangle;
  int32_t barWidthPercent_ = 70;
  bool dark3D_ = true;
  TMultiBar multiBar_ = TMultiBar::mbSide;
  int32_t offsetPercent_ = 0;
  bool sideMargins_ = true;
  bool useYOrigin_ = true;
  double yOrigin_ = 0;

  // This paint: bar size, how many side-by-side series share the slots and this one's place.
  int32_t barSize_ = 0;
  int32_t sideCount_ = 1;
  int32_t sideOrder_ = 1;
  // The last mark drawn this paint, so that AutoMarkPosition keeps the next one clear of it.
  platform::Rect lastMark_{};
  bool haveLastMark_ = false;
};

class TBarSeries : public TCustomBarSeries {
 public:
  TBarSeries();
  int32_t CustomBarWidth() const { return customBarWidth_; }
  void SetCustomBarWidth(int32_t value);
  void Assign(const TChartSeries& source) override;

 protected:
  int32_t CustomBarSize() const override { return customBarWidth_; }

 private:
  int32_t customBarWidth_ = 0;
};

class THorizBarSeries : public TCustomBarSeries {
 public:
  THorizBarSeries();
  int32_t CustomBarHeight() const { return customBarHeight_; }
  void SetCustomBarHeight(int32_t value);
  void Assign(const TChartSeries& source) override;

 protected:
  int32_t CustomBarSize() const override { return customBarHeight_; }

 private:
  int32_t customBarHeight_ = 0;
};

}  // namespace zq
