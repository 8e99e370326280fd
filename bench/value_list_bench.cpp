// Value list costs: ordered appends, random-order inserts, statistics, and bytes per point.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

#include "engine/data/value_list.h"

// Counts the bytes allocated through global new, so a benchmark can report what a point costs.
namespace {
std::atomic<int64_t> g_liveBytes{0};
std::atomic<int64_t> g_peakBytes{0};

void* CountedAlloc(std::size_t size) {
  // The size is kept in front of the block for the matching delete.
  void* block = std::malloc(size + 16);
  if (!block) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  int64_t live = g_liveBytes += int64_t(size);
  int64_t peak = g_peakBytes.load();
  while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(block) + 16;
}

void CountedFree(void* p) {
  if (!p) return;
  void* block = static_cast<char*>(p) - 16;
  g_liveBytes -= int64_t(*static_cast<std::size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
  return CountedAlloc(size);
}
void* operator new[](std::size_t size) {
  return CountedAlloc(size);
}
void operator delete(void* p) noexcept {
  CountedFree(p);
}
void operator delete[](void* p) noexcept {
  CountedFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
  CountedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  CountedFree(p);
}

namespace {

using zq::TChartListOrder;
using zq::TChartValueList;

std::vector<double> RandomValues(int64_t count) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> dist(0.0, 1e6);
  std::vector<double> v(static_cast<size_t>(count));
  for (double& x : v) x = dist(rng);
  return v;
}

// Reports live bytes per point of the list just filled (vector growth included).
void ReportBytesPerPoint(benchmark::State& state, int64_t before, int64_t count) {
  state.counters["bytes_per_point"] =
      benchmark::Counter(double(g_liveBytes.load() - before) / double(count));
}

void BM_AppendAscending(benchmark::State& state) {
  const int64_t count = state.range(0);
  for (auto _ : state) {
    const int64_t before = g_liveBytes.load();
    TChartValueList list;
    list.SetOrder(TChartListOrder::loAscending);
    for (int64_t i = 0; i < count; ++i) list.AppendOrdered(double(i));
    benchmark::DoNotOptimize(list.RawValues().data());
    state.PauseTiming();
    ReportBytesPerPoint(state, before, count);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendAscending)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The floor: a bare vector growing the same way.
void BM_VectorPushBack(benchmark::State& state) {
  const int64_t count = state.range(0);
  for (auto _ : state) {
    std::vector<double> v;
    for (int64_t i = 0; i < count; ++i) v.push_back(double(i));
    benchmark::DoNotOptimize(v.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_VectorPushBack)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_AppendAscendingReserved(benchmark::State& state) {
  const int64_t count = state.range(0);
  for (auto _ : state) {
    const int64_t before = g_liveBytes.load();
    TChartValueList list;
    list.SetOrder(TChartListOrder::loAscending);
    list.Reserve(int32_t(count));
    for (int64_t i = 0; i < count; ++i) list.AppendOrdered(double(i));
    benchmark::DoNotOptimize(list.RawValues().data());
    state.PauseTiming();
    ReportBytesPerPoint(state, before, count);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendAscendingReserved)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_AppendRandomOrder(benchmark::State& state) {
  const int64_t count = state.range(0);
  const std::vector<double> values = RandomValues(count);
  for (auto _ : state) {
    const int64_t before = g_liveBytes.load();
    TChartValueList list;
    list.SetOrder(TChartListOrder::loAscending);
    for (double v : values) list.AppendOrdered(v);
    benchmark::DoNotOptimize(list.RawValues().data());
    state.PauseTiming();
    ReportBytesPerPoint(state, before, count);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AppendRandomOrder)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Statistics(benchmark::State& state) {
  const int64_t count = state.range(0);
  TChartValueList list;
  for (double v : RandomValues(count)) list.AppendOrdered(v);
  for (auto _ : state) {
    list.SetMultiplier(list.Multiplier() == 1.0 ? 2.0 : 1.0);  // makes the cache stale
    benchmark::DoNotOptimize(list.Lowest());
    benchmark::DoNotOptimize(list.Highest());
    benchmark::DoNotOptimize(list.Sum());
    benchmark::DoNotOptimize(list.SumAbs());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_Statistics)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_StatisticsCached(benchmark::State& state) {
  const int64_t count = state.range(0);
  TChartValueList list;
  for (double v : RandomValues(count)) list.AppendOrdered(v);
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.Lowest());
    benchmark::DoNotOptimize(list.Highest());
    benchmark::DoNotOptimize(list.Sum());
    benchmark::DoNotOptimize(list.SumAbs());
  }
}
BENCHMARK(BM_StatisticsCached)->Arg(1000000);

void BM_SortByOrder(benchmark::State& state) {
  const int64_t count = state.range(0);
  const std::vector<double> values = RandomValues(count);
  for (auto _ : state) {
    state.PauseTiming();
    TChartValueList list;
    for (double v : values) list.AppendOrdered(v);
    list.SetOrder(TChartListOrder::loAscending);
    state.ResumeTiming();
    list.SortByOrder();
    benchmark::DoNotOptimize(list.RawValues().data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SortByOrder)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
