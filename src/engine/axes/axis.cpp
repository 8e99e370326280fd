#include "engine/axes/axis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/data/format.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pixel_math.h"
#include "engine/series/marks.h"
#include "engine/series/series.h"

namespace zq {

namespace {

constexpr double kInt32Limit = 2147483647.0;
// Label loops stop here whatever the values do (they cannot take more in a real chart).
constexpr int32_t kMaxLabelSteps = 20000;
constexpr int32_t kMaxLogLabels = 2000;
constexpr int32_t kMaxCustomLabels = 2000;

bool AngleRunsVertically(int32_t angle) {
  return angle == 90 || angle == 270;
}
bool AngleRunsHorizontally(int32_t angle) {
  return angle == 0 || angle == 180;
}

}  // namespace

// clang-format off
const std::array<double, kDateTimeStepCount> kDateTimeStepDays = {
    1.0 / 86400, 5.0 / 86400, 10.0 / 86400, 15.0 / 86400, 30.0 / 86400,  // seconds
    1.0 / 1440,  5.0 / 1440,  10.0 / 1440,  15.0 / 1440,  30.0 / 1440,   // minutes
    1.0 / 24,    2.0 / 24,    6.0 / 24,     12.0 / 24,                    // hours
    1, 2, 3, 7, 15, 30, 60, 90, 120, 182, 365};                          // days
// clang-format on

int32_t FindDateTimeStep(double increment) {
  for (int32_t i = kDateTimeStepCount - 1; i >= 0; --i) {
    if (std::fabs(kDateTimeStepDays[size_t(i)] - increment) <= kOneSecond) return i;
  }
  return kNoDateTimeStep;
}

double NextDateTimeStep(double d) {
  for (int32_t i = kDateTimeStepCount - 1; i >= 0; --i) {
    if (kDateTimeStepDays[size_t(i)] <= d) {
      return i + 1 < kDateTimeStepCount ? kDateTimeStepDays[size_t(i) + 1] : 2 * d;
    }
  }
  return kDateTimeStepDays[0];
}

double NextNumericStep(double x) {
  if (!(x > 0) || !std::isfinite(x)) return x;
  // The candidates 1, 2, 5 around x's power of ten; a small tolerance keeps a value that is
  // already on the sequence (up to rounding) from being returned again.
  const int32_t k = int32_t(std::floor(std::log10(x)));
  const double threshold = x * (1 + 1e-12);
  for (int32_t e = k - 1; e <= k + 2; ++e) {
    for (double c : {1.0, 2.0, 5.0}) {
      const double candidate = e >= 0 ? c * std::pow(10.0, e) : c / std::pow(10.0, -e);
      if (candidate > threshold) return candidate;
    }
  }
  return x * 2;
}

// ---- TChartAxisTitle ---------------------------------------------------------------------

TChartAxisTitle::TChartAxisTitle(TCustomChartAxis& axis)
    : axis_(axis), font_([this] { Repaint(); }) {}

void TChartAxisTitle::Repaint() const {
  if (TChartHost* chart = axis_.ParentChart()) chart->RequestRepaint();
}

void TChartAxisTitle::SetAngle(int32_t value) {
  CheckAngle(value, kAxisTitleSubject);
  if (value == angle_) return;
  angle_ = value;
  Repaint();
}

void TChartAxisTitle::SetCaption(const std::string& value) {
  if (value == caption_) return;
  caption_ = value;
  Repaint();
}

bool TChartAxisTitle::IsAngleStored() const {
  return angle_ != axis_.DefaultTitleAngle();
}

void TChartAxisTitle::Assign(const TChartAxisTitle& source) {
  if (&source == this) return;
  SetAngle(source.angle_);
  SetCaption(source.caption_);
  font_.Assign(source.font_);
}

// ---- TCustomChartAxis: life and properties ------------------------------------------------

TCustomChartAxis::TCustomChartAxis(TChartHost* chart, bool horizontal, bool otherSide)
    : chart_(chart),
      horizontal_(horizontal),
      otherSide_(otherSide),
      axisPen_([this] { Repaint(); }),
      axisValuesFormat_(kDefaultValueFormat),
      grid_([this] { Repaint(); }),
      labelsFont_([this] { Repaint(); }),
      minorGrid_([this] { Repaint(); }),
      minorTicks_([this] { Repaint(); }),
      ticks_([this] { Repaint(); }),
      ticksInner_([this] { Repaint(); }),
      title_(*this) {
  if (!horizontal) {
    defaultTitleAngle_ = otherSide ? 270 : 90;
    title_.angle_ = defaultTitleAngle_;
  }
}

TChartDepthAxis::TChartDepthAxis(TChartHost* chart) : TCustomChartAxis(chart, false, true) {
  SetDepthAxis(true);
}

void TCustomChartAxis::SetDepthAxis(bool value) {
  depthAxis_ = value;
  if (value) {
    visible_ = false;
    defaultTitleAngle_ = 0;
    title_.angle_ = 0;
  }
}

void TCustomChartAxis::Repaint() const {
  if (chart_) chart_->RequestRepaint();
}

void TCustomChartAxis::SetAutomatic(bool value) {
  bool changed = value != automatic_;
  automatic_ = value;
  if (!IsLoading()) {
    changed = changed || automaticMinimum_ != value || automaticMaximum_ != value;
    automaticMinimum_ = value;
    automaticMaximum_ = value;
  }
  if (changed) Repaint();
}

void TCustomChartAxis::SetAutomaticMaximum(bool value) {
  if (value == automaticMaximum_) return;
  automaticMaximum_ = value;
  if (!value || automaticMinimum_) automatic_ = value;
  Repaint();
}

void TCustomChartAxis::SetAutomaticMinimum(bool value) {
  if (value == automaticMinimum_) return;
  automaticMinimum_ = value;
  if (!value || automaticMaximum_) automatic_ = value;
  Repaint();
}

void TCustomChartAxis::SetAxisValuesFormat(const std::string& value) {
  Store(axisValuesFormat_, value);
}
void TCustomChartAxis::SetDateTimeFormat(const std::string& value) {
  Store(dateTimeFormat_, value);
}
void TCustomChartAxis::SetExactDateTime(bool value) {
  Store(exactDateTime_, value);
}
void TCustomChartAxis::SetGridCentered(bool value) {
  Store(gridCentered_, value);
}

void TCustomChartAxis::SetIncrement(double value) {
  if (!(value >= 0)) throw AxisException(kMsgAxisIncrement);
  Store(increment_, value);
}

void TCustomChartAxis::SetInverted(bool value) {
  Store(inverted_, value);
}
void TCustomChartAxis::SetLabels(bool value) {
  Store(labels_, value);
}

void TCustomChartAxis::SetLabelsAngle(int32_t value) {
  CheckAngle(value, kAxisLabelsSubject);
  Store(labelsAngle_, value);
}

void TCustomChartAxis::SetLabelsMultiLine(bool value) {
  Store(labelsMultiLine_, value);
}
void TCustomChartAxis::SetLabelsOnAxis(bool value) {
  Store(labelsOnAxis_, value);
}

void TCustomChartAxis::SetLabelsSeparation(int32_t value) {
  if (value < 0) throw AxisException(kMsgAxisLabelsSeparation);
  Store(labelsSeparation_, value);
}

void TCustomChartAxis::SetLabelsSize(int32_t value) {
  Store(labelsSize_, value);
}

void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) {
  if (value == labelStyle_) return;
  labelStyle_ = value;
  Repaint();
}

