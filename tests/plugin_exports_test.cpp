// The plug-in as a host sees it: loaded with dlopen, driven only through its exports.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/plugin_host.h"

namespace {

using zq::host::PluginHost;
using zq::host::RecordedRegistration;

PluginHost& LoadedHost() {
  static PluginHost host(ZQ_PLUGIN_PATH);
  return host;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(PluginExports, RegistersTheCatalogueByteForByte) {
  PluginHost& host = LoadedHost();
  host.Register();
  const auto& regs = host.Registrations();
  std::vector<std::string> expected = ReadLines(std::string(ZQ_TEST_DATA) + "/registrations.tsv");
  ASSERT_EQ(expected.size(), 53u);
  ASSERT_EQ(regs.size(), 53u);
  for (size_t i = 0; i < regs.size(); ++i)
    EXPECT_EQ(zq::host::DumpRegistration(regs[i]), expected[i]) << "registration " << i;
}

TEST(PluginExports, CatalogueShape) {
  PluginHost& host = LoadedHost();
  host.Register();
  const auto& regs = host.Registrations();
  std::set<int> numbers;
  int categories = 0;
  for (const RecordedRegistration& r : regs) {
    if (r.number == 0) {
      ++categories;
      EXPECT_TRUE(r.description.empty());
      EXPECT_EQ(r.typeCodes, std::vector<uint8_t>{1});
      EXPECT_EQ(r.highIndex, 0);
      EXPECT_EQ(r.parameterCount, 0);
    } else {
      EXPECT_TRUE(numbers.insert(r.number).second) << "action " << r.number << " twice";
      EXPECT_EQ(r.highIndex, r.parameterCount - 1);
      EXPECT_EQ(r.typeCodes, std::vector<uint8_t>(size_t(r.parameterCount), 1));
    }
  }
  EXPECT_EQ(categories, 9);
  ASSERT_EQ(numbers.size(), 44u);
  EXPECT_EQ(*numbers.begin(), 1);
  EXPECT_EQ(*numbers.rbegin(), 44);
  // The first category heading, "Построение графиков", in Windows-1251.
  EXPECT_EQ(regs[0].name,
            "\xCF\xEE\xF1\xF2\xF0\xEE\xE5\xED\xE8\xE5\x20\xE3\xF0\xE0\xF4\xE8\xEA\xEE\xE2");
  // Elevation, perspective and rotation share one description.
  auto descriptionOf = [&](int number) {
    for (const auto& r : regs)
      if (r.number == number) return r.description;
    return std::string();
  };
  EXPECT_EQ(descriptionOf(36), descriptionOf(37));
  EXPECT_EQ(descriptionOf(37), descriptionOf(38));
  EXPECT_NE(descriptionOf(35), descriptionOf(36));
}

TEST(PluginExports, InitTexts) {
  PluginHost& host = LoadedHost();
  host.Register();
  EXPECT_EQ(host.Name(), "zqLineChart");
  EXPECT_FALSE(host.Author().empty());
  EXPECT_EQ(host.Description(),
            "\xCF\xEE\xF1\xF2\xF0\xEE\xE5\xED\xE8\xE5\x20\xE3\xF0\xE0\xF4\xE8\xEA\xEE\xE2");
}

TEST(PluginExports, ActionNumbersOutsideTheCatalogueAnswerFalse) {
  const auto& e = LoadedHost().Exports();
  char* params[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  for (int number : {0, 45, -1, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(e.execAction(number, params), 0) << number;
    EXPECT_EQ(e.editAction(number, params), 0) << number;
  }
}

// Without a dialog handler (or a window system) no dialog can be shown: false, texts kept.
TEST(PluginExports, EditActionWithoutADialogChangesNothing) {
  const auto& e = LoadedHost().Exports();
  char text[] = "Chart1";
  char* params[6] = {text, nullptr, nullptr, nullptr, nullptr, nullptr};
  for (int number = 1; number <= 44; ++number) {
    EXPECT_EQ(e.editAction(number, params), 0) << number;
    EXPECT_EQ(params[0], text);
    EXPECT_EQ(params[1], nullptr);
  }
  EXPECT_EQ(e.editAction(6, nullptr), 0);
}

TEST(PluginExports, SurvivesNullArgumentsAndAnyMessage) {
  const auto& e = LoadedHost().Exports();
  e.initPlugIn(0, nullptr, nullptr, nullptr);
  e.registerPlugIn(nullptr, nullptr, nullptr, nullptr);
  e.registerScriptProcessor(nullptr);
  for (int number = 1; number <= 44; ++number) e.execAction(number, nullptr);
  for (int message : {0, 1, 2, 3, 2, -7, INT32_MAX}) e.message(message);
  // Put the host's callbacks back for the other tests.
  LoadedHost().Register();
  SUCCEED();
}

}  // namespace
