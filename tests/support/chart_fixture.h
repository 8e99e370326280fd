// A chart for series and axis tests: five axes, a series list and a recording canvas behind
// the TChartHost interface, with every chart setting the series and axes read made settable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/axes/axis.h"
#include "engine/axes/chart_host.h"
#include "engine/drawing/canvas3d.h"
#include "engine/series/series.h"
#include "platform/locale.h"
#include "platform/record/recording_surface.h"

namespace zq::testing {

// The smallest concrete series: it records which points it was asked to draw and lets tests
// choose its margins, its mandatory list and its behaviour flags.
class TTestSeries : public TChartSeries {
 public:
  std::vector<int32_t> drawn;
  int32_t leftMargin = 0, rightMargin = 0, topMargin = 0, bottomMargin = 0;
  int32_t clickedIndex = -1;
  bool xMandatory = false;
  bool backwards = false;

  void DrawValue(int32_t index) override { drawn.push_back(index); }
  bool DrawValuesForward() const override { return !backwards; }
  TChartValueList& MandatoryValueList() override { return xMandatory ? XValues() : YValues(); }
  void HorizMargins(int32_t& left, int32_t& right) override {
    left = leftMargin;
    right = rightMargin;
  }
  void VertMargins(int32_t& top, int32_t& bottom) override {
    top = topMargin;
    bottom = bottomMargin;
  }
  int32_t Clicked(int32_t, int32_t) override { return clickedIndex; }

  using TChartSeries::AddValueList;
  using TChartSeries::SetCalcVisiblePoints;
  using TChartSeries::SetDrawBetweenPoints;
  using TChartSeries::SetHasZValues;
};

// Another kind, for the same-class rules (stacking origins).
class TOtherTestSeries : public TTestSeries {};

class TTestChart : public TChartHost {
 public:
  TTestChart();
  ~TTestChart();

  // Creates a series of kind T owned by the chart and joins it to the chart.
  template <typename T = TTestSeries>
  T& Add() {
    auto series = std::make_unique<T>();
    T& ref = *series;
    owned_.push_back(std::move(series));
    ref.SetParentChart(this);
    return ref;
  }
  // Creates a series owned by the chart but not joined to it.
  template <typename T = TTestSeries>
  T& Create() {
    auto series = std::make_unique<T>();
    T& ref = *series;
    owned_.push_back(std::move(series));
    return ref;
  }
  // Destroys a series owned by the chart.
  void Destroy(TChartSeries& series);

  // What the paint does before drawing axes: ranges and pixel positions of every axis.
  void PrepareAxes();
  // The chart's z-order pass: every active series takes its z order, then the depth slots.
  void AssignZOrders();

  platform::RecordingSurface& Surface() { return surface_; }
  int32_t repaints = 0;

  // ---- settable chart state ----
  platform::Rect chartRect{50, 20, 450, 320};
  int32_t width3D = 0;
  int32_t bottomWallSize = 0, leftWallSize = 0;
  TColor color = clWhite;
  TColor backColor = clSilver;
  TColor legendColor = clDefault;
  bool view3D = false;
  bool axisVisible = true;
  bool applyZOrder = true;
  int32_t maxPointsPerPage = 0;
  int32_t page = 1;
  bool scaleLastPage = true;
  int32_t maxZOrder = 0;
  bool loading = false;
  bool designing = false;
  bool destroying = false;
  TAxisOnGetLabel onGetAxisLabel;
  TAxisOnGetNextLabel onGetNextAxisLabel;
  std::vector<std::string> added, removed;
  platform::LocaleSettings locale;
  TView3DOptions view3DOptions;

  // ---- TChartHost ----
  TChartSeriesList& SeriesList() override { return list_; }
  TCustomChartAxis& LeftAxis() override { return left_; }
  TCustomChartAxis& RightAxis() override { return right_; }
  TCustomChartAxis& TopAxis() override { return top_; }
  TCustomChartAxis& BottomAxis() override { return bottom_; }
  TCustomChartAxis& DepthAxis() override { return depth_; }
  TZidCanvas3D& Canvas() override { return canvas_; }
  const platform::LocaleSettings& Locale() const override { return locale; }
  const platform::Rect& ChartRect() const override { return chartRect; }
  int32_t Width3D() const override { return width3D; }
  int32_t AxisWallSize(const TCustomChartAxis& axis) const override;
  TColor Color() const override { return color; }
  TColor BackColor() const override { return backColor; }
  TColor LegendColor() const override { return legendColor; }
  bool View3D() const override { return view3D; }
  const TView3DOptions& View3DOptions() const override { return view3DOptions; }
  bool AxisVisible() const override { return axisVisible; }
  bool ApplyZOrder() const override { return applyZOrder; }
  int32_t MaxPointsPerPage() const override { return maxPointsPerPage; }
  int32_t Page() const override { return page; }
  bool ScaleLastPage() const override { return scaleLastPage; }
  int32_t MaxZOrder() const override { return maxZOrder; }
  void SetMaxZOrder(int32_t value) override { maxZOrder = value; }
  const TAxisOnGetLabel& OnGetAxisLabel() const override { return onGetAxisLabel; }
  const TAxisOnGetNextLabel& OnGetNextAxisLabel() const override { return onGetNextAxisLabel; }
  std::string FormattedLegendValue(TChartSeries& series, int32_t valueIndex) override;
  void RequestRepaint() override { ++repaints; }
  void SeriesAdded(TChartSeries& series) override { added.push_back(series.Name()); }
  void SeriesRemoved(TChartSeries& series) override { removed.push_back(series.Name()); }
  bool IsLoading() const override { return loading; }
  bool IsDesigning() const override { return designing; }
  bool IsDestroying() const override { return destroying; }

 private:
  platform::RecordingSurface surface_{500, 350};
  TZidCanvas3D canvas_;
  TChartSeriesList list_;
  TChartAxis bottom_{this, true, false};
  TChartAxis top_{this, true, true};
  TChartAxis left_{this, false, false};
  TChartAxis right_{this, false, true};
  TChartDepthAxis depth_{this};
  // Last: the series leave the chart before the axes and the list go.
  std::vector<std::unique_ptr<TChartSeries>> owned_;
};

}  // namespace zq::testing
