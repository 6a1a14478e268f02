#pragma once
// The benchmarks' full colony: 1001 placed buildings covering a 34 × 30 block of the grid,
// so every building has its neighbours and all their tubes show; a seventh switched off,
// an eleventh under construction, slot 500 selected in the HUD's building panel and five
// shuttles flying.
#include <string>

#include "core/construction.h"
#include "core/game.h"
#include "presentation/world.h"

namespace bench_support {

struct FullColony {
  explicit FullColony(const std::string& data_dir) {
    g.exe_dir = data_dir;
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
    // The whole HUD, with the building panel open: its text is composed every frame.
    world.hud().InitHudButtons();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    world.SetViewSize(1008, 709);
    core::SelectBuilding(g, 500);
    g.bldg_panel = true;
    auto& shuttles = world.traffic().shuttles();
    for (int s = 0; s < 5; ++s) {
      shuttles[static_cast<size_t>(s)].active = true;
      shuttles[static_cast<size_t>(s)].x2 = 20.0 * s;
      shuttles[static_cast<size_t>(s)].y2 = 100;
    }
  }

  core::Game g;
  presentation::World world{g};
};

}  // namespace bench_support
