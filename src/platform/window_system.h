// Chart windows as children of host windows, their timers, messages, mouse and painting.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/geometry.h"
#include "platform/surface.h"

namespace zq::platform {

using WindowHandle = intptr_t;  // a host or chart window; 0 is none

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool left = false;
  bool right = false;
  bool middle = false;
};

// What a chart window reacts to. The window system calls these on the host's thread.
class WindowClient {
 public:
  virtual ~WindowClient() = default;
  virtual void OnPaint(Surface& surface, const Rect& client) = 0;
  virtual void OnTimer(int32_t timerId) = 0;
  virtual void OnMessage(uint32_t message, intptr_t wParam, intptr_t lParam) = 0;
  virtual void OnResize(int32_t width, int32_t height) = 0;
  virtual void OnMouseDown(MouseButton button, ShiftState shift, int32_t x, int32_t y) = 0;
  virtual void OnMouseMove(ShiftState shift, int32_t x, int32_t y) = 0;
  virtual void OnMouseUp(MouseButton button, ShiftState shift, int32_t x, int32_t y) = 0;
  virtual void OnMouseWheel(int32_t delta, ShiftState shift, int32_t x, int32_t y) = 0;
  virtual void OnMouseLeave() = 0;
  // The window is gone without the client asking for it (its parent was destroyed). This is
  // the last call the client gets; it may destroy itself here.
  virtual void OnDestroyed() {}
};

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // A borderless child window of the host window; 0 when the parent is not a window.
  virtual WindowHandle CreateChildWindow(WindowHandle parent, WindowClient& client) = 0;
  // Destroys a window that the caller created; its client hears nothing more.
  virtual void DestroyWindow(WindowHandle window) = 0;
  virtual Rect ClientRect(WindowHandle window) = 0;
  virtual WindowHandle Parent(WindowHandle window) = 0;
  // SetWindowPos at the top of the z-order, shown.
  virtual void PlaceOnTop(WindowHandle window, int32_t x, int32_t y, int32_t width,
                          int32_t height) = 0;
  virtual void Invalidate(WindowHandle window) = 0;
  // Paints an invalid window at once.
  virtual void Update(WindowHandle window) = 0;
  // A surface that draws straight onto the window outside painting, for marks that follow the
  // mouse (the zoom rectangle); nullptr when the window has none to give. Release it soon.
  virtual std::unique_ptr<Surface> WindowSurface(WindowHandle window) = 0;
  virtual void SetTimer(WindowHandle window, int32_t timerId, uint32_t milliseconds) = 0;
  virtual void KillTimer(WindowHandle window, int32_t timerId) = 0;
};

// The platform's window system.
WindowSystem& GetWindowSystem();

}  // namespace zq::platform
