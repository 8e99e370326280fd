// Whole-chart paints through Cairo: a 2D line chart of 10^3, 10^5 and 10^6 points and a 3D ribbon
// of 10^4 points, in the chart window's size (483 x 293) and in full HD (1920 x 1080). Each
// iteration is one window paint of a dirty chart into its back buffer and onto the window.
#include <benchmark/benchmark.h>

#include <cairo.h>
#include <cmath>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/chart/chart.h"
#include "engine/series/line_series.h"
#include "platform/cairo/cairo_surface.h"
#include "platform/png_file.h"
#include "platform/surface.h"

namespace {

using namespace zq;

// The chart of a chart window, with one line series of n points.
void SetUpChart(TChart& chart, int64_t points, bool view3D, int32_t width, int32_t height,
                TLegendStyle legendStyle) {
  chart.SetSize(width, height);
  chart.SetBevelWidth(0);
  chart.SetColor(clWhite);
  chart.SetMarginTop(3);
  chart.SetMarginBottom(3);
  chart.SetChart3DPercent(20);
  chart.View3DOptions().SetElevation(357);
  chart.View3DOptions().SetPerspective(34);
  chart.View3DOptions().SetRotation(320);
  chart.View3DOptions().SetOrthogonal(false);
  chart.SetView3D(view3D);
  // A single series would list its values in the legend, and measuring a million value texts
  // is the legend's cost, not the line's (BM_ValueLegend shows it).
  chart.Legend().SetLegendStyle(legendStyle);
  TLineSeries& series = chart.AddSeries<TLineSeries>();
  series.SetSeriesColor(clRed);
  series.SetTitle("Values");
  for (int64_t i = 0; i < points; ++i) {
    const double x = double(i);
    series.AddPointXY(x, 50 + 40 * std::sin(x * 0.01) + 5 * std::sin(x * 0.37));
  }
}

void Paint(benchmark::State& state, bool view3D,
           TLegendStyle legendStyle = TLegendStyle::lsSeries) {
  const int64_t points = state.range(0);
  const auto width = int32_t(state.range(1));
  const auto height = int32_t(state.range(2));
  TChart chart;
  SetUpChart(chart, points, view3D, width, height, legendStyle);
  std::unique_ptr<platform::Surface> window = platform::CreateMemorySurface(width, height);
  for (auto _ : state) {
    chart.Canvas().MarkDirty();
    chart.Paint(*window, chart.ClientRect());
  }
  state.SetItemsProcessed(state.iterations() * points);
}

void BM_LineChart2D(benchmark::State& state) {
  Paint(state, false);
}

void BM_Ribbon3D(benchmark::State& state) {
  Paint(state, true);
}

// The default legend of a single series: one item per point.
void BM_ValueLegend(benchmark::State& state) {
  Paint(state, false, TLegendStyle::lsAuto);
}

// The yardstick of a line's paint: one pass over the same values that finds the first, last,
// lowest and highest point of every pixel column, with the pixels of a plain scale.
void BM_ColumnMinMaxPass(benchmark::State& state) {
  const int64_t points = state.range(0);
  const auto width = int32_t(state.range(1));
  const auto height = int32_t(state.range(2));
  std::vector<double> xs(static_cast<size_t>(points)), ys(static_cast<size_t>(points));
  for (int64_t i = 0; i < points; ++i) {
    xs[size_t(i)] = double(i);
    ys[size_t(i)] = 50 + 40 * std::sin(double(i) * 0.01) + 5 * std::sin(double(i) * 0.37);
  }
  struct Column {
    int32_t first, last, low, high;
  };
  std::vector<Column> columns(static_cast<size_t>(width));
  const double xScale = double(width - 1) / double(points - 1), yScale = double(height) / 100.0;
  for (auto _ : state) {
    int32_t current = -1;
    for (size_t i = 0; i < xs.size(); ++i) {
      const auto x = int32_t(xs[i] * xScale + 0.5);
      const auto y = int32_t(ys[i] * yScale + 0.5);
      Column& c = columns[size_t(x)];
      if (x != current) {
        c = {y, y, y, y};
        current = x;
      } else {
        c.last = y;
        c.low = std::min(c.low, y);
        c.high = std::max(c.high, y);
      }
    }
    benchmark::DoNotOptimize(columns.data());
  }
  state.SetItemsProcessed(state.iterations() * points);
}

// Saving a typical chart of 1920 x 1080 (two lines of a hundred points, 2D or 3D) as PNG: the
// hosts' writer, and Cairo's (libpng at zlib's default level) for the size it gives.
platform::Image TypicalChart(bool view3D) {
  TChart chart;
  SetUpChart(chart, 0, view3D, 1920, 1080, TLegendStyle::lsSeries);
  TLineSeries& second = chart.AddSeries<TLineSeries>();
  for (int i = 0; i < 100; ++i) {
    chart.Series(0).AddPointXY(i, 50 + 30 * std::sin(i * 0.1));
    second.AddPointXY(i, 40 + 20 * std::cos(i * 0.07));
  }
  std::unique_ptr<platform::Surface> window = platform::CreateMemorySurface(1920, 1080);
  chart.Paint(*window, chart.ClientRect());
  return window->Snapshot();
}

void SavePng(benchmark::State& state, bool cairo) {
  const platform::Image image = TypicalChart(state.range(0) != 0);
  size_t bytes = 0;
  for (auto _ : state) {
    if (cairo) {
      platform::CairoSurface surface(image.width, image.height);
      surface.DrawImage(image, 0, 0);
      const std::string path = "/tmp/zq_bench_cairo.png";
      cairo_surface_write_to_png(surface.CairoHandle(), path.c_str());
      bytes = std::filesystem::file_size(path);
    } else {
      bytes = platform::EncodePng(image).size();
    }
  }
  state.counters["bytes"] = double(bytes);
}
void BM_SavePng(benchmark::State& state) {
  SavePng(state, false);
}
void BM_SavePngCairo(benchmark::State& state) {
  SavePng(state, true);
}
BENCHMARK(BM_SavePng)->Arg(0)->Arg(1)->ArgName("view3D")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePngCairo)->Arg(0)->Arg(1)->ArgName("view3D")->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ColumnMinMaxPass)
    ->Args({1000000, 483, 293})
    ->Args({1000000, 1920, 1080})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LineChart2D)
    ->ArgsProduct({{0, 1000, 100000, 1000000}, {483}, {293}})
    ->ArgsProduct({{0, 1000, 100000, 1000000}, {1920}, {1080}})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ValueLegend)
    ->Args({1000, 483, 293})
    ->Args({100000, 483, 293})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_Ribbon3D)
    ->Args({10000, 483, 293})
    ->Args({10000, 1920, 1080})
    ->Args({1000000, 483, 293})
    ->Args({1000000, 1920, 1080})
    ->ArgNames({"points", "width", "height"})
    ->Unit(benchmark::kMillisecond);

}  // namespace