void TCustomChartAxis::SetLogarithmic(bool value) {
  if (value == logarithmic_) return;
  if (value) {
    if (IsDateTimeAxis()) throw AxisException(kMsgAxisDateTimeLog);
    double low = minimum_, high = maximum_;
    if (automatic_ || automaticMinimum_ || automaticMaximum_) {
      double autoLow = 0, autoHigh = 0;
      CalcMinMax(autoLow, autoHigh);
      if (automatic_ || automaticMinimum_) low = autoLow;
      if (automatic_ || automaticMaximum_) high = autoHigh;
    }
    if (low < 0 || high < 0) throw AxisException(kMsgAxisLogNegative);
  }
  logarithmic_ = value;
  Repaint();
}

void TCustomChartAxis::SetLogarithmicBase(int32_t value) {
  if (value < 2) throw AxisException(kMsgAxisLogBase);
  Store(logarithmicBase_, value);
}

void TCustomChartAxis::SetMaximum(double value) {
  if (!IsLoading() && value < minimum_) throw AxisException(kMsgAxisMaximum);
  Store(maximum_, value);
}

void TCustomChartAxis::SetMinimum(double value) {
  if (!IsLoading() && value > maximum_) throw AxisException(kMsgAxisMinimum);
  Store(minimum_, value);
}

void TCustomChartAxis::SetMinorTickCount(int32_t value) {
  Store(minorTickCount_, value);
}
void TCustomChartAxis::SetMinorTickLength(int32_t value) {
  Store(minorTickLength_, value);
}
void TCustomChartAxis::SetStartPosition(double value) {
  Store(startPosition_, value);
}
void TCustomChartAxis::SetEndPosition(double value) {
  Store(endPosition_, value);
}
void TCustomChartAxis::SetPositionPercent(double value) {
  Store(positionPercent_, value);
}
void TCustomChartAxis::SetRoundFirstLabel(bool value) {
  Store(roundFirstLabel_, value);
}
void TCustomChartAxis::SetTickInnerLength(int32_t value) {
  Store(tickInnerLength_, value);
}
void TCustomChartAxis::SetTickLength(int32_t value) {
  Store(tickLength_, value);
}
void TCustomChartAxis::SetTickOnLabelsOnly(bool value) {
  Store(tickOnLabelsOnly_, value);
}
void TCustomChartAxis::SetTitleSize(int32_t value) {
  Store(titleSize_, value);
}
void TCustomChartAxis::SetVisible(bool value) {
  Store(visible_, value);
}

void TCustomChartAxis::Assign(const TCustomChartAxis& source) {
  if (&source == this) return;
  automatic_ = source.automatic_;
  automaticMaximum_ = source.automaticMaximum_;
  automaticMinimum_ = source.automaticMinimum_;
  axisPen_.Assign(source.axisPen_);
  axisValuesFormat_ = source.axisValuesFormat_;
  dateTimeFormat_ = source.dateTimeFormat_;
  exactDateTime_ = source.exactDateTime_;
  grid_.Assign(source.grid_);
  gridCentered_ = source.gridCentered_;
  increment_ = source.increment_;
  inverted_ = source.inverted_;
  labels_ = source.labels_;
  labelsAngle_ = source.labelsAngle_;
  labelsFont_.Assign(source.labelsFont_);
  labelsMultiLine_ = source.labelsMultiLine_;
  labelsOnAxis_ = source.labelsOnAxis_;
  labelsSeparation_ = source.labelsSeparation_;
  labelsSize_ = source.labelsSize_;
  labelStyle_ = source.labelStyle_;
  logarithmic_ = source.logarithmic_;
  logarithmicBase_ = source.logarithmicBase_;
  maximum_ = source.maximum_;
  minimum_ = source.minimum_;
  minorGrid_.Assign(source.minorGrid_);
  minorTickCount_ = source.minorTickCount_;
  minorTickLength_ = source.minorTickLength_;
  minorTicks_.Assign(source.minorTicks_);
  startPosition_ = source.startPosition_;
  endPosition_ = source.endPosition_;
  positionPercent_ = source.positionPercent_;
  roundFirstLabel_ = source.roundFirstLabel_;
  tickInnerLength_ = source.tickInnerLength_;
  tickLength_ = source.tickLength_;
  tickOnLabelsOnly_ = source.tickOnLabelsOnly_;
  ticks_.Assign(source.ticks_);
  ticksInner_.Assign(source.ticksInner_);
  title_.Assign(source.title_);
  titleSize_ = source.titleSize_;
  visible_ = source.visible_;
  Repaint();
}

