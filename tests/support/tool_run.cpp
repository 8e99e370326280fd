#include "support/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace zq::testing {

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ShellQuote(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

ToolResult RunShell(const std::string& command, const std::filesystem::path& dir) {
  const std::filesystem::path out = dir / "stdout.txt", err = dir / "stderr.txt";
  const std::string redirected =
      command + " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  ToolResult r;
  const int raw = std::system(redirected.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadFileBytes(out);
  r.err = ReadFileBytes(err);
  return r;
}

}  // namespace zq::testing
