#include "support/legend_fixture.h"

namespace zq::testing {

TLegendTestChart::TLegendTestChart() {
  RecalcWidthHeight();
  recalcs = 0;
}

void TLegendTestChart::SetRect(const platform::Rect& rect) {
  chartRect = rect;
  RecalcWidthHeight();
  recalcs = 0;
}

void TLegendTestChart::RecalcWidthHeight() {
  ++recalcs;
  width_ = chartRect.right - chartRect.left;
  height_ = chartRect.bottom - chartRect.top;
  xCenter_ = (chartRect.left + chartRect.right) / 2;
}

}  // namespace zq::testing
