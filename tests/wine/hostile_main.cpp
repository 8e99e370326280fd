// zq_wine_hostile: hosts that misbehave, in real Win32 windows. The shared scenarios go
// through zqLineChart.dll (callbacks that call back into it, host windows destroyed behind its
// back, message 2 while the mouse drags); a chart deleted from inside its own WM_TIMER is
// provoked through the test-only tick hook of the plug-in's code linked into this program.
// Prints one line per scenario; any failure or crash ends with a non-zero status.
//
//   zq_wine_hostile [--plugin PATH]
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "charts/chart_registry.h"
#include "common/plugin_api.h"
#include "nbhost/window_desk.h"
#include "support/hostile_host.h"

namespace {

using zq::Int32;

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* r = info ? info->ExceptionRecord : nullptr;
  std::fprintf(stderr, "CRASH: exception %08lX at %p\n", r ? r->ExceptionCode : 0ul,
               r ? r->ExceptionAddress : nullptr);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Request code 7 for the in-process plug-in code: the rectangle's window handle.
class InProcessHost : public zq::actions::HostServices {
 public:
  std::string AskObjectWindow(const std::string& name) override {
    return name == "Tick" ? std::to_string(window) : "0";
  }
  void SetVariable(const std::string&, const std::string&) override {}
  Int32 window = 0;
};

// A chart deleted from inside its own timer tick: one tick, then neither chart nor window.
bool DeletedInsideItsTick(zq::host::WindowDesk& desk) {
  using zq::charts::ChartRegistry;
  using zq::charts::TImageForm;
  InProcessHost host;
  host.window = desk.CreateRectangle("Tick", 200, 150);
  zq::actions::RunAction(1, {"Tick"}, host);
  ChartRegistry& registry = ChartRegistry::Instance();
  if (registry.Find("Tick") == nullptr) {
    std::printf("FAIL tick: no chart was made\n");
    return false;
  }
  HWND chart = reinterpret_cast<HWND>(registry.Find("Tick")->Handle());
  int ticks = 0;
  TImageForm::TickHookForTests() = [&ticks](TImageForm&) {
    ++ticks;
    ChartRegistry::Instance().Delete("Tick");
  };
  zq::actions::RunAction(44, {"Tick", "True", "5"}, host);
  desk.PassTicks(4);
  TImageForm::TickHookForTests() = nullptr;
  const int32_t windows = desk.Describe(host.window).charts;
  const bool ok =
      ticks == 1 && registry.Find("Tick") == nullptr && !IsWindow(chart) && windows == 0;
  std::printf("%s tick: %d ticks, chart %s, %d chart windows\n", ok ? "ok" : "FAIL", ticks,
              IsWindow(chart) ? "still a window" : "gone", windows);
  desk.DestroyRectangle(host.window);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&OnCrash);
  std::string plugin = "zqLineChart.dll";
  if (argc == 3 && std::string(argv[1]) == "--plugin") plugin = argv[2];
  HMODULE module = LoadLibraryA(plugin.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "cannot load %s (error %lu)\n", plugin.c_str(), GetLastError());
    return 1;
  }
  const zq::host::PluginExports exports = zq::host::ResolveExports([module](const char* symbol) {
    return reinterpret_cast<void*>(GetProcAddress(module, symbol));
  });
  if (!exports.Complete()) {
    std::fprintf(stderr, "%s lacks the plug-in's entry points\n", plugin.c_str());
    return 1;
  }
  zq::host::WindowDesk desk;
  bool ok = true;
  for (const auto& result : zq::testing::RunHostileScenarios(exports, desk)) {
    std::printf("%s %s\n", result.failures.empty() ? "ok" : "FAIL", result.name.c_str());
    for (const std::string& f : result.failures) std::printf("  %s\n", f.c_str());
    ok = ok && result.failures.empty();
  }
  ok = DeletedInsideItsTick(desk) && ok;
  std::fflush(stdout);
  return ok ? 0 : 1;
}
