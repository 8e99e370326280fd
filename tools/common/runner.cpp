#include "common/runner.h"

#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "common/host_desk.h"
#include "common/host_files.h"
#include "common/plugin_host.h"
#include "common/script.h"

namespace zq::host {

namespace {

constexpr int32_t kMaxRectangleSide = 16384;
// Mouse moves between the ends of a drag, as a hand makes them.
constexpr int32_t kDragSteps = 8;
constexpr int32_t kWheelDelta = 120;

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
  Runner(PluginHost& host, HostDesk& desk, const RunOptions& options, std::FILE* out,
         std::FILE* errors)
      : host_(host), desk_(desk), options_(options), out_(out), errors_(errors) {}

  int Run() {
    std::string text;
    if (!ReadHostFile(options_.scriptPath, text)) {
      std::fprintf(errors_, "%s: cannot read the script\n", options_.scriptPath.c_str());
      return 2;
    }
    try {
      std::vector<ScriptStep> steps = ParseScript(text);
      // The steps hold every text now: a script of millions of values is not kept twice.
      std::string().swap(text);
      host_.Register();
      // Every line is checked before anything runs, so a malformed script changes nothing.
      for (const ScriptStep& step : steps) Check(step);
      for (ScriptStep& step : steps) Execute(step);
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
    if (d == "rectangle") {
      ExpectArguments(step, 3, 3, "rectangle NAME WIDTH HEIGHT");
      ParseWhole(step, 1, 0, kMaxRectangleSide);
      ParseWhole(step, 2, 0, kMaxRectangleSide);
      declared_.insert(step.arguments[0]);
    } else if (d == "resize") {
      ExpectArguments(step, 3, 4, "resize NAME WIDTH HEIGHT [LPARAM]");
      CheckDeclared(step);
      ParseWhole(step, 1, 0, kMaxRectangleSide);
      ParseWhole(step, 2, 0, kMaxRectangleSide);
      if (step.arguments.size() == 4) ParseWhole(step, 3, INT32_MIN, INT32_MAX);
    } else if (d == "drag") {
      ExpectArguments(step, 5, 6, "drag NAME X0 Y0 X1 Y1 [right]");
      CheckDeclared(step);
      for (size_t i = 1; i <= 4; ++i) ParseWhole(step, i, -kMaxRectangleSide, kMaxRectangleSide);
      if (step.arguments.size() == 6 && step.arguments[5] != "right")
        throw ScriptError(step.line, "usage: @drag NAME X0 Y0 X1 Y1 [right]");
    } else if (d == "press" || d == "move" || d == "release") {
      const std::string usage = d + " NAME X Y [" + (d == "move" ? "left|right" : "right") + "]";
      ExpectArguments(step, 3, 4, usage.c_str());
      CheckDeclared(step);
      for (size_t i = 1; i <= 2; ++i) ParseWhole(step, i, -kMaxRectangleSide, kMaxRectangleSide);
      if (step.arguments.size() == 4 && step.arguments[3] != "right" &&
          (d != "move" || step.arguments[3] != "left"))
        throw ScriptError(step.line, "usage: @" + usage);
    } else if (d == "wheel") {
      ExpectArguments(step, 2, 3, "wheel NAME up|down [NOTCHES]");
      CheckDeclared(step);
      if (step.arguments[1] != "up" && step.arguments[1] != "down")
        throw ScriptError(step.line, "usage: @wheel NAME up|down [NOTCHES]");
      if (step.arguments.size() == 3) ParseWhole(step, 2, 1, 100);
    } else if (d == "inspect" || d == "destroy") {
      ExpectArguments(step, 1, 1, (d + " NAME").c_str());
      CheckDeclared(step);
    } else if (d == "tick") {
      ExpectArguments(step, 1, 1, "tick N");
      ParseWhole(step, 0, 0, 100000);
    } else if (d == "save") {
      ExpectArguments(step, 2, 2, "save NAME FILE");
      CheckDeclared(step);
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

  // A rectangle must be laid out before a directive names it.
  void CheckDeclared(const ScriptStep& step) const {
    if (declared_.count(step.arguments[0]) == 0)
      throw ScriptError(step.line,
                        "no @rectangle named '" + step.arguments[0] + "' before this line");
  }

  int32_t WindowOf(const ScriptStep& step, const std::string& name) {
    auto it = rectangles_.find(name);
    if (it == rectangles_.end()) throw ScriptError(step.line, "no @rectangle named '" + name + "'");
    return it->second;
  }

  // Paths are UTF-8 on every platform.
  std::string OutputPath(const std::string& file) const {
    auto fromUtf8 = [](const std::string& s) {
      return std::filesystem::path(std::u8string(s.begin(), s.end()));
    };
    std::filesystem::path path = fromUtf8(file);
    if (path.is_relative()) path = fromUtf8(options_.outputDir) / path;
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
  }

  void Save(int line, int32_t window, const std::string& file) {
    std::string path = OutputPath(file);
    std::string error;
    if (!desk_.SavePicture(window, path, error)) {
      // Line 0: the pictures saved when the script ends.
      std::fprintf(errors_, "%s", options_.scriptPath.c_str());
      if (line > 0) std::fprintf(errors_, ":%d", line);
      std::fprintf(errors_, ": nothing saved to %s: %s\n", path.c_str(), error.c_str());
      status_ = 1;
    } else if (options_.trace) {
      std::fprintf(out_, "saved %s\n", path.c_str());
    }
  }

  void Execute(ScriptStep& step) {
    if (step.kind == ScriptStep::Kind::Action) {
      RunAction(step);
      return;
    }
    const std::string& d = step.name;
    if (d == "rectangle") {
      int32_t handle =
          desk_.CreateRectangle(step.arguments[0], ParseWhole(step, 1, 0, kMaxRectangleSide),
                                ParseWhole(step, 2, 0, kMaxRectangleSide));
      if (handle == 0) throw ScriptError(step.line, "the host cannot make this rectangle");
      if (rectangles_.count(step.arguments[0]) == 0) order_.push_back(step.arguments[0]);
      rectangles_[step.arguments[0]] = handle;
      host_.SetObjectWindow(PluginLibrary::ToHostText(step.arguments[0]), handle);
    } else if (d == "resize") {
      int32_t handle = WindowOf(step, step.arguments[0]);
      desk_.ResizeRectangle(handle, ParseWhole(step, 1, 0, kMaxRectangleSide),
                            ParseWhole(step, 2, 0, kMaxRectangleSide));
      int32_t lParam = step.arguments.size() == 4 ? ParseWhole(step, 3, INT32_MIN, INT32_MAX) : 4;
      desk_.SendToCharts(handle, kFollowRectangleMessage, lParam);
    } else if (d == "tick") {
      desk_.PassTicks(ParseWhole(step, 0, 0, 100000));
    } else if (d == "drag") {
      Drag(step);
    } else if (d == "press" || d == "move" || d == "release") {
      MouseInput input;
      input.kind = d == "press"  ? MouseInput::Kind::Down
                   : d == "move" ? MouseInput::Kind::Move
                                 : MouseInput::Kind::Up;
      input.x = ParseWhole(step, 1, -kMaxRectangleSide, kMaxRectangleSide);
      input.y = ParseWhole(step, 2, -kMaxRectangleSide, kMaxRectangleSide);
      const std::string button = step.arguments.size() == 4 ? step.arguments[3] : "";
      input.right = button == "right";
      input.held = d != "move" || !button.empty();
      MouseFailure(step, desk_.Mouse(WindowOf(step, step.arguments[0]), input));
    } else if (d == "wheel") {
      // One message per notch, as a wheel sends them.
      const int32_t handle = WindowOf(step, step.arguments[0]);
      const WindowReport r = desk_.Describe(handle);
      MouseInput wheel;
      wheel.kind = MouseInput::Kind::Wheel;
      wheel.delta = step.arguments[1] == "up" ? kWheelDelta : -kWheelDelta;
      wheel.x = r.chartWidth / 2;
      wheel.y = r.chartHeight / 2;
      const int32_t notches = step.arguments.size() == 3 ? ParseWhole(step, 2, 1, 100) : 1;
      for (int32_t i = 0; i < notches; ++i)
        if (!MouseFailure(step, desk_.Mouse(handle, wheel))) break;
    } else if (d == "inspect") {
      WindowReport r = desk_.Describe(WindowOf(step, step.arguments[0]));
      std::fprintf(out_, "%s: rectangle %dx%d, charts %d, chart at %d,%d size %dx%d\n",
                   step.arguments[0].c_str(), r.width, r.height, r.charts, r.chartX, r.chartY,
                   r.chartWidth, r.chartHeight);
    } else if (d == "destroy") {
      // The host's object loses its window behind the plug-in's back.
      desk_.DestroyRectangle(WindowOf(step, step.arguments[0]));
      host_.SetObjectWindow(PluginLibrary::ToHostText(step.arguments[0]), 0);
    } else if (d == "save") {
      Save(step.line, WindowOf(step, step.arguments[0]), step.arguments[1]);
    } else if (d == "message") {
      host_.Exports().message(ParseWhole(step, 0, INT32_MIN, INT32_MAX));
    } else if (d == "print") {
      const auto& vars = host_.Variables();
      auto it = vars.find(PluginLibrary::ToHostText(step.arguments[0]));
      std::string value = it == vars.end() ? "" : PluginLibrary::FromHostText(it->second);
      std::fprintf(out_, "%s=%s\n", step.arguments[0].c_str(), value.c_str());
    }
  }

  // Each step runs once: its texts become the host's texts in place and go with the action.
  void RunAction(ScriptStep& step) {
    const RecordedRegistration* action = host_.FindAction(step.name);
    std::vector<std::string> texts = std::move(step.arguments);
    for (std::string& t : texts) t = PluginLibrary::ToHostText(t);
    std::vector<char*> pointers;
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    if (options_.trace) desk_.ListenForReason();
    Bool32 result = host_.Exports().execAction(action->number, pointers.data());
    if (options_.trace) {
      const std::string reason = desk_.ActionReason();
      std::fprintf(out_, "%d: %s -> %s%s%s\n", step.line, step.name.c_str(),
                   result ? "true" : "false", reason.empty() ? "" : ": ", reason.c_str());
    }
  }

  // A drag from (X0, Y0) to (X1, Y1) with the left or the right button.
  void Drag(const ScriptStep& step) {
    int32_t handle = WindowOf(step, step.arguments[0]);
    const int32_t x0 = ParseWhole(step, 1, -kMaxRectangleSide, kMaxRectangleSide);
    const int32_t y0 = ParseWhole(step, 2, -kMaxRectangleSide, kMaxRectangleSide);
    const int32_t x1 = ParseWhole(step, 3, -kMaxRectangleSide, kMaxRectangleSide);
    const int32_t y1 = ParseWhole(step, 4, -kMaxRectangleSide, kMaxRectangleSide);
    MouseInput input;
    input.right = step.arguments.size() == 6;
    input.kind = MouseInput::Kind::Down;
    input.x = x0;
    input.y = y0;
    if (!MouseFailure(step, desk_.Mouse(handle, input))) return;
    input.kind = MouseInput::Kind::Move;
    for (int32_t i = 1; i <= kDragSteps; ++i) {
      input.x = x0 + (x1 - x0) * i / kDragSteps;
      input.y = y0 + (y1 - y0) * i / kDragSteps;
      desk_.Mouse(handle, input);
    }
    input.kind = MouseInput::Kind::Up;
    desk_.Mouse(handle, input);
  }

  // Mouse input for a rectangle without a chart window goes nowhere: said, status 1, and the
  // script goes on.
  bool MouseFailure(const ScriptStep& step, bool delivered) {
    if (!delivered) {
      std::fprintf(errors_, "%s:%d: no chart window over '%s' for the mouse\n",
                   options_.scriptPath.c_str(), step.line, step.arguments[0].c_str());
      status_ = 1;
    }
    return delivered;
  }

  void SaveRemaining() {
    for (const std::string& name : order_) {
      int32_t window = rectangles_[name];
      // A rectangle without a chart window has nothing to show: no file, no error.
      if (desk_.Describe(window).charts == 0) continue;
      Save(0, window, name + "." + options_.format);
    }
  }

  PluginHost& host_;
  HostDesk& desk_;
  const RunOptions& options_;
  std::FILE* out_;
  std::FILE* errors_;
  std::map<std::string, int32_t> rectangles_;
  std::vector<std::string> order_;
  std::set<std::string> declared_;
  bool sawSave_ = false;
  int status_ = 0;
};

}  // namespace

int RunScript(PluginHost& host, HostDesk& desk, const RunOptions& options, std::FILE* out,
              std::FILE* errors) {
  return Runner(host, desk, options, out, errors).Run();
}

}  // namespace zq::host
