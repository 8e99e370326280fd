// Whole-chart paints of a fast line of 10^6 points, flat and in 3D, in the chart window's size
// (483 x 293) and in full HD (1920 x 1080): one window paint of a dirty chart per iteration,
// the same data as the line chart benchmarks.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/chart/chart.h"
#include "engine/series/fast_line_series.h"
#include "platform/surface.h"

namespace {

using namespace zq;

void PaintFastLine(benchmark::State& state, bool view3D) {
  const int64_t points = state.range(0);
  const auto width = int32_t(state.range(1));
  const auto height = int32_t(state.range(2));
  TChart chart;
  chart.SetSize(width, height);
  chart.SetBevelWidth(0);
  chart.SetColor(clWhite);
  chart.SetView3D(view3D);
  chart.View3DOptions().SetOrthogonal(false);
  chart.Legend().SetLegendStyle(TLegendStyle::lsSeries);
  TFastLineSeries& series = chart.AddSeries<TFastLineSeries>();
  series.SetSeriesColor(clRed);
  series.XValues().Reserve(int32_t(points));
  series.YValues().Reserve(int32_t(points));
  for (int64_t i = 0; i < points; ++i) {
    const double x = double(i);
    series.AddPointXY(x, 50 + 40 * std::sin(x * 0.01) + 5 * std::sin(x * 0.37));
  }
  std::unique_ptr<platform::Surface> window = platform::CreateMemorySurface(width, height);
  for (auto _ : state) {
    chart.Canvas().MarkDirty();
    chart.Paint(*window, chart.ClientRect());
  }
  state.SetItemsProcessed(state.iterations() * points);
}

void BM_FastLine2D(benchmark::State& state) {
  PaintFastLine(state, false);
}

void BM_FastLine3D(benchmark::State& state) {
  PaintFastLine(state, true);
}

BENCHMARK(BM_FastLine2D)
    ->Args({1000000, 483, 293})
    ->Args({1000000, 1920, 1080})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_FastLine3D)
    ->Args({1000, 1920, 1080})
    ->Args({1000000, 483, 293})
    ->Args({1000000, 1920, 1080})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
