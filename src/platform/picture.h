// Picture files that only the platform can decode (icons and metafiles on Windows).
#pragma once

#include <optional>
#include <string>

#include "platform/image.h"

namespace zq::platform {

// Extensions (lower case, without the dot) that LoadPlatformPicture understands.
bool PlatformPictureSupports(const std::string& extension);

// Decodes the file into an image at its natural size. Throws std::runtime_error with a clear
// message when the file cannot be read or decoded.
Image LoadPlatformPicture(const std::string& path, const std::string& extension);

}  // namespace zq::platform
