#include "support/image_compare.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cairo/image_output.h"

namespace {

using zq::platform::Image;
using namespace zq::testing;

Image Flat(int32_t w, int32_t h, uint32_t color) {
  Image img;
  img.width = w;
  img.height = h;
  img.pixels.assign(size_t(w) * size_t(h), color);
  return img;
}

TEST(ImageCompare, CountsDifferingPixels) {
  const Image a = Flat(10, 10, 0xFFFFFFFF);
  Image b = a;
  b.pixels[12] = 0xFF000000;  // (2, 1)
  b.pixels[57] = 0xFFFFFFFE;  // (7, 5), off by one
  const ImageComparison r = CompareImages(b, a);
  EXPECT_TRUE(r.sizesMatch);
  EXPECT_EQ(r.compared, 100);
  EXPECT_EQ(r.differing, 2);
  EXPECT_EQ(r.maxChannelDelta, 255);
  EXPECT_EQ(r.differingBox, (zq::platform::Rect{2, 1, 8, 6}));
  EXPECT_FALSE(r.passed);

  ImageCompareOptions o;
  o.channelTolerance = 1;
  EXPECT_EQ(CompareImages(b, a, o).differing, 1);
  o.maxDifferingFraction = 0.01;
  EXPECT_TRUE(CompareImages(b, a, o).passed);
}

TEST(ImageCompare, MaskLimitsTheComparison) {
  const Image a = Flat(4, 4, 0xFFFFFFFF);
  Image b = a;
  b.pixels[0] = 0xFF000000;
  Image mask = Flat(4, 4, 0xFFFFFFFF);
  mask.pixels[0] = 0xFF000000;
  ImageCompareOptions o;
  o.mask = &mask;
  const ImageComparison r = CompareImages(b, a, o);
  EXPECT_EQ(r.compared, 15);
  EXPECT_TRUE(r.passed);
}

TEST(ImageCompare, DifferentSizesNeverMatch) {
  ImageCompareOptions o;
  o.maxDifferingFraction = 1.0;
  const ImageComparison r = CompareImages(Flat(3, 3, 0), Flat(3, 4, 0), o);
  EXPECT_FALSE(r.sizesMatch);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.Describe(), "the pictures differ in size");
}

TEST(ImageCompare, FailureWritesTheDiffAndTheActualPicture) {
  const Image a = Flat(6, 6, 0xFFFFFFFF);
  Image b = a;
  b.pixels[7] = 0xFF0000FF;
  ImageCompareOptions o;
  o.diffPath = TestOutputPath("image_compare_diff.png");
  const std::string actualPath = TestOutputPath("image_compare_diff.actual.png");
  std::filesystem::remove(o.diffPath);
  std::filesystem::remove(actualPath);
  const ::testing::AssertionResult r = ImagesMatch(b, a, o);
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("1 of 36 pixels differ"), std::string::npos)
      << r.message();
  const auto diff = zq::platform::LoadPng(o.diffPath);
  ASSERT_TRUE(diff);
  EXPECT_EQ(diff->At(1, 1), 0xFFFF0000u);  // red where they differ
  EXPECT_NE(diff->At(0, 0), 0xFFFF0000u);
  const auto actual = zq::platform::LoadPng(actualPath);
  ASSERT_TRUE(actual);
  EXPECT_TRUE(ImagesMatch(*actual, b));

  o.diffPath = "/nonexistent-zq-dir/diff.png";
  EXPECT_NE(std::string(ImagesMatch(b, a, o).message()).find("could not write"), std::string::npos);
}

TEST(ImageCompare, DiffMarksAreasOnlyOnePictureHas) {
  const Image d = DiffImage(Flat(2, 2, 0xFFFFFFFF), Flat(3, 2, 0xFFFFFFFF));
  EXPECT_EQ(d.width, 3);
  EXPECT_EQ(d.At(2, 0), 0xFFFF00FFu);
  EXPECT_NE(d.At(0, 0), 0xFFFF00FFu);
}

}  // namespace
