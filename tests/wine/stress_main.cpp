// zq_wine_stress: random action sequences through zqLineChart.dll in a real Win32 message
// loop. A top-level window holds a few rectangle windows; the DLL lays its charts over them,
// paints them on WM_PAINT, rolls them on WM_TIMER and follows the rectangles on message 1274.
// Now and then a rectangle changes size, the host ends every chart (message 2) and charts
// come back. Any crash ends the process with a non-zero code and the step that caused it.
//
//   zq_wine_stress [--plugin PATH] [--seed N] [--seconds S] [--actions N]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/plugin_api.h"
#include "support/action_stress.h"

namespace {

using zq::Bool32;
using zq::Int32;
using zq::host::PluginExports;
using zq::testing::ActionRegistration;
using zq::testing::ActionStep;
using zq::testing::ActionStress;

constexpr UINT kFollowRectangle = 1274;
constexpr int kBatch = 40;

struct Rectangle {
  std::string name;
  int width, height;
  HWND window = nullptr;
};

std::vector<ActionRegistration> g_registrations;
std::map<std::string, HWND> g_objectWindows;  // names in the host's code page
// What the crash report names: the seed and the step under way.
uint32_t g_seed = 0;
long g_actionsRun = 0;
int32_t g_currentAction = -1;

void ZQ_STDCALL OnAddAction(Int32 number, char*, char*, uint8_t*, Int32, Int32 parameterCount) {
  g_registrations.push_back({number, parameterCount});
}

void ZQ_STDCALL OnSetVar(char*, char*) {}

// Request code 7: the window of a named rectangle, as a decimal handle in a new host text.
Bool32 ZQ_STDCALL OnInterfaceAccess(Int32 requestCode, char** text) {
  if (requestCode != 7 || text == nullptr || *text == nullptr) return FALSE;
  auto it = g_objectWindows.find(*text);
  if (it == g_objectWindows.end()) return FALSE;
  const std::string answer = std::to_string(reinterpret_cast<uintptr_t>(it->second));
  char* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, answer.size() + 1));
  if (block == nullptr) return FALSE;
  std::memcpy(block, answer.c_str(), answer.size() + 1);
  GlobalFree(*text);
  *text = block;
  return TRUE;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* r = info ? info->ExceptionRecord : nullptr;
  std::fprintf(stderr,
               "CRASH: exception %08lX at %p, seed %u, after %ld actions, in action %d "
               "(-1: the message loop)\n",
               r ? r->ExceptionCode : 0ul, r ? r->ExceptionAddress : nullptr, g_seed, g_actionsRun,
               g_currentAction);
  std::fflush(stderr);
  std::fflush(stdout);
  TerminateProcess(GetCurrentProcess(), 3);
  return EXCEPTION_EXECUTE_HANDLER;
}

// Hosts pass their texts in the ANSI code page.
std::string ToAnsi(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring w(size_t(wide), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), wide);
  const int n = WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
  return out;
}

class StressHost {
 public:
  StressHost(const PluginExports& exports, uint32_t seed) : e_(exports), seed_(seed) {}

  bool Start() {
    Register();
    if (g_registrations.empty()) {
      std::fprintf(stderr, "the plug-in registered no actions\n");
      return false;
    }
    if (!CreateWindows()) return false;
    actions_ = std::make_unique<ActionStress>(
        g_registrations, seed_, std::vector<std::string>{"R0", "R1", "R2"}, WritePictures());
    for (const Rectangle& r : rects_) Exec(1, {r.name});
    Pump();
    return true;
  }

  ~StressHost() {
    for (const std::string& path : files_) DeleteFileA(path.c_str());
    if (frame_) DestroyWindow(frame_);
  }

  // One random action, its result checked, then the messages it caused.
  void RunOne() {
    const ActionStep step = actions_->Next();
    const bool result = Exec(step.number, step.args);
    ++g_actionsRun;
    if (result) ++answeredTrue;
    if (!ActionStress::ResultAllowed(step.number, result)) {
      if (++oddResults <= 10)
        std::printf("odd result: action %d answered %d (step %ld)\n", step.number, int(result),
                    g_actionsRun);
    }
    Pump();
    if (g_actionsRun % kBatch == 0) Settle();
  }

