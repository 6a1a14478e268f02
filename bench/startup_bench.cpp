// Start-up without a window: the whole loading sequence (language, catalog, start-up tick,
// read-out, material library and every scene object) on the build's data directory, as
// the main window runs it before the first frame. QUENMAR_BENCH_DATA overrides the folder.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "shell/session.h"

namespace {

std::string DataDir() {
  const char* env = std::getenv("QUENMAR_BENCH_DATA");
  return env && *env ? env : QUENMAR_DATA_DIR;
}

void BM_StartUp(benchmark::State& state) {
  const std::string dir = DataDir();
  int materials = 0, objects = 0;
  for (auto _ : state) {
    shell::Session s;
    int pumped = 0;
    s.StartUp(dir, 1, {.process_events = [&] { ++pumped; }});
    materials = s.world.scene().matlib.size();
    objects = s.world.scene().object_count();
    benchmark::DoNotOptimize(pumped);
  }
  state.counters["materials"] = materials;
  state.counters["objects"] = objects;
}

BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
