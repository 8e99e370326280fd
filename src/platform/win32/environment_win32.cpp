#include <windows.h>

#include "platform/environment.h"

namespace zq::platform {

// The process's own block: what a host set with SetEnvironmentVariable before loading us,
// whichever C runtime it uses.
std::string EnvironmentVariable(const char* name) {
  char buffer[256];
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

}  // namespace zq::platform