// ---- range -------------------------------------------------------------------------------

TChartSeries* TCustomChartAxis::FirstSeriesForAxis() const {
  if (!chart_) return nullptr;
  TChartSeries* any = nullptr;
  for (TChartSeries* s : chart_->SeriesList()) {
    if (!s->IsAssociatedToAxis(*this)) continue;
    if (s->Active()) return s;
    if (!any) any = s;
  }
  return any;
}

bool TCustomChartAxis::PageRange(TChartSeries& series, double& minimum, double& maximum) const {
  const int64_t count = series.PointCount();
  if (count == 0) return false;
  const int64_t perPage = chart_->MaxPointsPerPage();
  int64_t first = perPage * (int64_t(std::max(chart_->Page(), 1)) - 1);
  if (first >= count) first = std::max<int64_t>(0, count / perPage - 1) * perPage;
  int64_t last = first + perPage - 1;
  if (last >= count) last = first + count % perPage - 1;
  if (last < first) last = count - 1;
  auto value = [&](int64_t i) {
    return horizontal_ ? series.XValue(int32_t(i)) : series.YValue(int32_t(i));
  };
  minimum = value(first);
  maximum = value(last);
  const int64_t onPage = last - first + 1;
  if (!chart_->ScaleLastPage() && onPage < perPage) {
    // A short last page keeps the scale of a full one.
    maximum = minimum + (maximum - minimum) * double(perPage) / double(onPage);
  }
  return true;
}

void TCustomChartAxis::CalcMinMax(double& minimum, double& maximum) {
  minimum = maximum = 0;
  if (!chart_) return;
  TChartSeriesList& list = chart_->SeriesList();
  if (depthAxis_) {
    if (EffectiveLabelStyle() != TAxisLabelStyle::talValue) {
      minimum = -0.5;
      maximum = chart_->MaxZOrder() + 0.5;
    } else {
      for (TChartSeries* s : list) {
        if (!s->Active()) continue;
        minimum = s->MinZValue();
        maximum = s->MaxZValue();
        break;
      }
    }
    return;
  }
  if (chart_->MaxPointsPerPage() > 0) {
    if (TChartSeries* s = FirstSeriesForAxis(); s && s->YMandatory() == horizontal_) {
      PageRange(*s, minimum, maximum);
      return;
    }
  }
  bool anyActive = false;
  for (TChartSeries* s : list) {
    if (s->Active() && s->IsAssociatedToAxis(*this)) anyActive = true;
  }
  bool first = true;
  for (TChartSeries* s : list) {
    if (!s->IsAssociatedToAxis(*this) || (anyActive && !s->Active())) continue;
    if (s->PointCount() == 0) continue;
    const double low = horizontal_ ? s->MinXValue() : s->MinYValue();
    const double high = horizontal_ ? s->MaxXValue() : s->MaxYValue();
    if (first) {
      minimum = low;
      maximum = high;
      first = false;
    } else {
      minimum = std::min(minimum, low);
      maximum = std::max(maximum, high);
    }
  }
}

double TCustomChartAxis::AutomaticMinimumValue() {
  double low = 0, high = 0;
  CalcMinMax(low, high);
  return low;
}

double TCustomChartAxis::AutomaticMaximumValue() {
  double low = 0, high = 0;
  CalcMinMax(low, high);
  return high;
}

void TCustomChartAxis::ComputeRange() {
  if (automatic_ || automaticMinimum_ || automaticMaximum_) {
    double low = 0, high = 0;
    CalcMinMax(low, high);
    if (automatic_ || automaticMaximum_) maximum_ = high;
    if (automatic_ || automaticMinimum_) minimum_ = low;
  }
  SetWorkingRange(minimum_, maximum_);
}

void TCustomChartAxis::SetWorkingRange(double minimum, double maximum) {
  iMinimum_ = minimum;
  iMaximum_ = maximum;
  iRange_ = maximum - minimum;
}

void TCustomChartAxis::SetMinMax(double minimum, double maximum) {
  automatic_ = automaticMinimum_ = automaticMaximum_ = false;
  if (minimum > maximum) std::swap(minimum, maximum);
  minimum_ = minimum;
  maximum_ = maximum;
  if (maximum_ - minimum_ < 1e-10) maximum_ = minimum_ + 1e-10;
  Repaint();
}

bool TCustomChartAxis::ScrollBy(double offset, bool checkLimits) {
  if (checkLimits) {
    double low = 0, high = 0;
    CalcMinMax(low, high);
    if (offset > 0 && !(high > maximum_)) return false;
    if (offset < 0 && !(low < minimum_)) return false;
  }
  automatic_ = automaticMinimum_ = automaticMaximum_ = false;
  minimum_ += offset;
  maximum_ += offset;
  Repaint();
  return true;
}

