#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>  // after <cstdio>: it uses FILE

#include "engine/drawing/bmp_reader.h"
#include "engine/drawing/errors.h"
#include "engine/drawing/jpeg_reader.h"
#include "engine/drawing/picture.h"

namespace {

namespace fs = std::filesystem;
using zq::ChartException;
using zq::TPicture;
using zq::platform::Image;
using Bytes = std::vector<uint8_t>;
using Grid = std::vector<std::vector<uint32_t>>;  // rows of values, top row first

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// ---- writing test files ------------------------------------------------------------------

void Put16(Bytes& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Set32(Bytes& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A BMP file put together field by field, so that any field can be made wrong.
struct Bmp {
  uint32_t header_size = 40;
  int32_t width = 0;
  int32_t height = 0;
  uint16_t bits = 24;
  uint32_t compression = kRgb;
  uint32_t colours_used = 0;
  uint32_t image_size = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  std::vector<uint32_t> masks;    // after a 40-byte header, inside the bigger ones
  Bytes pixels;                   // as stored in the file
  std::optional<uint32_t> pixel_offset;

  Bytes Build() const {
    Bytes out = {'B', 'M'};
    Put32(out, 0);  // file size, patched below
    Put32(out, 0);
    Put32(out, 0);  // pixel offset, patched below
    if (header_size == 12) {
      Put32(out, 12);
      Put16(out, uint32_t(width));
      Put16(out, uint32_t(height));
      Put16(out, 1);
      Put16(out, bits);
    } else {
      Put32(out, header_size);
      Put32(out, uint32_t(width));
      Put32(out, uint32_t(height));
      Put16(out, 1);
      Put16(out, bits);
      Put32(out, compression);
      Put32(out, image_size);
      Put32(out, 2835);
      Put32(out, 2835);
      Put32(out, colours_used);
      Put32(out, 0);
      for (uint32_t i = 0; header_size > 40 && i < 4; ++i)
        Put32(out, i < masks.size() ? masks[i] : 0);
      out.resize(14 + header_size, 0);
    }
    if (header_size == 40) {
      for (uint32_t m : masks) Put32(out, m);
    }
    for (uint32_t c : palette) {
      out.push_back(uint8_t(c));
      out.push_back(uint8_t(c >> 8));
      out.push_back(uint8_t(c >> 16));
      if (header_size != 12) out.push_back(0);
    }
    Set32(out, 10, pixel_offset.value_or(uint32_t(out.size())));
    out.insert(out.end(), pixels.begin(), pixels.end());
    Set32(out, 2, uint32_t(out.size()));
    return out;
  }
};

// Packs rows of values (top row first) as a file stores them: bottom-up unless top_down, each
// row padded to 4 bytes. 16- and 32-bit values are stored little-endian; 24-bit as B, G, R.
Bytes PackRows(const Grid& rows, int bits, bool top_down = false) {
  Bytes out;
  for (size_t n = 0; n < rows.size(); ++n) {
    const auto& row = rows[top_down ? n : rows.size() - 1 - n];
    Bytes line;
    uint32_t acc = 0;
    int used = 0;
    for (uint32_t v : row) {
      if (bits < 8) {
        acc = acc << bits | v;
        used += bits;
        if (used == 8) line.push_back(uint8_t(acc)), acc = 0, used = 0;
      } else {
        for (int b = 0; b < bits; b += 8) line.push_back(uint8_t(v >> b));
      }
    }
    if (used > 0) line.push_back(uint8_t(acc << (8 - used)));
    while (line.size() % 4 != 0) line.push_back(0);
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

Image Expected(const Grid& rows, const std::vector<uint32_t>& palette = {}) {
  Image image;
  image.height = int32_t(rows.size());
  image.width = int32_t(rows[0].size());
  for (const auto& row : rows) {
    for (uint32_t v : row) image.pixels.push_back(0xFF000000u | (palette.empty() ? v : palette[v]));
  }
  return image;
}

// Compares whole images and names the first pixel that differs.
::testing::AssertionResult SameImage(const Image& actual, const Image& expected) {
  if (actual.width != expected.width || actual.height != expected.height) {
    return ::testing::AssertionFailure()
           << "size " << actual.width << "x" << actual.height << ", expected " << expected.width
           << "x" << expected.height;
  }
  if (actual.pixels.size() != size_t(actual.width) * size_t(actual.height)) {
    return ::testing::AssertionFailure() << "pixel buffer of " << actual.pixels.size();
  }
  for (int32_t y = 0; y < actual.height; ++y) {
    for (int32_t x = 0; x < actual.width; ++x) {
      if (actual.At(x, y) != expected.At(x, y)) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << "," << y << ") is " << std::hex << actual.At(x, y)
               << ", expected " << expected.At(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// A JPEG written with libjpeg's compressor. samples: components bytes per pixel, top row first.
Bytes WriteJpeg(int width, int height, int components, J_COLOR_SPACE space, const Bytes& samples,
                bool adobe = true, bool progressive = false, J_COLOR_SPACE stored = JCS_UNKNOWN) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  if (stored != JCS_UNKNOWN) jpeg_set_colorspace(&c, stored);
  c.write_Adobe_marker = adobe ? TRUE : FALSE;
  // No chroma subsampling, so that flat blocks keep their colours up to the edges.
  for (int i = 0; i < c.num_components; ++i) {
    c.comp_info[i].h_samp_factor = 1;
    c.comp_info[i].v_samp_factor = 1;
  }
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(
        &samples[size_t(c.next_scanline) * size_t(width) * size_t(components)]);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  jpeg_destroy_compress(&c);
  return out;
}

// 16 x 16 in four flat 8 x 8 quadrants: red, green / blue, white.
constexpr uint32_t kQuadrants[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

Bytes QuadrantSamples() {
  Bytes samples;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      uint32_t c = kQuadrants[(y / 8) * 2 + x / 8];
      samples.push_back(uint8_t(c >> 16));
      samples.push_back(uint8_t(c >> 8));
      samples.push_back(uint8_t(c));
    }
  }
  return samples;
}

::testing::AssertionResult Near(uint32_t actual, uint32_t expected, int tolerance) {
  if ((actual >> 24) != 0xFF) return ::testing::AssertionFailure() << "alpha not opaque";
  for (int shift = 0; shift < 24; shift += 8) {
    int a = int(actual >> shift & 0xFF), e = int(expected >> shift & 0xFF);
    if (std::abs(a - e) > tolerance) {
      return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected
                                           << std::dec << " (+-" << tolerance << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const ChartException& e) {
    return e.what();
  }
  return "(no ChartException)";
}

std::string BmpError(const Bytes& file) {
  return Message([&] { zq::DecodeBmp(file); });
}
std::string JpegError(const Bytes& file) {
  return Message([&] { zq::DecodeJpeg(file); });
}

// ---- fixtures ----------------------------------------------------------------------------

class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(ZQ_TEST_OUTPUT) / "picture";
    fs::create_directories(dir_);
  }

  std::string Write(const std::string& name, const Bytes& data) {
    fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return path.string();
  }

  fs::path dir_;
};

const std::vector<uint32_t> kTwo = {0x102030, 0xF0E0D0};
const std::vector<uint32_t> kSixteen = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                        0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                        0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// 5 wide, so that every depth needs row padding; 3 high, so that row order shows.
const Grid kBits1 = {{0, 1, 1, 0, 1}, {1, 0, 0, 1, 1}, {0, 0, 0, 0, 1}};
const Grid kBits4 = {{0, 1, 2, 3, 4}, {15, 14, 13, 12, 11}, {5, 6, 7, 8, 9}};
const Grid kRgbGrid = {{0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF},
                       {0x000000, 0x808080, 0xA1B2C3, 0x010203, 0xFEDCBA},
                       {0x7F7F7F, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x0F0F0F}};

Bmp Palettised(int bits, const Grid& rows, const std::vector<uint32_t>& palette) {
  Bmp bmp;
  bmp.width = int32_t(rows[0].size());
  bmp.height = int32_t(rows.size());
  bmp.bits = uint16_t(bits);
  bmp.palette = palette;
  bmp.pixels = PackRows(rows, bits);
  return bmp;
}

Bmp TrueColour24(bool top_down = false) {
  Bmp bmp;
  bmp.width = 5;
  bmp.height = top_down ? -3 : 3;
  bmp.bits = 24;
  bmp.pixels = PackRows(kRgbGrid, 24, top_down);
  return bmp;
}

// RLE8 4 x 4 over palette {grey, red, green, blue}:
//   row 0 (bottom): run of 3 red, end of line (the last pixel stays colour 0)
//   row 1: absolute run 2 3 1 (odd: one pad byte), run of 1 green, end of line
//   row 2: delta (2, 1) skips all of row 2 and two pixels of row 3
//   row 3: run of 2 blue, end of bitmap
const std::vector<uint32_t> kRlePalette = {0x808080, 0xFF0000, 0x00FF00, 0x0000FF};
const Bytes kRle8Data = {3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 1, 2, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1};
const Grid kRle8Expected = {{0, 0, 3, 3}, {0, 0, 0, 0}, {2, 3, 1, 2}, {1, 1, 1, 0}};

Bmp Rle8() {
  Bmp bmp;
  bmp.width = 4;
  bmp.height = 4;
  bmp.bits = 8;
  bmp.compression = kRle8;
  bmp.palette = kRlePalette;
  bmp.pixels = kRle8Data;
  bmp.image_size = uint32_t(kRle8Data.size());
  return bmp;
}

// RLE4 6 x 2: row 0: run of 5 alternating 1,2 then end of line; row 1: absolute 3,0,1 (two
// bytes, even: no pad), run of 3 with 2,3 alternating, end of bitmap.
const Bytes kRle4Data = {5, 0x12, 0, 0, 0, 3, 0x30, 0x10, 3, 0x23, 0, 1};
const Grid kRle4Expected = {{3, 0, 1, 2, 3, 2}, {1, 2, 1, 2, 1, 0}};

Bmp Rle4() {
  Bmp bmp;
  bmp.width = 6;
  bmp.height = 2;
  bmp.bits = 4;
  bmp.compression = kRle4;
  bmp.palette = kRlePalette;
  bmp.pixels = kRle4Data;
  return bmp;
}

// ---- BMP: decoding -----------------------------------------------------------------------

TEST(BmpReader, PalettedDepthsDecodeExactly) {
  EXPECT_TRUE(
      SameImage(zq::DecodeBmp(Palettised(1, kBits1, kTwo).Build()), Expected(kBits1, kTwo)));
  EXPECT_TRUE(SameImage(zq::DecodeBmp(Palettised(4, kBits4, kSixteen).Build()),
                        Expected(kBits4, kSixteen)));
  // 8 bits with a short palette (colours used = 16) and indices up to 15.
  Bmp eight = Palettised(8, kBits4, kSixteen);
  eight.colours_used = 16;
  EXPECT_TRUE(SameImage(zq::DecodeBmp(eight.Build()), Expected(kBits4, kSixteen)));
}

TEST(BmpReader, OldCoreHeaderWithThreeBytePalette) {
  Bmp bmp = Palettised(1, kBits1, kTwo);
  bmp.header_size = 12;
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(kBits1, kTwo)));
  Bmp bmp24 = TrueColour24();
  bmp24.header_size = 12;
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp24.Build()), Expected(kRgbGrid)));
}

TEST(BmpReader, TwentyFourBitsBottomUpAndTopDown) {
  EXPECT_TRUE(SameImage(zq::DecodeBmp(TrueColour24(false).Build()), Expected(kRgbGrid)));
  EXPECT_TRUE(SameImage(zq::DecodeBmp(TrueColour24(true).Build()), Expected(kRgbGrid)));
}

TEST(BmpReader, ThirtyTwoBitsIgnoreTheFourthByte) {
  Grid stored = kRgbGrid;
  for (auto& row : stored) {
    for (auto& v : row) v |= 0x5A000000;  // not alpha: pictures are opaque
  }
  Bmp bmp;
  bmp.width = 5;
  bmp.height = 3;
  bmp.bits = 32;
  bmp.pixels = PackRows(stored, 32);
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(kRgbGrid)));
}

