#include "engine/series/series.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <typeinfo>

#include "engine/axes/axis.h"
#include "engine/data/format.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pixel_math.h"

namespace zq {

// ---- TZidFunction ------------------------------------------------------------------------

void TZidFunction::SetPeriod(double value) {
  if (value < 0) throw ChartException(kMsgFunctionPeriod);
  if (value == period_) return;
  period_ = value;
  if (series_) series_->RefreshSeries();
  Repaint();
}

void TZidFunction::SetPeriodAlign(TFunctionPeriodAlign value) {
  if (value == periodAlign_) return;
  periodAlign_ = value;
  if (series_) series_->RefreshSeries();
  Repaint();
}

void TZidFunction::SetPeriodStyle(TFunctionPeriodStyle value) {
  if (value == periodStyle_) return;
  periodStyle_ = value;
  if (series_) series_->RefreshSeries();
  Repaint();
}

void TZidFunction::Repaint() const {
  if (series_) series_->RequestRepaint();
}

double TZidFunction::Calculate(TChartSeries& /*source*/, int32_t /*first*/, int32_t /*last*/) {
  return 0;
}

double TZidFunction::CalculateMany(std::span<TChartSeries* const> /*sources*/, int32_t /*index*/) {
  return 0;
}

void TZidFunction::AddFunctionPoint(double x, double y) {
  if (series_) series_->AddPointXY(x, y);
}

double TZidFunction::PeriodX(TChartSeries& source, int32_t first, int32_t last) const {
  switch (periodAlign_) {
    case TFunctionPeriodAlign::paFirst:
      return source.XValue(first);
    case TFunctionPeriodAlign::paLast:
      return source.XValue(last);
    case TFunctionPeriodAlign::paCenter:
      break;
  }
  return (source.XValue(first) + source.XValue(last)) * 0.5;
}

void TZidFunction::AddPeriods(TChartSeries& source) {
  const int32_t count = source.PointCount();
  if (count == 0) return;
  if (periodStyle_ == TFunctionPeriodStyle::psNumPoints || !(period_ > 0)) {
    // Period 0 (or less than one point) takes the whole series as one period.
    const int32_t points =
        (period_ < 1 || period_ >= double(count)) ? count : int32_t(std::floor(period_));
    for (int32_t first = 0; first < count; first += points) {
      const int32_t last = std::min(count - 1, first + points - 1);
      AddFunctionPoint(PeriodX(source, first, last), Calculate(source, first, last));
      if (count - first <= points) break;
    }
    return;
  }
  // psRange: consecutive points whose X falls in the same period, counted from the first X.
  const double origin = source.XValue(0);
  auto periodOf = [&](int32_t i) { return std::floor((source.XValue(i) - origin) / period_); };
  int32_t first = 0;
  while (first < count) {
    const double key = periodOf(first);
    int32_t last = first;
    while (last + 1 < count && periodOf(last + 1) == key) ++last;
    AddFunctionPoint(PeriodX(source, first, last), Calculate(source, first, last));
    first = last + 1;
  }
}

void TZidFunction::AddPoints(std::span<TChartSeries* const> sources) {
  if (!series_ || sources.empty()) return;
  // Several sources always combine point by point; one source is stepped through by periods
  // unless the function is one that only combines.
  if (CombinesSeries() || sources.size() > 1) {
    int32_t count = INT32_MAX;
    for (TChartSeries* s : sources) count = std::min(count, s->PointCount());
    for (int32_t i = 0; i < count; ++i) {
      AddFunctionPoint(sources[0]->XValue(i), CalculateMany(sources, i));
    }
    return;
  }
  for (TChartSeries* s : sources) AddPeriods(*s);
}

// ---- TChartSeriesList --------------------------------------------------------------------

TChartSeries* TChartSeriesList::At(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[size_t(index)];
}

int32_t TChartSeriesList::IndexOf(const TChartSeries& series) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i] == &series) return int32_t(i);
  }
  return -1;
}

void TChartSeriesList::Add(TChartSeries& series) {
  if (!Contains(series)) items_.push_back(&series);
}

void TChartSeriesList::Remove(TChartSeries& series) {
  std::erase(items_, &series);
}

void TChartSeriesList::Move(int32_t from, int32_t to) {
  if (from < 0 || from >= Count()) throw ChartException(FormatMessage(kListIndexError, from));
  if (to < 0 || to >= Count()) throw ChartException(FormatMessage(kListIndexError, to));
  TChartSeries* s = items_[size_t(from)];
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, s);
}

int32_t TChartSeriesList::CountActive() const {
  return int32_t(std::count_if(items_.begin(), items_.end(),
                               [](const TChartSeries* s) { return s->Active(); }));
}

int32_t TChartSeriesList::MaxMarkWidth(TZidCanvas3D& canvas) const {
  int32_t widest = 0;
  for (TChartSeries* s : items_) {
    if (s->Active()) widest = std::max(widest, s->MaxMarkTextWidth(canvas));
  }
  return widest;
}

int32_t TChartSeriesList::MaxLabelsWidth(TZidCanvas3D& canvas) const {
  int32_t widest = 0;
  for (TChartSeries* s : items_) {
    for (const std::string& label : s->Labels()) {
      if (!label.empty()) widest = std::max(widest, textlines::WidestWidth(canvas, label));
    }
  }
  return widest;
}

