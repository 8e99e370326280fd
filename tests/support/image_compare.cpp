#include "support/image_compare.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/cairo/image_output.h"

namespace zq::testing {

namespace {

int ChannelDelta(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8)
    d = std::max(d, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  return d;
}

bool MaskAllows(const ImageCompareOptions& o, const platform::Image& expected, int32_t x,
                int32_t y) {
  if (!o.mask || o.mask->width != expected.width || o.mask->height != expected.height) return true;
  return (o.mask->At(x, y) & 0xFFFFFF) != 0;
}

}  // namespace

std::string ImageComparison::Describe() const {
  std::ostringstream s;
  if (!sizesMatch) {
    s << "the pictures differ in size";
    return s.str();
  }
  s << differing << " of " << compared << " pixels differ (" << fraction * 100 << " %)";
  if (differing)
    s << ", largest channel difference " << maxChannelDelta << ", within x " << differingBox.left
      << ".." << differingBox.right - 1 << " y " << differingBox.top << ".."
      << differingBox.bottom - 1;
  return s.str();
}

ImageComparison CompareImages(const platform::Image& actual, const platform::Image& expected,
                              const ImageCompareOptions& options) {
  ImageComparison r;
  r.sizesMatch = actual.width == expected.width && actual.height == expected.height &&
                 actual.pixels.size() == expected.pixels.size();
  if (!r.sizesMatch) return r;
  platform::Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t y = 0; y < expected.height; ++y)
    for (int32_t x = 0; x < expected.width; ++x) {
      if (!MaskAllows(options, expected, x, y)) continue;
      ++r.compared;
      const int d = ChannelDelta(actual.At(x, y), expected.At(x, y));
      if (d > options.channelTolerance) {
        ++r.differing;
        r.maxChannelDelta = std::max(r.maxChannelDelta, d);
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
               std::max(box.bottom, y + 1)};
      }
    }
  if (r.differing) r.differingBox = box;
  r.fraction = r.compared ? double(r.differing) / double(r.compared) : 0.0;
  r.passed = r.fraction <= options.maxDifferingFraction;
  return r;
}

platform::Image DiffImage(const platform::Image& actual, const platform::Image& expected,
                          const ImageCompareOptions& options) {
  platform::Image out;
  out.width = std::max(actual.width, expected.width);
  out.height = std::max(actual.height, expected.height);
  out.pixels.assign(size_t(std::max(out.width, 0)) * size_t(std::max(out.height, 0)), 0xFFFF00FF);
  for (int32_t y = 0; y < out.height; ++y)
    for (int32_t x = 0; x < out.width; ++x) {
      const bool inA = x < actual.width && y < actual.height;
      const bool inE = x < expected.width && y < expected.height;
      if (!inA || !inE) continue;  // magenta
      const uint32_t e = expected.At(x, y);
      const int grey = (int((e >> 16) & 0xFF) + int((e >> 8) & 0xFF) + int(e & 0xFF)) / 3;
      const uint32_t faded = uint32_t(192 + grey / 4);
      uint32_t p = 0xFF000000u | (faded << 16) | (faded << 8) | faded;
      if (!MaskAllows(options, expected, x, y))
        p = 0xFF000000u | ((faded / 2) << 16) | ((faded / 2) << 8) | faded;
      else if (ChannelDelta(actual.At(x, y), e) > options.channelTolerance)
        p = 0xFFFF0000u;
      out.pixels[size_t(y) * size_t(out.width) + size_t(x)] = p;
    }
  return out;
}

::testing::AssertionResult ImagesMatch(const platform::Image& actual,
                                       const platform::Image& expected,
                                       const ImageCompareOptions& options) {
  const ImageComparison r = CompareImages(actual, expected, options);
  if (r.passed) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << r.Describe();
  if (!options.diffPath.empty()) {
    std::string actualPath = options.diffPath;
    if (actualPath.size() > 4 && actualPath.substr(actualPath.size() - 4) == ".png")
      actualPath.resize(actualPath.size() - 4);
    actualPath += ".actual.png";
    const bool wrote = platform::SavePng(DiffImage(actual, expected, options), options.diffPath) &&
                       platform::SavePng(actual, actualPath);
    if (wrote)
      failure << "; diff picture " << options.diffPath << ", actual picture " << actualPath;
    else
      failure << "; could not write the diff picture " << options.diffPath;
  }
  return failure;
}

std::string TestOutputPath(const std::string& name) {
#ifdef ZQ_TEST_OUTPUT
  const std::filesystem::path dir = ZQ_TEST_OUTPUT;
#else
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "zq_test_output";
#endif
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return (dir / name).string();
}

}  // namespace zq::testing
