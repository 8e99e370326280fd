#include "support/chart_fixture.h"

#include <algorithm>

namespace zq::testing {

TTestChart::TTestChart() : locale(platform::LocaleByName("en-US")) {
  canvas_.ChangeUseBuffer(false);
  canvas_.SetSurface(&surface_);
}

TTestChart::~TTestChart() {
  destroying = true;
  // The chart frees its series first, each leaving the list on its way out.
  owned_.clear();
}

void TTestChart::Destroy(TChartSeries& series) {
  std::erase_if(owned_, [&](const std::unique_ptr<TChartSeries>& p) { return p.get() == &series; });
}

int32_t TTestChart::AxisWallSize(const TCustomChartAxis& axis) const {
  if (&axis == &left_) return leftWallSize;
  if (&axis == &bottom_) return bottomWallSize;
  return 0;
}

std::string TTestChart::FormattedLegendValue(TChartSeries& series, int32_t valueIndex) {
  std::string text = series.LegendText(valueIndex, TLegendTextStyle::ltsLeftValue);
  std::replace(text.begin(), text.end(), kLineSeparator, ' ');
  return text;
}

void TTestChart::PrepareAxes() {
  TCustomChartAxis* axes[] = {&bottom_, &top_, &left_, &right_, &depth_};
  for (TCustomChartAxis* axis : axes) {
    axis->ComputeRange();
    axis->ComputeAxisPositions();
  }
}

void TTestChart::AssignZOrders() {
  maxZOrder = 0;
  const bool apply = applyZOrder && view3D;
  if (apply) {
    maxZOrder = -1;
    for (TChartSeries* s : list_) {
      if (s->Active()) s->AssignZOrder();
    }
  }
  for (TChartSeries* s : list_) {
    if (s->Active()) s->SetComputedZOrder(apply ? maxZOrder - s->EffectiveZOrder() : 0);
  }
}

}  // namespace zq::testing
