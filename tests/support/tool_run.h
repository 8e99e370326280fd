// Running the command-line tools from tests as a user runs them: the exit status and what
// they wrote to standard output and standard error.
#pragma once

#include <filesystem>
#include <string>

namespace zq::testing {

struct ToolResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadFileBytes(const std::filesystem::path& path);

// A text as one word of a POSIX shell command.
std::string ShellQuote(const std::string& text);

// Runs `command` with the shell; its output and errors pass through files in `dir`.
ToolResult RunShell(const std::string& command, const std::filesystem::path& dir);

}  // namespace zq::testing
