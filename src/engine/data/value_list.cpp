#include "engine/data/value_list.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zq {

TChartValueList::TChartValueList(TChartValueListOwner* owner, std::string name)
    : name_(std::move(name)), owner_(owner) {}

// ---- properties --------------------------------------------------------------------------

void TChartValueList::Changed() {
  if (owner_) owner_->ValueListChanged(*this);
}

void TChartValueList::SetDateTime(bool value) {
  if (value == dateTime_) return;
  dateTime_ = value;
  Changed();
}

void TChartValueList::SetMultiplier(double value) {
  if (value == multiplier_) return;
  multiplier_ = value;
  MarkDirty();
  if (owner_) owner_->ValueListModified(*this, -1);
  Changed();
}

void TChartValueList::SetName(const std::string& value) {
  if (value == name_) return;
  name_ = value;
  Changed();
}

void TChartValueList::SetOrder(TChartListOrder value) {
  if (value == order_) return;
  order_ = value;
  sortedness_ = Sortedness::kUnknown;
  Changed();
}

void TChartValueList::SetValueSource(const std::string& value) {
  if (value == valueSource_) return;
  valueSource_ = value;
  if (owner_) owner_->ValueListSourceChanged(*this);
}

void TChartValueList::Assign(const TChartValueList& source) {
  if (&source == this) return;
  SetOrder(source.order_);
  SetDateTime(source.dateTime_);
  SetMultiplier(source.multiplier_);
  SetValueSource(source.valueSource_);
}

// ---- values ------------------------------------------------------------------------------

void TChartValueList::CheckIndex(int32_t index, int32_t count) const {
  if (index < 0 || index >= count) throw ChartException(FormatMessage(kListIndexError, index));
}

double TChartValueList::ValueAt(int32_t index) const {
  CheckIndex(index, ValueCount());
  return values_[size_t(index)] * multiplier_;
}

bool TChartValueList::InOrder(double before, double after) const {
  return order_ == TChartListOrder::loDescending ? before >= after : before <= after;
}

bool TChartValueList::IsSorted() const {
  for (size_t i = 1; i < values_.size(); ++i) {
    if (!InOrder(values_[i - 1], values_[i])) return false;
  }
  return true;
}

// After an insertion or overwrite at `index` of a list known to be sorted.
void TChartValueList::KeepSortedAround(int32_t index) {
  if (sortedness_ != Sortedness::kSorted) return;
  const size_t i = size_t(index);
  if ((i > 0 && !InOrder(values_[i - 1], values_[i])) ||
      (i + 1 < values_.size() && !InOrder(values_[i], values_[i + 1]))) {
    sortedness_ = Sortedness::kUnsorted;
  }
}

int32_t TChartValueList::AppendOrdered(double value) {
  const int32_t count = ValueCount();
  int32_t index = count;
  if (order_ != TChartListOrder::loNone && count > 0 && !InOrder(values_.back(), value)) {
    // The new value goes just after the last value that does not lie beyond it.
    const bool descending = order_ == TChartListOrder::loDescending;
    auto beyond = [descending, value](double v) { return descending ? v < value : v > value; };
    if (sortedness_ == Sortedness::kUnknown) {
      sortedness_ = IsSorted() ? Sortedness::kSorted : Sortedness::kUnsorted;
    }
    if (sortedness_ == Sortedness::kSorted) {
      // `beyond` is false then true along a sorted list: the walk back ends where it turns.
      int32_t lo = 0, hi = count;
      while (lo < hi) {
        int32_t mid = lo + (hi - lo) / 2;
        if (beyond(values_[size_t(mid)])) {
          hi = mid;
        } else {
          lo = mid + 1;
        }
      }
      index = lo;
    } else {
      index = count;
      while (index > 0 && beyond(values_[size_t(index - 1)])) --index;
    }
  }
  values_.insert(values_.begin() + index, value);
  if (order_ != TChartListOrder::loNone) KeepSortedAround(index);
  MarkDirty();
  return index;
}

void TChartValueList::AppendAll(std::vector<double>& values) {
  if (values_.empty()) {
    values_.swap(values);
  } else {
    values_.insert(values_.end(), values.begin(), values.end());
  }
  std::vector<double>().swap(values);
  sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

std::optional<std::vector<int32_t>> TChartValueList::AppendAllOrdered(std::vector<double>& values) {
  if (order_ == TChartListOrder::loNone) {
    // AppendOrdered leaves the known order alone for unordered lists.
    const Sortedness kept = sortedness_;
    AppendAll(values);
    sortedness_ = kept;
    return std::vector<int32_t>();
  }
  if (std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); }))
    return std::nullopt;
  if (sortedness_ == Sortedness::kUnknown) {
    sortedness_ = IsSorted() ? Sortedness::kSorted : Sortedness::kUnsorted;
  }
  if (sortedness_ != Sortedness::kSorted) return std::nullopt;
  const size_t before = values_.size();
  bool inPlace = before == 0 || values.empty() || InOrder(values_.back(), values.front());
  for (size_t i = 1; inPlace && i < values.size(); ++i) inPlace = InOrder(values[i - 1], values[i]);
  if (inPlace) {
    AppendAll(values);
    sortedness_ = Sortedness::kSorted;
    return std::vector<int32_t>();
  }
  // One by one, each value goes after the values that do not lie beyond it: a stable sort of
  // the new values merged after equal old ones.
  std::vector<int32_t> incoming(values.size());
  std::iota(incoming.begin(), incoming.end(), 0);
  const bool descending = order_ == TChartListOrder::loDescending;
  std::stable_sort(incoming.begin(), incoming.end(), [&values, descending](int32_t a, int32_t b) {
    return descending ? values[size_t(a)] > values[size_t(b)]
                      : values[size_t(a)] < values[size_t(b)];
  });
  std::vector<int32_t> order;
  order.reserve(before + values.size());
  size_t i = 0, j = 0;
  while (i < before || j < incoming.size()) {
    if (j == incoming.size() || (i < before && InOrder(values_[i], values[size_t(incoming[j])]))) {
      order.push_back(int32_t(i++));
    } else {
      order.push_back(int32_t(before) + incoming[j++]);
    }
  }
  std::vector<int32_t>().swap(incoming);
  AppendAll(values);
  ApplyOrder(order);
  sortedness_ = Sortedness::kSorted;
  return order;
}

