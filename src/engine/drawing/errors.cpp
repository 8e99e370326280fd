#include "engine/drawing/errors.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace zq {

std::string FormatMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buffer(size_t(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), size_t(n));
  }
  va_end(args);
  return out;
}

}  // namespace zq
