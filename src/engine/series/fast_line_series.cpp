#include "engine/series/fast_line_series.h"

#include <algorithm>
#include <cmath>

#include "engine/drawing/canvas3d.h"
#include "engine/drawing/pixel_math.h"

namespace zq {

namespace {

using pixels::SegmentDistance;
using platform::Point;
using platform::Rect;

// The points of one pixel column met one after another, and when (in the order met) the
// lowest and the highest were reached.
struct TColumnRun {
  bool open = false;
  int32_t x = 0;
  int32_t firstY = 0, minY = 0, maxY = 0, lastY = 0;
  int64_t count = 0, minAt = 0, maxAt = 0;
};

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
  // A solid line through many points of one pixel column covers that column from its lowest
  // to its highest point whatever the order: the run's first, extreme and last points draw
  // the same pixels. Dashes run along the whole path, so they keep every point.
  const bool collapse = canvas.Pen().style == platform::PenStyle::Solid;
  if (!collapse) points_.reserve(size_t(last - first) + 2);
  TColumnRun run;
  const auto push = [&](Point p) {
    if (points_.empty() || points_.back() != p) points_.push_back(p);
  };
  const auto endRun = [&] {
    if (!run.open) return;
    run.open = false;
    const Point top{run.x, run.minY}, bottom{run.x, run.maxY};
    push({run.x, run.firstY});
    if (run.minAt <= run.maxAt) {
      push(top);
      push(bottom);
    } else {
      push(bottom);
      push(top);
    }
    push({run.x, run.lastY});
  };
  const auto flush = [&] {
    endRun();
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
    if (!collapse) {
      push(p);
      continue;
    }
    if (run.open && run.x == p.x) {
      run.lastY = p.y;
      ++run.count;
      if (p.y < run.minY) {
        run.minY = p.y;
        run.minAt = run.count;
      } else if (p.y > run.maxY) {
        run.maxY = p.y;
        run.maxAt = run.count;
      }
      continue;
    }
    endRun();
    run = {true, p.x, p.y, p.y, p.y, p.y, 0, 0, 0};
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
