// Consecutive points of a 1-pixel line that fall in one pixel column. Their segments are
// vertical lines, each covering its first pixel and not its last, so together they cover every
// pixel from the lowest to the highest point, except the last point's own pixel when no
// segment ever leaves that height: one vertical line covers exactly the same pixels, however
// many points the column holds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace zq {

class TColumnRun {
 public:
  void Start(int32_t y) { first_ = last_ = low_ = high_ = y; }

  void Add(int32_t y) {
    high_ = std::max(high_, y);
    low_ = std::min(low_, y);
    last_ = y;
  }

  int32_t First() const { return first_; }
  int32_t Last() const { return last_; }

  // One vertical line from `from` to `to` (its last pixel left out, as always) that covers the
  // same pixels as the segments between the points; false when they cover none. leaves(y)
  // says whether a segment goes from height y to another height (and so covers y's pixel): it
  // is asked only when the column ends on its lowest or highest point.
  template <typename Leaves>
  bool Span(int32_t& from, int32_t& to, Leaves&& leaves) const {
    if (low_ == high_) return false;
    // The last point's pixel is covered unless it is an extreme that no segment left.
    if (last_ == high_ && !leaves(high_)) {
      from = low_;
      to = high_;
    } else if (last_ == low_ && !leaves(low_)) {
      from = high_;
      to = low_;
    } else {
      from = low_;
      to = high_ + 1;
    }
    return true;
  }

 private:
  int32_t first_ = 0;
  int32_t last_ = 0;
  int32_t low_ = 0;
  int32_t high_ = 0;
};

// The faces of a 3D ribbon between consecutive points of one pixel column. Two faces between
// the same two heights, in either order, are the same polygon (its corners in the opposite
// order) drawn in the same colours: a polygon's interior does not depend on the order of its
// corners, and a line sets the same pixels drawn either way, so the later face paints every
// pixel of the earlier one again, over whatever was drawn between them. Only the last of
// them needs drawing.
class TColumnFaces {
 public:
  void Start(int32_t y) {
    heights_.clear();
    heights_.push_back(y);
  }
  void Add(int32_t y) { heights_.push_back(y); }
  int32_t Last() const { return heights_.back(); }
  size_t Count() const { return heights_.size(); }

  // Calls face(k, from, to) in drawing order for the faces from point k - 1 to point k that
  // are drawn: of equal faces the last, and no face of zero height.
  template <typename F>
  void ForEachKept(F&& face) {
    const size_t n = heights_.size();
    if (n < 2) return;
    kept_.clear();
    // Faces are pairs of heights, mostly near each other: a table of every pair in reach
    // when it is small enough, else a hash set.
    int32_t low = heights_[0], high = low;
    int64_t reach = 0;
    for (size_t k = 1; k < n; ++k) {
      low = std::min(low, heights_[k]);
      high = std::max(high, heights_[k]);
      reach = std::max<int64_t>(reach, std::llabs(int64_t(heights_[k]) - heights_[k - 1]));
    }
    const int64_t width = reach + 1, cells = (int64_t(high) - low + 1) * width;
    if (cells <= kTableCells) {
      NewStamp(size_t(cells));
      // Without a branch per face: a face is written down always, and counted when kept.
      kept_.resize(n);
      size_t count = 0;
      for (size_t k = n - 1; k > 0; --k) {
        const int32_t from = heights_[k - 1], to = heights_[k];
        const int64_t lower = std::min(from, to), apart = std::llabs(int64_t(to) - from);
        uint32_t& cell = table_[size_t((lower - low) * width + apart)];
        kept_[count] = uint32_t(k);
        count += cell != tableStamp_ && from != to;
        cell = tableStamp_;
      }
      kept_.resize(count);
    } else {
      Reset(n);
      for (size_t k = n - 1; k > 0; --k) {
        const int32_t from = heights_[k - 1], to = heights_[k];
        const int32_t lower = std::min(from, to), upper = std::max(from, to);
        if (from != to && Insert(uint64_t(uint32_t(lower)) << 32 | uint32_t(upper)))
          kept_.push_back(uint32_t(k));
      }
    }
    // Found from the last back: drawn from the first on.
    for (size_t i = kept_.size(); i-- > 0;) {
      const size_t k = kept_[i];
      face(k, heights_[k - 1], heights_[k]);
    }
  }

 private:
  static constexpr int64_t kTableCells = int64_t(1) << 18;
  // The table of pairs, emptied by a new stamp rather than by clearing.
  void NewStamp(size_t cells) {
    if (table_.size() < cells) {
      table_.assign(cells, 0);
      tableStamp_ = 0;
    }
    if (++tableStamp_ == 0) {
      table_.assign(table_.size(), 0);
      tableStamp_ = 1;
    }
  }
  // An open-addressed set of faces, emptied by a new stamp rather than by clearing.
  void Reset(size_t count) {
    size_t size = 64;
    while (size < 2 * count) size *= 2;
    if (slots_.size() < size) {
      slots_.assign(size, 0);
      stamps_.assign(size, 0);
      stamp_ = 0;
    }
    if (++stamp_ == 0) {
      stamps_.assign(stamps_.size(), 0);
      stamp_ = 1;
    }
    mask_ = slots_.size() - 1;
  }
  // False when the face is already there.
  bool Insert(uint64_t key) {
    size_t h = size_t((key * 0x9E3779B97F4A7C15ull) >> 20) & mask_;
    while (stamps_[h] == stamp_) {
      if (slots_[h] == key) return false;
      h = (h + 1) & mask_;
    }
    stamps_[h] = stamp_;
    slots_[h] = key;
    return true;
  }

  std::vector<int32_t> heights_;
  std::vector<uint32_t> kept_;
  std::vector<uint64_t> slots_;
  std::vector<uint32_t> stamps_;
  uint32_t stamp_ = 0;
  std::vector<uint32_t> table_;
  uint32_t tableStamp_ = 0;
  size_t mask_ = 0;
};

}  // namespace zq