// ---- free helpers ------------------------------------------------------------------------

std::string SeriesLegendTitle(const TChartSeries& series, int32_t position) {
  if (!series.Title().empty()) return series.Title();
  if (!series.Name().empty()) return series.Name();
  return kMsgDefaultSeriesTitle + std::to_string(position);
}

TColor FreeSeriesColor(TChartHost& chart) {
  const TChartSeriesList& list = chart.SeriesList();
  for (int32_t i = 0; i < kDefaultPaletteSize; ++i) {
    const TColor c = DefaultPaletteColor(i);
    if (c == chart.Color() || c == chart.BackColor()) continue;
    const bool used = std::any_of(list.begin(), list.end(),
                                  [c](const TChartSeries* s) { return s->SeriesColor() == c; });
    if (!used) return c;
  }
  return DefaultPaletteColor(0);
}

void SetBrushColours(TZidCanvas3D& canvas, TColor color, TBrushStyle style, TColor backColor) {
  if (style != TBrushStyle::bsSolid && color == backColor) {
    color = backColor == clBlack ? clWhite : clBlack;
  }
  canvas.SetBrushColor(color);
  canvas.SetBrushStyle(style);
  if (style == TBrushStyle::bsSolid) {
    canvas.ChangeBackMode(platform::BackMode::Transparent);
  } else if (style != TBrushStyle::bsClear) {
    canvas.ChangeBackMode(platform::BackMode::Opaque);
    canvas.ChangeBackColor(backColor);
  }
}

// ---- TChartSeries: life ------------------------------------------------------------------

TChartSeries::TChartSeries()
    : marks_(std::make_unique<TSeriesMarks>(*this)),
      percentFormat_(kDefaultPercentFormat),
      valueFormat_(kDefaultValueFormat) {
  AddValueList(kValueListNameX).SetOrder(TChartListOrder::loAscending);
  AddValueList(kValueListNameY);
}

TChartSeries::~TChartSeries() {
  function_.reset();
  for (TComponent* c : dataSources_) {
    if (auto* source = dynamic_cast<TChartSeries*>(c)) std::erase(source->linkedSeries_, this);
  }
  dataSources_.clear();
  for (TChartSeries* linked : linkedSeries_) {
    std::erase(linked->dataSources_, static_cast<TComponent*>(this));
  }
  linkedSeries_.clear();
  ClearAllData();
  TChartSeries::SetParentChart(nullptr);
}

TChartValueList& TChartSeries::AddValueList(const std::string& name) {
  TChartValueListOwner* owner = this;
  valueLists_.push_back(std::make_unique<TChartValueList>(owner, name));
  TChartValueList& list = *valueLists_.back();
  // A list added to a series that has points starts with a zero per point.
  for (int32_t i = 0; valueLists_.size() > 2 && i < PointCount(); ++i) list.InsertAt(i, 0);
  return list;
}

TChartValueList* TChartSeries::FindValueList(const std::string& name) {
  for (auto& list : valueLists_) {
    if (list->Name() == name) return list.get();
  }
  return nullptr;
}

void TChartSeries::RequestRepaint() const {
  if (parent_ && !repaintSuspended_) parent_->RequestRepaint();
}

const platform::LocaleSettings& TChartSeries::Locale() const {
  static const platform::LocaleSettings kDefaultSettings;
  return parent_ ? parent_->Locale() : kDefaultSettings;
}

// ---- properties --------------------------------------------------------------------------

void TChartSeries::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  RequestRepaint();
}

void TChartSeries::SetColorEachPoint(bool value) {
  bool changed = value != colorEachPoint_;
  colorEachPoint_ = value;
  // Off gives every point the series colour back even when it was off already: that is how
  // a whole series with coloured points takes one colour again.
  if (!value) {
    for (TColor& c : colors_) {
      changed = changed || c != clDefault;
      c = clDefault;
    }
  }
  if (changed) RequestRepaint();
}

void TChartSeries::SetColorSource(const std::string& value) {
  if (value == colorSource_) return;
  colorSource_ = value;
  CheckDataSource();
}

void TChartSeries::SetHorizAxis(THorizAxis value) {
  if (value == horizAxis_) return;
  horizAxis_ = value;
  ResolveAxes();
  RequestRepaint();
}

void TChartSeries::SetVertAxis(TVertAxis value) {
  if (value == vertAxis_) return;
  vertAxis_ = value;
  ResolveAxes();
  RequestRepaint();
}

void TChartSeries::SetCustomHorizAxis(TCustomChartAxis* axis) {
  if (axis == customHorizAxis_) return;
  customHorizAxis_ = axis;
  ResolveAxes();
  RequestRepaint();
}

void TChartSeries::SetCustomVertAxis(TCustomChartAxis* axis) {
  if (axis == customVertAxis_) return;
  customVertAxis_ = axis;
  ResolveAxes();
  RequestRepaint();
}

void TChartSeries::SetPercentFormat(const std::string& value) {
  if (value == percentFormat_) return;
  percentFormat_ = value;
  RequestRepaint();
}