void TCustomChartAxis::AdjustRangeForMargins(int32_t low, int32_t high) {
  const int32_t oldStart = iStartPos_;
  const int32_t oldEnd = iEndPos_;
  iStartPos_ = pixels::Sat(int64_t(iStartPos_) + low);
  iEndPos_ = pixels::Sat(int64_t(iEndPos_) - high);
  iAxisSize_ = pixels::Sat(int64_t(iEndPos_) - iStartPos_);
  const double atStart = PixelToValue(oldStart);
  const double atEnd = PixelToValue(oldEnd);
  ComputeAxisPositions();
  double minimum = horizontal_ ? atStart : atEnd;
  double maximum = horizontal_ ? atEnd : atStart;
  if (minimum > maximum) std::swap(minimum, maximum);
  SetWorkingRange(minimum, maximum);
}

// ---- pixels ------------------------------------------------------------------------------

void TCustomChartAxis::ComputeAxisPositions() {
  if (!chart_) return;
  const platform::Rect r = chart_->ChartRect();
  int64_t start, end;
  if (depthAxis_) {
    start = 0;
    end = chart_->Width3D();
  } else if (horizontal_) {
    start =
        int64_t(r.left) + pixels::RoundToInt((double(r.right) - r.left) * startPosition_ / 100.0);
    end = int64_t(r.left) + pixels::RoundToInt((double(r.right) - r.left) * endPosition_ / 100.0);
  } else {
    start =
        int64_t(r.top) + pixels::RoundToInt((double(r.bottom) - r.top) * startPosition_ / 100.0);
    end = int64_t(r.top) + pixels::RoundToInt((double(r.bottom) - r.top) * endPosition_ / 100.0);
  }
  iStartPos_ = pixels::Sat(start);
  iEndPos_ = pixels::Sat(end);
  iAxisSize_ = pixels::Sat(int64_t(iEndPos_) - iStartPos_);
  iCenterPos_ = int32_t((int64_t(iStartPos_) + iEndPos_) / 2);
  posAxis_ = AxisLinePosition();
}

int32_t TCustomChartAxis::RoundClamped(double value) const {
  return pixels::RoundToInt(value);
}

int32_t TCustomChartAxis::ValueToPixel(double value) const {
  if (depthAxis_) {
    const int32_t width = chart_ ? chart_->Width3D() : 0;
    if (iRange_ == 0) return width / 2;
    const double offset = inverted_ ? iMaximum_ - value : value - iMinimum_;
    return RoundClamped(double(width) * offset / iRange_);
  }
  if (logarithmic_) {
    const double lnMin = iMinimum_ > 0 ? std::log(iMinimum_) : 0;
    const double lnMax = iMaximum_ > 0 ? std::log(iMaximum_) : 0;
    const double logRange = lnMax - lnMin;
    if (logRange == 0) return iCenterPos_;
    if (!(value > 0)) {
      const bool atEnd = horizontal_ ? inverted_ : !inverted_;
      return atEnd ? iEndPos_ : iStartPos_;
    }
    const double lnValue = std::log(value);
    const double d = (inverted_ ? lnMax - lnValue : lnValue - lnMin) * iAxisSize_ / logRange;
    if (std::isnan(d)) return iCenterPos_;
    const double r = std::nearbyint(std::clamp(d, -4 * kInt32Limit, 4 * kInt32Limit));
    return RoundClamped(horizontal_ ? iStartPos_ + r : iEndPos_ - r);
  }
  if (iRange_ != 0) {
    const double d = (value - iMinimum_) * iAxisSize_ / iRange_;
    if (std::fabs(d) < kInt32Limit) {
      const int64_t r = int64_t(std::nearbyint(d));
      const bool fromStart = horizontal_ != inverted_;
      return pixels::Sat(fromStart ? int64_t(iStartPos_) + r : int64_t(iEndPos_) - r);
    }
  }
  return iCenterPos_;
}

TAxisPixelMap TCustomChartAxis::PixelMap() const {
  TAxisPixelMap map;
  map.axis_ = this;
  // Ranges and sizes that keep every product of the estimate far from overflow (see there).
  const double range = std::fabs(iRange_);
  const bool nearest = std::nearbyint(0.5) == 0 && std::nearbyint(1.5) == 2 &&
                       std::nearbyint(-0.5) == 0 && std::nearbyint(-1.5) == -2;
  map.estimate_ = nearest && !depthAxis_ && !logarithmic_ && range >= 1e-280 && range <= 1e280;
  map.fromStart_ = horizontal_ != inverted_;
  map.minimum_ = iMinimum_;
  map.scale_ = map.estimate_ ? double(iAxisSize_) / iRange_ : 0;
  map.startPos_ = iStartPos_;
  map.endPos_ = iEndPos_;
  map.base_ = map.fromStart_ ? iStartPos_ : iEndPos_;
  map.step_ = map.fromStart_ ? 1 : -1;
  return map;
}

bool TAxisPixelMap::SamePixelRange(double value, double& lo, double& hi) const {
  if (!estimate_ || scale_ == 0 || std::isnan(value)) return false;
  const int32_t pixel = (*this)(value);
  const int64_t steps = fromStart_ ? int64_t(pixel) - startPos_ : int64_t(endPos_) - pixel;
  // Just inside the pixel's half-way values on either side.
  const double a = minimum_ + (double(steps) - 0.49) / scale_;
  const double b = minimum_ + (double(steps) + 0.49) / scale_;
  lo = std::min({a, b, value});
  hi = std::max({a, b, value});
  return InReach(lo) && InReach(hi) && (*this)(lo) == pixel && (*this)(hi) == pixel;
}

