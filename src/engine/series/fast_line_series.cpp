#include "engine/series/fast_line_series.h"

#include <algorithm>
#include <cmath>

#include "engine/drawing/canvas3d.h"

namespace zq {

namespace {

using platform::Point;
using platform::Rect;

double SegmentDistance(Point a, Point b, double x, double y) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = 0;
  if (len2 > 0) t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.0, 1.0);
  const double px = a.x + t * dx - x, py = a.y + t * dy - y;
  return std::sqrt(px * px + py * py);
}

}  // namespace

TFastLineSeries::TFastLineSeries()
    : linePen_([this] {
        // The pen's colour is the series' colour.
        if (linePen_.Color() != SeriesColor()) TChartSeries::SetSeriesColor(linePen_.Color());
        RequestRepaint();
      }) {
  SetDrawBetweenPoints(true);
  SetAllowSinglePoint(false);
}

TFastLineSeries::~TFastLineSeries() = default;

void TFastLineSeries::SetLinePen(const TChartPen& value) {
  linePen_.Assign(value);
  TChartSeries::SetSeriesColor(linePen_.Color());
}

void TFastLineSeries::SetSeriesColor(TColor value) {
  TChartSeries::SetSeriesColor(value);
  linePen_.SetColor(value);
}

void TFastLineSeries::SetParentChart(TChartHost* chart) {
  TChartSeries::SetParentChart(chart);
  // Joining a chart may have given the series a palette colour.
  if (linePen_.Color() != SeriesColor()) linePen_.SetColor(SeriesColor());
}

void TFastLineSeries::PrepareCanvas() {
  TZidCanvas3D& canvas = ParentChart()->Canvas();
  canvas.SelectChartPen(linePen_);
  canvas.SetBrushStyle(TBrushStyle::bsClear);
}

Point TFastLineSeries::ScreenPoint(int32_t index) {
  const int32_t x = PointXPixel(index), y = PointYPixel(index);
  TChartHost* chart = ParentChart();
  if (chart->View3D()) return chart->Canvas().ProjectXY(x, y, MiddleZ());
  return {x, y};
}

void TFastLineSeries::DrawAllValues() {
  TChartHost* chart = ParentChart();
  const int32_t first = FirstValueIndex();
  if (!chart || first < 0) return;
  const int32_t last = std::min(LastValueIndex(), PointCount() - 1);
  TZidCanvas3D& canvas = chart->Canvas();
  PrepareCanvas();
  points_.clear();
  points_.reserve(size_t(last - first) + 2);
  const auto flush = [&] {
    if (points_.size() >= 2) canvas.DrawPolyline(points_.data(), int32_t(points_.size()) - 1);
    points_.clear();
  };
  // A line that comes in from beyond the edge starts at the point before the first one shown.
  const int32_t from = first > 0 && !IsNullPoint(first - 1) ? first - 1 : first;
  for (int32_t i = from; i <= last; ++i) {
    if (IsNullPoint(i)) {
      flush();
      continue;
    }
    const Point p = ScreenPoint(i);
    if (!points_.empty() && points_.back() == p) continue;
    points_.push_back(p);
  }
  flush();
  // A million points need not stay allocated between paints.
  if (points_.capacity() > 4096) std::vector<Point>().swap(points_);
}

void TFastLineSeries::DrawValue(int32_t index) {
  TChartHost* chart = ParentChart();
  if (!chart || index <= 0 || index >= PointCount()) return;
  if (IsNullPoint(index) || IsNullPoint(index - 1)) return;
  const Point a = ScreenPoint(index - 1), b = ScreenPoint(index);
  if (a == b) return;
  PrepareCanvas();
  chart->Canvas().DrawSegment(a.x, a.y, b.x, b.y);
}

void TFastLineSeries::NotifyNewValue(int32_t index) {
  if (autoRepaint_) {
    TChartSeries::NotifyNewValue(index);
    return;
  }
  SetRepaintSuspended(true);
  TChartSeries::NotifyNewValue(index);
  SetRepaintSuspended(false);
  TChartHost* chart = ParentChart();
  if (!chart || !Active() || !chart->Canvas().Surface()) return;
  TZidCanvas3D& canvas = chart->Canvas();
  // The window now shows more than the back buffer holds.
  canvas.MarkDirty();
  canvas.ClipToRect(chart->ChartRect());
  DrawValue(index);
  canvas.RemoveClip();
}

void TFastLineSeries::DrawLegendShape(int32_t valueIndex, const Rect& rect) {
  TChartHost* chart = ParentChart();
  if (!chart) return;
  TZidCanvas3D& canvas = chart->Canvas();
  canvas.SelectChartPen(linePen_);
  if (valueIndex >= 0) canvas.SetPenColor(PointColor(valueIndex));
  canvas.HorizontalLine(rect.left, rect.right, int32_t((int64_t(rect.top) + rect.bottom) / 2));
}

int32_t TFastLineSeries::Clicked(int32_t x, int32_t y) {
  TChartHost* chart = ParentChart();
  const int32_t first = FirstValueIndex();
  if (!chart || first < 0) return -1;
  const int32_t last = std::min(LastValueIndex(), PointCount() - 1);
  const double reach = std::max(1, linePen_.Width()) / 2.0 + 0.5;
  for (int32_t i = first; i <= last; ++i) {
    if (IsNullPoint(i)) continue;
    const Point p = ScreenPoint(i);
    if (i == first || IsNullPoint(i - 1)) {
      if (p.x == x && p.y == y) return i;
      continue;
    }
    if (SegmentDistance(ScreenPoint(i - 1), p, x, y) <= reach) return i - 1;
  }
  return -1;
}

}  // namespace zq
