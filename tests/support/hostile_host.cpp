#include "support/hostile_host.h"

#include <functional>
#include <map>
#include <utility>

#include "common/plugin_library.h"

namespace zq::testing {

namespace {

using host::PluginLibrary;

const host::PluginExports* g_exports = nullptr;
host::HostDesk* g_desk = nullptr;
std::map<std::string, Int32> g_windows;
std::map<std::string, std::string> g_variables;
// What the host does inside its callbacks; `once` ones are dropped before they run.
struct Misdeed {
  std::function<void()> act;
  bool once = true;
};
Misdeed g_inRequest7;
Misdeed g_inSetVar;
int g_request7Calls = 0;

void Commit(Misdeed& misdeed) {
  if (!misdeed.act) return;
  std::function<void()> act = misdeed.act;
  if (misdeed.once) misdeed.act = nullptr;
  act();
}

void ZQ_STDCALL OnAddAction(Int32, char*, char*, uint8_t*, Int32, Int32) {}

void ZQ_STDCALL OnSetVar(char* name, char* value) {
  if (name != nullptr) g_variables[name] = value != nullptr ? value : "";
  Commit(g_inSetVar);
}

Bool32 ZQ_STDCALL OnInterfaceAccess(Int32 code, char** text) {
  if (code != 7 || text == nullptr || *text == nullptr) return kFalse;
  ++g_request7Calls;
  const std::string name = *text;
  Commit(g_inRequest7);
  auto it = g_windows.find(name);
  char* answer =
      PluginLibrary::AllocateText(std::to_string(it == g_windows.end() ? 0 : it->second));
  if (answer == nullptr) return kFalse;
  PluginLibrary::FreeText(*text);
  *text = answer;
  return kTrue;
}

bool Exec(int32_t number, std::vector<std::string> args) {
  std::vector<char*> pointers;
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  return g_exports->execAction(number, pointers.data()) != 0;
}

void Create(const std::string& name) {
  Exec(1, {name});
}

// Whether the plug-in has a chart for the name: a roll that does nothing (no motion word)
// reports a missing chart through [LastError].
bool HasChart(const std::string& name) {
  g_variables.clear();
  Exec(44, {name, "", "5"});
  return g_variables.count("[LastError]") == 0;
}

Int32 Rectangle(const std::string& name) {
  const Int32 window = g_desk->CreateRectangle(name, 160, 120);
  g_windows[name] = window;
  return window;
}

// Messages, paints and timers that are waiting.
void Pump() {
  g_desk->PassTicks(0);
}

// The left button over the chart window: down, a move with it held, up.
enum class Button { Down, Drag, Up };
void Mouse(Int32 rectangle, Button what, int32_t x, int32_t y) {
  host::MouseInput input;
  input.kind = what == Button::Down   ? host::MouseInput::Kind::Down
               : what == Button::Drag ? host::MouseInput::Kind::Move
                                      : host::MouseInput::Kind::Up;
  input.x = x;
  input.y = y;
  g_desk->Mouse(rectangle, input);
}

class Scenario {
 public:
  explicit Scenario(std::string name) { result_.name = std::move(name); }

  void Expect(bool condition, const std::string& what) {
    if (!condition) result_.failures.push_back(what);
  }
  // One chart window over each rectangle with a chart, none over the others.
  void ExpectCharts(const std::map<std::string, bool>& charts) {
    Pump();
    for (const auto& [name, has] : charts) {
      Expect(HasChart(name) == has, name + (has ? " has no chart" : " still has a chart"));
      const auto it = g_windows.find(name);
      const int32_t windows = it == g_windows.end() ? 0 : g_desk->Describe(it->second).charts;
      Expect(windows == (has ? 1 : 0),
             name + ": " + std::to_string(windows) + " chart windows over the rectangle");
    }
  }
  ScenarioResult Done() {
    g_inRequest7 = {};
    g_inSetVar = {};
    g_exports->message(2);
    Pump();
    for (const auto& [name, window] : g_windows) g_desk->DestroyRectangle(window);
    g_windows.clear();
    Pump();
    return std::move(result_);
  }

