// zqchart run: the command-line host playing scripts through the real plug-in, as a user runs
// it. Each case writes a small script into a fresh folder and looks at the exit status, the
// output, the errors and the files.
#include <gtest/gtest.h>

#include <cmath>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cairo/image_output.h"
#include "support/action_hosts.h"
#include "support/image_compare.h"
#include "support/tool_run.h"

namespace {

namespace fs = std::filesystem;

using RunResult = zq::testing::ToolResult;
using zq::testing::ShellQuote;

std::string ReadFile(const fs::path& path) {
  return zq::testing::ReadFileBytes(path);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class ZqchartRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::path(zq::testing::TestOutputPath("zqchart_run")) / info->name();
    fs::remove_all(dir);
    fs::create_directories(dir);
  }

  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // zqchart run SCRIPT with the options, from the test's folder (or another).
  RunResult Run(const fs::path& script, const std::string& options = "",
                const fs::path& from = {}) {
    const fs::path cwd = from.empty() ? dir : from;
    // A sanitized zqchart would report the few bytes that fontconfig keeps (as the tests' own
    // suppressions say); nothing else is excused.
    const fs::path suppressions = dir / "lsan.supp";
    std::ofstream(suppressions) << "leak:libfontconfig.so\n";
    const std::string command =
        "cd " + ShellQuote(cwd.string()) +
        " && LSAN_OPTIONS=suppressions=" + ShellQuote(suppressions.string()) +
        ":print_suppressions=0 " + ShellQuote(ZQ_CHART_TOOL) + " run " +
        ShellQuote(script.string()) + " " + options;
    return zq::testing::RunShell(command, dir);
  }

  fs::path dir;
};

TEST_F(ZqchartRun, TraceNamesLineActionAndResult) {
  const fs::path script = Write("trace.zqs",
                                "# a chart and a series\n"
                                "@rectangle Chart1 300 200\n"
                                "zqCreateLineChart \"Chart1\"\n"
                                "\n"
                                "zqCreateSeriesLine \"Chart1\" \"S\" \"1|2|3\" \"5|6|7\" \"\" "
                                "\"255,0,0\"\n"
                                "zqChartBackWall \"Chart1\" \"\" \"\" \"\" \"2\" \"Dash\"\n"
                                "zqChartBackWall \"Chart1\" \"\" \"\" \"\" \"\" \"Dash\"\n"
                                "zqLineChartRoll \"Nowhere\" \"True\" \"5\"\n");
  fs::create_directories(dir / "quiet");
  RunResult r = Run(script, "--trace --out .");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{
                "3: zqCreateLineChart -> true",
                "5: zqCreateSeriesLine -> false",
                "6: zqChartBackWall -> true",
                "7: zqChartBackWall -> false: parameter 5: not an integer text: \"\"",
                "8: zqLineChartRoll -> false: no chart over the rectangle \"Nowhere\"",
                "saved ./Chart1.png",
            }));
  EXPECT_TRUE(fs::exists(dir / "Chart1.png"));
  // Without --trace nothing is printed.
  r = Run(script, "--out quiet");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(fs::exists(dir / "quiet" / "Chart1.png"));
}

