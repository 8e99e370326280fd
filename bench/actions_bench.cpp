// Script actions through the plug-in's exports, as a host runs them: a series of a million
// points from its X and Y texts, the repaint of that chart, and deleting runs of points.
// The plug-in is loaded with dlopen from ZQ_PLUGIN_PATH, else from the build folder above this
// program (build the zqlinechart target first).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "../tools/common/plugin_api.h"

namespace {

using namespace zq::host;

struct Plugin {
  PluginExports exports;
  HeadlessHostApi headless;
  int32_t window = 0;  // the host window that request code 7 answers
};

void ZQ_STDCALL OnAddAction(zq::Int32, char*, char*, uint8_t*, zq::Int32, zq::Int32) {}
void ZQ_STDCALL OnSetVar(char*, char*) {}

Plugin& Loaded();

zq::Bool32 ZQ_STDCALL OnInterfaceAccess(zq::Int32 code, char** text) {
  if (code != 7 || text == nullptr) return zq::kFalse;
  const std::string answer = std::to_string(Loaded().window);
  char* block = static_cast<char*>(std::malloc(answer.size() + 1));
  if (block == nullptr) return zq::kFalse;
  std::memcpy(block, answer.c_str(), answer.size() + 1);
  std::free(*text);
  *text = block;
  return zq::kTrue;
}

std::string LibraryPath() {
  if (const char* path = std::getenv("ZQ_PLUGIN_PATH")) return path;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "libzqlinechart.so").string();
}

Plugin& Loaded() {
  static Plugin plugin = [] {
    // Number texts below use a decimal point.
    setenv("ZQ_LOCALE", "en-US", 1);
    const std::string path = LibraryPath();
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) throw std::runtime_error("cannot load " + path);
    auto lookup = [library](const char* name) { return dlsym(library, name); };
    Plugin p;
    p.exports = ResolveExports(lookup);
    p.headless = ResolveHeadlessHost(lookup);
    if (!p.exports.Complete() || !p.headless.Complete())
      throw std::runtime_error(path + " lacks entry points");
    char* name = nullptr;
    char* author = nullptr;
    char* description = nullptr;
    p.exports.initPlugIn(0, &name, &author, &description);
    std::free(name);
    std::free(author);
    std::free(description);
    p.exports.registerPlugIn(&OnAddAction, nullptr, nullptr, &OnSetVar);
    p.exports.registerInterfaceAccess(&OnInterfaceAccess);
    p.window = p.headless.createWindow(800, 500);
    return p;
  }();
  return plugin;
}

bool Exec(int32_t number, std::vector<std::string> args) {
  std::vector<char*> pointers;
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  return Loaded().exports.execAction(number, pointers.data()) != 0;
}

// "0|1|2|..." and a wavy Y list with fractions, n items each.
struct Lists {
  std::string xs, ys;
};
const Lists& PointLists(int64_t n) {
  static std::vector<std::pair<int64_t, Lists>> cache;
  for (const auto& [count, lists] : cache)
    if (count == n) return lists;
  Lists l;
  l.xs.reserve(size_t(n) * 8);
  l.ys.reserve(size_t(n) * 8);
  char buffer[32];
  for (int64_t i = 0; i < n; ++i) {
    if (i) l.xs += '|', l.ys += '|';
    l.xs += std::to_string(i);
    std::snprintf(buffer, sizeof buffer, "%.2f", double((i * 7919) % 2000) / 10.0 - 100.0);
    l.ys += buffer;
  }
  cache.emplace_back(n, std::move(l));
  return cache.back().second;
}

void FreshChart() {
  Loaded().exports.message(2);
  Exec(1, {"Bench"});
}

// Parse and add: zqCreateSeriesLine of n points into a new series.
void BM_CreateSeriesLine(benchmark::State& state) {
  const Lists& lists = PointLists(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    FreshChart();
    state.ResumeTiming();
    Exec(3, {"Bench", "Big", lists.xs, lists.ys, "", "0,0,255"});
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetBytesProcessed(state.iterations() * int64_t(lists.xs.size() + lists.ys.size()));
  Loaded().exports.message(2);
}
BENCHMARK(BM_CreateSeriesLine)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Parse only: X and Y counts differ by one, so the lists are cut and nothing is added.
void BM_CreateSeriesLineParseOnly(benchmark::State& state) {
  const Lists& lists = PointLists(state.range(0));
  const std::string ys = lists.ys + "|1";
  FreshChart();
  for (auto _ : state) Exec(3, {"Bench", "Big", lists.xs, ys, "", "0,0,255"});
  state.SetItemsProcessed(state.iterations() * state.range(0));
  Loaded().exports.message(2);
}
BENCHMARK(BM_CreateSeriesLineParseOnly)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The yardstick of the two above: a bare strtod loop over the same X and Y texts.
void BM_StrtodLoop(benchmark::State& state) {
  const Lists& lists = PointLists(state.range(0));
  for (auto _ : state) {
    double sum = 0;
    for (const std::string* text : {&lists.xs, &lists.ys}) {
      const char* p = text->c_str();
      for (char* end = nullptr;; p = end + 1) {
        sum += std::strtod(p, &end);
        if (*end != '|') break;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StrtodLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One repaint of a chart with n points: a change of rotation invalidates it, the clock paints.
void Repaint(benchmark::State& state, bool view3D, bool save) {
  const Lists& lists = PointLists(state.range(0));
  FreshChart();
  Exec(3, {"Bench", "Big", lists.xs, lists.ys, "", "0,0,255"});
  Exec(34, {"Bench", view3D ? "True" : "False"});
  const std::string png =
      (std::filesystem::temp_directory_path() / "zq_actions_bench.png").string();
  int turn = 0;
  for (auto _ : state) {
    Exec(38, {"Bench", (++turn & 1) ? "321" : "320"});
    if (save) {
      Loaded().headless.saveWindow(Loaded().window, png.c_str());
    } else {
      Loaded().headless.advanceClock(0);
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  Loaded().exports.message(2);
}
void BM_Repaint3D(benchmark::State& state) {
  Repaint(state, true, false);
}
void BM_Repaint2D(benchmark::State& state) {
  Repaint(state, false, false);
}
void BM_RepaintAndSavePng(benchmark::State& state) {
  Repaint(state, true, true);
}
BENCHMARK(BM_Repaint3D)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Repaint2D)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAndSavePng)->Arg(1000000)->Unit(benchmark::kMillisecond);

// zqDeleteDotSeries "0|k" on a series of 100000 points: each deleted point moves the rest.
void BM_DeleteDotSeries(benchmark::State& state) {
  const Lists& lists = PointLists(100000);
  const std::string selection = "0|" + std::to_string(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    FreshChart();
    Exec(3, {"Bench", "Big", lists.xs, lists.ys, "", "0,0,255"});
    state.ResumeTiming();
    Exec(5, {"Bench", "Big", selection});
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  Loaded().exports.message(2);
}
// The set-up costs far more than small deletions: a few iterations are enough.
BENCHMARK(BM_DeleteDotSeries)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
