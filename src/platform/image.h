// A decoded raster picture: the form in which every picture reaches a surface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zq::platform {

// 32-bit pixels, top-down rows, each pixel 0xAARRGGBB (the byte order of a little-endian
// BGRA buffer, as both Cairo's ARGB32 and a Windows 32-bit DIB lay it out). Pictures are
// opaque: alpha is 0xFF.
struct Image {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
  uint32_t At(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

}  // namespace zq::platform