// One failing line per kind of reason, and the lines that succeed say nothing.
TEST_F(ZqchartRun, TraceSaysWhyActionsFailed) {
  RunResult r =
      Run(fs::path(ZQ_TEST_DATA) / "scripts" / "reasons.zqs", "--trace --locale ru-RU --out .");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{
                "4: zqCreateLineChart -> true",
                "5: zqCreateLineChart -> true: the host has no window for the rectangle "
                "\"NoSuchRectangle\"",
                "6: zqCreateSeriesLine -> false: no chart over the rectangle \"Nowhere\"",
                "7: zqCreateSeriesLine -> false: X has 3 values, Y has 2",
                "8: zqCreateSeriesLine -> false: parameter 6: not a colour text (red,green,blue): "
                "\"255,0\"",
                "9: zqCreateSeriesLine -> false: parameter 3: X value 2 is not a number text "
                "(decimal separator \",\"): \"2.5\"",
                "10: zqCreateSeriesLine -> false",
                "11: zqSeriesAllColor -> false: no series \"Other\" in the chart over \"A\"",
                "12: zqSetTitleLine -> false: parameter 4: \"center\" is not one of Left, Center, "
                "Right",
                "13: zqSetTitleLine -> false: parameter 3: the font colour is not a colour name or "
                "integer text: \"clRedd\"",
                "14: zqChartImageInside -> false: parameter 3: picture cannot be read: Cannot open "
                "picture file: missing.bmp",
                "15: zqSeriesLineWidth -> false: parameter 2: a value out of range: 3D effect "
                "percent must be between 1 and 100",
                "16: zqChartBackWall -> false: parameter 5: not an integer text: \"\"",
                "17: zqLineChartView3D -> false: parameter 2: \"TRUE\" is not one of True, true, "
                "False, false",
                "18: zqDeleteDotSeries -> false: parameter 3: 9 points to delete from point 1, the "
                "series has 3 from there",
                "19: zqLineChartRoll -> false: no chart over the rectangle \"Nowhere\"",
                "21: zqSetFootLine -> false: no chart over the rectangle \"A\"",
            }));
}

TEST_F(ZqchartRun, MalformedLinesStopEverythingWithStatusTwo) {
  const std::string good =
      "@rectangle Chart1 300 200\n"
      "zqCreateLineChart \"Chart1\"\n"
      "@save Chart1 early.png\n";
  struct Case {
    const char* name;
    std::string badLine;
    std::string message;
  } cases[] = {
      {"unknown_action", "zqNoSuchAction \"Chart1\"", "unknown action 'zqNoSuchAction'"},
      {"too_few", "zqChartZoom \"Chart1\"", "zqChartZoom takes 2 parameters, not 1"},
      {"too_many", "zqChartZoom \"Chart1\" \"50\" \"x\"", "zqChartZoom takes 2 parameters, not 3"},
      {"directive", "@explode now", "unknown directive '@explode'"},
      {"quotes", "zqChartZoom \"Chart1\" \"50", "unbalanced quotes"},
      {"unquoted", "zqChartZoom \"Chart1\" 50", ""},
      {"tick_word", "@tick many", ""},
      {"drag_short", "@drag Chart1 1 2 3", "usage: @drag NAME X0 Y0 X1 Y1 [right]"},
      {"drag_button", "@drag Chart1 1 2 3 4 middle", "usage: @drag NAME X0 Y0 X1 Y1 [right]"},
      {"drag_word", "@drag Chart1 1 2 3 far", ""},
      {"press_button", "@press Chart1 1 2 left", "usage: @press NAME X Y [right]"},
      {"move_button", "@move Chart1 1 2 middle", "usage: @move NAME X Y [left|right]"},
      {"release_short", "@release Chart1 1", "usage: @release NAME X Y [right]"},
      {"wheel_way", "@wheel Chart1 sideways", "usage: @wheel NAME up|down [NOTCHES]"},
      {"wheel_notches", "@wheel Chart1 up 0", ""},
      {"resize_lparam", "@resize Chart1 10 10 four", ""},
      {"save_unknown", "@save Nowhere x.png", "no @rectangle named 'Nowhere' before this line"},
      {"inspect_unknown", "@inspect Nowhere", "no @rectangle named 'Nowhere' before this line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path script = Write(std::string(c.name) + ".zqs", good + "\n" + c.badLine + "\n");
    RunResult r = Run(script, "--trace");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "") << "nothing ran";
    EXPECT_FALSE(fs::exists(dir / "early.png")) << "nothing ran";
    const std::string where = script.string() + ":5: ";
    ASSERT_EQ(r.err.rfind(where, 0), 0u) << r.err;
    if (!c.message.empty()) {
      EXPECT_EQ(r.err, where + c.message + "\n");
    }
    EXPECT_FALSE(fs::exists(dir / "Chart1.png"));
  }
  RunResult missing = Run(dir / "absent.zqs");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("absent.zqs"), std::string::npos);
}

