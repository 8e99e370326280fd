#include <gtest/gtest.h>

#include "common/script.h"

namespace {

using zq::host::ParseScript;
using zq::host::ScriptError;
using zq::host::ScriptStep;

TEST(ZqchartScript, DirectivesActionsCommentsAndBlankLines) {
  auto steps = ParseScript(
      "# a comment\n"
      "\n"
      "   \t\n"
      "@rectangle Chart1 483 293\r\n"
      "zqCreateSeriesLine \"Chart1\" \"Sales\" \"1|2|3\" \"5|6|7\" \"\" \"255,0,0\"\n"
      "  # indented comment\n"
      "zqSetTitleLine \"Chart1\" \"He said \"\"hi\"\"\" \"\" \"Center\"\n");
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0].kind, ScriptStep::Kind::Directive);
  EXPECT_EQ(steps[0].name, "rectangle");
  EXPECT_EQ(steps[0].line, 4);
  EXPECT_EQ(steps[0].arguments, (std::vector<std::string>{"Chart1", "483", "293"}));
  EXPECT_EQ(steps[1].kind, ScriptStep::Kind::Action);
  EXPECT_EQ(steps[1].name, "zqCreateSeriesLine");
  EXPECT_EQ(steps[1].arguments,
            (std::vector<std::string>{"Chart1", "Sales", "1|2|3", "5|6|7", "", "255,0,0"}));
  EXPECT_EQ(steps[2].line, 7);
  EXPECT_EQ(steps[2].arguments[1], "He said \"hi\"");
}

TEST(ZqchartScript, ParametersKeepUtf8AndBlanks) {
  auto steps = ParseScript("zqLineLegend \"Диаграмма 1\" \" True \" \"Left\"");
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].arguments[0], "Диаграмма 1");
  EXPECT_EQ(steps[0].arguments[1], " True ");
}

TEST(ZqchartScript, MalformedLinesNameTheirLine) {
  struct Case {
    const char* text;
    int line;
  } cases[] = {
      {"zqDeleteLineChart \"Chart1", 1},
      {"\n\nzqDeleteLineChart Chart1", 3},
      {"zqDeleteLineChart \"a\"\"", 1},
      {"zqDeleteLineChart \"a\"\"b\"x", 1},
      {"# ok\n@", 2},
  };
  for (const Case& c : cases) {
    try {
      ParseScript(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.line(), c.line) << c.text;
    }
  }
}

}  // namespace
