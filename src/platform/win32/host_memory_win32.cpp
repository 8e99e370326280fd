#include <windows.h>

#include "platform/host_memory.h"

namespace zq::platform {

namespace {

// The host frees what we hand it with GlobalFree, so texts must come from GlobalAlloc.
class GlobalHostMemory final : public HostMemory {
 public:
  char* Allocate(size_t bytes) override {
    return static_cast<char*>(GlobalAlloc(GMEM_FIXED, bytes));
  }
  void Free(char* block) override {
    if (block) GlobalFree(block);
  }
};

}  // namespace

HostMemory& PlatformHostMemory() {
  static GlobalHostMemory memory;
  return memory;
}

}  // namespace zq::platform
