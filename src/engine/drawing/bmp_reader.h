// Windows bitmap (.bmp) decoding from memory.
#pragma once

#include <cstddef>  // platform/image.h uses size_t
#include <cstdint>
#include <vector>

#include "platform/image.h"

namespace zq {

// Decodes a whole BMP file: info headers from the OS/2 core header up to V5; 1, 4, 8, 16, 24 and
// 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields; bottom-up and top-down rows.
// Throws ChartException whose message tells what is wrong with the data (without a file name).
platform::Image DecodeBmp(const std::vector<uint8_t>& data);

}  // namespace zq