TEST(BmpReader, SixteenBitsDefaultTo555) {
  // 5-bit components 0, 31 and 16 scale to 0, 255 and 132.
  const Grid stored = {{0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x0000},
                       {0x4000, 0x0200, 0x0010, 0x4210, 0x8000}};  // top bit unused
  const Grid expected = {{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000},
                         {0x840000, 0x008400, 0x000084, 0x848484, 0x000000}};
  Bmp bmp;
  bmp.width = 5;
  bmp.height = 2;
  bmp.bits = 16;
  bmp.pixels = PackRows(stored, 16);
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(expected)));
}

TEST(BmpReader, SixteenBitFieldsAfterTheBasicHeader) {
  // 5-6-5: green has 6 bits, 32 of 63 scales to 130.
  const Grid stored = {{0xF800, 0x07E0, 0x001F, 0x0400, 0xFFFF}};
  const Grid expected = {{0xFF0000, 0x00FF00, 0x0000FF, 0x008200, 0xFFFFFF}};
  Bmp bmp;
  bmp.width = 5;
  bmp.height = 1;
  bmp.bits = 16;
  bmp.compression = kBitFields;
  bmp.masks = {0xF800, 0x07E0, 0x001F};
  bmp.pixels = PackRows(stored, 16);
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(expected)));
  bmp.compression = kAlphaBitFields;
  bmp.masks.push_back(0);
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(expected)));
}

