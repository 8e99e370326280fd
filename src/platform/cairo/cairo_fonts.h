// Fonts of the Cairo surface: a logical font resolved through fontconfig to a cairo-ft face,
// sized and measured as GDI does, and cached.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"

namespace zq::platform::fonts {

// One logical font at one size and escapement. Lengths are pixels; positions are relative to
// the baseline, positive upwards.
struct FontInstance {
  // Aliased rendering, upright and with the escapement (the same font when there is none).
  cairo_scaled_font_t* upright = nullptr;
  cairo_scaled_font_t* rotated = nullptr;
  // Advance widths as GDI reports them: grey-scale hinting, whose advances are the rounded
  // design widths (aliased hinting narrows some glyphs, e.g. 'H' of Arial at 11 pixels draws
  // 7 wide while GDI measures 8).
  cairo_scaled_font_t* measure = nullptr;
  double angle = 0;  // radians, counter-clockwise
  double size = 0;   // em size in whole pixels
  int32_t ascent = 0;
  int32_t descent = 0;
  int32_t underlinePosition = 0;
  int32_t underlineSize = 1;
  int32_t strikeoutPosition = 0;
  int32_t strikeoutSize = 1;
  std::string file;  // the font file fontconfig chose
  ~FontInstance();
};

// The cached instance for a logical font (thread-safe).
std::shared_ptr<const FontInstance> Get(const LogFont& font);

// Valid UTF-8 for Cairo, which refuses a whole string over one bad byte: invalid sequences
// become U+FFFD.
std::string SanitizeUtf8(std::string_view text);

// Glyphs of a text laid out along the rotated baseline from (x, y).
std::vector<cairo_glyph_t> Layout(const FontInstance& font, std::string_view utf8, double x,
                                  double y, bool rotated);

// The measured advance of each glyph, in whole pixels.
std::vector<int32_t> Advances(const FontInstance& font, const std::vector<cairo_glyph_t>& glyphs);

// The advance of a text along its baseline: the sum of its measured glyph advances.
int32_t Advance(const FontInstance& font, std::string_view utf8);

}  // namespace zq::platform::fonts