void TChartValueList::InsertAt(int32_t index, double value) {
  CheckIndex(index, ValueCount() + 1);
  values_.insert(values_.begin() + index, value);
  KeepSortedAround(index);
  MarkDirty();
}

void TChartValueList::SetValueAt(int32_t index, double value) {
  CheckIndex(index, ValueCount());
  values_[size_t(index)] = value;
  if (sortedness_ == Sortedness::kUnsorted) sortedness_ = Sortedness::kUnknown;
  KeepSortedAround(index);
  MarkDirty();
  if (owner_) owner_->ValueListModified(*this, index);
}

void TChartValueList::RemoveAt(int32_t index) {
  CheckIndex(index, ValueCount());
  values_.erase(values_.begin() + index);
  if (sortedness_ == Sortedness::kUnsorted) sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

void TChartValueList::RemoveRange(int32_t first, int32_t count) {
  if (count <= 0) return;
  CheckIndex(first, ValueCount());
  CheckIndex(first + count - 1, ValueCount());
  values_.erase(values_.begin() + first, values_.begin() + first + count);
  if (sortedness_ == Sortedness::kUnsorted) sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

void TChartValueList::ClearAll() {
  std::vector<double>().swap(values_);
  sortedness_ = Sortedness::kSorted;
  MarkDirty();
}

void TChartValueList::Reserve(int32_t count) {
  if (count > 0) values_.reserve(size_t(count));
}

int32_t TChartValueList::LocateValue(double value) const {
  for (size_t i = 0; i < values_.size(); ++i) {
    if (values_[i] * multiplier_ == value) return int32_t(i);
  }
  return -1;
}

// ---- statistics --------------------------------------------------------------------------

void TChartValueList::UpdateStatistics() const {
  if (!dirty_) return;
  if (values_.empty()) {
    lowest_ = highest_ = total_ = totalAbs_ = 0;
  } else {
    double v = values_[0] * multiplier_;
    double low = v, high = v, total = v, totalAbs = std::fabs(v);
    for (size_t i = 1; i < values_.size(); ++i) {
      v = values_[i] * multiplier_;
      if (v < low) {
        low = v;
      } else if (v > high) {
        high = v;
      }
      total += v;
      totalAbs += std::fabs(v);
    }
    lowest_ = low;
    highest_ = high;
    total_ = total;
    totalAbs_ = totalAbs;
  }
  dirty_ = false;
}

double TChartValueList::Lowest() const {
  UpdateStatistics();
  return lowest_;
}

double TChartValueList::Highest() const {
  UpdateStatistics();
  return highest_;
}

double TChartValueList::Sum() const {
  UpdateStatistics();
  return total_;
}

double TChartValueList::SumAbs() const {
  UpdateStatistics();
  return totalAbs_;
}

// ---- reordering --------------------------------------------------------------------------

void TChartValueList::SortByOrder() {
  const int32_t count = ValueCount();
  if (order_ == TChartListOrder::loNone || count < 2) return;
  std::vector<double> keys(values_.size());
  for (size_t i = 0; i < keys.size(); ++i) keys[i] = values_[i] * multiplier_;
  std::vector<int32_t> order(keys.size());
  std::iota(order.begin(), order.end(), 0);
  // NaNs go last in either direction so that the comparison stays a strict weak order.
  const bool descending = order_ == TChartListOrder::loDescending;
  std::stable_sort(order.begin(), order.end(), [&keys, descending](int32_t a, int32_t b) {
    const double x = keys[size_t(a)], y = keys[size_t(b)];
    if (std::isnan(x) || std::isnan(y)) return !std::isnan(x) && std::isnan(y);
    return descending ? x > y : x < y;
  });
  bool moved = false;
  for (int32_t i = 0; i < count && !moved; ++i) moved = order[size_t(i)] != i;
  if (!moved) return;
  ApplyOrder(order);
  if (owner_) owner_->ValueListReordered(*this, order);
}

void TChartValueList::ApplyOrder(std::span<const int32_t> order) {
  const int32_t count = ValueCount();
  if (order.size() != values_.size()) {
    throw ChartException(FormatMessage(kListIndexError, int32_t(order.size())));
  }
  std::vector<bool> seen(values_.size(), false);
  for (int32_t from : order) {
    if (from < 0 || from >= count || seen[size_t(from)]) {
      throw ChartException(FormatMessage(kListIndexError, from));
    }
    seen[size_t(from)] = true;
  }
  std::vector<double> sorted(values_.size());
  for (size_t i = 0; i < sorted.size(); ++i) sorted[i] = values_[size_t(order[i])];
  values_.swap(sorted);
  sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

void TChartValueList::RotateFirstToLast() {
  if (values_.size() < 2) return;
  std::rotate(values_.begin(), values_.begin() + 1, values_.end());
  sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

void TChartValueList::FillWithIndexes() {
  for (size_t i = 0; i < values_.size(); ++i) values_[i] = double(i);
  sortedness_ = Sortedness::kUnknown;
  MarkDirty();
}

}  // namespace zq
