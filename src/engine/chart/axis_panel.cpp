#include "engine/chart/axis_panel.h"

#include <algorithm>
#include <cmath>

#include "engine/axes/axis_draw.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/pixel_math.h"

namespace zq {

namespace {

bool IsEmpty(const Rect& r) {
  return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

TCustomAxisPanel::TCustomAxisPanel()
    : bottomAxis_(this, true, false),
      topAxis_(this, true, true),
      leftAxis_(this, false, false),
      rightAxis_(this, false, true),
      depthAxis_(this),
      axes_{&bottomAxis_, &topAxis_, &leftAxis_, &rightAxis_, &depthAxis_},
      locale_(platform::SystemLocale()) {}

TCustomAxisPanel::~TCustomAxisPanel() {
  FreeAllSeries();
}

void TCustomAxisPanel::FreeAllSeries() {
  destroying_ = true;
  // Each series leaves the list on its way out; series the chart does not own only leave.
  while (seriesList_.Count() > 0) {
    TChartSeries& first = seriesList_[0];
    if (OwnsSeries(first)) {
      std::erase_if(ownedSeries_, [&](const auto& p) { return p.get() == &first; });
    } else {
      first.SetParentChart(nullptr);
    }
  }
  ownedSeries_.clear();
}

// ---- series --------------------------------------------------------------------------------

TChartSeries& TCustomAxisPanel::AddSeries(std::unique_ptr<TChartSeries> series) {
  TChartSeries& ref = *series;
  if (!OwnsSeries(ref)) ownedSeries_.push_back(std::move(series));
  ref.SetParentChart(this);
  return ref;
}

void TCustomAxisPanel::FreeSeries(TChartSeries& series) {
  if (OwnsSeries(series)) {
    // Moved out first: the series' destructor may look at the chart's lists.
    std::unique_ptr<TChartSeries> doomed;
    for (auto& p : ownedSeries_) {
      if (p.get() == &series) doomed = std::move(p);
    }
    std::erase(ownedSeries_, nullptr);
    doomed.reset();
  } else if (series.ParentChart() == this) {
    series.SetParentChart(nullptr);
  }
}

bool TCustomAxisPanel::OwnsSeries(const TChartSeries& series) const {
  return std::any_of(ownedSeries_.begin(), ownedSeries_.end(),
                     [&](const auto& p) { return p.get() == &series; });
}

void TCustomAxisPanel::SeriesAdded(TChartSeries& /*series*/) {}

void TCustomAxisPanel::SeriesRemoved(TChartSeries& series) {
  if (cursorSeries_ == &series) {
    cursorSeries_ = nullptr;
    SetCursor(SavedCursor());
  }
}

void TCustomAxisPanel::SetCircledView(bool circled) {
  SetAxisVisible(!circled);
  SetClipPoints(!circled);
  SetView3DWalls(!circled);
  SetAllowZoom(!circled);
  SetAllowPanning(circled ? TPanningMode::pmNone : TPanningMode::pmBoth);
  // Circles are seen from above and in front, either way.
  TView3DOptions& view = View3DOptions();
  view.SetOrthogonal(false);
  view.SetRotation(360);
  view.SetElevation(315);
  view.SetPerspective(0);
  view.SetTilt(0);
}

TChartSeries* TCustomAxisPanel::GetAxisSeries(const TCustomChartAxis& axis) const {
  TChartSeries* any = nullptr;
  for (TChartSeries* s : seriesList_) {
    if (!s->IsAssociatedToAxis(axis)) continue;
    if (s->Active()) return s;
    if (!any) any = s;
  }
  return any;
}

int32_t TCustomAxisPanel::GetMaxValuesCount() const {
  int32_t most = 0;
  for (TChartSeries* s : seriesList_) {
    if (s->Active()) most = std::max(most, s->PointCount());
  }
  return most;
}

TChartSeries* TCustomAxisPanel::SeriesLegend(int32_t index) const {
  int32_t n = 0;
  for (TChartSeries* s : seriesList_) {
    if (!s->Active() || !s->ShowInLegend()) continue;
    if (n == index) return s;
    ++n;
  }
  return nullptr;
}

std::string TCustomAxisPanel::SeriesTitleLegend(int32_t index) const {
  const TChartSeries* s = SeriesLegend(index);
  return s ? SeriesLegendTitle(*s, index) : std::string();
}

int32_t TCustomAxisPanel::MaxTextWidth() {
  return seriesList_.MaxLabelsWidth(Canvas());
}

int32_t TCustomAxisPanel::MaxMarkWidth() {
  return seriesList_.MaxMarkWidth(Canvas());
}

bool TCustomAxisPanel::IsValidDataSource(const TChartSeries& series,
                                         const TComponent& component) const {
  const auto* source = dynamic_cast<const TChartSeries*>(&component);
  return source != nullptr && source != &series && series.IsValidSeriesSource(*source);
}

void TCustomAxisPanel::SetLocale(const platform::LocaleSettings& value) {
  locale_ = value;
  RequestRepaint();
}

void TCustomAxisPanel::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  if (OnCursorChange) OnCursorChange(value);
}

// ---- paging --------------------------------------------------------------------------------

int32_t TCustomAxisPanel::NumPages() const {
  if (maxPointsPerPage_ <= 0 || seriesList_.Count() == 0) return 1;
  const TChartSeries& first = seriesList_[0];
  // The axes that carry the first series' ordered coordinate.
  const TCustomChartAxis* pair[2];
  if (first.YMandatory()) {
    pair[0] = &bottomAxis_;
    pair[1] = &topAxis_;
  } else {
    pair[0] = &leftAxis_;
    pair[1] = &rightAxis_;
  }
  int64_t pages = 1;
  for (const TCustomChartAxis* axis : pair) {
    int64_t most = 0;
    for (TChartSeries* s : seriesList_) {
      if (s->Active() && s->IsAssociatedToAxis(*axis))
        most = std::max<int64_t>(most, s->PointCount());
    }
    const int64_t count = most == 0 ? 1 : (most + maxPointsPerPage_ - 1) / maxPointsPerPage_;
    pages = std::max(pages, count);
  }
  return pixels::Sat(pages);
}

void TCustomAxisPanel::SetPage(int32_t value) {
  value = std::clamp(value, 1, std::max(1, NumPages()));
  if (value == page_) return;
  page_ = value;
  RequestRepaint();
  if (OnPageChange) OnPageChange();
}

void TCustomAxisPanel::SetMaxPointsPerPage(int32_t value) {
  if (value < 0) throw ChartException(kMsgMaxPointsPerPage);
  if (value == maxPointsPerPage_) return;
  maxPointsPerPage_ = value;
  RequestRepaint();
  if (page_ > NumPages()) SetPage(NumPages());
}

// ---- z order and 3D sizes ------------------------------------------------------------------

void TCustomAxisPanel::CalcZOrders() {
  maxZOrder_ = 0;
  const bool apply = ApplyZOrder() && View3D();
  if (apply) {
    maxZOrder_ = -1;
    for (TChartSeries* s : seriesList_) {
      if (s->Active()) s->AssignZOrder();
    }
  }
  for (TChartSeries* s : seriesList_) {
    if (!s->Active()) continue;
    s->SetComputedZOrder(apply ? pixels::Sat(int64_t(maxZOrder_) - s->EffectiveZOrder()) : 0);
  }
}

void TCustomAxisPanel::CalcSize3D() {
  if (!View3D()) {
    seriesWidth3D_ = seriesHeight3D_ = 0;
    SetWidth3D(0);
    SetHeight3D(0);
    return;
  }
  double p = Chart3DPercent() * 0.001;
  if (!View3DOptions().Orthogonal()) p *= 2;
  seriesWidth3D_ = pixels::RoundToInt(ChartWidth() * p);
  seriesHeight3D_ = seriesWidth3D_;
  const int64_t slots = ApplyZOrder() ? std::max<int64_t>(1, int64_t(maxZOrder_) + 1) : 1;
  SetWidth3D(pixels::Sat(slots * seriesWidth3D_));
  SetHeight3D(pixels::Sat(slots * seriesHeight3D_));
}

void TCustomAxisPanel::SetSeriesDepths() {
  for (TChartSeries* s : seriesList_) {
    if (!s->Active()) continue;
    const int64_t front = int64_t(seriesWidth3D_) * s->ComputedZOrder();
    s->SetDepthRange(pixels::Sat(front), pixels::Sat(front + seriesWidth3D_));
  }
}

// ---- layout helpers --------------------------------------------------------------------------

void TCustomAxisPanel::ComputeAxesRanges() {
  for (TCustomChartAxis* axis : axes_) axis->ComputeRange();
}

void TCustomAxisPanel::ComputeAxesPositions() {
  for (TCustomChartAxis* axis : axes_) axis->ComputeAxisPositions();
}

void TCustomAxisPanel::ReserveAxesSpace(Rect& rect) {
  for (TCustomChartAxis* axis : axes_) {
    if (!axis->IsVisibleInChart()) continue;
    Rect shrunk = rect;
    axis->ReserveSpace(shrunk);
    if (!IsEmpty(shrunk)) rect = shrunk;
  }
}

void TCustomAxisPanel::AdjustAxisForMargins(TCustomChartAxis& axis) {
  int32_t low = 0, high = 0;
  for (TChartSeries* s : seriesList_) {
    if (!s->Active() || !s->IsAssociatedToAxis(axis)) continue;
    int32_t a = 0, b = 0;
    if (axis.Horizontal()) {
      s->HorizMargins(a, b);
    } else {
      s->VertMargins(a, b);
    }
    low = std::max(low, a);
    high = std::max(high, b);
  }
  // Horizontal: low is the left (minimum) side; vertical: low is the top (maximum) side.
  if (axis.Horizontal()) {
    if (!axis.AutomaticMinimum()) low = 0;
    if (!axis.AutomaticMaximum()) high = 0;
  } else {
    if (!axis.AutomaticMaximum()) low = 0;
    if (!axis.AutomaticMinimum()) high = 0;
  }
  if (low != 0 || high != 0) axis.AdjustRangeForMargins(low, high);
}

void TCustomAxisPanel::AdjustAxesForSeriesMargins() {
  AdjustAxisForMargins(topAxis_);
  AdjustAxisForMargins(leftAxis_);
  AdjustAxisForMargins(rightAxis_);
  AdjustAxisForMargins(bottomAxis_);
}

// ---- the paint body ------------------------------------------------------------------------

void TCustomAxisPanel::DrawChartContent(const Rect& bounds) {
  PaintPanelBackground(bounds);
  for (TChartSeries* s : seriesList_) {
    if (s->Active()) s->DoBeforeDrawChart();
  }
  PaintTitlesAndLegend();
  CalcZOrders();
  ReserveAxisRoom();
  SetSeriesDepths();
  ApplySeriesMargins();
  Canvas().SetProjectionCentre(Width3D(), ChartBounds(), ChartRect());
  PaintWalls();
  if (axisVisible_) {
    if (OnBeforeDrawAxes) OnBeforeDrawAxes(*this);
    for (TCustomChartAxis* axis : axes_) {
      if (axis->IsVisibleInChart()) PaintAxis(*axis);
    }
  }
  if (OnBeforeDrawSeries) OnBeforeDrawSeries(*this);
  // A series may leave the list from one of its hooks: walk a copy.
  const std::vector<TChartSeries*> series(seriesList_.begin(), seriesList_.end());
  for (TChartSeries* s : series) {
    if (s->Active() && seriesList_.Contains(*s)) DrawSeries(*s);
  }
  if (Zoom().Active) DrawZoomRectangle();
  Canvas().ResetDrawingState();
  if (OnAfterDraw) OnAfterDraw();
}

void TCustomAxisPanel::PaintAxis(TCustomChartAxis& axis) {
  DrawAxis(axis, *this, Printing());
}

void TCustomAxisPanel::ClipSeries() {
  Canvas().ClipBox(ChartRect(), 0, Width3D());
}

void TCustomAxisPanel::DrawSeries(TChartSeries& series) {
  if (!View3D() || !series.MoreSameZOrder()) {
    DrawOneSeries(series);
  } else if (series.FirstInZOrder()) {
    DrawSeriesGroup(series);
  }
}

void TCustomAxisPanel::DrawOneSeries(TChartSeries& series) {
  series.ComputeVisibleRange();
  if (series.FirstValueIndex() == -1) return;
  series.DoBeforeDrawValues();
  const bool clip = clipPoints_ && ClippingAllowed();
  if (clip) ClipSeries();
  series.DrawAllValues();
  if (clip) Canvas().RemoveClip();
  if (series.Marks().Visible()) {
    const bool clipMarks = series.Marks().Clip() && ClippingAllowed();
    if (clipMarks) ClipSeries();
    series.DrawAllMarks();
    if (clipMarks) Canvas().RemoveClip();
  }
  series.DoAfterDrawValues();
}

void TCustomAxisPanel::DrawSeriesGroup(TChartSeries& first) {
  const int32_t z = first.EffectiveZOrder();
  std::vector<TChartSeries*> group;
  bool inGroup = false;
  for (TChartSeries* s : seriesList_) {
    if (s == &first) inGroup = true;
    if (inGroup && s->Active() && s->EffectiveZOrder() == z) group.push_back(s);
  }
  int32_t from = INT32_MAX, to = -1;
  std::vector<TChartSeries*> visible;
  for (TChartSeries* s : group) {
    s->ComputeVisibleRange();
    if (s->FirstValueIndex() == -1) continue;
    visible.push_back(s);
    from = std::min(from, s->FirstValueIndex());
    to = std::max(to, std::min(s->LastValueIndex(), s->PointCount() - 1));
  }
  if (visible.empty()) return;
  for (TChartSeries* s : visible) s->DoBeforeDrawValues();
  const bool clip = clipPoints_ && ClippingAllowed();
  if (clip) ClipSeries();
  const auto drawIndex = [&](int32_t index) {
    const auto drawOne = [&](TChartSeries* s) {
      if (index >= s->FirstValueIndex() && index <= s->LastValueIndex() &&
          index < s->PointCount()) {
        s->DrawValue(index);
      }
    };
    if (first.DrawSeriesForward(index)) {
      for (TChartSeries* s : visible) drawOne(s);
    } else {
      for (auto it = visible.rbegin(); it != visible.rend(); ++it) drawOne(*it);
    }
  };
  if (first.DrawValuesForward()) {
    for (int32_t i = from; i <= to; ++i) drawIndex(i);
  } else {
    for (int32_t i = to; i >= from; --i) drawIndex(i);
  }
  if (clip) Canvas().RemoveClip();
  for (TChartSeries* s : visible) {
    if (s->Marks().Visible()) {
      const bool clipMarks = s->Marks().Clip() && ClippingAllowed();
      if (clipMarks) ClipSeries();
      s->DrawAllMarks();
      if (clipMarks) Canvas().RemoveClip();
    }
    s->DoAfterDrawValues();
  }
}

void TCustomAxisPanel::Assign(const TCustomZidPanel& source) {
  if (&source == this) return;
  if (const auto* s = dynamic_cast<const TCustomAxisPanel*>(&source)) {
    axisVisible_ = s->axisVisible_;
    clipPoints_ = s->clipPoints_;
    view3DWalls_ = s->view3DWalls_;
    maxPointsPerPage_ = s->maxPointsPerPage_;
    page_ = s->page_;
    scaleLastPage_ = s->scaleLastPage_;
    bottomAxis_.Assign(s->bottomAxis_);
    topAxis_.Assign(s->topAxis_);
    leftAxis_.Assign(s->leftAxis_);
    rightAxis_.Assign(s->rightAxis_);
    depthAxis_.Assign(s->depthAxis_);
  }
  TCustomZidPanelExtended::Assign(source);
}

}  // namespace zq
