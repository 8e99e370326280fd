// The script actions: from an action number and its parameter texts to a chart.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zq::actions {

// What the handlers need of the host application.
class HostServices {
 public:
  virtual ~HostServices() = default;
  // Request code 7: the host's text for the window of a rectangle object. Throws when the
  // host cannot be asked.
  virtual std::string AskObjectWindow(const std::string& rectangleName) = 0;
  // Sets a host variable (the missing-chart report).
  virtual void SetVariable(const std::string& name, const std::string& value) = 0;
};

// Runs action `number` (1..44) with exactly its parameters (UTF-8), and answers its Boolean
// result. Nothing escapes: a failure ends the handler where it happens. Afterwards
// LastReason() (actions/reasons.h) tells why the call stopped early or changed nothing.
bool RunAction(int32_t number, const std::vector<std::string>& args, HostServices& host);

// nbMessage 2: every chart window goes.
void EndAllCharts();

}  // namespace zq::actions
