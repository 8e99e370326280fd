// What the picture harnesses share: any bytes decode into a whole picture of an accepted size,
// or fail with ChartException.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/drawing/errors.h"
#include "engine/drawing/picture.h"
#include "fuzz/fuzz_input.h"

namespace zq::fuzz {

template <typename Decoder>
void CheckDecoded(Decoder&& decode, const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  try {
    const platform::Image image = decode(bytes);
    Check(image.width > 0 && image.height > 0, "a decoded picture has a size");
    Check(image.width <= kMaxPictureSide && image.height <= kMaxPictureSide,
          "a decoded picture is within the limits");
    Check(image.pixels.size() == size_t(image.width) * size_t(image.height),
          "every pixel is there");
  } catch (const ChartException&) {
  }
}

}  // namespace zq::fuzz
