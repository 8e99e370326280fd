// The host desk of zqchart and the Linux tests: the plug-in's own headless windows, with a
// virtual clock, so a script plays the same on every run.
#pragma once

#include "common/host_desk.h"
#include "common/plugin_api.h"

namespace zq::host {

class HeadlessDesk : public HostDesk {
 public:
  // The API must be complete (see HeadlessHostApi::Complete).
  explicit HeadlessDesk(const HeadlessHostApi& api) : api_(api) {}

  Int32 CreateRectangle(const std::string& name, int32_t width, int32_t height) override;
  bool ResizeRectangle(Int32 rectangle, int32_t width, int32_t height) override;
  bool DestroyRectangle(Int32 rectangle) override;
  void SendToCharts(Int32 rectangle, uint32_t message, int32_t lParam) override;
  void PassTicks(int32_t ticks) override;
  bool SavePicture(Int32 rectangle, const std::string& path, std::string& error) override;
  bool Mouse(Int32 rectangle, const MouseInput& input) override;
  WindowReport Describe(Int32 rectangle) override;
  std::string ActionReason() override;

 private:
  HeadlessHostApi api_;
};

}  // namespace zq::host
