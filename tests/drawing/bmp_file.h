// Pictures as 24-bit BMP files: the one format that every backend and host can write, so the
// Windows and Linux pictures of a test can be compared.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/image.h"

namespace zq::test {

inline bool WriteBmp24(const platform::Image& image, const std::string& path) {
  if (image.Empty()) return false;
  const uint32_t rowBytes = (uint32_t(image.width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * uint32_t(image.height);
  std::vector<uint8_t> file(54 + size_t(dataBytes), 0);
  auto put16 = [&](size_t at, uint32_t v) {
    file[at] = uint8_t(v);
    file[at + 1] = uint8_t(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, 54 + dataBytes);
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(image.width));
  put32(22, uint32_t(image.height));  // bottom-up
  put16(26, 1);
  put16(28, 24);
  put32(34, dataBytes);
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* row = file.data() + 54 + size_t(image.height - 1 - y) * rowBytes;
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t p = image.At(x, y);  // 0xAARRGGBB
      row[3 * x] = uint8_t(p);
      row[3 * x + 1] = uint8_t(p >> 8);
      row[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace zq::test
