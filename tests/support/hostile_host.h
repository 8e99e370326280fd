// Hosts that misbehave, the same on every platform: callbacks that call back into the plug-in
// (run another action, delete the chart being made, end every chart), host windows destroyed
// behind the plug-in's back, charts ended while the mouse drags. The host desk stands for the
// platform's windows (headless or real); the scenarios go through the plug-in's exports only. Each
// scenario says what it found wrong; an empty list is a pass. A crash is a failure of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/host_desk.h"
#include "common/plugin_api.h"

namespace zq::testing {

struct ScenarioResult {
  std::string name;
  std::vector<std::string> failures;
};

// Registers the host's callbacks with the plug-in and runs every scenario. The plug-in must not
// have charts of its own yet; every chart and rectangle is gone afterwards.
std::vector<ScenarioResult> RunHostileScenarios(const host::PluginExports& exports,
                                                host::HostDesk& desk);

}  // namespace zq::testing
