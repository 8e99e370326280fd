// Reading back what was drawn on a Cairo surface, for pixel-exact tests.
#pragma once

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "platform/cairo/cairo_surface.h"

namespace zq::testing {

constexpr platform::Rgb kWhite = 0xFFFFFF;
constexpr platform::Rgb kBlack = 0x000000;
constexpr platform::Rgb kRed = 0x0000FF;
constexpr platform::Rgb kGreen = 0x00FF00;
constexpr platform::Rgb kBlue = 0xFF0000;
constexpr platform::Rgb kYellow = 0x00FFFF;

// Row y from x0 to x1-1 as text: '.' for the background colour, '#' for anything else.
inline std::string RowText(const platform::CairoSurface& s, int y, int x0, int x1,
                           platform::Rgb background = kWhite) {
  std::string out;
  for (int x = x0; x < x1; ++x) out += s.GetPixel(x, y) == background ? '.' : '#';
  return out;
}

inline std::string ColumnText(const platform::CairoSurface& s, int x, int y0, int y1,
                              platform::Rgb background = kWhite) {
  std::string out;
  for (int y = y0; y < y1; ++y) out += s.GetPixel(x, y) == background ? '.' : '#';
  return out;
}

// Lengths of the alternating runs of a row text, starting with the first character's run.
inline std::vector<int> Runs(const std::string& text) {
  std::vector<int> out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == 0 || text[i] != text[i - 1])
      out.push_back(1);
    else
      ++out.back();
  }
  return out;
}

// Bounding box of the pixels that are not the background colour (empty when there are none).
inline platform::Rect InkBox(const platform::CairoSurface& s, platform::Rgb background = kWhite) {
  platform::Rect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (s.GetPixel(x, y) != background) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  if (r.left > r.right) return {};
  return r;
}

inline int CountColor(const platform::CairoSurface& s, platform::Rgb color) {
  int n = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) n += s.GetPixel(x, y) == color;
  return n;
}

}  // namespace zq::testing
