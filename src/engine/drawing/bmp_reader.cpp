#include "engine/drawing/bmp_reader.h"

#include <string>
#include <utility>

#include "engine/drawing/errors.h"
#include "engine/drawing/picture.h"

namespace zq {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitFields = 3;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;
constexpr uint32_t kBiAlphaBitFields = 6;

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2 BITMAPCOREHEADER

constexpr uint32_t kOpaque = 0xFF000000u;

[[noreturn]] void Fail(const std::string& reason) {
  throw ChartException(reason);
}

std::string Num(uint64_t n) {
  return std::to_string(n);
}

// Little-endian reads that never leave the buffer.
class Bytes {
 public:
  explicit Bytes(const std::vector<uint8_t>& data) : data_(data) {}

  size_t Size() const { return data_.size(); }
  const uint8_t* At(size_t offset) const { return data_.data() + offset; }

  void Need(uint64_t offset, uint64_t count, const char* what) const {
    if (offset > data_.size() || count > data_.size() - offset) {
      Fail(std::string("the file ends inside the ") + what + " (" + Num(data_.size()) + " bytes)");
    }
  }
  uint8_t U8(size_t offset) const {
    Need(offset, 1, "header");
    return data_[offset];
  }
  uint16_t U16(size_t offset) const {
    Need(offset, 2, "header");
    return uint16_t(data_[offset] | data_[offset + 1] << 8);
  }
  uint32_t U32(size_t offset) const {
    Need(offset, 4, "header");
    return uint32_t(data_[offset]) | uint32_t(data_[offset + 1]) << 8 |
           uint32_t(data_[offset + 2]) << 16 | uint32_t(data_[offset + 3]) << 24;
  }

 private:
  const std::vector<uint8_t>& data_;
};

// One colour component of a bit-field pixel, scaled to 0..255 whatever the mask's width.
class Channel {
 public:
  explicit Channel(uint32_t mask) : mask_(mask) {
    if (mask_ == 0) return;
    while (((mask_ >> shift_) & 1) == 0) ++shift_;
    max_ = mask_ >> shift_;
  }
  uint32_t Get(uint32_t pixel) const {
    if (mask_ == 0) return 0;
    uint64_t value = (pixel & mask_) >> shift_;
    return uint32_t((value * 255 + max_ / 2) / max_);
  }

 private:
  uint32_t mask_;
  int shift_ = 0;
  uint64_t max_ = 1;
};

struct Header {
  int64_t width = 0;
  int64_t height = 0;
  bool top_down = false;
  int bits = 0;
  uint32_t compression = kBiRgb;
  uint32_t image_size = 0;
  uint32_t colours_used = 0;
  uint32_t masks[3] = {0, 0, 0};
};

bool IsBitFields(uint32_t compression) {
  return compression == kBiBitFields || compression == kBiAlphaBitFields;
}

void CheckFormat(const Header& h, bool core) {
  const int b = h.bits;
  bool bits_ok = core ? (b == 1 || b == 4 || b == 8 || b == 24)
                      : (b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32);
  if (!bits_ok) Fail("unsupported bits per pixel: " + Num(uint32_t(b)));
  switch (h.compression) {
    case kBiRgb:
      return;
    case kBiRle8:
      if (b != 8) Fail("RLE8 compression with " + Num(uint32_t(b)) + " bits per pixel");
      return;
    case kBiRle4:
      if (b != 4) Fail("RLE4 compression with " + Num(uint32_t(b)) + " bits per pixel");
      return;
    case kBiBitFields:
    case kBiAlphaBitFields:
      if (b != 16 && b != 32) Fail("bit fields with " + Num(uint32_t(b)) + " bits per pixel");
      return;
    case kBiJpeg:
      Fail("JPEG-compressed bitmaps are not supported");
    case kBiPng:
      Fail("PNG-compressed bitmaps are not supported");
    default:
      Fail("unknown compression " + Num(h.compression));
  }
}

class Decoder {
 public:
  explicit Decoder(const std::vector<uint8_t>& data) : in_(data) {}

  platform::Image Run() {
    size_t pos = ReadHeaders();
    ReadPalette(pos);
    if (pixel_offset_ >= in_.Size()) {
      Fail("the pixel data offset " + Num(pixel_offset_) + " is beyond the end of the file (" +
           Num(in_.Size()) + " bytes)");
    }
    if (h_.compression == kBiRle8 || h_.compression == kBiRle4) {
      DecodeRle();
    } else {
      DecodeRows();
    }
    return std::move(image_);
  }