void TChartSeries::SetValueFormat(const std::string& value) {
  if (value == valueFormat_) return;
  valueFormat_ = value;
  RequestRepaint();
}

void TChartSeries::SetSeriesColor(TColor value) {
  if (value == seriesColor_) return;
  seriesColor_ = value;
  RequestRepaint();
}

void TChartSeries::SetShowInLegend(bool value) {
  if (value == showInLegend_) return;
  showInLegend_ = value;
  RequestRepaint();
}

void TChartSeries::SetTitle(const std::string& value) {
  if (value == title_) return;
  title_ = value;
  RequestRepaint();
}

void TChartSeries::SetXLabelsSource(const std::string& value) {
  if (value == xLabelsSource_) return;
  xLabelsSource_ = value;
  CheckDataSource();
}

void TChartSeries::SetZOrder(int32_t value) {
  if (value == zOrder_) return;
  zOrder_ = value;
  RequestRepaint();
}

void TChartSeries::SetDepthRange(int32_t startZ, int32_t endZ) {
  startZ_ = startZ;
  endZ_ = endZ;
  // Halving a pixel size rounds toward zero.
  middleZ_ = int32_t((int64_t(startZ) + endZ) / 2);
  marks_->SetZPosition(middleZ_);
}

void TChartSeries::SetRecalcOptions(bool onDelete, bool onModify, bool onInsert, bool onClear) {
  recalcOnDelete_ = onDelete;
  recalcOnModify_ = onModify;
  recalcOnInsert_ = onInsert;
  recalcOnClear_ = onClear;
}

// ---- chart and axes ----------------------------------------------------------------------

void TChartSeries::SetParentChart(TChartHost* chart) {
  if (chart == parent_) return;
  if (parent_) {
    TChartHost* old = parent_;
    old->SeriesList().Remove(*this);
    parent_ = nullptr;
    old->SeriesRemoved(*this);
    old->RequestRepaint();
  }
  parent_ = chart;
  ResolveAxes();
  if (!chart) return;
  if (seriesColor_ == clDefault) seriesColor_ = FreeSeriesColor(*chart);
  chart->SeriesList().Add(*this);
  if (chart->IsDesigning() && !function_) {
    FillSampleValues(NumSampleValues());
  } else {
    CheckDataSource();
  }
  chart->SeriesAdded(*this);
  chart->RequestRepaint();
}

void TChartSeries::ResolveAxes() {
  if (!parent_) {
    resolvedHoriz_ = resolvedVert_ = nullptr;
    return;
  }
  switch (horizAxis_) {
    case THorizAxis::aTopAxis:
      resolvedHoriz_ = &parent_->TopAxis();
      break;
    case THorizAxis::aCustomHorizAxis:
      resolvedHoriz_ = customHorizAxis_ ? customHorizAxis_ : &parent_->BottomAxis();
      break;
    case THorizAxis::aBottomAxis:
    case THorizAxis::aBothHorizAxis:
      resolvedHoriz_ = &parent_->BottomAxis();
      break;
  }
  switch (vertAxis_) {
    case TVertAxis::aRightAxis:
      resolvedVert_ = &parent_->RightAxis();
      break;
    case TVertAxis::aCustomVertAxis:
      resolvedVert_ = customVertAxis_ ? customVertAxis_ : &parent_->LeftAxis();
      break;
    case TVertAxis::aLeftAxis:
    case TVertAxis::aBothVertAxis:
      resolvedVert_ = &parent_->LeftAxis();
      break;
  }
}

bool TChartSeries::IsAssociatedToAxis(const TCustomChartAxis& axis) const {
  if (!UsesAxes()) return false;
  if (axis.Horizontal()) {
    return horizAxis_ == THorizAxis::aBothHorizAxis || &axis == resolvedHoriz_;
  }
  if (axis.Vertical()) {
    return vertAxis_ == TVertAxis::aBothVertAxis || &axis == resolvedVert_;
  }
  return false;
}

int32_t TChartSeries::CalcXPosValue(double value) const {
  return resolvedHoriz_ ? resolvedHoriz_->ValueToPixel(value) : 0;
}

int32_t TChartSeries::CalcYPosValue(double value) const {
  return resolvedVert_ ? resolvedVert_->ValueToPixel(value) : 0;
}

int32_t TChartSeries::PointXPixel(int32_t index) const {
  return CalcXPosValue(XValue(index));
}

int32_t TChartSeries::PointYPixel(int32_t index) const {
  return CalcYPosValue(YValue(index));
}

// ---- points ------------------------------------------------------------------------------

void TChartSeries::CheckPointIndex(int32_t index) const {
  if (index < 0 || index >= PointCount()) {
    throw ChartException(FormatMessage(kListIndexError, index));
  }
}

int32_t TChartSeries::AddPointXY(double x, double y, const std::string& label, TColor color) {
  XValues().SetPendingValue(x);
  YValues().SetPendingValue(y);
  if (OnBeforeAdd && !OnBeforeAdd(*this)) return -1;
  return InsertPoint(x, y, label, color);
}

