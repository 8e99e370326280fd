// The canvas drawing sequence on the Cairo backend against its reference picture, looked at
// and judged right when it was made (ZQ_UPDATE_REFERENCES=1 writes it anew).
#include <gtest/gtest.h>

#include <cstdlib>

#include "drawing/canvas_sequence.h"
#include "platform/cairo/image_output.h"
#include "platform/surface.h"
#include "support/image_compare.h"

namespace {

using namespace zq;

platform::Image Render(bool withText) {
  auto surface =
      platform::CreateMemorySurface(test::kCanvasSequenceWidth, test::kCanvasSequenceHeight);
  test::DrawCanvasSequence(*surface, withText);
  return surface->Snapshot();
}

TEST(CanvasSequence, MatchesTheReferencePicture) {
  const std::string reference = std::string(ZQ_TEST_DATA) + "/reference/canvas_sequence.png";
  platform::Image actual = Render(true);
  if (std::getenv("ZQ_UPDATE_REFERENCES") != nullptr) {
    ASSERT_TRUE(platform::SavePng(actual, reference));
    GTEST_SKIP() << "wrote " << reference;
  }
  auto expected = platform::LoadPng(reference);
  ASSERT_TRUE(expected.has_value()) << reference;
  zq::testing::ImageCompareOptions options;
  options.diffPath = zq::testing::TestOutputPath("canvas_sequence.diff.png");
  EXPECT_TRUE(zq::testing::ImagesMatch(actual, *expected, options));
}

TEST(CanvasSequence, TextIsAllThatTheTextlessRunLeavesOut) {
  platform::Image with = Render(true);
  platform::Image without = Render(false);
  int64_t differing = 0;
  for (size_t i = 0; i < with.pixels.size(); ++i) differing += with.pixels[i] != without.pixels[i];
  EXPECT_GT(differing, 200) << "the text must show";
  EXPECT_LT(differing, int64_t(with.pixels.size() / 20)) << "only the text may differ";
}

}  // namespace
