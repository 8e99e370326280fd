// The keyword parameters of the actions: each word names one value of an engine enumeration.
// Words compare exactly, letter case included; a word outside its table changes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "actions/arguments.h"
#include "actions/handler_support.h"
#include "engine/chart/legend.h"
#include "engine/chart/walls_titles.h"
#include "engine/drawing/canvas3d.h"
#include "engine/drawing/panel.h"
#include "engine/drawing/pens.h"
#include "engine/series/line_series.h"
#include "engine/series/marks.h"
#include "engine/series/series.h"

namespace zq::actions::keywords {

template <typename T, size_t N>
using Table = std::array<Keyword<T>, N>;

inline constexpr Table<TSeriesPointerStyle, 9> kPointerStyles = {{
    {"Rectangle", TSeriesPointerStyle::psRectangle},
    {"Circle", TSeriesPointerStyle::psCircle},
    {"Triangle", TSeriesPointerStyle::psTriangle},
    {"DownTriangle", TSeriesPointerStyle::psDownTriangle},
    {"Cross", TSeriesPointerStyle::psCross},
    {"DiagCross", TSeriesPointerStyle::psDiagCross},
    {"Star", TSeriesPointerStyle::psStar},
    {"Diamond", TSeriesPointerStyle::psDiamond},
    {"SmallDot", TSeriesPointerStyle::psSmallDot},
}};

inline constexpr Table<TPenStyle, 7> kPenStyles = {{
    {"Solid", TPenStyle::psSolid},
    {"Dash", TPenStyle::psDash},
    {"Dot", TPenStyle::psDot},
    {"DashDot", TPenStyle::psDashDot},
    {"DashDotDot", TPenStyle::psDashDotDot},
    {"Clear", TPenStyle::psClear},
    {"InsideFrame", TPenStyle::psInsideFrame},
}};

inline constexpr Table<TBrushStyle, 8> kBrushStyles = {{
    {"Solid", TBrushStyle::bsSolid},
    {"Clear", TBrushStyle::bsClear},
    {"Horizontal", TBrushStyle::bsHorizontal},
    {"Vertical", TBrushStyle::bsVertical},
    {"FDiagonal", TBrushStyle::bsFDiagonal},
    {"BDiagonal", TBrushStyle::bsBDiagonal},
    {"Cross", TBrushStyle::bsCross},
    {"DiagCross", TBrushStyle::bsDiagCross},
}};

// Title and foot.
inline constexpr Table<TAlignment, 3> kAlignments = {{
    {"Left", TAlignment::taLeftJustify},
    {"Center", TAlignment::taCenter},
    {"Right", TAlignment::taRightJustify},
}};

inline constexpr Table<TGradientDirection, 7> kGradientDirections = {{
    {"TopBottom", TGradientDirection::gdTopBottom},
    {"BottomTop", TGradientDirection::gdBottomTop},
    {"LeftRight", TGradientDirection::gdLeftRight},
    {"RightLeft", TGradientDirection::gdRightLeft},
    {"FromCenter", TGradientDirection::gdFromCenter},
    {"FromTopLeft", TGradientDirection::gdFromTopLeft},
    {"FromBottomLeft", TGradientDirection::gdFromBottomLeft},
}};

inline constexpr Table<TZidBackImageMode, 3> kBackImageModes = {{
    {"Stretch", TZidBackImageMode::pbmStretch},
    {"Tile", TZidBackImageMode::pbmTile},
    {"Center", TZidBackImageMode::pbmCenter},
}};

inline constexpr Table<THorizAxis, 4> kHorizAxes = {{
    {"TopAxis", THorizAxis::aTopAxis},
    {"BottomAxis", THorizAxis::aBottomAxis},
    {"BothHorizAxis", THorizAxis::aBothHorizAxis},
    {"CustomHorizAxis", THorizAxis::aCustomHorizAxis},
}};

inline constexpr Table<TVertAxis, 4> kVertAxes = {{
    {"LeftAxis", TVertAxis::aLeftAxis},
    {"RightAxis", TVertAxis::aRightAxis},
    {"BothVertAxis", TVertAxis::aBothVertAxis},
    {"CustomVertAxis", TVertAxis::aCustomVertAxis},
}};

inline constexpr Table<TSeriesMarksStyle, 9> kMarkStyles = {{
    {"Value", TSeriesMarksStyle::smsValue},
    {"Percent", TSeriesMarksStyle::smsPercent},
    {"Label", TSeriesMarksStyle::smsLabel},
    {"LabelPercent", TSeriesMarksStyle::smsLabelPercent},
    {"LabelValue", TSeriesMarksStyle::smsLabelValue},
    {"Legend", TSeriesMarksStyle::smsLegend},
    {"PercentTotal", TSeriesMarksStyle::smsPercentTotal},
    {"LabelPercentTotal", TSeriesMarksStyle::smsLabelPercentTotal},
    {"XValue", TSeriesMarksStyle::smsXValue},
}};

inline constexpr Table<TLegendAlignment, 4> kLegendAlignments = {{
    {"Left", TLegendAlignment::laLeft},
    {"Right", TLegendAlignment::laRight},
    {"Top", TLegendAlignment::laTop},
    {"Bottom", TLegendAlignment::laBottom},
}};

inline constexpr Table<TLegendTextStyle, 6> kLegendTextStyles = {{
    {"Plain", TLegendTextStyle::ltsPlain},
    {"LeftValue", TLegendTextStyle::ltsLeftValue},
    {"RightValue", TLegendTextStyle::ltsRightValue},
    {"LeftPercent", TLegendTextStyle::ltsLeftPercent},
    {"RightPercent", TLegendTextStyle::ltsRightPercent},
    {"XValue", TLegendTextStyle::ltsXValue},
}};

// Hands the value of a known word to `set`; any other text leaves the property alone.
template <typename T, size_t N, typename Setter>
void Apply(const Table<T, N>& table, std::string_view text, Setter&& set) {
  if (auto value = MatchKeyword<T>(table, text)) set(*value);
}

// The words of a table as a reason lists them: "Left, Center, Right".
template <typename T, size_t N>
std::string Words(const Table<T, N>& table) {
  std::string words;
  for (const Keyword<T>& k : table) {
    if (!words.empty()) words += ", ";
    words += k.word;
  }
  return words;
}

// Parameter `i` against a table. A text that matches no word leaves the property alone and is
// noted; an empty text is how an author leaves a property alone, and says nothing.
template <typename T, size_t N, typename Setter>
void ApplyAt(const Table<T, N>& table, const Args& args, size_t i, Setter&& set) {
  const std::string& text = TextAt(args, i);
  if (auto value = MatchKeyword<T>(table, text))
    set(*value);
  else if (!text.empty())
    NoteReason(ParameterPrefix() + Quote(text) + " is not one of " + Words(table));
}

}  // namespace zq::actions::keywords
