// Named series: create, delete, points, pointers, colours, ribbon, border, stairs.
#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

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

}  // namespace

bool CreateSeriesLine(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  const std::string& name = args.at(1);
  const std::string& xText = args.at(2);
  const std::string& yText = args.at(3);
  const std::string& labelText = args.at(4);
  form->EnsureSeriesList();
  const TColor color = ColorAt(args, 5);

  // Both lists are converted in one pass each; a pair that does not convert ends the action
  // once the pairs before it are added, as adding pair by pair would.
  ValueListNumbers xs = ParseValueListNumbers(xText, LoadedDecimalSeparator());
  ValueListNumbers ys = ParseValueListNumbers(yText, LoadedDecimalSeparator());
  std::vector<std::string> labels = SplitLabelList(labelText);
  const size_t count = xs.count;
  if (count != ys.count || count == 0) {
    StopReason(count == 0 && ys.count == 0 ? std::string("X and Y have no values")
                                           : "X has " + std::to_string(count) + " values, Y has " +
                                                 std::to_string(ys.count));
    return false;
  }
  // No label or one label: every point shows the whole text. Several: one per point.
  const bool labelPerPoint = labels.size() >= 2;
  if (labelPerPoint && labels.size() != count) {
    StopReason("X has " + std::to_string(count) + " values, the labels " +
               std::to_string(labels.size()));
    return false;
  }
  const std::string sharedLabel = labels.size() == 1 ? labelText : std::string();
  if (!labelPerPoint) labels.clear();
  if (count == 1) {
    // A single pair is read from the whole texts, not from the cut items.
    for (auto [list, text] : {std::pair{&xs, &xText}, std::pair{&ys, &yText}}) {
      *list = {};
      list->count = 1;
      const std::string whole = RemoveBlanks(*text);
      try {
        list->values.push_back(ParseNumberText(whole, LoadedDecimalSeparator()));
      } catch (const ConversionError&) {
        list->failure = std::current_exception();
        list->failedText = whole;
      }
    }
  }

  TChart& chart = form->Chart1();
  const std::string key = charts::SeriesKey(form->RectangleName(), name);
  int32_t position = form->FindSeriesKey(key);
  if (position < 0) {
    // A full list takes no more names: nothing is added.
    if (!form->AddSeriesKey(key)) {
      StopReason("the chart over " + Quote(form->RectangleName()) + " has " +
                 std::to_string(charts::TVelImageForm::kMaxNamedSeries) +
                 " named series, no room for " + Quote(name));
      return false;
    }
    position = form->FindSeriesKey(key);
    chart.AddSeries<TLineSeries>();
  }
  TChartSeries& series = SeriesAtKey(chart, position);

  // X of a pair is read before its Y: the first failure in that order is the one reported.
  const size_t added = std::min(xs.values.size(), ys.values.size());
  const bool xFailed = xs.failure && xs.values.size() <= ys.values.size();
  if (labelPerPoint) labels.resize(added);
  series.AddPointsXY(xs.values, ys.values, color, labels, sharedLabel);
  if (added > 0) {
    series.SetTitle(name);
    series.SetSeriesColor(color);
  }
  // The item that did not convert ends the action, with its reason.
  if (xFailed) {
    ReadingParameter(2);
    ValueItem(xs.failedText, "X", added);
  } else if (ys.failure) {
    ReadingParameter(3);
    ValueItem(ys.failedText, "Y", added);
  }
  return false;
}

bool DeleteSeriesLine(const Args& args, HostServices&) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) return false;
  const int32_t position =
      form->HasSeriesList()
          ? form->FindSeriesKey(charts::SeriesKey(form->RectangleName(), args.at(1)))
          : -1;
  if (position < 0) {
    NoSeries(*form, args.at(1));
    return false;
  }
  // Key and series leave together, so that key k still names series k + 1.
  form->RemoveSeriesKey(position);
  TChart& chart = form->Chart1();
  chart.FreeSeries(SeriesAtKey(chart, position));
  return false;
}

