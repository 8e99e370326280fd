#include "common/script.h"

#include <sstream>

namespace zq::host {

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

ScriptStep ParseActionLine(const std::string& line, int number) {
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
      throw ScriptError(number,
                        "parameters must be in double quotes, near '" + line.substr(i) + "'");
    ++i;
    std::string parameter;
    bool closed = false;
    while (i < line.size()) {
      if (line[i] == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          parameter += '"';
          i += 2;
          continue;
        }
        ++i;
        closed = true;
        break;
      }
      parameter += line[i++];
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
  std::istringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
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
