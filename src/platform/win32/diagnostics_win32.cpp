#include <windows.h>

#include <string>

#include "platform/ansi.h"
#include "platform/diagnostics.h"

namespace zq::platform {

void ReportActionReason(std::string_view action, std::string_view reason) {
  if (reason.empty()) return;
  // One line per call; a debug-output monitor reads it in the ANSI code page.
  const std::string line =
      "zqLineChart: " + std::string(action) + ": " + std::string(reason) + "\n";
  OutputDebugStringA(Utf8ToAnsi(line).c_str());
}

}  // namespace zq::platform
