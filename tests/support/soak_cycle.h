// One cycle of a long-running host, for the soak test and its benchmark: many charts with many
// series, every action on each, resizes, roll ticks and paints, and message 2 at the end, which
// leaves nothing behind.
#pragma once

#include <cstdint>
#include <string>

namespace zq::testing {

struct SoakSize {
  int charts = 8;
  int series = 5;
  int points = 300;
};

class SoakCycle {
 public:
  // `folder` receives the picture file the picture action loads.
  explicit SoakCycle(const std::string& folder, SoakSize size = {});
  ~SoakCycle();
  SoakCycle(const SoakCycle&) = delete;
  SoakCycle& operator=(const SoakCycle&) = delete;

  // One cycle; `cycle` varies sizes and texts a little from one to the next.
  void Run(int cycle);

 private:
  SoakSize size_;
  std::string picture_;
};

// The resident memory of this process, in bytes.
int64_t ResidentBytes();

}  // namespace zq::testing
