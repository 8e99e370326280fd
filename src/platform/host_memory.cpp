#include "platform/host_memory.h"

namespace zq::platform {

HostMemory& PlatformHostMemory();  // defined by the platform library

namespace {
HostMemory* g_override = nullptr;
}

HostMemory& GetHostMemory() { return g_override ? *g_override : PlatformHostMemory(); }

void SetHostMemory(HostMemory* memory) { g_override = memory; }

}  // namespace zq::platform
