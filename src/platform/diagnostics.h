// Why an action stopped early or changed nothing, handed to whoever can show it to the
// script's author: on Windows a debugger or debug-output monitor (OutputDebugString, as Windows
// plug-ins do), on Linux the headless host.
#pragma once

#include <string_view>

namespace zq::platform {

// Called once per action call, also when the call had nothing to say (`reason` empty). UTF-8.
void ReportActionReason(std::string_view action, std::string_view reason);

}  // namespace zq::platform
