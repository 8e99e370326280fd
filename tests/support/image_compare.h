// Comparing pictures with a tolerance, with a diff picture written when they differ.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/geometry.h"
#include "platform/image.h"

namespace zq::testing {

struct ImageCompareOptions {
  // Largest fraction of the compared pixels that may differ.
  double maxDifferingFraction = 0.0;
  // A pixel whose channels all differ by at most this much counts as equal.
  int channelTolerance = 0;
  // When set (and of the same size), only pixels where the mask is not black are compared.
  const platform::Image* mask = nullptr;
  // Where ImagesMatch writes the diff picture on failure (the actual picture goes beside it,
  // ending in ".actual.png"); empty writes nothing.
  std::string diffPath;
};

struct ImageComparison {
  bool sizesMatch = false;
  int64_t compared = 0;
  int64_t differing = 0;
  double fraction = 0;  // differing / compared
  int maxChannelDelta = 0;
  platform::Rect differingBox;  // bounding box of the differing pixels
  bool passed = false;
  std::string Describe() const;
};

ImageComparison CompareImages(const platform::Image& actual, const platform::Image& expected,
                              const ImageCompareOptions& options = {});

// The differences drawn over a faded copy of the expected picture: red where pixels differ,
// blue-tinted where the mask excludes them, magenta where only one picture has pixels.
platform::Image DiffImage(const platform::Image& actual, const platform::Image& expected,
                          const ImageCompareOptions& options = {});

// For EXPECT_TRUE: compares and, on failure, writes the diff picture when options ask for it.
::testing::AssertionResult ImagesMatch(const platform::Image& actual,
                                       const platform::Image& expected,
                                       const ImageCompareOptions& options = {});

// A path in the tests' output folder (created on demand).
std::string TestOutputPath(const std::string& name);

}  // namespace zq::testing
