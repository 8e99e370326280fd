// A test chart that owns a legend: TTestChart behind the legend's owner interface, with the
// chart bounds, the cached chart sizes and the three legend events settable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/chart/legend.h"
#include "support/chart_fixture.h"

namespace zq::testing {

class TLegendTestChart : public TTestChart, public TLegendOwner {
 public:
  // Bounds 0,0-500,350 and the chart rectangle 50,20-450,320 of TTestChart.
  TLegendTestChart();

  TChartLegend& Legend() { return legend_; }
  // Sets the chart rectangle and recalculates the derived sizes, as a paint does.
  void SetRect(const platform::Rect& rect);

  platform::Rect bounds{0, 0, 500, 350};
  int32_t recalcs = 0;
  std::function<void(TLegendStyle, int32_t, std::string&)> onGetLegendText;
  std::function<void(platform::Rect&)> onGetLegendRect;
  std::function<void(int32_t, int32_t&, int32_t&, int32_t&)> onGetLegendPos;

  // ---- shared by TChartHost and TLegendOwner ----
  TChartSeriesList& SeriesList() override { return TTestChart::SeriesList(); }
  TZidCanvas3D& Canvas() override { return TTestChart::Canvas(); }
  const platform::Rect& ChartRect() const override { return TTestChart::ChartRect(); }
  void RequestRepaint() override { TTestChart::RequestRepaint(); }

  // ---- TLegendOwner ----
  void SetChartRect(const platform::Rect& value) override { chartRect = value; }
  const platform::Rect& ChartBounds() const override { return bounds; }
  int32_t ChartWidth() const override { return width_; }
  int32_t ChartHeight() const override { return height_; }
  int32_t ChartXCenter() const override { return xCenter_; }
  void RecalcWidthHeight() override;
  void SetLegendColor(TColor value) override { legendColor = value; }
  void DoGetLegendText(TLegendStyle style, int32_t index, std::string& text) override {
    if (onGetLegendText) onGetLegendText(style, index, text);
  }
  void DoGetLegendRect(platform::Rect& rect) override {
    if (onGetLegendRect) onGetLegendRect(rect);
  }
  void DoGetLegendPos(int32_t index, int32_t& x, int32_t& y, int32_t& xColor) override {
    if (onGetLegendPos) onGetLegendPos(index, x, y, xColor);
  }

 private:
  int32_t width_ = 0, height_ = 0, xCenter_ = 0;
  TChartLegend legend_{*this};
};

}  // namespace zq::testing
