// PNG files written quickly: 8-bit RGB rows, each row either as it is or as its difference to
// the row above, whichever changes less often along the row, deflated by the row coder of
// row_deflate.h. Charts come out about a third larger than zlib's default compression makes
// them, several times faster.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/image.h"

namespace zq::platform {

// The file's bytes for top-down rows of 0x00RRGGBB pixels (the top byte is ignored), rows
// `stride` pixels apart; empty for an empty picture.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, int32_t width, int32_t height,
                               size_t stride);
std::vector<uint8_t> EncodePng(const Image& image);

}  // namespace zq::platform