TEST_F(ZqchartRun, InspectShowsChartWindowsFollowingTheirRectangles) {
  const fs::path script = Write("inspect.zqs",
                                "@rectangle First 300 200\n"
                                "@rectangle Empty 50 40\n"
                                "@inspect Empty\n"
                                "zqCreateLineChart \"First\"\n"
                                "@inspect First\n"
                                "@resize First 360 240 3\n"
                                "@inspect First\n"
                                "@resize First 360 240\n"
                                "@inspect First\n"
                                "@message 2\n"
                                "@inspect First\n"
                                "@drag First 10 10 40 40\n"
                                "@wheel Empty up\n");
  RunResult r = Run(script);
  EXPECT_EQ(r.status, 1) << "the mouse found no chart window";
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              "Empty: rectangle 50x40, charts 0, chart at 0,0 size 0x0",
                              "First: rectangle 300x200, charts 1, chart at 0,0 size 300x200",
                              "First: rectangle 360x240, charts 1, chart at 0,0 size 300x200",
                              "First: rectangle 360x240, charts 1, chart at 0,0 size 360x240",
                              "First: rectangle 360x240, charts 0, chart at 0,0 size 0x0",
                          }));
  EXPECT_EQ(Lines(r.err), (std::vector<std::string>{
                              script.string() + ":12: no chart window over 'First' for the mouse",
                              script.string() + ":13: no chart window over 'Empty' for the mouse",
                          }));
}

TEST_F(ZqchartRun, DragZoomsAndUndoesWheelScrolls) {
  const fs::path script = Write("mouse.zqs",
                                "@rectangle Plot 400 300\n"
                                "zqCreateLineChart \"Plot\"\n"
                                "zqCreateSeriesLine \"Plot\" \"S\" \"1|2|3|4|5|6\" "
                                "\"3|7|4|9|6|8\" \"\" \"0,90,200\"\n"
                                "@save Plot start.png\n"
                                "@drag Plot 150 100 166 116\n"
                                "@save Plot d16.png\n"
                                "@drag Plot 150 100 167 117\n"
                                "@save Plot zoom.png\n"
                                "@drag Plot 200 150 150 100\n"
                                "@save Plot undone.png\n"
                                "@drag Plot 250 150 150 100 right\n"
                                "@save Plot panned.png\n"
                                "@drag Plot 150 100 250 150\n"
                                "@drag Plot 250 150 150 100\n"
                                "@wheel Plot up\n"
                                "@save Plot up.png\n"
                                "@wheel Plot down 2\n"
                                "@save Plot down.png\n"
                                "@wheel Plot up\n"
                                "@save Plot back.png\n");
  RunResult r = Run(script);
  ASSERT_EQ(r.status, 0) << r.err;
  auto picture = [&](const char* name) {
    auto p = zq::platform::LoadPng((dir / name).string());
    EXPECT_TRUE(p.has_value()) << name;
    return p.value_or(zq::platform::Image{});
  };
  const auto start = picture("start.png");
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("d16.png"), start)) << "16 pixels do nothing";
  EXPECT_FALSE(zq::testing::ImagesMatch(picture("zoom.png"), start)) << "17 pixels zoom";
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("undone.png"), start)) << "up-left undoes";
  EXPECT_FALSE(zq::testing::ImagesMatch(picture("panned.png"), start)) << "right drag pans";
  const auto up = picture("up.png");
  EXPECT_FALSE(zq::testing::ImagesMatch(up, start));
  EXPECT_FALSE(zq::testing::ImagesMatch(picture("down.png"), up));
  EXPECT_FALSE(zq::testing::ImagesMatch(picture("down.png"), start)) << "two notches down";
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("back.png"), start)) << "notches add up";

  // Press, move and release one by one drag as @drag does; a move without a button is a hover.
  const fs::path steps = Write("steps.zqs",
                               "@rectangle A 400 300\n"
                               "@rectangle B 400 300\n"
                               "zqCreateLineChart \"A\"\n"
                               "zqCreateLineChart \"B\"\n"
                               "zqCreateSeriesLine \"A\" \"S\" \"1|2|3\" \"3|7|4\" \"\" \"0,0,0\"\n"
                               "zqCreateSeriesLine \"B\" \"S\" \"1|2|3\" \"3|7|4\" \"\" \"0,0,0\"\n"
                               "@drag A 150 100 200 150\n"
                               "@save A dragged.png\n"
                               "@save B unzoomed.png\n"
                               "@move B 60 60\n"
                               "@press B 150 100\n"
                               "@move B 170 110 left\n"
                               "@move B 200 150 left\n"
                               "@release B 200 150\n"
                               "@save B stepped.png\n");
  r = Run(steps);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(zq::testing::ImagesMatch(picture("stepped.png"), picture("unzoomed.png")));
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("stepped.png"), picture("dragged.png")));
}

