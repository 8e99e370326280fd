// Chart windows over host rectangles: creation through the host's answer, the registry and its
// lookup, deletion, the series-name lists that move with their windows, following the
// rectangle, the initial layout, and what nbExecAction answers for every action.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "charts/chart_registry.h"
#include "engine/chart/chart.h"
#include "engine/series/line_series.h"
#include "platform/cairo/headless_windows.h"
#include "platform/codepage.h"
#include "support/action_hosts.h"
#include "support/action_samples.h"

namespace {

using zq::TChart;
using zq::TLineSeries;
using zq::charts::ChartRegistry;
using zq::charts::TVelImageForm;
using zq::platform::HeadlessWindowSystem;
using zq::platform::WindowHandle;
using zq::testing::ExportedPlugin;
using zq::testing::InProcessActions;
using zq::testing::SampleArguments;

enum Action : int32_t {
  kCreateLineChart = 1,
  kDeleteLineChart = 2,
  kCreateSeriesLine = 3,
  kSeriesAllColor = 11,
  kChartBackWall = 17,
  kChartWallSize = 20,
  kRotation = 38,
};

ChartRegistry& Registry() {
  return ChartRegistry::Instance();
}

// A host whose answer to request code 7 is a fixed text (or a failure).
class AnsweringHost : public zq::actions::HostServices {
 public:
  explicit AnsweringHost(std::string answer, bool fail = false)
      : answer_(std::move(answer)), fail_(fail) {}
  std::string AskObjectWindow(const std::string&) override {
    ++asked;
    if (fail_) throw std::runtime_error("the host cannot be asked");
    return answer_;
  }
  void SetVariable(const std::string&, const std::string&) override {}
  int asked = 0;

 private:
  std::string answer_;
  bool fail_;
};

// ---- results -------------------------------------------------------------------------------

TEST(ChartResults, EveryActionAnswersAsTheTableSays) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  ASSERT_FALSE(plugin.Exec(kCreateSeriesLine, SampleArguments(3, "Chart1")))
      << "series actions answer false";
  // Over a chart with a named series, with well-formed parameters.
  for (int32_t n = 1; n <= zq::testing::kActionCount; ++n) {
    if (n == kDeleteLineChart) continue;  // would take the chart away: below
    const bool expected = n == 1 || (n >= 17 && n <= 20);
    std::vector<std::string> args = SampleArguments(n, "Chart1");
    EXPECT_EQ(plugin.Exec(n, args), expected) << "action " << n << " over a chart";
    // Creation starts the chart afresh and deletion takes the series: give it one again.
    if (n == kCreateLineChart || n == 4)
      plugin.Exec(kCreateSeriesLine, SampleArguments(3, "Chart1"));
  }
  // Without any chart: only creation and the wall actions answer true.
  EXPECT_TRUE(plugin.Exec(kDeleteLineChart, {"Chart1"}));
  for (int32_t n = 2; n <= zq::testing::kActionCount; ++n) {
    const bool expected = n == 2 || (n >= 17 && n <= 20);
    EXPECT_EQ(plugin.Exec(n, SampleArguments(n, "Nowhere")), expected)
        << "action " << n << " without a chart";
  }
  EXPECT_FALSE(plugin.Exec(0, {"Chart1"}));
  EXPECT_FALSE(plugin.Exec(45, {"Chart1"}));
  EXPECT_FALSE(plugin.Exec(-1, {"Chart1"}));
  EXPECT_FALSE(plugin.Host().Exports().execAction(45, nullptr));
  EXPECT_TRUE(plugin.Exec(1, {"Nowhere"})) << "no window for it, still true";
}

