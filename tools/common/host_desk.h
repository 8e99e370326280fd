// The host application's side of a script: the rectangle windows it lays out, the time that
// passes, pictures of what the charts show, and the mouse. zqchart stands in for it through the
// Linux library's headless windows, nbhost with real Win32 windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/abi.h"

namespace zq::host {

// Milliseconds that one @tick stands for: the roll timer's interval.
constexpr int32_t kTickMilliseconds = 150;
// The message that asks chart windows to follow their rectangle.
constexpr uint32_t kFollowRectangleMessage = 1274;

struct MouseInput {
  enum class Kind { Down, Move, Up, Wheel };
  Kind kind = Kind::Move;
  bool right = false;  // the button pressed, released or held
  bool held = true;    // for a move: whether that button is down
  int32_t x = 0, y = 0;
  int32_t delta = 0;  // wheel steps of 120, positive away from the user
};

// What lies over a rectangle window.
struct WindowReport {
  int32_t width = 0, height = 0;                                    // the rectangle's client area
  int32_t charts = 0;                                               // chart windows over it
  int32_t chartX = 0, chartY = 0, chartWidth = 0, chartHeight = 0;  // the topmost one
};

class HostDesk {
 public:
  virtual ~HostDesk() = default;
  // A rectangle window of this size; its handle is what request code 7 answers. 0 on failure.
  virtual Int32 CreateRectangle(const std::string& name, int32_t width, int32_t height) = 0;
  virtual bool ResizeRectangle(Int32 rectangle, int32_t width, int32_t height) = 0;
  // Destroys the rectangle's window behind the plug-in's back; the chart windows over it go.
  virtual bool DestroyRectangle(Int32 rectangle) = 0;
  // Sends the message to every chart window over the rectangle.
  virtual void SendToCharts(Int32 rectangle, uint32_t message, int32_t lParam) = 0;
  // Lets ticks x kTickMilliseconds pass: timers fire and windows repaint.
  virtual void PassTicks(int32_t ticks) = 0;
  // Saves what the topmost chart window over the rectangle shows. False when there is no chart
  // window or the file cannot be written; `error` then says which.
  virtual bool SavePicture(Int32 rectangle, const std::string& path, std::string& error) = 0;
  // Delivers mouse input to the topmost chart window; false when there is none.
  virtual bool Mouse(Int32 rectangle, const MouseInput& input) = 0;
  virtual WindowReport Describe(Int32 rectangle) = 0;
  // Before an action runs: the desk listens for the reason the plug-in may give for it.
  virtual void ListenForReason() {}
  // Why the last action stopped early or changed nothing, as the plug-in told it (UTF-8); ""
  // when it said nothing.
  virtual std::string ActionReason() = 0;
};

}  // namespace zq::host
