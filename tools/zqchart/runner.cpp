#include "zqchart/runner.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "platform/codepage.h"
#include "zqchart/plugin_host.h"
#include "zqchart/script.h"

namespace zq::host {

namespace {

// Milliseconds of host time that one @tick stands for.
constexpr int32_t kTickMilliseconds = 150;
constexpr int32_t kFollowRectangleMessage = 1274;
constexpr int32_t kMaxRectangleSide = 16384;

int32_t ParseWhole(const ScriptStep& step, size_t index, int32_t low, int32_t high) {
  const std::string& word = step.arguments[index];
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(word, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != word.size() || word.empty() || value < low || value > high)
    throw ScriptError(step.line, "'" + word + "' is not a whole number from " +
                                     std::to_string(low) + " to " + std::to_string(high));
  return int32_t(value);
}

void ExpectArguments(const ScriptStep& step, size_t low, size_t high, const char* usage) {
  if (step.arguments.size() < low || step.arguments.size() > high)
    throw ScriptError(step.line, std::string("usage: @") + usage);
}

class Runner {
 public:
  Runner(PluginHost& host, const RunOptions& options, std::FILE* out, std::FILE* errors)
      : host_(host), options_(options), out_(out), errors_(errors) {}

  int Run() {
    std::ifstream in(options_.scriptPath, std::ios::binary);
    if (!in) {
      std::fprintf(errors_, "%s: cannot read the script\n", options_.scriptPath.c_str());
      return 2;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
      std::vector<ScriptStep> steps = ParseScript(text.str());
      if (!host_.Headless().Complete())
        throw ScriptError(0, "the plug-in has no headless-host interface");
      host_.Register();
      // Every line is checked before anything runs, so a malformed script changes nothing.
      for (const ScriptStep& step : steps) Check(step);
      for (const ScriptStep& step : steps) Execute(step);
      if (!sawSave_) SaveRemaining();
    } catch (const ScriptError& e) {
      std::fprintf(errors_, "%s:%d: %s\n", options_.scriptPath.c_str(), e.line(), e.what());
      return 2;
    }
    return status_;
  }

 private:
  void Check(const ScriptStep& step) {
    if (step.kind == ScriptStep::Kind::Action) {
      const RecordedRegistration* action = host_.FindAction(step.name);
      if (action == nullptr) throw ScriptError(step.line, "unknown action '" + step.name + "'");
      if (int32_t(step.arguments.size()) != action->parameterCount)
        throw ScriptError(step.line,
                          step.name + " takes " + std::to_string(action->parameterCount) +
                              " parameters, not " + std::to_string(step.arguments.size()));
      return;
    }
    const std::string& d = step.name;
    if (d == "rectangle" || d == "resize") {
      ExpectArguments(step, 3, 3, (d + " NAME WIDTH HEIGHT").c_str());
      ParseWhole(step, 1, 0, kMaxRectangleSide);
      ParseWhole(step, 2, 0, kMaxRectangleSide);
    } else if (d == "tick") {
      ExpectArguments(step, 1, 1, "tick N");
      ParseWhole(step, 0, 0, 100000);
    } else if (d == "save") {
      ExpectArguments(step, 2, 2, "save NAME FILE");
      sawSave_ = true;
    } else if (d == "message") {
      ExpectArguments(step, 1, 1, "message N");
      ParseWhole(step, 0, INT32_MIN, INT32_MAX);
    } else if (d == "print") {
      ExpectArguments(step, 1, 1, "print VARIABLE");
    } else {
      throw ScriptError(step.line, "unknown directive '@" + d + "'");
    }
  }

  int32_t WindowOf(const ScriptStep& step, const std::string& name) {
    auto it = rectangles_.find(name);
    if (it == rectangles_.end()) throw ScriptError(step.line, "no @rectangle named '" + name + "'");
    return it->second;
  }

