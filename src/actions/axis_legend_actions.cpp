// Axes, value marks and their arrows, the legend. Every action answers false.
#include "actions/handlers.h"
#include "actions/keywords.h"

namespace zq::actions {

namespace {

// Runs `apply` on the chart and the named series (second parameter), if both exist. Without
// the series not even the chart-wide settings change.
template <typename Apply>
bool WithChartAndSeries(const Args& args, Apply&& apply) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  if (TLineSeries* series = FindNamedSeries(*form, args.at(1))) apply(form->Chart1(), *series);
  return false;
}

template <typename Apply>
bool WithLegend(const Args& args, Apply&& apply) {
  if (charts::TVelImageForm* form = FindChart(args)) apply(form->Chart1().Legend());
  return false;
}

}  // namespace

bool AxisStyle(const Args& args, HostServices&) {
  return WithChartAndSeries(args, [&](TChart& chart, TLineSeries& series) {
    BooleanAt(args, 2, [&](bool v) { chart.SetAxisVisible(v); });
    keywords::ApplyAt(keywords::kHorizAxes, args, 3, [&](THorizAxis v) { series.SetHorizAxis(v); });
    keywords::ApplyAt(keywords::kVertAxes, args, 4, [&](TVertAxis v) { series.SetVertAxis(v); });
    // The right axis keeps its own setting.
    BooleanAt(args, 5, [&](bool v) {
      chart.BottomAxis().SetInverted(v);
      chart.LeftAxis().SetInverted(v);
      chart.TopAxis().SetInverted(v);
    });
  });
}

bool SeriesMarkStyle(const Args& args, HostServices&) {
  return WithChartAndSeries(args, [&](TChart&, TLineSeries& series) {
    TSeriesMarks& marks = series.Marks();
    // A malformed colour changes nothing at all: it is read first.
    const TColor color = ColorOrBlackAt(args, 3);
    BooleanAt(args, 2, [&](bool v) { marks.SetVisible(v); });
    marks.SetBackColor(color);
    BooleanAt(args, 4, [&](bool v) { marks.SetTransparent(v); });
    keywords::ApplyAt(keywords::kMarkStyles, args, 5,
                      [&](TSeriesMarksStyle v) { marks.SetStyle(v); });
  });
}

bool SeriesMarksFont(const Args& args, HostServices&) {
  return WithChartAndSeries(
      args, [&](TChart&, TLineSeries& series) { ApplyFontAt(series.Marks().Font(), args, 2); });
}

bool ArrowStyle(const Args& args, HostServices&) {
  return WithChartAndSeries(args, [&](TChart&, TLineSeries& series) {
    TSeriesMarks& marks = series.Marks();
    TChartArrowPen& arrow = marks.Arrow();
    const TColor color = ColorOrBlackAt(args, 3);
    BooleanAt(args, 2, [&](bool v) { arrow.SetVisible(v); });
    arrow.SetColor(color);
    // An unreadable length ends the action before the style.
    SetPositive(args, 4, "length", [&](int32_t v) { marks.SetArrowLength(v); });
    keywords::ApplyAt(keywords::kPenStyles, args, 5, [&](TPenStyle v) { arrow.SetStyle(v); });
  });
}

bool ArrowWidth(const Args& args, HostServices&) {
  return WithChartAndSeries(args, [&](TChart&, TLineSeries& series) {
    SetPositive(args, 2, "width", [&](int32_t v) { series.Marks().Arrow().SetWidth(v); });
  });
}

bool LineLegend(const Args& args, HostServices&) {
  return WithLegend(args, [&](TChartLegend& legend) {
    BooleanAt(args, 1, [&](bool v) { legend.SetVisible(v); });
    keywords::ApplyAt(keywords::kLegendAlignments, args, 2,
                      [&](TLegendAlignment v) { legend.SetAlignment(v); });
  });
}

bool LineLegendStyle(const Args& args, HostServices&) {
  return WithLegend(args, [&](TChartLegend& legend) {
    keywords::ApplyAt(keywords::kLegendTextStyles, args, 1,
                      [&](TLegendTextStyle v) { legend.SetTextStyle(v); });
    // The legend refuses widths outside 0..100; the text style stays changed.
    legend.SetColorWidth(IntegerAt(args, 2));
  });
}

bool LineLegendFont(const Args& args, HostServices&) {
  return WithLegend(args, [&](TChartLegend& legend) { ApplyFontAt(legend.Font(), args, 1); });
}

bool ShadowLegend(const Args& args, HostServices&) {
  return WithLegend(args, [&](TChartLegend& legend) {
    // No black for an empty colour here: it is a failure, and the size stays too.
    legend.SetShadowColor(ColorAt(args, 1));
    legend.SetShadowSize(IntegerAt(args, 2));
  });
}

bool ResizeChart(const Args& args, HostServices&) {
  return WithLegend(args, [&](TChartLegend& legend) {
    BooleanAt(args, 1, [&](bool v) { legend.SetResizeChart(v); });
  });
}

}  // namespace zq::actions
