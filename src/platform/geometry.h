// Integer geometry shared by every drawing layer.
#pragma once

#include <cstdint>

namespace zq::platform {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Windows rectangle: covers columns left..right-1 and rows top..bottom-1.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00BBGGRR, red in the lowest byte. Surfaces take plain RGB only: system colours are
// resolved before they reach a surface.
using Rgb = uint32_t;
constexpr uint8_t RedOf(Rgb c) { return c & 0xFF; }
constexpr uint8_t GreenOf(Rgb c) { return (c >> 8) & 0xFF; }
constexpr uint8_t BlueOf(Rgb c) { return (c >> 16) & 0xFF; }
constexpr Rgb MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

}  // namespace zq::platform
