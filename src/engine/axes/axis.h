// Chart axes: value <-> pixel mapping, automatic and manual ranges, label increments, label
// values and texts, and the room an axis takes beside the plotting area. Drawing an axis is
// done elsewhere, from the labels computed here.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/axes/chart_host.h"
#include "engine/drawing/pens.h"
#include "platform/geometry.h"

namespace zq {

class TChartSeries;
class TCustomChartAxis;

enum class TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// An axis' ValueToPixel for loops over many points, with the same answer for every value.
// A linear axis divides by its range and rounds halves to even; here one multiplication by the
// scale estimates the quotient within 2^-20 (four roundings of at most 2^-53 each, relative to
// a value below 2^31), which is enough to round it unless it lies within 10^-4 of a half or
// beyond the int32 range: those values, and every value of other axes, take ValueToPixel. (A
// rounding mode other than to nearest, set by whoever loaded us, turns the estimate off.)
class TAxisPixelMap {
 public:
  int32_t operator()(double value) const {
    int64_t pixel = 0;
    if (Estimate(value, pixel)) return int32_t(std::clamp<int64_t>(pixel, INT32_MIN, INT32_MAX));
    return Exact(value);
  }

  // How far from the minimum, in steps of the scale, the estimate reaches (inside int32).
  static constexpr double kReach = 2147483000.0;
  // Whether value lies within the estimate's reach (whether or not the axis estimates).
  bool InReach(double value) const { return std::fabs((value - minimum_) * scale_) < kReach; }

  // The pixel (before it is kept to 32 bits) when the estimate settles it; false otherwise.
  bool Estimate(double value, int64_t& pixel) const {
    const double e = (value - minimum_) * scale_;
    if (!estimate_ || !(std::fabs(e) < kReach)) return false;
    // The nearest integer, unless e lies (almost) half-way: then the test below fails.
    const auto r = int64_t(e + std::copysign(0.5, e));
    if (!(std::fabs(e - double(r)) < 0.4999)) return false;
    pixel = base_ + step_ * r;
    return true;
  }

  // The estimate's terms, for loops that map many values at once: where Estimate settles a
  // value, its pixel is base + step * the integer nearest (value - minimum) * scale. False when
  // nothing is estimated.
  bool Terms(double& minimum, double& scale, int64_t& base, int64_t& step) const {
    minimum = minimum_;
    scale = scale_;
    base = base_;
    step = step_;
    return estimate_;
  }

  // Values lo <= value <= hi that all take value's pixel, for loops that would rather compare
  // than map: two values either side, checked. Within the int32 range a linear axis maps in
  // order (every step of the mapping keeps the order of its input), so two checked ends vouch
  // for everything between them. False on other axes and far out.
  bool SamePixelRange(double value, double& lo, double& hi) const;

 private:
  friend class TCustomChartAxis;
  int32_t Exact(double value) const;