  // Time passes and every chart is painted. A chart that went (deleted, replaced by a failed
  // creation, or ended by message 2) mostly comes back, so that state keeps piling up.
  void Settle() {
    Wait(DWORD(actions_->Pick(4) * 10 + actions_->Pick(10)));
    if (actions_->Chance(0.15)) {
      Rectangle& r = rects_[size_t(actions_->Pick(int(rects_.size())))];
      r.width = actions_->Chance(0.1) ? actions_->Pick(3) : 1 + actions_->Pick(600);
      r.height = actions_->Chance(0.1) ? actions_->Pick(3) : 1 + actions_->Pick(400);
      SetWindowPos(r.window, nullptr, 0, 0, r.width, r.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      for (HWND chart = GetWindow(r.window, GW_CHILD); chart != nullptr;
           chart = GetWindow(chart, GW_HWNDNEXT))
        SendMessageA(chart, kFollowRectangle, 0, 4);
      ++resizes;
    }
    if (actions_->Chance(0.03)) {
      e_.message(2);
      ++endings;
    }
    if (actions_->Chance(0.05)) e_.message(actions_->Pick(5) - 1);
    for (const Rectangle& r : rects_) {
      HWND chart = GetWindow(r.window, GW_CHILD);
      if (chart != nullptr) {
        RedrawWindow(chart, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ++paintedCharts;
      } else if (r.width > 0 && r.height > 0 && actions_->Chance(0.7)) {
        Exec(1, {r.name});
      }
    }
    Pump();
  }

  // The host closes: every chart ends, and the windows go after them.
  void Finish() {
    Settle();
    e_.message(2);
    Pump();
  }

  long answeredTrue = 0;
  long oddResults = 0;
  long paintedCharts = 0;
  long resizes = 0;
  long endings = 0;

 private:
  void Register() {
    char* name = nullptr;
    char* author = nullptr;
    char* description = nullptr;
    e_.initPlugIn(0, &name, &author, &description);
    for (char* text : {name, author, description})
      if (text != nullptr) GlobalFree(text);
    e_.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
    e_.registerScriptProcessor(nullptr);
    e_.registerInterfaceAccess(&OnInterfaceAccess);
  }

  bool CreateWindows() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA frame{};
    frame.lpfnWndProc = DefWindowProcA;
    frame.hInstance = instance;
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frame.lpszClassName = "zqStressFrame";
    WNDCLASSA rectangle = frame;
    rectangle.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    rectangle.lpszClassName = "zqStressRectangle";
    if (!RegisterClassA(&frame) || !RegisterClassA(&rectangle)) return false;
    frame_ = CreateWindowExA(0, "zqStressFrame", "zqLineChart stress", WS_OVERLAPPEDWINDOW, 0, 0,
                             1000, 800, nullptr, nullptr, instance, nullptr);
    if (frame_ == nullptr) return false;
    rects_ = {{"R0", 483, 293}, {"R1", 200, 120}, {"R2", 7, 5}};
    int x = 10;
    for (Rectangle& r : rects_) {
      r.window = CreateWindowExA(0, "zqStressRectangle", "",
                                 WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, x, 10,
                                 r.width, r.height, frame_, nullptr, instance, nullptr);
      if (r.window == nullptr) return false;
      x += 330;
      g_objectWindows[ToAnsi(r.name)] = r.window;
      // The lower-case spelling reaches the same window.
      std::string lower = r.name;
      lower[0] = 'r';
      g_objectWindows[ToAnsi(lower)] = r.window;
    }
    ShowWindow(frame_, SW_SHOWNOACTIVATE);
    UpdateWindow(frame_);
    return true;
  }

  // Good, pretending, missing, a folder, a format it does not read, an upper-case extension.
  std::vector<std::string> WritePictures() {
    char folder[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    const std::string dir = n > 0 && n < MAX_PATH ? std::string(folder, n) : std::string(".\\");
    const std::string stem = dir + "zq_stress_" + std::to_string(GetCurrentProcessId());
    auto write = [this](const std::string& path, const std::string& bytes) {
      HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (f != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        CloseHandle(f);
        files_.push_back(path);
      }
      return path;
    };
    return {write(stem + ".bmp", zq::testing::SmallBmpBytes()),
            write(stem + "_fake.jpg", zq::testing::FakeJpegBytes()),
            stem + "_missing.bmp",
            dir,
            "picture.png",
            write(stem + "_upper.BMP", zq::testing::SmallBmpBytes())};
  }

  bool Exec(int32_t number, const std::vector<std::string>& args) {
    std::vector<std::string> texts;
    for (const std::string& a : args) texts.push_back(ToAnsi(a));
    std::vector<char*> pointers;
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    g_currentAction = number;
    const bool result = e_.execAction(number, pointers.data()) != 0;
    g_currentAction = -1;
    return result;
  }

  // Everything waiting: paints, timers, the plug-in's own messages.
  static void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  // Messages for a while, so that timers come due.
  static void Wait(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(end - now), QS_ALLINPUT);
      Pump();
    }
    Pump();
  }