void TChartSeries::AddPointsXY(std::vector<double>& xs, std::vector<double>& ys, TColor color,
                               std::vector<std::string>& labels, const std::string& commonLabel) {
  const size_t count = std::min(xs.size(), ys.size());
  auto labelOf = [&](size_t i) -> const std::string& {
    return labels.empty() ? commonLabel : labels[i];
  };
  const auto before = size_t(PointCount());
  std::optional<std::vector<int32_t>> order;
  // Handlers and linked series want to hear of every point; lists beyond X and Y take their
  // staged values one by one.
  const bool oneByOne = OnBeforeAdd || OnAfterAdd || !linkedSeries_.empty() ||
                        valueLists_.size() > 2 || (!labels.empty() && labels.size() < count) ||
                        count > size_t(INT32_MAX) - before;
  double lastX = 0;
  if (count > 0 && !oneByOne) {
    xs.resize(count);
    lastX = xs.back();
    order = XValues().AppendAllOrdered(xs);
  }
  if (!order) {
    for (size_t i = 0; i < count; ++i) AddPointXY(xs[i], ys[i], labelOf(i), color);
    return;
  }
  if (count == 0) return;
  ys.resize(count);
  const double lastY = ys.back();
  YValues().AppendAll(ys);
  colors_.resize(before, clDefault);
  colors_.resize(before + count, color);
  const bool anyLabel =
      std::any_of(labels.begin(), labels.end(), [](const std::string& l) { return !l.empty(); }) ||
      (labels.empty() && !commonLabel.empty());
  if (anyLabel || !labels_.empty()) {
    labels_.resize(before);
    labels_.reserve(before + count);
    for (size_t i = 0; i < count; ++i) labels_.push_back(labelOf(i));
  }
  if (!order->empty()) {
    YValues().ApplyOrder(*order);
    ReorderParallel(colors_, *order, clDefault);
    if (!labels_.empty()) ReorderParallel(labels_, *order, std::string());
  }
  XValues().SetPendingValue(lastX);
  YValues().SetPendingValue(lastY);
  if (active_) RequestRepaint();
}

int32_t TChartSeries::InsertPoint(double x, double y, const std::string& label, TColor color) {
  const size_t before = colors_.size();
  const int32_t index = XValues().AppendOrdered(x);
  YValues().InsertAt(index, y);
  InsertPendingExtraValues(index);
  colors_.insert(colors_.begin() + index, color);
  if (!label.empty() || !labels_.empty()) {
    if (labels_.size() < before) labels_.resize(before);
    labels_.insert(labels_.begin() + index, label);
  }
  NotifyNewValue(index);
  return index;
}

void TChartSeries::InsertPendingExtraValues(int32_t index) {
  for (size_t i = 2; i < valueLists_.size(); ++i) {
    valueLists_[i]->InsertAt(index, valueLists_[i]->PendingValue());
  }
}

void TChartSeries::ClearPendingValues() {
  for (auto& list : valueLists_) list->SetPendingValue(0);
}

void TChartSeries::NotifyNewValue(int32_t index) {
  if (OnAfterAdd) OnAfterAdd(*this, index);
  NotifyLinked(&TChartSeries::SourcePointAdded, index);
  if (active_) RequestRepaint();
}

int32_t TChartSeries::AddPointValue(double value, const std::string& label, TColor color) {
  const double count = PointCount();
  return YMandatory() ? AddPointXY(count, value, label, color)
                      : AddPointXY(value, count, label, color);
}

int32_t TChartSeries::AddNullPoint(const std::string& label) {
  return AddPointValue(0, label, clNone);
}

int32_t TChartSeries::AddNullPointXY(double x, double y, const std::string& label) {
  return AddPointXY(x, y, label, clNone);
}

void TChartSeries::DeletePoint(int32_t index) {
  CheckPointIndex(index);
  for (auto& list : valueLists_) list->RemoveAt(index);
  if (size_t(index) < colors_.size()) colors_.erase(colors_.begin() + index);
  if (size_t(index) < labels_.size()) labels_.erase(labels_.begin() + index);
  marks_->DeletePosition(index);
  NotifyLinked(&TChartSeries::SourcePointDeleted, index);
  if (active_) RequestRepaint();
}

void TChartSeries::DeletePoints(int32_t first, int32_t count) {
  CheckPointIndex(first);
  count = std::min(count, PointCount() - first);
  if (count <= 0) return;
  for (auto& list : valueLists_) list->RemoveRange(first, count);
  auto eraseFrom = [first, count](auto& v) {
    if (size_t(first) >= v.size()) return;
    size_t last = std::min(v.size(), size_t(first) + size_t(count));
    v.erase(v.begin() + first, v.begin() + std::ptrdiff_t(last));
  };
  eraseFrom(colors_);
  eraseFrom(labels_);
  marks_->DeletePositions(first, count);
  // Linked series hear of each deletion, as if the points went one by one.
  if (!linkedSeries_.empty())
    for (int32_t i = 0; i < count; ++i) NotifyLinked(&TChartSeries::SourcePointDeleted, first);
  if (active_) RequestRepaint();
}

void TChartSeries::ClearLists() {
  for (auto& list : valueLists_) list->ClearAll();
}

