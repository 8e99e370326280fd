#include "platform/cairo/headless_windows.h"

#include <algorithm>

#include "platform/abi.h"

namespace zq::platform {

namespace {
// The shortest timer interval, as on Windows (USER_TIMER_MINIMUM).
constexpr uint32_t kMinimumInterval = 10;
// Limits that keep a host's request from running away.
constexpr int32_t kMaxWindowSide = 16384;
}  // namespace

HeadlessWindowSystem& HeadlessWindowSystem::Instance() {
  static HeadlessWindowSystem system;
  return system;
}

WindowSystem& GetWindowSystem() {
  return HeadlessWindowSystem::Instance();
}

WindowHandle HeadlessWindowSystem::CreateHostWindow(int32_t width, int32_t height) {
  if (width < 0 || height < 0 || width > kMaxWindowSide || height > kMaxWindowSide) return 0;
  WindowHandle handle = nextHandle_++;
  Window& w = windows_[handle];
  w.bounds = {0, 0, width, height};
  w.visible = true;
  return handle;
}

bool HeadlessWindowSystem::ResizeHostWindow(WindowHandle window, int32_t width, int32_t height) {
  auto it = windows_.find(window);
  if (it == windows_.end() || it->second.client != nullptr) return false;
  if (width < 0 || height < 0 || width > kMaxWindowSide || height > kMaxWindowSide) return false;
  it->second.bounds.right = it->second.bounds.left + width;
  it->second.bounds.bottom = it->second.bounds.top + height;
  return true;
}

WindowHandle HeadlessWindowSystem::CreateChildWindow(WindowHandle parent, WindowClient& client) {
  if (windows_.count(parent) == 0) return 0;
  WindowHandle handle = nextHandle_++;
  Window& w = windows_[handle];
  w.parent = parent;
  w.client = &client;
  w.zOrder = ++zCounter_;
  return handle;
}

void HeadlessWindowSystem::DestroyWindow(WindowHandle window) {
  std::vector<WindowClient*> orphans;
  Remove(window, orphans);
  for (WindowClient* client : orphans) client->OnDestroyed();
}

bool HeadlessWindowSystem::DestroyHostWindow(WindowHandle window) {
  auto it = windows_.find(window);
  if (it == windows_.end() || it->second.client != nullptr) return false;
  DestroyWindow(window);
  return true;
}

void HeadlessWindowSystem::Remove(WindowHandle window, std::vector<WindowClient*>& orphans) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  // Children go with their parent.
  std::vector<WindowHandle> children;
  for (const auto& [handle, w] : windows_)
    if (w.parent == window) children.push_back(handle);
  for (WindowHandle child : children) {
    if (WindowClient* client = ClientOf(child)) orphans.push_back(client);
    Remove(child, orphans);
  }
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [window](const Timer& t) { return t.window == window; }),
                timers_.end());
  windows_.erase(window);
}

Rect HeadlessWindowSystem::ClientRect(WindowHandle window) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  return {0, 0, it->second.bounds.Width(), it->second.bounds.Height()};
}

WindowHandle HeadlessWindowSystem::Parent(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? 0 : it->second.parent;
}

void HeadlessWindowSystem::PlaceOnTop(WindowHandle window, int32_t x, int32_t y, int32_t width,
                                      int32_t height) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return;
  Window& w = it->second;
  width = std::clamp(width, 0, kMaxWindowSide);
  height = std::clamp(height, 0, kMaxWindowSide);
  Rect bounds{x, y, x + width, y + height};
  if (bounds.Width() != w.bounds.Width() || bounds.Height() != w.bounds.Height()) {
    w.screen.reset();
    w.invalid = true;
  }
  w.bounds = bounds;
  w.visible = true;
  w.zOrder = ++zCounter_;
  if (w.client != nullptr) w.client->OnResize(width, height);
}

void HeadlessWindowSystem::Invalidate(WindowHandle window) {
  auto it = windows_.find(window);
  if (it != windows_.end()) it->second.invalid = true;
}

