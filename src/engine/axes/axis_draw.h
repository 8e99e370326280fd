// Drawing one axis of a chart: title, labels, axis line, ticks, grid, inner ticks, minor ticks
// and minor grid, through the canvas' 3D operations so that 2D (depth 0, identity projection)
// and 3D share one code path.
#pragma once

#include <cstdint>
#include <string_view>

namespace zq {

class TChartHost;
class TCustomChartAxis;

// At most this many tick positions are kept per drawing of an axis.
inline constexpr int32_t kMaxAxisTicks = 2000;

// Draws the axis with the layout of the current paint (chart rectangle, the axis' pixel
// positions and its reserved label and title positions). While printing, white texts are drawn
// black.
void DrawAxis(TCustomChartAxis& axis, TChartHost& chart, bool printing = false);

// Draws a (multi-line) text block of the axis at (x, y) turned by angle, placed and aligned for
// the axis' side as its labels and title are: (x, y) is the value's pixel along the axis and the
// labels (or title) position across it. Uses the canvas' current font; top and right axes draw
// at the back of a 3D chart. Leaves the text alignment left/top.
void DrawAxisTextBlock(TCustomChartAxis& axis, TChartHost& chart, int32_t x, int32_t y,
                       int32_t angle, std::string_view text);

}  // namespace zq
