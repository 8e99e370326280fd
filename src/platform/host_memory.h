// Memory for texts handed to the host: GlobalAlloc(GMEM_FIXED)/GlobalFree on Windows, the C
// heap elsewhere.
#pragma once

#include <cstddef>

namespace zq::platform {

class HostMemory {
 public:
  virtual ~HostMemory() = default;
  virtual char* Allocate(size_t bytes) = 0;  // nullptr when out of memory
  virtual void Free(char* block) = 0;
};

// The platform's allocator, or the one that a test installed.
HostMemory& GetHostMemory();
// Installs an allocator (nullptr restores the platform's). For tests.
void SetHostMemory(HostMemory* memory);

}  // namespace zq::platform