int32_t TAxisPixelMap::Exact(double value) const {
  return axis_ ? axis_->ValueToPixel(value) : 0;
}

double TCustomChartAxis::PixelToValue(int32_t pixel) const {
  if (depthAxis_) {
    const int32_t width = chart_ ? chart_->Width3D() : 0;
    if (width < 1) return 0;
    const double a = double(pixel) * iRange_ / width;
    return inverted_ ? iMaximum_ - a : iMinimum_ + a;
  }
  if (logarithmic_) {
    const bool minimumAtStart = horizontal_ != inverted_;
    if (pixel == iStartPos_) return minimumAtStart ? iMinimum_ : iMaximum_;
    if (pixel == iEndPos_) return minimumAtStart ? iMaximum_ : iMinimum_;
    const double lnMin = iMinimum_ > 0 ? std::log(iMinimum_) : 0;
    const double lnMax = iMaximum_ > 0 ? std::log(iMaximum_) : 0;
    const double logRange = lnMax - lnMin;
    if (logRange == 0 || iAxisSize_ < 1) return iMinimum_;
    const double offset = inverted_ ? double(iEndPos_) - pixel : double(pixel) - double(iStartPos_);
    const double d = logRange * offset / iAxisSize_;
    return horizontal_ ? std::exp(lnMin + d) : std::exp(lnMax - d);
  }
  if (iAxisSize_ < 1) return 0;
  const double offset = inverted_ ? double(iEndPos_) - pixel : double(pixel) - double(iStartPos_);
  const double a = offset * iRange_ / iAxisSize_;
  return horizontal_ ? iMinimum_ + a : iMaximum_ - a;
}

// ---- labels ------------------------------------------------------------------------------

bool TCustomChartAxis::IsDateTimeAxis() const {
  if (!chart_ || depthAxis_) return false;
  for (TChartSeries* s : chart_->SeriesList()) {
    if (s->Active() && s->IsAssociatedToAxis(*this)) {
      return horizontal_ ? s->XValues().DateTime() : s->YValues().DateTime();
    }
  }
  return false;
}

TAxisLabelStyle TCustomChartAxis::EffectiveLabelStyle() const {
  if (labelStyle_ != TAxisLabelStyle::talAuto) return labelStyle_;
  if (!chart_) return TAxisLabelStyle::talNone;
  if (depthAxis_) {
    for (TChartSeries* s : chart_->SeriesList()) {
      if (s->Active() && (s->HasZValues() || s->MinZValue() != s->MaxZValue())) {
        return TAxisLabelStyle::talValue;
      }
    }
    return TAxisLabelStyle::talText;
  }
  bool associated = false;
  for (TChartSeries* s : chart_->SeriesList()) {
    if (!s->Active() || !s->IsAssociatedToAxis(*this)) continue;
    associated = true;
    // Labels lie along the axis that carries the series' other coordinate.
    const bool labelsAlong = horizontal_ ? s->YMandatory() : !s->YMandatory();
    if (labelsAlong && !s->PointLabel(0).empty()) return TAxisLabelStyle::talText;
  }
  return associated ? TAxisLabelStyle::talValue : TAxisLabelStyle::talNone;
}

int32_t TCustomChartAxis::LabelWidth(const std::string& text) {
  TZidCanvas3D& canvas = chart_->Canvas();
  int32_t lines = 0;
  const int32_t width = textlines::WidestWidth(canvas, text, &lines);
  if (AngleRunsVertically(labelsAngle_))
    return pixels::Sat(int64_t(canvas.TextLineHeight()) * lines);
  return width;
}

int32_t TCustomChartAxis::LabelHeight(const std::string& text) {
  TZidCanvas3D& canvas = chart_->Canvas();
  int32_t lines = 0;
  const int32_t width = textlines::WidestWidth(canvas, text, &lines);
  if (AngleRunsHorizontally(labelsAngle_))
    return pixels::Sat(int64_t(canvas.TextLineHeight()) * lines);
  return width;
}

double TCustomChartAxis::ComputeIncrement() {
  isDateTime_ = IsDateTimeAxis();
  if (!chart_) return isDateTime_ ? kOneSecond : 1e-12;
  chart_->Canvas().SetFont(labelsFont_);
  const std::string maxText = LabelText(iMaximum_);
  const std::string minText = LabelText(iMinimum_);
  const int32_t labelSize = horizontal_ || depthAxis_
                                ? std::max(LabelWidth(maxText), LabelWidth(minText))
                                : std::max(LabelHeight(maxText), LabelHeight(minText));
  double maxLabels = 1;
  if (labelSize > 0) {
    double s = labelSize;
    if (labelsSeparation_ > 0)
      s += pixels::RoundToInt(double(labelSize) * labelsSeparation_ * 0.01);
    maxLabels = std::nearbyint(double(iAxisSize_) / s);
  }
  if (maxLabels < 1) return isDateTime_ ? kOneSecond : 1e-12;

  if (isDateTime_) {
    double d = std::max(kOneSecond, increment_);
    if (iRange_ / d > 1000000) d = iRange_ / 1000000;
    while (std::nearbyint(iRange_ / d) > maxLabels) {
      const double next = d >= 365 ? d * 2 : NextDateTimeStep(d);
      if (!(next > d)) break;
      d = next;
    }
    return std::max(kOneSecond, d);
  }
  double step = increment_ > 0 ? increment_ : (std::fabs(iRange_) >= 1 ? 1.0 : 1e-12);
  if (labelsSeparation_ > 0) {
    for (;;) {
      const double q = iRange_ / step;
      if (std::fabs(q) < kInt32Limit && std::nearbyint(q) <= maxLabels) break;
      if (std::isnan(q)) break;
      const double next = NextNumericStep(step);
      if (!(next > step)) break;
      step = next;
    }
  }
  return std::max(1e-12, step);
}