 private:
  // Returns the offset just after the headers and colour masks.
  size_t ReadHeaders() {
    in_.Need(0, kFileHeaderSize + 4, "file header");
    if (in_.U8(0) != 'B' || in_.U8(1) != 'M') Fail("no \"BM\" signature");
    pixel_offset_ = in_.U32(10);
    const uint32_t header_size = in_.U32(kFileHeaderSize);
    const bool core = header_size == kCoreHeaderSize;
    if (!core && header_size != 40 && header_size != 52 && header_size != 56 &&
        header_size != 108 && header_size != 124) {
      Fail("unsupported info header size " + Num(header_size));
    }
    in_.Need(kFileHeaderSize, header_size, "info header");
    const size_t b = kFileHeaderSize;
    if (core) {
      h_.width = in_.U16(b + 4);
      h_.height = in_.U16(b + 6);
      h_.bits = in_.U16(b + 10);
    } else {
      h_.width = int32_t(in_.U32(b + 4));
      int32_t height = int32_t(in_.U32(b + 8));
      h_.top_down = height < 0;
      h_.height = h_.top_down ? -int64_t(height) : int64_t(height);
      h_.bits = in_.U16(b + 14);
      h_.compression = in_.U32(b + 16);
      h_.image_size = in_.U32(b + 20);
      h_.colours_used = in_.U32(b + 32);
    }
    if (h_.width <= 0 || h_.height <= 0) {
      Fail("invalid picture size " + std::to_string(h_.width) + " x " +
           std::to_string(h_.top_down ? -h_.height : h_.height));
    }
    CheckPictureSize(h_.width, h_.height);
    CheckFormat(h_, core);
    palette_entry_size_ = core ? 3 : 4;

    size_t pos = kFileHeaderSize + header_size;
    if (IsBitFields(h_.compression)) {
      // The masks end the larger headers; after the basic ones they follow the header.
      size_t at = b + 40;
      if (header_size == 40) {
        const size_t count = h_.compression == kBiAlphaBitFields ? 4 : 3;
        in_.Need(pos, count * 4, "colour masks");
        at = pos;
        pos += count * 4;
      } else if (header_size == 52 && h_.compression == kBiAlphaBitFields) {
        in_.Need(pos, 4, "colour masks");
        pos += 4;
      }
      for (int i = 0; i < 3; ++i) h_.masks[i] = in_.U32(at + size_t(i) * 4);
    } else if (h_.bits == 16) {
      h_.masks[0] = 0x7C00;
      h_.masks[1] = 0x03E0;
      h_.masks[2] = 0x001F;
    } else if (h_.bits == 32) {
      h_.masks[0] = 0x00FF0000;
      h_.masks[1] = 0x0000FF00;
      h_.masks[2] = 0x000000FF;
    }
    if (pixel_offset_ < pos) {
      Fail("the pixel data offset " + Num(pixel_offset_) + " lies inside the headers");
    }
    return pos;
  }