TEST(BmpReader, ThirtyTwoBitFieldsWithAnyMasksInV4AndV5Headers) {
  // 10-10-10 with blue in the low bits; 512 of 1023 scales to 128; 2 unused top bits.
  const Grid stored = {{0x3FF00000, 0x000FFC00, 0x000003FF, 0x20080200, 0xC0000000}};
  const Grid expected = {{0xFF0000, 0x00FF00, 0x0000FF, 0x808080, 0x000000}};
  for (uint32_t header : {108u, 124u}) {
    Bmp bmp;
    bmp.header_size = header;
    bmp.width = 5;
    bmp.height = -1;
    bmp.bits = 32;
    bmp.compression = kBitFields;
    bmp.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    bmp.pixels = PackRows(stored, 32, true);
    EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(expected))) << header;
  }
  // A component without a mask is 0; an 8-bit mask maps one to one.
  Bmp bgr;
  bgr.width = 1;
  bgr.height = 1;
  bgr.bits = 32;
  bgr.compression = kBitFields;
  bgr.masks = {0x000000FF, 0, 0xFF000000};
  bgr.pixels = {0x12, 0x34, 0x56, 0x78};
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bgr.Build()), Expected({{0x120078}})));
}

TEST(BmpReader, V4HeaderWithPlainPixelsIgnoresItsMasks) {
  Bmp bmp = TrueColour24();
  bmp.header_size = 108;
  bmp.masks = {0xFF, 0xFF00, 0xFF0000};
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(kRgbGrid)));
}

TEST(BmpReader, Rle8RunsAbsoluteRunsDeltasAndLineEnds) {
  EXPECT_TRUE(SameImage(zq::DecodeBmp(Rle8().Build()), Expected(kRle8Expected, kRlePalette)));
  // The same data without a data size runs to the end of the file.
  Bmp open = Rle8();
  open.image_size = 0;
  EXPECT_TRUE(SameImage(zq::DecodeBmp(open.Build()), Expected(kRle8Expected, kRlePalette)));
}

