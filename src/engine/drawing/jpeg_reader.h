// JPEG decoding from memory (libjpeg).
#pragma once

#include <cstddef>  // platform/image.h uses size_t
#include <cstdint>
#include <vector>

#include "platform/image.h"

namespace zq {

// Decodes a JPEG file from colour (YCbCr or RGB), grayscale or CMYK/YCCK data (Adobe's
// inverted CMYK included). Throws ChartException whose message tells what is wrong with the
// data (without a file name); truncated data is an error, not a grey bottom.
platform::Image DecodeJpeg(const std::vector<uint8_t>& data);

}  // namespace zq
