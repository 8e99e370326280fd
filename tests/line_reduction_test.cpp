// Lines with many points per pixel look the same drawn the quick way and with every segment
// (each call's pixels set at once): directly through Cairo and recorded, then replayed through
// the same raster.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "drawing/line_reduction_cases.h"
#include "platform/cairo/cairo_surface.h"
#include "platform/cairo/image_output.h"
#include "platform/record/recording_surface.h"
#include "support/image_compare.h"

namespace zq {
namespace {

using platform::CairoSurface;
using platform::RecordingSurface;
using test::LineReductionCase;

class LineReduction : public ::testing::TestWithParam<LineReductionCase> {};
class RecordedLineReduction : public ::testing::TestWithParam<LineReductionCase> {};

std::vector<LineReductionCase> RecordableCases() {
  std::vector<LineReductionCase> cases;
  for (const LineReductionCase& c : test::LineReductionCases())
    if (c.recordable) cases.push_back(c);
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<LineReductionCase>& info) {
  return info.param.name;
}

TEST_P(LineReduction, EverySegmentOrNotTheSamePixels) {
  const LineReductionCase& c = GetParam();
  // The slow picture sets every call's pixels at once; the quick one leaves the surface to
  // gather lines and leave out hidden shapes.
  CairoSurface every(c.width, c.height), quick(c.width, c.height);
  every.SetDrawAtOnce(true);
  test::DrawLineReductionCase(c, true, every);
  test::DrawLineReductionCase(c, false, quick);
  zq::testing::ImageCompareOptions options;
  options.diffPath = zq::testing::TestOutputPath("line_reduction_" + c.name + ".diff.png");
  EXPECT_TRUE(zq::testing::ImagesMatch(quick.Snapshot(), every.Snapshot(), options));
  if (std::getenv("ZQ_KEEP_PICTURES"))
    platform::SavePng(quick, zq::testing::TestOutputPath("line_reduction_" + c.name + ".png"));
}

TEST_P(RecordedLineReduction, ReplayedTheSamePixels) {
  const LineReductionCase& c = GetParam();
  RecordingSurface every(c.width, c.height), quick(c.width, c.height);
  test::DrawLineReductionCase(c, true, every);
  test::DrawLineReductionCase(c, false, quick);
  CairoSurface everyReplayed(c.width, c.height), quickReplayed(c.width, c.height);
  everyReplayed.SetDrawAtOnce(true);
  every.Replay(everyReplayed);
  quick.Replay(quickReplayed);
  EXPECT_TRUE(zq::testing::ImagesMatch(quickReplayed.Snapshot(), everyReplayed.Snapshot()));
  // Dense lines leave calls out (the few columns of one point a column may keep them all).
  EXPECT_LE(quick.Ops().size(), every.Ops().size());
  if (c.name == "walk_30" || c.name == "sine_noise") {
    EXPECT_LT(quick.Ops().size() * 4, every.Ops().size()) << c.name;
  }
  // A ribbon keeps a face for each pair of heights met in a column.
  if (c.name == "ribbon_1000") {
    EXPECT_LT(quick.Ops().size() * 2, every.Ops().size());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LineReduction, ::testing::ValuesIn(test::LineReductionCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(Cases, RecordedLineReduction, ::testing::ValuesIn(RecordableCases()),
                         CaseName);

}  // namespace
}  // namespace zq
