// Charts of generated series that put many points on each pixel: random walks from one to ten
// thousand points a column, noise, spikes, steps, null and coloured points, unsorted and
// repeated X, values beyond the axes and beyond the pixel limits, zoomed, inverted and
// logarithmic axes, 3D ribbons turned and oblique, hatched, darkened and without outline. Each is drawn twice, with every segment and the usual way, and
// the pictures must not differ in a single pixel on any backend.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/image.h"
#include "platform/surface.h"

namespace zq {
class TChart;
}

namespace zq::test {

struct LineReductionCase {
  std::string name;
  int32_t width;
  int32_t height;
  void (*build)(TChart& chart);
  // Small enough for a recording of every call.
  bool recordable = true;
};

const std::vector<LineReductionCase>& LineReductionCases();

// The case's chart painted once, straight onto `surface` (of the case's size), with every
// segment drawn or not.
void DrawLineReductionCase(const LineReductionCase& c, bool everySegment,
                           platform::Surface& surface);

// How many pixels of two pictures of one size differ (all of them when the sizes differ).
int64_t DifferingPixels(const platform::Image& a, const platform::Image& b);

}  // namespace zq::test