  const TCustomChartAxis* axis_ = nullptr;
  bool estimate_ = false;
  bool fromStart_ = false;
  double minimum_ = 0;
  double scale_ = 0;
  int32_t startPos_ = 0;
  int32_t endPos_ = 0;
  // Pixels count from the start position forwards or from the end position backwards.
  int64_t base_ = 0;
  int64_t step_ = 1;
};

// Resource texts.
inline constexpr const char* kMsgAxisIncrement = "Axis increment must be >= 0";
inline constexpr const char* kMsgAxisMinimum = "Axis Minimum Value must be <= Maximum";
inline constexpr const char* kMsgAxisMaximum = "Axis Maximum Value must be >= Minimum";
inline constexpr const char* kMsgAxisLogBase = "Axis Logarithmic Base should be >= 2";
inline constexpr const char* kMsgAxisDateTimeLog = "DateTime Axis cannot be Logarithmic";
inline constexpr const char* kMsgAxisLogNegative =
    "Logarithmic Axis Min and Max values should be >= 0";
inline constexpr const char* kMsgAxisLabelsSeparation =
    "Labels Separation % must be greater than 0";
inline constexpr const char* kAxisLabelsSubject = "Axis Labels";
inline constexpr const char* kAxisTitleSubject = "Axis Title";

// ---- date-time steps --------------------------------------------------------------------
// Label steps of date-time axes, in days: 1 s, 5 s, 10 s, 15 s, 30 s, 1 min, 5 min, 10 min,
// 15 min, 30 min, 1 h, 2 h, 6 h, 12 h, 1, 2, 3, 7, 15, 30, 60, 90, 120, 182 and 365 days.
inline constexpr int32_t kDateTimeStepCount = 25;
// Index of "no step".
inline constexpr int32_t kNoDateTimeStep = 25;
inline constexpr int32_t kStepOneDay = 14;
inline constexpr int32_t kStepOneWeek = 17;
inline constexpr int32_t kStepHalfMonth = 18;
inline constexpr int32_t kStepOneMonth = 19;
inline constexpr int32_t kStepOneYear = 24;
extern const std::array<double, kDateTimeStepCount> kDateTimeStepDays;
inline constexpr double kOneSecond = 1.0 / 86400.0;

// The highest step within one second of `increment`, or kNoDateTimeStep.
int32_t FindDateTimeStep(double increment);
// The step after the largest one not greater than d (one second for anything smaller).
double NextDateTimeStep(double d);
// 1, 2, 5, 10, 20, 50, ... at every power of ten: the step after x.
double NextNumericStep(double x);

// One label of an axis: its value, its pixel along the axis (a depth offset for the depth
// axis) and its text (multi-line texts use the carriage return).
struct TAxisLabel {
  double value = 0;
  int32_t position = 0;
  std::string text;
};

class TChartAxisTitle {
 public:
  explicit TChartAxisTitle(TCustomChartAxis& axis);
  TChartAxisTitle(const TChartAxisTitle&) = delete;
  TChartAxisTitle& operator=(const TChartAxisTitle&) = delete;

  TCustomChartAxis& Axis() const { return axis_; }
  int32_t Angle() const { return angle_; }
  // Raises ChartException "Axis Title Angle must be between 0 and 359 degrees".
  void SetAngle(int32_t value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TChartFont& Font() { return font_; }
  const TChartFont& Font() const { return font_; }
  void SetFont(const TChartFont& value) { font_.Assign(value); }
  // Whether Angle differs from the axis' default (and so is stored).
  bool IsAngleStored() const;

  void Assign(const TChartAxisTitle& source);

 private:
  friend class TCustomChartAxis;
  void Repaint() const;

  TCustomChartAxis& axis_;
  int32_t angle_ = 0;
  std::string caption_;
  TChartFont font_;
};

class TCustomChartAxis {
 public:
  // Vertical axes get the title angle 90 (left) or 270 (other side, right).
  TCustomChartAxis(TChartHost* chart, bool horizontal, bool otherSide);
  virtual ~TCustomChartAxis() = default;
  TCustomChartAxis(const TCustomChartAxis&) = delete;
  TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;

  TChartHost* ParentChart() const { return chart_; }
  bool Horizontal() const { return horizontal_; }
  bool Vertical() const { return !horizontal_ && !depthAxis_; }
  bool OtherSide() const { return otherSide_; }
  bool IsDepthAxis() const { return depthAxis_; }
  int32_t DefaultTitleAngle() const { return defaultTitleAngle_; }