  std::string OutputPath(const std::string& file) const {
    std::filesystem::path path(file);
    if (path.is_relative()) path = std::filesystem::path(options_.outputDir) / path;
    return path.string();
  }

  void Save(int line, int32_t window, const std::string& file) {
    std::string path = OutputPath(file);
    const HeadlessHostApi& h = host_.Headless();
    if (!h.saveWindow(window, path.c_str())) {
      std::fprintf(errors_, "%s:%d: nothing saved to %s\n", options_.scriptPath.c_str(), line,
                   path.c_str());
      status_ = 1;
    }
  }

  void Execute(const ScriptStep& step) {
    const HeadlessHostApi& h = host_.Headless();
    if (step.kind == ScriptStep::Kind::Action) {
      RunAction(step);
      return;
    }
    const std::string& d = step.name;
    if (d == "rectangle") {
      int32_t handle = h.createWindow(ParseWhole(step, 1, 0, kMaxRectangleSide),
                                      ParseWhole(step, 2, 0, kMaxRectangleSide));
      if (handle == 0) throw ScriptError(step.line, "the host cannot make this rectangle");
      if (rectangles_.count(step.arguments[0]) == 0) order_.push_back(step.arguments[0]);
      rectangles_[step.arguments[0]] = handle;
      host_.SetObjectWindow(platform::Utf8ToCp1251(step.arguments[0]), handle);
    } else if (d == "resize") {
      int32_t handle = WindowOf(step, step.arguments[0]);
      h.resizeWindow(handle, ParseWhole(step, 1, 0, kMaxRectangleSide),
                     ParseWhole(step, 2, 0, kMaxRectangleSide));
      h.sendMessage(handle, kFollowRectangleMessage, 4);
    } else if (d == "tick") {
      h.advanceClock(ParseWhole(step, 0, 0, 100000) * kTickMilliseconds);
    } else if (d == "save") {
      Save(step.line, WindowOf(step, step.arguments[0]), step.arguments[1]);
    } else if (d == "message") {
      host_.Exports().message(ParseWhole(step, 0, INT32_MIN, INT32_MAX));
    } else if (d == "print") {
      const auto& vars = host_.Variables();
      auto it = vars.find(platform::Utf8ToCp1251(step.arguments[0]));
      std::string value = it == vars.end() ? "" : platform::Cp1251ToUtf8(it->second);
      std::fprintf(out_, "%s=%s\n", step.arguments[0].c_str(), value.c_str());
    }
  }

  void RunAction(const ScriptStep& step) {
    const RecordedRegistration* action = host_.FindAction(step.name);
    std::vector<std::string> texts;
    texts.reserve(step.arguments.size());
    for (const std::string& a : step.arguments) texts.push_back(platform::Utf8ToCp1251(a));
    std::vector<char*> pointers;
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    Bool32 result = host_.Exports().execAction(action->number, pointers.data());
    if (options_.trace)
      std::fprintf(out_, "%d: %s -> %s\n", step.line, step.name.c_str(), result ? "true" : "false");
  }

  void SaveRemaining() {
    // Paint what is pending before looking.
    host_.Headless().advanceClock(0);
    for (const std::string& name : order_) {
      int32_t window = rectangles_[name];
      std::string file = name + "." + options_.format;
      std::string path = OutputPath(file);
      // A rectangle without a chart window has nothing to show: no file, no error.
      if (host_.Headless().saveWindow(window, path.c_str()) == 0) continue;
      if (options_.trace) std::fprintf(out_, "saved %s\n", path.c_str());
    }
  }

  PluginHost& host_;
  const RunOptions& options_;
  std::FILE* out_;
  std::FILE* errors_;
  std::map<std::string, int32_t> rectangles_;
  std::vector<std::string> order_;
  bool sawSave_ = false;
  int status_ = 0;
};

}  // namespace

int RunScript(PluginHost& host, const RunOptions& options, std::FILE* out, std::FILE* errors) {
  return Runner(host, options, out, errors).Run();
}

}  // namespace zq::host