int32_t TCustomChartAxis::LabelStepIndex(double increment) const {
  if (!(isDateTime_ && exactDateTime_ && increment_ != 0)) return kNoDateTimeStep;
  int32_t index = FindDateTimeStep(increment_);
  if (index == kNoDateTimeStep) return index;
  while (index < kStepOneYear && increment > kDateTimeStepDays[size_t(index)] + kOneSecond / 2) {
    ++index;
  }
  return index;
}

bool TCustomChartAxis::LabelAllowed(double value) const {
  if (labelsOnAxis_) return true;
  const int32_t p = ValueToPixel(value);
  return p > iStartPos_ && p < iEndPos_;
}

double TCustomChartAxis::StepBack(double value, double increment, int32_t stepIndex) const {
  switch (stepIndex) {
    case kStepHalfMonth:
      return IncHalfMonth(value, false);
    case kStepOneMonth:
      return IncMonthToFirst(value, -1);
    case kStepOneMonth + 1:
      return IncMonthToFirst(value, -2);
    case kStepOneMonth + 2:
      return IncMonthToFirst(value, -3);
    case kStepOneMonth + 3:
      return IncMonthToFirst(value, -4);
    case kStepOneMonth + 4:
      return IncMonthToFirst(value, -6);
    case kStepOneYear:
      return IncYear(value, -1);
    default:
      return value - increment;
  }
}

bool TCustomChartAxis::CustomLabelValues(std::vector<double>& values) {
  if (!chart_ || !chart_->OnGetNextAxisLabel()) return false;
  const TAxisOnGetNextLabel& next = chart_->OnGetNextAxisLabel();
  for (int32_t i = 0; i <= kMaxCustomLabels; ++i) {
    double value = 0;
    bool stop = true;
    next(*this, i, value, stop);
    if (stop) return i > 0;
    if (value >= iMinimum_ - 1e-7 && value <= iMaximum_ + 1e-7 && LabelAllowed(value)) {
      values.push_back(value);
    }
  }
  return true;
}

void TCustomChartAxis::LogLabelValues(std::vector<double>& values) {
  if (iMinimum_ == iMaximum_) return;
  const double base = logarithmicBase_;
  double value;
  if (iMinimum_ > 0) {
    value = std::pow(base, std::nearbyint(std::log(iMinimum_) / std::log(base)));
  } else {
    // Zero or negative minimum: start from a small positive value instead.
    iMinimum_ = iMinimum_ < 0 ? 1e-10 : 0.1;
    iRange_ = iMaximum_ - iMinimum_;
    value = iMinimum_;
  }
  for (int32_t n = 0; value <= iMaximum_ && n < kMaxLogLabels; ++n) {
    if (value >= iMinimum_ && LabelAllowed(value)) values.push_back(value);
    value *= base;
  }
}

void TCustomChartAxis::LinearLabelValues(std::vector<double>& values, double increment) {
  if (!(std::fabs(iRange_ / increment) < 10000)) return;
  const int32_t stepIndex = LabelStepIndex(increment);
  double value;
  if (stepIndex >= kStepOneDay && stepIndex <= kStepOneYear) {
    value = iMaximum_;
    // Day 2 is 1900-01-01: earlier dates are not rounded on the calendar.
    if (value >= 2) {
      if (stepIndex < kStepHalfMonth) {
        value = StartOfTheDay(value);
      } else if (stepIndex == kStepHalfMonth) {
        value = StartOfTheHalfMonth(value);
      } else if (stepIndex < kStepOneYear) {
        value = StartOfTheMonth(value);
      } else {
        value = StartOfTheYear(value);
      }
    }
  } else if (iMinimum_ == iMaximum_) {
    value = iMaximum_;
  } else if (roundFirstLabel_) {
    value = std::trunc(iMaximum_ / increment) * increment;
  } else {
    value = iMaximum_;
  }
  if (!std::isfinite(value)) return;
  int32_t steps = 0;
  while (value > iMaximum_) {
    const double next = StepBack(value, increment, stepIndex);
    if (!(next < value) || ++steps > kMaxLabelSteps) return;
    value = next;
  }
  const double limit = (iMinimum_ - 1e-12) / 1.000000000001;
  while (value >= limit) {
    if (LabelAllowed(value)) values.push_back(value);
    const double next = StepBack(value, increment, stepIndex);
    // Far from zero a tiny increment may not move the value any more.
    if (!(next < value) || ++steps > kMaxLabelSteps) break;
    value = next;
  }
}

std::vector<double> TCustomChartAxis::ComputeLabelValues(double increment) {
  std::vector<double> values;
  const int32_t stepIndex = LabelStepIndex(increment);
  const bool calendarStep = stepIndex >= kStepHalfMonth && stepIndex <= kStepOneYear;
  if (!((increment > 0 && std::isfinite(increment)) || calendarStep)) return values;
  if (iMaximum_ < iMinimum_) return values;
  if (CustomLabelValues(values)) return values;
  values.clear();
  if (logarithmic_ && increment_ == 0) {
    LogLabelValues(values);
  } else {
    LinearLabelValues(values, increment);
  }
  return values;
}

