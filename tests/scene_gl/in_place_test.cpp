// Containers and the tube layer kept up to date in place against ones built from scratch:
// the game's full colony goes through seeded random constructions, demolitions,
// earthquakes, finished and switched-off buildings, the tube switch and the view switch,
// and after every step a renderer that has drawn every frame since the start must draw
// exactly what a new one draws, without building any container anew.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "full_colony.h"
#include "scene/gl/viewer.h"

namespace {

constexpr int kW = 640, kH = 450;

void Keep(const QImage& kept, const QImage& fresh, int step) {
  const char* dir = std::getenv("QUENMAR_TEST_SHOTS");
  if (!dir || !*dir) return;
  kept.save(QString::fromUtf8(dir) + QString("/in_place_%1_kept.png").arg(step));
  fresh.save(QString::fromUtf8(dir) + QString("/in_place_%1_fresh.png").arg(step));
}

TEST(ContainersInPlace, EveryChangeOfTheColonyDrawsAsAContainerBuiltAfresh) {
  bench_support::FullColony colony{QUENMAR_DATA_DIR};
  ASSERT_GE(colony.world.matlib_info().max_terrain, 0) << "no textures in " << QUENMAR_DATA_DIR;
  scene::gl::OffscreenRenderer kept;
  ASSERT_TRUE(kept.ok()) << kept.error();
  core::Game& g = colony.g;
  scene::MainScene& ms = colony.world.main_scene();
  // The whole colony in view, plane by plane (the tube layer is drawn from the same
  // container, but only where it changed).
  kept.SetLayers(false);
  auto frame = [&] {
    colony.world.PlaceCamera(330, 290, 200);
    colony.world.GLCadencer2Progress(0.016, 0);
    ms.camera->SetZ(g.isometric ? 330.0f : 420.0f);
  };
  frame();
  kept.Render(ms.scene, *ms.camera, kW, kH, false);

  std::mt19937 rng(24);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  // Cells no slot starts on: a slot built again may move there.
  std::vector<std::pair<int, int>> free_cells;
  for (int y = 11; y < 30; ++y) free_cells.emplace_back(33, y);
  int changes = 0;
  for (int step = 0; step < 14; ++step) {
    // Every kind once (the tubes switched off and on again), then at random; the tubes
    // stay on from there, so that the layer at the end went through every change.
    constexpr int kAfter[] = {0, 1, 2, 3, 5};
    const int what = step < 5 ? step : step == 5 ? 4 : kAfter[pick(5)];
    switch (what) {
      case 0:  // an earthquake takes many
        for (int k = 0; k < 40; ++k) g.placed[static_cast<size_t>(pick(core::kPlacedSize))].exists = false;
        break;
      case 1: {  // a building goes up on a free cell, by an empty slot
        for (int k = 0; k < 3; ++k) {
          int slot = pick(core::kPlacedSize);
          while (g.placed[static_cast<size_t>(slot)].exists) slot = (slot + 1) % core::kPlacedSize;
          core::building& b = g.placed[static_cast<size_t>(slot)];
          if (!free_cells.empty() && pick(2) == 0) {
            // Its old cell is free now, its new one taken.
            const size_t c = static_cast<size_t>(pick(static_cast<int>(free_cells.size())));
            std::swap(free_cells[c].first, b.x);
            std::swap(free_cells[c].second, b.y);
          }
          b.exists = true;
          b.construction = pick(2) ? 50 : 0;
        }
        break;
      }
      case 2:  // one goes
        g.placed[static_cast<size_t>(pick(core::kPlacedSize))].exists = false;
        break;
      case 3:  // constructions finish, buildings are switched off and on
        for (int k = 0; k < 6; ++k) {
          core::building& b = g.placed[static_cast<size_t>(pick(core::kPlacedSize))];
          b.construction = 0;
          b.active = !b.active;
        }
        break;
      case 4:  // "No connection tubes"
        g.tubes_off = !g.tubes_off;
        break;
      default:
        colony.world.ToggleIsometric();
        break;
    }
    g.PlacedChanged();
    frame();
    // The tube layer follows every step too, a few tiles a frame.
    kept.SetLayers(true);
    kept.Render(ms.scene, *ms.camera, kW, kH, false);
    EXPECT_EQ(kept.stats().groups_rebuilt, 0) << "step " << step;
    changes += kept.stats().groups_updated;
    kept.SetLayers(false);
    const QImage in_place = kept.Render(ms.scene, *ms.camera, kW, kH, true);
    EXPECT_EQ(kept.stats().groups_rebuilt, 0) << "step " << step;
    scene::gl::OffscreenRenderer fresh;
    fresh.SetLayers(false);
    const QImage afresh = fresh.Render(ms.scene, *ms.camera, kW, kH, true);
    EXPECT_EQ(kept.stats().world_quads, fresh.stats().world_quads) << "step " << step;
    EXPECT_TRUE(in_place == afresh) << "step " << step << " (kind " << what << ")";
    Keep(in_place, afresh, step);
  }
  EXPECT_GE(changes, 14);

  // The layer kept up to date through all of it against one drawn afresh, both complete.
  auto layered = [&](scene::gl::OffscreenRenderer& r) {
    r.SetLayers(true);
    QImage shot;
    for (int k = 0; k < 100; ++k) {
      shot = r.Render(ms.scene, *ms.camera, kW, kH, true);
      if (r.stats().layer_tiles_redrawn == 0) break;
    }
    EXPECT_EQ(r.stats().layers_shown, 1);
    return shot;
  };
  scene::gl::OffscreenRenderer fresh;
  const QImage a = layered(kept), b = layered(fresh);
  Keep(a, b, 99);
  EXPECT_TRUE(a == b);
}

}  // namespace
