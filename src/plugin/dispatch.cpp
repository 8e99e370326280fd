#include "plugin/dispatch.h"

#include "actions/actions.h"
#include "actions/reasons.h"
#include "dialogs/dialog_routine.h"
#include "platform/diagnostics.h"
#include "platform/dialog_ui.h"
#include "plugin/catalogue.h"
#include "plugin/host.h"
#include "plugin/plugin_utils.h"

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

// The dialogs' pickers: InterfaceAccessProc while the host has registered one.
class PluginDialogHost : public dialogs::DialogHost {
 public:
  std::optional<std::string> Ask(int32_t requestCode, const std::string& hostText) override {
    if (Host().interfaceAccess == nullptr) return std::nullopt;
    InterfaceAnswer answer = AskHostBytes(requestCode, hostText);
    if (!answer.replaced) return std::nullopt;
    return std::move(answer.text);
  }
};

// Host texts for every parameter, or none: the variables change all together or not at all.
bool ReplaceParameters(char** parameters, const std::vector<std::string>& texts) {
  std::vector<char*> blocks(texts.size(), nullptr);
  try {
    for (size_t i = 0; i < texts.size(); ++i) SetPluginText(&blocks[i], texts[i]);
  } catch (...) {
    for (char*& block : blocks) FreePluginText(&block);
    return false;
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    FreePluginText(&parameters[i]);
    parameters[i] = blocks[i];
  }
  return true;
}

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

Bool32 EditAction(Int32 number, char** parameters) {
  const ActionInfo* action = FindAction(number);
  if (action == nullptr || parameters == nullptr) return kFalse;
  // A null variable is an empty text; its new text is a fresh block.
  std::vector<std::string> texts(size_t(action->parameterCount));
  for (size_t i = 0; i < texts.size(); ++i)
    if (parameters[i] != nullptr) texts[i] = parameters[i];
  PluginDialogHost host;
  std::optional<std::vector<std::string>> edited =
      dialogs::RunActionDialog(number, texts, host, platform::GetDialogUi());
  if (!edited || edited->size() != texts.size()) return kFalse;
  return ReplaceParameters(parameters, *edited) ? kTrue : kFalse;
}

void EndAllCharts() {
  actions::EndAllCharts();
}

}  // namespace zq::plugin