 private:
  ScenarioResult result_;
};

void AddSeries(const std::string& name) {
  Exec(3, {name, "S", "1|2|3|4", "4|1|3|2", "", "255,0,0"});
}

ScenarioResult Request7RunsAnotherAction() {
  Scenario s("request 7 creates another chart");
  Rectangle("A");
  Rectangle("B");
  g_inRequest7 = {[] { Create("B"); }};
  Create("A");
  s.ExpectCharts({{"A", true}, {"B", true}});
  return s.Done();
}

ScenarioResult Request7DeletesTheChartBeingMade() {
  Scenario s("request 7 deletes the chart being made");
  Rectangle("A");
  Create("A");
  g_inRequest7 = {[] { Exec(2, {"A"}); }, false};
  Create("A");
  s.ExpectCharts({{"A", true}});
  return s.Done();
}

ScenarioResult Request7EndsEveryChart() {
  Scenario s("request 7 sends message 2");
  Rectangle("A");
  Rectangle("B");
  Create("B");
  AddSeries("B");
  g_inRequest7 = {[] { g_exports->message(2); }, false};
  Create("A");
  s.ExpectCharts({{"A", true}, {"B", false}});
  return s.Done();
}

ScenarioResult Request7CreatesTheSameChartForEver() {
  Scenario s("request 7 creates the same chart, always");
  Rectangle("A");
  g_request7Calls = 0;
  g_inRequest7 = {[] { Create("A"); }, false};
  const bool result = Exec(1, {"A"});
  g_inRequest7 = {};
  s.Expect(result, "zqCreateLineChart answered false");
  s.Expect(g_request7Calls < 100, std::to_string(g_request7Calls) + " calls of request 7");
  s.ExpectCharts({{"A", true}});
  return s.Done();
}

ScenarioResult SetVarRunsActions() {
  Scenario s("SetVarProc deletes a chart and makes another");
  Rectangle("A");
  Rectangle("B");
  Create("A");
  g_inSetVar = {[] {
    Exec(2, {"A"});
    Create("B");
    AddSeries("B");
  }};
  Exec(44, {"Missing", "True", "5"});
  s.ExpectCharts({{"A", false}, {"B", true}});
  return s.Done();
}

ScenarioResult HostWindowDestroyed() {
  Scenario s("the host destroys a rectangle's window");
  const Int32 first = Rectangle("A");
  Rectangle("B");
  Create("A");
  Create("B");
  AddSeries("A");
  AddSeries("B");
  Pump();
  g_desk->DestroyRectangle(first);
  g_windows.erase("A");
  Pump();
  s.Expect(!HasChart("A"), "the chart over the destroyed window is still registered");
  Exec(11, {"A", "S", "0,0,255"});
  Exec(3, {"A", "T", "1|2", "3|4", "", "0,0,0"});
  s.ExpectCharts({{"B", true}});
  // The object gets a window again: a chart can be laid over it.
  Rectangle("A");
  Create("A");
  AddSeries("A");
  s.ExpectCharts({{"A", true}, {"B", true}});
  return s.Done();
}

ScenarioResult EndedWhileDragging() {
  Scenario s("message 2 and a destroyed window while the mouse drags");
  const Int32 a = Rectangle("A");
  const Int32 b = Rectangle("B");
  Create("A");
  Create("B");
  AddSeries("A");
  AddSeries("B");
  Pump();
  Mouse(a, Button::Down, 40, 30);
  Mouse(a, Button::Drag, 90, 80);
  g_exports->message(2);
  Mouse(a, Button::Drag, 110, 90);
  Mouse(a, Button::Up, 120, 100);
  s.ExpectCharts({{"A", false}, {"B", false}});
  Create("B");
  AddSeries("B");
  Pump();
  Mouse(b, Button::Down, 40, 30);
  Mouse(b, Button::Drag, 90, 80);
  g_desk->DestroyRectangle(b);
  g_windows.erase("B");
  Mouse(b, Button::Drag, 110, 90);
  Mouse(b, Button::Up, 120, 100);
  s.ExpectCharts({{"A", false}, {"B", false}});
  Create("A");
  s.ExpectCharts({{"A", true}});
  return s.Done();
}

}  // namespace

std::vector<ScenarioResult> RunHostileScenarios(const host::PluginExports& exports,
                                                host::HostDesk& desk) {
  g_exports = &exports;
  g_desk = &desk;
  exports.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
  exports.registerInterfaceAccess(&OnInterfaceAccess);
  std::vector<ScenarioResult> results;
  for (auto scenario : {Request7RunsAnotherAction, Request7DeletesTheChartBeingMade,
                        Request7EndsEveryChart, Request7CreatesTheSameChartForEver,
                        SetVarRunsActions, HostWindowDestroyed, EndedWhileDragging})
    results.push_back(scenario());
  return results;
}

}  // namespace zq::testing