TEST(BmpReader, Rle4AlternatesNibbles) {
  EXPECT_TRUE(SameImage(zq::DecodeBmp(Rle4().Build()), Expected(kRle4Expected, kRlePalette)));
  // Absolute run of 3 nibbles takes 2 bytes: even, no pad.  Of 5 nibbles: 3 bytes + 1 pad.
  Bmp odd = Rle4();
  odd.width = 5;
  odd.height = 1;
  odd.pixels = {0, 5, 0x12, 0x31, 0x20, 0xEE, 0, 1};
  EXPECT_TRUE(SameImage(zq::DecodeBmp(odd.Build()), Expected({{1, 2, 3, 1, 2}}, kRlePalette)));
}

TEST(BmpReader, TopDownRle) {
  Bmp bmp = Rle8();
  bmp.height = -4;
  Grid flipped(kRle8Expected.rbegin(), kRle8Expected.rend());
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(flipped, kRlePalette)));
}

TEST(BmpReader, PaletteCutShortByThePixelOffsetKeepsTheColoursBeforeIt) {
  // 8 bits, colours used 0 (= 256), but the pixels start after two entries.
  Bmp bmp = Palettised(8, kBits1, kTwo);
  EXPECT_TRUE(SameImage(zq::DecodeBmp(bmp.Build()), Expected(kBits1, kTwo)));
}

// ---- BMP: damaged data -------------------------------------------------------------------

TEST(BmpReaderDamage, EveryTruncationIsAnError) {
  Bmp bitfields;
  bitfields.width = 5;
  bitfields.height = 1;
  bitfields.bits = 16;
  bitfields.compression = kBitFields;
  bitfields.masks = {0xF800, 0x07E0, 0x001F};
  bitfields.pixels = PackRows({{1, 2, 3, 4, 5}}, 16);
  Bmp core = Palettised(4, kBits4, kSixteen);
  core.header_size = 12;
  const std::vector<Bytes> files = {Palettised(1, kBits1, kTwo).Build(),
                                    Palettised(4, kBits4, kSixteen).Build(),
                                    TrueColour24().Build(),
                                    TrueColour24(true).Build(),
                                    bitfields.Build(),
                                    core.Build(),
                                    Rle8().Build(),
                                    Rle4().Build()};
  for (size_t f = 0; f < files.size(); ++f) {
    ASSERT_NO_THROW(zq::DecodeBmp(files[f])) << "file " << f;
    for (size_t length = 0; length < files[f].size(); ++length) {
      Bytes cut(files[f].begin(), files[f].begin() + std::ptrdiff_t(length));
      EXPECT_THROW(zq::DecodeBmp(cut), ChartException) << "file " << f << " cut to " << length;
    }
  }
  EXPECT_EQ(BmpError(Bytes{'B', 'M', 0, 0}), "the file ends inside the file header (4 bytes)");
  Bytes rows = TrueColour24().Build();
  rows.pop_back();
  EXPECT_EQ(BmpError(rows), "the file ends inside the pixel data (101 bytes)");
  Bytes rle = Rle8().Build();
  rle.resize(rle.size() - 2);  // drops the end-of-bitmap mark
  EXPECT_EQ(BmpError(rle), "the file ends inside the pixel data (90 bytes)");
  Bmp open = Rle8();
  open.image_size = 0;
  Bytes open_file = open.Build();
  open_file.resize(open_file.size() - 2);
  EXPECT_EQ(BmpError(open_file), "the RLE data ends before its end-of-bitmap mark");
}

TEST(BmpReaderDamage, BadHeaderFields) {
  Bytes file = TrueColour24().Build();
  Bytes bad = file;
  bad[0] = 'X';
  EXPECT_EQ(BmpError(bad), "no \"BM\" signature");
  bad = file;
  Set32(bad, 14, 64);
  EXPECT_EQ(BmpError(bad), "unsupported info header size 64");
  bad = file;
  Set32(bad, 14, 0xFFFFFFF0);
  EXPECT_EQ(BmpError(bad), "unsupported info header size 4294967280");
  bad = file;
  bad[28] = 2;
  EXPECT_EQ(BmpError(bad), "unsupported bits per pixel: 2");
  bad = file;
  bad[30] = 9;
  EXPECT_EQ(BmpError(bad), "unknown compression 9");
  bad = file;
  bad[30] = 1;
  EXPECT_EQ(BmpError(bad), "RLE8 compression with 24 bits per pixel");
  bad[30] = 2;
  EXPECT_EQ(BmpError(bad), "RLE4 compression with 24 bits per pixel");
  bad[30] = 3;
  EXPECT_EQ(BmpError(bad), "bit fields with 24 bits per pixel");
  bad[30] = 4;
  EXPECT_EQ(BmpError(bad), "JPEG-compressed bitmaps are not supported");
  bad[30] = 5;
  EXPECT_EQ(BmpError(bad), "PNG-compressed bitmaps are not supported");
  Bmp core16 = TrueColour24();
  core16.header_size = 12;
  core16.bits = 16;
  EXPECT_EQ(BmpError(core16.Build()), "unsupported bits per pixel: 16");
  // Bit-field masks that the file does not hold.
  Bmp masks;
  masks.width = 1;
  masks.height = 1;
  masks.bits = 32;
  masks.compression = kBitFields;
  Bytes cut = masks.Build();  // no masks and no pixels after the header
  EXPECT_EQ(BmpError(cut), "the file ends inside the colour masks (54 bytes)");
}

