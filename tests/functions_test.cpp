// The seven function kinds: over a whole series, period by period, and point by point across
// several sources; the empty cases; and the gallery entries of series and function kinds.
#include "engine/series/functions.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/chart/chart.h"
#include "engine/series/bar_series.h"
#include "engine/series/pie_series.h"
#include "support/chart_fixture.h"

namespace zq {
namespace {

using testing::TTestChart;
using testing::TTestSeries;

std::vector<double> Values(const TChartValueList& list) {
  return {list.RawValues().begin(), list.RawValues().end()};
}

class FunctionChart : public ::testing::Test {
 protected:
  TTestSeries& Source(const std::vector<double>& ys) {
    TTestSeries& s = chart.Add();
    for (size_t i = 0; i < ys.size(); ++i) s.AddPointXY(double(i), ys[i]);
    return s;
  }
  // A series computed by `function` from the sources.
  template <typename F>
  TTestSeries& Computed(std::vector<TTestSeries*> sources, F** out = nullptr) {
    TTestSeries& result = chart.Add();
    auto function = std::make_unique<F>();
    if (out) *out = function.get();
    result.SetFunction(std::move(function));
    for (TTestSeries* s : sources) result.AddDataSource(s);
    return result;
  }

  TTestChart chart;
};

TEST_F(FunctionChart, EachKindOverAWholeSeries) {
  TTestSeries& source = Source({4, 1, 7, 0});
  EXPECT_EQ(Values(Computed<TAddZidFunction>({&source}).YValues()), (std::vector<double>{12}));
  EXPECT_EQ(Values(Computed<THighZidFunction>({&source}).YValues()), (std::vector<double>{7}));
  EXPECT_EQ(Values(Computed<TLowZidFunction>({&source}).YValues()), (std::vector<double>{0}));
  TTestSeries& average = Computed<TAverageZidFunction>({&source});
  EXPECT_EQ(Values(average.YValues()), (std::vector<double>{3}));
  // At the middle X of the whole series.
  EXPECT_EQ(Values(average.XValues()), (std::vector<double>{1.5}));
  // One source alone: the first series' value.
  EXPECT_EQ(Values(Computed<TSubtractZidFunction>({&source}).YValues()),
            (std::vector<double>{4, 1, 7, 0}));
}

TEST_F(FunctionChart, PeriodsStepThroughTheSource) {
  TTestSeries& source = Source({4, 1, 7, 0, 5});
  THighZidFunction* high = nullptr;
  TTestSeries& result = Computed<THighZidFunction>({&source}, &high);
  high->SetPeriod(2);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{4, 7, 5}));
  EXPECT_EQ(Values(result.XValues()), (std::vector<double>{0.5, 2.5, 4}));
  high->SetPeriodAlign(TFunctionPeriodAlign::paFirst);
  EXPECT_EQ(Values(result.XValues()), (std::vector<double>{0, 2, 4}));
  // By X range: 0..1.99, 2..3.99, 4..
  high->SetPeriodStyle(TFunctionPeriodStyle::psRange);
  high->SetPeriod(2);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{4, 7, 5}));
  high->SetPeriod(3);
  EXPECT_EQ(Values(result.YValues()), (std::vector<double>{7, 5}));
  TAverageZidFunction* average = nullptr;
  TTestSeries& means = Computed<TAverageZidFunction>({&source}, &average);
  average->SetPeriod(4);
  EXPECT_EQ(Values(means.YValues()), (std::vector<double>{3, 5}));
}

TEST_F(FunctionChart, SeveralSourcesCombinePointByPoint) {
  TTestSeries& a = Source({12, 8, 9});
  TTestSeries& b = Source({3, 0, 4});
  TTestSeries& c = Source({2, 2});
  struct Case {
    const char* kind;
    std::vector<double> values;
  };
  const Case cases[] = {
      {"Add", {17, 10}},
      {"Subtract", {7, 6}},
      {"Multiply", {72, 0}},
      // 8 / 0 leaves 8, then / 2.
      {"Divide", {2, 4}},
      {"High", {12, 8}},
      {"Low", {2, 0}},
      {"Average", {17.0 / 3, 10.0 / 3}},
  };
  for (const Case& k : cases) {
    const TSeriesKind* kind = nullptr;
    for (const TSeriesKind& entry : SeriesKinds()) {
      if (entry.description == k.kind && entry.galleryPage == "Functions") kind = &entry;
    }
    ASSERT_NE(kind, nullptr) << k.kind;
    ASSERT_TRUE(kind->createFunction) << k.kind;
    TTestSeries& result = chart.Add();
    result.SetFunction(kind->createFunction());
    result.AddDataSource(&a);
    result.AddDataSource(&b);
    result.AddDataSource(&c);
    // As far as every source has points, at the first source's X.
    EXPECT_EQ(Values(result.YValues()), k.values) << k.kind;
    EXPECT_EQ(Values(result.XValues()), (std::vector<double>{0, 1})) << k.kind;
  }
}

TEST_F(FunctionChart, NoPointsGiveZero) {
  TTestSeries& empty = Source({});
  TAverageZidFunction average;
  EXPECT_EQ(average.Calculate(empty, 0, -1), 0);
  EXPECT_EQ(average.CalculateMany({}, 0), 0);
  TAddZidFunction add;
  EXPECT_EQ(add.Calculate(empty, 0, -1), 0);
  TDivideZidFunction divide;
  TChartSeries* one[] = {&empty};
  EXPECT_EQ(divide.CalculateMany(one, 3), 0);
  EXPECT_EQ(Computed<TAverageZidFunction>({&empty}).PointCount(), 0);
}

TEST(SeriesGallery, StandardKindsInOrderAndTheirClasses) {
  std::vector<std::string> standard;
  for (const TSeriesKind& k : SeriesKinds()) {
    if (k.galleryPage != "Standard") continue;
    standard.push_back(k.description);
    EXPECT_EQ(k.numGallerySeries, k.description == "Pie" ? 1 : 2) << k.description;
    auto series = k.createSeries();
    ASSERT_NE(series, nullptr) << k.description;
  }
  EXPECT_EQ(standard, (std::vector<std::string>{"Line", "Bar", "Horiz. Bar", "Area", "Point", "Pie",
                                                "Fast Line"}));
  EXPECT_NE(dynamic_cast<TPieSeries*>(CreateSeriesByClass("TPieSeries").get()), nullptr);
  EXPECT_NE(dynamic_cast<THorizBarSeries*>(CreateSeriesByClass("THorizBarSeries").get()), nullptr);
}

}  // namespace
}  // namespace zq