void TChartSeries::ClearAllData() {
  ClearLists();
  std::vector<TColor>().swap(colors_);
  std::vector<std::string>().swap(labels_);
  marks_->ClearMarkPositions();
  firstValueIndex_ = lastValueIndex_ = -1;
}

void TChartSeries::ClearPoints() {
  ClearAllData();
  if (OnClearValues) OnClearValues(*this);
  NotifyLinked(&TChartSeries::SourceCleared, -1);
  if (active_ && parent_ && !parent_->IsDestroying()) RequestRepaint();
}

void TChartSeries::SwapPoints(int32_t a, int32_t b) {
  CheckPointIndex(a);
  CheckPointIndex(b);
  if (a == b) return;
  std::vector<int32_t> order(static_cast<size_t>(PointCount()));
  std::iota(order.begin(), order.end(), 0);
  std::swap(order[size_t(a)], order[size_t(b)]);
  for (auto& list : valueLists_) list->ApplyOrder(order);
  std::swap(colors_[size_t(a)], colors_[size_t(b)]);
  if (!labels_.empty()) std::swap(labels_[size_t(a)], labels_[size_t(b)]);
  marks_->SwapPositions(a, b);
  RequestRepaint();
}

void TChartSeries::FillSampleValues(int32_t numValues) {
  if (numValues <= 0) throw ChartException(kMsgFillSample);
  ClearPoints();
  // A small deterministic walk: sample data only has to look like data.
  uint32_t seed = 0x2545F491u ^ uint32_t(numValues);
  double value = 500;
  for (int32_t i = 0; i < numValues; ++i) {
    seed = seed * 1664525u + 1013904223u;
    value += double(int32_t(seed >> 24) % 101 - 50);
    value = std::clamp(value, 0.0, 1000.0);
    AddPointValue(value);
  }
  RequestRepaint();
}

TColor TChartSeries::PointColor(int32_t index) const {
  return StoredPointColor(index);
}

void TChartSeries::SetPointColor(int32_t index, TColor color) {
  CheckPointIndex(index);
  if (colors_.size() < size_t(PointCount())) colors_.resize(size_t(PointCount()), clDefault);
  if (colors_[size_t(index)] == color) return;
  colors_[size_t(index)] = color;
  RequestRepaint();
}

std::string TChartSeries::PointLabel(int32_t index) const {
  if (index < 0 || size_t(index) >= labels_.size()) return {};
  return labels_[size_t(index)];
}

void TChartSeries::SetPointLabel(int32_t index, const std::string& label) {
  CheckPointIndex(index);
  if (label.empty() && labels_.empty()) return;
  if (labels_.size() < size_t(PointCount())) labels_.resize(size_t(PointCount()));
  if (labels_[size_t(index)] == label) return;
  labels_[size_t(index)] = label;
  RequestRepaint();
}

double TChartSeries::PointOrigin(int32_t index, bool sumAll) const {
  if (!parent_) return 0;
  double sum = 0;
  for (TChartSeries* s : parent_->SeriesList()) {
    if (!sumAll && s == this) break;
    if (!s->Active() || typeid(*s) != typeid(*this)) continue;
    if (index < 0 || index >= s->PointCount()) continue;
    const double v = s->OriginValue(index);
    if (v > 0) sum += v;
  }
  return sum;
}

// ---- texts -------------------------------------------------------------------------------

std::string TChartSeries::FormatValue(double value) const {
  return FormatFloat(valueFormat_, value, Locale());
}

std::string TChartSeries::PercentText(int32_t index, bool withTotal) const {
  const double total = MandatoryValueList().SumAbs();
  const double percent = total == 0 ? 100.0 : std::fabs(MarkValue(index)) * 100.0 / total;
  std::string text = FormatFloat(percentFormat_, percent, Locale());
  if (withTotal) {
    text = FormatMessage(kMsgPercentOf, text.c_str(), FormatValue(total).c_str());
  }
  return text;
}

std::string TChartSeries::MarkText(int32_t index) {
  const double value = MarkValue(index);
  auto labelOrValue = [&] {
    std::string label = PointLabel(index);
    return label.empty() ? FormatValue(value) : label;
  };
  std::string text;
  switch (marks_->Style()) {
    case TSeriesMarksStyle::smsValue:
      text = FormatValue(value);
      break;
    case TSeriesMarksStyle::smsPercent:
      text = PercentText(index, false);
      break;
    case TSeriesMarksStyle::smsLabel:
      text = labelOrValue();
      break;
    case TSeriesMarksStyle::smsLabelPercent:
      text = labelOrValue() + ' ' + PercentText(index, false);
      break;
    case TSeriesMarksStyle::smsLabelValue:
      text = labelOrValue() + ' ' + FormatValue(value);
      break;
    case TSeriesMarksStyle::smsLegend:
      if (parent_) text = parent_->FormattedLegendValue(*this, index);
      break;
    case TSeriesMarksStyle::smsPercentTotal:
      text = PercentText(index, true);
      break;
    case TSeriesMarksStyle::smsLabelPercentTotal:
      text = labelOrValue() + ' ' + PercentText(index, true);
      break;
    case TSeriesMarksStyle::smsXValue:
      text = resolvedHoriz_ ? resolvedHoriz_->LabelText(XValue(index)) : FormatValue(XValue(index));
      break;
  }
  if (OnGetMarkText) OnGetMarkText(*this, index, text);
  return text;
}

