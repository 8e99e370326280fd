// The cost of one soak cycle (tests/support/soak_cycle.h): eight charts of five 300-point
// series, every action on each, resizes, roll ticks, paints, then message 2.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "support/soak_cycle.h"

namespace {

void BM_SoakCycle(benchmark::State& state) {
  zq::testing::SoakCycle soak(std::filesystem::temp_directory_path().string());
  int cycle = 0;
  for (auto _ : state) soak.Run(cycle++);
}
BENCHMARK(BM_SoakCycle)->Unit(benchmark::kMillisecond);

}  // namespace