TEST(BmpReaderDamage, AbsurdAndNegativeSizes) {
  auto with_size = [](int32_t width, int32_t height) {
    Bmp bmp = TrueColour24();
    bmp.width = width;
    bmp.height = height;
    return BmpError(bmp.Build());
  };
  EXPECT_EQ(with_size(0, 3), "invalid picture size 0 x 3");
  EXPECT_EQ(with_size(5, 0), "invalid picture size 5 x 0");
  EXPECT_EQ(with_size(-5, 3), "invalid picture size -5 x 3");
  EXPECT_EQ(with_size(-5, -3), "invalid picture size -5 x -3");
  const std::string too_big = " is out of range (at most 32768 pixels a side and 67108864 pixels)";
  EXPECT_EQ(with_size(32769, 1), "picture size 32769 x 1" + too_big);
  EXPECT_EQ(with_size(1, -32769), "picture size 1 x 32769" + too_big);
  EXPECT_EQ(with_size(1, INT32_MIN), "picture size 1 x 2147483648" + too_big);
  EXPECT_EQ(with_size(INT32_MAX, INT32_MAX), "picture size 2147483647 x 2147483647" + too_big);
  EXPECT_EQ(with_size(8193, 8192), "picture size 8193 x 8192" + too_big);
  // Within the limits but far more pixels than the file holds: refused before allocating.
  EXPECT_EQ(with_size(32768, 2048), "the file ends inside the pixel data (102 bytes)");
  Bmp core = TrueColour24();
  core.header_size = 12;
  core.width = 40000;
  EXPECT_EQ(BmpError(core.Build()), "picture size 40000 x 3" + too_big);
}

TEST(BmpReaderDamage, BogusPixelOffsets) {
  Bmp beyond = TrueColour24();
  beyond.pixel_offset = 5000;
  EXPECT_EQ(BmpError(beyond.Build()),
            "the pixel data offset 5000 is beyond the end of the file (102 bytes)");
  beyond.pixel_offset = 0xFFFFFFFF;
  EXPECT_EQ(BmpError(beyond.Build()),
            "the pixel data offset 4294967295 is beyond the end of the file (102 bytes)");
  Bmp inside = TrueColour24();
  inside.pixel_offset = 20;
  EXPECT_EQ(BmpError(inside.Build()), "the pixel data offset 20 lies inside the headers");
  Bmp late = TrueColour24();
  late.pixel_offset = 60;  // inside the file, but not all rows fit after it
  EXPECT_EQ(BmpError(late.Build()), "the file ends inside the pixel data (102 bytes)");
  Bmp rle = Rle8();
  rle.image_size = 1000;
  EXPECT_EQ(BmpError(rle.Build()), "the file ends inside the pixel data (92 bytes)");
}

TEST(BmpReaderDamage, PaletteIndexBeyondThePalette) {
  Bmp four = Palettised(4, kBits4, kSixteen);
  four.palette.resize(3);
  four.colours_used = 3;
  EXPECT_EQ(BmpError(four.Build()), "palette index 5 is beyond the palette of 3 colours");
  Bmp eight = Palettised(8, {{0, 1, 200}}, kTwo);
  EXPECT_EQ(BmpError(eight.Build()), "palette index 200 is beyond the palette of 2 colours");
  // A declared palette longer than the file.
  Bmp long_palette = Palettised(8, {{0, 1}}, kTwo);
  long_palette.colours_used = 256;
  long_palette.pixel_offset = 2000;
  EXPECT_EQ(BmpError(long_palette.Build()), "the file ends inside the palette (66 bytes)");
  Bmp rle = Rle8();
  rle.pixels = {2, 7, 0, 1};
  rle.image_size = 4;
  EXPECT_EQ(BmpError(rle.Build()), "palette index 7 is beyond the palette of 4 colours");
}

