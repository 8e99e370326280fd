// Plays a script (the zqchart script language) against the plug-in through its exports, with a
// host desk standing in for the host application's windows.
#pragma once

#include <cstdio>
#include <string>

namespace zq::host {

class HostDesk;
class PluginHost;

struct RunOptions {
  std::string scriptPath;
  std::string outputDir = ".";
  std::string format = "png";  // for the pictures saved at the end of a script without @save
  bool trace = false;
};

// Runs the script; answers the exit status: 0 done, 1 a picture could not be saved,
// 2 a malformed script (reported as FILE:LINE: message on `errors`).
int RunScript(PluginHost& host, HostDesk& desk, const RunOptions& options, std::FILE* out,
              std::FILE* errors);

}  // namespace zq::host
