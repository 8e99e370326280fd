#include "platform/png_file.h"

#include <zlib.h>

#include <bit>
#include <cstring>

#include "platform/row_deflate.h"

namespace zq::platform {

namespace {

void Append32Be(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

// Appends a chunk whose data already sits at the end of `out`, after its length and type.
void CloseChunk(std::vector<uint8_t>& out, size_t lengthAt) {
  const auto length = uint32_t(out.size() - lengthAt - 8);
  for (int i = 0; i < 4; ++i) out[lengthAt + size_t(i)] = uint8_t(length >> (8 * (3 - i)));
  const uLong crc = crc32(0, out.data() + lengthAt + 4, uInt(out.size() - lengthAt - 4));
  Append32Be(out, uint32_t(crc));
}

size_t OpenChunk(std::vector<uint8_t>& out, const char type[4]) {
  const size_t at = out.size();
  out.insert(out.end(), {0, 0, 0, 0});
  out.insert(out.end(), type, type + 4);
  return at;
}

// Counts the pixels whose colour differs from their left neighbour's, and those whose
// difference to the pixel above differs from their left neighbour's (an exclusive or stands in
// for the difference: both are zero or repeat at the same pixels but in rare cases). Eight
// pixels at a time, which compilers turn into vector instructions.
void CountChanges(const uint32_t* row, const uint32_t* above, size_t width, size_t& plain,
                  size_t& up) {
  // The first row has no row above to differ from.
  const uint32_t* other = above ? above : row;
  plain = up = 1;
  size_t x = 1;
  for (; x + 8 <= width; x += 8) {
    uint32_t plainChanges = 0, upChanges = 0;
    for (int k = 0; k < 8; ++k) {
      const uint32_t along = row[x + k] ^ row[x + k - 1];
      const uint32_t downward = along ^ other[x + k] ^ other[x + k - 1];
      plainChanges += (along & 0xFFFFFF) != 0;
      upChanges += (downward & 0xFFFFFF) != 0;
    }
    plain += plainChanges;
    up += upChanges;
  }
  for (; x < width; ++x) {
    const uint32_t along = row[x] ^ row[x - 1], downward = along ^ other[x] ^ other[x - 1];
    plain += (along & 0xFFFFFF) != 0;
    up += (downward & 0xFFFFFF) != 0;
  }
  if (!above) up = plain + 1;
}

// Writes the red, green and blue bytes of `width` pixels 0x..RRGGBB, each less the pixel of
// `above` if there is one (bytes wrap around, as the "Up" filter has them), four pixels as
// three words where it can.
void WriteRow(uint8_t* out, const uint32_t* row, const uint32_t* above, size_t width) {
  static_assert(std::endian::native == std::endian::little);
  auto store = [](uint8_t* at, uint32_t word) { std::memcpy(at, &word, sizeof word); };
  size_t x = 0;
  for (; x + 4 <= width; x += 4, out += 12) {
    uint8_t bytes[16];
    std::memcpy(bytes, row + x, 16);
    if (above) {
      uint8_t less[16];
      std::memcpy(less, above + x, 16);
      for (size_t i = 0; i < 16; ++i) bytes[i] = uint8_t(bytes[i] - less[i]);
    }
    uint32_t p[4];
    std::memcpy(p, bytes, 16);
    // Each pixel with its bytes in file order: red, green, blue in the low three bytes.
    const uint32_t p0 = __builtin_bswap32(p[0]) >> 8, p1 = __builtin_bswap32(p[1]) >> 8,
                   p2 = __builtin_bswap32(p[2]) >> 8, p3 = __builtin_bswap32(p[3]) >> 8;
    store(out, p0 | p1 << 24);
    store(out + 4, p1 >> 8 | p2 << 16);
    store(out + 8, p2 >> 16 | p3 << 8);
  }
  for (; x < width; ++x, out += 3) {
    const uint32_t v = row[x], a = above ? above[x] : 0;
    out[0] = uint8_t((v >> 16) - (a >> 16));
    out[1] = uint8_t((v >> 8) - (a >> 8));
    out[2] = uint8_t(v - a);
  }
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height,
                               size_t stride) {
  if (width <= 0 || height <= 0 || pixels == nullptr) return {};
  const size_t rowBytes = size_t(width) * 3;
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  size_t chunk = OpenChunk(png, "IHDR");
  Append32Be(png, uint32_t(width));
  Append32Be(png, uint32_t(height));
  png.insert(png.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, adaptive filters, no interlace
  CloseChunk(png, chunk);

  chunk = OpenChunk(png, "IDAT");
  png.reserve(png.size() + rowBytes * size_t(height) / 16 + 4096);
  RowDeflater deflater(rowBytes + 1, png);
  // Each row with its filter byte first: 0 the row as it is, 2 ("Up") its difference to the
  // row above, whichever changes less often along the row.
  for (int32_t y = 0; y < height; ++y) {
    const uint32_t* row = pixels + size_t(y) * stride;
    const uint32_t* above = y > 0 ? row - stride : nullptr;
    size_t plainChanges = 0, upChanges = 0;
    CountChanges(row, above, size_t(width), plainChanges, upChanges);
    const bool useUp = upChanges <= plainChanges;
    uint8_t* filtered = deflater.NextRow();
    filtered[0] = useUp ? 2 : 0;
    WriteRow(filtered + 1, row, useUp ? above : nullptr, size_t(width));
    deflater.AddRow();
  }
  deflater.Finish();
  CloseChunk(png, chunk);
  chunk = OpenChunk(png, "IEND");
  CloseChunk(png, chunk);
  return png;
}

std::vector<uint8_t> EncodePng(const Image& image) {
  if (image.Empty()) return {};
  return EncodePng(image.pixels.data(), image.width, image.height, size_t(image.width));
}

}  // namespace zq::platform
