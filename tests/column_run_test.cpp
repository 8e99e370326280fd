#include "engine/series/column_run.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace zq {
namespace {

// The pixels of a vertical line from a to b: a's, not b's.
void Cover(std::set<int32_t>& pixels, int32_t a, int32_t b) {
  for (int32_t y = a; y != b; y += a < b ? 1 : -1) pixels.insert(y);
}

TEST(ColumnRun, OneLineCoversWhatEverySegmentCovers) {
  // Every sequence of up to seven heights from 0 to 3.
  for (int length = 1; length <= 7; ++length) {
    int combinations = 1;
    for (int i = 0; i < length; ++i) combinations *= 4;
    for (int code = 0; code < combinations; ++code) {
      std::vector<int32_t> heights;
      for (int i = 0, c = code; i < length; ++i, c /= 4) heights.push_back(c % 4);
      std::set<int32_t> segments, line;
      for (size_t i = 1; i < heights.size(); ++i) Cover(segments, heights[i - 1], heights[i]);
      TColumnRun run;
      run.Start(heights[0]);
      for (size_t i = 1; i < heights.size(); ++i) run.Add(heights[i]);
      int32_t from = 0, to = 0;
      auto leaves = [&](int32_t y) {
        for (size_t i = 1; i < heights.size(); ++i)
          if (heights[i - 1] == y && heights[i] != y) return true;
        return false;
      };
      if (run.Span(from, to, leaves)) Cover(line, from, to);
      ASSERT_EQ(line, segments) << "sequence " << code << " of length " << length;
      ASSERT_EQ(run.Last(), heights.back());
    }
  }
}

}  // namespace
}  // namespace zq
