#include "nbhost/window_desk.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "common/dib_capture.h"
#include "common/picture_file.h"
#include "common/plugin_library.h"

namespace zq::host {

namespace {

constexpr wchar_t kFrameClass[] = L"nbhostFrame";
constexpr wchar_t kRectangleClass[] = L"nbhostRectangle";
constexpr int32_t kGap = 8;
// How much longer than its ticks a @tick always runs, so that a timer message that comes a
// little late on a busy machine (the first one of a chart whose roll began just before) is
// not missed; windows that have had their ticks get no more meanwhile.
constexpr DWORD kLateTimerMargin = 200;
// How long a @tick waits at most for a window that has had some of its ticks but not all.
constexpr DWORD kLateTimerGrace = 2000;
// A window whose timer message has not come for this long has stopped its timer (its roll was
// switched off): the windows after it tick without waiting for it.
constexpr DWORD kStoppedTimer = 1000;

HWND AsWindow(Int32 handle) {
  return reinterpret_cast<HWND>(intptr_t(handle));
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) return 0;  // the script decides when the host ends
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterClasses() {
  static const bool done = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kFrameClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kRectangleClass;
    RegisterClassExW(&wc);
    return true;
  }();
  (void)done;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

}  // namespace

WindowDesk::WindowDesk(Capture capture) : capture_(capture) {
  RegisterClasses();
  frame_ = CreateWindowExW(0, kFrameClass, L"nbhost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                           320, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (frame_ == nullptr)
    throw std::runtime_error("cannot create the host window (error " +
                             std::to_string(GetLastError()) + ")");
  ShowWindow(frame_, SW_SHOWNORMAL);
  Pump();
}

WindowDesk::~WindowDesk() {
  if (frame_ != nullptr) DestroyWindow(frame_);
}

Int32 WindowDesk::CreateRectangle(const std::string&, int32_t width, int32_t height) {
  HWND rectangle = CreateWindowExW(
      0, kRectangleClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
      nextTop_, width, height, frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (rectangle == nullptr) return 0;
  nextTop_ += height + kGap;
  frameWidth_ = std::max(frameWidth_, width);
  FitFrame();
  Pump();
  return Int32(reinterpret_cast<intptr_t>(rectangle));
}

void WindowDesk::FitFrame() {
  RECT r{0, 0, std::max(frameWidth_, 120), std::max(nextTop_, 40)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
  SetWindowPos(frame_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool WindowDesk::ResizeRectangle(Int32 rectangle, int32_t width, int32_t height) {
  HWND hwnd = AsWindow(rectangle);
  if (!IsWindow(hwnd)) return false;
  SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  frameWidth_ = std::max(frameWidth_, width);
  FitFrame();
  Pump();
  return true;
}

bool WindowDesk::DestroyRectangle(Int32 rectangle) {
  HWND hwnd = AsWindow(rectangle);
  if (!IsWindow(hwnd)) return false;
  DestroyWindow(hwnd);
  Pump();
  return true;
}

void WindowDesk::SendToCharts(Int32 rectangle, uint32_t message, int32_t lParam) {
  for (HWND chart : ChildrenOf(AsWindow(rectangle))) SendMessageW(chart, message, 0, lParam);
  Pump();
}

void WindowDesk::Pump() {
  MSG msg;
  auto drain = [&](UINT low, UINT high) {
    while (PeekMessageW(&msg, nullptr, low, high, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  };
  // Timer messages wait for @tick: script time passes only there, as it does for zqchart.
  drain(0, WM_TIMER - 1);
  drain(WM_TIMER + 1, 0xFFFFFFFF);
}

void WindowDesk::LearnTimers() {
  auto known = [&](HWND hwnd) {
    return std::find(timerOrder_.begin(), timerOrder_.end(), hwnd) != timerOrder_.end();
  };
  // The timer that fell due first tells which of two new timers was set first.
  MSG msg;
  if (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) && msg.hwnd != nullptr &&
      GetParent(GetParent(msg.hwnd)) == frame_ && !known(msg.hwnd))
    timerOrder_.push_back(msg.hwnd);
  for (HWND rectangle : ChildrenOf(frame_))
    for (HWND chart : ChildrenOf(rectangle))
      if (!known(chart) && PeekMessageW(&msg, chart, WM_TIMER, WM_TIMER, PM_NOREMOVE))
        timerOrder_.push_back(chart);
}

void WindowDesk::PassTicks(int32_t ticks) {
  if (ticks <= 0) {
    Pump();
    return;
  }
  // zqchart's clock steps every running timer once a tick, the one set first first, and the
  // roll's swing is shared by all charts: so each window here gets exactly `ticks` timer
  // messages, in rounds, in the order the timers were set, however late real timers come.
  std::map<HWND, int32_t> had;
  const DWORD start = GetTickCount();
  DWORD waitingSince = start;
  const DWORD length = DWORD(ticks) * DWORD(kTickMilliseconds);
  for (;;) {
    Pump();
    LearnTimers();
    std::erase_if(timerOrder_, [](HWND hwnd) { return !IsWindow(hwnd); });
    // The next to tick: the first of the windows that have had the fewest ticks.
    auto next = timerOrder_.end();
    for (auto it = timerOrder_.begin(); it != timerOrder_.end(); ++it)
      if (had[*it] < ticks && (next == timerOrder_.end() || had[*it] < had[*next])) next = it;
    const DWORD now = GetTickCount();
    if (next != timerOrder_.end()) {
      MSG msg;
      if (PeekMessageW(&msg, *next, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        ++had[*next];
        DispatchMessageW(&msg);
        waitingSince = now;
        continue;
      }
      if (now - waitingSince >= kStoppedTimer) {
        timerOrder_.erase(next);
        waitingSince = now;
        continue;
      }
    }
    const DWORD elapsed = now - start;
    if (elapsed >= length + kLateTimerMargin &&
        (next == timerOrder_.end() || elapsed >= length + kLateTimerGrace))
      break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

HWND WindowDesk::TopChart(HWND rectangle) {
  // Children are listed from the top of the z-order.
  for (HWND child : ChildrenOf(rectangle))
    if (IsWindowVisible(child)) return child;
  return nullptr;
}

bool WindowDesk::SavePicture(Int32 rectangle, const std::string& path, std::string& error) {
  HWND chart = TopChart(AsWindow(rectangle));
  if (chart == nullptr) {
    error = "no chart window over the rectangle";
    return false;
  }
  Pump();
  RECT r;
  GetClientRect(chart, &r);
  platform::Image image;
  image.width = r.right - r.left;
  image.height = r.bottom - r.top;
  if (image.Empty()) {
    error = "the chart window is empty";
    return false;
  }
  const bool ok = CaptureIntoDib(image.width, image.height, image, [&](HDC dc) {
    if (capture_ == Capture::Print) {
      // The chart paints its client area into our context, as it does on WM_PAINT.
      return PrintWindow(chart, dc, PW_CLIENTONLY) != 0;
    }
    HDC window = GetDC(chart);
    const bool copied = window != nullptr &&
                        BitBlt(dc, 0, 0, image.width, image.height, window, 0, 0, SRCCOPY) != 0;
    if (window != nullptr) ReleaseDC(chart, window);
    return copied;
  });
  if (!ok) {
    error = "the chart window could not be printed";
    return false;
  }
  return WritePicture(image, path, error);
}

bool WindowDesk::Mouse(Int32 rectangle, const MouseInput& input) {
  HWND chart = TopChart(AsWindow(rectangle));
  if (chart == nullptr) return false;
  // The cursor goes where the mouse is, so the window keeps the mouse (no leave message).
  POINT screen{input.x, input.y};
  ClientToScreen(chart, &screen);
  SetCursorPos(screen.x, screen.y);
  const WPARAM held = input.right ? MK_RBUTTON : MK_LBUTTON;
  const LPARAM at = MAKELPARAM(input.x, input.y);
  switch (input.kind) {
    case MouseInput::Kind::Down:
      PostMessageW(chart, input.right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, held, at);
      break;
    case MouseInput::Kind::Move:
      PostMessageW(chart, WM_MOUSEMOVE, input.held ? held : 0, at);
      break;
    case MouseInput::Kind::Up:
      PostMessageW(chart, input.right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
      break;
    case MouseInput::Kind::Wheel:
      PostMessageW(chart, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(int16_t(input.delta))),
                   MAKELPARAM(screen.x, screen.y));
      break;
  }
  Pump();
  return true;
}

WindowReport WindowDesk::Describe(Int32 rectangle) {
  WindowReport report;
  HWND hwnd = AsWindow(rectangle);
  RECT client;
  if (!IsWindow(hwnd) || !GetClientRect(hwnd, &client)) return report;
  Pump();
  report.width = client.right;
  report.height = client.bottom;
  report.charts = int32_t(ChildrenOf(hwnd).size());
  if (HWND chart = TopChart(hwnd)) {
    RECT r;
    GetWindowRect(chart, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    report.chartX = r.left;
    report.chartY = r.top;
    report.chartWidth = r.right - r.left;
    report.chartHeight = r.bottom - r.top;
  }
  return report;
}

void WindowDesk::ListenForReason() {
  monitor_.Listen();
}

std::string WindowDesk::ActionReason() {
  // "zqLineChart: ACTION: reason", in the ANSI code page.
  std::string text = monitor_.Take();
  const std::string prefix = "zqLineChart: ";
  if (text.rfind(prefix, 0) != 0) return {};
  const size_t colon = text.find(": ", prefix.size());
  if (colon == std::string::npos) return {};
  return PluginLibrary::FromHostText(text.substr(colon + 2));
}

}  // namespace zq::host