std::string TChartSeries::LegendText(int32_t index, TLegendTextStyle textStyle) const {
  const std::string label = PointLabel(index);
  auto valueText = [&] { return FormatValue(MarkValue(index)); };
  auto percentText = [&] {
    const double total = MandatoryValueList().SumAbs();
    const double percent = total == 0 ? 100.0 : MarkValue(index) * 100.0 / total;
    return FormatFloat(percentFormat_, percent, Locale());
  };
  switch (textStyle) {
    case TLegendTextStyle::ltsPlain:
      return label;
    case TLegendTextStyle::ltsLeftValue:
      return valueText() + ' ' + label;
    case TLegendTextStyle::ltsRightValue:
      return label + ' ' + valueText();
    case TLegendTextStyle::ltsLeftPercent:
      return percentText() + ' ' + label;
    case TLegendTextStyle::ltsRightPercent:
      return label + ' ' + percentText();
    case TLegendTextStyle::ltsXValue:
      return resolvedHoriz_ ? resolvedHoriz_->LabelText(XValue(index)) : FormatValue(XValue(index));
  }
  return label;
}

int32_t TChartSeries::MaxMarkTextWidth(TZidCanvas3D& canvas) {
  int32_t widest = 0;
  for (int32_t i = 0; i < PointCount(); ++i) {
    widest = std::max(widest, textlines::WidestWidth(canvas, MarkText(i)));
  }
  return widest;
}

// ---- legend ------------------------------------------------------------------------------

TColor TChartSeries::LegendBackColor() const {
  if (!parent_) return clWhite;
  const TColor legend = parent_->LegendColor();
  return legend == clDefault ? parent_->Color() : legend;
}

void TChartSeries::DrawLegendItem(int32_t valueIndex, const platform::Rect& rect) {
  if (!parent_) return;
  if (valueIndex == -1 && colorEachPoint_) return;
  const TColor color = valueIndex == -1 ? seriesColor_ : PointColor(valueIndex);
  if (color == clNone) return;
  TColor back = LegendBackColor();
  TBrushStyle style = TBrushStyle::bsSolid;
  PrepareLegendCanvas(valueIndex, back, style);
  SetBrushColours(parent_->Canvas(), color, style, back);
  DrawLegendShape(valueIndex, rect);
}

void TChartSeries::DrawLegendShape(int32_t valueIndex, const platform::Rect& rect) {
  TZidCanvas3D& canvas = parent_->Canvas();
  canvas.DrawRectR(rect);
  const TColor color = valueIndex == -1 ? seriesColor_ : PointColor(valueIndex);
  if (color == LegendBackColor()) {
    // A box in the legend's own colour would vanish: outline it.
    canvas.SetBrushStyle(TBrushStyle::bsClear);
    canvas.SetPenColor(color == clBlack ? clWhite : clBlack);
    canvas.DrawRectR(rect);
    canvas.SetPenColor(clBlack);
  }
}

// ---- z order -----------------------------------------------------------------------------

void TChartSeries::AssignZOrder() {
  if (!parent_) return;
  if (zOrder_ != -1) {
    parent_->SetMaxZOrder(std::max(parent_->MaxZOrder(), zOrder_));
  } else if (parent_->View3D()) {
    if (parent_->MaxZOrder() < INT32_MAX) parent_->SetMaxZOrder(parent_->MaxZOrder() + 1);
    computedZOrder_ = parent_->MaxZOrder();
  } else {
    computedZOrder_ = 0;
  }
}

bool TChartSeries::MoreSameZOrder() const {
  if (!parent_ || !parent_->ApplyZOrder()) return false;
  const int32_t z = EffectiveZOrder();
  for (TChartSeries* s : parent_->SeriesList()) {
    if (s != this && s->Active() && !s->HasZValues() && s->EffectiveZOrder() == z) return true;
  }
  return false;
}

bool TChartSeries::FirstInZOrder() const {
  if (!active_) return false;
  if (!parent_) return true;
  const int32_t z = EffectiveZOrder();
  for (TChartSeries* s : parent_->SeriesList()) {
    if (s == this) break;
    if (s->Active() && s->EffectiveZOrder() == z) return false;
  }
  return true;
}

// ---- drawing -----------------------------------------------------------------------------

