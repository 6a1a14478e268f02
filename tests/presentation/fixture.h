#pragma once
// Shared set-up for the presentation tests: a data folder with texture files (their bytes
// do not matter: nothing here decodes them) and a World over a plain game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/construction.h"
#include "core/game.h"
#include "presentation/world.h"
#include "support/test_data.h"

namespace presentation_test {

inline void WriteTextures(const testing_support::TempDir& dir, const std::vector<std::string>& files) {
  for (const auto& f : files) dir.Write("Textures/" + f, "tga");
}

// A HUD button table shaped like the game's: stateful buttons, one without states, captions,
// an absent slot and an invisible one.
inline hud::ButtonTable SampleButtons() {
  hud::ButtonTable b{};
  auto set = [&](int i, const char* tex, bool states, const char* caption, bool visible = true) {
    b[i].exists = true;
    b[i].texture = tex;
    b[i].hasstates = states;
    b[i].caption = caption;
    b[i].visible = visible;
    b[i].x = 100 + i;
    b[i].y = 50;
    b[i].width = 30;
    b[i].height = 20;
  };
  set(0, "mbutup", true, "");
  set(1, "mbutdown", true, "");
  set(2, "", false, "");
  set(3, "mbutup", true, "");   // a repeated texture adds nothing
  set(4, "but", true, "Buy", false);
  set(5, "plain", false, "");
  return b;
}

// Puts a building of type `id` on cell (x, y) in slot `slot`, finished and working.
inline void Place(core::Game& g, int slot, int x, int y, int id = 1, bool active = true, int construction = 0) {
  core::building& b = g.placed[static_cast<size_t>(slot)];
  b = core::building{};
  b.exists = true;
  b.active = active;
  b.id = id;
  b.x = x;
  b.y = y;
  b.cst = 100;
  b.up = 1;
  b.upl = 1;
  b.construction = construction;
  g.PlacedChanged();
}

inline void Remove(core::Game& g, int slot) {
  g.placed[static_cast<size_t>(slot)].exists = false;
  g.PlacedChanged();
}

// A world with its scene built over the given textures (none by default).
class WorldTest : public ::testing::Test {
 protected:
  void Build(const std::vector<std::string>& textures = {}) {
    WriteTextures(dir, textures);
    g.exe_dir = dir.path();
    world.hud().buttons() = SampleButtons();
    world.FillMatLib();
    world.ConstructScene();
    world.EnableClocks();
    world.SetViewSize(1008, 709);
  }
  // One frame of `dt` seconds (the frame loop alone, no day clock).
  void Frame(double dt = 0.02) { world.GLCadencer2Progress(dt, 0); }

  testing_support::TempDir dir;
  core::Game g;
  presentation::World world{g};
  presentation::SceneObjects& objs() { return world.objects(); }
  scene::MainScene& ms() { return world.main_scene(); }
};

}  // namespace presentation_test