TEST(BmpReaderDamage, RleNeverWritesOutsideThePicture) {
  auto rle8 = [](Bytes data) {
    Bmp bmp = Rle8();
    bmp.pixels = std::move(data);
    bmp.image_size = 0;
    return BmpError(bmp.Build());
  };
  EXPECT_EQ(rle8({5, 1, 0, 1}), "an RLE run goes past the end of row 0");
  EXPECT_EQ(rle8({255, 1, 0, 1}), "an RLE run goes past the end of row 0");
  EXPECT_EQ(rle8({0, 5, 1, 1, 1, 1, 1, 0, 0, 1}), "an RLE run goes past the end of row 0");
  EXPECT_EQ(rle8({0, 2, 3, 0, 2, 1, 0, 1}), "an RLE run goes past the end of row 0");
  EXPECT_EQ(rle8({0, 2, 0, 4, 1, 1, 0, 1}), "the RLE data goes past the last row");
  EXPECT_EQ(rle8({0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1}), "the RLE data goes past the last row");
  EXPECT_EQ(rle8({0, 2, 255, 255, 1, 1, 0, 1}), "the RLE data goes past the last row");
  // Skipping past the picture is harmless while nothing is drawn there.
  EXPECT_EQ(rle8({0, 2, 255, 255, 0, 1}), "(no ChartException)");
  EXPECT_EQ(rle8({0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), "(no ChartException)");
  EXPECT_EQ(rle8({0, 2}), "the RLE data ends before its end-of-bitmap mark");
  EXPECT_EQ(rle8({0, 2, 1}), "the RLE data ends before its end-of-bitmap mark");
  EXPECT_EQ(rle8({0, 3, 1, 1}), "the RLE data ends before its end-of-bitmap mark");
  EXPECT_EQ(rle8({}), "the pixel data offset 70 is beyond the end of the file (70 bytes)");

  Bmp four = Rle4();
  four.pixels = {7, 0x11, 0, 1};
  EXPECT_EQ(BmpError(four.Build()), "an RLE run goes past the end of row 0");
  four.pixels = {0, 7, 0x11, 0x11, 0x11, 0x10, 0, 1};
  EXPECT_EQ(BmpError(four.Build()), "an RLE run goes past the end of row 0");
  four.pixels = {0, 0, 0, 0, 1, 0x11, 0, 1};
  EXPECT_EQ(BmpError(four.Build()), "the RLE data goes past the last row");
}

// ---- JPEG --------------------------------------------------------------------------------

TEST(JpegReader, DecodesColourNearTheOriginal) {
  for (bool progressive : {false, true}) {
    Image image =
        zq::DecodeJpeg(WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples(), true, progressive));
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        EXPECT_TRUE(Near(image.At(x, y), kQuadrants[(y / 8) * 2 + x / 8], 8))
            << x << "," << y << (progressive ? " progressive" : "");
      }
    }
  }
}

TEST(JpegReader, GrayscaleBecomesGrey) {
  Bytes samples;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 16; ++x) samples.push_back(x < 8 ? 40 : 200);
  }
  Image image = zq::DecodeJpeg(WriteJpeg(16, 8, 1, JCS_GRAYSCALE, samples));
  ASSERT_EQ(image.width, 16);
  ASSERT_EQ(image.height, 8);
  EXPECT_TRUE(Near(image.At(2, 3), 0x282828, 3));
  EXPECT_TRUE(Near(image.At(13, 6), 0xC8C8C8, 3));
}

// Red, 50% black, white and cyan ink quadrants, as C, M, Y, K ink amounts.
Bytes InkSamples(bool inverted) {
  const uint8_t inks[4][4] = {{0, 255, 255, 0}, {0, 0, 0, 128}, {0, 0, 0, 0}, {255, 0, 0, 0}};
  Bytes samples;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      for (uint8_t ink : inks[(y / 8) * 2 + x / 8]) samples.push_back(inverted ? 255 - ink : ink);
    }
  }
  return samples;
}
constexpr uint32_t kInkColours[4] = {0xFF0000, 0x7F7F7F, 0xFFFFFF, 0x00FFFF};

TEST(JpegReader, CmykAdobeInvertedPlainAndYcck) {
  struct Case {
    const char* name;
    bool adobe;
    J_COLOR_SPACE stored;
  };
  for (Case c : {Case{"Adobe CMYK", true, JCS_CMYK}, Case{"plain CMYK", false, JCS_CMYK},
                 Case{"Adobe YCCK", true, JCS_YCCK}}) {
    // Adobe's files hold inverted inks; a plain CMYK file holds them as they are.
    Image image = zq::DecodeJpeg(
        WriteJpeg(16, 16, 4, JCS_CMYK, InkSamples(c.adobe), c.adobe, false, c.stored));
    ASSERT_EQ(image.width, 16) << c.name;
    for (int q = 0; q < 4; ++q) {
      EXPECT_TRUE(Near(image.At((q % 2) * 8 + 4, (q / 2) * 8 + 4), kInkColours[q], 6))
          << c.name << " quadrant " << q;
    }
  }
}

TEST(JpegReaderDamage, EveryTruncationIsAnError) {
  for (bool progressive : {false, true}) {
    const Bytes file = WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples(), true, progressive);
    for (size_t length = 0; length < file.size(); ++length) {
      Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(length));
      EXPECT_THROW(zq::DecodeJpeg(cut), ChartException) << "cut to " << length;
    }
  }
  const Bytes file = WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples());
  EXPECT_EQ(JpegError({}), "the file is empty");
  EXPECT_EQ(JpegError(Bytes(file.begin(), file.end() - 2)), "Premature end of JPEG file");
  EXPECT_EQ(JpegError(Bytes(file.begin(), file.begin() + 400)), "Premature end of JPEG file");
  EXPECT_EQ(JpegError(Bytes(file.begin(), file.begin() + 1)), "Premature end of JPEG file");
}

// Offset of the frame header's height field (after FF C0/C2, length and precision).
size_t FrameSizeOffset(const Bytes& file) {
  for (size_t i = 2; i + 8 < file.size(); ++i) {
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) return i + 5;
  }
  return 0;
}

