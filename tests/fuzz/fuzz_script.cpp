// The zqchart script parser: any text is either a list of steps or a ScriptError with a line
// number inside the text.
#include <algorithm>
#include <cstdint>
#include <string>

#include "common/script.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using zq::fuzz::Check;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int lines = int(std::count(text.begin(), text.end(), '\n')) + 1;
  try {
    int previous = 0;
    for (const zq::host::ScriptStep& step : zq::host::ParseScript(text)) {
      Check(step.line > previous && step.line <= lines, "steps come in line order");
      Check(step.kind == zq::host::ScriptStep::Kind::Action || !step.name.empty(),
            "a directive has a name");
      previous = step.line;
    }
  } catch (const zq::host::ScriptError& e) {
    Check(e.line() >= 1 && e.line() <= lines, "an error names a line of the script");
  }
  return 0;
}
