// Compares two pictures of the same drawing made by different backends. Text, which each
// backend renders with its own font engine, can be masked out: give each picture's twin drawn
// without text, and the pixels where a picture differs from its twin are not compared.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/drawing/bmp_reader.h"
#include "platform/cairo/image_output.h"
#include "support/image_compare.h"

namespace {

// BMP files from the Windows side, PNG files from either side.
zq::platform::Image Read(const std::string& path) {
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0) {
    auto picture = zq::platform::LoadPng(path);
    if (!picture) throw std::runtime_error(path + ": not a readable PNG file");
    return *picture;
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  return zq::DecodeBmp(bytes);
}

// White where both pictures are compared, black where text was drawn (grown by a pixel).
zq::platform::Image TextMask(const std::vector<zq::platform::Image>& withText,
                             const std::vector<zq::platform::Image>& withoutText) {
  zq::platform::Image mask;
  mask.width = withText[0].width;
  mask.height = withText[0].height;
  mask.pixels.assign(size_t(mask.width) * size_t(mask.height), 0xFFFFFFFFu);
  for (size_t k = 0; k < withText.size(); ++k)
    for (int32_t y = 0; y < mask.height; ++y)
      for (int32_t x = 0; x < mask.width; ++x) {
        if (withText[k].At(x, y) == withoutText[k].At(x, y)) continue;
        for (int32_t dy = -1; dy <= 1; ++dy)
          for (int32_t dx = -1; dx <= 1; ++dx) {
            int32_t mx = x + dx, my = y + dy;
            if (mx >= 0 && my >= 0 && mx < mask.width && my < mask.height)
              mask.pixels[size_t(my) * size_t(mask.width) + size_t(mx)] = 0xFF000000u;
          }
      }
  return mask;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: zq_image_diff ACTUAL EXPECTED [--without-text ACTUAL2 EXPECTED2]\n"
                 "                     [--max-fraction F] [--diff OUT.png]\n");
    return 2;
  }
  try {
    zq::platform::Image actual = Read(args[0]);
    zq::platform::Image expected = Read(args[1]);
    zq::testing::ImageCompareOptions options;
    options.maxDifferingFraction = 0.01;
    zq::platform::Image mask;
    std::string diffPath;
    for (size_t i = 2; i < args.size(); ++i) {
      if (args[i] == "--without-text" && i + 2 < args.size()) {
        zq::platform::Image a2 = Read(args[i + 1]);
        zq::platform::Image b2 = Read(args[i + 2]);
        i += 2;
        if (a2.width == actual.width && b2.width == expected.width &&
            actual.width == expected.width && actual.height == expected.height &&
            a2.height == actual.height && b2.height == expected.height) {
          mask = TextMask({actual, expected}, {a2, b2});
          options.mask = &mask;
        }
      } else if (args[i] == "--max-fraction" && i + 1 < args.size()) {
        options.maxDifferingFraction = std::stod(args[++i]);
      } else if (args[i] == "--diff" && i + 1 < args.size()) {
        diffPath = args[++i];
      } else {
        std::fprintf(stderr, "zq_image_diff: unexpected argument %s\n", args[i].c_str());
        return 2;
      }
    }
    zq::testing::ImageComparison result = zq::testing::CompareImages(actual, expected, options);
    std::printf("%s\n", result.Describe().c_str());
    if (!result.passed && !diffPath.empty())
      zq::platform::SavePng(zq::testing::DiffImage(actual, expected, options), diffPath);
    return result.passed ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zq_image_diff: %s\n", e.what());
    return 2;
  }
}
