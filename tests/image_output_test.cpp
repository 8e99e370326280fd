#include "platform/cairo/image_output.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/image_compare.h"

namespace {

using namespace zq::platform;
using zq::testing::TestOutputPath;

Image Gradient(int32_t w, int32_t h) {
  Image img;
  img.width = w;
  img.height = h;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      img.pixels.push_back(0xFF000000u | uint32_t(x * 7 % 256) << 16 | uint32_t(y * 5 % 256) << 8 |
                           uint32_t((x + y) % 256));
  return img;
}

std::string Head(const std::string& path, size_t n) {
  std::ifstream in(path, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), std::streamsize(n));
  s.resize(size_t(in.gcount()));
  return s;
}

TEST(ImageOutput, PngRoundTripsExactly) {
  const Image img = Gradient(37, 23);
  const std::string path = TestOutputPath("image_output_roundtrip.png");
  ASSERT_TRUE(SavePng(img, path));
  const std::optional<Image> back = LoadPng(path);
  ASSERT_TRUE(back);
  EXPECT_TRUE(zq::testing::ImagesMatch(*back, img));
}

TEST(ImageOutput, SurfacesSaveWhatTheyShow) {
  CairoSurface s(20, 10);
  s.Clear(0x0000FF);
  s.SetPixel(3, 4, 0x00FF00);
  const std::string path = TestOutputPath("image_output_surface.png");
  ASSERT_TRUE(SavePng(s, path));
  const std::optional<Image> back = LoadPng(path);
  ASSERT_TRUE(back);
  EXPECT_TRUE(zq::testing::ImagesMatch(*back, s.Snapshot()));
  EXPECT_TRUE(SaveImage(s, TestOutputPath("image_output_surface.pdf"), ImageFormat::Pdf));
}

TEST(ImageOutput, SvgAndPdfEmbedTheRaster) {
  const Image img = Gradient(30, 20);
  const std::string svg = TestOutputPath("image_output.svg");
  const std::string pdf = TestOutputPath("image_output.pdf");
  ASSERT_TRUE(SaveSvg(img, svg));
  ASSERT_TRUE(SavePdf(img, pdf));
  EXPECT_EQ(Head(pdf, 5), "%PDF-");
  std::ifstream in(svg);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("<svg"), std::string::npos);
  EXPECT_NE(text.find("width=\"30"), std::string::npos);
  EXPECT_NE(text.find("image/png;base64"), std::string::npos);
}

TEST(ImageOutput, UnwritablePathsFail) {
  const Image img = Gradient(4, 4);
  const std::string dir = "/nonexistent-zq-dir/";
  EXPECT_FALSE(SavePng(img, dir + "a.png"));
  EXPECT_FALSE(SaveSvg(img, dir + "a.svg"));
  EXPECT_FALSE(SavePdf(img, dir + "a.pdf"));
  CairoSurface s(4, 4);
  EXPECT_FALSE(SaveImage(s, dir + "a.png", ImageFormat::Png));
  EXPECT_FALSE(SaveImage(s, dir + "a.svg", ImageFormat::Svg));
}

TEST(ImageOutput, LoadPngRefusesWhatIsNotAPng) {
  EXPECT_FALSE(LoadPng("/nonexistent-zq-dir/missing.png"));
  const std::string path = TestOutputPath("image_output_not_a.png");
  std::ofstream(path) << "this is not a picture";
  EXPECT_FALSE(LoadPng(path));
}

TEST(ImageOutput, FormatsByExtension) {
  EXPECT_EQ(ImageFormatOf("a/b.PNG"), ImageFormat::Png);
  EXPECT_EQ(ImageFormatOf("x.svg"), ImageFormat::Svg);
  EXPECT_EQ(ImageFormatOf("x.Pdf"), ImageFormat::Pdf);
  EXPECT_FALSE(ImageFormatOf("x.jpg"));
  EXPECT_FALSE(ImageFormatOf("noextension"));
}

}  // namespace
