// The reference charts: whole charts as a chart window draws them (three lines in 3D, 2D and
// orthogonal 3D, stairs, pointer styles, legends, titles, thick walls, logarithmic and
// date-time axes, marks, areas, zoom and pan, bars of every style and grouping, pies). Some
// pictures hold several charts side by side.
// They are built from engine classes and the platform interfaces alone, so every backend can
// draw them and the pictures can be compared with the reference PNGs and with each other.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/image.h"
#include "platform/surface.h"

namespace zq::test {

// Makes the surface a chart of a picture paints on. A chart keeps its surface between paints,
// as a window does (the zoom rectangle is drawn on it).
using ChartSurfaceFactory =
    std::function<std::unique_ptr<platform::Surface>(int32_t width, int32_t height)>;

struct ReferenceChart {
  std::string_view name;  // the picture is chart_<name>
  int32_t width;          // of the whole picture
  int32_t height;
  platform::Image (*draw)(const ChartSurfaceFactory& makeSurface);
};

const std::vector<ReferenceChart>& ReferenceCharts();
const ReferenceChart* FindReferenceChart(std::string_view name);

// The picture of a chart on surfaces of makeSurface, by default the platform's memory surfaces.
// Throws when the chart does not come out as intended (a drag that does not zoom).
platform::Image DrawReferenceChart(const ReferenceChart& chart,
                                   const ChartSurfaceFactory& makeSurface = {});

}  // namespace zq::test
