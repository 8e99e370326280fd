// TFastLineSeries: a line for many points, drawn as one polyline without pointers, ribbons or
// per-point colours, leaving out points that fall on the pixel of the one before.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/drawing/color.h"
#include "engine/drawing/pens.h"
#include "engine/series/series.h"
#include "platform/geometry.h"

namespace zq {

class TFastLineSeries : public TChartSeries {
 public:
  TFastLineSeries();
  ~TFastLineSeries() override;

  // The pen's colour is the series colour and the other way round.
  TChartPen& LinePen() { return linePen_; }
  const TChartPen& LinePen() const { return linePen_; }
  void SetLinePen(const TChartPen& value);
  void SetSeriesColor(TColor value) override;
  void SetParentChart(TChartHost* chart) override;
  // Off: a new point draws its segment at once onto the window instead of repainting.
  bool AutoRepaint() const { return autoRepaint_; }
  void SetAutoRepaint(bool value) { autoRepaint_ = value; }

  void DrawAllValues() override;
  // One segment, from the point before (the group drawing of series that share a depth).
  void DrawValue(int32_t index) override;
  int32_t Clicked(int32_t x, int32_t y) override;

 protected:
  void NotifyNewValue(int32_t index) override;
  void DrawLegendShape(int32_t valueIndex, const platform::Rect& rect) override;

 private:
  void PrepareCanvas();
  // The screen position of a point: projected at the middle depth in 3D.
  platform::Point ScreenPoint(int32_t index);

  TChartPen linePen_;
  bool autoRepaint_ = true;
  std::vector<platform::Point> points_;
};

}  // namespace zq