void TChartSeries::ComputeVisibleRange() {
  firstValueIndex_ = lastValueIndex_ = -1;
  const int32_t count = PointCount();
  if (count == 0) return;
  const bool yMandatory = YMandatory();
  const TChartValueList& ordered = yMandatory ? XValues() : YValues();
  const TCustomChartAxis* axis = yMandatory ? resolvedHoriz_ : resolvedVert_;
  if (!calcVisiblePoints_ || ordered.Order() == TChartListOrder::loNone || !axis || !parent_) {
    firstValueIndex_ = 0;
    lastValueIndex_ = count - 1;
    return;
  }
  const platform::Rect r = parent_->ChartRect();
  const bool inv = axis->Inverted();
  double lowest, highest;
  if (yMandatory) {
    lowest = axis->PixelToValue(inv ? r.right : r.left);
    highest = axis->PixelToValue(inv ? r.left : r.right);
  } else {
    lowest = axis->PixelToValue(inv ? r.top : r.bottom);
    highest = axis->PixelToValue(inv ? r.bottom : r.top);
  }
  const std::vector<double>& raw = ordered.RawValues();
  const double multiplier = ordered.Multiplier();
  auto value = [&](int32_t i) { return raw[size_t(i)] * multiplier; };

  int32_t first = 0;
  while (first < count && value(first) < lowest) ++first;
  if (first >= count) return;
  int32_t last = count - 1;
  if (value(count - 1) > highest) {
    last = first;
    while (last < count - 1 && value(last) < highest) ++last;
    // Series that connect points keep the point beyond the edge: the segment to it shows.
    if (!drawBetweenPoints_ && value(last) > highest) --last;
  }
  firstValueIndex_ = first;
  lastValueIndex_ = last;
}

void TChartSeries::DoBeforeDrawValues() {
  if (BeforeDrawValues) BeforeDrawValues(*this);
}

void TChartSeries::DoAfterDrawValues() {
  if (AfterDrawValues) AfterDrawValues(*this);
}

void TChartSeries::DrawAllValues() {
  if (firstValueIndex_ < 0) return;
  const int32_t last = std::min(lastValueIndex_, PointCount() - 1);
  if (DrawValuesForward()) {
    for (int32_t i = firstValueIndex_; i <= last; ++i) DrawValue(i);
  } else {
    for (int32_t i = last; i >= firstValueIndex_; --i) DrawValue(i);
  }
}

void TChartSeries::DrawAllMarks() {
  if (!parent_ || firstValueIndex_ < 0) return;
  TZidCanvas3D& canvas = parent_->Canvas();
  TChartFont font = marks_->Font();
  const TView3DOptions& view = parent_->View3DOptions();
  if (parent_->View3D() && !canvas.DrawsTextInDepth() && view.ZoomText()) {
    const int32_t size =
        std::clamp(pixels::RoundToInt(double(font.Size()) * view.Zoom() * 0.01), 1, kMaxFontPixels);
    if (size != font.Size()) font.SetSize(size);
  }
  canvas.SetFont(font);
  const int32_t last = std::min(lastValueIndex_, PointCount() - 1);
  for (int32_t i = firstValueIndex_; i <= last; ++i) {
    if (IsNullPoint(i)) continue;
    const std::string text = MarkText(i);
    if (text.empty()) continue;
    int32_t lines = 0;
    int64_t width = int64_t(textlines::WidestWidth(canvas, text, &lines)) + canvas.TextWidthOf("W");
    int64_t height = int64_t(lines) * canvas.TextLineHeight();
    if (marks_->Frame().Visible()) {
      width += 2 * int64_t(marks_->Frame().Width());
      height += 2 * int64_t(marks_->Frame().Width());
    }
    TSeriesMarkPosition position;
    const platform::Point p{PointXPixel(i), PointYPixel(i)};
    position.ArrowFrom = p;
    position.ArrowTo = p;
    position.Width = pixels::Sat(width);
    position.Height = pixels::Sat(height);
    position.LeftTop = {pixels::Sat(int64_t(p.x) - position.Width / 2),
                        pixels::Sat(int64_t(p.y) - position.Height + 1)};
    DrawMark(i, text, position);
  }
}

void TChartSeries::DrawMark(int32_t index, const std::string& text, TSeriesMarkPosition& position) {
  marks_->DrawMarkBox(index, PointColor(index), position, text);
}

bool TChartSeries::ClickAt(bool doubleClick, platform::MouseButton button,
                           platform::ShiftState shift, int32_t x, int32_t y) {
  const int32_t index = Clicked(x, y);
  if (index < 0) return false;
  const TSeriesClick& handler = doubleClick ? OnDblClick : OnClick;
  if (handler) handler(*this, index, button, shift, x, y);
  return true;
}

// ---- data sources ------------------------------------------------------------------------

TComponent* TChartSeries::DataSource() const {
  return dataSources_.empty() ? nullptr : dataSources_.front();
}

bool TChartSeries::DependsOn(const TChartSeries& other, int32_t depth) const {
  if (depth > 1000) return true;
  for (TComponent* c : dataSources_) {
    if (c == &other) return true;
    if (auto* s = dynamic_cast<TChartSeries*>(c); s && s->DependsOn(other, depth + 1)) return true;
  }
  return false;
}

void TChartSeries::ValidateSource(TComponent* value) const {
  if (!parent_) throw ChartException(kMsgNoParentChart);
  auto* source = dynamic_cast<TChartSeries*>(value);
  if (!source || source == this || !IsValidSeriesSource(*source)) {
    throw ChartException(FormatMessage(kMsgNoValidDataSource, value->Name().c_str()));
  }
  if (source->DependsOn(*this, 0)) throw ChartException(kMsgCircularSeries);
}

void TChartSeries::RemoveLink(TChartSeries& source) {
  std::erase(source.linkedSeries_, this);
}