TEST_F(ZqchartRun, SaveWritesPngSvgAndPdf) {
  const fs::path script = Write("save.zqs",
                                "@rectangle Chart1 240 160\n"
                                "zqCreateLineChart \"Chart1\"\n"
                                "zqCreateSeriesLine \"Chart1\" \"S\" \"1|2|3\" \"5|6|7\" \"\" "
                                "\"0,0,255\"\n"
                                "@save Chart1 a.png\n"
                                "@save Chart1 b.svg\n"
                                "@save Chart1 c.pdf\n"
                                "@save Chart1 sub/d.png\n");
  fs::create_directories(dir / "pictures" / "sub");
  RunResult r = Run(script, "--out pictures");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "pictures" / "a.png").substr(0, 8), "\x89PNG\r\n\x1A\n");
  const std::string svg = ReadFile(dir / "pictures" / "b.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_EQ(ReadFile(dir / "pictures" / "c.pdf").substr(0, 5), "%PDF-");
  auto png = zq::platform::LoadPng((dir / "pictures" / "a.png").string());
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(png->width, 240);
  EXPECT_EQ(png->height, 160);
  auto same = zq::platform::LoadPng((dir / "pictures" / "sub" / "d.png").string());
  ASSERT_TRUE(same.has_value());
  EXPECT_TRUE(zq::testing::ImagesMatch(*same, *png));
  // With @save there are no pictures named after the rectangles.
  EXPECT_FALSE(fs::exists(dir / "pictures" / "Chart1.png"));

  // A picture that cannot be written is status 1, the rest still runs.
  const fs::path bad = Write("bad.zqs",
                             "@rectangle Chart1 240 160\n"
                             "zqCreateLineChart \"Chart1\"\n"
                             "@save Chart1 no/such/folder/x.png\n"
                             "@save Chart1 later.png\n"
                             "@save Chart1 x.bmp\n");
  r = Run(bad);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(bad.string() + ":3: nothing saved to"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(bad.string() + ":5: nothing saved to"), std::string::npos) << r.err;
  EXPECT_TRUE(fs::exists(dir / "later.png"));

  // So is a picture saved at the end that cannot be written.
  const fs::path end = Write("end.zqs",
                             "@rectangle Chart1 240 160\n"
                             "zqCreateLineChart \"Chart1\"\n");
  r = Run(end, "--out no/such/folder");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind(end.string() + ": nothing saved to no/such/folder/Chart1.png", 0), 0u)
      << r.err;
}

TEST_F(ZqchartRun, WithoutSaveEveryChartWindowIsSavedByName) {
  const fs::path script = Write("all.zqs",
                                "@rectangle Left 200 150\n"
                                "@rectangle Right 180 120\n"
                                "@rectangle Empty 100 100\n"
                                "@rectangle Gone 100 100\n"
                                "zqCreateLineChart \"Left\"\n"
                                "zqCreateLineChart \"Right\"\n"
                                "zqCreateLineChart \"Gone\"\n"
                                "zqDeleteLineChart \"Gone\"\n"
                                "@resize Right 160 90\n");
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "svg");
  RunResult r = Run(script, "--out out --trace");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "Left.png"));
  auto right = zq::platform::LoadPng((dir / "out" / "Right.png").string());
  ASSERT_TRUE(right.has_value());
  EXPECT_EQ(right->width, 160) << "@resize sends 1274 with 4: the chart follows";
  EXPECT_EQ(right->height, 90);
  EXPECT_FALSE(fs::exists(dir / "out" / "Empty.png")) << "no chart, no picture";
  EXPECT_FALSE(fs::exists(dir / "out" / "Gone.png"));
  EXPECT_NE(r.out.find("saved out/Left.png"), std::string::npos) << r.out;

  r = Run(script, "--out svg --format svg");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(ReadFile(dir / "svg" / "Left.svg").find("<svg"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "svg" / "Left.png"));
}

