#include "plugin/host.h"

#include <stdexcept>

#include "engine/series/line_series.h"
#include "platform/ansi.h"
#include "platform/codepage.h"
#include "platform/environment.h"
#include "platform/surface.h"
#include "plugin/catalogue.h"
#include "plugin/dispatch.h"
#include "plugin/plugin_utils.h"

namespace zq::plugin {

namespace {

constexpr const char* kPlugInName = "zqLineChart";
constexpr const char* kAuthorLine = "zqLineChart developers";
constexpr const char* kDescription = "Построение графиков";

// Frees whatever the variable holds when the scope ends, on the normal and the exceptional
// path alike.
class PluginTextGuard {
 public:
  explicit PluginTextGuard(char** variable) : variable_(variable) {}
  ~PluginTextGuard() { FreePluginText(variable_); }
  PluginTextGuard(const PluginTextGuard&) = delete;
  PluginTextGuard& operator=(const PluginTextGuard&) = delete;

 private:
  char** variable_;
};

}  // namespace

HostState& Host() {
  static HostState state;
  return state;
}

std::string FromHostText(const char* text) {
  return text == nullptr ? std::string() : platform::AnsiToUtf8(text);
}

std::string ToHostText(std::string_view utf8) {
  return platform::Utf8ToAnsi(utf8);
}

void SetHostVariable(std::string_view name, std::string_view utf8Value) {
  SetVarProc setVar = Host().setVar;
  if (setVar == nullptr) return;
  std::string hostName = ToHostText(name);
  std::string hostValue = ToHostText(utf8Value);
  setVar(hostName.data(), hostValue.data());
}

InterfaceAnswer AskHostBytes(Int32 requestCode, std::string_view hostText) {
  InterfaceAccessProc access = Host().interfaceAccess;
  if (access == nullptr) throw std::runtime_error("the host has no interface access");
  char* variable = nullptr;
  PluginTextGuard guard(&variable);
  SetPluginText(&variable, hostText);
  InterfaceAnswer answer;
  answer.replaced = access(requestCode, &variable) != 0;
  if (variable != nullptr) answer.text = variable;
  return answer;
}

InterfaceAnswer AskHost(Int32 requestCode, std::string_view utf8Text) {
  InterfaceAnswer answer = AskHostBytes(requestCode, ToHostText(utf8Text));
  answer.text = FromHostText(answer.text.c_str());
  return answer;
}

void ReadLoadSettings() {
  const std::string everySegment = platform::EnvironmentVariable("ZQ_DRAW_EVERY_SEGMENT");
  const bool slowly = !everySegment.empty() && everySegment != "0";
  SetDrawEverySegment(slowly);
  platform::SetSurfacesDrawAtOnce(slowly);
}

void InitPlugIn(Int32 hostValue, char** name, char** author, char** description) {
  Host().hostValue = hostValue;
  SetPluginText(name, kPlugInName);
  SetPluginText(author, kAuthorLine);
  SetPluginText(description, platform::Utf8ToCp1251(kDescription));
}

void RegisterPlugIn(AddActionProc addAction, OpaqueProc second, OpaqueProc third,
                    SetVarProc setVar) {
  HostState& host = Host();
  host.addAction = addAction;
  host.registerSecond = second;
  host.registerThird = third;
  host.setVar = setVar;
  if (addAction == nullptr) return;
  ForEachRegistration([addAction](const Registration& r) {
    // The host's prototype takes non-const pointers; it only reads them.
    addAction(r.number, const_cast<char*>(r.name), const_cast<char*>(r.description),
              const_cast<uint8_t*>(r.typeCodes), r.highIndex, r.parameterCount);
  });
}

void RegisterScriptProcessor(OpaqueProc proc) {
  Host().scriptProcessor = proc;
}

void RegisterInterfaceAccess(InterfaceAccessProc proc) {
  Host().interfaceAccess = proc;
}

void Message(Int32 message) {
  if (message == 2) EndAllCharts();
}

}  // namespace zq::plugin