  // ---- published properties ----------------------------------------------------------------
  bool Automatic() const { return automatic_; }
  // Also sets both automatic flags, unless the chart is loading.
  void SetAutomatic(bool value);
  bool AutomaticMaximum() const { return automaticMaximum_; }
  void SetAutomaticMaximum(bool value);
  bool AutomaticMinimum() const { return automaticMinimum_; }
  void SetAutomaticMinimum(bool value);
  TChartAxisPen& Axis() { return axisPen_; }
  const TChartAxisPen& Axis() const { return axisPen_; }
  void SetAxis(const TChartPen& value) { axisPen_.Assign(value); }
  const std::string& AxisValuesFormat() const { return axisValuesFormat_; }
  void SetAxisValuesFormat(const std::string& value);
  const std::string& DateTimeFormat() const { return dateTimeFormat_; }
  void SetDateTimeFormat(const std::string& value);
  bool ExactDateTime() const { return exactDateTime_; }
  void SetExactDateTime(bool value);
  TDottedGrayPen& Grid() { return grid_; }
  const TDottedGrayPen& Grid() const { return grid_; }
  void SetGrid(const TChartPen& value) { grid_.Assign(value); }
  bool GridCentered() const { return gridCentered_; }
  void SetGridCentered(bool value);
  // Desired label increment, 0 for automatic.
  double Increment() const { return increment_; }
  void SetIncrement(double value);
  bool Inverted() const { return inverted_; }
  void SetInverted(bool value);
  bool Labels() const { return labels_; }
  void SetLabels(bool value);
  int32_t LabelsAngle() const { return labelsAngle_; }
  void SetLabelsAngle(int32_t value);
  TChartFont& LabelsFont() { return labelsFont_; }
  const TChartFont& LabelsFont() const { return labelsFont_; }
  void SetLabelsFont(const TChartFont& value) { labelsFont_.Assign(value); }
  bool LabelsMultiLine() const { return labelsMultiLine_; }
  void SetLabelsMultiLine(bool value);
  bool LabelsOnAxis() const { return labelsOnAxis_; }
  void SetLabelsOnAxis(bool value);
  int32_t LabelsSeparation() const { return labelsSeparation_; }
  void SetLabelsSeparation(int32_t value);
  int32_t LabelsSize() const { return labelsSize_; }
  void SetLabelsSize(int32_t value);
  TAxisLabelStyle LabelStyle() const { return labelStyle_; }
  void SetLabelStyle(TAxisLabelStyle value);
  bool Logarithmic() const { return logarithmic_; }
  void SetLogarithmic(bool value);
  int32_t LogarithmicBase() const { return logarithmicBase_; }
  void SetLogarithmicBase(int32_t value);
  double Maximum() const { return maximum_; }
  void SetMaximum(double value);
  double Minimum() const { return minimum_; }
  void SetMinimum(double value);
  TChartHiddenPen& MinorGrid() { return minorGrid_; }
  const TChartHiddenPen& MinorGrid() const { return minorGrid_; }
  void SetMinorGrid(const TChartPen& value) { minorGrid_.Assign(value); }
  int32_t MinorTickCount() const { return minorTickCount_; }
  void SetMinorTickCount(int32_t value);
  int32_t MinorTickLength() const { return minorTickLength_; }
  void SetMinorTickLength(int32_t value);
  TDarkGrayPen& MinorTicks() { return minorTicks_; }
  const TDarkGrayPen& MinorTicks() const { return minorTicks_; }
  void SetMinorTicks(const TChartPen& value) { minorTicks_.Assign(value); }
  double StartPosition() const { return startPosition_; }
  void SetStartPosition(double value);
  double EndPosition() const { return endPosition_; }
  void SetEndPosition(double value);
  double PositionPercent() const { return positionPercent_; }
  void SetPositionPercent(double value);
  bool RoundFirstLabel() const { return roundFirstLabel_; }
  void SetRoundFirstLabel(bool value);
  int32_t TickInnerLength() const { return tickInnerLength_; }
  void SetTickInnerLength(int32_t value);
  int32_t TickLength() const { return tickLength_; }
  void SetTickLength(int32_t value);
  bool TickOnLabelsOnly() const { return tickOnLabelsOnly_; }
  void SetTickOnLabelsOnly(bool value);
  TDarkGrayPen& Ticks() { return ticks_; }
  const TDarkGrayPen& Ticks() const { return ticks_; }
  void SetTicks(const TChartPen& value) { ticks_.Assign(value); }
  TDarkGrayPen& TicksInner() { return ticksInner_; }
  const TDarkGrayPen& TicksInner() const { return ticksInner_; }
  void SetTicksInner(const TChartPen& value) { ticksInner_.Assign(value); }
  TChartAxisTitle& Title() { return title_; }
  const TChartAxisTitle& Title() const { return title_; }
  void SetTitle(const TChartAxisTitle& value) { title_.Assign(value); }
  int32_t TitleSize() const { return titleSize_; }
  void SetTitleSize(int32_t value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);

