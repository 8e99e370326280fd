// Chart windows (create, delete) and the rocking rotation.
#include "actions/handlers.h"

namespace zq::actions {

namespace {

constexpr const char* kLastError = "[LastError]";
constexpr const char* kNoChartReport = "Нет управления диаграммой прикреплённой к объекту ";

}  // namespace

bool CreateLineChart(const Args& args, HostServices& host) {
  try {
    charts::ChartRegistry::Instance().Create(args[0], [&host](const std::string& name) {
      return platform::WindowHandle(ParseIntegerText(host.AskObjectWindow(name)));
    });
  } catch (...) {
    // A host that cannot answer, or answers no integer, creates nothing; still true.
  }
  return true;
}

bool DeleteLineChart(const Args& args, HostServices&) {
  charts::ChartRegistry::Instance().Delete(args[0]);
  return true;
}

bool LineChartRoll(const Args& args, HostServices& host) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) {
    host.SetVariable(kLastError, std::string(kNoChartReport) + args[0] + ".");
    return false;
  }
  std::optional<bool> motion = ParseBooleanText(args[1]);
  if (motion == false) form->SetTimer1Enabled(false);
  // An unreadable step ends the action here: a stop has happened, a start does not.
  charts::Roll().step = ParseIntegerText(args[2]);
  if (motion == true) form->SetTimer1Enabled(true);
  return false;
}

}  // namespace zq::actions