std::string TCustomChartAxis::FinishLabelText(std::string text, TChartSeries* series, int32_t index,
                                              bool fireEvent) {
  if (fireEvent && chart_ && chart_->OnGetAxisLabel()) {
    chart_->OnGetAxisLabel()(*this, series, index, text);
  }
  if (labelsMultiLine_) text = BreakIntoLines(text, ' ');
  return text;
}

std::string TCustomChartAxis::LabelText(double value, bool fireEvent) {
  static const platform::LocaleSettings kDefaultSettings;
  const platform::LocaleSettings& locale = chart_ ? chart_->Locale() : kDefaultSettings;
  std::string text;
  isDateTime_ = IsDateTimeAxis();
  if (isDateTime_) {
    if (value >= 0) {
      std::string format = dateTimeFormat_;
      if (format.empty()) {
        format = iRange_ > 1 ? locale.shortDateFormat : ShortTimeFormat(locale);
      }
      text = FormatDateTime(format, value, locale);
    }
  } else {
    text = FormatFloat(axisValuesFormat_, value, locale);
  }
  return FinishLabelText(std::move(text), nullptr, -1, fireEvent);
}

int32_t TCustomChartAxis::LabelSizeAcross(const std::string& text) {
  TZidCanvas3D& canvas = chart_->Canvas();
  int32_t lines = 0;
  const int32_t width = textlines::WidestWidth(canvas, text, &lines);
  const bool across =
      horizontal_ ? AngleRunsVertically(labelsAngle_) : AngleRunsHorizontally(labelsAngle_);
  return across ? pixels::Sat(int64_t(canvas.TextLineHeight()) * lines) : width;
}

void TCustomChartAxis::SeriesLabels(std::vector<TAxisLabel>& labels, bool marks) {
  std::vector<TChartSeries*> sources;
  int32_t first = INT32_MAX, last = -1;
  for (TChartSeries* s : chart_->SeriesList()) {
    if (!s->Active() || !s->IsAssociatedToAxis(*this) || !s->HasLabels()) continue;
    sources.push_back(s);
    s->ComputeVisibleRange();
    if (s->FirstValueIndex() < 0) continue;
    first = std::min(first, s->FirstValueIndex());
    last = std::max(last, s->LastValueIndex());
  }
  if (sources.empty() || last < 0) return;
  bool havePrevious = false;
  int64_t previousPos = 0, previousHalf = 0;
  for (int32_t index = first; index <= last; ++index) {
    TChartSeries* owner = nullptr;
    for (TChartSeries* s : sources) {
      if (index < s->PointCount() && !s->PointLabel(index).empty()) {
        owner = s;
        break;
      }
    }
    if (!owner) continue;
    const double value = horizontal_ ? owner->XValue(index) : owner->YValue(index);
    if (value < iMinimum_ || value > iMaximum_) continue;
    std::string text = marks ? owner->MarkText(index) : owner->PointLabel(index);
    text = FinishLabelText(std::move(text), owner, index, true);
    const int32_t pos = ValueToPixel(value);
    const int64_t size = LabelSizeAcross(text);
    const int64_t half = (size + int64_t(std::trunc(double(size) * 0.02 * labelsSeparation_))) / 2;
    if (labelsSeparation_ > 0 && havePrevious &&
        std::llabs(int64_t(pos) - previousPos) < half + previousHalf) {
      continue;
    }
    labels.push_back({value, pos, std::move(text)});
    havePrevious = true;
    previousPos = pos;
    previousHalf = half;
  }
}

void TCustomChartAxis::DepthTextLabels(std::vector<TAxisLabel>& labels) {
  if (!(iMinimum_ <= iMaximum_) || !(iMaximum_ - iMinimum_ < 10000)) return;
  if (!(std::fabs(iMinimum_) < 1e9) || !(std::fabs(iMaximum_) < 1e9)) return;
  std::vector<TChartSeries*> active;
  for (TChartSeries* s : chart_->SeriesList()) {
    if (s->Active()) active.push_back(s);
  }
  const int32_t from = int32_t(std::trunc(iMinimum_));
  const int32_t to = int32_t(std::trunc(iMaximum_));
  for (int32_t i = from; i <= to; ++i) {
    const double value = iMaximum_ - i - 0.5;
    std::string text;
    if (i >= 0 && size_t(i) < active.size()) text = SeriesLegendTitle(*active[size_t(i)], i);
    labels.push_back({value, ValueToPixel(value), std::move(text)});
  }
}

std::vector<TAxisLabel> TCustomChartAxis::ComputeLabels() {
  std::vector<TAxisLabel> labels;
  if (!chart_) return labels;
  RecomputeDateTime();
  chart_->Canvas().SetFont(labelsFont_);
  switch (EffectiveLabelStyle()) {
    case TAxisLabelStyle::talValue: {
      const double increment = ComputeIncrement();
      for (double v : ComputeLabelValues(increment)) {
        labels.push_back({v, ValueToPixel(v), LabelText(v)});
      }
      break;
    }
    case TAxisLabelStyle::talText:
      if (depthAxis_) {
        DepthTextLabels(labels);
      } else {
        SeriesLabels(labels, false);
      }
      break;
    case TAxisLabelStyle::talMark:
      SeriesLabels(labels, true);
      break;
    case TAxisLabelStyle::talAuto:
    case TAxisLabelStyle::talNone:
      break;
  }
  return labels;
}

