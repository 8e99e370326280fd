// nbhost's desk: a real top-level window holding one child window per rectangle, a message
// loop, real time for the roll timers, PrintWindow pictures and posted mouse messages.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "common/host_desk.h"
#include "nbhost/debug_monitor.h"

namespace zq::host {

class WindowDesk : public HostDesk {
 public:
  // How @save takes a chart's picture: PrintWindow has the chart paint it into the host's
  // bitmap; Screen copies what the window's device context shows, marks drawn outside painting
  // (the zoom rectangle) included.
  enum class Capture { Print, Screen };

  // Throws std::runtime_error when the windows cannot be made (no display).
  explicit WindowDesk(Capture capture = Capture::Print);
  ~WindowDesk() override;
  WindowDesk(const WindowDesk&) = delete;
  WindowDesk& operator=(const WindowDesk&) = delete;

  Int32 CreateRectangle(const std::string& name, int32_t width, int32_t height) override;
  bool ResizeRectangle(Int32 rectangle, int32_t width, int32_t height) override;
  bool DestroyRectangle(Int32 rectangle) override;
  void SendToCharts(Int32 rectangle, uint32_t message, int32_t lParam) override;
  void PassTicks(int32_t ticks) override;
  bool SavePicture(Int32 rectangle, const std::string& path, std::string& error) override;
  bool Mouse(Int32 rectangle, const MouseInput& input) override;
  WindowReport Describe(Int32 rectangle) override;
  // The plug-in's reasons come as debug output (OutputDebugString).
  void ListenForReason() override;
  std::string ActionReason() override;

 private:
  // Dispatches what is waiting, except timer messages.
  void Pump();
  // Adds the windows whose timers have started to `timerOrder_`.
  void LearnTimers();
  void FitFrame();
  static HWND TopChart(HWND rectangle);

  Capture capture_;
  HWND frame_ = nullptr;
  int32_t nextTop_ = 0;  // rectangles are laid one under the other
  int32_t frameWidth_ = 0;
  std::vector<HWND> timerOrder_;  // windows with a running timer, in the order it was set
  DebugMonitor monitor_;
};

}  // namespace zq::host
