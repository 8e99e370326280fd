#include "plugin/dispatch.h"

#include "actions/actions.h"
#include "actions/reasons.h"
#include "platform/diagnostics.h"
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

// The host as the handlers see it: its callbacks, texts converted at the boundary.
class PluginHostServices : public actions::HostServices {
 public:
  std::string AskObjectWindow(const std::string& rectangleName) override {
    return AskHost(kRequestObjectWindow, rectangleName).text;
  }
  void SetVariable(const std::string& name, const std::string& value) override {
    SetHostVariable(name, value);
  }
};

}  // namespace

Bool32 ExecAction(Int32 number, char** parameters) {
  const ActionInfo* action = FindAction(number);
  PluginHostServices host;
  bool result = false;
  if (action == nullptr) {
    // Nothing runs; the author still learns that the number is unknown.
    actions::RunAction(number, {}, host);
  } else {
    result = actions::RunAction(number, CopyParameters(*action, parameters), host);
  }
  platform::ReportActionReason(
      action != nullptr ? std::string(action->name) : "action " + std::to_string(number),
      actions::LastReason());
  return result ? kTrue : kFalse;
}

Bool32 EditAction(Int32 number, char** /*parameters*/) {
  if (FindAction(number) == nullptr) return kFalse;
  return kFalse;
}

void EndAllCharts() {
  actions::EndAllCharts();
}

}  // namespace zq::plugin
