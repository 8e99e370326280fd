// Pictures written by hosts without a drawing library: what nbhost saves must read back pixel
// for pixel with the readers the tests compare with.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/picture_file.h"
#include "engine/drawing/bmp_reader.h"
#include "platform/cairo/image_output.h"
#include "platform/png_file.h"
#include "support/action_hosts.h"

namespace {

using zq::platform::Image;

// A picture whose every pixel differs from its neighbours, big enough that its compressed
// rows outgrow the writer's first guess of their size.
Image Pattern(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      image.pixels.push_back(0xFF000000u | uint32_t(x * 7 + y * 13) << 16 |
                             uint32_t(x * 3) % 256 << 8 | uint32_t(y * 5) % 256);
  return image;
}

// Plain rows, rows like the one above and rows with a few dots: each row's filter is chosen.
Image Plain(int32_t width, int32_t height) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(size_t(width) * size_t(height), 0xFFFFFFFFu);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if ((y % 7 == 3 && x % 5 < 3) || x == y || x == 40)
        image.pixels[size_t(y * width + x)] = 0xFF808080u;
  return image;
}

std::string Path(const std::string& name) {
  const std::filesystem::path dir = zq::testing::TestOutputPath("picture_file");
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

TEST(PictureFile, PngAndBmpReadBackPixelForPixel) {
  for (const Image& image : {Pattern(1, 1), Pattern(3, 2), Pattern(301, 97), Plain(120, 90)}) {
    SCOPED_TRACE(image.width);
    std::string error;
    const std::string png = Path("pattern.png"), bmp = Path("pattern.BMP");
    ASSERT_TRUE(zq::host::WritePicture(image, png, error)) << error;
    ASSERT_TRUE(zq::host::WritePicture(image, bmp, error)) << error;
    auto fromPng = zq::platform::LoadPng(png);
    ASSERT_TRUE(fromPng.has_value());
    EXPECT_EQ(fromPng->width, image.width);
    EXPECT_EQ(fromPng->pixels, image.pixels);
    std::ifstream in(bmp, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    const Image fromBmp = zq::DecodeBmp(bytes);
    EXPECT_EQ(fromBmp.height, image.height);
    EXPECT_EQ(fromBmp.pixels, image.pixels);
  }
}

TEST(PictureFile, FailuresSayWhy) {
  std::string error;
  EXPECT_FALSE(zq::host::WritePicture(Pattern(2, 2), Path("picture.svg"), error));
  EXPECT_EQ(error, "pictures are saved as .png or .bmp files");
  EXPECT_FALSE(zq::host::WritePicture(Pattern(2, 2), Path("no_extension"), error));
  EXPECT_FALSE(zq::host::WritePicture(Image{}, Path("empty.png"), error));
  EXPECT_EQ(error, "the chart window has no picture");
  EXPECT_FALSE(zq::host::WritePicture(Pattern(2, 2), Path("missing/folder/x.png"), error));
  EXPECT_EQ(error, "cannot create the file");
  EXPECT_TRUE(zq::platform::EncodePng(Image{}).empty());
  EXPECT_TRUE(zq::host::EncodeBmp24(Image{}).empty());
}

}  // namespace
