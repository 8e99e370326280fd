// Files named by UTF-8 paths (the plug-in's texts are UTF-8 inside).
#pragma once

#include <cstdio>
#include <string>

namespace zq::platform {

// Opens the file for binary reading; nullptr when it cannot. On Windows through the wide API,
// so that a name with letters of any code page opens.
std::FILE* OpenFileForReading(const std::string& utf8Path);

}  // namespace zq::platform
