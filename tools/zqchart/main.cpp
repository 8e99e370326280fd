// zqchart: a command-line host for the zqLineChart plug-in.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "platform/codepage.h"
#include "zqchart/plugin_host.h"

namespace {

const char* kUsage =
    "usage: zqchart [--plugin PATH] actions\n"
    "  actions   list the actions the plug-in registers, by category\n";

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

}  // namespace

int main(int argc, char** argv) {
  std::string plugin = ZQ_DEFAULT_PLUGIN;
  int i = 1;
  if (i + 1 < argc && std::strcmp(argv[i], "--plugin") == 0) {
    plugin = argv[i + 1];
    i += 2;
  }
  if (i >= argc) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string command = argv[i];
  try {
    zq::host::PluginHost host(plugin);
    if (command == "actions") return ListActions(host);
    std::fprintf(stderr, "zqchart: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zqchart: %s\n", e.what());
    return 1;
  }
}
