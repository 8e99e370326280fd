// Files named by UTF-8 paths, as the hosts' scripts and command lines give them.
#pragma once

#include <cstdio>
#include <string>

namespace zq::host {

// fopen for a UTF-8 path: on Windows through the wide API, so that a name with letters outside
// the ANSI code page (a Cyrillic name under English settings, or any name under Wine) works.
std::FILE* OpenHostFile(const std::string& utf8Path, const char* mode);

// The whole file; false when it cannot be read.
bool ReadHostFile(const std::string& utf8Path, std::string& content);

}  // namespace zq::host