  void ReadPalette(size_t pos) {
    if (h_.bits > 8) return;  // a palette there only hints at display colours
    const uint32_t full = 1u << h_.bits;
    uint64_t count = h_.colours_used == 0 || h_.colours_used > full ? full : h_.colours_used;
    // Writers that leave no room for the whole palette before the pixels store fewer colours.
    const uint64_t room = (pixel_offset_ - pos) / palette_entry_size_;
    if (count > room) count = room;
    in_.Need(pos, count * palette_entry_size_, "palette");
    palette_.resize(size_t(count));
    for (size_t i = 0; i < palette_.size(); ++i) {
      const uint8_t* p = in_.At(pos + i * palette_entry_size_);
      palette_[i] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
  }

  uint32_t Colour(uint32_t index) const {
    if (index >= palette_.size()) FailIndex(index);
    return palette_[index];
  }

  // Out of line: inlined into the pixel loops, the message building draws a false -Wrestrict
  // from GCC 12 at -O3.
  [[noreturn, gnu::noinline]] void FailIndex(uint32_t index) const {
    Fail("palette index " + Num(index) + " is beyond the palette of " + Num(palette_.size()) +
         " colours");
  }

  void Allocate(uint32_t fill) {
    image_.width = int32_t(h_.width);
    image_.height = int32_t(h_.height);
    image_.pixels.assign(size_t(h_.width) * size_t(h_.height), fill);
  }

  // Row of the picture (top-down) that the n-th row of the file fills.
  size_t ImageRow(int64_t file_row) const {
    return size_t(h_.top_down ? file_row : h_.height - 1 - file_row);
  }

  void DecodeRows() {
    const uint64_t stride = ((uint64_t(h_.width) * uint64_t(h_.bits) + 31) / 32) * 4;
    in_.Need(pixel_offset_, stride * uint64_t(h_.height), "pixel data");
    Allocate(kOpaque);
    const Channel red(h_.masks[0]), green(h_.masks[1]), blue(h_.masks[2]);
    const size_t width = size_t(h_.width);
    for (int64_t r = 0; r < h_.height; ++r) {
      const uint8_t* row = in_.At(pixel_offset_ + size_t(r) * stride);
      uint32_t* out = &image_.pixels[ImageRow(r) * width];
      switch (h_.bits) {
        case 1:
          for (size_t x = 0; x < width; ++x) out[x] = Colour((row[x >> 3] >> (7 - (x & 7))) & 1);
          break;
        case 4:
          for (size_t x = 0; x < width; ++x) out[x] = Colour((row[x >> 1] >> (x & 1 ? 0 : 4)) & 15);
          break;
        case 8:
          for (size_t x = 0; x < width; ++x) out[x] = Colour(row[x]);
          break;
        case 16:
          for (size_t x = 0; x < width; ++x) {
            const uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
            out[x] = kOpaque | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
          }
          break;
        case 24:
          for (size_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 3 * x;
            out[x] = kOpaque | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
          }
          break;
        case 32:
          for (size_t x = 0; x < width; ++x) {
            const uint8_t* p = row + 4 * x;
            const uint32_t v =
                uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            out[x] = kOpaque | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
          }
          break;
      }
    }
  }

  // Pixels that the RLE data skips (deltas, early ends of lines) keep the first palette colour.
  void DecodeRle() {
    const bool rle4 = h_.compression == kBiRle4;
    size_t end = in_.Size();
    if (h_.image_size != 0) {
      in_.Need(pixel_offset_, h_.image_size, "pixel data");
      end = pixel_offset_ + h_.image_size;
    }
    Allocate(palette_.empty() ? kOpaque : palette_[0]);

    size_t p = pixel_offset_;
    auto next = [&]() -> uint8_t {
      if (p >= end) Fail("the RLE data ends before its end-of-bitmap mark");
      return *in_.At(p++);
    };
    int64_t x = 0;
    int64_t row = 0;  // in file order
    auto put = [&](uint32_t index) {
      if (row >= h_.height) Fail("the RLE data goes past the last row");
      if (x >= h_.width) Fail("an RLE run goes past the end of row " + Num(uint64_t(row)));
      image_.pixels[ImageRow(row) * size_t(h_.width) + size_t(x)] = Colour(index);
      ++x;
    };
    for (;;) {
      const uint8_t count = next();
      const uint8_t value = next();
      if (count > 0) {
        for (int i = 0; i < count; ++i) {
          put(rle4 ? (i & 1 ? value & 15 : value >> 4) : value);
        }
        continue;
      }
      switch (value) {
        case 0:  // end of line
          x = 0;
          ++row;
          break;
        case 1:  // end of bitmap
          return;
        case 2: {  // delta
          const uint8_t dx = next();
          const uint8_t dy = next();
          x += dx;
          row += dy;
          break;
        }
        default: {  // absolute run, padded to a 16-bit boundary
          uint8_t pair = 0;
          for (int i = 0; i < value; ++i) {
            if (!rle4) {
              put(next());
            } else {
              if ((i & 1) == 0) pair = next();
              put(i & 1 ? pair & 15 : pair >> 4);
            }
          }
          const int used = rle4 ? (value + 1) / 2 : value;
          if (used & 1) next();
          break;
        }
      }
    }
  }

  Bytes in_;
  Header h_;
  uint32_t pixel_offset_ = 0;
  size_t palette_entry_size_ = 4;
  std::vector<uint32_t> palette_;
  platform::Image image_;
};

}  // namespace

platform::Image DecodeBmp(const std::vector<uint8_t>& data) {
  return Decoder(data).Run();
}

}  // namespace zq