void TChartSeries::SetDataSource(TComponent* value) {
  if (value && dataSources_.size() == 1 && dataSources_.front() == value) return;
  if (value) ValidateSource(value);
  for (TComponent* c : dataSources_) {
    if (auto* s = dynamic_cast<TChartSeries*>(c)) RemoveLink(*s);
  }
  dataSources_.clear();
  if (value) {
    dataSources_.push_back(value);
    dynamic_cast<TChartSeries&>(*value).linkedSeries_.push_back(this);
    RefreshSeries();
  }
  RequestRepaint();
}

void TChartSeries::AddDataSource(TComponent* value) {
  if (!value || std::find(dataSources_.begin(), dataSources_.end(), value) != dataSources_.end())
    return;
  ValidateSource(value);
  dataSources_.push_back(value);
  dynamic_cast<TChartSeries&>(*value).linkedSeries_.push_back(this);
  RefreshSeries();
  RequestRepaint();
}

void TChartSeries::CheckDataSource() {
  if (!parent_ || dataSources_.empty()) return;
  for (TComponent* c : dataSources_) ValidateSource(c);
  RefreshSeries();
}

void TChartSeries::SetFunction(std::unique_ptr<TZidFunction> value) {
  if (value.get() == function_.get()) return;
  function_ = std::move(value);
  if (function_) function_->SetParentSeries(this);
  CheckDataSource();
  RequestRepaint();
}

void TChartSeries::RefreshSeries() {
  std::vector<TChartSeries*> sources;
  for (TComponent* c : dataSources_) {
    if (auto* s = dynamic_cast<TChartSeries*>(c)) sources.push_back(s);
  }
  if (sources.empty()) return;
  if (function_) {
    ClearPoints();
    XValues().SetDateTime(sources.front()->XValues().DateTime());
    YValues().SetDateTime(sources.front()->YValues().DateTime());
    function_->AddPoints(sources);
  } else {
    ClearPoints();
    for (TChartSeries* s : sources) {
      for (int32_t i = 0; i < s->PointCount(); ++i) AddValueFromSeries(*s, i);
    }
  }
  RequestRepaint();
}

void TChartSeries::AddValues(TChartSeries& source) {
  ClearPoints();
  if (function_) {
    XValues().SetDateTime(source.XValues().DateTime());
    YValues().SetDateTime(source.YValues().DateTime());
    TChartSeries* one[] = {&source};
    function_->AddPoints(one);
  } else {
    for (int32_t i = 0; i < source.PointCount(); ++i) AddValueFromSeries(source, i);
  }
  RequestRepaint();
}

void TChartSeries::AddValueFromSeries(const TChartSeries& source, int32_t index) {
  for (int32_t i = 2; i < ValueListCount() && i < source.ValueListCount(); ++i) {
    ValueList(i).SetPendingValue(source.ValueList(i).ValueAt(index));
  }
  const TColor color =
      size_t(index) < source.colors_.size() ? source.colors_[size_t(index)] : clDefault;
  AddPointXY(source.XValue(index), source.YValue(index), source.PointLabel(index), color);
}

void TChartSeries::NotifyLinked(void (TChartSeries::*reaction)(TChartSeries&, int32_t),
                                int32_t index) {
  if (linkedSeries_.empty()) return;
  // A reaction may add or remove links.
  const std::vector<TChartSeries*> linked = linkedSeries_;
  for (TChartSeries* s : linked) {
    if (std::find(linkedSeries_.begin(), linkedSeries_.end(), s) != linkedSeries_.end()) {
      (s->*reaction)(*this, index);
    }
  }
}

void TChartSeries::SourcePointAdded(TChartSeries& source, int32_t index) {
  if (recalcOnInsert_ && !function_) AddValueFromSeries(source, index);
}

void TChartSeries::SourcePointDeleted(TChartSeries& /*source*/, int32_t index) {
  if (recalcOnDelete_ && !function_ && index >= 0 && index < PointCount()) DeletePoint(index);
}

void TChartSeries::SourceCleared(TChartSeries& /*source*/, int32_t /*index*/) {
  if (recalcOnClear_) ClearPoints();
}

void TChartSeries::SourceModified(TChartSeries& /*source*/, int32_t index) {
  if (index < 0 || recalcOnModify_) RefreshSeries();
}

// ---- value list notifications ------------------------------------------------------------

void TChartSeries::ValueListChanged(TChartValueList& /*list*/) {
  RequestRepaint();
}

void TChartSeries::ValueListModified(TChartValueList& /*list*/, int32_t index) {
  NotifyLinked(&TChartSeries::SourceModified, index);
}

void TChartSeries::ValueListSourceChanged(TChartValueList& /*list*/) {
  CheckDataSource();
}

void TChartSeries::ValueListReordered(TChartValueList& sorted, std::span<const int32_t> order) {
  for (auto& list : valueLists_) {
    if (list.get() != &sorted) list->ApplyOrder(order);
  }
  ReorderParallel(colors_, order, clDefault);
  if (!labels_.empty()) ReorderParallel(labels_, order, std::string());
  marks_->ReorderPositions(std::vector<int32_t>(order.begin(), order.end()));
  RequestRepaint();
}

}  // namespace zq
