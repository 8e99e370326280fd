// nbhost: a Windows host for the zqLineChart DLL, for tests under Wine. It loads the DLL with
// LoadLibrary, calls its exports as the host authoring application does, and plays zqchart
// scripts in real windows.
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "common/plugin_host.h"
#include "common/runner.h"
#include "nbhost/window_desk.h"

namespace {

using namespace zq::host;

const char* kUsage =
    "usage: nbhost [--plugin PATH] COMMAND\n"
    "  register     print the plug-in's texts and registrations\n"
    "  run SCRIPT [--out DIR] [--format png|bmp] [--capture print|screen] [--trace]\n"
    "             [--draw-every-segment]\n"
    "               play an action script in real windows and save the charts it shows\n"
    "               (print: PrintWindow, the default; screen: a copy of the window's DC;\n"
    "               --draw-every-segment: a checking aid, the same pictures drawn the slow way)\n";

int Usage(const std::string& problem) {
  if (!problem.empty()) std::fprintf(stderr, "nbhost: %s\n", problem.c_str());
  std::fputs(kUsage, stderr);
  return 2;
}

std::string Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

// The command line as the user typed it, in UTF-8: argv would hold it in the ANSI code page,
// where letters outside it (or any letters, under a mismatched Wine locale) are lost.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(Utf8(wide[i]));
  if (wide != nullptr) LocalFree(wide);
  return args;
}

std::string DefaultPluginPath() {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  exe[n < MAX_PATH ? n : MAX_PATH - 1] = L'\0';
  std::string path = Utf8(exe);
  size_t slash = path.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
         "zqLineChart.dll";
}

// The texts and registrations as canonical lines, for comparing with the Linux library's.
int Register(const std::string& plugin) {
  PluginHost host(plugin);
  // Variables that already hold host texts: the plug-in must free them.
  char* name = PluginLibrary::AllocateText("old");
  char* author = PluginLibrary::AllocateText("old");
  char* description = nullptr;
  host.Exports().initPlugIn(0, &name, &author, &description);
  auto take = [](char*& text) {
    std::string s = text ? text : "";
    PluginLibrary::FreeText(text);
    text = nullptr;
    return s;
  };
  std::printf("name\t%s\n", HexOf(take(name)).c_str());
  std::printf("author\t%s\n", HexOf(take(author)).c_str());
  std::printf("description\t%s\n", HexOf(take(description)).c_str());
  host.Register();
  for (const RecordedRegistration& r : host.Registrations())
    std::printf("reg\t%s\n", DumpRegistration(r).c_str());
  std::printf("registrations\t%zu\n", host.Registrations().size());
  return 0;
}

}  // namespace

int main() {
  std::string plugin = DefaultPluginPath();
  const std::vector<std::string> args = Arguments();
  size_t i = 0;
  if (i + 1 < args.size() && args[i] == "--plugin") {
    plugin = args[i + 1];
    i += 2;
  }
  if (i >= args.size()) return Usage("");
  const std::string command = args[i++];
  RunOptions options;
  WindowDesk::Capture capture = WindowDesk::Capture::Print;
  if (command == "run") {
    for (; i < args.size(); ++i) {
      const std::string& a = args[i];
      const bool hasValue = i + 1 < args.size();
      if (a == "--out") {
        if (!hasValue) return Usage("--out needs a folder");
        options.outputDir = args[++i];
      } else if (a == "--format") {
        if (!hasValue || (args[i + 1] != "png" && args[i + 1] != "bmp"))
          return Usage("--format takes png or bmp");
        options.format = args[++i];
      } else if (a == "--capture") {
        if (!hasValue || (args[i + 1] != "print" && args[i + 1] != "screen"))
          return Usage("--capture takes print or screen");
        capture = args[++i] == "print" ? WindowDesk::Capture::Print : WindowDesk::Capture::Screen;
      } else if (a == "--trace") {
        options.trace = true;
      } else if (a == "--draw-every-segment") {
        // Read by the plug-in when it loads.
        SetEnvironmentVariableA("ZQ_DRAW_EVERY_SEGMENT", "1");
      } else if (a == "--plugin") {
        if (!hasValue) return Usage("--plugin needs a path");
        plugin = args[++i];
      } else if (options.scriptPath.empty() && a.rfind("--", 0) != 0) {
        options.scriptPath = a;
      } else {
        return Usage("unexpected argument '" + a + "'");
      }
    }
    if (options.scriptPath.empty()) return Usage("run needs a script");
  } else if (command != "register") {
    return Usage("unknown command '" + command + "'");
  }

  try {
    int status = 0;
    if (command == "register") {
      status = Register(plugin);
    } else {
      PluginHost host(plugin);
      WindowDesk desk(capture);
      status = RunScript(host, desk, options, stdout, stderr);
    }
    std::fflush(stdout);
    return status;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nbhost: %s\n", e.what());
    return 1;
  }
}
