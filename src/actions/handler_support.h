// What every handler shares: finding its chart and its named series, fonts and colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/arguments.h"
#include "actions/reasons.h"
#include "charts/chart_registry.h"
#include "engine/chart/chart.h"
#include "engine/series/line_series.h"

namespace zq::actions {

using Args = std::vector<std::string>;

// The chart window of the rectangle named by the first parameter, or nullptr (with the reason).
charts::TVelImageForm* FindChart(const Args& args);

// The named series of a chart window (second parameter), or nullptr when the window has no
// series-name list or the key is not in it (with the reason).
TLineSeries* FindNamedSeries(charts::TVelImageForm& form, const std::string& seriesName);

// A text as a reason quotes it: in double quotes, a long one cut short.
std::string Quote(std::string_view text);

// Parameter `i` (0 is the rectangle name) read in its format. A text that does not convert
// ends the action, with a reason that names the parameter and the format.
const std::string& TextAt(const Args& args, size_t i);
int32_t IntegerAt(const Args& args, size_t i);
uint32_t ColorAt(const Args& args, size_t i);
// A colour text, or "0,0,0" when the parameter is empty.
uint32_t ColorOrBlackAt(const Args& args, size_t i);
// A font text applied to a font: all five items first, then name, colour, size, added styles,
// character set, each converted when used.
void ApplyFontAt(TChartFont& font, const Args& args, size_t i);
// A part of the parameter being read as an integer text (`subject` names it for the reason:
// "the count").
int32_t IntegerItem(std::string_view text, const std::string& subject);
// Item `item` (from 0) of the value list `list` ("X" or "Y") as a number text.
double ValueItem(std::string_view text, const char* list, size_t item);

// The reason for a series name that the chart's series-name list does not hold.
void NoSeries(const charts::TVelImageForm& form, const std::string& seriesName);

// An integer parameter applied only when above 0 (a width, a length); 0 or less is noted.
template <typename Setter>
void SetPositive(const Args& args, size_t i, const char* what, Setter&& set) {
  const int32_t value = IntegerAt(args, i);
  if (value > 0)
    set(value);
  else
    NoteReason(ParameterPrefix() + "a " + what + " of " + std::to_string(value) +
               " is not applied (only above 0)");
}

// A boolean text sets the property; any other text leaves it (with a note, unless empty).
template <typename Setter>
void BooleanAt(const Args& args, size_t i, Setter&& set) {
  const std::string& text = TextAt(args, i);
  if (auto value = ParseBooleanText(text))
    set(*value);
  else if (!text.empty())
    NoteReason(ParameterPrefix() + Quote(text) + " is not one of True, true, False, false");
}

// ApplyFontAt for a text of its own (the parameter being read, if any, takes the blame).
void ApplyFontText(TChartFont& font, const std::string& text);

}  // namespace zq::actions