bool DeleteDotSeries(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const std::string& text = TextAt(args, 2);
    const std::vector<std::string> items = SplitDelimited(RemoveBlanks(text), '|');
    if (items.size() < 2) {
      StopReason(ParameterPrefix() + "not a point and count text (point|count): " + Quote(text));
      throw ConversionError("point and count expected");
    }
    const int32_t count = IntegerItem(items[1], "the count");
    const int32_t first = IntegerItem(items[0], "the point number");
    // Deleting at the same place n times takes the n points from there (all at once, so a
    // long run costs one pass); running past the last point is a failure at that deletion.
    if (count <= 0) {
      NoteReason(ParameterPrefix() + "a count of " + std::to_string(count) + " deletes nothing");
      return;
    }
    if (first < 0 || first >= series.PointCount())
      StopReason(ParameterPrefix() + "a value out of range: no point " + std::to_string(first) +
                 " in a series of " + std::to_string(series.PointCount()) + " points");
    const int64_t available = int64_t(series.PointCount()) - first;
    series.DeletePoints(first, count);
    if (count > available) {
      StopReason(ParameterPrefix() + std::to_string(count) + " points to delete from point " +
                 std::to_string(first) + ", the series has " +
                 std::to_string(std::max<int64_t>(available, 0)) + " from there");
      throw std::out_of_range("fewer points than the count to delete");
    }
  });
}

bool SeriesDot3DStyle(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TSeriesPointer& pointer = series.Pointer();
    BooleanAt(args, 2, [&](bool v) { pointer.SetVisible(v); });
    keywords::ApplyAt(keywords::kPointerStyles, args, 3,
                      [&](TSeriesPointerStyle v) { pointer.SetStyle(v); });
    BooleanAt(args, 4, [&](bool v) { pointer.SetDraw3D(v); });
    BooleanAt(args, 5, [&](bool v) { pointer.SetDark3D(v); });
  });
}

bool SeriesDotColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TSeriesPointer& pointer = series.Pointer();
    if (!args.at(2).empty()) pointer.Brush().SetColor(ColorAt(args, 2));
    if (!args.at(3).empty()) pointer.SetVertSize(IntegerAt(args, 3));
    if (!args.at(4).empty()) pointer.SetHorizSize(IntegerAt(args, 4));
  });
}

bool SeriesNumberColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const TColor color = ColorAt(args, 3);
    const int32_t index = IntegerAt(args, 2);
    if (index < 0 || index >= series.PointCount()) {
      ReadingParameter(2);
      StopReason(ParameterPrefix() + "a value out of range: segment " + std::to_string(index) +
                 " of a series with " + std::to_string(series.PointCount()) + " points");
    }
    series.SetPointColor(index, color);
  });
}

bool SeriesAllColor(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    const TColor color = ColorAt(args, 2);
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
    form->Chart1().SetChart3DPercent(IntegerAt(args, 1));
  return false;
}

bool SeriesLineBrush(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    keywords::ApplyAt(keywords::kBrushStyles, args, 2,
                      [&](TBrushStyle v) { series.SetLineBrush(v); });
  });
}

bool SeriesLineBorder(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    TChartPen& pen = series.LinePen();
    const TColor color = ColorOrBlackAt(args, 3);
    BooleanAt(args, 2, [&](bool v) { pen.SetVisible(v); });
    pen.SetColor(color);
    // An unreadable width ends the action before the style.
    SetPositive(args, 4, "width", [&](int32_t v) { pen.SetWidth(v); });
    keywords::ApplyAt(keywords::kPenStyles, args, 5, [&](TPenStyle v) { pen.SetStyle(v); });
  });
}

bool SeriesLineStairs(const Args& args, HostServices&) {
  return WithSeries(args, [&](TLineSeries& series) {
    std::optional<bool> stairs;
    BooleanAt(args, 2, [&](bool v) {
      stairs = v;
      series.SetStairs(v);
    });
    // The inverted flag only matters for stairs that are switched on here.
    if (stairs == true)
      BooleanAt(args, 3, [&](bool v) { series.SetInvertedStairs(v); });
    else if (!args.at(3).empty())
      NoteReason("parameter 4 counts only when parameter 3 switches stairs on");
  });
}

}  // namespace zq::actions
