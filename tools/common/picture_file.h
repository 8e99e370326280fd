// Pictures written by a host without a drawing library: 24-bit BMP and PNG (see png_file.h),
// chosen by the file's extension.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/image.h"

namespace zq::host {

// The file's bytes for a BMP picture; empty for an empty image.
std::vector<uint8_t> EncodeBmp24(const platform::Image& image);

// Writes by extension (.bmp or .png, any case). False with a reason on failure.
bool WritePicture(const platform::Image& image, const std::string& path, std::string& error);

}  // namespace zq::host
