// Where a site shows on screen, for the tutorial's frame around the site it names; none
// when it lies off the view.
#include "core/grid.h"
#include "presentation/world.h"
#include "scene/camera.h"

namespace presentation {

std::optional<std::pair<double, double>> World::CellOnView(int32_t cx, int32_t cy) const {
  if (!ms_.camera) return std::nullopt;
  const scene::Vec3 centre{static_cast<float>(cx * core::kCellSize), static_cast<float>(cy * core::kCellSize), 0.0f};
  const auto p = scene::ProjectToView(*ms_.camera, viewer_w_, viewer_h_, centre);
  // A site beyond the edges has no place on the view to mark.
  if (!p || !(p->x >= 0 && p->x < viewer_w_ && p->y >= 0 && p->y < viewer_h_)) return std::nullopt;
  return std::pair<double, double>{p->x, p->y};
}

}  // namespace presentation
