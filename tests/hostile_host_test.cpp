// Hosts that misbehave: callbacks that call back into the plug-in, host windows destroyed behind
// its back, charts ended while the mouse drags (the scenarios the Wine test runs with the DLL),
// and a chart deleted from inside its own timer tick.
#include <gtest/gtest.h>

#include <string>

#include "charts/chart_registry.h"
#include "engine/chart/chart.h"
#include "platform/cairo/headless_windows.h"
#include "support/action_hosts.h"
#include "support/hostile_host.h"

namespace {

using zq::Int32;
using zq::charts::ChartRegistry;
using zq::charts::TImageForm;
using zq::platform::HeadlessWindowSystem;

class HeadlessHostileDesk : public zq::testing::HostileDesk {
 public:
  explicit HeadlessHostileDesk(const zq::host::HeadlessHostApi& api) : api_(api) {}
  Int32 CreateRectangle(int32_t width, int32_t height) override {
    return api_.createWindow(width, height);
  }
  void DestroyRectangle(Int32 rectangle) override { api_.destroyWindow(rectangle); }
  int32_t ChartWindows(Int32 rectangle) override {
    Int32 info[7] = {};
    return api_.describeWindow(rectangle, info) != 0 ? info[2] : 0;
  }
  void Mouse(Int32 rectangle, int kind, int32_t x, int32_t y) override {
    const Int32 kinds[] = {0, 1, 3, 4};
    api_.mouse(rectangle, kinds[kind], x, y, kind == 2 ? 1 : 0);
  }
  void Pump() override { api_.advanceClock(0); }

 private:
  zq::host::HeadlessHostApi api_;
};

TEST(HostileHost, NoCrashNoDanglingWindowRegistryConsistent) {
  zq::testing::ExportedPlugin plugin;
  HeadlessHostileDesk desk(plugin.Host().Headless());
  for (const auto& result : zq::testing::RunHostileScenarios(plugin.Host().Exports(), desk)) {
    std::string failures;
    for (const std::string& f : result.failures) failures += "\n  " + f;
    EXPECT_TRUE(result.failures.empty()) << result.name << ":" << failures;
  }
  // The plug-in still works for a well-behaved host afterwards.
  plugin.Host().Register();
  plugin.CreateChart("After");
  EXPECT_TRUE(plugin.Picture("After", "hostile_after.png").has_value());
}

TEST(HostileHost, ChartDeletedFromInsideItsOwnTick) {
  zq::testing::InProcessActions actions;
  actions.CreateChart("A");
  actions.CreateChart("B");
  const int32_t rotation = actions.Chart("B").View3DOptions().Rotation();
  int ticks = 0;
  TImageForm::TickHookForTests() = [&ticks](TImageForm&) {
    ++ticks;
    ChartRegistry::Instance().Delete("A");
  };
  actions.Run(44, {"A", "True", "5"});
  actions.Run(44, {"B", "True", "5"});
  HeadlessWindowSystem::Instance().AdvanceClock(600);
  TImageForm::TickHookForTests() = nullptr;
  EXPECT_GE(ticks, 4);
  EXPECT_EQ(ChartRegistry::Instance().Find("A"), nullptr);
  ASSERT_EQ(ChartRegistry::Instance().Count(), 1);
  // B went on rolling.
  EXPECT_NE(actions.Chart("B").View3DOptions().Rotation(), rotation);
}

}  // namespace
