// Hit tests shared by the series and the text helpers shared by every chart part that
// writes multi-line text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

namespace zq {

// Multi-line chart texts separate their lines with a carriage return.
inline constexpr char kLineSeparator = '\r';

// True when P lies less than a pixel off the line through A and B and not beyond either end
// by more than `tolerance` pixels along x or y. A segment of zero length is never near.
bool NearSegment(platform::Point p, platform::Point a, platform::Point b, int32_t tolerance = 0);

// Even-odd rule over points[0..lastIndex]; false for a negative lastIndex.
bool InsidePolygon(platform::Point p, const platform::Point* points, int32_t lastIndex);
inline bool InsidePolygon(platform::Point p, const std::vector<platform::Point>& points) {
  return InsidePolygon(p, points.data(), int32_t(points.size()) - 1);
}

// The triangle (x0, yBase), ((x0 + x1) / 2, yTip), (x1, yBase).
bool InsideTriangle(platform::Point p, int32_t x0, int32_t x1, int32_t yBase, int32_t yTip);
// The triangle (xBase, y0), (xTip, (y0 + y1) / 2), (xBase, y1).
bool InsideSideTriangle(platform::Point p, int32_t y0, int32_t y1, int32_t xTip, int32_t xBase);

// The ellipse inscribed in rect; false when a half-axis is 0.
bool InsideEllipse(platform::Point p, const platform::Rect& rect);

// Every `separator` becomes a line separator.
std::string BreakIntoLines(std::string_view text, char separator);

// Line separators, plus one when text follows the last: "" has 0 lines, "a\r" has 1.
int32_t CountTextLines(std::string_view text);

}  // namespace zq