void HeadlessWindowSystem::Update(WindowHandle window) {
  auto it = windows_.find(window);
  if (it != windows_.end() && it->second.invalid) Paint(window, it->second);
}

void HeadlessWindowSystem::Paint(WindowHandle handle, Window& window) {
  window.invalid = false;
  if (window.client == nullptr) return;
  int32_t width = window.bounds.Width();
  int32_t height = window.bounds.Height();
  if (!window.screen || window.screen->Width() != width || window.screen->Height() != height)
    window.screen = CreateMemorySurface(std::max(width, 1), std::max(height, 1));
  WindowClient* client = window.client;
  client->OnPaint(*window.screen, Rect{0, 0, width, height});
  (void)handle;
}

void HeadlessWindowSystem::SetTimer(WindowHandle window, int32_t timerId, uint32_t milliseconds) {
  if (windows_.count(window) == 0) return;
  uint32_t interval = std::max(milliseconds, kMinimumInterval);
  for (Timer& t : timers_) {
    if (t.window == window && t.id == timerId) {
      t.interval = interval;
      t.due = now_ + interval;
      return;
    }
  }
  timers_.push_back({window, timerId, interval, now_ + interval, ++timerSequence_});
}

void HeadlessWindowSystem::KillTimer(WindowHandle window, int32_t timerId) {
  timers_.erase(
      std::remove_if(timers_.begin(), timers_.end(),
                     [&](const Timer& t) { return t.window == window && t.id == timerId; }),
      timers_.end());
}

void HeadlessWindowSystem::AdvanceClock(uint32_t milliseconds) {
  const uint64_t target = now_ + milliseconds;
  for (;;) {
    // The earliest due timer; ties go to the one set first.
    auto next =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
          return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
        });
    if (next == timers_.end() || next->due > target) break;
    now_ = next->due;
    next->due += next->interval;
    WindowHandle window = next->window;
    int32_t id = next->id;
    // The handler may set, kill or destroy anything: look everything up again afterwards.
    if (WindowClient* client = ClientOf(window)) client->OnTimer(id);
  }
  now_ = target;
  for (auto& [handle, window] : windows_)
    if (window.invalid && window.client != nullptr) Paint(handle, window);
}

int32_t HeadlessWindowSystem::SendToChildren(WindowHandle hostWindow, uint32_t message,
                                             intptr_t lParam) {
  std::vector<WindowHandle> children;
  for (const auto& [handle, w] : windows_)
    if (w.parent == hostWindow && w.client != nullptr) children.push_back(handle);
  int32_t delivered = 0;
  for (WindowHandle child : children) {
    if (WindowClient* client = ClientOf(child)) {
      client->OnMessage(message, 0, lParam);
      ++delivered;
    }
  }
  return delivered;
}

WindowHandle HeadlessWindowSystem::TopChild(WindowHandle hostWindow) {
  WindowHandle best = 0;
  uint64_t bestZ = 0;
  for (const auto& [handle, w] : windows_) {
    if (w.parent == hostWindow && w.client != nullptr && w.visible && w.zOrder >= bestZ) {
      best = handle;
      bestZ = w.zOrder;
    }
  }
  return best;
}

WindowClient* HeadlessWindowSystem::ClientOf(WindowHandle window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second.client;
}

Rect HeadlessWindowSystem::Bounds(WindowHandle window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? Rect{} : it->second.bounds;
}

int32_t HeadlessWindowSystem::ChildCount(WindowHandle hostWindow) const {
  int32_t count = 0;
  for (const auto& entry : windows_)
    if (entry.second.parent == hostWindow && entry.second.client != nullptr) ++count;
  return count;
}

Image HeadlessWindowSystem::Picture(WindowHandle window) {
  auto it = windows_.find(window);
  if (it == windows_.end() || it->second.client == nullptr) return {};
  if (it->second.invalid || !it->second.screen) Paint(window, it->second);
  auto again = windows_.find(window);
  if (again == windows_.end() || !again->second.screen) return {};
  return again->second.screen->Snapshot();
}

}  // namespace zq::platform
