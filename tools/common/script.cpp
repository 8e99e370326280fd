#include "common/script.h"

#include <sstream>

namespace zq::host {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string> Words(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

ScriptStep ParseActionLine(std::string_view line, int number) {
  ScriptStep step;
  step.kind = ScriptStep::Kind::Action;
  step.line = number;
  size_t i = 0;
  while (i < line.size() && IsSpace(line[i])) ++i;
  size_t start = i;
  while (i < line.size() && !IsSpace(line[i]) && line[i] != '"') ++i;
  step.name = line.substr(start, i - start);
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    if (i >= line.size()) break;
    if (line[i] != '"')
      throw ScriptError(number, "parameters must be in double quotes, near '" +
                                    std::string(line.substr(i)) + "'");
    ++i;
    // Copied a run at a time between quotes: value lists of millions of items are long.
    std::string parameter;
    bool closed = false;
    while (i < line.size()) {
      const size_t quote = line.find('"', i);
      if (quote == std::string_view::npos) {
        i = line.size();
        break;
      }
      parameter.append(line.substr(i, quote - i));
      if (quote + 1 < line.size() && line[quote + 1] == '"') {
        parameter += '"';
        i = quote + 2;
        continue;
      }
      i = quote + 1;
      closed = true;
      break;
    }
    if (!closed) throw ScriptError(number, "unbalanced quotes");
    if (i < line.size() && !IsSpace(line[i]))
      throw ScriptError(number, "a blank must follow a closing quote");
    step.arguments.push_back(std::move(parameter));
  }
  return step;
}

}  // namespace

std::vector<ScriptStep> ParseScript(const std::string& text) {
  std::vector<ScriptStep> steps;
  int number = 0;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    ++number;
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos || line[first] == '#') continue;
    if (line[first] == '@') {
      std::vector<std::string> words = Words(line.substr(first + 1));
      ScriptStep step;
      step.kind = ScriptStep::Kind::Directive;
      step.line = number;
      if (words.empty()) throw ScriptError(number, "a directive needs a name after '@'");
      step.name = words.front();
      step.arguments.assign(words.begin() + 1, words.end());
      steps.push_back(std::move(step));
    } else {
      steps.push_back(ParseActionLine(line, number));
    }
  }
  return steps;
}

}  // namespace zq::host
