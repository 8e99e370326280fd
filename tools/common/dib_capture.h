// Pictures taken through a Windows device context: `draw` paints into a 32-bit top-down
// bitmap, which is read back as an opaque image.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/image.h"

namespace zq::host {

// False when the bitmap could not be made or `draw` answered false.
bool CaptureIntoDib(int32_t width, int32_t height, platform::Image& image,
                    const std::function<bool(HDC)>& draw);

}  // namespace zq::host
