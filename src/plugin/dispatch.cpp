#include "plugin/dispatch.h"

#include "plugin/catalogue.h"
#include "plugin/host.h"

namespace zq::plugin {

namespace {

std::vector<std::string> CopyParameters(const ActionInfo& action, char** parameters) {
  std::vector<std::string> args(size_t(action.parameterCount));
  if (parameters == nullptr) return args;
  for (int32_t i = 0; i < action.parameterCount; ++i) args[size_t(i)] = FromHostText(parameters[i]);
  return args;
}

}  // namespace

Bool32 ExecAction(Int32 number, char** parameters) {
  const ActionInfo* action = FindAction(number);
  if (action == nullptr) return kFalse;
  std::vector<std::string> args = CopyParameters(*action, parameters);
  // The handlers are not wired in yet: every action answers false.
  return kFalse;
}

Bool32 EditAction(Int32 number, char** /*parameters*/) {
  if (FindAction(number) == nullptr) return kFalse;
  return kFalse;
}

void EndAllCharts() {}

}  // namespace zq::plugin
