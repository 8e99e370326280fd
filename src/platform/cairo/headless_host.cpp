// The headless-host interface of the Linux plug-in: what a host (zqchart, the tests) uses to
// stand in for the host application's windows. Nothing may escape these entry points.
#include <algorithm>
#include <cstring>

#include "platform/abi.h"
#include "platform/cairo/headless_reason.h"
#include "platform/cairo/headless_windows.h"
#include "platform/cairo/image_output.h"

using zq::Bool32;
using zq::Int32;
using zq::platform::HeadlessWindowSystem;

ZQ_EXPORT Int32 zqHostCreateWindow(Int32 width, Int32 height) {
  try {
    return Int32(HeadlessWindowSystem::Instance().CreateHostWindow(width, height));
  } catch (...) {
    return 0;
  }
}

ZQ_EXPORT Bool32 zqHostResizeWindow(Int32 handle, Int32 width, Int32 height) {
  try {
    return HeadlessWindowSystem::Instance().ResizeHostWindow(handle, width, height) ? zq::kTrue
                                                                                    : zq::kFalse;
  } catch (...) {
    return zq::kFalse;
  }
}

// The host destroys one of its windows behind the plug-in's back; the charts over it go.
ZQ_EXPORT Bool32 zqHostDestroyWindow(Int32 handle) {
  try {
    return HeadlessWindowSystem::Instance().DestroyHostWindow(handle) ? zq::kTrue : zq::kFalse;
  } catch (...) {
    return zq::kFalse;
  }
}

ZQ_EXPORT Int32 zqHostSendMessage(Int32 handle, Int32 message, Int32 lParam) {
  try {
    return HeadlessWindowSystem::Instance().SendToChildren(handle, uint32_t(message), lParam);
  } catch (...) {
    return 0;
  }
}

ZQ_EXPORT void zqHostAdvanceClock(Int32 milliseconds) {
  try {
    if (milliseconds >= 0) HeadlessWindowSystem::Instance().AdvanceClock(uint32_t(milliseconds));
  } catch (...) {
  }
}

ZQ_EXPORT Bool32 zqHostSaveWindow(Int32 handle, const char* path) {
  try {
    if (path == nullptr) return zq::kFalse;
    auto format = zq::platform::ImageFormatOf(path);
    if (!format) return zq::kFalse;
    HeadlessWindowSystem& windows = HeadlessWindowSystem::Instance();
    zq::platform::WindowHandle chart = windows.TopChild(handle);
    if (chart == 0) return zq::kFalse;
    zq::platform::Image picture = windows.Picture(chart);
    if (picture.Empty()) return zq::kFalse;
    return zq::platform::SaveImage(picture, path, *format) ? zq::kTrue : zq::kFalse;
  } catch (...) {
    return zq::kFalse;
  }
}

// Mouse input for the topmost chart window over a host window, in its client coordinates.
// Kinds: 1 left down, 2 right down, 3 move, 4 left up, 5 right up, 6 wheel (value = delta),
// 7 leave. For a move, value holds the buttons held (1 left, 2 right).
ZQ_EXPORT Bool32 zqHostMouse(Int32 handle, Int32 kind, Int32 x, Int32 y, Int32 value) {
  try {
    HeadlessWindowSystem& windows = HeadlessWindowSystem::Instance();
    zq::platform::WindowClient* client = windows.ClientOf(windows.TopChild(handle));
    if (client == nullptr) return zq::kFalse;
    using zq::platform::MouseButton;
    zq::platform::ShiftState shift;
    switch (kind) {
      case 1:
      case 2:
        shift.left = kind == 1;
        shift.right = kind == 2;
        client->OnMouseDown(kind == 1 ? MouseButton::Left : MouseButton::Right, shift, x, y);
        break;
      case 3:
        shift.left = (value & 1) != 0;
        shift.right = (value & 2) != 0;
        client->OnMouseMove(shift, x, y);
        break;
      case 4:
      case 5:
        client->OnMouseUp(kind == 4 ? MouseButton::Left : MouseButton::Right, shift, x, y);
        break;
      case 6:
        client->OnMouseWheel(value, shift, x, y);
        break;
      case 7:
        client->OnMouseLeave();
        break;
      default:
        return zq::kFalse;
    }
    return zq::kTrue;
  } catch (...) {
    return zq::kFalse;
  }
}

// What lies over a host window: info receives the host window's width and height, the number
// of chart windows over it, and the topmost one's x, y, width and height (zeros for none).
ZQ_EXPORT Bool32 zqHostDescribeWindow(Int32 handle, Int32* info) {
  try {
    HeadlessWindowSystem& windows = HeadlessWindowSystem::Instance();
    if (info == nullptr || !windows.Exists(handle)) return zq::kFalse;
    zq::platform::Rect host = windows.ClientRect(handle);
    zq::platform::Rect chart = windows.Bounds(windows.TopChild(handle));
    const Int32 values[7] = {host.Width(),  host.Height(), windows.ChildCount(handle),
                             chart.left,    chart.top,     chart.Width(),
                             chart.Height()};
    for (int i = 0; i < 7; ++i) info[i] = values[i];
    return zq::kTrue;
  } catch (...) {
    return zq::kFalse;
  }
}

// Why the last nbExecAction stopped early or changed nothing ("" when it had nothing to say),
// in the host's code page: copied into buffer (at most size - 1 bytes and a zero). Answers the
// reason's whole length, so a host can ask again with a larger buffer.
ZQ_EXPORT Int32 zqHostLastReason(char* buffer, Int32 size) {
  try {
    const std::string& reason = zq::platform::LastActionReason();
    if (buffer != nullptr && size > 0) {
      const size_t n = std::min(reason.size(), size_t(size) - 1);
      std::memcpy(buffer, reason.data(), n);
      buffer[n] = '\0';
    }
    return Int32(reason.size());
  } catch (...) {
    return 0;
  }
}
