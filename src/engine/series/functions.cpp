#include "engine/series/functions.h"

#include <algorithm>
#include <vector>

#include "engine/data/value_list.h"

namespace zq {

namespace {

// The list a function reads from a source: the one its own series names as value source,
// else the source's values.
const TChartValueList& SourceValues(const TZidFunction& function, TChartSeries& source) {
  if (TChartSeries* target = function.ParentSeries()) {
    const std::string& name = target->MandatoryValueList().ValueSource();
    if (!name.empty()) {
      if (const TChartValueList* list = source.FindValueList(name)) return *list;
    }
  }
  return source.MandatoryValueList();
}

// The values at `index` of the sources that have that point.
std::vector<double> ValuesAt(const TZidFunction& function, std::span<TChartSeries* const> sources,
                             int32_t index) {
  std::vector<double> values;
  values.reserve(sources.size());
  for (TChartSeries* s : sources) {
    if (s && index >= 0 && index < s->PointCount())
      values.push_back(SourceValues(function, *s).ValueAt(index));
  }
  return values;
}

// Applies `step` to the values first..last of the source's list, starting from the first one.
template <typename Step>
double Fold(const TZidFunction& function, TChartSeries& source, int32_t first, int32_t last,
            Step step) {
  const TChartValueList& list = SourceValues(function, source);
  first = std::max(first, 0);
  last = std::min(last, list.ValueCount() - 1);
  if (first > last) return 0;
  double result = list.ValueAt(first);
  for (int32_t i = first + 1; i <= last; ++i) result = step(result, list.ValueAt(i));
  return result;
}

double Plus(double a, double b) {
  return a + b;
}
double Larger(double a, double b) {
  return std::max(a, b);
}
double Smaller(double a, double b) {
  return std::min(a, b);
}

template <typename Step>
double FoldValues(const std::vector<double>& values, Step step) {
  if (values.empty()) return 0;
  double result = values.front();
  for (size_t i = 1; i < values.size(); ++i) result = step(result, values[i]);
  return result;
}

}  // namespace

double TAddZidFunction::Calculate(TChartSeries& source, int32_t first, int32_t last) {
  const TChartValueList& list = SourceValues(*this, source);
  // The whole list: its cached total.
  if (first <= 0 && last >= list.ValueCount() - 1) return list.Sum();
  return Fold(*this, source, first, last, Plus);
}

double TAddZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index), Plus);
}

double THighZidFunction::Calculate(TChartSeries& source, int32_t first, int32_t last) {
  return Fold(*this, source, first, last, Larger);
}

double THighZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index), Larger);
}

double TLowZidFunction::Calculate(TChartSeries& source, int32_t first, int32_t last) {
  return Fold(*this, source, first, last, Smaller);
}

double TLowZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index), Smaller);
}

double TAverageZidFunction::Calculate(TChartSeries& source, int32_t first, int32_t last) {
  const int32_t count =
      std::min(last, SourceValues(*this, source).ValueCount() - 1) - std::max(first, 0) + 1;
  if (count <= 0) return 0;
  return Fold(*this, source, first, last, Plus) / count;
}

double TAverageZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  const std::vector<double> values = ValuesAt(*this, sources, index);
  return values.empty() ? 0 : FoldValues(values, Plus) / double(values.size());
}

double TSubtractZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index), [](double a, double b) { return a - b; });
}

double TMultiplyZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index), [](double a, double b) { return a * b; });
}

double TDivideZidFunction::CalculateMany(std::span<TChartSeries* const> sources, int32_t index) {
  return FoldValues(ValuesAt(*this, sources, index),
                    [](double a, double b) { return b == 0 ? a : a / b; });
}

}  // namespace zq
