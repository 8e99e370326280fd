// Calling convention and symbol visibility of the plug-in's C boundary.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ZQ_STDCALL __stdcall
// The module definition file names the exports, undecorated.
#define ZQ_EXPORT extern "C"
#else
#define ZQ_STDCALL
#define ZQ_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace zq {
// Every integer and Boolean that crosses the boundary is 32 bits wide; a Boolean is 1 or 0.
using Int32 = std::int32_t;
using Bool32 = std::int32_t;
constexpr Bool32 kTrue = 1;
constexpr Bool32 kFalse = 0;
}  // namespace zq
