#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "core/game.h"
#include "shell/locale.h"

namespace shell {

// The steps of start-up that belong to windows, audio or the scene; each may be empty.
struct StartupHooks {
  std::function<void()> open_audio;       // before anything is read
  std::function<void()> load_options;     // reads the options file (applies the language)
  std::function<void()> build_hud;        // HUD mode only
  std::function<void()> fill_matlib;      // textures
  std::function<void()> load_sounds;      // only when audio is up
  std::function<void()> construct_scene;  // scene objects
  std::function<void()> enable_clocks;    // the day clock and the frame loop
  CaptionSink* captions = nullptr;
};

// Runs the start-up sequence shared by the game and the simulator: data directory,
// language, seed, catalog, construction list, the start-up tick, read-out, building list
// and catalog count, with the hooks at their places. Throws core::DataError when a
// required file is missing or malformed.
void StartUp(core::Game& g, const std::string& data_dir, uint32_t seed, const StartupHooks& hooks = {});

}  // namespace shell
