// Consecutive points of a 1-pixel line that fall in one pixel column. Their segments are
// vertical lines, each covering its first pixel and not its last, so together they cover every
// pixel from the lowest to the highest point, except the last point's own pixel when no
// segment ever leaves that height: one vertical line covers exactly the same pixels, however
// many points the column holds.
#pragma once

#include <cstdint>

namespace zq {

class TColumnRun {
 public:
  void Start(int32_t y) {
    last_ = low_ = high_ = y;
    lowLeft_ = highLeft_ = false;
  }

  void Add(int32_t y) {
    // A segment from an extreme to another height covers the extreme's pixel.
    if (y != last_) {
      if (last_ == high_) highLeft_ = true;
      if (last_ == low_) lowLeft_ = true;
    }
    if (y > high_) {
      high_ = y;
      highLeft_ = false;
    }
    if (y < low_) {
      low_ = y;
      lowLeft_ = false;
    }
    last_ = y;
  }

  int32_t Last() const { return last_; }

  // One vertical line from `from` to `to` (its last pixel left out, as always) that covers the
  // same pixels as the segments between the points; false when they cover none.
  bool Span(int32_t& from, int32_t& to) const {
    if (low_ == high_) return false;
    // The last point's pixel is covered unless it is an extreme that nothing left.
    if (last_ == high_ && !highLeft_) {
      from = low_;
      to = high_;
    } else if (last_ == low_ && !lowLeft_) {
      from = high_;
      to = low_;
    } else {
      from = low_;
      to = high_ + 1;
    }
    return true;
  }

 private:
  int32_t last_ = 0;
  int32_t low_ = 0;
  int32_t high_ = 0;
  // Whether a segment left the lowest (highest) height after it was reached.
  bool lowLeft_ = false;
  bool highLeft_ = false;
};

}  // namespace zq
