#include <algorithm>
#include <cmath>
#include <string>

#include "core/numeric.h"
#include "presentation/world.h"

namespace presentation {
namespace {

// The sun circles the middle of the colony at this radius.
constexpr double kSunCentre = 300.0, kSunRadius = 300.0;
// The day angle turns into radians with this constant, not with pi: the sun is a little
// off overhead at noon, and that is how the colony has always looked.
constexpr double kSunPi = 3.14;
// The progress bar spans the cell less one unit at each end.
constexpr double kBarSpan = 18.0;
constexpr float kBarInset = 9.0f;

}  // namespace

float TravelToward(float coordinate, int32_t target) {
  const double c = coordinate, t = target;
  if (c == t) return coordinate;
  const double step = std::fabs(c - t) / 10.0;
  const double direction = t > c ? 1.0 : -1.0;
  float moved = static_cast<float>(c + direction * step);
  if (1.5 * step >= std::fabs(static_cast<double>(moved) - t)) moved = static_cast<float>(t);
  return moved;
}

scene::Vec3 SunPosition(double day_angle) {
  const double a = kSunPi * day_angle / 180.0;
  return {static_cast<float>(kSunCentre + kSunRadius * std::cos(a)), static_cast<float>(kSunCentre),
          static_cast<float>(kSunRadius * std::sin(a))};
}

void Reorient(const core::Game& g, scene::MainScene& ms, SceneObjects& objs) {
  float pitch = 0, ground = 1;
  if (g.isometric) {
    ms.camera->SetDepthOfView(kIsometricDepthOfView);
    ms.upg_bar->SetZ(ms.sel_cube->z() + ms.sel_cube->cube_height() / 2);
    pitch = kIsometricPitch;
    ground = 5;
  } else {
    ms.camera->SetDepthOfView(kDepthOfView);
    ms.upg_bar->SetZ(ms.sel_marker->z());
  }
  ms.camera->SetPitchAngle(pitch);
  for (int i = 0; i < core::kPlacedSize; ++i) {
    const size_t s = static_cast<size_t>(i);
    if (objs.terrain_tiles[s]) objs.terrain_tiles[s]->SetZ(-ground);
    if (g.placed[s].exists && objs.bldg_planes[s]) objs.bldg_planes[s]->SetPitchAngle(-pitch);
    for (scene::Plane* tube : objs.tube_planes[s])
      if (tube && tube->visible()) tube->SetZ(-(ground - 1));
  }
}

std::string BuildingMaterial(const core::building& b) {
  if (b.construction != 0) return "m_bldg_constr";
  std::string name = "m_bldg_" + std::to_string(b.id);
  if (!b.active) name += "_off";
  return name;
}

void ShowBuildingPlanes(const core::Game& g, SceneObjects& objs) {
  for (int i = 0; i < core::kPlacedSize; ++i) {
    const size_t s = static_cast<size_t>(i);
    scene::Plane* plane = objs.bldg_planes[s];
    if (!plane) continue;
    const core::building& b = g.placed[s];
    if (!b.exists) {
      plane->SetVisible(false);
      continue;
    }
    plane->SetVisible(true);
    const std::string wanted = BuildingMaterial(b);
    if (plane->lib_material_name() != wanted) plane->SetLibMaterialName(wanted);
    plane->SetX(static_cast<float>(b.x) * kCellSize);
    plane->SetY(static_cast<float>(b.y) * kCellSize);
  }
}

void ShowMarkers(const core::Game& g, scene::MainScene& ms, const SceneObjects& objs) {
  scene::Plane& marker = *ms.sel_marker;
  scene::Cube& cube = *ms.sel_cube;
  scene::Plane& bar = *ms.upg_bar;
  // `selected_bldg` 1000 means "none" as well as the last slot; SelectedSlot tells them
  // apart, so an empty selection never shows a marker or bar for a building in slot 1000.
  const int32_t sel = core::SelectedSlot(g);
  const bool cell_chosen = g.sel_cell_x != -1 && g.sel_cell_y != -1;
  if (sel != -1 || cell_chosen) {
    if (sel != -1) {
      marker.SetX(static_cast<float>(g.placed[static_cast<size_t>(sel)].x) * kCellSize);
      marker.SetY(static_cast<float>(g.placed[static_cast<size_t>(sel)].y) * kCellSize);
    } else {
      marker.SetX(static_cast<float>(g.sel_cell_x) * kCellSize);
      marker.SetY(static_cast<float>(g.sel_cell_y) * kCellSize);
    }
    if (g.isometric) {
      cube.SetX(marker.x());
      cube.SetY(marker.y());
      const float ground = objs.terrain_tiles[0] ? objs.terrain_tiles[0]->z() : 0.0f;
      cube.SetZ(ground + cube.cube_height() / 2);
      marker.SetVisible(false);
      cube.SetVisible(true);
    } else {
      marker.SetVisible(true);
      cube.SetVisible(false);
    }
  } else {
    marker.SetVisible(false);
    cube.SetVisible(false);
  }

  if ((marker.visible() || cube.visible()) && sel != -1 && g.placed[static_cast<size_t>(sel)].upl > 1) {
    const core::building& b = g.placed[static_cast<size_t>(sel)];
    double width = b.construction != 0
                       ? static_cast<double>(b.cst - b.construction) / static_cast<double>(b.cst) * kBarSpan
                       : kBarSpan / (static_cast<double>(b.upl) / static_cast<double>(b.up));
    // A record with no cost or no level would give an endless or negative bar.
    if (!std::isfinite(width)) width = 0;
    width = std::clamp(width, 0.0, kBarSpan);
    bar.SetVisible(true);
    bar.SetWidth(static_cast<float>(width));
    bar.SetHeight(1);
    bar.SetX(static_cast<float>(static_cast<double>(marker.x()) - kBarInset + width / 2));
    bar.SetY(marker.y() + kBarInset);
  } else {
    bar.SetVisible(false);
  }
}

}  // namespace presentation
