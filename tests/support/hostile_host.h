// Hosts that misbehave, the same on every platform: callbacks that call back into the plug-in
// (run another action, delete the chart being made, end every chart), host windows destroyed
// behind the plug-in's back, charts ended while the mouse drags. The desk stands for the
// platform's windows; the scenarios go through the plug-in's exports only. Each scenario says
// what it found wrong; an empty list is a pass. A crash is a failure of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/plugin_api.h"

namespace zq::testing {

class HostileDesk {
 public:
  virtual ~HostileDesk() = default;
  // A rectangle window of the host; its handle, 0 on failure.
  virtual Int32 CreateRectangle(int32_t width, int32_t height) = 0;
  virtual void DestroyRectangle(Int32 rectangle) = 0;
  // Chart windows lying over the rectangle window.
  virtual int32_t ChartWindows(Int32 rectangle) = 0;
  // The left button over the topmost chart window: 1 down, 2 move (held), 3 up.
  virtual void Mouse(Int32 rectangle, int kind, int32_t x, int32_t y) = 0;
  // Lets waiting messages, timers and paints happen.
  virtual void Pump() = 0;
};

struct ScenarioResult {
  std::string name;
  std::vector<std::string> failures;
};

// Registers the host's callbacks with the plug-in and runs every scenario. The plug-in must not
// have charts of its own yet; every chart and rectangle is gone afterwards.
std::vector<ScenarioResult> RunHostileScenarios(const host::PluginExports& exports,
                                                HostileDesk& desk);

}  // namespace zq::testing