  // Copies every published property.
  void Assign(const TCustomChartAxis& source);

  // ---- range -------------------------------------------------------------------------------
  // The range the series bound to the axis ask for (with paging, the current page's).
  void CalcMinMax(double& minimum, double& maximum);
  double AutomaticMinimumValue();
  double AutomaticMaximumValue();
  // Working range of this paint: Minimum/Maximum, taken from the series where automatic.
  void ComputeRange();
  // Manual range: the automatic flags go off; min and max are swapped when reversed and kept
  // at least 1e-10 apart.
  void SetMinMax(double minimum, double maximum);
  // Moves the range by offset. With checkLimits the move is refused (false) when the data
  // does not reach beyond the range in that direction.
  bool ScrollBy(double offset, bool checkLimits);
  // Widens the working range so that the data keeps `low` pixels at the start side (left,
  // top) and `high` pixels at the end side (right, bottom).
  void AdjustRangeForMargins(int32_t low, int32_t high);
  double IMinimum() const { return iMinimum_; }
  double IMaximum() const { return iMaximum_; }
  double IRange() const { return iRange_; }
  // Sets the working range directly (zooming and tests).
  void SetWorkingRange(double minimum, double maximum);

  // ---- pixels ------------------------------------------------------------------------------
  // Start and end pixel from the chart rectangle (the depth axis runs over the 3D width).
  void ComputeAxisPositions();
  int32_t IStartPos() const { return iStartPos_; }
  int32_t IEndPos() const { return iEndPos_; }
  int32_t IAxisSize() const { return iAxisSize_; }
  int32_t ICenterPos() const { return iCenterPos_; }
  // The value's pixel along the axis (for the depth axis, a depth offset).
  int32_t ValueToPixel(double value) const;
  TAxisPixelMap PixelMap() const;
  int32_t ValueToPixelX(double value) const { return ValueToPixel(value); }
  int32_t ValueToPixelY(double value) const { return ValueToPixel(value); }
  double PixelToValue(int32_t pixel) const;

  // ---- labels ------------------------------------------------------------------------------
  // Whether a series bound to the axis shows date-times (the first active associated one).
  bool IsDateTimeAxis() const;
  // The flag as last recomputed (label texts, increments, layout).
  bool IsDateTime() const { return isDateTime_; }
  void RecomputeDateTime() { isDateTime_ = IsDateTimeAxis(); }
  TAxisLabelStyle EffectiveLabelStyle() const;
  // The label increment of this paint, from the labels font selected in the chart's canvas.
  double ComputeIncrement();
  // The date-time step used for exact calendar stepping with this increment, or
  // kNoDateTimeStep.
  int32_t LabelStepIndex(double increment) const;
  // Values labelled in the value style (also the tick values), top value first for linear
  // axes. Only values at which a label is allowed (LabelsOnAxis) are returned.
  std::vector<double> ComputeLabelValues(double increment);
  // Every label of this paint in the effective style, with positions and texts. Selects the
  // labels font; recomputes the date-time flag and the increment.
  std::vector<TAxisLabel> ComputeLabels();
  // The text of a value label; OnGetAxisLabel may change it (not when `fireEvent` is false).
  std::string LabelText(double value, bool fireEvent = true);
  // Width of the widest value label (vertical axes' room), in the canvas' current font.
  int32_t MaxLabelWidth();
  // A label's size along a horizontal axis / a vertical axis, in the current font.
  int32_t LabelWidth(const std::string& text);
  int32_t LabelHeight(const std::string& text);

  // ---- layout ------------------------------------------------------------------------------
  // Shrinks the rectangle by the axis' title, labels, ticks and wall; records the title and
  // labels positions.
  void ReserveSpace(platform::Rect& rect);
  // The axis line: the chart rectangle's edge moved by PositionPercent.
  int32_t AxisLinePosition() const;
  int32_t PosAxis() const { return posAxis_; }
  int32_t PosLabels() const { return posLabels_; }
  int32_t PosTitle() const { return posTitle_; }
  // Whether the chart shows the axis: axes on, Visible, and a series that uses it (the depth
  // axis: in 3D).
  bool IsVisibleInChart() const;
  // Whether (x, y) lies on the axis' labels band or its line.
  bool HitTest(int32_t x, int32_t y) const;

