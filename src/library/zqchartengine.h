// The chart engine for programs: a chart (TChart) with series of every kind (line, area,
// point, bar, horizontal bar, pie, fast line) and functions, and what it draws as a picture or
// a PNG, SVG or PDF file. Programs build with `pkg-config --cflags --libs zqchartengine` and
// C++20. Everything lives in namespace zq.
#pragma once

#include <string>

#include "engine/chart/chart.h"
#include "engine/data/format.h"
#include "engine/series/bar_series.h"
#include "engine/series/fast_line_series.h"
#include "engine/series/functions.h"
#include "engine/series/line_series.h"
#include "engine/series/pie_series.h"
#include "platform/image.h"
#include "platform/locale.h"

namespace zq {

// What the chart draws at its size (TChart::SetSize), painted on a surface of its own.
platform::Image ChartPicture(TCustomChart& chart);

// Saves a picture; the file's extension chooses the format: .png, .svg or .pdf, in any letter
// case. False when the extension is none of these or the file cannot be written.
bool SavePicture(const platform::Image& picture, const std::string& path);
bool SaveChartPicture(TCustomChart& chart, const std::string& path);

}  // namespace zq
