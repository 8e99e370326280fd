// Hosts that misbehave: callbacks that call back into the plug-in, host windows destroyed behind
// its back, charts ended while the mouse drags (the scenarios the Wine test runs with the DLL),
// and a chart deleted from inside its own timer tick.
#include <gtest/gtest.h>

#include <string>

#include "charts/chart_registry.h"
#include "common/headless_desk.h"
#include "engine/chart/chart.h"
#include "platform/cairo/headless_windows.h"
#include "support/action_hosts.h"
#include "support/hostile_host.h"

namespace {

using zq::charts::ChartRegistry;
using zq::charts::TImageForm;
using zq::platform::HeadlessWindowSystem;

TEST(HostileHost, NoCrashNoDanglingWindowRegistryConsistent) {
  zq::testing::ExportedPlugin plugin;
  zq::host::HeadlessDesk desk(plugin.Host().Headless());
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