TEST(JpegReaderDamage, BadDataAndAbsurdSizes) {
  const Bytes file = WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples());
  Bytes bad = file;
  bad[0] = 0x42;
  bad[1] = 0x4D;
  EXPECT_EQ(JpegError(bad), "Not a JPEG file: starts with 0x42 0x4d");

  const size_t at = FrameSizeOffset(file);
  ASSERT_NE(at, 0u);
  auto with_size = [&](uint16_t width, uint16_t height) {
    Bytes sized = file;
    sized[at] = uint8_t(height >> 8);
    sized[at + 1] = uint8_t(height);
    sized[at + 2] = uint8_t(width >> 8);
    sized[at + 3] = uint8_t(width);
    return JpegError(sized);
  };
  const std::string too_big = " is out of range (at most 32768 pixels a side and 67108864 pixels)";
  EXPECT_EQ(with_size(65000, 16), "picture size 65000 x 16" + too_big);
  EXPECT_EQ(with_size(16, 40000), "picture size 16 x 40000" + too_big);
  EXPECT_EQ(with_size(9000, 9000), "picture size 9000 x 9000" + too_big);
  EXPECT_NE(with_size(0, 16), "(no ChartException)");
  // A bigger frame than the data holds runs out of data.
  EXPECT_EQ(with_size(64, 64), "Corrupt JPEG data: premature end of data segment");
}

// ---- TPicture ----------------------------------------------------------------------------

TEST_F(PictureFiles, LoadsByExtensionWithoutLetterCase) {
  TPicture picture;
  EXPECT_TRUE(picture.Empty());
  picture.LoadFromFile(Write("colours.BMP", TrueColour24().Build()));
  EXPECT_TRUE(SameImage(picture.GetImage(), Expected(kRgbGrid)));
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 3);
  EXPECT_FALSE(picture.Empty());

  const Bytes jpeg = WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples());
  for (const char* name : {"q.jpg", "q.JPG", "q.jpeg", "q.JpEg", "dotted.name.jpg"}) {
    TPicture loaded;
    loaded.LoadFromFile(Write(name, jpeg));
    EXPECT_EQ(loaded.Width(), 16) << name;
    EXPECT_TRUE(Near(loaded.GetImage().At(12, 12), 0xFFFFFF, 8)) << name;
  }
}

TEST_F(PictureFiles, ExtensionDecidesNotContent) {
  // A JPEG named .bmp is read as a bitmap and refused.
  TPicture picture;
  std::string path = Write("really_jpeg.bmp", WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples()));
  EXPECT_EQ(Message([&] { picture.LoadFromFile(path); }),
            "Corrupt BMP file: " + path + ": no \"BM\" signature");
  path = Write("really_bmp.jpg", TrueColour24().Build());
  EXPECT_EQ(Message([&] { picture.LoadFromFile(path); }),
            "Corrupt JPEG file: " + path + ": Not a JPEG file: starts with 0x42 0x4d");
}

TEST_F(PictureFiles, FailuresKeepThePreviousPictureAndDoNotNotify) {
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&] { ++changes; });
  picture.LoadFromFile(Write("good.bmp", TrueColour24().Build()));
  ASSERT_EQ(changes, 1);

  const Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
  const std::string png_path = Write("picture.png", png);
  const std::string png_upper = Write("picture.PNG", png);
  const std::string no_extension = Write("picture", TrueColour24().Build());
  fs::create_directories(dir_ / "folder.d");
  const std::string dotted_folder = Write("folder.d/picture", TrueColour24().Build());
  const std::string trailing_dot = Write("picture.", TrueColour24().Build());
  const std::string missing = (dir_ / "missing.bmp").string();
  Bytes damaged = TrueColour24().Build();
  damaged.resize(60);
  const std::string truncated = Write("truncated.bmp", damaged);
  Bmp huge = TrueColour24();
  huge.width = 100000;
  const std::string huge_path = Write("huge.bmp", huge.Build());
  const std::string empty_jpeg = Write("empty.jpeg", {});
  const Bytes jpeg = WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples());
  const std::string cut_jpeg = Write("cut.jpg", Bytes(jpeg.begin(), jpeg.begin() + 300));
  fs::create_directories(dir_ / "folder.bmp");
  const std::string folder = (dir_ / "folder.bmp").string();

  const std::vector<std::pair<std::string, std::string>> cases = {
      {png_path, "Unknown picture extension: png"},
      {png_upper, "Unknown picture extension: PNG"},
      {no_extension, "Picture file name has no extension: " + no_extension},
      {dotted_folder, "Picture file name has no extension: " + dotted_folder},
      {trailing_dot, "Picture file name has no extension: " + trailing_dot},
      {missing, "Cannot open picture file: " + missing},
      {truncated,
       "Corrupt BMP file: " + truncated + ": the file ends inside the pixel data (60 bytes)"},
      {huge_path, "Corrupt BMP file: " + huge_path +
                      ": picture size 100000 x 3 is out of range (at most 32768 pixels a side and "
                      "67108864 pixels)"},
      {empty_jpeg, "Corrupt JPEG file: " + empty_jpeg + ": the file is empty"},
      {cut_jpeg, "Corrupt JPEG file: " + cut_jpeg + ": Premature end of JPEG file"},
  };
  for (const auto& [path, message] : cases) {
    EXPECT_EQ(Message([&] { picture.LoadFromFile(path); }), message);
    EXPECT_TRUE(SameImage(picture.GetImage(), Expected(kRgbGrid))) << path;
  }
  // A folder opens on some systems, but never reads.
  const std::string folder_error = Message([&] { picture.LoadFromFile(folder); });
  EXPECT_TRUE(folder_error == "Cannot read picture file: " + folder ||
              folder_error == "Cannot open picture file: " + folder)
      << folder_error;
  EXPECT_TRUE(SameImage(picture.GetImage(), Expected(kRgbGrid)));
  // Larger than any picture we accept (sparse: nothing is written).
  const std::string big = Write("big.bmp", TrueColour24().Build());
  fs::resize_file(big, (uintmax_t(512) << 20) + 1);
  EXPECT_EQ(Message([&] { picture.LoadFromFile(big); }), "Picture file is too large: " + big);
  fs::remove(big);
  EXPECT_TRUE(SameImage(picture.GetImage(), Expected(kRgbGrid)));
  EXPECT_EQ(changes, 1);
}

