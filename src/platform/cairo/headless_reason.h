// The reason of the last action call, kept for the headless host (zqHostLastReason).
#pragma once

#include <string>

namespace zq::platform {

// In the host's code page (Windows-1251), as every text that crosses to the host.
const std::string& LastActionReason();

}  // namespace zq::platform
