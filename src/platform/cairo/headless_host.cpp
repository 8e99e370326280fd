// The headless-host interface of the Linux plug-in: what a host (zqchart, the tests) uses to
// stand in for the host application's windows. Nothing may escape these entry points.
#include "platform/abi.h"
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