int32_t TCustomChartAxis::MaxLabelWidth() {
  if (!chart_) return 0;
  TZidCanvas3D& canvas = chart_->Canvas();
  switch (EffectiveLabelStyle()) {
    case TAxisLabelStyle::talValue: {
      const double increment = ComputeIncrement();
      double low = iMinimum_, high = iMaximum_;
      if (((isDateTime_ && exactDateTime_) || roundFirstLabel_) && increment > 0 &&
          std::isfinite(increment)) {
        low = std::trunc(low / increment) * increment;
        high = std::trunc(high / increment) * increment;
      }
      const int32_t widest = std::max(textlines::WidestWidth(canvas, LabelText(low, false)),
                                      textlines::WidestWidth(canvas, LabelText(high, false)));
      return widest + canvas.TextWidthOf(" ");
    }
    case TAxisLabelStyle::talMark:
      return chart_->SeriesList().MaxMarkWidth(canvas);
    case TAxisLabelStyle::talText:
      return chart_->SeriesList().MaxLabelsWidth(canvas);
    case TAxisLabelStyle::talAuto:
    case TAxisLabelStyle::talNone:
      break;
  }
  return 0;
}

// ---- layout ------------------------------------------------------------------------------

int32_t TCustomChartAxis::MovePositionPercent(int32_t position, const platform::Rect& rect) const {
  if (positionPercent_ == 0) return position;
  if (horizontal_) {
    const int64_t delta =
        pixels::RoundToInt(positionPercent_ / 100.0 * (double(rect.bottom) - rect.top));
    return pixels::Sat(otherSide_ ? int64_t(position) + delta : int64_t(position) - delta);
  }
  const int64_t delta =
      pixels::RoundToInt(positionPercent_ / 100.0 * (double(rect.right) - rect.left));
  return pixels::Sat(otherSide_ ? int64_t(position) - delta : int64_t(position) + delta);
}

int32_t TCustomChartAxis::AxisLinePosition() const {
  if (!chart_) return 0;
  const platform::Rect r = chart_->ChartRect();
  int32_t edge;
  if (depthAxis_) {
    return r.right;
  } else if (horizontal_) {
    edge = otherSide_ ? r.top : r.bottom;
  } else {
    edge = otherSide_ ? r.right : r.left;
  }
  return MovePositionPercent(edge, r);
}

void TCustomChartAxis::ReserveSpace(platform::Rect& rect) {
  if (!chart_) return;
  TZidCanvas3D& canvas = chart_->Canvas();
  RecomputeDateTime();
  // Moves this axis' edge of the rectangle inwards; returns the new edge.
  auto shrink = [&](int32_t amount) -> int32_t {
    if (horizontal_) {
      if (otherSide_) return rect.top = pixels::Sat(int64_t(rect.top) + amount);
      return rect.bottom = pixels::Sat(int64_t(rect.bottom) - amount);
    }
    if (otherSide_) return rect.right = pixels::Sat(int64_t(rect.right) - amount);
    return rect.left = pixels::Sat(int64_t(rect.left) + amount);
  };
  if (depthAxis_) {
    posTitle_ = rect.right;
    posLabels_ = rect.right;
    return;
  }
  int64_t tickSize = axisPen_.Visible() ? axisPen_.Width() : 0;
  if (ticks_.Visible()) tickSize += tickLength_;
  if (minorTicks_.Visible()) tickSize = std::max<int64_t>(tickSize, minorTickLength_);

  if (!title_.Caption().empty()) {
    int32_t titleSize = titleSize_;
    if (titleSize == 0) {
      canvas.SetFont(title_.Font());
      const bool along =
          horizontal_ ? AngleRunsHorizontally(title_.Angle()) : AngleRunsVertically(title_.Angle());
      titleSize = along ? canvas.TextLineHeight() : canvas.TextWidthOf(title_.Caption());
    }
    posTitle_ = shrink(titleSize);
  }
  if (labels_) {
    int32_t labelsSize = labelsSize_;
    if (labelsSize == 0) {
      canvas.SetFont(labelsFont_);
      const bool along =
          horizontal_ ? AngleRunsHorizontally(labelsAngle_) : AngleRunsVertically(labelsAngle_);
      labelsSize = along ? canvas.TextLineHeight() : MaxLabelWidth();
    }
    posLabels_ = shrink(labelsSize);
  }
  const int64_t rest = tickSize + chart_->AxisWallSize(*this);
  if (rest > 0) shrink(pixels::Sat(rest));
  posTitle_ = MovePositionPercent(posTitle_, rect);
  posLabels_ = MovePositionPercent(posLabels_, rect);
}

bool TCustomChartAxis::IsVisibleInChart() const {
  if (!chart_ || !chart_->AxisVisible() || !visible_) return false;
  if (depthAxis_) return chart_->View3D();
  for (TChartSeries* s : chart_->SeriesList()) {
    if (s->Active() && s->UsesAxes() && s->IsAssociatedToAxis(*this)) return true;
  }
  return false;
}

bool TCustomChartAxis::HitTest(int32_t x, int32_t y) const {
  if (depthAxis_ || !IsVisibleInChart()) return false;
  const int32_t line = AxisLinePosition();
  int64_t acrossLow, acrossHigh;
  if (posLabels_ >= line) {
    acrossLow = int64_t(line) - 3;
    acrossHigh = posLabels_;
  } else {
    acrossLow = posLabels_;
    acrossHigh = int64_t(line) + 3;
  }
  const int32_t alongLow = std::min(iStartPos_, iEndPos_);
  const int32_t alongHigh = std::max(iStartPos_, iEndPos_);
  const int32_t along = horizontal_ ? x : y;
  const int32_t across = horizontal_ ? y : x;
  return along >= alongLow && along <= alongHigh && across >= acrossLow && across <= acrossHigh;
}

}  // namespace zq
