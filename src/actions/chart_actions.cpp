// Chart windows (create, delete) and the rocking rotation.
#include "actions/handlers.h"

namespace zq::actions {

namespace {

constexpr const char* kLastError = "[LastError]";
constexpr const char* kNoChartReport = "Нет управления диаграммой прикреплённой к объекту ";

}  // namespace

bool CreateLineChart(const Args& args, HostServices& host) {
  const std::string& name = TextAt(args, 0);
  try {
    const bool made =
        charts::ChartRegistry::Instance().Create(name, [&host](const std::string& rectangle) {
          const std::string answer = host.AskObjectWindow(rectangle);
          platform::WindowHandle window = 0;
          try {
            window = platform::WindowHandle(ParseIntegerText(answer));
          } catch (const ConversionError&) {
            StopReason("the host's answer for the rectangle " + Quote(rectangle) +
                       " is not a window handle: " + Quote(answer));
            throw;
          }
          if (window == 0)
            StopReason("the host has no window for the rectangle " + Quote(rectangle));
          return window;
        });
    if (!made)
      StopReason("the host's window for the rectangle " + Quote(name) + " is not a window");
  } catch (const std::exception& e) {
    // A host that cannot answer, or answers no integer, creates nothing; still true.
    StopReason(e.what());
  } catch (...) {
    StopReason("the host's answer failed");
  }
  return true;
}

bool DeleteLineChart(const Args& args, HostServices&) {
  charts::ChartRegistry& registry = charts::ChartRegistry::Instance();
  if (registry.Find(TextAt(args, 0)) == nullptr)
    NoteReason("no chart over the rectangle " + Quote(args[0]));
  registry.Delete(args[0]);
  return true;
}

bool LineChartRoll(const Args& args, HostServices& host) {
  charts::TVelImageForm* form = FindChart(args);
  if (form == nullptr) {
    host.SetVariable(kLastError, std::string(kNoChartReport) + args[0] + ".");
    return false;
  }
  std::optional<bool> motion;
  BooleanAt(args, 1, [&](bool v) { motion = v; });
  if (motion == false) form->SetTimer1Enabled(false);
  // An unreadable step ends the action here: a stop has happened, a start does not.
  charts::Roll().step = IntegerAt(args, 2);
  if (motion == true) form->SetTimer1Enabled(true);
  return false;
}

}  // namespace zq::actions