  const PluginExports& e_;
  uint32_t seed_;
  HWND frame_ = nullptr;
  std::vector<Rectangle> rects_;
  std::vector<std::string> files_;
  std::unique_ptr<ActionStress> actions_;
};

std::string DefaultPluginPath() {
  char exe[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path(exe, n);
  const size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
         "zqLineChart.dll";
}

}  // namespace

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(&OnCrash);

  std::string plugin = DefaultPluginPath();
  double seconds = 60;
  long maxActions = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--plugin" && hasValue) {
      plugin = argv[++i];
    } else if (arg == "--seed" && hasValue) {
      g_seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--seconds" && hasValue) {
      seconds = std::strtod(argv[++i], nullptr);
    } else if (arg == "--actions" && hasValue) {
      maxActions = std::strtol(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr,
                   "usage: zq_wine_stress [--plugin PATH] [--seed N] [--seconds S] "
                   "[--actions N]\n");
      return 2;
    }
  }

  HMODULE module = LoadLibraryA(plugin.c_str());
  if (module == nullptr) {
    std::fprintf(stderr, "cannot load %s (error %lu)\n", plugin.c_str(), GetLastError());
    return 1;
  }
  const PluginExports exports = zq::host::ResolveExports([module](const char* symbol) {
    return reinterpret_cast<void*>(GetProcAddress(module, symbol));
  });
  if (!exports.Complete()) {
    std::fprintf(stderr, "%s lacks entry points\n", plugin.c_str());
    return 1;
  }

  const ULONGLONG start = GetTickCount64();
  const ULONGLONG limit = start + ULONGLONG(seconds * 1000);
  long batches = 0;
  StressHost host(exports, g_seed);
  if (!host.Start()) {
    std::fprintf(stderr, "cannot set up the host windows\n");
    return 1;
  }
  while ((maxActions < 0 || g_actionsRun < maxActions) && GetTickCount64() < limit) {
    host.RunOne();
    if (g_actionsRun % kBatch == 0) ++batches;
  }
  host.Finish();
  const double elapsed = double(GetTickCount64() - start) / 1000;

  std::printf("seed\t%u\n", g_seed);
  std::printf("actions\t%ld\n", g_actionsRun);
  std::printf("true\t%ld\n", host.answeredTrue);
  std::printf("seconds\t%.1f\n", elapsed);
  std::printf("painted\t%ld\n", host.paintedCharts);
  std::printf("resizes\t%ld\n", host.resizes);
  std::printf("ended\t%ld\n", host.endings);
  std::printf("odd results\t%ld\n", host.oddResults);
  std::fflush(stdout);
  if (host.oddResults > 0) return 1;
  // Most batches ended with charts to paint (a run of missing charts tests little).
  if (host.paintedCharts <= batches) {
    std::printf("too few charts painted: %ld in %ld batches\n", host.paintedCharts, batches);
    return 1;
  }
  return 0;
}
