// The frame loop's logic (every step but the rendering) on a full colony: 1001 placed
// buildings covering the whole grid, so every building has its neighbours and all their
// tubes are shown. The same colony runs once with the indexed cell lookup the game uses
// and once with the literal walk over all 1001 slots, in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "full_colony.h"

namespace {

// Without textures: the frame loop's logic only.
struct FullColony : bench_support::FullColony {
  FullColony()
      : bench_support::FullColony(
            (std::filesystem::temp_directory_path() / "quenmar-bench-no-data").string()) {
    g.cam_target_x = 300;
    g.cam_target_y = 300;
    // Settle: the first frame places and shows everything once.
    world.GLCadencer2Progress(0.016, 0);
  }
};

void RunFrames(benchmark::State& state, presentation::CellLookupFn lookup) {
  FullColony colony;
  colony.world.cell_lookup = lookup;
  double t = 0;
  for (auto _ : state) {
    t += 0.016;
    colony.g.day_angle = t * 36.0;  // the sun moves every frame
    colony.world.GLCadencer2Progress(0.016, t);
    benchmark::ClobberMemory();
  }
  int tubes = 0;
  for (auto& halves : colony.world.objects().tube_planes)
    for (auto* p : halves) tubes += p->visible();
  state.counters["visible_tubes"] = tubes;
}

void BM_FrameLoop_IndexedLookup(benchmark::State& state) { RunFrames(state, core::BuildingAt); }
void BM_FrameLoop_SlotScan(benchmark::State& state) { RunFrames(state, core::BuildingAtScan); }

// The HUD's share of a frame: the information bar, the buttons and the overlay, with the
// building panel open.
void BM_HudSteps(benchmark::State& state) {
  FullColony colony;
  hud::Hud& h = colony.world.hud();
  for (auto _ : state) {
    h.ArrangeInfoIcons();
    h.ProcessButtons(1008, 709);
    h.ProcessUI(1008, 709, colony.world.readout(), 0.016);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_HudSteps)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameLoop_IndexedLookup)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameLoop_SlotScan)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
