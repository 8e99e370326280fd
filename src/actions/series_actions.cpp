// Named series: create, delete, points, pointers, colours, ribbon, border, stairs.
#include <optional>

#include "actions/handlers.h"
#include "actions/keywords.h"

namespace zq::actions {

namespace {

// The named series of the chart of the first parameter, found through the second; nullptr
// when either is missing (which is no failure).
TLineSeries* FindSeries(const Args& args) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return nullptr;
  return FindNamedSeries(*form, args.at(1));
}

// Runs `apply` on the named series, if there is one; every series action answers false.
template <typename Apply>
bool WithSeries(const Args& args, Apply&& apply) {
  if (TLineSeries* series = FindSeries(args)) apply(*series);
  return false;
}

// The chart's series that key position `position` names.
TChartSeries& SeriesAtKey(TChart& chart, int32_t position) {
  if (position + 1 >= chart.SeriesCount()) throw std::out_of_range("no series at that position");
  return chart.Series(position + 1);
}

double ReadNumber(std::string_view text) {
  return ParseNumberText(text, LoadedDecimalSeparator());
}

}  // namespace

bool CreateSeriesLine(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  const std::string& name = args.at(1);
  const std::string& xText = args.at(2);
  const std::string& yText = args.at(3);
  const std::string& labelText = args.at(4);
  form->EnsureSeriesList();
  const TColor color = ParseColorText(args.at(5));

  // Both lists are converted in one pass each; a pair that does not convert ends the action
  // once the pairs before it are added, as adding pair by pair would.
  ValueListNumbers xs = ParseValueListNumbers(xText, LoadedDecimalSeparator());
  ValueListNumbers ys = ParseValueListNumbers(yText, LoadedDecimalSeparator());
  std::vector<std::string> labels = SplitLabelList(labelText);
  const size_t count = xs.count;
  if (count != ys.count || count == 0) return false;
  // No label or one label: every point shows the whole text. Several: one per point.
  const bool labelPerPoint = labels.size() >= 2;
  if (labelPerPoint && labels.size() != count) return false;
  const std::string sharedLabel = labels.size() == 1 ? labelText : std::string();
  if (!labelPerPoint) labels.clear();
  if (count == 1) {
    // A single pair is read from the whole texts, not from the cut items.
    xs = {};
    ys = {};
    try {
      xs.values.push_back(ReadNumber(RemoveBlanks(xText)));
      ys.values.push_back(ReadNumber(RemoveBlanks(yText)));
    } catch (const ConversionError&) {
      (xs.values.empty() ? xs : ys).failure = std::current_exception();
    }
  }

  TChart& chart = form->Chart1();
  const std::string key = charts::SeriesKey(form->RectangleName(), name);
  int32_t position = form->FindSeriesKey(key);
  if (position < 0) {
    // A full list takes no more names: nothing is added.
    if (!form->AddSeriesKey(key)) return false;
    position = form->FindSeriesKey(key);
    chart.AddSeries<TLineSeries>();
  }
  TChartSeries& series = SeriesAtKey(chart, position);

  // X of a pair is read before its Y: the first failure in that order is the one reported.
  const size_t added = std::min(xs.values.size(), ys.values.size());
  const std::exception_ptr failure = xs.values.size() <= ys.values.size() ? xs.failure : ys.failure;
  if (labelPerPoint) labels.resize(added);
  series.AddPointsXY(xs.values, ys.values, color, labels, sharedLabel);
  if (added > 0) {
    series.SetTitle(name);
    series.SetSeriesColor(color);
  }
  if (failure) std::rethrow_exception(failure);
  return false;
}

bool DeleteSeriesLine(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr || !form->HasSeriesList()) return false;
  const int32_t position =
      form->FindSeriesKey(charts::SeriesKey(form->RectangleName(), args.at(1)));
  if (position < 0) return false;
  // Key and series leave together, so that key k still names series k + 1.
  form->RemoveSeriesKey(position);
  TChart& chart = form->Chart1();
  chart.FreeSeries(SeriesAtKey(chart, position));
  return false;
}

bool DeleteDotSeries(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const std::vector<std::string> items = SplitDelimited(RemoveBlanks(args.at(2)), '|');
    if (items.size() < 2) throw ConversionError("point and count expected");
    const int32_t count = ParseIntegerText(items[1]);
    const int32_t first = ParseIntegerText(items[0]);
    // Deleting at the same place n times takes the n points from there (all at once, so a
    // long run costs one pass); running past the last point is a failure at that deletion.
    if (count <= 0) return;
    const int64_t available = int64_t(series.PointCount()) - first;
    series.DeletePoints(first, count);
    if (count > available) throw std::out_of_range("fewer points than the count to delete");
  });
}

bool SeriesDot3DStyle(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TSeriesPointer& pointer = series.Pointer();
    ApplyBoolean(args.at(2), [&](bool v) { pointer.SetVisible(v); });
    keywords::Apply(keywords::kPointerStyles, args.at(3),
                    [&](TSeriesPointerStyle v) { pointer.SetStyle(v); });
    ApplyBoolean(args.at(4), [&](bool v) { pointer.SetDraw3D(v); });
    ApplyBoolean(args.at(5), [&](bool v) { pointer.SetDark3D(v); });
  });
}

bool SeriesDotColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TSeriesPointer& pointer = series.Pointer();
    if (!args.at(2).empty()) pointer.Brush().SetColor(ParseColorText(args[2]));
    if (!args.at(3).empty()) pointer.SetVertSize(ParseIntegerText(args[3]));
    if (!args.at(4).empty()) pointer.SetHorizSize(ParseIntegerText(args[4]));
  });
}

bool SeriesNumberColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const TColor color = ParseColorText(args.at(3));
    series.SetPointColor(ParseIntegerText(args.at(2)), color);
  });
}

bool SeriesAllColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const TColor color = ParseColorText(args.at(2));
    series.SetColorEachPoint(false);
    series.SetSeriesColor(color);
  });
}

bool SeriesArrayColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    // Off first, so that every point drops the colour it had and takes one of the palette.
    series.SetColorEachPoint(false);
    series.SetSeriesColor(clWhite);
    series.SetColorEachPoint(true);
  });
}

bool SeriesLineWidth(const Args& args, HostServices&) {
  if (charts::TVelImageForm* form = FindChart(args))
    form->Chart1().SetChart3DPercent(ParseIntegerText(args.at(1)));
  return false;
}

bool SeriesLineBrush(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    keywords::Apply(keywords::kBrushStyles, args.at(2),
                    [&](TBrushStyle v) { series.SetLineBrush(v); });
  });
}

bool SeriesLineBorder(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TChartPen& pen = series.LinePen();
    const TColor color = ColorOrBlack(args.at(3));
    ApplyBoolean(args.at(2), [&](bool v) { pen.SetVisible(v); });
    pen.SetColor(color);
    // An unreadable width ends the action before the style.
    const int32_t width = ParseIntegerText(args.at(4));
    if (width > 0) pen.SetWidth(width);
    keywords::Apply(keywords::kPenStyles, args.at(5), [&](TPenStyle v) { pen.SetStyle(v); });
  });
}

bool SeriesLineStairs(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const std::optional<bool> stairs = ParseBooleanText(args.at(2));
    if (stairs) series.SetStairs(*stairs);
    // The inverted flag only matters for stairs that are switched on here.
    if (stairs == true) ApplyBoolean(args.at(3), [&](bool v) { series.SetInvertedStairs(v); });
  });
}

}  // namespace zq::actions
