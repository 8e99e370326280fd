// Two ways of running script actions in tests: through the exports of the dlopen'ed plug-in,
// as a host application does (results and pictures), and through the statically linked
// actions layer (the chart's properties can then be read back). Both end every chart when
// they go, so that each test starts from an empty registry.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "charts/chart_registry.h"
#include "common/plugin_host.h"
#include "engine/chart/chart.h"
#include "engine/series/line_series.h"
#include "platform/cairo/headless_windows.h"
#include "platform/cairo/image_output.h"
#include "platform/codepage.h"
#include "support/image_compare.h"

namespace zq::testing {

// The plug-in loaded with dlopen and registered; texts go in as Windows-1251.
class ExportedPlugin {
 public:
  ExportedPlugin() : host_(ZQ_PLUGIN_PATH) { host_.Register(); }
  ~ExportedPlugin() { host_.Exports().message(2); }
  ExportedPlugin(const ExportedPlugin&) = delete;
  ExportedPlugin& operator=(const ExportedPlugin&) = delete;

  // A host window of that size over which zqCreateLineChart lays the chart; its handle.
  int32_t CreateChart(const std::string& rectangleName, int32_t width = 483, int32_t height = 293) {
    const int32_t window = host_.Headless().createWindow(width, height);
    host_.SetObjectWindow(platform::Utf8ToCp1251(rectangleName), window);
    windows_[rectangleName] = window;
    Exec(1, {rectangleName});
    return window;
  }

  // nbExecAction with UTF-8 parameters; the Boolean it answers.
  bool Exec(int32_t number, const std::vector<std::string>& args) {
    std::vector<std::string> texts;
    for (const std::string& a : args) texts.push_back(platform::Utf8ToCp1251(a));
    std::vector<char*> pointers;
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    return host_.Exports().execAction(number, pointers.data()) != 0;
  }

  // What the chart over the rectangle's host window shows, through a PNG file.
  std::optional<platform::Image> Picture(const std::string& rectangleName,
                                         const std::string& fileName) {
    const std::string path = TestOutputPath(fileName);
    if (host_.Headless().saveWindow(windows_.at(rectangleName), path.c_str()) == 0)
      return std::nullopt;
    return platform::LoadPng(path);
  }

  zq::host::PluginHost& Host() { return host_; }

 private:
  zq::host::PluginHost host_;
  std::map<std::string, int32_t> windows_;
};

// Answers request code 7 with the headless host windows of this process.
class FakeHostServices : public actions::HostServices {
 public:
  std::string AskObjectWindow(const std::string& rectangleName) override {
    auto it = windows.find(rectangleName);
    return std::to_string(it == windows.end() ? 0 : it->second);
  }
  void SetVariable(const std::string& name, const std::string& value) override {
    variables[name] = value;
  }

  std::map<std::string, platform::WindowHandle> windows;
  std::map<std::string, std::string> variables;
};

// The actions layer linked into the tests, with charts in this process' headless windows.
class InProcessActions {
 public:
  InProcessActions() = default;
  ~InProcessActions() { actions::EndAllCharts(); }
  InProcessActions(const InProcessActions&) = delete;
  InProcessActions& operator=(const InProcessActions&) = delete;

  void CreateChart(const std::string& rectangleName, int32_t width = 483, int32_t height = 293) {
    host.windows[rectangleName] =
        platform::HeadlessWindowSystem::Instance().CreateHostWindow(width, height);
    Run(1, {rectangleName});
  }

  bool Run(int32_t number, const std::vector<std::string>& args) {
    return actions::RunAction(number, args, host);
  }

  // The chart of a rectangle; fails the test when there is none.
  TChart& Chart(const std::string& rectangleName) {
    charts::TVelImageForm* form = charts::ChartRegistry::Instance().Find(rectangleName);
    if (form == nullptr) throw std::runtime_error("no chart for " + rectangleName);
    return form->Chart1();
  }
  charts::TVelImageForm& Form(const std::string& rectangleName) {
    charts::TVelImageForm* form = charts::ChartRegistry::Instance().Find(rectangleName);
    if (form == nullptr) throw std::runtime_error("no chart for " + rectangleName);
    return *form;
  }
  // The chart's series at a position (0 is the window's own Series1).
  TLineSeries& SeriesAt(const std::string& rectangleName, int32_t position) {
    return dynamic_cast<TLineSeries&>(Chart(rectangleName).Series(position));
  }

  FakeHostServices host;
};

}  // namespace zq::testing
