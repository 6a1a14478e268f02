#include <array>

#include "presentation/world.h"

namespace presentation {
namespace {

// Half of a connection sits this far from its building's centre, toward the neighbour.
constexpr float kTubeOffset = 5.0f;

constexpr std::array<TubeDirection, kTubeDirections> kDirections = {{
    {+1, 0, 4, 3},
    {+1, +1, 5, 0},
    {0, +1, 6, 2},
    {-1, +1, 7, 1},
    {-1, 0, 0, 3},
    {-1, -1, 1, 0},
    {0, -1, 2, 2},
    {+1, -1, 3, 1},
}};

void HideSlot(std::array<scene::Plane*, kTubeDirections>& halves) {
  for (scene::Plane* t : halves)
    if (t && t->visible()) t->SetVisible(false);
}

}  // namespace

const TubeDirection& TubeDir(int d) { return kDirections.at(static_cast<size_t>(d)); }

void ControlTubes(const core::Game& g, SceneObjects& objs, CellLookupFn lookup) {
  if (g.tubes_off) {
    for (auto& halves : objs.tube_planes) HideSlot(halves);
    return;
  }
  for (int i = 0; i < core::kPlacedSize; ++i) {
    auto& halves = objs.tube_planes[static_cast<size_t>(i)];
    const core::building& b = g.placed[static_cast<size_t>(i)];
    if (!b.exists) {
      HideSlot(halves);
      continue;
    }
    for (int d = 0; d < kTubeDirections; ++d) {
      scene::Plane* t = halves[static_cast<size_t>(d)];
      if (!t) continue;
      const TubeDirection& dir = kDirections[static_cast<size_t>(d)];
      const int32_t j = lookup(g, b.x + dir.dx, b.y + dir.dy);
      if (j == -1) {
        if (t->visible()) t->SetVisible(false);
        continue;
      }
      const float x = static_cast<float>(b.x) * kCellSize + static_cast<float>(dir.dx) * kTubeOffset;
      const float y = static_cast<float>(b.y) * kCellSize + static_cast<float>(dir.dy) * kTubeOffset;
      if (t->x() != x || t->y() != y) t->SetPosition(x, y, t->z());
      if (!t->visible()) t->SetVisible(true);
      // Both halves of a connection carry the lower slot's texture: the slot processed
      // first hands its name to its neighbour's opposite half.
      scene::Plane* other = objs.tube_planes[static_cast<size_t>(j)][static_cast<size_t>(dir.opposite)];
      if (other && other->lib_material_name() != t->lib_material_name())
        other->SetLibMaterialName(t->lib_material_name());
    }
  }
}

}  // namespace presentation
