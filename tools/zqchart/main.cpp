// zqchart: a command-line host for the zqLineChart plug-in.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/headless_desk.h"
#include "common/plugin_host.h"
#include "common/runner.h"
#include "platform/codepage.h"
#include "zqchart/edit.h"

namespace {

const char* kUsage =
    "usage: zqchart [--plugin PATH] COMMAND\n"
    "  actions      list the actions the plug-in registers, by category\n"
    "  actions --reference [ACTION]\n"
    "               every action's parameters as its property dialog shows them (Markdown)\n"
    "  run SCRIPT [--out DIR] [--format png|svg|pdf] [--locale ru-RU|en-US] [--trace]\n"
    "               play an action script and save the charts it shows\n"
    "  edit ACTION [PARAM...] [--describe] [--set ROW=TEXT] [--choose ROW=WORD]\n"
    "       [--pick ROW=ANSWER] [--refuse ROW] [--no-interface-access] [--color ROW=R,G,B]\n"
    "       [--font ROW=FACE,SIZE[,bold][,italic][,underline][,strikeout][,charset=N]\n"
    "       [,color=R,G,B]] [--cancel]\n"
    "               open the action's property dialog, fill its rows in the order given,\n"
    "               press \"OK\" (or \"Отмена\") and print the parameters\n";

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "zqchart: %s\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

int ListActions(zq::host::PluginHost& host) {
  host.Register();
  std::printf("%s — %s\n", zq::platform::Cp1251ToUtf8(host.Name()).c_str(),
              zq::platform::Cp1251ToUtf8(host.Description()).c_str());
  int actions = 0;
  for (const auto& r : host.Registrations()) {
    std::string name = zq::platform::Cp1251ToUtf8(r.name);
    if (r.number == 0) {
      std::printf("\n%s\n", name.c_str());
    } else {
      ++actions;
      std::printf("  %2d  %-22s %d parameter%s\n", r.number, name.c_str(), r.parameterCount,
                  r.parameterCount == 1 ? "" : "s");
      std::printf("      %s\n", zq::platform::Cp1251ToUtf8(r.description).c_str());
    }
  }
  std::printf("\n%d actions in %zu registrations\n", actions, host.Registrations().size());
  return 0;
}

// The plug-in beside the program (as in the build folder), else where the installation puts it
// relative to the program, so that an installed tree works wherever it lies.
std::string DefaultPluginPath() {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path dir = error ? fs::path(".") : program.parent_path();
  const fs::path beside = dir / ZQ_PLUGIN_FILE_NAME;
  if (fs::exists(beside, error)) return beside.string();
  return (dir / ZQ_PLUGIN_INSTALLED_DIR / ZQ_PLUGIN_FILE_NAME).lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin = DefaultPluginPath();
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  if (i + 1 < args.size() && args[i] == "--plugin") {
    plugin = args[i + 1];
    i += 2;
  }
  if (i >= args.size()) return Usage(nullptr);
  std::string command = args[i++];

  zq::host::RunOptions options;
  zq::zqchart::EditOptions edit;
  std::string reference;
  bool referencing = false;
  if (command == "edit") {
    std::vector<std::string> rest(args.begin() + std::ptrdiff_t(i), args.end());
    if (std::optional<std::string> problem = zq::zqchart::ParseEditArguments(rest, edit))
      return Usage(problem->c_str());
  } else if (command == "actions" && i < args.size()) {
    if (args[i] != "--reference" || args.size() - i > 2)
      return Usage("actions takes only --reference [ACTION]");
    referencing = true;
    if (i + 1 < args.size()) reference = args[i + 1];
  } else if (command == "run") {
    for (; i < args.size(); ++i) {
      const std::string& a = args[i];
      auto value = [&](const char* what) -> const std::string* {
        if (i + 1 >= args.size()) return nullptr;
        (void)what;
        return &args[++i];
      };
      if (a == "--out") {
        const std::string* v = value("--out");
        if (!v) return Usage("--out needs a folder");
        options.outputDir = *v;
      } else if (a == "--format") {
        const std::string* v = value("--format");
        if (!v || (*v != "png" && *v != "svg" && *v != "pdf"))
          return Usage("--format takes png, svg or pdf");
        options.format = *v;
      } else if (a == "--locale") {
        const std::string* v = value("--locale");
        if (!v || (*v != "ru-RU" && *v != "en-US")) return Usage("--locale takes ru-RU or en-US");
        // Read by the plug-in when it loads, as Windows' regional settings would be.
        setenv("ZQ_LOCALE", v->c_str(), 1);
      } else if (a == "--trace") {
        options.trace = true;
      } else if (options.scriptPath.empty() && a.rfind("--", 0) != 0) {
        options.scriptPath = a;
      } else {
        return Usage(("unexpected argument '" + a + "'").c_str());
      }
    }
    if (options.scriptPath.empty()) return Usage("run needs a script");
  } else if (command != "actions") {
    return Usage(("unknown command '" + command + "'").c_str());
  }

  try {
    zq::host::PluginHost host(plugin);
    if (command == "edit") return zq::zqchart::RunEdit(host, edit, stdout, stderr);
    if (referencing) return zq::zqchart::PrintReference(host, reference, stdout, stderr);
    if (command == "actions") return ListActions(host);
    if (!host.Headless().Complete()) {
      std::fprintf(stderr, "zqchart: %s has no headless-host interface\n", plugin.c_str());
      return 1;
    }
    zq::host::HeadlessDesk desk(host.Headless());
    return zq::host::RunScript(host, desk, options, stdout, stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zqchart: %s\n", e.what());
    return 1;
  }
}
