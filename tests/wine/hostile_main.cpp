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

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

HWND AsWindow(Int32 handle) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(handle));
}

class WindowsDesk : public zq::testing::HostileDesk {
 public:
  WindowsDesk() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"zqHostileRectangle";
    RegisterClassW(&wc);
    frame_ = CreateWindowExW(0, L"zqHostileRectangle", L"zqLineChart hostile host",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ShowWindow(frame_, SW_SHOWNOACTIVATE);
  }
  ~WindowsDesk() override { DestroyWindow(frame_); }
  bool Ready() const { return frame_ != nullptr; }

  Int32 CreateRectangle(int32_t width, int32_t height) override {
    HWND r = CreateWindowExW(0, L"zqHostileRectangle", L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 10, 10,
                             width, height, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
    return Int32(reinterpret_cast<intptr_t>(r));
  }
  void DestroyRectangle(Int32 rectangle) override {
    if (IsWindow(AsWindow(rectangle))) DestroyWindow(AsWindow(rectangle));
  }
  int32_t ChartWindows(Int32 rectangle) override {
    int32_t n = 0;
    if (!IsWindow(AsWindow(rectangle))) return 0;
    for (HWND c = GetWindow(AsWindow(rectangle), GW_CHILD); c != nullptr;
         c = GetWindow(c, GW_HWNDNEXT))
      ++n;
    return n;
  }
  void Mouse(Int32 rectangle, int kind, int32_t x, int32_t y) override {
    if (!IsWindow(AsWindow(rectangle))) return;
    HWND chart = GetWindow(AsWindow(rectangle), GW_CHILD);
    if (chart == nullptr) return;
    const UINT messages[] = {0, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP};
    SendMessageW(chart, messages[kind], kind == 3 ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
  }
  void Pump() override { ::Pump(); }

 private:
  HWND frame_ = nullptr;
};

// Request code 7 for the in-process plug-in code: the rectangle's window handle.
class InProcessHost : public zq::actions::HostServices {
 public:
  std::string AskObjectWindow(const std::string& name) override {
    return name == "Tick" ? std::to_string(window) : "0";
  }
  void SetVariable(const std::string&, const std::string&) override {}
  Int32 window = 0;
};

// A chart deleted from inside its own timer tick, a second chart rolling on beside it.
bool DeletedInsideItsTick(WindowsDesk& desk) {
  using zq::charts::ChartRegistry;
  using zq::charts::TImageForm;
  InProcessHost host;
  host.window = desk.CreateRectangle(200, 150);
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
  const ULONGLONG end = GetTickCount64() + 600;
  while (GetTickCount64() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
  TImageForm::TickHookForTests() = nullptr;
  const bool ok = ticks == 1 && registry.Find("Tick") == nullptr && !IsWindow(chart) &&
                  desk.ChartWindows(host.window) == 0;
  std::printf("%s tick: %d ticks, chart %s, %d chart windows\n", ok ? "ok" : "FAIL", ticks,
              IsWindow(chart) ? "still a window" : "gone", desk.ChartWindows(host.window));
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
  WindowsDesk desk;
  if (!exports.Complete() || !desk.Ready()) {
    std::fprintf(stderr, "no plug-in entry points or no windows\n");
    return 1;
  }
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