TEST_F(ZqchartRun, PrintShowsLastError) {
  const fs::path script = Write("print.zqs",
                                "@print [LastError]\n"
                                "@rectangle Chart1 200 100\n"
                                "zqCreateLineChart \"Chart1\"\n"
                                "zqLineChartRoll \"Диаграмма 7\" \"True\" \"5\"\n"
                                "@print [LastError]\n"
                                "zqLineChartRoll \"Chart1\" \"True\" \"5\"\n"
                                "@print [LastError]\n");
  RunResult r = Run(script);
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string report =
      "[LastError]=Нет управления диаграммой прикреплённой к объекту Диаграмма 7.";
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"[LastError]=", report, report}));
}

TEST_F(ZqchartRun, LocaleChoosesTheDecimalSeparator) {
  auto script = [&](const std::string& name, const std::string& y) {
    return Write(name,
                 "@rectangle Chart1 240 160\n"
                 "zqCreateLineChart \"Chart1\"\n"
                 // The legend would show the values with the locale's separator.
                 "zqLineLegend \"Chart1\" \"False\" \"\"\n"
                 "zqCreateSeriesLine \"Chart1\" \"S\" \"1|2|3\" \"" +
                     y +
                     "\" \"\" \"0,0,255\"\n"
                     "@save Chart1 " +
                     name + ".png\n");
  };
  auto picture = [&](const std::string& name) {
    auto p = zq::platform::LoadPng((dir / (name + ".png")).string());
    if (!p) throw std::runtime_error("no picture " + name);
    return *p;
  };
  ASSERT_EQ(Run(script("ru_comma", "1|2,5|2"), "--locale ru-RU").status, 0);
  ASSERT_EQ(Run(script("en_point", "1|2.5|2"), "--locale en-US").status, 0);
  ASSERT_EQ(Run(script("en_comma", "1|2,5|2"), "--locale en-US").status, 0);
  ASSERT_EQ(Run(script("ru_point", "1|2.5|2"), "--locale ru-RU").status, 0);
  ASSERT_EQ(Run(script("en_none", "1|2|2"), "--locale en-US").status, 0);
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("ru_comma"), picture("en_point")))
      << "2,5 is two and a half under Russian settings";
  EXPECT_FALSE(zq::testing::CompareImages(picture("en_comma"), picture("en_point")).passed);
  EXPECT_TRUE(zq::testing::ImagesMatch(picture("en_comma"), picture("ru_point")))
      << "both stop at the second point";
  EXPECT_FALSE(zq::testing::CompareImages(picture("en_none"), picture("en_point")).passed);

  RunResult bad = Run(script("de", "1|2|3"), "--locale de-DE");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("--locale takes ru-RU or en-US"), std::string::npos) << bad.err;
}

