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

// Of the faces between the same two heights, in either order, only the last is drawn, whichever
// way the column keeps them (a table of pairs in reach, or a hash set when the heights spread
// far).
TEST(ColumnFaces, KeepTheLastOfEqualFacesEitherWay) {
  uint64_t state = 7;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return int32_t(state >> 40);
  };
  const int32_t spreads[] = {3, 40, 2000000};
  TColumnFaces column;
  for (int32_t spread : spreads) {
    for (int round = 0; round < 20; ++round) {
      std::vector<int32_t> heights;
      for (int i = 0; i < 300; ++i) heights.push_back(next() % spread - spread / 2);
      column.Start(heights[0]);
      for (size_t i = 1; i < heights.size(); ++i) column.Add(heights[i]);
      std::vector<size_t> kept, expected;
      column.ForEachKept([&](size_t k, int32_t from, int32_t to) {
        ASSERT_EQ(from, heights[k - 1]);
        ASSERT_EQ(to, heights[k]);
        kept.push_back(k);
      });
      for (size_t k = 1; k < heights.size(); ++k) {
        bool later = heights[k - 1] == heights[k];
        for (size_t j = k + 1; j < heights.size() && !later; ++j) {
          later = (heights[j - 1] == heights[k - 1] && heights[j] == heights[k]) ||
                  (heights[j - 1] == heights[k] && heights[j] == heights[k - 1]);
        }
        if (!later) expected.push_back(k);
      }
      ASSERT_EQ(kept, expected) << "spread " << spread << ", round " << round;
    }
  }
}

}  // namespace
}  // namespace zq
