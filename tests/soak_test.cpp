// A host that runs for long: cycles of many charts and series with every action and message 2
// in between. Memory stays flat from cycle to cycle (the resident size of the last cycle within
// 1 MiB of an early one); the sanitizer build runs a few cycles and checks for leaks instead.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "support/image_compare.h"
#include "support/soak_cycle.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define ZQ_LEAK_CHECKED 1
#endif

namespace {

TEST(Soak, MemoryFlatFromCycleToCycle) {
#ifdef ZQ_LEAK_CHECKED
  // Smaller: every action still runs, and a leak shows in one cycle as in thirty.
  zq::testing::SoakCycle soak(zq::testing::TestOutputPath(""), {3, 2, 50});
  for (int cycle = 0; cycle < 2; ++cycle) soak.Run(cycle);
  EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#else
  zq::testing::SoakCycle soak(zq::testing::TestOutputPath(""));
  constexpr int kCycles = 30;
  constexpr int kEarly = 5;  // caches (fonts, buffers) have filled by then
  int64_t early = 0;
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    soak.Run(cycle);
    if (cycle == kEarly) early = zq::testing::ResidentBytes();
  }
  const int64_t last = zq::testing::ResidentBytes();
  std::printf("resident after cycle %d: %lld bytes, after cycle %d: %lld bytes\n", kEarly,
              static_cast<long long>(early), kCycles - 1, static_cast<long long>(last));
  EXPECT_LE(last - early, int64_t(1) << 20) << "early " << early << " bytes, last " << last;
#endif
}

}  // namespace
