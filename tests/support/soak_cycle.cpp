#include "support/soak_cycle.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "actions/actions.h"
#include "platform/cairo/headless_windows.h"
#include "support/action_samples.h"
#include "support/action_stress.h"

namespace zq::testing {

namespace {

using platform::HeadlessWindowSystem;
using platform::WindowHandle;

class SoakHost : public actions::HostServices {
 public:
  std::string AskObjectWindow(const std::string& name) override {
    for (size_t i = 0; i < names.size(); ++i)
      if (names[i] == name) return std::to_string(windows[i]);
    return "0";
  }
  void SetVariable(const std::string&, const std::string&) override {}
  std::vector<std::string> names;
  std::vector<WindowHandle> windows;
};

std::string Values(int count, int cycle, int salt) {
  std::string text;
  text.reserve(size_t(count) * 6);
  for (int i = 0; i < count; ++i) {
    if (i) text += '|';
    text += std::to_string((i * 37 + cycle * 11 + salt * 5) % 997);
  }
  return text;
}

}  // namespace

SoakCycle::SoakCycle(const std::string& folder, SoakSize size)
    : size_(size), picture_(folder + "/soak_picture.bmp") {
  std::ofstream(picture_, std::ios::binary) << SmallBmpBytes();
}

SoakCycle::~SoakCycle() {
  std::remove(picture_.c_str());
}

void SoakCycle::Run(int cycle) {
  HeadlessWindowSystem& windows = HeadlessWindowSystem::Instance();
  SoakHost host;
  for (int c = 0; c < size_.charts; ++c) {
    host.names.push_back("Soak" + std::to_string(c));
    host.windows.push_back(windows.CreateHostWindow(200 + 20 * c + cycle % 7, 150 + 10 * c));
  }
  for (const std::string& name : host.names) {
    actions::RunAction(1, {name}, host);
    for (int s = 0; s < size_.series; ++s) {
      const std::string series = "S" + std::to_string(s);
      actions::RunAction(
          3,
          {name, series, Values(size_.points, cycle, s), Values(size_.points, s, cycle),
           s % 2 ? "" : "P", std::to_string(40 * s) + ",90,200"},
          host);
    }
    // Every other action, series ones on the first series.
    for (int32_t number = 4; number <= kActionCount; ++number)
      if (number != 4 && number != 5)
        actions::RunAction(number, SampleArguments(number, name, "S0", picture_), host);
    actions::RunAction(44, {name, "True", "7"}, host);
  }
  windows.AdvanceClock(450);
  for (size_t c = 0; c < host.windows.size(); ++c) {
    windows.ResizeHostWindow(host.windows[c], 300, 220);
    windows.SendToChildren(host.windows[c], 1274, 4);
    actions::RunAction(5, {host.names[c], "S1", "3|20"}, host);
    actions::RunAction(4, {host.names[c], "S2"}, host);
  }
  windows.AdvanceClock(300);
  // Message 2, then the host's windows go.
  actions::EndAllCharts();
  for (WindowHandle w : host.windows) windows.DestroyHostWindow(w);
}

int64_t ResidentBytes() {
  // Freed memory that the C library still holds (a freed back buffer of a few MB stays in the
  // heap or not, depending on what was freed around it) is given back first: what remains
  // resident is what the program holds.
  malloc_trim(0);
  std::ifstream statm("/proc/self/statm");
  int64_t size = 0, resident = 0;
  statm >> size >> resident;
  return resident * int64_t(sysconf(_SC_PAGESIZE));
}

}  // namespace zq::testing
