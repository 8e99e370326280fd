#include "common/headless_desk.h"

#include <algorithm>

#include "common/plugin_library.h"

namespace zq::host {

Int32 HeadlessDesk::CreateRectangle(const std::string&, int32_t width, int32_t height) {
  return api_.createWindow(width, height);
}

bool HeadlessDesk::ResizeRectangle(Int32 rectangle, int32_t width, int32_t height) {
  return api_.resizeWindow(rectangle, width, height) != 0;
}

bool HeadlessDesk::DestroyRectangle(Int32 rectangle) {
  return api_.destroyWindow(rectangle) != 0;
}

void HeadlessDesk::SendToCharts(Int32 rectangle, uint32_t message, int32_t lParam) {
  api_.sendMessage(rectangle, Int32(message), lParam);
}

void HeadlessDesk::PassTicks(int32_t ticks) {
  api_.advanceClock(ticks * kTickMilliseconds);
}

bool HeadlessDesk::SavePicture(Int32 rectangle, const std::string& path, std::string& error) {
  if (Describe(rectangle).charts == 0) {
    error = "no chart window over the rectangle";
    return false;
  }
  // Paint what is pending before looking.
  api_.advanceClock(0);
  if (api_.saveWindow(rectangle, path.c_str()) == 0) {
    error = "cannot write the picture (a .png, .svg or .pdf file in an existing folder)";
    return false;
  }
  return true;
}

bool HeadlessDesk::Mouse(Int32 rectangle, const MouseInput& input) {
  // A message loop paints before the user can reach a window: the mouse acts on what is shown.
  api_.advanceClock(0);
  switch (input.kind) {
    case MouseInput::Kind::Down:
      return api_.mouse(rectangle, input.right ? 2 : 1, input.x, input.y, 0) != 0;
    case MouseInput::Kind::Move:
      return api_.mouse(rectangle, 3, input.x, input.y, !input.held ? 0 : input.right ? 2 : 1) != 0;
    case MouseInput::Kind::Up:
      return api_.mouse(rectangle, input.right ? 5 : 4, input.x, input.y, 0) != 0;
    case MouseInput::Kind::Wheel:
      return api_.mouse(rectangle, 6, input.x, input.y, input.delta) != 0;
  }
  return false;
}

WindowReport HeadlessDesk::Describe(Int32 rectangle) {
  Int32 info[7] = {};
  WindowReport r;
  if (api_.describeWindow(rectangle, info) == 0) return r;
  r.width = info[0];
  r.height = info[1];
  r.charts = info[2];
  r.chartX = info[3];
  r.chartY = info[4];
  r.chartWidth = info[5];
  r.chartHeight = info[6];
  return r;
}

std::string HeadlessDesk::ActionReason() {
  std::string reason(256, '\0');
  Int32 length = api_.lastReason(reason.data(), Int32(reason.size()));
  if (length >= Int32(reason.size())) {
    reason.resize(size_t(length) + 1);
    length = api_.lastReason(reason.data(), Int32(reason.size()));
  }
  reason.resize(size_t(std::max<Int32>(length, 0)));
  return PluginLibrary::FromHostText(reason);
}

}  // namespace zq::host
