// The module (DLL or program) that this platform library is linked into.
#pragma once

#include <windows.h>

namespace zq::platform::win32 {

HINSTANCE ThisModule();

}  // namespace zq::platform::win32
