// What every handler shares: finding its chart and its named series, fonts and colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/arguments.h"
#include "charts/chart_registry.h"
#include "engine/chart/chart.h"
#include "engine/series/line_series.h"

namespace zq::actions {

using Args = std::vector<std::string>;

// The chart window of the rectangle named by the first parameter, or nullptr.
charts::TVelImageForm* FindChart(const Args& args);

// The named series of a chart window (second parameter), or nullptr when the window has no
// series-name list or the key is not in it.
TLineSeries* FindNamedSeries(charts::TVelImageForm& form, const std::string& seriesName);

// Applies a font text to a font: all five items first, then name, colour, size, added
// styles, character set, each converted when used.
void ApplyFontText(TChartFont& font, const std::string& text);

// Reads a colour text, or "0,0,0" when the text is empty.
uint32_t ColorOrBlack(const std::string& text);

// Sets `target` from a boolean text; anything else leaves it.
template <typename Setter>
void ApplyBoolean(const std::string& text, Setter&& set) {
  if (auto value = ParseBooleanText(text)) set(*value);
}

}  // namespace zq::actions