 protected:
  // Marks the axis as the depth axis: hidden, no title angle.
  void SetDepthAxis(bool value);

 private:
  void Repaint() const;
  template <typename T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Repaint();
  }
  bool IsLoading() const { return chart_ && chart_->IsLoading(); }
  TChartSeries* FirstSeriesForAxis() const;
  bool PageRange(TChartSeries& series, double& minimum, double& maximum) const;
  int32_t RoundClamped(double value) const;
  int32_t MovePositionPercent(int32_t position, const platform::Rect& rect) const;
  double StepBack(double value, double increment, int32_t stepIndex) const;
  bool CustomLabelValues(std::vector<double>& values);
  void LogLabelValues(std::vector<double>& values);
  void LinearLabelValues(std::vector<double>& values, double increment);
  bool LabelAllowed(double value) const;
  void SeriesLabels(std::vector<TAxisLabel>& labels, bool marks);
  void DepthTextLabels(std::vector<TAxisLabel>& labels);
  std::string FinishLabelText(std::string text, TChartSeries* series, int32_t index,
                              bool fireEvent);
  int32_t LabelSizeAcross(const std::string& text);

  TChartHost* chart_;
  bool horizontal_;
  bool otherSide_;
  bool depthAxis_ = false;
  int32_t defaultTitleAngle_ = 0;

  bool automatic_ = true;
  bool automaticMaximum_ = true;
  bool automaticMinimum_ = true;
  TChartAxisPen axisPen_;
  std::string axisValuesFormat_;
  std::string dateTimeFormat_;
  bool exactDateTime_ = true;
  TDottedGrayPen grid_;
  bool gridCentered_ = false;
  double increment_ = 0;
  bool inverted_ = false;
  bool labels_ = true;
  int32_t labelsAngle_ = 0;
  TChartFont labelsFont_;
  bool labelsMultiLine_ = false;
  bool labelsOnAxis_ = true;
  int32_t labelsSeparation_ = 10;
  int32_t labelsSize_ = 0;
  TAxisLabelStyle labelStyle_ = TAxisLabelStyle::talAuto;
  bool logarithmic_ = false;
  int32_t logarithmicBase_ = 10;
  double maximum_ = 0;
  double minimum_ = 0;
  TChartHiddenPen minorGrid_;
  int32_t minorTickCount_ = 3;
  int32_t minorTickLength_ = 2;
  TDarkGrayPen minorTicks_;
  double startPosition_ = 0;
  double endPosition_ = 100;
  double positionPercent_ = 0;
  bool roundFirstLabel_ = true;
  int32_t tickInnerLength_ = 0;
  int32_t tickLength_ = 4;
  bool tickOnLabelsOnly_ = true;
  TDarkGrayPen ticks_;
  TDarkGrayPen ticksInner_;
  TChartAxisTitle title_;
  int32_t titleSize_ = 0;
  bool visible_ = true;

  double iMaximum_ = 0;
  double iMinimum_ = 0;
  double iRange_ = 0;
  bool isDateTime_ = false;
  int32_t iStartPos_ = 0;
  int32_t iEndPos_ = 0;
  int32_t iAxisSize_ = 0;
  int32_t iCenterPos_ = 0;
  int32_t posAxis_ = 0;
  int32_t posLabels_ = 0;
  int32_t posTitle_ = 0;
};

// The top, bottom, left and right axes.
class TChartAxis : public TCustomChartAxis {
 public:
  using TCustomChartAxis::TCustomChartAxis;
};

// The axis that runs into the screen in 3D: hidden by default, on the other side.
class TChartDepthAxis : public TCustomChartAxis {
 public:
  explicit TChartDepthAxis(TChartHost* chart);
};

}  // namespace zq
