#include "presentation/world.h"

#include <algorithm>
#include <cmath>

#include "core/events.h"
#include "core/newgame.h"
#include "core/numeric.h"
#include "hud/warning_rows.h"

namespace presentation {
namespace {
// The camera light hangs at this height above the point the camera is over.
constexpr float kCameraLightZ = 50.0f;
}  // namespace

LoadPump::LoadPump(std::function<void()> process_events, std::chrono::milliseconds interval)
    : process_events_(std::move(process_events)), interval_(interval) {}

void LoadPump::operator()() {
  if (!process_events_) return;
  const auto now = std::chrono::steady_clock::now();
  if (runs_ > 0 && now - last_ < interval_) return;
  last_ = now;
  ++runs_;
  process_events_();
}

World::World(core::Game& g) : g_(g), own_traffic_(std::make_unique<traffic::Traffic>(g)), hud_(g) {
  traffic_ = own_traffic_.get();
  g_.traffic = traffic_;
  Init();
}

World::World(core::Game& g, traffic::Traffic& traffic) : g_(g), traffic_(&traffic), hud_(g) { Init(); }

World::~World() {
  if (own_traffic_ && g_.traffic == own_traffic_.get()) g_.traffic = &core::Game::NullTraffic();
}

void World::Init() {
  objs_ = std::make_unique<SceneObjects>();
  ms_.day_cadencer.SetHandler([this](double dt, double) { core::GLCadencer1Progress(g_, dt); });
  ms_.frame_cadencer.SetHandler([this](double dt, double t) { GLCadencer2Progress(dt, t); });
}

void World::SetLoadPump(std::function<void()> process_events) { pump_ = LoadPump(std::move(process_events)); }

void World::FillMatLib() { presentation::FillMatLib(g_, ms_.scene.matlib, hud_.buttons(), info_, pump_); }

void World::ConstructScene() {
  // The read-out texts of the overlay start with the colony data as it stands now.
  hud::ShowData(g_, hud::ReadoutClock{!paused_}, readout_);
  presentation::ConstructScene(g_, ms_, info_, hud_.buttons(), hud::MemoText(readout_.colony), *objs_,
                               hud_.objects(), pump_);
}

void World::EnableClocks() {
  ms_.day_cadencer.SetEnabled(!paused_);
  ms_.frame_cadencer.SetEnabled(true);
}

void World::Progress(double real_delta) {
  // One after the other, never overlapping: the frame sees every change the day made.
  ms_.day_cadencer.Progress(real_delta);
  ms_.frame_cadencer.Progress(real_delta);
}

void World::SetViewSize(int width, int height) {
  viewer_w_ = std::max(width, 1);
  viewer_h_ = std::max(height, 1);
}

void World::reorient() { Reorient(g_, ms_, *objs_); }

void World::modcamera(int32_t step) { core::ModCamera(g_, step); }

void World::ToggleIsometric() {
  g_.isometric = !g_.isometric;
  reorient();
}

void World::ToggleTubes() { g_.tubes_off = !g_.tubes_off; }

void World::TogglePause() {
  paused_ = !paused_;
  ms_.day_cadencer.SetEnabled(!paused_ && !g_.msg_panel);
}

void World::PlaceCamera(int32_t x, int32_t y, int32_t height) {
  g_.cam_target_x = x;
  g_.cam_target_y = y;
  g_.cam_height = std::clamp(height, core::kMinCamHeight, core::kMaxCamHeight);
  ms_.camera->SetPosition(static_cast<float>(x), static_cast<float>(y), static_cast<float>(g_.cam_height));
}

void World::SelectSlot(int32_t slot) {
  core::SelectBuilding(g_, slot);
  const int32_t s = core::SelectedSlot(g_);
  if (s == -1) return;
  g_.cam_target_x = g_.placed[static_cast<size_t>(s)].x * core::kCellSize;
  g_.cam_target_y = g_.placed[static_cast<size_t>(s)].y * core::kCellSize;
}

void World::MirrorCraft() {
  const traffic::Ships& ships = traffic_->ships();
  for (int p = 0; p < kPiratePlanes; ++p) {
    scene::Plane* plane = objs_->pirate_planes[static_cast<size_t>(p)];
    if (!plane) continue;
    const traffic::craft& c = ships.pirates[static_cast<size_t>(p)];
    plane->SetPosition(c.x, c.y, c.height);
    plane->SetVisible(c.visible);
  }
}

void World::MirrorWarnings() {
  const auto rows = hud::WarningRows(g_, g_.view_h);
  for (int k = 0; k < core::kWarnings; ++k) {
    scene::HUDSprite* tick = objs_->warn_sprites[static_cast<size_t>(k)];
    scene::HUDText* text = objs_->warn_texts[static_cast<size_t>(k)];
    if (!tick || !text) continue;
    const core::warning& w = g_.warnings[static_cast<size_t>(k)];
    tick->SetVisible(true);
    text->SetVisible(true);
    const char* material = core::WarningMaterial(w.state);
    if (tick->lib_material_name() != material) tick->SetLibMaterialName(material);
    const auto y = static_cast<float>(rows[static_cast<size_t>(k)]);
    tick->SetPosition(static_cast<float>(w.x), y, 0);
    text->SetPosition(static_cast<float>(w.x) + tick->width(), y - tick->height() / 2, 0);
    if (text->text() != w.text) text->SetText(w.text);
  }
}

void World::MirrorShuttles() {
  const traffic::Shuttles& shuttles = traffic_->shuttles();
  for (int s = 0; s < kShuttlePlanes; ++s) {
    scene::Plane* plane = objs_->shuttle_planes[static_cast<size_t>(s)];
    if (!plane) continue;
    const traffic::shuttle& sh = shuttles[static_cast<size_t>(s)];
    if (!sh.active) {
      if (plane->visible()) plane->SetVisible(false);
      continue;
    }
    if (!plane->visible()) plane->SetVisible(true);
    plane->SetPosition(static_cast<float>(sh.x), static_cast<float>(sh.y), static_cast<float>(sh.height));
    plane->SetRollAngle(static_cast<float>(sh.angle));
  }
}

void World::CheckGameover() {
  // Game over stops the day clock; the message pause of a later frame starts it again, and
  // the clock passes no day without a running game.
  if (!g_.game_over && core::CheckGameover(g_)) ms_.day_cadencer.SetEnabled(false);
}

void World::ArrangeInfoIcons() {
  // The information bar's layout must never cost a frame.
  try {
    hud_.ArrangeInfoIcons();
  } catch (...) {
  }
}

// A block that turned visible since the bar was laid out has no place yet (a new game
// clears every place); drawn now, it would sit at the corner over the Trade button.
bool World::InfoBarHasUnplacedBlock() const {
  return std::any_of(g_.info_blocks.begin(), g_.info_blocks.end(),
                     [](const core::infoblock& b) { return b.visible && b.y <= 0; });
}

void World::ShowData() {
  // Only a bar that shows nothing yet is filled here: a loaded game's bar is as it was
  // saved, and the next frame brings it up to date as it would have in the saved game.
  const bool empty = std::none_of(g_.info_blocks.begin(), g_.info_blocks.end(),
                                  [](const core::infoblock& b) { return b.visible; });
  if (!empty) return;
  hud::FillInfoBlocks(g_);
  if (InfoBarHasUnplacedBlock()) ArrangeInfoIcons();
}

void World::ApplyUiScale() {
  const double scale = hud::UiScale(ui_scale, view_w, view_h);
  hud_.SetScale(scale);
  ms_.scene.hud_scale = static_cast<float>(scale);
  hud_.hud_unit = hud::UnitFor(view_h, scale);
}

void World::GLCadencer2Progress(double deltaTime, double newTime) {
  (void)newTime;
  ArrangeInfoIcons();

  // An open message holds the day; any other frame lets it run (unless the player paused).
  if (g_.msg_panel) {
    ms_.day_cadencer.SetEnabled(false);
    g_.credit_panel = g_.trade_panel = g_.build_panel = g_.bldg_panel = false;
  } else if (!ms_.day_cadencer.enabled() && !paused_) {
    ms_.day_cadencer.SetEnabled(true);
  }

  view_w = viewer_w_;
  view_h = viewer_h_;
  const double scale = hud::UiScale(ui_scale, viewer_w_, viewer_h_);
  hud_.SetScale(scale);
  ms_.scene.hud_scale = static_cast<float>(scale);
  // The warnings are laid out in the HUD's pixels like the rest of it.
  g_.view_h = core::Round(viewer_h_ / scale);

  reorient();

  traffic_->ProcessPirates(deltaTime);
  MirrorCraft();

  hud::ShowData(g_, hud::ReadoutClock{ms_.day_cadencer.enabled()}, readout_);
  // The layout above ran before the read-out: a block it made visible (the science block
  // when the first point comes in) gets its place before this frame draws it.
  if (InfoBarHasUnplacedBlock()) ArrangeInfoIcons();

  scene::LightSource& lamp = *ms_.camera_light;
  lamp.SetPosition(ms_.camera->position());
  lamp.SetZ(kCameraLightZ);

  ControlTubes(g_, *objs_, cell_lookup);

  core::ProcessWarnings(g_);
  MirrorWarnings();

  traffic_->ShuttleAI(deltaTime);
  MirrorShuttles();

  if (g_.game_running && sound_system) sound_system->ControlMusic(g_.money, audio_settings);

  ms_.sun->SetPosition(SunPosition(g_.day_angle));

  if (g_.hud_mode) hud_.ProcessButtons(view_w, view_h);
  hud_.ProcessUI(view_w, view_h, readout_, deltaTime);

  CheckGameover();

  ShowBuildingPlanes(g_, *objs_);

  scene::Camera& cam = *ms_.camera;
  cam.SetZ(static_cast<float>(g_.cam_height));
  cam.SetX(TravelToward(cam.x(), g_.cam_target_x));
  cam.SetY(TravelToward(cam.y(), g_.cam_target_y));

  if (traffic_->ship_state() != traffic::kShipIdle) traffic_->TradeShipStep();
  if (objs_->trade_ship) {
    const traffic::craft& ship = traffic_->ships().trade_ship;
    objs_->trade_ship->SetPosition(ship.x, ship.y, ship.height);
    objs_->trade_ship->SetVisible(ship.visible);
  }

  ShowMarkers(g_, ms_, *objs_);
  ShowCursor();
}

}  // namespace presentation
