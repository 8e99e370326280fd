// One fixed sequence of chart-canvas calls: 2D shapes, 3D boxes and pyramids at several
// rotations, rotated text, the seven gradients, hatched brushes and clipped pictures. Every
// backend draws the same calls, so their pictures can be compared.
#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace zq::test {

constexpr int32_t kCanvasSequenceWidth = 640;
constexpr int32_t kCanvasSequenceHeight = 480;

// Draws the sequence onto `surface` (at least kCanvasSequenceWidth x kCanvasSequenceHeight).
// Without text, every text call is left out: the pixels that differ between the two runs are
// the text, which backends render with their own font engines.
void DrawCanvasSequence(platform::Surface& surface, bool withText);

}  // namespace zq::test
