#include "platform/png_file.h"

#include <zlib.h>

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

  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK) return {};
  chunk = OpenChunk(png, "IDAT");
  const size_t dataAt = png.size();
  // Room for the usual picture; grown when a busy one needs more.
  png.resize(dataAt + rowBytes * size_t(height) / 16 + 4096);
  z.next_out = png.data() + dataAt;
  z.avail_out = uInt(png.size() - dataAt);
  // Doubles the room for the compressed data.
  auto grow = [&] {
    const size_t used = size_t(z.next_out - png.data());
    png.resize(png.size() * 2);
    z.next_out = png.data() + used;
    z.avail_out = uInt(png.size() - used);
  };
  // Each row with its filter byte first: 0 the row as it is, 2 ("Up") its difference to the
  // row above.
  std::vector<uint8_t> plain(rowBytes + 1, 0), up(rowBytes + 1, 2);
  int strategy = Z_RLE;
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    const uint32_t* row = pixels + size_t(y) * stride;
    const uint32_t* above = y > 0 ? row - stride : row;
    uint8_t* p = plain.data() + 1;
    uint8_t* u = up.data() + 1;
    size_t plainChanges = 0, upChanges = 0;
    uint32_t lastPlain = 0, lastUp = 0;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t v = row[x] & 0xFFFFFF, a = y > 0 ? above[x] & 0xFFFFFF : 0;
      // The three byte differences at once, without borrows between bytes.
      const uint32_t d =
          (((v | 0x80808080u) - (a & 0x7F7F7F7Fu)) ^ ((v ^ ~a) & 0x80808080u)) & 0xFFFFFF;
      plainChanges += v != lastPlain;
      upChanges += d != lastUp;
      lastPlain = v;
      lastUp = d;
      *p++ = uint8_t(v >> 16);
      *p++ = uint8_t(v >> 8);
      *p++ = uint8_t(v);
      *u++ = uint8_t(d >> 16);
      *u++ = uint8_t(d >> 8);
      *u++ = uint8_t(d);
    }
    const bool useUp = upChanges <= plainChanges;
    const uint8_t* chosen = useUp ? up.data() : plain.data();
    // Rows of many small runs (dotted grid lines, text) repeat at short distances that only
    // string matching finds; the rest is runs.
    const int wanted =
        (useUp ? upChanges : plainChanges) * 16 > size_t(width) ? Z_DEFAULT_STRATEGY : Z_RLE;
    if (wanted != strategy) {
      strategy = wanted;
      int status = Z_OK;
      while ((status = deflateParams(&z, strategy == Z_RLE ? 1 : 4, strategy)) == Z_BUF_ERROR)
        grow();
      ok = status == Z_OK;
    }
    z.next_in = const_cast<uint8_t*>(chosen);
    z.avail_in = uInt(rowBytes + 1);
    while (z.avail_in > 0 && ok) {
      if (z.avail_out == 0) grow();
      ok = deflate(&z, Z_NO_FLUSH) == Z_OK;
    }
  }
  int status = Z_OK;
  while (ok && status == Z_OK) {
    if (z.avail_out == 0) grow();
    status = deflate(&z, Z_FINISH);
    ok = status == Z_OK || status == Z_STREAM_END;
  }
  png.resize(size_t(z.next_out - png.data()));
  deflateEnd(&z);
  if (!ok) return {};
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
