// zqchart edit and zqchart actions --reference: the plug-in's own dialog routine, filled from
// the command line through the headless dialog handler, as an author fills the real dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/action_hosts.h"
#include "support/tool_run.h"

namespace {

namespace fs = std::filesystem;

using Result = zq::testing::ToolResult;

// zqchart with the arguments, each quoted.
Result Zqchart(const std::vector<std::string>& args) {
  // ctest runs the tests in parallel: each writes into a folder of its own.
  const fs::path dir = fs::path(zq::testing::TestOutputPath("zqchart_edit")) /
                       ::testing::UnitTest::GetInstance()->current_test_info()->name();
  fs::create_directories(dir);
  std::string command = zq::testing::ShellQuote(ZQ_CHART_TOOL);
  for (const std::string& a : args) command += " " + zq::testing::ShellQuote(a);
  return zq::testing::RunShell(command, dir);
}

struct Case {
  const char* what;
  std::vector<std::string> args;  // after "edit"
  int status;
  std::string out;
  std::string err;  // for status 2: a part of the message
};

TEST(ZqchartEdit, FillsTheDialogsAsAnAuthorWould) {
  const Case cases[] = {
      {"describe",
       {"zqSetTitleLine", "Chart1", "Заголовок", "", "Center", "--describe"},
       0,
       "zqSetTitleLine Свойства\nform TForm4\n"
       "1. Rectangle диаграммы: [rectangle] \"Chart1\"\n"
       "2. Текст заголовка панели графиков: [text] \"Заголовок\"\n"
       "3. Параметры шрифта: [font] \"\"\n"
       "4. Расположение текста: [choice, pick-only: Left, Center, Right] \"Center\"\n"
       "Установить текст верхнего колонтитула панели графиков,\n"
       "выбрать параметры текста и его расположение.\n",
       ""},
      {"OK keeps what nobody touched",
       {"zqSetTitleLine", "Chart1", "Заголовок", "Arial|clRed|10||204", "Center"},
       0,
       "ok\nChart1\nЗаголовок\nArial|clRed|10||204\nCenter\n",
       ""},
      {"every row kind of a four-row form, steps in order",
       {"6", "Chart1", "--set", "2=Новый", "--pick", "1=Rect7", "--refuse", "2", "--font",
        "3=Arial,10,bold,italic,charset=204", "--choose", "4=Right"},
       0,
       "ok\nRect7\nНовый\nArial|clBlack|10|fsBold fsItalic |204\nRight\n",
       "pick 1: code 8 \"Chart1\" -> \"Rect7\"\npick 2: code 14 \"Новый\" -> false\n"
       "font 3 -> Arial,10,bold,italic,charset=204\n"},
      {"Отмена changes nothing",
       {"zqDeleteSeriesLine", "C", "S", "--set", "2=T", "--pick", "1=R", "--cancel"},
       0,
       "cancelled\nC\nS\n",
       "pick 1: code 8 \"C\" -> \"R\"\n"},
      {"no InterfaceAccessProc: pickers do nothing",
       {"zqCreateLineChart", "C", "--no-interface-access", "--pick", "1=R"},
       0,
       "ok\nC\n",
       ""},
      {"colour buttons, with and without a picker",
       {"zqColorFone", "C", "--color", "2=255,255,255"},
       0,
       "ok\nC\n255,255,255\n",
       "color 2 -> 255,255,255\n"},
      {"five rows: editable lists and colours",
       {"zqGradientFone", "C", "--set", "2=true", "--color", "3=1,2,3", "--pick", "4=Цвет",
        "--choose", "5=FromCenter"},
       0,
       "ok\nC\ntrue\n1,2,3\nЦвет\nFromCenter\n",
       "color 3 -> 1,2,3\npick 4: code 14 \"\" -> \"Цвет\"\n"},
      {"six rows in two columns: an editable list keeps any text",
       {"zqSeriesDot3DStyle", "C", "S", "maybe", "--choose", "4=Star", "--set", "5=x"},
       0,
       "ok\nC\nS\nmaybe\nStar\nx\n\n",
       ""},
      {"three rows, a text row without a picker",
       {"zqLineLegendStyle", "C", "--choose", "2=XValue", "--set", "3=20"},
       0,
       "ok\nC\nXValue\n20\n",
       ""},
      {"font colour in hexadecimal",
       {"zqLineLegendFont", "C", "--font", "2=Liberation Sans,9,underline,color=1,2,3"},
       0,
       "ok\nC\nLiberation Sans|$00030201|9|fsUnderline |1\n",
       "font 2 -> Liberation Sans,9,underline,color=1,2,3\n"},
      {"parameters not given are empty texts", {"zqCreateSeriesLine"}, 0, "ok\n\n\n\n\n\n\n", ""},
      {"a character Windows-1251 cannot hold stops OK",
       {"zqDeleteSeriesLine", "C", "S", "--set", "2=Müller"},
       1,
       "cancelled\nC\nS\n",
       "message: Поле «Имя графика:» содержит знак «ü», которого нет в кодовой странице "
       "программы. Замените или удалите его.\n"},
      {"action 0", {"0"}, 1, "no dialog\n", ""},
      {"action 45", {"45", "a"}, 1, "no dialog\n", ""},
      {"unknown name", {"zqNoSuch"}, 2, "", "unknown action 'zqNoSuch'"},
      {"too many parameters", {"zqChartZoom", "a", "b", "c"}, 2, "", "takes 2 parameters"},
      {"bad row",
       {"6", "--set", "7=x"},
       2,
       "",
       "row 7: the dialog of zqSetTitleLine has rows 1 to 4"},
      {"word not in the list", {"6", "--choose", "4=Middle"}, 2, "", "'Middle' is not a word"},
      {"typing into a pick-only list", {"34", "--set", "2=True"}, 2, "", "use --choose"},
      {"no picker on a choice row", {"6", "--pick", "4=x"}, 2, "", "has no picker"},
      {"no colour button on a font row", {"6", "--color", "3=1,2,3"}, 2, "", "no colour button"},
      {"bad colour", {"27", "--color", "2=1,2"}, 2, "", "--color takes ROW=R,G,B"},
      {"bad font", {"31", "--font", "2=Arial,big"}, 2, "", "bad font size"},
      {"bad option", {"27", "--frobnicate"}, 2, "", "unknown option"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"edit"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Zqchart(args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, c.out);
    if (c.status == 2)
      EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    else
      EXPECT_EQ(r.err, c.err);
  }
}

TEST(ZqchartEdit, TheReferenceIsTheDocumentAndAnActionsPart) {
  const Result all = Zqchart({"actions", "--reference"});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out, zq::testing::ReadFileBytes(fs::path(ZQ_SOURCE_DIR) / "docs" / "actions.md"))
      << "docs/actions.md is out of date: build/native/zqchart actions --reference > "
         "docs/actions.md";
  const Result one = Zqchart({"actions", "--reference", "zqChartZoom"});
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out.rfind("### 42. zqChartZoom\n", 0), 0u) << one.out;
  EXPECT_NE(all.out.find(one.out), std::string::npos);
  EXPECT_EQ(Zqchart({"actions", "--reference", "zqNoSuch"}).status, 2);
}

}  // namespace