TEST_F(ZqchartRun, DrawEverySegmentGivesTheSamePictures) {
  // A noisy line of many points a pixel column, flat and in 3D.
  std::string xs, ys;
  for (int i = 0; i < 8000; ++i) {
    xs += (i ? "|" : "") + std::to_string(i);
    ys += (i ? "|" : "") + std::to_string(int(500 + 400 * std::sin(i / 700.0)) + i * 7919 % 150);
  }
  const fs::path script = Write("dense.zqs",
                                "@rectangle R 200 120\nzqCreateLineChart \"R\"\n"
                                "zqCreateSeriesLine \"R\" \"S\" \"" +
                                    xs + "\" \"" + ys +
                                    "\" \"\" \"255,0,0\"\n"
                                    "zqLineChartView3D \"R\" \"False\"\n@save R flat.png\n"
                                    "zqLineChartView3D \"R\" \"True\"\n@save R ribbon.png\n");
  ASSERT_EQ(Run(script).status, 0);
  fs::create_directories(dir / "quick");
  for (const char* name : {"flat.png", "ribbon.png"}) fs::rename(dir / name, dir / "quick" / name);
  const RunResult every = Run(script, "--draw-every-segment");
  ASSERT_EQ(every.status, 0) << every.err;
  for (const char* name : {"flat.png", "ribbon.png"}) {
    const auto quick = zq::platform::LoadPng((dir / "quick" / name).string());
    const auto slow = zq::platform::LoadPng((dir / name).string());
    ASSERT_TRUE(quick && slow) << name;
    EXPECT_TRUE(zq::testing::ImagesMatch(*quick, *slow)) << name;
  }
}

TEST_F(ZqchartRun, TicksRollTheChart) {
  const std::string head =
      "@rectangle Chart1 240 160\n"
      "zqCreateLineChart \"Chart1\"\n"
      "zqCreateSeriesLine \"Chart1\" \"S\" \"1|2|3\" \"5|6|7\" \"\" \"0,0,255\"\n"
      "zqLineChartRoll \"Chart1\" \"True\" \"10\"\n";
  ASSERT_EQ(Run(Write("t0.zqs", head + "@save Chart1 t0.png\n")).status, 0);
  ASSERT_EQ(Run(Write("t3.zqs", head + "@tick 3\n@save Chart1 t3.png\n")).status, 0);
  // 3 ticks from 320 at step 10: 320, 310, 300; set directly, the same picture.
  ASSERT_EQ(Run(Write("r300.zqs", head + "zqLineChartRoll \"Chart1\" \"False\" \"10\"\n"
                                         "zq3DRotation \"Chart1\" \"300\"\n"
                                         "@save Chart1 r300.png\n"))
                .status,
            0);
  auto t0 = zq::platform::LoadPng((dir / "t0.png").string());
  auto t3 = zq::platform::LoadPng((dir / "t3.png").string());
  auto r300 = zq::platform::LoadPng((dir / "r300.png").string());
  ASSERT_TRUE(t0 && t3 && r300);
  EXPECT_FALSE(zq::testing::CompareImages(*t0, *t3).passed);
  EXPECT_TRUE(zq::testing::ImagesMatch(*t3, *r300));
}

// The example scripts run cleanly from the repository's root, save what they say, and between
// them use every action the plug-in registers.
TEST_F(ZqchartRun, ExamplesRunAndUseEveryAction) {
  const fs::path source(ZQ_SOURCE_DIR);
  std::set<std::string> used;
  int scripts = 0;
  for (const auto& entry : fs::directory_iterator(source / "examples")) {
    if (entry.path().extension() != ".zqs") continue;
    ++scripts;
    SCOPED_TRACE(entry.path().filename().string());
    std::vector<std::string> saved;
    for (const std::string& line : Lines(ReadFile(entry.path()))) {
      std::istringstream words(line);
      std::string first, name, file;
      words >> first;
      if (first.rfind("zq", 0) == 0) used.insert(first);
      if (first == "@save" && words >> name >> file) saved.push_back(file);
    }
    const fs::path out = dir / entry.path().stem();
    fs::create_directories(out);
    RunResult r = Run(entry.path(), "--locale en-US --out " + ShellQuote(out.string()), source);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(saved.empty()) << "an example shows its pictures with @save";
    for (const std::string& file : saved) {
      auto picture = zq::platform::LoadPng((out / file).string());
      ASSERT_TRUE(picture.has_value()) << file;
      EXPECT_GT(picture->width, 100) << file;
    }
  }
  EXPECT_GE(scripts, 5);
  zq::testing::ExportedPlugin plugin;
  int actions = 0;
  for (const auto& r : plugin.Host().Registrations()) {
    if (r.number == 0) continue;
    ++actions;
    EXPECT_TRUE(used.count(r.name)) << r.name << " appears in no example";
  }
  EXPECT_EQ(actions, 44);
}

}  // namespace
