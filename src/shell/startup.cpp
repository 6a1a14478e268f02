#include "shell/startup.h"

#include "core/catalog.h"
#include "core/economy.h"

namespace shell {
namespace {
void Run(const std::function<void()>& f) {
  if (f) f();
}
}  // namespace

void StartUp(core::Game& g, const std::string& data_dir, uint32_t seed, const StartupHooks& hooks) {
  g.loading = true;
  Run(hooks.open_audio);
  g.exe_dir = data_dir;
  Run(hooks.load_options);
  ReadLocale(g, g.locale_code, hooks.captions);
  g.rng.Seed(seed);
  core::InitCatalog(g);
  core::FillConstrList(g);
  // Day 0 and no level yet: the derived values exist before anything is shown, no event.
  core::ProcessDay(g);
  g.host->ShowData();
  g.host->UpdateBldgList();
  g.catalog_count = core::CountCatalog(g);
  if (g.hud_mode) Run(hooks.build_hud);
  Run(hooks.fill_matlib);
  if (g.audio_ok) Run(hooks.load_sounds);
  Run(hooks.construct_scene);
  g.load_status = "Done loading";
  g.loading = false;
  Run(hooks.enable_clocks);
  g.game_running = false;
}

}  // namespace shell
