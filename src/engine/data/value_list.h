// TChartValueList: one named, optionally ordered list of a series' values, stored contiguously
// (8 bytes a value), with cached statistics.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/drawing/errors.h"

namespace zq {

enum class TChartListOrder { loNone, loAscending, loDescending };

// Names of a series' two lists.
inline constexpr const char* kValueListNameX = "X";
inline constexpr const char* kValueListNameY = "Y";

// Raised (as ChartException) for an index outside the list.
inline constexpr const char* kListIndexError = "List index out of bounds (%d)";

class TChartValueList;

// What a value list asks of the series that owns it.
class TChartValueListOwner {
 public:
  // A property of the list changed: repaint the chart.
  virtual void ValueListChanged(TChartValueList& list) = 0;
  // Values changed: tell the linked series of a modification at `index` (-1: every value).
  virtual void ValueListModified(TChartValueList& list, int32_t index) = 0;
  // ValueSource changed: the chart re-checks the series' data source.
  virtual void ValueListSourceChanged(TChartValueList& list) = 0;
  // `sorted` has just put its values in a new order: new index i holds the point that was at
  // order[i]. The owner moves every other parallel list the same way (its other value lists
  // through ApplyOrder, colours and labels through ReorderParallel, mark positions) and
  // repaints.
  virtual void ValueListReordered(TChartValueList& sorted, std::span<const int32_t> order) = 0;

 protected:
  ~TChartValueListOwner() = default;
};

class TChartValueList {
 public:
  explicit TChartValueList(TChartValueListOwner* owner = nullptr, std::string name = {});
  TChartValueList(const TChartValueList&) = delete;
  TChartValueList& operator=(const TChartValueList&) = delete;

  TChartValueListOwner* Owner() const { return owner_; }

  // ---- properties ----
  bool DateTime() const { return dateTime_; }
  void SetDateTime(bool value);
  double Multiplier() const { return multiplier_; }
  // Marks the statistics dirty, tells the linked series and repaints.
  void SetMultiplier(double value);
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value);
  TChartListOrder Order() const { return order_; }
  void SetOrder(TChartListOrder value);
  const std::string& ValueSource() const { return valueSource_; }
  void SetValueSource(const std::string& value);

  // The value the series stages for its next add.
  double PendingValue() const { return pending_; }
  void SetPendingValue(double value) { pending_ = value; }

  // Copies Order, DateTime, Multiplier and ValueSource; not the values, not the name.
  void Assign(const TChartValueList& source);

  // ---- values ----
  int32_t ValueCount() const { return int32_t(values_.size()); }
  // The stored value times Multiplier. Index errors raise kListIndexError.
  double ValueAt(int32_t index) const;
  double FirstValue() const { return ValueAt(0); }
  double LastValue() const { return ValueAt(ValueCount() - 1); }
  // The stored values, without Multiplier, for loops over many points.
  const std::vector<double>& RawValues() const { return values_; }

  // Places the raw value by Order (equal values keep their arrival order, the new one last);
  // returns its index.
  int32_t AppendOrdered(double value);
  // Appends many raw values as AppendOrdered would one by one, in O(n log n): `values` is
  // taken (left empty) and the answer is the order that put them in place (new index i holds
  // the value that was at order[i] once they were all at the end), empty when they could stay
  // at the end. Nothing happens and nullopt is the answer where only the one-by-one walk knows
  // the places (a list not known to be in order, a NaN among the values).
  std::optional<std::vector<int32_t>> AppendAllOrdered(std::vector<double>& values);
  // Appends raw values at the end regardless of Order (`values` is taken).
  void AppendAll(std::vector<double>& values);
  // Inserts at 0..ValueCount regardless of Order.
  void InsertAt(int32_t index, double value);
  // Overwrites the raw value and tells the linked series.
  void SetValueAt(int32_t index, double value);
  void RemoveAt(int32_t index);
  // Removes `count` values from `first` on (both must lie inside the list).
  void RemoveRange(int32_t first, int32_t count);
  // Empties the list and gives its memory back.
  void ClearAll();
  void Reserve(int32_t count);

  // The first index whose ValueAt equals value exactly, else -1.
  int32_t LocateValue(double value) const;

  // ---- statistics (cached; recomputed on the first read after a change) ----
  double Lowest() const;
  double Highest() const;
  double Sum() const;
  double SumAbs() const;

  // ---- reordering ----
  // Sorts the owner's points by this list's ValueAt (nothing for loNone). The sort is stable:
  // equal values keep their order. The owner is told through ValueListReordered.
  void SortByOrder();
  // New index i takes the value at order[i]; `order` must be a permutation of 0..ValueCount-1.
  void ApplyOrder(std::span<const int32_t> order);
  // Moves the first value to the end.
  void RotateFirstToLast();
  // Value i becomes i.
  void FillWithIndexes();

 private:
  // Whether the stored values are known to follow Order; decides how AppendOrdered searches.
  enum class Sortedness { kUnknown, kSorted, kUnsorted };

  void CheckIndex(int32_t index, int32_t count) const;
  void Changed();
  void MarkDirty() { dirty_ = true; }
  void UpdateStatistics() const;
  bool InOrder(double before, double after) const;
  bool IsSorted() const;
  void KeepSortedAround(int32_t index);

  bool dateTime_ = false;
  std::vector<double> values_;
  mutable double highest_ = 0;
  mutable double lowest_ = 0;
  double multiplier_ = 1.0;
  std::string name_;
  TChartListOrder order_ = TChartListOrder::loNone;
  TChartValueListOwner* owner_ = nullptr;
  double pending_ = 0;
  mutable double total_ = 0;
  mutable double totalAbs_ = 0;
  std::string valueSource_;
  mutable bool dirty_ = true;
  Sortedness sortedness_ = Sortedness::kSorted;
};

// Reorders a series' parallel list (colours, labels) like ApplyOrder: new index i takes the
// element at order[i]. A shorter list is first filled up with `fill`; elements beyond the order
// stay where they are.
template <typename T>
void ReorderParallel(std::vector<T>& items, std::span<const int32_t> order, const T& fill = T{}) {
  for (int32_t from : order) {
    if (from < 0 || size_t(from) >= order.size()) {
      throw ChartException(FormatMessage(kListIndexError, int(from)));
    }
  }
  if (items.size() < order.size()) items.resize(order.size(), fill);
  std::vector<T> moved;
  moved.reserve(items.size());
  for (int32_t from : order) moved.push_back(std::move(items[size_t(from)]));
  for (size_t i = order.size(); i < items.size(); ++i) moved.push_back(std::move(items[i]));
  items.swap(moved);
}

}  // namespace zq
