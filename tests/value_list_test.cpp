#include "engine/data/value_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/drawing/color.h"

namespace zq {
namespace {

// A series stand-in: records what its lists tell it and keeps colours and labels parallel.
class FakeSeries : public TChartValueListOwner {
 public:
  TChartValueList x{this, kValueListNameX};
  TChartValueList y{this, kValueListNameY};
  std::vector<TColor> colors;
  std::vector<std::string> labels;

  int changed = 0;
  std::vector<int32_t> modified;
  int sourceChanged = 0;
  int reordered = 0;

  FakeSeries() {
    x.SetOrder(TChartListOrder::loAscending);
    changed = 0;
  }

  int32_t AddXY(double xv, double yv, const std::string& label, TColor color) {
    int32_t i = x.AppendOrdered(xv);
    y.InsertAt(i, yv);
    colors.insert(colors.begin() + i, color);
    labels.insert(labels.begin() + i, label);
    return i;
  }

  void ValueListChanged(TChartValueList&) override { ++changed; }
  void ValueListModified(TChartValueList&, int32_t index) override { modified.push_back(index); }
  void ValueListSourceChanged(TChartValueList&) override { ++sourceChanged; }
  void ValueListReordered(TChartValueList& sorted, std::span<const int32_t> order) override {
    ++reordered;
    for (TChartValueList* list : {&x, &y}) {
      if (list != &sorted) list->ApplyOrder(order);
    }
    ReorderParallel(colors, order, clDefault);
    ReorderParallel(labels, order);
  }
};

std::vector<double> Values(const TChartValueList& list) {
  std::vector<double> v;
  for (int32_t i = 0; i < list.ValueCount(); ++i) v.push_back(list.ValueAt(i));
  return v;
}

void ExpectIndexError(const std::function<void()>& call, int32_t index) {
  try {
    call();
    ADD_FAILURE() << "no exception for index " << index;
  } catch (const ChartException& e) {
    EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(index) + ")");
  }
}

TEST(ValueList, Defaults) {
  TChartValueList list;
  EXPECT_EQ(list.Owner(), nullptr);
  EXPECT_FALSE(list.DateTime());
  EXPECT_EQ(list.Multiplier(), 1.0);
  EXPECT_EQ(list.Name(), "");
  EXPECT_EQ(list.Order(), TChartListOrder::loNone);
  EXPECT_EQ(list.ValueSource(), "");
  EXPECT_EQ(list.PendingValue(), 0.0);
  EXPECT_EQ(list.ValueCount(), 0);
  FakeSeries s;
  EXPECT_EQ(s.x.Name(), "X");
  EXPECT_EQ(s.y.Name(), "Y");
  EXPECT_EQ(s.x.Owner(), &s);
}

TEST(ValueList, EmptyStatisticsAreZero) {
  TChartValueList list;
  EXPECT_EQ(list.Lowest(), 0);
  EXPECT_EQ(list.Highest(), 0);
  EXPECT_EQ(list.Sum(), 0);
  EXPECT_EQ(list.SumAbs(), 0);
  list.AppendOrdered(5);
  EXPECT_EQ(list.Lowest(), 5);
  list.RemoveAt(0);  // deleting the last value empties the statistics again
  EXPECT_EQ(list.Lowest(), 0);
  EXPECT_EQ(list.Highest(), 0);
  EXPECT_EQ(list.Sum(), 0);
  EXPECT_EQ(list.SumAbs(), 0);
}

TEST(ValueList, StatisticsFollowEveryChange) {
  TChartValueList list;
  for (double v : {3.0, -4.0, 5.0}) list.AppendOrdered(v);
  EXPECT_EQ(list.Lowest(), -4);
  EXPECT_EQ(list.Highest(), 5);
  EXPECT_EQ(list.Sum(), 4);
  EXPECT_EQ(list.SumAbs(), 12);
  list.AppendOrdered(10);
  EXPECT_EQ(list.Highest(), 10);
  list.InsertAt(0, -7);
  EXPECT_EQ(list.Lowest(), -7);
  list.SetValueAt(0, 1);
  EXPECT_EQ(list.Lowest(), -4);
  EXPECT_EQ(list.Sum(), 15);
  list.RemoveAt(4);  // 10
  EXPECT_EQ(list.Highest(), 5);
  list.SetMultiplier(-1);
  EXPECT_EQ(list.Lowest(), -5);
  EXPECT_EQ(list.Highest(), 4);
  EXPECT_EQ(list.Sum(), -5);
  EXPECT_EQ(list.SumAbs(), 13);
  list.FillWithIndexes();  // 0 1 2 3, read as 0 -1 -2 -3
  EXPECT_EQ(list.Lowest(), -3);
  EXPECT_EQ(list.Highest(), 0);
  EXPECT_EQ(list.Sum(), -6);
  list.ClearAll();
  EXPECT_EQ(list.Sum(), 0);
  EXPECT_EQ(list.SumAbs(), 0);
}

TEST(ValueList, StatisticsTakeTheFirstValueAsTheStart) {
  TChartValueList list;
  list.AppendOrdered(-2);
  EXPECT_EQ(list.Lowest(), -2);
  EXPECT_EQ(list.Highest(), -2);  // not 0
  EXPECT_EQ(list.SumAbs(), 2);
}

TEST(ValueList, AscendingPlacesValuesAndKeepsArrivalOrderAmongEquals) {
  FakeSeries s;
  EXPECT_EQ(s.AddXY(3, 30, "c", clRed), 0);
  EXPECT_EQ(s.AddXY(1, 10, "a", clGreen), 0);
  EXPECT_EQ(s.AddXY(2, 20, "b", clBlue), 1);
  EXPECT_EQ(Values(s.x), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Values(s.y), (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(s.colors, (std::vector<TColor>{clGreen, clBlue, clRed}));
  EXPECT_EQ(s.labels, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(s.AddXY(2, 21, "b2", clYellow), 2);  // after the first 2
  EXPECT_EQ(s.AddXY(2, 22, "b3", clYellow), 3);
  EXPECT_EQ(Values(s.y), (std::vector<double>{10, 20, 21, 22, 30}));
  EXPECT_EQ(s.AddXY(0, 0, "", clNone), 0);
  EXPECT_EQ(s.AddXY(3, 31, "", clNone), 6);
}

TEST(ValueList, DescendingPlacesValues) {
  TChartValueList list;
  list.SetOrder(TChartListOrder::loDescending);
  EXPECT_EQ(list.AppendOrdered(1), 0);
  EXPECT_EQ(list.AppendOrdered(3), 0);
  EXPECT_EQ(list.AppendOrdered(2), 1);
  EXPECT_EQ(list.AppendOrdered(2), 2);
  EXPECT_EQ(list.AppendOrdered(0), 4);
  EXPECT_EQ(list.AppendOrdered(5), 0);
  EXPECT_EQ(Values(list), (std::vector<double>{5, 3, 2, 2, 1, 0}));
}

TEST(ValueList, NoOrderKeepsArrivalOrder) {
  TChartValueList list;
  EXPECT_EQ(list.AppendOrdered(3), 0);
  EXPECT_EQ(list.AppendOrdered(1), 1);
  EXPECT_EQ(list.AppendOrdered(2), 2);
  EXPECT_EQ(Values(list), (std::vector<double>{3, 1, 2}));
}

TEST(ValueList, OrderedPlacementOfAnUnsortedListWalksBackFromTheEnd) {
  TChartValueList list;
  for (double v : {5.0, 6.0, 7.0, 1.0, 8.0}) list.AppendOrdered(v);
  list.SetOrder(TChartListOrder::loAscending);
  // Walking back from 8 stops at 1, so 2 goes after the 1 (not before the 5).
  EXPECT_EQ(list.AppendOrdered(2), 4);
  EXPECT_EQ(Values(list), (std::vector<double>{5, 6, 7, 1, 2, 8}));
  EXPECT_EQ(list.AppendOrdered(0), 0);
}

TEST(ValueList, OrderedPlacementComparesRawValues) {
  TChartValueList list;
  list.SetOrder(TChartListOrder::loAscending);
  list.SetMultiplier(-1);
  list.AppendOrdered(1);
  list.AppendOrdered(3);
  EXPECT_EQ(list.AppendOrdered(2), 1);
  EXPECT_EQ(list.RawValues(), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(Values(list), (std::vector<double>{-1, -2, -3}));
}

TEST(ValueList, NotANumberIsPlacedWithoutHarm) {
  TChartValueList list;
  list.SetOrder(TChartListOrder::loAscending);
  const double nan = std::nan("");
  list.AppendOrdered(0);
  list.AppendOrdered(2);
  EXPECT_EQ(list.AppendOrdered(nan), 2);  // nothing compares greater: at the end
  EXPECT_EQ(list.AppendOrdered(1), 3);    // the walk stops at the NaN
  EXPECT_EQ(list.AppendOrdered(-1), 3);   // and again: the NaN is not greater
  EXPECT_EQ(list.LocateValue(nan), -1);
  list.SortByOrder();
  EXPECT_EQ(list.ValueAt(0), -1);
  EXPECT_EQ(list.ValueAt(3), 2);
  EXPECT_TRUE(std::isnan(list.ValueAt(4)));  // last
  EXPECT_TRUE(std::isnan(list.Sum()));
}

// The placement must match a plain walk back from the end whatever was done to the list.
TEST(ValueList, PlacementMatchesTheWalkBackAfterAnyEdits) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 40; ++round) {
    TChartValueList list;
    std::vector<double> model;
    TChartListOrder order = TChartListOrder::loAscending;
    list.SetOrder(order);
    for (int step = 0; step < 300; ++step) {
      const double v = double(rng() % 20);
      const int op = int(rng() % 100);
      const int32_t n = int32_t(model.size());
      if (op < 70) {
        size_t at = model.size();
        if (order != TChartListOrder::loNone && !model.empty()) {
          const bool desc = order == TChartListOrder::loDescending;
          const bool inOrder = desc ? model.back() >= v : model.back() <= v;
          if (!inOrder) {
            while (at > 0 && (desc ? model[at - 1] < v : model[at - 1] > v)) --at;
          }
        }
        model.insert(model.begin() + std::ptrdiff_t(at), v);
        ASSERT_EQ(list.AppendOrdered(v), int32_t(at)) << "round " << round << " step " << step;
      } else if (op < 76) {
        int32_t at = int32_t(rng() % uint32_t(n + 1));
        model.insert(model.begin() + at, v);
        list.InsertAt(at, v);
      } else if (op < 82 && n > 0) {
        int32_t at = int32_t(rng() % uint32_t(n));
        model[size_t(at)] = v;
        list.SetValueAt(at, v);
      } else if (op < 90 && n > 0) {
        int32_t at = int32_t(rng() % uint32_t(n));
        model.erase(model.begin() + at);
        list.RemoveAt(at);
      } else if (op < 93 && n > 1) {
        std::rotate(model.begin(), model.begin() + 1, model.end());
        list.RotateFirstToLast();
      } else if (op < 96) {
        order = TChartListOrder(rng() % 3);
        list.SetOrder(order);
      } else if (op < 98) {
        list.SortByOrder();
        model = list.RawValues();
      } else if (op < 99) {
        for (size_t i = 0; i < model.size(); ++i) model[i] = double(i);
        list.FillWithIndexes();
      } else {
        model.clear();
        list.ClearAll();
      }
      ASSERT_EQ(list.RawValues(), model) << "round " << round << " step " << step;
    }
  }
}

TEST(ValueList, AppendingManyPlacesThemAsAppendingOneByOne) {
  std::mt19937 rng(2024);
  for (TChartListOrder order :
       {TChartListOrder::loAscending, TChartListOrder::loDescending, TChartListOrder::loNone}) {
    for (int round = 0; round < 20; ++round) {
      TChartValueList bulk, oneByOne;
      bulk.SetOrder(order);
      oneByOne.SetOrder(order);
      for (int i = 0, n = int(rng() % 50); i < n; ++i) {
        const double v = double(rng() % 30);
        bulk.AppendOrdered(v);
        oneByOne.AppendOrdered(v);
      }
      std::vector<double> incoming(rng() % 200);
      for (double& v : incoming) v = double(rng() % 30);
      const std::vector<double> kept = incoming;
      std::vector<int32_t> arrival;  // the arrival number of each stored value, one by one
      for (int32_t i = 0; i < bulk.ValueCount(); ++i) arrival.push_back(-1 - i);
      for (size_t i = 0; i < kept.size(); ++i) {
        const int32_t at = oneByOne.AppendOrdered(kept[i]);
        arrival.insert(arrival.begin() + at, int32_t(i));
      }
      const std::optional<std::vector<int32_t>> placed = bulk.AppendAllOrdered(incoming);
      ASSERT_TRUE(placed.has_value());
      EXPECT_TRUE(incoming.empty());
      ASSERT_EQ(bulk.RawValues(), oneByOne.RawValues());
      // The order says where each value came from: old ones first, then the new ones.
      if (!placed->empty()) {
        const int32_t before = int32_t(arrival.size() - kept.size());
        for (size_t i = 0; i < placed->size(); ++i) {
          const int32_t from = (*placed)[i];
          EXPECT_EQ(from < before ? -1 - from : from - before, arrival[i]);
        }
      }
    }
  }
}

TEST(ValueList, AppendingManyLeavesToTheWalkWhatOnlyItKnows) {
  TChartValueList unsorted;
  unsorted.SetOrder(TChartListOrder::loAscending);
  unsorted.AppendOrdered(1);
  unsorted.AppendOrdered(2);
  unsorted.SetValueAt(0, 5);  // no longer in order
  std::vector<double> values{3, 0};
  EXPECT_FALSE(unsorted.AppendAllOrdered(values).has_value());
  EXPECT_EQ(values, (std::vector<double>{3, 0}));
  EXPECT_EQ(unsorted.RawValues(), (std::vector<double>{5, 2}));
  TChartValueList sorted;
  sorted.SetOrder(TChartListOrder::loAscending);
  values = {1, std::nan(""), 0};
  EXPECT_FALSE(sorted.AppendAllOrdered(values).has_value());
  EXPECT_EQ(sorted.ValueCount(), 0);
}

TEST(ValueList, ManyRandomValuesEndSortedAndStable) {
  std::mt19937 rng(7);
  TChartValueList list;
  list.SetOrder(TChartListOrder::loAscending);
  std::vector<int> arrival;  // the arrival number of each stored value
  for (int i = 0; i < 20000; ++i) {
    double v = double(rng() % 1000);
    int32_t at = list.AppendOrdered(v);
    arrival.insert(arrival.begin() + at, i);
  }
  const std::vector<double>& raw = list.RawValues();
  for (size_t i = 1; i < raw.size(); ++i) {
    ASSERT_LE(raw[i - 1], raw[i]);
    if (raw[i - 1] == raw[i]) {
      ASSERT_LT(arrival[i - 1], arrival[i]);
    }
  }
}

TEST(ValueList, MultiplierScalesReadsNotStores) {
  FakeSeries s;
  TChartValueList& list = s.y;
  for (double v : {1.5, 4.0, -2.0}) list.AppendOrdered(v);
  EXPECT_EQ(list.Highest(), 4.0);
  list.SetMultiplier(2);
  EXPECT_EQ(s.changed, 1);
  EXPECT_EQ(s.modified, (std::vector<int32_t>{-1}));
  EXPECT_EQ(list.Highest(), 8.0);
  EXPECT_EQ(list.Lowest(), -4.0);
  EXPECT_EQ(list.Sum(), 7.0);
  EXPECT_EQ(list.ValueAt(1), 8.0);
  EXPECT_EQ(list.LastValue(), -4.0);
  EXPECT_EQ(list.FirstValue(), 3.0);
  EXPECT_EQ(list.RawValues(), (std::vector<double>{1.5, 4.0, -2.0}));
  EXPECT_EQ(list.LocateValue(8.0), 1);  // compares multiplied values
  EXPECT_EQ(list.LocateValue(4.0), -1);
  list.SetMultiplier(2);  // unchanged: no notice
  EXPECT_EQ(s.changed, 1);
  EXPECT_EQ(s.modified.size(), 1u);
}

TEST(ValueList, LocateValueFindsTheFirstExactMatch) {
  TChartValueList list;
  for (double v : {1.0, 2.0, 2.0, 0.1 + 0.2}) list.AppendOrdered(v);
  EXPECT_EQ(list.LocateValue(2.0), 1);
  EXPECT_EQ(list.LocateValue(0.3), -1);  // exact comparison
  EXPECT_EQ(list.LocateValue(0.1 + 0.2), 3);
  EXPECT_EQ(list.LocateValue(7), -1);
}

TEST(ValueList, SettersNotifyOnlyOnChange) {
  FakeSeries s;
  TChartValueList& list = s.y;
  list.SetDateTime(true);
  list.SetDateTime(true);
  list.SetName("Pie");
  list.SetName("Pie");
  list.SetOrder(TChartListOrder::loDescending);
  list.SetOrder(TChartListOrder::loDescending);
  EXPECT_EQ(s.changed, 3);
  EXPECT_TRUE(list.DateTime());
  EXPECT_EQ(list.Name(), "Pie");
  list.SetValueSource("Close");
  list.SetValueSource("Close");
  EXPECT_EQ(s.sourceChanged, 1);
  EXPECT_EQ(list.ValueSource(), "Close");
  list.AppendOrdered(1);
  list.AppendOrdered(2);
  EXPECT_TRUE(s.modified.empty());
  list.SetValueAt(1, 7);
  EXPECT_EQ(s.modified, (std::vector<int32_t>{1}));
  list.SetPendingValue(4.5);
  EXPECT_EQ(list.PendingValue(), 4.5);
}

TEST(ValueList, AssignCopiesSettingsButNotValuesOrName) {
  FakeSeries a, b;
  a.y.SetOrder(TChartListOrder::loDescending);
  a.y.SetDateTime(true);
  a.y.SetMultiplier(3);
  a.y.SetValueSource("High");
  a.y.AppendOrdered(9);
  b.y.AppendOrdered(1);
  b.y.AppendOrdered(2);
  b.y.Assign(a.y);
  EXPECT_EQ(b.y.Order(), TChartListOrder::loDescending);
  EXPECT_TRUE(b.y.DateTime());
  EXPECT_EQ(b.y.Multiplier(), 3);
  EXPECT_EQ(b.y.ValueSource(), "High");
  EXPECT_EQ(b.y.Name(), "Y");
  EXPECT_EQ(b.y.RawValues(), (std::vector<double>{1, 2}));
  EXPECT_EQ(b.y.Highest(), 6);  // the new multiplier applies
  EXPECT_EQ(b.sourceChanged, 1);
  b.y.Assign(b.y);
  EXPECT_EQ(b.y.Multiplier(), 3);
}

TEST(ValueList, IndexErrorsChangeNothing) {
  FakeSeries s;
  TChartValueList& list = s.y;
  list.AppendOrdered(1);
  list.AppendOrdered(2);
  list.AppendOrdered(3);
  ExpectIndexError([&] { list.ValueAt(3); }, 3);
  ExpectIndexError([&] { list.ValueAt(-1); }, -1);
  ExpectIndexError([&] { list.InsertAt(4, 0); }, 4);
  ExpectIndexError([&] { list.InsertAt(-1, 0); }, -1);
  ExpectIndexError([&] { list.SetValueAt(3, 0); }, 3);
  ExpectIndexError([&] { list.RemoveAt(3); }, 3);
  ExpectIndexError([&] { list.RemoveAt(-2); }, -2);
  EXPECT_EQ(list.RawValues(), (std::vector<double>{1, 2, 3}));
  EXPECT_TRUE(s.modified.empty());
  list.InsertAt(3, 4);  // inserting at the end is allowed
  EXPECT_EQ(list.LastValue(), 4);
  TChartValueList empty;
  ExpectIndexError([&] { empty.LastValue(); }, -1);
  ExpectIndexError([&] { empty.FirstValue(); }, 0);
}

TEST(ValueList, ClearAllGivesTheMemoryBack) {
  TChartValueList list;
  for (int i = 0; i < 1000; ++i) list.AppendOrdered(i);
  EXPECT_GE(list.RawValues().capacity(), 1000u);
  list.ClearAll();
  EXPECT_EQ(list.ValueCount(), 0);
  EXPECT_EQ(list.RawValues().capacity(), 0u);
  list.SetOrder(TChartListOrder::loAscending);
  EXPECT_EQ(list.AppendOrdered(5), 0);
  EXPECT_EQ(list.AppendOrdered(4), 0);
}

TEST(ValueList, SortByOrderMovesColoursAndLabelsWithTheirValues) {
  FakeSeries s;
  s.x.SetOrder(TChartListOrder::loNone);
  s.AddXY(3, 30, "c", clRed);
  s.AddXY(1, 10, "a", clGreen);
  s.AddXY(2, 20, "b", clBlue);
  s.AddXY(1, 11, "a2", clLime);
  s.x.SetOrder(TChartListOrder::loAscending);
  s.x.SortByOrder();
  EXPECT_EQ(s.reordered, 1);
  EXPECT_EQ(Values(s.x), (std::vector<double>{1, 1, 2, 3}));
  EXPECT_EQ(Values(s.y), (std::vector<double>{10, 11, 20, 30}));  // equal X keep their order
  EXPECT_EQ(s.colors, (std::vector<TColor>{clGreen, clLime, clBlue, clRed}));
  EXPECT_EQ(s.labels, (std::vector<std::string>{"a", "a2", "b", "c"}));
  s.x.SortByOrder();  // already in order: nothing to tell
  EXPECT_EQ(s.reordered, 1);
  s.x.SetOrder(TChartListOrder::loDescending);
  s.x.SortByOrder();
  EXPECT_EQ(Values(s.y), (std::vector<double>{30, 20, 10, 11}));
  EXPECT_EQ(s.labels, (std::vector<std::string>{"c", "b", "a", "a2"}));
  s.x.SetOrder(TChartListOrder::loNone);
  s.x.SortByOrder();
  EXPECT_EQ(s.reordered, 2);
}

TEST(ValueList, SortByOrderUsesMultipliedValues) {
  TChartValueList list;  // no owner: sorts itself
  for (double v : {1.0, 3.0, 2.0}) list.AppendOrdered(v);
  list.SetMultiplier(-1);
  list.SetOrder(TChartListOrder::loAscending);
  list.SortByOrder();
  EXPECT_EQ(Values(list), (std::vector<double>{-3, -2, -1}));
  EXPECT_EQ(list.RawValues(), (std::vector<double>{3, 2, 1}));
}

TEST(ValueList, ApplyOrderRefusesWhatIsNotAPermutation) {
  TChartValueList list;
  for (double v : {1.0, 2.0, 3.0}) list.AppendOrdered(v);
  const std::vector<int32_t> dup{0, 0, 1}, shortOrder{1, 0}, outside{0, 1, 3};
  EXPECT_THROW(list.ApplyOrder(dup), ChartException);
  EXPECT_THROW(list.ApplyOrder(shortOrder), ChartException);
  EXPECT_THROW(list.ApplyOrder(outside), ChartException);
  EXPECT_EQ(list.RawValues(), (std::vector<double>{1, 2, 3}));
  const std::vector<int32_t> turn{2, 0, 1};
  list.ApplyOrder(turn);
  EXPECT_EQ(list.RawValues(), (std::vector<double>{3, 1, 2}));
}

TEST(ValueList, ReorderParallelFillsShortListsAndKeepsExtraEntries) {
  const std::vector<int32_t> order{2, 0, 1};
  std::vector<std::string> labels{"a"};  // shorter than the points
  ReorderParallel(labels, order);
  EXPECT_EQ(labels, (std::vector<std::string>{"", "a", ""}));
  std::vector<TColor> colors{clRed, clGreen};
  ReorderParallel(colors, order, clDefault);
  EXPECT_EQ(colors, (std::vector<TColor>{clDefault, clRed, clGreen}));
  std::vector<int> longer{10, 11, 12, 13};
  ReorderParallel(longer, order);
  EXPECT_EQ(longer, (std::vector<int>{12, 10, 11, 13}));
  const std::vector<int32_t> bad{0, 5, 1};
  EXPECT_THROW(ReorderParallel(longer, bad), ChartException);
  EXPECT_EQ(longer, (std::vector<int>{12, 10, 11, 13}));
}

TEST(ValueList, RotateAndFillWithIndexes) {
  TChartValueList list;
  list.RotateFirstToLast();  // empty: nothing
  for (double v : {1.0, 2.0, 3.0}) list.AppendOrdered(v);
  list.RotateFirstToLast();
  EXPECT_EQ(list.RawValues(), (std::vector<double>{2, 3, 1}));
  list.FillWithIndexes();
  EXPECT_EQ(list.RawValues(), (std::vector<double>{0, 1, 2}));
  list.SetOrder(TChartListOrder::loDescending);
  EXPECT_EQ(list.AppendOrdered(1.5), 3);  // the last value is not below it: appended
  EXPECT_EQ(list.AppendOrdered(3), 0);    // walks back past every smaller value
}

TEST(ValueList, StoresEightBytesAValue) {
  TChartValueList list;
  list.Reserve(1000000);
  for (int i = 0; i < 1000000; ++i) list.AppendOrdered(i);
  EXPECT_EQ(list.RawValues().capacity(), 1000000u);
  EXPECT_EQ(list.Sum(), 999999.0 * 1000000.0 / 2);
}

}  // namespace
}  // namespace zq