TEST(Picture, ChangesNotifyTheOwner) {
  TPicture picture;
  int changes = 0;
  picture.SetOnChange([&] { ++changes; });
  picture.Clear();
  EXPECT_EQ(changes, 0) << "clearing an empty picture changes nothing";

  Image small = Expected({{0x010203, 0x040506}});
  picture.SetImage(small);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(picture.Width(), 2);

  TPicture copy;
  int copy_changes = 0;
  copy.SetOnChange([&] { ++copy_changes; });
  copy.Assign(picture);
  EXPECT_EQ(copy_changes, 1);
  EXPECT_EQ(changes, 1) << "the source is not touched";
  EXPECT_TRUE(SameImage(copy.GetImage(), small));
  copy.Assign(copy);
  EXPECT_EQ(copy_changes, 1);

  picture.Clear();
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Width(), 0);
  EXPECT_FALSE(copy.Empty()) << "a copy owns its pixels";

  copy.Assign(picture);  // assigning an empty picture empties
  EXPECT_TRUE(copy.Empty());
  EXPECT_EQ(copy_changes, 2);
}

TEST(Picture, FileExtension) {
  EXPECT_EQ(zq::PictureFileExtension("a.bmp"), "bmp");
  EXPECT_EQ(zq::PictureFileExtension("C:\\pics.old\\a.JPeG"), "JPeG");
  EXPECT_EQ(zq::PictureFileExtension("C:\\pics.old\\a"), "");
  EXPECT_EQ(zq::PictureFileExtension("/x/pics.old/a"), "");
  EXPECT_EQ(zq::PictureFileExtension("a.tar.bmp"), "bmp");
  EXPECT_EQ(zq::PictureFileExtension(".bmp"), "bmp");
  EXPECT_EQ(zq::PictureFileExtension(""), "");
}

// ---- mutations ---------------------------------------------------------------------------

// Random damage to valid files must end in a picture or a ChartException, never in a crash or
// a read outside the data (the sanitizer build checks the latter).
template <typename Decode>
void Mutate(const std::vector<Bytes>& seeds, int rounds, uint32_t seed, Decode decode) {
  std::mt19937 random(seed);
  int decoded = 0, refused = 0;
  for (int round = 0; round < rounds; ++round) {
    Bytes file = seeds[size_t(round) % seeds.size()];
    const int edits = 1 + int(random() % 4);
    for (int e = 0; e < edits && !file.empty(); ++e) {
      const size_t at = random() % file.size();
      switch (random() % 4) {
        case 0:
          file[at] ^= uint8_t(1u << (random() % 8));
          break;
        case 1:
          file[at] = uint8_t(random());
          break;
        case 2:
          file[at] = (random() % 2) ? 0xFF : 0x00;
          break;
        default:
          file.resize(at);
          break;
      }
    }
    try {
      Image image = decode(file);
      ASSERT_GT(image.width, 0);
      ASSERT_GT(image.height, 0);
      ASSERT_EQ(image.pixels.size(), size_t(image.width) * size_t(image.height));
      for (uint32_t pixel : image.pixels) ASSERT_EQ(pixel >> 24, 0xFFu);
      ++decoded;
    } catch (const ChartException&) {
      ++refused;
    }
  }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
}

TEST(PictureMutations, BmpNeverCrashes) {
  Bmp bitfields;
  bitfields.width = 5;
  bitfields.height = 2;
  bitfields.bits = 16;
  bitfields.compression = kBitFields;
  bitfields.masks = {0xF800, 0x07E0, 0x001F};
  bitfields.pixels = PackRows({{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}, 16);
  Bmp v5 = TrueColour24(true);
  v5.header_size = 124;
  Bmp core = Palettised(8, kBits4, kSixteen);
  core.header_size = 12;
  Mutate({Palettised(1, kBits1, kTwo).Build(), Palettised(4, kBits4, kSixteen).Build(),
          TrueColour24().Build(), v5.Build(), bitfields.Build(), core.Build(), Rle8().Build(),
          Rle4().Build()},
         20000, 12345, [](const Bytes& file) { return zq::DecodeBmp(file); });
}

TEST(PictureMutations, JpegNeverCrashes) {
  Mutate({WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples()),
          WriteJpeg(16, 16, 3, JCS_RGB, QuadrantSamples(), true, true),
          WriteJpeg(16, 16, 4, JCS_CMYK, InkSamples(true))},
         5000, 54321, [](const Bytes& file) { return zq::DecodeJpeg(file); });
}

}  // namespace
