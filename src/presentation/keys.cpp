#include <algorithm>
#include <cmath>

#include "core/construction.h"
#include "core/grid.h"
#include "core/numeric.h"
#include "presentation/world.h"
#include "scene/camera.h"

namespace presentation {
namespace {

// The camera follows once the cursor comes this close to the view's edge (a share of the
// view's width or height).
constexpr double kEdgeShare = 0.15;

int32_t Clamp(int32_t v) { return std::clamp<int32_t>(v, 0, core::kGridRows - 1); }

}  // namespace

void World::MoveCursor(int right, int down) {
  if (cursor_x < 0 || cursor_y < 0) {
    const int32_t sel = core::SelectedSlot(g_);
    if (g_.sel_cell_x >= 0 && g_.sel_cell_y >= 0) {
      cursor_x = g_.sel_cell_x;
      cursor_y = g_.sel_cell_y;
    } else if (sel != -1) {
      cursor_x = g_.placed[static_cast<size_t>(sel)].x;
      cursor_y = g_.placed[static_cast<size_t>(sel)].y;
    } else {
      const int32_t stand_back = g_.isometric ? core::kIsometricStandBack : 0;
      cursor_x = core::Round(g_.cam_target_x / static_cast<double>(core::kCellSize));
      cursor_y = core::Round((g_.cam_target_y + stand_back) / static_cast<double>(core::kCellSize));
    }
    cursor_x = Clamp(cursor_x);
    cursor_y = Clamp(cursor_y);
  }
  const scene::Camera& cam = *ms_.camera;
  auto at = [&](int32_t cx, int32_t cy) {
    return scene::ProjectToView(cam, viewer_w_, viewer_h_,
                                {static_cast<float>(cx) * kCellSize, static_cast<float>(cy) * kCellSize, kBuildingZ});
  };
  // Which way a grid step goes on the screen: the view decides, so the keys follow what
  // the player sees in both views.
  int sx = 1, sy = 1;
  if (const auto a = at(cursor_x, cursor_y), b = at(cursor_x + 1, cursor_y + 1); a && b) {
    if (b->x < a->x) sx = -1;
    if (b->y < a->y) sy = -1;
  }
  const int32_t dx = right * sx, dy = down * sy;
  const int32_t nx = Clamp(cursor_x + dx), ny = Clamp(cursor_y + dy);
  cursor_x = nx;
  cursor_y = ny;
  const auto p = at(nx, ny);
  const double mx = viewer_w_ * kEdgeShare, my = viewer_h_ * kEdgeShare;
  const bool outside = !p || p->x < 0 || p->y < 0 || p->x > viewer_w_ || p->y > viewer_h_;
  if (outside) {
    // Far off (the camera went elsewhere): the camera comes to the cursor.
    core::LookAtCell(g_, nx, ny);
  } else {
    if ((p->x < mx && right < 0) || (p->x > viewer_w_ - mx && right > 0)) g_.cam_target_x += dx * core::kCellSize;
    if ((p->y < my && down < 0) || (p->y > viewer_h_ - my && down > 0)) g_.cam_target_y += dy * core::kCellSize;
  }
  // Where dragging may take the camera, and no further.
  g_.cam_target_x = std::clamp<int32_t>(g_.cam_target_x, 0, (core::kGridRows - 1) * core::kCellSize);
  g_.cam_target_y = std::clamp<int32_t>(g_.cam_target_y, -core::kIsometricStandBack, (core::kGridRows - 1) * core::kCellSize);
}

void World::ChooseCursorCell() {
  if (cursor_x < 0 || cursor_y < 0) MoveCursor(0, 0);
  PickCell(cursor_x, cursor_y, true);
}

void World::ShowCursor() {
  scene::Plane* c = objs_->cursor;
  if (!c) return;
  const bool shown = cursor_x >= 0 && cursor_y >= 0;
  c->SetVisible(shown);
  if (!shown) return;
  c->SetX(static_cast<float>(cursor_x) * kCellSize);
  c->SetY(static_cast<float>(cursor_y) * kCellSize);
  const float ground = objs_->terrain_tiles[0] ? objs_->terrain_tiles[0]->z() : 0.0f;
  c->SetZ(ground + kMarkerZ + 0.5f);
}

}  // namespace presentation
