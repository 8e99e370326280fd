// A window system without a display: virtual windows with sizes, a virtual clock whose timers
// fire when a host advances it, and paints into memory surfaces.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/window_system.h"

namespace zq::platform {

class HeadlessWindowSystem : public WindowSystem {
 public:
  static HeadlessWindowSystem& Instance();

  // WindowSystem
  WindowHandle CreateChildWindow(WindowHandle parent, WindowClient& client) override;
  void DestroyWindow(WindowHandle window) override;
  Rect ClientRect(WindowHandle window) override;
  WindowHandle Parent(WindowHandle window) override;
  void PlaceOnTop(WindowHandle window, int32_t x, int32_t y, int32_t width,
                  int32_t height) override;
  void Invalidate(WindowHandle window) override;
  void Update(WindowHandle window) override;
  // Headless windows show only what they paint.
  std::unique_ptr<Surface> WindowSurface(WindowHandle) override { return nullptr; }
  void SetTimer(WindowHandle window, int32_t timerId, uint32_t milliseconds) override;
  void KillTimer(WindowHandle window, int32_t timerId) override;

  // The host's side.
  WindowHandle CreateHostWindow(int32_t width, int32_t height);
  bool ResizeHostWindow(WindowHandle window, int32_t width, int32_t height);
  // The host destroys one of its windows: the chart windows over it go too and their clients
  // are told (OnDestroyed). False for a chart window or no window.
  bool DestroyHostWindow(WindowHandle window);
  // Delivers the message to every chart window laid over the host window; returns how many.
  int32_t SendToChildren(WindowHandle hostWindow, uint32_t message, intptr_t lParam);
  // Fires the timers that fall due, in order, then paints what is invalid.
  void AdvanceClock(uint32_t milliseconds);
  // The topmost chart window over a host window, 0 when there is none.
  WindowHandle TopChild(WindowHandle hostWindow);
  // What the window shows (painted first when invalid); an empty image for no window.
  Image Picture(WindowHandle window);
  // The window's client (for delivering mouse input), or nullptr.
  WindowClient* ClientOf(WindowHandle window);
  // Where the window lies in its parent's client area; empty for no window.
  Rect Bounds(WindowHandle window) const;
  // How many chart windows lie over a host window.
  int32_t ChildCount(WindowHandle hostWindow) const;
  uint64_t Now() const { return now_; }
  bool Exists(WindowHandle window) const { return windows_.count(window) != 0; }

 private:
  struct Window {
    WindowHandle parent = 0;
    WindowClient* client = nullptr;  // null for host windows
    Rect bounds;                     // in the parent's client coordinates
    bool visible = false;
    bool invalid = true;
    uint64_t zOrder = 0;  // larger is on top
    std::unique_ptr<Surface> screen;
  };
  struct Timer {
    WindowHandle window;
    int32_t id;
    uint32_t interval;
    uint64_t due;
    uint64_t sequence;  // fires in order of setting among timers due at the same time
  };

  void Paint(WindowHandle handle, Window& window);
  // Removes the window and everything under it; the clients of the windows under it are added
  // to `orphans`.
  void Remove(WindowHandle window, std::vector<WindowClient*>& orphans);

  std::map<WindowHandle, Window> windows_;
  std::vector<Timer> timers_;
  WindowHandle nextHandle_ = 0x1000;
  uint64_t now_ = 0;
  uint64_t zCounter_ = 0;
  uint64_t timerSequence_ = 0;
};

}  // namespace zq::platform
