// The zqchart script language: directives, comments and action lines.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zq::host {

// A malformed script line; the runner reports it as FILE:LINE: message.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

struct ScriptStep {
  enum class Kind { Directive, Action };
  Kind kind = Kind::Action;
  int line = 0;
  std::string name;                    // directive without "@", or the action name
  std::vector<std::string> arguments;  // directive words, or the action's parameters (UTF-8)
};

// Parses a whole script. Comments ("#") and blank lines are skipped. An action line is the
// action's name followed by its parameters, each in double quotes, a doubled quote standing
// for one quote. Throws ScriptError for unbalanced quotes or text outside quotes.
std::vector<ScriptStep> ParseScript(const std::string& text);

}  // namespace zq::host
