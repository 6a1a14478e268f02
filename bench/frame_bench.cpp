// The frame loop's logic (every step but the rendering) on a full colony: 1001 placed
// buildings covering the whole grid, so every building has its neighbours and all their
// tubes are shown. The same colony runs once with the indexed cell lookup the game uses
// and once with the literal walk over all 1001 slots, in the same run.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/construction.h"
#include "core/game.h"
#include "presentation/world.h"

namespace {

struct FullColony {
  FullColony() {
    g.exe_dir = (std::filesystem::temp_directory_path() / "quenmar-bench-no-data").string();
    g.hud_mode = true;
    for (int k = 0; k < core::kPlacedSize; ++k) {
      core::building& b = g.placed[static_cast<size_t>(k)];
      b.exists = true;
      b.id = k % 23;
      b.active = k % 7 != 0;
      b.construction = k % 11 == 0 ? 50 : 0;
      b.cst = 100;
      b.up = 1;
      b.upl = 3;
      b.x = k / 30;
      b.y = k % 30;
    }
    g.PlacedChanged();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    world.SetViewSize(1008, 709);
    core::SelectBuilding(g, 500);
    g.cam_target_x = 300;
    g.cam_target_y = 300;
    auto& shuttles = world.traffic().shuttles();
    for (int s = 0; s < 5; ++s) {
      shuttles[static_cast<size_t>(s)].active = true;
      shuttles[static_cast<size_t>(s)].x2 = 20.0 * s;
      shuttles[static_cast<size_t>(s)].y2 = 100;
    }
    // Settle: the first frame places and shows everything once.
    world.GLCadencer2Progress(0.016, 0);
  }
  core::Game g;
  presentation::World world{g};
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

BENCHMARK(BM_FrameLoop_IndexedLookup)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_FrameLoop_SlotScan)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
