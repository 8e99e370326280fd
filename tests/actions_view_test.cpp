// The 3D view actions (34-43) and the rocking rotation (44) with its timer, driven by the
// headless clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_registry.h"
#include "engine/chart/chart.h"
#include "platform/cairo/headless_windows.h"
#include "platform/codepage.h"
#include "support/action_hosts.h"

namespace {

using zq::TChart;
using zq::TView3DOptions;
using zq::charts::Roll;
using zq::charts::TVelImageForm;
using zq::platform::HeadlessWindowSystem;
using zq::platform::Image;
using zq::testing::ExportedPlugin;
using zq::testing::InProcessActions;

enum Action : int32_t {
  kCreateSeriesLine = 3,
  kView3D = 34,
  kView2D = 35,
  kElevation = 36,
  kPerspective = 37,
  kRotation = 38,
  kHorizOffset = 39,
  kVertOffset = 40,
  kTilt = 41,
  kZoom = 42,
  kWalls = 43,
  kRoll = 44,
};

constexpr uint32_t kTick = 150;

Image PictureOf(TVelImageForm& form) {
  return HeadlessWindowSystem::Instance().Picture(form.Handle());
}

bool SamePicture(const Image& a, const Image& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

// The box around every pixel that is not the panel's white.
zq::platform::Rect DrawnBox(const Image& image) {
  zq::platform::Rect box{image.width, image.height, 0, 0};
  for (int32_t y = 0; y < image.height; ++y)
    for (int32_t x = 0; x < image.width; ++x)
      if ((image.At(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

class ViewActions : public ::testing::Test {
 protected:
  void SetUp() override {
    act.CreateChart("Chart1");
    act.Run(kCreateSeriesLine, {"Chart1", "Sales", "1|2|3|4", "5|7|6|8", "", "255,0,0"});
  }
  TChart& Chart() { return act.Chart("Chart1"); }
  const TView3DOptions& View() { return Chart().View3DOptions(); }

  InProcessActions act;
};

// ---- numbers -------------------------------------------------------------------------------

TEST_F(ViewActions, NumbersAreStoredUnchangedAndBadTextsChangeNothing) {
  struct Case {
    int32_t action;
    int32_t (TView3DOptions::*get)() const;
  } cases[] = {
      {kElevation, &TView3DOptions::Elevation},
      {kPerspective, &TView3DOptions::Perspective},
      {kRotation, &TView3DOptions::Rotation},
      {kHorizOffset, &TView3DOptions::HorizOffset},
      {kVertOffset, &TView3DOptions::VertOffset},
      {kTilt, &TView3DOptions::Tilt},
      {kZoom, &TView3DOptions::Zoom},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("action " + std::to_string(c.action));
    auto value = [&] { return (View().*c.get)(); };
    EXPECT_FALSE(act.Run(c.action, {"Chart1", "50"}));
    EXPECT_EQ(value(), 50);
    for (const char* bad : {"", "abc", "5.5", "5 ", "50%", "- 5", "2147483648", "1e3", "$"}) {
      EXPECT_FALSE(act.Run(c.action, {"Chart1", bad}));
      EXPECT_EQ(value(), 50) << "'" << bad << "'";
    }
    EXPECT_FALSE(act.Run(c.action, {"Chart1", "720"}));
    EXPECT_EQ(value(), 720);
    act.Run(c.action, {"Chart1", "-2147483648"});
    EXPECT_EQ(value(), INT32_MIN);
    act.Run(c.action, {"Chart1", "2147483647"});
    EXPECT_EQ(value(), INT32_MAX);
    act.Run(c.action, {"Chart1", "  -7"});
    EXPECT_EQ(value(), -7);
    act.Run(c.action, {"Chart1", "$1F"});
    EXPECT_EQ(value(), 31);
    act.Run(c.action, {"Chart1", "0x10"});
    EXPECT_EQ(value(), 16);
    // A repaint with every extreme survives.
    for (int32_t v : {INT32_MIN, INT32_MAX, 0, -1}) {
      act.Run(c.action, {"Chart1", std::to_string(v)});
      Image picture = PictureOf(act.Form("Chart1"));
      EXPECT_EQ(picture.width, 483);
    }
    act.Run(c.action, {"Chart1", c.action == kZoom ? "100" : "0"});
  }
  // Another chart's view is its own.
  act.CreateChart("Other");
  act.Run(kRotation, {"Other", "300"});
  EXPECT_EQ(act.Chart("Other").View3DOptions().Rotation(), 300);
  EXPECT_EQ(View().Rotation(), 0);
}

TEST_F(ViewActions, ZoomFiftyHalvesTheDrawing) {
  // The legend keeps its size: leave it out of the measure.
  Chart().Legend().SetVisible(false);
  const zq::platform::Rect full = DrawnBox(PictureOf(act.Form("Chart1")));
  act.Run(kZoom, {"Chart1", "50"});
  EXPECT_EQ(View().Zoom(), 50);
  const zq::platform::Rect half = DrawnBox(PictureOf(act.Form("Chart1")));
  ASSERT_GT(full.Width(), 100);
  EXPECT_NEAR(double(half.Width()) / full.Width(), 0.5, 0.12)
      << "full " << full.Width() << " half " << half.Width();
  EXPECT_NEAR(double(half.Height()) / full.Height(), 0.5, 0.2)
      << "full " << full.Height() << " half " << half.Height();
  act.Run(kZoom, {"Chart1", "fifty"});
  EXPECT_EQ(View().Zoom(), 50);
}

// ---- flags ---------------------------------------------------------------------------------

TEST_F(ViewActions, FlagsTakeOnlyTheFourBooleanWords) {
  struct Case {
    int32_t action;
    std::function<bool()> get;
  } cases[] = {
      {kView3D, [&] { return Chart().View3D(); }},
      {kView2D, [&] { return View().Orthogonal(); }},
      {kWalls, [&] { return Chart().View3DWalls(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("action " + std::to_string(c.action));
    EXPECT_FALSE(act.Run(c.action, {"Chart1", "False"}));
    EXPECT_FALSE(c.get());
    for (const char* other : {"TRUE", " True", "1", "", "yes", "True "}) {
      act.Run(c.action, {"Chart1", other});
      EXPECT_FALSE(c.get()) << "'" << other << "'";
    }
    EXPECT_FALSE(act.Run(c.action, {"Chart1", "true"}));
    EXPECT_TRUE(c.get());
    for (const char* other : {"FALSE", "0", "", "false "}) {
      act.Run(c.action, {"Chart1", other});
      EXPECT_TRUE(c.get()) << "'" << other << "'";
    }
    act.Run(c.action, {"Chart1", "false"});
    EXPECT_FALSE(c.get());
    act.Run(c.action, {"Chart1", "True"});
    EXPECT_TRUE(c.get());
  }
}

TEST_F(ViewActions, View2DLeavesView3DAndShowsOnlyOnceIn3D) {
  act.Run(kView3D, {"Chart1", "False"});
  const Image flat = PictureOf(act.Form("Chart1"));
  act.Run(kView2D, {"Chart1", "True"});
  EXPECT_TRUE(View().Orthogonal());
  EXPECT_FALSE(Chart().View3D());
  EXPECT_TRUE(SamePicture(PictureOf(act.Form("Chart1")), flat))
      << "orthogonal changes nothing visible while the view is flat";

  act.Run(kView3D, {"Chart1", "True"});
  const Image orthogonal = PictureOf(act.Form("Chart1"));
  EXPECT_FALSE(SamePicture(orthogonal, flat));
  act.Run(kView2D, {"Chart1", "False"});
  EXPECT_FALSE(SamePicture(PictureOf(act.Form("Chart1")), orthogonal))
      << "back to the rotated projection";
  EXPECT_TRUE(Chart().View3D());
}

TEST_F(ViewActions, WallsHideWhileSeriesStay) {
  act.Run(kWalls, {"Chart1", "True"});
  const Image walls = PictureOf(act.Form("Chart1"));
  act.Run(kWalls, {"Chart1", "False"});
  EXPECT_FALSE(Chart().View3DWalls());
  const Image bare = PictureOf(act.Form("Chart1"));
  EXPECT_FALSE(SamePicture(walls, bare));
  // The red line is still drawn.
  int red = 0;
  for (uint32_t p : bare.pixels)
    if ((p & 0xFFFFFFu) == 0xFF0000u || (p & 0xFFFFFFu) == 0x0000FFu) ++red;
  EXPECT_GT(red, 50);
}

TEST_F(ViewActions, NoChartNoChangeAndNoReport) {
  for (int32_t n = kView3D; n <= kWalls; ++n)
    EXPECT_FALSE(
        act.Run(n, {"Nowhere", n == kView3D || n == kView2D || n == kWalls ? "False" : "10"}));
  EXPECT_TRUE(act.host.variables.empty());
  EXPECT_EQ(View().Rotation(), 320);
  EXPECT_TRUE(Chart().View3D());
}

// ---- the rocking rotation ------------------------------------------------------------------

class RollActions : public ::testing::Test {
 protected:
  void SetUp() override {
    // The roll state lives as long as the plug-in; start from the state after loading.
    Roll() = {};
    act.CreateChart("Chart1");
  }
  void TearDown() override { Roll() = {}; }
  int32_t Rotation(const std::string& name = "Chart1") {
    return act.Chart(name).View3DOptions().Rotation();
  }
  void Tick() { HeadlessWindowSystem::Instance().AdvanceClock(kTick); }

  InProcessActions act;
};

TEST_F(RollActions, SwingsBetween270And360) {
  ASSERT_EQ(Rotation(), 320);
  EXPECT_FALSE(act.Run(kRoll, {"Chart1", "True", "5"}));
  EXPECT_TRUE(act.Form("Chart1").Timer1().Enabled());
  EXPECT_EQ(Roll().step, 5);
  std::vector<int32_t> expected;
  for (int32_t r = 320; r >= 275; r -= 5) expected.push_back(r);
  for (int32_t r = 270; r <= 350; r += 5) expected.push_back(r);
  expected.push_back(360);  // 355 and then 360 in the same tick
  for (int32_t r = 355; r >= 275; r -= 5) expected.push_back(r);
  for (int32_t r = 270; r <= 300; r += 5) expected.push_back(r);
  std::vector<int32_t> seen;
  // Nothing before the interval has run out.
  HeadlessWindowSystem::Instance().AdvanceClock(kTick - 1);
  EXPECT_EQ(Rotation(), 320);
  EXPECT_EQ(Roll().angle, 0);
  HeadlessWindowSystem::Instance().AdvanceClock(1);
  seen.push_back(Rotation());
  for (size_t i = 1; i < expected.size(); ++i) {
    Tick();
    seen.push_back(Rotation());
  }
  EXPECT_EQ(seen, expected);

  // Stopping keeps the rotation where it is.
  act.Run(kRoll, {"Chart1", "False", "5"});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());
  const int32_t stopped = Rotation();
  for (int i = 0; i < 4; ++i) Tick();
  EXPECT_EQ(Rotation(), stopped);
  // Starting again continues with the shared angle and direction.
  act.Run(kRoll, {"Chart1", "True", "5"});
  Tick();
  EXPECT_EQ(Rotation(), stopped + 5);
}

TEST_F(RollActions, StartsFromTheChartsRotationWhenTheAngleIsOutsideTheBand) {
  act.Run(kRotation, {"Chart1", "100"});
  act.Run(kRoll, {"Chart1", "True", "10"});
  Tick();
  // The angle 0 lies outside 270..360: it takes the chart's 100, which is outside too. The
  // angle then keeps leaving the band and coming back to 100: the chart stands still.
  for (int i = 0; i < 5; ++i) {
    Tick();
    EXPECT_EQ(Rotation(), 100) << "tick " << i;
  }
  // Turned into the band, it swings from there.
  act.Run(kRotation, {"Chart1", "330"});
  Tick();
  Tick();
  EXPECT_GE(Rotation(), 270);
  EXPECT_LE(Rotation(), 360);
}

TEST_F(RollActions, EmptyStepStopsButDoesNotStart) {
  act.Run(kRoll, {"Chart1", "True", ""});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());
  for (int i = 0; i < 3; ++i) Tick();
  EXPECT_EQ(Rotation(), 320);
  act.Run(kRoll, {"Chart1", "True", "abc"});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());

  act.Run(kRoll, {"Chart1", "True", "5"});
  ASSERT_TRUE(act.Form("Chart1").Timer1().Enabled());
  Tick();
  act.Run(kRoll, {"Chart1", "False", ""});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());
  EXPECT_EQ(Roll().step, 5) << "the unreadable step is not stored";
  const int32_t stopped = Rotation();
  Tick();
  EXPECT_EQ(Rotation(), stopped);
  act.Run(kRoll, {"Chart1", "false", "x"});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());
}

TEST_F(RollActions, OtherMotionWordsOnlySetTheStep) {
  act.Run(kRoll, {"Chart1", "TRUE", "7"});
  EXPECT_FALSE(act.Form("Chart1").Timer1().Enabled());
  EXPECT_EQ(Roll().step, 7);
  act.Run(kRoll, {"Chart1", "true", "5"});
  EXPECT_TRUE(act.Form("Chart1").Timer1().Enabled());
  act.Run(kRoll, {"Chart1", "FALSE", "6"});
  EXPECT_TRUE(act.Form("Chart1").Timer1().Enabled());
  EXPECT_EQ(Roll().step, 6);
  act.Run(kRoll, {"Chart1", " False", "6"});
  EXPECT_TRUE(act.Form("Chart1").Timer1().Enabled());
}

TEST_F(RollActions, StepZeroReappliesTheSameRotation) {
  act.Run(kRotation, {"Chart1", "300"});
  act.Run(kRoll, {"Chart1", "True", "0"});
  for (int i = 0; i < 6; ++i) {
    Tick();
    EXPECT_EQ(Rotation(), 300);
  }
  // Someone else turning the chart meanwhile is undone by the next tick.
  act.Run(kRotation, {"Chart1", "310"});
  Tick();
  EXPECT_EQ(Rotation(), 300);
}

TEST_F(RollActions, ExtremeStepsKeepTheTimerAlive) {
  for (const char* step : {"2147483647", "-2147483648", "-5", "1000"}) {
    act.Run(kRoll, {"Chart1", "True", step});
    for (int i = 0; i < 5; ++i) Tick();
    EXPECT_EQ(PictureOf(act.Form("Chart1")).width, 483) << step;
  }
  // A negative step climbs while "falling" and never turns: the angle runs out of the band
  // and is pulled back to the chart's rotation.
  Roll() = {};
  act.Run(kRotation, {"Chart1", "320"});
  act.Run(kRoll, {"Chart1", "True", "-20"});
  std::vector<int32_t> seen;
  for (int i = 0; i < 5; ++i) {
    Tick();
    seen.push_back(Rotation());
  }
  EXPECT_EQ(seen, (std::vector<int32_t>{320, 340, 360, 360, 360}));
}

TEST_F(RollActions, TwoWindowsShareOneAngle) {
  act.CreateChart("Chart2");
  act.Run(kRoll, {"Chart1", "True", "5"});
  act.Run(kRoll, {"Chart2", "True", "5"});
  std::vector<int32_t> first, second;
  for (int i = 0; i < 4; ++i) {
    Tick();
    first.push_back(Rotation("Chart1"));
    second.push_back(Rotation("Chart2"));
  }
  // One common angle, advanced by each window in the order the timers were set.
  EXPECT_EQ(first, (std::vector<int32_t>{320, 310, 300, 290}));
  EXPECT_EQ(second, (std::vector<int32_t>{315, 305, 295, 285}));

  // The last call sets the step for every window.
  act.Run(kRoll, {"Chart2", "True", "1"});
  Tick();
  EXPECT_EQ(Rotation("Chart1"), 280);
  EXPECT_EQ(Rotation("Chart2"), 279);

  // Deleting one window leaves the other rolling.
  act.Run(2, {"Chart1"});
  Tick();
  EXPECT_EQ(Rotation("Chart2"), 278);
}

TEST_F(RollActions, MissingChartSetsLastError) {
  EXPECT_FALSE(act.Run(kRoll, {"Nowhere", "True", "5"}));
  EXPECT_EQ(act.host.variables["[LastError]"],
            "Нет управления диаграммой прикреплённой к объекту Nowhere.");
  EXPECT_EQ(Roll().step, 0) << "nothing else happens";
  // Success does not clear it.
  act.Run(kRoll, {"Chart1", "True", "5"});
  EXPECT_EQ(act.host.variables["[LastError]"],
            "Нет управления диаграммой прикреплённой к объекту Nowhere.");
  act.Run(kRoll, {"", "False", ""});
  EXPECT_EQ(act.host.variables["[LastError]"],
            "Нет управления диаграммой прикреплённой к объекту .");
}

TEST(RollExports, MissingChartReportReachesTheHostInWindows1251) {
  ExportedPlugin plugin;
  plugin.CreateChart("Диаграмма");
  EXPECT_FALSE(plugin.Exec(kRoll, {"ДИАГРАММА", "True", "5"}));
  const auto& vars = plugin.Host().Variables();
  auto it = vars.find("[LastError]");
  ASSERT_NE(it, vars.end());
  EXPECT_EQ(it->second, zq::platform::Utf8ToCp1251(
                            "Нет управления диаграммой прикреплённой к объекту ДИАГРАММА."));
  // "Нет " in Windows-1251, byte for byte.
  EXPECT_EQ(it->second.substr(0, 4), "\xCD\xE5\xF2\x20");
  EXPECT_FALSE(plugin.Exec(kRoll, {"Диаграмма", "False", "5"}));
}

TEST(RollExports, RollingChartRepaintsOnTheClock) {
  ExportedPlugin plugin;
  plugin.CreateChart("R");
  plugin.Exec(kCreateSeriesLine, {"R", "S", "1|2|3", "1|3|2", "", "0,0,255"});
  auto still = plugin.Picture("R", "roll_still.png");
  ASSERT_TRUE(still.has_value());
  plugin.Exec(kRoll, {"R", "True", "10"});
  plugin.Host().Headless().advanceClock(int32_t(kTick) * 3);
  auto moved = plugin.Picture("R", "roll_moved.png");
  ASSERT_TRUE(moved.has_value());
  EXPECT_FALSE(SamePicture(*still, *moved));
  plugin.Exec(kRoll, {"R", "False", "10"});
  plugin.Host().Headless().advanceClock(int32_t(kTick) * 3);
  auto stopped = plugin.Picture("R", "roll_stopped.png");
  ASSERT_TRUE(stopped.has_value());
  EXPECT_TRUE(SamePicture(*moved, *stopped));
}

}  // namespace
