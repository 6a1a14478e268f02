#include <algorithm>

#include "core/numeric.h"
#include "presentation/world.h"

namespace presentation {
namespace {

// Dragging keeps the camera over the colony.
constexpr float kPanMin = 0.0f, kPanMax = 600.0f;
constexpr int32_t kWheelStep = 3;

float ClampPan(float v) {
  if (!(v >= kPanMin)) return kPanMin;  // also catches NaN
  return v > kPanMax ? kPanMax : v;
}

}  // namespace

void World::MsDown(int x, int y) {
  pointer_down = true;
  // What is under the pointer is worked out again at the press: a click without a move
  // before it (the next one after a message's OK, whose button has gone since) belongs to
  // what is there now, not to the button that was.
  hud_.PointerAt(x, y);
  Hover(x, y);
  if (g_.hud_mode) hud_.PressVirButton(x, y, 0);
}

void World::Hover(int x, int y) {
  last_px = x;
  last_py = y;
  if (!g_.hud_mode) return;
  over_hud = true;
  const int i = hud_.HudButtonAt(x, y);
  if (i == -1) {
    hud_.SetButtonState(-1, 2);
    over_hud = false;
    return;
  }
  const int state = hud_.ButtonState(i);
  if (state != 1 && state != 2) hud_.SetButtonState(i, 2);
}

void World::MsLeave() {
  hud_.PointerLeft();
  // A drag keeps the pointer (the view holds it until the release), so it never leaves one.
  if (pointer_down || !g_.hud_mode) return;
  over_hud = false;
  hud_.SetButtonState(-1, 2);
}

void World::MsMove(int x, int y) {
  hud_.PointerAt(x, y);
  if (pointer_down) {
    scene::Camera& cam = *ms_.camera;
    const double speed = static_cast<double>(pan_speed) / 100.0;
    float cx = static_cast<float>(static_cast<double>(cam.x()) + (x - last_px) * speed);
    float cy = static_cast<float>(static_cast<double>(cam.y()) + (last_py - y) * speed);
    cx = ClampPan(cx);
    cy = ClampPan(cy);
    cam.SetX(cx);
    cam.SetY(cy);
    // The camera travel then holds the camera where the drag left it.
    g_.cam_target_x = core::Round(cx);
    g_.cam_target_y = core::Round(cy);
    last_px = x;
    last_py = y;
    return;
  }
  Hover(x, y);
}

void World::MsUp(int x, int y, bool left) {
  if (g_.hud_mode) hud_.PressVirButton(x, y, 1);
  pointer_down = false;
  // The tutorial's panel lies over the colony: a click on it is no pick.
  if (hud_.ReleaseOnTutorial(x, y)) return;
  const scene::Object* obj =
      ms_.GetPickedObject(viewer_w_, viewer_h_, static_cast<float>(x), static_cast<float>(y));
  if (!obj) return;  // empty space: the choice and the selection stay
  // Any world object names the cell nearest to it: a tube half its building's, a ship or
  // shuttle the one below it.
  const int32_t cx = core::Round(core::Round(obj->x()) / static_cast<double>(kCellSize));
  const int32_t cy = core::Round(core::Round(obj->y()) / static_cast<double>(kCellSize));
  ApplyPick(cx, cy, left, over_hud);
}

void World::PickCell(int32_t cx, int32_t cy, bool left) { ApplyPick(cx, cy, left, false); }

void World::ApplyPick(int32_t cx, int32_t cy, bool left, bool on_hud) {
  // A release on a HUD button belongs to the button: the site chosen before it stays, so
  // that choosing a building type and pressing build still builds on that site.
  if (on_hud) return;
  if (left) {
    g_.sel_cell_x = cx;
    g_.sel_cell_y = cy;
  } else {
    g_.sel_cell_x = -1;
    g_.sel_cell_y = -1;
  }
  // The highest slot standing on the cell, as walking all slots with the last one winning.
  const int32_t slot = core::BuildingAt(g_, cx, cy);
  if (slot >= 0) {
    core::SelectBuilding(g_, slot);
  } else {
    core::ClearSelection(g_);
  }
  if (core::SelectedSlot(g_) != -1) {
    g_.bldg_panel = true;
    g_.build_panel = g_.trade_panel = g_.credit_panel = false;
  } else if (g_.sel_cell_x != -1 && g_.sel_cell_y != -1) {
    g_.build_panel = true;
    g_.bldg_panel = g_.trade_panel = g_.credit_panel = false;
  }
}

void World::Wheel(int notches) {
  for (int n = 0; n < notches; ++n) modcamera(+kWheelStep);
  for (int n = 0; n > notches; --n) modcamera(-kWheelStep);
}

}  // namespace presentation