TEST(ChartResults, WallActionsAnswerFalseWhenAStepFails) {
  ExportedPlugin plugin;
  plugin.CreateChart("Chart1");
  EXPECT_TRUE(plugin.Exec(kChartBackWall, {"Chart1", "", "", "", "2", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartBackWall, {"Chart1", "", "", "", "", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartBackWall, {"Chart1", "1,2", "", "", "2", "Dash"}));
  EXPECT_FALSE(plugin.Exec(kChartWallSize, {"Chart1", "10", "x", "5"}));
  // Null parameter entries are empty texts: the width is then missing.
  char name[] = "Chart1";
  char* params[] = {name, nullptr, nullptr, nullptr, nullptr, nullptr};
  EXPECT_FALSE(plugin.Host().Exports().execAction(kChartBackWall, params));
  EXPECT_TRUE(plugin.Exec(kChartBackWall, {"Nowhere", "", "", "", "", ""}))
      << "no chart: true whatever the parameters";
}

// ---- lookup --------------------------------------------------------------------------------

TEST(ChartLookup, FoldsAsciiLetterCaseOnly) {
  InProcessActions act;
  act.CreateChart("chart1");
  TVelImageForm* form = Registry().Find("chart1");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Registry().Find("CHART1"), form);
  EXPECT_EQ(Registry().Find("ChArT1"), form);
  EXPECT_EQ(Registry().Find("chart1 "), nullptr) << "no trimming";
  EXPECT_EQ(Registry().Find("chart"), nullptr);
  act.Run(kRotation, {"CHART1", "100"});
  EXPECT_EQ(form->Chart1().View3DOptions().Rotation(), 100);

  act.CreateChart("диаграмма");
  TVelImageForm* cyrillic = Registry().Find("диаграмма");
  ASSERT_NE(cyrillic, nullptr);
  EXPECT_EQ(Registry().Find("ДИАГРАММА"), nullptr) << "Cyrillic letter case must match";
  EXPECT_EQ(Registry().Find("Диаграмма"), nullptr);
  act.Run(kRotation, {"ДИАГРАММА", "200"});
  EXPECT_EQ(cyrillic->Chart1().View3DOptions().Rotation(), 320);
  act.Run(kRotation, {"диаграмма", "200"});
  EXPECT_EQ(cyrillic->Chart1().View3DOptions().Rotation(), 200);
  EXPECT_EQ(Registry().Find("ДИАГРАММА"), nullptr);

  // Creating under another ASCII case replaces the chart: one entry, the new name stored.
  act.host.windows["CHART1"] = act.host.windows["chart1"];
  act.Run(kCreateLineChart, {"CHART1"});
  EXPECT_EQ(Registry().Count(), 2);
  ASSERT_NE(Registry().Find("chart1"), nullptr);
  EXPECT_EQ(Registry().Find("chart1")->RectangleName(), "CHART1");
  EXPECT_EQ(Registry().IndexOf("chart1"), 1) << "the new window goes to the end";
}

TEST(ChartLookup, ThroughTheExportsInWindows1251) {
  ExportedPlugin plugin;
  plugin.CreateChart("График");
  plugin.CreateChart("chart1", 200, 100);
  // Deleting under another Cyrillic letter case finds nothing; the chart stays.
  EXPECT_TRUE(plugin.Exec(kDeleteLineChart, {"ГРАФИК"}));
  EXPECT_TRUE(plugin.Picture("График", "lookup_cyrillic.png").has_value());
  EXPECT_TRUE(plugin.Exec(kDeleteLineChart, {"График"}));
  EXPECT_FALSE(plugin.Picture("График", "lookup_cyrillic_gone.png").has_value());
  EXPECT_TRUE(plugin.Picture("chart1", "lookup_other.png").has_value());
}

// ---- creation ------------------------------------------------------------------------------

TEST(ChartCreation, TwoPassesLeaveOneFreshWindowAtTheEnd) {
  InProcessActions act;
  HeadlessWindowSystem& ws = HeadlessWindowSystem::Instance();
  act.CreateChart("A");
  act.CreateChart("B");
  TVelImageForm& a1 = act.Form("A");
  const WindowHandle firstHandle = a1.Handle();
  ASSERT_NE(firstHandle, 0);
  EXPECT_EQ(ws.Parent(firstHandle), act.host.windows["A"]);
  act.Run(kRotation, {"A", "280"});
  act.Run(kCreateSeriesLine, SampleArguments(3, "A"));

  EXPECT_TRUE(act.Run(kCreateLineChart, {"A"}));
  ASSERT_EQ(Registry().Count(), 2);
  EXPECT_EQ(Registry().At(0).RectangleName(), "B");
  EXPECT_EQ(Registry().At(1).RectangleName(), "A");
  TVelImageForm& a2 = act.Form("A");
  EXPECT_FALSE(ws.Exists(firstHandle)) << "the old window is destroyed";
  EXPECT_NE(a2.Handle(), firstHandle);
  EXPECT_EQ(ws.TopChild(act.host.windows["A"]), a2.Handle());
  // Exactly one chart window over the rectangle.
  int children = 0;
  for (WindowHandle h = firstHandle; h <= a2.Handle(); ++h)
    if (ws.Exists(h) && ws.Parent(h) == act.host.windows["A"]) ++children;
  EXPECT_EQ(children, 1);
  // Nothing of the old chart survives.
  EXPECT_EQ(a2.Chart1().SeriesCount(), 1);
  EXPECT_FALSE(a2.HasSeriesList());
  EXPECT_TRUE(a2.SeriesKeys().empty());
  EXPECT_EQ(a2.Chart1().View3DOptions().Rotation(), 320);
}

TEST(ChartCreation, HostAnswersThatMakeNoWindow) {
  InProcessActions act;
  HeadlessWindowSystem& ws = HeadlessWindowSystem::Instance();
  const WindowHandle real = ws.CreateHostWindow(100, 80);
  for (const std::string& answer :
       {std::string("0"), std::string(""), std::string("abc"), std::string("12x"),
        std::string("1.0"), std::string(" "), std::string("$0"), std::string("99999999"),
        std::string("-5"), std::string("0x")}) {
    AnsweringHost host(answer);
    EXPECT_TRUE(zq::actions::RunAction(kCreateLineChart, {"R"}, host)) << "'" << answer << "'";
    EXPECT_GE(host.asked, 1);
    EXPECT_EQ(Registry().Count(), 0) << "'" << answer << "'";
    EXPECT_EQ(ws.TopChild(real), 0);
  }
  AnsweringHost none("0");
  zq::actions::RunAction(kCreateLineChart, {"R"}, none);
  EXPECT_EQ(none.asked, 2) << "both creation passes ask";
  AnsweringHost failing("", true);
  EXPECT_TRUE(zq::actions::RunAction(kCreateLineChart, {"R"}, failing));
  EXPECT_EQ(Registry().Count(), 0);

  // The answer is an integer text: hexadecimal and leading blanks are fine.
  char hex[32];
  std::snprintf(hex, sizeof hex, "  $%lX", long(real));
  AnsweringHost hexHost(hex);
  EXPECT_TRUE(zq::actions::RunAction(kCreateLineChart, {"R"}, hexHost));
  ASSERT_EQ(Registry().Count(), 1);
  EXPECT_EQ(ws.Parent(Registry().At(0).Handle()), real);

  // A later answer of 0 for the same name still takes the old chart away (the pass deletes
  // first).
  AnsweringHost zero("0");
  EXPECT_TRUE(zq::actions::RunAction(kCreateLineChart, {"r"}, zero));
  EXPECT_EQ(Registry().Count(), 0);
  EXPECT_EQ(ws.TopChild(real), 0);
}

TEST(ChartCreation, NoWindowForZeroThroughTheExports) {
  ExportedPlugin plugin;
  const int32_t window = plugin.Host().Headless().createWindow(200, 100);
  plugin.Host().SetObjectWindow("Zero", 0);
  EXPECT_TRUE(plugin.Exec(kCreateLineChart, {"Zero"}));
  EXPECT_FALSE(plugin.Exec(kRotation, {"Zero", "10"}));
  // Unknown to the host: also 0.
  EXPECT_TRUE(plugin.Exec(kCreateLineChart, {"Unknown"}));
  EXPECT_EQ(plugin.Host().Headless().saveWindow(window, "x.png"), 0);
}

TEST(ChartCreation, NothingBeforeTheInterfaceAccessCallback) {
  ExportedPlugin plugin;
  const int32_t window = plugin.Host().Headless().createWindow(200, 100);
  plugin.Host().SetObjectWindow("R", window);
  const std::string path = zq::testing::TestOutputPath("before_interface_access.png");
  plugin.Host().Exports().registerInterfaceAccess(nullptr);
  EXPECT_TRUE(plugin.Exec(kCreateLineChart, {"R"}));
  EXPECT_EQ(plugin.Host().Headless().saveWindow(window, path.c_str()), 0) << "no chart window";
  plugin.Host().Register();
  EXPECT_TRUE(plugin.Exec(kCreateLineChart, {"R"}));
  EXPECT_NE(plugin.Host().Headless().saveWindow(window, path.c_str()), 0);
}

// ---- deletion and the series-name lists ----------------------------------------------------

TEST(ChartDeletion, LaterChartsKeepTheirSeriesAndNames) {
  InProcessActions act;
  act.CreateChart("A");
  act.CreateChart("B");
  act.Run(kCreateSeriesLine, {"A", "Sales", "1|2", "3|4", "", "255,0,0"});
  act.Run(kCreateSeriesLine, {"B", "Costs", "1|2|3", "3|4|5", "", "0,255,0"});
  act.Run(kCreateSeriesLine, {"B", "Sales", "1", "9", "", "0,0,255"});
  ASSERT_EQ(act.Chart("B").SeriesCount(), 3);

  EXPECT_TRUE(act.Run(kDeleteLineChart, {"a"}));
  ASSERT_EQ(Registry().Count(), 1);
  EXPECT_EQ(Registry().Find("A"), nullptr);
  TVelImageForm& b = act.Form("B");
  EXPECT_EQ(Registry().IndexOf("B"), 0);
  EXPECT_EQ(b.SeriesKeys(), (std::vector<std::string>{"B|Costs", "B|Sales"}));
  EXPECT_EQ(act.SeriesAt("B", 1).PointCount(), 3);
  EXPECT_EQ(act.SeriesAt("B", 2).PointCount(), 1);

  // Series actions on B still find their series by name.
  act.Run(kSeriesAllColor, {"B", "Sales", "10,20,30"});
  EXPECT_EQ(act.SeriesAt("B", 2).SeriesColor(), 0x1E140Au);
  EXPECT_EQ(act.SeriesAt("B", 1).SeriesColor(), 0x00FF00u);
  act.Run(kCreateSeriesLine, {"B", "Costs", "4", "6", "", "0,255,0"});
  EXPECT_EQ(act.SeriesAt("B", 1).PointCount(), 4);
  EXPECT_EQ(act.Chart("B").SeriesCount(), 3);

  // A new chart for A starts without a list, and its series start afresh.
  act.CreateChart("A");
  EXPECT_FALSE(act.Form("A").HasSeriesList());
  act.Run(kCreateSeriesLine, {"A", "Sales", "7", "8", "", "1,2,3"});
  EXPECT_EQ(act.Form("A").SeriesKeys(), (std::vector<std::string>{"A|Sales"}));
  EXPECT_EQ(act.SeriesAt("A", 1).PointCount(), 1);
}

TEST(ChartDeletion, MissingNameIsTrueAndChangesNothing) {
  InProcessActions act;
  act.CreateChart("A");
  act.Run(kCreateSeriesLine, {"A", "S", "1|2", "3|4", "", "255,0,0"});
  const WindowHandle handle = act.Form("A").Handle();
  EXPECT_TRUE(act.Run(kDeleteLineChart, {"B"}));
  EXPECT_TRUE(act.Run(kDeleteLineChart, {""}));
  EXPECT_TRUE(act.Run(kDeleteLineChart, {"A "}));
  ASSERT_EQ(Registry().Count(), 1);
  EXPECT_EQ(act.Form("A").Handle(), handle);
  EXPECT_EQ(act.Form("A").SeriesKeys().size(), 1u);
  EXPECT_TRUE(HeadlessWindowSystem::Instance().Exists(handle));

  ExportedPlugin plugin;
  EXPECT_TRUE(plugin.Exec(kDeleteLineChart, {"Nobody"}));
}

TEST(ChartDeletion, MessageTwoEndsEverythingAndNamesStartAfresh) {
  InProcessActions act;
  act.CreateChart("A");
  act.CreateChart("B");
  act.Run(kCreateSeriesLine, {"A", "S", "1|2|3", "3|4|5", "", "255,0,0"});
  const WindowHandle a = act.Form("A").Handle();
  const WindowHandle b = act.Form("B").Handle();
  act.Run(44, {"A", "True", "5"});

  zq::actions::EndAllCharts();
  EXPECT_EQ(Registry().Count(), 0);
  EXPECT_FALSE(Registry().Exists());
  EXPECT_FALSE(HeadlessWindowSystem::Instance().Exists(a));
  EXPECT_FALSE(HeadlessWindowSystem::Instance().Exists(b));
  // The timer of a destroyed window does not fire into freed memory.
  HeadlessWindowSystem::Instance().AdvanceClock(600);
  zq::actions::EndAllCharts();  // a second time is harmless

  act.Run(kCreateLineChart, {"A"});
  EXPECT_TRUE(Registry().Exists());
  EXPECT_FALSE(act.Form("A").HasSeriesList());
  EXPECT_EQ(act.Chart("A").SeriesCount(), 1);
  act.Run(kCreateSeriesLine, {"A", "S", "1|2", "3|4", "", "255,0,0"});
  EXPECT_EQ(act.Chart("A").SeriesCount(), 2);
  EXPECT_EQ(act.SeriesAt("A", 1).PointCount(), 2) << "a series of a used name is created afresh";
  EXPECT_FALSE(act.Form("A").Timer1().Enabled());
}

TEST(ChartDeletion, MessageTwoThroughTheExports) {
  ExportedPlugin plugin;
  plugin.CreateChart("A");
  plugin.Exec(kCreateSeriesLine, {"A", "S", "1|2|3", "3|4|5", "", "255,0,0"});
  auto before = plugin.Picture("A", "message2_before.png");
  ASSERT_TRUE(before.has_value());
  plugin.Host().Exports().message(1);
  plugin.Host().Exports().message(3);
  EXPECT_TRUE(plugin.Picture("A", "message2_other.png").has_value()) << "only 2 ends charts";
  plugin.Host().Exports().message(2);
  EXPECT_FALSE(plugin.Picture("A", "message2_after.png").has_value());
  plugin.Host().Exports().message(2);
  EXPECT_TRUE(plugin.Exec(kCreateLineChart, {"A"}));
  auto fresh = plugin.Picture("A", "message2_fresh.png");
  ASSERT_TRUE(fresh.has_value());
  EXPECT_FALSE(zq::testing::CompareImages(*fresh, *before).passed) << "the new chart has no series";
}

// ---- following the rectangle ---------------------------------------------------------------

TEST(ChartWindow, FollowsItsRectangleOnMessage1274WithLParam4) {
  InProcessActions act;
  HeadlessWindowSystem& ws = HeadlessWindowSystem::Instance();
  act.CreateChart("R", 300, 200);
  TVelImageForm& form = act.Form("R");
  const WindowHandle host = act.host.windows["R"];
  EXPECT_EQ(ws.ClientRect(form.Handle()), (zq::platform::Rect{0, 0, 300, 200}));
  EXPECT_EQ(form.Chart1().Width(), 300);
  EXPECT_EQ(form.Chart1().Height(), 200);

  ASSERT_TRUE(ws.ResizeHostWindow(host, 420, 260));
  EXPECT_EQ(ws.ClientRect(form.Handle()).Width(), 300) << "nothing moves by itself";
  for (intptr_t other : {0, 1, 3, 5, -4}) {
    EXPECT_EQ(ws.SendToChildren(host, 1274, other), 1);
    EXPECT_EQ(ws.ClientRect(form.Handle()), (zq::platform::Rect{0, 0, 300, 200})) << other;
  }
  ws.SendToChildren(host, 1273, 4);
  EXPECT_EQ(ws.ClientRect(form.Handle()).Width(), 300) << "another message";
  ws.SendToChildren(host, 1274, 4);
  EXPECT_EQ(ws.ClientRect(form.Handle()), (zq::platform::Rect{0, 0, 420, 260}));
  EXPECT_EQ(form.Chart1().Width(), 420);
  EXPECT_EQ(form.Chart1().Height(), 260);
  zq::platform::Image picture = ws.Picture(form.Handle());
  EXPECT_EQ(picture.width, 420);
  EXPECT_EQ(picture.height, 260);

  // Down to nothing and back.
  ws.ResizeHostWindow(host, 0, 0);
  ws.SendToChildren(host, 1274, 4);
  EXPECT_EQ(ws.ClientRect(form.Handle()).Width(), 0);
  HeadlessWindowSystem::Instance().AdvanceClock(0);
  ws.ResizeHostWindow(host, 50, 40);
  ws.SendToChildren(host, 1274, 4);
  EXPECT_EQ(ws.Picture(form.Handle()).width, 50);
}

TEST(ChartWindow, FollowsItsRectangleThroughTheExports) {
  ExportedPlugin plugin;
  const int32_t host = plugin.CreateChart("R", 300, 200);
  const auto& h = plugin.Host().Headless();
  ASSERT_TRUE(h.resizeWindow(host, 360, 240));
  EXPECT_EQ(h.sendMessage(host, 1274, 3), 1);
  auto same = plugin.Picture("R", "follow_lparam3.png");
  ASSERT_TRUE(same.has_value());
  EXPECT_EQ(same->width, 300);
  EXPECT_EQ(same->height, 200);
  EXPECT_EQ(h.sendMessage(host, 1274, 4), 1);
  auto moved = plugin.Picture("R", "follow_lparam4.png");
  ASSERT_TRUE(moved.has_value());
  EXPECT_EQ(moved->width, 360);
  EXPECT_EQ(moved->height, 240);
}

// ---- the initial layout --------------------------------------------------------------------

TEST(ChartWindow, StartsFromTheFixedLayout) {
  InProcessActions act;
  act.CreateChart("R");
  TVelImageForm& form = act.Form("R");
  EXPECT_EQ(form.RectangleName(), "R");
  TChart& c = form.Chart1();
  EXPECT_EQ(c.Width(), 483);
  EXPECT_EQ(c.Height(), 293);
  EXPECT_EQ(c.BevelWidth(), 0);
  EXPECT_EQ(c.Color(), zq::clWhite);
  EXPECT_EQ(c.MarginTop(), 3);
  EXPECT_EQ(c.MarginBottom(), 3);
  EXPECT_EQ(c.Chart3DPercent(), 20);
  EXPECT_EQ(c.View3DOptions().Elevation(), 357);
  EXPECT_EQ(c.View3DOptions().Perspective(), 34);
  EXPECT_EQ(c.View3DOptions().Rotation(), 320);
  EXPECT_FALSE(c.View3DOptions().Orthogonal());
  EXPECT_EQ(c.BackWall().Brush().Color(), zq::clWhite);
  EXPECT_EQ(c.BackWall().Brush().Style(), zq::TBrushStyle::bsSolid);
  EXPECT_EQ(c.BackWall().Color(), zq::clDefault) << "unfilled until a wall action colours it";
  EXPECT_EQ(c.LeftWall().Brush().Color(), zq::clWhite);
  EXPECT_EQ(c.Title().Text(), std::vector<std::string>{""});
  EXPECT_EQ(c.Title().Brush().Color(), zq::clWhite);
  EXPECT_EQ(c.Title().Brush().Style(), zq::TBrushStyle::bsClear);
  EXPECT_EQ(c.Title().Color(), zq::clWhite);
  EXPECT_EQ(c.Foot().Text(), std::vector<std::string>{""});
  EXPECT_EQ(c.Foot().Font().Name(), "Arial");
  EXPECT_EQ(c.Foot().Font().Height(), -11);
  EXPECT_EQ(c.Foot().Font().Color(), zq::clBlack);
  EXPECT_TRUE(c.Foot().Font().Style().Empty());

  ASSERT_EQ(c.SeriesCount(), 1);
  TLineSeries& s = form.Series1();
  EXPECT_EQ(&c.Series(0), static_cast<zq::TChartSeries*>(&s));
  EXPECT_FALSE(s.Active());
  EXPECT_EQ(s.SeriesColor(), zq::clRed);
  EXPECT_FALSE(s.Marks().Visible());
  EXPECT_EQ(s.Marks().ArrowLength(), 8);
  EXPECT_FALSE(s.Pointer().Visible());
  EXPECT_EQ(s.Pointer().Style(), zq::TSeriesPointerStyle::psRectangle);
  EXPECT_TRUE(s.Pointer().InflateMargins());
  EXPECT_EQ(s.XValues().Name(), "X");
  EXPECT_EQ(s.XValues().Multiplier(), 1.0);
  EXPECT_EQ(s.XValues().Order(), zq::TChartListOrder::loAscending);
  EXPECT_FALSE(s.XValues().DateTime());
  EXPECT_EQ(s.YValues().Name(), "Y");
  EXPECT_EQ(s.YValues().Multiplier(), 1.0);
  EXPECT_EQ(s.YValues().Order(), zq::TChartListOrder::loNone);
  EXPECT_FALSE(s.YValues().DateTime());

  EXPECT_FALSE(form.Timer1().Enabled());
  EXPECT_EQ(form.Timer1().Interval(), 150u);
  EXPECT_FALSE(form.HasSeriesList());

  // The window fills its rectangle; the rectangle's size, not the form's design size, counts.
  act.CreateChart("Small", 120, 90);
  EXPECT_EQ(act.Chart("Small").Width(), 120);
  EXPECT_EQ(act.Chart("Small").Height(), 90);
  EXPECT_EQ(HeadlessWindowSystem::Instance().TopChild(act.host.windows["Small"]),
            act.Form("Small").Handle());
}

}  // namespace
